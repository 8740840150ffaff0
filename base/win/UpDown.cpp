#include "base/win/UpDown.h"

namespace base::win {

int UpDown::Min() const {
  int lo = 0, hi = 0;
  Send(UDM_GETRANGE32, reinterpret_cast<WPARAM>(&lo), reinterpret_cast<LPARAM>(&hi));
  return lo;
}

int UpDown::Max() const {
  int lo = 0, hi = 0;
  Send(UDM_GETRANGE32, reinterpret_cast<WPARAM>(&lo), reinterpret_cast<LPARAM>(&hi));
  return hi;
}

void UpDown::ClickArrow(bool up) const {
  RECT r = ClientRect();
  bool horizontal = (GetWindowLongA(Handle(), GWL_STYLE) & UDS_HORZ) != 0;
  int x = horizontal ? (up ? r.right * 3 / 4 : r.right / 4) : r.right / 2;
  int y = horizontal ? r.bottom / 2 : (up ? r.bottom / 4 : r.bottom * 3 / 4);
  Send(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
  Send(WM_LBUTTONUP, 0, MAKELPARAM(x, y));
}

}  // namespace base::win
