// Runs of reads and writes through the driver, and the LH5 decoder that uses them:
// a run must give and take what the same number of single reads and writes would.
#include <gtest/gtest.h>

#include <memory>

#include "CompressTestUtil.h"

namespace {

std::unique_ptr<TCodecDriver> Driver(base::Stream& src, base::Stream& dst, int32_t count,
                                     int32_t budget, int32_t key, bool combineRead,
                                     bool combineWrite) {
  auto d = std::make_unique<TCodecDriver>();
  d->source = &src;
  d->dest = &dst;
  d->bytesLeft = count;
  d->budget = budget;
  d->combineOnRead = combineRead;
  d->combineOnWrite = combineWrite;
  for (int i = 0; i < 4; ++i) d->keyBytes[i] = static_cast<uint8_t>(static_cast<uint32_t>(key) >> (8 * i));
  return d;
}

struct ReadCase {
  const char* why;
  int32_t size;
  int32_t max;       // largest run asked for
  int32_t key;
  int stopAtChunk;   // the progress handler ends the input at this chunk (0: never)
};

TEST(CodecDriver, ReadRunsGiveWhatSingleReadsGive) {
  const ReadCase cases[] = {
      {"runs larger than a chunk stop at the chunk's end", 20000, 100000, 0, 0},
      {"small runs inside chunks", 20000, 7, 0, 0},
      {"a locked run undoes the key across chunks", 20001, 3000, 0x0A0B0C0D, 0},
      {"a locked run in odd runs keeps the key position", 17000, 5, 0x01020304, 0},
      {"no input at all", 0, 100, 0, 0},
      {"a handler ending the input at the second chunk", 30000, 5000, 0x11223344, 2},
      {"a handler ending the input at the first chunk", 9000, 8192, 0, 1},
  };
  for (const auto& c : cases) {
    Bytes data = RandomBytes(static_cast<size_t>(c.size), 3);
    base::MemoryStream srcA(data), srcB(data), dstA, dstB;
    auto a = Driver(srcA, dstA, c.size, 0, c.key, c.key != 0, false);
    auto b = Driver(srcB, dstB, c.size, 0, c.key, c.key != 0, false);
    std::vector<int32_t> doneA, doneB;
    auto handler = [&c](std::vector<int32_t>& log) {
      return [&c, &log](int32_t& done) {
        log.push_back(done);
        if (static_cast<int>(log.size()) == c.stopAtChunk) done = -1;
      };
    };
    a->progress = handler(doneA);
    b->progress = handler(doneB);
    Bytes run(static_cast<size_t>(c.max));
    int ends = 0;
    for (int call = 0; call < 100000 && ends < 3; ++call) {
      int32_t n = b->ReadBlock(run.data(), c.max);
      if (b->endOfInput) {
        ++ends;
        EXPECT_EQ(n, 0) << c.why;
        a->ReadByte();
        ASSERT_TRUE(a->endOfInput) << c.why << " at call " << call;
        continue;
      }
      ASSERT_GT(n, 0) << c.why;
      for (int32_t i = 0; i < n; ++i) {
        uint8_t x = a->ReadByte();
        ASSERT_FALSE(a->endOfInput) << c.why << " at call " << call;
        ASSERT_EQ(x, run[static_cast<size_t>(i)]) << c.why << " at call " << call;
      }
    }
    EXPECT_EQ(a->readSum, b->readSum) << c.why;
    EXPECT_EQ(a->keyPos, b->keyPos) << c.why;
    EXPECT_EQ(a->bytesLeft, b->bytesLeft) << c.why;
    EXPECT_EQ(doneA, doneB) << c.why;
  }
}

struct WriteCase {
  const char* why;
  int32_t budget;
  int32_t key;
  std::vector<int32_t> runs;
};

TEST(CodecDriver, WriteRunsStopAtTheSameByteAsSingleWrites) {
  const WriteCase cases[] = {
      {"the budget ends inside a run", 5, 0, {3, 3}},
      {"the budget ends where the buffer is full: nothing more is written", 8192, 0, {8192, 1}},
      {"a run crossing the full buffer writes it first", 8193, 0, {8193}},
      {"the budget ends inside a run after two blocks", 20000, 0x55AA33CC, {5000, 10000, 6000}},
      {"no budget at all", 0, 0, {1}},
      {"locked runs of odd sizes", INT32_MAX, 0x01020304, {8191, 2, 16384, 1, 3}},
      {"empty runs take nothing", 3, 0, {0, 3, 0}},
  };
  for (const auto& c : cases) {
    base::MemoryStream src, dstA, dstB;
    auto a = Driver(src, dstA, 0, c.budget, c.key, false, c.key != 0);
    auto b = Driver(src, dstB, 0, c.budget, c.key, false, c.key != 0);
    int32_t total = 0;
    for (int32_t n : c.runs) total += n;
    Bytes data = RandomBytes(static_cast<size_t>(total), 5);
    size_t thrownA = SIZE_MAX, thrownB = SIZE_MAX;
    size_t at = 0;
    for (size_t r = 0; r < c.runs.size() && thrownB == SIZE_MAX; ++r) {
      try {
        b->WriteBlock(data.data() + at, c.runs[r]);
      } catch (const EUnableToCompress&) {
        thrownB = r;
      }
      at += static_cast<size_t>(c.runs[r]);
    }
    at = 0;
    for (size_t r = 0; r < c.runs.size() && thrownA == SIZE_MAX; ++r) {
      try {
        for (int32_t i = 0; i < c.runs[r]; ++i) a->WriteByte(data[at + static_cast<size_t>(i)]);
      } catch (const EUnableToCompress&) {
        thrownA = r;
      }
      at += static_cast<size_t>(c.runs[r]);
    }
    EXPECT_EQ(thrownA, thrownB) << c.why;
    EXPECT_EQ(dstA.Bytes(), dstB.Bytes()) << c.why;
    ASSERT_EQ(a->outPos, b->outPos) << c.why;
    EXPECT_EQ(Bytes(a->outBuf, a->outBuf + a->outPos), Bytes(b->outBuf, b->outBuf + b->outPos)) << c.why;
    EXPECT_EQ(a->writeSum, b->writeSum) << c.why;
    EXPECT_EQ(a->bytesWritten, b->bytesWritten) << c.why;
    EXPECT_EQ(a->budget, b->budget) << c.why;
    EXPECT_EQ(a->keyPos, b->keyPos) << c.why;
  }
}

Bytes Repeat(const std::string& unit, size_t n) {
  Bytes b;
  while (b.size() < n) b.insert(b.end(), unit.begin(), unit.end());
  b.resize(n);
  return b;
}

struct Lh5RunCase {
  const char* why;
  Bytes data;
  int32_t key;
};

// The decoder keeps 64 KB of output after its window before the driver takes them.
TEST(Lh5Decode, OutputAcrossItsBufferedChunks) {
  const Lh5RunCase cases[] = {
      {"a 256-byte match crossing the first chunk's end", Bytes(65536 + 300, 'A'), 0},
      {"matches one byte back across two chunks", Bytes(2 * 65536 + 8192 + 5, 0), 0},
      {"matches two to seven bytes back", Repeat("ab", 70001), 0},
      {"seven bytes back", Repeat("abcdefg", 140003), 0},
      {"text over several chunks", TextBytes(200000, 9), 0},
      {"program-like bytes over several chunks", ExeLikeBytes(300000, 4), 0},
      {"a locked run over several chunks", TextBytes(150000, 2), 0x7F00FF01},
  };
  for (const auto& c : cases) {
    Bytes packed = Encode(cmLH5, c.data, c.key);
    DecodeResult r = Decode(cmLH5, packed, static_cast<int32_t>(c.data.size()), c.key, c.key != 0);
    EXPECT_FALSE(r.damaged) << c.why;
    EXPECT_TRUE(r.out == c.data) << c.why;
    EXPECT_EQ(r.sum, ByteSum(c.data.data(), c.data.size())) << c.why;
  }
}

TEST(Lh5Decode, BadTableAfterDataKeepsTheBlocksAlreadyWritten) {
  // 100000 bytes 'A', then a block head whose code-length count (31) is out of range,
  // with more input after it: the failure comes while the driver still has input.
  Bytes in = HundredThousandLettersLh5();
  in.insert(in.end(), 9000, 0xFF);
  TTandrelInstCompress c;
  base::MemoryStream src(in), dst;
  int32_t sum = 0;
  EXPECT_THROW(RunCodec(c, dst, src, static_cast<int32_t>(in.size()), 200000, cmLH5, sum, true, false),
               ELZHBadDecodeTable);
  // Writing byte by byte, the driver has passed on every full block of the 100000 bytes.
  EXPECT_EQ(dst.Bytes(), Bytes(12 * 8192, 'A'));
}

}  // namespace
