#include "base/win/Application.h"

#include <commctrl.h>

#include <algorithm>

#include "base/CommandLine.h"
#include "base/Streams.h"
#include "base/win/Controls.h"
#include "base/win/Dialogs.h"
#include "base/win/Form.h"
#include "base/win/PaintBox.h"
#include "base/win/TestSeams.h"

namespace base::win {

Application& Application::Instance() {
  static Application app;
  return app;
}

void Application::Initialize() {
  if (initialized_) return;
  initialized_ = true;
  INITCOMMONCONTROLSEX icc{sizeof icc, ICC_WIN95_CLASSES | ICC_PROGRESS_CLASS | ICC_LISTVIEW_CLASSES};
  InitCommonControlsEx(&icc);
  // The rich edit class must exist before a template that names it is created.
  LoadLibraryA("riched20.dll");
  RegisterControlClasses(Handle());
  RegisterPaintBoxClass(Handle());
}

std::string Application::ExeName() const {
  std::string path(MAX_PATH, '\0');
  for (;;) {
    DWORD n = GetModuleFileNameA(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (n < path.size()) {
      path.resize(n);
      return path;
    }
    path.resize(path.size() * 2);
  }
}

HINSTANCE Application::Handle() const { return GetModuleHandleA(nullptr); }

std::vector<std::string> Application::Params() const {
  auto params = SplitCommandLine(commandLineSet_ ? commandLine_ : std::string(GetCommandLineA()));
  if (params.empty()) params.push_back(std::string());
  params[0] = ExeName();
  return params;
}

int Application::ParamCount() const { return static_cast<int>(Params().size()) - 1; }

std::string Application::ParamStr(int index) const {
  auto params = Params();
  if (index < 0 || index >= static_cast<int>(params.size())) return std::string();
  return params[static_cast<size_t>(index)];
}

void Application::SetCommandLine(const std::string& commandLine) {
  commandLineSet_ = !commandLine.empty();
  commandLine_ = commandLine;
}

bool Application::DialogMessage(MSG& msg) {
  if (IsShortCut(msg)) return true;
  // The innermost modal form takes the dialog keys; otherwise the modeless form that
  // holds the message's window.
  if (!modal_.empty()) {
    HWND h = modal_.back()->Handle();
    return h && IsDialogMessageA(h, &msg);
  }
  for (Form* f : modeless_) {
    HWND h = f->Handle();
    if (h && (msg.hwnd == h || IsChild(h, msg.hwnd)) && IsDialogMessageA(h, &msg)) return true;
  }
  return false;
}

void Application::ProcessMessages() {
  MSG msg;
  while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (msg.message == WM_QUIT) {
      terminated_ = true;
      break;
    }
    if (!DialogMessage(msg)) {
      TranslateMessage(&msg);
      DispatchMessageA(&msg);
    }
  }
}

void Application::Terminate() {
  terminated_ = true;
  PostQuitMessage(0);
}

std::string Application::HelpFilePath() const {
  if (helpFile_.empty() || helpFile_.find_first_of("\\/:") != std::string::npos) return helpFile_;
  // A bare name lies beside the program.
  const std::string exe = ExeName();
  return exe.substr(0, exe.find_last_of("\\/") + 1) + helpFile_;
}

void Application::HelpContext(int context) {
  const bool recorded = seams::CountHelp(context);
  if (helpFile_.empty()) return;
  const std::string file = HelpFilePath();
  if (!base::FileExists(file)) {
    // Said here rather than by the help viewer of another process, which would keep the
    // activation: the window that asked gets its focus back, and with it its shortcuts.
    HWND focus = GetFocus();
    ShowMessage("No help is available: the help file \"" + helpFile_ + "\" was not found beside the program.");
    if (focus && IsWindow(focus)) {
      SetActiveWindow(GetAncestor(focus, GA_ROOT));
      SetFocus(focus);
    }
    return;
  }
  if (recorded) return;
  WinHelpA(ActiveOwner(), file.c_str(), HELP_CONTEXT, static_cast<ULONG_PTR>(context));
}

void Application::SetHint(const std::string& hint) {
  hint_ = GetLongHint(hint);
  if (onHint_) {
    auto handler = onHint_;
    handler(hint_);
  }
}

void Application::AddIdleHandler(const void* owner, std::function<void()> handler) {
  RemoveIdleHandler(owner);
  idle_.emplace_back(owner, std::move(handler));
}

void Application::RemoveIdleHandler(const void* owner) {
  idle_.erase(std::remove_if(idle_.begin(), idle_.end(), [owner](auto& e) { return e.first == owner; }), idle_.end());
}

void Application::Idle() {
  // A handler may add or remove handlers: run a copy.
  auto handlers = idle_;
  for (auto& [owner, handler] : handlers) {
    try {
      handler();
    } catch (const std::exception& e) {
      ShowException(e);
    } catch (...) {
    }
  }
}

void Application::SetShortCutHandler(HWND topLevel, std::function<bool(UINT, unsigned)> handler) {
  shortCuts_[topLevel] = std::move(handler);
}

void Application::RemoveShortCutHandler(HWND topLevel) { shortCuts_.erase(topLevel); }

bool Application::IsShortCut(const MSG& msg) {
  if (msg.message != WM_KEYDOWN && msg.message != WM_SYSKEYDOWN) return false;
  if (shortCuts_.empty() || !msg.hwnd) return false;
  HWND top = GetAncestor(msg.hwnd, GA_ROOT);
  auto it = shortCuts_.find(top);
  if (it == shortCuts_.end() || !IsWindowEnabled(top)) return false;
  unsigned shift = 0;
  if (GetKeyState(VK_SHIFT) < 0) shift |= 1;
  if (GetKeyState(VK_CONTROL) < 0) shift |= 2;
  if (GetKeyState(VK_MENU) < 0 || msg.message == WM_SYSKEYDOWN) shift |= 4;
  auto handler = it->second;
  bool eaten = false;
  try {
    eaten = handler(static_cast<UINT>(msg.wParam), shift);
  } catch (const std::exception& e) {
    ShowException(e);
    eaten = true;
  } catch (...) {
    eaten = true;
  }
  return eaten;
}

std::string GetShortHint(const std::string& hint) {
  size_t bar = hint.find('|');
  return bar == std::string::npos ? hint : hint.substr(0, bar);
}

std::string GetLongHint(const std::string& hint) {
  size_t bar = hint.find('|');
  return bar == std::string::npos ? hint : hint.substr(bar + 1);
}

void Application::ShowException(const std::string& message) {
  std::string text = message;
  if (!text.empty() && text.back() > '.') text += '.';
  AppMessageBox(text, title_, MB_OK | MB_ICONSTOP);
}

void Application::ShowException(const std::exception& e) { ShowException(std::string(e.what())); }

void Application::PopModal(Form* form) {
  auto it = std::find(modal_.begin(), modal_.end(), form);
  if (it != modal_.end()) modal_.erase(it);
}

void Application::AddModeless(Form* form) {
  if (std::find(modeless_.begin(), modeless_.end(), form) == modeless_.end()) modeless_.push_back(form);
}

void Application::RemoveModeless(Form* form) {
  modeless_.erase(std::remove(modeless_.begin(), modeless_.end(), form), modeless_.end());
}

HWND Application::ActiveOwner() const {
  if (!modal_.empty() && modal_.back()->Handle()) return modal_.back()->Handle();
  HWND active = GetActiveWindow();
  if (active && GetWindowThreadProcessId(active, nullptr) == GetCurrentThreadId()) return active;
  return nullptr;
}

void Application::Run(Form& mainForm) {
  Initialize();
  if (!mainForm.Created()) mainForm.Create();
  mainForm.ShowModeless();
  MSG msg;
  while (!terminated_ && IsWindow(mainForm.Handle()) && IsWindowVisible(mainForm.Handle())) {
    if (!PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE)) Idle();
    BOOL got = GetMessageA(&msg, nullptr, 0, 0);
    if (got == 0 || got == -1) {
      terminated_ = true;
      break;
    }
    if (!DialogMessage(msg)) {
      TranslateMessage(&msg);
      DispatchMessageA(&msg);
    }
  }
}

int ScreenWidth() { return GetSystemMetrics(SM_CXSCREEN); }
int ScreenHeight() { return GetSystemMetrics(SM_CYSCREEN); }

}  // namespace base::win
