// Directory macros built from the prefix, expansion, the detected Windows version, the
// busy cursor on the real screen cursor, short paths and the read-only bit.
#include <gtest/gtest.h>
#include <windows.h>

#include "base/Streams.h"
#include "setup/services/InstGlobal.h"
#include "tests/harness/WinTestSupport.h"

namespace {

class MacrosWin : public ::testing::Test {
protected:
  void SetUp() override { ResetInstGlobalState(); }
  void TearDown() override { ResetInstGlobalState(); }
};

std::string WinDir() {
  char b[MAX_PATH];
  UINT n = GetWindowsDirectoryA(b, MAX_PATH);
  return std::string(b, n);
}
std::string SysDir() {
  char b[MAX_PATH];
  UINT n = GetSystemDirectoryA(b, MAX_PATH);
  return std::string(b, n);
}

TEST_F(MacrosWin, TableBuiltFromThePrefixInItsOrder) {
  const TNameValueList& m = DirMacros();
  const std::string exe = wintest::ThisExe();
  const struct { const char* name; std::string value; } expected[] = {
      {"<INSTALLDIR>", ""},
      {"<WINDIR>", RemoveBackslash(WinDir())},
      {"<WINDISK>", WinDir().substr(0, 2)},
      {"<WINSYSDIR>", RemoveBackslash(SysDir())},
      {"<WINSYSDISK>", SysDir().substr(0, 2)},
      {"<ProgramFilesDir>", "C:\\Program Files"},
      {"<CommonFilesDir>", "C:\\Program Files\\Common Files"},
      {"<FONTDIR>", RemoveBackslash(WinDir()) + "\\Fonts"},
      {"<SUPPORTDIR>", exe.substr(0, exe.find_last_of('\\'))},
  };
  ASSERT_EQ(m.Count(), std::size(expected));
  for (size_t i = 0; i < m.Count(); ++i) {
    EXPECT_EQ(m.Name(i), expected[i].name);
    EXPECT_EQ(m.ValueAt(i), expected[i].value) << expected[i].name;
    EXPECT_TRUE(m.ValueAt(i).empty() || m.ValueAt(i).back() != '\\');
  }
  EXPECT_EQ(GetDirMacro("<nosuch>"), "");
  EXPECT_EQ(GetDirMacro("<windir>"), GetDirMacro("<WINDIR>"));
}

TEST_F(MacrosWin, ExpansionOfVariablesThenMacros) {
  UserVariables().SetText({"[MAIN]=<ProgramFilesDir>\\App", "[Loop]=[Loop]x"});
  SetDirMacro("<INSTALLDIR>", "D:\\Dest");
  const std::string win = GetDirMacro("<WINDIR>");
  const struct { const char* in; std::string out; } cases[] = {
      {"[Main]\\bin", "C:\\Program Files\\App\\bin"},
      {"<windir>\\x", win + "\\x"},
      {"<WINDIR>\\x", win + "\\x"},
      {"<NOSUCH>\\x", "\\x"},
      {"[nope]\\x", "\\x"},
      {"<INSTALLDIR>;<installdir>", "D:\\Dest;D:\\Dest"},
      {"plain text", "plain text"},
  };
  for (const auto& c : cases) EXPECT_EQ(ExpandMacros(c.in), c.out) << c.in;
  // Text that would loop for ever still ends.
  EXPECT_FALSE(ExpandMacros("[Loop]").empty());
  EXPECT_EQ(ExpandMacros("a<b"), "a<b");
  ResetInstGlobalState();
  EXPECT_EQ(GetUserVariable("[MAIN]"), "");
  EXPECT_EQ(GetDirMacro("<INSTALLDIR>"), "");
}

TEST_F(MacrosWin, BackslashesShortPathAndReadOnly) {
  EXPECT_EQ(AddBackslash("C:"), "C:\\");
  EXPECT_EQ(AddBackslash(""), "\\");
  EXPECT_EQ(AddBackslash("C:\\"), "C:\\");
  EXPECT_EQ(RemoveBackslash("C:\\"), "C:");
  EXPECT_EQ(RemoveBackslash("C:\\a\\\\"), "C:\\a\\");
  const std::string f = wintest::TempFolder() + "tmac_" + std::to_string(GetCurrentProcessId()) + "_long name.txt";
  base::WriteFileBytes(f, {'x'});
  const std::string s = GetShortPath(f);
  EXPECT_FALSE(s.empty());
  EXPECT_EQ(s.find(' '), std::string::npos) << s;
  EXPECT_EQ(GetShortPath(f + ".missing"), "");
  SetFileAttributesA(f.c_str(), FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_ARCHIVE);
  EXPECT_TRUE(ClearReadOnly(f));
  EXPECT_EQ(GetFileAttributesA(f.c_str()) & FILE_ATTRIBUTE_READONLY, 0u);
  EXPECT_TRUE(DeleteExistingFile(f));
  EXPECT_TRUE(DeleteExistingFile(f)) << "absent counts as deleted";
  EXPECT_FALSE(ClearReadOnly(f));
}

TEST_F(MacrosWin, WindowsVersionOfThePrefix) {
  // The harness's prefix reports Windows 7: NT platform, major 6.
  if (wintest::InVersionChild()) GTEST_SKIP();
  EXPECT_EQ(WindowsVersion, wvNT5);
  EXPECT_EQ(DetectWindowsVersion(), wvNT5);
}

TEST_F(MacrosWin, BusyCursorNestsOnTheScreenCursor) {
  HCURSOR arrow = LoadCursor(nullptr, IDC_ARROW), wait = LoadCursor(nullptr, IDC_WAIT);
  SetCursor(arrow);
  BeginBusyCursor();
  EXPECT_EQ(GetCursor(), wait);
  BeginBusyCursor();
  EndBusyCursor();
  EXPECT_EQ(GetCursor(), wait) << "one level still open";
  EXPECT_EQ(BusyCursorDepth(), 1);
  EndBusyCursor();
  EXPECT_EQ(GetCursor(), arrow);
  EXPECT_EQ(BusyCursorDepth(), 0);
  EndBusyCursor();  // surplus: the saved cursor once more, counter stays at 0
  EXPECT_EQ(GetCursor(), arrow);
  EXPECT_EQ(BusyCursorDepth(), 0);
}

}  // namespace
