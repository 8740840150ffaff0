#include <gtest/gtest.h>

#include "base/Strings.h"

using namespace base;

TEST(Strings, CaseFolding) {
  struct { const char* a; const char* b; bool same; bool ansiSame; } cases[] = {
      {"Info\\Inst.cmp", "INFO\\inst.CMP", true, true},
      {"\xC9t\xE9", "\xE9T\xC9", false, true},  // accented letters fold only in the Ansi form
      {"abc", "abcd", false, false},
      {"", "", true, true},
  };
  for (auto& c : cases) {
    EXPECT_EQ(SameText(c.a, c.b), c.same) << c.a;
    EXPECT_EQ(AnsiSameText(c.a, c.b), c.ansiSame) << c.a;
  }
  EXPECT_LT(CompareText("abc", "ABD"), 0);
  EXPECT_EQ(AnsiUpperCase("\xFF\x9a\xF7"), "\x9F\x8A\xF7");
}

TEST(Strings, Integers) {
  struct { const char* s; long long v; } cases[] = {
      {"42", 42}, {" -7 ", -7}, {"$FF", 255}, {"0x10", 16}, {"2147483648", -1}, {"12a", -1}, {"", -1},
      {"$FFFFFFFF", -1},
  };
  for (auto& c : cases) EXPECT_EQ(StrToIntDef(c.s, -1), c.v) << c.s;
  struct { uint64_t v; int digits; const char* hex; } hex[] = {
      {0, 8, "00000000"}, {0, 0, "0"}, {0xBEEF, 2, "BEEF"},  // never cut to digits
      {0x40904E4, 8, "040904E4"}, {~uint64_t{0}, 8, "FFFFFFFFFFFFFFFF"},
  };
  for (auto& c : hex) EXPECT_EQ(IntToHex(c.v, c.digits), c.hex) << c.hex;
}

TEST(Strings, Paths) {
  EXPECT_EQ(ExtractFileName("C:\\a\\b.txt"), "b.txt");
  EXPECT_EQ(ExtractFilePath("C:\\a\\b.txt"), "C:\\a\\");
  EXPECT_EQ(ExtractFileExt("C:\\a.d\\b"), "");
  EXPECT_EQ(ChangeFileExt("x\\Proj.zem", ".exe"), "x\\Proj.exe");
  EXPECT_EQ(IncludeTrailingBackslash("C:"), "C:\\");
  EXPECT_EQ(ExcludeTrailingBackslash("C:\\x\\"), "C:\\x");
  EXPECT_EQ(PosText("ZEM", "abzemc"), 2u);
}

TEST(Strings, SplitLines) {
  struct { const char* text; std::vector<std::string> lines; } cases[] = {
      {"", {}}, {"a", {"a"}}, {"a\r\n", {"a"}}, {"a\r\nb", {"a", "b"}}, {"a\rb\nc", {"a", "b", "c"}},
      {"a\n\r\nb", {"a", "", "b"}}, {"\r\n\r\n", {"", ""}}, {"a\n\rb", {"a", "", "b"}},
  };
  for (auto& c : cases) EXPECT_EQ(SplitLines(c.text), c.lines) << c.text;
}
