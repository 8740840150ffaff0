// Archives made of entries compressed apart and written in order: the same bytes as
// archives grown entry by entry.
#include <gtest/gtest.h>

#include "CompressTestUtil.h"
#include "setup/compress/ArchiveWriter.h"

namespace {

struct Source {
  const char* name;
  Bytes data;
};

// Text, noise that only stores, nothing at all, one byte, and more than one block.
std::vector<Source> Sources() {
  return {{"G\\text.txt", TextBytes(20000, 1)}, {"G\\noise.bin", RandomBytes(9000, 2)}, {"G\\empty", {}},
          {"G\\one", {7}},                      {"H\\exe.dll", ExeLikeBytes(70000, 3)}};
}

TEST(ArchiveWriter, SameBytesAsAddingEntryByEntry) {
  base::MemoryStream grown;
  TTandrelInstCompress c;
  int32_t date = 0x5A2B1000;
  for (const Source& s : Sources()) {
    base::MemoryStream src(s.data);
    c.AddToArchive(grown, src, s.name, cmLH5, date++, 0x20);
  }

  base::MemoryStream written;
  TArchiveWriter writer(written);
  date = 0x5A2B1000;
  bool stored = false;
  for (const Source& s : Sources()) {
    base::MemoryStream src(s.data), entry;
    TArchiveEntry record = CompressArchiveEntry(entry, src, s.name, date++, 0x20, cmLH5, nullptr);
    EXPECT_EQ(record.ExpandedSize, static_cast<int32_t>(s.data.size())) << s.name;
    EXPECT_EQ(record.CompressedSize + kArchiveEntrySize + static_cast<int32_t>(std::strlen(s.name)), entry.Size())
        << s.name;
    stored = stored || record.Method == cmNON;
    entry.SetPosition(0);
    writer.Add(entry, entry.Size(), record);
  }
  writer.Finish();
  EXPECT_TRUE(stored);
  EXPECT_EQ(written.Bytes(), grown.Bytes());
}

TEST(ArchiveWriter, NoEntriesIsABareHeader) {
  base::MemoryStream written;
  TArchiveWriter writer(written);
  writer.Finish();
  EXPECT_EQ(written.Bytes(), B({'V', 'E', 'L', 'T', 0x1A, 'L', 'H', '5', 0, 0, 0, 0, 1, 0, 0, 0, 0, 0, 0, 0, 0}));
}

// A -1 from the handler cancels wherever it comes, also on the last block, when the
// source has been read to its end but the block is not yet encoded.
TEST(ArchiveWriter, ProgressOfMinusOneCancelsOnAnyBlock) {
  const Bytes data = TextBytes(20000, 4);  // three blocks
  for (int cancelAt : {1, 2, 3}) {
    for (size_t size : {data.size(), size_t{5000}}) {
      if (size == 5000 && cancelAt > 1) continue;  // a single block
      base::MemoryStream src(Bytes(data.begin(), data.begin() + static_cast<std::ptrdiff_t>(size))), entry;
      int calls = 0;
      auto progress = [&](int32_t& p) {
        if (++calls == cancelAt) p = -1;
      };
      EXPECT_THROW(CompressArchiveEntry(entry, src, "G\\t", 0, 0x20, cmLH5, progress), ECompressionAborted)
          << cancelAt << " " << size;
      EXPECT_EQ(calls, cancelAt);
      // The same through an archive: it is left as it was.
      base::MemoryStream archive;
      TTandrelInstCompress c;
      calls = 0;
      c.OnShowProgress = progress;
      src.SetPosition(0);
      EXPECT_THROW(c.AddToArchive(archive, src, "G\\t", cmLH5, 0, 0x20), ECompressionAborted);
      EXPECT_EQ(archive.Size(), 0);
    }
  }
}

}  // namespace
