// Driving a package's setup and its uninstaller from another process as a user would:
// the machine's folders and registry, processes, the wizard page by page, the complete
// page, the kept engine, the uninstaller with its questions. Shared by the road tests and
// the run command's tour of the sample.
#pragma once
#include <windows.h>

#include <functional>
#include <string>

#include "tests/e2e/E2eWindows.h"

namespace e2e {

std::string SystemFolder(int csidl);
std::string WindowsDir();
std::string SystemDir();
std::string TempDir();
// A value's data as text ("<no key>", "<no value>" when absent); binary data byte for byte.
std::string RegString(HKEY root, const std::string& key, const std::string& name, DWORD* type = nullptr);
std::string ProgramFilesDir();
bool Exists(const std::string& p);

// What the driver is doing, with the time, for a run that fails or hangs.
void Step(const std::string& what);

// Where a failed wait or check goes (the test's failure report; stderr by default).
void SetFailureHandler(std::function<void(const std::string&)> handler);
void Fail(const std::string& what);

// Called with the wizard's window and its title whenever a page the driver waited for is
// on show, and with the uninstaller's window once it has finished (before its OK).
void SetPageHandler(std::function<void(HWND window, const std::string& title)> handler);

struct Proc {
  PROCESS_INFORMATION pi{};
  bool started = false;
  explicit Proc(const std::string& command);
  ~Proc();
  Proc(const Proc&) = delete;
  Proc& operator=(const Proc&) = delete;
  bool Ended(double seconds);
  DWORD ExitCode();
};

// Reports a failure (through the failure handler) with the windows on the screen when a
// wait runs out.
#define WAIT_OR_FAIL(expr, seconds, what)                                                        \
  do {                                                                                           \
    if (!e2e::WaitFor([&] { return static_cast<bool>(expr); }, seconds)) {                       \
      e2e::Fail("timed out waiting for " + std::string(what) + "\nwindows:\n" + e2e::DescribeWindows()); \
      return false;                                                                              \
    }                                                                                            \
  } while (0)

HWND Wizard();
std::string WizardPage();
bool OnPage(const std::string& title, double seconds = 30);
// Next (or Yes, or Finish) on the current page.
bool PressNext();
bool NextTo(const std::string& title);
bool ClickIn(HWND top, const std::string& button);
// Answers the message box that shows part of its text.
bool Answer(const std::string& part, const std::string& button, double seconds = 30);

enum class SetupType { Typical, Custom };
struct WizardWalk {
  SetupType Type = SetupType::Typical;
  std::string Untick;  // a component unticked on the components page (Custom)
  std::string UserName, Company;
};
// From the welcome page to the start of copying.
bool WalkWizard(const WizardWalk& walk);
// The complete page: no ReadMe, no program; Finish.
bool FinishPlainly();
// The engine an installation keeps in "<Windows>\TandrelInstall\<16 hex digits>\".
extern const std::string kEngineHome;
std::string KeptEngine();  // empty when there is none
// Whether the file's deletion waits for the restart.
bool PendingDeletion(const std::string& file);
// A snapshot difference line of the engine the last uninstall released: moved aside in its
// home until the restart deletes it.
bool EngineReleased(const std::string& line);

// Runs the registered uninstall command, answers its questions and ends it, and waits for
// the engine's copy that ran it to end.
bool Uninstall(const std::string& command, const std::string& appName);
// True while an uninstall's copy of the engine ("ZmU*.tmp" in the temp folder) runs.
bool EngineCopyRunning();

}  // namespace e2e
