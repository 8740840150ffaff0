#include <gtest/gtest.h>

#include <set>

#include <map>
#include <stdexcept>

#include "setup/engine/CopyRules.h"
#include "setup/services/InstGlobal.h"

namespace {

// ---------------------------------------------------------------- fixtures

struct FileDef {
  std::string name;
  int32_t size;
  bool selfRegister = false;
};

// A project of its own groups only, the wizard's selection naming them in order.
struct Project {
  TTandrelBaseInstall p;
  Project() {
    p.Groups.Clear();
    p.InstFolders.clear();
    p.InstallInfo = std::make_unique<TInstallInfo>();
  }
  TTandrelFileGroup* Group(const std::string& name, const std::string& dest, std::vector<FileDef> files) {
    auto* g = p.Groups.Add();
    g->Owner = &p;
    g->SetName(name);
    g->SetDestination(dest);
    for (const auto& f : files) {
      auto* file = g->Files.Add();
      file->FileName = "C:\\src\\" + f.name;
      file->Size = f.size;
      file->SelfRegister = f.selfRegister;
      file->Version = "1.0";
    }
    return g;
  }
  // Selection: component name -> group names with their sizes.
  TInstComponent* Select(const std::string& component, std::vector<std::pair<std::string, int32_t>> groups) {
    auto c = std::make_unique<TInstComponent>();
    c->Name = component;
    for (const auto& [name, size] : groups) {
      auto g = std::make_unique<TInstGroup>();
      g->Name = name;
      g->Size = size;
      c->Groups.push_back(std::move(g));
    }
    p.InstallInfo->Components.push_back(std::move(c));
    return p.InstallInfo->Components.back().get();
  }
};

// Records what the copy form would show and do.
class RecordingHost : public TCopyHost {
public:
  std::vector<std::string> log;
  std::vector<std::pair<int32_t, int64_t>> billboards;  // index, position when shown
  std::map<std::string, int> results;                   // dest -> install result
  std::map<std::string, std::string> raises;            // dest -> exception text
  std::set<std::string> damaged;                        // dest -> the archive is damaged
  std::map<std::string, int> registerResults;
  std::vector<std::string> questions;
  std::vector<bool> answers;  // answers to the error question, in order; Yes when none left
  int64_t barMax = -1, barPos = 0;
  int processed = 0;
  bool platformIncluded = true;
  std::function<void(const std::string& dest)> duringInstall;
  TCopyRun* run = nullptr;
  int percentStep = 50;

  void ShowGroup(const std::string& c) override { log.push_back("group " + c); }
  void ShowFile(const std::string& f) override { log.push_back("file " + f); }
  void SetOverallBar(int64_t m) override { barMax = m; }
  void MoveOverallBar(int64_t p) override {
    if (p > barPos) barPos = p;
  }
  void SetFileBar(int32_t) override {}
  void ProcessMessages() override { ++processed; }
  void ShowBillboard(int32_t i) override { billboards.push_back({i, run ? run->Progress.DoneBytes : -1}); }
  std::string ExpandMacros(const std::string& t) override {
    std::string r = t;
    const std::string m = "<INSTALLDIR>";
    if (r.rfind(m, 0) == 0) r = "C:\\App" + r.substr(m.size());
    return r;
  }
  bool PlatformIncluded(TWindowsVersions) override { return platformIncluded; }
  int InstallFile(const std::string& dest, const std::string& folder, const TProgressHandler& progress,
                  TUpdateMode, TWindowsVersions, const std::string&) override {
    log.push_back("install " + folder + " " + dest);
    if (duringInstall) duringInstall(dest);
    if (auto it = raises.find(dest); it != raises.end()) throw std::runtime_error(it->second);
    if (damaged.count(dest)) throw EArchiveDamaged("The archive lacks " + dest);
    for (int32_t pct = 0; pct <= 100; pct += percentStep) {
      int32_t v = pct;
      progress(v);
    }
    auto it = results.find(dest);
    return it == results.end() ? 0 : it->second;
  }
  int RegisterServerFile(const std::string& f) override {
    log.push_back("register " + f);
    auto it = registerResults.find(f);
    return it == registerResults.end() ? 0 : it->second;
  }
  bool AskContinue(const std::string& m) override {
    questions.push_back(m);
    if (answers.empty()) return true;
    bool a = answers.front();
    answers.erase(answers.begin());
    return a;
  }
  void CommitPendingRenames() override { log.push_back("commit"); }
};

uint8_t Copy(Project& pr, RecordingHost& host, bool billboards = false) {
  TCopyRun run(pr.p, host);
  host.run = &run;
  run.Progress.UseBillboards = billboards;
  uint8_t r = run.Run();
  host.run = nullptr;
  return r;
}

std::vector<std::string> Installs(const RecordingHost& h) {
  std::vector<std::string> r;
  for (const auto& l : h.log)
    if (l.rfind("install ", 0) == 0) r.push_back(l.substr(8));
  return r;
}

// ---------------------------------------------------------------- arithmetic

TEST(CopyArithmetic, BillboardStepRoundsHalvesToEven) {
  struct Case {
    int64_t total;
    int count;
    int64_t step;
  } cases[] = {{3000000, 3, 1000000}, {10, 4, 2}, {14, 4, 4}, {7, 2, 4}, {5, 2, 2}, {0, 3, 0}, {99, 0, 0}};
  for (const auto& c : cases) EXPECT_EQ(BillboardStepFor(c.total, c.count), c.step) << c.total << "/" << c.count;
}

TEST(CopyArithmetic, FilePositionRoundsHalvesToEvenWithoutOverflow) {
  EXPECT_EQ(FileProgressPosition(100, 50, 3), 102);  // 1.5 -> 2
  EXPECT_EQ(FileProgressPosition(0, 50, 5), 2);      // 2.5 -> 2
  EXPECT_EQ(FileProgressPosition(0, 50, 7), 4);      // 3.5 -> 4
  EXPECT_EQ(FileProgressPosition(10, 100, 2000000000), 2000000010);
  EXPECT_EQ(FileProgressPosition(0, 99, 2000000000), 1980000000);  // 99 x 2e9 passes 32 bits
}

TEST(CopyArithmetic, StepperMovesOnlyOnChangeAndShowsOneBillboardPerMove) {
  TBillboardStepper s;
  s.UseBillboards = true;
  EXPECT_TRUE(s.Move(0));
  EXPECT_EQ(s.NextBillboard(), 0);  // step still 0: the start shows billboard 0
  EXPECT_EQ(s.LastBillboardAt, -1);
  s.BillboardStep = 10;
  EXPECT_FALSE(s.Move(0));
  EXPECT_TRUE(s.Move(1));
  EXPECT_EQ(s.NextBillboard(), 0);  // first progress above 0 shows it again
  EXPECT_TRUE(s.Move(45));
  EXPECT_EQ(s.NextBillboard(), 1);  // far past two steps: still one billboard
  EXPECT_TRUE(s.Move(46));
  EXPECT_EQ(s.NextBillboard(), 2);
  EXPECT_TRUE(s.Move(47));
  EXPECT_EQ(s.NextBillboard(), 3);
  EXPECT_TRUE(s.Move(48));
  EXPECT_EQ(s.NextBillboard(), 4);   // catching up, one per move
  EXPECT_TRUE(s.Move(49));
  EXPECT_EQ(s.NextBillboard(), -1);  // 40 is not below 49 - 10
  TBillboardStepper off;
  off.Move(5);
  EXPECT_EQ(off.NextBillboard(), -1);
}

// ---------------------------------------------------------------- the copy loop

TEST(CopyRun, ThreeBillboardsOverThreeMillionBytes) {
  Project pr;
  pr.p.BillBoards = {"a.bmp", "b.bmp", "c.bmp"};
  pr.Group("G", "<INSTALLDIR>", {{"one.bin", 1500000}, {"two.bin", 1500000}});
  pr.Select("C", {{"G", 3000000}});
  RecordingHost host;
  host.percentStep = 10;
  EXPECT_EQ(Copy(pr, host, true), kCopyDone);
  ASSERT_EQ(host.billboards.size(), 4u);
  EXPECT_EQ(host.billboards[0], std::make_pair(0, int64_t{0}));  // before the first file
  EXPECT_EQ(host.billboards[1].first, 0);
  EXPECT_GT(host.billboards[1].second, 0);
  EXPECT_EQ(host.billboards[2].first, 1);
  EXPECT_GT(host.billboards[2].second, 1000000);
  EXPECT_EQ(host.billboards[3].first, 2);
  EXPECT_GT(host.billboards[3].second, 2000000);
  EXPECT_EQ(host.barMax, 3000000);
  EXPECT_EQ(host.barPos, 3000000);
}

TEST(CopyRun, GroupsOfTwoComponentsInOrderWithLabelsAndDestinations) {
  Project pr;
  TTandrelFileGroup* app = pr.Group("App", "<INSTALLDIR>\\bin", {{"a.exe", 10}, {"b.dll", 20}});
  pr.Group("Help", "<INSTALLDIR>\\help\\", {{"h.hlp", 5}});
  pr.Group("Extra", "<INSTALLDIR>", {{"x.txt", 1}});
  pr.Select("Main", {{"App", 30}, {"Extra", 1}})->Groups[1]->Selected = false;
  pr.Select("Docs", {{"help", 5}, {"Help", 5}});  // "help" matches no group exactly
  pr.Select("Off", {{"Extra", 1}})->SetSelected(false);
  RecordingHost host;
  EXPECT_EQ(Copy(pr, host), kCopyDone);
  EXPECT_EQ(host.barMax, 40);
  EXPECT_EQ(Installs(host), (std::vector<std::string>{"App <INSTALLDIR>\\bin\\a.exe", "App <INSTALLDIR>\\bin\\b.dll",
                                                     "Help <INSTALLDIR>\\help\\h.hlp"}));
  EXPECT_EQ(host.log[0], "group App...");
  EXPECT_EQ(host.log[1], "file C:\\App\\bin\\a.exe");
  EXPECT_NE(std::find(host.log.begin(), host.log.end(), "group help..."), host.log.end());
  // The missing backslash is added through the property, so InstFolders follows.
  EXPECT_EQ(app->Destination(), "<INSTALLDIR>\\bin\\");
  EXPECT_NE(std::find(pr.p.InstFolders.begin(), pr.p.InstFolders.end(), "[App]=<INSTALLDIR>\\bin\\"),
            pr.p.InstFolders.end());
  EXPECT_TRUE(host.questions.empty());
}

TEST(CopyRun, NothingSelectedIsDoneWithAnEmptyBar) {
  Project pr;
  RecordingHost host;
  EXPECT_EQ(Copy(pr, host), kCopyDone);
  EXPECT_EQ(host.barMax, 0);
  EXPECT_TRUE(Installs(host).empty());
}

TEST(CopyRun, FailingFilesAskAndTheAnswerDecides) {
  struct Case {
    const char* why;
    std::vector<bool> answers;
    uint8_t result;
    size_t installs;
  } cases[] = {
      {"Yes goes on with the next file and group", {true}, kCopyDone, 4},
      {"No stops: no further file or group", {false}, kCopyCancelled, 2},
  };
  for (const auto& c : cases) {
    Project pr;
    pr.Group("A", "C:\\A\\", {{"1.dll", 1}, {"2.dll", 1}, {"3.dll", 1}});
    pr.Group("B", "C:\\B\\", {{"4.dll", 1}});
    pr.Select("C", {{"A", 3}, {"B", 1}});
    RecordingHost host;
    host.results["C:\\A\\2.dll"] = irBackupFailed;
    host.answers = c.answers;
    EXPECT_EQ(Copy(pr, host), c.result) << c.why;
    EXPECT_EQ(Installs(host).size(), c.installs) << c.why;
    ASSERT_EQ(host.questions.size(), 1u) << c.why;
    EXPECT_EQ(host.questions[0],
              "An Error occurred while extracting a file:\r\rCould not make a backup of '2.dll'\r\r"
              "Continue with the Installation?");
  }
}

TEST(CopyRun, AnExceptionCountsAsAFailedFileWithTheSystemsTextOnly) {
  Project pr;
  pr.Group("A", "C:\\A\\", {{"gone.dll", 1}, {"next.dll", 1}});
  pr.Select("C", {{"A", 2}});
  RecordingHost host;
  host.raises["C:\\A\\gone.dll"] = "List index out of bounds (-1)";
  EXPECT_EQ(Copy(pr, host), kCopyDone);
  ASSERT_EQ(host.questions.size(), 1u);
  EXPECT_EQ(host.questions[0],
            "An Error occurred while extracting a file:\r\rError installing the file 'gone.dll'\r\r"
            "Continue with the Installation?");
  EXPECT_EQ(Installs(host).size(), 2u);
  EXPECT_EQ(host.barPos, 2);  // the failed file's bytes still count
}

TEST(CopyRun, ADamagedPackageEndsTheCopyWithoutAQuestion) {
  Project pr;
  pr.Group("A", "C:\\A\\", {{"1.dll", 1}, {"bad.dll", 1}, {"3.dll", 1}});
  pr.Group("B", "C:\\B\\", {{"4.dll", 1}});
  pr.Select("C", {{"A", 3}, {"B", 1}});
  RecordingHost host;
  host.damaged = {"C:\\A\\bad.dll"};
  EXPECT_EQ(Copy(pr, host), kCopyDamaged);
  EXPECT_TRUE(host.questions.empty());
  EXPECT_EQ(Installs(host).size(), 2u);  // 1.dll and the damaged one; nothing after
}

TEST(CopyRun, CancelDuringAFileFinishesItAndStartsNoOther) {
  Project pr;
  pr.Group("A", "C:\\A\\", {{"1", 1}, {"2", 1}});
  pr.Group("B", "C:\\B\\", {{"3", 1}});
  pr.Select("C", {{"A", 2}, {"B", 1}});
  RecordingHost host;
  TCopyRun* run = nullptr;
  host.duringInstall = [&](const std::string&) { run->Aborted = true; };  // Cancel answered Yes
  TCopyRun r(pr.p, host);
  run = &r;
  host.run = &r;
  EXPECT_EQ(r.Run(), kCopyCancelled);
  EXPECT_EQ(Installs(host).size(), 1u);
}

TEST(CopyRun, FileInUseAsksNothingAndCommitsRenames) {
  Project pr;
  pr.Group("A", "C:\\A\\", {{"busy.dll", 1}, {"ok.dll", 1}});
  pr.Select("C", {{"A", 2}});
  RecordingHost host;
  host.results["C:\\A\\busy.dll"] = irFileInUse;
  EXPECT_EQ(Copy(pr, host), kCopyNeedsRestart);
  EXPECT_TRUE(host.questions.empty());
  EXPECT_EQ(host.log.back(), "commit");
}

TEST(CopyRun, SelfRegistrationAfterAnInstalledFileOnly) {
  struct Case {
    const char* why;
    int installResult;
    bool platform;
    int registerResult;
    bool registers;
    size_t questions;
  } cases[] = {
      {"installed: registered", 0, true, 0, true, 0},
      {"registration fails: asked with its text", 0, true, irRegisterFailed, true, 1},
      {"install failed: not registered", irInstallFailed, true, 0, false, 1},
      {"left out on this platform: not registered", 0, false, 0, false, 0},
  };
  for (const auto& c : cases) {
    Project pr;
    pr.Group("A", "<INSTALLDIR>\\", {{"srv.dll", 1, true}});
    pr.Select("C", {{"A", 1}});
    RecordingHost host;
    host.results["<INSTALLDIR>\\srv.dll"] = c.installResult;
    host.registerResults["C:\\App\\srv.dll"] = c.registerResult;
    host.platformIncluded = c.platform;
    Copy(pr, host);
    bool registered = std::find(host.log.begin(), host.log.end(), "register C:\\App\\srv.dll") != host.log.end();
    EXPECT_EQ(registered, c.registers) << c.why;
    EXPECT_EQ(host.questions.size(), c.questions) << c.why;
    if (c.registerResult == irRegisterFailed) {
      EXPECT_NE(host.questions[0].find("Error registering server 'srv.dll'"), std::string::npos);
    }
  }
}

// ---------------------------------------------------------------- shortcuts, INI, registry

class RecordingOther : public TOtherHost {
public:
  std::vector<std::string> log;
  std::string raiseOn;  // an item name whose action raises
  int WriteRegString(const std::string& k, const std::string& n, const std::string& t) override {
    return Note("str " + k + " " + n + "=" + t, n);
  }
  int WriteRegInteger(const std::string& k, const std::string& n, int32_t v) override {
    return Note("int " + k + " " + n + "=" + std::to_string(v), n);
  }
  int WriteRegBinary(const std::string& k, const std::string& n, const std::string& h) override {
    return Note("bin " + k + " " + n + "=" + h, n);
  }
  void LogUninstallKey(const std::string& k) override { log.push_back("uninstallkey " + k); }
  int CreateShortcut(const std::string& c, const std::string& f, const std::string& p, const std::string& w, int g,
                     const std::string& folder) override {
    return Note("lnk " + c + "|" + f + "|" + p + "|" + w + "|" + std::to_string(g) + "|" + folder, c);
  }
  int WriteIniValue(const std::string& f, const std::string& s, const std::string& k, const std::string& v) override {
    return Note("ini " + f + "," + s + "," + k + "=" + v, k);
  }
  std::string ExpandMacros(const std::string& t) override { return "X(" + t + ")"; }

private:
  int Note(const std::string& line, const std::string& name) {
    if (name == raiseOn) throw std::runtime_error("boom");
    log.push_back(line);
    return 0;
  }
};

TEST(OtherTask, CaptionsByMode) {
  EXPECT_EQ(OtherTaskCaption(0), "Creating Program Icons");
  EXPECT_EQ(OtherTaskCaption(1), "Updating INI Files");
  EXPECT_EQ(OtherTaskCaption(2), "Updating Registry Settings");
}

TEST(OtherTask, ShortcutsUseTheWizardsFolderOnlyWhenItsPageWasShown) {
  for (bool page : {true, false}) {
    TTandrelBaseInstall p;
    p.ProgramFolder = "Project Folder";
    p.InstallInfo = std::make_unique<TInstallInfo>();
    p.InstallInfo->ProgramFolder = "Typed Folder";
    p.DialogTypes = page ? (p.DialogTypes | SetBit(dtSelectFolder)) : (p.DialogTypes & ~SetBit(dtSelectFolder));
    for (const char* caption : {"One", "Bad", "Two"}) {
      auto* i = p.Icons.Add();
      i->Caption = caption;
      i->FileName = "[App]\\a.exe";
      i->Params = "/x";
      i->WorkingDir = "<INSTALLDIR>";
      i->GroupType = gtDesktop;
    }
    RecordingOther host;
    host.raiseOn = "Bad";
    RunOtherWork(p, kOtherShortcuts, host);
    const std::string folder = page ? "Typed Folder" : "Project Folder";
    EXPECT_EQ(host.log, (std::vector<std::string>{
                            "lnk One|X([App]\\a.exe)|X(/x)|X(<INSTALLDIR>)|3|" + folder,
                            "lnk Two|X([App]\\a.exe)|X(/x)|X(<INSTALLDIR>)|3|" + folder}));
  }
}

TEST(OtherTask, IniValuesInCollectionOrderUnexpanded) {
  TTandrelBaseInstall p;
  auto* f = p.AddIniFile("<WINDIR>\\app.ini");
  auto* s = f->AddSection("Main");
  s->AddValue("a")->Value = "<INSTALLDIR>";
  s->AddValue("bad")->Value = "x";
  p.AddIniFile("b.ini")->AddSection("S")->AddValue("k")->Value = "v";
  RecordingOther host;
  host.raiseOn = "bad";
  RunOtherWork(p, kOtherIniValues, host);
  EXPECT_EQ(host.log, (std::vector<std::string>{"ini <WINDIR>\\app.ini,Main,a=<INSTALLDIR>", "ini b.ini,S,k=v"}));
}

TEST(OtherTask, RegistryKeysDepthFirstSkippingDefaultInAnyCase) {
  TTandrelBaseInstall p;
  p.Registry.Clear();
  TTandrelRegKey* app = p.AddRegKey("HKEY_CURRENT_USER\\Software\\App");
  app->AddStringValue("Path", "<INSTALLDIR>");
  app->AddDWordValue("Count", -2);
  app->AddBinaryValue("Blob", "01ff");
  app->AddStringValue("bad", "x");
  app->Values[0]->StringValue = "set but skipped";  // "(Default)"
  auto* v = app->AddStringValue("tmp", "y");
  v->ValueName = "(DEFAULT)";
  TTandrelRegKey* sub = app->AddKey("Sub");
  sub->AddStringValue("s", "1");
  TTandrelRegKey* only = p.AddRegKey("HKEY_CURRENT_USER\\Software\\OnlyDefault");
  only->UninstallKey = true;
  app->UninstallKey = true;
  for (auto* root : p.Registry) root->Parent = root;  // a stale link: the task relinks
  RecordingOther host;
  host.raiseOn = "bad";
  RunOtherWork(p, kOtherRegistry, host);
  EXPECT_EQ(host.log, (std::vector<std::string>{
                          "str HKEY_CURRENT_USER\\Software\\App Path=<INSTALLDIR>",
                          "int HKEY_CURRENT_USER\\Software\\App Count=-2",
                          "bin HKEY_CURRENT_USER\\Software\\App Blob=01ff",
                          "uninstallkey HKEY_CURRENT_USER\\Software\\App",
                          "str HKEY_CURRENT_USER\\Software\\App\\Sub s=1",
                          "uninstallkey HKEY_CURRENT_USER\\Software\\OnlyDefault",
                      }));
}

}  // namespace
