#include "base/win/Splitter.h"

#include <windowsx.h>

#include <algorithm>
#include <map>

namespace base::win {

namespace {

struct Panes {
  std::vector<HWND> left, right;
  int minSize = 30;
  int grab = 0;  // where in the splitter the mouse took it
};

std::map<HWND, Panes>& AllPanes() {
  static std::map<HWND, Panes> panes;
  return panes;
}

RECT InParent(HWND h) {
  RECT r;
  GetWindowRect(h, &r);
  MapWindowPoints(HWND_DESKTOP, GetParent(h), reinterpret_cast<POINT*>(&r), 2);
  return r;
}

void Move(HWND splitter, int left) {
  auto it = AllPanes().find(splitter);
  if (it == AllPanes().end()) return;
  Panes& p = it->second;
  RECT self = InParent(splitter);
  int width = self.right - self.left;
  int lo = -32768, hi = 32767;
  for (HWND h : p.left) lo = std::max(lo, static_cast<int>(InParent(h).left) + p.minSize);
  for (HWND h : p.right) hi = std::min(hi, static_cast<int>(InParent(h).right) - p.minSize - width);
  if (lo > hi) return;
  left = std::clamp(left, lo, hi);
  for (HWND h : p.left) {
    RECT r = InParent(h);
    SetWindowPos(h, nullptr, r.left, r.top, left - r.left, r.bottom - r.top, SWP_NOZORDER | SWP_NOACTIVATE);
  }
  for (HWND h : p.right) {
    RECT r = InParent(h);
    SetWindowPos(h, nullptr, left + width, r.top, r.right - left - width, r.bottom - r.top,
                 SWP_NOZORDER | SWP_NOACTIVATE);
  }
  SetWindowPos(splitter, nullptr, left, self.top, 0, 0, SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOSIZE);
}

LRESULT CALLBACK SplitterProc(HWND h, UINT msg, WPARAM w, LPARAM l) {
  switch (msg) {
    case WM_SETCURSOR:
      SetCursor(LoadCursor(nullptr, IDC_SIZEWE));
      return TRUE;
    case WM_LBUTTONDOWN: {
      auto it = AllPanes().find(h);
      if (it != AllPanes().end()) it->second.grab = GET_X_LPARAM(l);
      SetCapture(h);
      return 0;
    }
    case WM_MOUSEMOVE:
      if (GetCapture() == h) {
        auto it = AllPanes().find(h);
        POINT p{GET_X_LPARAM(l), GET_Y_LPARAM(l)};
        MapWindowPoints(h, GetParent(h), &p, 1);
        Move(h, p.x - (it != AllPanes().end() ? it->second.grab : 0));
      }
      return 0;
    case WM_LBUTTONUP:
      if (GetCapture() == h) ReleaseCapture();
      return 0;
    case WM_NCDESTROY:
      AllPanes().erase(h);
      break;
    default:
      break;
  }
  return DefWindowProcA(h, msg, w, l);
}

}  // namespace

void Splitter::Attach(std::vector<int> leftIds, std::vector<int> rightIds, int minSize) const {
  Panes p;
  for (int id : leftIds) if (HWND h = Owner().Item(id)) p.left.push_back(h);
  for (int id : rightIds) if (HWND h = Owner().Item(id)) p.right.push_back(h);
  p.minSize = minSize;
  AllPanes()[Handle()] = std::move(p);
}

void Splitter::MoveTo(int left) const { Move(Handle(), left); }

void RegisterSplitterClass(HINSTANCE instance) {
  WNDCLASSA wc{};
  wc.lpfnWndProc = SplitterProc;
  wc.hInstance = instance;
  wc.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_SIZEWE));
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  wc.lpszClassName = "TandrelSplitter";
  RegisterClassA(&wc);
}

}  // namespace base::win
