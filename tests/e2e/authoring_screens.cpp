// The authoring road's background screen: red rising instead of static, and a title text
// with an ampersand through the objects dialog. The running setup's background shows the
// title as written.
#include <gtest/gtest.h>

#include "resources/builder/SetupScreen.rh"
#include "resources/engine/BackgroundForm.rh"
#include "tests/e2e/Authoring.h"
#include "tests/e2e/E2eRoad.h"

namespace e2e {

namespace {

const char* const kTitle = "R&D Tools";

bool Author(AuthoringRun& run) {
  HWND screen = OpenSection(run, 1, "Screen");
  if (!screen) return false;
  Click(FindControl(screen, IDC_SCR_redIncreasing));
  WAIT_OR_FAIL(Checked(FindControl(screen, IDC_SCR_redIncreasing)), 20, "red rising");
  Click(FindControl(screen, IDC_SCR_Button2));
  HWND objects = WaitForWindow([] { return FindTopWithControl(IDC_SOB_edtTitle); }, 30);
  WAIT_OR_FAIL(objects != nullptr, 1, "the screen objects dialog");
  Click(FindControl(objects, IDC_SOB_rbText));
  WAIT_OR_FAIL(Checked(FindControl(objects, IDC_SOB_rbText)), 20, "a text title");
  SetEditText(FindControl(objects, IDC_SOB_edtTitle), kTitle);
  Click(FindControl(objects, IDC_SOB_btnOk));
  WAIT_OR_FAIL(!IsWindow(objects) || !IsWindowVisible(objects), 20, "the screen objects dialog closed");
  Click(FindControl(screen, IDC_SCR_btnOk));
  WAIT_OR_FAIL(!IsWindow(screen) || !IsWindowVisible(screen), 20, "the screen editor closed");
  return true;
}

bool sawTitle = false;

void OnWizardPage(const AuthoringRun&, const std::string&) {
  if (sawTitle) return;
  for (HWND top : TopWindows()) {
    HWND title = FindControl(top, IDC_lblTitle);
    if (title && WindowText(top) == "Setup" && ControlText(title) == std::string(kTitle) + " ") sawTitle = true;
  }
}

void CheckInstalled(const AuthoringRun&) { EXPECT_TRUE(sawTitle) << "the background's title as written"; }

void CheckRemoved(const AuthoringRun&) {}

}  // namespace

AuthoringSection ScreensSection() { return {"Screens", Author, CheckInstalled, CheckRemoved, OnWizardPage}; }

}  // namespace e2e
