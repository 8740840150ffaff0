#include "base/win/PageControl.h"

#include <map>
#include <memory>

namespace base::win {

namespace {

bool IsTab(HWND h) {
  char cls[32] = {};
  GetClassNameA(h, cls, sizeof cls);
  return lstrcmpiA(cls, WC_TABCONTROLA) == 0;
}

// The display area of a tab control, in its client coordinates.
RECT DisplayArea(HWND tab) {
  RECT area;
  GetClientRect(tab, &area);
  SendMessageA(tab, TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&area));
  return area;
}

// What the tab control draws in the middle of its display area.
COLORREF PaneColor(HWND tab) {
  RECT client, area = DisplayArea(tab);
  GetClientRect(tab, &client);
  if (area.right <= area.left || area.bottom <= area.top) return GetSysColor(COLOR_BTNFACE);
  HDC screen = GetDC(tab);
  HDC mem = CreateCompatibleDC(screen);
  HBITMAP bmp = CreateCompatibleBitmap(screen, client.right, client.bottom);
  ReleaseDC(tab, screen);
  HGDIOBJ old = SelectObject(mem, bmp);
  FillRect(mem, &client, GetSysColorBrush(COLOR_BTNFACE));
  SendMessageA(tab, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(mem), PRF_CLIENT | PRF_ERASEBKGND);
  const COLORREF c = GetPixel(mem, (area.left + area.right) / 2, (area.top + area.bottom) / 2);
  SelectObject(mem, old);
  DeleteObject(bmp);
  DeleteDC(mem);
  return c == CLR_INVALID ? GetSysColor(COLOR_BTNFACE) : c;
}

HBRUSH BrushOf(COLORREF c) {
  // A theme has few colours: one brush each, for the life of the program.
  static std::map<COLORREF, std::unique_ptr<GdiObject>> brushes;
  auto& b = brushes[c];
  if (!b) b = std::make_unique<GdiObject>(CreateSolidBrush(c));
  return static_cast<HBRUSH>(b->get());
}

// The tab control whose display area the control stands on: the tab holding it (or a
// page, or a notebook of pages, it is on), or a sibling tab under it, drawn before or
// after it.
HWND TabUnder(HWND control) {
  for (HWND w = control; w && (GetWindowLongA(w, GWL_STYLE) & WS_CHILD); w = GetParent(w)) {
    HWND parent = GetParent(w);
    if (!parent) return nullptr;
    if (IsTab(parent)) return parent;
    RECT mine;
    GetWindowRect(w, &mine);
    const POINT middle{(mine.left + mine.right) / 2, (mine.top + mine.bottom) / 2};
    for (HWND s = GetWindow(parent, GW_CHILD); s; s = GetWindow(s, GW_HWNDNEXT)) {
      if (s == w || !IsTab(s) || !IsWindowVisible(s)) continue;
      RECT area = DisplayArea(s);
      MapWindowPoints(s, HWND_DESKTOP, reinterpret_cast<POINT*>(&area), 2);
      if (PtInRect(&area, middle)) return s;
    }
  }
  return nullptr;
}

}  // namespace

HBRUSH TabGround(HWND control, COLORREF* colour) {
  HWND tab = control ? TabUnder(control) : nullptr;
  if (!tab) return nullptr;
  // Drawn once per tab control: its controls ask at every paint.
  static std::map<HWND, COLORREF> panes;
  auto it = panes.find(tab);
  if (it == panes.end()) it = panes.emplace(tab, PaneColor(tab)).first;
  const COLORREF c = it->second;
  if (colour) *colour = c;
  return BrushOf(c);
}

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
      const int tab = static_cast<int>(Send(TCM_GETCURSEL));
      if (tab >= 0 && tab < static_cast<int>(tabs_.size())) MutableOwner().ShowPage(Id(), tabs_[static_cast<size_t>(tab)]);
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
  const int index = static_cast<int>(captions_.size());
  captions_.push_back(caption);
  TCITEMA item{};
  item.mask = TCIF_TEXT;
  std::string text = caption;
  item.pszText = text.data();
  Send(TCM_INSERTITEMA, static_cast<WPARAM>(tabs_.size()), reinterpret_cast<LPARAM>(&item));
  tabs_.push_back(index);
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
  const int tab = TabOf(index);
  if (tab < 0) return;
  Send(TCM_SETCURSEL, static_cast<WPARAM>(tab));
  MutableOwner().ShowPage(Id(), index);
}

int PageControl::TabOf(int page) const {
  for (size_t t = 0; t < tabs_.size(); ++t)
    if (tabs_[t] == page) return static_cast<int>(t);
  return -1;
}

bool PageControl::TabVisible(int page) const { return TabOf(page) >= 0; }

void PageControl::SetTabVisible(int page, bool visible) {
  if (page < 0 || page >= static_cast<int>(captions_.size()) || TabVisible(page) == visible) return;
  const int active = ActivePage();
  if (!visible) {
    const int tab = TabOf(page);
    Send(TCM_DELETEITEM, static_cast<WPARAM>(tab));
    tabs_.erase(tabs_.begin() + tab);
    if (active == page) {
      if (HWND p = Page(page)) ShowWindow(p, SW_HIDE);
      if (!tabs_.empty()) SetActivePage(tabs_.front());
    }
    return;
  }
  size_t at = 0;
  while (at < tabs_.size() && tabs_[at] < page) ++at;
  TCITEMA item{};
  item.mask = TCIF_TEXT;
  std::string text = captions_[static_cast<size_t>(page)];
  item.pszText = text.data();
  Send(TCM_INSERTITEMA, static_cast<WPARAM>(at), reinterpret_cast<LPARAM>(&item));
  tabs_.insert(tabs_.begin() + static_cast<std::ptrdiff_t>(at), page);
  if (active >= 0) SetActivePage(active);
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
