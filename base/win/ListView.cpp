#include "base/win/ListView.h"

#include <algorithm>
#include <map>
#include <memory>

#include "base/win/ControlHooks.h"

namespace base::win {

namespace {

// The rows of the LVS_OWNERDATA views; each view's notification handlers own its rows, so
// they leave with the form.
std::map<HWND, std::weak_ptr<const ViewRows>>& RowSources() {
  static std::map<HWND, std::weak_ptr<const ViewRows>> sources;
  return sources;
}

std::shared_ptr<const ViewRows> RowsOf(HWND view) {
  auto& all = RowSources();
  auto it = all.find(view);
  if (it == all.end()) return nullptr;
  std::shared_ptr<const ViewRows> rows = it->second.lock();
  if (!rows) all.erase(it);
  return rows;
}

// What the view asks for one row it shows; item's text buffer is ANSI or wide.
void AnswerDispInfo(const ViewRows& rows, int count, LVITEMA& item, bool wide) {
  if (item.iItem < 0 || item.iItem >= count) return;
  if ((item.mask & LVIF_TEXT) && item.pszText && item.cchTextMax > 0) {
    const std::string text = rows.Text ? rows.Text(item.iItem, item.iSubItem) : std::string();
    if (wide) {
      auto* buffer = reinterpret_cast<wchar_t*>(item.pszText);
      int n = MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, buffer, item.cchTextMax);
      if (n == 0) buffer[item.cchTextMax - 1] = L'\0';
    } else {
      lstrcpynA(item.pszText, text.c_str(), item.cchTextMax);
    }
  }
  if ((item.mask & LVIF_IMAGE) && item.iSubItem == 0) item.iImage = rows.Image ? rows.Image(item.iItem) : -1;
  if ((item.mask & LVIF_STATE) && item.iSubItem == 0) {
    const int stateImage = rows.StateImage ? rows.StateImage(item.iItem) : 0;
    item.state = (item.state & ~LVIS_STATEIMAGEMASK) | INDEXTOSTATEIMAGEMASK(stateImage);
    item.stateMask |= LVIS_STATEIMAGEMASK;
  }
}

// Type-ahead of an LVS_OWNERDATA view: the first row from the start whose caption begins
// with (or, without LVFI_PARTIAL, is) the typed text, ignoring case.
int FindRow(const ViewRows& rows, int count, int start, UINT flags, const std::string& typed, LPARAM data) {
  if (count <= 0) return -1;
  if (start < 0 || start >= count) start = 0;
  const int end = (flags & LVFI_WRAP) ? start + count : count;
  for (int n = start; n < end; ++n) {
    const int row = n % count;
    if (flags & LVFI_PARAM) {
      if (rows.Data && reinterpret_cast<LPARAM>(rows.Data(row)) == data) return row;
      continue;
    }
    if (!(flags & (LVFI_STRING | LVFI_PARTIAL)) || !rows.Text) continue;
    std::string caption = rows.Text(row, 0);
    if (flags & LVFI_PARTIAL) caption = caption.substr(0, typed.size());
    if (caption.size() == typed.size() &&
        CompareStringA(LOCALE_USER_DEFAULT, NORM_IGNORECASE, caption.data(), static_cast<int>(caption.size()),
                       typed.data(), static_cast<int>(typed.size())) == CSTR_EQUAL)
      return row;
  }
  return -1;
}

std::string Narrow(const wchar_t* text) {
  if (!text) return {};
  int n = WideCharToMultiByte(CP_ACP, 0, text, -1, nullptr, 0, nullptr, nullptr);
  std::string s(static_cast<size_t>(std::max(n, 1)), '\0');
  WideCharToMultiByte(CP_ACP, 0, text, -1, s.data(), n, nullptr, nullptr);
  s.resize(static_cast<size_t>(std::max(n - 1, 0)));
  return s;
}

}  // namespace

void HookViewKeys(HWND view, std::function<bool(UINT key, bool alt)> handler) {
  SetControlHook(view, HookSlot::Keys, [handler](HWND, UINT msg, WPARAM w, LPARAM, LRESULT& result) {
    if (msg == WM_GETDLGCODE && w == VK_RETURN && (GetKeyState(VK_MENU) & 0x8000)) {
      result = DLGC_WANTMESSAGE;
      return true;
    }
    if (msg == WM_KEYDOWN) {
      // Unless the handler used the key, the control still moves its selection with it.
      if (!handler(static_cast<UINT>(w), false)) return false;
      result = 0;
      return true;
    }
    if (msg == WM_SYSKEYDOWN && w == VK_RETURN) {
      handler(VK_RETURN, true);
      return true;
    }
    if (msg == WM_SYSCHAR && w == '\r') return true;  // no mnemonic search, no beep
    return false;
  });
}

void ListView::SetCheckBoxes(bool on) const {
  Send(LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_CHECKBOXES, on ? LVS_EX_CHECKBOXES : 0);
}

void ListView::SetRowSelect(bool on) const {
  Send(LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_FULLROWSELECT, on ? LVS_EX_FULLROWSELECT : 0);
}

void ListView::SetViewStyle(ViewStyle style) const {
  static const DWORD kStyles[] = {LVS_ICON, LVS_SMALLICON, LVS_LIST, LVS_REPORT};
  HWND h = Handle();
  LONG s = GetWindowLongA(h, GWL_STYLE);
  SetWindowLongA(h, GWL_STYLE, (s & ~LVS_TYPEMASK) | static_cast<LONG>(kStyles[static_cast<int>(style)]));
}

ViewStyle ListView::Style() const {
  switch (GetWindowLongA(Handle(), GWL_STYLE) & LVS_TYPEMASK) {
    case LVS_ICON: return ViewStyle::Icon;
    case LVS_SMALLICON: return ViewStyle::SmallIcon;
    case LVS_LIST: return ViewStyle::List;
    default: return ViewStyle::Report;
  }
}

void ListView::SetImageList(HIMAGELIST images, int which) const {
  Send(LVM_SETIMAGELIST, static_cast<WPARAM>(which), reinterpret_cast<LPARAM>(images));
}

void ListView::AddColumn(const std::string& caption, int width, bool rightAligned) const {
  LVCOLUMNA col{};
  col.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT;
  col.fmt = rightAligned ? LVCFMT_RIGHT : LVCFMT_LEFT;
  col.cx = width;
  col.pszText = const_cast<char*>(caption.c_str());
  int n = ColumnCount();
  Send(LVM_INSERTCOLUMNA, static_cast<WPARAM>(n), reinterpret_cast<LPARAM>(&col));
}

int ListView::ColumnCount() const {
  HWND header = reinterpret_cast<HWND>(Send(LVM_GETHEADER));
  return header ? static_cast<int>(SendMessageA(header, HDM_GETITEMCOUNT, 0, 0)) : 0;
}

int ListView::ColumnWidth(int column) const {
  return static_cast<int>(Send(LVM_GETCOLUMNWIDTH, static_cast<WPARAM>(column)));
}

void ListView::SetColumnWidth(int column, int width) const {
  Send(LVM_SETCOLUMNWIDTH, static_cast<WPARAM>(column), MAKELPARAM(width, 0));
}

void ListView::FillLastColumn() const {
  int n = ColumnCount();
  if (n <= 0) return;
  int used = 0;
  for (int i = 0; i + 1 < n; ++i) used += ColumnWidth(i);
  RECT r = ClientRect();
  SetColumnWidth(n - 1, std::max(20, static_cast<int>(r.right - r.left) - used));
}

void ListView::FitFirstColumn() const {
  const int n = ColumnCount();
  if (n < 2) return;
  int used = 0;
  for (int i = 1; i < n; ++i) {
    Send(LVM_SETCOLUMNWIDTH, static_cast<WPARAM>(i), MAKELPARAM(LVSCW_AUTOSIZE, 0));
    used += ColumnWidth(i);
  }
  RECT r = ClientRect();
  SetColumnWidth(0, std::max(20, static_cast<int>(r.right - r.left) - used));
}

void ListView::SetFillLastColumn() const {
  const Form* form = &Owner();
  int id = Id();
  SetControlHook(Handle(), HookSlot::Size, [form, id](HWND, UINT msg, WPARAM, LPARAM, LRESULT&) {
    if (msg == WM_SIZE) {
      ListView view(*form, id);
      view.FillLastColumn();
    }
    return false;
  });
  FillLastColumn();
}

void ListView::SetRows(ViewRows rows) const {
  auto source = std::make_shared<const ViewRows>(std::move(rows));
  RowSources()[Handle()] = source;
  // State images come from the rows too.
  Send(LVM_SETCALLBACKMASK, LVIS_STATEIMAGEMASK);
  for (UINT code : {static_cast<UINT>(LVN_GETDISPINFOA), static_cast<UINT>(LVN_GETDISPINFOW)}) {
    const bool wide = code == static_cast<UINT>(LVN_GETDISPINFOW);
    MutableOwner().OnNotify(Id(), code, [source, wide](NMHDR* h) -> LRESULT {
      auto* nm = reinterpret_cast<NMLVDISPINFOA*>(h);
      int count = static_cast<int>(SendMessageA(h->hwndFrom, LVM_GETITEMCOUNT, 0, 0));
      AnswerDispInfo(*source, count, nm->item, wide);
      return 0;
    });
  }
  MutableOwner().OnNotify(Id(), LVN_ODFINDITEMA, [source](NMHDR* h) -> LRESULT {
    auto* nm = reinterpret_cast<NMLVFINDITEMA*>(h);
    int count = static_cast<int>(SendMessageA(h->hwndFrom, LVM_GETITEMCOUNT, 0, 0));
    return FindRow(*source, count, nm->iStart, nm->lvfi.flags, nm->lvfi.psz ? nm->lvfi.psz : "", nm->lvfi.lParam);
  });
  MutableOwner().OnNotify(Id(), LVN_ODFINDITEMW, [source](NMHDR* h) -> LRESULT {
    auto* nm = reinterpret_cast<NMLVFINDITEMW*>(h);
    int count = static_cast<int>(SendMessageA(h->hwndFrom, LVM_GETITEMCOUNT, 0, 0));
    return FindRow(*source, count, nm->iStart, nm->lvfi.flags, Narrow(nm->lvfi.psz), nm->lvfi.lParam);
  });
}

bool ListView::HasRows() const { return RowsOf(Handle()) != nullptr; }

void ListView::SetRowCount(int count) const {
  Send(LVM_SETITEMCOUNT, static_cast<WPARAM>(std::max(count, 0)), LVSICF_NOSCROLL);
}

void ListView::RedrawRows(int first, int last) const {
  Send(LVM_REDRAWITEMS, static_cast<WPARAM>(first), static_cast<LPARAM>(last));
}

int ListView::AddItem(const std::string& caption, void* data, int image) const {
  if (HasRows()) {
    int row = Count();
    SetRowCount(row + 1);
    return row;
  }
  LVITEMA item{};
  item.mask = LVIF_TEXT | LVIF_PARAM | (image >= 0 ? LVIF_IMAGE : 0);
  item.iItem = Count();
  item.pszText = const_cast<char*>(caption.c_str());
  item.lParam = reinterpret_cast<LPARAM>(data);
  item.iImage = image;
  return static_cast<int>(Send(LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item)));
}

void ListView::SetSubItem(int index, int column, const std::string& text) const {
  if (HasRows()) {
    RedrawRows(index, index);
    return;
  }
  LVITEMA item{};
  item.iSubItem = column;
  item.pszText = const_cast<char*>(text.c_str());
  Send(LVM_SETITEMTEXTA, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item));
}

std::string ListView::ItemText(int index, int column) const {
  if (auto rows = RowsOf(Handle())) {
    if (index < 0 || index >= Count() || !rows->Text) return {};
    return rows->Text(index, column);
  }
  for (size_t size = 256;; size *= 2) {
    std::string text(size, '\0');
    LVITEMA item{};
    item.iSubItem = column;
    item.pszText = text.data();
    item.cchTextMax = static_cast<int>(size);
    auto n = static_cast<size_t>(Send(LVM_GETITEMTEXTA, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item)));
    if (n + 1 < size || size >= 65536) {
      text.resize(std::min(n, size));
      return text;
    }
  }
}

void* ListView::ItemData(int index) const {
  if (auto rows = RowsOf(Handle())) {
    if (index < 0 || index >= Count() || !rows->Data) return nullptr;
    return rows->Data(index);
  }
  LVITEMA item{};
  item.mask = LVIF_PARAM;
  item.iItem = index;
  if (!Send(LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item))) return nullptr;
  return reinterpret_cast<void*>(item.lParam);
}

void ListView::SetItemData(int index, void* data) const {
  if (HasRows()) {
    RedrawRows(index, index);
    return;
  }
  LVITEMA item{};
  item.mask = LVIF_PARAM;
  item.iItem = index;
  item.lParam = reinterpret_cast<LPARAM>(data);
  Send(LVM_SETITEMA, 0, reinterpret_cast<LPARAM>(&item));
}

int ListView::IndexOfData(const void* data) const {
  if (auto rows = RowsOf(Handle())) {
    if (!rows->Data) return -1;
    const int count = Count();
    for (int i = 0; i < count; ++i)
      if (rows->Data(i) == data) return i;
    return -1;
  }
  LVFINDINFOA find{};
  find.flags = LVFI_PARAM;
  find.lParam = reinterpret_cast<LPARAM>(data);
  return static_cast<int>(Send(LVM_FINDITEMA, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&find)));
}

int ListView::ItemImage(int index) const {
  if (auto rows = RowsOf(Handle())) {
    if (index < 0 || index >= Count() || !rows->Image) return -1;
    return rows->Image(index);
  }
  LVITEMA item{};
  item.mask = LVIF_IMAGE;
  item.iItem = index;
  if (!Send(LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item))) return -1;
  return item.iImage;
}

void ListView::SetItemImage(int index, int image) const {
  if (HasRows()) {
    RedrawRows(index, index);
    return;
  }
  LVITEMA item{};
  item.mask = LVIF_IMAGE;
  item.iItem = index;
  item.iImage = image;
  Send(LVM_SETITEMA, 0, reinterpret_cast<LPARAM>(&item));
}

int ListView::StateImage(int index) const {
  if (auto rows = RowsOf(Handle())) {
    if (index < 0 || index >= Count() || !rows->StateImage) return 0;
    return rows->StateImage(index);
  }
  auto state = static_cast<UINT>(Send(LVM_GETITEMSTATE, static_cast<WPARAM>(index), LVIS_STATEIMAGEMASK));
  return static_cast<int>((state & LVIS_STATEIMAGEMASK) >> 12);
}

void ListView::SetStateImage(int index, int stateImage) const {
  if (HasRows()) {
    RedrawRows(index, index);
    return;
  }
  LVITEMA item{};
  item.stateMask = LVIS_STATEIMAGEMASK;
  item.state = INDEXTOSTATEIMAGEMASK(stateImage);
  Send(LVM_SETITEMSTATE, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item));
}

bool ListView::Checked(int index) const { return StateImage(index) == 2; }

void ListView::SetChecked(int index, bool checked) const { SetStateImage(index, checked ? 2 : 1); }

int ListView::Selected() const {
  return static_cast<int>(Send(LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
}

void ListView::Select(int index) const {
  LVITEMA item{};
  item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
  item.state = LVIS_SELECTED | LVIS_FOCUSED;
  Send(LVM_SETITEMSTATE, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item));
  Send(LVM_ENSUREVISIBLE, static_cast<WPARAM>(index), FALSE);
}

bool ListView::IsSelected(int index) const {
  return (Send(LVM_GETITEMSTATE, static_cast<WPARAM>(index), LVIS_SELECTED) & LVIS_SELECTED) != 0;
}

void ListView::SetSelected(int index, bool selected) const {
  LVITEMA item{};
  item.stateMask = LVIS_SELECTED;
  item.state = selected ? LVIS_SELECTED : 0;
  Send(LVM_SETITEMSTATE, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item));
}

void ListView::ClearSelection() const {
  // One item at a time: the view's own "every item" walks all rows, slowly in long lists.
  for (int i : SelectedIndices()) SetSelected(i, false);
}

std::vector<int> ListView::SelectedIndices() const {
  std::vector<int> indices;
  int i = -1;
  while ((i = static_cast<int>(Send(LVM_GETNEXTITEM, static_cast<WPARAM>(i), LVNI_SELECTED))) >= 0) indices.push_back(i);
  return indices;
}

int ListView::ItemAt(POINT client) const {
  LVHITTESTINFO hit{};
  hit.pt = client;
  int i = static_cast<int>(Send(LVM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit)));
  return (hit.flags & LVHT_ONITEM) ? i : -1;
}

POINT ListView::ItemCenter(int index) const {
  RECT r{};
  r.left = LVIR_LABEL;
  Send(LVM_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&r));
  return {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

void ListView::BeginUpdate() const { BeginControlUpdate(Handle()); }
void ListView::EndUpdate() const { EndControlUpdate(Handle()); }
bool ListView::Updating() const { return ControlUpdating(Handle()); }

HWND ListView::EditLabel(int index) const {
  Focus();
  return reinterpret_cast<HWND>(Send(LVM_EDITLABELA, static_cast<WPARAM>(index)));
}

void ListView::EndEdit(bool cancel) const {
  HWND edit = EditControl();
  if (!edit) return;
  // The edit box ends itself on these keys, as the user's would.
  SendMessageA(edit, WM_KEYDOWN, cancel ? VK_ESCAPE : VK_RETURN, 1);
  if (IsEditing()) SetFocus(Handle());  // a control that ignores the key still ends on losing focus
}

void ListView::OnChange(std::function<void(int)> handler) const {
  MutableOwner().OnNotify(Id(), LVN_ITEMCHANGED, [handler](NMHDR* h) -> LRESULT {
    auto* nm = reinterpret_cast<NMLISTVIEW*>(h);
    if (nm->uChanged & LVIF_STATE) handler(nm->iItem);
    return 0;
  });
  // An LVS_OWNERDATA view tells a range's change at once.
  MutableOwner().OnNotify(Id(), LVN_ODSTATECHANGED, [handler](NMHDR* h) -> LRESULT {
    auto* nm = reinterpret_cast<NMLVODSTATECHANGE*>(h);
    for (int i = nm->iFrom; i >= 0 && i <= nm->iTo; ++i) handler(i);
    return 0;
  });
}

void ListView::OnEditing(std::function<bool(int)> handler) const {
  MutableOwner().OnNotify(Id(), LVN_BEGINLABELEDITA, [handler](NMHDR* h) -> LRESULT {
    auto* nm = reinterpret_cast<NMLVDISPINFOA*>(h);
    return handler(nm->item.iItem) ? FALSE : TRUE;
  });
}

void ListView::OnEdited(std::function<void(int, std::string&)> handler) const {
  const Form* form = &Owner();
  int id = Id();
  // Wine's list view ends an edit whose box was emptied with no text at all, as it ends
  // one left with Esc; Windows hands over the empty text. The edit box is watched for
  // Esc from the start of each edit, so that an emptied label still reaches the handler.
  struct Watch {
    HWND edit = nullptr;
    bool cancelled = false;
  };
  auto watch = std::make_shared<Watch>();
  MutableOwner().AddHook(watch.get(), [watch, id](UINT msg, WPARAM, LPARAM l, LRESULT&) {
    if (msg != WM_NOTIFY) return false;
    auto* h = reinterpret_cast<NMHDR*>(l);
    if (static_cast<int>(h->idFrom) != id || h->code != LVN_BEGINLABELEDITA) return false;
    *watch = {reinterpret_cast<HWND>(SendMessageA(h->hwndFrom, LVM_GETEDITCONTROL, 0, 0)), false};
    SetControlHook(watch->edit, HookSlot::Keys, [watch](HWND, UINT m, WPARAM w, LPARAM, LRESULT&) {
      if (m == WM_KEYDOWN && w == VK_ESCAPE) watch->cancelled = true;
      return false;
    });
    return false;  // the view's own handler still decides
  });
  MutableOwner().OnNotify(Id(), LVN_ENDLABELEDITA, [handler, form, id, watch](NMHDR* h) -> LRESULT {
    auto* nm = reinterpret_cast<NMLVDISPINFOA*>(h);
    ListView view(*form, id);
    const int index = nm->item.iItem;
    const HWND edit = watch->edit;
    const bool cancelled = watch->cancelled;
    *watch = {};
    std::string text;
    if (nm->item.pszText) {
      text = nm->item.pszText;
    } else {
      // No text: Esc, an unchanged label, or (Wine) an emptied one.
      const bool emptied = edit && edit == view.EditControl() && !cancelled && GetWindowTextLengthA(edit) == 0 &&
                           index >= 0 && index < view.Count() && !view.ItemText(index).empty();
      if (!emptied) return FALSE;
    }
    handler(index, text);
    if (index < view.Count()) view.SetCaption(index, text);
    return FALSE;  // stored above, as the handler left it
  });
}

void ListView::OnKeyDown(std::function<bool(UINT, bool)> handler) const { HookViewKeys(Handle(), std::move(handler)); }

void ListView::OnDblClick(std::function<void()> handler) const { MutableOwner().OnDblClick(Id(), std::move(handler)); }

void ListView::OnItemColors(std::function<bool(int, COLORREF&, COLORREF&)> handler) const {
  MutableOwner().OnNotify(Id(), NM_CUSTOMDRAW, [handler](NMHDR* h) -> LRESULT {
    auto* cd = reinterpret_cast<NMLVCUSTOMDRAW*>(h);
    if (cd->nmcd.dwDrawStage == CDDS_PREPAINT) return CDRF_NOTIFYITEMDRAW;
    if (cd->nmcd.dwDrawStage == CDDS_ITEMPREPAINT) {
      COLORREF text = cd->clrText, back = cd->clrTextBk;
      if (handler(static_cast<int>(cd->nmcd.dwItemSpec), text, back)) {
        cd->clrText = text;
        cd->clrTextBk = back;
        return CDRF_NEWFONT;
      }
    }
    return CDRF_DODEFAULT;
  });
}

bool ListView::CheckChanged(const NMHDR* header) {
  if (header->code != LVN_ITEMCHANGED) return false;
  auto* nm = reinterpret_cast<const NMLISTVIEW*>(header);
  return nm->iItem >= 0 && (nm->uChanged & LVIF_STATE) &&
         ((nm->uOldState ^ nm->uNewState) & LVIS_STATEIMAGEMASK) != 0 && (nm->uOldState & LVIS_STATEIMAGEMASK) != 0;
}

bool ListView::BecameSelected(const NMHDR* header) {
  if (header->code != LVN_ITEMCHANGED) return false;
  auto* nm = reinterpret_cast<const NMLISTVIEW*>(header);
  return nm->iItem >= 0 && (nm->uChanged & LVIF_STATE) && (nm->uNewState & LVIS_SELECTED) &&
         !(nm->uOldState & LVIS_SELECTED);
}

int ListView::ChangedItem(const NMHDR* header) { return reinterpret_cast<const NMLISTVIEW*>(header)->iItem; }

}  // namespace base::win
