#include "base/win/ScrollBar.h"

#include <algorithm>

namespace base::win {

namespace {

bool Vertical(HWND h) { return (GetWindowLongA(h, GWL_STYLE) & SBS_VERT) != 0; }

SCROLLINFO Info(HWND h, UINT mask) {
  SCROLLINFO si{};
  si.cbSize = sizeof si;
  si.fMask = mask;
  GetScrollInfo(h, SB_CTL, &si);
  return si;
}

}  // namespace

void ScrollBar::SetRange(int minimum, int maximum) const {
  SCROLLINFO si{};
  si.cbSize = sizeof si;
  si.fMask = SIF_RANGE;
  si.nMin = minimum;
  si.nMax = maximum;
  SetScrollInfo(Handle(), SB_CTL, &si, TRUE);
}

int ScrollBar::Min() const { return Info(Handle(), SIF_RANGE).nMin; }
int ScrollBar::Max() const { return Info(Handle(), SIF_RANGE).nMax; }
int ScrollBar::Position() const { return Info(Handle(), SIF_POS).nPos; }

void ScrollBar::SetPosition(int position) const {
  SCROLLINFO si{};
  si.cbSize = sizeof si;
  si.fMask = SIF_POS;
  si.nPos = std::clamp(position, Min(), Max());
  SetScrollInfo(Handle(), SB_CTL, &si, TRUE);
}

void ScrollBar::OnChange(std::function<void()> handler, int largeChange) const {
  HWND h = Handle();
  MutableOwner().OnScroll(Id(), [this, h, handler, largeChange](int code, int thumb) {
    SCROLLINFO si = Info(h, SIF_ALL);
    int to = si.nPos;
    switch (code) {
      case SB_LINELEFT: to -= 1; break;
      case SB_LINERIGHT: to += 1; break;
      case SB_PAGELEFT: to -= largeChange; break;
      case SB_PAGERIGHT: to += largeChange; break;
      case SB_LEFT: to = si.nMin; break;
      case SB_RIGHT: to = si.nMax; break;
      case SB_THUMBTRACK: case SB_THUMBPOSITION:
        // The 32-bit place while a drag runs; the message's own otherwise.
        to = si.nTrackPos != si.nPos ? si.nTrackPos : thumb;
        break;
      default: return;  // SB_ENDSCROLL
    }
    to = std::clamp(to, si.nMin, si.nMax);
    if (to == si.nPos) return;
    SetPosition(to);
    if (handler) handler();
  });
}

void ScrollBar::Scroll(int code, int track) const {
  HWND h = Handle();
  SendMessageA(GetParent(h), Vertical(h) ? WM_VSCROLL : WM_HSCROLL, MAKEWPARAM(code, track & 0xFFFF),
               reinterpret_cast<LPARAM>(h));
}

}  // namespace base::win
