// The build of a setup package: checking that every file the package needs exists,
// compressing the support files and the file groups into two archives, and writing the
// package behind a copy of the launcher stub. The build dialog drives it through a host
// of callbacks; nothing here shows a window.
#pragma once
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "setup/compress/InstCompress.h"
#include "setup/model/InstClasses.h"
#include "setup/services/PackageLayout.h"
#include "resources/builder_texts.h"

constexpr const char* kStubFileName = "Setup.exe";
constexpr const char* kEngineFileName = "TandrelInstall.exe";
constexpr const char* kInfoFileName = "Inst.cmp";
constexpr const char* kSupportDirPrefix = "<SUPPORTDIR>\\";


// The build log: the dialog's memo in the builder.
class TBuildLog {
public:
  virtual ~TBuildLog() = default;
  virtual void Add(const std::string& line) = 0;
  virtual size_t Count() const = 0;
  virtual void ProcessMessages() {}
};

// Position and maximum of the overall bar, a line for the log (may be empty) and the
// group being compressed (may be empty).
using TBuildProgressEvent = std::function<void(int32_t Position, int32_t Maximum, const std::string& Message,
                                               const std::string& GroupName)>;

// 0 when the file was added as Folder + "\" + its file name; 100 when anything failed.
int AddFileToArchive(const std::string& ArchiveFile, const std::string& SourceFile, const std::string& Folder,
                     const TShowProgressEvent& Progress);
// The stub's size written behind its size marker; 0 when it has none. Raises the file
// layer's open error for a stub that is missing or locked.
int32_t WritePackageOffset(const std::string& StubPath);

// True when they added no line to the log. ValidateSupportFiles points every extension
// that travels in archive 1 at "<SUPPORTDIR>\" (and marks the project modified).
bool ValidateSupportFiles(TTandrelBaseInstall& Project, int32_t& Count, int64_t& Size, TBuildLog& Log);
bool ValidateGroupFiles(TTandrelBaseInstall& Project, int32_t& Count, int64_t& Size, TBuildLog& Log);

// 0 when every file was added, else the first failing result. Each adds its files one
// after another to ArchiveFile; the build itself compresses them on every core.
int CompressSupportFiles(TTandrelBaseInstall& Project, const std::string& ArchiveFile,
                         const TBuildProgressEvent& Progress, const TShowProgressEvent& CompressProgress);
int CompressGroupFiles(TTandrelBaseInstall& Project, const std::string& ArchiveFile,
                       const TBuildProgressEvent& Progress, const TShowProgressEvent& CompressProgress);

// Archive 1's files after the project's pictures, billboards and extensions, in order
// ("Logo", "CustomImage", "Billboards", "Support"), and archive 2's files by group.
std::vector<TArchiveItem> SupportFileItems(const TTandrelBaseInstall& Project);
std::vector<TArchiveItem> GroupFileItems(const TTandrelBaseInstall& Project);

// An archive without entries: its 21-byte header.
void WriteEmptyArchive(const std::string& ArchiveFile);

// The package's name: the project file's with extension ".exe".
std::string PackageOutputName(const std::string& ProjectFile);

enum class TOutputConflict { None, NoProjectFile, Stub, Engine, ProjectFile };
// Whether writing the output would destroy a file the build itself reads.
TOutputConflict CheckOutputName(const std::string& Output, const std::string& ProjectFile,
                                const std::string& BuilderFolder);
std::string OutputConflictText(TOutputConflict Conflict, const std::string& Output);

// What the build needs from its dialog.
struct TBuildHost {
  TBuildLog* Log = nullptr;
  // Yes/No question; true for Yes.
  std::function<bool(const std::string& Question)> Confirm;
  std::function<void(const std::string& Text)> ShowError;
  // true when the build starts (after the overwrite question), false when it ends,
  // also when it fails.
  std::function<void(bool Building)> SetBuilding;
  TBuildProgressEvent Progress;
  TShowProgressEvent CompressProgress;
  std::function<void()> Beep;
  // Threads that compress entries; 0 for one per core. The package's bytes are the same
  // whatever the number.
  unsigned Threads = 0;
};

enum class TBuildResult { NotStarted, Failed, Succeeded };
// The whole build of the Start button. Failures the author must see in a box go to
// ShowError; a stub that cannot be opened raises its open error once the temporary files
// are gone and SetBuilding(false) has run.
TBuildResult BuildSetupPackage(TTandrelBaseInstall& Project, const std::string& ProjectFile,
                               const std::string& BuilderFolder, TBuildHost& Host);
