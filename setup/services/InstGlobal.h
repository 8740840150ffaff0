// Unit InstGlobal: state and services that the setup engine and the builder share:
// directory macros and user variables, the Windows version, the busy cursor, installing
// one file, the uninstall log and entry, the package offset and the install results.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "base/Exceptions.h"
#include "setup/services/InstTypes.h"

// ---------------------------------------------------------------------------------------
// Install results: 0 success, 100-115 failures with a message, 116 replaced at restart.

constexpr int irSuccess = 0;
constexpr int irAddFileFailed = 100;          // builder only
constexpr int irBackupFailed = 101;
constexpr int irInstallFailed = 102;
constexpr int irShortcutFailed = 103;
constexpr int irUninstallCreateFailed = 104;
constexpr int irUninstallRemoveFailed = 105;
constexpr int irOleInitFailed = 106;
constexpr int irRegisterFailed = 107;
constexpr int irUnregisterFailed = 108;
constexpr int irServerFileMissing = 109;
constexpr int irEntryPointMissing = 110;
constexpr int irRegistryKeyFailed = 111;      // unrecognised root, or key not opened/created
constexpr int irRegistryKeyExists = 112;      // not a failure for value writes
constexpr int irRegistryKeyNotDeleted = 113;
constexpr int irRegistryValueNotWritten = 114;
constexpr int irRegistryValueNotDeleted = 115;
constexpr int irFileInUse = 116;              // no message

// The message of a result with FileName in the place of "%s"; empty for codes without one.
std::string InstallErrorText(int code, const std::string& fileName);

// Registry failures that the services let pass to their caller.
TANDREL_EXCEPTION(ERegistryException, base::Exception);
// The class library's directory forcing on an empty path: "Unable to create directory".
TANDREL_EXCEPTION(EInOutError, base::Exception);
// The string list's index error (a name that an archive does not hold).
TANDREL_EXCEPTION(EStringListError, base::Exception);
// An archive that lacks an entry it should hold, or whose data do not expand: the package
// is damaged, which no single file's error question can mend.
TANDREL_EXCEPTION(EArchiveDamaged, base::Exception);

// ---------------------------------------------------------------------------------------
// Directory macros, user variables.

// The directory macros ("<WINDIR>=C:\WINDOWS", ...); built on first use.
TNameValueList& DirMacros();
// Lines "[group]=destination"; replaced by the wizard when it finishes.
TNameValueList& UserVariables();

std::string GetDirMacro(const std::string& name);     // empty for an unknown name
void SetDirMacro(const std::string& name, const std::string& value);  // "<INSTALLDIR>", ...
std::string GetUserVariable(const std::string& name);  // empty for an unknown name
// User variables first, then directory macros; ignores case; always ends.
std::string ExpandMacros(const std::string& text);

std::string AddBackslash(const std::string& path);     // "" -> "\", "C:" -> "C:\"
std::string RemoveBackslash(const std::string& path);  // one trailing "\" at most

// Folders the directory macros are built from (gathered from the system).
struct TSystemFolders {
  std::string WindowsDir;        // as reported, may end with "\"
  std::string SystemDir;
  std::string ProgramFilesDir;   // empty when the registry has none
  bool CurrentVersionKey = false;  // HKLM ...\CurrentVersion could be opened
  std::string CommonFilesDir;
  std::string FontsDir;
  bool ShellFoldersKey = false;    // HKCU ...\Shell Folders could be opened
  std::string ProgramDir;        // folder of the running program file
};
// The macro lines in their fixed order, with the defaults for missing values.
TNameValueList BuildDirMacros(const TSystemFolders& folders);
TSystemFolders GatherSystemFolders();

// The four system folders: "<WINDIR>", "<WINSYSDIR>", "<FONTDIR>", "<CommonFilesDir>".
bool IsSystemFolder(const std::string& folder);

// ---------------------------------------------------------------------------------------
// Windows version.

// The version read at start: platform 1 (95 family) or 2 (NT), major and minor version.
TWindowsVersion ClassifyWindowsVersion(unsigned platformId, unsigned major, unsigned minor);
TWindowsVersion DetectWindowsVersion();
extern TWindowsVersion WindowsVersion;

// ---------------------------------------------------------------------------------------
// Busy cursor (nested hourglass).

void BeginBusyCursor();
void EndBusyCursor();
// The forms layer may route the "screen cursor" through its own object.
struct TBusyCursorHooks {
  intptr_t (*GetCursor)();
  void (*SetCursor)(intptr_t cursor);
  intptr_t (*HourglassCursor)();
  void (*ProcessMessages)();
};
void SetBusyCursorHooks(const TBusyCursorHooks& hooks);
int BusyCursorDepth();

// ---------------------------------------------------------------------------------------
// Uninstall log: newest line first, saved as "UnInst.log" with CR LF line ends.

// InstalledFile is "CreateFile", MovedFile is "MoveFile" (the Win32 headers take the
// plain names as macros).
enum class TLogKeyword {
  CreateDir, InstalledFile, CreateFolderPM, CreateFilePM, RegisterFile, IncUsageCount,
  CreateIniValue, AddRegValue, CreateRegKey, UninstallKey, MovedFile, CreateBackupFolder
};
// "CreateDir", "CreateFile", "CreateFolder_PM", ... (without "=").
const char* LogKeywordName(TLogKeyword keyword);

void AddUninstallLogLine(const std::string& line);
void AddToLog(TLogKeyword keyword, const std::string& argument);  // keyword "=" argument
void ClearUninstallLog();
bool SaveUninstallLog(const std::string& fileName);  // false when writing failed
// Before a log is saved where an earlier installation's log lies: that log's lines join
// the list (MergeUninstallLogs), and a shared file both raised is lowered once again, so
// that one product counts once.
void MergeEarlierUninstallLog(const std::string& fileName);
const std::vector<std::string>& UninstallLog();      // newest first

// ---------------------------------------------------------------------------------------
// Package offset, text files.

// The 32-bit value behind "ZEM_SIZE" in the file; 0 when there is none.
int32_t ReadPackageOffset(const std::string& fileName);
// Writes a ReadMe or licence text as ".rtf" or ".txt"; logs "CreateFile=".
void WriteTextFile(const std::string& fileName, const std::string& text, std::string& finalName);

// ---------------------------------------------------------------------------------------
// Replacement at restart.

struct TPendingRename {
  std::string FileName;     // the file to replace
  std::string PendingCopy;  // the new copy waiting beside it
};
// Appends to the restart list; an empty copy means FileName with extension ".New".
void AddPendingRename(const std::string& fileName, const std::string& pendingCopy = "");
const std::vector<TPendingRename>& PendingRenames();
// Schedules every listed replacement for the next start of Windows; false when one could
// not be scheduled (those files are added to failed when given).
bool CommitPendingRenames(std::vector<std::string>* failed = nullptr);

// Empties the macros, variables, log and restart list (tests; a fresh run).
void ResetInstGlobalState();

// DecSharedDllCount's answer when the lowered count could not be written.
constexpr int kSharedCountNotWritten = -1;

#ifdef _WIN32
// ---------------------------------------------------------------------------------------
// Win32 services.

std::string GetShortPath(const std::string& path);  // empty when the call fails
bool ClearReadOnly(const std::string& fileName);

// Makes the folder with every missing parent and logs "CreateDir=" for each level made,
// outermost first (the folder itself even when it could not be made); "" raises EInOutError.
void ForceDirectoriesLogged(const std::string& folder);

// Puts one file of a group from an archive onto the disk: 0, 101, 102 or 116. An entry
// that is missing or does not expand raises EArchiveDamaged (nothing is left of it).
int InstallFile(const std::string& archiveFile, const std::string& destFile,
                const std::string& archiveFolder, const TProgressHandler& onShowProgress,
                TUpdateMode updateMethod, const std::string& backupFolder,
                TWindowsVersions platforms, const std::string& version);
bool DeleteExistingFile(const std::string& fileName);
int BackupFile(const std::string& fileName, const std::string& backupFolder);
// The new count, 0 when not counted. A file that was on the disk before this installation
// without a count belongs to an earlier owner too: it starts at 2, so that this product's
// uninstall keeps it.
int IncSharedDllCount(const std::string& fileName, bool existedBefore = false);
// The new count (a count of 0 is deleted: the file is then nobody's); 99 when not counted;
// kSharedCountNotWritten when the lowered count could not be written (the file is kept).
int DecSharedDllCount(const std::string& fileName);

// The Windows folder's "WININIT.INI"; "" when the folder cannot be read.
std::string WininitFileName();
// Writes text as the whole of the file: into a new file beside it, then put in its
// place, so a failed write leaves the old file whole. False when it was not written.
bool ReplaceFileText(const std::string& fileName, const std::string& text);

// HKLM "SOFTWARE\Microsoft\Windows\CurrentVersion\Uninstall\" + AppName.
int CreateUninstallEntry(const std::string& appName, const std::string& uninstallString);
int RemoveUninstallEntry(const std::string& appName);
// The "UninstallString" of every uninstall entry but appName's.
std::vector<std::string> OtherUninstallCommands(const std::string& appName);
#endif

// The uninstall command: "engine" "/UNINST=<folder>UnInst.log " "/APPNAME=<name>".
std::string ComposeUninstallString(const std::string& enginePath, const std::string& installDir,
                                   const std::string& appName);

// The sibling units of InstGlobal.
#if __has_include("setup/services/InstActions.h")
#include "setup/services/InstActions.h"
#endif
#if __has_include("setup/services/InstFileInfo.h")
#include "setup/services/InstFileInfo.h"
#endif
#if __has_include("setup/services/InstSelfReg.h")
#include "setup/services/InstSelfReg.h"
#endif
