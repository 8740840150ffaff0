#include "tests/e2e/E2eRoad.h"

#include <gtest/gtest.h>
#include <shlobj.h>

#include <cstdio>

#include "resources/engine/DialogsForm.rh"
#include "tests/e2e/E2eSnapshot.h"

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


void Step(const std::string& what) {
  static const DWORD start = GetTickCount();
  fprintf(stderr, "[e2e %6.1fs] %s\n", (GetTickCount() - start) / 1000.0, what.c_str());
  fflush(stderr);
}

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
    ADD_FAILURE() << "no button \"" << button << "\"\nwindows:\n" << DescribeWindows();
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

// The launcher keeps the engine in "<Windows>\TandrelInstall\<16 hex digits>\".
const std::string kEngineHome = "TandrelInstall";

bool EngineKeep(const std::string& line) {
  const std::string prefix = "+ " + Lower(WindowsDir()) + "\\" + Lower(kEngineHome);
  if (line.compare(0, prefix.size(), prefix) != 0) return false;
  std::string rest = line.substr(prefix.size());
  if (rest.empty()) return true;
  if (rest[0] != '\\') return false;
  rest = rest.substr(1);
  std::string folder = rest.substr(0, rest.find('\\'));
  return folder.size() == 16 && folder.find_first_not_of("0123456789abcdef") == std::string::npos &&
         (rest.size() == 16 || rest == folder + "\\tandrelinstall.exe");
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
  EXPECT_TRUE(run.started) << command;
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
                   EXPECT_NE(texts.find("Uninstall completed successfully"), std::string::npos) << texts;
                   Click(ok);
                   done = true;
                 }
                 return done;
               }()),
               120, "the uninstaller to finish");
  WAIT_OR_FAIL(run.Ended(0), 30, "the uninstaller to end");
  return true;
}

}  // namespace e2e
