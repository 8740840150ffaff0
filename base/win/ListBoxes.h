// List boxes beyond the plain one: items shown in columns, and several rows selected at
// once with a focused row of their own.
#pragma once
#include <string>
#include <vector>

#include "base/win/Controls.h"

namespace base::win {

// LBS_MULTICOLUMN: items run top to bottom, then into the next column.
class ColumnListBox : public ListBox {
public:
  using ListBox::ListBox;
  // Splits the client width into `columns` equal columns.
  void SetColumns(int columns) const;
  // The column an item shows in (0 the first), from where the list box draws it.
  int ColumnOf(int index) const;
};

// LBS_EXTENDEDSEL: rows are selected one by one or in ranges; one row has the focus.
class MultiSelectListBox : public ListBox {
public:
  using ListBox::ListBox;
  int SelCount() const;
  bool Selected(int index) const;
  void SetSelected(int index, bool selected) const;
  void ClearSelection() const;
  // The focused row; -1 when the list is empty.
  int FocusedIndex() const;
  void SetFocusedIndex(int index) const;
  void Delete(int index) const;
  void Insert(int index, const std::string& item) const;
  void SetItems(const std::vector<std::string>& items) const;
};

}  // namespace base::win
