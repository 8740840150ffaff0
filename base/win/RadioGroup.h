// A group box with radio buttons, one chosen (the class library's radio group): the
// buttons are the template's, in order; ItemIndex -1 when none is chosen.
#pragma once
#include <functional>
#include <vector>

#include "base/win/Controls.h"

namespace base::win {

class RadioGroup : public Control {
public:
  RadioGroup(const Form& form, int groupBoxId, std::vector<int> buttonIds)
      : Control(form, groupBoxId), buttons_(std::move(buttonIds)) {}
  int Count() const { return static_cast<int>(buttons_.size()); }
  int ItemIndex() const;
  void SetItemIndex(int index) const;
  HWND Button(int index) const { return Owner().Item(buttons_.at(static_cast<size_t>(index))); }
  void SetEnabled(bool enabled) const;
  // A click on any of the buttons.
  void OnClick(std::function<void()> handler) const;

private:
  std::vector<int> buttons_;
};

}  // namespace base::win
