#include "base/win/Controls.h"

#include "base/win/Splitter.h"

#include <richedit.h>

#include "base/win/Shape.h"

#include <algorithm>
#include <cstring>
#include <map>

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

void PaintImage(HWND h, HDC dc) {
  auto it = Images().find(h);
  if (it == Images().end() || !it->second.picture) return;
  ImageState& s = it->second;
  RECT client;
  GetClientRect(h, &client);
  int w = s.picture->Width(), ht = s.picture->Height();
  RECT dest{0, 0, w, ht};
  if (s.stretch) {
    dest = client;
  } else if (s.center) {
    int x = (client.right - w) / 2, y = (client.bottom - ht) / 2;
    dest = RECT{x, y, x + w, y + ht};
  }
  if (!s.transparent || s.picture->Mask()) {
    // A masked picture (an icon, a metafile) is see-through where it has no paint.
    DrawPicture(dc, *s.picture, dest);
    return;
  }
  HDC src = CreateCompatibleDC(dc);
  HGDIOBJ old = SelectObject(src, s.picture->Bitmap());
  SetStretchBltMode(dc, COLORONCOLOR);
  TransparentBlt(dc, dest.left, dest.top, dest.right - dest.left, dest.bottom - dest.top, src, 0, 0, w, ht,
                 s.picture->BottomLeftColor());
  SelectObject(src, old);
  DeleteDC(src);
}

LRESULT CALLBACK ImageProc(HWND h, UINT msg, WPARAM w, LPARAM l) {
  if (NotifyMouse(h, msg)) return 0;
  switch (msg) {
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(h, &ps);
      PaintImage(h, dc);
      EndPaint(h, &ps);
      return 0;
    }
    case WM_ERASEBKGND: {
      auto it = Images().find(h);
      // A transparent or masked picture lets the parent's background show.
      if (it != Images().end() && (it->second.transparent || (it->second.picture && it->second.picture->Mask())))
        return 1;
      HWND parent = GetParent(h);
      HBRUSH brush = reinterpret_cast<HBRUSH>(
          SendMessageA(parent, WM_CTLCOLORSTATIC, w, reinterpret_cast<LPARAM>(h)));
      RECT r;
      GetClientRect(h, &r);
      FillRect(reinterpret_cast<HDC>(w), &r, brush ? brush : GetSysColorBrush(COLOR_BTNFACE));
      return 1;
    }
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

void RegisterControlClasses(HINSTANCE instance) {
  WNDCLASSA wc{};
  wc.lpfnWndProc = ImageProc;
  wc.hInstance = instance;
  wc.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
  wc.lpszClassName = "TandrelImage";
  RegisterClassA(&wc);
  wc.lpfnWndProc = DefWindowProcA;
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  wc.lpszClassName = "TandrelNotebook";
  RegisterClassA(&wc);
  RegisterSplitterClass(instance);
  RegisterShapeClass(instance);
}

}  // namespace base::win
