// The LHA method -lh5-: LZ77 over an 8192-byte window, static Huffman blocks.
#include <cstring>
#include <memory>

#include "setup/compress/Codecs.h"

namespace {

constexpr int DICBIT = 13;
constexpr int DICSIZ = 1 << DICBIT;  // 8192
constexpr int MAXMATCH = 256;
constexpr int THRESHOLD = 3;
constexpr int NC = 255 + MAXMATCH + 2 - THRESHOLD;  // 510 literal/length symbols
constexpr int CBIT = 9;
constexpr int NP = DICBIT + 1;  // 14 position symbols
constexpr int PBIT = 4;
constexpr int NT = 16 + 3;      // 19 code-length symbols
constexpr int TBIT = 5;
constexpr int NPT = NT;         // larger of NT and NP

// ---------------------------------------------------------------------------------
// Decoding

constexpr int kOutChunk = 1 << 16;  // decoded bytes kept before they go to the driver

struct Lh5DecodeState;

inline uint64_t LoadBig64(const uint8_t* p) {
  uint64_t v;
  std::memcpy(&v, p, 8);
#if !defined(__BYTE_ORDER__) || __BYTE_ORDER__ != __ORDER_BIG_ENDIAN__
  v = __builtin_bswap64(v);
#endif
  return v;
}

// MSB-first reader with a 64-bit look-ahead, topped up whenever 56 bits or fewer are
// left. The input comes from the driver a chunk at a time and is taken byte by byte in
// the same order as single reads would take it, so the driver reads its next chunk at
// the same point. Once the input has ended no more bytes are fetched and missing bits
// read as 0; pad counts those bits so that the decoder notices data that are used up.
struct Lh5Reader {
  TCodecDriver& d;
  Lh5DecodeState& s;
  uint64_t buf = 0;  // valid bits left-aligned at bit 63
  int count = 0;
  int pad = 0;
  bool ended = false;
  const uint8_t* ip = nullptr;
  const uint8_t* ie = nullptr;
  Lh5Reader(TCodecDriver& drv, Lh5DecodeState& st) : d(drv), s(st) {}

  void NextChunk();
  void SlowFill();

  inline void Fill() {
    if (ie - ip >= 8) {
      // Bits past the bytes taken are those of the next byte, which a later top-up
      // ORs in again unchanged.
      buf |= LoadBig64(ip) >> count;
      int k = (64 - count) >> 3;
      ip += k;
      count += 8 * k;
    } else {
      SlowFill();
    }
  }
  inline unsigned Peek16() const { return static_cast<unsigned>(buf >> 48); }
  inline void Skip(int n) {
    buf <<= n;
    count -= n;
    if (count <= 56) Fill();
  }
  inline unsigned Get(int n) {
    if (n == 0) return 0;
    unsigned v = static_cast<unsigned>(buf >> (64 - n));
    Skip(n);
    return v;
  }
  bool Overrun() const { return count < pad; }
};

struct Lh5DecodeState {
  uint8_t c_len[NC];
  uint8_t pt_len[NPT];
  uint16_t c_table[4096];
  // c_table with the code's length in the top bits, for codes that end in the table.
  uint16_t cl_table[4096];
  uint16_t pt_table[256];
  uint16_t left[2 * NC - 1], right[2 * NC - 1];
  uint16_t pleft[2 * NPT - 1], pright[2 * NPT - 1];
  uint8_t in[kCodecChunk];
  // The window (spaces at the start) and the bytes decoded after it; a match may run
  // up to MAXMATCH past the chunk and a copy writes up to 8 bytes beyond its end.
  uint8_t out[DICSIZ + kOutChunk + MAXMATCH + 16];
  uint8_t* op = nullptr;      // next byte to decode
  uint8_t* handed = nullptr;  // bytes before it are with the driver

  // Decoded bytes go to the driver before it reads on, so that whatever it writes and
  // reports happens at the same points as with byte-by-byte writes.
  void Hand(TCodecDriver& d) {
    uint8_t* from = handed;
    handed = op;
    if (op > from) d.WriteBlock(from, static_cast<int32_t>(op - from));
  }
};

void Lh5Reader::NextChunk() {
  s.Hand(d);
  int32_t n = d.ReadBlock(s.in, kCodecChunk);
  if (d.endOfInput) {
    ended = true;
    ip = ie = s.in;
  } else {
    ip = s.in;
    ie = s.in + n;
  }
}

void Lh5Reader::SlowFill() {
  while (count <= 56) {
    if (ip == ie && !ended) NextChunk();
    if (ip < ie) buf |= static_cast<uint64_t>(*ip++) << (56 - count);
    else pad += 8;
    count += 8;
  }
}

[[noreturn]] void BadTable() { throw ELZHBadDecodeTable(kMsgBadDecodeTable); }

// Canonical decode table; codes longer than tablebits hang in a left/right tree.
// The code lengths must fill the code space exactly.
void MakeTable(int nchar, const uint8_t* bitlen, int tablebits, uint16_t* table,
               uint16_t* left, uint16_t* right) {
  unsigned count[17] = {0}, weight[17], start[18];
  for (int i = 0; i < nchar; ++i) {
    if (bitlen[i] > 16) BadTable();
    count[bitlen[i]]++;
  }
  start[1] = 0;
  for (int i = 1; i <= 16; ++i) start[i + 1] = start[i] + (count[i] << (16 - i));
  if (start[17] != (1u << 16)) BadTable();

  int jutbits = 16 - tablebits;
  int i = 1;
  for (; i <= tablebits; ++i) {
    start[i] >>= jutbits;
    weight[i] = 1u << (tablebits - i);
  }
  for (; i <= 16; ++i) weight[i] = 1u << (16 - i);

  unsigned k = start[tablebits + 1] >> jutbits;
  for (unsigned t = k; t < (1u << tablebits); ++t) table[t] = 0;

  unsigned avail = nchar;
  unsigned mask = 1u << (15 - tablebits);
  for (int ch = 0; ch < nchar; ++ch) {
    int len = bitlen[ch];
    if (len == 0) continue;
    unsigned nextcode = start[len] + weight[len];
    if (len <= tablebits) {
      for (unsigned t = start[len]; t < nextcode; ++t) table[t] = static_cast<uint16_t>(ch);
    } else {
      unsigned code = start[len];
      uint16_t* p = &table[code >> jutbits];
      for (int n = len - tablebits; n != 0; --n) {
        if (*p == 0) {
          if (avail >= static_cast<unsigned>(2 * nchar - 1)) BadTable();
          right[avail] = left[avail] = 0;
          *p = static_cast<uint16_t>(avail++);
        }
        p = (code & mask) ? &right[*p] : &left[*p];
        code <<= 1;
      }
      *p = static_cast<uint16_t>(ch);
    }
    start[len] = nextcode;
  }
}

void ReadPtLen(Lh5Reader& in, Lh5DecodeState& s, int nn, int nbit, int iSpecial) {
  int n = static_cast<int>(in.Get(nbit));
  if (n == 0) {
    unsigned c = in.Get(nbit);
    if (c >= static_cast<unsigned>(nn)) BadTable();
    for (int i = 0; i < nn; ++i) s.pt_len[i] = 0;
    for (int i = 0; i < 256; ++i) s.pt_table[i] = static_cast<uint16_t>(c);
    return;
  }
  if (n > nn) BadTable();
  int i = 0;
  while (i < n) {
    unsigned bits = in.Peek16();
    int c = static_cast<int>(bits >> 13);
    if (c == 7) {
      unsigned m = 1u << 12;
      while ((bits & m) && m) {
        m >>= 1;
        ++c;
      }
      if (c > 16) BadTable();
    }
    in.Skip(c < 7 ? 3 : c - 3);
    s.pt_len[i++] = static_cast<uint8_t>(c);
    if (i == iSpecial) {
      int zeros = static_cast<int>(in.Get(2));
      if (i + zeros > nn) BadTable();
      while (--zeros >= 0) s.pt_len[i++] = 0;
    }
  }
  while (i < nn) s.pt_len[i++] = 0;
  MakeTable(nn, s.pt_len, 8, s.pt_table, s.pleft, s.pright);
}

// A code longer than its table's bits goes on through the tree, one bit per step from
// mask down; -1 when the tree ends before a symbol.
inline int WalkLongCode(int node, unsigned bits, unsigned mask, int limit, const uint16_t* left,
                        const uint16_t* right) {
  do {
    node = (bits & mask) ? right[node] : left[node];
    mask >>= 1;
  } while (node >= limit && mask);
  return node >= limit ? -1 : node;
}

inline int DecodePt(Lh5Reader& in, const Lh5DecodeState& s, int limit) {
  unsigned bits = in.Peek16();
  int j = s.pt_table[bits >> 8];
  if (j >= limit && (j = WalkLongCode(j, bits, 1u << 7, limit, s.pleft, s.pright)) < 0) BadTable();
  in.Skip(s.pt_len[j]);
  return j;
}

constexpr int kLenShift = 11;  // symbols and tree nodes stay below 2 * NC

void LengthTable(Lh5DecodeState& s) {
  for (int i = 0; i < 4096; ++i) {
    unsigned c = s.c_table[i];
    s.cl_table[i] = static_cast<uint16_t>(c < NC ? c | s.c_len[c] << kLenShift : c);
  }
}

void ReadCLen(Lh5Reader& in, Lh5DecodeState& s) {
  int n = static_cast<int>(in.Get(CBIT));
  if (n == 0) {
    unsigned c = in.Get(CBIT);
    if (c >= static_cast<unsigned>(NC)) BadTable();
    for (int i = 0; i < NC; ++i) s.c_len[i] = 0;
    for (int i = 0; i < 4096; ++i) s.c_table[i] = static_cast<uint16_t>(c);
    LengthTable(s);
    return;
  }
  if (n > NC) BadTable();
  int i = 0;
  while (i < n) {
    int c = DecodePt(in, s, NT);
    if (c <= 2) {
      int run;
      if (c == 0) run = 1;
      else if (c == 1) run = static_cast<int>(in.Get(4)) + 3;
      else run = static_cast<int>(in.Get(CBIT)) + 20;
      if (i + run > NC) BadTable();
      while (--run >= 0) s.c_len[i++] = 0;
    } else {
      s.c_len[i++] = static_cast<uint8_t>(c - 2);
    }
  }
  while (i < NC) s.c_len[i++] = 0;
  MakeTable(NC, s.c_len, 12, s.c_table, s.left, s.right);
  LengthTable(s);
}

// Copies a match of len bytes from dist bytes back; may write 16 bytes past the end.
inline void CopyMatch(uint8_t* op, unsigned dist, int len) {
  const uint8_t* from = op - dist;
  if (dist >= 16) {
    for (int k = 0; k < len; k += 16) std::memcpy(op + k, from + k, 16);
  } else if (dist >= 8) {
    for (int k = 0; k < len; k += 8) std::memcpy(op + k, from + k, 8);
  } else if (dist == 1) {
    std::memset(op, *from, static_cast<size_t>(len));
  } else {
    for (int k = 0; k < len; ++k) op[k] = from[k];
  }
}

void DecodeRun(TCodecDriver& d, Lh5DecodeState& s, Lh5Reader& in, int32_t expandedSize) {
  uint8_t* const chunkEnd = s.out + DICSIZ + kOutChunk;
  // The reader's state lives in locals here, so that it stays in registers; it goes
  // back to the reader around the calls that use it.
  uint64_t buf = in.buf;
  int count = in.count;
  const uint8_t* ip = in.ip;
  const uint8_t* ie = in.ie;
  uint8_t* op = s.op;
  // Macros rather than lambdas: the compiler then keeps the bit buffer in a register.
#define LH5_SAVE() (in.buf = buf, in.count = count, in.ip = ip, in.ie = ie, s.op = op)
#define LH5_LOAD() (buf = in.buf, count = in.count, ip = in.ip, ie = in.ie)
#define LH5_SKIP(nbits)                                        \
  do {                                                         \
    int n_ = (nbits);                                          \
    buf <<= n_;                                                \
    count -= n_;                                               \
    if (count <= 56) {                                         \
      if (ie - ip >= 8) {                                      \
        buf |= LoadBig64(ip) >> count;                         \
        int k_ = (64 - count) >> 3;                            \
        ip += k_;                                              \
        count += 8 * k_;                                       \
      } else {                                                 \
        LH5_SAVE();                                            \
        in.SlowFill();                                         \
        LH5_LOAD();                                            \
      }                                                        \
    }                                                          \
  } while (0)
#define LH5_OVERRUN() (count < in.pad)

  int32_t left = expandedSize;
  unsigned blocksize = 0;
  while (left > 0) {
    if (blocksize == 0) {
      LH5_SAVE();
      blocksize = in.Get(16);
      ReadPtLen(in, s, NT, TBIT, 3);
      ReadCLen(in, s);
      ReadPtLen(in, s, NP, PBIT, -1);
      LH5_LOAD();
      // A block of no symbols, or a head made of bits past the data, is damage.
      if (blocksize == 0 || LH5_OVERRUN()) break;
    }
    --blocksize;
    unsigned bits = static_cast<unsigned>(buf >> 48);
    unsigned e = s.cl_table[bits >> 4];
    int c = static_cast<int>(e & ((1u << kLenShift) - 1));
    int clen = static_cast<int>(e >> kLenShift);
    if (c >= NC) {
      if ((c = WalkLongCode(c, bits, 1u << 3, NC, s.left, s.right)) < 0) {
        LH5_SAVE();
        BadTable();
      }
      clen = s.c_len[c];
    }
    LH5_SKIP(clen);
    if (c < 256) {
      if (LH5_OVERRUN()) break;
      *op++ = static_cast<uint8_t>(c);
      --left;
    } else {
      int length = c - (256 - THRESHOLD);
      bits = static_cast<unsigned>(buf >> 48);
      int j = s.pt_table[bits >> 8];
      if (j >= NP && (j = WalkLongCode(j, bits, 1u << 7, NP, s.pleft, s.pright)) < 0) {
        LH5_SAVE();
        BadTable();
      }
      LH5_SKIP(s.pt_len[j]);
      unsigned position = 0;
      if (j != 0) {
        position = 1u << (j - 1);
        if (j > 1) {
          position += static_cast<unsigned>(buf >> (65 - j));
          LH5_SKIP(j - 1);
        }
      }
      if (LH5_OVERRUN()) break;
      if (length > left) {
        // Well-formed data end exactly at the expanded size.
        length = left;
        d.damaged = true;
      }
      CopyMatch(op, position + 1, length);
      op += length;
      left -= length;
    }
    if (op >= chunkEnd) {
      s.op = op;
      s.Hand(d);
      std::memmove(s.out, op - DICSIZ, DICSIZ);
      op = s.op = s.handed = s.out + DICSIZ;
    }
  }
  LH5_SAVE();
  if (left > 0) d.damaged = true;
#undef LH5_SAVE
#undef LH5_LOAD
#undef LH5_SKIP
#undef LH5_OVERRUN
}

}  // namespace

void Lh5Decode(TCodecDriver& d, int32_t expandedSize) {
  if (expandedSize <= 0) return;
  auto s = std::make_unique<Lh5DecodeState>();
  std::memset(s->out, ' ', DICSIZ);
  s->op = s->handed = s->out + DICSIZ;
  Lh5Reader in(d, *s);
  try {
    in.Fill();
    DecodeRun(d, *s, in, expandedSize);
  } catch (...) {
    // What was decoded before the failure reaches the driver as it would byte by byte.
    s->Hand(d);
    throw;
  }
  s->Hand(d);
}

// ---------------------------------------------------------------------------------
// Encoding

#ifndef TANDREL_EXPAND_ONLY
namespace {

constexpr int NIL = 0;
constexpr uint16_t PERC_FLAG = 0x8000;
// Chain heads for (node, byte) follow the node links. Each pair has at most one child,
// so the hash only decides how long the walk to it is, never which child is found:
// a table twice the node count keeps the chains short.
constexpr int HASH_BITS = 15;
constexpr int MAX_HASH_VAL = DICSIZ * 2 + (1 << HASH_BITS) - 1;
constexpr int TEXTSIZ = DICSIZ * 2 + MAXMATCH;
constexpr int kBlockBuf = 16 * 1024;

// Index of the lowest differing byte of two words loaded from memory.
inline int DifferingByte(uint64_t x) {
#if defined(__BYTE_ORDER__) && __BYTE_ORDER__ == __ORDER_BIG_ENDIAN__
  return __builtin_clzll(x) / 8;
#else
  return __builtin_ctzll(x) / 8;
#endif
}

struct Lh5EncodeState {
  TCodecDriver* d = nullptr;

  // Sliding dictionary and its trie.
  uint8_t text[TEXTSIZ];
  uint8_t level[DICSIZ + 256];
  uint8_t childcount[DICSIZ + 256];
  uint16_t position[DICSIZ + 256];
  // A child lookup walks next links and tests parents: kept side by side, one step of
  // the walk touches one place in memory.
  struct Link {
    uint16_t next, parent;  // parent only for nodes below DICSIZ * 2
  };
  Link link[MAX_HASH_VAL + 1];
  uint16_t prev[DICSIZ * 2];
  int pos = 0, matchpos = 0, avail = 0;
  int remainder = 0, matchlen = 0;

  // Block building.
  uint8_t buf[kBlockBuf];
  unsigned outputPos = 0, outputMask = 0, cpos = 0;
  unsigned c_freq[2 * NC - 1], p_freq[2 * NP - 1], t_freq[2 * NT - 1];
  uint8_t c_len[NC], pt_len[NPT];
  uint16_t c_code[NC], pt_code[NPT];

  // Tree making.
  uint16_t left[2 * NC - 1], right[2 * NC - 1];
  int heap[NC + 1];
  int heapsize = 0;
  int n = 0;
  unsigned* freq = nullptr;
  uint8_t* len = nullptr;
  uint16_t* sortptr = nullptr;
  unsigned len_cnt[17];

  // Bit output. Bytes gather here and go to the driver in runs: before it reads input,
  // at the end, and at the byte that would exceed its budget, so that it raises
  // EUnableToCompress at the same byte as with single writes.
  uint32_t bitbuf = 0;
  int bitcount = 0;
  uint8_t out[kCodecChunk];
  int outCount = 0, outLimit = 0;

  void HandOut() {
    int n = outCount;
    outCount = 0;
    if (n > 0) d->WriteBlock(out, n);
    outLimit = d->budget >= kCodecChunk ? kCodecChunk : (d->budget < 0 ? 0 : d->budget) + 1;
  }

  void PutBits(int nbits, unsigned x) {
    if (nbits == 0) return;
    bitbuf = (bitbuf << nbits) | (x & ((1u << nbits) - 1));
    bitcount += nbits;
    while (bitcount >= 8) {
      bitcount -= 8;
      out[outCount++] = static_cast<uint8_t>(bitbuf >> bitcount);
      if (outCount >= outLimit) HandOut();
    }
    bitbuf &= (1u << bitcount) - 1;
  }

  // --- match finder
  static int Hash(int p, int c) {
    uint32_t h = (static_cast<uint32_t>(p) << 8 | static_cast<uint32_t>(c)) * 0x9E3779B1u;
    return DICSIZ * 2 + static_cast<int>(h >> (32 - HASH_BITS));
  }

  void InitSlide() {
    for (int i = DICSIZ; i <= DICSIZ + 255; ++i) {
      level[i] = 1;
      position[i] = NIL;
    }
    for (int i = DICSIZ; i < DICSIZ * 2; ++i) link[i].parent = NIL;
    avail = 1;
    for (int i = 1; i < DICSIZ - 1; ++i) link[i].next = static_cast<uint16_t>(i + 1);
    link[DICSIZ - 1].next = NIL;
    for (int i = DICSIZ * 2; i <= MAX_HASH_VAL; ++i) link[i].next = NIL;
  }

  int Child(int q, int c) {
    int r = link[Hash(q, c)].next;
    link[NIL].parent = static_cast<uint16_t>(q);
    while (link[r].parent != q) r = link[r].next;
    return r;
  }

  void MakeChild(int q, int c, int r) {
    int h = Hash(q, c);
    int t = link[h].next;
    link[h].next = static_cast<uint16_t>(r);
    link[r].next = static_cast<uint16_t>(t);
    prev[t] = static_cast<uint16_t>(r);
    prev[r] = static_cast<uint16_t>(h);
    link[r].parent = static_cast<uint16_t>(q);
    childcount[q]++;
  }

  void Split(int old) {
    int nw = avail;
    avail = link[nw].next;
    childcount[nw] = 0;
    int t = prev[old];
    prev[nw] = static_cast<uint16_t>(t);
    link[t].next = static_cast<uint16_t>(nw);
    t = link[old].next;
    link[nw].next = static_cast<uint16_t>(t);
    prev[t] = static_cast<uint16_t>(nw);
    link[nw].parent = link[old].parent;
    level[nw] = static_cast<uint8_t>(matchlen);
    position[nw] = static_cast<uint16_t>(pos);
    MakeChild(nw, text[matchpos + matchlen], old);
    MakeChild(nw, text[pos + matchlen], pos);
  }

  void InsertNode() {
    int q, r, j, t;
    if (matchlen >= 4) {
      matchlen--;
      r = (matchpos + 1) | DICSIZ;
      while ((q = link[r].parent) == NIL) r = link[r].next;
      while (level[q] >= matchlen) {
        r = q;
        q = link[q].parent;
      }
      t = q;
      while (position[t] & PERC_FLAG) {
        position[t] = static_cast<uint16_t>(pos);
        t = link[t].parent;
      }
      if (t < DICSIZ) position[t] = static_cast<uint16_t>(pos | PERC_FLAG);
    } else {
      q = text[pos] + DICSIZ;
      int c = text[pos + 1];
      if ((r = Child(q, c)) == NIL) {
        MakeChild(q, c, pos);
        matchlen = 1;
        return;
      }
      matchlen = 2;
    }
    for (;;) {
      if (r >= DICSIZ) {
        j = MAXMATCH;
        matchpos = r;
      } else {
        j = level[r];
        matchpos = position[r] & ~PERC_FLAG;
      }
      if (matchpos >= pos) matchpos -= DICSIZ;
      const uint8_t* t1 = &text[pos + matchlen];
      const uint8_t* t2 = &text[matchpos + matchlen];
      // Eight bytes at a time while they fit below the limit; the first differing
      // byte is the same one the byte loop would find.
      while (j - matchlen >= 8) {
        uint64_t a, b;
        std::memcpy(&a, t1, 8);
        std::memcpy(&b, t2, 8);
        if (uint64_t x = a ^ b) {
          matchlen += DifferingByte(x);
          Split(r);
          return;
        }
        matchlen += 8;
        t1 += 8;
        t2 += 8;
      }
      while (matchlen < j) {
        if (*t1 != *t2) {
          Split(r);
          return;
        }
        matchlen++;
        t1++;
        t2++;
      }
      if (matchlen >= MAXMATCH) break;
      position[r] = static_cast<uint16_t>(pos);
      q = r;
      if ((r = Child(q, *t1)) == NIL) {
        MakeChild(q, *t1, pos);
        return;
      }
      matchlen++;
    }
    t = prev[r];
    prev[pos] = static_cast<uint16_t>(t);
    link[t].next = static_cast<uint16_t>(pos);
    t = link[r].next;
    link[pos].next = static_cast<uint16_t>(t);
    prev[t] = static_cast<uint16_t>(pos);
    link[pos].parent = static_cast<uint16_t>(q);
    link[r].parent = NIL;
    link[r].next = static_cast<uint16_t>(pos);  // names the leaf that replaced r
  }

  void DeleteNode() {
    if (link[pos].parent == NIL) return;
    int r = prev[pos], s = link[pos].next;
    link[r].next = static_cast<uint16_t>(s);
    prev[s] = static_cast<uint16_t>(r);
    r = link[pos].parent;
    link[pos].parent = NIL;
    if (r >= DICSIZ || --childcount[r] > 1) return;
    int t = position[r] & ~PERC_FLAG;
    if (t >= pos) t -= DICSIZ;
    s = t;
    int q = link[r].parent;
    int u;
    while ((u = position[q]) & PERC_FLAG) {
      u &= ~PERC_FLAG;
      if (u >= pos) u -= DICSIZ;
      if (u > s) s = u;
      position[q] = static_cast<uint16_t>(s | DICSIZ);
      q = link[q].parent;
    }
    if (q < DICSIZ) {
      if (u >= pos) u -= DICSIZ;
      if (u > s) s = u;
      position[q] = static_cast<uint16_t>(s | DICSIZ | PERC_FLAG);
    }
    s = Child(r, text[t + level[r]]);
    t = prev[s];
    u = link[s].next;
    link[t].next = static_cast<uint16_t>(u);
    prev[u] = static_cast<uint16_t>(t);
    t = prev[r];
    link[t].next = static_cast<uint16_t>(s);
    prev[s] = static_cast<uint16_t>(t);
    t = link[r].next;
    prev[t] = static_cast<uint16_t>(s);
    link[s].next = static_cast<uint16_t>(t);
    link[s].parent = link[r].parent;
    link[r].parent = NIL;
    link[r].next = static_cast<uint16_t>(avail);
    avail = r;
  }

  int ReadInput(uint8_t* dst, int count) {
    HandOut();
    int got = 0;
    while (got < count) {
      int32_t n = d->ReadBlock(dst + got, count - got);
      if (d->endOfInput || n <= 0) break;
      got += n;
    }
    return got;
  }

  void GetNextMatch() {
    remainder--;
    if (++pos == DICSIZ * 2) {
      std::memmove(&text[0], &text[DICSIZ], DICSIZ + MAXMATCH);
      remainder += ReadInput(&text[DICSIZ + MAXMATCH], DICSIZ);
      pos = DICSIZ;
    }
    // The next position's first child lookup starts at this chain head whatever the
    // trie holds then: fetching it now hides one trip to memory.
    __builtin_prefetch(&link[Hash(text[pos + 1] + DICSIZ, text[pos + 2])]);
    DeleteNode();
    InsertNode();
  }

  // --- Huffman trees
  void DownHeap(int i) {
    int k = heap[i];
    int j;
    while ((j = 2 * i) <= heapsize) {
      if (j < heapsize && freq[heap[j]] > freq[heap[j + 1]]) j++;
      if (freq[k] <= freq[heap[j]]) break;
      heap[i] = heap[j];
      i = j;
    }
    heap[i] = k;
  }

  void CountLen(int i, int depth) {
    if (i < n) {
      len_cnt[depth < 16 ? depth : 16]++;
    } else {
      CountLen(left[i], depth + 1);
      CountLen(right[i], depth + 1);
    }
  }

  void MakeLen(int root) {
    for (int i = 0; i <= 16; ++i) len_cnt[i] = 0;
    CountLen(root, 0);
    unsigned cum = 0;
    for (int i = 16; i > 0; --i) cum += len_cnt[i] << (16 - i);
    while (cum != (1u << 16)) {
      len_cnt[16]--;
      for (int i = 15; i > 0; --i) {
        if (len_cnt[i] != 0) {
          len_cnt[i]--;
          len_cnt[i + 1] += 2;
          break;
        }
      }
      cum--;
    }
    for (int i = 16; i > 0; --i) {
      int k = static_cast<int>(len_cnt[i]);
      while (--k >= 0) len[*sortptr++] = static_cast<uint8_t>(i);
    }
  }

  void MakeCode(int nn, const uint8_t* lens, uint16_t* code) {
    unsigned start[18];
    start[0] = 0;
    start[1] = 0;
    for (int i = 1; i <= 16; ++i) start[i + 1] = (start[i] + len_cnt[i]) << 1;
    for (int i = 0; i < nn; ++i) code[i] = static_cast<uint16_t>(start[lens[i]]++);
  }

  int MakeTree(int nparm, unsigned* freqparm, uint8_t* lenparm, uint16_t* codeparm) {
    n = nparm;
    freq = freqparm;
    len = lenparm;
    int avl = n;
    heapsize = 0;
    heap[1] = 0;
    for (int i = 0; i < n; ++i) {
      len[i] = 0;
      if (freq[i]) heap[++heapsize] = i;
    }
    if (heapsize < 2) {
      codeparm[heap[1]] = 0;
      return heap[1];
    }
    for (int i = heapsize / 2; i >= 1; --i) DownHeap(i);
    sortptr = codeparm;
    int k;
    do {
      int i = heap[1];
      if (i < n) *sortptr++ = static_cast<uint16_t>(i);
      heap[1] = heap[heapsize--];
      DownHeap(1);
      int j = heap[1];
      if (j < n) *sortptr++ = static_cast<uint16_t>(j);
      k = avl++;
      freq[k] = freq[i] + freq[j];
      heap[1] = k;
      DownHeap(1);
      left[k] = static_cast<uint16_t>(i);
      right[k] = static_cast<uint16_t>(j);
    } while (heapsize > 1);
    sortptr = codeparm;
    MakeLen(k);
    MakeCode(nparm, lenparm, codeparm);
    return k;
  }

  // --- block output
  void CountTFreq() {
    for (int i = 0; i < NT; ++i) t_freq[i] = 0;
    int nn = NC;
    while (nn > 0 && c_len[nn - 1] == 0) nn--;
    int i = 0;
    while (i < nn) {
      int k = c_len[i++];
      if (k == 0) {
        int count = 1;
        while (i < nn && c_len[i] == 0) {
          i++;
          count++;
        }
        if (count <= 2) t_freq[0] += count;
        else if (count <= 18) t_freq[1]++;
        else if (count == 19) {
          t_freq[0]++;
          t_freq[1]++;
        } else {
          t_freq[2]++;
        }
      } else {
        t_freq[k + 2]++;
      }
    }
  }

  void WritePtLen(int nn, int nbit, int iSpecial) {
    while (nn > 0 && pt_len[nn - 1] == 0) nn--;
    PutBits(nbit, nn);
    int i = 0;
    while (i < nn) {
      int k = pt_len[i++];
      if (k <= 6) PutBits(3, k);
      else PutBits(k - 3, (1u << (k - 3)) - 2);
      if (i == iSpecial) {
        while (i < 6 && pt_len[i] == 0) i++;
        PutBits(2, (i - 3) & 3);
      }
    }
  }

  void WriteCLen() {
    int nn = NC;
    while (nn > 0 && c_len[nn - 1] == 0) nn--;
    PutBits(CBIT, nn);
    int i = 0;
    while (i < nn) {
      int k = c_len[i++];
      if (k == 0) {
        int count = 1;
        while (i < nn && c_len[i] == 0) {
          i++;
          count++;
        }
        if (count <= 2) {
          for (k = 0; k < count; ++k) PutBits(pt_len[0], pt_code[0]);
        } else if (count <= 18) {
          PutBits(pt_len[1], pt_code[1]);
          PutBits(4, count - 3);
        } else if (count == 19) {
          PutBits(pt_len[0], pt_code[0]);
          PutBits(pt_len[1], pt_code[1]);
          PutBits(4, 15);
        } else {
          PutBits(pt_len[2], pt_code[2]);
          PutBits(CBIT, count - 20);
        }
      } else {
        PutBits(pt_len[k + 2], pt_code[k + 2]);
      }
    }
  }

  void EncodeC(int c) { PutBits(c_len[c], c_code[c]); }

  void EncodeP(unsigned p) {
    unsigned c = 0, q = p;
    while (q) {
      q >>= 1;
      c++;
    }
    PutBits(pt_len[c], pt_code[c]);
    if (c > 1) PutBits(c - 1, p & (0xFFFFu >> (17 - c)));
  }

  void SendBlock() {
    int root = MakeTree(NC, c_freq, c_len, c_code);
    unsigned size = c_freq[root];
    PutBits(16, size);
    if (root >= NC) {
      CountTFreq();
      root = MakeTree(NT, t_freq, pt_len, pt_code);
      if (root >= NT) {
        WritePtLen(NT, TBIT, 3);
      } else {
        PutBits(TBIT, 0);
        PutBits(TBIT, root);
      }
      WriteCLen();
    } else {
      PutBits(TBIT, 0);
      PutBits(TBIT, 0);
      PutBits(CBIT, 0);
      PutBits(CBIT, root);
    }
    root = MakeTree(NP, p_freq, pt_len, pt_code);
    if (root >= NP) {
      WritePtLen(NP, PBIT, -1);
    } else {
      PutBits(PBIT, 0);
      PutBits(PBIT, root);
    }
    unsigned p = 0, flags = 0;
    for (unsigned i = 0; i < size; ++i) {
      if (i % 8 == 0) flags = buf[p++];
      else flags <<= 1;
      if (flags & 0x80) {
        EncodeC(buf[p++] + 256);
        unsigned k = static_cast<unsigned>(buf[p++]) << 8;
        k += buf[p++];
        EncodeP(k);
      } else {
        EncodeC(buf[p++]);
      }
    }
    for (int i = 0; i < NC; ++i) c_freq[i] = 0;
    for (int i = 0; i < NP; ++i) p_freq[i] = 0;
  }

  void Output(unsigned c, unsigned p) {
    if ((outputMask >>= 1) == 0) {
      outputMask = 0x80;
      if (outputPos >= kBlockBuf - 3 * 8) {
        SendBlock();
        outputPos = 0;
      }
      cpos = outputPos++;
      buf[cpos] = 0;
    }
    buf[outputPos++] = static_cast<uint8_t>(c);
    c_freq[c]++;
    if (c >= 256) {
      buf[cpos] |= static_cast<uint8_t>(outputMask);
      buf[outputPos++] = static_cast<uint8_t>(p >> 8);
      buf[outputPos++] = static_cast<uint8_t>(p);
      c = 0;
      while (p) {
        p >>= 1;
        c++;
      }
      p_freq[c]++;
    }
  }
};

}  // namespace

void Lh5Encode(TCodecDriver& d) {
  // Not value-initialised: the tables read before they are written are cleared below,
  // and clearing the whole state again would cost small inputs a fifth of their time.
  std::unique_ptr<Lh5EncodeState> s(new Lh5EncodeState);
  s->d = &d;
  std::memset(s->text, 0, sizeof s->text);
  std::memset(s->c_freq, 0, sizeof s->c_freq);
  std::memset(s->p_freq, 0, sizeof s->p_freq);
  std::memset(s->childcount, 0, sizeof s->childcount);
  std::memset(s->level, 0, sizeof s->level);
  std::memset(s->position, 0, sizeof s->position);
  std::memset(s->link, 0, sizeof s->link);
  std::memset(s->prev, 0, sizeof s->prev);
  s->InitSlide();

  int got = s->ReadInput(&s->text[DICSIZ + MAXMATCH], DICSIZ);
  if (got < DICSIZ) std::memset(&s->text[DICSIZ + MAXMATCH + got], ' ', static_cast<size_t>(DICSIZ - got));
  s->remainder = got;
  if (s->remainder == 0) return;

  s->matchlen = 0;
  s->pos = DICSIZ + MAXMATCH;
  s->InsertNode();
  if (s->matchlen > s->remainder) s->matchlen = s->remainder;
  while (s->remainder > 0) {
    int lastmatchlen = s->matchlen;
    int lastmatchpos = s->matchpos;
    s->GetNextMatch();
    if (s->matchlen > s->remainder) s->matchlen = s->remainder;
    if (s->matchlen > lastmatchlen || lastmatchlen < THRESHOLD) {
      s->Output(s->text[s->pos - 1], 0);
    } else {
      s->Output(lastmatchlen + (256 - THRESHOLD), (s->pos - lastmatchpos - 2) & (DICSIZ - 1));
      while (--lastmatchlen > 0) s->GetNextMatch();
      if (s->matchlen > s->remainder) s->matchlen = s->remainder;
    }
  }
  s->SendBlock();
  s->PutBits(7, 0);
  s->HandOut();
}
#endif
