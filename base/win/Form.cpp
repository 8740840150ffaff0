#include "base/win/Form.h"

#include <algorithm>
#include <stdexcept>

#include "base/win/Application.h"
#include "base/win/ControlHooks.h"
#include "base/win/PageControl.h"
#include "base/win/TestSeams.h"

namespace base::win {

namespace {

bool IsEdit(HWND h) {
  char cls[16] = {};
  GetClassNameA(h, cls, sizeof cls);
  return lstrcmpiA(cls, "Edit") == 0;
}

}  // namespace

// ---------------------------------------------------------------------------------------
// Window

std::string Window::Text() const {
  HWND h = Handle();
  int n = GetWindowTextLengthA(h);
  std::string text(static_cast<size_t>(n) + 1, '\0');
  n = GetWindowTextA(h, text.data(), n + 1);
  text.resize(static_cast<size_t>(std::max(n, 0)));
  return text;
}

void Window::SetText(const std::string& text) const { SetWindowTextA(Handle(), text.c_str()); }

RECT Window::Bounds() const {
  HWND h = Handle();
  RECT r{};
  GetWindowRect(h, &r);
  HWND parent = (GetWindowLongA(h, GWL_STYLE) & WS_CHILD) ? GetParent(h) : nullptr;
  if (parent) MapWindowPoints(HWND_DESKTOP, parent, reinterpret_cast<POINT*>(&r), 2);
  return r;
}

void Window::SetBounds(int left, int top, int width, int height) const {
  SetWindowPos(Handle(), nullptr, left, top, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
}

void Window::SetPos(int left, int top) const {
  SetWindowPos(Handle(), nullptr, left, top, 0, 0, SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOSIZE);
}

RECT Window::ClientRect() const {
  RECT r{};
  GetClientRect(Handle(), &r);
  return r;
}

// ---------------------------------------------------------------------------------------
// Form

namespace {

struct Disabling {
  HWND self;
  std::vector<HWND> windows;
};

BOOL CALLBACK DisableOther(HWND w, LPARAM l) {
  auto* d = reinterpret_cast<Disabling*>(l);
  if (w != d->self && IsWindowVisible(w) && IsWindowEnabled(w)) {
    d->windows.push_back(w);
    EnableWindow(w, FALSE);
  }
  return TRUE;
}

}  // namespace

Form::Form(int templateId) : templateId_(templateId) {}

Form::~Form() {
  App().PopModal(this);
  App().RemoveModeless(this);
  if (hwnd_ && IsWindow(hwnd_)) {
    SetWindowLongPtrA(hwnd_, DWLP_USER, 0);
    DestroyWindow(hwnd_);
  }
  hwnd_ = nullptr;
}

void Form::Guard(const std::function<void()>& work) {
  try {
    work();
  } catch (const std::exception& e) {
    App().ShowException(e);
  } catch (...) {
    App().ShowException(std::string("Unexpected failure"));
  }
}

void Form::Create() {
  if (hwnd_) return;
  App().Initialize();
  HWND owner = App().ActiveOwner();
  HWND h = CreateDialogParamA(App().Handle(), MAKEINTRESOURCEA(templateId_), owner, DialogProc,
                              reinterpret_cast<LPARAM>(this));
  if (!h) throw std::runtime_error("Cannot create the form " + std::to_string(templateId_) + " (error " +
                                   std::to_string(GetLastError()) + ")");
}

void Form::ShowFirstTime() {
  Guard([this] { FormShow(); });
}

int Form::ShowModal() {
  if (!hwnd_) Create();
  if (modal_) throw std::runtime_error("Cannot make a visible window modal");
  Application& app = App();
  // Other windows of the thread take no input while the form runs.
  Disabling disabling{hwnd_, {}};
  EnumThreadWindows(GetCurrentThreadId(), DisableOther, reinterpret_cast<LPARAM>(&disabling));
  modal_ = true;
  modalResult_ = mrNone;
  app.PushModal(this);
  EnableWindow(hwnd_, TRUE);
  ShowFirstTime();
  ShowWindow(hwnd_, SW_SHOW);
  SetForegroundWindow(hwnd_);
  Post(WM_FORM_SHOWN_SEAM);
  MSG msg;
  while (true) {
    if (modalResult_ != mrNone) {
      bool mayClose = true;
      Guard([&] { mayClose = FormCloseQuery(); });
      if (mayClose) break;
      modalResult_ = mrNone;
    }
    if (!PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE)) app.Idle();
    BOOL got = GetMessageA(&msg, nullptr, 0, 0);
    if (got == 0 || got == -1) {
      // Keep the quit request for the loop that owns it.
      PostQuitMessage(static_cast<int>(msg.wParam));
      if (modalResult_ == mrNone) modalResult_ = mrCancel;
      break;
    }
    if (!app.IsShortCut(msg) && !IsDialogMessageA(hwnd_, &msg)) {
      TranslateMessage(&msg);
      DispatchMessageA(&msg);
    }
  }
  Guard([this] { FormClose(); });
  for (HWND w : disabling.windows)
    if (IsWindow(w)) EnableWindow(w, TRUE);
  if (IsWindow(hwnd_)) {
    // Activation goes back to the owner before this window disappears.
    SetWindowPos(hwnd_, nullptr, 0, 0, 0, 0,
                 SWP_HIDEWINDOW | SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  }
  app.PopModal(this);
  modal_ = false;
  shown_ = false;
  // What the mouse last pointed at went with the form: its hint leaves the status bar.
  if (!app.Hint().empty()) app.SetHint(std::string());
  return modalResult_;
}

void Form::ShowModeless() {
  if (!hwnd_) Create();
  App().AddModeless(this);
  ShowFirstTime();
  ShowWindow(hwnd_, SW_SHOW);
  Post(WM_FORM_SHOWN_SEAM);
}

void Form::Close() {
  if (modal_) {
    modalResult_ = mrCancel;
    return;
  }
  bool mayClose = true;
  Guard([&] { mayClose = FormCloseQuery(); });
  if (!mayClose) return;
  Guard([this] { FormClose(); });
  Hide();
  App().RemoveModeless(this);
}

HWND Form::Item(int id) const {
  if (!hwnd_) return nullptr;
  if (HWND h = GetDlgItem(hwnd_, id)) return h;
  for (auto& [nb, book] : notebooks_)
    for (HWND page : book.pages)
      if (HWND h = GetDlgItem(page, id)) return h;
  return nullptr;
}

void Form::OnClick(int id, std::function<void()> handler) { commands_[{id, BN_CLICKED}] = std::move(handler); }

void Form::OnChange(int id, std::function<void()> handler) {
  // One handler for the change codes of the edit, list box and combo box.
  commands_[{id, EN_CHANGE}] = handler;
  commands_[{id, LBN_SELCHANGE}] = handler;
  commands_[{id, CBN_SELCHANGE}] = std::move(handler);
}

void Form::OnDblClick(int id, std::function<void()> handler) {
  commands_[{id, LBN_DBLCLK}] = handler;
  commands_[{id, BN_DOUBLECLICKED}] = handler;
  notifies_[{id, NM_DBLCLK}] = [handler](NMHDR*) -> LRESULT {
    handler();
    return 0;
  };
}

void Form::OnCommand(int id, int code, std::function<void()> handler) { commands_[{id, code}] = std::move(handler); }

void Form::OnNotify(int id, UINT code, std::function<LRESULT(NMHDR*)> handler) {
  notifies_[{id, code}] = std::move(handler);
}

void Form::OnMessage(UINT msg, std::function<LRESULT(WPARAM, LPARAM)> handler) { messages_[msg] = std::move(handler); }

void Form::OnPaint(std::function<void(HDC, const RECT&)> handler) { paint_ = std::move(handler); }

void Form::OnScroll(int id, std::function<void(int, int)> handler) { scrolls_[id] = std::move(handler); }

void Form::SetTimer(UINT id, UINT milliseconds, std::function<void()> handler) {
  timers_[id] = std::move(handler);
  ::SetTimer(hwnd_, id, milliseconds, nullptr);
}

void Form::KillTimer(UINT id) {
  ::KillTimer(hwnd_, id);
  timers_.erase(id);
}

void Form::ModalButton(int id, int result) {
  OnClick(id, [this, result] { SetModalResult(result); });
}

void Form::SetDefaultButton(int id) {
  if (defaultButton_ && defaultButton_ != id) {
    if (HWND old = Item(defaultButton_)) SendMessageA(old, BM_SETSTYLE, BS_PUSHBUTTON, TRUE);
  }
  defaultButton_ = id;
  if (!hwnd_) return;
  SendMessageA(hwnd_, DM_SETDEFID, static_cast<WPARAM>(id ? id : IDOK), 0);
  if (HWND b = Item(id)) SendMessageA(b, BM_SETSTYLE, BS_DEFPUSHBUTTON, TRUE);
}

// ---------------------------------------------------------------------------------------
// Looks of controls

void Form::SetControlFont(HWND control, const Font& font) {
  if (!control) return;
  ControlLook& look = looks_[control];
  auto gdi = std::make_unique<GdiObject>(CreateGdiFont(font));
  SendMessageA(control, WM_SETFONT, reinterpret_cast<WPARAM>(gdi->get()), TRUE);
  look.font = std::move(gdi);
  look.hasText = true;
  look.text = ColorToRGB(font.Color_);
}

void Form::SetControlTextColor(HWND control, Color color) {
  if (!control) return;
  ControlLook& look = looks_[control];
  look.hasText = true;
  look.text = ColorToRGB(color);
  InvalidateRect(control, nullptr, TRUE);
}

void Form::SetControlBackColor(HWND control, Color color) {
  if (!control) return;
  ControlLook& look = looks_[control];
  look.hasBack = true;
  look.back = ColorToRGB(color);
  look.brush = std::make_unique<GdiObject>(CreateSolidBrush(look.back));
  InvalidateRect(control, nullptr, TRUE);
}

void Form::SetControlTransparent(HWND control, bool transparent) {
  if (!control) return;
  looks_[control].transparent = transparent;
  InvalidateRect(control, nullptr, TRUE);
}

namespace {

BOOL CALLBACK AddChildWindow(HWND child, LPARAM l) {
  reinterpret_cast<std::vector<HWND>*>(l)->push_back(child);
  return TRUE;
}

}  // namespace

void Form::SetControlHint(HWND control, const std::string& hint) {
  if (!control || !hwnd_) return;
  hints_[control] = hint;
  if (!tips_) {
    tips_ = CreateWindowExA(WS_EX_TOPMOST, TOOLTIPS_CLASSA, nullptr, WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX,
                            CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, hwnd_, nullptr, App().Handle(),
                            nullptr);
  }
  std::vector<HWND> parts{control};
  EnumChildWindows(control, AddChildWindow, reinterpret_cast<LPARAM>(&parts));
  std::string tip = GetShortHint(hint);
  const std::string status = GetLongHint(hint);
  for (HWND part : parts) {
    TTTOOLINFOA info{};
    info.cbSize = TTTOOLINFOA_V2_SIZE;
    info.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    info.hwnd = hwnd_;
    info.uId = reinterpret_cast<UINT_PTR>(part);
    info.lpszText = tip.data();
    SendMessageA(tips_, TTM_DELTOOLA, 0, reinterpret_cast<LPARAM>(&info));
    SendMessageA(tips_, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&info));
    SetControlHook(part, HookSlot::Hint, [status](HWND, UINT msg, WPARAM, LPARAM, LRESULT&) {
      if (msg == WM_MOUSEMOVE && App().Hint() != status) App().SetHint(status);
      return false;
    });
  }
}

std::string Form::ControlHint(HWND control) const {
  auto it = hints_.find(control);
  return it == hints_.end() ? std::string() : it->second;
}

std::string Form::ControlToolTip(HWND control) const {
  if (!tips_) return std::string();
  char text[256] = {};
  TTTOOLINFOA info{};
  info.cbSize = TTTOOLINFOA_V2_SIZE;
  info.hwnd = hwnd_;
  info.uId = reinterpret_cast<UINT_PTR>(control);
  info.lpszText = text;
  SendMessageA(tips_, TTM_GETTEXTA, sizeof text, reinterpret_cast<LPARAM>(&info));
  return text;
}

// ---------------------------------------------------------------------------------------
// Notebook pages

void Form::AddPages(int notebookId, const std::vector<int>& pageTemplates) {
  // The placeholder may sit on a page of another notebook (pages inside a page).
  HWND holder = Item(notebookId);
  if (!holder) throw std::runtime_error("No notebook " + std::to_string(notebookId));
  // Tab and arrow keys walk into the pages.
  SetWindowLongA(holder, GWL_EXSTYLE, GetWindowLongA(holder, GWL_EXSTYLE) | WS_EX_CONTROLPARENT);
  NotebookPages& book = notebooks_[notebookId];
  RECT area;
  GetClientRect(holder, &area);
  for (int t : pageTemplates) {
    HWND page = CreateDialogParamA(App().Handle(), MAKEINTRESOURCEA(t), holder, PageProc,
                                   reinterpret_cast<LPARAM>(this));
    if (!page) throw std::runtime_error("Cannot create the page " + std::to_string(t));
    SetWindowPos(page, nullptr, 0, 0, area.right, area.bottom, SWP_NOZORDER | SWP_NOACTIVATE);
    ShowWindow(page, SW_HIDE);
    book.pages.push_back(page);
  }
}

void Form::ShowPage(int notebookId, int index) {
  auto it = notebooks_.find(notebookId);
  if (it == notebooks_.end()) return;
  NotebookPages& book = it->second;
  if (index < 0 || index >= static_cast<int>(book.pages.size())) return;
  book.index = index;
  for (int i = 0; i < static_cast<int>(book.pages.size()); ++i)
    ShowWindow(book.pages[static_cast<size_t>(i)], i == index ? SW_SHOW : SW_HIDE);
}

int Form::PageIndex(int notebookId) const {
  auto it = notebooks_.find(notebookId);
  return it == notebooks_.end() ? -1 : it->second.index;
}

HWND Form::Page(int notebookId, int index) const {
  auto it = notebooks_.find(notebookId);
  if (it == notebooks_.end() || index < 0 || index >= static_cast<int>(it->second.pages.size())) return nullptr;
  return it->second.pages[static_cast<size_t>(index)];
}

// ---------------------------------------------------------------------------------------
// Dispatch

bool Form::Command(int id, int code) {
  auto it = commands_.find({id, code});
  if (it != commands_.end()) {
    auto handler = it->second;  // the handler may replace itself
    Guard(handler);
    return true;
  }
  return false;
}

void Form::AddHook(const void* owner, MessageHook hook) {
  RemoveHook(owner);
  hooks_.emplace_back(owner, std::move(hook));
}

void Form::RemoveHook(const void* owner) {
  hooks_.erase(std::remove_if(hooks_.begin(), hooks_.end(), [owner](auto& h) { return h.first == owner; }),
               hooks_.end());
}

bool Form::Dispatch(UINT msg, WPARAM w, LPARAM l, LRESULT& result) {
  if (!hooks_.empty()) {
    auto hooks = hooks_;  // a hook may remove itself
    for (auto& [owner, hook] : hooks) {
      bool handled = false;
      Guard([&] { handled = hook(msg, w, l, result); });
      if (handled) return true;
    }
  }
  switch (msg) {
    case WM_COMMAND: {
      int id = LOWORD(w), code = HIWORD(w);
      if (l == 0 && (id == IDCANCEL || id == IDOK) && code <= 1) {
        // Dialog keys: Esc clicks the cancel button, Enter the default one.
        int target = id == IDCANCEL ? cancelButton_ : defaultButton_;
        HWND b = target ? Item(target) : nullptr;
        if (b && IsWindowEnabled(b) && IsWindowVisible(b)) SendMessageA(b, BM_CLICK, 0, 0);
        return true;
      }
      return Command(id, code);
    }
    case WM_NOTIFY: {
      auto* header = reinterpret_cast<NMHDR*>(l);
      auto it = notifies_.find({static_cast<int>(header->idFrom), header->code});
      if (it == notifies_.end()) return false;
      auto handler = it->second;
      Guard([&] { result = handler(header); });
      return true;
    }
    case WM_HSCROLL:
    case WM_VSCROLL: {
      if (l == 0) break;
      auto it = scrolls_.find(GetDlgCtrlID(reinterpret_cast<HWND>(l)));
      if (it == scrolls_.end()) break;
      auto handler = it->second;
      const int code = LOWORD(w), thumb = HIWORD(w);
      Guard([&] { handler(code, thumb); });
      return true;
    }
    case WM_TIMER: {
      auto it = timers_.find(static_cast<UINT>(w));
      if (it == timers_.end()) return false;
      auto handler = it->second;
      Guard(handler);
      return true;
    }
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORLISTBOX: {
      HWND control = reinterpret_cast<HWND>(l);
      HDC dc = reinterpret_cast<HDC>(w);
      auto it = looks_.find(control);
      // Texts, check boxes and the like on a tab's display area take its ground; edits
      // (read-only ones ask as statics do) keep their own.
      COLORREF ground = 0;
      HBRUSH tabGround = nullptr;
      if ((msg == WM_CTLCOLORSTATIC || msg == WM_CTLCOLORBTN) && !IsEdit(control) &&
          (it == looks_.end() || (!it->second.transparent && !it->second.hasBack)))
        tabGround = TabGround(control, &ground);
      if (it == looks_.end() && !tabGround) return false;
      if (it != looks_.end() && it->second.hasText) SetTextColor(dc, it->second.text);
      if (tabGround) {
        SetBkColor(dc, ground);
        result = reinterpret_cast<LRESULT>(tabGround);
        return true;
      }
      ControlLook& look = it->second;
      if (look.transparent) {
        SetBkMode(dc, TRANSPARENT);
        result = reinterpret_cast<LRESULT>(GetStockObject(NULL_BRUSH));
      } else if (look.hasBack) {
        SetBkColor(dc, look.back);
        result = reinterpret_cast<LRESULT>(look.brush->get());
      } else {
        SetBkColor(dc, GetSysColor(msg == WM_CTLCOLOREDIT ? COLOR_WINDOW : COLOR_BTNFACE));
        result = reinterpret_cast<LRESULT>(GetSysColorBrush(msg == WM_CTLCOLOREDIT ? COLOR_WINDOW : COLOR_BTNFACE));
      }
      return true;
    }
    case WM_ERASEBKGND:
      if (!paint_) return false;
      result = 1;
      return true;
    case WM_PAINT: {
      if (!paint_) return false;
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(hwnd_, &ps);
      RECT client;
      GetClientRect(hwnd_, &client);
      auto handler = paint_;
      Guard([&] { handler(dc, client); });
      EndPaint(hwnd_, &ps);
      return true;
    }
    case WM_SIZE:
      Guard([this] { FormResize(); });
      return false;
    case WM_CLOSE:
      Close();
      return true;
    case WM_FORM_SHOWN_SEAM:
      Guard([this] { seams::RunShownScripts(*this); });
      return true;
    default:
      break;
  }
  auto it = messages_.find(msg);
  if (it == messages_.end()) return false;
  auto handler = it->second;
  Guard([&] { result = handler(w, l); });
  return true;
}

INT_PTR CALLBACK Form::DialogProc(HWND hwnd, UINT msg, WPARAM w, LPARAM l) {
  try {
    if (msg == WM_INITDIALOG) {
      auto* form = reinterpret_cast<Form*>(l);
      SetWindowLongPtrA(hwnd, DWLP_USER, l);
      form->hwnd_ = hwnd;
      if (form->defaultButton_) form->SetDefaultButton(form->defaultButton_);
      Guard([form] { form->FormCreate(); });
      return TRUE;
    }
    auto* form = reinterpret_cast<Form*>(GetWindowLongPtrA(hwnd, DWLP_USER));
    if (!form) return FALSE;
    if (msg == WM_NCDESTROY) {
      form->hwnd_ = nullptr;
      return FALSE;
    }
    LRESULT result = 0;
    if (!form->Dispatch(msg, w, l, result)) return FALSE;
    switch (msg) {
      case WM_CTLCOLORSTATIC: case WM_CTLCOLOREDIT: case WM_CTLCOLORBTN: case WM_CTLCOLORLISTBOX:
      case WM_CTLCOLORDLG: case WM_CTLCOLORSCROLLBAR:
        return static_cast<INT_PTR>(result);
      default:
        SetWindowLongPtrA(hwnd, DWLP_MSGRESULT, result);
        return TRUE;
    }
  } catch (...) {
    return FALSE;  // nothing may cross into Windows
  }
}

INT_PTR CALLBACK Form::PageProc(HWND hwnd, UINT msg, WPARAM w, LPARAM l) {
  try {
    if (msg == WM_INITDIALOG) {
      SetWindowLongPtrA(hwnd, DWLP_USER, l);
      return FALSE;
    }
    if (msg == WM_ERASEBKGND) {
      // A page of a tab control shows the tab's ground.
      HBRUSH ground = TabGround(hwnd, nullptr);
      if (!ground) return FALSE;
      RECT r;
      GetClientRect(hwnd, &r);
      FillRect(reinterpret_cast<HDC>(w), &r, ground);
      SetWindowLongPtrA(hwnd, DWLP_MSGRESULT, 1);
      return TRUE;
    }
    auto* form = reinterpret_cast<Form*>(GetWindowLongPtrA(hwnd, DWLP_USER));
    if (!form) return FALSE;
    // The page is part of the form: its controls' notifications are the form's.
    switch (msg) {
      case WM_COMMAND: case WM_NOTIFY: case WM_HSCROLL: case WM_VSCROLL:
      case WM_CTLCOLORSTATIC: case WM_CTLCOLOREDIT: case WM_CTLCOLORBTN: case WM_CTLCOLORLISTBOX: {
        if (msg == WM_COMMAND && l == 0) return FALSE;
        LRESULT result = 0;
        if (!form->Dispatch(msg, w, l, result)) return FALSE;
        if (msg == WM_COMMAND || msg == WM_NOTIFY || msg == WM_HSCROLL || msg == WM_VSCROLL) {
          SetWindowLongPtrA(hwnd, DWLP_MSGRESULT, result);
          return TRUE;
        }
        return static_cast<INT_PTR>(result);
      }
      default:
        return FALSE;
    }
  } catch (...) {
    return FALSE;
  }
}

}  // namespace base::win
