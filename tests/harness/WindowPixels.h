// What a window shows, read back pixel by pixel from its own drawing surface (children
// included), for tests that must see a picture, a colour or a text where a user would.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

namespace wintest {

class WindowPixels {
public:
  // The client area of the top-level window of `window`, as drawn now (the window is
  // painted afresh first, and with `pump` the thread's pending messages run). With
  // TANDREL_TEST_PICTURES set to a folder, a BMP of it named `name` is saved there for a
  // person to look at.
  explicit WindowPixels(HWND window, const std::string& name = std::string(), bool pump = true);
  int Width() const { return width_; }
  int Height() const { return height_; }
  // A pixel at client coordinates of the top-level window; CLR_INVALID outside.
  COLORREF At(int x, int y) const;
  // A pixel at client coordinates of `control` (a child of the window).
  COLORREF At(HWND control, int x, int y) const;
  // The pixels of `control`'s client area, row by row.
  std::vector<COLORREF> Of(HWND control) const;
  // How many pixels of `control`'s client area have `colour`.
  int Count(HWND control, COLORREF colour) const;

private:
  HWND top_;
  int width_ = 0, height_ = 0;
  std::vector<COLORREF> pixels_;
};

// The static texts of the window (pages and all) that their controls cut: wrapped as the
// control wraps them, in its font, they need more height or width than it has. Each as
// "id: text".
std::vector<std::string> CutTexts(HWND window);

}  // namespace wintest
