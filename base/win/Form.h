// Forms: dialogs from resource templates with the class library's behaviour: a modal
// result that closes the form, OnCreate/OnShow/OnCloseQuery, default and cancel buttons,
// messages a form posts to itself, notebook pages, and handlers that never let an
// exception reach Windows.
#pragma once
#include <windows.h>
#include <commctrl.h>

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "base/win/Graphics.h"

namespace base::win {

// Modal results.
enum : int {
  mrNone = 0, mrOk = 1, mrCancel = 2, mrAbort = 3, mrRetry = 4, mrIgnore = 5,
  mrYes = 6, mrNo = 7, mrAll = 8, mrNoToAll = 9, mrYesToAll = 10
};

// A window handle and one-line calls of the Win32 functions on it.
class Window {
public:
  Window() = default;
  explicit Window(HWND hwnd) : hwnd_(hwnd) {}
  virtual ~Window() = default;

  virtual HWND Handle() const { return hwnd_; }
  explicit operator bool() const { HWND h = Handle(); return h != nullptr && IsWindow(h); }

  std::string Text() const;
  void SetText(const std::string& text) const;
  void Show() const { ShowWindow(Handle(), SW_SHOW); }
  void Hide() const { ShowWindow(Handle(), SW_HIDE); }
  void SetVisible(bool visible) const { visible ? Show() : Hide(); }
  bool Visible() const { return IsWindowVisible(Handle()) != FALSE; }
  void Enable(bool enabled = true) const { EnableWindow(Handle(), enabled); }
  bool Enabled() const { return IsWindowEnabled(Handle()) != FALSE; }
  void Focus() const { SetFocus(Handle()); }
  bool Focused() const { return GetFocus() == Handle(); }
  void Invalidate(bool erase = true) const { InvalidateRect(Handle(), nullptr, erase); }
  void Update() const { UpdateWindow(Handle()); }
  LRESULT Send(UINT msg, WPARAM w = 0, LPARAM l = 0) const { return SendMessageA(Handle(), msg, w, l); }

  // Position in the parent's client area (the screen for a top-level window), in pixels.
  RECT Bounds() const;
  int Left() const { return Bounds().left; }
  int Top() const { return Bounds().top; }
  int Width() const { RECT r = Bounds(); return r.right - r.left; }
  int Height() const { RECT r = Bounds(); return r.bottom - r.top; }
  void SetBounds(int left, int top, int width, int height) const;
  void SetPos(int left, int top) const;
  RECT ClientRect() const;

protected:
  HWND hwnd_ = nullptr;

  friend class Form;
};

class Form : public Window {
public:
  explicit Form(int templateId);
  ~Form() override;
  Form(const Form&) = delete;
  Form& operator=(const Form&) = delete;

  // Creates the window from its template (owned by the running modal form or the active
  // window) and runs FormCreate; a form's constructor calls it last, as the class
  // library creates a form and runs its OnCreate on construction.
  void Create();
  bool Created() const { return hwnd_ != nullptr; }

  // Shows the form modally: other windows of the thread are disabled, messages run until
  // a modal result is set (and FormCloseQuery agrees); returns that result.
  int ShowModal();
  bool Modal() const { return modal_; }
  int ModalResult() const { return modalResult_; }
  void SetModalResult(int result) { modalResult_ = result; }
  // The class library's Close: a modal form ends with mrCancel, another form hides.
  void Close();
  // Shows the form without a modal run (the builder's main window, previews).
  void ShowModeless();

  void SetCaption(const std::string& caption) const { SetText(caption); }
  std::string Caption() const { return Text(); }

  // The control with this id on the form or on one of its notebook pages.
  HWND Item(int id) const;

  // Handlers, by control id. They run inside a guard: an exception is shown, never lost.
  void OnClick(int id, std::function<void()> handler);      // buttons, check/radio boxes
  void OnChange(int id, std::function<void()> handler);     // edits, list/combo selection
  void OnDblClick(int id, std::function<void()> handler);   // list boxes, list views
  void OnCommand(int id, int code, std::function<void()> handler);
  void OnNotify(int id, UINT code, std::function<LRESULT(NMHDR*)> handler);
  void OnMessage(UINT msg, std::function<LRESULT(WPARAM, LPARAM)> handler);
  void OnPaint(std::function<void(HDC, const RECT&)> handler);  // the form erases nothing itself
  // Scroll bar controls: the handler gets the scroll code (SB_LINELEFT, SB_THUMBTRACK, ...)
  // and the message's 16-bit thumb place.
  void OnScroll(int id, std::function<void(int code, int thumb)> handler);
  void SetTimer(UINT id, UINT milliseconds, std::function<void()> handler);
  void KillTimer(UINT id);
  // A button whose click sets the form's modal result (the class library's ModalResult).
  void ModalButton(int id, int result);
  // Enter presses the default button; Esc clicks the cancel button (when enabled).
  void SetDefaultButton(int id);
  int DefaultButton() const { return defaultButton_; }
  void SetCancelButton(int id) { cancelButton_ = id; }
  int CancelButton() const { return cancelButton_; }

  void Post(UINT msg, WPARAM w = 0, LPARAM l = 0) const { PostMessageA(hwnd_, msg, w, l); }

  // Control colours and fonts, kept by the form for the life of its window.
  void SetControlFont(HWND control, const Font& font);
  void SetControlTextColor(HWND control, Color color);
  void SetControlBackColor(HWND control, Color color);
  void SetControlTransparent(HWND control, bool transparent);
  // A control's hint ("Short|Long"): the short part in its tool tip, the long part the
  // application's hint while the mouse is over it (over a combo box's edit too).
  void SetControlHint(HWND control, const std::string& hint);
  std::string ControlHint(HWND control) const;
  // Test entry point: what the control's tool tip shows.
  std::string ControlToolTip(HWND control) const;

  // Notebook pages: child templates placed inside the placeholder control `notebookId`.
  void AddPages(int notebookId, const std::vector<int>& pageTemplates);
  void ShowPage(int notebookId, int index);
  int PageIndex(int notebookId) const;
  HWND Page(int notebookId, int index) const;

  // Runs a handler inside the guard (exceptions shown as the class library shows them).
  static void Guard(const std::function<void()>& work);

  // Listeners of the form's messages besides its own tables (menus, tool bars, tabs):
  // offered each message first; true, with the result set, means handled.
  using MessageHook = std::function<bool(UINT msg, WPARAM w, LPARAM l, LRESULT& result)>;
  void AddHook(const void* owner, MessageHook hook);
  void RemoveHook(const void* owner);

protected:
  virtual void FormCreate() {}
  virtual void FormShow() {}
  virtual bool FormCloseQuery() { return true; }
  virtual void FormClose() {}
  virtual void FormResize() {}

private:
  static INT_PTR CALLBACK DialogProc(HWND hwnd, UINT msg, WPARAM w, LPARAM l);
  static INT_PTR CALLBACK PageProc(HWND hwnd, UINT msg, WPARAM w, LPARAM l);
  bool Dispatch(UINT msg, WPARAM w, LPARAM l, LRESULT& result);
  bool Command(int id, int code);
  void ShowFirstTime();

  struct ControlLook {
    std::unique_ptr<GdiObject> font;
    bool hasText = false, hasBack = false, transparent = false;
    COLORREF text = 0, back = 0;
    std::unique_ptr<GdiObject> brush;
  };
  struct NotebookPages {
    std::vector<HWND> pages;
    int index = -1;
  };

  int templateId_;
  bool modal_ = false;
  bool shown_ = false;
  int modalResult_ = mrNone;
  int defaultButton_ = 0, cancelButton_ = 0;
  std::map<std::pair<int, int>, std::function<void()>> commands_;
  std::map<std::pair<int, UINT>, std::function<LRESULT(NMHDR*)>> notifies_;
  std::map<UINT, std::function<LRESULT(WPARAM, LPARAM)>> messages_;
  std::map<UINT, std::function<void()>> timers_;
  std::map<int, std::function<void(int, int)>> scrolls_;
  std::function<void(HDC, const RECT&)> paint_;
  std::map<HWND, ControlLook> looks_;
  std::map<int, NotebookPages> notebooks_;
  std::map<HWND, std::string> hints_;
  HWND tips_ = nullptr;
  std::vector<std::pair<const void*, MessageHook>> hooks_;
};

// The message a form posts to itself once it is showing, for the test seam's scripts.
constexpr UINT WM_FORM_SHOWN_SEAM = WM_APP + 0x3F0;

}  // namespace base::win
