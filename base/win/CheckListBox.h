// A list of texts with a check box each (a list view with check boxes, no header and
// one column as wide as the list), as the class library's check list box.
#pragma once
#include <string>

#include "base/win/ListView.h"

namespace base::win {

class CheckListBox : public Control {
public:
  using Control::Control;
  // Check boxes and the one column; call once the window exists.
  void Setup() const;
  int Add(const std::string& text) const;
  void Clear() const { View().Clear(); }
  int Count() const { return View().Count(); }
  std::string Item(int index) const { return View().ItemText(index); }
  bool Checked(int index) const { return View().Checked(index); }
  void SetChecked(int index, bool checked) const { View().SetChecked(index, checked); }
  void SetTextColor(COLORREF color) const;
  COLORREF TextColor() const { return static_cast<COLORREF>(Send(LVM_GETTEXTCOLOR)); }
  // A check box turned by the user (click or Space) or by code.
  void OnCheckChange(std::function<void(int index)> handler) const;

private:
  ListView View() const { return ListView(Owner(), Id()); }
};

}  // namespace base::win
