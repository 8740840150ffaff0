// A scroll bar control that follows the user's arrows, page clicks, keys and the thumb
// while it is dragged, and tells its form after each change of position.
#pragma once
#include <functional>

#include "base/win/Controls.h"

namespace base::win {

class ScrollBar : public Control {
public:
  using Control::Control;
  void SetRange(int minimum, int maximum) const;
  int Min() const;
  int Max() const;
  int Position() const;
  // Clamped to the range; does not call the change handler.
  void SetPosition(int position) const;
  // The handler runs after every change the user makes, while the thumb moves too.
  void OnChange(std::function<void()> handler, int largeChange = 16) const;
  // What a scroll message with this code does (the thumb codes take `track` as the place).
  void Scroll(int code, int track = 0) const;
};

}  // namespace base::win
