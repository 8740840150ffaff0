// The authoring road, end to end, in a Wine prefix of its own (tests/e2e/run_authoring.sh):
// TandrelBuilder.exe is driven from this process as an author drives it - New, each
// section's editor (authoring_<section>.cpp), Save through the real save dialog, Build (F2)
// through the build dialog - then the built Setup.exe runs through its wizard, what was
// authored is checked on the machine, the registered uninstall runs, and the machine is
// compared with a snapshot taken before the setup.
//
// Left on the machine on purpose, as on the main road: the engine the launcher keeps, and
// the user name and company the setup remembers for the product.
#include <gtest/gtest.h>
#include <windows.h>
#include <objbase.h>

#include <string>
#include <vector>

#include "resources/builder/BuildForm.rh"
#include "resources/builder/MainForm.rh"
#include "resources/engine/DialogsForm.rh"
#include "tests/e2e/Authoring.h"
#include "tests/e2e/E2eRoad.h"
#include "tests/e2e/E2eSnapshot.h"

using namespace e2e;

namespace {

const std::string kWork = "C:\\e2e\\";
const std::string kBuilder = kWork + "builder\\TandrelBuilder.exe";
const std::string kProject = kWork + "Authored.zem";
const std::string kPackage = kWork + "Authored.exe";
const char* const kUserName = "Grace Hopper";
const char* const kUserCompany = "Compilers Ltd";

// F2 as the author presses it: the builder's shortcut, taken by its message loop.
void PressKey(HWND main, UINT key) {
  UINT scan = MapVirtualKeyA(key, 0);
  PostMessageA(main, WM_KEYDOWN, key, 1 | (scan << 16));
  PostMessageA(main, WM_KEYUP, key, 1 | (scan << 16) | (3u << 30));
}

bool BuildThroughTheDialog(HWND main) {
  Step("building with F2");
  PressKey(main, VK_F2);
  HWND builder = WaitForWindow([] { return FindTopWithControl(IDC_BLD_btnStart); }, 30);
  WAIT_OR_FAIL(builder != nullptr, 1, "the build dialog");
  Click(FindControl(builder, IDC_BLD_btnStart));
  HWND memo = FindControl(builder, IDC_BLD_memoProgress);
  WAIT_OR_FAIL(ControlText(memo).find("Image Size : ") != std::string::npos, 120, "the build to end");
  EXPECT_NE(ControlText(memo).find("Successful Build"), std::string::npos) << ControlText(memo);
  HWND done = FindControl(builder, IDC_BLD_btnCancel);
  WAIT_OR_FAIL(Enabled(done), 30, "Done enabled");
  Click(done);
  WAIT_OR_FAIL(!IsWindowVisible(builder), 30, "the build dialog closed");
  return true;
}

// Next through every page up to the end of copying, typing the user's name where asked.
bool WalkTheWizard(const AuthoringRun& run) {
  if (!OnPage("Welcome", 90)) return false;
  for (int pages = 0; pages < 20; ++pages) {
    const std::string page = WizardPage();
    Step("wizard page \"" + page + "\"");
    for (const AuthoringSection& section : AuthoringSections())
      if (section.OnWizardPage) section.OnWizardPage(run, page);
    if (page == "Setup Complete") break;
    if (page == "User Information") {
      SetEditText(FindControl(Wizard(), IDC_edtUserName), kUserName);
      SetEditText(FindControl(Wizard(), IDC_edtUserCompany), kUserCompany);
      WAIT_OR_FAIL(Enabled(FindControl(Wizard(), IDC_btnNext)), 10, "Next after typing the user name");
    }
    if (!PressNext()) return false;
    WAIT_OR_FAIL(WizardPage() != page || !Wizard(), 120, "the page after \"" + page + "\"");
    if (!Wizard()) break;
  }
  WAIT_OR_FAIL(WizardPage() == "Setup Complete", 120, "the complete page");
  // No ReadMe, no program: Finish.
  for (int id : {IDC_cbViewReadMe, IDC_cbRunApp}) {
    HWND box = FindControl(Wizard(), id);
    if (box && IsWindowVisible(box) && Checked(box)) {
      Click(box);
      WAIT_OR_FAIL(!Checked(box), 10, "a box of the complete page cleared");
    }
  }
  return PressNext();
}

bool LeftOnPurpose(const std::string& line, const AuthoringRun& run) {
  if (EngineReleased(line)) return true;
  // The remembered user name and company of the product, under its company's key.
  const std::string remembered = "+ hkey_local_machine\\software\\";
  if (line == remembered + Lower(run.Company)) return true;
  return line.compare(0, remembered.size(), remembered) == 0 &&
         line.find(Lower("\\" + run.AppName)) != std::string::npos &&
         line.find("\\uninstall\\") == std::string::npos;
}

Snapshot Snap() {
  return TakeSnapshot({"c:\\e2e", Lower(TempDir()), "c:\\windows\\temp"},
                      {"hkey_current_user\\software\\wine", "hkey_local_machine\\software\\wine",
                       "hkey_current_user\\software\\tandrel",
                       "hkey_local_machine\\software\\microsoft\\windows nt\\currentversion\\perflib"});
}

DWORD WINAPI WatchRun(void*) {
  Sleep(540 * 1000);
  Step("the whole run took too long; windows:\n" + DescribeWindows());
  ExitProcess(3);
}

TEST(AuthoringRoad, AuthorBuildInstallCheckAndUninstall) {
  CoInitialize(nullptr);
  SetFailureHandler([](const std::string& what) { ADD_FAILURE() << what; });
  CloseHandle(CreateThread(nullptr, 0, WatchRun, nullptr, 0, nullptr));
  AuthoringRun run;
  run.Work = kWork;

  Proc builder("\"" + kBuilder + "\"");
  ASSERT_TRUE(builder.started);
  run.BuilderProcess = builder.pi.dwProcessId;
  run.Main = WaitForWindow([] { return FindTopWithCaption("Tandrel-Install Configuration Builder"); }, 60);
  ASSERT_NE(run.Main, nullptr) << DescribeWindows();

  Step("New");
  ASSERT_TRUE(ClickToolButton(run.Main, IDC_MAIN_btnNew));
  for (const AuthoringSection& section : AuthoringSections()) {
    Step(std::string("authoring ") + section.Name);
    ASSERT_TRUE(section.Author(run)) << section.Name;
  }
  ASSERT_FALSE(run.AppName.empty()) << "the general section names the product";

  Step("Save, which asks for a name");
  ASSERT_TRUE(ClickToolButton(run.Main, IDC_MAIN_btnSave));
  ASSERT_TRUE(AnswerFileDialog("Save As", kProject));
  ASSERT_TRUE(WaitFor([] { return Exists(kProject); }, 30)) << "the project file";
  ASSERT_TRUE(BuildThroughTheDialog(run.Main));
  ASSERT_TRUE(Exists(kPackage));
  // The build moved the program extension to "<SUPPORTDIR>\", a change of the project:
  // saved again (to its name now, without a dialog), the builder closes without a question.
  Step("Save after the build");
  ASSERT_TRUE(ClickToolButton(run.Main, IDC_MAIN_btnSave));
  PostMessageA(run.Main, WM_CLOSE, 0, 0);
  ASSERT_TRUE(builder.Ended(30)) << "the builder closes without a question: the project is saved\n"
                                 << DescribeWindows();

  const Snapshot before = Snap();
  {
    Proc setup("\"" + kPackage + "\"");
    ASSERT_TRUE(setup.started);
    ASSERT_TRUE(WalkTheWizard(run));
    ASSERT_TRUE(setup.Ended(60)) << DescribeWindows();
  }
  for (const AuthoringSection& section : AuthoringSections()) section.CheckInstalled(run);

  const std::string command = RegString(
      HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\" + run.AppName, "UninstallString");
  ASSERT_NE(command.find("/UNINST="), std::string::npos) << command;
  ASSERT_TRUE(Uninstall(command, run.AppName));
  for (const AuthoringSection& section : AuthoringSections()) section.CheckRemoved(run);
  std::vector<std::string> unexpected;
  for (const auto& d : Difference(before, Snap()))
    if (!LeftOnPurpose(d, run)) unexpected.push_back(d);
  EXPECT_EQ(unexpected, std::vector<std::string>{});
}

}  // namespace
