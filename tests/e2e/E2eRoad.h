// The parts of an end-to-end road that every road test shares: the machine's folders and
// registry, processes, the wizard driven page by page, the kept engine and the uninstaller.
#pragma once
#include <windows.h>

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

// A progress line on stderr with the seconds since the run began.
void Step(const std::string& what);

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

// Fails the test with the windows on the screen when a wait runs out.
#define WAIT_OR_FAIL(expr, seconds, what)                                                        \
  do {                                                                                           \
    if (!e2e::WaitFor([&] { return static_cast<bool>(expr); }, seconds)) {                       \
      ADD_FAILURE() << "timed out waiting for " << what << "\nwindows:\n" << e2e::DescribeWindows(); \
      return false;                                                                              \
    }                                                                                            \
  } while (0)

// The wizard of a running setup.
HWND Wizard();
std::string WizardPage();
bool OnPage(const std::string& title, double seconds = 30);
bool PressNext();  // Next (or Yes, or Finish) on the current page
bool NextTo(const std::string& title);
bool ClickIn(HWND top, const std::string& button);
// Answers the message box that shows part of its text.
bool Answer(const std::string& part, const std::string& button, double seconds = 30);

// The engine the launcher keeps in "<Windows>\TandrelInstall\<16 hex digits>\".
extern const std::string kEngineHome;
bool EngineKeep(const std::string& line);  // a snapshot difference line of that engine
std::string KeptEngine();                  // empty when there is none

// Runs the registered uninstall command and answers it through to its end.
bool Uninstall(const std::string& command, const std::string& appName);

}  // namespace e2e
