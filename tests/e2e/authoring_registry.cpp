// The authoring road's registry: a key made under HKEY_CURRENT_USER in the key tree, a
// string and a DWORD value added from the value list's menu and set in the value dialog.
#include <gtest/gtest.h>

#include "resources/builder/SetupRegistry.rh"
#include "tests/e2e/AuthoringViews.h"

namespace e2e {

namespace {

const char* const kKey = "Software\\AuthoredRoad";

bool Author(AuthoringRun& run) {
  HWND editor = OpenSection(run, 6, "Registry Settings");
  if (!editor) return false;
  HWND tree = FindControl(editor, IDC_REG_tvFolders);
  HWND list = FindControl(editor, IDC_REG_lvValues);
  if (!TreeSelect(tree, TreeChild(tree, nullptr, 1))) return false;  // HKEY_CURRENT_USER
  for (const char* name : {"Software", "AuthoredRoad"}) {
    PressKey(tree, VK_INSERT);  // the new key is selected, its name open for editing
    if (!FinishLabelEdit(tree, true, name)) return false;
  }
  WAIT_OR_FAIL(ControlText(FindControl(editor, IDC_REG_lblPath)) == "HKEY_CURRENT_USER\\Software\\AuthoredRoad", 10,
               "the new key's path");
  struct Value {
    const char* mnemonics;
    const char* name;
    const char* dialog;
    const char* data;
  } values[] = {{"ns", "Path", "Define String Value", "authored"}, {"nd", "Count", "Define DWORD Value", "-5"}};
  for (const Value& v : values) {
    if (!ChooseFromPopup(list, v.mnemonics)) return false;
    if (!FinishLabelEdit(list, false, v.name)) return false;
    PressKey(list, VK_RETURN, true);
    if (!AnswerValueDialog(v.dialog, v.data)) return false;
  }
  Click(FindControl(editor, IDC_REG_btnOk));
  WAIT_OR_FAIL(!IsWindow(editor) || !IsWindowVisible(editor), 20, "the registry editor closed");
  return true;
}

void CheckInstalled(const AuthoringRun&) {
  EXPECT_EQ(RegString(HKEY_CURRENT_USER, kKey, "Path"), "authored");
  DWORD type = 0;
  const std::string count = RegString(HKEY_CURRENT_USER, kKey, "Count", &type);
  EXPECT_EQ(type, static_cast<DWORD>(REG_DWORD));
  EXPECT_EQ(count, std::string("\xfb\xff\xff\xff", 4)) << "-5 as a DWORD";
}

void CheckRemoved(const AuthoringRun&) { EXPECT_EQ(RegString(HKEY_CURRENT_USER, kKey, "Path"), "<no key>"); }

}  // namespace

AuthoringSection RegistrySection() { return {"Registry", Author, CheckInstalled, CheckRemoved}; }

}  // namespace e2e
