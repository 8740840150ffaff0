// Driving forms from a test as a user's mouse and keyboard would.
#pragma once
#include <windows.h>

#include <string>

namespace wintest {

// BM_CLICK on a button, check box or radio button (runs its handler at once).
void Click(HWND control);
// Replaces an edit's text as typing would: focus, select all, one WM_CHAR per character.
void Type(HWND edit, const std::string& text);
// Posts a key press (down and up) to the window with the focus, or to `target`, through the
// message queue, so the form's dialog manager sees it (Esc, Enter, Tab, Space).
void PostKey(UINT virtualKey, HWND target = nullptr);
// Closes a window through its title bar's close box.
void CloseByTitleBar(HWND window);
// Runs the thread's pending messages for about `milliseconds`.
void Pump(int milliseconds = 50);
// Text of a window or control.
std::string TextOf(HWND window);

}  // namespace wintest
