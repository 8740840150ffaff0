#include <gtest/gtest.h>

#ifdef _WIN32
#include <process.h>
#else
#include <unistd.h>
#endif

#include "setup/services/InstArchiveReader.h"
#include "setup/services/InstGlobal.h"
#include "tests/services/ArchiveFixture.h"
#include "tests/services/TestFiles.h"

using fixture::Entry;

namespace {

TCompressedFileList ListBytes(const std::string& bytes) {
  base::ReadOnlyMemoryStream s(bytes.data(), static_cast<int64_t>(bytes.size()));
  TInstArchiveReader reader;
  TCompressedFileList list;
  reader.ListArchiveStream(s, list);
  return list;
}

std::string ExpandBytes(const std::string& bytes, const std::string& name) {
  base::ReadOnlyMemoryStream s(bytes.data(), static_cast<int64_t>(bytes.size()));
  base::MemoryStream out;
  TInstArchiveReader reader;
  reader.ExpandArchivedStream(s, out, name);
  return std::string(out.Bytes().begin(), out.Bytes().end());
}

}  // namespace

TEST(ArchiveReader, ListsAHandWrittenArchiveFieldByField) {
  // Header: total 3, "NON", multi; one entry "G\a" holding "xyz", date 0x2A214000,
  // attributes 0x21, method 0, checksum 7, lock 0.
  const std::string bytes =
      std::string("VELT\x1A" "NON" "\x03\x00\x00\x00" "\x01" "\x00\x00\x00\x00" "\x00\x00\x00\x00", 21) +
      std::string("\x03\x00" "\x00\x40\x21\x2A" "\x21\x00" "\x03\x00\x00\x00" "\x03\x00\x00\x00" "\x00"
                  "\x07\x00\x00\x00" "\x02\x00\x00\x00", 25) +
      "G\\a" "xyz";
  auto list = ListBytes(bytes);
  ASSERT_EQ(list.size(), 1u);
  EXPECT_EQ(list[0].first, "G\\a");
  const auto& i = list[0].second;
  EXPECT_EQ(i.FileDate, 0x2A214000);
  EXPECT_EQ(i.Attributes, 0x21);
  EXPECT_EQ(i.ExpandedSize, 3);
  EXPECT_EQ(i.CompressedSize, 3);
  EXPECT_EQ(i.Method, 0);
  EXPECT_EQ(i.Checksum, 7);
  EXPECT_EQ(i.EntryOffset, 21);
  EXPECT_TRUE(i.Locked);
}

TEST(ArchiveReader, ListKeepsOrderDuplicatesAndOffsets) {
  auto list = ListBytes(fixture::Archive({{"G\\a.dll", "11"}, {"G\\b.dll", "2222"}, {"G\\A.DLL", "3"}}));
  ASSERT_EQ(list.size(), 3u);
  EXPECT_EQ(list[0].first, "G\\a.dll");
  EXPECT_EQ(list[2].first, "G\\A.DLL");
  EXPECT_EQ(list[1].second.EntryOffset, 21 + 25 + 7 + 2);
  EXPECT_EQ(list[2].second.EntryOffset, 21 + 2 * (25 + 7) + 2 + 4);
  EXPECT_EQ(IndexOfArchivedFile(list, "g\\A.Dll"), 0);
  EXPECT_EQ(IndexOfArchivedFile(list, "G\\c.dll"), -1);
}

TEST(ArchiveReader, ShortAndDamagedArchivesEndTheWalk) {
  const std::string one = fixture::Archive({{"G\\a", "abc"}});
  struct Case {
    const char* why;
    std::string bytes;
    size_t listed;
  } cases[] = {
      {"45 bytes list nothing", std::string(fixture::Header(0)) + std::string(24, '\0'), 0},
      {"46 bytes, short record after a valid header", fixture::Header(0) + std::string(25, '\0'), 1},
      {"46 bytes whose record promises a name", fixture::Header(0) + fixture::Record({"", "", 0, 0, 0, 0, 0, 0, 0, 5}).substr(0, 25), 0},
      {"name cut short", one.substr(0, 21 + 25 + 2), 0},
      {"data cut short", one.substr(0, one.size() - 1), 0},
      {"negative compressed size", fixture::Header(3) + fixture::Record({"G\\a", "abc", 0, 0, 3, -25}), 0},
      {"compressed size past the end", fixture::Header(3) + fixture::Record({"G\\a", "abc", 0, 0, 3, 1000}), 0},
      {"negative expanded size", fixture::Header(3) + fixture::Record({"G\\a", "abc", 0, 0, -1 - 1, 3}), 0},
      {"negative name length", fixture::Header(3) + fixture::Record({"G\\a", "abc", 0, 0, 3, 3, 0, 0, 0, -3}), 0},
      {"trailing junk shorter than a record", one + "junk", 1},
  };
  for (const auto& c : cases) EXPECT_EQ(ListBytes(c.bytes).size(), c.listed) << c.why;
}

TEST(ArchiveReader, ListRejectsForeignHeaders) {
  std::string bad = fixture::Archive({{"G\\a", "abc"}});
  bad[0] = 'X';
  EXPECT_THROW(ListBytes(bad), EInvalidHeader);
  EXPECT_THROW(ListBytes(fixture::Header(0, "NON", 0) + std::string(30, '\0')), EInvalidHeaderArchiveType);
}

TEST(ArchiveReader, ExpandTakesTheFirstEntryOfANameOnly) {
  const std::string bytes = fixture::Archive({{"G\\a.dll", "first"}, {"G\\b", "bee"}, {"g\\A.DLL", "second"}});
  EXPECT_EQ(ExpandBytes(bytes, "G\\A.DLL"), "first");
  EXPECT_EQ(ExpandBytes(bytes, "G\\b"), "bee");
  EXPECT_EQ(ExpandBytes(bytes, "G\\none"), "");
}

TEST(ArchiveReader, ExpandStopsAtTheHeadersTotal) {
  // The empty entry after the last non-empty one is never reached, nor what follows a
  // total that is too small.
  std::string bytes = fixture::Header(3) + fixture::Record({"G\\a", "abc"}) + fixture::Record({"G\\e", ""}) +
                      fixture::Record({"G\\z", "zz"});
  EXPECT_EQ(ExpandBytes(bytes, "G\\a"), "abc");
  EXPECT_EQ(ExpandBytes(bytes, "G\\z"), "");
  EXPECT_EQ(ListBytes(bytes).size(), 3u);
}

TEST(ArchiveReader, ExpandOfADamagedEntryRaisesOrStops) {
  // A stored entry is copied whole or not at all; an "LZH" entry with a wrong checksum fails.
  EXPECT_EQ(ExpandBytes(fixture::Header(3) + fixture::Record({"G\\a", "abc", 0, 0, 3, 50}), "G\\a"), "");
  EXPECT_ANY_THROW(
      ExpandBytes(fixture::Header(3, "LZH") + fixture::Record({"G\\a", "\x01\x02\x03", 0, 0, 3, 3, 4, 12345}), "G\\a"));
}

TEST(ArchiveReader, FileOperationsAndArchivedFileInfo) {
  const std::string path = testfiles::Write(
      "info.arc", fixture::Archive({{"G\\a.dll", "one", 0x2A214000, 0x21}, {"G\\A.dll", "two", 0x2B000000, 0x01}}));
  TDateTime date = 0;
  uint16_t attr = 0;
  GetArchivedFileInfo(path, "g\\a.DLL", date, attr);
  EXPECT_EQ(attr, 0x21);
  EXPECT_DOUBLE_EQ(date, 36892.0 + 8.0 / 24);  // 2001-01-01 08:00
  EXPECT_THROW(GetArchivedFileInfo(path, "G\\missing", date, attr), EStringListError);

  base::MemoryStream out;
  int calls = 0;
  ExpandFileFromArchive(path, out, "G\\a.dll", [&](int32_t&) { ++calls; });
  EXPECT_EQ(std::string(out.Bytes().begin(), out.Bytes().end()), "one");
  EXPECT_THROW(ExpandFileFromArchive(testfiles::Path("absent.arc"), out, "G\\a.dll", nullptr),
               base::EFOpenError);

  TInstArchiveReader reader;
  TCompressedFileList list;
  reader.ListArchive(path, list);
  EXPECT_EQ(list.size(), 2u);
  TInstArchiveReader::ClearFileList(&list);
  EXPECT_TRUE(list.empty());
  TInstArchiveReader::ClearFileList(nullptr);
}

TEST(ArchiveReader, AWholeArchiveIsToldFromADamagedOne) {
  using fixture::Archive;
  const std::string whole = Archive({Entry{"G\\a", "xyz"}, Entry{"G\\b", "hello"}});
  std::string cut = whole.substr(0, whole.size() - 2);
  std::string longer = whole + "x";
  std::string wrongTotal = whole;
  wrongTotal[8] = 9;  // the header's total
  Entry junk{"G\\c", std::string("\x13\x37\x00\xff\x10\x20\x30\x40\x50\x60", 10)};
  junk.Method = 4;  // LH5 data that do not expand to what the record says
  junk.Expanded = 4000;
  Entry summed{"G\\s", "xyz"};
  summed.Checksum = 'x' + 'y' + 'z';  // 363: a stored entry with its sum
  Entry spoilt = summed;
  spoilt.Data = "xyy";
  struct Case {
    const char* why;
    std::string bytes;
    bool whole;
  } cases[] = {
      {"every entry whole", whole, true},
      {"a header alone", fixture::Header(0), true},
      {"cut in the last entry", cut, false},
      {"cut to its header", whole.substr(0, 21), false},
      {"bytes after the last entry", longer, false},
      {"entries not adding up to the total", wrongTotal, false},
      {"an entry that does not expand", Archive({Entry{"G\\a", "xyz"}, junk}), false},
      {"no archive at all", "not an archive at all, just text", false},
      {"a stored entry that gives its sum", Archive({summed}), true},
      {"a stored entry that does not give its sum", Archive({Entry{"G\\a", "xyz"}, spoilt}), false},
  };
  for (const auto& c : cases) {
    const std::string file = testfiles::Write("whole_check.bin", c.bytes);
    EXPECT_EQ(ArchiveFileIsWhole(file), c.whole) << c.why;
  }
  EXPECT_FALSE(ArchiveFileIsWhole(testfiles::Path("no_such_archive.bin")));
  // The check gives the entries it walked.
  TCompressedFileList listing;
  ASSERT_TRUE(ArchiveFileIsWhole(testfiles::Write("whole_check.bin", whole), &listing));
  ASSERT_EQ(listing.size(), 2u);
  EXPECT_EQ(listing[1].first, "G\\b");
  EXPECT_EQ(listing[1].second.ExpandedSize, 5);
}
