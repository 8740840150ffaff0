#include "tests/e2e/E2eWindows.h"

#include <algorithm>
#include <cstring>

namespace e2e {

namespace {

LRESULT SendTimeout(HWND h, UINT msg, WPARAM w, LPARAM l) {
  DWORD_PTR result = 0;
  SendMessageTimeoutA(h, msg, w, l, SMTO_ABORTIFHUNG, 5000, &result);
  return static_cast<LRESULT>(result);
}

std::string Trim(const std::string& s) {
  size_t a = s.find_first_not_of(' ');
  if (a == std::string::npos) return "";
  size_t b = s.find_last_not_of(' ');
  return s.substr(a, b - a + 1);
}

// Memory in the control's process for the messages that carry a pointer.
class Remote {
public:
  Remote(HWND h, size_t size) : size_(size) {
    DWORD pid = 0;
    GetWindowThreadProcessId(h, &pid);
    process_ = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, pid);
    if (process_) mem_ = VirtualAllocEx(process_, nullptr, size, MEM_COMMIT, PAGE_READWRITE);
  }
  ~Remote() {
    if (mem_) VirtualFreeEx(process_, mem_, 0, MEM_RELEASE);
    if (process_) CloseHandle(process_);
  }
  Remote(const Remote&) = delete;
  Remote& operator=(const Remote&) = delete;
  bool ok() const { return mem_ != nullptr; }
  char* at(size_t offset) const { return static_cast<char*>(mem_) + offset; }
  void Write(size_t offset, const void* data, size_t n) const {
    SIZE_T done = 0;
    WriteProcessMemory(process_, at(offset), data, n, &done);
  }
  void Read(size_t offset, void* data, size_t n) const {
    SIZE_T done = 0;
    ReadProcessMemory(process_, at(offset), data, n, &done);
  }

private:
  HANDLE process_ = nullptr;
  void* mem_ = nullptr;
  size_t size_;
};

RECT ItemRect(HWND lv, int index, int part) {
  RECT r{part, 0, 0, 0};
  Remote remote(lv, sizeof(RECT));
  if (!remote.ok()) return RECT{};
  remote.Write(0, &r, sizeof r);
  SendTimeout(lv, LVM_GETITEMRECT, index, reinterpret_cast<LPARAM>(remote.at(0)));
  remote.Read(0, &r, sizeof r);
  return r;
}

UINT HitTest(HWND lv, int x, int y) {
  LVHITTESTINFO info{};
  info.pt = {x, y};
  Remote remote(lv, sizeof info);
  if (!remote.ok()) return 0;
  remote.Write(0, &info, sizeof info);
  SendTimeout(lv, LVM_HITTEST, 0, reinterpret_cast<LPARAM>(remote.at(0)));
  remote.Read(0, &info, sizeof info);
  return info.flags;
}

void MouseClick(HWND h, int x, int y) {
  PostMessageA(h, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
  PostMessageA(h, WM_LBUTTONUP, 0, MAKELPARAM(x, y));
}

}  // namespace

namespace {

BOOL CALLBACK AddVisible(HWND h, LPARAM l) {
  if (IsWindowVisible(h)) reinterpret_cast<std::vector<HWND>*>(l)->push_back(h);
  return TRUE;
}

BOOL CALLBACK AddAny(HWND h, LPARAM l) {
  reinterpret_cast<std::vector<HWND>*>(l)->push_back(h);
  return TRUE;
}

}  // namespace

std::vector<HWND> TopWindows() {
  std::vector<HWND> all;
  EnumWindows(AddVisible, reinterpret_cast<LPARAM>(&all));
  return all;
}

std::vector<HWND> Descendants(HWND top) {
  std::vector<HWND> all;
  EnumChildWindows(top, AddAny, reinterpret_cast<LPARAM>(&all));
  return all;
}

std::string WindowText(HWND h) {
  char buf[4096] = {};
  GetWindowTextA(h, buf, sizeof buf);
  return buf;
}

std::string ControlText(HWND h) {
  char buf[4096] = {};
  SendTimeout(h, WM_GETTEXT, sizeof buf, reinterpret_cast<LPARAM>(buf));
  buf[sizeof buf - 1] = '\0';
  return buf;
}

std::string ClassOf(HWND h) {
  char buf[256] = {};
  GetClassNameA(h, buf, sizeof buf);
  return buf;
}

std::string Plain(const std::string& caption) {
  std::string out;
  for (char c : caption)
    if (c != '&') out += c;
  return Trim(out);
}

HWND FindControl(HWND top, int id) {
  for (HWND h : Descendants(top))
    if (GetDlgCtrlID(h) == id) return h;
  return nullptr;
}

HWND FindButton(HWND top, const std::string& text) {
  for (HWND h : Descendants(top))
    if (_stricmp(ClassOf(h).c_str(), "Button") == 0 && IsWindowVisible(h) && Plain(WindowText(h)) == text)
      return h;
  return nullptr;
}

HWND FindTopWithControl(int id) {
  for (HWND top : TopWindows())
    if (IsWindowEnabled(top) && FindControl(top, id)) return top;
  return nullptr;
}

HWND FindTopWithCaption(const std::string& caption) {
  for (HWND top : TopWindows())
    if (WindowText(top) == caption) return top;
  return nullptr;
}

HWND FindDialogWithText(const std::string& part) {
  for (HWND top : TopWindows()) {
    if (ClassOf(top) != "#32770") continue;
    for (HWND h : Descendants(top))
      if (WindowText(h).find(part) != std::string::npos) return top;
  }
  return nullptr;
}

std::string DescribeWindows() {
  std::string out;
  for (HWND top : TopWindows()) {
    out += "[" + ClassOf(top) + " \"" + WindowText(top) + "\"";
    for (HWND h : Descendants(top)) {
      std::string t = WindowText(h);
      if (!t.empty() && IsWindowVisible(h)) out += " | " + t.substr(0, 80);
    }
    out += "]\n";
  }
  return out;
}

void Click(HWND button) { PostMessageA(button, BM_CLICK, 0, 0); }

void TypeText(HWND edit, const std::string& text) {
  for (char c : text) PostMessageA(edit, WM_CHAR, static_cast<unsigned char>(c), 1);
}

bool Checked(HWND box) { return SendTimeout(box, BM_GETCHECK, 0, 0) == BST_CHECKED; }

bool Enabled(HWND h) { return h && IsWindowEnabled(h); }

std::string ListViewText(HWND lv, int index) {
  Remote remote(lv, sizeof(LVITEMA) + 512);
  if (!remote.ok()) return "";
  LVITEMA item{};
  item.mask = LVIF_TEXT;
  item.iItem = index;
  item.pszText = remote.at(sizeof(LVITEMA));
  item.cchTextMax = 500;
  remote.Write(0, &item, sizeof item);
  SendTimeout(lv, LVM_GETITEMTEXTA, index, reinterpret_cast<LPARAM>(remote.at(0)));
  char text[512] = {};
  remote.Read(sizeof(LVITEMA), text, 500);
  return text;
}

int ListViewCount(HWND lv) { return static_cast<int>(SendTimeout(lv, LVM_GETITEMCOUNT, 0, 0)); }

int ListViewFind(HWND lv, const std::string& caption) {
  const int count = ListViewCount(lv);
  for (int i = 0; i < count; ++i)
    if (ListViewText(lv, i) == caption) return i;
  return -1;
}

bool ListViewChecked(HWND lv, int index) {
  UINT state = static_cast<UINT>(SendTimeout(lv, LVM_GETITEMSTATE, index, LVIS_STATEIMAGEMASK));
  return ((state & LVIS_STATEIMAGEMASK) >> 12) == 2;
}

void ListViewClickCheckBox(HWND lv, int index) {
  RECT bounds = ItemRect(lv, index, LVIR_BOUNDS);
  const int y = (bounds.top + bounds.bottom) / 2;
  for (int x = bounds.left; x < bounds.left + 40; ++x)
    if (HitTest(lv, x, y) & LVHT_ONITEMSTATEICON) {
      MouseClick(lv, x + 3, y);
      break;
    }
  Sleep(200);
  ListViewClickLabel(lv, index);
}

void ListViewClickLabel(HWND lv, int index) {
  RECT label = ItemRect(lv, index, LVIR_LABEL);
  MouseClick(lv, (label.left + label.right) / 2, (label.top + label.bottom) / 2);
}

void RightClick(HWND control, POINT at) {
  POINT screen = at;
  ClientToScreen(control, &screen);
  SetCursorPos(screen.x, screen.y);
  // The move reaches the control first, as the hand's would: a view that watches for a
  // drag between the button's down and up must not take it for one.
  Sleep(200);
  PostMessageA(control, WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(at.x, at.y));
  PostMessageA(control, WM_RBUTTONUP, 0, MAKELPARAM(at.x, at.y));
}

POINT PopupPoint(HWND view) {
  RECT client{};
  GetClientRect(view, &client);
  const std::string cls = ClassOf(view);
  RECT item{};
  bool found = false;
  if (cls == WC_LISTVIEWA) {
    const int row = static_cast<int>(SendTimeout(view, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
    if (row >= 0) {
      item = ItemRect(view, row, LVIR_LABEL);
      found = item.right > item.left;
    }
  } else if (cls == WC_TREEVIEWA) {
    auto node = static_cast<LPARAM>(SendTimeout(view, TVM_GETNEXTITEM, TVGN_CARET, 0));
    Remote remote(view, sizeof(RECT));
    if (node && remote.ok()) {
      std::memcpy(&item, &node, sizeof node);
      remote.Write(0, &item, sizeof item);
      found = SendTimeout(view, TVM_GETITEMRECT, TRUE, reinterpret_cast<LPARAM>(remote.at(0))) != 0;
      remote.Read(0, &item, sizeof item);
    }
  }
  if (found) return POINT{(item.left + item.right) / 2, (item.top + item.bottom) / 2};
  return POINT{client.right / 2, std::max<LONG>(client.bottom - 6, 0)};
}

bool ListViewSelected(HWND lv, int index) {
  return (SendTimeout(lv, LVM_GETITEMSTATE, index, LVIS_SELECTED) & LVIS_SELECTED) != 0;
}

int TabCount(HWND tabs) { return static_cast<int>(SendTimeout(tabs, TCM_GETITEMCOUNT, 0, 0)); }

int TabSelected(HWND tabs) { return static_cast<int>(SendTimeout(tabs, TCM_GETCURSEL, 0, 0)); }

std::string TabText(HWND tabs, int index) {
  Remote remote(tabs, sizeof(TCITEMA) + 512);
  if (!remote.ok()) return "";
  TCITEMA item{};
  item.mask = TCIF_TEXT;
  item.pszText = remote.at(sizeof(TCITEMA));
  item.cchTextMax = 500;
  remote.Write(0, &item, sizeof item);
  if (!SendTimeout(tabs, TCM_GETITEMA, index, reinterpret_cast<LPARAM>(remote.at(0)))) return "";
  char text[512] = {};
  remote.Read(sizeof(TCITEMA), text, 500);
  return text;
}

std::string StatusBarText(HWND bar, int part) {
  const size_t length = LOWORD(SendTimeout(bar, SB_GETTEXTLENGTHA, part, 0));
  Remote remote(bar, length + 1);
  if (!remote.ok()) return "";
  SendTimeout(bar, SB_GETTEXTA, part, reinterpret_cast<LPARAM>(remote.at(0)));
  std::string text(length, '\0');
  remote.Read(0, text.data(), length);
  return text;
}

void PumpFor(DWORD milliseconds, HANDLE handle) {
  // The driver's own hidden windows (COM's, the build dialog's) must answer the end-of-
  // session questions of a restart, or Wine holds the restart up waiting for them.
  MSG msg;
  while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
  MsgWaitForMultipleObjects(handle ? 1 : 0, handle ? &handle : nullptr, FALSE, milliseconds, QS_ALLINPUT);
}

bool WaitFor(const std::function<bool()>& test, double seconds) {
  const DWORD end = GetTickCount() + static_cast<DWORD>(seconds * 1000);
  while (true) {
    if (test()) return true;
    if (static_cast<int>(GetTickCount() - end) > 0) return false;
    PumpFor(50, nullptr);
  }
}

HWND WaitForWindow(const std::function<HWND()>& find, double seconds) {
  HWND found = nullptr;
  WaitFor([&] { return (found = find()) != nullptr; }, seconds);
  return found;
}

}  // namespace e2e
