// A window procedure in front of a control's own, shared by the views: keys the dialog
// manager would otherwise take, sizes, the mouse and keys of a running drag, the
// right-click and menu keys of a popup menu, and the mouse over a control with a hint.
// Each hook has a slot, so a view's keys and a drag never replace each other.
#pragma once
#include <windows.h>

#include <functional>

namespace base::win {

enum class HookSlot { Keys, Size, Drag, Ground, Popup, Hint, Count };

// Returns true when it handled the message (result then goes back to Windows).
using ControlHook = std::function<bool(HWND, UINT, WPARAM, LPARAM, LRESULT&)>;

// Installs the procedure on first use; the hooks leave with the window.
void SetControlHook(HWND control, HookSlot slot, ControlHook hook);
void ClearControlHook(HWND control, HookSlot slot);

// WM_SETREDRAW off until the matching EndControlUpdate (pairs nest), per window.
void BeginControlUpdate(HWND control);
void EndControlUpdate(HWND control);
bool ControlUpdating(HWND control);

}  // namespace base::win
