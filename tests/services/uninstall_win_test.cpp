// Uninstall log file, the Windows uninstall entry read back from the registry, the package
// offset, ReadMe and licence texts, and result texts from the engine's string table.
#include <gtest/gtest.h>
#include <windows.h>

#include <filesystem>

#include "base/Streams.h"
#include "resources/engine_strings.h"
#include "setup/services/InstGlobal.h"
#include "tests/harness/WinTestSupport.h"

namespace {

constexpr const char* kUninstall = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall";

std::string Bytes(const std::string& file) {
  auto b = base::ReadFileBytes(file);
  return std::string(b.begin(), b.end());
}
void Put(const std::string& file, const std::string& bytes) {
  base::WriteFileBytes(file, std::vector<uint8_t>(bytes.begin(), bytes.end()));
}

std::string TestName() { return ::testing::UnitTest::GetInstance()->current_test_info()->name(); }

bool ReadValue(const std::string& key, const char* name, std::string& out) {
  HKEY h;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, key.c_str(), 0, KEY_READ, &h) != ERROR_SUCCESS) return false;
  DWORD type = 0, size = 0;
  bool ok = RegQueryValueExA(h, name, nullptr, &type, nullptr, &size) == ERROR_SUCCESS && type == REG_SZ;
  if (ok) {
    std::string buf(size, '\0');
    ok = RegQueryValueExA(h, name, nullptr, &type, reinterpret_cast<BYTE*>(buf.data()), &size) == ERROR_SUCCESS;
    out.assign(buf.c_str());
  }
  RegCloseKey(h);
  return ok;
}
bool KeyExists(const std::string& key) {
  HKEY h;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, key.c_str(), 0, KEY_READ, &h) != ERROR_SUCCESS) return false;
  RegCloseKey(h);
  return true;
}
DWORD SubKeyCount(const std::string& key) {
  HKEY h;
  DWORD n = 0;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, key.c_str(), 0, KEY_READ, &h) != ERROR_SUCCESS) return 0;
  RegQueryInfoKeyA(h, nullptr, nullptr, nullptr, &n, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr);
  RegCloseKey(h);
  return n;
}

class UninstallServices : public ::testing::Test {
protected:
  void SetUp() override {
    ResetInstGlobalState();
    dir_ = wintest::TempFolder() + "tun_" + TestName();
    std::error_code ec;
    std::filesystem::remove_all(dir_, ec);
    CreateDirectoryA(dir_.c_str(), nullptr);
  }
  void TearDown() override {
    std::error_code ec;
    std::filesystem::remove_all(dir_, ec);
    ResetInstGlobalState();
  }
  std::string dir_;
};

// ---------------------------------------------------------------------------------------
// Uninstall log

TEST_F(UninstallServices, LogIsSavedNewestFirstWithCrLf) {
  AddUninstallLogLine("CreateDir=C:\\A");
  AddToLog(TLogKeyword::InstalledFile, "C:\\A\\b=c.txt");
  AddToLog(TLogKeyword::AddRegValue, "(HKEY_CURRENT_USER\\Software\\X)Name");
  const std::string log = dir_ + "\\UnInst.log";
  ASSERT_TRUE(SaveUninstallLog(log));
  EXPECT_EQ(Bytes(log),
            "AddRegValue=(HKEY_CURRENT_USER\\Software\\X)Name\r\nCreateFile=C:\\A\\b=c.txt\r\nCreateDir=C:\\A\r\n");
  ClearUninstallLog();
  EXPECT_TRUE(UninstallLog().empty());
  ASSERT_TRUE(SaveUninstallLog(log));
  EXPECT_EQ(Bytes(log), "");
  EXPECT_FALSE(SaveUninstallLog(dir_ + "\\no\\such\\folder\\UnInst.log"));
}

// ---------------------------------------------------------------------------------------
// Uninstall entry

TEST_F(UninstallServices, EntryWritesExactStringsAndIsRemoved) {
  const std::string app = "Tandrel Test App " + TestName();
  const std::string key = std::string(kUninstall) + "\\" + app;
  const std::string command = ComposeUninstallString("C:\\Program Files\\My App\\TandrelInstall.exe",
                                                     "C:\\Program Files\\My App", app);
  EXPECT_EQ(command, "\"C:\\Program Files\\My App\\TandrelInstall.exe\" \"/UNINST=C:\\Program Files\\My App\\"
                     "UnInst.log \" \"/APPNAME=" + app + "\"");
  ASSERT_EQ(CreateUninstallEntry(app, command), 0);
  std::string v;
  ASSERT_TRUE(ReadValue(key, "DisplayName", v));
  EXPECT_EQ(v, app);
  ASSERT_TRUE(ReadValue(key, "UninstallString", v));
  EXPECT_EQ(v, command);
  EXPECT_EQ(RemoveUninstallEntry(app), 0);
  EXPECT_FALSE(KeyExists(key));
  EXPECT_EQ(RemoveUninstallEntry(app), 0) << "a key that is gone already is no error";
  // An entry that gained keys of its own is removed with them.
  ASSERT_EQ(CreateUninstallEntry(app, command), 0);
  HKEY sub;
  ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, (key + "\\Sub\\Deeper").c_str(), 0, nullptr, 0, KEY_ALL_ACCESS,
                            nullptr, &sub, nullptr), ERROR_SUCCESS);
  RegCloseKey(sub);
  EXPECT_EQ(RemoveUninstallEntry(app), 0);
  EXPECT_FALSE(KeyExists(key));
}

TEST_F(UninstallServices, EntryRefusesNamesOutsideItsOwnKey) {
  const DWORD before = SubKeyCount(kUninstall);
  ASSERT_TRUE(KeyExists(kUninstall));
  const struct { const char* name; const char* why; } cases[] = {
      {"", "empty: would write on the Uninstall key itself"},
      {"\\", "a lone backslash"},
      {"Vendor\\App", "a nested key"},
      {"..\\..\\Run", "a path out of the key"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.why);
    EXPECT_EQ(CreateUninstallEntry(c.name, "x"), 104);
    EXPECT_EQ(RemoveUninstallEntry(c.name), 105);
  }
  std::string v;
  EXPECT_FALSE(ReadValue(kUninstall, "DisplayName", v));
  EXPECT_FALSE(ReadValue(kUninstall, "UninstallString", v));
  EXPECT_TRUE(KeyExists(kUninstall));
  EXPECT_GE(SubKeyCount(kUninstall), before);
}

// ---------------------------------------------------------------------------------------
// Package offset, text files

TEST_F(UninstallServices, PackageOffsetBehindTheMarker) {
  auto le32 = [](uint32_t v) { return std::string{char(v), char(v >> 8), char(v >> 16), char(v >> 24)}; };
  const struct { const char* why; std::string bytes; int32_t expected; } cases[] = {
      {"no marker", std::string(40000, 'x'), 0},
      {"near the start", std::string(100, 'a') + "ZEM_SIZE" + le32(0x12345) + std::string(100, 'b'), 0x12345},
      {"straddling the first chunk border", std::string(16380, 'a') + "ZEM_SIZE" + le32(777) + "tail", 777},
      {"a zero value counts as none", "ZEM_SIZE" + le32(0) + std::string(30, 'c') + "ZEM_SIZE" + le32(42), 42},
      {"marker at the very end", std::string(20, 'q') + "ZEM_SIZE", 0},
  };
  int i = 0;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.why);
    const std::string f = dir_ + "\\pkg" + std::to_string(i++) + ".exe";
    Put(f, c.bytes);
    // The package stays open for others while it is read.
    HANDLE other = CreateFileA(f.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                               OPEN_EXISTING, 0, nullptr);
    EXPECT_EQ(ReadPackageOffset(f), c.expected);
    CloseHandle(other);
  }
}

TEST_F(UninstallServices, TextFilesAsRtfOrTxtAndLogged) {
  const struct { std::string text; const char* ext; } cases[] = {
      {"{\\RTF1\\ansi hello}", ".rtf"}, {"{\\rtf", ".rtf"}, {"abcd", ".txt"}, {"", ".txt"}, {"{\\rt", ".txt"}};
  int i = 0;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    const std::string base = dir_ + "\\ReadMe" + std::to_string(i++);
    std::string final;
    WriteTextFile(base + ".txt", c.text, final);
    EXPECT_EQ(final, base + c.ext);
    EXPECT_EQ(Bytes(final), c.text);
    ASSERT_FALSE(UninstallLog().empty());
    EXPECT_EQ(UninstallLog()[0], "CreateFile=" + final);
  }
  std::string final;
  EXPECT_ANY_THROW(WriteTextFile(dir_ + "\\missing\\License.txt", "x", final));
}

// ---------------------------------------------------------------------------------------
// Result texts

TEST_F(UninstallServices, ResultTextsFromTheStringTable) {
  // The program carries the engine's string table; the texts must be the table's.
  char buf[256];
  ASSERT_GT(LoadStringA(GetModuleHandleA(nullptr), IDS_ERR_INSTALL_FILE, buf, sizeof buf), 0);
  const std::string f = "C:\\App\\100%.dat";
  const struct { int code; std::string text; } cases[] = {
      {0, ""},
      {100, "Could not add file '" + f + "'"},
      {101, "Could not make a backup of '" + f + "'"},
      {102, "Error installing the file '" + f + "'"},
      {103, "Could not create the icon for '" + f + "'"},
      {104, "Error while creating the uninstaller for '" + f + "'"},
      {105, "Error while removing the uninstaller for '" + f + "'"},
      {106, "Error initializing OLE"},
      {107, "Error registering server '" + f + "'"},
      {108, "Error un-registering server '" + f + "'"},
      {109, "Error: the file '" + f + "' does not exist"},
      {110, "Error registering server '" + f + "'"},
      {111, "Error updating registry"},
      {112, "Error updating registry"},
      {113, "Error updating registry"},
      {114, "Error updating registry"},
      {115, "Error updating registry"},
      {116, ""},
      {117, ""},
  };
  for (const auto& c : cases) EXPECT_EQ(InstallErrorText(c.code, f), c.text) << c.code;
  EXPECT_EQ(InstallErrorText(102, ""), "Error installing the file ''");
  EXPECT_EQ(InstallErrorText(102, "%s%s"), "Error installing the file '%s%s'");
}

}  // namespace
