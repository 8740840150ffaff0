#include "base/win/ImageList.h"

#include <vector>

namespace base::win {

ImageList::ImageList(int size) : size_(size) {
  h_ = ImageList_Create(size, size, ILC_COLOR32 | ILC_MASK, 8, 8);
}

ImageList::~ImageList() {
  if (h_) ImageList_Destroy(h_);
}

int ImageList::Count() const { return h_ ? ImageList_GetImageCount(h_) : 0; }

int ImageList::AddIcon(HICON icon) {
  if (!h_ || !icon) return -1;
  return ImageList_ReplaceIcon(h_, -1, icon);
}

int ImageList::AddBitmap(HBITMAP image, HBITMAP mask) {
  if (!h_ || !image) return -1;
  return ImageList_Add(h_, image, mask);
}

int ImageList::AddMasked(HBITMAP image, COLORREF transparent) {
  if (!h_ || !image) return -1;
  return ImageList_AddMasked(h_, image, transparent);
}

int ImageList::AddBlank() {
  if (!h_) return -1;
  // Black colour under a mask of ones: nothing of the image shows.
  const int rowBytes = ((size_ + 15) / 16) * 2;
  std::vector<unsigned char> ones(static_cast<size_t>(rowBytes * size_), 0xFF);
  HBITMAP mask = CreateBitmap(size_, size_, 1, 1, ones.data());
  HDC screen = GetDC(nullptr);
  HBITMAP colour = CreateCompatibleBitmap(screen, size_, size_);
  ReleaseDC(nullptr, screen);
  int index = -1;
  if (mask && colour) {
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, colour);
    RECT r{0, 0, size_, size_};
    FillRect(dc, &r, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    SelectObject(dc, old);
    DeleteDC(dc);
    index = ImageList_Add(h_, colour, mask);
  }
  if (mask) DeleteObject(mask);
  if (colour) DeleteObject(colour);
  return index;
}

HICON ImageList::GetIcon(int index) const {
  if (!h_ || index < 0 || index >= Count()) return nullptr;
  return ImageList_GetIcon(h_, index, ILD_NORMAL);
}

void ImageList::Clear() {
  if (h_) ImageList_Remove(h_, -1);
}

}  // namespace base::win
