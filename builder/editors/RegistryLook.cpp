#include "builder/editors/RegistryLook.h"
#include "resources/builder_texts.h"

#include <functional>

namespace {

constexpr int kSize = 16;
constexpr COLORREF kMask = RGB(255, 0, 255);

enum class Picture { ClosedKey, OpenKey, Text, Number, File, Section };

void Box(HDC dc, int l, int t, int r, int b, COLORREF fill) {
  HBRUSH brush = CreateSolidBrush(fill);
  HGDIOBJ oldBrush = SelectObject(dc, brush);
  HGDIOBJ oldPen = SelectObject(dc, GetStockObject(BLACK_PEN));
  Rectangle(dc, l, t, r, b);
  SelectObject(dc, oldPen);
  SelectObject(dc, oldBrush);
  DeleteObject(brush);
}

void Letters(HDC dc, int x, const char* text, COLORREF colour) {
  HFONT font = CreateFontA(-9, 0, 0, 0, FW_BOLD, 0, 0, 0, ANSI_CHARSET, 0, 0, NONANTIALIASED_QUALITY, 0, "Arial");
  HGDIOBJ old = SelectObject(dc, font);
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, colour);
  TextOutA(dc, x, 3, text, lstrlenA(text));
  SelectObject(dc, old);
  DeleteObject(font);
}

void Draw(HDC dc, int x, Picture p) {
  switch (p) {
    case Picture::ClosedKey:  // a folder
      Box(dc, x + 1, 3, x + 7, 6, RGB(0xE0, 0xC0, 0x40));
      Box(dc, x + 1, 5, x + 15, 14, RGB(0xF0, 0xD0, 0x50));
      break;
    case Picture::OpenKey:
      Box(dc, x + 1, 3, x + 7, 6, RGB(0xE0, 0xC0, 0x40));
      Box(dc, x + 1, 5, x + 15, 14, RGB(0xFF, 0xF0, 0xA0));
      Box(dc, x + 3, 8, x + 15, 14, RGB(0xF0, 0xD0, 0x50));
      break;
    case Picture::Text:
      Box(dc, x + 1, 2, x + 15, 14, RGB(0xFF, 0xFF, 0xFF));
      Letters(dc, x + 2, "ab", RGB(0xC0, 0, 0));
      break;
    case Picture::Number:
      Box(dc, x + 1, 2, x + 15, 14, RGB(0xFF, 0xFF, 0xFF));
      Letters(dc, x + 2, "01", RGB(0, 0, 0xC0));
      break;
    case Picture::File:  // a page with lines
      Box(dc, x + 3, 1, x + 13, 15, RGB(0xFF, 0xFF, 0xFF));
      for (int y = 4; y < 13; y += 3) {
        MoveToEx(dc, x + 5, y, nullptr);
        LineTo(dc, x + 11, y);
      }
      break;
    case Picture::Section:
      Box(dc, x + 2, 4, x + 14, 12, RGB(0x80, 0xC0, 0xFF));
      break;
  }
}

void AddImages(base::win::ImageList& images, std::initializer_list<Picture> pictures) {
  const int count = static_cast<int>(pictures.size());
  HDC screen = GetDC(nullptr);
  HDC dc = CreateCompatibleDC(screen);
  HBITMAP strip = CreateCompatibleBitmap(screen, kSize * count, kSize);
  HGDIOBJ old = SelectObject(dc, strip);
  RECT all{0, 0, kSize * count, kSize};
  HBRUSH mask = CreateSolidBrush(kMask);
  FillRect(dc, &all, mask);
  DeleteObject(mask);
  int x = 0;
  for (Picture p : pictures) {
    Draw(dc, x, p);
    x += kSize;
  }
  SelectObject(dc, old);
  images.AddMasked(strip, kMask);
  DeleteObject(strip);
  DeleteDC(dc);
  ReleaseDC(nullptr, screen);
}

}  // namespace

void AddRegistryImages(base::win::ImageList& images) {
  AddImages(images, {Picture::ClosedKey, Picture::OpenKey, Picture::Text, Picture::Number});
}

void AddIniImages(base::win::ImageList& images) { AddImages(images, {Picture::File, Picture::Section}); }

void AddSingleTab(const base::win::Control& tabs, const std::string& caption) {
  std::string text = caption;
  TCITEMA tab = {};
  tab.mask = TCIF_TEXT;
  tab.pszText = text.data();
  tabs.Send(TCM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&tab));
}

void AddValueColumns(const base::win::ListView& values, const std::string& dataCaption) {
  values.SetRowSelect();
  values.AddColumn(texts::kColName, 150);
  values.AddColumn(dataCaption, 100);
  values.SetFillLastColumn();
}
