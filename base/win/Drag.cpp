#include "base/win/Drag.h"

#include <windowsx.h>

#include "base/win/ControlHooks.h"

namespace base::win {

Drag::~Drag() {
  if (source_) End();
}

void Drag::AddSource(const TreeView& view) {
  int id = view.Id();
  form_->OnNotify(id, TVN_BEGINDRAGA, [this, id](NMHDR* h) -> LRESULT {
    TreeView tree(*form_, id);
    tree.Select(reinterpret_cast<NMTREEVIEWA*>(h)->itemNew.hItem);
    Start(tree.Handle());
    return 0;
  });
}

void Drag::AddSource(const ListView& view) {
  int id = view.Id();
  form_->OnNotify(id, LVN_BEGINDRAG, [this, id](NMHDR*) -> LRESULT {
    Start(form_->Item(id));
    return 0;
  });
}

void Drag::AddTarget(const Control& view, OverHandler over, DropHandler drop) {
  targets_.push_back({view.Id(), std::move(over), std::move(drop)});
}

void Drag::Start(HWND source) {
  if (source_) End();
  source_ = source;
  accepted_ = false;
  SetControlHook(source, HookSlot::Drag,
                 [this](HWND h, UINT msg, WPARAM w, LPARAM l, LRESULT& r) { return Hook(h, msg, w, l, r); });
  SetCapture(source);
}

const Drag::Target* Drag::TargetAt(POINT screen, HWND& window) const {
  for (const Target& t : targets_) {
    HWND h = form_->Item(t.id);
    if (!h || !IsWindowVisible(h)) continue;
    RECT r;
    GetWindowRect(h, &r);
    if (PtInRect(&r, screen)) {
      window = h;
      return &t;
    }
  }
  window = nullptr;
  return nullptr;
}

bool Drag::Hover(POINT screen) {
  HWND window;
  const Target* t = TargetAt(screen, window);
  accepted_ = false;
  if (t && t->over) {
    POINT client = screen;
    ScreenToClient(window, &client);
    accepted_ = t->over(source_, client);
  }
  SetCursor(LoadCursor(nullptr, accepted_ ? IDC_ARROW : IDC_NO));
  return accepted_;
}

void Drag::End() {
  HWND source = source_;
  source_ = nullptr;
  ending_ = true;
  if (source) {
    ClearControlHook(source, HookSlot::Drag);
    if (GetCapture() == source) ReleaseCapture();
  }
  ending_ = false;
}

bool Drag::Hook(HWND hwnd, UINT msg, WPARAM w, LPARAM l, LRESULT& result) {
  if (hwnd != source_) return false;
  POINT screen{GET_X_LPARAM(l), GET_Y_LPARAM(l)};
  switch (msg) {
    case WM_MOUSEMOVE:
      ClientToScreen(hwnd, &screen);
      Hover(screen);
      return true;
    case WM_LBUTTONUP: {
      ClientToScreen(hwnd, &screen);
      bool accepted = Hover(screen);
      HWND window;
      const Target* t = TargetAt(screen, window);
      HWND source = source_;
      End();
      if (accepted && t && t->drop) {
        POINT client = screen;
        ScreenToClient(window, &client);
        DropHandler drop = t->drop;
        drop(source, client);
      }
      return false;  // the view ends its own mouse tracking too
    }
    case WM_KEYDOWN:
      if (w == VK_ESCAPE) End();
      return true;
    case WM_GETDLGCODE:
      result = DLGC_WANTALLKEYS;  // Esc ends the drag, not the form
      return true;
    case WM_CAPTURECHANGED:
      if (!ending_) End();
      return false;
    default:
      return false;
  }
}

namespace {
LPARAM SourcePoint(HWND source, HWND target, POINT targetClient) {
  POINT p = targetClient;
  MapWindowPoints(target, source, &p, 1);
  return MAKELPARAM(static_cast<short>(p.x), static_cast<short>(p.y));
}
}  // namespace

bool Drag::MoveTo(HWND target, POINT targetClient) {
  if (!source_) return false;
  SendMessageA(source_, WM_MOUSEMOVE, MK_LBUTTON, SourcePoint(source_, target, targetClient));
  return accepted_;
}

void Drag::DropOn(HWND target, POINT targetClient) {
  if (!source_) return;
  SendMessageA(source_, WM_LBUTTONUP, 0, SourcePoint(source_, target, targetClient));
}

void Drag::Cancel() {
  if (source_) SendMessageA(source_, WM_KEYDOWN, VK_ESCAPE, 1);
}

}  // namespace base::win
