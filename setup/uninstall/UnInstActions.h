// The uninstaller's work on the machine: files, folders, shared counts, INI values and
// registry entries, for the uninstall form and for the setup that undoes what it began.
#pragma once
#include <string>
#include <vector>

#include "setup/services/InstGlobal.h"
#include "setup/uninstall/UnInstRules.h"

class TUninstallActions : public TUninstallHost {
public:
  // How a file is deleted at the next start of Windows: the running version's mechanism,
  // "WININIT.INI" in the Windows folder unless another file is named.
  TWindowsVersion Platform = WindowsVersion;
  std::string WininitFile;

  void UnregisterServerFile(const std::string& file) override;
  int DecSharedDllCount(const std::string& file) override;
  // Without a form no one is asked: a file no one counts on any more goes.
  int AskRemoveSharedFile(const std::string& file) override;
  bool FileExists(const std::string& file) override;
  bool RemoveFile(const std::string& file) override;
  void ScheduleDelete(const std::string& file) override;
  void RemoveDir(const std::string& dir) override;
  bool DirExists(const std::string& dir) override;
  bool DirIsEmpty(const std::string& dir) override;
  void DeleteIniValue(const std::string& file, const std::string& section, const std::string& key) override;
  void DeleteRegValue(const std::string& key, const std::string& name) override;
  void DeleteRegKey(const std::string& key) override;
  bool DeleteEmptyRegKey(const std::string& key) override;
  void SetProgressMax(int maximum) override;
  void SetProgress(int position) override;
  void ShowTick(int step) override;
};

// Undoes the lines of an uninstall log (newest first) with the uninstaller's passes,
// asking nothing; true when everything went.
bool UndoLoggedActions(const std::vector<std::string>& lines);
