// The authoring road's wizard pages: the licence page (a new project has it) selected in
// the page list and a licence typed into it, the complete page picked, a program extension added through the extensions list's
// popup menu, run at the welcome point. The running wizard shows the licence; the
// extension leaves its mark; the licence file goes with the uninstall.
#include <gtest/gtest.h>

#include "resources/builder/SetupDialogs.rh"
#include "resources/builder/SetupExtension.rh"
#include "resources/engine/DialogsForm.rh"
#include "tests/e2e/Authoring.h"
#include "tests/e2e/AuthoringViews.h"
#include "tests/e2e/E2eRoad.h"

namespace e2e {

namespace {

const char* const kLicence = "Authored licence terms";

std::string Mark(const AuthoringRun& run) { return run.Work + "extension_ran.txt"; }

void Key(HWND target, UINT key) {
  PostMessageA(target, WM_KEYDOWN, key, 1);
  PostMessageA(target, WM_KEYUP, key, 1 | (3u << 30));
}

bool Author(AuthoringRun& run) {
  HWND dialogs = OpenSection(run, 3, "Dialogs");
  if (!dialogs) return false;
  // The editor opens on its "General" tab; the arrow key moves the tabs on to "Dialogs".
  HWND tabs = FindControl(dialogs, IDC_DLG_PageControl1);
  Key(tabs, VK_RIGHT);
  HWND pages = FindControl(dialogs, IDC_DLG_clbDialogs);
  WAIT_OR_FAIL(IsWindowVisible(pages), 20, "the Dialogs tab");
  const int licence = ListViewFind(pages, "Software License Agreement");
  WAIT_OR_FAIL(licence == 1, 1, "the licence row");
  // A new project has every page, the licence's among them: its box stays ticked, and
  // selecting its row shows its page of the editor.
  WAIT_OR_FAIL(ListViewChecked(pages, licence), 1, "the licence page picked in a new project");
  ListViewClickLabel(pages, licence);
  WAIT_OR_FAIL(ListViewSelected(pages, licence), 20, "the licence row selected");
  WAIT_OR_FAIL(IsWindowVisible(FindControl(dialogs, IDC_DLG_reLicense)), 20, "the licence page shown");
  SetEditText(FindControl(dialogs, IDC_DLG_reLicense), kLicence);
  // A new project has no complete page: picked, so that the setup ends on it.
  const int complete = ListViewFind(pages, "Setup Complete");
  WAIT_OR_FAIL(complete >= 0 && !ListViewChecked(pages, complete), 1, "the complete row, not picked");
  ListViewClickCheckBox(pages, complete);
  WAIT_OR_FAIL(ListViewChecked(pages, complete), 20, "the complete page picked");

  // A program extension, from the extensions list's popup: New, Executable...
  Key(tabs, VK_RIGHT);
  HWND list = FindControl(dialogs, IDC_DLG_lvExtensions);
  WAIT_OR_FAIL(IsWindowVisible(list), 20, "the Extensions tab");
  // The author's right-click on the empty list: "&New", "&Executable...".
  if (!ChooseFromPopup(list, "ne")) return false;
  HWND extension = WaitForWindow([] { return FindTopWithControl(IDC_EXT_edtCommand); }, 30);
  WAIT_OR_FAIL(extension != nullptr, 1, "the extension dialog");
  SetEditText(FindControl(extension, IDC_EXT_edtCommand), "C:\\windows\\system32\\cmd.exe");
  SetEditText(FindControl(extension, IDC_EXT_edtParameters), "/c echo ran> " + Mark(run));
  Click(FindControl(extension, IDC_EXT_btnOk));
  WAIT_OR_FAIL(!IsWindow(extension) || !IsWindowVisible(extension), 20, "the extension dialog closed");
  WAIT_OR_FAIL(ListViewFind(list, "cmd.exe") == 0, 20, "the extension listed");

  Click(FindControl(dialogs, IDC_DLG_btnOk));
  WAIT_OR_FAIL(!IsWindow(dialogs) || !IsWindowVisible(dialogs), 20, "the dialogs editor closed");
  return true;
}

bool sawLicence = false;

void OnWizardPage(const AuthoringRun&, const std::string& page) {
  if (page != "Software License Agreement") return;
  HWND text = FindControl(Wizard(), IDC_reLicense);
  sawLicence = text && ControlText(text).find(kLicence) != std::string::npos;
}

void CheckInstalled(const AuthoringRun& run) {
  EXPECT_TRUE(sawLicence) << "the wizard's licence page shows the licence";
  EXPECT_TRUE(Exists(Mark(run))) << "the extension ran at the welcome point";
  EXPECT_TRUE(Exists(run.InstallDir + "\\License.txt")) << "the licence beside the program";
}

void CheckRemoved(const AuthoringRun& run) { EXPECT_FALSE(Exists(run.InstallDir + "\\License.txt")); }

}  // namespace

AuthoringSection DialogsSection() {
  return {"Dialogs/Extensions", Author, CheckInstalled, CheckRemoved, OnWizardPage};
}

}  // namespace e2e
