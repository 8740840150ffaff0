#include "tests/e2e/E2eRoad.h"

#include <shlobj.h>
#include <tlhelp32.h>

#include <cstdio>
#include <vector>
#include <utility>

#include "resources/engine/DialogsForm.rh"
#include "tests/e2e/E2eSnapshot.h"
#include "tests/e2e/E2eWindows.h"

namespace e2e {

std::string SystemFolder(int csidl) {
  char buf[MAX_PATH] = {};
  SHGetSpecialFolderPathA(nullptr, buf, csidl, FALSE);
  return buf;
}

std::string WindowsDir() {
  char buf[MAX_PATH] = {};
  GetWindowsDirectoryA(buf, MAX_PATH);
  return buf;
}

std::string SystemDir() {
  char buf[MAX_PATH] = {};
  GetSystemDirectoryA(buf, MAX_PATH);
  return buf;
}

std::string TempDir() {
  char buf[MAX_PATH] = {};
  GetTempPathA(MAX_PATH, buf);
  return buf;
}

std::string RegString(HKEY root, const std::string& key, const std::string& name, DWORD* type) {
  HKEY k;
  if (RegOpenKeyExA(root, key.c_str(), 0, KEY_READ, &k) != ERROR_SUCCESS) return "<no key>";
  char buf[4096] = {};
  DWORD size = sizeof buf - 1, t = 0;
  LONG r = RegQueryValueExA(k, name.c_str(), nullptr, &t, reinterpret_cast<BYTE*>(buf), &size);
  RegCloseKey(k);
  if (type) *type = t;
  if (r != ERROR_SUCCESS) return "<no value>";
  if (t == REG_SZ || t == REG_EXPAND_SZ) return std::string(buf);
  return std::string(buf, size);
}

std::string ProgramFilesDir() {
  return RegString(HKEY_LOCAL_MACHINE, "Software\\Microsoft\\Windows\\CurrentVersion", "ProgramFilesDir");
}
bool Exists(const std::string& p) { return GetFileAttributesA(p.c_str()) != INVALID_FILE_ATTRIBUTES; }


namespace {
std::function<void(const std::string&)> g_fail;
std::function<void(HWND, const std::string&)> g_page;
}  // namespace

void SetFailureHandler(std::function<void(const std::string&)> handler) { g_fail = std::move(handler); }
void SetPageHandler(std::function<void(HWND, const std::string&)> handler) { g_page = std::move(handler); }

void Fail(const std::string& what) {
  if (g_fail) {
    g_fail(what);
  } else {
    fprintf(stderr, "%s\n", what.c_str());
    fflush(stderr);
  }
}

// What the driver is doing, with the time, for a run that fails or hangs.
void Step(const std::string& what) {
  static const DWORD start = GetTickCount();
  fprintf(stderr, "[e2e %6.1fs] %s\n", (GetTickCount() - start) / 1000.0, what.c_str());
  fflush(stderr);
}

// ---------------------------------------------------------------- processes

Proc::Proc(const std::string& command) {
  STARTUPINFOA si{};
  si.cb = sizeof si;
  std::string line = command;
  started = CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi) != 0;
}
Proc::~Proc() {
  if (!started) return;
  if (WaitForSingleObject(pi.hProcess, 0) == WAIT_TIMEOUT) TerminateProcess(pi.hProcess, 99);
  CloseHandle(pi.hProcess);
  CloseHandle(pi.hThread);
}
bool Proc::Ended(double seconds) {
  return WaitFor([&] { return WaitForSingleObject(pi.hProcess, 0) == WAIT_OBJECT_0; }, seconds);
}
DWORD Proc::ExitCode() {
  DWORD code = 0;
  GetExitCodeProcess(pi.hProcess, &code);
  return code;
}

// ---------------------------------------------------------------- the wizard

HWND Wizard() { return FindTopWithControl(IDC_btnNext); }
std::string WizardPage() {
  HWND w = Wizard();
  return w ? WindowText(w) : "";
}

bool OnPage(const std::string& title, double seconds) {
  Step("waiting for the page " + title);
  WAIT_OR_FAIL(WizardPage() == title, seconds, "the wizard page \"" + title + "\"");
  if (g_page) g_page(Wizard(), title);
  return true;
}

// Next (or Yes, or Finish) on the current page.
bool PressNext() {
  HWND w = Wizard();
  HWND next = w ? FindControl(w, IDC_btnNext) : nullptr;
  WAIT_OR_FAIL(Enabled(next), 10, "an enabled Next button");
  Click(next);
  return true;
}

bool NextTo(const std::string& title) { return PressNext() && OnPage(title); }

bool ClickIn(HWND top, const std::string& button) {
  HWND b = top ? FindButton(top, button) : nullptr;
  if (!b) {
    Fail("no button \"" + button + "\"\nwindows:\n" + DescribeWindows());
    return false;
  }
  Click(b);
  return true;
}

// Answers the message box that shows part of its text.
bool Answer(const std::string& part, const std::string& button, double seconds) {
  Step("waiting for the message " + part);
  HWND box = nullptr;
  WAIT_OR_FAIL((box = FindDialogWithText(part)) != nullptr, seconds, "a message containing \"" + part + "\"");
  return ClickIn(box, button);
}

// From the welcome page to the start of copying.
bool WalkWizard(const WizardWalk& walk) {
  if (!OnPage("Welcome", 90)) return false;
  if (!NextTo("Software License Agreement") || !NextTo("Product Information") || !NextTo("User Information"))
    return false;
  HWND w = Wizard();
  // A later setup of the product offers the name given before: type over it.
  for (const auto& [id, text] : {std::pair{IDC_edtUserName, walk.UserName}, std::pair{IDC_edtUserCompany, walk.Company}}) {
    HWND edit = FindControl(w, id);
    PostMessageA(edit, EM_SETSEL, 0, -1);
    TypeText(edit, text);
  }
  WAIT_OR_FAIL(Enabled(FindControl(Wizard(), IDC_btnNext)), 10, "Next after typing the user name");
  if (!NextTo("Choose Destination Directory") || !NextTo("Install Type")) return false;
  if (walk.Type == SetupType::Custom) {
    HWND custom = FindControl(Wizard(), IDC_rbCustom);
    Click(custom);
    WAIT_OR_FAIL(Checked(custom), 10, "Custom chosen");
    if (!NextTo("Select Components")) return false;
    if (!walk.Untick.empty()) {
      HWND lv = FindControl(Wizard(), IDC_lvComponents);
      int item = -1;
      WAIT_OR_FAIL((item = ListViewFind(lv, walk.Untick)) >= 0, 10, "the component " + walk.Untick);
      if (!ListViewChecked(lv, item)) Fail("the component " + walk.Untick + " was not ticked");
      ListViewClickCheckBox(lv, item);
      WAIT_OR_FAIL(!ListViewChecked(lv, item), 10, "the component unticked");
    }
  }
  if (!NextTo("Select Program Folder") || !NextTo("Start Copying Files")) return false;
  return PressNext();
}

// The complete page: no ReadMe, no program; Finish.
bool FinishPlainly() {
  if (!OnPage("Setup Complete", 120)) return false;
  HWND w = Wizard();
  for (int id : {IDC_cbViewReadMe, IDC_cbRunApp}) {
    HWND box = FindControl(w, id);
    if (box && IsWindowVisible(box) && Checked(box)) {
      Click(box);
      WAIT_OR_FAIL(!Checked(box), 10, "a box of the complete page cleared");
    }
  }
  return PressNext();
}

// The launcher keeps the engine in "<Windows>\TandrelInstall\<16 hex digits>\".
const std::string kEngineHome = "TandrelInstall";

bool PendingDeletion(const std::string& file) {
  HKEY k;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, "System\\CurrentControlSet\\Control\\Session Manager", 0, KEY_READ, &k) !=
      ERROR_SUCCESS)
    return false;
  std::vector<char> buf(65536);
  DWORD size = static_cast<DWORD>(buf.size()), type = 0;
  LONG r = RegQueryValueExA(k, "PendingFileRenameOperations", nullptr, &type, reinterpret_cast<BYTE*>(buf.data()),
                            &size);
  RegCloseKey(k);
  if (r != ERROR_SUCCESS) return false;
  return Lower(std::string(buf.data(), size)).find(Lower(file)) != std::string::npos;
}

bool EngineReleased(const std::string& line) {
  const std::string home = "+ " + Lower(WindowsDir()) + "\\" + Lower(kEngineHome);
  return line.compare(0, home.size(), home) == 0 && PendingDeletion(line.substr(2));
}

// The engine the launcher kept; empty when there is none.
std::string KeptEngine() {
  const std::string home = WindowsDir() + "\\" + kEngineHome + "\\";
  WIN32_FIND_DATAA fd;
  HANDLE h = FindFirstFileA((home + "*").c_str(), &fd);
  std::string found;
  if (h == INVALID_HANDLE_VALUE) return found;
  do {
    std::string n = fd.cFileName;
    if (n != "." && n != ".." && Exists(home + n + "\\TandrelInstall.exe")) found = home + n + "\\TandrelInstall.exe";
  } while (found.empty() && FindNextFileA(h, &fd));
  FindClose(h);
  return found;
}

bool Uninstall(const std::string& command, const std::string& appName) {
  Step("uninstalling: " + command);
  Proc run(command);
  if (!run.started) Fail("cannot start " + command);
  if (!Answer("Are you sure you want to completely remove '" + appName + "'", "Yes")) return false;
  bool done = false;
  WAIT_OR_FAIL(([&] {
                 if (HWND shared = FindTopWithCaption("Remove Shared File?")) {
                   if (HWND all = FindButton(shared, "Yes to All")) Click(all);
                   return false;
                 }
                 HWND form = FindTopWithCaption("Tandrel-Uninstaller");
                 HWND ok = form ? FindButton(form, "OK") : nullptr;
                 if (Enabled(ok)) {
                   std::string texts;
                   for (HWND h : Descendants(form)) texts += WindowText(h) + "\n";
                   if (texts.find("Uninstall completed successfully") == std::string::npos) Fail(texts);
                   if (g_page) g_page(form, WindowText(form));
                   Click(ok);
                   done = true;
                 }
                 return done;
               }()),
               120, "the uninstaller to finish");
  WAIT_OR_FAIL(run.Ended(0), 30, "the uninstaller to end");
  if (run.ExitCode() != 0) Fail("the uninstaller ended with " + std::to_string(run.ExitCode()) + ", not 0");
  // The kept engine's copy in the temp folder deletes the engine once the command has ended.
  WAIT_OR_FAIL(!EngineCopyRunning(), 30, "the uninstall's copy of the engine to end");
  return true;
}

bool EngineCopyRunning() {
  HANDLE snap = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  if (snap == INVALID_HANDLE_VALUE) return false;
  PROCESSENTRY32 p{};
  p.dwSize = sizeof p;
  bool running = false;
  for (BOOL more = Process32First(snap, &p); more && !running; more = Process32Next(snap, &p)) {
    const std::string name = Lower(p.szExeFile);
    running = name.rfind("zmu", 0) == 0 && name.size() > 4 && name.compare(name.size() - 4, 4, ".tmp") == 0;
  }
  CloseHandle(snap);
  return running;
}

}  // namespace e2e
