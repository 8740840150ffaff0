// Driving another process's windows as a user would: finding its windows and controls,
// clicking, typing, ticking list-view boxes, and waiting with a time limit.
#pragma once
#include <windows.h>
#include <commctrl.h>

#include <functional>
#include <string>
#include <vector>

namespace e2e {

// Every visible top-level window.
std::vector<HWND> TopWindows();
// Every descendant of top (pages of notebooks included).
std::vector<HWND> Descendants(HWND top);
std::string WindowText(HWND h);
// The text a control holds, asked of the control: GetWindowText of another process's window
// reads only the caption the window manager keeps, which edit controls do not keep up to date.
std::string ControlText(HWND h);
std::string ClassOf(HWND h);
// The caption without '&'.
std::string Plain(const std::string& caption);

HWND FindControl(HWND top, int id);
// A button whose caption (without '&' and outer blanks) is text.
HWND FindButton(HWND top, const std::string& text);
// A top-level window with a control of this id, or with a caption of this text.
HWND FindTopWithControl(int id);
HWND FindTopWithCaption(const std::string& caption);
// A top-level dialog (class "#32770") one of whose texts contains part.
HWND FindDialogWithText(const std::string& part);
// The texts of a window and its descendants, joined by " | " (for failure reports).
std::string DescribeWindows();

void Click(HWND button);
void TypeText(HWND edit, const std::string& text);
bool Checked(HWND box);
bool Enabled(HWND h);

// List views of another process: items by caption, check boxes.
int ListViewCount(HWND lv);
std::string ListViewText(HWND lv, int index);
int ListViewFind(HWND lv, const std::string& caption);
bool ListViewChecked(HWND lv, int index);
// Clicks the item's check box, then its label (the click the form listens to).
void ListViewClickCheckBox(HWND lv, int index);
void ListViewClickLabel(HWND lv, int index);
bool ListViewSelected(HWND lv, int index);

// The author's right-click at a point of a control's client area: the cursor moved
// there, then the button's down and up messages through the control's queue.
void RightClick(HWND control, POINT at);
// Where the author right-clicks a view to act on what it has selected: the middle of the
// selected row or node, or blank space at the foot of the view when nothing is selected.
POINT PopupPoint(HWND view);
// Tab controls and status bars of another process.
int TabCount(HWND tabs);
int TabSelected(HWND tabs);
std::string TabText(HWND tabs, int index);
std::string StatusBarText(HWND bar, int part);

// Handles this thread's messages, then waits up to `milliseconds` for more or for handle.
void PumpFor(DWORD milliseconds, HANDLE handle);
// Polls until the test is true, handling this thread's messages; false after `seconds`.
bool WaitFor(const std::function<bool()>& test, double seconds);
HWND WaitForWindow(const std::function<HWND()>& find, double seconds);

}  // namespace e2e
