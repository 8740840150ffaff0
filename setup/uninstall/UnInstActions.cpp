#include "setup/uninstall/UnInstActions.h"

#include <windows.h>

#include "base/Streams.h"
#include "base/Strings.h"
#include "setup/services/InstallRules.h"

void TUninstallActions::UnregisterServerFile(const std::string& file) { ::UnregisterServerFile(file); }
int TUninstallActions::DecSharedDllCount(const std::string& file) { return ::DecSharedDllCount(file); }
int TUninstallActions::AskRemoveSharedFile(const std::string&) { return kAnswerYesToAll; }
bool TUninstallActions::FileExists(const std::string& file) { return base::FileExists(file); }

bool TUninstallActions::RemoveFile(const std::string& file) {
  ClearReadOnly(file);
  DeleteFileA(file.c_str());
  return !base::FileExists(file);
}

void TUninstallActions::ScheduleDelete(const std::string& file) {
  if (Platform == wvNT4 || Platform == wvNT5) {
    MoveFileExA(file.c_str(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT);
    return;
  }
  // The 95 family reads "WININIT.INI" before Windows starts, with short names only.
  const std::string ini = WininitFile.empty() ? WininitFileName() : WininitFile;
  if (ini.empty()) return;
  std::string shortName = GetShortPath(file);
  if (shortName.empty()) shortName = file;
  std::string existing;
  if (base::FileExists(ini)) {
    auto bytes = base::ReadFileBytes(ini);
    existing.assign(bytes.begin(), bytes.end());
  }
  // Other programs' pending lines live in the same file: it is never left half-written.
  ReplaceFileText(ini, AppendWininitDeletion(existing, shortName));
}

void TUninstallActions::RemoveDir(const std::string& dir) { RemoveDirectoryA(dir.c_str()); }
bool TUninstallActions::DirExists(const std::string& dir) { return base::DirectoryExists(dir); }

bool TUninstallActions::DirIsEmpty(const std::string& dir) {
  WIN32_FIND_DATAA fd;
  HANDLE find = FindFirstFileA((AddBackslash(dir) + "*").c_str(), &fd);
  if (find == INVALID_HANDLE_VALUE) return true;
  bool empty = true;
  do {
    const std::string name = fd.cFileName;
    if (name != "." && name != "..") empty = false;
  } while (empty && FindNextFileA(find, &fd));
  FindClose(find);
  return empty;
}

void TUninstallActions::DeleteIniValue(const std::string& file, const std::string& section, const std::string& key) {
  // INI failures (a locked file among them) never make the run incomplete.
  try {
    ::DeleteIniValue(file, section, key);
    const std::string path = ExpandMacros(file);
    // The profile functions may hold the change in memory: on disk first, then read.
    WritePrivateProfileStringA(nullptr, nullptr, nullptr, path.c_str());
    std::string full = path;
    if (path.find_first_of("\\:") == std::string::npos) {
      char windir[MAX_PATH + 1];
      UINT n = GetWindowsDirectoryA(windir, MAX_PATH);
      if (n == 0 || n >= MAX_PATH) return;
      full = AddBackslash(std::string(windir, n)) + path;
    }
    if (!base::FileExists(full)) return;
    auto bytes = base::ReadFileBytes(full);
    // A section, and then a file, that held only what the install wrote goes with it;
    // a section with any line left (a comment too) stays.
    if (IniSectionHoldsNoLine(std::string(bytes.begin(), bytes.end()), section)) {
      WritePrivateProfileStringA(section.c_str(), nullptr, nullptr, path.c_str());
      WritePrivateProfileStringA(nullptr, nullptr, nullptr, path.c_str());
      bytes = base::ReadFileBytes(full);
    }
    if (base::Trim(std::string(bytes.begin(), bytes.end())).empty()) DeleteFileA(full.c_str());
  } catch (...) {
  }
}

void TUninstallActions::DeleteRegValue(const std::string& key, const std::string& name) { ::DeleteRegValue(key, name); }
void TUninstallActions::DeleteRegKey(const std::string& key) { ::DeleteRegKey(key); }
bool TUninstallActions::DeleteEmptyRegKey(const std::string& key) {
  return ::DeleteEmptyRegKey(key) == irSuccess || !RegistryKeyExists(key);
}
void TUninstallActions::SetProgressMax(int) {}
void TUninstallActions::SetProgress(int) {}
void TUninstallActions::ShowTick(int) {}

bool UndoLoggedActions(const std::vector<std::string>& lines) {
  TUninstallLogLines log;
  log.Lines = lines;
  TUninstallActions actions;
  try {
    return RunUninstallPasses(log, actions);
  } catch (...) {
    return false;
  }
}
