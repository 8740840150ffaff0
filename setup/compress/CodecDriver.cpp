#include "setup/compress/CodecDriver.h"

#include <cstring>
#include <memory>

#include "setup/compress/Codecs.h"

#ifdef _WIN32
#include <windows.h>
static void YieldSlice() { Sleep(0); }
#else
#include <sched.h>
static void YieldSlice() { sched_yield(); }
#endif

namespace {

// Copies n bytes, each combined with the key's next byte; the key's turn carries on.
void CopyCombined(uint8_t* dst, const uint8_t* src, int32_t n, const uint8_t (&key)[4], int& keyPos) {
  int k = keyPos;
  for (int32_t i = 0; i < n; ++i) {
    dst[i] = src[i] ^ key[k];
    k = (k + 1) & 3;
  }
  keyPos = k;
}

}  // namespace

int32_t PercentOf(int32_t Part, int32_t Whole) {
  if (Whole == 0) return 0;
  if (Whole <= 100000) return static_cast<int32_t>(static_cast<int64_t>(Part) * 100 / Whole);
  return Part / (Whole / 100);
}

bool TCodecDriver::Refill() {
  endOfInput = true;
  if (bytesLeft <= 0) return false;
  int32_t want = chunkSize < bytesLeft ? chunkSize : bytesLeft;
  int32_t got = source->Read(inBuf, want);
  if (got <= 0) return false;
  bytesLeft -= got;
  inEnd = got;
  inPos = 0;
  if (progress) {
    progressRead += got;
    int32_t done = PercentOf(progressRead, progressRead + bytesLeft);
    progress(done);
    if (done == -1) return false;
  }
  YieldSlice();
  endOfInput = false;
  return true;
}

int32_t TCodecDriver::ReadBlock(uint8_t* dst, int32_t max) {
  if (max <= 0) return 0;
  if (inPos >= inEnd) {
    if (!Refill()) return 0;
  } else if (endOfInput) {
    // After a handler ended the input, a read takes one byte and still reports the end.
    ReadByte();
    return 0;
  }
  int32_t n = inEnd - inPos < max ? inEnd - inPos : max;
  const uint8_t* p = inBuf + inPos;
  uint32_t sum = readSum;
  for (int32_t i = 0; i < n; ++i) sum += p[i];
  readSum = sum;
  if (combineOnRead) {
    CopyCombined(dst, p, n, keyBytes, keyPos);
  } else {
    std::memcpy(dst, p, static_cast<size_t>(n));
  }
  inPos += n;
  return n;
}

void TCodecDriver::WriteBlock(const uint8_t* src, int32_t n) {
  while (n > 0) {
    if (budget <= 0) throw EUnableToCompress(kMsgUnableToCompress);
    if (outPos == kCodecChunk) Flush();
    int32_t k = kCodecChunk - outPos;
    if (k > n) k = n;
    if (k > budget) k = budget;
    budget -= k;
    uint8_t* q = outBuf + outPos;
    if (combineOnWrite) {
      CopyCombined(q, src, k, keyBytes, keyPos);
    } else {
      std::memcpy(q, src, static_cast<size_t>(k));
    }
    uint32_t sum = writeSum;
    for (int32_t i = 0; i < k; ++i) sum += q[i];
    writeSum = sum;
    outPos += k;
    bytesWritten += k;
    src += k;
    n -= k;
  }
}

void TCodecDriver::Flush() {
  YieldSlice();
  dest->WriteBuffer(outBuf, outPos);
  outPos = 0;
}

int32_t RunCodec(TTandrelInstCompress& component, base::Stream& Dest, base::Stream& Source,
                 int32_t Count, int32_t ExpandedSize, uint8_t Method, int32_t& Checksum,
                 bool Expanding, bool CombineOnRead, bool* Damaged) {
  auto d = std::make_unique<TCodecDriver>();
  d->progress = component.OnShowProgress;
  d->source = &Source;
  d->dest = &Dest;
  d->bytesLeft = Count;
  d->budget = Expanding ? INT32_MAX : Count - component.BudgetMargin();
  int32_t key = component.Key;
  d->combineOnWrite = !Expanding && key != 0;
  d->combineOnRead = Expanding && key != 0 && CombineOnRead;
  for (int i = 0; i < 4; ++i)
    d->keyBytes[i] = static_cast<uint8_t>(static_cast<uint32_t>(key) >> (8 * i));
  int32_t limit = ExpandedSize < 0 ? 0 : ExpandedSize;
  if (Expanding) {
    switch (Method) {
      case cmRLE: RleDecode(*d, limit); break;
      case cmLZH: LzhDecode(*d, limit); break;
      case cmLH5: Lh5Decode(*d, limit); break;
      default: break;
    }
    Checksum = static_cast<int32_t>(d->writeSum);
  } else {
#ifdef TANDREL_EXPAND_ONLY
    switch (Method) {
      case cmRLE: throw EUnrecognizedCompressionMethod(kMsgRLEDisabled);
      case cmLZH: throw EUnrecognizedCompressionMethod(kMsgLZH1Disabled);
      case cmLH5: throw EUnrecognizedCompressionMethod(kMsgLZH5Disabled);
      default: break;
    }
#else
    switch (Method) {
      case cmRLE: throw EUnrecognizedCompressionMethod(kMsgRLEDisabled);
      case cmLZH: LzhEncode(*d); break;
      case cmLH5: Lh5Encode(*d); break;
      default: break;
    }
#endif
    Checksum = static_cast<int32_t>(d->readSum);
  }
  if (d->outPos > 0) Dest.WriteBuffer(d->outBuf, d->outPos);
  if (Damaged) *Damaged = d->damaged;
  return d->bytesWritten;
}
