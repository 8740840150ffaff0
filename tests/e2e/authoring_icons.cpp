// The authoring road's shortcuts: a desktop shortcut to the main executable made with Ins
// in the shortcut list and filled in in the shortcut dialog; it lands in the program
// folder under the desktop.
#include <gtest/gtest.h>

#include <shlobj.h>

#include "resources/builder/SetupIcon.rh"
#include "resources/builder/SetupIcons.rh"
#include "resources/engine/DialogsForm.rh"
#include "tests/e2e/AuthoringViews.h"

namespace e2e {

namespace {

const char* const kCaption = "Authored Demo";

// The program folder the running setup offers (the company's name by default): shortcuts
// go into it whatever folder they are for, the desktop too.
std::string programFolder;

std::string Folder() { return SystemFolder(CSIDL_DESKTOPDIRECTORY) + "\\" + programFolder; }
std::string Link() { return Folder() + "\\" + kCaption + ".lnk"; }

void OnWizardPage(const AuthoringRun&, const std::string& page) {
  if (page == "Select Program Folder") programFolder = ControlText(FindControl(Wizard(), IDC_edtFolderName));
}

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

void CheckInstalled(const AuthoringRun& run) {
  EXPECT_EQ(programFolder, run.Company) << "the program folder offered";
  EXPECT_TRUE(Exists(Link())) << Link();
}

void CheckRemoved(const AuthoringRun&) {
  EXPECT_FALSE(Exists(Link())) << Link();
  EXPECT_FALSE(Exists(Folder())) << Folder();
}

}  // namespace

AuthoringSection IconsSection() { return {"Program Icons", Author, CheckInstalled, CheckRemoved, OnWizardPage}; }

}  // namespace e2e
