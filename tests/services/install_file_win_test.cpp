// Installing one file from an archive into the prefix: update rules against versioned
// DLLs, platforms under each reported Windows version, shared-file counts, files in use
// and their replacement at restart, damaged archives.
#include <gtest/gtest.h>
#include <windows.h>
#include <shlwapi.h>

#include <filesystem>
#include <fstream>

#include "base/Streams.h"
#include "tests/services/ArchiveFixture.h"
#include "setup/services/InstGlobal.h"
#include "tests/harness/WinTestSupport.h"

namespace {

constexpr int32_t kDate2000 = 0x28214000;  // 2000-01-01 08:00:00
constexpr int32_t kDate2001 = 0x2A214000;
constexpr int32_t kDate2002 = 0x2C214000;

// The fixture DLLs sit beside the test program; version children run from a copy
// elsewhere, so the parent hands the folder down through the environment.
std::string IfFixture(const std::string& name) {
  char buf[MAX_PATH];
  DWORD n = GetEnvironmentVariableA("TANDREL_IF_FIXTURES", buf, sizeof buf);
  std::string dir;
  if (n > 0 && n < sizeof buf) {
    dir.assign(buf, n);
  } else {
    std::string exe = wintest::ThisExe();
    dir = exe.substr(0, exe.find_last_of('\\') + 1) + "fixtures_if\\";
    SetEnvironmentVariableA("TANDREL_IF_FIXTURES", dir.c_str());
  }
  return dir + name;
}

std::string Bytes(const std::string& file) {
  auto b = base::ReadFileBytes(file);
  return std::string(b.begin(), b.end());
}
void Put(const std::string& file, const std::string& bytes) {
  base::WriteFileBytes(file, std::vector<uint8_t>(bytes.begin(), bytes.end()));
}
bool Exists(const std::string& p) { return GetFileAttributesA(p.c_str()) != INVALID_FILE_ATTRIBUTES; }

void SetDate(const std::string& file, int32_t dos) {
  FILETIME local, utc;
  ASSERT_TRUE(DosDateTimeToFileTime(static_cast<WORD>(static_cast<uint32_t>(dos) >> 16),
                                    static_cast<WORD>(dos & 0xFFFF), &local));
  ASSERT_TRUE(LocalFileTimeToFileTime(&local, &utc));
  HANDLE h = CreateFileA(file.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(h, INVALID_HANDLE_VALUE);
  EXPECT_TRUE(SetFileTime(h, nullptr, nullptr, &utc));
  CloseHandle(h);
}

int32_t DosDateOf(const std::string& file) {
  WIN32_FILE_ATTRIBUTE_DATA d;
  if (!GetFileAttributesExA(file.c_str(), GetFileExInfoStandard, &d)) return 0;
  FILETIME local;
  WORD date = 0, time = 0;
  FileTimeToLocalFileTime(&d.ftLastWriteTime, &local);
  FileTimeToDosDateTime(&local, &date, &time);
  return static_cast<int32_t>((static_cast<uint32_t>(date) << 16) | time);
}

struct ArchEntry {
  std::string Name;  // "Group\file"
  std::string Data;
  int32_t Date = kDate2001;
  uint16_t Attr = FILE_ATTRIBUTE_ARCHIVE;
};

// Stored entries: the bytes land on disk as they are in the archive.
void MakeArchive(const std::string& archive, const std::vector<ArchEntry>& entries) {
  int64_t total = 0;
  std::string body;
  for (const auto& e : entries) {
    fixture::Entry f;
    f.Name = e.Name;
    f.Data = e.Data;
    f.Date = e.Date;
    f.Attr = e.Attr;
    total += static_cast<int64_t>(e.Data.size());
    body += fixture::Record(f);
  }
  const std::string bytes = fixture::Header(static_cast<int32_t>(total)) + body;
  base::WriteFileBytes(archive, std::vector<uint8_t>(bytes.begin(), bytes.end()));
}

bool Logged(const std::string& line) {
  for (const auto& l : UninstallLog())
    if (l == line) return true;
  return false;
}

size_t FilesIn(const std::string& dir) {
  size_t n = 0;
  for (auto& e : std::filesystem::directory_iterator(dir)) n += e.is_regular_file() ? 1 : 0;
  return n;
}

// A folder of the test's own name; parallel test processes never share one.
class InstallFileTest : public ::testing::Test {
protected:
  void SetUp() override {
    ResetInstGlobalState();
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    dir_ = wintest::TempFolder() + "tif_" + info->test_suite_name() + "_" + info->name();
    std::error_code ec;
    std::filesystem::remove_all(dir_, ec);
    CreateDirectoryA(dir_.c_str(), nullptr);
    archive_ = dir_ + "\\Setup2.tmp";
  }
  void TearDown() override {
    std::error_code ec;
    std::filesystem::remove_all(dir_, ec);
    ResetInstGlobalState();
  }
  std::string dir_, archive_;
};

// ---------------------------------------------------------------------------------------
// Update rules

TEST_F(InstallFileTest, UpdateRulesAgainstVersionedFiles) {
  const std::string v15 = Bytes(IfFixture("tandrel_if_ver15.dll"));
  const std::string v20 = Bytes(IfFixture("tandrel_if_ver20.dll"));
  const std::string plain = Bytes(IfFixture("tandrel_if_plain.dll"));
  struct Case {
    const char* why;
    const std::string* existing;  // nullptr: absent
    int32_t existingDate;
    const std::string* archived;
    int32_t entryDate;
    TUpdateMode rule;
    const char* version;
    bool written;
  } cases[] = {
      {"absent is always written, even umNever", nullptr, 0, &v15, kDate2001, umNever, "1.5", true},
      {"umAllways replaces a newer file", &v20, kDate2002, &v15, kDate2001, umAllways, "1.5", true},
      {"umNever keeps", &v15, kDate2000, &v20, kDate2002, umNever, "2.0", false},
      {"umMoreRecent: later entry", &plain, kDate2000, &v20, kDate2001, umMoreRecent, "2.0", true},
      {"umMoreRecent: same date kept", &plain, kDate2001, &v20, kDate2001, umMoreRecent, "2.0", false},
      {"umMoreRecent: older entry kept", &v15, kDate2002, &v20, kDate2001, umMoreRecent, "2.0", false},
      {"umNewerVersion: 1.5 -> 2.0", &v15, kDate2002, &v20, kDate2000, umNewerVersion, "2.0", true},
      {"umNewerVersion: 2.0 stays over 1.5", &v20, kDate2000, &v15, kDate2002, umNewerVersion, "1.5", false},
      {"umNewerVersion: same version kept", &v20, kDate2000, &v20, kDate2002, umNewerVersion, "2.0", false},
      {"umNewerVersion without version: same date kept", &plain, kDate2001, &v20, kDate2001, umNewerVersion,
       "2.0", false},
      {"umNewerVersion without version: later entry", &plain, kDate2000, &v20, kDate2001, umNewerVersion, "2.0",
       true},
  };
  int i = 0;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.why);
    ClearUninstallLog();
    const std::string dest = dir_ + "\\rule" + std::to_string(i++) + ".dll";
    if (c.existing) {
      Put(dest, *c.existing);
      SetDate(dest, c.existingDate);
    }
    MakeArchive(archive_, {{"Grp\\" + dest.substr(dest.rfind('\\') + 1), *c.archived, c.entryDate}});
    EXPECT_EQ(InstallFile(archive_, dest, "Grp", nullptr, c.rule, "", AllWindowsVersions, c.version), 0);
    const std::string now = Bytes(dest);
    EXPECT_EQ(now == *c.archived && (!c.existing || *c.existing != *c.archived || c.written), c.written);
    EXPECT_EQ(Logged("CreateFile=" + dest), c.written);
    if (c.written) EXPECT_EQ(DosDateOf(dest), c.entryDate);
    else EXPECT_EQ(DosDateOf(dest), c.existingDate);
  }
}

TEST_F(InstallFileTest, WrittenFileTakesDateAttributesAndReplacesAReadOnlyOne) {
  const std::string dest = dir_ + "\\ro.txt";
  Put(dest, "old");
  SetFileAttributesA(dest.c_str(), FILE_ATTRIBUTE_READONLY);
  MakeArchive(archive_, {{"Grp\\ro.txt", "new contents", kDate2002,
                          FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_ARCHIVE}});
  EXPECT_EQ(InstallFile(archive_, dest, "Grp", nullptr, umAllways, "", AllWindowsVersions, ""), 0);
  EXPECT_EQ(Bytes(dest), "new contents");
  EXPECT_EQ(GetFileAttributesA(dest.c_str()) & 0x3F,
            static_cast<DWORD>(FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_ARCHIVE));
  EXPECT_EQ(DosDateOf(dest), kDate2002);
  SetFileAttributesA(dest.c_str(), FILE_ATTRIBUTE_NORMAL);
  EXPECT_EQ(FilesIn(dir_), 2u) << "no temporary copy left beside it";
}

TEST_F(InstallFileTest, EveryMissingFolderLevelIsMadeAndLoggedWithMacros) {
  SetDirMacro("<INSTALLDIR>", dir_);
  const std::string dest = dir_ + "\\a\\b\\c\\f.txt";
  MakeArchive(archive_, {{"Grp\\f.txt", "x"}});
  EXPECT_EQ(InstallFile(archive_, "<INSTALLDIR>\\a\\b\\c\\f.txt", "Grp", nullptr, umAllways, "", AllWindowsVersions,
                        ""), 0);
  EXPECT_EQ(Bytes(dest), "x");
  // Newest first: the uninstaller removes c, then b, then a.
  EXPECT_EQ(UninstallLog(), (std::vector<std::string>{"CreateFile=" + dest, "CreateDir=" + dir_ + "\\a\\b\\c",
                                                      "CreateDir=" + dir_ + "\\a\\b", "CreateDir=" + dir_ + "\\a"}));
  ClearUninstallLog();
  EXPECT_EQ(InstallFile(archive_, "<INSTALLDIR>\\a\\d\\f.txt", "Grp", nullptr, umAllways, "", AllWindowsVersions, ""), 0);
  EXPECT_EQ(UninstallLog()[1], "CreateDir=" + dir_ + "\\a\\d");
  EXPECT_EQ(UninstallLog().size(), 2u) << "a level that existed is not logged";
}

TEST_F(InstallFileTest, MissingEntryAndBareNameRaise) {
  MakeArchive(archive_, {{"Grp\\f.txt", "x"}});
  // An entry the archive lacks is damage to the package, not a file's own failure.
  EXPECT_THROW(InstallFile(archive_, dir_ + "\\other.txt", "Grp", nullptr, umAllways, "", AllWindowsVersions, ""),
               EArchiveDamaged);
  EXPECT_ANY_THROW(InstallFile(archive_, "f.txt", "Grp", nullptr, umAllways, "", AllWindowsVersions, ""));
}

// A damaged entry raises EArchiveDamaged; the old file stays whole and nothing is left behind.
TEST_F(InstallFileTest, DamagedArchiveFailsAndKeepsTheOldFile) {
  // An LH5 record whose data is junk: the decoder or the checksum must catch it.
  fixture::Entry e;
  e.Name = "Grp\\d.bin";
  e.Data = std::string(64, '\x5A');
  e.Expanded = 5000;
  e.Method = 4;  // LH5
  e.Checksum = 12345;
  const std::string bytes = fixture::Header(5000, "LH5") + fixture::Record(e);
  Put(archive_, bytes);

  const std::string absent = dir_ + "\\sub\\d.bin";
  EXPECT_THROW(InstallFile(archive_, absent, "Grp", nullptr, umAllways, "", AllWindowsVersions, ""), EArchiveDamaged);
  EXPECT_FALSE(Exists(absent));
  EXPECT_EQ(FilesIn(dir_ + "\\sub"), 0u);

  const std::string old = dir_ + "\\d.bin";
  Put(old, "the old file");
  EXPECT_THROW(InstallFile(archive_, old, "Grp", nullptr, umAllways, "", AllWindowsVersions, ""), EArchiveDamaged);
  EXPECT_EQ(Bytes(old), "the old file");
  EXPECT_EQ(FilesIn(dir_), 2u);  // the archive and the old file
  EXPECT_FALSE(Logged("CreateFile=" + old));
  EXPECT_FALSE(Logged("CreateFile=" + absent));
}

// A stored entry whose record claims more bytes than it holds is no success either.
TEST_F(InstallFileTest, ShortStoredEntryIsNotAnEmptySuccess) {
  // Header total 10, one stored record of 10 expanded / 0 stored bytes, then junk.
  auto le32 = [](uint32_t v) { return std::string{char(v), char(v >> 8), char(v >> 16), char(v >> 24)}; };
  std::string a = std::string("VELT\x1A" "NON", 8) + le32(10) + std::string("\x01", 1) + le32(0) + le32(0);
  a += std::string("\x05\x00", 2) + le32(kDate2001) + std::string("\x20\x00", 2) + le32(10) + le32(0) +
       std::string(1, '\0') + le32(0) + le32(0) + "G\\e.x";
  Put(archive_, a);
  const std::string dest = dir_ + "\\e.x";
  EXPECT_THROW(InstallFile(archive_, dest, "G", nullptr, umAllways, "", AllWindowsVersions, ""), EArchiveDamaged);
  EXPECT_FALSE(Exists(dest));
}

// ---------------------------------------------------------------------------------------
// Files in use

struct Held {
  explicit Held(const std::string& f)
      : h(CreateFileA(f.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr)) {}
  ~Held() { if (h != INVALID_HANDLE_VALUE) CloseHandle(h); }
  HANDLE h;
};

TEST_F(InstallFileTest, FilesInUseWaitBesideUnderNamesOfTheirOwn) {
  const std::string dll = dir_ + "\\app.dll", exe = dir_ + "\\app.exe";
  Put(dll, "old dll");
  Put(exe, "old exe");
  MakeArchive(archive_, {{"Grp\\app.dll", "new dll", kDate2001, FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_ARCHIVE},
                         {"Grp\\app.exe", "new exe"}});
  {
    Held a(dll), b(exe);
    ASSERT_NE(a.h, INVALID_HANDLE_VALUE);
    EXPECT_EQ(InstallFile(archive_, dll, "Grp", nullptr, umAllways, "", AllWindowsVersions, ""), 116);
    EXPECT_EQ(InstallFile(archive_, exe, "Grp", nullptr, umAllways, "", AllWindowsVersions, ""), 116);
  }
  EXPECT_EQ(Bytes(dll), "old dll");
  EXPECT_EQ(Bytes(exe), "old exe");
  ASSERT_EQ(PendingRenames().size(), 2u);
  const auto& p1 = PendingRenames()[0];
  const auto& p2 = PendingRenames()[1];
  EXPECT_EQ(p1.FileName, dll);
  EXPECT_EQ(p1.PendingCopy, dir_ + "\\app.New");
  EXPECT_EQ(p2.FileName, exe);
  EXPECT_NE(p2.PendingCopy, p1.PendingCopy);
  EXPECT_TRUE(StrCmpNIA(p2.PendingCopy.c_str(), (dir_ + "\\").c_str(), static_cast<int>(dir_.size() + 1)) == 0)
      << p2.PendingCopy;
  EXPECT_EQ(Bytes(p1.PendingCopy), "new dll");
  EXPECT_EQ(Bytes(p2.PendingCopy), "new exe");
  EXPECT_EQ(GetFileAttributesA(p1.PendingCopy.c_str()) & 0x3F,
            static_cast<DWORD>(FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_ARCHIVE));
  EXPECT_EQ(DosDateOf(p1.PendingCopy), kDate2001);
  // Logged, so that uninstalling removes what lands there at restart.
  EXPECT_TRUE(Logged("CreateFile=" + dll));
  EXPECT_TRUE(Logged("CreateFile=" + exe));
  SetFileAttributesA(p1.PendingCopy.c_str(), FILE_ATTRIBUTE_NORMAL);
}

// A read-only file in use keeps its bit until the restart replaces it, and a file of
// the ".New" name that is already there is not ours: the copy waits under another name.
TEST_F(InstallFileTest, FileInUseKeepsItsReadOnlyBitAndAnExistingNewFile) {
  const std::string dll = dir_ + "\\ro.dll", users = dir_ + "\\ro.New";
  Put(dll, "old dll");
  Put(users, "the user's own file");
  SetFileAttributesA(dll.c_str(), FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_ARCHIVE);
  MakeArchive(archive_, {{"Grp\\ro.dll", "new dll"}});
  {
    Held h(dll);
    ASSERT_NE(h.h, INVALID_HANDLE_VALUE);
    EXPECT_EQ(InstallFile(archive_, dll, "Grp", nullptr, umAllways, "", AllWindowsVersions, ""), 116);
  }
  EXPECT_EQ(Bytes(dll), "old dll");
  EXPECT_EQ(GetFileAttributesA(dll.c_str()) & 0x3F, static_cast<DWORD>(FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_ARCHIVE));
  EXPECT_EQ(Bytes(users), "the user's own file");
  ASSERT_EQ(PendingRenames().size(), 1u);
  const std::string pending = PendingRenames()[0].PendingCopy;
  EXPECT_NE(StrCmpIA(pending.c_str(), users.c_str()), 0) << pending;
  EXPECT_EQ(Bytes(pending), "new dll");
  SetFileAttributesA(dll.c_str(), FILE_ATTRIBUTE_NORMAL);
}

// A destination at a drive root: the new copy is made in the root, not in the drive's
// current folder.
TEST_F(InstallFileTest, DestinationAtADriveRoot) {
  char saved[MAX_PATH];
  GetCurrentDirectoryA(MAX_PATH, saved);
  ASSERT_TRUE(SetCurrentDirectoryA(dir_.c_str()));  // "C:" now names this folder
  const std::string name = "tif_root_" + std::to_string(GetCurrentProcessId()) + ".txt";
  const std::string dest = "C:\\" + name;
  MakeArchive(archive_, {{"Grp\\" + name, "at the root"}});
  const size_t before = FilesIn(dir_);
  EXPECT_EQ(InstallFile(archive_, dest, "Grp", nullptr, umAllways, "", AllWindowsVersions, ""), 0);
  EXPECT_EQ(Bytes(dest), "at the root");
  EXPECT_EQ(FilesIn(dir_), before);
  EXPECT_FALSE(Logged("CreateDir=C:"));
  SetCurrentDirectoryA(saved);
  DeleteFileA(dest.c_str());
}

TEST_F(InstallFileTest, NtCommitSchedulesBothMoves) {
  if (WindowsVersion != wvNT4 && WindowsVersion != wvNT5) GTEST_SKIP() << "NT only";
  const std::string f = dir_ + "\\nt.dll";
  Put(f, "old");
  MakeArchive(archive_, {{"Grp\\nt.dll", "new"}});
  {
    Held h(f);
    ASSERT_EQ(InstallFile(archive_, f, "Grp", nullptr, umAllways, "", AllWindowsVersions, ""), 116);
  }
  std::vector<std::string> failed;
  EXPECT_TRUE(CommitPendingRenames(&failed));
  EXPECT_TRUE(failed.empty());
  HKEY key;
  ASSERT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, "System\\CurrentControlSet\\Control\\Session Manager", 0, KEY_READ,
                          &key), ERROR_SUCCESS);
  DWORD size = 0, type = 0;
  RegQueryValueExA(key, "PendingFileRenameOperations", nullptr, &type, nullptr, &size);
  std::string ops(size, '\0');
  RegQueryValueExA(key, "PendingFileRenameOperations", nullptr, &type, reinterpret_cast<BYTE*>(ops.data()), &size);
  RegCloseKey(key);
  std::string lower = ops;
  CharLowerBuffA(lower.data(), static_cast<DWORD>(lower.size()));
  std::string lf = f, lnew = dir_ + "\\nt.New";
  CharLowerBuffA(lf.data(), static_cast<DWORD>(lf.size()));
  CharLowerBuffA(lnew.data(), static_cast<DWORD>(lnew.size()));
  EXPECT_NE(lower.find(lf), std::string::npos);
  EXPECT_NE(lower.find(lnew), std::string::npos);
}

// ---------------------------------------------------------------------------------------
// Shared-file counts

TEST_F(InstallFileTest, SystemFolderForcesVersionRuleAndCountsUse) {
  HKEY key;
  ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\SharedDLLs", 0,
                            nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr), ERROR_SUCCESS);
  const std::string dest = GetDirMacro("<WINSYSDIR>") + "\\tif_shared_" + std::to_string(GetCurrentProcessId()) +
                           ".dll";
  RegDeleteValueA(key, dest.c_str());
  const std::string v20 = Bytes(IfFixture("tandrel_if_ver20.dll"));
  Put(dest, v20);
  MakeArchive(archive_, {{"Grp\\" + dest.substr(dest.rfind('\\') + 1), Bytes(IfFixture("tandrel_if_ver15.dll"))}});
  // umAllways, yet the newer copy stays: a system folder compares versions.
  EXPECT_EQ(InstallFile(archive_, dest, "Grp", nullptr, umAllways, "", AllWindowsVersions, "1.5"), 0);
  EXPECT_EQ(Bytes(dest), v20);
  EXPECT_TRUE(Logged("IncUsageCount=" + dest));
  EXPECT_FALSE(Logged("CreateFile=" + dest));
  EXPECT_EQ(InstallFile(archive_, dest, "Grp", nullptr, umAllways, "", AllWindowsVersions, "1.5"), 0);
  DWORD v = 0, size = sizeof v, type = 0;
  EXPECT_EQ(RegQueryValueExA(key, dest.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(&v), &size), ERROR_SUCCESS);
  EXPECT_EQ(type, static_cast<DWORD>(REG_DWORD));
  // The file was there before without a count: its earlier owner counts too (1 + 1),
  // then the second install.
  EXPECT_EQ(v, 3u);
  EXPECT_EQ(DecSharedDllCount(dest), 2);
  EXPECT_EQ(DecSharedDllCount(dest), 1);
  EXPECT_EQ(DecSharedDllCount(dest), 0);
  // At 0 the value goes: the file belongs to nobody's count.
  EXPECT_NE(RegQueryValueExA(key, dest.c_str(), nullptr, nullptr, nullptr, nullptr), ERROR_SUCCESS);
  EXPECT_EQ(DecSharedDllCount(dest), 99);

  // A file this install brings counts once.
  DeleteFileA(dest.c_str());
  EXPECT_EQ(InstallFile(archive_, dest, "Grp", nullptr, umAllways, "", AllWindowsVersions, "1.5"), 0);
  size = sizeof v;
  EXPECT_EQ(RegQueryValueExA(key, dest.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(&v), &size), ERROR_SUCCESS);
  EXPECT_EQ(v, 1u);
  EXPECT_EQ(DecSharedDllCount(dest), 0);
  EXPECT_EQ(DecSharedDllCount(dest), 99);
  RegCloseKey(key);
  DeleteFileA(dest.c_str());
  EXPECT_TRUE(IsSystemFolder(GetDirMacro("<WINDIR>")));
  EXPECT_FALSE(IsSystemFolder(dir_));
}

// ---------------------------------------------------------------------------------------
// Platforms and the restart list under each reported version

class InstallFileVersions : public InstallFileTest {};

TEST_F(InstallFileVersions, PlatformsOfTheRunningVersion) {
  std::string version;
  if (!wintest::InVersionChild(&version)) GTEST_SKIP() << "runs inside a version child";
  const struct { const char* name; TWindowsVersion v; } table[] = {
      {"win95", wv95}, {"win98", wv98}, {"nt40", wvNT4}, {"win2k", wvNT5}};
  TWindowsVersion expected = wvOther;
  for (auto& t : table)
    if (version == t.name) expected = t.v;
  ASSERT_EQ(WindowsVersion, expected) << version;
  MakeArchive(archive_, {{"Grp\\p.txt", "data"}});
  const std::string skipped = dir_ + "\\skip\\p.txt", written = dir_ + "\\own\\p.txt";
  const TWindowsVersions others = static_cast<TWindowsVersions>(AllWindowsVersions & ~WindowsVersionBit(expected));
  EXPECT_EQ(InstallFile(archive_, skipped, "Grp", nullptr, umAllways, "", others, ""), 0);
  EXPECT_FALSE(Exists(skipped));
  EXPECT_TRUE(Logged("CreateDir=" + dir_ + "\\skip"));  // folders come before the platform test
  EXPECT_EQ(InstallFile(archive_, written, "Grp", nullptr, umAllways, "", WindowsVersionBit(expected), ""), 0);
  EXPECT_EQ(Bytes(written), "data");
}

TEST_F(InstallFileVersions, PlatformSetsUnderEachVersion) {
  if (wintest::InVersionChild()) GTEST_SKIP();
  for (const char* v : {"win95", "win98", "nt40", "win2k"})
    EXPECT_EQ(wintest::RunUnderWindowsVersion(v, "InstallFileVersions.PlatformsOfTheRunningVersion"), 0) << v;
}

std::string ReadWininit() {
  char windir[MAX_PATH];
  UINT n = GetWindowsDirectoryA(windir, MAX_PATH);
  std::string f = std::string(windir, n) + "\\WININIT.INI";
  return Exists(f) ? Bytes(f) : std::string();
}

// On the 95 family the renames go into WININIT.INI: one "nul" line per file, each
// followed by its rename line; a long name only gets an "Errors" line.
TEST_F(InstallFileVersions, WininitLinesInTheChild) {
  std::string version;
  if (!wintest::InVersionChild(&version)) GTEST_SKIP() << "runs inside a version child";
  ASSERT_TRUE(WindowsVersion == wv95 || WindowsVersion == wv98);
  const std::string d = "C:\\TIF" + std::to_string(GetCurrentProcessId() % 10000);
  std::error_code ec;
  std::filesystem::remove_all(d, ec);
  CreateDirectoryA(d.c_str(), nullptr);
  const std::string a = d + "\\A.DLL", b = d + "\\B.DLL", lng = d + "\\LongFileName.dll";
  for (auto* f : {&a, &b, &lng}) Put(*f, "old");
  MakeArchive(archive_, {{"G\\A.DLL", "new a"}, {"G\\B.DLL", "new b"}, {"G\\LongFileName.dll", "new l"}});
  {
    Held ha(a), hb(b), hl(lng);
    for (auto* f : {&a, &b, &lng})
      EXPECT_EQ(InstallFile(archive_, *f, "G", nullptr, umAllways, "", AllWindowsVersions, ""), 116);
  }
  const std::string before = ReadWininit();
  std::vector<std::string> failed;
  EXPECT_FALSE(CommitPendingRenames(&failed));  // the long name cannot be scheduled
  ASSERT_EQ(failed.size(), 1u);
  EXPECT_EQ(failed[0], lng);
  const std::string after = ReadWininit();
  ASSERT_EQ(after.substr(0, before.size()), before.empty() ? "" : after.substr(0, before.size()));
  const std::string expectRename = "nul=" + a + "\r\n" + a + "=" + d + "\\A.New\r\nnul=" + b + "\r\n" + b + "=" + d +
                                   "\\B.New\r\n";
  std::string lowerAfter = after, lowerExpect = expectRename;
  CharLowerBuffA(lowerAfter.data(), static_cast<DWORD>(lowerAfter.size()));
  CharLowerBuffA(lowerExpect.data(), static_cast<DWORD>(lowerExpect.size()));
  EXPECT_NE(lowerAfter.find(lowerExpect), std::string::npos) << after;
  EXPECT_NE(after.find(lng + "=Uses long filenames"), std::string::npos) << after;
  EXPECT_EQ(Bytes(d + "\\A.New"), "new a");
  // WININIT.INI was written beside itself and put in place: no helper file stays.
  char windir[MAX_PATH];
  UINT wn = GetWindowsDirectoryA(windir, MAX_PATH);
  for (const char* pattern : {"\\WININIT.~nw*", "\\WININIT.~od*"}) {
    WIN32_FIND_DATAA fd;
    HANDLE h = FindFirstFileA((std::string(windir, wn) + pattern).c_str(), &fd);
    EXPECT_EQ(h, INVALID_HANDLE_VALUE) << fd.cFileName;
    if (h != INVALID_HANDLE_VALUE) FindClose(h);
  }
  std::filesystem::remove_all(d, ec);
}

TEST_F(InstallFileVersions, WininitUnderWin95AndWin98) {
  if (wintest::InVersionChild()) GTEST_SKIP();
  for (const char* v : {"win95", "win98"})
    EXPECT_EQ(wintest::RunUnderWindowsVersion(v, "InstallFileVersions.WininitLinesInTheChild"), 0) << v;
}

}  // namespace

// ---------------------------------------------------------------------------------------
// Replacement at restart, in a prefix of its own (restart_replace_test.sh): the setup
// phase schedules, `wineboot -r` restarts, the check phase looks at the files.

namespace {

std::string Phase() {
  char buf[16];
  DWORD n = GetEnvironmentVariableA("TANDREL_RESTART_PHASE", buf, sizeof buf);
  return n > 0 && n < sizeof buf ? std::string(buf, n) : std::string();
}

constexpr const char* kRestartDir = "C:\\TIFRST";

void ScheduleInUse(const std::string& name, const std::string& data) {
  CreateDirectoryA(kRestartDir, nullptr);
  const std::string f = std::string(kRestartDir) + "\\" + name, archive = f + ".arc";
  Put(f, "old");
  MakeArchive(archive, {{"G\\" + name, data}});
  ResetInstGlobalState();
  {
    Held h(f);
    ASSERT_EQ(InstallFile(archive, f, "G", nullptr, umAllways, "", AllWindowsVersions, ""), 116);
  }
  EXPECT_EQ(Bytes(f), "old");
  std::vector<std::string> failed;
  EXPECT_TRUE(CommitPendingRenames(&failed));
  EXPECT_TRUE(failed.empty());
  DeleteFileA(archive.c_str());
}

}  // namespace

TEST(InstallFileRestart, SetupNt) {
  if (Phase() != "setup" || wintest::InVersionChild()) GTEST_SKIP() << "restart_replace_test.sh";
  ASSERT_EQ(WindowsVersion, wvNT5);
  ScheduleInUse("NT.DLL", "new nt");
}

TEST(InstallFileRestart, Setup95Family) {
  std::string v;
  if (Phase() != "setup") GTEST_SKIP() << "restart_replace_test.sh";
  if (!wintest::InVersionChild(&v)) {
    EXPECT_EQ(wintest::RunUnderWindowsVersion("win98", "InstallFileRestart.Setup95Family"), 0);
    return;
  }
  ASSERT_EQ(WindowsVersion, wv98);
  ScheduleInUse("W98.DLL", "new 98");
}

TEST(InstallFileRestart, CheckReplaced) {
  if (Phase() != "check") GTEST_SKIP() << "restart_replace_test.sh";
  const std::string d = kRestartDir;
  EXPECT_EQ(Bytes(d + "\\NT.DLL"), "new nt");
  EXPECT_EQ(Bytes(d + "\\W98.DLL"), "new 98");
  EXPECT_FALSE(Exists(d + "\\NT.New"));
  EXPECT_FALSE(Exists(d + "\\W98.New"));
}
