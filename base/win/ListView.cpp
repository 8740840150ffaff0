#include "base/win/ListView.h"

#include <algorithm>
#include <memory>

#include "base/win/ControlHooks.h"

namespace base::win {

void HookViewKeys(HWND view, std::function<void(UINT key, bool alt)> handler) {
  SetControlHook(view, HookSlot::Keys, [handler](HWND, UINT msg, WPARAM w, LPARAM, LRESULT& result) {
    if (msg == WM_GETDLGCODE && w == VK_RETURN && (GetKeyState(VK_MENU) & 0x8000)) {
      result = DLGC_WANTMESSAGE;
      return true;
    }
    if (msg == WM_KEYDOWN) {
      handler(static_cast<UINT>(w), false);
      return false;  // the control still moves its selection with the arrows
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

int ListView::AddItem(const std::string& caption, void* data, int image) const {
  LVITEMA item{};
  item.mask = LVIF_TEXT | LVIF_PARAM | (image >= 0 ? LVIF_IMAGE : 0);
  item.iItem = Count();
  item.pszText = const_cast<char*>(caption.c_str());
  item.lParam = reinterpret_cast<LPARAM>(data);
  item.iImage = image;
  return static_cast<int>(Send(LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item)));
}

void ListView::SetSubItem(int index, int column, const std::string& text) const {
  LVITEMA item{};
  item.iSubItem = column;
  item.pszText = const_cast<char*>(text.c_str());
  Send(LVM_SETITEMTEXTA, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item));
}

std::string ListView::ItemText(int index, int column) const {
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
  LVITEMA item{};
  item.mask = LVIF_PARAM;
  item.iItem = index;
  if (!Send(LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item))) return nullptr;
  return reinterpret_cast<void*>(item.lParam);
}

void ListView::SetItemData(int index, void* data) const {
  LVITEMA item{};
  item.mask = LVIF_PARAM;
  item.iItem = index;
  item.lParam = reinterpret_cast<LPARAM>(data);
  Send(LVM_SETITEMA, 0, reinterpret_cast<LPARAM>(&item));
}

int ListView::IndexOfData(const void* data) const {
  LVFINDINFOA find{};
  find.flags = LVFI_PARAM;
  find.lParam = reinterpret_cast<LPARAM>(data);
  return static_cast<int>(Send(LVM_FINDITEMA, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&find)));
}

int ListView::ItemImage(int index) const {
  LVITEMA item{};
  item.mask = LVIF_IMAGE;
  item.iItem = index;
  if (!Send(LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item))) return -1;
  return item.iImage;
}

void ListView::SetItemImage(int index, int image) const {
  LVITEMA item{};
  item.mask = LVIF_IMAGE;
  item.iItem = index;
  item.iImage = image;
  Send(LVM_SETITEMA, 0, reinterpret_cast<LPARAM>(&item));
}

int ListView::StateImage(int index) const {
  auto state = static_cast<UINT>(Send(LVM_GETITEMSTATE, static_cast<WPARAM>(index), LVIS_STATEIMAGEMASK));
  return static_cast<int>((state & LVIS_STATEIMAGEMASK) >> 12);
}

void ListView::SetStateImage(int index, int stateImage) const {
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

void ListView::OnKeyDown(std::function<void(UINT, bool)> handler) const { HookViewKeys(Handle(), std::move(handler)); }

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
