// Helpers shared by the compression suites: byte vectors in and out of the codecs,
// and a varied corpus.
#pragma once
#include <cstdint>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "base/Streams.h"
#include "setup/compress/CodecDriver.h"
#include "setup/compress/InstCompress.h"

using Bytes = std::vector<uint8_t>;

inline Bytes B(std::initializer_list<int> v) {
  Bytes out;
  for (int x : v) out.push_back(static_cast<uint8_t>(x));
  return out;
}
inline Bytes Str(const std::string& s) { return Bytes(s.begin(), s.end()); }

// Raw codec output of one run, without any header.
inline Bytes Encode(uint8_t method, const Bytes& in, int32_t key = 0, int32_t* sum = nullptr) {
  TTandrelInstCompress c;
  c.Key = key;
  base::MemoryStream src(in), dst;
  int32_t checksum = 0;
  RunCodec(c, dst, src, static_cast<int32_t>(in.size()), 0, method, checksum, false, false);
  if (sum) *sum = checksum;
  return dst.Bytes();
}

inline Bytes HeaderBytes(const TCompressedHeader& h) {
  Bytes b(kCompressedHeaderSize);
  EncodeHeader(h, b.data());
  return b;
}

inline Bytes Single(const char* id, const Bytes& data, int32_t expanded, int32_t checksum,
             int32_t locked = 0, uint8_t type = caSingle) {
  TCompressedHeader h;
  TTandrelInstCompress().InitHeader(h, id, type, expanded);
  h.Checksum = checksum;
  h.Locked = locked;
  Bytes b = HeaderBytes(h);
  b.insert(b.end(), data.begin(), data.end());
  return b;
}

inline Bytes ExpandBytes(TTandrelInstCompress& c, const Bytes& in) {
  base::MemoryStream src(in), dst;
  c.ExpandStream(dst, src);
  return dst.Bytes();
}

// Writes bit fields most significant bit first, as the LH5 block reader takes them.
struct BitsOut {
  Bytes b;
  int n = 0;
  BitsOut& Put(int count, unsigned v) {
    for (int i = count - 1; i >= 0; --i) {
      if (n % 8 == 0) b.push_back(0);
      if ((v >> i) & 1) b.back() |= static_cast<uint8_t>(0x80 >> (n % 8));
      ++n;
    }
    return *this;
  }
};

// The LH5 stream of 100000 bytes 'A', worked out by hand.
inline Bytes HundredThousandLettersLh5() {
  // One literal 'A', 390 matches of 256 bytes and one of 159, all at position 0.
  // Literal/length code: 509 (length 256) -> "0", 'A' -> "10", 412 (length 159) -> "11".
  // Code-length code over its symbols 2 (zero runs), 3 (length 1), 4 (length 2):
  // 2 -> "0", 3 -> "10", 4 -> "11". Position code: the single symbol 0.
  BitsOut e;
  e.Put(16, 392);                                                    // symbols
  e.Put(5, 5).Put(3, 0).Put(3, 0).Put(3, 1).Put(2, 0).Put(3, 2).Put(3, 2);  // code-length code
  e.Put(9, 510);                                                     // literal/length lengths
  e.Put(1, 0).Put(9, 65 - 20).Put(2, 3);                             // 0-64 zero, 'A' length 2
  e.Put(1, 0).Put(9, 346 - 20).Put(2, 3);                            // 66-411 zero, 412 length 2
  e.Put(1, 0).Put(9, 96 - 20).Put(2, 2);                             // 413-508 zero, 509 length 1
  e.Put(4, 0).Put(4, 0);                                             // position code: only 0
  e.Put(2, 2);                                                       // 'A'
  for (int i = 0; i < 390; ++i) e.Put(1, 0);                         // 256 bytes at position 0
  e.Put(2, 3);                                                       // 159 bytes at position 0
  return e.b;
}

struct DecodeResult {
  Bytes out;
  int32_t sum = 0;
  bool damaged = false;
};

inline DecodeResult Decode(uint8_t method, const Bytes& in, int32_t expandedSize,
                           int32_t key = 0, bool combine = false) {
  TTandrelInstCompress c;
  c.Key = key;
  base::MemoryStream src(in), dst;
  DecodeResult r;
  RunCodec(c, dst, src, static_cast<int32_t>(in.size()), expandedSize, method, r.sum, true,
           combine, &r.damaged);
  r.out = dst.Bytes();
  return r;
}

inline Bytes RandomBytes(size_t n, uint32_t seed) {
  std::mt19937 rng(seed);
  Bytes b(n);
  for (auto& x : b) x = static_cast<uint8_t>(rng());
  return b;
}

// English-like text with repeats at every distance.
inline Bytes TextBytes(size_t n, uint32_t seed) {
  static const char* words[] = {"the ", "setup ", "engine ", "installs ", "files ", "into ",
                                "folder ", "and ", "registry ", "keys ", "of ", "a ",
                                "program\r\n", "shortcut ", "uninstall ", "log "};
  std::mt19937 rng(seed);
  Bytes b;
  while (b.size() < n) {
    const char* w = words[rng() % 16];
    b.insert(b.end(), w, w + strlen(w));
  }
  b.resize(n);
  return b;
}

// Looks like code: opcodes, small integers, zero runs, repeated tables.
inline Bytes ExeLikeBytes(size_t n, uint32_t seed) {
  std::mt19937 rng(seed);
  Bytes b;
  while (b.size() < n) {
    switch (rng() % 5) {
      case 0: b.insert(b.end(), {0x55, 0x89, 0xE5, 0x83, 0xEC, static_cast<uint8_t>(rng() % 64)}); break;
      case 1: b.insert(b.end(), 1 + rng() % 40, 0); break;
      case 2: for (int i = 0; i < 4; ++i) b.push_back(static_cast<uint8_t>(rng())); break;
      case 3: b.insert(b.end(), {0x8B, 0x45, 0x08, 0xE8, static_cast<uint8_t>(rng()), 0xFF, 0xFF, 0xFF}); break;
      default: if (b.size() > 300) { size_t from = b.size() - 1 - rng() % 300; size_t len = 3 + rng() % 60;
                 for (size_t i = 0; i < len; ++i) b.push_back(b[from + i]); } break;
    }
  }
  b.resize(n);
  return b;
}

// Symbol k with probability about 2^-(k+1), shuffled so that matches stay short: the
// Huffman codes of the rare symbols grow past 12 bits (LH5's direct table) and, given
// enough data, past 16 (LZH).
inline Bytes SkewedBytes(size_t n, uint32_t seed) {
  std::mt19937 rng(seed);
  Bytes b;
  b.reserve(n);
  while (b.size() < n) {
    unsigned x = rng();
    int sym = 0;
    while ((x & 1) && sym < 40) {
      ++sym;
      x >>= 1;
      if (!x) x = rng();
    }
    b.push_back(static_cast<uint8_t>(sym * 6 + 1));
  }
  return b;
}

// Random bytes, then copies out of them whose lengths 3, 4, 5, ... occur 2^(levels-1),
// 2^(levels-2), ... times: the LH5 length symbols get codes of 1 to levels + 1 bits, so
// with 12 levels some pass the decoder's 12-bit table (checked once by instrumenting
// the table builder: 13 bits for levels 12, pool 1024).
inline Bytes GeometricMatchBytes(int levels, size_t pool, uint32_t seed) {
  std::mt19937 rng(seed);
  Bytes r(pool);
  for (auto& x : r) x = static_cast<uint8_t>(rng());
  std::vector<int> lens;
  for (int k = 0; k < levels; ++k)
    for (int i = 0; i < (1 << (levels - 1 - k)); ++i) lens.push_back(3 + k);
  for (size_t i = lens.size(); i > 1; --i) std::swap(lens[i - 1], lens[rng() % i]);
  Bytes b = r;
  for (int len : lens) {
    size_t at = rng() % (pool - static_cast<size_t>(len));
    b.insert(b.end(), r.begin() + static_cast<std::ptrdiff_t>(at), r.begin() + static_cast<std::ptrdiff_t>(at + len));
  }
  return b;
}

struct CorpusItem {
  std::string name;
  Bytes data;
};

inline std::vector<CorpusItem> Corpus() {
  std::vector<CorpusItem> c;
  c.push_back({"one byte", B({0x41})});
  c.push_back({"two bytes", B({0x00, 0xFF})});
  c.push_back({"spaces", Bytes(100, ' ')});
  c.push_back({"zeros 64k", Bytes(65536, 0)});
  c.push_back({"text 50k", TextBytes(50000, 1)});
  c.push_back({"exe-like 70k", ExeLikeBytes(70000, 2)});
  c.push_back({"random 20k", RandomBytes(20000, 3)});
  for (size_t n : {8191u, 8192u, 8193u, 8447u, 8448u, 8449u, 16383u, 16384u, 16385u, 16640u,
                   24576u, 32768u + 7})
    c.push_back({"text " + std::to_string(n), TextBytes(n, static_cast<uint32_t>(n))});
  for (size_t n : {8191u, 8192u, 8193u, 16384u})
    c.push_back({"random " + std::to_string(n), RandomBytes(n, static_cast<uint32_t>(n))});
  Bytes mixed = TextBytes(30000, 7);
  Bytes r = RandomBytes(10000, 8);
  mixed.insert(mixed.end(), r.begin(), r.end());
  mixed.insert(mixed.end(), 5000, 0xAA);
  Bytes e = ExeLikeBytes(30000, 9);
  mixed.insert(mixed.end(), e.begin(), e.end());
  c.push_back({"mixed 75k", mixed});
  Bytes period;
  for (int i = 0; i < 100000; ++i) period.push_back(static_cast<uint8_t>(i % 251));
  c.push_back({"period 251", period});
  return c;
}
