// Decodes a raw -lh5- stream with lhasa, the independent implementation our streams are
// checked against (tests) and timed against (benchmark).
#pragma once
#include <algorithm>
#include <cstdint>
#include <cstring>
#include <vector>

#include "lha_decoder.h"

namespace lhasa {

inline size_t FeedRead(void* buf, size_t len, void* user) {
  auto* f = static_cast<std::pair<const std::vector<uint8_t>*, size_t>*>(user);
  size_t n = std::min(len, f->first->size() - f->second);
  std::memcpy(buf, f->first->data() + f->second, n);
  f->second += n;
  return n;
}

inline std::vector<uint8_t> DecodeLh5(const std::vector<uint8_t>& stream, size_t expanded) {
  std::pair<const std::vector<uint8_t>*, size_t> feed{&stream, 0};
  char name[] = "-lh5-";
  LHADecoder* dec = lha_decoder_new(lha_decoder_for_name(name), FeedRead, &feed, expanded);
  std::vector<uint8_t> out;
  out.reserve(expanded);
  uint8_t buf[65536];
  for (;;) {
    size_t n = lha_decoder_read(dec, buf, sizeof buf);
    if (n == 0) break;
    out.insert(out.end(), buf, buf + n);
  }
  lha_decoder_free(dec);
  return out;
}

}  // namespace lhasa
