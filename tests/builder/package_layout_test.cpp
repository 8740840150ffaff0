// The size marker, the package layout and the entry names of the archives.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "base/Streams.h"
#include "builder/common/BuildPackage.h"
#include "setup/services/PackageLayout.h"

namespace {

using Bytes = std::vector<uint8_t>;
namespace fs = std::filesystem;

Bytes Filler(size_t n) {
  Bytes b(n);
  for (size_t i = 0; i < n; ++i) b[i] = static_cast<uint8_t>('a' + i % 23);
  return b;
}
void Put(Bytes& b, size_t at, const char* text) { std::memcpy(b.data() + at, text, std::strlen(text)); }
uint32_t Get32(const Bytes& b, size_t at) {
  return uint32_t{b[at]} | uint32_t{b[at + 1]} << 8 | uint32_t{b[at + 2]} << 16 | uint32_t{b[at + 3]} << 24;
}

std::string TempStub(const Bytes& bytes) {
  static int n = 0;
  fs::path p = fs::temp_directory_path() / ("tandrel_stub_" + std::to_string(n++) + "_" +
                                            ::testing::UnitTest::GetInstance()->current_test_info()->name());
  base::WriteFileBytes(p.string(), bytes);
  return p.string();
}

TEST(WritePackageOffset, Table) {
  struct Case {
    const char* why;
    size_t size;
    std::vector<std::pair<size_t, const char*>> texts;  // what lies where
    int32_t result;                                     // 0: not found
    size_t valueAt;                                     // where the size goes
  } cases[] = {
      {"marker at 0", 100, {{0, "ZEM_SIZEXXXX"}}, 100, 8},
      {"marker in the middle", 20000, {{9000, "ZEM_SIZEXXXX"}}, 20000, 9008},
      {"key in 16376-16383, value in the next chunk", 40000, {{16376, "ZEM_SIZEXXXX"}}, 40000, 16384},
      {"key cut after 4 bytes", 40000, {{16380, "ZEM_SIZEXXXX"}}, 40000, 16388},
      {"key cut after 7 bytes", 40000, {{16377, "ZEM_SIZEXXXX"}}, 40000, 16385},
      {"in the third chunk", 50000, {{32770, "ZEM_SIZEXXXX"}}, 50000, 32778},
      {"absent", 40000, {}, 0, 0},
      {"half a key", 100, {{50, "ZEM_SIZ"}}, 0, 0},
      {"twice: the first wins", 40000, {{30000, "ZEM_SIZEXXXX"}, {100, "ZEM_SIZEXXXX"}}, 40000, 108},
      {"3 bytes behind it: not a marker", 111, {{100, "ZEM_SIZEXXX"}}, 0, 0},
      {"exactly 4 bytes behind it", 112, {{100, "ZEM_SIZEXXXX"}}, 112, 108},
      {"a file of 8 bytes", 8, {{0, "ZEM_SIZE"}}, 0, 0},
      {"an empty file", 0, {}, 0, 0},
  };
  for (const auto& c : cases) {
    Bytes b = Filler(c.size);
    for (auto& [at, text] : c.texts) Put(b, at, text);
    const std::string stub = TempStub(b);
    EXPECT_EQ(WritePackageOffset(stub), c.result) << c.why;
    Bytes after = base::ReadFileBytes(stub);
    ASSERT_EQ(after.size(), b.size()) << c.why;
    if (c.result) {
      EXPECT_EQ(Get32(after, c.valueAt), c.size) << c.why;
      std::memset(after.data() + c.valueAt, 'X', 4);  // nothing else changed
    }
    EXPECT_EQ(after, b) << c.why;
    fs::remove(stub);
  }
}

TEST(WritePackageOffset, SecondBuildWritesTheSameValue) {
  Bytes b = Filler(30000);
  Put(b, 20000, "ZEM_SIZEXXXX");
  const std::string stub = TempStub(b);
  EXPECT_EQ(WritePackageOffset(stub), 30000);
  Bytes once = base::ReadFileBytes(stub);
  EXPECT_EQ(WritePackageOffset(stub), 30000);
  EXPECT_EQ(base::ReadFileBytes(stub), once);
  EXPECT_EQ(Get32(once, 20008), 30000u);
  fs::remove(stub);
}

TEST(WritePackageOffset, MissingStubRaisesTheOpenError) {
  EXPECT_THROW(WritePackageOffset((fs::temp_directory_path() / "no_such_stub.exe").string()), base::EFOpenError);
}

// A package: stub of S bytes with S behind the marker, then L1, archive 1, L2, archive 2.
Bytes Package(uint32_t s, const Bytes& a1, const Bytes& a2, size_t markerAt = 4) {
  Bytes b = Filler(s);
  Put(b, markerAt, "ZEM_SIZE");
  for (int i = 0; i < 4; ++i) b[markerAt + 8 + i] = static_cast<uint8_t>(s >> (8 * i));
  for (const Bytes* a : {&a1, &a2}) {
    uint32_t n = static_cast<uint32_t>(a->size());
    for (int i = 0; i < 4; ++i) b.push_back(static_cast<uint8_t>(n >> (8 * i)));
    b.insert(b.end(), a->begin(), a->end());
  }
  return b;
}

TEST(PackageLayout, Offsets) {
  TPackageLayout l{1000, 50, 70};
  EXPECT_EQ(l.Archive1Offset(), 1004u);
  EXPECT_EQ(l.Archive2LengthOffset(), 1054u);
  EXPECT_EQ(l.Archive2Offset(), 1058u);
  EXPECT_EQ(l.TotalSize(), 1128u);  // S + 8 + L1 + L2
  // No wrap at 32 bits.
  TPackageLayout big{0xFFFFFFF0u, 0xFFFFFFF0u, 0xFFFFFFF0u};
  EXPECT_EQ(big.TotalSize(), 3 * uint64_t{0xFFFFFFF0u} + 8);
}

TEST(PackageLayout, ReadBack) {
  const Bytes a1 = Filler(50), a2 = Filler(70);
  const Bytes whole = Package(200, a1, a2);
  struct Case {
    const char* why;
    Bytes bytes;
    TPackageCheck want;
  } cases[] = {
      {"whole", whole, TPackageCheck::Ok},
      {"with bytes after it", [&] { Bytes b = whole; b.push_back(1); return b; }(), TPackageCheck::Ok},
      {"empty archive 2", Package(200, a1, {}), TPackageCheck::Ok},
      {"cut in archive 2", Bytes(whole.begin(), whole.end() - 1), TPackageCheck::Archive2Short},
      {"cut before L2", Bytes(whole.begin(), whole.begin() + 200 + 4 + 50 + 2), TPackageCheck::Archive1Short},
      {"only the stub", Bytes(whole.begin(), whole.begin() + 200), TPackageCheck::StubTooLarge},
      {"no marker", Filler(300), TPackageCheck::NoMarker},
      {"S is 0", [&] { Bytes b = whole; std::memset(b.data() + 12, 0, 4); return b; }(), TPackageCheck::NoMarker},
  };
  for (const auto& c : cases) {
    base::MemoryStream s(c.bytes);
    TPackageLayout l;
    EXPECT_EQ(ReadPackageLayout(s, "ZEM_SIZE", l), c.want) << c.why;
    if (c.want == TPackageCheck::Ok) EXPECT_EQ(l.StubSize, 200u) << c.why;
  }
}

TEST(ArchiveEntries, Names) {
  EXPECT_EQ(ArchiveEntryName("Installer", "C:\\Tools\\TandrelInstall.exe"), "Installer\\TandrelInstall.exe");
  EXPECT_EQ(ArchiveEntryName("Main Files", "D:app.exe"), "Main Files\\app.exe");
  EXPECT_EQ(ArchiveEntryName("Info", "/tmp/x/Inst.cmp"), "Info\\Inst.cmp");
}

TEST(ArchiveEntries, Clashes) {
  struct Case {
    const char* why;
    std::vector<TArchiveItem> items;
    size_t clashes;
  } cases[] = {
      {"different names", {{"G", "C:\\a\\x.dll"}, {"G", "C:\\a\\y.dll"}}, 0},
      {"same name in two groups", {{"G", "C:\\a\\x.dll"}, {"H", "C:\\b\\x.dll"}}, 0},
      {"same name from two folders", {{"G", "C:\\a\\x.dll"}, {"G", "C:\\b\\x.dll"}}, 1},
      {"names differ in case only", {{"G", "C:\\a\\X.DLL"}, {"g", "C:\\b\\x.dll"}}, 1},
      {"the same file twice", {{"Billboards", "C:\\a\\1.bmp"}, {"Billboards", "c:\\A\\1.BMP"}}, 0},
      {"three of one name", {{"G", "C:\\a\\x"}, {"G", "C:\\b\\x"}, {"G", "C:\\c\\x"}}, 2},
  };
  for (const auto& c : cases) EXPECT_EQ(FindEntryClashes(c.items).size(), c.clashes) << c.why;
  auto clash = FindEntryClashes({{"G", "C:\\a\\x.dll"}, {"G", "C:\\b\\x.dll"}}).at(0);
  EXPECT_EQ(EntryClashText(clash),
            "Error: the files 'C:\\a\\x.dll' and 'C:\\b\\x.dll' would both be packed as 'G\\x.dll'");
}

TEST(ArchiveEntries, SupportFolderClashesAcrossFolders) {
  struct Case {
    const char* why;
    std::vector<TArchiveItem> items;
    size_t clashes;
  } cases[] = {
      {"title and billboard of one name", {{"Logo", "src\\a\\pic.bmp"}, {"Billboards", "src\\b\\pic.bmp"}}, 1},
      {"names differ in case only", {{"Logo", "C:\\a\\PIC.bmp"}, {"Support", "C:\\b\\pic.BMP"}}, 1},
      {"one picture as title and billboard", {{"Logo", "C:\\a\\pic.bmp"}, {"Billboards", "c:\\A\\PIC.bmp"}}, 0},
      {"different names", {{"Logo", "C:\\a\\t.bmp"}, {"Billboards", "C:\\a\\b.bmp"}}, 0},
      {"one folder: an entry clash instead", {{"Billboards", "C:\\a\\b.bmp"}, {"Billboards", "C:\\c\\b.bmp"}}, 0},
  };
  for (const auto& c : cases) EXPECT_EQ(FindSupportFolderClashes(c.items).size(), c.clashes) << c.why;
  auto clash = FindSupportFolderClashes({{"Logo", "src\\a\\pic.bmp"}, {"Billboards", "src\\b\\pic.bmp"}}).at(0);
  EXPECT_EQ(SupportClashText(clash), "Error: the files 'src\\a\\pic.bmp' and 'src\\b\\pic.bmp' would both be taken to "
                                     "the setup's support folder as 'pic.bmp'");
}

}  // namespace
