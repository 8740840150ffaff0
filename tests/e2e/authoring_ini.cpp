// The authoring road's INI files: a file made in the tree (in the road's own folder, which
// the uninstaller leaves with the file), a section from the tree's menu, an entry with
// Ins in the list and its value through the value dialog.
#include <gtest/gtest.h>

#include "resources/builder/SetupIniFiles.rh"
#include "tests/e2e/AuthoringViews.h"

namespace e2e {

namespace {

std::string IniFile(const AuthoringRun& run) { return run.Work + "authored.ini"; }

std::string IniValue(const AuthoringRun& run) {
  char value[MAX_PATH] = {};
  GetPrivateProfileStringA("Settings", "Mode", "<none>", value, sizeof value, IniFile(run).c_str());
  return value;
}

bool Author(AuthoringRun& run) {
  HWND editor = OpenSection(run, 5, "Ini Files");
  if (!editor) return false;
  HWND tree = FindControl(editor, IDC_INI_tvFiles);
  HWND list = FindControl(editor, IDC_INI_lvValues);
  if (!TreeSelect(tree, TreeChild(tree, nullptr, 0))) return false;
  PressKey(tree, VK_INSERT);  // a new file, selected, its name open for editing
  if (!FinishLabelEdit(tree, true, IniFile(run))) return false;
  if (!ChooseFromPopup(tree, "ns")) return false;  // "&New", "New &Section"
  if (!FinishLabelEdit(tree, true, "Settings")) return false;
  PressKey(list, VK_INSERT);
  if (!FinishLabelEdit(list, false, "Mode")) return false;
  PressKey(list, VK_RETURN, true);
  if (!AnswerValueDialog("Define INI Value", "full")) return false;
  Click(FindControl(editor, IDC_INI_btnOk));
  WAIT_OR_FAIL(!IsWindow(editor) || !IsWindowVisible(editor), 20, "the INI files editor closed");
  return true;
}

void CheckInstalled(const AuthoringRun& run) { EXPECT_EQ(IniValue(run), "full"); }

void CheckRemoved(const AuthoringRun& run) { EXPECT_EQ(IniValue(run), "<none>"); }

}  // namespace

AuthoringSection IniFilesSection() { return {"Ini Files", Author, CheckInstalled, CheckRemoved}; }

}  // namespace e2e
