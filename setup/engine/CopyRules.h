// Decisions of the copy form and of the shortcut/INI/registry form as plain code over the
// project: the copy loop, the overall position and billboard stepping, the three small
// tasks and the writing of a registry key. The forms supply the Win32 side through hosts.
#pragma once
#include <cstdint>
#include <functional>
#include <string>

#include "setup/model/InstClasses.h"
#include "setup/services/InstTypes.h"

// ---------------------------------------------------------------------------------------
// Copy.

// Modal results of the copy.
constexpr uint8_t kCopyDone = 1;        // mrOK
constexpr uint8_t kCopyCancelled = 2;   // mrCancel
constexpr uint8_t kCopyNeedsRestart = 4;
constexpr uint8_t kCopyDamaged = 8;     // the package was found damaged: the copy stopped

// Bytes between two billboards: total / count, halves to even; 0 without billboards.
int64_t BillboardStepFor(int64_t total, int count);
// FileBase + Percent x FileSize / 100, rounded to the nearest (halves to even).
int64_t FileProgressPosition(int64_t fileBase, int32_t percent, int64_t fileSize);

// The overall position and which billboard it calls for.
struct TBillboardStepper {
  int64_t DoneBytes = -1;
  bool UseBillboards = false;
  int64_t LastBillboardAt = -1;
  int32_t BillboardNo = -1;
  int64_t BillboardStep = 0;

  // False when v is the position already (nothing else then happens).
  bool Move(int64_t v);
  // After a move: the billboard to show now, -1 for none; at most one per move.
  int32_t NextBillboard();
};

// What the copy form does for the copy loop.
class TCopyHost {
public:
  virtual ~TCopyHost() = default;
  virtual void ShowGroup(const std::string& caption) = 0;     // repaint + process messages
  virtual void ShowFile(const std::string& expanded) = 0;     // repaint + process messages
  virtual void SetOverallBar(int64_t maximum) = 0;
  virtual void MoveOverallBar(int64_t position) = 0;          // only ever forward
  virtual void SetFileBar(int32_t percent) = 0;
  virtual void ProcessMessages() = 0;
  virtual void ShowBillboard(int32_t index) = 0;
  virtual std::string ExpandMacros(const std::string& text) = 0;
  virtual bool PlatformIncluded(TWindowsVersions platforms) = 0;
  virtual int InstallFile(const std::string& dest, const std::string& archiveFolder,
                          const TProgressHandler& onProgress, TUpdateMode rule,
                          TWindowsVersions platforms, const std::string& version) = 0;
  virtual int RegisterServerFile(const std::string& fileName) = 0;
  // Yes/No error question; true for Yes.
  virtual bool AskContinue(const std::string& message) = 0;
  virtual void CommitPendingRenames() = 0;
};

// "An Error occurred while extracting a file:\r\r" + text + "\r\rContinue with the Installation?"
std::string CopyErrorQuestion(const std::string& resultText);

// One copy: every file of every selected group of the selected components.
class TCopyRun {
public:
  TCopyRun(TTandrelBaseInstall& project, TCopyHost& host) : Project(project), Host(host) {}

  TTandrelBaseInstall& Project;
  TCopyHost& Host;
  TBillboardStepper Progress;
  int64_t FileBase = 0;
  int64_t FileSize = 0;
  bool Aborted = false;   // Cancel answered Yes, or No to the error question
  bool Damaged = false;   // an entry of the archive is missing or does not expand
  bool Restart = false;   // a file waits for the next start of Windows
  int64_t Total = 0;

  // Whole run; returns kCopyDone, kCopyCancelled, kCopyNeedsRestart or kCopyDamaged.
  uint8_t Run();
  void SetOverall(int64_t v);
  // The expander's progress: percent of the current file.
  void FileProgress(int32_t percent);

private:
  void CopyOneFile(TTandrelFileGroup& group, const TTandrelFile& file);
  int32_t filePercent_ = 0;  // the file bar starts at 0
};

// ---------------------------------------------------------------------------------------
// Shortcuts, INI values, registry.

constexpr uint8_t kOtherShortcuts = 0, kOtherIniValues = 1, kOtherRegistry = 2;

// "Creating Program Icons", "Updating INI Files", "Updating Registry Settings".
std::string OtherTaskCaption(uint8_t mode);
// The wizard's program folder when the folder page was shown, else the project's.
std::string ShortcutProgramFolder(const TTandrelBaseInstall& project);

// The writes of one registry key, each creating the key path first.
class TRegKeyWriter {
public:
  virtual ~TRegKeyWriter() = default;
  virtual int WriteRegString(const std::string& key, const std::string& name, const std::string& text) = 0;
  virtual int WriteRegInteger(const std::string& key, const std::string& name, int32_t number) = 0;
  virtual int WriteRegBinary(const std::string& key, const std::string& name, const std::string& hex) = 0;
  virtual void LogUninstallKey(const std::string& key) = 0;
};

// The key's values (not "(Default)", in any letter case), the uninstall mark, then its
// sub-keys depth first. A value whose write raises is skipped.
void ApplyRegKey(const TTandrelRegKey& key, TRegKeyWriter& writer);

class TOtherHost : public TRegKeyWriter {
public:
  virtual int CreateShortcut(const std::string& caption, const std::string& fileName,
                             const std::string& params, const std::string& workingDir, int groupType,
                             const std::string& programFolder) = 0;
  virtual int WriteIniValue(const std::string& file, const std::string& section, const std::string& key,
                            const std::string& value) = 0;
  virtual std::string ExpandMacros(const std::string& text) = 0;
};

// The work of one task; an item whose action raises is skipped and the task goes on.
void RunOtherWork(TTandrelBaseInstall& project, uint8_t mode, TOtherHost& host);
