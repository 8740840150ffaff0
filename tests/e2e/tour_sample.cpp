// The run command's tour of the sample package on a machine without a display: runs its
// Setup.exe, goes through every page as a user would (the end-to-end test's drivers),
// installs, uninstalls through the registered command, and saves a picture of each page,
// of the copy progress when it is caught, and of the uninstaller.
//   tour_sample.exe PACKAGE FOLDER   pictures and their list "pictures.txt" into FOLDER
// The list holds one "file|caption" line per picture, the caption read back from the
// window before its picture was taken. Ends with 0 when the whole road went through.
#include <windows.h>

#include <cstdio>
#include <string>

#include "resources/engine/SetupCopyFiles.rh"
#include "tests/e2e/E2eRoad.h"
#include "tests/e2e/E2eTour.h"
#include "tests/e2e/E2eWindows.h"

using namespace e2e;

namespace {

const char* const kApp = "Tandrel Sample";

PictureAlbum* g_album = nullptr;

void PagePicture(HWND window, const std::string& caption) { g_album->Take(window, caption); }

HWND CopyForm() {
  for (HWND top : TopWindows())
    if (FindControl(top, IDC_pbOverall) && FindControl(top, IDC_lblFileName)) return top;
  return nullptr;
}

std::string UninstallCommand() {
  HKEY k;
  const std::string key = std::string("SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\") + kApp;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, key.c_str(), 0, KEY_READ, &k) != ERROR_SUCCESS) return "";
  char buf[2048] = {};
  DWORD size = sizeof buf - 1;
  LONG r = RegQueryValueExA(k, "UninstallString", nullptr, nullptr, reinterpret_cast<BYTE*>(buf), &size);
  RegCloseKey(k);
  return r == ERROR_SUCCESS ? buf : "";
}

bool Tour(const std::string& package) {
  SetPageHandler(PagePicture);
  {
    Proc setup("\"" + package + "\"");
    if (!setup.started) {
      Fail("cannot start " + package);
      return false;
    }
    if (!WalkWizard({SetupType::Custom, "", "Ada Lovelace", "Analytical Engines"})) return false;
    // The copy progress, caught while it shows a file.
    HWND copy = nullptr;
    WaitFor([&] {
      copy = CopyForm();
      if (copy && !WindowText(FindControl(copy, IDC_lblFileName)).empty()) return true;
      return WizardPage() == "Setup Complete";
    }, 120);
    if (copy && IsWindowVisible(copy))
      g_album->Take(copy, "Copying: " + WindowText(FindControl(copy, IDC_lblFileName)), true);
    if (!FinishPlainly() || !setup.Ended(60)) return false;
  }
  const std::string command = UninstallCommand();
  if (command.empty()) {
    Fail("no uninstall command registered for " + std::string(kApp));
    return false;
  }
  return Uninstall(command, kApp);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    fprintf(stderr, "usage: tour_sample PACKAGE FOLDER\n");
    return 2;
  }
  return RunTour(argv[2], 240, [&](PictureAlbum& album) {
    g_album = &album;
    return Tour(argv[1]);
  });
}
