// LZHUF: LZSS over a 4096-byte ring with adaptive Huffman coding of literals and
// match lengths, and a fixed prefix code for the upper 6 bits of match positions.
#include <cstring>
#include <memory>

#include "setup/compress/Codecs.h"

namespace {

constexpr int N = 4096;           // ring size
constexpr int F = 60;             // longest match, look-ahead
constexpr int THRESHOLD = 2;
constexpr int NCHAR = 256 - THRESHOLD + F;  // 314 symbols
constexpr int T = NCHAR * 2 - 1;  // 627 tree nodes
constexpr int R = T - 1;          // root
constexpr unsigned MAX_FREQ = 0x8000;
constexpr int START = N - F;      // 4036

// Upper-6-bit position code: lengths by value, codes assigned canonically.
struct PositionCode {
  uint8_t len[64];
  uint8_t code[64];     // left-aligned in 8 bits
  uint8_t dcode[256];   // upper value for every 8-bit prefix
  uint8_t dlen[256];
  PositionCode() {
    int v = 0;
    const int counts[] = {1, 3, 8, 12, 24, 16};  // lengths 3..8
    unsigned next = 0;
    for (int l = 3; l <= 8; ++l) {
      for (int i = 0; i < counts[l - 3]; ++i, ++v) {
        len[v] = static_cast<uint8_t>(l);
        code[v] = static_cast<uint8_t>(next << (8 - l));
        for (unsigned fill = 0; fill < (1u << (8 - l)); ++fill) {
          dcode[code[v] | fill] = static_cast<uint8_t>(v);
          dlen[code[v] | fill] = static_cast<uint8_t>(l);
        }
        ++next;
      }
      next <<= 1;
    }
  }
};
const PositionCode kPos;

// The adaptive Huffman model shared by encoder and decoder.
struct Model {
  unsigned freq[T + 1];
  int prnt[T + NCHAR];
  int son[T];

  void Start() {
    for (int i = 0; i < NCHAR; ++i) {
      freq[i] = 1;
      son[i] = i + T;
      prnt[i + T] = i;
    }
    for (int i = 0, j = NCHAR; j <= R; i += 2, ++j) {
      freq[j] = freq[i] + freq[i + 1];
      son[j] = i;
      prnt[i] = prnt[i + 1] = j;
    }
    freq[T] = 0xFFFF;
    prnt[R] = 0;
  }

  void Reconstruct() {
    int j = 0;
    for (int i = 0; i < T; ++i) {
      if (son[i] >= T) {
        freq[j] = (freq[i] + 1) / 2;
        son[j] = son[i];
        ++j;
      }
    }
    for (int i = 0, j2 = NCHAR; j2 < T; i += 2, ++j2) {
      unsigned f = freq[j2] = freq[i] + freq[i + 1];
      int k = j2 - 1;
      while (f < freq[k]) --k;
      ++k;
      std::memmove(&freq[k + 1], &freq[k], (j2 - k) * sizeof(freq[0]));
      freq[k] = f;
      std::memmove(&son[k + 1], &son[k], (j2 - k) * sizeof(son[0]));
      son[k] = i;
    }
    for (int i = 0; i < T; ++i) {
      int k = son[i];
      if (k >= T) {
        prnt[k] = i;
      } else {
        prnt[k] = prnt[k + 1] = i;
      }
    }
  }

  void Update(int c) {
    if (freq[R] == MAX_FREQ) Reconstruct();
    c = prnt[c + T];
    do {
      unsigned k = ++freq[c];
      int l = c + 1;
      if (k > freq[l]) {
        while (k > freq[++l]) {
        }
        --l;
        freq[c] = freq[l];
        freq[l] = k;
        int i = son[c];
        prnt[i] = l;
        if (i < T) prnt[i + 1] = l;
        int j = son[l];
        son[l] = i;
        prnt[j] = c;
        if (j < T) prnt[j + 1] = c;
        son[c] = j;
        c = l;
      }
    } while ((c = prnt[c]) != 0);
  }
};

// MSB-first bit reader over the driver, 16-bit buffer topped up a byte at a time.
// Counts the bits that really came from the input so that a run whose data are used
// up stops instead of decoding zero bits forever.
struct BitReader {
  TCodecDriver& d;
  uint32_t buf = 0;    // valid bits left-aligned in the low 16 bits' frame
  int count = 0;
  int64_t realBits = 0, usedBits = 0;
  explicit BitReader(TCodecDriver& drv) : d(drv) {}

  void Fill() {
    while (count <= 8) {
      uint8_t b = d.ReadByte();
      if (d.endOfInput) b = 0;
      else realBits += 8;
      buf |= static_cast<uint32_t>(b) << (8 - count);
      count += 8;
    }
  }
  int Bit() {
    Fill();
    int bit = (buf >> 15) & 1;
    buf = (buf << 1) & 0xFFFF;
    --count;
    ++usedBits;
    return bit;
  }
  int Byte() {
    Fill();
    int v = (buf >> 8) & 0xFF;
    buf = (buf << 8) & 0xFFFF;
    count -= 8;
    usedBits += 8;
    return v;
  }
  bool Overrun() const { return usedBits > realBits; }
};

struct LzhDecodeState {
  Model m;
  uint8_t ring[N];
};

}  // namespace

void LzhDecode(TCodecDriver& d, int32_t expandedSize) {
  if (expandedSize <= 0) return;
  auto s = std::make_unique<LzhDecodeState>();
  Model& m = s->m;
  m.Start();
  std::memset(s->ring, ' ', START);
  std::memset(s->ring + START, 0, N - START);
  int r = START;
  BitReader in(d);
  int32_t count = 0;
  while (count < expandedSize) {
    int c = m.son[R];
    while (c < T) c = m.son[c + in.Bit()];
    c -= T;
    m.Update(c);
    if (c < 256) {
      if (in.Overrun()) break;
      d.WriteByte(static_cast<uint8_t>(c));
      s->ring[r] = static_cast<uint8_t>(c);
      r = (r + 1) & (N - 1);
      ++count;
    } else {
      int i = in.Byte();
      int upper = kPos.dcode[i];
      int j = kPos.dlen[i] - 2;
      while (j--) i = (i << 1) + in.Bit();
      int position = (upper << 6) | (i & 0x3F);
      if (in.Overrun()) break;
      int from = (r - position - 1) & (N - 1);
      int length = c - 255 + THRESHOLD;
      // Well-formed data copy every match whole; one that runs past the size is damage.
      if (length > expandedSize - count) {
        length = expandedSize - count;
        d.damaged = true;
      }
      for (int k = 0; k < length; ++k) {
        uint8_t b = s->ring[(from + k) & (N - 1)];
        d.WriteByte(b);
        s->ring[r] = b;
        r = (r + 1) & (N - 1);
        ++count;
      }
    }
  }
  if (count < expandedSize) d.damaged = true;
}

#ifndef TANDREL_EXPAND_ONLY
namespace {

constexpr int NIL = N;           // no node
constexpr int ROOTS = 4096;      // hashed tree roots, nodes N + 1 .. N + ROOTS

struct LzhEncodeState {
  Model m;
  uint8_t text[N + F - 1];
  int lson[N + 1], rson[N + ROOTS + 1], dad[N + 1];
  int matchPosition = 0, matchLength = 0;

  // MSB-first bit writer.
  TCodecDriver* d = nullptr;
  uint32_t putBuf = 0;
  int putLen = 0;

  void Put(uint32_t code, int len) {  // len <= 24
    putBuf = (putBuf << len) | (code & ((1u << len) - 1));
    putLen += len;
    while (putLen >= 8) {
      putLen -= 8;
      d->WriteByte(static_cast<uint8_t>(putBuf >> putLen));
    }
    putBuf &= (1u << putLen) - 1;
  }

  static int Root(const uint8_t* key) {
    int x = key[1] ^ key[2];
    return N + 1 + key[0] + 256 * ((x & 15) ^ (x >> 4));
  }

  void InitTree() {
    for (int i = N + 1; i <= N + ROOTS; ++i) rson[i] = NIL;
    for (int i = 0; i < N; ++i) dad[i] = NIL;
  }

  void InsertNode(int r) {
    int cmp = 1;
    const uint8_t* key = &text[r];
    int p = Root(key);
    rson[r] = lson[r] = NIL;
    matchLength = 0;
    for (;;) {
      if (cmp >= 0) {
        if (rson[p] != NIL) {
          p = rson[p];
        } else {
          rson[p] = r;
          dad[r] = p;
          return;
        }
      } else {
        if (lson[p] != NIL) {
          p = lson[p];
        } else {
          lson[p] = r;
          dad[r] = p;
          return;
        }
      }
      int i = 1;
      for (; i < F; ++i)
        if ((cmp = key[i] - text[p + i]) != 0) break;
      if (i > THRESHOLD) {
        int c = ((r - p) & (N - 1)) - 1;
        if (i > matchLength) {
          matchPosition = c;
          if ((matchLength = i) >= F) break;
        } else if (i == matchLength && c < matchPosition) {
          matchPosition = c;
        }
      }
    }
    // A full-length match: r takes p's place.
    dad[r] = dad[p];
    lson[r] = lson[p];
    rson[r] = rson[p];
    dad[lson[p]] = r;
    dad[rson[p]] = r;
    if (rson[dad[p]] == p)
      rson[dad[p]] = r;
    else
      lson[dad[p]] = r;
    dad[p] = NIL;
  }

  void DeleteNode(int p) {
    if (dad[p] == NIL) return;
    int q;
    if (rson[p] == NIL) {
      q = lson[p];
    } else if (lson[p] == NIL) {
      q = rson[p];
    } else {
      q = lson[p];
      if (rson[q] != NIL) {
        do q = rson[q];
        while (rson[q] != NIL);
        rson[dad[q]] = lson[q];
        dad[lson[q]] = dad[q];
        lson[q] = lson[p];
        dad[lson[p]] = q;
      }
      rson[q] = rson[p];
      dad[rson[p]] = q;
    }
    dad[q] = dad[p];
    if (rson[dad[p]] == p)
      rson[dad[p]] = q;
    else
      lson[dad[p]] = q;
    dad[p] = NIL;
  }

  void EncodeChar(int c) {
    // Bits from the leaf up; the one nearest the root goes first.
    uint8_t bits[T];
    int len = 0;
    int k = m.prnt[c + T];
    do {
      bits[len++] = static_cast<uint8_t>(k & 1);
    } while ((k = m.prnt[k]) != R);
    uint32_t acc = 0;
    int n = 0;
    while (len > 0) {
      acc = (acc << 1) | bits[--len];
      if (++n == 16) {
        Put(acc, 16);
        acc = 0;
        n = 0;
      }
    }
    if (n) Put(acc, n);
    m.Update(c);
  }

  void EncodePosition(int c) {
    int i = c >> 6;
    Put(kPos.code[i] >> (8 - kPos.len[i]), kPos.len[i]);
    Put(c & 0x3F, 6);
  }
};

}  // namespace

void LzhEncode(TCodecDriver& d) {
  auto s = std::make_unique<LzhEncodeState>();
  s->d = &d;
  uint8_t* text = s->text;
  std::memset(text, ' ', START);
  std::memset(text + START, 0, F);
  std::memset(text + N, ' ', F - 1);  // mirror of positions 0-58
  int len = 0;
  for (; len < F; ++len) {
    uint8_t c = d.ReadByte();
    if (d.endOfInput) break;
    text[START + len] = c;
  }
  if (len == 0) return;
  s->m.Start();
  s->InitTree();
  int r = START, p = 0;
  for (int i = 1; i <= F; ++i) s->InsertNode(r - i);
  s->InsertNode(r);
  do {
    if (s->matchLength > len) s->matchLength = len;
    if (s->matchLength <= THRESHOLD) {
      s->matchLength = 1;
      s->EncodeChar(text[r]);
    } else {
      s->EncodeChar(255 - THRESHOLD + s->matchLength);
      s->EncodePosition(s->matchPosition);
    }
    int last = s->matchLength;
    int i = 0;
    for (; i < last; ++i) {
      uint8_t c = d.ReadByte();
      if (d.endOfInput) break;
      s->DeleteNode(p);
      text[p] = c;
      if (p < F - 1) text[p + N] = c;
      p = (p + 1) & (N - 1);
      r = (r + 1) & (N - 1);
      s->InsertNode(r);
    }
    while (i++ < last) {
      s->DeleteNode(p);
      p = (p + 1) & (N - 1);
      r = (r + 1) & (N - 1);
      if (--len) s->InsertNode(r);
    }
  } while (len > 0);
  if (s->putLen) s->Put(0, 8 - s->putLen);
}
#endif
