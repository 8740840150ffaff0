// Headers, records and single streams; runs against both builds of the component.
#include <gtest/gtest.h>

#include "CompressTestUtil.h"

namespace {

TEST(Format, HeaderImage) {
  TTandrelInstCompress c;
  TCompressedHeader h;
  c.InitHeader(h, "LH5", caMulti, 0x01020304);
  EXPECT_EQ(HeaderBytes(h), B({'V', 'E', 'L', 'T', 0x1A, 'L', 'H', '5', 0x04, 0x03, 0x02, 0x01,
                               0x01, 0, 0, 0, 0, 0, 0, 0, 0}));
  c.Key = 7;
  c.InitHeader(h, "RLE", caSingle, 5);
  EXPECT_EQ(h.Locked, 2);
  c.Key = -7;  // only a positive key sets the flag
  c.InitHeader(h, "RLE", caSingle, 5);
  EXPECT_EQ(h.Locked, 0);
  TCompressedHeader back = DecodeHeader(HeaderBytes(h).data());
  EXPECT_EQ(back.MethodID(), "RLE");
  EXPECT_EQ(back.ExpandedSize, 5);
}

TEST(Format, EntryImage) {
  TArchiveEntry e;
  e.NameLength = 0x0102;
  e.FileDate = 0x5A3C7B21;
  e.Attributes = 0x0020;
  e.ExpandedSize = 1000;
  e.CompressedSize = -1;
  e.Method = 4;
  e.Checksum = 0x11223344;
  e.Locked = 2;
  Bytes b(kArchiveEntrySize);
  EncodeEntry(e, b.data());
  EXPECT_EQ(b, B({0x02, 0x01, 0x21, 0x7B, 0x3C, 0x5A, 0x20, 0x00, 0xE8, 0x03, 0, 0, 0xFF, 0xFF,
                  0xFF, 0xFF, 0x04, 0x44, 0x33, 0x22, 0x11, 0x02, 0, 0, 0}));
  TArchiveEntry d = DecodeEntry(b.data());
  EXPECT_EQ(d.FileDate, e.FileDate);
  EXPECT_EQ(d.CompressedSize, -1);
  EXPECT_EQ(d.Checksum, e.Checksum);
}

TEST(Format, MethodFromID) {
  TTandrelInstCompress c;
  const char* ids[] = {"NON", "RLE", "LZH", "CUS", "LH5"};
  for (uint8_t i = 0; i < 5; ++i) EXPECT_EQ(c.MethodFromID(ids[i]), i);
  try {
    c.MethodFromID("lh5");
    FAIL() << "case matters";
  } catch (const EUnrecognizedCompressionMethod& e) {
    EXPECT_STREQ(e.what(), "Unrecognized compression method: \"lh5\" in header");
  }
  std::string asked;
  c.OnRecognize = [&](const std::string& id, bool& ok) {
    asked = id;
    ok = id == "XYZ";
  };
  EXPECT_EQ(c.MethodFromID("XYZ"), cmCUS);
  EXPECT_EQ(asked, "XYZ");
  EXPECT_THROW(c.MethodFromID("ABC"), EUnrecognizedCompressionMethod);
}

TEST(Format, SetTargetPath) {
  TTandrelInstCompress c;
  c.SetTargetPath("C:\\x");
  EXPECT_EQ(c.TargetPath(), "C:\\x\\");
  c.SetTargetPath("C:\\y\\");
  EXPECT_EQ(c.TargetPath(), "C:\\y\\");
  c.SetTargetPath("");
  EXPECT_EQ(c.TargetPath(), "");
}

TEST(ExpandStream, PlainDataAndHeaders) {
  TTandrelInstCompress c;
  Bytes sig21 = Single("RLE", {}, 0, 0);  // exactly 21 bytes, signature and all
  ASSERT_EQ(sig21.size(), 21u);
  struct Case {
    const char* why;
    Bytes in, out;
  } cases[] = {
      {"21 bytes are stored data even with a signature", sig21, sig21},
      {"no signature: copied from the first byte", Str("this is not a header at all"),
       Str("this is not a header at all")},
      {"empty stream", {}, {}},
      {"RLE 00 94 05 of size 5", Single("RLE", B({0x00, 0x94, 0x05}), 5, 0), Bytes(5, 0)},
      {"NON stream with checksum 0, as older writers made it, is not tested", Single("NON", Str("abc"), 3, 0),
       Str("abc")},
      {"NON stream with its byte sum 97 + 98 + 99", Single("NON", Str("abc"), 3, 294), Str("abc")},
  };
  for (const auto& k : cases) EXPECT_EQ(ExpandBytes(c, k.in), k.out) << k.why;
}

#ifndef TANDREL_EXPAND_ONLY  // needs an encoder
TEST(ExpandStream, EveryCodecFromItsHeader) {
  Bytes data = TextBytes(30000, 21);
  int32_t sum = ByteSum(data.data(), data.size());
  for (uint8_t m : {cmLZH, cmLH5}) {
    TTandrelInstCompress c;
    Bytes in = Single(TTandrelInstCompress::MethodIDs[m], Encode(m, data), 30000, sum);
    EXPECT_EQ(ExpandBytes(c, in), data);
  }
}
#endif

TEST(ExpandStream, Failures) {
  TTandrelInstCompress c;
  auto msg = [&](const Bytes& in) {
    try {
      ExpandBytes(c, in);
    } catch (const base::Exception& e) {
      return std::string(e.what());
    }
    return std::string("no failure");
  };
  EXPECT_EQ(msg(Single("RLE", B({1, 2}), 2, 3, 0, caMulti)),
            "Expand can't handle caMulti archive type in compressed header");
  EXPECT_EQ(msg(Single("lh5", B({1, 2}), 2, 3)),
            "Unrecognized compression method: \"lh5\" in header");
  EXPECT_EQ(msg(Single("RLE", B({1, 2}), 2, 99)),
            "Bad checksum during expansion -- data may be invalid");
  EXPECT_EQ(msg(Single("NON", Str("abd"), 3, 294)), "Bad checksum during expansion -- data may be invalid");
  EXPECT_EQ(msg(Single("LH5", B({0, 1, 0x08, 0x80, 0, 0}), 10, 0)), "Bad decode table in archive!");
  // Locked run without a key: refused before a byte is written.
  base::MemoryStream src(Single("RLE", B({1, 2}), 2, 3, 2)), dst;
  EXPECT_THROW(c.ExpandStream(dst, src), EInvalidKey);
  EXPECT_EQ(dst.Size(), 0);
  // Damaged LH5 table of a locked run reads as a wrong key.
  c.Key = 5;
  EXPECT_EQ(msg(Single("LH5", B({0, 1, 0x08, 0x80, 0, 0}), 10, 0, 2)),
            "File locked -- valid key required");
}

// A stored run is tested by its sum once it carries one; 0 is what older writers stored.
TEST(ExpandData, StoredRunsAreTestedByTheirSum) {
  const Bytes data = Str("stored data"), spoilt = Str("stored dbta");
  const int32_t sum = ByteSum(data.data(), data.size()), key = 0x100;
  enum Outcome { Expands, BadChecksum, InvalidKey };
  struct Case {
    const char* why;
    Bytes bytes;
    int32_t checksum, lock, readerKey;
    Outcome want;
  } cases[] = {
      {"its sum", data, sum, 0, 0, Expands},
      {"one bit flipped", spoilt, sum, 0, 0, BadChecksum},
      {"checksum 0 of an older package, even spoilt", spoilt, 0, 0, 0, Expands},
      {"locked, read with the key", data, sum + key, 2, key, Expands},
      {"locked and spoilt, read with the key", spoilt, sum + key, 2, key, InvalidKey},
      {"locked by an older writer: the key alone", spoilt, key, 2, key, Expands},
      {"locked, read without a key: nothing to test it by", spoilt, sum + key, 2, 0, Expands},
  };
  for (const auto& k : cases) {
    TTandrelInstCompress c;
    c.Key = k.readerKey;
    base::MemoryStream src(k.bytes), dst;
    Outcome got = Expands;
    try {
      c.ExpandData(dst, src, static_cast<int32_t>(k.bytes.size()), static_cast<int32_t>(k.bytes.size()), k.checksum,
                   cmNON, "NON", k.lock);
    } catch (const EBadChecksum&) {
      got = BadChecksum;
    } catch (const EInvalidKey&) {
      got = InvalidKey;
    }
    EXPECT_EQ(got, k.want) << k.why;
    if (got == Expands) {
      EXPECT_EQ(dst.Bytes(), k.bytes) << k.why;
    }
  }
}

#ifndef TANDREL_EXPAND_ONLY  // needs an encoder
TEST(ExpandStream, LockedRuns) {
  Bytes data = TextBytes(5000, 2);
  int32_t sum = ByteSum(data.data(), data.size());
  const int32_t key = 0x12345678;
  Bytes locked = Encode(cmLH5, data, key);
  // Stored checksum of a locked run is sum + key; either form passes.
  for (int32_t stored : {static_cast<int32_t>(static_cast<uint32_t>(sum) + key), sum}) {
    TTandrelInstCompress c;
    c.Key = key;
    EXPECT_EQ(ExpandBytes(c, Single("LH5", locked, 5000, stored, 2)), data);
  }
  TTandrelInstCompress wrong;
  wrong.Key = key;
  EXPECT_THROW(ExpandBytes(wrong, Single("LH5", locked, 5000, 77, 2)), EInvalidKey);
  // Lock flag 1: a key is needed, but nothing is undone.
  TTandrelInstCompress one;
  one.Key = key;
  Bytes plain = Encode(cmLH5, data);
  EXPECT_EQ(ExpandBytes(one, Single("LH5", plain, 5000, sum, 1)), data);
}
#endif

TEST(ExpandStream, CustomMethodThroughEvents) {
  TTandrelInstCompress c;
  c.OnRecognize = [](const std::string& id, bool& ok) { ok = id == "ROT"; };
  c.OnExpand = [](base::Stream& dest, base::Stream& source, int32_t srcSize, int32_t dstSize,
                  const std::string& id, int32_t& checksum) {
    EXPECT_EQ(id, "ROT");
    EXPECT_EQ(srcSize, 3);
    EXPECT_EQ(dstSize, 3);
    uint8_t b[3];
    source.ReadBuffer(b, 3);
    for (auto& x : b) x = static_cast<uint8_t>(x + 1);
    dest.WriteBuffer(b, 3);
    checksum = ByteSum(b, 3);
  };
  EXPECT_EQ(ExpandBytes(c, Single("ROT", Str("abc"), 3, 'b' + 'c' + 'd')), Str("bcd"));
}

#ifndef TANDREL_EXPAND_ONLY  // needs an encoder
TEST(ExpandStream, DamagedHeaderSizeAllocatesNothingHuge) {
  TTandrelInstCompress c;
  Bytes data = Encode(cmLH5, TextBytes(2000, 4));
  base::MemoryStream src(Single("LH5", data, 0x7FFFFFF0, 0)), dst;
  EXPECT_THROW(c.ExpandStream(dst, src), EBadChecksum);
  EXPECT_LT(dst.Size(), 1 << 22);
}
#endif

TEST(Driver, PercentOf) {
  EXPECT_EQ(PercentOf(50000, 100000), 50);
  EXPECT_EQ(PercentOf(100000, 200000), 50);
  EXPECT_EQ(PercentOf(1, 150), 0);
  EXPECT_EQ(PercentOf(150000, 150000), 100);
}

TEST(Driver, ProgressOncePerChunk) {
  TTandrelInstCompress c;
  std::vector<int32_t> seen;
  c.OnShowProgress = [&](int32_t& p) { seen.push_back(p); };
  Bytes data(20000, 'x');
  base::MemoryStream src(data), dst;
  int32_t sum = 0;
  RunCodec(c, dst, src, 20000, 20000, cmRLE, sum, true, false);
  EXPECT_EQ(seen, (std::vector<int32_t>{40, 81, 100}));
  EXPECT_EQ(dst.Bytes(), data);
  seen.clear();
  base::MemoryStream none;
  RunCodec(c, dst, none, 0, 0, cmRLE, sum, true, false);
  EXPECT_TRUE(seen.empty());
}

// Counts the writes a stream receives.
class CountingStream : public base::MemoryStream {
public:
  std::vector<int32_t> writes;
  int32_t Write(const void* b, int32_t n) override {
    writes.push_back(n);
    return MemoryStream::Write(b, n);
  }
};

TEST(Driver, OutputInBlocksOf8192) {
  TTandrelInstCompress c;
  Bytes data = RandomBytes(9000, 1);
  Bytes rle;
  for (uint8_t b : data) {
    rle.push_back(b);
    if (b == 0x94) rle.push_back(0);
  }
  base::MemoryStream src(rle);
  CountingStream dst;
  int32_t sum = 0;
  RunCodec(c, dst, src, static_cast<int32_t>(rle.size()), 9000, cmRLE, sum, true, false);
  EXPECT_EQ(dst.writes, (std::vector<int32_t>{8192, 808}));
  EXPECT_EQ(dst.Bytes(), data);
}

}  // namespace
