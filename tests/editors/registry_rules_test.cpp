// The decisions of the registry, INI files and shortcuts editors: new names around gaps
// and letter case, the DWORD dialog's numbers, the fixed INI files, the shortcut texts.
#include <gtest/gtest.h>

#include "builder/editors/RegistryRules.h"
#include "setup/model/InstClasses.h"

namespace {

TEST(NewItemName, SmallestFreeNumberAmongSiblings) {
  struct Case {
    const char* stem;
    const char* suffix;
    TNameList siblings;
    const char* expected;
    const char* why;
  } cases[] = {
      {"New Key #", "", {}, "New Key #1", "no siblings"},
      {"New Key #", "", {"New Key #1", "new key #3"}, "New Key #2", "the gap, whatever the case"},
      {"New Value #", "", {"(Default)", "New Value #2"}, "New Value #1", "1 is free below 2"},
      {"New Value #", "", {"NEW VALUE #1", "New Value #2", "new value #3"}, "New Value #4", "all taken up to 3"},
      {"New Key #", "", {"New Key #01", "New Key #1 ", "New Key #", "New Key #x"}, "New Key #1",
       "other spellings do not take 1"},
      {"New Section #", "", {"New Section #2", "Settings"}, "New Section #1", "a section file"},
      {"New Ini File #", ".ini", {"WIN.INI", "SYSTEM.INI", "PROTOCOL.INI"}, "New Ini File #1.ini", "a new project"},
      {"New Ini File #", ".ini", {"new ini file #1.INI"}, "New Ini File #2.ini", "the suffix ignores case too"},
      {"New Ini File #", ".ini", {"New Ini File #1"}, "New Ini File #1.ini", "without the suffix it is another name"},
      {"New Key #", "", {"New Key #4294967297"}, "New Key #1", "a huge number takes nothing"},
  };
  for (const Case& c : cases) EXPECT_EQ(NewItemName(c.stem, c.siblings, c.suffix), c.expected) << c.why;
}

TEST(NewItemName, ManySiblingsInOnePass) {
  TNameList names;
  for (int i = 1; i <= 20000; ++i)
    if (i != 17777) names.push_back("New Value #" + std::to_string(i));
  EXPECT_EQ(NewItemName("New Value #", names), "New Value #17777");
}

TEST(DWordFromText, TheLibrarysIntegerRules) {
  struct Case {
    const char* text;
    std::optional<int32_t> value;
    const char* why;
  } cases[] = {
      {"0", 0, "zero"},
      {"26", 26, "decimal"},
      {"-5", -5, "negative"},
      {"+7", 7, "a plus sign"},
      {"  42", 42, "leading blanks"},
      {"$1F", 31, "dollar hexadecimal"},
      {"$1f", 31, "lower-case digits"},
      {"0x1F", 31, "0x hexadecimal"},
      {"x1F", 31, "x hexadecimal"},
      {"-$5", -5, "a signed hexadecimal number"},
      {"$FFFFFFFB", -5, "hexadecimal gives the 32-bit pattern"},
      {"2147483647", 2147483647, "the largest decimal"},
      {"-2147483648", INT32_MIN, "the smallest decimal"},
      {"2147483648", std::nullopt, "too big for 32 signed bits"},
      {"$100000000", std::nullopt, "more than 32 bits"},
      {"12a", std::nullopt, "a letter in a decimal number"},
      {"", std::nullopt, "nothing"},
      {"$", std::nullopt, "a prefix alone"},
      {"0x", std::nullopt, "a prefix alone"},
      {"- 5", std::nullopt, "a blank after the sign"},
      {"1.5", std::nullopt, "not whole"},
      {"five", std::nullopt, "a word"},
  };
  for (const Case& c : cases) EXPECT_EQ(DWordFromText(c.text), c.value) << c.text << ": " << c.why;
}

TEST(DWordFromText, StoredNumberShowsAsTheListShowsIt) {
  TTandrelValue v;
  v.Style = vtDWord;
  v.IntValue = *DWordFromText("-5");
  EXPECT_EQ(v.GetDisplayText(), "0xfffffffb (-5)");
  v.IntValue = *DWordFromText("$1F");
  EXPECT_EQ(v.GetDisplayText(), "0x0000001f (31)");
}

TEST(FixedIniFiles, OnlyTheThreeNamesInCapitals) {
  EXPECT_TRUE(IsFixedIniFile("WIN.INI"));
  EXPECT_TRUE(IsFixedIniFile("SYSTEM.INI"));
  EXPECT_TRUE(IsFixedIniFile("PROTOCOL.INI"));
  EXPECT_FALSE(IsFixedIniFile("win.ini"));
  EXPECT_FALSE(IsFixedIniFile("Win.Ini"));
  EXPECT_FALSE(IsFixedIniFile("WIN.INI "));
  EXPECT_FALSE(IsFixedIniFile("New Ini File #1.ini"));
}

TEST(ShortcutTexts, CommandFolderAndDescription) {
  EXPECT_EQ(ProjectFileReference("Program Files", "C:\\src\\Tool.exe"), "[Program Files]\\Tool.exe");
  EXPECT_EQ(ProjectFileReference("G", "Tool.exe"), "[G]\\Tool.exe");
  EXPECT_EQ(GroupFolderReference("Program Files"), "[Program Files]");
  EXPECT_EQ(DescriptionFromVersion("Tool Suite", "C:\\src\\Tool.exe"), "Tool Suite");
  EXPECT_EQ(DescriptionFromVersion("", "C:\\src\\Tool.exe"), "Tool");
  EXPECT_EQ(DescriptionFromVersion("", "C:\\src\\my.tool.exe"), "my.tool");
  EXPECT_EQ(StoredSourceFile("C:\\src\\Tool.exe", "[G]\\Tool.exe"), "C:\\src\\Tool.exe");
  EXPECT_EQ(StoredSourceFile("", "C:\\Typed\\App.exe"), "C:\\Typed\\App.exe");
}

TEST(ShortcutTexts, StartInOffersTheMacrosThenTheGroups) {
  const TNameList expected = {"<INSTALLDIR>", "<WINDIR>", "<WINDISK>", "<WINSYSDIR>", "<WINSYSDISK>",
                              "<ProgramFilesDir>", "<CommonFilesDir>", "<FONTDIR>", "<SUPPORTDIR>",
                              "[Program Files]", "[Help Files]", "[odd"};
  EXPECT_EQ(StartInFolders({"[Program Files]=<INSTALLDIR>", "[Help Files]=<INSTALLDIR>\\Help", "[odd"}), expected);
  EXPECT_EQ(StartInFolders({}).size(), 9u);
}

TEST(ValueImages, StringsApartFromNumbers) {
  EXPECT_EQ(ValueImageIndex(vtString), 2);
  EXPECT_EQ(ValueImageIndex(vtDWord), 3);
  EXPECT_EQ(ValueImageIndex(vtBinary), 3);
}

}  // namespace
