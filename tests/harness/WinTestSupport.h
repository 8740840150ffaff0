// Helpers for Windows tests under the harness's Wine prefix.
#pragma once
#include <windows.h>

#include <string>

namespace wintest {

// Runs this test executable again as a child that Wine reports as `version`
// ("win95", "win98", "nt40", "win2k", ...), limited to the tests matching `filter`.
// The child is a copy named after the version, since Wine keys the setting by exe name.
// Returns the child's exit code (0 when its tests passed), or -1 when it could not start.
int RunUnderWindowsVersion(const std::string& version, const std::string& filter);

// True in a child started by RunUnderWindowsVersion; `version` then holds its name.
bool InVersionChild(std::string* version = nullptr);

std::string TempFolder();  // %TEMP% with a trailing backslash

// A visible top-level window of another process with this class ("#32770" for a message
// box or dialog); null when it has none.
HWND FindProcessWindow(DWORD processId, const std::string& windowClass);
std::string ThisExe();

// A font family of that name is installed for the screen (any character set).
bool FontInstalled(const std::string& face);

}  // namespace wintest
