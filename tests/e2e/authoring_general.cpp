// The authoring road's general settings: Browse for the main executable through the real
// open dialog, then the name, version and company typed in.
#include <gtest/gtest.h>

#include "resources/builder/GeneralForm.rh"
#include "tests/e2e/Authoring.h"
#include "tests/e2e/E2eRoad.h"

namespace e2e {

namespace {

const char* const kApp = "Authored Tool";
const char* const kCompany = "Tandrel Authors";

bool Author(AuthoringRun& run) {
  HWND general = OpenSection(run, 0, "General");
  if (!general) return false;
  Click(FindControl(general, IDC_GEN_btnBrowse));
  if (!AnswerFileDialog("Open", run.Work + "src\\demo.exe")) return false;
  HWND executable = FindControl(general, IDC_GEN_edtExecutable);
  WAIT_OR_FAIL(ControlText(executable) == "[Program Files]\\demo.exe", 20,
               "the executable field filled (it reads \"" + ControlText(executable) + "\")");
  // Typed after Browse, which fills the fields from the program's version block.
  SetEditText(FindControl(general, IDC_GEN_edtApplication), kApp);
  SetEditText(FindControl(general, IDC_GEN_edtVersion), "3.4");
  SetEditText(FindControl(general, IDC_GEN_edtCompany), kCompany);
  SetEditText(FindControl(general, IDC_GEN_edtInstallDir), "<ProgramFilesDir>\\" + std::string(kApp));
  Click(FindControl(general, IDC_GEN_btnOk));
  WAIT_OR_FAIL(!IsWindow(general) || !IsWindowVisible(general), 20, "the general settings closed");
  run.AppName = kApp;
  run.Company = kCompany;
  run.InstallDir = ProgramFilesDir() + "\\" + kApp;
  return true;
}

void CheckInstalled(const AuthoringRun& run) {
  EXPECT_TRUE(Exists(run.InstallDir + "\\demo.exe")) << "the main executable";
  const std::string key = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\" + run.AppName;
  EXPECT_EQ(RegString(HKEY_LOCAL_MACHINE, key, "DisplayName"), run.AppName) << "the uninstaller is registered";
}

void CheckRemoved(const AuthoringRun& run) { EXPECT_FALSE(Exists(run.InstallDir + "\\demo.exe")); }

}  // namespace

AuthoringSection GeneralSection() { return {"General Settings", Author, CheckInstalled, CheckRemoved}; }

}  // namespace e2e
