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

}  // namespace

std::unique_ptr<Picture> DecodePicture(const std::vector<uint8_t>& bytes) {
  if (bytes.size() >= 2 && bytes[0] == 'B' && bytes[1] == 'M') return DecodeBmp(bytes);
  if (bytes.size() >= 3 && bytes[0] == 0xFF && bytes[1] == 0xD8) {
    int w = 0, h = 0;
    HBITMAP bmp = DecodeJpegRaw(bytes.data(), bytes.size(), &w, &h);
    return bmp ? std::make_unique<Picture>(bmp, w, h) : nullptr;
  }
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

}  // namespace base::win
