// The codecs through the driver: fixed decodings, round trips, damaged data.
#include <gtest/gtest.h>

#include "CompressTestUtil.h"
#include "fixtures/VariedText.h"

namespace {

struct RleCase {
  const char* why;
  Bytes in;
  int32_t expanded;
  Bytes out;
};

TEST(RleDecode, Cases) {
  const RleCase cases[] = {
      {"escape with count 5 repeats the previous byte 4 more times", B({0x00, 0x94, 0x05}), 5,
       Bytes(5, 0)},
      {"previous byte starts at 0", B({0x94, 0x05}), 4, Bytes(4, 0)},
      {"lone escape at the end is a literal 0x94", B({0x41, 0x94}), 2, B({0x41, 0x94})},
      {"count 1 writes nothing more", B({0x41, 0x94, 0x01}), 1, B({0x41})},
      {"count 0 writes one 0x94", B({0x41, 0x94, 0x00, 0x42}), 3, B({0x41, 0x94, 0x42})},
      {"after an escape the previous byte is 0x94", B({0x58, 0x94, 0x05, 0x94, 0x03}), 7,
       B({0x58, 0x58, 0x58, 0x58, 0x58, 0x94, 0x94})},
      {"plain bytes pass", Str("abc"), 3, Str("abc")},
      {"empty data give nothing", {}, 0, {}},
  };
  for (const auto& c : cases) {
    DecodeResult r = Decode(cmRLE, c.in, c.expanded);
    EXPECT_EQ(r.out, c.out) << c.why;
    EXPECT_FALSE(r.damaged) << c.why;
    EXPECT_EQ(r.sum, ByteSum(c.out.data(), c.out.size())) << c.why;
  }
}

TEST(RleDecode, OutputBoundedByExpandedSize) {
  // 0x94 0xFF asks for 254 more bytes; a run that says it expands to 10 stops there.
  DecodeResult r = Decode(cmRLE, B({0x41, 0x94, 0xFF}), 10);
  EXPECT_TRUE(r.damaged);
  EXPECT_LE(r.out.size(), 10u);
}

TEST(RleDecode, DataEndingShortOfTheSizeAreDamage) {
  // Five zeros where ten were announced: a stream sized in advance would keep five
  // zero bytes of padding that no byte sum can tell from data.
  DecodeResult r = Decode(cmRLE, B({0x00, 0x94, 0x05}), 10);
  EXPECT_TRUE(r.damaged);
  EXPECT_EQ(r.out, Bytes(5, 0));
  TTandrelInstCompress c;
  EXPECT_THROW(ExpandBytes(c, Single("RLE", B({0x00, 0x94, 0x05}), 10, 0)), EBadChecksum);
}

TEST(RleEncode, DisabledInThisBuild) {
  try {
    Encode(cmRLE, Str("abc"));
    FAIL();
  } catch (const EUnrecognizedCompressionMethod& e) {
    EXPECT_STREQ(e.what(), "RLE compression disabled in this build");
  }
}

class RoundTrip : public ::testing::TestWithParam<uint8_t> {};

TEST_P(RoundTrip, Corpus) {
  uint8_t method = GetParam();
  for (const auto& item : Corpus()) {
    int32_t sum = 0;
    Bytes packed;
    try {
      packed = Encode(method, item.data, 0, &sum);
    } catch (const EUnableToCompress&) {
      // Incompressible within the input's size; the archive stores such entries plain.
      EXPECT_TRUE(item.name.find("random") == 0 || item.data.size() < 8) << item.name;
      continue;
    }
    EXPECT_LE(packed.size(), item.data.size()) << item.name;
    EXPECT_EQ(sum, ByteSum(item.data.data(), item.data.size())) << item.name;
    DecodeResult r = Decode(method, packed, static_cast<int32_t>(item.data.size()));
    EXPECT_FALSE(r.damaged) << item.name;
    EXPECT_EQ(r.out == item.data, true) << item.name;
    EXPECT_EQ(r.sum, sum) << item.name;
  }
}

INSTANTIATE_TEST_SUITE_P(Methods, RoundTrip, ::testing::Values(cmLZH, cmLH5),
                         [](const auto& info) { return std::string(info.param == cmLZH ? "LZH" : "LH5"); });

TEST(Codecs, EmptyInputWritesNothingAndSizeZeroReadsNothing) {
  for (uint8_t m : {cmLZH, cmLH5}) {
    EXPECT_TRUE(Encode(m, {}).empty());
    DecodeResult r = Decode(m, B({0xFF, 0xFF, 0xFF}), 0);
    EXPECT_TRUE(r.out.empty());
    EXPECT_FALSE(r.damaged);
  }
}

TEST(Codecs, KeyCombinesEveryWrittenByte) {
  Bytes in = TextBytes(20000, 11);
  for (uint8_t m : {cmLZH, cmLH5}) {
    Bytes plain = Encode(m, in);
    int32_t key = 0x04030201;
    Bytes locked = Encode(m, in, key);
    ASSERT_EQ(plain.size(), locked.size());
    for (size_t i = 0; i < plain.size(); ++i)
      ASSERT_EQ(locked[i], plain[i] ^ (1 + i % 4)) << i;
    EXPECT_EQ(Decode(m, locked, static_cast<int32_t>(in.size()), key, true).out, in);
    // Without the combine flag the key is not undone.
    try {
      EXPECT_NE(Decode(m, locked, static_cast<int32_t>(in.size()), key, false).out, in);
    } catch (const ELZHBadDecodeTable&) {
    }
  }
}

// ---- LH5 specifics

// MSB-first bit reader for checking encoder output by hand.
struct Bits {
  const Bytes& b;
  size_t pos = 0;
  unsigned Get(int n) {
    unsigned v = 0;
    for (int i = 0; i < n; ++i, ++pos)
      v = (v << 1) | (pos / 8 < b.size() ? (b[pos / 8] >> (7 - pos % 8)) & 1 : 0);
    return v;
  }
};

TEST(Lh5, FiveBytesGrowPastTheirSize) {
  EXPECT_THROW(Encode(cmLH5, Str("abcde")), EUnableToCompress);
}

// MSB-first bit writer for building expected streams by hand.
TEST(Lh5, HundredThousandLettersAreOneBlockOfLongMatches) {
  Bytes in(100000, 0x41);
  Bytes out = Encode(cmLH5, in);
  EXPECT_EQ(out, HundredThousandLettersLh5());
  EXPECT_EQ(out.size(), 61u);
  EXPECT_EQ(Decode(cmLH5, out, 100000).out, in);
}

TEST(Lh5, BadCodeLengthsAreRefused) {
  // Block of 1 symbol; code-length code n=1 with length 1 alone does not fill the space.
  // 16 bits count=1, 5 bits n=1, 3 bits len=1, then padding.
  Bytes bad = B({0x00, 0x01, 0x08, 0x80, 0x00, 0x00});
  EXPECT_THROW(Decode(cmLH5, bad, 10), ELZHBadDecodeTable);
}

TEST(Lh5, TruncatedStreamIsDamageNotAHang) {
  Bytes in = TextBytes(40000, 5);
  Bytes out = Encode(cmLH5, in);
  for (size_t cut : {size_t(0), size_t(1), size_t(3), out.size() / 2, out.size() - 1}) {
    Bytes part(out.begin(), out.begin() + cut);
    try {
      DecodeResult r = Decode(cmLH5, part, static_cast<int32_t>(in.size()));
      EXPECT_TRUE(r.damaged) << cut;
      EXPECT_LT(r.out.size(), in.size()) << cut;
    } catch (const ELZHBadDecodeTable&) {
    }
  }
}

TEST(Lh5, HugeExpandedSizeStopsWithTheData) {
  Bytes out = Encode(cmLH5, TextBytes(1000, 6));
  DecodeResult r = Decode(cmLH5, out, 0x7FFFFFFF);
  EXPECT_TRUE(r.damaged);
  EXPECT_LT(r.out.size(), 100000u);
}

// ---- LZH specifics

TEST(Lzh, SpacesMatchTheRingFromTheFirstByte) {
  // The ring before the start holds spaces, so 60 spaces are one match.
  Bytes out = Encode(cmLZH, Bytes(60, ' '));
  EXPECT_LE(out.size(), 3u);
  EXPECT_EQ(Decode(cmLZH, out, 60).out, Bytes(60, ' '));
}

TEST(Lzh, LongSymbolCodesSurvive) {
  // A skewed literal distribution drives some codes past 16 bits.
  Bytes in = SkewedBytes(300000, 4);
  Bytes out = Encode(cmLZH, in);
  EXPECT_EQ(Decode(cmLZH, out, static_cast<int32_t>(in.size())).out, in);
}

TEST(Codecs, VariedTextGivesTheKeptBytes) {
  const Bytes text(std::begin(kVariedText), std::end(kVariedText));
  const struct { uint8_t method; Bytes expected; } cases[] = {
      {cmLZH, Bytes(std::begin(kVariedTextLzh), std::end(kVariedTextLzh))},
      {cmLH5, Bytes(std::begin(kVariedTextLh5), std::end(kVariedTextLh5))},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Encode(c.method, text), c.expected) << int(c.method);
    DecodeResult r = Decode(c.method, c.expected, static_cast<int32_t>(text.size()));
    EXPECT_FALSE(r.damaged);
    EXPECT_EQ(r.out, text) << int(c.method);
  }
}

TEST(Lh5, CodesPastTheTwelveBitTableSurvive) {
  const Bytes in = GeometricMatchBytes(12, 1024, 7);
  const Bytes out = Encode(cmLH5, in);
  EXPECT_EQ(Decode(cmLH5, out, static_cast<int32_t>(in.size())).out, in);
}

TEST(Codecs, MatchRunningPastTheSizeIsDamage) {
  // Sixty spaces are one match in both codecs; a size that cuts it short is damage.
  for (uint8_t method : {cmLZH, cmLH5}) {
    Bytes in(300, ' ');
    Bytes out = Encode(method, in);
    DecodeResult whole = Decode(method, out, 300);
    EXPECT_FALSE(whole.damaged) << int(method);
    DecodeResult cut = Decode(method, out, 10);
    EXPECT_TRUE(cut.damaged) << int(method);
    EXPECT_EQ(cut.out, Bytes(10, ' ')) << int(method);
  }
}

TEST(Lzh, TruncatedStreamIsDamageNotAHang) {
  Bytes in = TextBytes(30000, 8);
  Bytes out = Encode(cmLZH, in);
  Bytes part(out.begin(), out.begin() + out.size() / 2);
  DecodeResult r = Decode(cmLZH, part, static_cast<int32_t>(in.size()));
  EXPECT_TRUE(r.damaged);
  EXPECT_LT(r.out.size(), in.size());
  EXPECT_TRUE(Decode(cmLZH, {}, 1000).damaged);
}

}  // namespace
