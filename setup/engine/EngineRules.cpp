#include "setup/engine/EngineRules.h"

#include <cstdio>
#include <map>
#include <set>

#include "base/Streams.h"
#include "base/Strings.h"
#include "setup/services/InstGlobal.h"

std::string PackageFile;
std::string DataFile;
uint8_t ExitAction = 0;
TWindowHandle ParentWnd = 0;

namespace {

bool StartsWith(const std::string& s, const char* prefix) {
  return s.compare(0, std::char_traits<char>::length(prefix), prefix) == 0;
}

uint32_t ReadLength(base::Stream& s) {
  uint8_t b[4];
  s.ReadBuffer(b, 4);
  return b[0] | (b[1] << 8) | (b[2] << 16) | (static_cast<uint32_t>(b[3]) << 24);
}

}  // namespace

// ---------------------------------------------------------------- command line

bool IsUninstallMode(const std::vector<std::string>& args) {
  for (const auto& a : args)
    if (StartsWith(a, "/UNINST=")) return true;
  return false;
}

void ReadInstallArgs(const std::vector<std::string>& args, std::string& packageFile,
                     std::string& dataFile) {
  packageFile.clear();
  dataFile.clear();
  for (const auto& a : args) {
    if (StartsWith(a, "/SOURCE=")) packageFile = a.substr(8);
    if (StartsWith(a, "/DATA=")) dataFile = a.substr(6);
  }
}

// ---------------------------------------------------------------- background screen

int TimerBillboard(int index, int count) {
  if (count <= 0) return -1;
  return index >= 0 && index < count ? index : 0;
}

int NextTimerIndex(int index, int count) {
  int shown = TimerBillboard(index, count);
  if (shown < 0) return 0;
  return shown + 1 >= count ? 0 : shown + 1;
}

// ---------------------------------------------------------------- install-mode start-up

std::vector<TSupportFile> PlanSupportFiles(const TTandrelBaseInstall& p, const std::string& supportDir) {
  std::vector<TSupportFile> plan;
  auto add = [&](TSupportKind kind, int index, const char* folder, const std::string& source) {
    std::string name = base::ExtractFileName(source);
    // A name-less path can name no archive entry.
    if (name.empty()) return;
    plan.push_back({kind, index, folder, supportDir + "\\" + name, source});
  };
  if (p.IsBitmap) add(TSupportKind::Title, 0, "Logo", p.TitleCaption);
  if (p.CustomImage) add(TSupportKind::SideImage, 0, "CustomImage", p.CustomImagePath);
  if (InSet(p.DialogTypes, dtBillboards))
    for (size_t j = 0; j < p.BillBoards.size(); ++j)
      add(TSupportKind::Billboard, static_cast<int>(j), "Billboards", p.BillBoards[j]);
  for (int i = 0; i < p.Extensions.Count(); ++i) {
    const TTandrelExtension* e = p.Extensions[i];
    if (StartsWith(e->Executable, "<SUPPORTDIR>\\")) add(TSupportKind::Extension, i, "Support", e->RealFile);
  }
  return plan;
}

void UseSupportCopy(TTandrelBaseInstall& p, const TSupportFile& f) {
  switch (f.Kind) {
    case TSupportKind::Title: p.TitleCaption = f.CopyPath; break;
    case TSupportKind::SideImage: p.CustomImagePath = f.CopyPath; break;
    case TSupportKind::Billboard:
      if (f.Index >= 0 && f.Index < static_cast<int>(p.BillBoards.size())) p.BillBoards[f.Index] = f.CopyPath;
      break;
    case TSupportKind::Extension: break;  // its Executable already names the copy
  }
}

// ---------------------------------------------------------------- the package's entries

namespace {
// Needed entries by name, ignoring case, in the order first met.
class TNeededList {
public:
  void Add(const std::string& name, int64_t size) {
    auto [it, fresh] = index_.emplace(base::AnsiLowerCase(name), list_.size());
    if (fresh) list_.push_back({name, 0, size});
    ++list_[it->second].Count;
  }
  std::vector<TNeededEntry> Take() { return std::move(list_); }

private:
  std::map<std::string, size_t> index_;
  std::vector<TNeededEntry> list_;
};
}  // namespace

std::vector<TNeededEntry> NeededArchive1Entries(const TTandrelBaseInstall& p) {
  TNeededList needed;
  needed.Add(ArchiveEntryName("Info", "Inst.cmp"), -1);
  std::set<std::string> extensionFiles;  // folded paths: the build packs each once
  for (const TSupportFile& f : PlanSupportFiles(p, "")) {
    if (f.Kind == TSupportKind::Extension && !extensionFiles.insert(base::AnsiLowerCase(f.Source)).second) continue;
    needed.Add(ArchiveEntryName(f.ArchiveFolder, f.Source), -1);
  }
  return needed.Take();
}

std::vector<TNeededEntry> NeededArchive2Entries(const TTandrelBaseInstall& p) {
  TNeededList needed;
  for (const TTandrelFileGroup* g : p.Groups)
    for (const TTandrelFile* f : g->Files) needed.Add(ArchiveEntryName(g->Name(), f->FileName), f->Size);
  return needed.Take();
}

bool ArchiveHoldsEntries(const TCompressedFileList& listing, const std::vector<TNeededEntry>& needed) {
  std::map<std::string, std::vector<const TCompressedFileInfo*>> entries;  // folded name -> entries
  for (const auto& [name, info] : listing) entries[base::AnsiLowerCase(name)].push_back(&info);
  for (const TNeededEntry& n : needed) {
    auto it = entries.find(base::AnsiLowerCase(n.Name));
    const size_t held = it == entries.end() ? 0 : it->second.size();
    if (held != static_cast<size_t>(n.Count)) return false;
    if (n.Size >= 0)
      for (const TCompressedFileInfo* e : it->second)
        if (e->ExpandedSize != n.Size) return false;
  }
  return true;
}

// ---------------------------------------------------------------- archive 2

std::string DamagedPackageText(const std::string& packageFile) {
  return "The setup package '" + packageFile + "' is damaged.";
}

void CutPackageArchive2(const std::string& packageFile, const std::string& archiveFile) {
  const std::string damaged = DamagedPackageText(packageFile);
  int32_t offset = ReadPackageOffset(packageFile);
  if (offset <= 0) throw EPackageError(damaged);
  base::FileStream in(packageFile, base::fmOpenRead | base::fmShareDenyNone);
  const int64_t size = in.Size();
  bool written = false;
  try {
    if (static_cast<int64_t>(offset) + 4 > size) throw EPackageError(damaged);
    in.SetPosition(offset);
    int64_t l1 = ReadLength(in);
    if (in.Position() + l1 + 4 > size) throw EPackageError(damaged);
    in.SetPosition(in.Position() + l1);
    int64_t l2 = ReadLength(in);
    if (in.Position() + l2 > size) throw EPackageError(damaged);
    base::FileStream out(archiveFile, base::fmCreate);
    written = true;
    std::vector<uint8_t> buf(65536);
    while (l2 > 0) {
      int32_t n = static_cast<int32_t>(l2 < static_cast<int64_t>(buf.size()) ? l2 : buf.size());
      in.ReadBuffer(buf.data(), n);
      out.WriteBuffer(buf.data(), n);
      l2 -= n;
    }
  } catch (...) {
    if (written) std::remove(archiveFile.c_str());
    throw;
  }
}

// ---------------------------------------------------------------- the install sequence

bool RunExtensionsAt(TTandrelBaseInstall& project, TTandrelDialogType point, TWindowHandle parentWnd,
                     TWindowHandle dialogWnd) {
  while (TTandrelExtension* e = project.FindWorkingExtension(point)) {
    if (e->Execute(parentWnd, dialogWnd) == 0) return false;
    project.WorkingExtensions.Remove(e);
  }
  return true;
}

bool TInstallSequenceHost::RunExtensions(TTandrelBaseInstall& project, TTandrelDialogType point) {
  return RunExtensionsAt(project, point, ParentWnd, 0);
}

void TInstallSequenceHost::CutArchive(const std::string& packageFile, const std::string& archiveFile) {
  CutPackageArchive2(packageFile, archiveFile);
}

std::string TInstallSequenceHost::WriteTextFile(const std::string& fileName, const std::string& text) {
  std::string written;
  ::WriteTextFile(fileName, text, written);
  return written;
}

bool TInstallSequenceHost::SaveUninstallLog(const std::string& fileName) {
  MergeEarlierUninstallLog(fileName);
  return ::SaveUninstallLog(fileName);
}

std::string InstallFailureText(const std::string& reason) {
  return "An error occurred during the installation:\r\r   " + reason + "\r\rSetup will now terminate.";
}

std::string LogNotSavedText(const std::string& fileName) {
  return "The uninstall log '" + fileName +
         "' could not be written. The program was installed, but it cannot be removed automatically.";
}

std::string ReadMeNotOpenedText(const std::string& fileName) {
  return "The ReadMe file '" + fileName + "' could not be opened. No program may be registered for its type.";
}

namespace {

// Deletes "Setup2.tmp" however the sequence ends once it exists.
class ArchiveGuard {
public:
  ArchiveGuard(TInstallSequenceHost& host, const std::string& file) : host_(host), file_(file) {}
  ~ArchiveGuard() {
    try {
      host_.RemoveFile(file_);
    } catch (...) {
    }
  }
  ArchiveGuard(const ArchiveGuard&) = delete;
  ArchiveGuard& operator=(const ArchiveGuard&) = delete;

private:
  TInstallSequenceHost& host_;
  std::string file_;
};

int RunAfterArchive(TTandrelBaseInstall& project, TInstallSequenceHost& host, TInstallSequenceState& state) {
  ArchiveGuard guard(host, state.ArchiveFile);

  project.ResetWorkingExtensions();
  // Nothing after the copy runs, exit extensions included, once this point or the copy fails.
  if (!host.RunExtensions(project, dtProgress)) return kResultCancel;
  int copy = host.RunCopyFiles(state.ArchiveFile, project);
  if (copy == kCopyPackageDamaged) throw EPackageError(DamagedPackageText(PackageFile));
  if (copy == kResultCancel) return kResultCancel;
  if (copy == kCopyRestartNeeded) {
    project.DialogTypes = static_cast<TTandrelDialogTypes>(project.DialogTypes | SetBit(dtComplete));
    project.ShowRestart = true;
  }
  host.Repaint();

  for (int mode = 0; mode < 3; ++mode) {
    host.RunOtherTask(project, mode);
    host.Repaint();
  }

  if (!project.InstallInfo) throw base::Exception("The setup wizard left no selection.");
  const std::string dir = AddBackslash(project.InstallInfo->InstallDir);
  host.EnsureFolder(RemoveBackslash(dir));
  if (InSet(project.DialogTypes, dtReadme)) {
    state.ReadMePath = host.WriteTextFile(dir + "ReadMe.txt", project.ReadMe);
  }
  // The complete page offers the ReadMe only when one was written.
  project.ShowReadMe = !state.ReadMePath.empty();
  if (InSet(project.DialogTypes, dtLicense)) host.WriteTextFile(dir + "License.txt", project.License);

  const std::string log = dir + "UnInst.log";
  const bool saved = host.SaveUninstallLog(log);
  // From here on the installation stands, whatever follows.
  state.Committed = true;
  if (!saved)
    host.ShowError(LogNotSavedText(log));
  else if (project.Uninstaller)
    host.CreateUninstallEntry(project.ApplicationName(),
                              ComposeUninstallString(host.EnginePath(), dir, project.ApplicationName()));

  host.HideBillboard();
  host.ExecuteCompleteDialog(project);
  host.Repaint();

  if (project.FinishAction & kFinishRestartNow) {
    ExitAction = kExitRestart;
  } else {
    if ((project.FinishAction & kFinishViewReadMe) && !state.ReadMePath.empty() &&
        !host.RunProgram(state.ReadMePath, ""))
      host.ShowError(ReadMeNotOpenedText(state.ReadMePath));
    if (project.FinishAction & kFinishRunApp) host.RunProgram(ExpandMacros(project.RunCommand), project.RunParams);
  }
  host.RunExtensions(project, dtExit);
  return kResultOk;
}

// What the wizard wrote (the user's name and company) is undone too when the installation
// ends before its end, even before archive 2 is cut out.
int RunAfterWizardOrUndo(TTandrelBaseInstall& project, TInstallSequenceHost& host, TInstallSequenceState& state) {
  int result = kResultCancel;
  try {
    if (state.ArchiveFile.empty()) {
      const std::string archive = state.SupportDir + "Setup2.tmp";
      try {
        host.CutArchive(PackageFile, archive);
      } catch (...) {
        host.RemoveFile(archive);
        throw;
      }
      state.ArchiveFile = archive;
    }
    result = RunAfterArchive(project, host, state);
  } catch (...) {
    if (!state.Committed) host.UndoInstall();
    throw;
  }
  if (result != kResultOk && !state.Committed) host.UndoInstall();
  return result;
}

}  // namespace

int RunInstallSequence(TTandrelBaseInstall& project, TInstallSequenceHost& host, TInstallSequenceState& state) {
  try {
    host.Repaint();
    ParentWnd = host.WindowHandle();
    project.ResetWorkingExtensions();
    if (!host.RunExtensions(project, dtWelcome)) return kResultCancel;
    if (host.ExecuteInstDialogs(project) != kResultOk) return kResultCancel;
    const int result = RunAfterWizardOrUndo(project, host, state);
    state.ExitCode = result == kResultOk || state.Committed ? kExitCompleted : kExitCancelled;
    return state.Committed ? kResultOk : result;
  } catch (const EPackageError& e) {
    state.ExitCode = state.Committed ? kExitCompleted : kExitDamaged;
    host.ShowError(InstallFailureText(e.what()));
  } catch (const base::Exception& e) {
    state.ExitCode = state.Committed ? kExitCompleted : kExitFailed;
    host.ShowError(InstallFailureText(e.what()));
  } catch (...) {
    // Texts of the run-time library are no message for the user.
    state.ExitCode = state.Committed ? kExitCompleted : kExitFailed;
    host.ShowError(InstallFailureText("Unknown error."));
  }
  return kResultCancel;
}
