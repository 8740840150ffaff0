// Combo boxes: the drop-down list and the editable kind (the style in the template says
// which).
#pragma once
#include <string>
#include <vector>

#include "base/win/Controls.h"

namespace base::win {

class ComboBox : public Control {
public:
  using Control::Control;
  int Add(const std::string& item) const;
  void Clear() const { Send(CB_RESETCONTENT); }
  int Count() const { return static_cast<int>(Send(CB_GETCOUNT)); }
  std::string Item(int index) const;
  std::vector<std::string> Items() const;
  int IndexOf(const std::string& item) const;  // exact, ignoring case; -1 when absent
  int ItemIndex() const { return static_cast<int>(Send(CB_GETCURSEL)); }
  // Selects without the change event, as setting the class library's ItemIndex does.
  void SetItemIndex(int index) const { Send(CB_SETCURSEL, static_cast<WPARAM>(index)); }
  // Editable kind: the edit's text; list kind: the selected item's (setting selects it).
  std::string Text() const;
  void SetText(const std::string& text) const;
  void Sort() const;  // sorts the items (the class library's Sorted), case-insensitive
  // Test entry point: the author picks an item from the drop-down list (change event).
  void Pick(int index) const;
};

}  // namespace base::win
