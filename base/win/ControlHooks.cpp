#include "base/win/ControlHooks.h"

#include <array>
#include <map>

#include "base/win/Form.h"

namespace base::win {

namespace {

struct Hooks {
  WNDPROC original = nullptr;
  std::array<ControlHook, static_cast<size_t>(HookSlot::Count)> slots;
};

std::map<HWND, Hooks>& AllHooks() {
  static std::map<HWND, Hooks> hooks;
  return hooks;
}

LRESULT CALLBACK HookProc(HWND hwnd, UINT msg, WPARAM w, LPARAM l) {
  auto it = AllHooks().find(hwnd);
  if (it == AllHooks().end()) return DefWindowProcA(hwnd, msg, w, l);
  WNDPROC original = it->second.original;
  if (msg == WM_NCDESTROY) {
    SetWindowLongPtrA(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(original));
    AllHooks().erase(it);
    return CallWindowProcA(original, hwnd, msg, w, l);
  }
  for (size_t s = 0; s < static_cast<size_t>(HookSlot::Count); ++s) {
    auto found = AllHooks().find(hwnd);
    if (found == AllHooks().end()) break;
    ControlHook hook = found->second.slots[s];  // a hook may replace itself
    if (!hook) continue;
    bool handled = false;
    LRESULT result = 0;
    Form::Guard([&] { handled = hook(hwnd, msg, w, l, result); });
    if (handled) return result;
  }
  return CallWindowProcA(original, hwnd, msg, w, l);
}

std::map<HWND, int>& UpdateDepths() {
  static std::map<HWND, int> depths;
  return depths;
}

}  // namespace

void SetControlHook(HWND control, HookSlot slot, ControlHook hook) {
  if (!control) return;
  auto& all = AllHooks();
  auto it = all.find(control);
  if (it == all.end()) {
    Hooks h;
    h.original = reinterpret_cast<WNDPROC>(GetWindowLongPtrA(control, GWLP_WNDPROC));
    it = all.emplace(control, std::move(h)).first;
    SetWindowLongPtrA(control, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(HookProc));
  }
  it->second.slots[static_cast<size_t>(slot)] = std::move(hook);
}

void ClearControlHook(HWND control, HookSlot slot) {
  auto it = AllHooks().find(control);
  if (it != AllHooks().end()) it->second.slots[static_cast<size_t>(slot)] = nullptr;
}

void BeginControlUpdate(HWND h) {
  if (UpdateDepths()[h]++ == 0) SendMessageA(h, WM_SETREDRAW, FALSE, 0);
}

void EndControlUpdate(HWND h) {
  auto it = UpdateDepths().find(h);
  if (it == UpdateDepths().end()) return;
  if (--it->second <= 0) {
    UpdateDepths().erase(it);
    SendMessageA(h, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(h, nullptr, TRUE);
  }
}

bool ControlUpdating(HWND h) {
  auto it = UpdateDepths().find(h);
  return it != UpdateDepths().end() && it->second > 0;
}

}  // namespace base::win
