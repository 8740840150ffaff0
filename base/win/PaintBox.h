// Double-buffered painting: an off-screen canvas, and a paint box ("TandrelPaintBox"
// window class) whose owner draws it whole through such a canvas, so a picture that is
// repainted from scratch after every change never flickers. The same drawing can be taken
// as a bitmap.
#pragma once
#include <functional>
#include <memory>

#include "base/win/Controls.h"
#include "base/win/Graphics.h"

namespace base::win {

// A 24-bit bitmap selected into a memory device context.
class MemoryCanvas {
public:
  MemoryCanvas(int width, int height);
  ~MemoryCanvas();
  MemoryCanvas(const MemoryCanvas&) = delete;
  MemoryCanvas& operator=(const MemoryCanvas&) = delete;
  HDC DC() const { return dc_; }
  int Width() const { return width_; }
  int Height() const { return height_; }
  COLORREF Pixel(int x, int y) const { return GetPixel(dc_, x, y); }
  void CopyTo(HDC target, int x = 0, int y = 0) const;
  // Hands the bitmap over; the canvas is empty afterwards.
  std::unique_ptr<Picture> TakePicture();

private:
  HDC dc_ = nullptr;
  HBITMAP bitmap_ = nullptr;
  HGDIOBJ old_ = nullptr;
  int width_, height_;
};

using PaintHandler = std::function<void(HDC, const RECT&)>;

class PaintBox : public Control {
public:
  using Control::Control;
  // The handler draws the whole client area; nothing is erased before it.
  void OnPaint(PaintHandler handler) const;
  // Paints again at once.
  void Repaint() const;
  // The handler's drawing at the client size, as a picture (for tests and previews).
  std::unique_ptr<Picture> Snapshot() const;
};

void RegisterPaintBoxClass(HINSTANCE instance);

}  // namespace base::win
