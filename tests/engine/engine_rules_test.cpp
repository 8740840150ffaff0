#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <set>

#include "base/Streams.h"
#include "setup/engine/EngineRules.h"
#include "setup/services/InstGlobal.h"
#include "tests/model/FakePlatform.h"

namespace {

using Args = std::vector<std::string>;

// ---------------------------------------------------------------- command line

TEST(EngineArgs, SourceAndDataAnywhereLastOneWins) {
  struct Case {
    Args args;
    std::string package, data;
    const char* why;
  } cases[] = {
      {{"/SOURCE=C:\\p.exe", "/DATA=C:\\t\\a1.tmp"}, "C:\\p.exe", "C:\\t\\a1.tmp", "plain"},
      {{"-x", "/DATA=d", "junk", "/SOURCE=s"}, "s", "d", "any order, among others"},
      {{"/SOURCE=one", "/SOURCE=two", "/DATA=a", "/DATA=b"}, "two", "b", "later overrides"},
      {{"/SOURCE=", "/DATA=d"}, "", "d", "empty value"},
      {{"/source=s", "/data=d"}, "", "", "prefixes are case-sensitive"},
      {{"x/SOURCE=s"}, "", "", "prefix at position 1 only"},
      {{"/SOURCE=C:\\My Files\\p.exe"}, "C:\\My Files\\p.exe", "", "blanks kept"},
      {{}, "", "", "none"},
  };
  for (const auto& c : cases) {
    std::string p = "stale", d = "stale";
    ReadInstallArgs(c.args, p, d);
    EXPECT_EQ(p, c.package) << c.why;
    EXPECT_EQ(d, c.data) << c.why;
  }
}

TEST(EngineArgs, UninstallSwitchAnywhereSelectsUninstallMode) {
  EXPECT_TRUE(IsUninstallMode({"/SOURCE=s", "/DATA=d", "/UNINST=C:\\App\\UnInst.log "}));
  EXPECT_TRUE(IsUninstallMode({"/UNINST=", "/APPNAME=x"}));
  EXPECT_FALSE(IsUninstallMode({"/uninst=C:\\x"}));
  EXPECT_FALSE(IsUninstallMode({" /UNINST=C:\\x", "/APPNAME=x"}));
  EXPECT_FALSE(IsUninstallMode({}));
}

// ---------------------------------------------------------------- gradient

TEST(Gradient, ScreenOf1024RowsGivesBandsOfFive) {
  TTandrelBaseInstall p;  // red and green static 0, blue decreasing
  auto bands = GradientBands(p, 1026);
  ASSERT_EQ(bands.size(), 206u);
  EXPECT_EQ(bands[0].Top, 0);
  EXPECT_EQ(bands[0].Bottom, 5);
  EXPECT_EQ(bands[205].Top, 1025);
  EXPECT_EQ(bands[0].Blue, 255);
  EXPECT_EQ(bands[205].Blue, 50);
  EXPECT_EQ(bands[205].Red, 0);
  EXPECT_EQ(bands[205].Green, 0);

  p.BlueIncreasing = true;
  bands = GradientBands(p, 1026);
  EXPECT_EQ(bands[0].Blue, 0);
  EXPECT_EQ(bands[205].Blue, 205);
}

TEST(Gradient, TinyAndOddHeightsAreSafe) {
  TTandrelBaseInstall p;
  EXPECT_TRUE(GradientBands(p, 0).empty());
  EXPECT_TRUE(GradientBands(p, -4).empty());
  auto one = GradientBands(p, 1);
  ASSERT_EQ(one.size(), 2u);
  EXPECT_EQ(one[0].Bottom, 1);
  EXPECT_EQ(GradientBands(p, 255).size(), 256u);
  EXPECT_EQ(GradientBands(p, 256).size(), 129u);  // bands of 2
}

TEST(Gradient, NeverMoreThan256BandsAndAlwaysCoversTheForm) {
  TTandrelBaseInstall p;
  for (int h = 1; h <= 5000; ++h) {
    auto bands = GradientBands(p, h);
    ASSERT_LE(bands.size(), 256u) << h;
    ASSERT_GE(bands.back().Bottom, h) << h;
    for (size_t i = 1; i < bands.size(); ++i) ASSERT_EQ(bands[i].Top, bands[i - 1].Bottom) << h;
  }
}

TEST(Gradient, StaticChannelTakesTheLowByte) {
  TTandrelBaseInstall p;
  p.Red = 0x1FE;
  p.Green = 7;
  p.BlueStatic = true;
  p.Blue = -1;
  auto b = GradientBands(p, 600)[100];
  EXPECT_EQ(b.Red, 0xFE);
  EXPECT_EQ(b.Green, 7);
  EXPECT_EQ(b.Blue, 0xFF);
}

// ---------------------------------------------------------------- placement

TEST(Placement, ByPosition) {
  struct Case {
    TItemPosition pos;
    int w, h, cw, ch;
    int left, top;
  } cases[] = {
      {ipTopLeft, 100, 40, 1026, 770, 15, 15},
      {ipTopRight, 100, 40, 1026, 770, 911, 15},
      {ipBottomLeft, 100, 40, 1026, 770, 15, 715},
      {ipBottomRight, 100, 40, 1026, 770, 911, 715},
      {ipCentre, 100, 40, 1026, 770, 463, 365},
      {ipCentre, 101, 41, 1026, 770, 462, 364},   // halves truncated
      {ipCentre, 1031, 775, 1026, 770, -2, -2},  // larger than the form: toward zero
  };
  for (const auto& c : cases) {
    TPlace at = PlaceByPosition(c.pos, c.w, c.h, c.cw, c.ch);
    EXPECT_EQ(at.Left, c.left) << int(c.pos);
    EXPECT_EQ(at.Top, c.top) << int(c.pos);
  }
}

TEST(Placement, ShadowBillboardAndCaption) {
  TPlace s = ShadowPlace({911, 715});
  EXPECT_EQ(s.Left, 914);
  EXPECT_EQ(s.Top, 718);
  TPlace b = BillboardPlace(300, 200, 1026, 770);
  EXPECT_EQ(b.Left, 363);
  EXPECT_EQ(b.Top, 235);
  EXPECT_EQ(BackgroundLabelText("My App"), "My App ");
  EXPECT_EQ(BackgroundLabelText(""), " ");
}

TEST(Placement, TimerCyclesAndEmptyListShowsNothing) {
  EXPECT_EQ(TimerBillboard(0, 0), -1);
  EXPECT_EQ(NextTimerIndex(0, 0), 0);
  int idx = 0;
  std::vector<int> shown;
  for (int i = 0; i < 5; ++i) {
    shown.push_back(TimerBillboard(idx, 3));
    idx = NextTimerIndex(idx, 3);
  }
  EXPECT_EQ(shown, (std::vector<int>{0, 1, 2, 0, 1}));
  // The list shrank under the index.
  EXPECT_EQ(TimerBillboard(7, 2), 0);
  EXPECT_EQ(NextTimerIndex(7, 2), 1);
}

// ---------------------------------------------------------------- support files

TEST(SupportFiles, PlanFollowsTheProjectsFlags) {
  TTandrelBaseInstall p;
  p.IsBitmap = true;
  p.TitleCaption = "C:\\Art\\logo.bmp";
  p.CustomImage = true;
  p.CustomImagePath = "C:\\Art\\side.bmp";
  p.BillBoards = {"C:\\Art\\b1.bmp", "D:\\b2.bmp"};
  p.DialogTypes = static_cast<TTandrelDialogTypes>(p.DialogTypes | SetBit(dtBillboards));
  auto* e1 = p.Extensions.Add();
  e1->Executable = "<SUPPORTDIR>\\ext.exe";
  e1->RealFile = "D:\\src\\ext.exe";
  auto* e2 = p.Extensions.Add();
  e2->Executable = "<supportdir>\\low.exe";  // case-sensitive prefix
  e2->RealFile = "D:\\src\\low.exe";
  auto* e3 = p.Extensions.Add();
  e3->Executable = "[Program Files]\\run.exe";
  e3->RealFile = "D:\\src\\run.exe";

  auto plan = PlanSupportFiles(p, "C:\\T\\ZemTmp");
  ASSERT_EQ(plan.size(), 5u);
  const std::pair<const char*, const char*> expected[] = {
      {"Logo", "C:\\T\\ZemTmp\\logo.bmp"},      {"CustomImage", "C:\\T\\ZemTmp\\side.bmp"},
      {"Billboards", "C:\\T\\ZemTmp\\b1.bmp"},  {"Billboards", "C:\\T\\ZemTmp\\b2.bmp"},
      {"Support", "C:\\T\\ZemTmp\\ext.exe"},
  };
  for (size_t i = 0; i < plan.size(); ++i) {
    EXPECT_EQ(plan[i].ArchiveFolder, expected[i].first);
    EXPECT_EQ(plan[i].CopyPath, expected[i].second);
  }
  for (const auto& f : plan) UseSupportCopy(p, f);
  EXPECT_EQ(p.TitleCaption, "C:\\T\\ZemTmp\\logo.bmp");
  EXPECT_EQ(p.CustomImagePath, "C:\\T\\ZemTmp\\side.bmp");
  EXPECT_EQ(p.BillBoards[1], "C:\\T\\ZemTmp\\b2.bmp");
  EXPECT_EQ(e1->Executable, "<SUPPORTDIR>\\ext.exe");
}

TEST(SupportFiles, NothingTakenOutWhenFlagsAreOff) {
  TTandrelBaseInstall p;
  p.TitleCaption = "My App";
  p.BillBoards = {"C:\\Art\\b1.bmp"};
  p.DialogTypes = static_cast<TTandrelDialogTypes>(p.DialogTypes & ~SetBit(dtBillboards));
  EXPECT_TRUE(PlanSupportFiles(p, "C:\\T\\ZemTmp").empty());
  // A picture flag with no file name names no entry.
  p.IsBitmap = true;
  p.TitleCaption = "";
  EXPECT_TRUE(PlanSupportFiles(p, "C:\\T\\ZemTmp").empty());
}

// ---------------------------------------------------------------- the package's entries

std::vector<std::string> Shown(const std::vector<TNeededEntry>& needed) {
  std::vector<std::string> out;
  for (const auto& n : needed) out.push_back(n.Name + " x" + std::to_string(n.Count) + " " + std::to_string(n.Size));
  return out;
}

TEST(PackageEntries, WhatTheProjectNeedsAsTheBuildPacksIt) {
  TTandrelBaseInstall p;
  p.Groups.Clear();
  p.IsBitmap = true;
  p.TitleCaption = "C:\\Art\\logo.bmp";
  p.BillBoards = {"C:\\Art\\b.bmp", "C:\\Art\\b.bmp"};  // one picture twice: packed twice
  p.DialogTypes = static_cast<TTandrelDialogTypes>(p.DialogTypes | SetBit(dtBillboards));
  for (const char* real : {"D:\\src\\ext.exe", "d:\\SRC\\EXT.exe"}) {  // one file: packed once
    auto* e = p.Extensions.Add();
    e->Executable = "<SUPPORTDIR>\\ext.exe";
    e->RealFile = real;
  }
  auto* run = p.Extensions.Add();
  run->Executable = "[Program Files]\\run.exe";  // travels in its group
  run->RealFile = "D:\\src\\run.exe";
  auto* g = p.Groups.Add();
  g->SetName("Program Files");
  for (auto [name, size] : {std::pair{"D:\\src\\a.dll", 10}, std::pair{"D:\\src\\empty.txt", 0}}) {
    auto* f = g->Files.Add();
    f->FileName = name;
    f->Size = size;
  }
  EXPECT_EQ(Shown(NeededArchive1Entries(p)),
            (std::vector<std::string>{"Info\\Inst.cmp x1 -1", "Logo\\logo.bmp x1 -1", "Billboards\\b.bmp x2 -1",
                                      "Support\\ext.exe x1 -1"}));
  EXPECT_EQ(Shown(NeededArchive2Entries(p)),
            (std::vector<std::string>{"Program Files\\a.dll x1 10", "Program Files\\empty.txt x1 0"}));
}

TEST(PackageEntries, EachNeededEntryOnceAndOfItsSize) {
  const std::vector<TNeededEntry> needed = {{"G\\a.dll", 1, 10}, {"G\\b.txt", 1, -1}};
  auto entry = [](const std::string& name, int32_t size) {
    TCompressedFileInfo info;
    info.ExpandedSize = size;
    return std::pair{name, info};
  };
  struct Case {
    const char* why;
    TCompressedFileList listing;
    bool holds;
  } cases[] = {
      {"both", {entry("G\\a.dll", 10), entry("G\\b.txt", 3)}, true},
      {"names in another case, and one more entry",
       {entry("g\\A.DLL", 10), entry("X\\y", 1), entry("G\\B.txt", 3)},
       true},
      {"one missing", {entry("G\\a.dll", 10)}, false},
      {"one renamed", {entry("G\\a.dll", 10), entry("G\\c.txt", 3)}, false},
      {"one twice", {entry("G\\a.dll", 10), entry("G\\b.txt", 3), entry("G\\A.dll", 10)}, false},
      {"another size than the project's", {entry("G\\a.dll", 11), entry("G\\b.txt", 3)}, false},
  };
  for (const auto& c : cases) EXPECT_EQ(ArchiveHoldsEntries(c.listing, needed), c.holds) << c.why;
  EXPECT_TRUE(ArchiveHoldsEntries({entry("G\\a.dll", 10), entry("G\\a.dll", 10)}, {{"G\\a.dll", 2, 10}}))
      << "a file the build packs twice";
}

// ---------------------------------------------------------------- archive 2

class ScratchDir : public ::testing::Test {
protected:
  void SetUp() override {
    dir_ = std::filesystem::temp_directory_path() /
           ("engine_rules_" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
    std::filesystem::remove_all(dir_);
    std::filesystem::create_directories(dir_);
  }
  void TearDown() override { std::filesystem::remove_all(dir_); }
  std::string Path(const char* name) const { return (dir_ / name).string(); }
  std::filesystem::path dir_;
};

void PutLe32(std::vector<uint8_t>& b, uint32_t v) {
  for (int i = 0; i < 4; ++i) b.push_back(static_cast<uint8_t>(v >> (8 * i)));
}

// Stub "MZ" + marker + S, then L1 "arc1", then L2 "archive two".
std::vector<uint8_t> Package(uint32_t claimedL2 = 11) {
  std::vector<uint8_t> b = {'M', 'Z', 0, 0};
  for (char c : std::string("ZEM_SIZE")) b.push_back(static_cast<uint8_t>(c));
  PutLe32(b, 20);
  b.resize(20, 0xEE);
  PutLe32(b, 4);
  for (char c : std::string("arc1")) b.push_back(static_cast<uint8_t>(c));
  PutLe32(b, claimedL2);
  for (char c : std::string("archive two")) b.push_back(static_cast<uint8_t>(c));
  return b;
}

std::vector<uint8_t> Head(size_t n) {
  auto b = Package();
  b.resize(n);
  return b;
}

using CutArchive = ScratchDir;

TEST_F(CutArchive, CopiesExactlyArchiveTwoReplacingAnOldFile) {
  base::WriteFileBytes(Path("p.exe"), Package());
  base::WriteFileBytes(Path("Setup2.tmp"), std::vector<uint8_t>(100, 'x'));
  CutPackageArchive2(Path("p.exe"), Path("Setup2.tmp"));
  auto got = base::ReadFileBytes(Path("Setup2.tmp"));
  EXPECT_EQ(std::string(got.begin(), got.end()), "archive two");
}

TEST_F(CutArchive, DamagedPackagesRaiseAndLeaveNoFile) {
  struct Case {
    std::vector<uint8_t> bytes;
    const char* why;
  } cases[] = {
      {Package(12), "archive two one byte short"},
      {Head(22), "cut inside L1"},
      {Head(20), "ends at the stub"},
      {{'M', 'Z', 1, 2, 3, 4, 5, 6, 7, 8, 9, 10}, "no size marker"},
  };
  for (const auto& c : cases) {
    base::WriteFileBytes(Path("p.exe"), c.bytes);
    EXPECT_THROW(CutPackageArchive2(Path("p.exe"), Path("Setup2.tmp")), EPackageError) << c.why;
    EXPECT_FALSE(base::FileExists(Path("Setup2.tmp"))) << c.why;
  }
  EXPECT_THROW(CutPackageArchive2(Path("missing.exe"), Path("Setup2.tmp")), base::Exception);
  EXPECT_FALSE(base::FileExists(Path("Setup2.tmp")));
}

// ---------------------------------------------------------------- extensions of a point

TTandrelExtension* AddProgram(TTandrelBaseInstall& p, const std::string& file, TTandrelDialogType when) {
  auto* e = p.Extensions.Add();
  e->Style = esExecutable;
  e->Executable = file;
  e->When = when;
  return e;
}

TEST(PointExtensions, RunInOrderOnceAndStopAtTheFirstFailure) {
  FakePlatform fake;
  TTandrelBaseInstall p;
  AddProgram(p, "a.exe", dtWelcome);
  AddProgram(p, "x.exe", dtProgress);
  AddProgram(p, "b.exe", dtWelcome);
  auto* dll = p.Extensions.Add();
  dll->Style = esDLL;
  dll->Executable = "stop.dll";
  dll->Params = "Stop";
  dll->When = dtExit;
  AddProgram(p, "late.exe", dtExit);
  fake.dll = [](const std::string&, const std::string&, const model::DllCallArgs&) {
    model::DllCallResult r;
    r.value = 0x10000;  // low 16 bits 0: stop
    return r;
  };
  p.ResetWorkingExtensions();
  EXPECT_TRUE(RunExtensionsAt(p, dtWelcome, 77, 0));
  EXPECT_TRUE(RunExtensionsAt(p, dtWelcome, 77, 0));  // already ran: nothing again
  EXPECT_EQ(fake.log, (std::vector<std::string>{"run a.exe  nowait", "run b.exe  nowait"}));
  EXPECT_FALSE(RunExtensionsAt(p, dtExit, 77, 0));
  EXPECT_EQ(fake.log.size(), 3u);  // late.exe never ran
  EXPECT_EQ(p.WorkingExtensions.Count(), 3);
}

// ---------------------------------------------------------------- the sequence

class RecordingHost : public TInstallSequenceHost {
public:
  std::vector<std::string> calls;
  std::set<TTandrelDialogType> failing;
  int wizardResult = kResultOk;
  int copyResult = kResultOk;
  bool cutThrows = false;
  int throwInOtherTask = -1;
  bool logFails = false;
  bool openFails = false;
  uint8_t finishAction = 1;  // what the complete page leaves
  int undone = 0;            // UndoInstall calls, kept apart from the order of the rest

  void UndoInstall() override { ++undone; }

  TWindowHandle WindowHandle() override { return 0x1234; }
  void Repaint() override { calls.push_back("repaint"); }
  bool RunExtensions(TTandrelBaseInstall&, TTandrelDialogType point) override {
    calls.push_back(std::string("ext ") + DialogTypeNames[point]);
    return !failing.count(point);
  }
  int ExecuteInstDialogs(TTandrelBaseInstall& p) override {
    calls.push_back("wizard");
    if (wizardResult == kResultOk) {
      p.InstallInfo = std::make_unique<TInstallInfo>();
      p.InstallInfo->InstallDir = "C:\\App";
    }
    return wizardResult;
  }
  void CutArchive(const std::string& package, const std::string& archive) override {
    calls.push_back("cut " + package + " " + archive);
    if (cutThrows) throw EPackageError("The setup package 'p.exe' is damaged.");
  }
  int RunCopyFiles(const std::string& archive, TTandrelBaseInstall&) override {
    calls.push_back("copy " + archive);
    return copyResult;
  }
  void RunOtherTask(TTandrelBaseInstall&, int mode) override {
    calls.push_back("other " + std::to_string(mode));
    if (mode == throwInOtherTask) throw base::Exception("Unable to write to C:\\x.ini");
  }
  void EnsureFolder(const std::string& f) override { calls.push_back("folder " + f); }
  std::string WriteTextFile(const std::string& f, const std::string&) override {
    calls.push_back("text " + f);
    return f;
  }
  bool SaveUninstallLog(const std::string& f) override {
    calls.push_back("log " + f);
    return !logFails;
  }
  void CreateUninstallEntry(const std::string& app, const std::string& cmd) override {
    calls.push_back("entry " + app + " " + cmd);
  }
  std::string EnginePath() override { return "C:\\T\\TandrelInstall.exe"; }
  void HideBillboard() override { calls.push_back("hide"); }
  void ExecuteCompleteDialog(TTandrelBaseInstall& p) override {
    calls.push_back(p.ShowReadMe ? "complete, ReadMe offered" : "complete");
    p.FinishAction = finishAction;
  }
  bool RunProgram(const std::string& f, const std::string& params) override {
    calls.push_back("open " + f + "|" + params);
    return !openFails;
  }
  void ShowError(const std::string& text) override { calls.push_back("error " + text); }
  void RemoveFile(const std::string& f) override { calls.push_back("delete " + f); }
};

class Sequence : public ::testing::Test {
protected:
  void SetUp() override {
    PackageFile = "C:\\p.exe";
    ExitAction = 0;
    ParentWnd = 0;
    project.SetApplicationName("Demo");
    project.RunCommand = "run.exe";
    project.RunParams = "-x";
    state.SupportDir = "C:\\T\\ZemTmp\\";
  }
  int Run() { return RunInstallSequence(project, host, state); }
  bool Called(const std::string& prefix) const {
    for (const auto& c : host.calls)
      if (c.rfind(prefix, 0) == 0) return true;
    return false;
  }
  TTandrelBaseInstall project;
  RecordingHost host;
  TInstallSequenceState state;
};

TEST_F(Sequence, FullRoadInOrder) {
  project.DialogTypes = static_cast<TTandrelDialogTypes>(project.DialogTypes | SetBit(dtLicense) | SetBit(dtReadme));
  EXPECT_EQ(Run(), kResultOk);
  const std::vector<std::string> expected = {
      "repaint",
      "ext Welcome",
      "wizard",
      "cut C:\\p.exe C:\\T\\ZemTmp\\Setup2.tmp",
      "ext Progress",
      "copy C:\\T\\ZemTmp\\Setup2.tmp",
      "repaint",
      "other 0", "repaint", "other 1", "repaint", "other 2", "repaint",
      "folder C:\\App",
      "text C:\\App\\ReadMe.txt",
      "text C:\\App\\License.txt",
      "log C:\\App\\UnInst.log",
      "entry Demo \"C:\\T\\TandrelInstall.exe\" \"/UNINST=C:\\App\\UnInst.log \" \"/APPNAME=Demo\"",
      "hide",
      "complete, ReadMe offered",
      "repaint",
      "ext Exit",
      "delete C:\\T\\ZemTmp\\Setup2.tmp",
  };
  EXPECT_EQ(host.calls, expected);
  EXPECT_EQ(ParentWnd, 0x1234u);
  EXPECT_TRUE(project.ShowReadMe);
  EXPECT_EQ(ExitAction, 0);
}

TEST_F(Sequence, EarlyEndsCreateNoArchive) {
  host.failing = {dtWelcome};
  EXPECT_EQ(Run(), kResultCancel);
  EXPECT_EQ(host.calls, (std::vector<std::string>{"repaint", "ext Welcome"}));

  host.calls.clear();
  host.failing.clear();
  host.wizardResult = kResultCancel;
  EXPECT_EQ(Run(), kResultCancel);
  EXPECT_EQ(host.calls, (std::vector<std::string>{"repaint", "ext Welcome", "wizard"}));
}

TEST_F(Sequence, FailedProgressPointOrCancelledCopyRunsNothingAfter) {
  struct Case {
    bool progressFails;
    int copy;
    const char* why;
  } cases[] = {{true, kResultOk, "dtProgress extension fails"}, {false, kResultCancel, "copy cancelled"}};
  for (const auto& c : cases) {
    RecordingHost h;
    if (c.progressFails) h.failing = {dtProgress};
    h.copyResult = c.copy;
    TInstallSequenceState s;
    s.SupportDir = "C:\\T\\ZemTmp\\";
    EXPECT_EQ(RunInstallSequence(project, h, s), kResultCancel) << c.why;
    EXPECT_EQ(h.calls.back(), "delete C:\\T\\ZemTmp\\Setup2.tmp") << c.why;
    for (const auto& call : h.calls) {
      EXPECT_NE(call, "ext Exit") << c.why;
      EXPECT_NE(call.rfind("other", 0), 0u) << c.why;
      EXPECT_NE(call.rfind("log", 0), 0u) << c.why;
      EXPECT_NE(call, "complete") << c.why;
    }
  }
}

TEST_F(Sequence, FilesInUseAddTheCompletePageAndRestartQuestion) {
  project.DialogTypes = static_cast<TTandrelDialogTypes>(project.DialogTypes & ~SetBit(dtComplete));
  host.copyResult = kCopyRestartNeeded;
  host.finishAction = kFinishRestartNow;
  EXPECT_EQ(Run(), kResultOk);
  EXPECT_TRUE(InSet(project.DialogTypes, dtComplete));
  EXPECT_TRUE(project.ShowRestart);
  EXPECT_EQ(ExitAction, kExitRestart);
  EXPECT_FALSE(Called("open"));
  EXPECT_TRUE(Called("ext Exit"));
}

TEST_F(Sequence, FinishOpensReadMeThenApplicationThenExitExtensions) {
  project.DialogTypes = static_cast<TTandrelDialogTypes>(project.DialogTypes | SetBit(dtReadme));
  host.finishAction = kFinishRunApp | kFinishViewReadMe;
  EXPECT_EQ(Run(), kResultOk);
  auto tail = std::vector<std::string>(host.calls.end() - 4, host.calls.end());
  EXPECT_EQ(tail, (std::vector<std::string>{"open C:\\App\\ReadMe.txt|", "open run.exe|-x", "ext Exit",
                                            "delete C:\\T\\ZemTmp\\Setup2.tmp"}));
  EXPECT_EQ(ExitAction, 0);
}

TEST_F(Sequence, NoReadMePageMeansNoTextFileAndNothingToOpen) {
  project.DialogTypes = static_cast<TTandrelDialogTypes>(project.DialogTypes & ~SetBit(dtReadme) & ~SetBit(dtLicense));
  project.ShowReadMe = false;
  host.finishAction = kFinishViewReadMe;
  EXPECT_EQ(Run(), kResultOk);
  EXPECT_FALSE(Called("text"));
  EXPECT_FALSE(Called("open"));
  EXPECT_FALSE(project.ShowReadMe);
  EXPECT_TRUE(Called("folder C:\\App"));  // the log still needs its folder
}

TEST_F(Sequence, TheReadMeIsOfferedOnlyWhenWrittenAndAFailedOpenIsReported) {
  struct Case {
    bool readMePage;
    bool openFails;
    const char* complete;
    bool reported;
  } cases[] = {
      {false, false, "complete", false},
      {true, false, "complete, ReadMe offered", false},
      {true, true, "complete, ReadMe offered", true},
  };
  for (const auto& c : cases) {
    TTandrelBaseInstall p;
    p.SetApplicationName("Demo");
    p.ShowReadMe = true;  // as a project file may hold it
    p.DialogTypes = static_cast<TTandrelDialogTypes>(c.readMePage ? (p.DialogTypes | SetBit(dtReadme))
                                                                  : (p.DialogTypes & ~SetBit(dtReadme)));
    RecordingHost h;
    h.finishAction = kFinishViewReadMe;
    h.openFails = c.openFails;
    TInstallSequenceState s;
    s.SupportDir = "C:\\T\\ZemTmp\\";
    EXPECT_EQ(RunInstallSequence(p, h, s), kResultOk);
    EXPECT_NE(std::find(h.calls.begin(), h.calls.end(), c.complete), h.calls.end()) << c.complete;
    const std::string error = "error " + ReadMeNotOpenedText("C:\\App\\ReadMe.txt");
    EXPECT_EQ(std::find(h.calls.begin(), h.calls.end(), error) != h.calls.end(), c.reported) << c.complete;
  }
}

TEST_F(Sequence, UninstallEntryOnlyWithASavedLogAndWhenWanted) {
  host.logFails = true;
  EXPECT_EQ(Run(), kResultOk);
  EXPECT_FALSE(Called("entry"));
  EXPECT_TRUE(Called("error " + LogNotSavedText("C:\\App\\UnInst.log")));

  RecordingHost h;
  project.Uninstaller = false;
  TInstallSequenceState s;
  EXPECT_EQ(RunInstallSequence(project, h, s), kResultOk);
  for (const auto& c : h.calls) EXPECT_NE(c.rfind("entry", 0), 0u);
}

TEST_F(Sequence, FailuresEndWithAMessageCancelAndNoArchiveLeft) {
  host.cutThrows = true;
  EXPECT_EQ(Run(), kResultCancel);
  EXPECT_EQ(host.calls, (std::vector<std::string>{
                            "repaint", "ext Welcome", "wizard", "cut C:\\p.exe C:\\T\\ZemTmp\\Setup2.tmp",
                            "delete C:\\T\\ZemTmp\\Setup2.tmp",
                            "error " + InstallFailureText("The setup package 'p.exe' is damaged.")}));

  RecordingHost h;
  h.throwInOtherTask = 1;
  TInstallSequenceState s;
  s.SupportDir = "C:\\T\\ZemTmp\\";
  EXPECT_EQ(RunInstallSequence(project, h, s), kResultCancel);
  auto tail = std::vector<std::string>(h.calls.end() - 3, h.calls.end());
  EXPECT_EQ(tail, (std::vector<std::string>{"other 1", "delete C:\\T\\ZemTmp\\Setup2.tmp",
                                            "error " + InstallFailureText("Unable to write to C:\\x.ini")}));
}

TEST_F(Sequence, AnInstallationThatEndsEarlyIsUndoneAndSaysHowItEnded) {
  struct Case {
    const char* why;
    int copy;
    bool progressFails;
    int throwIn;
    bool logFails;
    int result, exitCode, undone;
    std::string error;
  } cases[] = {
      {"completed", kResultOk, false, -1, false, kResultOk, kExitCompleted, 0, ""},
      {"log not saved: installed all the same", kResultOk, false, -1, true, kResultOk, kExitCompleted, 0,
       LogNotSavedText("C:\\App\\UnInst.log")},
      {"copy cancelled, or No to the file error", kResultCancel, false, -1, false, kResultCancel, kExitCancelled, 1, ""},
      {"progress extension stops", kResultOk, true, -1, false, kResultCancel, kExitCancelled, 1, ""},
      {"a damaged package found while copying", kCopyPackageDamaged, false, -1, false, kResultCancel, kExitDamaged, 1,
       InstallFailureText(DamagedPackageText("C:\\p.exe"))},
      {"a failure after the copy", kResultOk, false, 2, false, kResultCancel, kExitFailed, 1,
       InstallFailureText("Unable to write to C:\\x.ini")},
  };
  for (const auto& c : cases) {
    RecordingHost h;
    h.copyResult = c.copy;
    if (c.progressFails) h.failing = {dtProgress};
    h.throwInOtherTask = c.throwIn;
    h.logFails = c.logFails;
    TInstallSequenceState s;
    s.SupportDir = "C:\\T\\ZemTmp\\";
    EXPECT_EQ(RunInstallSequence(project, h, s), c.result) << c.why;
    EXPECT_EQ(s.ExitCode, c.exitCode) << c.why;
    EXPECT_EQ(h.undone, c.undone) << c.why;
    std::string error;
    for (const auto& call : h.calls)
      if (call.rfind("error ", 0) == 0) error = call.substr(6);
    EXPECT_EQ(error, c.error) << c.why;
  }
  RecordingHost h;
  h.wizardResult = kResultCancel;
  TInstallSequenceState s;
  EXPECT_EQ(RunInstallSequence(project, h, s), kResultCancel);
  EXPECT_EQ(s.ExitCode, kExitCancelled);
  h.wizardResult = kResultOk;
  h.cutThrows = true;
  TInstallSequenceState d;
  EXPECT_EQ(RunInstallSequence(project, h, d), kResultCancel);
  EXPECT_EQ(d.ExitCode, kExitDamaged);
  EXPECT_EQ(h.undone, 1) << "what the wizard wrote goes also when archive 2 cannot be cut out";
}

TEST_F(Sequence, ArchiveAlreadyCutIsNotCutAgain) {
  state.ArchiveFile = "C:\\T\\ZemTmp\\Setup2.tmp";
  EXPECT_EQ(Run(), kResultOk);
  EXPECT_FALSE(Called("cut"));
  EXPECT_EQ(host.calls.back(), "delete C:\\T\\ZemTmp\\Setup2.tmp");
}

}  // namespace
