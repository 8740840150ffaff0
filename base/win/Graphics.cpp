#include "base/win/Graphics.h"

#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <iterator>

#include "base/Exceptions.h"
#include "base/Streams.h"

extern "C" {
#include <jpeglib.h>
}

namespace base::win {

COLORREF ColorToRGB(Color color) {
  auto c = static_cast<uint32_t>(color);
  if (c & 0x80000000u) return GetSysColor(static_cast<int>(c & 0xFF));
  return c & 0xFFFFFF;
}

HFONT CreateGdiFont(const Font& font) {
  HDC screen = GetDC(nullptr);
  int height = -MulDiv(font.Size, GetDeviceCaps(screen, LOGPIXELSY), 72);
  ReleaseDC(nullptr, screen);
  return CreateFontA(height, 0, 0, 0, (font.Style & fsBoldBit) ? FW_BOLD : FW_NORMAL,
                     (font.Style & fsItalicBit) != 0, (font.Style & fsUnderlineBit) != 0,
                     (font.Style & fsStrikeOutBit) != 0, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                     CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, font.Name.c_str());
}

void FillSolid(HDC dc, const RECT& r, COLORREF color) {
  HBRUSH brush = CreateSolidBrush(color);
  FillRect(dc, &r, brush);
  DeleteObject(brush);
}

COLORREF Picture::BottomLeftColor() const {
  if (!bitmap_ || height_ <= 0) return 0;
  HDC dc = CreateCompatibleDC(nullptr);
  HGDIOBJ old = SelectObject(dc, bitmap_);
  COLORREF c = GetPixel(dc, 0, height_ - 1);
  SelectObject(dc, old);
  DeleteDC(dc);
  return c;
}

HBITMAP NewSection(int width, int height, uint8_t** bits) {
  BITMAPINFO bi{};
  bi.bmiHeader.biSize = sizeof bi.bmiHeader;
  bi.bmiHeader.biWidth = width;
  bi.bmiHeader.biHeight = -height;
  bi.bmiHeader.biPlanes = 1;
  bi.bmiHeader.biBitCount = 24;
  bi.bmiHeader.biCompression = BI_RGB;
  void* p = nullptr;
  HBITMAP bmp = CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &p, nullptr, 0);
  if (bits) *bits = static_cast<uint8_t*>(p);
  return bmp;
}

namespace {

// Pictures larger than this are refused rather than allocated.
constexpr int64_t kMaxPixels = 64LL * 1024 * 1024;


std::unique_ptr<Picture> DecodeBmp(const std::vector<uint8_t>& bytes) {
  if (bytes.size() < sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER)) return nullptr;
  BITMAPFILEHEADER fh;
  std::memcpy(&fh, bytes.data(), sizeof fh);
  const auto* info = reinterpret_cast<const BITMAPINFO*>(bytes.data() + sizeof fh);
  BITMAPINFOHEADER ih;
  std::memcpy(&ih, info, sizeof ih);
  if (ih.biSize < sizeof(BITMAPINFOHEADER) || ih.biSize > bytes.size() - sizeof fh) return nullptr;
  int width = ih.biWidth, height = ih.biHeight < 0 ? -ih.biHeight : ih.biHeight;
  if (width <= 0 || height <= 0 || static_cast<int64_t>(width) * height > kMaxPixels) return nullptr;
  if (fh.bfOffBits >= bytes.size() || fh.bfOffBits < sizeof fh + ih.biSize) return nullptr;
  size_t available = bytes.size() - fh.bfOffBits;
  if (ih.biCompression == BI_RGB || ih.biCompression == BI_BITFIELDS) {
    uint64_t stride = ((static_cast<uint64_t>(width) * ih.biBitCount + 31) / 32) * 4;
    if (ih.biBitCount == 0 || stride * static_cast<uint64_t>(height) > available) return nullptr;
  } else if (ih.biCompression == BI_RLE8 || ih.biCompression == BI_RLE4) {
    if (ih.biSizeImage == 0 || ih.biSizeImage > available) return nullptr;
  } else {
    return nullptr;
  }
  uint8_t* bits = nullptr;
  HBITMAP bmp = NewSection(width, height, &bits);
  if (!bmp) return nullptr;
  HDC dc = CreateCompatibleDC(nullptr);
  HGDIOBJ old = SelectObject(dc, bmp);
  // GDI reads every depth, palette and RLE form of the file.
  int rows = SetDIBitsToDevice(dc, 0, 0, static_cast<DWORD>(width), static_cast<DWORD>(height), 0, 0, 0,
                               static_cast<UINT>(height), bytes.data() + fh.bfOffBits, info, DIB_RGB_COLORS);
  SelectObject(dc, old);
  DeleteDC(dc);
  if (rows <= 0) {
    DeleteObject(bmp);
    return nullptr;
  }
  return std::make_unique<Picture>(bmp, width, height);
}

struct JpegError {
  jpeg_error_mgr mgr;
  std::jmp_buf jump;
};

void JpegFail(j_common_ptr cinfo) { std::longjmp(reinterpret_cast<JpegError*>(cinfo->err)->jump, 1); }
void JpegQuiet(j_common_ptr, int) {}

// Kept free of objects with destructors: libjpeg leaves through longjmp on damage.
HBITMAP DecodeJpegRaw(const uint8_t* data, size_t size, int* outWidth, int* outHeight) {
  jpeg_decompress_struct cinfo;
  JpegError err;
  cinfo.err = jpeg_std_error(&err.mgr);
  err.mgr.error_exit = JpegFail;
  err.mgr.emit_message = JpegQuiet;
  HBITMAP volatile bmp = nullptr;
  if (setjmp(err.jump)) {
    jpeg_destroy_decompress(&cinfo);
    if (bmp) DeleteObject(bmp);
    return nullptr;
  }
  jpeg_create_decompress(&cinfo);
  jpeg_mem_src(&cinfo, const_cast<unsigned char*>(data), static_cast<unsigned long>(size));
  jpeg_read_header(&cinfo, TRUE);
  cinfo.out_color_space = JCS_EXT_BGR;
  jpeg_start_decompress(&cinfo);
  int width = static_cast<int>(cinfo.output_width), height = static_cast<int>(cinfo.output_height);
  if (width <= 0 || height <= 0 || static_cast<int64_t>(width) * height > kMaxPixels) {
    jpeg_destroy_decompress(&cinfo);
    return nullptr;
  }
  uint8_t* bits = nullptr;
  bmp = NewSection(width, height, &bits);
  if (!bmp) {
    jpeg_destroy_decompress(&cinfo);
    return nullptr;
  }
  size_t stride = (static_cast<size_t>(width) * 3 + 3) & ~static_cast<size_t>(3);
  while (cinfo.output_scanline < cinfo.output_height) {
    JSAMPROW row = bits + stride * cinfo.output_scanline;
    jpeg_read_scanlines(&cinfo, &row, 1);
  }
  jpeg_finish_decompress(&cinfo);
  jpeg_destroy_decompress(&cinfo);
  *outWidth = width;
  *outHeight = height;
  return bmp;
}

// Pictures GDI draws itself (icons, metafiles) are drawn twice, on black and on white:
// a pixel that stays black on black and white on white got no paint. The black drawing
// is the picture; the mask marks the unpainted pixels.
template <class Draw>
std::unique_ptr<Picture> RenderMasked(int width, int height, Draw draw) {
  if (width <= 0 || height <= 0 || width > 32767 || height > 32767 ||
      static_cast<int64_t>(width) * height > kMaxPixels)
    return nullptr;
  uint8_t* onBlack = nullptr;
  uint8_t* onWhite = nullptr;
  GdiObject black(NewSection(width, height, &onBlack));
  GdiObject white(NewSection(width, height, &onWhite));
  if (!black.get() || !white.get()) return nullptr;
  const size_t stride = (static_cast<size_t>(width) * 3 + 3) & ~static_cast<size_t>(3);
  std::memset(onBlack, 0x00, stride * static_cast<size_t>(height));
  std::memset(onWhite, 0xFF, stride * static_cast<size_t>(height));
  HDC dc = CreateCompatibleDC(nullptr);
  bool drawn = true;
  for (HGDIOBJ section : {black.get(), white.get()}) {
    HGDIOBJ old = SelectObject(dc, section);
    drawn = drawn && draw(dc);
    SelectObject(dc, old);
  }
  DeleteDC(dc);
  GdiFlush();
  if (!drawn) return nullptr;
  bool anyUnpainted = false;
  for (int y = 0; y < height; ++y) {
    uint8_t* b = onBlack + stride * static_cast<size_t>(y);
    uint8_t* w = onWhite + stride * static_cast<size_t>(y);
    for (int x = 0; x < width * 3; x += 3) {
      const bool unpainted = b[x] == 0 && b[x + 1] == 0 && b[x + 2] == 0 && w[x] == 0xFF && w[x + 1] == 0xFF &&
                             w[x + 2] == 0xFF;
      // The white drawing becomes the mask: white where unpainted, black elsewhere.
      const uint8_t m = unpainted ? 0xFF : 0x00;
      w[x] = w[x + 1] = w[x + 2] = m;
      anyUnpainted = anyUnpainted || unpainted;
    }
  }
  if (!anyUnpainted) return std::make_unique<Picture>(static_cast<HBITMAP>(black.release()), width, height);
  return std::make_unique<Picture>(static_cast<HBITMAP>(black.release()), static_cast<HBITMAP>(white.release()),
                                   width, height);
}

template <class T>
T ReadAt(const std::vector<uint8_t>& bytes, size_t offset) {
  T v;
  std::memcpy(&v, bytes.data() + offset, sizeof v);
  return v;
}

bool IsIcon(const std::vector<uint8_t>& bytes) {
  return bytes.size() >= 6 && ReadAt<uint16_t>(bytes, 0) == 0 && ReadAt<uint16_t>(bytes, 2) == 1 &&
         ReadAt<uint16_t>(bytes, 4) > 0;
}

// The largest image of the file, the one with most colours among equals.
std::unique_ptr<Picture> DecodeIcon(const std::vector<uint8_t>& bytes) {
  const size_t count = ReadAt<uint16_t>(bytes, 4);
  if (bytes.size() < 6 + 16 * count) return nullptr;
  int bestW = 0, bestH = 0, bestBits = -1;
  size_t bestOffset = 0, bestSize = 0;
  for (size_t i = 0; i < count; ++i) {
    const size_t e = 6 + 16 * i;
    const int w = bytes[e] ? bytes[e] : 256, h = bytes[e + 1] ? bytes[e + 1] : 256;
    const int bits = ReadAt<uint16_t>(bytes, e + 6);
    const uint32_t size = ReadAt<uint32_t>(bytes, e + 8), offset = ReadAt<uint32_t>(bytes, e + 12);
    if (size == 0 || offset >= bytes.size() || size > bytes.size() - offset) continue;
    const bool better = w * h > bestW * bestH || (w * h == bestW * bestH && bits > bestBits);
    if (!better) continue;
    bestW = w;
    bestH = h;
    bestBits = bits;
    bestOffset = offset;
    bestSize = size;
  }
  if (bestSize == 0) return nullptr;
  HICON icon = CreateIconFromResourceEx(const_cast<BYTE*>(bytes.data() + bestOffset), static_cast<DWORD>(bestSize),
                                        TRUE, 0x00030000, bestW, bestH, LR_DEFAULTCOLOR);
  if (!icon) return nullptr;
  auto picture = RenderMasked(bestW, bestH, [&](HDC dc) {
    return DrawIconEx(dc, 0, 0, icon, bestW, bestH, 0, nullptr, DI_NORMAL) != FALSE;
  });
  DestroyIcon(icon);
  return picture;
}

// Sizes in hundredths of a millimetre shown at the screen's resolution, as the class
// library sizes a metafile.
int ScreenPixels(int hundredthsOfMm, int axis) {
  HDC screen = GetDC(nullptr);
  const int perInch = GetDeviceCaps(screen, axis);
  ReleaseDC(nullptr, screen);
  return MulDiv(hundredthsOfMm, perInch, 2540);
}

std::unique_ptr<Picture> DrawEnhMetafile(HENHMETAFILE emf, int width, int height) {
  auto picture = RenderMasked(width, height, [&](HDC dc) {
    RECT r{0, 0, width, height};
    return PlayEnhMetaFile(dc, emf, &r) != FALSE;
  });
  DeleteEnhMetaFile(emf);
  return picture;
}

bool IsEnhMetafile(const std::vector<uint8_t>& bytes) {
  return bytes.size() >= sizeof(ENHMETAHEADER) && ReadAt<uint32_t>(bytes, 0) == EMR_HEADER &&
         ReadAt<uint32_t>(bytes, 40) == ENHMETA_SIGNATURE;
}

std::unique_ptr<Picture> DecodeEnhMetafile(const std::vector<uint8_t>& bytes) {
  const uint32_t size = ReadAt<uint32_t>(bytes, 48);  // nBytes: the whole metafile
  if (size < sizeof(ENHMETAHEADER) || size > bytes.size()) return nullptr;
  HENHMETAFILE emf = SetEnhMetaFileBits(static_cast<UINT>(bytes.size()), bytes.data());
  if (!emf) return nullptr;
  ENHMETAHEADER header{};
  GetEnhMetaFileHeader(emf, sizeof header, &header);
  int width = ScreenPixels(header.rclFrame.right - header.rclFrame.left, LOGPIXELSX);
  int height = ScreenPixels(header.rclFrame.bottom - header.rclFrame.top, LOGPIXELSY);
  if (width <= 0 || height <= 0) {
    // No frame recorded: the bounds of what it draws, in the reference device's pixels.
    width = header.rclBounds.right - header.rclBounds.left + 1;
    height = header.rclBounds.bottom - header.rclBounds.top + 1;
  }
  return DrawEnhMetafile(emf, width, height);
}

// The placeable header before a Windows metafile: its key, then the picture's frame in
// its own units and those units per inch.
constexpr uint32_t kPlaceableKey = 0x9AC6CDD7;
constexpr size_t kPlaceableSize = 22;
constexpr size_t kMetaHeaderSize = 18;  // the packed METAHEADER that follows

bool IsPlaceableMetafile(const std::vector<uint8_t>& bytes) {
  return bytes.size() >= kPlaceableSize + kMetaHeaderSize && ReadAt<uint32_t>(bytes, 0) == kPlaceableKey;
}

std::unique_ptr<Picture> DecodePlaceableMetafile(const std::vector<uint8_t>& bytes) {
  const int left = ReadAt<int16_t>(bytes, 6), top = ReadAt<int16_t>(bytes, 8);
  const int right = ReadAt<int16_t>(bytes, 10), bottom = ReadAt<int16_t>(bytes, 12);
  const int inch = ReadAt<uint16_t>(bytes, 14);
  if (inch == 0 || right <= left || bottom <= top) return nullptr;
  const uint16_t headerWords = ReadAt<uint16_t>(bytes, kPlaceableSize + 2);
  const uint64_t words = ReadAt<uint32_t>(bytes, kPlaceableSize + 6);  // mtSize: the whole metafile
  if (headerWords != kMetaHeaderSize / 2 || words * 2 > bytes.size() - kPlaceableSize ||
      words * 2 < kMetaHeaderSize)
    return nullptr;
  METAFILEPICT mfp{};
  mfp.mm = MM_ANISOTROPIC;
  mfp.xExt = MulDiv(right - left, 2540, inch);
  mfp.yExt = MulDiv(bottom - top, 2540, inch);
  HENHMETAFILE emf = SetWinMetaFileBits(static_cast<UINT>(bytes.size() - kPlaceableSize),
                                        bytes.data() + kPlaceableSize, nullptr, &mfp);
  if (!emf) return nullptr;
  return DrawEnhMetafile(emf, ScreenPixels(mfp.xExt, LOGPIXELSX), ScreenPixels(mfp.yExt, LOGPIXELSY));
}

}  // namespace

std::unique_ptr<Picture> DecodePicture(const std::vector<uint8_t>& bytes) {
  if (bytes.size() >= 2 && bytes[0] == 'B' && bytes[1] == 'M') return DecodeBmp(bytes);
  if (bytes.size() >= 3 && bytes[0] == 0xFF && bytes[1] == 0xD8) {
    int w = 0, h = 0;
    HBITMAP bmp = DecodeJpegRaw(bytes.data(), bytes.size(), &w, &h);
    return bmp ? std::make_unique<Picture>(bmp, w, h) : nullptr;
  }
  if (IsIcon(bytes)) return DecodeIcon(bytes);
  if (IsEnhMetafile(bytes)) return DecodeEnhMetafile(bytes);
  if (IsPlaceableMetafile(bytes)) return DecodePlaceableMetafile(bytes);
  return nullptr;
}

std::unique_ptr<Picture> LoadPictureFile(const std::string& fileName) {
  // Through our own file layer: the run-time library's file streams would bring their
  // locale machinery into every package's engine.
  std::vector<uint8_t> bytes;
  try {
    bytes = base::ReadFileBytes(fileName);
  } catch (const base::Exception&) {
    return nullptr;
  }
  return DecodePicture(bytes);
}

void DrawPicture(HDC dc, const Picture& picture, const RECT& dest) {
  const int w = picture.Width(), h = picture.Height();
  const int dw = dest.right - dest.left, dh = dest.bottom - dest.top;
  HDC src = CreateCompatibleDC(dc);
  const int oldMode = SetStretchBltMode(dc, COLORONCOLOR);
  HGDIOBJ old = nullptr;
  if (picture.Mask()) {
    // The mask keeps what lies under the unpainted pixels; the black there adds nothing.
    old = SelectObject(src, picture.Mask());
    StretchBlt(dc, dest.left, dest.top, dw, dh, src, 0, 0, w, h, SRCAND);
    SelectObject(src, picture.Bitmap());
    StretchBlt(dc, dest.left, dest.top, dw, dh, src, 0, 0, w, h, SRCPAINT);
  } else {
    old = SelectObject(src, picture.Bitmap());
    StretchBlt(dc, dest.left, dest.top, dw, dh, src, 0, 0, w, h, SRCCOPY);
  }
  SelectObject(src, old);
  SetStretchBltMode(dc, oldMode);
  DeleteDC(src);
}

}  // namespace base::win
