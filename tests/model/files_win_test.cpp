// A project's files read their size, date and version from the disk.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "setup/model/InstClasses.h"
#include "tests/harness/WinTestSupport.h"

namespace {

std::string BinFolder() {
  char buf[MAX_PATH];
  DWORD n = GetModuleFileNameA(nullptr, buf, MAX_PATH);
  std::string exe(buf, n);
  return exe.substr(0, exe.find_last_of('\\') + 1);
}

// Writes size bytes and dates the file 2001-02-03 04:05:06 local time.
void WriteDatedFile(const std::string& path, DWORD size) {
  HANDLE h = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  ASSERT_NE(h, INVALID_HANDLE_VALUE) << path;
  std::string data(size, 'z');
  DWORD written = 0;
  WriteFile(h, data.data(), size, &written, nullptr);
  SYSTEMTIME st = {2001, 2, 0, 3, 4, 5, 6, 0};
  FILETIME local, utc;
  SystemTimeToFileTime(&st, &local);
  LocalFileTimeToFileTime(&local, &utc);
  SetFileTime(h, nullptr, nullptr, &utc);
  CloseHandle(h);
}

TEST(FilesWin, AddFileAndRefreshReadTheDisk) {
  const std::string folder = wintest::TempFolder() + "files_" + std::to_string(GetCurrentProcessId());
  CreateDirectoryA(folder.c_str(), nullptr);
  const std::string plain = folder + "\\plain.txt";
  WriteDatedFile(plain, 1234);
  const std::string server = BinFolder() + "fixtures_ab\\tandrel_ab_server.dll";

  TTandrelFileGroup g;
  ASSERT_TRUE(g.AddFile(plain));
  ASSERT_TRUE(g.AddFile(server));
  ASSERT_TRUE(g.AddFile(folder + "\\missing.txt"));
  const TTandrelFile& p = *g.Files[0];
  EXPECT_EQ(p.Size, 1234);
  EXPECT_NEAR(p.Timestamp, 36925.0 + (4 * 3600 + 5 * 60 + 6) / 86400.0, 1e-6);
  EXPECT_EQ(p.Version, "");
  EXPECT_FALSE(p.SelfRegister);
  const TTandrelFile& s = *g.Files[1];
  EXPECT_EQ(s.Version, "1.2.3.4");
  EXPECT_TRUE(s.SelfRegister);
  EXPECT_GT(s.Size, 0);
  const TTandrelFile& m = *g.Files[2];
  EXPECT_EQ(m.Size, -1);
  EXPECT_EQ(m.Timestamp, 0);

  // The file grows and the server's flag is cleared by hand: Refresh reads the size
  // again and leaves the flag as the author set it.
  WriteDatedFile(plain, 10);
  g.Files[1]->SelfRegister = false;
  g.RefreshFiles();
  EXPECT_EQ(g.Files[0]->Size, 10);
  EXPECT_FALSE(g.Files[1]->SelfRegister);
  EXPECT_EQ(g.GetTotalSize(), 10 + s.Size - 1);

  DeleteFileA(plain.c_str());
  RemoveDirectoryA(folder.c_str());
}

// Any entry of the name counts; the version comes from what the file is, not its name.
TEST(FilesWin, FoldersWildcardsAndVersionsWhateverTheName) {
  const std::string folder = wintest::TempFolder() + "facts_" + std::to_string(GetCurrentProcessId());
  CreateDirectoryA(folder.c_str(), nullptr);
  const std::string sub = folder + "\\sub";
  CreateDirectoryA(sub.c_str(), nullptr);
  const std::string renamed = folder + "\\server.txt";
  ASSERT_TRUE(CopyFileA((BinFolder() + "fixtures_ab\\tandrel_ab_server.dll").c_str(), renamed.c_str(), FALSE));
  const std::string fake = folder + "\\fake.dll";
  WriteDatedFile(fake, 1);
  HANDLE h = CreateFileA(fake.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  DWORD put = 0;
  WriteFile(h, "MZ but no program", 17, &put, nullptr);
  CloseHandle(h);

  TTandrelFileGroup g;
  for (const std::string& f : {sub, folder + "\\server.t?t", renamed, fake}) ASSERT_TRUE(g.AddFile(f)) << f;
  EXPECT_EQ(g.Files[0]->Timestamp, 0);  // a folder: found, no date
  EXPECT_NE(g.Files[0]->Size, -1);
  EXPECT_EQ(g.Files[1]->Size, g.Files[2]->Size);  // the wildcard's match
  EXPECT_EQ(g.Files[1]->Timestamp, 0);
  EXPECT_EQ(g.Files[1]->Version, "");
  EXPECT_EQ(g.Files[2]->Version, "1.2.3.4");
  EXPECT_GT(g.Files[2]->Timestamp, 0);
  EXPECT_EQ(g.Files[3]->Size, 17);
  EXPECT_EQ(g.Files[3]->Version, "");

  for (const std::string& f : {renamed, fake}) DeleteFileA(f.c_str());
  RemoveDirectoryA(sub.c_str());
  RemoveDirectoryA(folder.c_str());
}

}  // namespace
