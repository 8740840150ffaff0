#include "builder/common/BuildPackage.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <mutex>
#include <thread>

#include "base/Streams.h"
#include "base/Strings.h"
#include "builder/common/BuilderSettings.h"
#include "builder/common/EntryPipeline.h"
#include "setup/compress/ArchiveWriter.h"
#include "setup/compress/InstCompressIntf.h"
#include "setup/model/InstPlatform.h"
#include "setup/services/InstGlobal.h"
#include "resources/builder_texts.h"

namespace {

// The temporary files of one build, deleted newest first whatever happens.
class TBuildTemporaries {
public:
  TBuildTemporaries() = default;
  TBuildTemporaries(const TBuildTemporaries&) = delete;
  TBuildTemporaries& operator=(const TBuildTemporaries&) = delete;
  ~TBuildTemporaries() {
    for (auto it = items_.rbegin(); it != items_.rend(); ++it)
      (it->folder ? base::RemoveDir : base::RemoveFile)(it->name);
  }
  std::string NewFile() {
    items_.push_back({NewTempFileName(), false});
    return items_.back().name;
  }
  std::string NewFileIn(const std::string& folder) {
    items_.push_back({base::CreateTempFileIn(folder, "Zem"), false});
    return items_.back().name;
  }
  void Track(const std::string& file) { items_.push_back({file, false}); }
  // The name of a fresh temporary file turned into a folder of this build's own.
  std::string OwnFolder(const std::string& reservedFile) {
    base::RemoveFile(reservedFile);
    if (!base::CreateDir(reservedFile)) throw base::EFCreateError(texts::CannotCreateFolder(reservedFile));
    for (auto& i : items_)
      if (i.name == reservedFile) i.folder = true;
    return base::IncludeTrailingPathDelimiter(reservedFile);
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
    size += base::FileSize(file);
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
    if (size > INT32_MAX) throw base::EWriteError(texts::ArchiveTooLarge(sourceFile));
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
    CompressFileToArchive(ArchiveFile, source, ArchiveEntryName(Folder, SourceFile), base::FileAge(SourceFile),
                          base::FileGetAttr(SourceFile), Progress);
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
    int64_t s = base::FileSize(ext->RealFile);
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

namespace {
// The support files' progress counts every extension in the support folder, though the
// files are added once per path.
int32_t SupportProgressTotal(const TTandrelBaseInstall& Project) {
  int32_t total = 0;
  if (Project.IsBitmap && base::FileExists(Project.TitleCaption)) ++total;
  if (Project.CustomImage && base::FileExists(Project.CustomImagePath)) ++total;
  if (ShowsBillboards(Project)) total += static_cast<int32_t>(Project.BillBoards.size());
  for (auto* ext : Project.Extensions)
    if (BeginsWithSupportDir(ext->Executable)) ++total;
  return total;
}
}  // namespace

int CompressSupportFiles(TTandrelBaseInstall& Project, const std::string& ArchiveFile,
                         const TBuildProgressEvent& Progress, const TShowProgressEvent& CompressProgress) {
  const int32_t total = SupportProgressTotal(Project);
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
  const std::string folder = base::IncludeTrailingPathDelimiter(BuilderFolder);
  if (base::SameFile(Output, ProjectFile)) return TOutputConflict::ProjectFile;
  if (base::SameFile(Output, folder + kStubFileName)) return TOutputConflict::Stub;
  if (base::SameFile(Output, folder + kEngineFileName)) return TOutputConflict::Engine;
  return TOutputConflict::None;
}

std::string OutputConflictText(TOutputConflict Conflict, const std::string& Output) {
  switch (Conflict) {
    case TOutputConflict::NoProjectFile: return texts::kMsgNotSaved;
    case TOutputConflict::Stub: return texts::OutputWouldReplace(Output, texts::kTheStub);
    case TOutputConflict::Engine: return texts::OutputWouldReplace(Output, texts::kTheEngine);
    case TOutputConflict::ProjectFile: return texts::OutputWouldReplace(Output, texts::kTheProjectFile);
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
  if (host.ShowError) host.ShowError(texts::kMsgBuildError);
}

std::string FilesLine(int32_t count, int64_t size) {
  return texts::FilesLine(base::IntToStr(count), FormatSizeK64(size));
}

TEntryJob PlainJob(const std::string& source, const std::string& folder, bool progress, int64_t expected = -1) {
  TEntryJob job;
  job.source = source;
  job.folder = folder;
  job.progress = progress;
  job.expected = expected >= 0 ? expected : base::FileSize(source);
  return job;
}

// The engine's entry of an earlier build, used again only while the engine is the same
// file: the same entry name, size, date, attributes and contents.
struct TEngineKey {
  std::string name;
  int64_t size = 0;
  int32_t date = 0;
  uint16_t attr = 0;
  uint64_t hash = 0;
  int32_t sum = 0;
  bool operator==(const TEngineKey&) const = default;
};

struct TEngineEntry {
  TEngineKey key;
  std::vector<uint8_t> bytes;
  TArchiveEntry record;
};

std::mutex engineCacheLock;
std::unique_ptr<TEngineEntry> engineCache;

// FNV-1a over 8-byte words, mixed down after each: a change anywhere shows.
uint64_t ContentHash(const std::vector<uint8_t>& bytes) {
  uint64_t h = 14695981039346656037ull ^ bytes.size();
  size_t i = 0;
  for (; i + 8 <= bytes.size(); i += 8) {
    uint64_t w;
    std::memcpy(&w, bytes.data() + i, 8);
    h = (h ^ w) * 1099511628211ull;
    h ^= h >> 29;
  }
  for (; i < bytes.size(); ++i) h = (h ^ bytes[i]) * 1099511628211ull;
  return h;
}

// The engine read whole: its key is of the very bytes compressed, so a cached entry can
// never stand for other contents. A read failure leaves the job to fail as any file.
TEntryJob EngineJob(const std::string& engine, TEngineKey& key) {
  TEntryJob job = PlainJob(engine, "Installer", false);
  try {
    const int32_t date = base::FileAge(engine);
    const uint16_t attr = base::FileGetAttr(engine);
    auto bytes = std::make_shared<const std::vector<uint8_t>>(base::ReadFileBytes(engine));
    if (bytes->size() > static_cast<size_t>(INT32_MAX)) return job;
    key = {ArchiveEntryName(job.folder, engine), static_cast<int64_t>(bytes->size()), date, attr, ContentHash(*bytes),
           ByteSum(bytes->data(), bytes->size())};
    job.date = date;
    job.attr = attr;
    job.expected = key.size;
    std::lock_guard<std::mutex> lock(engineCacheLock);
    if (engineCache && engineCache->key == key) {
      job.memory = std::make_unique<base::MemoryStream>(engineCache->bytes);
      job.size = static_cast<int64_t>(engineCache->bytes.size());
      job.record = engineCache->record;
      job.ready = true;
    } else {
      job.preloaded = std::move(bytes);
    }
  } catch (...) {
    job = PlainJob(engine, "Installer", false);
  }
  return job;
}

void KeepEngineEntry(const TEntryJob& job, const TEngineKey& key) {
  if (!job.preloaded || !job.memory || job.result != irSuccess) return;
  auto kept = std::make_unique<TEngineEntry>();
  kept->key = key;
  kept->bytes = job.memory->Bytes();
  kept->bytes.resize(static_cast<size_t>(job.size));
  kept->record = job.record;
  std::lock_guard<std::mutex> lock(engineCacheLock);
  engineCache = std::move(kept);
}

// Job i written behind the entries before it, once the host has seen the progress of its
// compression; 0 when written, else the failure of the entry.
int WriteEntry(TEntryPipeline& pipeline, size_t i, TArchiveWriter& writer, const TShowProgressEvent& perFile,
               const TEngineKey* engineKey = nullptr) {
  TEntryJob& job = pipeline.Take(i, perFile);
  int r = job.result;
  // A file that changed after the project was packed would make a package its engine refuses.
  if (r == irSuccess && job.packedAs >= 0 && job.record.ExpandedSize != job.packedAs) r = irAddFileFailed;
  if (r == irSuccess) {
    try {
      if (job.spill.empty()) {
        job.memory->SetPosition(0);
        writer.Add(*job.memory, job.size, job.record);
      } else {
        base::FileStream entry(job.spill, base::fmOpenRead);
        writer.Add(entry, job.size, job.record);
      }
      if (engineKey) KeepEngineEntry(job, *engineKey);
    } catch (...) {
      r = irAddFileFailed;
    }
  }
  pipeline.Release(i);
  return r;
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
  if (base::FileExists(output) && !(Host.Confirm && Host.Confirm(texts::kMsgOverwrite))) return TBuildResult::NotStarted;

  bool success = false;
  {
    TBuildingScope building(Host);
    log.Add(texts::kBuildValidatingBaggage);
    log.ProcessMessages();
    int32_t count = 0;
    int64_t size = 0;
    if (!ValidateSupportFiles(Project, count, size, log)) return TBuildResult::Failed;
    log.Add(FilesLine(count, size));
    log.ProcessMessages();
    log.Add(texts::kBuildValidatingFiles);
    if (!ValidateGroupFiles(Project, count, size, log)) return TBuildResult::Failed;
    log.Add(FilesLine(count, size));
    log.ProcessMessages();

    TBuildTemporaries temps;
    const std::string archive1 = temps.NewFile();
    const std::string archive2 = temps.NewFile();
    // "Inst.cmp" must keep its name inside the package, so it lives in a folder of this
    // build's own.
    const std::string ownFolder = temps.OwnFolder(temps.NewFile());
    const std::string infoFile = ownFolder + kInfoFileName;
    temps.Track(infoFile);

    const std::string folder = base::IncludeTrailingPathDelimiter(BuilderFolder);
    if (WritePackageOffset(folder + kStubFileName) < 1) {
      Fail(Host);
      return TBuildResult::Failed;
    }
    const std::string engine = folder + kEngineFileName;
    const bool modified = Project.Modified;
    const bool saved = Project.SaveToFile(infoFile);
    Project.Modified = modified;

    // Every entry of both archives, in the order they are written.
    std::vector<TEntryJob> jobs;
    TEngineKey engineKey;
    jobs.push_back(EngineJob(engine, engineKey));
    jobs.push_back(PlainJob(infoFile, "Info", false));
    const std::vector<TArchiveItem> support = SupportFileItems(Project);
    for (const TArchiveItem& item : support) jobs.push_back(PlainJob(item.SourceFile, item.Folder, true));
    for (auto* g : Project.Groups) {
      std::vector<int64_t> packed;
      for (auto* f : g->Files) packed.push_back(f->Size);
      g->RefreshFiles();
      for (int i = 0; i < g->Files.Count(); ++i) {
        jobs.push_back(PlainJob(g->Files[i]->FileName, g->Name(), true, g->Files[i]->Size));
        jobs.back().packedAs = saved ? packed[static_cast<size_t>(i)] : -1;
      }
    }
    const unsigned threads = Host.Threads ? Host.Threads : std::max(1u, std::thread::hardware_concurrency());
    TEntryPipeline pipeline(jobs, threads, static_cast<bool>(Host.CompressProgress), ownFolder);
    size_t next = 0;
    const TShowProgressEvent& perFile = Host.CompressProgress;

    std::unique_ptr<base::FileStream> out1, out2;
    std::unique_ptr<TArchiveWriter> writer1, writer2;
    try {
      out1 = std::make_unique<base::FileStream>(archive1, base::fmCreate);
      writer1 = std::make_unique<TArchiveWriter>(*out1);
    } catch (const base::Exception&) {
      Fail(Host);
      return TBuildResult::Failed;
    }
    if (int r = WriteEntry(pipeline, next++, *writer1, perFile, &engineKey); r != irSuccess) {
      log.Add(InstallErrorText(r, engine));
      Fail(Host);
      return TBuildResult::Failed;
    }
    if (!saved) {
      Fail(Host);
      return TBuildResult::Failed;
    }
    if (int r = WriteEntry(pipeline, next++, *writer1, perFile); r != irSuccess) {
      log.Add(InstallErrorText(r, infoFile));
      Fail(Host);
      return TBuildResult::Failed;
    }

    const int32_t total = SupportProgressTotal(Project);
    if (Host.Progress) Host.Progress(0, total, "", "");
    int32_t done = 0;
    for (const TArchiveItem& item : support) {
      if (int r = WriteEntry(pipeline, next++, *writer1, perFile); r != irSuccess) {
        if (Host.Progress) Host.Progress(done, total, InstallErrorText(r, item.SourceFile), "");
        Fail(Host);
        return TBuildResult::Failed;
      }
      ++done;
      if (Host.Progress) Host.Progress(done, total, "", "");
    }
    try {
      writer1->Finish();
      writer1.reset();
      out1.reset();
      out2 = std::make_unique<base::FileStream>(archive2, base::fmCreate);
      writer2 = std::make_unique<TArchiveWriter>(*out2);
    } catch (const base::Exception&) {
      Fail(Host);
      return TBuildResult::Failed;
    }

    // The group files, group by group; no group holding a file still gives a whole,
    // empty archive 2.
    const int32_t groups = Project.Groups.Count();
    if (Host.Progress) Host.Progress(0, groups, "", "");
    done = 0;
    for (auto* g : Project.Groups) {
      if (Host.Progress) Host.Progress(done, groups, "", g->Name());
      for (auto* f : g->Files) {
        if (int r = WriteEntry(pipeline, next++, *writer2, perFile); r != irSuccess) {
          if (Host.Progress) Host.Progress(0, groups, InstallErrorText(r, f->FileName), "");
          Fail(Host);
          return TBuildResult::Failed;
        }
      }
      ++done;
      if (Host.Progress) Host.Progress(done, groups, "", g->Name());
    }
    try {
      writer2->Finish();
      writer2.reset();
      out2.reset();
    } catch (const base::Exception&) {
      Fail(Host);
      return TBuildResult::Failed;
    }

    // Written beside the output and put in its place whole, so that a failure never
    // leaves a partial package under the output name.
    const std::string pending = temps.NewFileIn(base::ExtractFilePath(output));
    {
      base::FileStream out(pending, base::fmCreate);
      CopyStreamInto(out, folder + kStubFileName, false);
      CopyStreamInto(out, archive1, true);
      CopyStreamInto(out, archive2, true);
    }
    log.Add(texts::kBuildBuildingImage);
    log.Add("   " + output);
    log.ProcessMessages();
    if (!base::MoveReplacing(pending, output)) throw base::EFCreateError(texts::CannotCreateFile(output));
    success = true;
  }
  if (!success) return TBuildResult::Failed;
  log.Add("");
  log.Add(texts::kBuildSuccessful);
  log.Add(texts::kBuildImageSize + FormatSizeK64(base::FileSize(output)));
  if (Host.Beep) Host.Beep();
  return TBuildResult::Succeeded;
}
