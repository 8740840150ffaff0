// One decoder over arbitrary data: the first two bytes choose the expanded size. It
// must end, stay inside its tables and never write past the expanded size; a run it
// does not report as damaged has exactly that size.
#pragma once
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "CompressTestUtil.h"

inline int DecodeFuzzOne(uint8_t method, const uint8_t* data, size_t size) {
  if (size < 2) return 0;
  int32_t expanded = data[0] | (data[1] << 8);
  Bytes in(data + 2, data + size);
  DecodeResult r;
  try {
    r = Decode(method, in, expanded);
  } catch (const ELZHBadDecodeTable&) {
    return 0;
  }
  if (r.out.size() > static_cast<size_t>(expanded)) std::abort();
  if (!r.damaged && r.out.size() != static_cast<size_t>(expanded)) std::abort();
  if (r.sum != ByteSum(r.out.data(), r.out.size())) std::abort();
  return 0;
}

// Seeds: small inputs encoded by our own encoders, with their sizes in front.
inline void DecodeFuzzSeeds(uint8_t method, std::vector<std::string>* seeds) {
  std::vector<Bytes> inputs = {Str("aaaaaaaaaaaaaaaaaaaaaaaaab"), TextBytes(3000, 1),
                               ExeLikeBytes(2000, 2), Bytes(1500, ' ')};
  // Codes longer than the LH5 decoder's 12-bit table (kept small for the fuzzer).
  if (method == cmLH5) inputs.push_back(GeometricMatchBytes(12, 1024, 7));
  for (const Bytes& in : inputs) {
    Bytes enc;
    if (method == cmRLE) {
      // Runs, escapes and plain bytes by hand: there is no RLE encoder in the component.
      enc = B({0x41, 0x94, 0x05, 0x94, 0x00, 0x42, 0x94, 0x03, 0x94});
      enc.insert(enc.end(), in.begin(), in.begin() + std::min<size_t>(in.size(), 200));
    } else {
      enc = Encode(method, in);
    }
    int32_t n = method == cmRLE ? static_cast<int32_t>(Decode(cmRLE, enc, 1 << 16).out.size())
                                 : static_cast<int32_t>(in.size());
    std::string s(1, static_cast<char>(n & 0xFF));
    s += static_cast<char>(n >> 8);
    s.append(enc.begin(), enc.end());
    seeds->push_back(s);
  }
}
