#include "base/win/RadioGroup.h"

namespace base::win {

int RadioGroup::ItemIndex() const {
  for (int i = 0; i < Count(); ++i)
    if (SendMessageA(Button(i), BM_GETCHECK, 0, 0) == BST_CHECKED) return i;
  return -1;
}

void RadioGroup::SetItemIndex(int index) const {
  for (int i = 0; i < Count(); ++i) SendMessageA(Button(i), BM_SETCHECK, i == index ? BST_CHECKED : BST_UNCHECKED, 0);
}

void RadioGroup::SetEnabled(bool enabled) const {
  Enable(enabled);
  for (int i = 0; i < Count(); ++i) EnableWindow(Button(i), enabled);
}

void RadioGroup::OnClick(std::function<void()> handler) const {
  for (int id : buttons_) MutableOwner().OnClick(id, handler);
}

}  // namespace base::win
