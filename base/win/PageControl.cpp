#include "base/win/PageControl.h"

namespace base::win {

PageControl::~PageControl() {
  if (hooked_) MutableOwner().RemoveHook(this);
}

void PageControl::Hook() {
  if (hooked_) return;
  hooked_ = true;
  MutableOwner().AddHook(this, [this](UINT msg, WPARAM, LPARAM l, LRESULT& result) {
    if (msg != WM_NOTIFY) return false;
    auto* header = reinterpret_cast<NMHDR*>(l);
    if (header->hwndFrom != Handle()) return false;
    if (header->code == TCN_SELCHANGE) {
      MutableOwner().ShowPage(Id(), static_cast<int>(Send(TCM_GETCURSEL)));
      if (OnChange) {
        auto handler = OnChange;
        handler();
      }
      result = 0;
      return true;
    }
    return false;
  });
}

void PageControl::AddPage(const std::string& caption, int pageTemplate) {
  Hook();
  int index = PageCount();
  TCITEMA item{};
  item.mask = TCIF_TEXT;
  std::string text = caption;
  item.pszText = text.data();
  Send(TCM_INSERTITEMA, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item));
  MutableOwner().AddPages(Id(), {pageTemplate});
  // Every page fills the display area below the tabs.
  RECT area = ClientRect();
  Send(TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&area));
  for (int i = 0; i <= index; ++i)
    SetWindowPos(Page(i), HWND_TOP, area.left, area.top, area.right - area.left, area.bottom - area.top,
                 SWP_NOACTIVATE);
  if (index == 0) SetActivePage(0);
}

void PageControl::SetActivePage(int index) const {
  Send(TCM_SETCURSEL, static_cast<WPARAM>(index));
  MutableOwner().ShowPage(Id(), index);
}

std::string PageControl::TabCaption(int index) const {
  char buf[256] = {};
  TCITEMA item{};
  item.mask = TCIF_TEXT;
  item.pszText = buf;
  item.cchTextMax = sizeof buf;
  Send(TCM_GETITEMA, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item));
  return buf;
}

void PageControl::PickTab(int index) const {
  if (index < 0 || index >= PageCount()) return;
  NMHDR changing{Handle(), static_cast<UINT_PTR>(Id()), static_cast<UINT>(TCN_SELCHANGING)};
  HWND parent = GetParent(Handle());
  if (SendMessageA(parent, WM_NOTIFY, static_cast<WPARAM>(Id()), reinterpret_cast<LPARAM>(&changing))) return;
  Send(TCM_SETCURSEL, static_cast<WPARAM>(index));
  NMHDR changed{Handle(), static_cast<UINT_PTR>(Id()), static_cast<UINT>(TCN_SELCHANGE)};
  SendMessageA(parent, WM_NOTIFY, static_cast<WPARAM>(Id()), reinterpret_cast<LPARAM>(&changed));
}

}  // namespace base::win
