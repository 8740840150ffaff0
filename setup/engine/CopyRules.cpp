#include "setup/engine/CopyRules.h"

#include <cmath>
#include <exception>

#include "base/Strings.h"
#include "resources/engine_strings.h"
#include "setup/services/InstGlobal.h"
#include "setup/services/InstallRules.h"

namespace {
// The class library's Round: to the nearest, halves to the even neighbour.
int64_t RoundHalfEven(double v) {
  const double f = std::floor(v);
  const double d = v - f;
  int64_t r = static_cast<int64_t>(f);
  if (d > 0.5 || (d == 0.5 && (r % 2 != 0))) ++r;
  return r;
}

template <class F>
bool Guarded(F&& f) {
  try {
    f();
    return true;
  } catch (...) {
    return false;
  }
}
}  // namespace

int64_t BillboardStepFor(int64_t total, int count) {
  if (count <= 0) return 0;
  return RoundHalfEven(static_cast<double>(total) / count);
}

int64_t FileProgressPosition(int64_t fileBase, int32_t percent, int64_t fileSize) {
  return fileBase + RoundHalfEven(static_cast<double>(percent) * static_cast<double>(fileSize) / 100.0);
}

bool TBillboardStepper::Move(int64_t v) {
  if (v == DoneBytes) return false;
  DoneBytes = v;
  return true;
}

int32_t TBillboardStepper::NextBillboard() {
  if (!UseBillboards) return -1;
  if (LastBillboardAt < 0 && DoneBytes > 0) {
    LastBillboardAt = 0;
    BillboardNo = 0;
    return 0;
  }
  if (LastBillboardAt < DoneBytes - BillboardStep) {
    LastBillboardAt += BillboardStep;
    ++BillboardNo;
    return BillboardNo;
  }
  return -1;
}

std::string CopyErrorQuestion(const std::string& resultText) {
  return EngineString(IDS_COPY_ERROR, IDS_COPY_ERROR_TEXT) + resultText +
         EngineString(IDS_COPY_CONTINUE, IDS_COPY_CONTINUE_TEXT);
}

void TCopyRun::SetOverall(int64_t v) {
  if (!Progress.Move(v)) return;
  Host.MoveOverallBar(v);
  Host.ProcessMessages();
  const int32_t billboard = Progress.NextBillboard();
  if (billboard >= 0) Host.ShowBillboard(billboard);
}

void TCopyRun::FileProgress(int32_t percent) {
  // The expander reports per block; the bar is redrawn only when its value changes.
  if (percent != filePercent_) {
    filePercent_ = percent;
    Host.SetFileBar(percent);
  }
  Guarded([&] { SetOverall(FileProgressPosition(FileBase, percent, FileSize)); });
}

void TCopyRun::CopyOneFile(TTandrelFileGroup& group, const TTandrelFile& file) {
  FileBase = Progress.DoneBytes;
  FileSize = file.Size;
  const std::string dest = group.Destination() + base::ExtractFileName(file.FileName);
  const std::string expanded = Host.ExpandMacros(dest);
  Host.ShowFile(expanded);
  int r = irInstallFailed;
  try {
    r = Host.InstallFile(dest, group.Name(), [this](int32_t& percent) { FileProgress(percent); },
                         group.UpdateMethod, group.UpdatePlatforms, file.Version);
    // A file left out on this platform was not installed: nothing to register.
    if (r == irSuccess && file.SelfRegister && Host.PlatformIncluded(group.UpdatePlatforms))
      r = Host.RegisterServerFile(expanded);
  } catch (const EArchiveDamaged&) {
    // Damage to the package is no matter of one file: the installation ends.
    Damaged = true;
    Aborted = true;
    return;
  } catch (...) {
    r = irInstallFailed;
  }
  if (r == irFileInUse) {
    Restart = true;
  } else if (r != irSuccess) {
    std::string text = InstallErrorText(r, base::ExtractFileName(file.FileName));
    if (text.empty()) text = InstallErrorText(irInstallFailed, base::ExtractFileName(file.FileName));
    if (!Host.AskContinue(CopyErrorQuestion(text))) Aborted = true;
  }
  SetOverall(FileBase + FileSize);
}

uint8_t TCopyRun::Run() {
  SetOverall(0);
  Aborted = false;
  Damaged = false;
  Restart = false;
  TInstallInfo* info = Project.InstallInfo.get();
  Total = info ? info->GetTotalSize() : 0;
  Host.SetOverallBar(Total);
  if (Progress.UseBillboards)
    Progress.BillboardStep = BillboardStepFor(Total, static_cast<int>(Project.BillBoards.size()));
  if (info) {
    for (const auto& component : info->Components) {
      if (Aborted) break;
      if (!component->Selected()) continue;
      for (const auto& selected : component->Groups) {
        if (Aborted) break;
        if (!selected->Selected) continue;
        Host.ShowGroup(selected->Name + "...");
        TTandrelFileGroup* group = Project.FindGroup(selected->Name);
        if (!group) continue;
        const std::string& d = group->Destination();
        if (d.empty() || d.back() != '\\') group->SetDestination(d + "\\");
        for (int i = 0; i < group->Files.Count() && !Aborted; ++i) CopyOneFile(*group, *group->Files[i]);
      }
    }
  }
  if (Damaged) return kCopyDamaged;
  if (Aborted) return kCopyCancelled;
  if (Restart) {
    Host.CommitPendingRenames();
    return kCopyNeedsRestart;
  }
  return kCopyDone;
}

// ---------------------------------------------------------------------------------------

std::string OtherTaskCaption(uint8_t mode) {
  switch (mode) {
    case kOtherShortcuts: return EngineString(IDS_OTHER_ICONS, IDS_OTHER_ICONS_TEXT);
    case kOtherIniValues: return EngineString(IDS_OTHER_INI, IDS_OTHER_INI_TEXT);
    case kOtherRegistry: return EngineString(IDS_OTHER_REGISTRY, IDS_OTHER_REGISTRY_TEXT);
    default: return "";
  }
}

std::string ShortcutProgramFolder(const TTandrelBaseInstall& project) {
  if (InSet(project.DialogTypes, dtSelectFolder) && project.InstallInfo)
    return project.InstallInfo->ProgramFolder;
  return project.ProgramFolder;
}

void ApplyRegKey(const TTandrelRegKey& key, TRegKeyWriter& writer) {
  const std::string path = key.GetFullPath();
  for (const TTandrelValue* v : key.Values) {
    if (base::AnsiSameText(v->ValueName, "(Default)")) continue;
    Guarded([&] {
      switch (v->Style) {
        case vtString: writer.WriteRegString(path, v->ValueName, v->StringValue); break;
        case vtDWord: writer.WriteRegInteger(path, v->ValueName, v->IntValue); break;
        case vtBinary: writer.WriteRegBinary(path, v->ValueName, v->StringValue); break;
      }
    });
  }
  if (key.UninstallKey) Guarded([&] { writer.LogUninstallKey(path); });
  for (const TTandrelRegKey* sub : key.Keys) ApplyRegKey(*sub, writer);
}

void RunOtherWork(TTandrelBaseInstall& project, uint8_t mode, TOtherHost& host) {
  switch (mode) {
    case kOtherShortcuts: {
      const std::string folder = ShortcutProgramFolder(project);
      for (const TTandrelIcon* icon : project.Icons)
        Guarded([&] {
          host.CreateShortcut(icon->Caption, host.ExpandMacros(icon->FileName), host.ExpandMacros(icon->Params),
                              host.ExpandMacros(icon->WorkingDir), icon->GroupType, folder);
        });
      break;
    }
    case kOtherIniValues:
      for (const TTandrelIniFile* file : project.IniFiles)
        for (const TTandrelIniSection* section : file->Sections)
          for (const TTandrelIniValue* value : section->Values)
            Guarded([&] { host.WriteIniValue(file->FileName, section->SectionName, value->ValueName, value->Value); });
      break;
    case kOtherRegistry:
      for (TTandrelRegKey* root : project.Registry) {
        root->SetParent(nullptr);
        ApplyRegKey(*root, host);
      }
      break;
    default: break;
  }
}
