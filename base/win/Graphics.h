// Colours, fonts and pictures in the class library's terms, over GDI.
#pragma once
#include <windows.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace base::win {

// A colour as the class library stores it: 0x00BBGGRR, or 0x80000000 | a system colour index.
using Color = int32_t;
constexpr Color clBlack = 0x000000, clWhite = 0xFFFFFF, clNavy = 0x800000, clBlue = 0xFF0000;
constexpr Color clBtnFace = static_cast<Color>(0x80000000u | COLOR_BTNFACE);
constexpr Color clWindow = static_cast<Color>(0x80000000u | COLOR_WINDOW);
constexpr Color clWindowText = static_cast<Color>(0x80000000u | COLOR_WINDOWTEXT);
COLORREF ColorToRGB(Color color);

// Font styles as bits: bold 1, italic 2, underline 4, strike-out 8.
enum : uint8_t { fsBoldBit = 1, fsItalicBit = 2, fsUnderlineBit = 4, fsStrikeOutBit = 8 };

struct Font {
  std::string Name = "MS Sans Serif";
  int Size = 8;  // points
  Color Color_ = clWindowText;
  uint8_t Style = 0;
};

// Owns a GDI object.
class GdiObject {
public:
  explicit GdiObject(HGDIOBJ h = nullptr) : h_(h) {}
  ~GdiObject() { if (h_) DeleteObject(h_); }
  GdiObject(const GdiObject&) = delete;
  GdiObject& operator=(const GdiObject&) = delete;
  void Reset(HGDIOBJ h) { if (h_) DeleteObject(h_); h_ = h; }
  HGDIOBJ get() const { return h_; }
  HGDIOBJ release() { HGDIOBJ h = h_; h_ = nullptr; return h; }

private:
  HGDIOBJ h_;
};

HFONT CreateGdiFont(const Font& font);  // caller owns

// A picture decoded to a 24-bit top-down DIB section. Icons and metafiles leave parts
// of their square unpainted: their mask (a second section of the same size) is white
// there and black where the picture has paint, and the picture itself is black there.
class Picture {
public:
  Picture() = default;
  Picture(HBITMAP bitmap, int width, int height) : bitmap_(bitmap), width_(width), height_(height) {}
  Picture(HBITMAP bitmap, HBITMAP mask, int width, int height)
      : bitmap_(bitmap), mask_(mask), width_(width), height_(height) {}
  ~Picture() {
    if (bitmap_) DeleteObject(bitmap_);
    if (mask_) DeleteObject(mask_);
  }
  Picture(const Picture&) = delete;
  Picture& operator=(const Picture&) = delete;
  HBITMAP Bitmap() const { return bitmap_; }
  HBITMAP Mask() const { return mask_; }  // null: every pixel is painted
  int Width() const { return width_; }
  int Height() const { return height_; }
  // The colour of the bottom-left pixel: the class library's automatic transparent colour.
  COLORREF BottomLeftColor() const;

private:
  HBITMAP bitmap_ = nullptr;
  HBITMAP mask_ = nullptr;
  int width_ = 0, height_ = 0;
};

// By content: BMP ("BM"), JPEG (FF D8), icon (00 00 01 00), enhanced metafile (" EMF"
// at 40) or placeable Windows metafile (D7 CD C6 9A); null when the bytes are none of
// them or are damaged.
std::unique_ptr<Picture> DecodePicture(const std::vector<uint8_t>& bytes);
std::unique_ptr<Picture> LoadPictureFile(const std::string& fileName);

// Draws the picture into dest (stretched to it); a masked picture leaves what dest
// held wherever it has no paint.
void DrawPicture(HDC dc, const Picture& picture, const RECT& dest);

// Fills a rectangle with a solid colour.
void FillSolid(HDC dc, const RECT& r, COLORREF color);

// A blank 24-bit top-down DIB section; `bits` (may be null) gets its rows.
HBITMAP NewSection(int width, int height, uint8_t** bits);

}  // namespace base::win
