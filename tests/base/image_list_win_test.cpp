#include <gtest/gtest.h>
#include <windows.h>

#include <vector>

#include "base/win/ImageList.h"
#include "tests/harness/ImageListCheck.h"

using base::win::ImageList;
using wintest::ImageCentre;

namespace {

// A bitmap of one colour, compatible with the screen.
HBITMAP SolidBitmap(int size, COLORREF colour) {
  HDC screen = GetDC(nullptr);
  HBITMAP b = CreateCompatibleBitmap(screen, size, size);
  ReleaseDC(nullptr, screen);
  HDC dc = CreateCompatibleDC(nullptr);
  HGDIOBJ old = SelectObject(dc, b);
  HBRUSH brush = CreateSolidBrush(colour);
  RECT r{0, 0, size, size};
  FillRect(dc, &r, brush);
  DeleteObject(brush);
  SelectObject(dc, old);
  DeleteDC(dc);
  return b;
}

HICON SolidIcon(int size, COLORREF colour) {
  HBITMAP colourBits = SolidBitmap(size, colour);
  std::vector<unsigned char> zeros(static_cast<size_t>(((size + 15) / 16) * 2 * size), 0);
  HBITMAP mask = CreateBitmap(size, size, 1, 1, zeros.data());  // every pixel shown
  ICONINFO info{TRUE, 0, 0, mask, colourBits};
  HICON icon = CreateIconIndirect(&info);
  DeleteObject(colourBits);
  DeleteObject(mask);
  return icon;
}

TEST(ImageList, AddsIconsBitmapsAndBlanksInBothSizes) {
  for (int size : {ImageList::kSmall, ImageList::kLarge}) {
    SCOPED_TRACE(size);
    ImageList list(size);
    ASSERT_NE(list.Handle(), nullptr);
    int cx = 0, cy = 0;
    ImageList_GetIconSize(list.Handle(), &cx, &cy);
    EXPECT_EQ(cx, size);
    EXPECT_EQ(cy, size);
    EXPECT_EQ(list.Count(), 0);

    HICON icon = SolidIcon(size, RGB(0, 0, 255));
    EXPECT_EQ(list.AddIcon(icon), 0);
    DestroyIcon(icon);  // the list keeps a copy
    HBITMAP red = SolidBitmap(size, RGB(255, 0, 0));
    EXPECT_EQ(list.AddBitmap(red), 1);
    HBITMAP magenta = SolidBitmap(size, RGB(255, 0, 255));
    EXPECT_EQ(list.AddMasked(magenta, RGB(255, 0, 255)), 2);
    DeleteObject(red);
    DeleteObject(magenta);
    EXPECT_EQ(list.AddBlank(), 3);
    EXPECT_EQ(list.AddIcon(nullptr), -1);
    EXPECT_EQ(list.Count(), 4);

    EXPECT_EQ(ImageCentre(list, 0), RGB(0, 0, 255));
    EXPECT_EQ(ImageCentre(list, 1), RGB(255, 0, 0));
    EXPECT_EQ(ImageCentre(list, 2), RGB(255, 255, 255));
    EXPECT_EQ(ImageCentre(list, 3), RGB(255, 255, 255));
    HICON back = list.GetIcon(0);
    EXPECT_NE(back, nullptr);
    DestroyIcon(back);
    EXPECT_EQ(list.GetIcon(4), nullptr);

    list.Clear();
    EXPECT_EQ(list.Count(), 0);
  }
}

TEST(ImageList, SharingIsTheCallersChoice) {
  ImageList list;
  EXPECT_EQ(list.Size(), 16);
  EXPECT_FALSE(list.ShareImages());
  list.SetShareImages(true);
  EXPECT_TRUE(list.ShareImages());
}

}  // namespace
