// The setup engine's own decisions, apart from its windows: the command line, the
// background's billboard timer (its looks are BackgroundLayout's), the files taken out of archive 1, cutting
// archive 2 out of the package, and the install sequence in its order.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "base/Exceptions.h"
#include "setup/engine/BackgroundLayout.h"
#include "setup/model/InstClasses.h"
#include "setup/services/InstArchiveReader.h"

// ---------------------------------------------------------------- engine-wide values

extern std::string PackageFile;   // "/SOURCE=": the setup package
extern std::string DataFile;      // "/DATA=": the archive-1 file the launcher wrote
extern uint8_t ExitAction;        // 0 nothing, 2 restart Windows after the run
extern TWindowHandle ParentWnd;   // the background window, parent of every extension

constexpr uint8_t kExitRestart = 2;

// The engine's exit codes (and so the package's): 0 only for a completed installation.
constexpr int kExitCompleted = 0;
constexpr int kExitCancelled = 1;     // the user ended it (wizard, copy, the file error question)
constexpr int kExitConfigError = 2;   // "Invalid configuration file", setup could not start
constexpr int kExitDamaged = 3;       // the setup package is damaged
constexpr int kExitFailed = 4;        // another failure ended the installation

// Modal results the sequence deals in.
constexpr int kResultOk = 1;
constexpr int kResultCancel = 2;
constexpr int kCopyRestartNeeded = 4;
constexpr int kCopyPackageDamaged = 8;

// FinishAction bits of the complete page.
constexpr uint8_t kFinishRestartNow = 4;
constexpr uint8_t kFinishRunApp = 8;
constexpr uint8_t kFinishViewReadMe = 16;

// ---------------------------------------------------------------- command line

// Arguments 1 .. ParamCount (the program name left out).
bool IsUninstallMode(const std::vector<std::string>& args);
// The last "/SOURCE=" and "/DATA=" values; empty when missing.
void ReadInstallArgs(const std::vector<std::string>& args, std::string& packageFile,
                     std::string& dataFile);

// ---------------------------------------------------------------- background screen

// The billboard the preview timer shows next, and the index after it; -1 when the list
// is empty.
int TimerBillboard(int index, int count);
int NextTimerIndex(int index, int count);

// ---------------------------------------------------------------- install-mode start-up

enum class TSupportKind { Title, SideImage, Billboard, Extension };
struct TSupportFile {
  TSupportKind Kind;
  int Index = 0;              // billboard line or extension index
  std::string ArchiveFolder;  // "Logo", "CustomImage", "Billboards", "Support"
  std::string CopyPath;       // support folder + "\" + file name
  std::string Source;         // the author's path, which the build packed
};
// The files to take out of archive 1 after "Inst.cmp", in order. supportDir has no
// trailing backslash.
std::vector<TSupportFile> PlanSupportFiles(const TTandrelBaseInstall& project,
                                           const std::string& supportDir);
// Points the project at a copy that was taken out.
void UseSupportCopy(TTandrelBaseInstall& project, const TSupportFile& file);

// ---------------------------------------------------------------- the package's entries

// An entry the installation takes out: as many entries of that name (ignoring case) as the
// build writes, each of the size the project gives (-1: the project gives none).
struct TNeededEntry {
  std::string Name;
  int Count = 0;
  int64_t Size = -1;
};
// Archive 1: "Info\Inst.cmp" and the support files the start-up takes out (an extension
// file once per path, a billboard once per line, as the build packs them).
std::vector<TNeededEntry> NeededArchive1Entries(const TTandrelBaseInstall& project);
// Archive 2: every file of every group, in its group's folder, with its size.
std::vector<TNeededEntry> NeededArchive2Entries(const TTandrelBaseInstall& project);
// True when the listing holds every needed entry as often as needed, each of its size.
bool ArchiveHoldsEntries(const TCompressedFileList& listing, const std::vector<TNeededEntry>& needed);

// ---------------------------------------------------------------- archive 2

// The package is shorter than its own lengths say, or has no size marker.
TANDREL_EXCEPTION(EPackageError, base::Exception);
// "The setup package '<file>' is damaged." as the sequence shows it.
std::string DamagedPackageText(const std::string& packageFile);
// Copies archive 2 out of the package into archiveFile (replaced). A package without a
// marker, or shorter than its lengths, raises EPackageError; the partial file is deleted.
void CutPackageArchive2(const std::string& packageFile, const std::string& archiveFile);

// ---------------------------------------------------------------- the install sequence

// Runs the extensions of one point: the first working extension of that point, then the
// next, each freed once it went on. False as soon as one stops the setup.
bool RunExtensionsAt(TTandrelBaseInstall& project, TTandrelDialogType point,
                     TWindowHandle parentWnd, TWindowHandle dialogWnd);

// What the sequence needs from its window and the forms it opens.
class TInstallSequenceHost {
public:
  virtual ~TInstallSequenceHost() = default;
  virtual TWindowHandle WindowHandle() = 0;
  virtual void Repaint() = 0;
  virtual bool RunExtensions(TTandrelBaseInstall& project, TTandrelDialogType point);
  virtual int ExecuteInstDialogs(TTandrelBaseInstall& project) = 0;
  virtual void CutArchive(const std::string& packageFile, const std::string& archiveFile);
  virtual int RunCopyFiles(const std::string& archiveFile, TTandrelBaseInstall& project) = 0;
  virtual void RunOtherTask(TTandrelBaseInstall& project, int mode) = 0;
  // Creates the folder with its parents when missing and logs "CreateDir=".
  virtual void EnsureFolder(const std::string& folder) = 0;
  virtual std::string WriteTextFile(const std::string& fileName, const std::string& text);
  virtual bool SaveUninstallLog(const std::string& fileName);
  virtual void CreateUninstallEntry(const std::string& appName, const std::string& command) = 0;
  virtual std::string EnginePath() = 0;
  virtual void HideBillboard() = 0;
  virtual void ExecuteCompleteDialog(TTandrelBaseInstall& project) = 0;
  // False when the file could not be opened or started.
  virtual bool RunProgram(const std::string& fileName, const std::string& params) = 0;
  virtual void ShowError(const std::string& text) = 0;
  virtual void RemoveFile(const std::string& fileName) = 0;
  // Undoes what the uninstall log in memory holds: an installation that ends before its
  // end leaves the machine as it was.
  virtual void UndoInstall() {}
};

struct TInstallSequenceState {
  std::string SupportDir;   // with a trailing backslash
  std::string ArchiveFile;  // "Setup2.tmp" once cut out
  std::string ReadMePath;   // the ReadMe as written
  bool Committed = false;   // the uninstall log is saved: nothing is undone any more
  int ExitCode = kExitCancelled;
};

// The whole install sequence; returns kResultOk or kResultCancel. Never throws: a
// failure is shown through the host and ends the sequence with kResultCancel, after what
// was done so far has been undone; state.ExitCode tells how it ended.
int RunInstallSequence(TTandrelBaseInstall& project, TInstallSequenceHost& host,
                       TInstallSequenceState& state);

// Messages of the sequence's own failures.
std::string InstallFailureText(const std::string& reason);
std::string LogNotSavedText(const std::string& fileName);
std::string ReadMeNotOpenedText(const std::string& fileName);
