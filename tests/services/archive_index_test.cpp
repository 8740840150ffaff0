#include <gtest/gtest.h>

#include <filesystem>

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

std::string Walked(const std::string& bytes, const std::string& name) {
  base::ReadOnlyMemoryStream s(bytes.data(), static_cast<int64_t>(bytes.size()));
  base::MemoryStream out;
  TInstArchiveReader reader;
  reader.ExpandArchivedStream(s, out, name);
  return std::string(out.Bytes().begin(), out.Bytes().end());
}

std::string Indexed(const std::string& path, const std::string& name) {
  base::MemoryStream out;
  ExpandFileFromArchive(path, out, name, nullptr);
  return std::string(out.Bytes().begin(), out.Bytes().end());
}

// The walk's answer for the entry's record: the first listed entry of the name, or -1.
int WalkedIndex(const std::string& bytes, const std::string& name, TCompressedFileList& list) {
  base::ReadOnlyMemoryStream s(bytes.data(), static_cast<int64_t>(bytes.size()));
  TInstArchiveReader reader;
  list.clear();
  reader.ListArchiveStream(s, list);
  return IndexOfArchivedFile(list, name);
}

void ExpectSameAsWalk(const std::string& path, const std::string& bytes, const std::vector<std::string>& names) {
  for (const auto& name : names) {
    EXPECT_EQ(Indexed(path, name), Walked(bytes, name)) << name;
    TCompressedFileList list;
    const int i = WalkedIndex(bytes, name, list);
    if (i < 0) {
      EXPECT_THROW(GetArchivedEntryInfo(path, name), EStringListError) << name;
      continue;
    }
    const TCompressedFileInfo got = GetArchivedEntryInfo(path, name);
    const TCompressedFileInfo& want = list[static_cast<size_t>(i)].second;
    EXPECT_EQ(got.EntryOffset, want.EntryOffset) << name;
    EXPECT_EQ(got.FileDate, want.FileDate) << name;
    EXPECT_EQ(got.Attributes, want.Attributes) << name;
    EXPECT_EQ(got.ExpandedSize, want.ExpandedSize) << name;
  }
}

TEST(ArchiveIndex, GivesWhatTheWalkGivesAndListsOnce) {
  // A repeated name (in other letter case), an empty entry, and an entry past the
  // header's total that only a listing reaches.
  const std::string bytes = fixture::Header(14) + fixture::Record({"G\\a.dll", "first", 0x2A214000, 0x21}) +
                            fixture::Record({"G\\b", "bee"}) + fixture::Record({"g\\A.DLL", "second", 0x2B000000, 1}) +
                            fixture::Record({"G\\e", ""}) + fixture::Record({"G\\late", "zz"});
  const std::string path = testfiles::Write("index.arc", bytes);
  ResetArchiveIndex();
  ExpectSameAsWalk(path, bytes, {"G\\a.dll", "G\\A.DLL", "g\\b", "G\\e", "G\\late", "G\\missing", "a.dll"});
  EXPECT_EQ(Indexed(path, "G\\A.DLL"), "first");
  EXPECT_EQ(Indexed(path, "G\\late"), "");
  EXPECT_EQ(GetArchivedEntryInfo(path, "G\\late").ExpandedSize, 2);
  // Names that are not there fall back to the walk; everything else came from one listing.
  EXPECT_EQ(ArchiveIndexListings(), 1);
}

TEST(ArchiveIndex, ManyEntriesListedOnce) {
  std::string body;
  int64_t total = 0;
  for (int i = 0; i < 500; ++i) {
    const std::string data = "data" + std::to_string(i);
    body += fixture::Record({"G\\f" + std::to_string(i) + ".txt", data});
    total += static_cast<int64_t>(data.size());
  }
  const std::string path = testfiles::Write("many.arc", fixture::Header(static_cast<int32_t>(total)) + body);
  ResetArchiveIndex();
  for (int i = 499; i >= 0; i -= 7) {
    const std::string name = "G\\F" + std::to_string(i) + ".TXT";
    EXPECT_EQ(GetArchivedEntryInfo(path, name).ExpandedSize, static_cast<int32_t>(4 + std::to_string(i).size()));
    EXPECT_EQ(Indexed(path, name), "data" + std::to_string(i));
  }
  EXPECT_EQ(ArchiveIndexListings(), 1);
}

TEST(ArchiveIndex, ARewrittenArchiveIsListedAgain) {
  const std::string path = testfiles::Path("changing.arc");
  const std::string v1 = fixture::Archive({{"G\\a", "one"}, {"G\\b", "two"}});
  testfiles::Write("changing.arc", v1);
  ResetArchiveIndex();
  EXPECT_EQ(Indexed(path, "G\\b"), "two");

  // Another size.
  const std::string v2 = fixture::Archive({{"G\\b", "changed"}, {"G\\a", "one"}});
  testfiles::Write("changing.arc", v2);
  EXPECT_EQ(Indexed(path, "G\\b"), "changed");
  EXPECT_EQ(GetArchivedEntryInfo(path, "G\\a").EntryOffset, 21 + 25 + 3 + 7);
  EXPECT_EQ(ArchiveIndexListings(), 2);

  // The same size and the same write time, other entries: the record no longer in place
  // tells the index it is stale.
  const auto stamp = std::filesystem::last_write_time(path);
  const std::string v3 = fixture::Archive({{"G\\a", "ONE"}, {"G\\b", "CHANGED"}});
  ASSERT_EQ(v3.size(), v2.size());
  testfiles::Write("changing.arc", v3);
  std::filesystem::last_write_time(path, stamp);
  EXPECT_EQ(Indexed(path, "G\\b"), "CHANGED");
  EXPECT_EQ(Indexed(path, "G\\a"), "ONE");
  ExpectSameAsWalk(path, v3, {"G\\a", "G\\b", "G\\c"});
}

TEST(ArchiveIndex, AHoldListsOnceAndTrustsOnlyWhatItListed) {
  const std::string path = testfiles::Path("held.arc");
  const std::string v1 = fixture::Archive({{"G\\a", "one"}, {"G\\b", "two"}});
  testfiles::Write("held.arc", v1);
  ResetArchiveIndex();
  EXPECT_EQ(Indexed(path, "G\\b"), "two");  // listed before the hold
  // Rewritten with the same size and write time: the index from before the hold is
  // checked as without one, and the file listed anew, through the hold's handle.
  const auto stamp = std::filesystem::last_write_time(path);
  const std::string v2 = fixture::Archive({{"G\\b", "TWO"}, {"G\\a", "ONE"}});
  testfiles::Write("held.arc", v2);
  std::filesystem::last_write_time(path, stamp);
  {
    TArchiveHold hold(path);
    ExpectSameAsWalk(path, v2, {"G\\a", "G\\b", "G\\c"});
    for (int i = 0; i < 20; ++i) EXPECT_EQ(Indexed(path, i % 2 ? "G\\a" : "G\\b"), i % 2 ? "ONE" : "TWO");
    EXPECT_EQ(ArchiveIndexListings(), 2);
  }
  // Once the hold ends, a change is seen again.
  const std::string v3 = fixture::Archive({{"G\\b", "changed"}});
  testfiles::Write("held.arc", v3);
  EXPECT_EQ(Indexed(path, "G\\b"), "changed");
  ExpectSameAsWalk(path, v3, {"G\\a", "G\\b"});
}

TEST(ArchiveIndex, AHoldOnAMissingFileChangesNothing) {
  const std::string absent = testfiles::Path("never.arc");
  TArchiveHold hold(absent);
  EXPECT_THROW(Indexed(absent, "G\\a"), base::EFOpenError);
  EXPECT_THROW(GetArchivedEntryInfo(absent, "G\\a"), base::EFOpenError);
  // Other archives are read as ever while it lasts.
  const std::string other = testfiles::Write("other.arc", fixture::Archive({{"G\\a", "abc"}}));
  EXPECT_EQ(Indexed(other, "G\\a"), "abc");
}

TEST(ArchiveIndex, FailuresAreTheWalks) {
  EXPECT_THROW(Indexed(testfiles::Path("absent.arc"), "G\\a"), base::EFOpenError);
  EXPECT_THROW(GetArchivedEntryInfo(testfiles::Path("absent.arc"), "G\\a"), base::EFOpenError);
  std::string bad = fixture::Archive({{"G\\a", "abc"}});
  bad[0] = 'X';
  const std::string badPath = testfiles::Write("bad.arc", bad);
  EXPECT_THROW(Indexed(badPath, "G\\a"), EInvalidHeader);
  EXPECT_THROW(GetArchivedEntryInfo(badPath, "G\\a"), EInvalidHeader);
  // Too short to list: the name is missing, and the walk's header check still speaks.
  const std::string shortBad = testfiles::Write("short.arc", std::string("XELT\x1A" "NON", 8) + std::string(20, '\0'));
  EXPECT_THROW(GetArchivedEntryInfo(shortBad, "G\\a"), EStringListError);
  EXPECT_THROW(Indexed(shortBad, "G\\a"), EInvalidHeader);
}

}  // namespace
