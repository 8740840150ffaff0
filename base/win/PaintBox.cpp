#include "base/win/PaintBox.h"

#include <map>

namespace base::win {

MemoryCanvas::MemoryCanvas(int width, int height) : width_(width < 1 ? 1 : width), height_(height < 1 ? 1 : height) {
  bitmap_ = NewSection(width_, height_, nullptr);
  dc_ = CreateCompatibleDC(nullptr);
  if (bitmap_) old_ = SelectObject(dc_, bitmap_);
}

MemoryCanvas::~MemoryCanvas() {
  if (old_) SelectObject(dc_, old_);
  if (bitmap_) DeleteObject(bitmap_);
  if (dc_) DeleteDC(dc_);
}

void MemoryCanvas::CopyTo(HDC target, int x, int y) const { BitBlt(target, x, y, width_, height_, dc_, 0, 0, SRCCOPY); }

std::unique_ptr<Picture> MemoryCanvas::TakePicture() {
  if (!bitmap_) return nullptr;
  GdiFlush();
  SelectObject(dc_, old_);
  old_ = nullptr;
  auto picture = std::make_unique<Picture>(bitmap_, width_, height_);
  bitmap_ = nullptr;
  return picture;
}

namespace {

std::map<HWND, PaintHandler>& Handlers() {
  static std::map<HWND, PaintHandler> handlers;
  return handlers;
}

void Draw(HWND h, HDC dc, const RECT& client) {
  auto it = Handlers().find(h);
  if (it == Handlers().end()) {
    FillRect(dc, &client, GetSysColorBrush(COLOR_BTNFACE));
    return;
  }
  PaintHandler handler = it->second;  // the handler may replace itself
  Form::Guard([&] { handler(dc, client); });
}

LRESULT CALLBACK PaintBoxProc(HWND h, UINT msg, WPARAM w, LPARAM l) {
  switch (msg) {
    case WM_ERASEBKGND:
      return 1;  // the whole area is drawn off screen, then copied
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(h, &ps);
      RECT client;
      GetClientRect(h, &client);
      MemoryCanvas canvas(client.right, client.bottom);
      Draw(h, canvas.DC(), client);
      canvas.CopyTo(dc);
      EndPaint(h, &ps);
      return 0;
    }
    case WM_NCDESTROY:
      Handlers().erase(h);
      break;
    default:
      break;
  }
  return DefWindowProcA(h, msg, w, l);
}

}  // namespace

void PaintBox::OnPaint(PaintHandler handler) const {
  HWND h = Handle();
  if (!h) return;
  Handlers()[h] = std::move(handler);
  InvalidateRect(h, nullptr, FALSE);
}

void PaintBox::Repaint() const {
  InvalidateRect(Handle(), nullptr, FALSE);
  UpdateWindow(Handle());
}

std::unique_ptr<Picture> PaintBox::Snapshot() const {
  RECT client = ClientRect();
  MemoryCanvas canvas(client.right, client.bottom);
  Draw(Handle(), canvas.DC(), client);
  return canvas.TakePicture();
}

void RegisterPaintBoxClass(HINSTANCE instance) {
  WNDCLASSA wc{};
  wc.lpfnWndProc = PaintBoxProc;
  wc.hInstance = instance;
  wc.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
  wc.lpszClassName = "TandrelPaintBox";
  RegisterClassA(&wc);
}

}  // namespace base::win
