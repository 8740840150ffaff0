// An image list of square images (16 x 16 for small icons, 32 x 32 for large ones) that
// tree and list views show. The object owns the handle and destroys it with itself;
// views only borrow it, so a list view showing it needs LVS_SHAREIMAGELIST.
#pragma once
#include <windows.h>
#include <commctrl.h>

namespace base::win {

class ImageList {
public:
  static constexpr int kSmall = 16;
  static constexpr int kLarge = 32;

  explicit ImageList(int size = kSmall);
  ~ImageList();
  ImageList(const ImageList&) = delete;
  ImageList& operator=(const ImageList&) = delete;

  HIMAGELIST Handle() const { return h_; }
  int Size() const { return size_; }
  int Count() const;
  // Each returns the new image's index, -1 when the image could not be added.
  int AddIcon(HICON icon);                                  // a copy of the icon
  int AddBitmap(HBITMAP image, HBITMAP mask = nullptr);     // copies of the bitmaps
  int AddMasked(HBITMAP image, COLORREF transparent);
  int AddBlank();                                           // a wholly transparent image
  // The image as an icon of the caller's (DestroyIcon it), nullptr when there is none.
  HICON GetIcon(int index) const;
  void Clear();

  // Several views show this list (the form's views and caches share it).
  bool ShareImages() const { return share_; }
  void SetShareImages(bool value) { share_ = value; }

private:
  HIMAGELIST h_;
  int size_;
  bool share_ = false;
};

}  // namespace base::win
