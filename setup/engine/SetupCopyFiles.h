// Unit SetupCopyFiles: the copy progress form TfrmCopyFiles, which installs every file of
// the selected groups from archive 2 and steps the background's billboards.
#pragma once
#include <cstdint>
#include <functional>
#include <string>

#include "base/win/Controls.h"
#include "base/win/Form.h"
#include "resources/engine/SetupCopyFiles.rh"
#include "setup/engine/CopyRules.h"
#include "setup/model/InstClasses.h"

constexpr UINT WM_STARTCOPY = WM_APP + 2;

class TfrmCopyFiles : public base::win::Form, private TCopyHost {
public:
  explicit TfrmCopyFiles(TTandrelBaseInstall& project);

  TTandrelBaseInstall& Project;
  int TopLimit = 0;
  std::string ArchiveFile;
  std::function<void(int Index)> OnBillboard;
  TCopyRun Copy;  // DoneBytes, FileBase, FileSize, Aborted and the billboard fields

  void Button1Click();
  void StartCopy();

  base::win::Label lblGroupName{*this, IDC_lblGroupName};
  base::win::Label lblFileName{*this, IDC_lblFileName};
  base::win::ProgressBar pbFile{*this, IDC_pbFile};
  base::win::ProgressBar pbOverall{*this, IDC_pbOverall};
  base::win::Button Button1{*this, IDC_Button1};

protected:
  void FormCreate() override;
  void FormShow() override;

  // The copy loop's side of the form (a timing harness may wrap them).
  void ShowGroup(const std::string& caption) override;
  void ShowFile(const std::string& expanded) override;
  void SetOverallBar(int64_t maximum) override;
  void MoveOverallBar(int64_t position) override;
  void SetFileBar(int32_t percent) override;
  void ProcessMessages() override;
  void ShowBillboard(int32_t index) override;
  std::string ExpandMacros(const std::string& text) override;
  bool PlatformIncluded(TWindowsVersions platforms) override;
  int InstallFile(const std::string& dest, const std::string& archiveFolder, const TProgressHandler& onProgress,
                  TUpdateMode rule, TWindowsVersions platforms, const std::string& version) override;
  int RegisterServerFile(const std::string& fileName) override;
  bool AskContinue(const std::string& message) override;
  void CommitPendingRenames() override;

private:
  static constexpr DWORD kBarInterval = 40, kPumpInterval = 10;
  static constexpr int kPumpBytes = 64 * 1024;
  bool BarDue(DWORD& last, bool end);
  void FlushBars();
  void ShowPendingName();
  int overallMax_ = 0, overallPos_ = 0, filePos_ = 0, pumpedAt_ = 0;
  DWORD overallPainted_ = 0, filePainted_ = 0, labelPainted_ = 0, pumped_ = 0;
  std::string lastFile_;
  bool nameShown_ = true;
};

// Installs the selection of Project from ArchiveFile; 1 done, 2 cancelled, 4 done with
// files replaced at the next restart. OnBillboard shows a billboard by number (may be empty).
uint8_t RunCopyFiles(const std::string& ArchiveFile, TTandrelBaseInstall* Project, int TopLimit,
                     std::function<void(int Index)> OnBillboard);
