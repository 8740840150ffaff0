#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <set>
#include <stdexcept>

#include "setup/services/InstGlobal.h"
#include "setup/uninstall/UnInstRules.h"

namespace {

using Lines = std::vector<std::string>;

TEST(UninstallArgs, LogPathAndNameAsGivenLaterOnesWin) {
  struct Case {
    Lines args;
    std::string log, app;
    const char* why;
  } cases[] = {
      {{"/UNINST=C:\\App\\UnInst.log ", "/APPNAME=My App"}, "C:\\App\\UnInst.log ", "My App", "trailing blank kept"},
      {{"/APPNAME=a=b", "x", "/UNINST=l"}, "l", "a=b", "text after the first ="},
      {{"/UNINST=one", "/UNINST=two"}, "two", "", "later replaces earlier"},
      {{"/uninst=l", " /UNINST=l"}, "", "", "exact case at the start only"},
  };
  for (const auto& c : cases) {
    TUninstallArgs a = ParseUninstallArgs(c.args);
    EXPECT_EQ(a.LogPath, c.log) << c.why;
    EXPECT_EQ(a.AppName, c.app) << c.why;
  }
}

TEST(UninstallLog, EntriesAndFirstMatchIgnoringCase) {
  TUninstallLogLines log;
  log.Lines = {"CreateFile=C:\\a=b", "no equals sign", "createfile=C:\\second", "=empty keyword"};
  std::string arg;
  EXPECT_EQ(log.GetLogEntry(0, arg), "CreateFile");
  EXPECT_EQ(arg, "C:\\a=b");
  EXPECT_EQ(log.GetLogEntry(1, arg), "");
  EXPECT_EQ(log.GetLogEntry(9, arg), "");
  EXPECT_EQ(arg, "");
  EXPECT_EQ(log.FindLogEntry("CREATEFILE", arg), 0);
  EXPECT_EQ(log.FindLogEntry("CreateDir", arg), -1);
  log.DeleteLine("CREATEFILE=c:\\SECOND");
  EXPECT_EQ(log.Lines.size(), 3u);
}

TEST(SharedFileAnswers, AskWhileYesOrNoThenHoldTheLast) {
  struct Case {
    std::vector<int> given;     // what the dialog would answer, in order
    std::vector<int> expected;  // answers for five files
    size_t asked;
  } cases[] = {
      {{kAnswerYes, kAnswerNo, kAnswerYes, kAnswerNo, kAnswerYes},
       {kAnswerYes, kAnswerNo, kAnswerYes, kAnswerNo, kAnswerYes}, 5},
      {{kAnswerNo, kAnswerYesToAll}, {kAnswerNo, kAnswerYesToAll, kAnswerYesToAll, kAnswerYesToAll, kAnswerYesToAll}, 2},
      {{kAnswerNoToAll}, {kAnswerNoToAll, kAnswerNoToAll, kAnswerNoToAll, kAnswerNoToAll, kAnswerNoToAll}, 1},
      {{2}, {2, 2, 2, 2, 2}, 1},  // closed otherwise: no more questions, file kept
  };
  for (const auto& c : cases) {
    TSharedFileAnswers answers;
    size_t asked = 0;
    std::vector<int> got;
    for (int i = 0; i < 5; ++i) got.push_back(answers.Next([&] { return c.given[asked++]; }));
    EXPECT_EQ(got, c.expected);
    EXPECT_EQ(asked, c.asked);
  }
  EXPECT_TRUE(TSharedFileAnswers::Removes(kAnswerYes));
  EXPECT_TRUE(TSharedFileAnswers::Removes(kAnswerYesToAll));
  EXPECT_FALSE(TSharedFileAnswers::Removes(kAnswerNo));
  EXPECT_FALSE(TSharedFileAnswers::Removes(2));
}

// A machine of files, folders, counts, INI keys and registry entries.
class FakeMachine : public TUninstallHost {
public:
  std::set<std::string> files, lockedFiles, dirs, fullDirs, stuckDirs;
  std::set<std::string> fullKeys;  // keys that hold other keys
  std::map<std::string, int> counts;  // SharedDLLs; -1: the lowered count cannot be written
  std::vector<int> answers;           // shared-file dialog, in order
  std::vector<std::string> log, asked, scheduled;
  std::string raiseOn;
  int maximum = -1, position = -1;
  std::vector<std::pair<int, int>> ticks;  // step, position when shown

  void UnregisterServerFile(const std::string& f) override { Note("unregister " + f); }
  int DecSharedDllCount(const std::string& f) override {
    Note("dec " + f);
    auto it = counts.find(f);
    if (it == counts.end()) return 99;
    if (it->second < 0) return kSharedCountNotWritten;
    it->second = std::max(0, it->second - 1);
    return it->second;
  }
  int AskRemoveSharedFile(const std::string& f) override {
    asked.push_back(f);
    int a = answers.empty() ? kAnswerNo : answers.front();
    if (!answers.empty()) answers.erase(answers.begin());
    return a;
  }
  bool FileExists(const std::string& f) override { return files.count(f) > 0; }
  std::string raiseOnRemove;
  bool RemoveFile(const std::string& f) override {
    Note("delete " + f);
    if (f == raiseOnRemove) throw std::runtime_error("boom");
    if (lockedFiles.count(f)) return false;
    files.erase(f);
    return true;
  }
  void ScheduleDelete(const std::string& f) override { scheduled.push_back(f); }
  void RemoveDir(const std::string& d) override {
    Note("rmdir " + d);
    if (DirIsEmpty(d) && !stuckDirs.count(d)) dirs.erase(d);
  }
  bool DirExists(const std::string& d) override { return dirs.count(d) > 0; }
  // Full folders hold what the log does not name; others hold the files and folders here.
  bool DirIsEmpty(const std::string& d) override {
    if (fullDirs.count(d)) return false;
    auto inside = [&](const std::string& p) { return p.size() > d.size() + 1 && p.compare(0, d.size() + 1, d + "\\") == 0; };
    return std::none_of(files.begin(), files.end(), inside) && std::none_of(dirs.begin(), dirs.end(), inside);
  }
  std::set<std::string> iniFiles;  // INI files the deletion of their last value takes along
  void DeleteIniValue(const std::string& f, const std::string& s, const std::string& k) override {
    Note("ini " + f + "|" + s + "|" + k);
    if (iniFiles.count(f)) files.erase(f);
  }
  void DeleteRegValue(const std::string& k, const std::string& n) override { Note("regvalue " + k + "|" + n); }
  void DeleteRegKey(const std::string& k) override { Note("regkey " + k); }
  bool DeleteEmptyRegKey(const std::string& k) override {
    Note("empty regkey " + k);
    return !fullKeys.count(k);
  }
  void SetProgressMax(int m) override { maximum = m; }
  void SetProgress(int p) override { position = p; }
  void ShowTick(int s) override { ticks.push_back({s, position}); }

private:
  void Note(const std::string& line) {
    log.push_back(line);
    if (!raiseOn.empty() && line == raiseOn) throw std::runtime_error("boom");
  }
};

bool Uninstall(FakeMachine& m, Lines lines) {
  TUninstallLogLines log;
  log.Lines = std::move(lines);
  return RunUninstallPasses(log, m);
}

TEST(UninstallPasses, EveryKeywordInItsPassNewestFirst) {
  FakeMachine m;
  m.files = {"C:\\App\\a.exe", "C:\\App\\b.dll", "C:\\PM\\App\\a.lnk"};
  m.dirs = {"C:\\App", "C:\\PM\\App"};
  const Lines log = {
      "UninstallKey=HKEY_CURRENT_USER\\Software\\App",
      "AddRegValue=(HKEY_CURRENT_USER\\Software\\App)Path",
      "CreateRegKey=HKEY_CURRENT_USER\\Software\\App",
      "CreateIniValue=C:\\WINDOWS\\app.ini,Main,a,b",
      "CreateFile_PM=C:\\PM\\App\\a.lnk",
      "CreateFolder_PM=C:\\PM\\App",
      "MoveFile=C:\\x;C:\\bak\\x",
      "RegisterFile=C:\\App\\b.dll",
      "CreateFile=C:\\App\\b.dll",
      "CreateFile=C:\\App\\a.exe",
      "CreateDir=C:\\App",
  };
  EXPECT_TRUE(Uninstall(m, log));
  EXPECT_EQ(m.log, (Lines{
                       "unregister C:\\App\\b.dll",
                       "delete C:\\App\\b.dll",
                       "delete C:\\App\\a.exe",
                       "rmdir C:\\App",
                       "delete C:\\PM\\App\\a.lnk",
                       "rmdir C:\\PM\\App",
                       "ini C:\\WINDOWS\\app.ini|Main|a,b",
                       "regvalue HKEY_CURRENT_USER\\Software\\App|Path",
                       "regkey HKEY_CURRENT_USER\\Software\\App",
                       "regkey HKEY_CURRENT_USER\\Software\\App",
                   }));
  EXPECT_EQ(m.maximum, 11);
  EXPECT_EQ(m.position, 11);
  std::vector<int> steps;
  for (auto [s, p] : m.ticks) steps.push_back(s);
  EXPECT_EQ(steps, (std::vector<int>{0, 1, 2, 3, 4, 5}));
  EXPECT_EQ(m.ticks[1].second, 3);  // after "RegisterFile" and both "CreateFile" lines
}

TEST(UninstallPasses, SharedFilesByCount) {
  struct Case {
    const char* why;
    std::map<std::string, int> counts;
    std::vector<int> answers;
    bool complete;
    size_t asked;
    bool removed;
  } cases[] = {
      {"2 -> 1: kept, no question", {{"C:\\WINDOWS\\SYSTEM\\s.dll", 2}}, {}, true, 0, false},
      {"no count (99): kept silently", {}, {}, true, 0, false},
      {"1 -> 0 answered Yes: deleted", {{"C:\\WINDOWS\\SYSTEM\\s.dll", 1}}, {kAnswerYes}, true, 1, true},
      {"1 -> 0 answered No: kept, incomplete", {{"C:\\WINDOWS\\SYSTEM\\s.dll", 1}}, {kAnswerNo}, false, 1, false},
  };
  for (const auto& c : cases) {
    FakeMachine m;
    m.files = {"C:\\WINDOWS\\SYSTEM\\s.dll"};
    m.counts = c.counts;
    m.answers = c.answers;
    EXPECT_EQ(Uninstall(m, {"IncUsageCount=C:\\WINDOWS\\SYSTEM\\s.dll", "CreateFile=c:\\windows\\system\\S.DLL"}),
              c.complete)
        << c.why;
    EXPECT_EQ(m.asked.size(), c.asked) << c.why;
    EXPECT_EQ(m.files.empty(), c.removed) << c.why;
    // The "CreateFile=" line of a shared file is left to the shared pass.
    EXPECT_EQ(std::count(m.log.begin(), m.log.end(), "delete c:\\windows\\system\\S.DLL"), 0) << c.why;
  }
}

TEST(UninstallPasses, YesToAllAndNoToAllHoldForLaterFiles) {
  for (int all : {kAnswerYesToAll, kAnswerNoToAll}) {
    FakeMachine m;
    m.files = {"C:\\S\\1.dll", "C:\\S\\2.dll", "C:\\S\\3.dll"};
    m.counts = {{"C:\\S\\1.dll", 1}, {"C:\\S\\2.dll", 1}, {"C:\\S\\3.dll", 1}};
    m.answers = {all};
    bool complete = Uninstall(m, {"IncUsageCount=C:\\S\\1.dll", "IncUsageCount=C:\\S\\2.dll", "IncUsageCount=C:\\S\\3.dll"});
    EXPECT_EQ(m.asked, Lines{"C:\\S\\1.dll"});
    EXPECT_EQ(m.files.empty(), all == kAnswerYesToAll);
    EXPECT_EQ(complete, all == kAnswerYesToAll);
  }
}

TEST(UninstallPasses, SharedFileInUseIsDeletedAtRestartAndIncomplete) {
  FakeMachine m;
  m.files = m.lockedFiles = {"C:\\S\\busy.dll"};
  m.counts = {{"C:\\S\\busy.dll", 1}};
  m.answers = {kAnswerYes};
  EXPECT_FALSE(Uninstall(m, {"IncUsageCount=C:\\S\\busy.dll"}));
  EXPECT_EQ(m.scheduled, Lines{"C:\\S\\busy.dll"});
}

TEST(UninstallPasses, WhatStaysMakesTheRunIncomplete) {
  struct Case {
    const char* why;
    Lines log;
    bool complete;
  } cases[] = {
      {"a folder kept by files the log does not name", {"CreateDir=C:\\Full"}, true},
      {"an empty folder that cannot be removed", {"CreateDir=C:\\Stuck"}, false},
      {"a file that cannot be deleted", {"CreateFile=C:\\locked.txt"}, false},
      {"a file already gone", {"CreateFile=C:\\gone.txt"}, true},
      {"a shortcut folder kept by another's link", {"CreateFolder_PM=C:\\Full"}, true},
      {"a shortcut folder kept by a link that cannot go", {"CreateFile_PM=C:\\locked.txt", "CreateFolder_PM=C:\\Full"}, false},
      {"registry, INI and unregistering never count", {"DeleteMe=1", "CreateRegKey=HKEY_NOPE\\x", "RegisterFile=C:\\none"}, true},
      {"an empty log", {}, true},
      {"an INI step that raises (a locked file) does not count", {"CreateRegKey=K", "CreateIniValue=f,s,k"}, true},
      {"a file step that raises: incomplete", {"CreateFile=C:\\raise.txt"}, false},
      {"a shared file whose lowered count cannot be written: kept, incomplete", {"IncUsageCount=C:\\S\\x.dll"}, false},
  };
  for (const auto& c : cases) {
    FakeMachine m;
    m.files = m.lockedFiles = {"C:\\locked.txt"};
    m.files.insert("C:\\raise.txt");
    m.files.insert("C:\\S\\x.dll");
    m.counts = {{"C:\\S\\x.dll", -1}};
    m.dirs = m.fullDirs = {"C:\\Full"};
    m.dirs.insert("C:\\Stuck");
    m.stuckDirs = {"C:\\Stuck"};
    m.raiseOn = "ini f|s|k";
    m.raiseOnRemove = "C:\\raise.txt";
    EXPECT_EQ(Uninstall(m, c.log), c.complete) << c.why;
  }
  FakeMachine m;
  m.raiseOn = "ini f|s|k";
  Uninstall(m, {"CreateRegKey=K", "CreateIniValue=f,s,k"});
  EXPECT_EQ(m.log.back(), "regkey K");
}

TEST(UninstallPasses, ParentKeyLevelsGoOnlyWhenTheyHoldNoOtherKey) {
  FakeMachine m;
  EXPECT_TRUE(Uninstall(m, {
                               "AddRegValue=(HKEY_CURRENT_USER\\Software\\Maker\\App)Build",
                               "CreateRegKey=HKEY_CURRENT_USER\\Software\\Maker\\App",
                               "CreateRegKey=HKEY_CURRENT_USER\\Software\\Maker",
                               "CreateRegKey=HKEY_CURRENT_USER\\Software\\Makers",
                           }));
  EXPECT_EQ(m.log, (Lines{
                       "regvalue HKEY_CURRENT_USER\\Software\\Maker\\App|Build",
                       "regkey HKEY_CURRENT_USER\\Software\\Maker\\App",
                       "empty regkey HKEY_CURRENT_USER\\Software\\Maker",
                       "regkey HKEY_CURRENT_USER\\Software\\Makers",
                   }));
  EXPECT_TRUE(IsParentKeyLevel("hkey_current_user\\software", {"HKEY_CURRENT_USER\\Software\\X"}));
  EXPECT_FALSE(IsParentKeyLevel("HKEY_CURRENT_USER\\Software\\X", {"HKEY_CURRENT_USER\\Software\\X"}));
  EXPECT_FALSE(IsParentKeyLevel("HKEY_CURRENT_USER\\Soft", {"HKEY_CURRENT_USER\\Software\\X"}));
}

TEST(UninstallPasses, UnreadableArgumentsAreDroppedWithoutAction) {
  FakeMachine m;
  EXPECT_TRUE(Uninstall(m, {"CreateIniValue=no commas", "AddRegValue=(unclosed", "AddRegValue=(K)"}));
  EXPECT_EQ(m.log, Lines{"regvalue K|"});
}

TEST(UninstallPasses, AFolderOthersFillIsHandedToTheProductInside) {
  FakeMachine m;
  m.dirs = m.fullDirs = {"C:\\PF\\Maker"};
  m.dirs.insert("C:\\PF\\Maker\\One");
  TUninstallLogLines log;
  log.Lines = {"CreateDir=C:\\PF\\Maker\\One", "CreateDir=C:\\PF\\Maker"};
  TKeptItems kept;
  EXPECT_TRUE(RunUninstallPasses(log, m, &kept));
  EXPECT_EQ(kept.Folders, Lines{"C:\\PF\\Maker"});
  EXPECT_EQ(kept.Keys, Lines{});
  EXPECT_EQ(HandOverFolder("CreateFile=C:\\PF\\Maker\\Two\\a.exe\r\nCreateDir=C:\\PF\\Maker\\Two\r\n", "C:\\PF\\Maker"),
            "CreateFile=C:\\PF\\Maker\\Two\\a.exe\r\nCreateDir=C:\\PF\\Maker\\Two\r\nCreateDir=C:\\PF\\Maker\r\n");
  EXPECT_EQ(HandOverFolder("CreateDir=c:\\pf\\maker\r\n", "C:\\PF\\Maker"), "CreateDir=c:\\pf\\maker\r\n");
  EXPECT_EQ(HandOverFolder("CreateFile=x", "C:\\M"), "CreateFile=x\r\nCreateDir=C:\\M\r\n");
}

TEST(UninstallPasses, FoldersALaterPassEmptiesGoDeepestFirst) {
  // The INI file in the install folder goes with its last value, after the folder passes.
  const Lines log = {
      "CreateIniValue=C:\\PF\\Pebblewick\\Notes\\Pebble.ini,Main,Path",
      "CreateFile=C:\\PF\\Pebblewick\\Notes\\notes.exe",
      "CreateDir=C:\\PF\\Pebblewick\\Notes",
      "CreateDir=C:\\PF\\Pebblewick",
  };
  struct Case {
    const char* why;
    const char* userFile;  // what the user put there, "" none
    bool complete;
    Lines left, kept;
  } cases[] = {
      {"emptied by the INI pass: both go", "", true, {}, {}},
      {"the user's file in the inner folder keeps both", "C:\\PF\\Pebblewick\\Notes\\mine.txt", true,
       {"C:\\PF\\Pebblewick", "C:\\PF\\Pebblewick\\Notes"}, {"C:\\PF\\Pebblewick\\Notes", "C:\\PF\\Pebblewick"}},
      {"the user's file in the outer folder keeps it alone", "C:\\PF\\Pebblewick\\mine.txt", true,
       {"C:\\PF\\Pebblewick"}, {"C:\\PF\\Pebblewick"}},
  };
  for (const auto& c : cases) {
    FakeMachine m;
    m.files = {"C:\\PF\\Pebblewick\\Notes\\notes.exe", "C:\\PF\\Pebblewick\\Notes\\Pebble.ini"};
    if (*c.userFile) m.files.insert(c.userFile);
    m.iniFiles = {"C:\\PF\\Pebblewick\\Notes\\Pebble.ini"};
    m.dirs = {"C:\\PF\\Pebblewick", "C:\\PF\\Pebblewick\\Notes"};
    TUninstallLogLines lines;
    lines.Lines = log;
    TKeptItems kept;
    EXPECT_EQ(RunUninstallPasses(lines, m, &kept), c.complete) << c.why;
    EXPECT_EQ(Lines(m.dirs.begin(), m.dirs.end()), c.left) << c.why;
    EXPECT_EQ(kept.Folders, c.kept) << c.why;
  }
  // An emptied folder that still cannot go is what the run could not remove.
  FakeMachine m;
  m.files = {"C:\\App\\app.ini"};
  m.iniFiles = m.files;
  m.dirs = m.stuckDirs = {"C:\\App"};
  EXPECT_FALSE(Uninstall(m, {"CreateIniValue=C:\\App\\app.ini,S,K", "CreateDir=C:\\App"}));
}

TEST(UninstallPasses, AParentKeyOthersFillIsHandedToTheProductWhoseKeyIsInside) {
  // Product A made the maker's key and its own; B's key is inside the maker's too.
  const std::string maker = "HKEY_CURRENT_USER\\Software\\Maker";
  FakeMachine m;
  m.fullKeys = {maker};
  TUninstallLogLines log;
  log.Lines = {"AddRegValue=(" + maker + "\\A)Path", "CreateRegKey=" + maker + "\\A", "CreateRegKey=" + maker};
  TKeptItems kept;
  EXPECT_TRUE(RunUninstallPasses(log, m, &kept)) << "a key others fill is no failed step";
  EXPECT_EQ(kept.Keys, Lines{maker});
  EXPECT_EQ(kept.Folders, Lines{});
  // A key removed as a whole tree, or a parent level that went, is not kept.
  m.fullKeys.clear();
  log.Lines = {"CreateRegKey=" + maker + "\\A", "CreateRegKey=" + maker};
  kept = {};
  RunUninstallPasses(log, m, &kept);
  EXPECT_EQ(kept.Keys, Lines{});

  const std::string b = "AddRegValue=(" + maker + "\\B)Path\r\nCreateRegKey=" + maker + "\\B\r\n";
  struct Case {
    const char* why;
    std::string log;
    bool below;
  } cases[] = {
      {"B created a key inside", b, true},
      {"ignoring case", "CreateRegKey=hkey_current_user\\software\\maker\\b\r\n", true},
      {"only a value inside: B's uninstall would not empty it", "AddRegValue=(" + maker + "\\B)Path\r\n", false},
      {"the key itself is no key below it", "CreateRegKey=" + maker + "\r\n", false},
      {"a key whose name only begins alike", "CreateRegKey=" + maker + "s\\B\r\n", false},
      {"an empty log", "", false},
  };
  for (const auto& c : cases) EXPECT_EQ(LogCreatesKeyBelow(c.log, maker), c.below) << c.why;
  // Handed over as B's oldest line, once; B's uninstall then takes it as a parent level.
  const std::string handed = HandOverKey(b, maker);
  EXPECT_EQ(handed, b + "CreateRegKey=" + maker + "\r\n");
  EXPECT_EQ(HandOverKey(handed, maker), handed);
  FakeMachine later;
  TUninstallLogLines bLog;
  bLog.Lines = {"AddRegValue=(" + maker + "\\B)Path", "CreateRegKey=" + maker + "\\B", "CreateRegKey=" + maker};
  EXPECT_TRUE(RunUninstallPasses(bLog, later));
  EXPECT_EQ(later.log, (Lines{"regvalue " + maker + "\\B|Path", "regkey " + maker + "\\B", "empty regkey " + maker}));
}

TEST(UninstallIniSections, ASectionGoesOnlyWhenItHoldsNoLine) {
  struct Case {
    const char* text;
    const char* section;
    bool empty;
  } cases[] = {
      {"[Main]\r\n\r\n[Other]\r\nk=v\r\n", "main", true},
      {"[Main]\r\n; the user's comment\r\n[Other]\r\n", "Main", false},
      {"[Main]\r\nk=v\r\n", "Main", false},
      {"[Other]\r\nk=v\r\n[Main]", "Main", true},
      {"[Other]\r\nk=v\r\n", "Main", false},
      {"", "Main", false},
      {"[ Main ]\nx\n", "Main", false},
  };
  for (const auto& c : cases) EXPECT_EQ(IniSectionHoldsNoLine(c.text, c.section), c.empty) << c.text;
}

TEST(UninstallRestartDeletion, NulLinesAccumulate) {
  std::string ini = AppendWininitDeletion("", "C:\\S\\A.DLL");
  ini = AppendWininitDeletion(ini, "C:\\S\\B.DLL");
  EXPECT_EQ(ini, "[rename]\r\nnul=C:\\S\\A.DLL\r\nnul=C:\\S\\B.DLL\r\n");
  EXPECT_EQ(AppendWininitDeletion("[rename]\r\nnul=C:\\X\r\nC:\\Y=C:\\Y.NEW\r\n[Other]\r\nk=v\r\n", "C:\\Z"),
            "[rename]\r\nnul=C:\\X\r\nC:\\Y=C:\\Y.NEW\r\nnul=C:\\Z\r\n[Other]\r\nk=v\r\n");
}

}  // namespace
