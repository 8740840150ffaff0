// Driving forms from a test as a user's mouse and keyboard would.
#pragma once
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

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
// Runs them until done() holds (true) or `milliseconds` have passed (false): a posted key
// takes effect when the thread gets to it, later on a loaded machine.
bool PumpUntil(const std::function<bool()>& done, int milliseconds = 5000);
// Posts key to window until done() holds, at most three times, its top-level window
// brought up before each: another test's window taking the activation ends an edit box
// as soon as the key opened it.
bool PressUntil(HWND window, UINT key, const std::function<bool()>& done);
// Whether the control holds the focus its window gave it. Tests run side by side on one
// display, so another test's window may have taken the activation meanwhile: then the
// control's window is activated again first, which gives the focus back to the control
// that had it.
bool HasFocus(HWND control);
// How the author opens a control's popup menu: a right-click in the control (the mouse
// messages through the queue, the cursor over the point), Shift+F10 or the menu key
// pressed while the control has the focus.
enum class PopupOpening { RightClick, ShiftF10, MenuKey };
struct PopupSeen {
  bool Opened = false;
  std::vector<std::string> Items;  // the captions of the menu that opened ("-": separator)
};
// Opens the control's popup menu as the author would, once, and answers it from inside
// its loop with the keys of `choose` (mnemonics, one a step: "ne" for "&New", "&Executable...";
// empty: Esc closes it). The menu's captions are read while it shows.
PopupSeen OpenPopupMenu(HWND control, PopupOpening how, const std::string& choose = std::string());
// Text of a window or control.
std::string TextOf(HWND window);

}  // namespace wintest
