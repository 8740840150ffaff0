// Portable decisions of the installation services: macro expansion, update rules, log
// lines, the package marker search, WININIT.INI lines and the result texts.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>

#include "base/Streams.h"
#include "base/Strings.h"
#include "resources/engine_strings.h"
#include "setup/services/InstGlobal.h"
#include "setup/services/InstallRules.h"

namespace {

// Lookups over a small table, case folded the way the services fold names.
TMacroLookup Table(std::map<std::string, std::string> values, int* calls = nullptr) {
  return [values = std::move(values), calls](const std::string& name) {
    if (calls) ++*calls;
    for (const auto& [k, v] : values)
      if (base::AnsiSameText(k, name)) return v;
    return std::string();
  };
}

std::string Le32(uint32_t v) {
  return std::string{static_cast<char>(v & 0xFF), static_cast<char>((v >> 8) & 0xFF),
                     static_cast<char>((v >> 16) & 0xFF), static_cast<char>((v >> 24) & 0xFF)};
}

int32_t OffsetIn(const std::string& bytes) {
  base::ReadOnlyMemoryStream s(bytes.data(), static_cast<int64_t>(bytes.size()));
  return FindPackageOffset(s);
}

}  // namespace

// ---------------------------------------------------------------------------------------
// Macros

TEST(ExpandMacroText, TableOfCases) {
  const auto users = Table({{"[MAIN]", "<ProgramFilesDir>\\App"},
                            {"[NEST]", "[MAIN]\\sub"},
                            {"[SELF]", "[self]"},
                            {"[GROW]", "x[GROW]"}});
  const auto dirs = Table({{"<PROGRAMFILESDIR>", "C:\\Program Files"},
                           {"<WINDIR>", "C:\\WINDOWS"},
                           {"<LOOP>", "<LOOP>"},
                           {"<BRACK>", "[MAIN]"}});
  struct Case {
    const char* text;
    const char* expanded;
    const char* why;
  } cases[] = {
      {"[Main]\\bin", "C:\\Program Files\\App\\bin", "user variable, then the macro in its value"},
      {"<windir>\\x", "C:\\WINDOWS\\x", "lower-case macro name"},
      {"<WINDIR>\\x", "C:\\WINDOWS\\x", "upper-case macro name"},
      {"<NOSUCH>\\x", "\\x", "unknown macro becomes empty"},
      {"[nosuch]\\x", "\\x", "unknown user variable becomes empty"},
      {"<WINDIR>;<windir>", "C:\\WINDOWS;C:\\WINDOWS", "every occurrence at once"},
      {"[NEST]", "C:\\Program Files\\App\\sub", "a value naming another variable"},
      {"<BRACK>", "[MAIN]", "a macro's value is not searched for user variables"},
      {"C:\\a[b", "C:\\a[b", "unmatched [ stays literal"},
      {"<WINDIR>\\a<b", "C:\\WINDOWS\\a<b", "unmatched < after a macro stays literal"},
      {"a]b>c", "a]b>c", "closing brackets alone stay"},
      {"x>[MAIN]", "x>C:\\Program Files\\App", "closing bracket before the opening one"},
      {"[SELF]\\<WINDIR>", "[SELF]\\C:\\WINDOWS", "a variable standing for itself stays, the rest expands"},
      {"<LOOP>\\[MAIN]", "<LOOP>\\C:\\Program Files\\App", "a macro standing for itself stays"},
      {"[SELF][MAIN]", "[SELF]C:\\Program Files\\App", "later pieces after a literal one"},
      {"", "", "empty text"},
  };
  for (const auto& c : cases) EXPECT_EQ(ExpandMacroText(c.text, users, dirs), c.expanded) << c.why;
}

TEST(ExpandMacroText, SelfGrowingValuesEndWithinTheLengthCap) {
  const auto users = Table({{"[GROW]", "xx[GROW]"}});
  const auto dirs = Table({{"<BIG>", std::string(20000, 'b') + "<BIG>"}});
  std::string a = ExpandMacroText("[GROW]", users, nullptr);
  EXPECT_LE(a.size(), kMaxExpandedLength);
  EXPECT_NE(a.find("[GROW]"), std::string::npos);  // stopped, not expanded away
  std::string b = ExpandMacroText("<BIG>", nullptr, dirs);
  EXPECT_LE(b.size(), kMaxExpandedLength);
  // One value that would pass the cap in one round is not put in at all.
  const auto huge = Table({{"<H>", std::string(kMaxExpandedLength, 'h')}});
  EXPECT_EQ(ExpandMacroText("<H><H>", nullptr, huge), "<H><H>");
}

TEST(ExpandMacroText, RoundsAreCapped) {
  // Each lookup names a fresh variable: without a round cap this would never end.
  int calls = 0;
  TMacroLookup chain = [&calls](const std::string&) { return "[v" + std::to_string(++calls) + "]"; };
  std::string out = ExpandMacroText("[start]", chain, nullptr);
  EXPECT_EQ(calls, kMaxExpandRounds);
  EXPECT_EQ(out, "[v" + std::to_string(kMaxExpandRounds) + "]");
  // Many distinct unknown names each take a round; the cap leaves the rest as they are.
  std::string many;
  for (int i = 0; i < kMaxExpandRounds + 5; ++i) many += "<m" + std::to_string(i) + ">";
  std::string rest = ExpandMacroText(many, nullptr, nullptr);
  EXPECT_EQ(rest.rfind("<m" + std::to_string(kMaxExpandRounds) + ">", 0), 0u);
}

TEST(ReplaceTextIgnoringCase, TableOfCases) {
  struct Case {
    const char* text;
    const char* piece;
    const char* value;
    const char* out;
  } cases[] = {
      {"<A>x<a>", "<A>", "1", "1x1"},
      {"aaa", "aa", "b", "ba"},                 // left to right, not overlapping
      {"abc", "", "z", "abc"},                  // empty piece changes nothing
      {"\xC4pfel", "\xE4PFEL", "x", "x"},       // 1252 letters fold too
      {"[x]", "[X]", "[x][x]", "[x][x]"},       // the value is not searched again
  };
  for (const auto& c : cases) EXPECT_EQ(ReplaceTextIgnoringCase(c.text, c.piece, c.value), c.out) << c.text;
}

TEST(ExtractFileDrive, DriveAndShare) {
  EXPECT_EQ(ExtractFileDrive("C:\\WINDOWS"), "C:");
  EXPECT_EQ(ExtractFileDrive("\\\\srv\\share\\dir"), "\\\\srv\\share");
  EXPECT_EQ(ExtractFileDrive("\\\\srv"), "\\\\srv");
  EXPECT_EQ(ExtractFileDrive("dir\\x"), "");
}

// ---------------------------------------------------------------------------------------
// Update rule

TEST(UpdateRule, SystemFolderForcesNewerVersion) {
  for (TUpdateMode m : {umNewerVersion, umMoreRecent, umAllways, umNever}) {
    EXPECT_EQ(EffectiveUpdateRule(m, true), umNewerVersion) << int(m);
    EXPECT_EQ(EffectiveUpdateRule(m, false), m) << int(m);
  }
}

TEST(UpdateRule, WriteTable) {
  struct Case {
    TUpdateMode rule;
    bool exists, hasVersion, versionOlder, entryLater;
    bool write;
    const char* why;
  } cases[] = {
      {umNever, false, false, false, false, true, "absent file is always written"},
      {umNewerVersion, false, false, false, false, true, "absent file, newer version rule"},
      {umAllways, true, true, false, false, true, "always overwrites"},
      {umMoreRecent, true, false, false, true, true, "entry later than the file"},
      {umMoreRecent, true, false, false, false, false, "same date or older entry is kept"},
      {umMoreRecent, true, true, true, false, false, "more recent ignores versions"},
      {umNewerVersion, true, true, true, false, true, "existing version older"},
      {umNewerVersion, true, true, false, true, false, "existing 2.0 against 1.5 stays, date ignored"},
      {umNewerVersion, true, false, false, true, true, "no version: later entry written"},
      {umNewerVersion, true, false, false, false, false, "no version, same date: kept"},
      {umNever, true, true, true, true, false, "never overwrites"},
  };
  for (const auto& c : cases) {
    TUpdateFacts f;
    f.DestExists = c.exists;
    f.HasVersion = c.hasVersion;
    f.VersionIsOlder = c.versionOlder;
    f.EntryIsLater = c.entryLater;
    EXPECT_EQ(ShouldWriteFile(c.rule, f), c.write) << c.why;
  }
}

TEST(UpdateRule, SystemFolderWithAllwaysKeepsANewerFile) {
  // <WINSYSDIR> turns umAllways into a version check: an existing 2.0 beats a 1.5 entry.
  TUpdateFacts f;
  f.DestExists = true;
  f.HasVersion = true;
  f.VersionIsOlder = IsVersionOlder("2.0", "1.5");
  f.EntryIsLater = true;
  EXPECT_FALSE(ShouldWriteFile(EffectiveUpdateRule(umAllways, true), f));
  EXPECT_TRUE(ShouldWriteFile(EffectiveUpdateRule(umAllways, false), f));
  f.VersionIsOlder = IsVersionOlder("1.2.0.5", "1.3");
  EXPECT_TRUE(ShouldWriteFile(EffectiveUpdateRule(umAllways, true), f));
}

// ---------------------------------------------------------------------------------------
// Log lines

TEST(LogLines, FormsOfEachKeyword) {
  struct Case {
    TLogKeyword keyword;
    std::string argument;
    const char* line;
  } cases[] = {
      {TLogKeyword::CreateDir, "C:\\App", "CreateDir=C:\\App"},
      {TLogKeyword::InstalledFile, "C:\\App\\a.exe", "CreateFile=C:\\App\\a.exe"},
      {TLogKeyword::CreateFolderPM, "P\\App", "CreateFolder_PM=P\\App"},
      {TLogKeyword::CreateFilePM, "P\\App\\A.lnk", "CreateFile_PM=P\\App\\A.lnk"},
      {TLogKeyword::RegisterFile, "C:\\a.ocx", "RegisterFile=C:\\a.ocx"},
      {TLogKeyword::IncUsageCount, "C:\\W\\S\\x.dll", "IncUsageCount=C:\\W\\S\\x.dll"},
      {TLogKeyword::CreateIniValue, IniValueLogArgument("C:\\W\\a.ini", "Sec", "Key"),
       "CreateIniValue=C:\\W\\a.ini,Sec,Key"},
      {TLogKeyword::AddRegValue, RegValueLogArgument("HKEY_CURRENT_USER\\Software\\A", "Path"),
       "AddRegValue=(HKEY_CURRENT_USER\\Software\\A)Path"},
      {TLogKeyword::CreateRegKey, "HKEY_CURRENT_USER\\Software\\A", "CreateRegKey=HKEY_CURRENT_USER\\Software\\A"},
      {TLogKeyword::UninstallKey, "HKEY_CURRENT_USER\\Software\\A", "UninstallKey=HKEY_CURRENT_USER\\Software\\A"},
      {TLogKeyword::MovedFile, MoveFileLogArgument("C:\\W\\a.dll", "C:\\B\\a.dll"), "MoveFile=C:\\W\\a.dll;C:\\B\\a.dll"},
      {TLogKeyword::CreateBackupFolder, "C:\\B", "CreateBackupFolder=C:\\B"},
  };
  for (const auto& c : cases) {
    const std::string line = FormatLogLine(c.keyword, c.argument);
    EXPECT_EQ(line, c.line);
    std::string k, a;
    ASSERT_TRUE(SplitLogLine(line, k, a)) << line;
    EXPECT_EQ(k, LogKeywordName(c.keyword));
    EXPECT_EQ(a, c.argument);
  }
}

TEST(LogLines, SplitAtTheFirstEqualsSign) {
  std::string k = "old", a = "old";
  EXPECT_FALSE(SplitLogLine("no equals sign", k, a));
  EXPECT_EQ(k, "old");  // untouched
  ASSERT_TRUE(SplitLogLine("CreateIniValue=C:\\a=b.ini,S,K=V", k, a));
  EXPECT_EQ(k, "CreateIniValue");
  EXPECT_EQ(a, "C:\\a=b.ini,S,K=V");
  ASSERT_TRUE(SplitLogLine("=x", k, a));
  EXPECT_EQ(k, "");
  EXPECT_EQ(a, "x");
  ASSERT_TRUE(SplitLogLine("CreateDir=", k, a));
  EXPECT_EQ(a, "");
}

TEST(LogLines, IniArgumentRoundTripAndSplit) {
  struct Case {
    const char* argument;
    bool ok;
    const char* file;
    const char* section;
    const char* key;
  } cases[] = {
      {"C:\\W\\a.ini,Sec,Key", true, "C:\\W\\a.ini", "Sec", "Key"},
      {"a.ini,Sec,Key,with,commas", true, "a.ini", "Sec", "Key,with,commas"},  // three commas
      {"a.ini,,", true, "a.ini", "", ""},
      {"a.ini,Sec", false, "", "", ""},
      {"", false, "", "", ""},
  };
  for (const auto& c : cases) {
    std::string f, s, k;
    ASSERT_EQ(ParseIniValueArgument(c.argument, f, s, k), c.ok) << c.argument;
    if (!c.ok) continue;
    EXPECT_EQ(f, c.file);
    EXPECT_EQ(s, c.section);
    EXPECT_EQ(k, c.key);
    EXPECT_EQ(IniValueLogArgument(f, s, k), c.argument);
  }
}

TEST(LogLines, RegArgumentRoundTripAndSplit) {
  struct Case {
    const char* argument;
    bool ok;
    const char* key;
    const char* value;
  } cases[] = {
      {"(HKEY_LOCAL_MACHINE\\Software\\A)Name", true, "HKEY_LOCAL_MACHINE\\Software\\A", "Name"},
      {"(HKEY_CURRENT_USER\\X)", true, "HKEY_CURRENT_USER\\X", ""},  // default value
      {"(K)a)b", true, "K", "a)b"},                                  // the first ")" ends the key
      {"(no close", false, "", ""},
      {"", false, "", ""},
  };
  for (const auto& c : cases) {
    std::string k, v;
    ASSERT_EQ(ParseRegValueArgument(c.argument, k, v), c.ok) << c.argument;
    if (!c.ok) continue;
    EXPECT_EQ(k, c.key);
    EXPECT_EQ(v, c.value);
    EXPECT_EQ(RegValueLogArgument(k, v), c.argument);
  }
}

TEST(LogLines, JoinedWithCrLfAfterEachLine) {
  EXPECT_EQ(JoinLogLines({}), "");
  EXPECT_EQ(JoinLogLines({"C=3", "B=2", "A=1"}), "C=3\r\nB=2\r\nA=1\r\n");
  EXPECT_EQ(JoinLogLines({""}), "\r\n");
}

// ---------------------------------------------------------------------------------------
// Package offset

TEST(PackageOffset, MarkerSearch) {
  const std::string marker = "ZEM_SIZE";
  struct Case {
    std::string bytes;
    int32_t offset;
    const char* why;
  } cases[] = {
      {"MZ" + std::string(100, '\0') + marker + Le32(0x1234) + "XXXX", 0x1234, "value behind the marker"},
      {std::string(20000, 'a'), 0, "no marker"},
      {"", 0, "empty stream"},
      {marker, 0, "marker without room for a value"},
      {marker + "\x01\x02", 0, "value cut by the end"},
      {marker + Le32(0) + "pad" + marker + Le32(77), 77, "a zero value counts as not found"},
      {std::string(kPackageChunk - 4, '\0') + marker + Le32(4242), 4242, "marker across the chunk border"},
      {std::string(kPackageChunk - 8, '\0') + marker + Le32(5), 5, "marker ending the first chunk"},
      {std::string(kPackageChunk - 2, '\0') + marker + Le32(6), 6, "value across the chunk border"},
      {std::string(3 * kPackageChunk + 17, 'z') + marker + Le32(0xFFFFFFFF), -1, "fourth chunk, signed value"},
      {"ZEM_SIZ" + std::string(1, '\0') + Le32(9) + "ZEM_SIZEX" + Le32(3), 0x00000358, "no partial match"},
  };
  for (const auto& c : cases) EXPECT_EQ(OffsetIn(c.bytes), c.offset) << c.why;
}

TEST(PackageOffset, SearchesFromTheStreamStart) {
  const std::string bytes = "ZEM_SIZE" + Le32(11) + "ZEM_SIZE" + Le32(22);
  base::ReadOnlyMemoryStream s(bytes.data(), static_cast<int64_t>(bytes.size()));
  s.SetPosition(10);
  EXPECT_EQ(FindPackageOffset(s), 11);
}

// ---------------------------------------------------------------------------------------
// Replacement at restart

TEST(Wininit, AppendsToTheRenameSection) {
  struct Case {
    std::string existing;
    std::vector<TIniLine> renames, errors;
    std::string text;
    const char* why;
  } cases[] = {
      {"", {{"nul", "C:\\W\\A.DLL"}, {"C:\\W\\A.DLL", "C:\\W\\A.new"}}, {},
       "[rename]\r\nnul=C:\\W\\A.DLL\r\nC:\\W\\A.DLL=C:\\W\\A.new\r\n", "new file"},
      {"", {{"nul", "C:\\A"}, {"C:\\A", "C:\\A.new"}, {"nul", "C:\\B"}, {"C:\\B", "C:\\B.new"}}, {},
       "[rename]\r\nnul=C:\\A\r\nC:\\A=C:\\A.new\r\nnul=C:\\B\r\nC:\\B=C:\\B.new\r\n",
       "two files: each keeps its own nul line"},
      {"[Rename]\r\nnul=C:\\OLD\r\n\r\n[other]\r\nk=v\r\n", {{"nul", "C:\\A"}, {"C:\\A", "C:\\A.new"}}, {},
       "[Rename]\r\nnul=C:\\OLD\r\nnul=C:\\A\r\nC:\\A=C:\\A.new\r\n\r\n[other]\r\nk=v\r\n",
       "after the earlier nul line, before the blank line and the next section"},
      {"[x]\nk=v", {{"nul", "C:\\A"}}, {}, "[x]\r\nk=v\r\n[rename]\r\nnul=C:\\A\r\n", "LF file, section added"},
      {"", {}, {{"C:\\Long Name\\a.dll", "Uses long filenames"}},
       "[Errors]\r\nC:\\Long Name\\a.dll=Uses long filenames\r\n", "error line only"},
      {"[Errors]\r\nC:\\L\\a.dll=Uses long filenames\r\n", {}, {{"c:\\l\\A.DLL", "Uses long filenames"}},
       "[Errors]\r\nc:\\l\\A.DLL=Uses long filenames\r\n", "an error line replaces one of the same key"},
      {"[rename]\r\nnul=C:\\A\r\nC:\\A=C:\\A.new\r\n", {{"nul", "C:\\A"}, {"C:\\A", "C:\\A.new"}}, {},
       "[rename]\r\nnul=C:\\A\r\nC:\\A=C:\\A.new\r\n",
       "the same file again: the earlier pair would delete the copy the later one moves"},
      {"[rename]\r\nnul=C:\\A\r\nC:\\A=C:\\A.new\r\n", {{"nul", "C:\\A"}, {"C:\\A", "C:\\TIN1.tmp"}}, {},
       "[rename]\r\nnul=C:\\A\r\nC:\\A=C:\\A.new\r\nnul=C:\\A\r\nC:\\A=C:\\TIN1.tmp\r\n",
       "another copy for the same file: both pairs run in order"},
      {"", {}, {}, "", "nothing to add"},
  };
  for (const auto& c : cases) EXPECT_EQ(AppendWininitLines(c.existing, c.renames, c.errors), c.text) << c.why;
}

TEST(Wininit, PendingCopyName) {
  EXPECT_EQ(DefaultPendingCopy("C:\\W\\FOO.DLL"), "C:\\W\\FOO.New");
  EXPECT_EQ(DefaultPendingCopy("C:\\W\\FOO"), "C:\\W\\FOO.New");
  EXPECT_EQ(DefaultPendingCopy("C:\\a.b\\FOO"), "C:\\a.b\\FOO.New");
  EXPECT_EQ(DefaultPendingCopy("C:\\W\\x.tar.gz"), "C:\\W\\x.tar.New");
}

// ---------------------------------------------------------------------------------------
// Result texts

TEST(ResultTexts, TableOfCodes) {
  struct Case {
    int code;
    int id;
    const char* text;
  } cases[] = {
      {0, 0, nullptr},
      {99, 0, nullptr},
      {100, 65326, "Could not add file '%s'"},
      {101, 65327, "Could not make a backup of '%s'"},
      {102, 65296, "Error installing the file '%s'"},
      {103, 65297, "Could not create the icon for '%s'"},
      {104, 65298, "Error while creating the uninstaller for '%s'"},
      {105, 65299, "Error while removing the uninstaller for '%s'"},
      {106, 65300, "Error initializing OLE"},
      {107, 65301, "Error registering server '%s'"},
      {108, 65302, "Error un-registering server '%s'"},
      {109, 65303, "Error: the file '%s' does not exist"},
      {110, 65301, "Error registering server '%s'"},
      {111, 65304, "Error updating registry"},
      {112, 65304, "Error updating registry"},
      {113, 65304, "Error updating registry"},
      {114, 65304, "Error updating registry"},
      {115, 65304, "Error updating registry"},
      {116, 0, nullptr},
      {117, 0, nullptr},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(InstallResultStringId(c.code), c.id) << c.code;
    const char* t = InstallResultTemplate(c.code);
    if (!c.text) {
      EXPECT_EQ(t, nullptr) << c.code;
      EXPECT_EQ(InstallErrorText(c.code, "x"), "") << c.code;
    } else {
      ASSERT_NE(t, nullptr) << c.code;
      EXPECT_STREQ(t, c.text);
    }
  }
}

TEST(ResultTexts, FileNamePutInOnce) {
  EXPECT_EQ(FormatResultText(IDS_ERR_INSTALL_FILE_TEXT, "C:\\App\\100%.dat"),
            "Error installing the file 'C:\\App\\100%.dat'");
  EXPECT_EQ(FormatResultText(IDS_ERR_INSTALL_FILE_TEXT, "%s"), "Error installing the file '%s'");
  EXPECT_EQ(FormatResultText(IDS_ERR_INSTALL_FILE_TEXT, ""), "Error installing the file ''");
  EXPECT_EQ(FormatResultText("%s and %s", "a"), "a and %s");
  EXPECT_EQ(FormatResultText(IDS_ERR_REGISTRY_TEXT, "C:\\x"), "Error updating registry");
  EXPECT_EQ(InstallErrorText(102, "C:\\App\\100%.dat"), "Error installing the file 'C:\\App\\100%.dat'");
}

TEST(UninstallName, EmptyOrBackslashRefused) {
  struct Case {
    const char* name;
    bool valid;
  } cases[] = {{"My App", true}, {"", false}, {"A\\B", false}, {"\\", false}, {"App 1.0 (x)", true}};
  for (const auto& c : cases) EXPECT_EQ(IsValidUninstallName(c.name), c.valid) << c.name;
}

// ---- Putting a finished copy in place, over a table of files and failing steps.

struct FakeFiles {
  std::map<std::string, std::string> files;
  std::vector<std::string> failMoves;    // "from>to" moves that fail
  std::vector<std::string> stuck;        // names that cannot be removed
  std::vector<std::string> atRestart;
  TReplaceOps Ops() {
    TReplaceOps ops;
    ops.Exists = [this](const std::string& n) { return files.count(n) > 0; };
    ops.Move = [this](const std::string& from, const std::string& to) {
      for (const auto& f : failMoves)
        if (f == from + ">" + to) return false;
      if (!files.count(from) || files.count(to)) return false;
      files[to] = files[from];
      files.erase(from);
      return true;
    };
    ops.Remove = [this](const std::string& n) {
      for (const auto& s : stuck)
        if (s == n) return false;
      files.erase(n);
      return true;
    };
    ops.RemoveAtRestart = [this](const std::string& n) { atRestart.push_back(n); };
    return ops;
  }
};

TEST(ReplaceWithFresh, EveryStepThatCanFail) {
  struct Case {
    const char* why;
    bool destThere;
    std::vector<std::string> failMoves;
    std::vector<std::string> stuck;
    TReplaceResult result;
    std::map<std::string, std::string> after;
    std::vector<std::string> atRestart;
  };
  const std::vector<Case> cases = {
      {"no old file", false, {}, {}, TReplaceResult::Replaced, {{"d", "new"}}, {}},
      {"no old file, move fails", false, {"f>d"}, {}, TReplaceResult::Failed, {{"f", "new"}}, {}},
      {"plain replace", true, {}, {}, TReplaceResult::Replaced, {{"d", "new"}}, {}},
      {"old file in use", true, {"d>a"}, {}, TReplaceResult::InUse, {{"d", "old"}, {"f", "new"}}, {}},
      {"new copy cannot take the name", true, {"f>d"}, {}, TReplaceResult::Failed,
       {{"d", "old"}, {"f", "new"}}, {}},
      {"running module: put back, wait for restart", true, {}, {"a"}, TReplaceResult::InUse,
       {{"d", "old"}, {"f", "new"}}, {}},
      {"running module, new copy cannot move back: it stays", true, {"d>f"}, {"a"},
       TReplaceResult::Replaced, {{"d", "new"}, {"a", "old"}}, {"a"}},
      {"half put back: a failure, the old file kept, the name not empty", true, {"a>d"}, {"a"},
       TReplaceResult::Failed, {{"d", "new"}, {"a", "old"}}, {}},
  };
  for (const auto& c : cases) {
    FakeFiles fs;
    fs.files["f"] = "new";
    if (c.destThere) fs.files["d"] = "old";
    fs.failMoves = c.failMoves;
    fs.stuck = c.stuck;
    EXPECT_EQ(ReplaceWithFresh(fs.Ops(), "d", "f", "a"), c.result) << c.why;
    EXPECT_EQ(fs.files, c.after) << c.why;
    EXPECT_EQ(fs.atRestart, c.atRestart) << c.why;
    // Never success without a file at the name, never an old file dropped unreplaced.
    if (c.result == TReplaceResult::Replaced) EXPECT_EQ(fs.files["d"], "new") << c.why;
  }
}

TEST(ReplaceWithFresh, PendingCopyNeverTakesAnExistingName) {
  auto taken = [](std::vector<std::string> names) {
    return [names](const std::string& n) { return std::find(names.begin(), names.end(), n) != names.end(); };
  };
  EXPECT_EQ(ChoosePendingCopy("C:\\A\\app.New", "C:\\A\\TIN1.tmp", taken({})), "C:\\A\\app.New");
  EXPECT_EQ(ChoosePendingCopy("C:\\A\\app.New", "C:\\A\\TIN1.tmp", taken({"C:\\A\\app.New"})), "C:\\A\\TIN1.tmp");
}

TEST(FolderForFileOps, DriveRootsKeepTheirBackslash) {
  const struct { const char* file; const char* folder; } cases[] = {
      {"C:\\x.dll", "C:\\"},
      {"C:\\App\\x.dll", "C:\\App"},
      {"C:\\App\\Sub\\x.dll", "C:\\App\\Sub"},
      {"\\x.dll", "\\"},
      {"\\\\srv\\share\\x.dll", "\\\\srv\\share"},
      {"x.dll", ""},
  };
  for (const auto& c : cases) EXPECT_EQ(FolderForFileOps(c.file), c.folder) << c.file;
}

TEST(UninstallLogMerge, AReinstallKeepsWhatTheEarlierLogHolds) {
  const std::vector<std::string> earlier = {
      "CreateFile=C:\\App\\a.exe", "IncUsageCount=C:\\WINDOWS\\SYSTEM\\s.dll", "CreateRegKey=HKEY_CURRENT_USER\\Software\\M",
      "CreateDir=C:\\App\\Sub", "CreateDir=C:\\App"};
  const std::vector<std::string> newer = {"CreateFile=C:\\App\\b.exe", "createfile=c:\\app\\A.EXE",
                                          "IncUsageCount=C:\\WINDOWS\\SYSTEM\\s.dll", "IncUsageCount=C:\\WINDOWS\\SYSTEM\\t.dll"};
  EXPECT_EQ(MergeUninstallLogs(newer, earlier),
            (std::vector<std::string>{"CreateFile=C:\\App\\b.exe", "createfile=c:\\app\\A.EXE",
                                      "IncUsageCount=C:\\WINDOWS\\SYSTEM\\s.dll", "IncUsageCount=C:\\WINDOWS\\SYSTEM\\t.dll",
                                      "CreateRegKey=HKEY_CURRENT_USER\\Software\\M", "CreateDir=C:\\App\\Sub",
                                      "CreateDir=C:\\App"}));
  EXPECT_EQ(CountedTwice(newer, earlier), std::vector<std::string>{"C:\\WINDOWS\\SYSTEM\\s.dll"});
  EXPECT_TRUE(CountedTwice(newer, {}).empty());
  EXPECT_EQ(MergeUninstallLogs({}, earlier), earlier);
  EXPECT_EQ(SplitLogText("A=1\r\nB=2\r\n\r\nC=3"), (std::vector<std::string>{"A=1", "B=2", "C=3"}));
}
