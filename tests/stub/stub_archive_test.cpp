// The stub's reading of a package: archive 1 cut out, one entry expanded from it, and
// the name of the folder the engine is kept in.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "base/Streams.h"
#include "setup/compress/InstCompressIntf.h"
#include "stub/StubArchive.h"

namespace {

using Bytes = std::vector<uint8_t>;
namespace fs = std::filesystem;

Bytes Filler(size_t n, int seed) {
  Bytes b(n);
  for (size_t i = 0; i < n; ++i) b[i] = static_cast<uint8_t>((i * 31 + seed) % 251 + (i % 7 == 0 ? 3 : 0));
  return b;
}

// An archive of the given entries, written by the builder's compression component.
Bytes MakeArchive(const std::vector<std::pair<std::string, Bytes>>& entries) {
  const fs::path file = fs::temp_directory_path() /
                        ("tandrel_stub_archive_" +
                         std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()) + ".cmp");
  fs::remove(file);
  for (const auto& [name, data] : entries) {
    base::MemoryStream source(data);
    CompressFileToArchive(file.string(), source, name, 0x5A2B1000, 0x20, nullptr);
  }
  Bytes b = base::ReadFileBytes(file.string());
  fs::remove(file);
  return b;
}

TEST(StubArchive, ExpandEntry) {
  const Bytes engine = Filler(70000, 1), info = Filler(300, 2);
  const Bytes archive = MakeArchive({{"Info\\Inst.cmp", info}, {"Installer\\TandrelInstall.exe", engine}});
  struct Case {
    const char* why;
    Bytes archive;
    std::string name;
    TEntryResult want;
  } cases[] = {
      {"second entry", archive, "Installer\\TandrelInstall.exe", TEntryResult::Expanded},
      {"name in other case", archive, "INSTALLER\\tandrelinstall.EXE", TEntryResult::Expanded},
      {"not there", archive, "Installer\\Other.exe", TEntryResult::NotFound},
      {"cut short", Bytes(archive.begin(), archive.end() - 10), "Installer\\TandrelInstall.exe",
       TEntryResult::Damaged},
      {"cut in a record", Bytes(archive.begin(), archive.begin() + 30), "Installer\\TandrelInstall.exe",
       TEntryResult::Damaged},
      {"no header", Bytes(archive.begin() + 21, archive.end()), "Installer\\TandrelInstall.exe",
       TEntryResult::Damaged},
      {"data spoilt", [&] { Bytes b = archive; b[b.size() - 500] ^= 0x55; return b; }(),
       "Installer\\TandrelInstall.exe", TEntryResult::Damaged},
      {"header only", Bytes(archive.begin(), archive.begin() + 21), "Installer\\TandrelInstall.exe",
       TEntryResult::NotFound},
      {"nothing", Bytes(), "Installer\\TandrelInstall.exe", TEntryResult::Damaged},
  };
  for (const auto& c : cases) {
    base::MemoryStream in(c.archive), out;
    EXPECT_EQ(ExpandArchiveEntry(in, c.name, out), c.want) << c.why;
    if (c.want == TEntryResult::Expanded) EXPECT_EQ(out.Bytes(), engine) << c.why;
  }
}

// Data too short to shrink are stored, and tested by the sum they carry; an older
// package's stored entry carries 0 and is taken as it is.
TEST(StubArchive, StoredEntryIsTestedByItsSum) {
  const Bytes tiny = {'M', 'Z', 1, 2, 3};
  const Bytes archive = MakeArchive({{"Installer\\TandrelInstall.exe", tiny}});
  const size_t record = 21, data = record + 25 + std::string("Installer\\TandrelInstall.exe").size();
  ASSERT_EQ(archive.size(), data + tiny.size());
  ASSERT_EQ(archive[record + 16], 0) << "stored";
  Bytes spoilt = archive;
  spoilt[data + 2] ^= 0x04;
  Bytes older = spoilt;
  for (size_t i = 17; i < 21; ++i) older[record + i] = 0;  // the checksum field
  struct Case {
    const char* why;
    Bytes archive;
    TEntryResult want;
  } cases[] = {
      {"whole", archive, TEntryResult::Expanded},
      {"one bit flipped", spoilt, TEntryResult::Damaged},
      {"an older package's, unsummed", older, TEntryResult::Expanded},
  };
  for (const auto& c : cases) {
    base::MemoryStream in(c.archive), out;
    EXPECT_EQ(ExpandArchiveEntry(in, "Installer\\TandrelInstall.exe", out), c.want) << c.why;
  }
}

// A disk that is full: nothing can be written.
class FullDisk : public base::Stream {
public:
  int32_t Read(void*, int32_t) override { return 0; }
  int32_t Write(const void*, int32_t) override { return 0; }
  int64_t Seek(int64_t, base::SeekOrigin) override { return 0; }
};

TEST(StubArchive, FullDiskIsNotADamagedPackage) {
  const Bytes archive = MakeArchive({{"Installer\\TandrelInstall.exe", Filler(20000, 7)}});
  base::MemoryStream in(archive);
  FullDisk out;
  EXPECT_THROW(ExpandArchiveEntry(in, "Installer\\TandrelInstall.exe", out), base::EWriteError);
}

TEST(StubArchive, CopyArchive1) {
  const Bytes a1 = Filler(1000, 3), a2 = Filler(500, 4);
  Bytes package = Filler(4096, 5);
  std::memcpy(package.data() + 100, "ZEM_SIZE\x00\x10\x00\x00", 12);  // S = 4096
  auto put32 = [&](uint32_t v) {
    for (int i = 0; i < 4; ++i) package.push_back(static_cast<uint8_t>(v >> (8 * i)));
  };
  put32(1000);
  package.insert(package.end(), a1.begin(), a1.end());
  put32(500);
  package.insert(package.end(), a2.begin(), a2.end());

  base::MemoryStream whole(package), out;
  ASSERT_TRUE(CopyArchive1(whole, "ZEM_SIZE", out));
  EXPECT_EQ(out.Bytes(), a1);

  // A package cut anywhere after the stub is refused whole: nothing is started from it.
  for (size_t cut : {package.size() - 1, size_t{4096 + 4 + 999}, size_t{4096 + 2}, size_t{4000}}) {
    base::MemoryStream part(Bytes(package.begin(), package.begin() + static_cast<long>(cut))), o;
    EXPECT_FALSE(CopyArchive1(part, "ZEM_SIZE", o)) << cut;
  }
  // The key is the caller's: the stub passes the bytes of its own marker.
  base::MemoryStream again(package), o2;
  EXPECT_FALSE(CopyArchive1(again, "ZEM_SIZX", o2));
}

}  // namespace
