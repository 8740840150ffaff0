#include "base/win/ComboBox.h"

#include <algorithm>

#include "base/Strings.h"

namespace base::win {

int ComboBox::Add(const std::string& item) const {
  return static_cast<int>(Send(CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item.c_str())));
}

std::string ComboBox::Item(int index) const {
  LRESULT n = Send(CB_GETLBTEXTLEN, static_cast<WPARAM>(index));
  if (n == CB_ERR) return std::string();
  std::string text(static_cast<size_t>(n) + 1, '\0');
  Send(CB_GETLBTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text.data()));
  text.resize(static_cast<size_t>(n));
  return text;
}

std::vector<std::string> ComboBox::Items() const {
  std::vector<std::string> items;
  for (int i = 0, n = Count(); i < n; ++i) items.push_back(Item(i));
  return items;
}

int ComboBox::IndexOf(const std::string& item) const {
  for (int i = 0, n = Count(); i < n; ++i)
    if (base::SameText(Item(i), item)) return i;
  return -1;
}

std::string ComboBox::Text() const { return Window::Text(); }

void ComboBox::SetText(const std::string& text) const {
  DWORD style = static_cast<DWORD>(GetWindowLongA(Handle(), GWL_STYLE));
  if ((style & 3) == CBS_DROPDOWNLIST) {
    SetItemIndex(IndexOf(text));
    return;
  }
  Window::SetText(text);
}

void ComboBox::Sort() const {
  auto items = Items();
  std::stable_sort(items.begin(), items.end(),
                   [](const std::string& a, const std::string& b) { return base::CompareText(a, b) < 0; });
  std::string text = Text();
  Send(WM_SETREDRAW, FALSE);
  Clear();
  for (auto& item : items) Add(item);
  Send(WM_SETREDRAW, TRUE);
  SetText(text);
}

void ComboBox::Pick(int index) const {
  SetItemIndex(index);
  SendMessageA(GetParent(Handle()), WM_COMMAND, MAKEWPARAM(Id(), CBN_SELCHANGE), reinterpret_cast<LPARAM>(Handle()));
}

}  // namespace base::win
