#include "base/win/Menus.h"

#include <commctrl.h>

#include <algorithm>
#include <map>
#include <memory>

#include "base/win/Actions.h"
#include "base/win/Application.h"
#include "base/win/ControlHooks.h"
#include "base/win/Form.h"

namespace base::win {

namespace {

std::map<UINT, MenuItem*>& Commands() {
  static std::map<UINT, MenuItem*> commands;
  return commands;
}

std::map<HMENU, MenuItem*>& Menus() {
  static std::map<HMENU, MenuItem*> menus;
  return menus;
}

// Command ids above the controls' ids of every template.
UINT NextCommand() {
  static UINT next = 0xC000;
  if (next >= 0xFF00) next = 0xC000;
  while (Commands().count(next)) ++next;
  return next++;
}

std::string KeyName(UINT key) {
  if (key >= VK_F1 && key <= VK_F24) return "F" + std::to_string(key - VK_F1 + 1);
  if ((key >= '0' && key <= '9') || (key >= 'A' && key <= 'Z')) return std::string(1, static_cast<char>(key));
  switch (key) {
    case VK_DELETE: return "Del";
    case VK_INSERT: return "Ins";
    case VK_RETURN: return "Enter";
    case VK_ESCAPE: return "Esc";
    case VK_SPACE: return "Space";
    case VK_BACK: return "BkSp";
    case VK_TAB: return "Tab";
    case VK_HOME: return "Home";
    case VK_END: return "End";
    case VK_PRIOR: return "PgUp";
    case VK_NEXT: return "PgDn";
    case VK_LEFT: return "Left";
    case VK_RIGHT: return "Right";
    case VK_UP: return "Up";
    case VK_DOWN: return "Down";
    default: break;
  }
  char buf[32] = {};
  UINT scan = MapVirtualKeyA(key, 0);
  if (scan && GetKeyNameTextA(static_cast<LONG>(scan << 16), buf, sizeof buf) > 0) return buf;
  return std::string();
}

}  // namespace

std::string ShortCutToText(ShortCut shortCut) {
  if (!shortCut) return std::string();
  std::string text;
  if (shortCut.Shift & ssShift) text += "Shift+";
  if (shortCut.Shift & ssCtrl) text += "Ctrl+";
  if (shortCut.Shift & ssAlt) text += "Alt+";
  return text + KeyName(shortCut.Key);
}

// ---------------------------------------------------------------------------------------
// MenuItem

MenuItem::MenuItem(std::string caption, ShortCut shortCut, std::string hint)
    : caption_(std::move(caption)), hint_(std::move(hint)), shortCut_(shortCut), command_(NextCommand()) {
  Commands()[command_] = this;
}

MenuItem::MenuItem(bool menuBar) : menuBar_(menuBar), command_(NextCommand()) {
  Commands()[command_] = this;
  handle_ = menuBar ? CreateMenu() : CreatePopupMenu();
  Menus()[handle_] = this;
}

MenuItem::~MenuItem() {
  if (action_) action_->RemoveClient(actionClient_);
  Commands().erase(command_);
  // Detach the children's native menus first, so each destroys only its own.
  if (handle_)
    while (GetMenuItemCount(handle_) > 0) RemoveMenu(handle_, 0, MF_BYPOSITION);
  children_.clear();
  if (handle_) {
    Menus().erase(handle_);
    DestroyMenu(handle_);
  }
}

MenuItem& MenuItem::Add(const std::string& caption, ShortCut shortCut, const std::string& hint) {
  auto item = std::make_unique<MenuItem>(caption, shortCut, hint);
  item->parent_ = this;
  children_.push_back(std::move(item));
  if (!handle_) {
    handle_ = CreatePopupMenu();
    Menus()[handle_] = this;
    if (parent_) parent_->ChildChanged();
  }
  ChildChanged();
  return *children_.back();
}

void MenuItem::Delete(int index) {
  if (index < 0 || index >= Count()) return;
  auto keep = std::move(children_[static_cast<size_t>(index)]);
  children_.erase(children_.begin() + index);
  ChildChanged();  // the native entry goes before the item and its submenu do
  keep.reset();
}

int MenuItem::IndexOf(const MenuItem* item) const {
  for (int i = 0; i < Count(); ++i)
    if (children_[static_cast<size_t>(i)].get() == item) return i;
  return -1;
}

void MenuItem::SetCaption(const std::string& caption) {
  if (caption_ == caption) return;
  caption_ = caption;
  if (parent_) parent_->ChildChanged();
}

void MenuItem::SetShortCut(ShortCut shortCut) {
  if (shortCut_ == shortCut) return;
  shortCut_ = shortCut;
  if (parent_) parent_->ChildChanged();
}

void MenuItem::SetEnabled(bool enabled) {
  if (enabled_ == enabled) return;
  enabled_ = enabled;
  if (parent_) parent_->ChildChanged();
}

void MenuItem::SetChecked(bool checked) {
  if (checked_ == checked) return;
  checked_ = checked;
  if (parent_) parent_->ChildChanged();
}

void MenuItem::SetVisible(bool visible) {
  if (visible_ == visible) return;
  visible_ = visible;
  if (parent_) parent_->ChildChanged();
}

void MenuItem::SetAction(Action* action) {
  if (action_) action_->RemoveClient(actionClient_);
  action_ = action;
  actionClient_ = 0;
  if (!action_) return;
  actionClient_ = action_->AddClient([this] { FollowAction(); });
  FollowAction();
}

void MenuItem::FollowAction() {
  caption_ = action_->Caption();
  hint_ = action_->Hint();
  shortCut_ = action_->GetShortCut();
  enabled_ = action_->Enabled();
  checked_ = action_->Checked();
  visible_ = action_->Visible();
  if (parent_) parent_->ChildChanged();
}

void MenuItem::Click() {
  if (action_) {
    action_->Execute();
    return;
  }
  if (!enabled_ || !OnClick) return;
  auto handler = OnClick;
  handler(*this);
}

MenuItem* MenuItem::FindCommand(UINT command) {
  auto it = Commands().find(command);
  return it == Commands().end() ? nullptr : it->second;
}

MenuItem* MenuItem::FindMenu(HMENU menu) {
  auto it = Menus().find(menu);
  return it == Menus().end() ? nullptr : it->second;
}

MenuItem* MenuItem::Root() {
  MenuItem* item = this;
  while (item->parent_) item = item->parent_;
  return item;
}

void MenuItem::ChildChanged() {
  Sync();
  Root()->Changed();
}

void MenuItem::Sync() {
  if (!handle_) return;
  while (GetMenuItemCount(handle_) > 0) RemoveMenu(handle_, 0, MF_BYPOSITION);
  UINT position = 0;
  for (auto& child : children_) {
    if (!child->visible_) continue;
    MENUITEMINFOA info{};
    info.cbSize = sizeof info;
    if (child->caption_ == "-") {
      info.fMask = MIIM_FTYPE | MIIM_ID;
      info.fType = MFT_SEPARATOR;
      info.wID = child->command_;
    } else {
      std::string text = child->caption_;
      if (child->shortCut_) text += "\t" + ShortCutToText(child->shortCut_);
      info.fMask = MIIM_FTYPE | MIIM_ID | MIIM_STRING | MIIM_STATE | MIIM_SUBMENU;
      info.fType = MFT_STRING;
      info.wID = child->command_;
      info.dwTypeData = text.data();
      info.fState = (child->enabled_ ? MFS_ENABLED : MFS_GRAYED) | (child->checked_ ? MFS_CHECKED : 0u);
      info.hSubMenu = child->handle_;
      InsertMenuItemA(handle_, position++, TRUE, &info);
      continue;
    }
    InsertMenuItemA(handle_, position++, TRUE, &info);
  }
}

bool MenuItem::FindShortCut(ShortCut shortCut, MenuItem*& found) {
  for (auto& child : children_) {
    if (!child->visible_) continue;
    if (child->shortCut_ == shortCut && child->caption_ != "-") {
      found = child.get();
      return true;
    }
    if (child->FindShortCut(shortCut, found)) return true;
  }
  return false;
}

bool DispatchMenuMessage(UINT msg, WPARAM w, LPARAM l) {
  switch (msg) {
    case WM_COMMAND: {
      if (l != 0 || HIWORD(w) > 1) return false;
      MenuItem* item = MenuItem::FindCommand(LOWORD(w));
      if (!item) return false;
      item->Click();
      return true;
    }
    case WM_INITMENUPOPUP: {
      MenuItem* item = MenuItem::FindMenu(reinterpret_cast<HMENU>(w));
      if (!item || HIWORD(l)) return false;
      if (item->OnPopup) {
        auto handler = item->OnPopup;
        handler(*item);
      }
      return true;
    }
    case WM_MENUSELECT: {
      UINT flags = HIWORD(w);
      if (flags == 0xFFFF && l == 0) {
        App().SetHint(std::string());  // the menu closed
        return false;
      }
      MenuItem* item = nullptr;
      if (flags & MF_POPUP) {
        if (MenuItem* owner = MenuItem::FindMenu(reinterpret_cast<HMENU>(l))) {
          HMENU sub = GetSubMenu(reinterpret_cast<HMENU>(l), LOWORD(w));
          item = MenuItem::FindMenu(sub);
          (void)owner;
        }
      } else {
        item = MenuItem::FindCommand(LOWORD(w));
      }
      App().SetHint(item ? item->Hint() : std::string());
      return false;
    }
    default:
      return false;
  }
}

// ---------------------------------------------------------------------------------------
// MainMenu

MainMenu::MainMenu() : MenuItem(true) {}

MainMenu::~MainMenu() {
  if (form_) {
    form_->RemoveHook(this);
    if (HWND h = form_->Handle()) {
      App().RemoveShortCutHandler(h);
      if (GetMenu(h) == Handle()) SetMenu(h, nullptr);
    }
  }
}

void MainMenu::Attach(Form& form) {
  form_ = &form;
  HWND h = form.Handle();
  // A window keeps its client size when the bar arrives.
  RECT client;
  GetClientRect(h, &client);
  SetMenu(h, Handle());
  RECT window, after;
  GetWindowRect(h, &window);
  GetClientRect(h, &after);
  int grow = client.bottom - after.bottom;
  if (grow > 0)
    SetWindowPos(h, nullptr, 0, 0, window.right - window.left, window.bottom - window.top + grow,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  form.AddHook(this, [](UINT msg, WPARAM w, LPARAM l, LRESULT& result) {
    result = 0;
    return DispatchMenuMessage(msg, w, l);
  });
  App().SetShortCutHandler(h, [this](UINT key, unsigned shift) { return ShortCutKey(key, shift); });
}

void MainMenu::Changed() {
  if (form_ && form_->Handle()) DrawMenuBar(form_->Handle());
}

void MainMenu::OpenSubmenu(MenuItem& item) {
  if (item.Handle()) DispatchMenuMessage(WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(item.Handle()), 0);
}

bool MainMenu::ShortCutKey(UINT key, unsigned shift) {
  if (key == VK_SHIFT || key == VK_CONTROL || key == VK_MENU) return false;
  MenuItem* found = nullptr;
  if (!FindShortCut(ShortCut{key, shift}, found)) return false;
  found->Click();
  return true;
}

// ---------------------------------------------------------------------------------------
// PopupMenu

PopupMenu::PopupMenu() : MenuItem(false) {}

PopupMenu::~PopupMenu() {
  if (form_) form_->RemoveHook(this);
  for (HWND h : controls_)
    if (IsWindow(h)) ClearControlHook(h, HookSlot::Popup);
}

POINT PopupMenu::KeyboardPoint(HWND control) {
  RECT r{};
  GetWindowRect(control, &r);
  POINT p{r.left + 4, r.top + 4};
  char cls[32] = {};
  GetClassNameA(control, cls, sizeof cls);
  RECT item{};
  bool found = false;
  if (lstrcmpiA(cls, WC_LISTVIEWA) == 0) {
    const int row = static_cast<int>(SendMessageA(control, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
    item.left = LVIR_LABEL;
    found = row >= 0 && SendMessageA(control, LVM_GETITEMRECT, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
  } else if (lstrcmpiA(cls, WC_TREEVIEWA) == 0) {
    auto node = reinterpret_cast<HTREEITEM>(SendMessageA(control, TVM_GETNEXTITEM, TVGN_CARET, 0));
    *reinterpret_cast<HTREEITEM*>(&item) = node;
    found = node && SendMessageA(control, TVM_GETITEMRECT, TRUE, reinterpret_cast<LPARAM>(&item));
  }
  if (found) {
    POINT corner{item.left + 4, item.bottom};
    ClientToScreen(control, &corner);
    if (PtInRect(&r, corner)) p = corner;
  }
  return p;
}

void PopupMenu::Attach(Form& form, int controlId) {
  form_ = &form;
  if (!controlId) anywhere_ = true;
  form.AddHook(this, [this](UINT msg, WPARAM w, LPARAM l, LRESULT& result) {
    if (msg == WM_CONTEXTMENU && anywhere_) {
      POINT p{static_cast<short>(LOWORD(l)), static_cast<short>(HIWORD(l))};
      if (p.x == -1 && p.y == -1) p = KeyboardPoint(reinterpret_cast<HWND>(w));
      Popup(p.x, p.y);
      result = 0;
      return true;
    }
    // A view's right-click: Wine's tree view makes no WM_CONTEXTMENU of it (its wait for
    // a drag takes the button's release), but tells its parent. Handled, neither view
    // makes one afterwards, so the menu opens once.
    if (msg == WM_NOTIFY) {
      const auto* header = reinterpret_cast<const NMHDR*>(l);
      if (header->code != static_cast<UINT>(NM_RCLICK)) return false;
      if (std::find(controls_.begin(), controls_.end(), header->hwndFrom) == controls_.end()) return false;
      const DWORD at = GetMessagePos();
      Popup(static_cast<short>(LOWORD(at)), static_cast<short>(HIWORD(at)));
      result = 1;
      return true;
    }
    return false;
  });
  if (!controlId) return;
  // The control's own procedure sees its right-click and keys first. A WM_CONTEXTMENU left
  // to travel up reaches the form from a page under Wine naming the page, not the control
  // (its default procedure passes itself on as the source), and Wine's makes none for the
  // menu key: so the menu opens here, at the control.
  HWND control = form.Item(controlId);
  if (!control) return;
  controls_.push_back(control);
  auto shiftF10 = std::make_shared<bool>(false);
  SetControlHook(control, HookSlot::Popup, [this, shiftF10](HWND h, UINT msg, WPARAM w, LPARAM l, LRESULT& result) {
    const bool shift = GetKeyState(VK_SHIFT) < 0;
    switch (msg) {
      case WM_CONTEXTMENU: {
        POINT p{static_cast<short>(LOWORD(l)), static_cast<short>(HIWORD(l))};
        if (p.x == -1 && p.y == -1) p = KeyboardPoint(h);
        Popup(p.x, p.y);
        result = 0;
        return true;
      }
      case WM_KEYDOWN:
      case WM_SYSKEYDOWN:
        if (w == VK_APPS || (w == VK_F10 && shift && !(GetKeyState(VK_MENU) < 0))) {
          *shiftF10 = w == VK_F10;
          const POINT p = KeyboardPoint(h);
          Popup(p.x, p.y);
          result = 0;
          return true;
        }
        return false;
      case WM_KEYUP:
      case WM_SYSKEYUP:
        // The release of the key that opened the menu does nothing more (F10 alone would
        // enter the window's menu mode).
        if (w == VK_APPS || (w == VK_F10 && *shiftF10)) {
          *shiftF10 = false;
          result = 0;
          return true;
        }
        return false;
      default:
        return false;
    }
  });
}

void PopupMenu::Popup(int x, int y) {
  if (OnPopup) {
    auto handler = OnPopup;
    handler(*this);
  }
  // The idle update decides which items are enabled; a popup opened before it ran (the
  // menu key pressed right after a change) would offer what the previous state allowed.
  App().Idle();
  HWND owner = form_ ? form_->Handle() : App().ActiveOwner();
  UINT chosen = static_cast<UINT>(
      TrackPopupMenu(Handle(), TPM_RETURNCMD | TPM_RIGHTBUTTON | TPM_NONOTIFY, x, y, 0, owner, nullptr));
  if (MenuItem* item = chosen ? MenuItem::FindCommand(chosen) : nullptr) item->Click();
}

}  // namespace base::win
