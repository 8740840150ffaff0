// The uninstaller under Wine: the real forms driven through the window layer's seams, on
// logs written by hand and on the log of a real copy and the other tasks.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <map>

#include "base/win/Application.h"
#include "base/win/TestSeams.h"
#include "resources/engine_strings.h"
#include "setup/engine/SetupCopyFiles.h"
#include "setup/engine/SetupOther.h"
#include "setup/services/InstArchiveReader.h"
#include "setup/services/InstGlobal.h"
#include "setup/services/InstallRules.h"
#include "setup/uninstall/UnInst.h"
#include "setup/uninstall/UnInstDelete.h"
#include "tests/engine/CopyTestSupport.h"

using namespace base::win;
using namespace copytest;

namespace {

const char* const kSharedDlls = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\SharedDLLs";

void SetCount(const std::string& file, DWORD count) {
  HKEY k;
  ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, kSharedDlls, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &k, nullptr),
            ERROR_SUCCESS);
  RegSetValueExA(k, file.c_str(), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&count), sizeof count);
  RegCloseKey(k);
}
int Count(const std::string& file) {
  HKEY k;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kSharedDlls, 0, KEY_READ, &k) != ERROR_SUCCESS) return -1;
  DWORD v = 0, size = sizeof v;
  LONG r = RegQueryValueExA(k, file.c_str(), nullptr, nullptr, reinterpret_cast<BYTE*>(&v), &size);
  RegCloseKey(k);
  return r == ERROR_SUCCESS ? static_cast<int>(v) : -1;
}
void DropCount(const std::string& file) {
  HKEY k;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kSharedDlls, 0, KEY_WRITE, &k) != ERROR_SUCCESS) return;
  RegDeleteValueA(k, file.c_str());
  RegCloseKey(k);
}

class Uninstaller : public ::testing::Test {
protected:
  void SetUp() override {
    seams::Reset();
    seams::Arm();
    ResetInstGlobalState();
    ResetArchiveIndex();
    dir_ = FreshDir(std::string("un_") + ::testing::UnitTest::GetInstance()->current_test_info()->name());
    log_ = dir_ + "UnInst.log";
  }
  void TearDown() override {
    seams::Reset();
    App().SetCommandLine("");
    for (const auto& f : counted_) DropCount(f);
    RemoveTree(dir_);
  }
  void WriteLog(const std::vector<std::string>& lines) { WriteText(log_, JoinLogLines(lines)); }
  std::string File(const std::string& name, const std::string& text = "x") {
    WriteText(dir_ + name, text);
    return dir_ + name;
  }
  std::string Shared(const std::string& name, int count) {
    const std::string f = File(name);
    counted_.push_back(f);
    if (count >= 0) SetCount(f, static_cast<DWORD>(count));
    return f;
  }
  // Clicks OK once the run has ended, noting the end text; optionally asks to close first.
  void FinishWhenDone(bool closeDuringRun = false) {
    seams::WhenShown<TfrmUninstall>([this, closeDuringRun](TfrmUninstall& f) {
      if (closeDuringRun) PostMessageA(f.Handle(), WM_CLOSE, 0, 0);
      f.SetTimer(9, 5, [this, &f] {
        if (!f.btnOK.Enabled()) return;
        f.KillTimer(9);
        endText_ = f.lblCompleted.Caption();
        for (int i = 0; i < 6; ++i) ticks_ += f.img[i].Visible() ? "1" : "0";
        f.btnOK.Click();
      });
    });
  }
  // Answers the shared-file question by clicking one of its buttons, noting what it showed.
  void Answer(int button) {
    seams::WhenShown<TfrmRemoveSharedFile>([this, button](TfrmRemoveSharedFile& f) {
      asked_.push_back(f.edtLocation.Text() + "|" + f.edtFileName.Text());
      if (button == VK_ESCAPE)
        PostMessageA(f.edtFileName.Handle(), WM_KEYDOWN, VK_ESCAPE, 0);
      else
        SendMessageA(f.Item(button), BM_CLICK, 0, 0);
    });
  }
  int RunForm() {
    seams::Watchdog dog(30, "uninstall form");
    TfrmUninstall form;
    form.LogPath = log_ + " ";
    form.AppName = "App";
    return form.ShowModal();
  }

  std::string dir_, log_, endText_, ticks_;
  std::vector<std::string> asked_, counted_;
};

TEST_F(Uninstaller, SharedFilesByCount) {
  const std::string two = Shared("two.dll", 2), one = Shared("one.dll", 1), none = Shared("none.dll", -1);
  WriteLog({"IncUsageCount=" + two, "CreateFile=" + two, "IncUsageCount=" + one, "CreateFile=" + one,
            "IncUsageCount=" + none, "CreateFile=" + none});
  Answer(IDC_btnYes);
  FinishWhenDone();
  EXPECT_EQ(RunForm(), mrOk);
  EXPECT_TRUE(IsFile(two));
  EXPECT_EQ(Count(two), 1);
  EXPECT_FALSE(IsFile(one));
  EXPECT_EQ(Count(one), -1);  // at 0 the value goes
  EXPECT_TRUE(IsFile(none));
  EXPECT_EQ(asked_, std::vector<std::string>{dir_ + "|one.dll"});
  EXPECT_EQ(endText_, IDS_UNI_COMPLETE_TEXT);
  EXPECT_EQ(ticks_, "111111");
  EXPECT_FALSE(IsFile(log_));
}

TEST_F(Uninstaller, TicksAreTheProgramsTickPicture) {
  WriteLog({"CreateFile=" + File("a.txt")});
  std::vector<std::string> seen;
  seams::WhenShown<TfrmUninstall>([&](TfrmUninstall& f) {
    f.SetTimer(9, 5, [&] {
      if (!f.btnOK.Enabled()) return;
      f.KillTimer(9);
      for (int i = 0; i < 6; ++i) {
        char cls[64] = {};
        GetClassNameA(f.img[i].Handle(), cls, sizeof cls);
        // The tick picture of the program's resources (36 x 33), drawn within its row.
        seen.push_back(std::string(cls) + " " + std::to_string(f.img[i].PictureWidth()) + "x" +
                       std::to_string(f.img[i].PictureHeight()) + (f.img[i].Visible() ? " shown" : " hidden") +
                       (f.img[i].Height() <= f.lblStep[i].Height() + 8 ? "" : " too tall"));
      }
      f.btnOK.Click();
    });
  });
  EXPECT_EQ(RunForm(), mrOk);
  EXPECT_EQ(seen, std::vector<std::string>(6, "TandrelImage 36x33 shown"));
}

TEST_F(Uninstaller, YesToAllAndNoToAllAskOnce) {
  for (int button : {IDC_btnYesToAll, IDC_btnNoToAll}) {
    asked_.clear();
    const std::string a = Shared("a.dll", 1), b = Shared("b.dll", 1), c = Shared("c.dll", 1);
    WriteLog({"IncUsageCount=" + a, "IncUsageCount=" + b, "IncUsageCount=" + c});
    Answer(button);
    FinishWhenDone();
    EXPECT_EQ(RunForm(), mrOk);
    EXPECT_EQ(asked_.size(), 1u);
    const bool removed = button == IDC_btnYesToAll;
    for (const auto& f : {a, b, c}) EXPECT_EQ(IsFile(f), !removed) << f;
    EXPECT_EQ(endText_, removed ? IDS_UNI_COMPLETE_TEXT : IDS_UNI_INCOMPLETE_TEXT);
  }
}

TEST_F(Uninstaller, EscapeAnswersNoAndTheNextFileIsAskedAgain) {
  const std::string a = Shared("a.dll", 1), b = Shared("b.dll", 1);
  WriteLog({"IncUsageCount=" + a, "IncUsageCount=" + b});
  Answer(VK_ESCAPE);
  Answer(IDC_btnYes);
  FinishWhenDone();
  EXPECT_EQ(RunForm(), mrOk);
  EXPECT_EQ(asked_.size(), 2u);
  EXPECT_TRUE(IsFile(a));
  EXPECT_FALSE(IsFile(b));
  EXPECT_EQ(endText_, IDS_UNI_INCOMPLETE_TEXT);
}

TEST_F(Uninstaller, ASharedFileInUseIsDeletedAtTheRestart) {
  const std::string busy = Shared("busy.dll", 1);
  WriteLog({"IncUsageCount=" + busy});
  HANDLE held = CreateFileA(busy.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(held, INVALID_HANDLE_VALUE);
  Answer(IDC_btnYes);
  FinishWhenDone();
  EXPECT_EQ(RunForm(), mrOk);
  CloseHandle(held);
  EXPECT_TRUE(IsFile(busy));
  EXPECT_EQ(endText_, IDS_UNI_INCOMPLETE_TEXT);
  // MoveFileExA on this (NT) version: the pending operation names the file.
  HKEY k;
  ASSERT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, "System\\CurrentControlSet\\Control\\Session Manager", 0, KEY_READ, &k),
            ERROR_SUCCESS);
  std::vector<char> buf(1 << 16);
  DWORD size = static_cast<DWORD>(buf.size());
  LONG r = RegQueryValueExA(k, "PendingFileRenameOperations", nullptr, nullptr, reinterpret_cast<BYTE*>(buf.data()), &size);
  RegCloseKey(k);
  ASSERT_EQ(r, ERROR_SUCCESS);
  std::string ops(buf.data(), size);
  std::transform(ops.begin(), ops.end(), ops.begin(), ::tolower);
  std::string name = busy;
  std::transform(name.begin(), name.end(), name.begin(), ::tolower);
  EXPECT_NE(ops.find(name), std::string::npos);
}

TEST_F(Uninstaller, OnThe95FamilyASharedFileInUseGetsItsOwnNulLine) {
  const std::string busy = Shared("BUSY.DLL", 1);
  const std::string ini = dir_ + "WININIT.INI";
  WriteText(ini, "[rename]\r\nnul=C:\\OLD\\EARLIER.DLL\r\n[Errors]\r\nx=y\r\n");
  WriteLog({"IncUsageCount=" + busy});
  HANDLE held = CreateFileA(busy.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(held, INVALID_HANDLE_VALUE);
  Answer(IDC_btnYes);
  FinishWhenDone();
  {
    seams::Watchdog dog(30, "uninstall form");
    TfrmUninstall form;
    form.LogPath = log_;
    form.AppName = "App";
    form.Platform = wv98;
    form.WininitFile = ini;
    EXPECT_EQ(form.ShowModal(), mrOk);
  }
  CloseHandle(held);
  std::string shortName = GetShortPath(busy);
  if (shortName.empty()) shortName = busy;
  EXPECT_EQ(ReadText(ini), "[rename]\r\nnul=C:\\OLD\\EARLIER.DLL\r\nnul=" + shortName + "\r\n[Errors]\r\nx=y\r\n");
  EXPECT_TRUE(IsFile(busy));
  EXPECT_EQ(endText_, IDS_UNI_INCOMPLETE_TEXT);
}

TEST_F(Uninstaller, AFolderWithAUsersFileStaysAndTheWindowWaitsForOk) {
  CreateDirectoryA((dir_ + "app").c_str(), nullptr);
  const std::string installed = File("app\\installed.txt"), mine = File("app\\mine.txt");
  const std::string empty = dir_ + "empty";
  CreateDirectoryA(empty.c_str(), nullptr);
  WriteLog({"CreateFile=" + installed, "CreateDir=" + empty, "CreateDir=" + dir_ + "app", "MoveFile=a;b", "junk"});
  FinishWhenDone(true);
  EXPECT_EQ(RunForm(), mrOk);  // the close asked for during the run was refused
  EXPECT_FALSE(IsFile(installed));
  EXPECT_TRUE(IsFile(mine));
  EXPECT_FALSE(IsDir(empty));
  EXPECT_TRUE(IsDir(dir_ + "app"));
  // Kept for a file the log does not name: no step of this installation failed.
  EXPECT_EQ(endText_, IDS_UNI_COMPLETE_TEXT);
  EXPECT_FALSE(IsFile(log_));
}

// Product A made the maker's key and its own, B only its own inside the maker's: A's
// uninstall keeps the maker's key and hands it to B's log, B's takes it along.
TEST_F(Uninstaller, AMakersKeyTwoProductsShareGoesWithTheLast) {
  const std::string tag = "TandrelKeyMaker" + std::to_string(GetCurrentProcessId());
  const std::string maker = "HKEY_CURRENT_USER\\Software\\" + tag, makerPath = "Software\\" + tag;
  const std::string entries = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\";
  auto keyThere = [](const std::string& path) {
    HKEY k;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, KEY_READ, &k) != ERROR_SUCCESS) return false;
    RegCloseKey(k);
    return true;
  };
  for (const char* product : {"A", "B"}) {
    HKEY k;
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, (makerPath + "\\" + product).c_str(), 0, nullptr, 0, KEY_ALL_ACCESS,
                              nullptr, &k, nullptr),
              ERROR_SUCCESS);
    RegSetValueExA(k, "Path", 0, REG_SZ, reinterpret_cast<const BYTE*>("x"), 2);
    RegCloseKey(k);
  }
  CreateDirectoryA((dir_ + "b").c_str(), nullptr);
  const std::string logB = dir_ + "b\\UnInst.log";
  const std::string linesB = JoinLogLines({"AddRegValue=(" + maker + "\\B)Path", "CreateRegKey=" + maker + "\\B"});
  WriteText(logB, linesB);
  // B's entry, as its setup registers it: the command names its log.
  HKEY entry;
  ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, (entries + tag + " B").c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                            &entry, nullptr),
            ERROR_SUCCESS);
  const std::string command = "\"C:\\engine.exe\" \"/UNINST=" + logB + " \" \"/APPNAME=" + tag + " B\"";
  RegSetValueExA(entry, "UninstallString", 0, REG_SZ, reinterpret_cast<const BYTE*>(command.c_str()),
                 static_cast<DWORD>(command.size() + 1));
  RegCloseKey(entry);

  WriteLog({"AddRegValue=(" + maker + "\\A)Path", "CreateRegKey=" + maker + "\\A", "CreateRegKey=" + maker});
  FinishWhenDone();
  EXPECT_EQ(RunForm(), mrOk);
  EXPECT_EQ(endText_, IDS_UNI_COMPLETE_TEXT) << "a key another product fills is no failed step";
  EXPECT_FALSE(keyThere(makerPath + "\\A"));
  EXPECT_TRUE(keyThere(makerPath + "\\B"));
  EXPECT_TRUE(keyThere(makerPath));
  EXPECT_EQ(ReadText(logB), linesB + "CreateRegKey=" + maker + "\r\n") << "handed to B, as its oldest line";

  RegDeleteKeyA(HKEY_LOCAL_MACHINE, (entries + tag + " B").c_str());
  log_ = logB;
  endText_.clear();
  FinishWhenDone();
  EXPECT_EQ(RunForm(), mrOk);
  EXPECT_EQ(endText_, IDS_UNI_COMPLETE_TEXT);
  EXPECT_FALSE(keyThere(makerPath)) << "nothing left";
  RegDeleteKeyA(HKEY_CURRENT_USER, (makerPath + "\\A").c_str());
  RegDeleteKeyA(HKEY_CURRENT_USER, (makerPath + "\\B").c_str());
  RegDeleteKeyA(HKEY_CURRENT_USER, makerPath.c_str());
}

TEST_F(Uninstaller, IniCleanUpKeepsCommentsAndALockedFileIsNoFailure) {
  const std::string ini = dir_ + "app.ini";
  WriteText(ini, "[Main]\r\n; the user's note\r\nkey=1\r\n[Gone]\r\nk=2\r\n[Other]\r\nx=y\r\n");
  WriteLog({"CreateIniValue=" + ini + ",Main,key", "CreateIniValue=" + ini + ",Gone,k"});
  FinishWhenDone();
  EXPECT_EQ(RunForm(), mrOk);
  const std::string text = ReadText(ini);
  EXPECT_NE(text.find("; the user's note"), std::string::npos) << text;
  EXPECT_NE(text.find("[Main]"), std::string::npos) << text;
  EXPECT_EQ(text.find("key=1"), std::string::npos) << text;
  EXPECT_EQ(text.find("[Gone]"), std::string::npos) << text;
  EXPECT_EQ(endText_, IDS_UNI_COMPLETE_TEXT);

  // INI failures never make the run incomplete.
  WriteText(ini, "[Main]\r\nkey=1\r\n");
  WriteLog({"CreateIniValue=" + ini + ",Main,key"});
  HANDLE held = CreateFileA(ini.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(held, INVALID_HANDLE_VALUE);
  endText_.clear();
  FinishWhenDone();
  EXPECT_EQ(RunForm(), mrOk);
  CloseHandle(held);
  EXPECT_EQ(endText_, IDS_UNI_COMPLETE_TEXT);
}

TEST_F(Uninstaller, ConfirmationAndAMissingLog) {
  struct Case {
    const char* why;
    bool logThere;
    int answer;
    MsgDlgType type;
    std::string text;
    bool logLeft;
    int exitCode;
  } cases[] = {
      {"missing log: the error", false, mrOk, MsgDlgType::Error,
       "\rAn error occurred while attempting to uninstall 'My App'", false, 4},
      {"No: nothing done", true, mrNo, MsgDlgType::Confirmation,
       "\rAre you sure you want to completely remove 'My App', and all of it's components?", true, 1},
  };
  for (const auto& c : cases) {
    seams::Reset();
    seams::Arm();
    DeleteFileA(log_.c_str());
    if (c.logThere) WriteLog({"CreateFile=" + dir_ + "x"});
    App().SetCommandLine("engine.exe \"/UNINST=" + log_ + " \" \"/APPNAME=My App\"");
    seams::QueueMessageAnswer(c.answer);
    seams::Watchdog dog(30, c.why);
    EXPECT_EQ(RunUninstall(), c.exitCode) << c.why;
    ASSERT_EQ(seams::Messages().size(), 1u) << c.why;
    EXPECT_EQ(seams::Messages()[0].Type, c.type) << c.why;
    EXPECT_EQ(seams::Messages()[0].Text, c.text) << c.why;
    EXPECT_EQ(seams::BeepCount(), 1) << c.why;
    EXPECT_EQ(IsFile(log_), c.logLeft) << c.why;
  }
}

// ---------------------------------------------------------------- the round trip

// What a test may leave behind: files and folders under the roots, registry keys and values
// under the keys, each with its contents.
struct Snapshot {
  std::map<std::string, std::string> items;
  bool operator==(const Snapshot& o) const { return items == o.items; }

  void Tree(const std::string& dir) {  // dir without trailing backslash
    DWORD a = GetFileAttributesA(dir.c_str());
    if (a == INVALID_FILE_ATTRIBUTES) return;
    if (!(a & FILE_ATTRIBUTE_DIRECTORY)) {
      items["F " + dir] = ReadText(dir) + " attr=" + std::to_string(a);
      return;
    }
    items["D " + dir] = "";
    WIN32_FIND_DATAA fd;
    HANDLE h = FindFirstFileA((dir + "\\*").c_str(), &fd);
    if (h == INVALID_HANDLE_VALUE) return;
    do {
      const std::string n = fd.cFileName;
      if (n != "." && n != "..") Tree(dir + "\\" + n);
    } while (FindNextFileA(h, &fd));
    FindClose(h);
  }
  void Key(HKEY root, const std::string& name, const std::string& path) {
    HKEY k;
    if (RegOpenKeyExA(root, path.c_str(), 0, KEY_READ, &k) != ERROR_SUCCESS) return;
    items["K " + name + "\\" + path] = "";
    char vname[512];
    BYTE data[2048];
    for (DWORD i = 0;; ++i) {
      DWORD nl = sizeof vname, dl = sizeof data, type = 0;
      if (RegEnumValueA(k, i, vname, &nl, nullptr, &type, data, &dl) != ERROR_SUCCESS) break;
      items["V " + name + "\\" + path + "|" + vname] =
          std::to_string(type) + ":" + std::string(reinterpret_cast<char*>(data), dl);
    }
    std::vector<std::string> subs;
    for (DWORD i = 0;; ++i) {
      DWORD nl = sizeof vname;
      if (RegEnumKeyExA(k, i, vname, &nl, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
      subs.push_back(vname);
    }
    RegCloseKey(k);
    for (const auto& s : subs) Key(root, name, path + "\\" + s);
  }
  std::string Diff(const Snapshot& o) const {
    std::string d;
    for (const auto& [k, v] : items)
      if (!o.items.count(k)) d += "- " + k + "\n";
      else if (o.items.at(k) != v) d += "~ " + k + "\n";
    for (const auto& [k, v] : o.items)
      if (!items.count(k)) d += "+ " + k + "\n";
    return d;
  }
};

std::string ShellFolder(const char* name) {
  HKEY k;
  char buf[MAX_PATH] = {};
  DWORD size = sizeof buf;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders", 0,
                    KEY_READ, &k) == ERROR_SUCCESS) {
    RegQueryValueExA(k, name, nullptr, nullptr, reinterpret_cast<BYTE*>(buf), &size);
    RegCloseKey(k);
  }
  return buf;
}

TEST_F(Uninstaller, ARealInstallIsUndoneToTheLastTrace) {
  const std::string tag = "TandrelRoundTrip" + std::to_string(GetCurrentProcessId());
  char windir[MAX_PATH];
  GetWindowsDirectoryA(windir, MAX_PATH);
  const std::string inst = dir_ + "inst", programs = ShellFolder("Programs") + "\\" + tag,
                    desktop = ShellFolder("Desktop") + "\\" + tag,
                    sharedIni = std::string(windir) + "\\" + tag + ".ini", userIni = dir_ + "user.ini";
  WriteText(userIni, "[Keep]\r\nmine=1\r\n");
  auto take = [&] {
    Snapshot s;
    for (const auto& root : {dir_.substr(0, dir_.size() - 1), programs, desktop, sharedIni}) s.Tree(root);
    s.Key(HKEY_CURRENT_USER, "HKCU", "Software\\" + tag);
    s.Key(HKEY_CURRENT_USER, "HKCU", "Software\\" + tag + " Maker");
    s.Key(HKEY_LOCAL_MACHINE, "HKLM", "SOFTWARE\\" + tag);
    s.Key(HKEY_LOCAL_MACHINE, "HKLM", "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\" + tag);
    return s;
  };
  const Snapshot before = take();

  // The install: copy, the three tasks, the log and the uninstall entry.
  SetDirMacro("<INSTALLDIR>", inst);
  CreateDirectoryA((dir_ + "pkg").c_str(), nullptr);
  TestProject pr(dir_ + "pkg\\");
  const Snapshot withPackage = [&] {
    pr.Group("App", "<INSTALLDIR>", {{"app.exe", Noise(40000, 1)}, {"app.hlp", "help"}});
    pr.Group("Data", "<INSTALLDIR>\\data\\", {{"one.dat", Noise(3000, 2)}, {"two.dat", ""}});
    pr.Select("Main", {"App", "Data"});
    pr.PackArchive();
    return take();
  }();
  pr.p.ProgramFolder = tag;
  pr.p.DialogTypes &= ~SetBit(dtSelectFolder);
  for (auto [caption, type] : {std::pair<std::string, TPMGroupType>{"Run App", gtDefault}, {tag, gtDesktop}}) {
    auto* icon = pr.p.Icons.Add();
    icon->Caption = caption;
    icon->FileName = "<INSTALLDIR>\\app.exe";
    icon->WorkingDir = "<INSTALLDIR>";
    icon->GroupType = type;
  }
  auto* shared = pr.p.AddIniFile(tag + ".ini")->AddSection("Settings");
  shared->AddValue("Folder")->Value = "<INSTALLDIR>";
  shared->AddValue("Mode")->Value = "1";
  pr.p.AddIniFile(userIni)->AddSection("App")->AddValue("Path")->Value = "<INSTALLDIR>";
  TTandrelRegKey* cu = pr.p.AddRegKey("HKEY_CURRENT_USER\\Software\\" + tag);
  cu->AddStringValue("Path", "<INSTALLDIR>");
  cu->AddDWordValue("Runs", 3);
  cu->AddBinaryValue("Blob", "0a0b0c");
  cu->AddKey("Settings")->AddStringValue("Colour", "blue");
  // A value two levels under keys that do not exist: both levels go again.
  pr.p.AddRegKey("HKEY_CURRENT_USER\\Software\\" + tag + " Maker\\App")->AddStringValue("Build", "1");
  TTandrelRegKey* lm = pr.p.AddRegKey("HKEY_LOCAL_MACHINE\\SOFTWARE\\" + tag);
  lm->UninstallKey = true;
  lm->AddKey("Cache")->AddDWordValue("Size", 1);
  pr.p.FixupOwners();
  {
    seams::Watchdog dog(60, "install");
    ASSERT_EQ(RunCopyFiles(pr.archive, &pr.p, 0, nullptr), kCopyDone);
    for (uint8_t mode : {kOtherShortcuts, kOtherIniValues, kOtherRegistry}) RunOtherTask(&pr.p, mode);
  }
  ASSERT_TRUE(SaveUninstallLog(inst + "\\UnInst.log"));
  ASSERT_EQ(CreateUninstallEntry(tag, ComposeUninstallString("engine.exe", inst + "\\", tag)), 0);
  ASSERT_TRUE(IsFile(programs + "\\Run App.lnk"));
  ASSERT_TRUE(IsFile(desktop + "\\" + tag + ".lnk"));
  ASSERT_FALSE(take() == withPackage);

  // The uninstall, as the registered command starts it (the log path ends with a blank).
  App().SetCommandLine("engine.exe \"/UNINST=" + inst + "\\UnInst.log \" \"/APPNAME=" + tag + "\"");
  seams::QueueMessageAnswer(mrYes);
  FinishWhenDone();
  {
    seams::Watchdog dog(60, "uninstall");
    RunUninstall();
  }
  EXPECT_EQ(endText_, IDS_UNI_COMPLETE_TEXT);
  const Snapshot after = take();
  EXPECT_TRUE(after == withPackage) << withPackage.Diff(after);
  RemoveTree(dir_ + "pkg\\");
  EXPECT_TRUE(take() == before) << before.Diff(take());
}

}  // namespace
