// Writing archives: records, fallbacks to stored data, growth entry by entry.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>

#include "CompressTestUtil.h"
#include "setup/compress/InstCompressIntf.h"

namespace {

std::string TempFile(const char* name) {
  auto p = std::filesystem::temp_directory_path() / ("tandrel_compress_" + std::to_string(::getpid()) + "_" + name);
  std::filesystem::remove(p);
  return p.string();
}

struct Entry {
  TArchiveEntry rec;
  std::string name;
  Bytes data;
};

// Walks an archive image the way readers do.
std::vector<Entry> Walk(const Bytes& a, TCompressedHeader& h) {
  h = DecodeHeader(a.data());
  std::vector<Entry> out;
  size_t at = kCompressedHeaderSize;
  while (at + kArchiveEntrySize <= a.size()) {
    Entry e;
    e.rec = DecodeEntry(a.data() + at);
    at += kArchiveEntrySize;
    e.name.assign(a.begin() + at, a.begin() + at + e.rec.NameLength);
    at += e.rec.NameLength;
    e.data.assign(a.begin() + at, a.begin() + at + e.rec.CompressedSize);
    at += e.rec.CompressedSize;
    out.push_back(e);
  }
  EXPECT_EQ(at, a.size());
  return out;
}

TEST(Archive, EmptyEntryHasRecordAndName) {
  std::string f = TempFile("empty.arc");
  TTandrelInstCompress c;
  base::MemoryStream src;
  c.AddToArchive(f, src, "Info\\a", cmLH5, 0x11223344, 0x20);
  Bytes expected = B({'V', 'E', 'L', 'T', 0x1A, 'L', 'H', '5', 0, 0, 0, 0, 1, 0, 0, 0, 0, 0, 0, 0, 0,
                      // record: name length 6, date, attr 0x20, sizes 0, method 4, checksum 0, lock 0
                      6, 0, 0x44, 0x33, 0x22, 0x11, 0x20, 0, 0, 0, 0, 0, 0, 0, 0, 0, 4, 0, 0, 0,
                      0, 0, 0, 0, 0, 'I', 'n', 'f', 'o', '\\', 'a'});
  EXPECT_EQ(base::ReadFileBytes(f), expected);
  EXPECT_EQ(c.LastRatio(), 100);
  std::filesystem::remove(f);
}

TEST(Archive, FiveBytesAreStoredPlain) {
  std::string f = TempFile("five.arc");
  TTandrelInstCompress c;
  std::vector<int32_t> progress;
  c.OnShowProgress = [&](int32_t& p) { progress.push_back(p); };
  base::MemoryStream src(Str("abcde"));
  c.AddToArchive(f, src, "X\\y", cmLH5, 0, 0);
  TCompressedHeader h;
  auto es = Walk(base::ReadFileBytes(f), h);
  ASSERT_EQ(es.size(), 1u);
  EXPECT_EQ(es[0].rec.Method, cmNON);
  EXPECT_EQ(es[0].rec.CompressedSize, 5);
  EXPECT_EQ(es[0].rec.Checksum, 495);  // 97 + 98 + 99 + 100 + 101: stored data carry their sum
  EXPECT_EQ(es[0].data, Str("abcde"));
  EXPECT_EQ(h.ExpandedSize, 5);
  EXPECT_EQ(h.MethodID(), "LH5");
  EXPECT_EQ(c.LastRatio(), 100);
  EXPECT_EQ(progress, (std::vector<int32_t>{100}));
  std::filesystem::remove(f);
}

TEST(Archive, GrowsEntryByEntryAndKeepsTheFirstID) {
  std::string f = TempFile("grow.arc");
  Bytes a = TextBytes(40000, 1), b = ExeLikeBytes(20000, 2), r = RandomBytes(3000, 3);
  {
    TTandrelInstCompress c;
    base::MemoryStream s(a);
    c.AddToArchive(f, s, "G\\a.txt", cmLZH, 1, 2);
    EXPECT_LT(c.LastRatio(), 50);
  }
  base::MemoryStream sb(b), sr(r), se;
  CompressFileToArchive(f, sb, "G\\b.exe", 3, 4, nullptr);
  CompressFileToArchive(f, sr, "G\\r.bin", 5, 6, nullptr);
  CompressFileToArchive(f, se, "G\\empty", 7, 8, nullptr);
  TCompressedHeader h;
  auto es = Walk(base::ReadFileBytes(f), h);
  ASSERT_EQ(es.size(), 4u);
  EXPECT_EQ(h.MethodID(), "LZH");  // adding keeps the header's ID
  EXPECT_EQ(h.ArchiveType, caMulti);
  EXPECT_EQ(h.Checksum, 0);
  EXPECT_EQ(h.ExpandedSize, 63000);
  const uint8_t methods[] = {cmLZH, cmLH5, cmNON, cmLH5};
  const Bytes* datas[] = {&a, &b, &r, nullptr};
  for (size_t i = 0; i < 4; ++i) {
    EXPECT_EQ(es[i].rec.Method, methods[i]) << i;
    EXPECT_EQ(es[i].rec.FileDate, static_cast<int32_t>(2 * i + 1));
    EXPECT_EQ(es[i].rec.Attributes, 2 * i + 2);
    TTandrelInstCompress x;
    base::MemoryStream src(es[i].data), dst;
    x.ExpandData(dst, src, es[i].rec.CompressedSize, es[i].rec.ExpandedSize, es[i].rec.Checksum,
                 es[i].rec.Method, "", es[i].rec.Locked);
    EXPECT_EQ(dst.Bytes(), datas[i] ? *datas[i] : Bytes()) << i;
  }
  EXPECT_EQ(es[0].rec.Checksum, ByteSum(a.data(), a.size()));
  EXPECT_EQ(es[2].rec.Checksum, ByteSum(r.data(), r.size()));  // stored as a fallback, with its sum
  std::filesystem::remove(f);
}

// A stored entry byte for byte: the record's checksum is the data's byte sum plus the key,
// whether the data were stored by choice or because they would not shrink.
TEST(Archive, StoredEntryBytesAsWorkedOut) {
  struct Case {
    const char* why;
    uint8_t method;
    int32_t key;
    Bytes checksumAndLock;
  } cases[] = {
      // "abcde": 97 + 98 + 99 + 100 + 101 = 495 = 0x1EF.
      {"fallen back from LH5", cmLH5, 0, B({0xEF, 0x01, 0, 0, 0, 0, 0, 0})},
      {"stored by choice", cmNON, 0, B({0xEF, 0x01, 0, 0, 0, 0, 0, 0})},
      // 495 + 0x01000000, lock flag 2.
      {"stored by choice with a key", cmNON, 0x01000000, B({0xEF, 0x01, 0, 0x01, 2, 0, 0, 0})},
  };
  for (const auto& k : cases) {
    TTandrelInstCompress c;
    c.Key = k.key;
    base::MemoryStream archive, src(Str("abcde"));
    c.AddToArchive(archive, src, "X\\y", k.method, 0x11223344, 0x20);
    const char* id = k.method == cmNON ? "NON" : "LH5";
    Bytes expected = B({'V', 'E', 'L', 'T', 0x1A, id[0], id[1], id[2], 5, 0, 0, 0, 1, 0, 0, 0, 0,
                        k.key > 0 ? 2 : 0, 0, 0, 0,
                        // name length 3, date, attributes, expanded 5, compressed 5, method 0
                        3, 0, 0x44, 0x33, 0x22, 0x11, 0x20, 0, 5, 0, 0, 0, 5, 0, 0, 0, 0});
    expected.insert(expected.end(), k.checksumAndLock.begin(), k.checksumAndLock.end());
    for (char ch : std::string("X\\yabcde")) expected.push_back(static_cast<uint8_t>(ch));
    EXPECT_EQ(archive.Bytes(), expected) << k.why;
  }
}

TEST(Archive, ForeignFilesAreLeftAlone) {
  std::string f = TempFile("foreign.arc");
  Bytes junk = Str("this file is not an archive of ours");
  base::WriteFileBytes(f, junk);
  TTandrelInstCompress c;
  base::MemoryStream s(Str("data"));
  try {
    c.AddToArchive(f, s, "A\\b", cmLH5, 0, 0);
    FAIL();
  } catch (const EInvalidHeader& e) {
    EXPECT_STREQ(e.what(), "Can't recognize compressed file header");
  }
  EXPECT_EQ(base::ReadFileBytes(f), junk);

  // A header with an ID nobody accepts fails before anything is written.
  Bytes odd = Single("ZZZ", {}, 0, 0, 0, caMulti);
  base::WriteFileBytes(f, odd);
  EXPECT_THROW(c.AddToArchive(f, s, "A\\b", cmLH5, 0, 0), EUnrecognizedCompressionMethod);
  EXPECT_EQ(base::ReadFileBytes(f), odd);

  Bytes single = Single("LH5", {}, 0, 0, 0, caSingle);
  base::WriteFileBytes(f, single);
  try {
    c.AddToArchive(f, s, "A\\b", cmLH5, 0, 0);
    FAIL();
  } catch (const EInvalidHeaderArchiveType& e) {
    EXPECT_STREQ(e.what(), "Archive type must be caMulti");
  }
  std::filesystem::remove(f);
}

TEST(Archive, ShortFileStartsAfresh) {
  std::string f = TempFile("short.arc");
  base::WriteFileBytes(f, Str("tiny"));
  TTandrelInstCompress c;
  base::MemoryStream s(Str("abc"));
  c.AddToArchive(f, s, "A\\b", cmNON, 0, 0);
  TCompressedHeader h;
  auto es = Walk(base::ReadFileBytes(f), h);
  ASSERT_EQ(es.size(), 1u);
  EXPECT_TRUE(h.HasSignature());
  EXPECT_EQ(es[0].data, Str("abc"));
  std::filesystem::remove(f);
}

TEST(Archive, RleCannotBeWritten) {
  std::string f = TempFile("rle.arc");
  TTandrelInstCompress c;
  base::MemoryStream s(Str("aaaaaaaaaa"));
  try {
    c.AddToArchive(f, s, "A\\b", cmRLE, 0, 0);
    FAIL();
  } catch (const EUnrecognizedCompressionMethod& e) {
    EXPECT_STREQ(e.what(), "RLE compression disabled in this build");
  }
  std::filesystem::remove(f);
}

TEST(Archive, KeyLocksEntries) {
  base::MemoryStream arc;
  TTandrelInstCompress c;
  c.Key = 0x01010101;
  Bytes data = TextBytes(10000, 3);
  base::MemoryStream src(data);
  std::string id = "LH5";
  c.CompressToArchive(arc, src, "K\\a", TArchiveEntry(), id, cmLH5);
  TArchiveEntry rec = DecodeEntry(arc.Bytes().data());
  EXPECT_EQ(rec.Locked, 2);
  EXPECT_EQ(rec.Checksum, static_cast<int32_t>(ByteSum(data.data(), data.size()) + 0x01010101u));
  base::MemoryStream packed(Bytes(arc.Bytes().begin() + kArchiveEntrySize + 3, arc.Bytes().end())), out;
  TTandrelInstCompress nokey;
  EXPECT_THROW(nokey.ExpandData(out, packed, rec.CompressedSize, rec.ExpandedSize, rec.Checksum,
                                rec.Method, "", rec.Locked),
               EInvalidKey);
  EXPECT_EQ(out.Size(), 0);
  c.ExpandData(out, packed, rec.CompressedSize, rec.ExpandedSize, rec.Checksum, rec.Method, "",
               rec.Locked);
  EXPECT_EQ(out.Bytes(), data);
}

TEST(Archive, CustomCompressorReplacesTheID) {
  std::string f = TempFile("cus.arc");
  TTandrelInstCompress c;
  c.OnCompress = [](base::Stream& dest, base::Stream& source, std::string& id, int32_t& size,
                    int32_t& checksum) {
    Bytes b(static_cast<size_t>(source.Size()));
    source.ReadBuffer(b.data(), static_cast<int32_t>(b.size()));
    dest.WriteBuffer(b.data(), static_cast<int32_t>(b.size()));
    size = static_cast<int32_t>(b.size());
    checksum = 42;
    id = "MY1";
  };
  base::MemoryStream s(Str("hello"));
  c.AddToArchive(f, s, "C\\h", cmCUS, 0, 0);
  TCompressedHeader h;
  auto es = Walk(base::ReadFileBytes(f), h);
  EXPECT_EQ(h.MethodID(), "MY1");
  ASSERT_EQ(es.size(), 1u);
  EXPECT_EQ(es[0].rec.Method, cmCUS);
  EXPECT_EQ(es[0].rec.Checksum, 42);
  std::filesystem::remove(f);
}

}  // namespace

namespace {

// A disk that fills up: writes beyond the first `room` bytes are refused.
class FullDiskStream : public base::MemoryStream {
public:
  FullDiskStream(std::vector<uint8_t> start, int64_t room) : base::MemoryStream(std::move(start)), room_(room) {}
  int32_t Write(const void* buffer, int32_t count) override {
    if (Position() + count > room_) count = static_cast<int32_t>(std::max<int64_t>(0, room_ - Position()));
    return base::MemoryStream::Write(buffer, count);
  }

private:
  int64_t room_;
};

Bytes OneEntryArchive() {
  TTandrelInstCompress c;
  base::MemoryStream archive;
  base::MemoryStream src(TextBytes(3000, 11));
  c.AddToArchive(archive, src, "Grp\\first.txt", cmLH5, 0, 0x20);
  return archive.Bytes();
}

}  // namespace

TEST(Archive, FullDiskGivesItsMessageAndLeavesTheArchiveAsItWas) {
  const Bytes before = OneEntryArchive();
  const Bytes data = TextBytes(40000, 12);
  // Full inside the record, inside the data.
  for (int64_t room : {int64_t(before.size()) + 10, int64_t(before.size()) + 3000}) {
    for (uint8_t method : {cmNON, cmLH5}) {
      FullDiskStream disk(before, room);
      base::MemoryStream src(data);
      TTandrelInstCompress c;
      try {
        c.AddToArchive(disk, src, "Grp\\second.txt", method, 0, 0x20);
        ADD_FAILURE() << "no error with room " << room;
      } catch (const EInsufficientDiskSpace& e) {
        EXPECT_STREQ(e.what(), "Disk protected or full during compression");
      }
      EXPECT_EQ(disk.Bytes(), before) << "room " << room << " method " << int(method);
    }
  }
  // A new archive file that cannot be written whole is not left behind.
  FullDiskStream empty({}, 30);
  base::MemoryStream src(data);
  TTandrelInstCompress c;
  EXPECT_THROW(c.AddToArchive(empty, src, "Grp\\x", cmLH5, 0, 0), EInsufficientDiskSpace);
  EXPECT_TRUE(empty.Bytes().empty());
}

TEST(Archive, ProgressOfMinusOneCancelsWithoutAPartialEntry) {
  const Bytes before = OneEntryArchive();
  for (uint8_t method : {cmLZH, cmLH5}) {
    base::MemoryStream archive(before);
    base::MemoryStream src(TextBytes(50000, 13));
    TTandrelInstCompress c;
    int calls = 0;
    c.OnShowProgress = [&](int32_t& p) {
      if (++calls == 2) p = -1;
    };
    EXPECT_THROW(c.AddToArchive(archive, src, "Grp\\big.txt", method, 0, 0x20), ECompressionAborted);
    EXPECT_EQ(calls, 2);
    EXPECT_EQ(archive.Bytes(), before) << int(method);
  }
  // The same through a file: a new archive file is removed again.
  std::string f = TempFile("cancel.arc");
  base::MemoryStream src(TextBytes(50000, 13));
  TTandrelInstCompress c;
  c.OnShowProgress = [](int32_t& p) { p = -1; };
  EXPECT_THROW(c.AddToArchive(f, src, "Grp\\big.txt", cmLH5, 0, 0x20), ECompressionAborted);
  EXPECT_FALSE(std::filesystem::exists(f));
}

TEST(Archive, NameTooLongForTheRecordIsRefused) {
  const Bytes before = OneEntryArchive();
  base::MemoryStream archive(before);
  base::MemoryStream src(Str("data"));
  TTandrelInstCompress c;
  const std::string longest = "G\\" + std::string(kMaxEntryNameLength - 2, 'n');
  EXPECT_THROW(c.AddToArchive(archive, src, longest + "x", cmLH5, 0, 0), EEntryNameTooLong);
  EXPECT_EQ(archive.Bytes(), before);
  std::string f = TempFile("longname.arc");
  EXPECT_THROW(c.AddToArchive(f, src, longest + "x", cmLH5, 0, 0), EEntryNameTooLong);
  EXPECT_FALSE(std::filesystem::exists(f));
  // The longest name that fits is written, and its record walks.
  c.AddToArchive(archive, src, longest, cmNON, 0, 0);
  TCompressedHeader h;
  auto entries = Walk(archive.Bytes(), h);
  ASSERT_EQ(entries.size(), 2u);
  EXPECT_EQ(entries[1].name, longest);
}
