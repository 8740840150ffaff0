#include "base/win/Controls.h"

#include "base/win/Splitter.h"

#include <richedit.h>

#include "base/win/PageControl.h"
#include "base/win/Shape.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <map>
#include <vector>

namespace base::win {

// ---------------------------------------------------------------------------------------
// Control

bool Control::Visible() const { return (GetWindowLongA(Handle(), GWL_STYLE) & WS_VISIBLE) != 0; }

void Control::SetFont(const Font& font) const { MutableOwner().SetControlFont(Handle(), font); }

// ---------------------------------------------------------------------------------------
// Label

namespace {

// What shows through a transparent control is the parent's: repaint that area.
void RepaintBehind(HWND control) {
  HWND parent = GetParent(control);
  if (!parent) return;
  RECT r;
  GetWindowRect(control, &r);
  MapWindowPoints(HWND_DESKTOP, parent, reinterpret_cast<POINT*>(&r), 2);
  InvalidateRect(parent, &r, TRUE);
}

bool IsTransparent(HWND control) { return (GetWindowLongA(control, GWL_EXSTYLE) & WS_EX_TRANSPARENT) != 0; }

}  // namespace

void Label::SetCaption(const std::string& caption) const {
  HWND h = Handle();
  SetWindowTextA(h, caption.c_str());
  if (IsTransparent(h)) RepaintBehind(h);
}

void Label::SetTransparent(bool transparent) const {
  HWND h = Handle();
  LONG ex = GetWindowLongA(h, GWL_EXSTYLE);
  SetWindowLongA(h, GWL_EXSTYLE, transparent ? (ex | WS_EX_TRANSPARENT) : (ex & ~WS_EX_TRANSPARENT));
  MutableOwner().SetControlTransparent(h, transparent);
  RepaintBehind(h);
}

void Label::SetTextColor(Color color) const { MutableOwner().SetControlTextColor(Handle(), color); }

void Label::AutoSize() const {
  HWND h = Handle();
  std::string text = Text();
  HDC dc = GetDC(h);
  HGDIOBJ old = SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageA(h, WM_GETFONT, 0, 0)));
  RECT r{0, 0, 0, 0};
  if (text.empty()) {
    TEXTMETRICA tm;
    GetTextMetricsA(dc, &tm);
    r.bottom = tm.tmHeight;
  } else {
    DrawTextA(dc, text.c_str(), static_cast<int>(text.size()), &r, DT_CALCRECT | DT_NOPREFIX);
  }
  SelectObject(dc, old);
  ReleaseDC(h, dc);
  SetWindowPos(h, nullptr, 0, 0, r.right, r.bottom, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  if (IsTransparent(h)) RepaintBehind(h);
}

// ---------------------------------------------------------------------------------------
// RichEdit

namespace {

struct StreamSource {
  const std::string* text;
  size_t pos;
};

DWORD CALLBACK StreamIn(DWORD_PTR cookie, LPBYTE buffer, LONG size, LONG* read) {
  auto* src = reinterpret_cast<StreamSource*>(cookie);
  size_t n = std::min(static_cast<size_t>(size), src->text->size() - src->pos);
  std::memcpy(buffer, src->text->data() + src->pos, n);
  src->pos += n;
  *read = static_cast<LONG>(n);
  return 0;
}

DWORD CALLBACK StreamOut(DWORD_PTR cookie, LPBYTE buffer, LONG size, LONG* written) {
  reinterpret_cast<std::string*>(cookie)->append(reinterpret_cast<const char*>(buffer), static_cast<size_t>(size));
  *written = size;
  return 0;
}

}  // namespace

void RichEdit::LoadText(const std::string& text) const {
  StreamSource src{&text, 0};
  EDITSTREAM es{};
  es.dwCookie = reinterpret_cast<DWORD_PTR>(&src);
  es.pfnCallback = StreamIn;
  bool rtf = text.compare(0, 5, "{\\rtf") == 0;
  Send(EM_STREAMIN, rtf ? SF_RTF : SF_TEXT, reinterpret_cast<LPARAM>(&es));
}

void RichEdit::LoadPlainText(const std::string& text) const {
  StreamSource src{&text, 0};
  EDITSTREAM es{};
  es.dwCookie = reinterpret_cast<DWORD_PTR>(&src);
  es.pfnCallback = StreamIn;
  Send(EM_STREAMIN, SF_TEXT, reinterpret_cast<LPARAM>(&es));
}

std::string RichEdit::PlainText() const {
  std::string out;
  EDITSTREAM es{};
  es.dwCookie = reinterpret_cast<DWORD_PTR>(&out);
  es.pfnCallback = StreamOut;
  Send(EM_STREAMOUT, SF_TEXT, reinterpret_cast<LPARAM>(&es));
  return out;
}

std::string RichEdit::RichText() const {
  std::string out;
  EDITSTREAM es{};
  es.dwCookie = reinterpret_cast<DWORD_PTR>(&out);
  es.pfnCallback = StreamOut;
  Send(EM_STREAMOUT, SF_RTF, reinterpret_cast<LPARAM>(&es));
  return out;
}

void RichEdit::SetBackColor(Color color) const { Send(EM_SETBKGNDCOLOR, 0, static_cast<LPARAM>(ColorToRGB(color))); }

void RichEdit::SetWordWrap(bool wrap) const { Send(EM_SETTARGETDEVICE, 0, wrap ? 0 : 1); }

// ---------------------------------------------------------------------------------------
// ListBox

int ListBox::Add(const std::string& item) const {
  return static_cast<int>(Send(LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item.c_str())));
}

std::string ListBox::Item(int index) const {
  LRESULT n = Send(LB_GETTEXTLEN, static_cast<WPARAM>(index));
  if (n == LB_ERR) return std::string();
  std::string text(static_cast<size_t>(n) + 1, '\0');
  n = Send(LB_GETTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text.data()));
  text.resize(n == LB_ERR ? 0 : static_cast<size_t>(n));
  return text;
}

std::vector<std::string> ListBox::Items() const {
  std::vector<std::string> items;
  for (int i = 0, n = Count(); i < n; ++i) items.push_back(Item(i));
  return items;
}

// ---------------------------------------------------------------------------------------
// Image

namespace {

struct ImageState {
  std::unique_ptr<Picture> picture;
  bool center = false, stretch = false, transparent = false, autoSize = false;
};

std::map<HWND, ImageState>& Images() {
  static std::map<HWND, ImageState> images;
  return images;
}

ImageState& StateOf(HWND h) { return Images()[h]; }

// Where the picture goes in the client area.
RECT PictureRect(const ImageState& s, const RECT& client) {
  const int w = s.picture->Width(), ht = s.picture->Height();
  if (s.stretch) return client;
  if (s.center) {
    const int x = (client.right - w) / 2, y = (client.bottom - ht) / 2;
    return RECT{x, y, x + w, y + ht};
  }
  return RECT{0, 0, w, ht};
}

// The picture's pixels as 24-bit rows, top row first, whatever kind of bitmap holds them.
std::vector<uint8_t> PictureRows(const Picture& picture, int* stride) {
  *stride = (picture.Width() * 3 + 3) & ~3;
  std::vector<uint8_t> rows(static_cast<size_t>(*stride) * static_cast<size_t>(picture.Height()));
  BITMAPINFO bi{};
  bi.bmiHeader.biSize = sizeof bi.bmiHeader;
  bi.bmiHeader.biWidth = picture.Width();
  bi.bmiHeader.biHeight = -picture.Height();
  bi.bmiHeader.biPlanes = 1;
  bi.bmiHeader.biBitCount = 24;
  bi.bmiHeader.biCompression = BI_RGB;
  HDC screen = GetDC(nullptr);
  const int got = GetDIBits(screen, picture.Bitmap(), 0, static_cast<UINT>(picture.Height()), rows.data(), &bi,
                            DIB_RGB_COLORS);
  ReleaseDC(nullptr, screen);
  if (got <= 0) rows.clear();
  return rows;
}

// Copies the picture into `dest` of a 24-bit top-down canvas, stretched to it, leaving
// the canvas as it was wherever the picture has the colour of its bottom-left pixel. Done
// pixel by pixel: the system's transparent copies differ between versions.
void KeyedCopy(uint8_t* canvas, int canvasStride, int cw, int ch, const RECT& dest, const Picture& picture) {
  const int pw = picture.Width(), ph = picture.Height();
  const int dw = dest.right - dest.left, dh = dest.bottom - dest.top;
  if (!canvas || pw <= 0 || ph <= 0 || dw <= 0 || dh <= 0) return;
  int stride = 0;
  const std::vector<uint8_t> src = PictureRows(picture, &stride);
  if (src.empty()) return;
  const uint8_t* key = src.data() + static_cast<size_t>(stride) * static_cast<size_t>(ph - 1);
  for (int y = std::max<int>(0, dest.top); y < std::min<int>(ch, dest.bottom); ++y) {
    const int sy = static_cast<int>(static_cast<int64_t>(y - dest.top) * ph / dh);
    const uint8_t* row = src.data() + static_cast<size_t>(stride) * static_cast<size_t>(sy);
    uint8_t* out = canvas + static_cast<size_t>(canvasStride) * static_cast<size_t>(y);
    for (int x = std::max<int>(0, dest.left); x < std::min<int>(cw, dest.right); ++x) {
      const uint8_t* px = row + 3 * static_cast<size_t>(static_cast<int64_t>(x - dest.left) * pw / dw);
      if (px[0] == key[0] && px[1] == key[1] && px[2] == key[2]) continue;
      std::memcpy(out + 3 * static_cast<size_t>(x), px, 3);
    }
  }
}

// The parent's background under the control, then every lower sibling that shows there,
// bottom first: what a transparent picture lets through.
// The brush the parent gives a static control on it: its own ground.
HBRUSH ParentGround(HWND h, HDC dc) {
  HWND parent = GetParent(h);
  HBRUSH brush = parent ? reinterpret_cast<HBRUSH>(SendMessageA(parent, WM_CTLCOLORSTATIC,
                                                                reinterpret_cast<WPARAM>(dc),
                                                                reinterpret_cast<LPARAM>(h)))
                        : nullptr;
  return brush && brush != GetStockObject(NULL_BRUSH) ? brush : GetSysColorBrush(COLOR_BTNFACE);
}

void PaintBehind(HWND h, HDC dc, const RECT& client) {
  HWND parent = GetParent(h);
  HBRUSH brush = ParentGround(h, dc);
  POINT origin{0, 0};
  if (parent) MapWindowPoints(h, parent, &origin, 1);
  POINT oldBrushOrg;
  SetBrushOrgEx(dc, -origin.x, -origin.y, &oldBrushOrg);
  FillRect(dc, &client, brush);
  SetBrushOrgEx(dc, oldBrushOrg.x, oldBrushOrg.y, nullptr);
  if (!parent) return;
  RECT mine;
  GetWindowRect(h, &mine);
  for (HWND s = GetWindow(h, GW_HWNDLAST); s && s != h; s = GetWindow(s, GW_HWNDPREV)) {
    RECT r, overlap;
    if (!IsWindowVisible(s) || !GetWindowRect(s, &r) || !IntersectRect(&overlap, &r, &mine)) continue;
    POINT old;
    OffsetViewportOrgEx(dc, r.left - mine.left, r.top - mine.top, &old);
    SendMessageA(s, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT | PRF_ERASEBKGND);
    SetViewportOrgEx(dc, old.x, old.y, nullptr);
  }
}

void PaintImage(HWND h, HDC dc) {
  auto it = Images().find(h);
  if (it == Images().end() || !it->second.picture) return;
  ImageState& s = it->second;
  RECT client;
  GetClientRect(h, &client);
  const RECT dest = PictureRect(s, client);
  const int w = s.picture->Width(), ht = s.picture->Height();
  HDC src = CreateCompatibleDC(dc);
  HGDIOBJ old = SelectObject(src, s.picture->Bitmap());
  SetStretchBltMode(dc, COLORONCOLOR);
  StretchBlt(dc, dest.left, dest.top, dest.right - dest.left, dest.bottom - dest.top, src, 0, 0, w, ht, SRCCOPY);
  SelectObject(src, old);
  DeleteDC(src);
}

// A transparent picture is drawn off screen over what lies behind it, then copied whole.
void PaintTransparentImage(HWND h, HDC dc) {
  RECT client;
  GetClientRect(h, &client);
  if (client.right <= 0 || client.bottom <= 0) return;
  uint8_t* bits = nullptr;
  HBITMAP canvas = NewSection(client.right, client.bottom, &bits);
  if (!canvas) return;
  HDC mem = CreateCompatibleDC(dc);
  HGDIOBJ old = SelectObject(mem, canvas);
  PaintBehind(h, mem, client);
  GdiFlush();
  auto it = Images().find(h);
  if (it != Images().end() && it->second.picture) {
    const RECT dest = PictureRect(it->second, client);
    // A masked picture (an icon, a metafile) is see-through where it has no paint.
    if (it->second.picture->Mask())
      DrawPicture(mem, *it->second.picture, dest);
    else
      KeyedCopy(bits, (client.right * 3 + 3) & ~3, client.right, client.bottom, dest, *it->second.picture);
  }
  BitBlt(dc, 0, 0, client.right, client.bottom, mem, 0, 0, SRCCOPY);
  SelectObject(mem, old);
  DeleteDC(mem);
  DeleteObject(canvas);
}

// Transparent, or masked: either lets what lies behind it show.
bool IsTransparentImage(HWND h) {
  auto it = Images().find(h);
  return it != Images().end() &&
         (it->second.transparent || (it->second.picture && it->second.picture->Mask()));
}

void EraseImage(HWND h, HDC dc) {
  RECT r;
  GetClientRect(h, &r);
  FillRect(dc, &r, ParentGround(h, dc));
}

LRESULT CALLBACK ImageProc(HWND h, UINT msg, WPARAM w, LPARAM l) {
  if (NotifyMouse(h, msg)) return 0;
  switch (msg) {
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(h, &ps);
      if (IsTransparentImage(h)) PaintTransparentImage(h, dc);
      else PaintImage(h, dc);
      EndPaint(h, &ps);
      return 0;
    }
    case WM_PRINTCLIENT: {
      HDC dc = reinterpret_cast<HDC>(w);
      if (IsTransparentImage(h)) {
        PaintTransparentImage(h, dc);
      } else {
        if (l & PRF_ERASEBKGND) EraseImage(h, dc);
        PaintImage(h, dc);
      }
      return 0;
    }
    case WM_ERASEBKGND:
      // A transparent picture draws what lies behind it itself.
      if (!IsTransparentImage(h)) EraseImage(h, reinterpret_cast<HDC>(w));
      return 1;
    case WM_NCDESTROY:
      Images().erase(h);
      break;
    default:
      break;
  }
  return DefWindowProcA(h, msg, w, l);
}

void Refresh(HWND h) {
  HWND parent = GetParent(h);
  if (parent) {
    RECT r;
    GetWindowRect(h, &r);
    MapWindowPoints(HWND_DESKTOP, parent, reinterpret_cast<POINT*>(&r), 2);
    InvalidateRect(parent, &r, TRUE);
  }
  InvalidateRect(h, nullptr, TRUE);
}

}  // namespace

bool Image::LoadFromFile(const std::string& fileName) const {
  auto picture = LoadPictureFile(fileName);
  if (!picture) return false;
  SetPicture(std::move(picture));
  return true;
}

bool Image::LoadFromBytes(const std::vector<uint8_t>& bytes) const {
  auto picture = DecodePicture(bytes);
  if (!picture) return false;
  SetPicture(std::move(picture));
  return true;
}

void Image::SetPicture(std::unique_ptr<Picture> picture) const {
  HWND h = Handle();
  if (!h) return;
  ImageState& s = StateOf(h);
  s.picture = std::move(picture);
  if (s.autoSize && s.picture)
    SetWindowPos(h, nullptr, 0, 0, s.picture->Width(), s.picture->Height(), SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  Refresh(h);
}

void Image::Clear() const { SetPicture(nullptr); }

bool Image::Empty() const {
  auto it = Images().find(Handle());
  return it == Images().end() || !it->second.picture;
}

int Image::PictureWidth() const { return Empty() ? 0 : Images()[Handle()].picture->Width(); }
int Image::PictureHeight() const { return Empty() ? 0 : Images()[Handle()].picture->Height(); }

void Image::SetCenter(bool on) const { if (HWND h = Handle()) { StateOf(h).center = on; Refresh(h); } }
void Image::SetStretch(bool on) const { if (HWND h = Handle()) { StateOf(h).stretch = on; Refresh(h); } }
void Image::SetTransparent(bool on) const { if (HWND h = Handle()) { StateOf(h).transparent = on; Refresh(h); } }
void Image::SetAutoSize(bool on) const { if (HWND h = Handle()) StateOf(h).autoSize = on; }
bool Image::Center() const { auto it = Images().find(Handle()); return it != Images().end() && it->second.center; }
bool Image::Stretch() const { auto it = Images().find(Handle()); return it != Images().end() && it->second.stretch; }
bool Image::Transparent() const { auto it = Images().find(Handle()); return it != Images().end() && it->second.transparent; }

// ---------------------------------------------------------------------------------------
// Mouse notifications of the layer's own controls

bool NotifyMouse(HWND h, UINT msg) {
  HWND parent = GetParent(h);
  if (!parent) return false;
  WPARAM id = static_cast<WPARAM>(GetDlgCtrlID(h));
  switch (msg) {
    case WM_MOUSEMOVE:
      SendMessageA(parent, WM_COMMAND, MAKEWPARAM(id, CN_MOUSEMOVE), reinterpret_cast<LPARAM>(h));
      return false;
    case WM_LBUTTONDOWN:
      SetPropA(h, "TandrelDown", reinterpret_cast<HANDLE>(1));
      return false;
    case WM_LBUTTONUP: {
      bool down = RemovePropA(h, "TandrelDown") != nullptr;
      if (down) SendMessageA(parent, WM_COMMAND, MAKEWPARAM(id, CN_CLICKED), reinterpret_cast<LPARAM>(h));
      return false;
    }
    default:
      return false;
  }
}

void Control::MouseMove(int x, int y) const { SendMessageA(Handle(), WM_MOUSEMOVE, 0, MAKELPARAM(x, y)); }

void Control::MouseClick(int x, int y) const {
  SendMessageA(Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
  SendMessageA(Handle(), WM_LBUTTONUP, 0, MAKELPARAM(x, y));
}

// ---------------------------------------------------------------------------------------
// Window classes

namespace {

// A notebook on a tab's display area shows the tab's ground between its pages' controls.
LRESULT CALLBACK NotebookProc(HWND h, UINT msg, WPARAM w, LPARAM l) {
  if (msg == WM_ERASEBKGND) {
    if (HBRUSH ground = TabGround(h, nullptr)) {
      RECT r;
      GetClientRect(h, &r);
      FillRect(reinterpret_cast<HDC>(w), &r, ground);
      return 1;
    }
  }
  return DefWindowProcA(h, msg, w, l);
}

}  // namespace

void RegisterControlClasses(HINSTANCE instance) {
  WNDCLASSA wc{};
  wc.lpfnWndProc = ImageProc;
  wc.hInstance = instance;
  wc.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
  wc.lpszClassName = "TandrelImage";
  RegisterClassA(&wc);
  wc.lpfnWndProc = NotebookProc;
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  wc.lpszClassName = "TandrelNotebook";
  RegisterClassA(&wc);
  RegisterSplitterClass(instance);
  RegisterShapeClass(instance);
}

}  // namespace base::win
