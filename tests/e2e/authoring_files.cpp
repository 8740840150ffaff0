// The authoring road's files and groups: through the file groups editor the author puts a
// file into "Help Files" through the real open dialog, makes a new group and a new
// component in their property dialogs, and leaves with OK.
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "resources/builder/SetupComponent.rh"
#include "resources/builder/SetupGroup.rh"
#include "resources/builder/SetupGroupFiles.rh"
#include "tests/e2e/Authoring.h"
#include "tests/e2e/AuthoringViews.h"
#include "tests/e2e/E2eRoad.h"

namespace e2e {

namespace {

void Key(HWND target, UINT key) {
  PostMessageA(target, WM_KEYDOWN, key, 1);
  PostMessageA(target, WM_KEYUP, key, 1 | (3u << 30));
}

int Count(HWND view, UINT message) {
  DWORD_PTR result = 0;
  SendMessageTimeoutA(view, message, 0, 0, SMTO_ABORTIFHUNG, 5000, &result);
  return static_cast<int>(result);
}

// Fills the property dialog that opens over the editor (found by its first field) and
// confirms it with OK.
bool FillProperties(const std::vector<std::pair<int, std::string>>& fields, int ok, const std::string& what) {
  HWND dialog = WaitForWindow(
      [&]() -> HWND {
        HWND h = FindTopWithCaption("Properties");
        return h && FindControl(h, fields[0].first) && IsWindowVisible(h) ? h : nullptr;
      },
      20);
  if (!dialog) {
    ADD_FAILURE() << "no " << what << " dialog\n" << DescribeWindows();
    return false;
  }
  for (const auto& [id, text] : fields) SetEditText(FindControl(dialog, id), text);
  Click(FindControl(dialog, ok));
  WAIT_OR_FAIL(!IsWindow(dialog) || !IsWindowVisible(dialog), 20, "the " + what + " dialog closed");
  return true;
}

bool Author(AuthoringRun& run) {
  HWND editor = OpenSection(run, 2, "Files/Groups");
  if (!editor) return false;
  HWND groups = FindControl(editor, IDC_FG_tvGroups);
  HWND files = FindControl(editor, IDC_FG_lvFiles);
  WAIT_OR_FAIL(Count(groups, TVM_GETCOUNT) == 3, 20, "the three groups listed");

  // "Help Files", the second group, takes the program a second time. Selected as a click
  // would: Wine's tree moves no selection by keys while none is selected.
  if (!TreeSelect(groups, TreeChild(groups, nullptr, 1))) {
    ADD_FAILURE() << "Help Files not selected\n" << DescribeWindows();
    return false;
  }
  Key(files, VK_INSERT);
  if (!AnswerFileDialog("Open", run.Work + "src\\demo.exe")) return false;
  WAIT_OR_FAIL(Count(files, LVM_GETITEMCOUNT) == 1, 20, "the file listed in Help Files");

  // A new group in its dialog.
  Key(groups, VK_INSERT);
  if (!FillProperties({{IDC_GP_edtName, "Extras"}, {IDC_GP_cbDestination, "<INSTALLDIR>\\Extras"}}, IDC_GP_btnOk,
                      "group"))
    return false;
  WAIT_OR_FAIL(Count(groups, TVM_GETCOUNT) == 4, 20, "the new group listed");

  // The components page (the tab control moves on with the arrow key), a new component.
  Key(FindControl(editor, IDC_FG_pcMain), VK_RIGHT);
  HWND components = FindControl(editor, IDC_FG_tvComponents);
  WAIT_OR_FAIL(IsWindowVisible(components) && Count(components, TVM_GETCOUNT) > 0, 20, "the components page");
  Key(components, VK_INSERT);
  if (!FillProperties({{IDC_CP_edtName, "Extra Files"}, {IDC_CP_memoDescription, "Files for the curious"}},
                      IDC_CP_btnOk, "component"))
    return false;
  HWND available = FindControl(editor, IDC_FG_lvGroups);
  WAIT_OR_FAIL(Count(available, LVM_GETITEMCOUNT) == 4, 20, "the new group among the available groups");

  // The setup types page lists the types; OK takes everything into the project.
  Key(FindControl(editor, IDC_FG_pcMain), VK_RIGHT);
  HWND types = FindControl(editor, IDC_FG_tvInstallTypes);
  WAIT_OR_FAIL(IsWindowVisible(types) && Count(types, TVM_GETCOUNT) >= 3, 20, "the setup types page");
  Click(FindControl(editor, IDC_FG_btnOk));
  WAIT_OR_FAIL(!IsWindow(editor) || !IsWindowVisible(editor), 20, "the file groups editor closed");
  return true;
}

void CheckInstalled(const AuthoringRun& run) {
  EXPECT_TRUE(Exists(run.InstallDir + "\\Help Files\\demo.exe")) << "the file put into Help Files";
}

void CheckRemoved(const AuthoringRun& run) { EXPECT_FALSE(Exists(run.InstallDir + "\\Help Files\\demo.exe")); }

}  // namespace

AuthoringSection FilesSection() { return {"Files/Groups", Author, CheckInstalled, CheckRemoved}; }

}  // namespace e2e
