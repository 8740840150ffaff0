// The up-down control beside a number edit (its buddy, which it keeps showing the position).
#pragma once
#include "base/win/Controls.h"

namespace base::win {

class UpDown : public Control {
public:
  using Control::Control;
  void SetRange(int minimum, int maximum) const { Send(UDM_SETRANGE32, minimum, maximum); }
  int Min() const;
  int Max() const;
  int Position() const { return static_cast<int>(Send(UDM_GETPOS32, 0, 0)); }
  void SetPosition(int position) const { Send(UDM_SETPOS32, 0, position); }
  void SetBuddy(HWND buddy) const { Send(UDM_SETBUDDY, reinterpret_cast<WPARAM>(buddy)); }
  HWND Buddy() const { return reinterpret_cast<HWND>(Send(UDM_GETBUDDY)); }
  // Test entry point: a click on the up (true) or down arrow.
  void ClickArrow(bool up) const;
};

}  // namespace base::win
