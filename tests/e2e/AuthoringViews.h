// Driving the builder's tree and list views, popup menus and value dialog from the
// authoring road's process: nodes by position, label edits ended with a text, menu items
// by their mnemonics, the one-value dialog answered.
#pragma once
#include <windows.h>
#include <commctrl.h>

#include <string>

#include "resources/builder/SetupValue.rh"
#include "tests/e2e/Authoring.h"
#include "tests/e2e/E2eRoad.h"

namespace e2e {

inline LRESULT SendTo(HWND h, UINT msg, WPARAM w, LPARAM l) {
  DWORD_PTR result = 0;
  SendMessageTimeoutA(h, msg, w, l, SMTO_ABORTIFHUNG, 5000, &result);
  return static_cast<LRESULT>(result);
}

// The n-th child of parent (null: the n-th top-level node), or null.
inline HTREEITEM TreeChild(HWND tree, HTREEITEM parent, int n) {
  auto item = reinterpret_cast<HTREEITEM>(
      SendTo(tree, TVM_GETNEXTITEM, parent ? TVGN_CHILD : TVGN_ROOT, reinterpret_cast<LPARAM>(parent)));
  for (; item && n > 0; --n)
    item = reinterpret_cast<HTREEITEM>(SendTo(tree, TVM_GETNEXTITEM, TVGN_NEXT, reinterpret_cast<LPARAM>(item)));
  return item;
}

inline HTREEITEM TreeSelected(HWND tree) {
  return reinterpret_cast<HTREEITEM>(SendTo(tree, TVM_GETNEXTITEM, TVGN_CARET, 0));
}

inline bool TreeSelect(HWND tree, HTREEITEM node) {
  SendTo(tree, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(node));
  return WaitFor([&] { return TreeSelected(tree) == node; }, 10);
}

// A key press that reaches the view's own key handler.
inline void PressKey(HWND view, UINT key, bool alt = false) {
  if (alt) {
    PostMessageA(view, WM_SYSKEYDOWN, key, 1 | (1 << 29));
    PostMessageA(view, WM_SYSKEYUP, key, 1 | (1 << 29) | (3u << 30));
  } else {
    PostMessageA(view, WM_KEYDOWN, key, 1);
    PostMessageA(view, WM_KEYUP, key, 1 | (3u << 30));
  }
}

// Ends the label edit that opens in the tree (tree true) or list with the text, as the
// author's typing and Enter would.
inline bool FinishLabelEdit(HWND view, bool tree, const std::string& text) {
  const UINT getEdit = tree ? TVM_GETEDITCONTROL : LVM_GETEDITCONTROL;
  HWND edit = nullptr;
  auto opened = [&] { return (edit = reinterpret_cast<HWND>(SendTo(view, getEdit, 0, 0))) != nullptr; };
  // On a loaded machine the focus the closing popup menu gives back can arrive late under
  // Wine and end the new item's edit at once: F2 opens it again, as the author would.
  if (!WaitFor(opened, 5)) {
    Step("no label edit: F2 on the selected item");
    PressKey(view, VK_F2);
  }
  if (!edit && !WaitFor(opened, 10)) {
    ADD_FAILURE() << "no label edit opened\n" << DescribeWindows();
    return false;
  }
  SetEditText(edit, text);
  if (tree) SendTo(view, TVM_ENDEDITLABELNOW, FALSE, 0);
  else PostMessageA(edit, WM_KEYDOWN, VK_RETURN, 1);
  return WaitFor([&] { return SendTo(view, getEdit, 0, 0) == 0; }, 10);
}

inline int VisibleMenus() {
  int count = 0;
  for (HWND h : TopWindows())
    if (ClassOf(h) == "#32768") ++count;
  return count;
}

inline HWND VisibleMenu() {
  HWND found = nullptr;
  for (HWND h : TopWindows())
    if (ClassOf(h) == "#32768") found = h;
  return found;
}

// Opens the control's popup menu as the author does, with one right-click on what the
// view has selected (blank space when nothing is), and chooses by mnemonics ("ns":
// "&New", then "&String Value").
inline bool ChooseFromPopup(HWND control, const std::string& mnemonics) {
  Step("popup menu: " + mnemonics);
  // Let the editor's idle update enable the actions first.
  PumpFor(300, nullptr);
  RightClick(control, PopupPoint(control));
  HWND menu = WaitForWindow(VisibleMenu, 10);
  if (!menu) {
    ADD_FAILURE() << "the popup menu did not open\n" << DescribeWindows();
    return false;
  }
  // Each key once the one before has had its effect: its submenu open, or the menu closed.
  for (char c : mnemonics) {
    const int before = VisibleMenus();
    if (before == 0) break;
    PostMessageA(VisibleMenu(), WM_CHAR, static_cast<unsigned char>(c), 1);
    WaitFor([before] { const int now = VisibleMenus(); return now == 0 || now > before; }, 10);
  }
  return WaitFor([] { return VisibleMenu() == nullptr; }, 10);
}

// The value dialog with this caption gets the text and OK.
inline bool AnswerValueDialog(const std::string& caption, const std::string& text) {
  HWND dialog = WaitForWindow([&] { return FindTopWithCaption(caption); }, 20);
  if (!dialog) {
    ADD_FAILURE() << "no dialog \"" << caption << "\"\n" << DescribeWindows();
    return false;
  }
  SetEditText(FindControl(dialog, IDC_RGV_edtData), text);
  Click(FindControl(dialog, IDC_RGV_btnOk));
  return WaitFor([&] { return !IsWindow(dialog) || !IsWindowVisible(dialog); }, 20);
}

}  // namespace e2e
