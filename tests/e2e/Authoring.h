// The authoring road: a package authored entirely through the builder's windows, driven
// from this process. Each section of the builder has its steps in a file of its own
// (authoring_<section>.cpp) and one line in the list of authoring_sections.cpp.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

namespace e2e {

// What the sections share while the builder runs and afterwards.
struct AuthoringRun {
  HWND Main = nullptr;          // the builder's main window
  DWORD BuilderProcess = 0;
  std::string Work;             // "C:\e2e\", with the sources under "src\"
  std::string AppName;          // set by the general section: the installed product
  std::string Company;          // and its company
  std::string InstallDir;       // where the setup puts it (its default folder)
};

struct AuthoringSection {
  const char* Name;
  // Drives the builder's windows from the main window to the section's editor and back.
  bool (*Author)(AuthoringRun& run);
  // After the setup ran: what the section authored is on the machine.
  void (*CheckInstalled)(const AuthoringRun& run);
  // After the uninstall: nothing of it is left (beyond what the snapshot compares).
  void (*CheckRemoved)(const AuthoringRun& run);
  // While the setup runs, on each wizard page (by its title) before Next: what the
  // running setup shows. May be left out.
  void (*OnWizardPage)(const AuthoringRun& run, const std::string& page) = nullptr;
};

// The sections, in the order an author fills them in.
const std::vector<AuthoringSection>& AuthoringSections();

// Helpers for the sections' steps (AuthoringSteps.cpp); failures go to the failure handler.
// Clicks a button of the main window's toolbar (IDC_MAIN_btn...).
bool ClickToolButton(HWND main, int id);
// Clicks the section's picture on the main window's page (tag 0..6) and waits for the
// editor window with this caption.
HWND OpenSection(const AuthoringRun& run, int tag, const std::string& caption);
// Answers a file dialog ("Open", "Save As") with a full file name.
bool AnswerFileDialog(const std::string& caption, const std::string& fileName);
// Replaces an edit's text as typing would.
void SetEditText(HWND edit, const std::string& text);

// The sections' entries (one per file).
AuthoringSection GeneralSection();
AuthoringSection ScreensSection();
AuthoringSection DialogsSection();
AuthoringSection FilesSection();
AuthoringSection IconsSection();
AuthoringSection IniFilesSection();
AuthoringSection RegistrySection();

}  // namespace e2e
