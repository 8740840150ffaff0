#include "base/win/ListBoxes.h"

namespace base::win {

void ColumnListBox::SetColumns(int columns) const {
  if (columns < 1) columns = 1;
  RECT r = ClientRect();
  Send(LB_SETCOLUMNWIDTH, static_cast<WPARAM>((r.right - r.left) / columns));
}

int ColumnListBox::ColumnOf(int index) const {
  RECT item{};
  if (Send(LB_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item)) == LB_ERR) return -1;
  RECT first{};
  Send(LB_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&first));
  const int width = first.right - first.left;
  return width > 0 ? (item.left - first.left) / width : 0;
}

int MultiSelectListBox::SelCount() const {
  LRESULT n = Send(LB_GETSELCOUNT);
  return n == LB_ERR ? 0 : static_cast<int>(n);
}

bool MultiSelectListBox::Selected(int index) const { return Send(LB_GETSEL, static_cast<WPARAM>(index)) > 0; }

void MultiSelectListBox::SetSelected(int index, bool selected) const {
  Send(LB_SETSEL, selected ? TRUE : FALSE, static_cast<LPARAM>(index));
}

void MultiSelectListBox::ClearSelection() const { Send(LB_SETSEL, FALSE, -1); }

int MultiSelectListBox::FocusedIndex() const {
  // An empty list still reports row 0 as focused.
  if (Count() == 0) return -1;
  LRESULT i = Send(LB_GETCARETINDEX);
  return i == LB_ERR ? -1 : static_cast<int>(i);
}

void MultiSelectListBox::SetFocusedIndex(int index) const { Send(LB_SETCARETINDEX, static_cast<WPARAM>(index), FALSE); }

void MultiSelectListBox::Delete(int index) const { Send(LB_DELETESTRING, static_cast<WPARAM>(index)); }

void MultiSelectListBox::Insert(int index, const std::string& item) const {
  Send(LB_INSERTSTRING, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(item.c_str()));
}

void MultiSelectListBox::SetItems(const std::vector<std::string>& items) const {
  Clear();
  for (const auto& item : items) Add(item);
}

}  // namespace base::win
