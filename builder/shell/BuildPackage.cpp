#include "builder/shell/BuildPackage.h"

#include <ctime>
#include <memory>

#include "base/Strings.h"
#include "builder/shell/BuilderSettings.h"
#include "setup/compress/InstCompressIntf.h"
#include "setup/model/InstPlatform.h"
#include "setup/services/InstGlobal.h"

#ifdef _WIN32
#include <windows.h>

#include "base/win/Handle.h"
#else
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#endif

namespace {

// ------------------------------------------------------------------ the file system

#ifdef _WIN32
uint16_t FileAttrOf(const std::string& f) {
  DWORD a = GetFileAttributesA(f.c_str());
  return a == INVALID_FILE_ATTRIBUTES ? 0 : static_cast<uint16_t>(a);
}

// The class library's FileAge: last write in local time, packed DOS date and time, found
// by a directory search (the 95 family has no GetFileAttributesExA).
int32_t FileAgeOf(const std::string& f) {
  WIN32_FIND_DATAA fd;
  base::win::FindHandle find(FindFirstFileA(f.c_str(), &fd));
  FILETIME local;
  WORD date = 0, time = 0;
  if (!find || !FileTimeToLocalFileTime(&fd.ftLastWriteTime, &local) || !FileTimeToDosDateTime(&local, &date, &time))
    return -1;
  return static_cast<int32_t>((static_cast<uint32_t>(date) << 16) | time);
}

int64_t FileSizeBySearch(const std::string& f) {
  WIN32_FIND_DATAA fd;
  base::win::FindHandle find(FindFirstFileA(f.c_str(), &fd));
  if (!find) return -1;
  return (static_cast<int64_t>(fd.nFileSizeHigh) << 32) | fd.nFileSizeLow;
}

void RemoveFile(const std::string& f) { DeleteFileA(f.c_str()); }
bool MakeFolder(const std::string& d) { return CreateDirectoryA(d.c_str(), nullptr) != 0; }
void RemoveFolder(const std::string& d) { RemoveDirectoryA(d.c_str()); }

bool ReplaceWith(const std::string& finished, const std::string& target) {
  if (MoveFileExA(finished.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING)) return true;
  // The 95 family has no MoveFileExA.
  if (GetLastError() != ERROR_CALL_NOT_IMPLEMENTED) return false;
  DWORD a = GetFileAttributesA(target.c_str());
  if (a != INVALID_FILE_ATTRIBUTES && !DeleteFileA(target.c_str())) return false;
  return MoveFileA(finished.c_str(), target.c_str()) != 0;
}

std::string UniqueFileIn(const std::string& folder) {
  char name[MAX_PATH + 1] = {};
  std::string dir = folder.empty() ? "." : folder;
  if (GetTempFileNameA(dir.c_str(), "Zem", 0, name) == 0)
    throw base::EFCreateError("Cannot create file " + base::IncludeTrailingBackslash(dir) + "Zem*.tmp");
  return name;
}

std::string FullPath(const std::string& f) {
  char buf[MAX_PATH * 2];
  char* part = nullptr;
  DWORD n = GetFullPathNameA(f.c_str(), sizeof buf, buf, &part);
  return n == 0 || n >= sizeof buf ? f : std::string(buf, n);
}

// Two names of one file: the same full path, or the same file by its volume and index
// (short names, other spellings of the folder).
bool SameFile(const std::string& a, const std::string& b) {
  if (base::AnsiSameText(FullPath(a), FullPath(b))) return true;
  auto identity = [](const std::string& f, BY_HANDLE_FILE_INFORMATION& info) {
    base::win::Handle h(CreateFileA(f.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                    OPEN_EXISTING, 0, nullptr));
    return h && GetFileInformationByHandle(h.get(), &info);
  };
  BY_HANDLE_FILE_INFORMATION x, y;
  return identity(a, x) && identity(b, y) && x.dwVolumeSerialNumber == y.dwVolumeSerialNumber &&
         x.nFileIndexHigh == y.nFileIndexHigh && x.nFileIndexLow == y.nFileIndexLow;
}
#else
uint16_t FileAttrOf(const std::string& f) {
  struct stat st;
  if (::stat(f.c_str(), &st) != 0) return 0;
  return static_cast<uint16_t>(0x20 | ((st.st_mode & 0200) ? 0 : 0x01));
}

int32_t FileAgeOf(const std::string& f) {
  struct stat st;
  if (::stat(f.c_str(), &st) != 0) return -1;
  std::tm t{};
  localtime_r(&st.st_mtime, &t);
  if (t.tm_year < 80) return -1;
  uint32_t date = (static_cast<uint32_t>(t.tm_year - 80) << 9) | (static_cast<uint32_t>(t.tm_mon + 1) << 5) |
                  static_cast<uint32_t>(t.tm_mday);
  uint32_t time = (static_cast<uint32_t>(t.tm_hour) << 11) | (static_cast<uint32_t>(t.tm_min) << 5) |
                  static_cast<uint32_t>(t.tm_sec / 2);
  return static_cast<int32_t>((date << 16) | time);
}

int64_t FileSizeBySearch(const std::string& f) {
  struct stat st;
  return ::stat(f.c_str(), &st) == 0 && S_ISREG(st.st_mode) ? static_cast<int64_t>(st.st_size) : -1;
}

void RemoveFile(const std::string& f) { ::unlink(f.c_str()); }
bool MakeFolder(const std::string& d) { return ::mkdir(d.c_str(), 0700) == 0; }
void RemoveFolder(const std::string& d) { ::rmdir(d.c_str()); }
bool ReplaceWith(const std::string& finished, const std::string& target) {
  return std::rename(finished.c_str(), target.c_str()) == 0;
}

std::string UniqueFileIn(const std::string& folder) {
  std::string pattern = (folder.empty() ? std::string("./") : folder) + "ZemXXXXXX.tmp";
  int fd = mkstemps(pattern.data(), 4);
  if (fd < 0) throw base::EFCreateError("Cannot create file " + pattern);
  ::close(fd);
  return pattern;
}

bool SameFile(const std::string& a, const std::string& b) {
  struct stat x, y;
  if (::stat(a.c_str(), &x) == 0 && ::stat(b.c_str(), &y) == 0) return x.st_dev == y.st_dev && x.st_ino == y.st_ino;
  return a == b;
}
#endif

// Path separator of the running system, for the folders of temporary files.
std::string WithSeparator(const std::string& folder) {
#ifdef _WIN32
  return base::IncludeTrailingBackslash(folder);
#else
  return folder.empty() || folder.back() == '/' ? folder : folder + "/";
#endif
}

// The temporary files of one build, deleted newest first whatever happens.
class TBuildTemporaries {
public:
  TBuildTemporaries() = default;
  TBuildTemporaries(const TBuildTemporaries&) = delete;
  TBuildTemporaries& operator=(const TBuildTemporaries&) = delete;
  ~TBuildTemporaries() {
    for (auto it = items_.rbegin(); it != items_.rend(); ++it) (it->folder ? RemoveFolder : RemoveFile)(it->name);
  }
  std::string NewFile() {
    items_.push_back({NewTempFileName(), false});
    return items_.back().name;
  }
  std::string NewFileIn(const std::string& folder) {
    items_.push_back({UniqueFileIn(folder), false});
    return items_.back().name;
  }
  void Track(const std::string& file) { items_.push_back({file, false}); }
  // The name of a fresh temporary file turned into a folder of this build's own.
  std::string OwnFolder(const std::string& reservedFile) {
    RemoveFile(reservedFile);
    if (!MakeFolder(reservedFile)) throw base::EFCreateError("Cannot create folder " + reservedFile);
    for (auto& i : items_)
      if (i.name == reservedFile) i.folder = true;
    return WithSeparator(reservedFile);
  }

private:
  struct Item {
    std::string name;
    bool folder;
  };
  std::vector<Item> items_;
};

bool BeginsWithSupportDir(const std::string& executable) {
  return executable.compare(0, std::char_traits<char>::length(kSupportDirPrefix), kSupportDirPrefix) == 0;
}

bool ShowsBillboards(const TTandrelBaseInstall& p) { return InSet(p.DialogTypes, dtBillboards); }

// The extension files of archive 1: RealFile of every extension pointed at the support
// folder, once per path.
std::vector<std::string> SupportExtensionFiles(const TTandrelBaseInstall& p) {
  std::vector<std::string> files;
  for (auto* ext : p.Extensions) {
    if (!BeginsWithSupportDir(ext->Executable)) continue;
    bool known = false;
    for (auto& f : files) known = known || base::AnsiSameText(f, ext->RealFile);
    if (!known) files.push_back(ext->RealFile);
  }
  return files;
}

void AddMissing(TBuildLog& log, const std::string& file) { log.Add(InstallErrorText(irServerFileMissing, file)); }

// Counts a file that exists, logs one that does not.
void CheckFile(const std::string& file, int32_t& count, int64_t& size, TBuildLog& log) {
  if (base::FileExists(file)) {
    ++count;
    size += FileSizeBySearch(file);
  } else {
    AddMissing(log, file);
  }
}

void LogClashes(const std::vector<TArchiveItem>& items, TBuildLog& log) {
  for (const auto& clash : FindEntryClashes(items)) log.Add(EntryClashText(clash));
}

void CopyStreamInto(base::Stream& dest, const std::string& sourceFile, bool withLength) {
  base::FileStream source(sourceFile, base::fmOpenRead | base::fmShareDenyWrite);
  const int64_t size = source.Size();
  if (withLength) {
    if (size > INT32_MAX) throw base::EWriteError("The archive " + sourceFile + " is larger than 2 GB");
    const uint32_t v = static_cast<uint32_t>(size);
    const uint8_t b[4] = {static_cast<uint8_t>(v), static_cast<uint8_t>(v >> 8), static_cast<uint8_t>(v >> 16),
                          static_cast<uint8_t>(v >> 24)};
    dest.WriteBuffer(b, 4);
  }
  if (size > 0) dest.CopyFrom(source, size);
}

}  // namespace

// ------------------------------------------------------------------ archives

int AddFileToArchive(const std::string& ArchiveFile, const std::string& SourceFile, const std::string& Folder,
                     const TShowProgressEvent& Progress) {
  try {
    base::FileStream source(SourceFile, base::fmOpenRead | base::fmShareDenyWrite);
    // Entry sizes are 32-bit.
    if (source.Size() > INT32_MAX) return irAddFileFailed;
    CompressFileToArchive(ArchiveFile, source, ArchiveEntryName(Folder, SourceFile), FileAgeOf(SourceFile),
                          FileAttrOf(SourceFile), Progress);
    return irSuccess;
  } catch (...) {
    return irAddFileFailed;
  }
}

int32_t WritePackageOffset(const std::string& StubPath) {
  base::FileStream stub(StubPath, base::fmOpenReadWrite | base::fmShareExclusive);
  return PatchSizeMarker(stub, "ZEM_SIZE");
}

void WriteEmptyArchive(const std::string& ArchiveFile) {
  TTandrelInstCompress compress;
  TCompressedHeader header;
  compress.InitHeader(header, TTandrelInstCompress::MethodIDs[cmLH5], caMulti, 0);
  base::FileStream out(ArchiveFile, base::fmCreate);
  WriteHeaderTo(out, header);
}

std::vector<TArchiveItem> SupportFileItems(const TTandrelBaseInstall& p) {
  std::vector<TArchiveItem> items;
  if (p.IsBitmap && base::FileExists(p.TitleCaption)) items.push_back({"Logo", p.TitleCaption});
  if (p.CustomImage && base::FileExists(p.CustomImagePath)) items.push_back({"CustomImage", p.CustomImagePath});
  if (ShowsBillboards(p))
    for (const auto& b : p.BillBoards) items.push_back({"Billboards", b});
  for (const auto& f : SupportExtensionFiles(p)) items.push_back({"Support", f});
  return items;
}

std::vector<TArchiveItem> GroupFileItems(const TTandrelBaseInstall& p) {
  std::vector<TArchiveItem> items;
  for (auto* g : p.Groups)
    for (auto* f : g->Files) items.push_back({g->Name(), f->FileName});
  return items;
}

// ------------------------------------------------------------------ validation

bool ValidateSupportFiles(TTandrelBaseInstall& Project, int32_t& Count, int64_t& Size, TBuildLog& Log) {
  Count = 0;
  Size = 0;
  const size_t lines = Log.Count();
  if (Project.IsBitmap) CheckFile(Project.TitleCaption, Count, Size, Log);
  Log.ProcessMessages();
  if (Project.CustomImage) CheckFile(Project.CustomImagePath, Count, Size, Log);
  Log.ProcessMessages();
  if (ShowsBillboards(Project))
    for (const auto& b : Project.BillBoards) CheckFile(b, Count, Size, Log);
  Log.ProcessMessages();
  std::vector<std::string> counted;
  for (auto* ext : Project.Extensions) {
    if (!BeginsWithSupportDir(ext->Executable)) {
      // A group file run before the files are copied must travel in archive 1 too.
      if (ext->IsGroupFile() && ext->When > dtStartCopying) continue;
      ext->Executable = kSupportDirPrefix + base::ExtractFileName(ext->RealFile);
      Project.Modified = true;
    }
    bool known = false;
    for (auto& c : counted) known = known || base::AnsiSameText(c, ext->RealFile);
    if (known) continue;
    ++Count;
    // Not tested for existence here: a missing extension file fails when it is packed.
    int64_t s = FileSizeBySearch(ext->RealFile);
    Size += s;
    counted.push_back(ext->RealFile);
  }
  const std::vector<TArchiveItem> support = SupportFileItems(Project);
  LogClashes(support, Log);
  for (const auto& clash : FindSupportFolderClashes(support)) Log.Add(SupportClashText(clash));
  return Log.Count() == lines;
}

bool ValidateGroupFiles(TTandrelBaseInstall& Project, int32_t& Count, int64_t& Size, TBuildLog& Log) {
  Count = 0;
  Size = 0;
  const size_t lines = Log.Count();
  for (auto* g : Project.Groups) {
    g->RefreshFiles();
    for (auto* f : g->Files) {
      if (base::FileExists(f->FileName)) {
        ++Count;
        Size += f->Size;
      } else {
        AddMissing(Log, f->FileName);
      }
    }
  }
  LogClashes(GroupFileItems(Project), Log);
  return Log.Count() == lines;
}

// ------------------------------------------------------------------ compression

int CompressSupportFiles(TTandrelBaseInstall& Project, const std::string& ArchiveFile,
                         const TBuildProgressEvent& Progress, const TShowProgressEvent& CompressProgress) {
  int32_t total = 0;
  if (Project.IsBitmap && base::FileExists(Project.TitleCaption)) ++total;
  if (Project.CustomImage && base::FileExists(Project.CustomImagePath)) ++total;
  if (ShowsBillboards(Project)) total += static_cast<int32_t>(Project.BillBoards.size());
  for (auto* ext : Project.Extensions)
    if (BeginsWithSupportDir(ext->Executable)) ++total;
  if (Progress) Progress(0, total, "", "");
  int32_t done = 0;
  for (const TArchiveItem& item : SupportFileItems(Project)) {
    int r = AddFileToArchive(ArchiveFile, item.SourceFile, item.Folder, CompressProgress);
    if (r != irSuccess) {
      if (Progress) Progress(done, total, InstallErrorText(r, item.SourceFile), "");
      return r;
    }
    ++done;
    if (Progress) Progress(done, total, "", "");
  }
  return irSuccess;
}

int CompressGroupFiles(TTandrelBaseInstall& Project, const std::string& ArchiveFile,
                       const TBuildProgressEvent& Progress, const TShowProgressEvent& CompressProgress) {
  const int32_t count = Project.Groups.Count();
  if (Progress) Progress(0, count, "", "");
  int32_t done = 0;
  for (auto* g : Project.Groups) {
    if (Progress) Progress(done, count, "", g->Name());
    g->RefreshFiles();
    for (auto* f : g->Files) {
      int r = AddFileToArchive(ArchiveFile, f->FileName, g->Name(), CompressProgress);
      if (r != irSuccess) {
        if (Progress) Progress(0, count, InstallErrorText(r, f->FileName), "");
        return r;
      }
    }
    ++done;
    if (Progress) Progress(done, count, "", g->Name());
  }
  return irSuccess;
}

// ------------------------------------------------------------------ the build

std::string PackageOutputName(const std::string& ProjectFile) { return base::ChangeFileExt(ProjectFile, ".exe"); }

TOutputConflict CheckOutputName(const std::string& Output, const std::string& ProjectFile,
                                const std::string& BuilderFolder) {
  if (ProjectFile.empty() || base::ExtractFileName(ProjectFile).empty()) return TOutputConflict::NoProjectFile;
  const std::string folder = WithSeparator(BuilderFolder);
  if (SameFile(Output, ProjectFile)) return TOutputConflict::ProjectFile;
  if (SameFile(Output, folder + kStubFileName)) return TOutputConflict::Stub;
  if (SameFile(Output, folder + kEngineFileName)) return TOutputConflict::Engine;
  return TOutputConflict::None;
}

std::string OutputConflictText(TOutputConflict Conflict, const std::string& Output) {
  const std::string head = "The setup file '" + Output + "' would replace ";
  const std::string tail = ". Save the project under another name before building it.";
  switch (Conflict) {
    case TOutputConflict::NoProjectFile: return kMsgNotSaved;
    case TOutputConflict::Stub: return head + "the launcher stub \"Setup.exe\" that every build needs" + tail;
    case TOutputConflict::Engine: return head + "the setup engine \"TandrelInstall.exe\" that every build needs" + tail;
    case TOutputConflict::ProjectFile: return head + "the project file itself" + tail;
    case TOutputConflict::None: break;
  }
  return std::string();
}

namespace {

// Runs SetBuilding(false) however the build ends.
class TBuildingScope {
public:
  explicit TBuildingScope(TBuildHost& host) : host_(host) {
    if (host_.SetBuilding) host_.SetBuilding(true);
  }
  ~TBuildingScope() {
    if (host_.SetBuilding) host_.SetBuilding(false);
  }
  TBuildingScope(const TBuildingScope&) = delete;
  TBuildingScope& operator=(const TBuildingScope&) = delete;

private:
  TBuildHost& host_;
};

void Fail(TBuildHost& host) {
  if (host.ShowError) host.ShowError(kMsgBuildError);
}

std::string FilesLine(int32_t count, int64_t size) {
  return "Files : " + base::IntToStr(count) + "   Size : " + FormatSizeK64(size);
}

}  // namespace

TBuildResult BuildSetupPackage(TTandrelBaseInstall& Project, const std::string& ProjectFile,
                               const std::string& BuilderFolder, TBuildHost& Host) {
  TBuildLog& log = *Host.Log;
  const std::string output = PackageOutputName(ProjectFile);
  TOutputConflict conflict = CheckOutputName(output, ProjectFile, BuilderFolder);
  if (conflict != TOutputConflict::None) {
    if (Host.ShowError) Host.ShowError(OutputConflictText(conflict, output));
    return TBuildResult::NotStarted;
  }
  if (base::FileExists(output) && !(Host.Confirm && Host.Confirm(kMsgOverwrite))) return TBuildResult::NotStarted;

  bool success = false;
  {
    TBuildingScope building(Host);
    log.Add("Validating Baggage");
    log.ProcessMessages();
    int32_t count = 0;
    int64_t size = 0;
    if (!ValidateSupportFiles(Project, count, size, log)) return TBuildResult::Failed;
    log.Add(FilesLine(count, size));
    log.ProcessMessages();
    log.Add("Validating Files");
    if (!ValidateGroupFiles(Project, count, size, log)) return TBuildResult::Failed;
    log.Add(FilesLine(count, size));
    log.ProcessMessages();

    TBuildTemporaries temps;
    const std::string image = temps.NewFile();
    const std::string archive1 = temps.NewFile();
    const std::string archive2 = temps.NewFile();
    // "Inst.cmp" must keep its name inside the package, so it lives in a folder of this
    // build's own.
    const std::string infoFile = temps.OwnFolder(temps.NewFile()) + kInfoFileName;
    temps.Track(infoFile);

    const std::string folder = WithSeparator(BuilderFolder);
    if (WritePackageOffset(folder + kStubFileName) < 1) {
      Fail(Host);
      return TBuildResult::Failed;
    }
    RemoveFile(archive1);
    RemoveFile(archive2);

    const std::string engine = folder + kEngineFileName;
    if (int r = AddFileToArchive(archive1, engine, "Installer", nullptr); r != irSuccess) {
      log.Add(InstallErrorText(r, engine));
      Fail(Host);
      return TBuildResult::Failed;
    }
    const bool modified = Project.Modified;
    const bool saved = Project.SaveToFile(infoFile);
    Project.Modified = modified;
    if (!saved) {
      Fail(Host);
      return TBuildResult::Failed;
    }
    if (int r = AddFileToArchive(archive1, infoFile, "Info", nullptr); r != irSuccess) {
      log.Add(InstallErrorText(r, infoFile));
      Fail(Host);
      return TBuildResult::Failed;
    }
    if (CompressSupportFiles(Project, archive1, Host.Progress, Host.CompressProgress) != irSuccess ||
        CompressGroupFiles(Project, archive2, Host.Progress, Host.CompressProgress) != irSuccess) {
      Fail(Host);
      return TBuildResult::Failed;
    }
    // No group holds a file: the package still carries a whole, empty archive 2.
    if (!base::FileExists(archive2)) WriteEmptyArchive(archive2);

    {
      base::FileStream out(image, base::fmCreate);
      CopyStreamInto(out, folder + kStubFileName, false);
      CopyStreamInto(out, archive1, true);
      CopyStreamInto(out, archive2, true);
    }
    log.Add("Building Image");
    log.Add("   " + output);
    log.ProcessMessages();
    // Written beside the output and put in its place whole, so that a failure never
    // leaves a partial package under the output name.
    const std::string pending = temps.NewFileIn(base::ExtractFilePath(output));
    {
      base::FileStream out(pending, base::fmCreate);
      CopyStreamInto(out, image, false);
    }
    if (!ReplaceWith(pending, output)) throw base::EFCreateError("Cannot create file " + output);
    success = true;
  }
  if (!success) return TBuildResult::Failed;
  log.Add("");
  log.Add("Successful Build");
  log.Add("Image Size : " + FormatSizeK64(FileSizeBySearch(output)));
  if (Host.Beep) Host.Beep();
  return TBuildResult::Succeeded;
}
