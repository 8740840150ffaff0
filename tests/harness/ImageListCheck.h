// Reading back what an image list holds: one image drawn over white.
#pragma once
#include <windows.h>

#include "base/win/ImageList.h"

namespace wintest {

inline COLORREF ImageCentre(const base::win::ImageList& list, int index) {
  const int s = list.Size();
  HDC screen = GetDC(nullptr);
  HBITMAP canvas = CreateCompatibleBitmap(screen, s, s);
  ReleaseDC(nullptr, screen);
  HDC dc = CreateCompatibleDC(nullptr);
  HGDIOBJ old = SelectObject(dc, canvas);
  PatBlt(dc, 0, 0, s, s, WHITENESS);
  ImageList_Draw(list.Handle(), index, dc, 0, 0, ILD_NORMAL);
  const COLORREF c = GetPixel(dc, s / 2, s / 2);
  SelectObject(dc, old);
  DeleteDC(dc);
  DeleteObject(canvas);
  return c;
}

}  // namespace wintest
