// The codec driver: runs one built-in codec over one run of data, buffering both
// streams in 8192-byte blocks, reporting progress, applying the key lock, keeping the
// checksums and the output budget. Codecs see only ReadByte / WriteByte.
#pragma once
#include <cstdint>

#include "setup/compress/InstCompress.h"

constexpr int32_t kCodecChunk = 8192;

// Part * 100 div Whole, or Part div (Whole div 100) for a Whole above 100000.
int32_t PercentOf(int32_t Part, int32_t Whole);

// State of one RunCodec call.
struct TCodecDriver {
  base::Stream* source = nullptr;
  base::Stream* dest = nullptr;
  TShowProgressEvent progress;

  uint8_t inBuf[kCodecChunk];
  int32_t inPos = 0, inEnd = 0;
  uint8_t outBuf[kCodecChunk];
  int32_t outPos = 0;

  int32_t bytesLeft = 0;      // still to read from source
  int32_t chunkSize = kCodecChunk;
  bool endOfInput = false;
  int32_t progressRead = 0;
  uint32_t readSum = 0, writeSum = 0;
  int32_t bytesWritten = 0;
  int32_t budget = 0;
  uint8_t keyBytes[4] = {0, 0, 0, 0};
  int keyPos = 0;
  bool combineOnRead = false, combineOnWrite = false;

  // Set by a decoder when its data turned out damaged in a way the checksum alone
  // would not show (output cut short or running past the expanded size).
  bool damaged = false;

  // Returns the next input byte; 0 with endOfInput set when there is none.
  inline uint8_t ReadByte() {
    if (inPos >= inEnd) {
      if (!Refill()) return 0;
    }
    uint8_t b = inBuf[inPos++];
    readSum += b;
    if (combineOnRead) {
      b ^= keyBytes[keyPos];
      keyPos = (keyPos + 1) & 3;
    }
    return b;
  }

  inline void WriteByte(uint8_t b) {
    if (budget <= 0) throw EUnableToCompress(kMsgUnableToCompress);
    --budget;
    if (outPos == kCodecChunk) Flush();
    if (combineOnWrite) {
      b ^= keyBytes[keyPos];
      keyPos = (keyPos + 1) & 3;
    }
    outBuf[outPos++] = b;
    writeSum += b;
    ++bytesWritten;
  }

  // A run of reads at once: up to max bytes into dst, as that many ReadByte calls would
  // give them but stopping at the end of the buffered chunk, so that the next chunk is
  // read only when a codec needs it. Returns 0 with endOfInput set where the first of
  // those calls would report the end.
  int32_t ReadBlock(uint8_t* dst, int32_t max);

  // A run of writes at once, with the budget, key and sum of WriteByte per byte: when
  // the budget ends inside the run, the bytes before that point are taken and then
  // EUnableToCompress is raised, as WriteByte would.
  void WriteBlock(const uint8_t* src, int32_t n);

  bool Refill();  // false: end of input (endOfInput stays set)
  void Flush();   // writes the full output buffer
};

// Runs Method over Count bytes of Source. Compressing: returns the compressed size,
// Checksum gets the byte sum of the input. Expanding: ExpandedSize bounds the output,
// Checksum gets the byte sum of the output; *Damaged (when given) reports a run whose
// data ended early or would have grown past ExpandedSize.
int32_t RunCodec(TTandrelInstCompress& component, base::Stream& Dest, base::Stream& Source,
                 int32_t Count, int32_t ExpandedSize, uint8_t Method, int32_t& Checksum,
                 bool Expanding, bool CombineOnRead, bool* Damaged = nullptr);
