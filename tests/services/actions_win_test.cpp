// Shortcuts, INI values and registry actions against the prefix's own shell and registry.
#include <gtest/gtest.h>
#include <windows.h>
#include <shlobj.h>
#include <shlwapi.h>

#include <cstring>

#include "base/Streams.h"
#include "base/win/Com.h"
#include "base/win/Registry.h"
#include "setup/services/InstGlobal.h"
#include "tests/harness/WinTestSupport.h"

namespace {

// Each test works under a key of its own name, so tests may run side by side.
std::string SubKey() {
  return std::string("Software\\TandrelActionsTest\\") +
         ::testing::UnitTest::GetInstance()->current_test_info()->name();
}
std::string TestKey() { return "HKEY_CURRENT_USER\\" + SubKey(); }

std::string ShellFolderPath(const char* value) {
  base::win::RegKey key;
  EXPECT_TRUE(key.Open(HKEY_CURRENT_USER, "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders",
                       KEY_READ));
  char buf[MAX_PATH] = {};
  DWORD size = sizeof buf;
  RegQueryValueExA(key.get(), value, nullptr, nullptr, reinterpret_cast<BYTE*>(buf), &size);
  return buf;
}

bool Exists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

std::vector<std::string> Log() { return UninstallLog(); }

struct LinkFields {
  std::string path, arguments, workingDir;
};

LinkFields ReadLink(const std::string& file) {
  LinkFields f;
  base::win::ComScope com;
  base::win::ComPtr<IShellLinkA> link;
  EXPECT_HRESULT_SUCCEEDED(
      CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA, link.put_void()));
  if (!link) return f;
  base::win::ComPtr<IPersistFile> persist;
  EXPECT_HRESULT_SUCCEEDED(link->QueryInterface(IID_IPersistFile, persist.put_void()));
  wchar_t wide[MAX_PATH];
  MultiByteToWideChar(CP_ACP, 0, file.c_str(), -1, wide, MAX_PATH);
  EXPECT_HRESULT_SUCCEEDED(persist->Load(wide, STGM_READ));
  char buf[MAX_PATH] = {};
  link->GetPath(buf, MAX_PATH, nullptr, SLGP_RAWPATH);
  f.path = buf;
  buf[0] = 0;
  link->GetArguments(buf, MAX_PATH);
  f.arguments = buf;
  buf[0] = 0;
  link->GetWorkingDirectory(buf, MAX_PATH);
  f.workingDir = buf;
  return f;
}

class Actions : public ::testing::Test {
protected:
  void SetUp() override {
    ClearUninstallLog();
    SHDeleteKeyA(HKEY_CURRENT_USER, SubKey().c_str());
    HKEY parent;
    RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\TandrelActionsTest", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &parent,
                    nullptr);
    RegCloseKey(parent);
  }
  void TearDown() override { SHDeleteKeyA(HKEY_CURRENT_USER, SubKey().c_str()); }
};

// ---------------------------------------------------------------------------------------
// Shortcuts

TEST_F(Actions, ShortcutInAProgramFolderOnTheDesktop) {
  std::string desktop = ShellFolderPath("Desktop");
  std::string folder = desktop + "\\Tandrel AB App";
  std::string link = folder + "\\Probe.lnk";
  RemoveDirectoryA(folder.c_str());
  ASSERT_FALSE(Exists(folder));

  ASSERT_EQ(CreateShortcut("Probe", "<WINDIR>\\notepad.exe", "-open <WINDIR>\\readme.txt", "<WINDIR>",
                           3 /* gtDesktop */, "Tandrel AB App"),
            0);
  ASSERT_TRUE(Exists(link));
  std::string windir = GetDirMacro("<WINDIR>");
  LinkFields f = ReadLink(link);
  EXPECT_TRUE(lstrcmpiA(f.path.c_str(), (windir + "\\notepad.exe").c_str()) == 0) << f.path;
  EXPECT_EQ(f.arguments, "-open " + windir + "\\readme.txt");
  EXPECT_EQ(f.workingDir, windir);
  // No show command is set: the file holds SW_SHOWNORMAL at offset 0x3C of its header.
  std::vector<uint8_t> bytes = base::ReadFileBytes(link);
  ASSERT_GE(bytes.size(), 0x4Cu);
  EXPECT_EQ(bytes[0], 0x4C);
  uint32_t showCmd;
  std::memcpy(&showCmd, &bytes[0x3C], 4);
  EXPECT_EQ(showCmd, static_cast<uint32_t>(SW_SHOWNORMAL));

  EXPECT_EQ(Log(), (std::vector<std::string>{"CreateFile_PM=" + link, "CreateFolder_PM=" + folder}));
  DeleteFileA(link.c_str());
  RemoveDirectoryA(folder.c_str());
}

TEST_F(Actions, ShortcutWithoutProgramFolderGoesStraightIntoTheBase) {
  std::string link = ShellFolderPath("Desktop") + "\\Tandrel AB Plain.lnk";
  ASSERT_EQ(CreateShortcut("Tandrel AB Plain", "<WINDIR>\\notepad.exe", "", "", 3, ""), 0);
  EXPECT_TRUE(Exists(link));
  EXPECT_EQ(Log(), (std::vector<std::string>{"CreateFile_PM=" + link}));
  DeleteFileA(link.c_str());
}

TEST_F(Actions, ShortcutGroupTypesPickTheirShellFolder) {
  struct {
    int groupType;
    const char* value;
  } cases[] = {{0, "Programs"}, {1, "Programs"}, {2, "Start Menu"}, {4, "Startup"}, {5, "SendTo"}};
  for (const auto& c : cases) {
    ClearUninstallLog();
    std::string base = ShellFolderPath(c.value);
    ASSERT_FALSE(base.empty()) << c.value;
    CreateDirectoryA(base.c_str(), nullptr);
    std::string link = base + "\\Tandrel AB Kind.lnk";
    EXPECT_EQ(CreateShortcut("Tandrel AB Kind", "<WINDIR>\\notepad.exe", "", "", c.groupType, ""), 0) << c.value;
    EXPECT_TRUE(Exists(link)) << link;
    DeleteFileA(link.c_str());
  }
}

TEST_F(Actions, ShortcutCreatesAndLogsEveryMissingFolderLevel) {
  std::string programs = ShellFolderPath("Programs");
  std::string group = programs + "\\Tandrel AB Group", sub = group + "\\Sub";
  ASSERT_FALSE(Exists(group));
  ASSERT_EQ(CreateShortcut("Probe", "<WINDIR>\\notepad.exe", "", "", 1, "Tandrel AB Group\\Sub"), 0);
  std::string link = sub + "\\Probe.lnk";
  EXPECT_TRUE(Exists(link));
  // Newest first: the link, the inner folder, the outer folder (undone in that order).
  EXPECT_EQ(Log(), (std::vector<std::string>{"CreateFile_PM=" + link, "CreateFolder_PM=" + sub,
                                             "CreateFolder_PM=" + group}));
  DeleteFileA(link.c_str());
  RemoveDirectoryA(sub.c_str());
  RemoveDirectoryA(group.c_str());
}

TEST_F(Actions, ShortcutThatCannotBeSavedFailsAndLeavesNothing) {
  std::string folder = ShellFolderPath("Programs") + "\\Tandrel AB Fail";
  // The caption names a folder that does not exist, so the link cannot be written.
  EXPECT_EQ(CreateShortcut("missing\\Probe", "<WINDIR>\\notepad.exe", "", "", 1, "Tandrel AB Fail"), 103);
  EXPECT_TRUE(Log().empty());
  EXPECT_FALSE(Exists(folder)) << "the folder made for it is removed again";
}

TEST_F(Actions, ShortcutRefusesAnUnknownGroupTypeOrEmptyCaption) {
  EXPECT_EQ(CreateShortcut("Probe", "<WINDIR>\\notepad.exe", "", "", 6, ""), 103);
  EXPECT_EQ(CreateShortcut("Probe", "<WINDIR>\\notepad.exe", "", "", -1, "Tandrel AB X"), 103);
  EXPECT_EQ(CreateShortcut("", "<WINDIR>\\notepad.exe", "", "", 3, ""), 103);
  EXPECT_TRUE(Log().empty());
  EXPECT_FALSE(Exists(ShellFolderPath("Desktop") + "\\.lnk"));
}

// ---------------------------------------------------------------------------------------
// INI values

std::string IniRead(const std::string& file, const char* section, const char* key) {
  char buf[512];
  GetPrivateProfileStringA(section, key, "<none>", buf, sizeof buf, file.c_str());
  return buf;
}

TEST_F(Actions, IniValueIsWrittenExpandedAndLogged) {
  std::string file = wintest::TempFolder() + "tandrel_ab_values.ini";
  DeleteFileA(file.c_str());
  EXPECT_EQ(WriteIniValue(file, "Paths", "Home", "<WINDIR>\\app"), 0);
  EXPECT_EQ(WriteIniValue(file, "Paths", "Other", "x"), 0);
  EXPECT_EQ(IniRead(file, "Paths", "Home"), GetDirMacro("<WINDIR>") + "\\app");
  EXPECT_EQ(Log(), (std::vector<std::string>{"CreateIniValue=" + file + ",Paths,Other",
                                             "CreateIniValue=" + file + ",Paths,Home"}));

  EXPECT_EQ(DeleteIniValue(file, "Paths", "Home"), 0);
  EXPECT_EQ(IniRead(file, "Paths", "Home"), "<none>");
  EXPECT_EQ(IniRead(file, "Paths", "Other"), "x");
  // An empty key removes nothing (the profile API would drop the whole section).
  EXPECT_EQ(DeleteIniValue(file, "Paths", ""), 0);
  EXPECT_EQ(IniRead(file, "Paths", "Other"), "x");
  DeleteFileA(file.c_str());
}

TEST_F(Actions, IniEntryWithoutKeyOrSectionWritesNothing) {
  std::string file = wintest::TempFolder() + "tandrel_ab_empty.ini";
  DeleteFileA(file.c_str());
  EXPECT_EQ(WriteIniValue(file, "Paths", "", "v"), 0);
  EXPECT_EQ(WriteIniValue(file, "", "Key", "v"), 0);
  EXPECT_FALSE(Exists(file));
  EXPECT_TRUE(Log().empty());
}

TEST_F(Actions, IniBareNameMeansTheWindowsFolder) {
  ASSERT_EQ(WriteIniValue("tandrel_ab_bare.ini", "S", "K", "v"), 0);
  std::string inWindows = GetDirMacro("<WINDIR>") + "\\tandrel_ab_bare.ini";
  EXPECT_EQ(IniRead(inWindows, "S", "K"), "v");
  EXPECT_EQ(Log().front(), "CreateIniValue=tandrel_ab_bare.ini,S,K");
  DeleteFileA(inWindows.c_str());
}

TEST_F(Actions, IniWriteThatFailsRaises) {
  std::string file = wintest::TempFolder() + "no such folder\\x.ini";
  EXPECT_THROW(WriteIniValue(file, "S", "K", "v"), EIniFileException);
  EXPECT_TRUE(Log().empty());
}

// ---------------------------------------------------------------------------------------
// Registry

struct RegValue {
  DWORD type = 0;
  std::string data;
  bool found = false;
};

RegValue ReadValue(const std::string& sub, const char* name) {
  RegValue v;
  base::win::RegKey key;
  if (!key.Open(HKEY_CURRENT_USER, sub.c_str(), KEY_READ)) return v;
  char buf[512];
  DWORD size = sizeof buf;
  if (RegQueryValueExA(key.get(), name, nullptr, &v.type, reinterpret_cast<BYTE*>(buf), &size) != ERROR_SUCCESS)
    return v;
  v.found = true;
  v.data.assign(buf, size);
  return v;
}

bool KeyThere(const std::string& sub) {
  base::win::RegKey key;
  return key.Open(HKEY_CURRENT_USER, sub.c_str(), KEY_READ);
}

TEST_F(Actions, ValuesInANewKeyLogTheKeyOnce) {
  std::string key = TestKey() + "\\New";
  EXPECT_EQ(WriteRegString(key, "Path", "<WINDIR>\\app"), 0);
  EXPECT_EQ(WriteRegInteger(key, "Count", -2), 0);
  EXPECT_EQ(WriteRegBinary(key, "Blob", "01 02 ff 00"), 0);
  // The test's own key was missing too: every level made is logged, outermost first.
  EXPECT_EQ(Log(), (std::vector<std::string>{"AddRegValue=(" + key + ")Blob", "AddRegValue=(" + key + ")Count",
                                             "AddRegValue=(" + key + ")Path", "CreateRegKey=" + key,
                                             "CreateRegKey=" + TestKey()}));

  RegValue s = ReadValue((SubKey() + "\\New").c_str(), "Path");
  EXPECT_EQ(s.type, static_cast<DWORD>(REG_SZ));
  EXPECT_EQ(s.data, GetDirMacro("<WINDIR>") + "\\app" + std::string(1, '\0'));
  RegValue i = ReadValue((SubKey() + "\\New").c_str(), "Count");
  EXPECT_EQ(i.type, static_cast<DWORD>(REG_DWORD));
  EXPECT_EQ(i.data, std::string("\xfe\xff\xff\xff", 4));
  RegValue b = ReadValue((SubKey() + "\\New").c_str(), "Blob");
  EXPECT_EQ(b.type, static_cast<DWORD>(REG_BINARY));
  EXPECT_EQ(b.data, std::string("\x01\x02\xff\x00", 4));
}

TEST_F(Actions, CreateRegistryKeyResults) {
  std::string key = TestKey() + "\\A\\B";
  EXPECT_EQ(CreateRegistryKey(key), 0);
  EXPECT_TRUE(KeyThere((SubKey() + "\\A\\B").c_str()));
  EXPECT_EQ(CreateRegistryKey(key), 112);
  EXPECT_EQ(CreateRegistryKey("hkey_current_user\\" + SubKey() + "\\C"), 111);
  EXPECT_EQ(CreateRegistryKey("HKEY_NOWHERE\\x"), 111);
  EXPECT_EQ(Log(), (std::vector<std::string>{"CreateRegKey=" + key, "CreateRegKey=" + TestKey() + "\\A",
                                             "CreateRegKey=" + TestKey()}));
  ClearUninstallLog();
  EXPECT_EQ(WriteRegString("hkey_current_user\\" + SubKey(), "v", "x"), 111);
  EXPECT_EQ(WriteRegInteger(key, "n", 5), 0);  // 112 is no failure for a value write
  EXPECT_EQ(Log(), (std::vector<std::string>{"AddRegValue=(" + key + ")n"}));
}

TEST_F(Actions, ValuesThatExistedBeforeAreWrittenButNotLogged) {
  // The user's own "Build"=1000 in the product's key must outlive the uninstall.
  const std::string key = TestKey();
  HKEY k;
  ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, SubKey().c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &k, nullptr),
            ERROR_SUCCESS);
  DWORD build = 1000;
  RegSetValueExA(k, "Build", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&build), sizeof build);
  RegSetValueExA(k, "Name", 0, REG_SZ, reinterpret_cast<const BYTE*>("old"), 4);
  RegSetValueExA(k, "Blob", 0, REG_BINARY, reinterpret_cast<const BYTE*>("\x01"), 1);
  RegCloseKey(k);
  EXPECT_EQ(WriteRegInteger(key, "Build", 2000), 0);
  EXPECT_EQ(WriteRegString(key, "Name", "new"), 0);
  EXPECT_EQ(WriteRegBinary(key, "Blob", "02"), 0);
  EXPECT_EQ(WriteRegString(key, "Fresh", "x"), 0);
  EXPECT_EQ(ReadValue(SubKey(), "Build").data, std::string("\xd0\x07\0\0", 4));
  EXPECT_EQ(Log(), (std::vector<std::string>{"AddRegValue=(" + key + ")Fresh"}));

  std::string file = wintest::TempFolder() + "tandrel_ab_existing.ini";
  WritePrivateProfileStringA("Main", "Build", "1000", file.c_str());
  WritePrivateProfileStringA("Main", "Empty", "", file.c_str());
  ClearUninstallLog();
  EXPECT_EQ(WriteIniValue(file, "Main", "Build", "2000"), 0);
  EXPECT_EQ(WriteIniValue(file, "Main", "Empty", "now"), 0);
  EXPECT_EQ(WriteIniValue(file, "Main", "Fresh", "x"), 0);
  EXPECT_EQ(IniRead(file, "Main", "Build"), "2000");
  EXPECT_EQ(Log(), (std::vector<std::string>{"CreateIniValue=" + file + ",Main,Fresh"}));
  DeleteFileA(file.c_str());
}

TEST_F(Actions, DeleteEmptyRegKeyKeepsAKeyThatHoldsAnother) {
  const std::string key = TestKey() + "\\Maker";
  ASSERT_EQ(WriteRegString(key + "\\Other", "v", "x"), 0);
  EXPECT_EQ(DeleteEmptyRegKey(key), 113);
  EXPECT_TRUE(KeyThere(SubKey() + "\\Maker\\Other"));
  EXPECT_EQ(DeleteRegKey(key + "\\Other"), 0);
  EXPECT_EQ(DeleteEmptyRegKey(key), 0);
  EXPECT_FALSE(KeyThere(SubKey() + "\\Maker"));
}

TEST_F(Actions, MalformedBinaryTextWritesNothing) {
  std::string key = TestKey() + "\\Bin";
  for (const char* text : {"0", "0g", "01 0", "0 1"}) {
    EXPECT_EQ(WriteRegBinary(key, "Blob", text), 114) << text;
  }
  EXPECT_FALSE(KeyThere((SubKey() + "\\Bin").c_str()));
  EXPECT_TRUE(Log().empty());
  EXPECT_EQ(WriteRegBinary(key, "Empty", ""), 0);
  RegValue v = ReadValue((SubKey() + "\\Bin").c_str(), "Empty");
  EXPECT_TRUE(v.found);
  EXPECT_EQ(v.type, static_cast<DWORD>(REG_BINARY));
  EXPECT_EQ(v.data, "");
}

TEST_F(Actions, DeleteRegValueResults) {
  std::string key = TestKey() + "\\Del";
  ASSERT_EQ(WriteRegString(key, "v", "x"), 0);
  EXPECT_EQ(DeleteRegValue(key, "v"), 0);
  EXPECT_FALSE(ReadValue((SubKey() + "\\Del").c_str(), "v").found);
  EXPECT_EQ(DeleteRegValue(key, "v"), 115);                          // value already gone
  EXPECT_EQ(DeleteRegValue(key + "\\Missing", "v"), 115);            // key missing
  EXPECT_EQ(DeleteRegValue("HKEY_NOWHERE\\Software", "v"), 115);     // root unknown
}

TEST_F(Actions, DeleteRegKeyRemovesTheWholeTree) {
  std::string key = TestKey() + "\\Tree";
  ASSERT_EQ(WriteRegString(key + "\\a\\b", "v", "x"), 0);
  ASSERT_EQ(WriteRegString(key + "\\a\\c", "v", "x"), 0);
  ASSERT_EQ(WriteRegString(key, "top", "x"), 0);
  ASSERT_EQ(WriteRegString(TestKey() + "\\Sibling", "v", "x"), 0);
  EXPECT_EQ(DeleteRegKey(key), 0);
  EXPECT_FALSE(KeyThere((SubKey() + "\\Tree").c_str()));
  EXPECT_TRUE(KeyThere((SubKey() + "\\Sibling").c_str()));
  EXPECT_EQ(DeleteRegKey(key), 113);
  EXPECT_EQ(DeleteRegKey("HKEY_NOWHERE\\Software"), 113);
}

TEST_F(Actions, DeleteRegKeyRefusesARootAlone) {
  for (const char* root : {"HKEY_CURRENT_USER", "HKEY_CURRENT_USER\\", "HKEY_CURRENT_USER\\\\"})
    EXPECT_EQ(DeleteRegKey(root), 113) << root;
  EXPECT_TRUE(KeyThere("Software"));
}

TEST_F(Actions, LogUninstallKeyLogsTheFullPath) {
  LogUninstallKey("HKEY_LOCAL_MACHINE\\SOFTWARE\\Maker\\App");
  EXPECT_EQ(Log(), (std::vector<std::string>{"UninstallKey=HKEY_LOCAL_MACHINE\\SOFTWARE\\Maker\\App"}));
}

}  // namespace
