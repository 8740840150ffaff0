#include "setup/engine/InstallMain.h"

#include <memory>
#include <vector>

#include "base/Streams.h"
#include "base/Strings.h"
#include "base/win/Application.h"
#include "base/win/Dialogs.h"
#include "resources/engine_strings.h"
#include "setup/engine/BackgroundForm.h"
#include "setup/engine/EngineRules.h"
#include "setup/services/InstArchiveReader.h"
#include "setup/services/InstFileInfo.h"
#include "setup/services/InstGlobal.h"
#include "setup/services/InstallRules.h"

using namespace base::win;

TExitWindowsCall ExitWindowsCall = ExitWindowsEx;

namespace {

std::vector<std::string> Arguments() {
  std::vector<std::string> args;
  for (int i = 1; i <= App().ParamCount(); ++i) args.push_back(App().ParamStr(i));
  return args;
}

// Takes one entry of archive 1 into the support folder; 0 when the copy now exists.
int TakeOut(const std::string& dest, const std::string& folder) {
  try {
    return InstallFile(DataFile, dest, folder, nullptr, umAllways, "", AllWindowsVersions, "");
  } catch (...) {
    return irInstallFailed;  // the archive lacks the entry
  }
}

void ConfigError() { MessageDlg(EngineString(IDS_ERR_CONFIG, IDS_ERR_CONFIG_TEXT), MsgDlgType::Error, mbOK); }

// A damaged package is refused before the wizard, so that it touches nothing: both
// archives whole, and every entry the project needs in them as the build wrote it.
bool PackageIsWhole(const TTandrelBaseInstall& project, const std::string& archive2) {
  try {
    CutPackageArchive2(PackageFile, archive2);
  } catch (const base::EWriteError&) {
    throw;  // the disk, not the package
  } catch (const std::exception&) {
    return false;
  }
  TCompressedFileList entries1, entries2;
  return ArchiveFileIsWhole(DataFile, &entries1) && ArchiveFileIsWhole(archive2, &entries2) &&
         ArchiveHoldsEntries(entries1, NeededArchive1Entries(project)) &&
         ArchiveHoldsEntries(entries2, NeededArchive2Entries(project));
}

int ShowBackground(TfrmBackground& form, const std::string& supportDir, std::vector<std::string>& cleanup) {
  const std::string info = supportDir + "\\Inst.cmp";
  cleanup.push_back(info);
  const bool taken = TakeOut(info, "Info") == 0;
  auto project = std::make_unique<TTandrelBaseInstall>();
  // A project that cannot be read would install the defaults: refuse it.
  if (!taken || !project->LoadFromFile(info)) {
    ConfigError();
    return kExitConfigError;
  }
  const std::string archive2 = supportDir + "\\Setup2.tmp";
  cleanup.push_back(archive2);
  if (!PackageIsWhole(*project, archive2)) {
    MessageDlg(InstallFailureText(DamagedPackageText(PackageFile)), MsgDlgType::Error, mbOK);
    return kExitDamaged;
  }
  form.ArchiveFile = archive2;
  form.Project = project.get();
  for (const TSupportFile& f : PlanSupportFiles(*project, supportDir)) {
    cleanup.push_back(f.CopyPath);
    if (f.Kind == TSupportKind::Title) form.LogoFile = f.CopyPath;
    if (f.Kind == TSupportKind::SideImage) form.SideImageFile = f.CopyPath;
    if (TakeOut(f.CopyPath, f.ArchiveFolder) == 0) UseSupportCopy(*project, f);
  }
  form.UseTimer = false;
  ClearUninstallLog();
  ForgetUserInfo();
  form.NoStart = false;
  form.ShowModal();
  form.Project = nullptr;
  return form.ExitCode;
}

}  // namespace

int RunInstall() {
  ReadInstallArgs(Arguments(), PackageFile, DataFile);
  if (!base::FileExists(PackageFile) || !base::FileExists(DataFile)) {
    ConfigError();
    return kExitConfigError;
  }
  int exitCode = kExitFailed;
  std::vector<std::string> cleanup{DataFile};
  const std::string supportDir = base::ExtractFilePath(DataFile) + "ZemTmp";
  try {
    TfrmBackground form;
    form.DataFile = DataFile;
    SetDirMacro("<SUPPORTDIR>", supportDir);
    form.SupportDir = supportDir + "\\";
    CreateDirectoryA(supportDir.c_str(), nullptr);
    exitCode = ShowBackground(form, supportDir, cleanup);
  } catch (const base::Exception& e) {
    // Whatever went wrong, the taken-out files go.
    MessageDlg(InstallFailureText(e.what()), MsgDlgType::Error, mbOK);
  } catch (...) {
    MessageDlg(InstallFailureText("Unknown error."), MsgDlgType::Error, mbOK);
  }
  for (auto it = cleanup.rbegin(); it != cleanup.rend(); ++it) {
    SetFileAttributesA(it->c_str(), FILE_ATTRIBUTE_NORMAL);
    DeleteFileA(it->c_str());
  }
  RemoveDirectoryA(supportDir.c_str());
  return exitCode;
}

std::string RestartFailedText(unsigned long error) {
  return "Windows could not be restarted (error " + std::to_string(error) +
         "). Please restart your computer to complete the installation.";
}

bool RestartWindows() {
  OSVERSIONINFOA version{};
  version.dwOSVersionInfoSize = sizeof(version);
  GetVersionExA(&version);
  if (version.dwPlatformId == VER_PLATFORM_WIN32_NT) {
    HANDLE token = nullptr;
    if (OpenProcessToken(GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, &token)) {
      TOKEN_PRIVILEGES privileges{};
      privileges.PrivilegeCount = 1;
      privileges.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
      if (LookupPrivilegeValueA(nullptr, SE_SHUTDOWN_NAME, &privileges.Privileges[0].Luid))
        AdjustTokenPrivileges(token, FALSE, &privileges, 0, nullptr, nullptr);
      CloseHandle(token);
    }
  }
  if (ExitWindowsCall(EWX_REBOOT, 0)) return true;
  unsigned long error = GetLastError();
  AppMessageBox(RestartFailedText(error), App().Title(), MB_OK | MB_ICONERROR);
  return false;
}

int EngineMain(int (*runUninstall)()) {
  Application& app = App();
  app.Initialize();
  app.SetTitle("Tandrel-Install");
  int exitCode = kExitFailed;
  try {
    if (IsUninstallMode(Arguments())) {
      exitCode = runUninstall();
    } else {
      exitCode = RunInstall();
    }
  } catch (const base::Exception& e) {
    app.ShowException(e);
  } catch (...) {
    app.ShowException(std::string("Unknown error."));
  }
  app.ProcessMessages();
  app.Terminate();
  if (ExitAction == kExitRestart) RestartWindows();
  return exitCode;
}
