#include "resources/pack/RlePack.h"

namespace {
constexpr uint8_t kEscape = 0x94;
}

std::vector<uint8_t> RlePack(const std::vector<uint8_t>& in) {
  std::vector<uint8_t> out;
  out.reserve(in.size() / 2 + 16);
  // Mirrors the decoder's idea of the previous byte, which starts at 0.
  uint8_t previous = 0;
  size_t i = 0;
  while (i < in.size()) {
    uint8_t x = in[i];
    size_t run = 1;
    while (i + run < in.size() && in[i + run] == x && run < 254) ++run;
    // A repeat of the decoder's previous byte costs two bytes: worth it from 3 on,
    // from 2 on for the escape byte itself (whose literal form is already two).
    size_t worth = x == kEscape ? 2 : 3;
    if (x == previous && run >= worth) {
      out.push_back(kEscape);
      out.push_back(static_cast<uint8_t>(run + 1));
      previous = kEscape;
      i += run;
      continue;
    }
    out.push_back(x);
    if (x == kEscape) out.push_back(0);
    previous = x;
    ++i;
  }
  return out;
}
