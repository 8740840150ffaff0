// The copy form and the shortcut/INI/registry form under Wine: archives packed by the
// compression component, the real forms driven through the window layer's seams.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <set>

#include "base/win/Application.h"
#include "base/win/TestSeams.h"
#include "resources/engine_strings.h"
#include "setup/engine/SetupCopyFiles.h"
#include "setup/engine/SetupOther.h"
#include "setup/services/InstArchiveReader.h"
#include "setup/services/InstGlobal.h"
#include "tests/engine/CopyTestSupport.h"

using namespace base::win;
using namespace copytest;

namespace {

class CopyForm : public ::testing::Test {
protected:
  void SetUp() override {
    seams::Reset();
    seams::Arm();
    ResetInstGlobalState();
    ResetArchiveIndex();
    dir_ = FreshDir(std::string("cf_") + ::testing::UnitTest::GetInstance()->current_test_info()->name());
    inst_ = dir_ + "inst";
    SetDirMacro("<INSTALLDIR>", inst_);
  }
  void TearDown() override {
    seams::Reset();
    RemoveTree(dir_);
  }
  bool Logged(const std::string& line) const {
    const auto& log = UninstallLog();
    return std::find(log.begin(), log.end(), line) != log.end();
  }
  std::vector<std::string> MessageTexts() const {
    std::vector<std::string> t;
    for (const auto& m : seams::Messages()) t.push_back(m.Text);
    return t;
  }
  std::string dir_, inst_;
};

TEST_F(CopyForm, GroupsOfTwoComponentsLandWithLabelsBarAndLog) {
  TestProject pr(dir_);
  pr.Group("App", "<INSTALLDIR>\\bin", {{"a.exe", Noise(5000, 1)}, {"b.dll", Noise(300, 2)}});
  pr.Group("Docs", "<INSTALLDIR>\\doc\\", {{"read.txt", "hello"}});
  pr.Group("Other", "<INSTALLDIR>\\other", {{"o.txt", "never"}});
  pr.Select("Main", {"App"});
  pr.Select("Help", {"docs", "Docs"});  // "docs" matches no group exactly: skipped
  pr.PackArchive();
  seams::Watchdog dog(30, "copy of two components");
  TfrmCopyFiles form(pr.p);
  form.ArchiveFile = pr.archive;
  EXPECT_EQ(form.ShowModal(), kCopyDone);
  // The maximum counts every selected group's size, the skipped one's too.
  EXPECT_EQ(form.pbOverall.Max(), 5000 + 300 + 5 + 5);
  EXPECT_EQ(form.pbOverall.Position(), 5305);
  EXPECT_EQ(form.lblGroupName.Caption(), "Docs...");
  EXPECT_NE(form.lblFileName.Caption().find("read.txt"), std::string::npos);
  // No billboards: the middle of the screen.
  EXPECT_EQ(form.Left(), (ScreenWidth() - form.Width()) / 2);
  EXPECT_EQ(form.Top(), (ScreenHeight() - form.Height()) / 2);
  EXPECT_EQ(ReadText(inst_ + "\\bin\\a.exe"), Noise(5000, 1));
  EXPECT_EQ(ReadText(inst_ + "\\doc\\read.txt"), "hello");
  EXPECT_FALSE(IsDir(inst_ + "\\other"));
  EXPECT_TRUE(Logged("CreateDir=" + inst_ + "\\bin"));
  EXPECT_TRUE(Logged("CreateFile=" + inst_ + "\\bin\\b.dll"));
  EXPECT_TRUE(Logged("CreateFile=" + inst_ + "\\doc\\read.txt"));
  // The group's destination got its backslash, and its folder line followed.
  EXPECT_EQ(pr.p.FindGroup("App")->Destination(), "<INSTALLDIR>\\bin\\");
  EXPECT_NE(std::find(pr.p.InstFolders.begin(), pr.p.InstFolders.end(), "[App]=<INSTALLDIR>\\bin\\"),
            pr.p.InstFolders.end());
  EXPECT_TRUE(seams::Messages().empty());
}

// A file is written under its own name while it is new: there only its full size tells
// that it is done.
bool IsWhole(const std::string& file, int64_t size) {
  WIN32_FILE_ATTRIBUTE_DATA d;
  if (!GetFileAttributesExA(file.c_str(), GetFileExInfoStandard, &d)) return false;
  return (static_cast<int64_t>(d.nFileSizeHigh) << 32 | d.nFileSizeLow) == size;
}

TEST_F(CopyForm, TheLabelNamesALargeFileThatFollowsATinyOne) {
  TestProject pr(dir_);
  // Timers tick at most every 10 ms: the large file's copy must outlast several ticks.
  pr.Group("G", "<INSTALLDIR>\\", {{"tiny.txt", "t"}, {"large.bin", Noise(12000000, 7)}});
  pr.Select("C", {"G"});
  pr.PackArchive();
  const std::string tiny = inst_ + "\\tiny.txt";
  const std::string large = inst_ + "\\large.bin";
  std::string shown;
  seams::WhenShown<TfrmCopyFiles>([&](TfrmCopyFiles& f) {
    f.SetTimer(7, 1, [&f, &shown, tiny, large] {
      // The tiny file is whole and the large one begun, not yet whole: the large one is
      // being copied, its name must be on show.
      if (shown.empty() && IsWhole(tiny, 1) && IsFile(large) && !IsWhole(large, 12000000))
        shown = f.lblFileName.Caption();
    });
  });
  seams::Watchdog dog(30, "tiny then large");
  EXPECT_EQ(RunCopyFiles(pr.archive, &pr.p, 0, nullptr), kCopyDone);
  ASSERT_FALSE(shown.empty()) << "the copy was never seen while the large file was written";
  EXPECT_NE(shown.find("large.bin"), std::string::npos) << shown;
}

TEST_F(CopyForm, AFailingFileIsAskedAboutAndTheAnswerDecides) {
  for (int answer : {mrYes, mrNo}) {
    ResetInstGlobalState();
    SetDirMacro("<INSTALLDIR>", inst_);
    seams::Reset();
    seams::Arm();
    const std::string scratch = dir_ + (answer == mrYes ? "y\\" : "n\\");
    CreateDirectoryA(scratch.c_str(), nullptr);
    TestProject pr(scratch);
    pr.Group("G", "<INSTALLDIR>\\" + std::to_string(answer) + "\\", {{"first.txt", "1"}, {"blocked.txt", "2"}});
    pr.Group("H", "<INSTALLDIR>\\" + std::to_string(answer) + "\\", {{"last.txt", "3"}});
    pr.PackArchive();
    pr.Select("C", {"G", "H"});
    const std::string where = inst_ + "\\" + std::to_string(answer) + "\\";
    // A folder where a file must go: that file cannot be written.
    CreateDirectoryA(inst_.c_str(), nullptr);
    CreateDirectoryA(where.c_str(), nullptr);
    CreateDirectoryA((where + "blocked.txt").c_str(), nullptr);
    seams::QueueMessageAnswer(answer);
    seams::Watchdog dog(30, "failing file");
    const uint8_t result = RunCopyFiles(pr.archive, &pr.p, 0, nullptr);
    ASSERT_EQ(seams::Messages().size(), 1u);
    const auto& m = seams::Messages()[0];
    EXPECT_EQ(m.Type, MsgDlgType::Error);
    EXPECT_EQ(m.Buttons, mbYesNo);
    EXPECT_EQ(m.Text, "An Error occurred while extracting a file:\r\rError installing the file 'blocked.txt'\r\r"
                      "Continue with the Installation?");
    EXPECT_TRUE(IsFile(where + "first.txt"));
    EXPECT_EQ(result, answer == mrYes ? kCopyDone : kCopyCancelled);
    EXPECT_EQ(IsFile(where + "last.txt"), answer == mrYes);
  }
}

TEST_F(CopyForm, AFileTheArchiveLacksEndsTheCopyAsDamagedWithoutAQuestion) {
  TestProject pr(dir_);
  TTandrelFileGroup* g = pr.Group("G", "<INSTALLDIR>\\", {{"first.txt", "1"}});
  pr.Group("H", "<INSTALLDIR>\\", {{"last.txt", "3"}});
  pr.PackArchive();
  g->Files.Add()->FileName = "C:\\nowhere\\missing.dll";
  g->Files[1]->Size = 10;
  pr.Select("C", {"G", "H"});
  seams::Watchdog dog(30, "damaged archive");
  EXPECT_EQ(RunCopyFiles(pr.archive, &pr.p, 0, nullptr), kCopyDamaged);
  EXPECT_TRUE(seams::Messages().empty());
  EXPECT_FALSE(IsFile(inst_ + "\\last.txt"));
}

TEST_F(CopyForm, CancelAnsweredYesAfterTheFirstFileStopsTheCopy) {
  TestProject pr(dir_);
  std::vector<SourceFile> files;
  for (int i = 0; i < 6; ++i) files.push_back({"f" + std::to_string(i) + ".bin", Noise(200000, 10 + i)});
  pr.Group("G", "<INSTALLDIR>\\", files);
  pr.Select("C", {"G"});
  pr.PackArchive();
  const std::string first = inst_ + "\\f0.bin";
  seams::QueueMessageAnswer(mrYes);
  seams::WhenShown<TfrmCopyFiles>([&](TfrmCopyFiles& f) {
    f.SetTimer(7, 1, [&f, first] {
      if (!IsFile(first)) return;
      f.KillTimer(7);
      f.Button1.Click();
    });
  });
  seams::Watchdog dog(30, "cancel during copy");
  EXPECT_EQ(RunCopyFiles(pr.archive, &pr.p, 0, nullptr), kCopyCancelled);
  ASSERT_EQ(seams::Messages().size(), 1u);
  EXPECT_EQ(seams::Messages()[0].Type, MsgDlgType::Confirmation);
  EXPECT_EQ(seams::Messages()[0].Text, IDS_COPY_CANCEL_TEXT);
  EXPECT_TRUE(IsFile(first));
  EXPECT_TRUE(Logged("CreateFile=" + first));
  EXPECT_FALSE(IsFile(inst_ + "\\f5.bin"));
  EXPECT_FALSE(Logged("CreateFile=" + inst_ + "\\f5.bin"));
}

TEST_F(CopyForm, EscapeAsksTheCancelQuestionAndNoGoesOn) {
  TestProject pr(dir_);
  pr.Group("G", "<INSTALLDIR>\\", {{"a.bin", Noise(300000, 3)}, {"b.bin", Noise(300000, 4)}});
  pr.Select("C", {"G"});
  pr.PackArchive();
  seams::QueueMessageAnswer(mrNo);
  seams::WhenShown<TfrmCopyFiles>([&](TfrmCopyFiles& f) {
    PostMessageA(f.Button1.Handle(), WM_KEYDOWN, VK_ESCAPE, 0);
  });
  seams::Watchdog dog(30, "escape during copy");
  EXPECT_EQ(RunCopyFiles(pr.archive, &pr.p, 0, nullptr), kCopyDone);
  EXPECT_EQ(MessageTexts(), std::vector<std::string>{IDS_COPY_CANCEL_TEXT});
  EXPECT_TRUE(IsFile(inst_ + "\\b.bin"));
}

// The copy reads its archive through one held handle: a progress report that takes
// another entry of the same archive must not move the expansion it interrupts.
TEST_F(CopyForm, AHeldArchiveServesAnotherEntryInsideAProgressReport) {
  const std::string large = dir_ + "large.bin", small = dir_ + "small.txt";
  WriteText(large, Noise(300000, 5));
  WriteText(small, "small one");
  const std::string archive = dir_ + "held.arc";
  Pack(archive, {{"G\\large.bin", large}, {"G\\small.txt", small}});
  TArchiveHold hold(archive);
  base::MemoryStream out, inner;
  int reports = 0;
  ExpandFileFromArchive(archive, out, "G\\large.bin", [&](int32_t&) {
    if (++reports == 2) ExpandFileFromArchive(archive, inner, "G\\small.txt", nullptr);
  });
  ASSERT_GT(reports, 2);
  EXPECT_EQ(std::string(out.Bytes().begin(), out.Bytes().end()), Noise(300000, 5));
  EXPECT_EQ(std::string(inner.Bytes().begin(), inner.Bytes().end()), "small one");
  EXPECT_EQ(GetArchivedEntryInfo(archive, "G\\small.txt").ExpandedSize, 9);
}

TEST_F(CopyForm, AFileHeldOpenWaitsForTheRestart) {
  TestProject pr(dir_);
  pr.Group("G", "<INSTALLDIR>\\", {{"busy.dll", "new contents"}, {"free.txt", "free"}});
  pr.Select("C", {"G"});
  pr.PackArchive();
  CreateDirectoryA(inst_.c_str(), nullptr);
  const std::string busy = inst_ + "\\busy.dll";
  WriteText(busy, "old contents");
  HANDLE held = CreateFileA(busy.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(held, INVALID_HANDLE_VALUE);
  seams::Watchdog dog(30, "file in use");
  const uint8_t result = RunCopyFiles(pr.archive, &pr.p, 0, nullptr);
  CloseHandle(held);
  EXPECT_EQ(result, kCopyNeedsRestart);
  EXPECT_TRUE(seams::Messages().empty());
  EXPECT_EQ(ReadText(busy), "old contents");
  ASSERT_EQ(PendingRenames().size(), 1u);
  EXPECT_EQ(PendingRenames()[0].FileName, busy);
  EXPECT_EQ(ReadText(PendingRenames()[0].PendingCopy), "new contents");
  EXPECT_EQ(ReadText(inst_ + "\\free.txt"), "free");
}

TEST_F(CopyForm, ASelfRegisteringDllIsRegisteredOnceInstalled) {
  const std::string fixture = BinFile("fixtures_ab\\tandrel_ab_server.dll");
  ASSERT_TRUE(IsFile(fixture)) << fixture;
  TestProject pr(dir_);
  pr.Group("G", "<INSTALLDIR>\\", {{"server.dll", "", true, fixture}});
  pr.Select("C", {"G"});
  pr.PackArchive();
  seams::Watchdog dog(30, "self-registration");
  EXPECT_EQ(RunCopyFiles(pr.archive, &pr.p, 0, nullptr), kCopyDone);
  const std::string installed = inst_ + "\\server.dll";
  EXPECT_TRUE(seams::Messages().empty());
  EXPECT_TRUE(Logged("RegisterFile=" + installed));
  EXPECT_EQ(UnregisterServerFile(installed), 0);
}

TEST_F(CopyForm, ThreeBillboardsOverThreeMillionBytesWithARecorder) {
  TestProject pr(dir_);
  pr.p.BillBoards = {"one.bmp", "two.bmp", "three.bmp"};
  pr.Group("G", "<INSTALLDIR>\\",
           {{"1.bin", Noise(1000000, 5)}, {"2.bin", Noise(1000000, 6)}, {"3.bin", Noise(1000000, 7)}});
  pr.Select("C", {"G"});
  pr.PackArchive();
  struct Shown {
    int index;
    bool first, second, third;
    int bottom;
  };
  std::vector<Shown> shown;
  const int topLimit = ScreenHeight() - 40;
  auto recorder = [&](int n) {
    int bottom = -1;
    if (!App().ModalForms().empty()) {
      Form* f = App().ModalForms().back();
      bottom = f->Top() + f->Height();
    }
    shown.push_back({n, IsWhole(inst_ + "\\1.bin", 1000000), IsWhole(inst_ + "\\2.bin", 1000000),
                     IsWhole(inst_ + "\\3.bin", 1000000), bottom});
  };
  seams::Watchdog dog(60, "billboards");
  EXPECT_EQ(RunCopyFiles(pr.archive, &pr.p, topLimit, recorder), kCopyDone);
  ASSERT_EQ(shown.size(), 4u);
  EXPECT_EQ(shown[0].index, 0);  // as the copy starts
  EXPECT_FALSE(shown[0].first);
  EXPECT_EQ(shown[1].index, 0);  // again with the first progress
  EXPECT_EQ(shown[2].index, 1);  // past 1,000,000: during the second file
  EXPECT_TRUE(shown[2].first);
  EXPECT_FALSE(shown[2].second);
  EXPECT_EQ(shown[3].index, 2);  // past 2,000,000: during the third
  EXPECT_TRUE(shown[3].second);
  EXPECT_FALSE(shown[3].third);
  for (const auto& s : shown) EXPECT_EQ(s.bottom, topLimit - 5);
}

// ---------------------------------------------------------------- shortcuts, INI, registry

std::string ProgramsFolder() {
  HKEY k;
  char buf[MAX_PATH] = {};
  DWORD size = sizeof buf;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders", 0,
                    KEY_READ, &k) == ERROR_SUCCESS) {
    RegQueryValueExA(k, "Programs", nullptr, nullptr, reinterpret_cast<BYTE*>(buf), &size);
    RegCloseKey(k);
  }
  return buf;
}

bool RegValue(const std::string& key, const std::string& name, DWORD& type, std::string& data) {
  HKEY k;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, key.c_str(), 0, KEY_READ, &k) != ERROR_SUCCESS) return false;
  BYTE buf[512];
  DWORD size = sizeof buf;
  LONG r = RegQueryValueExA(k, name.empty() ? nullptr : name.c_str(), nullptr, &type, buf, &size);
  RegCloseKey(k);
  if (r != ERROR_SUCCESS) return false;
  data.assign(reinterpret_cast<char*>(buf), size);
  return true;
}

bool RegKeyExists(const std::string& key) {
  HKEY k;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, key.c_str(), 0, KEY_READ, &k) != ERROR_SUCCESS) return false;
  RegCloseKey(k);
  return true;
}

TEST_F(CopyForm, ShortcutsGoToTheWizardsFolderOrTheProjects) {
  const std::string tag = "TandrelOther" + std::to_string(GetCurrentProcessId());
  for (bool page : {true, false}) {
    ResetInstGlobalState();
    TTandrelBaseInstall p;
    p.ProgramFolder = tag + "Project";
    p.InstallInfo = std::make_unique<TInstallInfo>();
    p.InstallInfo->ProgramFolder = tag + "Typed";
    p.DialogTypes = page ? (p.DialogTypes | SetBit(dtSelectFolder)) : (p.DialogTypes & ~SetBit(dtSelectFolder));
    auto* icon = p.Icons.Add();
    icon->Caption = "Run Me";
    icon->FileName = "<INSTALLDIR>\\a.exe";
    icon->GroupType = gtPrograms;
    seams::Watchdog dog(30, "shortcuts");
    RunOtherTask(&p, kOtherShortcuts);
    const std::string folder = ProgramsFolder() + "\\" + (page ? p.InstallInfo->ProgramFolder : p.ProgramFolder);
    const std::string link = folder + "\\Run Me.lnk";
    EXPECT_TRUE(IsFile(link)) << link;
    EXPECT_TRUE(Logged("CreateFolder_PM=" + folder));
    EXPECT_TRUE(Logged("CreateFile_PM=" + link));
    DeleteFileA(link.c_str());
    RemoveDirectoryA(folder.c_str());
  }
}

TEST_F(CopyForm, IniValuesAndRegistryValuesOfEachStyle) {
  TTandrelBaseInstall p;
  const std::string ini = dir_ + "app.ini";
  auto* section = p.AddIniFile(ini)->AddSection("Main");
  section->AddValue("Folder")->Value = "<INSTALLDIR>";
  section->AddValue("")->Value = "no key: nothing";
  {
    seams::Watchdog dog(30, "INI values");
    RunOtherTask(&p, kOtherIniValues);
  }
  char buf[MAX_PATH] = {};
  GetPrivateProfileStringA("Main", "Folder", "", buf, sizeof buf, ini.c_str());
  EXPECT_EQ(std::string(buf), inst_);
  EXPECT_TRUE(Logged("CreateIniValue=" + ini + ",Main,Folder"));

  const std::string key = "Software\\TandrelOther" + std::to_string(GetCurrentProcessId());
  p.Registry.Clear();
  TTandrelRegKey* k = p.AddRegKey("HKEY_CURRENT_USER\\" + key);
  k->AddStringValue("Path", "<INSTALLDIR>\\bin");
  k->AddDWordValue("Count", 26);
  k->AddBinaryValue("Blob", "01ff 7a");
  k->Values[0]->StringValue = "the unnamed value stays unset";
  k->AddStringValue("tmp", "x")->ValueName = "(DEFAULT)";
  TTandrelRegKey* only = k->AddKey("OnlyDefault");
  only->UninstallKey = true;
  for (auto* root : p.Registry) root->Parent = root;  // stale links: the task relinks
  {
    seams::Watchdog dog(30, "registry values");
    RunOtherTask(&p, kOtherRegistry);
  }
  DWORD type = 0;
  std::string data;
  ASSERT_TRUE(RegValue(key, "Path", type, data));
  EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
  EXPECT_EQ(std::string(data.c_str()), inst_ + "\\bin");
  ASSERT_TRUE(RegValue(key, "Count", type, data));
  EXPECT_EQ(type, static_cast<DWORD>(REG_DWORD));
  EXPECT_EQ(data, std::string("\x1a\0\0\0", 4));
  ASSERT_TRUE(RegValue(key, "Blob", type, data));
  EXPECT_EQ(type, static_cast<DWORD>(REG_BINARY));
  EXPECT_EQ(data, "\x01\xff\x7a");
  EXPECT_FALSE(RegValue(key, "", type, data));
  EXPECT_FALSE(RegValue(key, "(DEFAULT)", type, data));
  EXPECT_FALSE(RegKeyExists(key + "\\OnlyDefault"));
  const std::string full = "HKEY_CURRENT_USER\\" + key;
  EXPECT_TRUE(Logged("CreateRegKey=" + full));
  EXPECT_TRUE(Logged("AddRegValue=(" + full + ")Blob"));
  EXPECT_TRUE(Logged("UninstallKey=" + full + "\\OnlyDefault"));
  RegDeleteKeyA(HKEY_CURRENT_USER, key.c_str());
}

}  // namespace
