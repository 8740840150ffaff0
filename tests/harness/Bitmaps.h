// A 24-bit bottom-up BMP file made in memory, for the pictures of test and sample projects.
#pragma once
#include <cstdint>
#include <functional>
#include <string>

namespace wintest {

// `pixel(x, y)` gives the blue, green and red bytes of one pixel (y counts from the bottom).
inline std::string MakeBitmap(int w, int h, const std::function<std::string(int x, int y)>& pixel) {
  auto le32 = [](uint32_t v) { return std::string{char(v), char(v >> 8), char(v >> 16), char(v >> 24)}; };
  auto le16 = [](uint16_t v) { return std::string{char(v), char(v >> 8)}; };
  const int row = (w * 3 + 3) & ~3;
  std::string b = "BM" + le32(54 + row * h) + le32(0) + le32(54) + le32(40) + le32(w) + le32(h) + le16(1) +
                  le16(24) + le32(0) + le32(row * h) + le32(2835) + le32(2835) + le32(0) + le32(0);
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) b += pixel(x, y);
    b += std::string(static_cast<size_t>(row - w * 3), '\0');
  }
  return b;
}

}  // namespace wintest
