#include "base/win/CheckListBox.h"

namespace base::win {

void CheckListBox::Setup() const {
  ListView v = View();
  v.SetCheckBoxes();
  v.SetRowSelect();
  if (v.ColumnCount() == 0) v.AddColumn("", 100);
  v.SetFillLastColumn();
}

int CheckListBox::Add(const std::string& text) const {
  ListView v = View();
  int i = v.AddItem(text);
  v.SetChecked(i, false);
  return i;
}

void CheckListBox::SetTextColor(COLORREF color) const {
  Send(LVM_SETTEXTCOLOR, 0, static_cast<LPARAM>(color));
  Invalidate();
}

void CheckListBox::OnCheckChange(std::function<void(int)> handler) const {
  MutableOwner().OnNotify(Id(), LVN_ITEMCHANGED, [handler](NMHDR* h) -> LRESULT {
    if (ListView::CheckChanged(h)) handler(ListView::ChangedItem(h));
    return 0;
  });
}

}  // namespace base::win
