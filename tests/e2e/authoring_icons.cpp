// The authoring road's shortcuts: a desktop shortcut to the main executable made with Ins
// in the shortcut list and filled in in the shortcut dialog.
#include <gtest/gtest.h>

#include <shlobj.h>

#include "resources/builder/SetupIcon.rh"
#include "resources/builder/SetupIcons.rh"
#include "tests/e2e/AuthoringViews.h"

namespace e2e {

namespace {

const char* const kCaption = "Authored Demo";

std::string Link() { return SystemFolder(CSIDL_DESKTOPDIRECTORY) + "\\" + kCaption + ".lnk"; }

bool Author(AuthoringRun& run) {
  HWND editor = OpenSection(run, 4, "Program Manager Icons");
  if (!editor) return false;
  PressKey(FindControl(editor, IDC_ICS_lvIcons), VK_INSERT);
  HWND dialog = WaitForWindow([] { return FindTopWithCaption("Icon Properties"); }, 20);
  if (!dialog) {
    ADD_FAILURE() << "the shortcut dialog did not open\n" << DescribeWindows();
    return false;
  }
  SetEditText(FindControl(dialog, IDC_ICP_edtCommand), "[Program Files]\\demo.exe");
  SetEditText(FindControl(dialog, IDC_ICP_edtDescription), kCaption);
  SetEditText(FindControl(dialog, IDC_ICP_cbStartIn), "[Program Files]");
  Click(FindControl(dialog, IDC_ICP_rgFolder3));  // "Desktop Folder"
  Click(FindControl(dialog, IDC_ICP_btnOk));
  WAIT_OR_FAIL(!IsWindow(dialog) || !IsWindowVisible(dialog), 20, "the shortcut dialog closed");
  WAIT_OR_FAIL(ListViewFind(FindControl(editor, IDC_ICS_lvIcons), kCaption) == 0, 10, "the new shortcut listed");
  Click(FindControl(editor, IDC_ICS_btnOk));
  WAIT_OR_FAIL(!IsWindow(editor) || !IsWindowVisible(editor), 20, "the shortcuts editor closed");
  return true;
}

void CheckInstalled(const AuthoringRun&) { EXPECT_TRUE(Exists(Link())) << Link(); }

void CheckRemoved(const AuthoringRun&) { EXPECT_FALSE(Exists(Link())) << Link(); }

}  // namespace

AuthoringSection IconsSection() { return {"Program Icons", Author, CheckInstalled, CheckRemoved}; }

}  // namespace e2e
