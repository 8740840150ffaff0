#include "tests/harness/FormDriver.h"

#include <algorithm>

#include "base/win/Application.h"

namespace wintest {

void Click(HWND control) { SendMessageA(control, BM_CLICK, 0, 0); }

void Type(HWND edit, const std::string& text) {
  SetFocus(edit);
  SendMessageA(edit, EM_SETSEL, 0, -1);
  SendMessageA(edit, WM_CLEAR, 0, 0);
  for (char c : text) SendMessageA(edit, WM_CHAR, static_cast<unsigned char>(c), 1);
}

void PostKey(UINT virtualKey, HWND target) {
  HWND h = target ? target : GetFocus();
  UINT scan = MapVirtualKeyA(virtualKey, 0);
  PostMessageA(h, WM_KEYDOWN, virtualKey, 1 | (scan << 16));
  if (virtualKey == VK_SPACE) PostMessageA(h, WM_CHAR, ' ', 1 | (scan << 16));
  PostMessageA(h, WM_KEYUP, virtualKey, 1 | (scan << 16) | (3u << 30));
}

namespace {

struct PopupAnswer {
  PopupSeen seen;
  std::string keys;
  size_t next = 0;
  int menusAtKey = 0;  // menus showing when the last key went in
  bool done = false;
  bool dismissed = false;
};
PopupAnswer* answer = nullptr;

struct ShownMenus {
  HWND last = nullptr;
  int count = 0;
};

BOOL CALLBACK FindShownMenu(HWND h, LPARAM l) {
  char cls[16] = {};
  GetClassNameA(h, cls, sizeof cls);
  if (lstrcmpA(cls, "#32768") == 0 && IsWindowVisible(h)) {
    auto* shown = reinterpret_cast<ShownMenus*>(l);
    shown->last = h;
    ++shown->count;
  }
  return TRUE;
}

ShownMenus Menus() {
  ShownMenus shown;
  EnumThreadWindows(GetCurrentThreadId(), FindShownMenu, reinterpret_cast<LPARAM>(&shown));
  return shown;
}

HWND ShownMenu() { return Menus().last; }

PopupSeen OpenPopupOnce(HWND control, PopupOpening how, const std::string& choose, bool& dismissed);

// Runs inside the menu's own loop: reads the menu once it shows, then types its keys, each
// once the one before has had its effect (a submenu open), as a person watching would.
void CALLBACK AnswerPopup(HWND, UINT, UINT_PTR timer, DWORD) {
  if (!answer || answer->done) return;
  const ShownMenus shown = Menus();
  auto finish = [&] {
    answer->done = true;
    KillTimer(nullptr, timer);
  };
  if (!shown.last) {
    // Closed by the last key: the chosen item's work (a dialog, say) may be running now.
    // Closed before it: something else took the activation from the menu.
    if (answer->seen.Opened) {
      answer->dismissed = answer->next < answer->keys.size();
      finish();
    }
    return;
  }
  if (!answer->seen.Opened) {
    answer->seen.Opened = true;
    auto handle = reinterpret_cast<HMENU>(SendMessageA(shown.last, MN_GETHMENU, 0, 0));
    for (int i = 0; handle && i < GetMenuItemCount(handle); ++i) {
      char text[128] = {};
      if (GetMenuStringA(handle, static_cast<UINT>(i), text, sizeof text, MF_BYPOSITION) <= 0) {
        answer->seen.Items.push_back("-");
        continue;
      }
      std::string caption = text;
      if (size_t tab = caption.find('\t'); tab != std::string::npos) caption.resize(tab);
      answer->seen.Items.push_back(caption);
    }
    answer->menusAtKey = shown.count;
    return;  // the menu draws first (a picture taken now shows it)
  }
  if (answer->keys.empty()) {
    PostMessageA(shown.last, WM_KEYDOWN, VK_ESCAPE, 1);
    answer->next = 1;
    finish();
    return;
  }
  // The key before opened a submenu, or this is the first: the next key goes in.
  if (answer->next < answer->keys.size() && (answer->next == 0 || shown.count > answer->menusAtKey)) {
    answer->menusAtKey = shown.count;
    PostMessageA(shown.last, WM_CHAR, static_cast<unsigned char>(answer->keys[answer->next++]), 1);
  }
}

}  // namespace

PopupSeen OpenPopupMenu(HWND control, PopupOpening how, const std::string& choose) {
  // Tests share one display: another test's window may take the activation, which closes
  // a menu before its keys are in. Then the author's move is made again on the window
  // brought up, at most three times.
  PopupSeen seen;
  for (int attempt = 0; attempt < 3; ++attempt) {
    SetForegroundWindow(GetAncestor(control, GA_ROOT));
    bool dismissed = false;
    seen = OpenPopupOnce(control, how, choose, dismissed);
    if (!dismissed) break;
  }
  return seen;
}

namespace {

PopupSeen OpenPopupOnce(HWND control, PopupOpening how, const std::string& choose, bool& dismissed) {
  PopupAnswer state;
  state.keys = choose;
  answer = &state;
  const UINT_PTR timer = SetTimer(nullptr, 0, 150, AnswerPopup);
  switch (how) {
    case PopupOpening::RightClick: {
      RECT r;
      GetClientRect(control, &r);
      POINT p{(r.right - r.left) / 2, (r.bottom - r.top) / 2};
      POINT screen = p;
      ClientToScreen(control, &screen);
      SetCursorPos(screen.x, screen.y);
      // The move arrives first, as the hand's would: a view that watches for a drag
      // between the button's down and up must not take it for one.
      Pump(100);
      PostMessageA(control, WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(p.x, p.y));
      PostMessageA(control, WM_RBUTTONUP, 0, MAKELPARAM(p.x, p.y));
      break;
    }
    case PopupOpening::ShiftF10: {
      SetFocus(control);
      BYTE keys[256] = {};
      GetKeyboardState(keys);
      keys[VK_SHIFT] = keys[VK_LSHIFT] = 0x80;
      SetKeyboardState(keys);
      const UINT scan = MapVirtualKeyA(VK_F10, 0);
      PostMessageA(control, WM_SYSKEYDOWN, VK_F10, 1 | (scan << 16));
      PostMessageA(control, WM_SYSKEYUP, VK_F10, 1 | (scan << 16) | (3u << 30));
      break;
    }
    case PopupOpening::MenuKey:
      SetFocus(control);
      PostKey(VK_APPS, control);
      break;
  }
  PumpUntil([&] { return state.done && !ShownMenu(); }, 5000);
  Pump(50);
  if (how == PopupOpening::ShiftF10) {
    BYTE keys[256] = {};
    GetKeyboardState(keys);
    keys[VK_SHIFT] = keys[VK_LSHIFT] = 0;
    SetKeyboardState(keys);
  }
  if (!state.done) {
    // Never opened: nothing may answer a later menu.
    KillTimer(nullptr, timer);
    if (HWND menu = ShownMenu()) PostMessageA(menu, WM_KEYDOWN, VK_ESCAPE, 1);
    Pump(50);
  }
  answer = nullptr;
  dismissed = state.dismissed;
  return state.seen;
}

}  // namespace

void CloseByTitleBar(HWND window) { PostMessageA(window, WM_SYSCOMMAND, SC_CLOSE, 0); }

void Pump(int milliseconds) {
  DWORD end = GetTickCount() + static_cast<DWORD>(milliseconds);
  do {
    base::win::App().ProcessMessages();
    Sleep(5);
  } while (static_cast<int>(end - GetTickCount()) > 0);
}

bool PumpUntil(const std::function<bool()>& done, int milliseconds) {
  const DWORD end = GetTickCount() + static_cast<DWORD>(milliseconds);
  for (;;) {
    base::win::App().ProcessMessages();
    if (done()) return true;
    if (static_cast<int>(end - GetTickCount()) <= 0) return false;
    Sleep(5);
  }
}

bool PressUntil(HWND window, UINT key, const std::function<bool()>& done) {
  for (int attempt = 0; attempt < 3; ++attempt) {
    SetForegroundWindow(GetAncestor(window, GA_ROOT));
    PostKey(key, window);
    if (PumpUntil(done, 2000)) return true;
  }
  return false;
}

bool HasFocus(HWND control) {
  if (GetFocus() == control) return true;
  SetForegroundWindow(GetAncestor(control, GA_ROOT));
  return PumpUntil([control] { return GetFocus() == control; }, 1000);
}

std::string TextOf(HWND window) {
  int n = GetWindowTextLengthA(window);
  std::string text(static_cast<size_t>(n) + 1, '\0');
  n = GetWindowTextA(window, text.data(), n + 1);
  text.resize(static_cast<size_t>(n > 0 ? n : 0));
  return text;
}

}  // namespace wintest
