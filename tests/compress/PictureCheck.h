// Checks that an expanded picture resource is what its role needs: a whole Windows
// bitmap of the planned size and depth, or a JPEG picture of the planned size.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "resources/pack/Pictures.h"

inline uint32_t Le(const std::vector<uint8_t>& b, size_t at, int n) {
  uint32_t v = 0;
  for (int i = n - 1; i >= 0; --i) v = (v << 8) | b[at + i];
  return v;
}

// Empty when the bytes are the picture; else what is wrong.
inline std::string CheckPicture(const PictureShape& shape, const std::vector<uint8_t>& b) {
  if (shape.bitCount == 0) {
    if (b.size() < 4 || b[0] != 0xFF || b[1] != 0xD8) return "no JPEG start marker";
    if (b[b.size() - 2] != 0xFF || b[b.size() - 1] != 0xD9) return "no JPEG end marker";
    for (size_t i = 2; i + 9 < b.size();) {
      if (b[i] != 0xFF) return "broken JPEG marker chain";
      uint8_t m = b[i + 1];
      size_t len = (b[i + 2] << 8) | b[i + 3];
      if (m >= 0xC0 && m <= 0xC2) {
        int h = (b[i + 5] << 8) | b[i + 6], w = (b[i + 7] << 8) | b[i + 8];
        if (w != shape.width || h != shape.height)
          return "JPEG is " + std::to_string(w) + "x" + std::to_string(h);
        return "";
      }
      i += 2 + len;
    }
    return "no JPEG frame header";
  }
  if (b.size() < 54 || b[0] != 'B' || b[1] != 'M') return "no BM signature";
  if (Le(b, 2, 4) != b.size()) return "file size field " + std::to_string(Le(b, 2, 4));
  if (Le(b, 14, 4) != 40) return "not a BITMAPINFOHEADER";
  int w = static_cast<int>(Le(b, 18, 4)), h = static_cast<int>(Le(b, 22, 4));
  int bpp = static_cast<int>(Le(b, 28, 2));
  if (w != shape.width || h != shape.height || bpp != shape.bitCount)
    return "bitmap is " + std::to_string(w) + "x" + std::to_string(h) + "x" + std::to_string(bpp);
  size_t palette = bpp <= 8 ? 4u << bpp : 0;
  size_t stride = ((w * bpp + 31) / 32) * 4;
  if (Le(b, 10, 4) != 54 + palette) return "pixel offset " + std::to_string(Le(b, 10, 4));
  if (b.size() != 54 + palette + stride * h) return "pixel data cut short or padded";
  return "";
}

inline const PictureShape* const kPictures[] = {&kAboutPicture, &kFirstPicture, &kSecondPicture,
                                               &kTickPicture, &kSidePicture};
