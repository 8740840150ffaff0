// Icons and metafiles for tests: an icon file laid out by hand, metafiles recorded by
// GDI itself. Each is painted in its left half only (columns 0 to 15 of 32, or 0 to 7
// of 16); the right half is left unpainted.
#pragma once
#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

namespace wintest {

inline void PutLe16(std::string& b, uint16_t v) { b += {char(v), char(v >> 8)}; }
inline void PutLe32(std::string& b, uint32_t v) { b += {char(v), char(v >> 8), char(v >> 16), char(v >> 24)}; }

// A 16 x 16 icon of 24-bit colour: its left eight columns opaque in `color`, the rest
// transparent by the AND mask.
inline std::string MakeIcon16(COLORREF color) {
  const int n = 16;
  std::string image;
  PutLe32(image, 40);
  PutLe32(image, n);
  PutLe32(image, 2 * n);  // colour rows and mask rows
  PutLe16(image, 1);
  PutLe16(image, 24);
  for (int i = 0; i < 6; ++i) PutLe32(image, 0);
  for (int y = 0; y < n; ++y)
    for (int x = 0; x < n; ++x) {
      const bool painted = x < n / 2;
      image += painted ? std::string{char(GetBValue(color)), char(GetGValue(color)), char(GetRValue(color))}
                       : std::string(3, '\0');
    }
  for (int y = 0; y < n; ++y) image += std::string{'\x00', '\xFF', '\0', '\0'};  // bits set: transparent
  std::string file;
  PutLe16(file, 0);
  PutLe16(file, 1);
  PutLe16(file, 1);
  file += {char(n), char(n), 0, 0};
  PutLe16(file, 1);
  PutLe16(file, 24);
  PutLe32(file, static_cast<uint32_t>(image.size()));
  PutLe32(file, 6 + 16);
  return file + image;
}

inline void PaintLeftHalf(HDC dc, int size, COLORREF color) {
  HBRUSH brush = CreateSolidBrush(color);
  HGDIOBJ oldBrush = SelectObject(dc, brush);
  HGDIOBJ oldPen = SelectObject(dc, GetStockObject(NULL_PEN));
  Rectangle(dc, 0, 0, size / 2 + 1, size + 1);  // a null pen leaves the last row and column out
  SelectObject(dc, oldPen);
  SelectObject(dc, oldBrush);
  DeleteObject(brush);
}

// An enhanced metafile whose frame is 32 x 32 pixels of the screen, recorded by GDI.
inline std::string MakeEnhMetafile(COLORREF color) {
  HDC screen = GetDC(nullptr);
  const int mmX = GetDeviceCaps(screen, HORZSIZE), pxX = GetDeviceCaps(screen, HORZRES);
  const int mmY = GetDeviceCaps(screen, VERTSIZE), pxY = GetDeviceCaps(screen, VERTRES);
  RECT frame{0, 0, MulDiv(32, mmX * 100, pxX), MulDiv(32, mmY * 100, pxY)};
  HDC dc = CreateEnhMetaFileA(screen, nullptr, &frame, nullptr);
  ReleaseDC(nullptr, screen);
  PaintLeftHalf(dc, 32, color);
  HENHMETAFILE emf = CloseEnhMetaFile(dc);
  std::string bytes(GetEnhMetaFileBits(emf, 0, nullptr), '\0');
  GetEnhMetaFileBits(emf, static_cast<UINT>(bytes.size()), reinterpret_cast<BYTE*>(bytes.data()));
  DeleteEnhMetaFile(emf);
  return bytes;
}

// A Windows metafile recorded by GDI in a 32 x 32 window, behind the placeable header that
// gives it 32 x 32 units at 96 units an inch.
inline std::string MakePlaceableMetafile(COLORREF color) {
  HDC dc = CreateMetaFileA(nullptr);
  SetWindowOrgEx(dc, 0, 0, nullptr);
  SetWindowExtEx(dc, 32, 32, nullptr);
  PaintLeftHalf(dc, 32, color);
  HMETAFILE wmf = CloseMetaFile(dc);
  std::string bits(GetMetaFileBitsEx(wmf, 0, nullptr), '\0');
  GetMetaFileBitsEx(wmf, static_cast<UINT>(bits.size()), bits.data());
  DeleteMetaFile(wmf);
  std::string header;
  PutLe32(header, 0x9AC6CDD7);
  const uint16_t words[] = {0, 0, 0, 32, 32, 96};  // handle, left, top, right, bottom, units an inch
  for (uint16_t w : words) PutLe16(header, w);
  PutLe32(header, 0);
  uint16_t sum = 0;
  for (size_t i = 0; i + 1 < header.size(); i += 2)
    sum ^= static_cast<uint16_t>(static_cast<uint8_t>(header[i]) | static_cast<uint8_t>(header[i + 1]) << 8);
  PutLe16(header, sum);
  return header + bits;
}

inline std::vector<uint8_t> PictureBytes(const std::string& s) { return std::vector<uint8_t>(s.begin(), s.end()); }

}  // namespace wintest
