// Registry key paths, binary value texts and shortcut folders.
#include <gtest/gtest.h>

#include "setup/services/InstActions.h"

namespace {

struct KeyCase {
  const char* fullKey;
  bool ok;
  TRegRoot root;
  const char* subKey;
};

const KeyCase kKeyCases[] = {
    {"HKEY_CLASSES_ROOT\\.zem", true, TRegRoot::ClassesRoot, ".zem"},
    {"HKEY_CURRENT_USER\\Software\\Maker\\App", true, TRegRoot::CurrentUser, "Software\\Maker\\App"},
    {"HKEY_LOCAL_MACHINE\\SOFTWARE\\X\\", true, TRegRoot::LocalMachine, "SOFTWARE\\X"},
    {"HKEY_USERS\\.DEFAULT", true, TRegRoot::Users, ".DEFAULT"},
    {"HKEY_CURRENT_CONFIG\\System", true, TRegRoot::CurrentConfig, "System"},
    {"HKEY_DYN_DATA\\PerfStats", true, TRegRoot::DynData, "PerfStats"},
    {"HKEY_CURRENT_USER", true, TRegRoot::CurrentUser, ""},
    {"HKEY_CURRENT_USER\\", true, TRegRoot::CurrentUser, ""},
    {"HKEY_CURRENT_USER\\\\\\", true, TRegRoot::CurrentUser, ""},
    {"HKEY_CURRENT_USER\\\\Software", true, TRegRoot::CurrentUser, "Software"},
    {"hkey_current_user\\Software", false, TRegRoot::ClassesRoot, ""},   // root names are exact
    {"HKEY_CURRENT_USERS\\Software", false, TRegRoot::ClassesRoot, ""},  // longer word
    {"\\HKEY_CURRENT_USER\\Software", false, TRegRoot::ClassesRoot, ""},
    {"HKCU\\Software", false, TRegRoot::ClassesRoot, ""},
    {"", false, TRegRoot::ClassesRoot, ""},
};

TEST(ParseFullKey, TableOfCases) {
  for (const KeyCase& c : kKeyCases) {
    TRegRoot root = TRegRoot::ClassesRoot;
    std::string sub = "untouched";
    ASSERT_EQ(ParseFullKey(c.fullKey, root, sub), c.ok) << c.fullKey;
    if (!c.ok) continue;
    EXPECT_EQ(root, c.root) << c.fullKey;
    EXPECT_EQ(sub, c.subKey) << c.fullKey;
  }
}

struct HexCase {
  const char* text;
  bool ok;
  std::string bytes;
};

const HexCase kHexCases[] = {
    {"", true, ""},
    {"00", true, std::string(1, '\0')},
    {"01 02 ff", true, "\x01\x02\xff"},
    {"0A0b", true, "\x0a\x0b"},
    {"  DE AD\tBE\r\nEF ", true, "\xde\xad\xbe\xef"},
    {"0", false, ""},      // odd number of digits
    {"012", false, ""},
    {"0 1", false, ""},    // a blank inside a byte
    {"0g", false, ""},
    {"0x01", false, ""},
    {"01,02", false, ""},
};

TEST(ParseHexBinary, TableOfCases) {
  for (const HexCase& c : kHexCases) {
    std::string bytes = "keep";
    ASSERT_EQ(ParseHexBinary(c.text, bytes), c.ok) << '"' << c.text << '"';
    EXPECT_EQ(bytes, c.ok ? c.bytes : std::string("keep")) << '"' << c.text << '"';
  }
}

TEST(ShellFolderValueName, EveryGroupType) {
  EXPECT_STREQ(ShellFolderValueName(0), "Programs");
  EXPECT_STREQ(ShellFolderValueName(1), "Programs");
  EXPECT_STREQ(ShellFolderValueName(2), "Start Menu");
  EXPECT_STREQ(ShellFolderValueName(3), "Desktop");
  EXPECT_STREQ(ShellFolderValueName(4), "Startup");
  EXPECT_STREQ(ShellFolderValueName(5), "SendTo");
  EXPECT_EQ(ShellFolderValueName(6), nullptr);
  EXPECT_EQ(ShellFolderValueName(-1), nullptr);
}

TEST(ShortcutFolder, ProgramFolderJoinsTheBase) {
  EXPECT_EQ(ShortcutFolder("C:\\Desk", "My App"), "C:\\Desk\\My App");
  EXPECT_EQ(ShortcutFolder("C:\\Desk", ""), "C:\\Desk");
  EXPECT_EQ(ShortcutFolder("C:\\Desk\\", "Group\\Sub\\"), "C:\\Desk\\Group\\Sub");
}

TEST(FolderLevels, OutermostFirst) {
  using V = std::vector<std::string>;
  EXPECT_EQ(FolderLevels("C:\\a\\b"), (V{"C:\\a", "C:\\a\\b"}));
  EXPECT_EQ(FolderLevels("C:\\a\\b\\"), (V{"C:\\a", "C:\\a\\b"}));
  EXPECT_EQ(FolderLevels("C:\\"), V{});
  EXPECT_EQ(FolderLevels("C:"), V{});
  EXPECT_EQ(FolderLevels("\\\\srv\\share\\x\\y"), (V{"\\\\srv\\share\\x", "\\\\srv\\share\\x\\y"}));
  EXPECT_EQ(FolderLevels("\\\\srv\\share"), V{});
  EXPECT_EQ(FolderLevels("a\\b"), (V{"a", "a\\b"}));
  EXPECT_EQ(FolderLevels("C:\\a\\\\b"), (V{"C:\\a", "C:\\a\\\\b"}));
}

}  // namespace
