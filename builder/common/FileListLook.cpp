#include "builder/common/FileListLook.h"

#include "builder/common/FileListRules.h"

using namespace base::win;

namespace {

// A 16 x 16 picture on a magenta ground: a filled shape of one colour.
HBITMAP Picture(int shape, COLORREF colour) {
  HDC screen = GetDC(nullptr);
  HDC dc = CreateCompatibleDC(screen);
  HBITMAP bmp = CreateCompatibleBitmap(screen, 16, 16);
  ReleaseDC(nullptr, screen);
  HGDIOBJ old = SelectObject(dc, bmp);
  RECT all{0, 0, 16, 16};
  HBRUSH ground = CreateSolidBrush(RGB(255, 0, 255));
  FillRect(dc, &all, ground);
  DeleteObject(ground);
  HBRUSH fill = CreateSolidBrush(colour);
  HGDIOBJ oldBrush = SelectObject(dc, fill);
  switch (shape) {
    case imgGroup: Rectangle(dc, 1, 4, 15, 14); Rectangle(dc, 1, 2, 7, 5); break;
    case imgGroupSelected: Rectangle(dc, 1, 4, 15, 14); Rectangle(dc, 3, 7, 16, 14); break;
    case imgSelfRegister: Ellipse(dc, 3, 3, 13, 13); break;
    case imgComponent: Rectangle(dc, 2, 2, 14, 14); break;
    default: Ellipse(dc, 1, 1, 15, 15); break;
  }
  SelectObject(dc, oldBrush);
  DeleteObject(fill);
  SelectObject(dc, old);
  DeleteDC(dc);
  return bmp;
}

}  // namespace

void AddEditorPictures(ImageList& images) {
  const COLORREF colours[] = {RGB(230, 200, 60), RGB(250, 225, 90), RGB(40, 160, 60), RGB(60, 100, 200),
                              RGB(200, 60, 60)};
  for (int i = 0; i < 5; ++i) {
    HBITMAP bmp = Picture(i, colours[i]);
    images.AddMasked(bmp, RGB(255, 0, 255));
    DeleteObject(bmp);
  }
  images.SetShareImages(true);
}

std::string FileTimeStampText(double stamp) {
  auto system = [](const CalendarTime& t) {
    SYSTEMTIME s{};
    s.wYear = static_cast<WORD>(t.Year);
    s.wMonth = static_cast<WORD>(t.Month);
    s.wDay = static_cast<WORD>(t.Day);
    s.wHour = static_cast<WORD>(t.Hour);
    s.wMinute = static_cast<WORD>(t.Minute);
    s.wSecond = static_cast<WORD>(t.Second);
    return s;
  };
  auto date = [&](const CalendarTime& t) {
    SYSTEMTIME s = system(t);
    char buf[80] = {};
    GetDateFormatA(LOCALE_USER_DEFAULT, DATE_SHORTDATE, &s, nullptr, buf, sizeof buf);
    return std::string(buf);
  };
  auto time = [&](const CalendarTime& t) {
    SYSTEMTIME s = system(t);
    char buf[80] = {};
    GetTimeFormatA(LOCALE_USER_DEFAULT, 0, &s, nullptr, buf, sizeof buf);
    return std::string(buf);
  };
  return TimeStampText(stamp, date, time);
}
