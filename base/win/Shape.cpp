#include "base/win/Shape.h"

#include <algorithm>
#include <map>

namespace base::win {

namespace {

struct ShapeState {
  Shape::Kind kind = Shape::Kind::RoundRect;
  Color pen = clBlue;
  int width = 1;
};

std::map<HWND, ShapeState>& Shapes() {
  static std::map<HWND, ShapeState> shapes;
  return shapes;
}

// The window is only its outline: a ring between the outer shape and the shape inset by
// the pen width.
void Reshape(HWND h) {
  ShapeState& s = Shapes()[h];
  RECT r;
  GetClientRect(h, &r);
  int corner = s.kind == Shape::Kind::RoundRect ? std::min(r.right, r.bottom) / 4 : 0;
  HRGN outer = s.kind == Shape::Kind::RoundRect ? CreateRoundRectRgn(0, 0, r.right + 1, r.bottom + 1, corner, corner)
                                                : CreateRectRgn(0, 0, r.right, r.bottom);
  int w = s.width;
  HRGN inner = s.kind == Shape::Kind::RoundRect
                   ? CreateRoundRectRgn(w, w, r.right - w + 1, r.bottom - w + 1, std::max(corner - w, 0),
                                        std::max(corner - w, 0))
                   : CreateRectRgn(w, w, r.right - w, r.bottom - w);
  CombineRgn(outer, outer, inner, RGN_DIFF);
  DeleteObject(inner);
  SetWindowRgn(h, outer, TRUE);  // the window owns the region now
}

LRESULT CALLBACK ShapeProc(HWND h, UINT msg, WPARAM w, LPARAM l) {
  if (NotifyMouse(h, msg)) return 0;
  switch (msg) {
    case WM_CREATE:
      Shapes()[h];
      Reshape(h);
      return 0;
    case WM_SIZE:
      Reshape(h);
      return 0;
    case WM_ERASEBKGND:
      return 1;
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(h, &ps);
      RECT r;
      GetClientRect(h, &r);
      FillSolid(dc, r, ColorToRGB(Shapes()[h].pen));
      EndPaint(h, &ps);
      return 0;
    }
    case WM_PRINTCLIENT: {
      // Only the outline: a picture above draws the shape that shows through it.
      HDC dc = reinterpret_cast<HDC>(w);
      HRGN outline = CreateRectRgn(0, 0, 0, 0);
      RECT r;
      GetClientRect(h, &r);
      if (GetWindowRgn(h, outline) == ERROR) SetRectRgn(outline, 0, 0, r.right, r.bottom);
      POINT org;
      GetViewportOrgEx(dc, &org);
      OffsetRgn(outline, org.x, org.y);
      const int saved = SaveDC(dc);
      ExtSelectClipRgn(dc, outline, RGN_AND);
      FillSolid(dc, r, ColorToRGB(Shapes()[h].pen));
      RestoreDC(dc, saved);
      DeleteObject(outline);
      return 0;
    }
    case WM_NCDESTROY:
      Shapes().erase(h);
      break;
    default:
      break;
  }
  return DefWindowProcA(h, msg, w, l);
}

}  // namespace

void Shape::SetKind(Kind kind) const {
  HWND h = Handle();
  Shapes()[h].kind = kind;
  Reshape(h);
}

void Shape::SetPen(Color color, int width) const {
  HWND h = Handle();
  Shapes()[h].pen = color;
  Shapes()[h].width = std::max(width, 1);
  Reshape(h);
  InvalidateRect(h, nullptr, TRUE);
}

Color Shape::PenColor() const { return Shapes()[Handle()].pen; }
int Shape::PenWidth() const { return Shapes()[Handle()].width; }
Shape::Kind Shape::GetKind() const { return Shapes()[Handle()].kind; }

void RegisterShapeClass(HINSTANCE instance) {
  WNDCLASSA wc{};
  wc.lpfnWndProc = ShapeProc;
  wc.hInstance = instance;
  wc.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
  wc.lpszClassName = "TandrelShape";
  RegisterClassA(&wc);
}

}  // namespace base::win
