// The run command's tour of the builder on a machine without a display: starts the
// builder, opens the sample project through Open as a user would, and pictures the main
// window and each section editor (every page of the file groups and dialogs editors, the
// dialogs editor's wizard pages one by one), leaving each editor with Cancel; then closes
// the builder, which must not ask to save: nothing was changed.
//   tour_builder.exe BUILDER PROJECT FOLDER   pictures and their list "pictures.txt" into FOLDER
// Each caption is the window's, then " - " and the page on show, read back from the
// window before its picture is taken. Ends with 0 when the whole tour went through and
// the project file is as it was.
#include <windows.h>

#include <cstdio>
#include <iterator>
#include <string>
#include <vector>

#include "resources/builder/MainForm.rh"
#include "resources/builder/SetupDialogs.rh"
#include "tests/e2e/Authoring.h"
#include "tests/e2e/E2eRoad.h"
#include "tests/e2e/E2eTour.h"
#include "tests/e2e/E2eWindows.h"

using namespace e2e;

namespace {

const char* const kMainCaption = "Tandrel-Install Configuration Builder";

// The editors in the main window's order, by their window captions; the ones whose every
// page is pictured.
struct Editor {
  const char* Caption;
  bool EveryPage;
};
const Editor kEditors[] = {{"General", false},  {"Screen", false},        {"Files/Groups", true},
                           {"Dialogs", true},   {"Program Manager Icons", false},
                           {"Ini Files", false}, {"Registry Settings", false}};

std::string FileBytes(const std::string& name) {
  std::string bytes;
  if (FILE* f = fopen(name.c_str(), "rb")) {
    char buf[65536];
    for (size_t n; (n = fread(buf, 1, sizeof buf, f)) > 0;) bytes.append(buf, n);
    fclose(f);
  }
  return bytes;
}

// The tab control of the editor's pages (a direct child: pages hold tab controls of
// their own).
HWND PageTabs(HWND editor) {
  for (HWND h : Descendants(editor))
    if (GetParent(h) == editor && ClassOf(h) == "SysTabControl32") return h;
  return nullptr;
}

std::string Caption(HWND window, HWND tabs) {
  std::string caption = Plain(WindowText(window));
  if (tabs) caption += " - " + TabText(tabs, TabSelected(tabs));
  return caption;
}

void Key(HWND target, UINT key) {
  PostMessageA(target, WM_KEYDOWN, key, 1);
  PostMessageA(target, WM_KEYUP, key, 1 | (3u << 30));
}

// The dialogs tab's wizard pages, each selected in the page list as a click would.
bool WizardPages(PictureAlbum& album, HWND editor, const std::string& caption) {
  HWND pages = FindControl(editor, IDC_DLG_clbDialogs);
  WAIT_OR_FAIL(pages && IsWindowVisible(pages), 20, "the list of wizard pages");
  const int rows = ListViewCount(pages);
  WAIT_OR_FAIL(rows > 0, 1, "wizard pages in the list");
  for (int row = 0; row < rows; ++row) {
    ListViewClickLabel(pages, row);
    WAIT_OR_FAIL(ListViewSelected(pages, row), 20, "the wizard page of row " + std::to_string(row) + " selected");
    album.Take(editor, caption + " - " + ListViewText(pages, row));
  }
  return true;
}

bool Pictures(PictureAlbum& album, HWND editor, const Editor& e) {
  HWND tabs = PageTabs(editor);
  album.Take(editor, Caption(editor, tabs));
  if (!e.EveryPage) return true;
  WAIT_OR_FAIL(tabs != nullptr, 1, std::string("the pages of ") + e.Caption);
  const int count = TabCount(tabs);
  for (int page = 1; page < count; ++page) {
    // The arrow key moves the tabs on, as in the authoring road.
    Key(tabs, VK_RIGHT);
    WAIT_OR_FAIL(TabSelected(tabs) == page, 20, std::string("page ") + std::to_string(page) + " of " + e.Caption);
    const std::string caption = Caption(editor, tabs);
    if (FindControl(editor, IDC_DLG_clbDialogs) && TabText(tabs, page) == "Dialogs") {
      if (!WizardPages(album, editor, caption)) return false;
    } else {
      album.Take(editor, caption);
    }
  }
  return true;
}

bool Tour(PictureAlbum& album, const std::string& builderExe, const std::string& project) {
  const std::string before = FileBytes(project);
  if (before.empty()) {
    Fail("cannot read " + project);
    return false;
  }
  Proc builder("\"" + builderExe + "\"");
  if (!builder.started) {
    Fail("cannot start " + builderExe);
    return false;
  }
  AuthoringRun run;
  run.Main = WaitForWindow([] { return FindTopWithCaption(kMainCaption); }, 60);
  WAIT_OR_FAIL(run.Main != nullptr, 1, "the builder's main window");
  Step("opening " + project);
  if (!ClickToolButton(run.Main, IDC_MAIN_btnOpen) || !AnswerFileDialog("Open", project)) return false;
  HWND bar = FindControl(run.Main, IDC_MAIN_StatusBar1);
  const std::string name = project.substr(project.find_last_of('\\') + 1);
  WAIT_OR_FAIL(StatusBarText(bar, 1) == name, 30, "the project's name in the status bar");
  album.Take(run.Main, Plain(WindowText(run.Main)) + " - " + StatusBarText(bar, 1));

  for (int tag = 0; tag < static_cast<int>(std::size(kEditors)); ++tag) {
    const Editor& e = kEditors[tag];
    HWND editor = OpenSection(run, tag, e.Caption);
    if (!editor) return false;
    WAIT_OR_FAIL(IsWindowVisible(editor), 20, std::string("the editor ") + e.Caption + " on show");
    if (!Pictures(album, editor, e)) return false;
    Step(std::string("Cancel in ") + e.Caption);
    Click(FindButton(editor, "Cancel"));
    WAIT_OR_FAIL(!IsWindow(editor) || !IsWindowVisible(editor), 20, std::string("the editor ") + e.Caption + " closed");
  }

  Step("closing the builder");
  PostMessageA(run.Main, WM_CLOSE, 0, 0);
  if (!builder.Ended(30)) {
    // A question here means looking changed the project: answered No, and a failure.
    if (FindDialogWithText("Save your changes first?")) {
      Fail("the builder asks to save a project nobody changed");
      Answer("Save your changes first?", "No");
    }
    if (!builder.Ended(30)) {
      Fail("the builder did not close\n" + DescribeWindows());
      return false;
    }
  }
  if (FileBytes(project) != before) {
    Fail(project + " changed, though nothing was saved");
    return false;
  }
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 4) {
    fprintf(stderr, "usage: tour_builder BUILDER PROJECT FOLDER\n");
    return 2;
  }
  return RunTour(argv[3], 240, [&](PictureAlbum& album) { return Tour(album, argv[1], argv[2]); });
}
