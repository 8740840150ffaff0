#include "base/win/Clipboard.h"

#include <windows.h>

#include <cstring>


namespace base::win {

namespace {

// A clipboard opened without a window cannot be given data: a hidden window owns it.
HWND ClipboardOwner() {
  static HWND owner = CreateWindowExA(0, "STATIC", "TandrelClipboard", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                      GetModuleHandleA(nullptr), nullptr);
  return owner;
}

// Open for as long as the object lives; another program may hold it briefly.
class OpenClipboardScope {
public:
  OpenClipboardScope() {
    for (int tries = 0; tries < 10 && !open_; ++tries) {
      open_ = OpenClipboard(ClipboardOwner()) != FALSE;
      if (!open_) Sleep(10);
    }
  }
  ~OpenClipboardScope() {
    if (open_) CloseClipboard();
  }
  explicit operator bool() const { return open_; }

private:
  bool open_ = false;
};

}  // namespace

bool Clipboard::SetText(const std::string& text) {
  OpenClipboardScope open;
  if (!open) return false;
  EmptyClipboard();
  HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, text.size() + 1);
  if (!memory) return false;
  void* p = GlobalLock(memory);
  std::memcpy(p, text.c_str(), text.size() + 1);
  GlobalUnlock(memory);
  if (!SetClipboardData(CF_TEXT, memory)) {
    GlobalFree(memory);
    return false;
  }
  return true;
}

std::string Clipboard::Text() {
  OpenClipboardScope open;
  if (!open) return std::string();
  HANDLE data = GetClipboardData(CF_TEXT);
  if (!data) return std::string();
  const char* p = static_cast<const char*>(GlobalLock(data));
  std::string text = p ? std::string(p, strnlen(p, GlobalSize(data))) : std::string();
  GlobalUnlock(data);
  return text;
}

bool Clipboard::HasText() { return IsClipboardFormatAvailable(CF_TEXT) != FALSE; }

void Clipboard::Clear() {
  OpenClipboardScope open;
  if (open) EmptyClipboard();
}

}  // namespace base::win
