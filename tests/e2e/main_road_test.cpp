// The main road, end to end, in a Wine prefix of this test's own (tests/e2e/run_e2e.sh):
// a project made with the model is built into a package, its Setup.exe runs and is
// driven from this process as a user would drive it, the machine is checked, the
// registered uninstall command undoes the installation, and the machine is compared
// with a snapshot taken before the setup ran.
//
// Left on the machine on purpose (and so not counted as changes):
// - the user name and company remembered for the product (HKLM Software, company,
//   application, version), offered again by the next setup of that version;
// - the INI file itself: the uninstaller deletes the value it wrote, not the file;
// - what was there before the setup: a DLL in the system folder (its count stays at 1
//   for its earlier owner), the user's value in the product's key, a comment in an INI
//   section (that file rewritten by the profile functions);
// - the copy of the engine the uninstall ran from, in the temp folder (not compared), until
//   the restart deletes it.
//
// The tests run in order in one process: each leaves the machine as the next expects.
#include <gtest/gtest.h>
#include <windows.h>
#include <objbase.h>
#include <shlobj.h>
#include <shobjidl.h>

#include <algorithm>
#include <cstdio>
#include <set>
#include <string>
#include <vector>

#include "base/Streams.h"
#include "base/win/TestSeams.h"
#include "builder/shell/BuildForm.h"
#include "resources/engine/DialogsForm.rh"
#include "setup/compress/InstCompress.h"
#include "setup/model/InstClasses.h"
#include "setup/services/PackageLayout.h"
#include "tests/e2e/E2eRoad.h"
#include "tests/e2e/E2eSnapshot.h"
#include "tests/e2e/E2eWindows.h"
#include "tests/harness/Bitmaps.h"

using namespace e2e;

namespace {

const std::string kWork = "C:\\e2e\\";
const std::string kSrc = kWork + "src\\";
const std::string kProjectFile = kWork + "demo.zem";
const std::string kPackage = kWork + "demo.exe";
const std::string kApp = "Tandrel Demo";
const char* const kUserName = "Ada Lovelace";
const char* const kCompany = "Analytical Engines";

// ---------------------------------------------------------------- the machine

std::string InstallDir() { return ProgramFilesDir() + "\\" + kApp; }

void WriteText(const std::string& name, const std::string& text) {
  base::WriteFileBytes(name, std::vector<uint8_t>(text.begin(), text.end()));
}

std::string ReadText(const std::string& name) {
  auto b = base::ReadFileBytes(name);
  return std::string(b.begin(), b.end());
}

std::string FileVersion(const std::string& file) {
  DWORD handle = 0;
  DWORD size = GetFileVersionInfoSizeA(file.c_str(), &handle);
  if (!size) return "";
  std::vector<char> data(size);
  if (!GetFileVersionInfoA(file.c_str(), 0, size, data.data())) return "";
  VS_FIXEDFILEINFO* info = nullptr;
  UINT len = 0;
  if (!VerQueryValueA(data.data(), "\\", reinterpret_cast<void**>(&info), &len) || !info) return "";
  return std::to_string(HIWORD(info->dwFileVersionMS)) + "." + std::to_string(LOWORD(info->dwFileVersionMS));
}

FILETIME WriteTime(const std::string& file) {
  WIN32_FILE_ATTRIBUTE_DATA d{};
  GetFileAttributesExA(file.c_str(), GetFileExInfoStandard, &d);
  return d.ftLastWriteTime;
}

// Archive dates are DOS dates: two-second steps.
bool SameDate(const FILETIME& a, const FILETIME& b) {
  ULARGE_INTEGER x{{a.dwLowDateTime, a.dwHighDateTime}}, y{{b.dwLowDateTime, b.dwHighDateTime}};
  uint64_t d = x.QuadPart > y.QuadPart ? x.QuadPart - y.QuadPart : y.QuadPart - x.QuadPart;
  return d <= 20000000ULL;
}

std::string ShortcutTarget(const std::string& lnk) {
  IShellLinkA* link = nullptr;
  std::string target = "<none>";
  if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                              reinterpret_cast<void**>(&link))))
    return target;
  IPersistFile* file = nullptr;
  if (SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)))) {
    std::wstring w(lnk.begin(), lnk.end());
    if (SUCCEEDED(file->Load(w.c_str(), STGM_READ))) {
      char path[MAX_PATH] = {};
      link->GetPath(path, MAX_PATH, nullptr, 0);
      target = path;
    }
    file->Release();
  }
  link->Release();
  return target;
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> out;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find("\r\n", start);
    if (end == std::string::npos) end = text.size();
    out.push_back(text.substr(start, end - start));
    start = end + 2;
  }
  return out;
}

// Files the launcher and the engine make for one run and must take away again.
std::vector<std::string> TemporaryLeftovers() {
  std::vector<std::string> found;
  for (const std::string& dir : {TempDir(), WindowsDir() + "\\Temp\\", WindowsDir() + "\\"}) {
    WIN32_FIND_DATAA fd;
    HANDLE h = FindFirstFileA((dir + "*").c_str(), &fd);
    if (h == INVALID_HANDLE_VALUE) continue;
    do {
      std::string n = fd.cFileName;
      std::string l = Lower(n);
      if (l.rfind("zemsetup", 0) == 0 || l == "zemtmp" || l == "setup2.tmp" || l == "setup1.tmp")
        found.push_back(dir + n);
      // The engine's own folders: only the engine stays in them.
      if ((fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && l == "tandrelinstall") {
        WIN32_FIND_DATAA inner;
        HANDLE k = FindFirstFileA((dir + n + "\\*").c_str(), &inner);
        if (k != INVALID_HANDLE_VALUE) {
          do {
            std::string sub = dir + n + "\\" + inner.cFileName + "\\";
            for (const char* left : {"ZemTmp", "Setup2.tmp", "Setup1.tmp"})
              if (Exists(sub + left)) found.push_back(sub + left);
          } while (FindNextFileA(k, &inner));
          FindClose(k);
        }
      }
    } while (FindNextFileA(h, &fd));
    FindClose(h);
  }
  return found;
}

// ---------------------------------------------------------------- the project

void MakeSources() {
  CreateDirectoryA(kWork.c_str(), nullptr);
  CreateDirectoryA(kSrc.c_str(), nullptr);
  WriteText(kSrc + "tandrel_e2e_win.txt", "in the Windows folder\r\n");
  WriteText(kSrc + "example.txt", "an example\r\n");
  WriteText(kSrc + "board.bmp", wintest::MakeBitmap(120, 60, [](int, int) { return std::string(3, '\x7f'); }));
  // Installed with its attributes.
  WriteText(kSrc + "data.txt", "read only\r\n");
  CopyFileA((kSrc + "tandrel_e2e_shared.dll").c_str(), (kSrc + "tandrel_e2e_pre.dll").c_str(), FALSE);
  SetFileAttributesA((kSrc + "data.txt").c_str(), FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_ARCHIVE);
}

TTandrelFileGroup* AddGroup(TTandrelBaseInstall& p, const std::string& name, const std::string& dest,
                            const std::vector<std::string>& files) {
  TTandrelFileGroup* g = p.Groups.Add();
  g->Owner = &p;
  g->SetName(name);
  g->SetDestination(dest);
  g->Description = name;
  for (const auto& f : files) g->AddFile(kSrc + f);
  return g;
}

// A product of its own under one maker's folder and key: one file, one value.
void MakeSmallProject(TTandrelBaseInstall& p, const std::string& app, const std::string& dir) {
  p.SetApplicationName(app);
  p.SetCompanyName("Tandrel E2E");
  p.ApplicationVersion = "1.0";
  p.TitleCaption = app;
  p.InstallDir = dir;
  p.ProgramFolder = app;
  p.Groups.Clear();
  p.Components.Clear();
  p.InstFolders.clear();
  AddGroup(p, "Program Files", "<INSTALLDIR>", {"demo.exe"});
  TTandrelComponent* main = p.Components.Add();
  main->Owner = &p;
  main->SetName("Application");
  main->Description = "The program";
  main->Groups = {"Program Files"};
  for (auto* t : p.InstallTypes) t->Components = TStrings{"Application"};
  // The first product makes the maker's key, the second finds it (HKEY_CURRENT_USER).
  p.Registry[1]->AddKey("Software\\Tandrel Key Maker\\" + app)->AddStringValue("Path", "<INSTALLDIR>");
  p.ReadMe = "Read this first.";
  p.License = "You may use this demo.";
  p.DialogTypes = static_cast<TTandrelDialogTypes>(0x03FF | SetBit(dtComplete));
  p.FixupOwners();
}

void MakeProject(TTandrelBaseInstall& p) {
  p.SetApplicationName(kApp);
  p.SetCompanyName("Tandrel E2E");
  p.ApplicationVersion = "1.0";
  p.TitleCaption = kApp;
  p.InstallDir = "<ProgramFilesDir>\\" + kApp;
  p.ProgramFolder = kApp;
  p.Groups.Clear();
  p.Components.Clear();
  p.InstFolders.clear();
  AddGroup(p, "Program Files", "<INSTALLDIR>", {"demo.exe", "app.dll", "data.txt"});
  AddGroup(p, "Windows Files", "<WINDIR>", {"tandrel_e2e_win.txt"});
  AddGroup(p, "System Files", "<WINSYSDIR>", {"tandrel_e2e_shared.dll", "tandrel_e2e_pre.dll"});
  AddGroup(p, "Examples", "<INSTALLDIR>\\Examples", {"example.txt"});
  TTandrelComponent* main = p.Components.Add();
  main->Owner = &p;
  main->SetName("Application");
  main->Description = "The program";
  main->Groups = {"Program Files", "Windows Files", "System Files"};
  TTandrelComponent* ex = p.Components.Add();
  ex->Owner = &p;
  ex->SetName("Examples");
  ex->Description = "Examples";
  ex->Groups = {"Examples"};
  for (auto* t : p.InstallTypes)
    t->Components = t->Name == "Custom" ? TStrings{"Application", "Examples"} : TStrings{"Application"};

  TTandrelRegKey* hklm = p.Registry[2];  // HKEY_LOCAL_MACHINE
  TTandrelRegKey* mine = hklm->AddKey("Software\\TandrelE2E");
  mine->UninstallKey = true;
  TTandrelRegKey* demo = mine->AddKey("Demo");
  demo->AddStringValue("Folder", "<INSTALLDIR>");
  demo->AddDWordValue("Count", 42);
  demo->AddBinaryValue("Blob", "01 02 ff");
  TTandrelRegKey* cu = p.Registry[1]->AddKey("Software\\TandrelE2E");  // HKEY_CURRENT_USER
  cu->AddStringValue("Mode", "full");
  cu->AddDWordValue("Build", 1000);  // the user's own value is there before
  // Two levels that do not exist yet.
  p.Registry[1]->AddKey("Software\\TandrelE2E Maker\\App")->AddStringValue("Path", "<INSTALLDIR>");

  p.AddIniFile("<WINDIR>\\tandrel_e2e.ini")->AddSection("Settings")->AddValue("Path")->Value = "<INSTALLDIR>";
  // A section that holds the user's comment line.
  p.AddIniFile("<WINDIR>\\tandrel_e2e_note.ini")->AddSection("Notes")->AddValue("Seen")->Value = "1";

  TTandrelIcon* icon = p.Icons.Add();
  icon->Caption = "Demo";
  icon->FileName = "<INSTALLDIR>\\demo.exe";
  icon->WorkingDir = "<INSTALLDIR>";
  icon->GroupType = gtDefault;
  TTandrelIcon* desk = p.Icons.Add();
  desk->Caption = "Demo ReadMe";
  desk->FileName = "<INSTALLDIR>\\ReadMe.txt";
  desk->GroupType = gtDesktop;

  p.ReadMe = "Read this first.\r\nSecond line.";
  p.License = "You may use this demo.";
  p.BillBoards = {kSrc + "board.bmp"};
  p.DialogTypes = static_cast<TTandrelDialogTypes>(0x03FF | SetBit(dtBillboards) | SetBit(dtComplete));

  TTandrelExtension* ext = p.Extensions.Add();
  ext->Owner = &p;
  ext->Style = esExecutable;
  ext->RealFile = kSrc + "marker.exe";
  ext->Executable = kSrc + "marker.exe";
  ext->Params = "0 " + kWork + "ext_ran.txt";
  ext->Wait = true;
  ext->When = dtStartCopying;
  p.FixupOwners();
}

// Builds with the builder's build dialog: Start, then Done, as the author presses them.
bool BuildPackage(TTandrelBaseInstall& p, const std::string& projectFile) {
  Step("building " + projectFile);
  base::win::seams::Reset();
  base::win::seams::Arm();  // a question or error box is recorded, never left open
  std::vector<std::string> log;
  bool built = false;
  base::win::seams::WhenShown<TfrmBuilder>([&](TfrmBuilder& b) {
    b.btnStart.Click();
    log = b.LogLines();
    built = std::find(log.begin(), log.end(), "Successful Build") != log.end();
    b.btnCancel.Click();
  });
  {
    base::win::seams::Watchdog dog(120, "the build dialog");
    ExecuteBuilder(p, projectFile);
  }
  std::string all;
  for (const auto& l : log) all += l + "\n";
  for (const auto& m : base::win::seams::Messages()) all += "message: " + m.Text + "\n";
  base::win::seams::Reset();
  EXPECT_TRUE(built) << all;
  return built;
}

// ---------------------------------------------------------------- snapshots

Snapshot Snap() {
  Step("snapshot");
  std::string temp = Lower(TempDir());
  Snapshot snap = TakeSnapshot({"c:\\e2e", temp, "c:\\windows\\temp"},
                      {"hkey_current_user\\software\\wine", "hkey_local_machine\\software\\wine",
                       "hkey_local_machine\\software\\microsoft\\windows nt\\currentversion\\perflib"});
  Step("snapshot: " + std::to_string(snap.Files.size()) + " files, " + std::to_string(snap.Registry.size()) +
       " registry entries");
  return snap;
}

// The changes a full install and uninstall leave on purpose (see the top of the file).
bool LeftOnPurpose(const std::string& line) {
  if (EngineReleased(line)) return true;
  const std::string windir = Lower(WindowsDir()), sysdir = Lower(SystemDir());
  for (const std::string& p : {
           std::string("+ hkey_local_machine\\software\\tandrel e2e"),
           "+ hkey_local_machine\\software\\microsoft\\windows\\currentversion\\shareddlls\\\\" + sysdir +
               "\\tandrel_e2e_pre.dll",
           "+ " + windir + "\\tandrel_e2e.ini",
           "~ " + windir + "\\tandrel_e2e_note.ini",
       })
    if (line.compare(0, p.size(), p) == 0) return true;
  return false;
}

std::string Join(const std::vector<std::string>& lines) {
  std::string out;
  for (const auto& l : lines) out += l + "\n";
  return out;
}

std::vector<std::string> Unexpected(const Snapshot& before, const Snapshot& after) {
  std::vector<std::string> out;
  for (const auto& d : Difference(before, after))
    if (!LeftOnPurpose(d)) out.push_back(d);
  return out;
}

// ---------------------------------------------------------------- the uninstaller

const std::string kUninstallKey = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\" + kApp;

bool Uninstall(const std::string& command, const std::string& app = kApp) {
  return e2e::Uninstall(command, app);
}

std::string UninstallCommand(const std::string& app) {
  return RegString(HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\" + app,
                   "UninstallString");
}

// ---------------------------------------------------------------- the tests

// A run that hangs reports what is on the screen and ends before CTest's limit.
DWORD WINAPI WatchRun(void*) {
  Sleep(840 * 1000);
  Step("the whole run took too long; windows:\n" + DescribeWindows());
  ExitProcess(3);
}
class RunWatch : public ::testing::Environment {
public:
  void SetUp() override { CloseHandle(CreateThread(nullptr, 0, WatchRun, nullptr, 0, nullptr)); }
};
::testing::Environment* const g_watch = ::testing::AddGlobalTestEnvironment(new RunWatch);

Snapshot g_beforeSetup;

class MainRoad : public ::testing::Test {
protected:
  static void SetUpTestSuite() {
    CoInitialize(nullptr);
    SetFailureHandler([](const std::string& what) { ADD_FAILURE() << what; });
  }
};

TEST_F(MainRoad, BuildInstallCheckAndUninstall) {
  MakeSources();
  TTandrelBaseInstall p;
  MakeProject(p);
  ASSERT_TRUE(p.SaveToFile(kProjectFile));
  ASSERT_TRUE(BuildPackage(p, kProjectFile));
  ASSERT_TRUE(Exists(kPackage));

  // Shared-file counts are kept only where the key exists.
  HKEY shared;
  ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\SharedDLLs", 0,
                            nullptr, 0, KEY_ALL_ACCESS, nullptr, &shared, nullptr),
            ERROR_SUCCESS);
  RegCloseKey(shared);
  // What the user had before: a DLL the package also brings (newer than the package's,
  // so it stays), a value in the product's key, a comment in an INI section.
  const std::string pre = SystemDir() + "\\tandrel_e2e_pre.dll";
  ASSERT_TRUE(CopyFileA((kSrc + "tandrel_e2e_pre.dll").c_str(), pre.c_str(), FALSE));
  HKEY user;
  ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\TandrelE2E", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &user,
                            nullptr),
            ERROR_SUCCESS);
  DWORD build = 1000;
  RegSetValueExA(user, "Build", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&build), sizeof build);
  RegCloseKey(user);
  const std::string note = WindowsDir() + "\\tandrel_e2e_note.ini";
  WriteText(note, "[Notes]\r\n; the user's note\r\n");
  g_beforeSetup = Snap();

  // Cancel on the third page: nothing stays, not even the engine.
  {
    Proc setup(kPackage);
    ASSERT_TRUE(setup.started);
    ASSERT_TRUE(OnPage("Welcome", 90));
    ASSERT_TRUE(NextTo("Software License Agreement"));
    ASSERT_TRUE(NextTo("Product Information"));
    Click(FindControl(Wizard(), IDC_btnCancel));
    ASSERT_TRUE(Answer("Setup is not complete", "Yes"));
    ASSERT_TRUE(setup.Ended(60)) << DescribeWindows();
    EXPECT_EQ(setup.ExitCode(), 1u) << "a cancelled setup";
  }
  EXPECT_EQ(Difference(g_beforeSetup, Snap()), std::vector<std::string>{}) << "after a cancel on page 3";
  EXPECT_EQ(KeptEngine(), "");

  {
    Proc setup(kPackage);
    ASSERT_TRUE(setup.started);
    ASSERT_TRUE(WalkWizard({SetupType::Custom, "Examples", kUserName, kCompany}));
    ASSERT_TRUE(FinishPlainly());
    ASSERT_TRUE(setup.Ended(60)) << DescribeWindows();
    EXPECT_EQ(setup.ExitCode(), 0u) << "a completed installation";
  }

  const std::string dir = InstallDir();
  const std::string windir = WindowsDir(), sysdir = SystemDir();
  // Files with their dates, versions and attributes.
  for (const char* f : {"demo.exe", "app.dll", "data.txt"}) {
    EXPECT_TRUE(Exists(dir + "\\" + f)) << f;
    EXPECT_TRUE(SameDate(WriteTime(dir + "\\" + f), WriteTime(kSrc + f))) << f;
  }
  EXPECT_EQ(FileVersion(dir + "\\app.dll"), "1.5");
  EXPECT_TRUE(GetFileAttributesA((dir + "\\data.txt").c_str()) & FILE_ATTRIBUTE_READONLY);
  EXPECT_FALSE(GetFileAttributesA((dir + "\\app.dll").c_str()) & FILE_ATTRIBUTE_READONLY);
  EXPECT_TRUE(Exists(windir + "\\tandrel_e2e_win.txt"));
  EXPECT_TRUE(Exists(sysdir + "\\tandrel_e2e_shared.dll"));
  EXPECT_FALSE(Exists(dir + "\\Examples")) << "the unticked component";
  EXPECT_EQ(ReadText(dir + "\\ReadMe.txt"), "Read this first.\r\nSecond line.");
  EXPECT_EQ(ReadText(dir + "\\License.txt"), "You may use this demo.");
  EXPECT_TRUE(Exists(kWork + "ext_ran.txt")) << "the start-copying extension";

  // Registry values of each style, the INI value, the shortcuts.
  const std::string key = "Software\\TandrelE2E\\Demo";
  DWORD type = 0;
  EXPECT_EQ(RegString(HKEY_LOCAL_MACHINE, key, "Folder", &type), dir);
  EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
  EXPECT_EQ(RegString(HKEY_LOCAL_MACHINE, key, "Count", &type), std::string("\x2a\0\0\0", 4));
  EXPECT_EQ(type, static_cast<DWORD>(REG_DWORD));
  EXPECT_EQ(RegString(HKEY_LOCAL_MACHINE, key, "Blob", &type), std::string("\x01\x02\xff", 3));
  EXPECT_EQ(type, static_cast<DWORD>(REG_BINARY));
  EXPECT_EQ(RegString(HKEY_CURRENT_USER, "Software\\TandrelE2E", "Mode"), "full");
  char ini[MAX_PATH] = {};
  GetPrivateProfileStringA("Settings", "Path", "", ini, MAX_PATH, (windir + "\\tandrel_e2e.ini").c_str());
  EXPECT_EQ(std::string(ini), dir);
  const std::string programs = SystemFolder(CSIDL_PROGRAMS) + "\\" + kApp;
  const std::string desktop = SystemFolder(CSIDL_DESKTOPDIRECTORY);
  EXPECT_EQ(Lower(ShortcutTarget(programs + "\\Demo.lnk")), Lower(dir + "\\demo.exe"));
  // Every shortcut goes into the program folder below its location.
  EXPECT_EQ(Lower(ShortcutTarget(desktop + "\\" + kApp + "\\Demo ReadMe.lnk")), Lower(dir + "\\ReadMe.txt"));

  // The uninstall log, newest first; compared as a set where the order is the services'.
  std::vector<std::string> log = Lines(ReadText(dir + "\\UnInst.log"));
  std::multiset<std::string> got(log.begin(), log.end());
  const std::string lmKey = "HKEY_LOCAL_MACHINE\\Software\\TandrelE2E";
  const std::string cuKey = "HKEY_CURRENT_USER\\Software\\TandrelE2E";
  std::multiset<std::string> expected = {
      "CreateDir=" + dir,
      "CreateFile=" + dir + "\\demo.exe",
      "CreateFile=" + dir + "\\app.dll",
      "CreateFile=" + dir + "\\data.txt",
      "CreateFile=" + windir + "\\tandrel_e2e_win.txt",
      "IncUsageCount=" + windir + "\\tandrel_e2e_win.txt",
      "CreateFile=" + sysdir + "\\tandrel_e2e_shared.dll",
      "IncUsageCount=" + sysdir + "\\tandrel_e2e_shared.dll",
      "IncUsageCount=" + sysdir + "\\tandrel_e2e_pre.dll",
      "CreateFolder_PM=" + programs,
      "CreateFile_PM=" + programs + "\\Demo.lnk",
      "CreateFolder_PM=" + desktop + "\\" + kApp,
      "CreateFile_PM=" + desktop + "\\" + kApp + "\\Demo ReadMe.lnk",
      "CreateIniValue=" + windir + "\\tandrel_e2e.ini,Settings,Path",
      "CreateIniValue=" + windir + "\\tandrel_e2e_note.ini,Notes,Seen",
      "UninstallKey=" + lmKey,
      "CreateRegKey=" + lmKey,
      "CreateRegKey=" + lmKey + "\\Demo",
      "AddRegValue=(" + lmKey + "\\Demo)Folder",
      "AddRegValue=(" + lmKey + "\\Demo)Count",
      "AddRegValue=(" + lmKey + "\\Demo)Blob",
      "AddRegValue=(" + cuKey + ")Mode",
      "CreateRegKey=" + cuKey + " Maker",
      "CreateRegKey=" + cuKey + " Maker\\App",
      "AddRegValue=(" + cuKey + " Maker\\App)Path",
      "CreateFile=" + dir + "\\ReadMe.txt",
      "CreateFile=" + dir + "\\License.txt",
  };
  EXPECT_EQ(got, expected) << Join(log);
  ASSERT_FALSE(log.empty());
  EXPECT_EQ(log.front(), "CreateFile=" + dir + "\\License.txt") << "the last action comes first";

  // The uninstall entry.
  EXPECT_EQ(RegString(HKEY_LOCAL_MACHINE, kUninstallKey, "DisplayName"), kApp);
  const std::string command = RegString(HKEY_LOCAL_MACHINE, kUninstallKey, "UninstallString");
  const std::string tail = "\" \"/UNINST=" + dir + "\\UnInst.log \" \"/APPNAME=" + kApp + "\"";
  ASSERT_GT(command.size(), tail.size());
  EXPECT_EQ(command.substr(command.size() - tail.size()), tail);
  EXPECT_EQ(command.substr(0, command.size() - tail.size()), "\"" + KeptEngine());
  EXPECT_EQ(TemporaryLeftovers(), std::vector<std::string>{});

  // The DLL that was there before counts for its earlier owner too.
  EXPECT_EQ(RegString(HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\SharedDLLs", pre),
            std::string("\x02\0\0\0", 4));

  // Uninstall as Windows would, then compare with the machine before the setup.
  ASSERT_TRUE(Uninstall(command, kApp));
  EXPECT_FALSE(Exists(dir));
  EXPECT_EQ(RegString(HKEY_LOCAL_MACHINE, kUninstallKey, "UninstallString"), "<no key>");
  EXPECT_TRUE(Exists(pre));
  EXPECT_EQ(RegString(HKEY_CURRENT_USER, "Software\\TandrelE2E", "Build"), std::string("\xe8\x03\0\0", 4));
  EXPECT_NE(ReadText(note).find("; the user's note"), std::string::npos) << ReadText(note);
  // The last product that named the engine takes it along with its folders, at once.
  EXPECT_EQ(KeptEngine(), "");
  EXPECT_FALSE(Exists(WindowsDir() + "\\" + kEngineHome));
  EXPECT_EQ(Unexpected(g_beforeSetup, Snap()), std::vector<std::string>{});
}

// The engine as the builder packs it.
const std::string kBuilderEngine = kWork + "builder\\TandrelInstall.exe";

TEST_F(MainRoad, UninstallingAgainSaysTheLogIsMissing) {
  const std::string engine = kBuilderEngine;
  Proc again("\"" + engine + "\" \"/UNINST=" + InstallDir() + "\\UnInst.log \" \"/APPNAME=" + kApp + "\"");
  ASSERT_TRUE(again.started);
  ASSERT_TRUE(Answer("An error occurred while attempting to uninstall '" + kApp + "'", "OK"));
  EXPECT_TRUE(again.Ended(30));
}

TEST_F(MainRoad, CancelledWizardLeavesTheMachineAsItWas) {
  Snapshot before = Snap();
  {
    Proc setup(kPackage);
    ASSERT_TRUE(setup.started);
    ASSERT_TRUE(OnPage("Welcome", 90));
    Click(FindControl(Wizard(), IDC_btnCancel));
    ASSERT_TRUE(Answer("Setup is not complete", "Yes"));
    ASSERT_TRUE(setup.Ended(60)) << DescribeWindows();
  }
  EXPECT_EQ(Difference(before, Snap()), std::vector<std::string>{});
  EXPECT_EQ(TemporaryLeftovers(), std::vector<std::string>{});
}

TEST_F(MainRoad, DamagedArchiveTwoIsReportedAndLeavesNoTemporaryFile) {
  // The launcher refuses a package whose archive 2 is cut short.
  auto bytes = base::ReadFileBytes(kPackage);
  bytes.resize(bytes.size() - 64);
  const std::string damaged = kWork + "damaged.exe";
  base::WriteFileBytes(damaged, bytes);
  Snapshot before = Snap();
  {
    Proc setup(damaged);
    ASSERT_TRUE(setup.started);
    ASSERT_TRUE(Answer("damaged", "OK", 60));
    ASSERT_TRUE(setup.Ended(30));
    EXPECT_EQ(setup.ExitCode(), 3u) << "a damaged package";
  }
  EXPECT_EQ(TemporaryLeftovers(), std::vector<std::string>{});

  // The engine itself, given the damaged package and its archive 1, refuses it before the
  // wizard and takes its files away.
  TPackageLayout layout;
  {
    base::FileStream cut(damaged, base::fmOpenRead);
    TPackageLayout damagedLayout;
    EXPECT_EQ(ReadPackageLayout(cut, "ZEM_SIZE", damagedLayout), TPackageCheck::Archive2Short);
    base::FileStream whole(kPackage, base::fmOpenRead);
    ASSERT_EQ(ReadPackageLayout(whole, "ZEM_SIZE", layout), TPackageCheck::Ok);
  }
  const std::string direct = kWork + "direct\\";
  CreateDirectoryA(direct.c_str(), nullptr);
  {
    auto all = base::ReadFileBytes(damaged);
    uint32_t s = layout.StubSize;
    uint32_t l1 = all[s] | (all[s + 1] << 8) | (all[s + 2] << 16) | (uint32_t(all[s + 3]) << 24);
    base::WriteFileBytes(direct + "Setup1.tmp", std::vector<uint8_t>(all.begin() + s + 4, all.begin() + s + 4 + l1));
  }
  const std::string engine = kBuilderEngine;
  {
    Proc run("\"" + engine + "\" \"/SOURCE=" + damaged + "\" \"/DATA=" + direct + "Setup1.tmp\"");
    ASSERT_TRUE(run.started);
    ASSERT_TRUE(Answer("is damaged", "OK", 60));
    ASSERT_TRUE(run.Ended(30)) << DescribeWindows();
    EXPECT_EQ(run.ExitCode(), 3u);
  }
  EXPECT_FALSE(Exists(direct + "Setup1.tmp"));
  EXPECT_FALSE(Exists(direct + "ZemTmp"));
  EXPECT_FALSE(Exists(InstallDir()));
  EXPECT_EQ(Unexpected(before, Snap()), std::vector<std::string>{});
}

// Archive 2 of the package, as bytes: where it starts and how long it is.
struct Archive2 {
  std::vector<uint8_t> bytes;
  size_t at = 0, size = 0;
};
Archive2 ReadArchive2(const std::string& package) {
  Archive2 a;
  a.bytes = base::ReadFileBytes(package);
  TPackageLayout layout;
  base::FileStream in(package, base::fmOpenRead);
  EXPECT_EQ(ReadPackageLayout(in, "ZEM_SIZE", layout), TPackageCheck::Ok);
  auto get32 = [&](size_t i) {
    return a.bytes[i] | (a.bytes[i + 1] << 8) | (a.bytes[i + 2] << 16) | (uint32_t(a.bytes[i + 3]) << 24);
  };
  const size_t s = layout.StubSize;
  const size_t l1 = get32(s);
  a.size = get32(s + 4 + l1);
  a.at = s + 4 + l1 + 4;
  return a;
}

// Where the entries of the archive at bytes[at] lie.
struct EntryAt {
  TArchiveEntry rec;
  std::string name;
  size_t record = 0, data = 0;  // offsets in the bytes
};
std::vector<EntryAt> EntriesAt(const std::vector<uint8_t>& bytes, size_t at, size_t size) {
  std::vector<EntryAt> out;
  for (size_t pos = at + kCompressedHeaderSize; pos + kArchiveEntrySize <= at + size;) {
    EntryAt e;
    e.record = pos;
    e.rec = DecodeEntry(bytes.data() + pos);
    e.name.assign(bytes.begin() + pos + kArchiveEntrySize, bytes.begin() + pos + kArchiveEntrySize + e.rec.NameLength);
    e.data = pos + kArchiveEntrySize + e.rec.NameLength;
    pos = e.data + e.rec.CompressedSize;
    out.push_back(e);
  }
  return out;
}

// The package's parts, and a package put together from them.
struct PackageParts {
  std::vector<uint8_t> stub, archive1, archive2;
};
PackageParts SplitPackage(const std::string& package) {
  const Archive2 a = ReadArchive2(package);
  PackageParts parts;
  TPackageLayout layout;
  base::FileStream in(package, base::fmOpenRead);
  EXPECT_EQ(ReadPackageLayout(in, "ZEM_SIZE", layout), TPackageCheck::Ok);
  parts.stub.assign(a.bytes.begin(), a.bytes.begin() + layout.StubSize);
  parts.archive1.assign(a.bytes.begin() + layout.StubSize + 4, a.bytes.begin() + a.at - 4);
  parts.archive2.assign(a.bytes.begin() + a.at, a.bytes.begin() + a.at + a.size);
  return parts;
}
std::vector<uint8_t> JoinPackage(const PackageParts& parts) {
  std::vector<uint8_t> out = parts.stub;
  for (const auto* archive : {&parts.archive1, &parts.archive2}) {
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<uint8_t>(archive->size() >> (8 * i)));
    out.insert(out.end(), archive->begin(), archive->end());
  }
  return out;
}

// Archive 1 with the data of one entry replaced by the given bytes, stored with their sum.
std::vector<uint8_t> ReplaceEntry(const std::vector<uint8_t>& archive, const std::string& name,
                                  const std::vector<uint8_t>& data) {
  TCompressedHeader header = DecodeHeader(archive.data());
  std::vector<uint8_t> out(archive.begin(), archive.begin() + kCompressedHeaderSize);
  int64_t total = 0;
  for (EntryAt e : EntriesAt(archive, 0, archive.size())) {
    std::vector<uint8_t> bytes(archive.begin() + e.data, archive.begin() + e.data + e.rec.CompressedSize);
    if (e.name == name) {
      bytes = data;
      e.rec.Method = cmNON;
      e.rec.ExpandedSize = e.rec.CompressedSize = static_cast<int32_t>(data.size());
      e.rec.Checksum = ByteSum(data.data(), data.size());
    }
    total += e.rec.ExpandedSize;
    uint8_t raw[kArchiveEntrySize];
    EncodeEntry(e.rec, raw);
    out.insert(out.end(), raw, raw + kArchiveEntrySize);
    out.insert(out.end(), e.name.begin(), e.name.end());
    out.insert(out.end(), bytes.begin(), bytes.end());
  }
  header.ExpandedSize = static_cast<int32_t>(total);
  EncodeHeader(header, out.data());
  return out;
}

// The expanded data of one entry of an archive image.
std::vector<uint8_t> ExpandedEntry(const std::vector<uint8_t>& archive, const std::string& name) {
  for (const EntryAt& e : EntriesAt(archive, 0, archive.size())) {
    if (e.name != name) continue;
    base::ReadOnlyMemoryStream in(archive.data() + e.data, e.rec.CompressedSize);
    base::MemoryStream out;
    TTandrelInstCompress().ExpandData(out, in, e.rec.CompressedSize, e.rec.ExpandedSize, e.rec.Checksum, e.rec.Method,
                                      "LH5", e.rec.Locked);
    return out.Bytes();
  }
  ADD_FAILURE() << "no entry " << name;
  return {};
}

TEST_F(MainRoad, ADamagedArchiveTwoIsRefusedBeforeItTouchesAnything) {
  const Archive2 a = ReadArchive2(kPackage);
  ASSERT_GT(a.size, 200u);
  std::vector<uint8_t> flipped = a.bytes;
  // One bit in the data of the first file ("Program Files\\demo.exe"): after the header,
  // its record and its name.
  flipped[a.at + 21 + 25 + 22 + 100] ^= 0x10;
  std::vector<uint8_t> cut(a.bytes.begin(), a.bytes.begin() + a.at + 21);  // to its header
  for (size_t i = 0; i < 4; ++i) cut[a.at - 4 + i] = static_cast<uint8_t>(21 >> (8 * i));
  // A file too small to shrink is stored; one bit of its data flipped.
  const std::vector<EntryAt> entries = EntriesAt(a.bytes, a.at, a.size);
  std::vector<uint8_t> storedFlipped = a.bytes, renamed = a.bytes;
  bool stored = false, named = false;
  for (const EntryAt& e : entries) {
    if (!stored && e.rec.Method == cmNON && e.rec.CompressedSize > 0) {
      storedFlipped[e.data] ^= 0x01;
      stored = true;
    }
    // The name changed, the archive's sums still right: another name than the project's.
    if (e.name == "Program Files\\data.txt") {
      renamed[e.record + kArchiveEntrySize + e.name.size() - 5] = 'y';
      named = true;
    }
  }
  ASSERT_TRUE(stored && named);
  struct Case {
    const char* why;
    std::vector<uint8_t> bytes;
  } cases[] = {{"a bit flipped in a file of archive 2", flipped},
               {"archive 2 cut to its header", cut},
               {"a bit flipped in a stored file of archive 2", storedFlipped},
               {"an entry of archive 2 renamed", renamed}};
  const Snapshot before = Snap();
  for (const auto& c : cases) {
    const std::string file = kWork + "damaged2.exe";
    base::WriteFileBytes(file, c.bytes);
    Proc setup(file);
    ASSERT_TRUE(setup.started) << c.why;
    ASSERT_TRUE(Answer("is damaged", "OK", 90)) << c.why;
    ASSERT_TRUE(setup.Ended(30)) << c.why;
    EXPECT_EQ(setup.ExitCode(), 3u) << c.why;
    EXPECT_EQ(Unexpected(before, Snap()), std::vector<std::string>{}) << c.why;
    EXPECT_EQ(TemporaryLeftovers(), std::vector<std::string>{}) << c.why;
  }
}

// A package made before stored entries carried their sums: each stored run's checksum 0.
TEST_F(MainRoad, AnOlderPackageWithUnsummedStoredEntriesStillInstalls) {
  PackageParts parts = SplitPackage(kPackage);
  int unsummed = 0;
  for (auto* archive : {&parts.archive1, &parts.archive2})
    for (const EntryAt& e : EntriesAt(*archive, 0, archive->size()))
      if (e.rec.Method == cmNON && e.rec.Checksum != 0) {
        TArchiveEntry rec = e.rec;
        rec.Checksum = 0;
        EncodeEntry(rec, archive->data() + e.record);
        ++unsummed;
      }
  ASSERT_GT(unsummed, 0);
  const std::string older = kWork + "older.exe";
  base::WriteFileBytes(older, JoinPackage(parts));
  const Snapshot before = Snap();
  {
    Proc setup(older);
    ASSERT_TRUE(WalkWizard({SetupType::Typical, "", kUserName, kCompany}));
    ASSERT_TRUE(FinishPlainly());
    ASSERT_TRUE(setup.Ended(60));
    EXPECT_EQ(setup.ExitCode(), 0u);
  }
  EXPECT_EQ(ReadText(InstallDir() + "\\data.txt"), "read only\r\n");
  ASSERT_TRUE(Uninstall(UninstallCommand(kApp)));
  EXPECT_EQ(Unexpected(before, Snap()), std::vector<std::string>{});
}

// A project stream read to an end marker in its middle, or with bytes after its end, is
// no project: the setup stops before it touches anything.
TEST_F(MainRoad, AProjectStreamWithBytesAfterItsEndIsRefused) {
  const PackageParts parts = SplitPackage(kPackage);
  const std::vector<uint8_t> project = ExpandedEntry(parts.archive1, "Info\\Inst.cmp");
  ASSERT_GT(project.size(), 100u);
  std::vector<uint8_t> zeros = project, longer = project;
  // Behind the header ("TPF0", class name, empty component name), where a property starts.
  zeros.insert(zeros.begin() + 4 + 1 + std::string("TTandrelBaseInstall").size() + 1, 16, 0);
  longer.insert(longer.end(), {'m', 'o', 'r', 'e'});
  struct Case {
    const char* why;
    std::vector<uint8_t> stream;
  } cases[] = {{"16 zero bytes inside the project", zeros}, {"bytes after the project's end", longer}};
  const Snapshot before = Snap();
  for (const auto& c : cases) {
    PackageParts damaged = parts;
    damaged.archive1 = ReplaceEntry(parts.archive1, "Info\\Inst.cmp", c.stream);
    const std::string file = kWork + "project.exe";
    base::WriteFileBytes(file, JoinPackage(damaged));
    Proc setup(file);
    ASSERT_TRUE(setup.started) << c.why;
    ASSERT_TRUE(Answer("Invalid configuration file. Cannot continue.", "OK", 90)) << c.why;
    ASSERT_TRUE(setup.Ended(30)) << c.why;
    EXPECT_EQ(setup.ExitCode(), 2u) << c.why;
    EXPECT_EQ(Difference(before, Snap()), std::vector<std::string>{}) << c.why;
    EXPECT_EQ(TemporaryLeftovers(), std::vector<std::string>{}) << c.why;
  }
}

TEST_F(MainRoad, NoToTheFileErrorUndoesWhatWasDone) {
  // A folder where a file of the package must go: that file cannot be written.
  const std::string dir = InstallDir();
  CreateDirectoryA(dir.c_str(), nullptr);
  CreateDirectoryA((dir + "\\data.txt").c_str(), nullptr);
  const Snapshot before = Snap();
  // The name and company an earlier installation remembered come back: this one ends
  // before its end.
  const std::string userKey = "Software\\Tandrel E2E\\" + kApp + "\\1.0";
  const std::string name = RegString(HKEY_LOCAL_MACHINE, userKey, "Name");
  const std::string company = RegString(HKEY_LOCAL_MACHINE, userKey, "Company");
  EXPECT_EQ(name, kUserName);
  {
    Proc setup(kPackage);
    ASSERT_TRUE(WalkWizard({SetupType::Typical, "", "Grace Hopper", "Navy"}));
    ASSERT_TRUE(Answer("Continue with the Installation?", "No", 120));
    ASSERT_TRUE(setup.Ended(60)) << DescribeWindows();
    EXPECT_EQ(setup.ExitCode(), 1u);
  }
  EXPECT_EQ(Difference(before, Snap()), std::vector<std::string>{});
  EXPECT_EQ(RegString(HKEY_LOCAL_MACHINE, userKey, "Name"), name);
  EXPECT_EQ(RegString(HKEY_LOCAL_MACHINE, userKey, "Company"), company);
  EXPECT_EQ(UninstallCommand(kApp), "<no key>");
  RemoveDirectoryA((dir + "\\data.txt").c_str());
  RemoveDirectoryA(dir.c_str());
}

TEST_F(MainRoad, InstallTwiceUninstallOnceLeavesWhatOneRoundTripLeaves) {
  const Snapshot before = Snap();
  for (int round = 0; round < 2; ++round) {
    Proc setup(kPackage);
    ASSERT_TRUE(WalkWizard({SetupType::Typical, "", kUserName, kCompany}));
    ASSERT_TRUE(FinishPlainly());
    ASSERT_TRUE(setup.Ended(60));
    EXPECT_EQ(setup.ExitCode(), 0u);
  }
  ASSERT_TRUE(Uninstall(UninstallCommand(kApp)));
  EXPECT_FALSE(Exists(InstallDir()));
  EXPECT_EQ(Unexpected(before, Snap()), std::vector<std::string>{});
}

TEST_F(MainRoad, TwoProductsUnderOneMakerFolder) {
  const std::string maker = ProgramFilesDir() + "\\Tandrel Maker";
  for (const char* app : {"Maker One", "Maker Two"}) {
    TTandrelBaseInstall p;
    MakeSmallProject(p, app, "<ProgramFilesDir>\\Tandrel Maker\\" + std::string(app));
    const std::string project = kWork + app + ".zem";
    ASSERT_TRUE(p.SaveToFile(project));
    ASSERT_TRUE(BuildPackage(p, project));
  }
  const Snapshot before = Snap();
  for (const char* app : {"Maker One", "Maker Two"}) {
    Proc setup(kWork + app + ".exe");
    ASSERT_TRUE(WalkWizard({SetupType::Typical, "", kUserName, kCompany}));
    ASSERT_TRUE(FinishPlainly());
    ASSERT_TRUE(setup.Ended(60));
  }
  // The first cannot remove the maker's folder and key, which the second still fills: that
  // is no failed step.
  ASSERT_TRUE(Uninstall(UninstallCommand("Maker One"), "Maker One"));
  EXPECT_FALSE(Exists(maker + "\\Maker One"));
  EXPECT_TRUE(Exists(maker + "\\Maker Two\\demo.exe"));
  EXPECT_EQ(RegString(HKEY_CURRENT_USER, "Software\\Tandrel Key Maker\\Maker One", "Path"), "<no key>");
  EXPECT_EQ(RegString(HKEY_CURRENT_USER, "Software\\Tandrel Key Maker\\Maker Two", "Path"), maker + "\\Maker Two");
  // Both entries name one engine: it stays for the second.
  EXPECT_NE(KeptEngine(), "");
  ASSERT_TRUE(Uninstall(UninstallCommand("Maker Two"), "Maker Two"));
  EXPECT_FALSE(Exists(maker));
  EXPECT_EQ(Unexpected(before, Snap()), std::vector<std::string>{});
}

// A product whose INI file lies in its install folder, two levels the setup makes: the INI
// pass takes the file with its last value, after the folder passes found the folders filled.
TEST_F(MainRoad, AnIniFileInTheInstallFolderGoesWithTheFoldersAroundIt) {
  const std::string app = "Pebblewick Notes";
  const std::string maker = ProgramFilesDir() + "\\Pebblewick", dir = maker + "\\Notes";
  TTandrelBaseInstall p;
  MakeSmallProject(p, app, "<ProgramFilesDir>\\Pebblewick\\Notes");
  p.AddIniFile("<INSTALLDIR>\\Pebble.ini")->AddSection("Main")->AddValue("Path")->Value = "<INSTALLDIR>";
  const std::string project = kWork + "pebble.zem";
  ASSERT_TRUE(p.SaveToFile(project));
  ASSERT_TRUE(BuildPackage(p, project));
  const Snapshot before = Snap();
  {
    Proc setup(kWork + "pebble.exe");
    ASSERT_TRUE(WalkWizard({SetupType::Typical, "", kUserName, kCompany}));
    ASSERT_TRUE(FinishPlainly());
    ASSERT_TRUE(setup.Ended(60));
    EXPECT_EQ(setup.ExitCode(), 0u);
  }
  char ini[MAX_PATH] = {};
  GetPrivateProfileStringA("Main", "Path", "", ini, MAX_PATH, (dir + "\\Pebble.ini").c_str());
  ASSERT_EQ(std::string(ini), dir);
  const std::vector<std::string> log = Lines(ReadText(dir + "\\UnInst.log"));
  for (const std::string& made : {"CreateDir=" + dir, "CreateDir=" + maker})
    EXPECT_NE(std::find(log.begin(), log.end(), made), log.end()) << made << "\n" << Join(log);
  ASSERT_TRUE(Uninstall(UninstallCommand(app), app));
  EXPECT_FALSE(Exists(dir));
  EXPECT_FALSE(Exists(maker));
  EXPECT_EQ(Unexpected(before, Snap()), std::vector<std::string>{});
}

// A file in use is replaced at the restart, which runs for real in this prefix.
TEST_F(MainRoad, FileInUseEndsWithTheRestartAndTheNewFileInPlace) {
  {
    Proc setup(kPackage);
    ASSERT_TRUE(WalkWizard({SetupType::Typical, "", kUserName, kCompany}));
    ASSERT_TRUE(FinishPlainly());
    ASSERT_TRUE(setup.Ended(60));
  }
  const std::string app = InstallDir() + "\\app.dll";
  ASSERT_EQ(FileVersion(app), "1.5");

  // The same product with a newer app.dll.
  ASSERT_TRUE(CopyFileA((kSrc + "app20.dll").c_str(), (kSrc + "app.dll").c_str(), FALSE));
  TTandrelBaseInstall p;
  MakeProject(p);
  const std::string project2 = kWork + "demo2.zem";
  ASSERT_TRUE(p.SaveToFile(project2));
  ASSERT_TRUE(BuildPackage(p, project2));

  HANDLE held = CreateFileA(app.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0,
                            nullptr);
  ASSERT_NE(held, INVALID_HANDLE_VALUE);
  Proc setup(kWork + "demo2.exe");
  ASSERT_TRUE(WalkWizard({SetupType::Typical, "", kUserName, kCompany}));
  ASSERT_TRUE(OnPage("Setup Complete", 120));
  HWND restart = FindControl(Wizard(), IDC_rbRestartWindows);
  ASSERT_TRUE(restart && IsWindowVisible(restart)) << DescribeWindows();
  EXPECT_TRUE(Checked(restart));
  CloseHandle(held);
  EXPECT_EQ(FileVersion(app), "1.5") << "still the old file until the restart";
  EXPECT_TRUE(PendingDeletion(app)) << "the replacement waits for the restart";
  ASSERT_TRUE(PressNext());
  ASSERT_TRUE(setup.Ended(60));
  // Wine's restart carries out the pending replacement once, while this process runs: a
  // version read of app.dll at that moment makes the deletion fail or wait for its close,
  // and the new copy stays app.New. So the file is left alone until the restart has done
  // the pending operations (they leave the registry), and then read once.
  EXPECT_TRUE(WaitFor([&] { return !PendingDeletion(app); }, 180)) << DescribeWindows();
  EXPECT_EQ(FileVersion(app), "2.0") << "the restart puts the new file in place";
  EXPECT_FALSE(Exists(InstallDir() + "\\app.New"));
}

}  // namespace
