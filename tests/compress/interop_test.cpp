// Our -lh5- streams against an independent implementation: lhasa decodes what we
// write, and we decode what jlha wrote.
#include <gtest/gtest.h>

#include "CompressTestUtil.h"
#include "LhasaDecode.h"
#include "fixtures/VariedText.h"

namespace {

Bytes LhasaDecode(const Bytes& stream, size_t expanded) { return lhasa::DecodeLh5(stream, expanded); }

TEST(Lh5Interop, LhasaDecodesOurStreams) {
  int checked = 0;
  for (const auto& item : Corpus()) {
    Bytes packed;
    try {
      packed = Encode(cmLH5, item.data);
    } catch (const EUnableToCompress&) {
      continue;
    }
    EXPECT_EQ(LhasaDecode(packed, item.data.size()) == item.data, true) << item.name;
    ++checked;
  }
  Bytes a(100000, 0x41);
  EXPECT_EQ(LhasaDecode(Encode(cmLH5, a), a.size()), a);
  EXPECT_GT(checked, 15);
}

TEST(Lh5Interop, LhasaDecodesTheKeptVariedTextStream) {
  const Bytes text(std::begin(kVariedText), std::end(kVariedText));
  EXPECT_EQ(LhasaDecode(Bytes(std::begin(kVariedTextLh5), std::end(kVariedTextLh5)), text.size()), text);
}

uint32_t Le32(const Bytes& b, size_t at) {
  return b[at] | (b[at + 1] << 8) | (b[at + 2] << 16) | (static_cast<uint32_t>(b[at + 3]) << 24);
}

TEST(Lh5Interop, WeDecodeJlhaStreams) {
  const std::string dir = TANDREL_COMPRESS_FIXTURES;
  Bytes lzh = base::ReadFileBytes(dir + "/jlha_words.lzh");
  Bytes text = base::ReadFileBytes(dir + "/words.txt");
  // Level-2 header: total header size in bytes 0-1, method at 2, sizes at 7 and 11.
  ASSERT_GT(lzh.size(), 21u);
  ASSERT_EQ(std::string(lzh.begin() + 2, lzh.begin() + 7), "-lh5-");
  ASSERT_EQ(lzh[20], 2);
  size_t headerSize = lzh[0] | (lzh[1] << 8);
  uint32_t packedSize = Le32(lzh, 7), origSize = Le32(lzh, 11);
  ASSERT_EQ(origSize, text.size());
  Bytes stream(lzh.begin() + headerSize, lzh.begin() + headerSize + packedSize);
  DecodeResult r = Decode(cmLH5, stream, static_cast<int32_t>(origSize));
  EXPECT_FALSE(r.damaged);
  EXPECT_EQ(r.out, text);
  // And lhasa agrees on the same stream, so the fixture is what we think it is.
  EXPECT_EQ(LhasaDecode(stream, origSize), text);
}

}  // namespace
