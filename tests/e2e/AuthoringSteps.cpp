// The steps the authoring road's sections share, and the run command's tour of the builder
// with them: the main window's toolbar and section pictures, file dialogs, edits. Failures
// go to the failure handler (the road's test report, the tour's stderr).
#include <windows.h>

#include <string>

#include "resources/builder/MainForm.rh"
#include "tests/e2e/Authoring.h"
#include "tests/e2e/E2eRoad.h"

namespace e2e {

bool ClickToolButton(HWND main, int id) {
  HWND bar = FindControl(main, IDC_MAIN_ToolBar1);
  if (!bar) return false;
  PostMessageA(main, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(bar));
  return true;
}

HWND OpenSection(const AuthoringRun& run, int tag, const std::string& caption) {
  Step("opening the section " + caption);
  HWND picture = FindControl(run.Main, IDC_MAIN_Image2 + tag);
  if (!picture) {
    Fail("no picture for section " + std::to_string(tag) + "\n" + DescribeWindows());
    return nullptr;
  }
  PostMessageA(picture, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(4, 4));
  PostMessageA(picture, WM_LBUTTONUP, 0, MAKELPARAM(4, 4));
  HWND editor = WaitForWindow([&] { return FindTopWithCaption(caption); }, 30);
  if (!editor) Fail("the editor \"" + caption + "\" did not open\n" + DescribeWindows());
  return editor;
}

void SetEditText(HWND edit, const std::string& text) {
  SendMessageTimeoutA(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()), SMTO_ABORTIFHUNG, 5000,
                      nullptr);
}

bool AnswerFileDialog(const std::string& caption, const std::string& fileName) {
  Step("answering the file dialog " + caption + " with " + fileName);
  HWND dialog = WaitForWindow(
      [&] {
        HWND h = FindTopWithCaption(caption);
        return h && ClassOf(h) == "#32770" ? h : nullptr;
      },
      30);
  if (!dialog) {
    Fail("no file dialog \"" + caption + "\"\n" + DescribeWindows());
    return false;
  }
  // The name field: the explorer dialog's edit (edt1), or the edit inside the combo box
  // that holds it (cmb13; Wine's is a ComboBoxEx32, whose own text is not the edit's).
  HWND name = FindControl(dialog, 0x480);
  if (!name)
    if (HWND combo = FindControl(dialog, 0x47C))
      for (HWND h : Descendants(combo))
        if (_stricmp(ClassOf(h).c_str(), "Edit") == 0) name = h;
  if (!name) {
    Fail("no name field in \"" + caption + "\"\n" + DescribeWindows());
    return false;
  }
  SetEditText(name, fileName);
  PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDOK)));
  WAIT_OR_FAIL(!IsWindow(dialog), 30, "the file dialog closed");
  return true;
}

}  // namespace e2e
