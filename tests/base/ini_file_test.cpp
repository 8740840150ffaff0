#include <gtest/gtest.h>

#include "base/IniFile.h"

namespace {

struct ReadCase {
  const char* why;
  const char* text;
  const char* section;
  const char* key;
  const char* expected;  // nullptr: no such value, the default comes back
};

TEST(IniFile, ReadsLikeTheProfileFunctions) {
  const ReadCase cases[] = {
      {"plain", "[S]\nK=V\n", "S", "K", "V"},
      {"names ignore case", "[sEcT]\nkEy=V\n", "Sect", "KEY", "V"},
      {"blanks around names and values go", "  [S]  \r\n\t K \t=  V V \t\r\n", "S", "K", "V V"},
      {"blanks inside the brackets stay", "[ S ]\nK=V\n", "S", "K", nullptr},
      {"the name runs to the last bracket", "[a]b]\nK=V\n", "a]b", "K", "V"},
      {"double quotes go", "[S]\nK=\"  V  \"\n", "S", "K", "  V  "},
      {"single quotes go", "[S]\nK='V'\n", "S", "K", "V"},
      {"unmatched quotes stay", "[S]\nK=\"V'\n", "S", "K", "\"V'"},
      {"a lone quote stays", "[S]\nK=\"\n", "S", "K", "\""},
      {"the first key of a name counts", "[S]\nK=1\nk=2\n", "S", "K", "1"},
      {"the first section of a name counts", "[S]\nA=1\n[s]\nK=2\n", "S", "K", nullptr},
      {"a line without = is no key", "[S]\nK\n", "S", "K", nullptr},
      {"an empty value is a value", "[S]\nK=\n", "S", "K", ""},
      {"the value runs from the first =", "[S]\nK=a=b\n", "S", "K", "a=b"},
      {"keys above any header are in no section", "K=V\n[S]\n", "S", "K", nullptr},
      {"a header without its bracket is no header", "[S]\n[T\nK=V\n", "S", "K", "V"},
      {"CR-only text is one line", "[S]\rK=V\r", "S", "K", nullptr},
      {"a UTF-8 mark before the first header", "\xEF\xBB\xBF[S]\nK=V", "S", "K", "V"},
      {"the end-of-file mark is a blank", "[S]\nK=V\x1a", "S", "K", "V"},
      {"1252 letters ignore case", "[\xC9t\xE9]\nK=V\n", "\xE9T\xC9", "K", "V"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.why);
    const base::IniFile ini = base::IniFile::FromText(c.text);
    EXPECT_EQ(ini.ValueExists(c.section, c.key), c.expected != nullptr);
    EXPECT_EQ(ini.ReadString(c.section, c.key, "<def>"), c.expected ? c.expected : "<def>");
  }
}

TEST(IniFile, NumbersAndFlags) {
  const base::IniFile ini = base::IniFile::FromText(
      "[N]\ndec=-12\nhex=$ff\nchex=0x10\nbig=2147483648\nword=12a\nempty=\nquoted=\"7\"\nyes=yes\nzero=0\n");
  struct {
    const char* key;
    int32_t expected;
  } numbers[] = {{"dec", -12}, {"hex", 255},   {"chex", 16}, {"big", 5}, {"word", 5},
                 {"empty", 5}, {"quoted", 7}, {"missing", 5}};
  for (const auto& n : numbers) EXPECT_EQ(ini.ReadInteger("N", n.key, 5), n.expected) << n.key;
  EXPECT_TRUE(ini.ReadBool("N", "dec", false));
  EXPECT_FALSE(ini.ReadBool("N", "zero", true));
  EXPECT_TRUE(ini.ReadBool("N", "yes", true));
  EXPECT_FALSE(ini.ReadBool("N", "yes", false));
  EXPECT_TRUE(ini.ReadBool("N", "missing", true));
}

TEST(IniFile, SectionsListTheirKeysOnceInFileOrder) {
  const base::IniFile ini = base::IniFile::FromText("[S]\nb=1\na=2\nB=3\nc\n[T]\n");
  EXPECT_EQ(ini.ReadSection("s"), (std::vector<std::string>{"b", "a"}));
  EXPECT_TRUE(ini.SectionExists("T"));
  EXPECT_TRUE(ini.ReadSection("T").empty());
  EXPECT_FALSE(ini.SectionExists("U"));
  EXPECT_FALSE(ini.SectionExists(""));
}

}  // namespace
