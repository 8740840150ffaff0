// File dates and version resources, size texts, shortened labels, program folders, the
// remembered user name and company, and starting programs.
#include <gtest/gtest.h>
#include <windows.h>
#include <shlwapi.h>

#include <algorithm>

#include "base/win/Registry.h"
#include "setup/services/InstGlobal.h"
#include "tests/harness/WinTestSupport.h"
#include "tests/services/ab_fixtures.h"

namespace {

bool Exists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

void WriteSmallFile(const std::string& path, const char* text = "x") {
  HANDLE h = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  ASSERT_NE(h, INVALID_HANDLE_VALUE) << path;
  DWORD written;
  WriteFile(h, text, static_cast<DWORD>(strlen(text)), &written, nullptr);
  CloseHandle(h);
}

TEST(FileVersion, ReadsTheVersionResourceOfADll) {
  std::string dll = AbFixture("tandrel_ab_server.dll");
  std::string product = "-", productVersion = "-", fileVersion = "-", company = "-";
  bool ole = false;
  ASSERT_TRUE(GetVersionInfo(dll, product, productVersion, fileVersion, company, ole));
  EXPECT_EQ(product, "Tandrel Probe");
  EXPECT_EQ(productVersion, "5.6");
  EXPECT_EQ(fileVersion, "1.2.3.4");
  EXPECT_EQ(company, "Tandrel Test Makers");
  EXPECT_TRUE(ole);
  EXPECT_EQ(GetFileVersion(dll), "1.2.3.4");
}

TEST(FileVersion, OtherTranslationAndMissingStrings) {
  // Swedish / Unicode block, no ProductVersion (takes FileVersion), no OLESelfRegister.
  std::string exe = AbFixture("tandrel_ab_server.exe");
  std::string product, productVersion = "-", fileVersion, company;
  bool ole = true;
  ASSERT_TRUE(GetVersionInfo(exe, product, productVersion, fileVersion, company, ole));
  EXPECT_EQ(product, "Tandrel Probe Program");
  EXPECT_EQ(fileVersion, "2.0");
  EXPECT_EQ(productVersion, "2.0");
  EXPECT_FALSE(ole);
}

TEST(FileVersion, NoResourceOrNoFile) {
  std::string plain = AbFixture("tandrel_ab_crash.dll");  // built without a version resource
  std::string a = "keep", b = "keep", c = "keep", d = "keep";
  bool ole = true;
  EXPECT_FALSE(GetVersionInfo(plain, a, b, c, d, ole));
  EXPECT_EQ(GetFileVersion(plain), "");
  EXPECT_FALSE(GetVersionInfo(AbFixture("no_such_file.dll"), a, b, c, d, ole));
  EXPECT_EQ(a + b + c + d, "keepkeepkeepkeep");
  EXPECT_TRUE(ole);
  EXPECT_EQ(GetFileVersion(AbFixture("no_such_file.dll")), "");
}

TEST(FileDate, LastWriteInLocalTime) {
  std::string file = wintest::TempFolder() + "tandrel_ab_dated.txt";
  WriteSmallFile(file);
  // 2004-06-15 13:45:30 local time.
  SYSTEMTIME st = {2004, 6, 2, 15, 13, 45, 30, 0};
  FILETIME local, utc;
  SystemTimeToFileTime(&st, &local);
  LocalFileTimeToFileTime(&local, &utc);
  HANDLE h = CreateFileA(file.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(h, INVALID_HANDLE_VALUE);
  SetFileTime(h, nullptr, nullptr, &utc);
  CloseHandle(h);
  // 38153 is 2004-06-15; the time of day follows.
  EXPECT_NEAR(GetFileDate(file), 38153.0 + (13 * 3600 + 45 * 60 + 30) / 86400.0, 1e-7);
  DeleteFileA(file.c_str());
}

TEST(FileDate, MissingFileFolderOrPatternIsZero) {
  EXPECT_EQ(GetFileDate(wintest::TempFolder() + "tandrel_ab_missing.txt"), 0.0);
  EXPECT_EQ(GetFileDate(GetDirMacro("<WINDIR>")), 0.0);
  EXPECT_EQ(GetFileDate(GetDirMacro("<WINDIR>") + "\\*.exe"), 0.0);
  EXPECT_EQ(GetFileDate(""), 0.0);
}

TEST(FormatSizeK, UsesTheUsersThousandSeparator) {
  EXPECT_EQ(FormatSizeK(1536), "2 K");
  EXPECT_EQ(FormatSizeK(10 * 1024 * 1024), "10,240 K");  // the prefix's locale is 0409
  EXPECT_EQ(FormatSizeK64(5LL * 1024 * 1024 * 1024), "5,242,880 K");
}

TEST(MinimizePathForLabel, LongPathGetsAnEllipsis) {
  HWND label = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 120, 20, nullptr, nullptr,
                               GetModuleHandleA(nullptr), nullptr);
  ASSERT_NE(label, nullptr);
  SendMessageA(label, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), FALSE);
  std::string longPath = "C:\\Program Files\\A Rather Long Maker Name\\Some Application\\bin\\program.exe";
  std::string shortened = MinimizePathForLabel(label, longPath);
  EXPECT_LT(shortened.size(), longPath.size());
  EXPECT_NE(shortened.find("..."), std::string::npos) << shortened;
  EXPECT_NE(shortened.find("program.exe"), std::string::npos) << shortened;
  EXPECT_EQ(MinimizePathForLabel(label, "C:\\a.exe"), "C:\\a.exe");
  // A path longer than any fixed buffer.
  std::string huge = "C:\\" + std::string(3000, 'x') + "\\end.exe";
  EXPECT_NE(MinimizePathForLabel(label, huge).find("end.exe"), std::string::npos);
  DestroyWindow(label);
}

TEST(GetProgramFolders, ListsPlainSubFoldersOnly) {
  base::win::RegKey key;
  ASSERT_TRUE(key.Open(HKEY_CURRENT_USER, "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders",
                       KEY_READ));
  char buf[MAX_PATH] = {};
  DWORD size = sizeof buf;
  RegQueryValueExA(key.get(), "Programs", nullptr, nullptr, reinterpret_cast<BYTE*>(buf), &size);
  std::string programs = buf;
  std::string plain = programs + "\\Tandrel AB Plain", hidden = programs + "\\Tandrel AB Hidden",
              file = programs + "\\Tandrel AB File.txt";
  CreateDirectoryA(programs.c_str(), nullptr);
  CreateDirectoryA(plain.c_str(), nullptr);
  CreateDirectoryA(hidden.c_str(), nullptr);
  SetFileAttributesA(hidden.c_str(), FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_DIRECTORY);
  WriteSmallFile(file);

  std::vector<std::string> list = {"stale"};
  GetProgramFolders(list);
  auto has = [&](const char* name) { return std::find(list.begin(), list.end(), name) != list.end(); };
  EXPECT_TRUE(has("Tandrel AB Plain"));
  EXPECT_FALSE(has("Tandrel AB Hidden"));
  EXPECT_FALSE(has("Tandrel AB File.txt"));
  EXPECT_FALSE(has("stale"));
  EXPECT_FALSE(has("."));
  EXPECT_FALSE(has(".."));

  DeleteFileA(file.c_str());
  SetFileAttributesA(hidden.c_str(), FILE_ATTRIBUTE_DIRECTORY);
  RemoveDirectoryA(hidden.c_str());
  RemoveDirectoryA(plain.c_str());
}

TEST(UserInfo, WrittenAndReadBackPerProduct) {
  ASSERT_TRUE(WriteUserInfo("Tandrel AB Co", "Probe", "1.0", "Ann Example", "Example Ltd"));
  std::string name, company;
  ReadUserInfo("Tandrel AB Co", "Probe", "1.0", name, company);
  EXPECT_EQ(name, "Ann Example");
  EXPECT_EQ(company, "Example Ltd");

  base::win::RegKey key;
  ASSERT_TRUE(key.Open(HKEY_LOCAL_MACHINE, "Software\\Tandrel AB Co\\Probe\\1.0", KEY_READ));
  key.Close();

  // Another version of the product has nothing remembered: the outputs stay.
  name = "typed";
  company = "typed too";
  ReadUserInfo("Tandrel AB Co", "Probe", "2.0", name, company);
  EXPECT_EQ(name, "typed");
  EXPECT_EQ(company, "typed too");
  SHDeleteKeyA(HKEY_LOCAL_MACHINE, "Software\\Tandrel AB Co");
}

TEST(UserInfo, MissingValueReadsEmpty) {
  base::win::RegKey key;
  ASSERT_TRUE(key.Create(HKEY_LOCAL_MACHINE, "Software\\Tandrel AB Co\\Half\\1", KEY_ALL_ACCESS));
  RegSetValueExA(key.get(), "Name", 0, REG_SZ, reinterpret_cast<const BYTE*>("Bo"), 3);
  key.Close();
  std::string name, company = "was here";
  ReadUserInfo("Tandrel AB Co", "Half", "1", name, company);
  EXPECT_EQ(name, "Bo");
  EXPECT_EQ(company, "");
  SHDeleteKeyA(HKEY_LOCAL_MACHINE, "Software\\Tandrel AB Co");
}

bool HklmKeyExists(const std::string& key) {
  base::win::RegKey k;
  return k.Open(HKEY_LOCAL_MACHINE, key.c_str(), KEY_READ);
}

// An installation that ends before its end takes back what its user page wrote.
TEST(UserInfo, TakenBackAsItWasBefore) {
  const std::string maker = "Software\\Tandrel TB Co", product = maker + "\\Probe", version = product + "\\1.0";
  SHDeleteKeyA(HKEY_LOCAL_MACHINE, maker.c_str());
  ForgetUserInfo();

  // Nothing there before: every key made goes.
  ASSERT_TRUE(WriteUserInfo("Tandrel TB Co", "Probe", "1.0", "Ann", "Ann Ltd"));
  ASSERT_TRUE(HklmKeyExists(version));
  TakeBackUserInfo();
  EXPECT_FALSE(HklmKeyExists(maker));

  // The maker's key holds another product: it stays, with that product.
  base::win::RegKey other;
  ASSERT_TRUE(other.Create(HKEY_LOCAL_MACHINE, (maker + "\\Other").c_str(), KEY_ALL_ACCESS));
  other.Close();
  ASSERT_TRUE(WriteUserInfo("Tandrel TB Co", "Probe", "1.0", "Ann", "Ann Ltd"));
  TakeBackUserInfo();
  EXPECT_FALSE(HklmKeyExists(product));
  EXPECT_TRUE(HklmKeyExists(maker + "\\Other"));

  // An earlier setup's name comes back, and its missing company stays missing, also after
  // a second write.
  base::win::RegKey key;
  ASSERT_TRUE(key.Create(HKEY_LOCAL_MACHINE, version.c_str(), KEY_ALL_ACCESS));
  RegSetValueExA(key.get(), "Name", 0, REG_SZ, reinterpret_cast<const BYTE*>("Bo"), 3);
  key.Close();
  ASSERT_TRUE(WriteUserInfo("Tandrel TB Co", "Probe", "1.0", "Ann", "Ann Ltd"));
  ASSERT_TRUE(WriteUserInfo("Tandrel TB Co", "Probe", "1.0", "Cy", "Cy Ltd"));
  TakeBackUserInfo();
  std::string name, company = "none";
  ReadUserInfo("Tandrel TB Co", "Probe", "1.0", name, company);
  EXPECT_EQ(name, "Bo");
  EXPECT_EQ(company, "");
  ASSERT_TRUE(key.Open(HKEY_LOCAL_MACHINE, version.c_str(), KEY_READ));
  EXPECT_NE(RegQueryValueExA(key.get(), "Company", nullptr, nullptr, nullptr, nullptr), ERROR_SUCCESS);
  key.Close();

  // A key that something else filled meanwhile stays; a completed installation keeps all.
  SHDeleteKeyA(HKEY_LOCAL_MACHINE, product.c_str());
  ASSERT_TRUE(WriteUserInfo("Tandrel TB Co", "Probe", "1.0", "Ann", "Ann Ltd"));
  ASSERT_TRUE(key.Create(HKEY_LOCAL_MACHINE, product.c_str(), KEY_ALL_ACCESS));
  RegSetValueExA(key.get(), "Path", 0, REG_SZ, reinterpret_cast<const BYTE*>("C:\\"), 4);
  key.Close();
  TakeBackUserInfo();
  EXPECT_FALSE(HklmKeyExists(version));
  EXPECT_TRUE(HklmKeyExists(product));
  ASSERT_TRUE(WriteUserInfo("Tandrel TB Co", "Probe", "1.0", "Ann", "Ann Ltd"));
  ForgetUserInfo();
  TakeBackUserInfo();
  name.clear();
  ReadUserInfo("Tandrel TB Co", "Probe", "1.0", name, company);
  EXPECT_EQ(name, "Ann");
  SHDeleteKeyA(HKEY_LOCAL_MACHINE, maker.c_str());
}

TEST(RunProgram, WaitsAndReturnsTheExitCode) {
  EXPECT_EQ(RunProgram(AbFixture("tandrel_ab_server.exe"), "/exit 7", SW_HIDE, nullptr, true), 7);
}

TEST(RunProgram, PathWithBlanks) {
  std::string dir = wintest::TempFolder() + "tandrel ab run", exe = dir + "\\probe program.exe";
  CreateDirectoryA(dir.c_str(), nullptr);
  ASSERT_TRUE(CopyFileA(AbFixture("tandrel_ab_server.exe").c_str(), exe.c_str(), FALSE));
  EXPECT_EQ(RunProgram(exe, "/exit 3", SW_HIDE, nullptr, true), 3);
  DeleteFileA(exe.c_str());
  RemoveDirectoryA(dir.c_str());
}

TEST(RunProgram, WithoutWaitingReturnsOnceStarted) {
  std::string marker = wintest::TempFolder() + "tandrel_ab_touched.txt";
  DeleteFileA(marker.c_str());
  EXPECT_EQ(RunProgram(AbFixture("tandrel_ab_server.exe"), "/touch 1500 \"" + marker + "\"", SW_HIDE, nullptr,
                       false),
            0);
  EXPECT_FALSE(Exists(marker)) << "returned before the program finished";
  for (int i = 0; i < 100 && !Exists(marker); ++i) Sleep(50);
  EXPECT_TRUE(Exists(marker));
  DeleteFileA(marker.c_str());
}

TEST(RunProgram, MissingProgramIsMinusOne) {
  EXPECT_EQ(RunProgram(wintest::TempFolder() + "tandrel_ab_nothing.exe", "", SW_HIDE, nullptr, true), -1);
  EXPECT_EQ(RunProgram(wintest::TempFolder() + "tandrel_ab_nothing.exe", "", SW_HIDE, nullptr, false), -1);
}

}  // namespace
