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
#include <vector>

#include "resources/engine/SetupCopyFiles.rh"
#include "tests/e2e/E2ePicture.h"
#include "tests/e2e/E2eRoad.h"
#include "tests/e2e/E2eWindows.h"

using namespace e2e;

namespace {

const char* const kApp = "Tandrel Sample";

std::string g_folder;
std::vector<std::string> g_list;
int g_failures = 0;

std::string FileNameFor(const std::string& caption) {
  std::string name;
  for (char c : caption) {
    if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9'))
      name += c;
    else if (!name.empty() && name.back() != '-')
      name += '-';
  }
  while (!name.empty() && name.back() == '-') name.pop_back();
  char number[8];
  snprintf(number, sizeof number, "%02u-", static_cast<unsigned>(g_list.size() + 1));
  return number + name + ".png";
}

// mayGo: a window that can go away by itself (the copy progress); gone before its picture
// was taken, it has none, and that is no failure.
void Picture(HWND window, const std::string& caption, bool mayGo) {
  PumpFor(400, nullptr);  // let the window finish painting
  const std::string file = FileNameFor(caption);
  const bool saved = SaveWindowPicture(window, g_folder + file, caption);
  if (mayGo && !IsWindowVisible(window)) {
    DeleteFileA((g_folder + file).c_str());
    return;
  }
  if (!saved) {
    Fail("cannot save the picture " + g_folder + file);
    return;
  }
  g_list.push_back(file + "|" + caption);
}

void PagePicture(HWND window, const std::string& caption) { Picture(window, caption, false); }

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

DWORD WINAPI WatchTour(void*) {
  Sleep(240 * 1000);
  Step("the tour took too long; windows:\n" + DescribeWindows());
  ExitProcess(3);
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
      Picture(copy, "Copying: " + WindowText(FindControl(copy, IDC_lblFileName)), true);
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
  g_folder = argv[2];
  if (g_folder.back() != '\\') g_folder += '\\';
  CreateDirectoryA(g_folder.c_str(), nullptr);
  SetFailureHandler([](const std::string& what) {
    ++g_failures;
    fprintf(stderr, "tour: %s\n", what.c_str());
    fflush(stderr);
  });
  CloseHandle(CreateThread(nullptr, 0, WatchTour, nullptr, 0, nullptr));
  const bool ok = Tour(argv[1]);
  std::string list;
  for (const auto& line : g_list) list += line + "\r\n";
  FILE* f = fopen((g_folder + "pictures.txt").c_str(), "wb");
  if (f) {
    fwrite(list.data(), 1, list.size(), f);
    fclose(f);
  }
  return ok && g_failures == 0 ? 0 : 1;
}
