#include "tests/harness/WindowPixels.h"

#include <cstdint>
#include <cstdlib>
#include <fstream>

#include "base/win/Graphics.h"
#include "tests/harness/Bitmaps.h"
#include "tests/harness/FormDriver.h"

namespace wintest {

namespace {

void SaveBitmap(const std::string& file, int w, int h, const std::vector<COLORREF>& px) {
  std::ofstream(file, std::ios::binary) << MakeBitmap(w, h, [&](int x, int y) {
    const COLORREF c = px[static_cast<size_t>(h - 1 - y) * w + x];
    return std::string{char(GetBValue(c)), char(GetGValue(c)), char(GetRValue(c))};
  });
}

}  // namespace

WindowPixels::WindowPixels(HWND window, const std::string& name, bool pump) : top_(GetAncestor(window, GA_ROOT)) {
  // Other tests' windows share the display: for the picture this one lies above them all.
  const bool wasTopmost = (GetWindowLongA(top_, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0;
  if (!wasTopmost) SetWindowPos(top_, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  if (pump) Pump(100);
  RedrawWindow(top_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
  RECT c{};
  GetClientRect(top_, &c);
  width_ = c.right;
  height_ = c.bottom;
  if (width_ <= 0 || height_ <= 0) {
    if (!wasTopmost) SetWindowPos(top_, HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    return;
  }
  HDC dc = GetDC(top_);
  HDC mem = CreateCompatibleDC(dc);
  uint8_t* bits = nullptr;
  HBITMAP bmp = base::win::NewSection(width_, height_, &bits);
  HGDIOBJ old = SelectObject(mem, bmp);
  BitBlt(mem, 0, 0, width_, height_, dc, 0, 0, SRCCOPY);
  GdiFlush();
  const size_t stride = (static_cast<size_t>(width_) * 3 + 3) & ~static_cast<size_t>(3);
  pixels_.resize(static_cast<size_t>(width_) * height_);
  for (int y = 0; y < height_; ++y)
    for (int x = 0; x < width_; ++x) {
      const uint8_t* p = bits + stride * static_cast<size_t>(y) + 3 * static_cast<size_t>(x);
      pixels_[static_cast<size_t>(y) * width_ + x] = RGB(p[2], p[1], p[0]);
    }
  SelectObject(mem, old);
  DeleteObject(bmp);
  DeleteDC(mem);
  ReleaseDC(top_, dc);
  if (!wasTopmost) SetWindowPos(top_, HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  const char* folder = std::getenv("TANDREL_TEST_PICTURES");
  if (folder && *folder && !name.empty()) SaveBitmap(std::string(folder) + "\\" + name + ".bmp", width_, height_, pixels_);
}

COLORREF WindowPixels::At(int x, int y) const {
  if (x < 0 || y < 0 || x >= width_ || y >= height_) return CLR_INVALID;
  return pixels_[static_cast<size_t>(y) * width_ + x];
}

COLORREF WindowPixels::At(HWND control, int x, int y) const {
  POINT pt{x, y};
  MapWindowPoints(control, top_, &pt, 1);
  return At(pt.x, pt.y);
}

std::vector<COLORREF> WindowPixels::Of(HWND control) const {
  RECT r{};
  GetClientRect(control, &r);
  std::vector<COLORREF> out;
  for (int y = 0; y < r.bottom; ++y)
    for (int x = 0; x < r.right; ++x) out.push_back(At(control, x, y));
  return out;
}

int WindowPixels::Count(HWND control, COLORREF colour) const {
  int n = 0;
  for (COLORREF c : Of(control)) n += c == colour;
  return n;
}

std::vector<std::string> CutTexts(HWND window) {
  std::vector<std::string> cut;
  struct Walk {
    std::vector<std::string>* cut;
    static BOOL CALLBACK Each(HWND h, LPARAM l) {
      auto* w = reinterpret_cast<Walk*>(l);
      char cls[32] = {};
      GetClassNameA(h, cls, sizeof cls);
      const LONG style = GetWindowLongA(h, GWL_STYLE);
      const LONG type = style & SS_TYPEMASK;
      if (lstrcmpiA(cls, "Static") != 0 || !(style & WS_VISIBLE) ||
          (type != SS_LEFT && type != SS_CENTER && type != SS_RIGHT && type != SS_LEFTNOWORDWRAP))
        return TRUE;
      char text[1024] = {};
      const int n = static_cast<int>(SendMessageA(h, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text)));
      if (n <= 0) return TRUE;
      RECT client;
      GetClientRect(h, &client);
      HDC dc = GetDC(h);
      HGDIOBJ old = SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageA(h, WM_GETFONT, 0, 0)));
      RECT need{0, 0, client.right, 0};
      UINT flags = DT_CALCRECT | DT_EXPANDTABS | (type == SS_LEFTNOWORDWRAP ? DT_SINGLELINE : DT_WORDBREAK);
      if (style & SS_NOPREFIX) flags |= DT_NOPREFIX;
      DrawTextA(dc, text, n, &need, flags);
      SelectObject(dc, old);
      ReleaseDC(h, dc);
      if (need.bottom > client.bottom || need.right > client.right)
        w->cut->push_back(std::to_string(GetDlgCtrlID(h)) + ": " + text);
      return TRUE;
    }
  } walk{&cut};
  EnumChildWindows(window, Walk::Each, reinterpret_cast<LPARAM>(&walk));
  return cut;
}

}  // namespace wintest
