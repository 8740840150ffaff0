// A spin edit: an edit holding a whole number with up and down arrows beside it (an
// up-down control of its own id). Without bounds the arrows step past any limit.
#pragma once
#include <functional>
#include <optional>

#include "base/win/Controls.h"

namespace base::win {

class SpinEdit : public Control {
public:
  SpinEdit(const Form& form, int editId, int arrowsId) : Control(form, editId), arrowsId_(arrowsId) {}
  // In FormCreate: the arrows (and the Up and Down keys in the edit) step the value.
  void Attach(int increment = 1) const;
  void SetBounds(std::optional<int> minimum, std::optional<int> maximum);
  // The text as a number; the lower bound, or 0, when the text is not one.
  int Value() const;
  // The text as a whole number within the bounds; none for any other text.
  std::optional<int> TryValue() const;
  void SetValue(int value) const;
  // What a click on the up (steps > 0) or down arrow does.
  void Step(int steps) const;
  HWND Arrows() const { return Owner().Item(arrowsId_); }

private:
  int Clamp(int value) const;
  int arrowsId_;
  int increment_ = 1;
  std::optional<int> min_, max_;
};

}  // namespace base::win
