#include "tests/harness/FormDriver.h"

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
