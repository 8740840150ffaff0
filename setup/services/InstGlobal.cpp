#include "setup/services/InstGlobal.h"

#include <algorithm>
#include <memory>

#include "base/Streams.h"
#include "base/Strings.h"
#include "resources/engine_strings.h"
#include "setup/services/InstallRules.h"

#ifdef _WIN32
#include <windows.h>

#include "setup/services/InstArchiveReader.h"
#include "setup/services/InstFileInfo.h"
#include "base/win/Handle.h"
#include "base/win/Registry.h"
#include "base/win/StringTable.h"
#endif

namespace {

struct TInstGlobalState {
  TNameValueList DirMacros;
  bool DirMacrosBuilt = false;
  TNameValueList UserVariables;
  std::vector<std::string> Log;  // newest first
  std::vector<TPendingRename> Pending;
};

TInstGlobalState& State() {
  static TInstGlobalState state;
  return state;
}

}  // namespace

// ---------------------------------------------------------------------------------------
// Results

std::string InstallErrorText(int code, const std::string& fileName) {
  const char* fallback = InstallResultTemplate(code);
  if (!fallback) return std::string();
  return FormatResultText(EngineString(InstallResultStringId(code), fallback), fileName);
}

#ifdef _WIN32
std::string EngineString(int id, const char* fallback) {
  std::string text = base::win::LoadStr(static_cast<unsigned>(id));
  return text.empty() && fallback ? fallback : text;
}
#endif

// ---------------------------------------------------------------------------------------
// Macros and variables

std::string AddBackslash(const std::string& path) {
  if (!path.empty() && path.back() == '\\') return path;
  return path + "\\";
}

std::string RemoveBackslash(const std::string& path) {
  if (!path.empty() && path.back() == '\\') return path.substr(0, path.size() - 1);
  return path;
}

TNameValueList BuildDirMacros(const TSystemFolders& f) {
  TNameValueList m;
  const std::string windir = RemoveBackslash(f.WindowsDir);
  const std::string sysdir = RemoveBackslash(f.SystemDir);
  const std::string windisk = ExtractFileDrive(f.WindowsDir);
  const std::string programFilesDefault = windisk + "\\Program Files";
  const std::string commonFilesDefault = windisk + "\\Program Files\\Common Files";
  const std::string fontsDefault = windir + "\\Fonts";
  m.Add("<INSTALLDIR>", "");
  m.Add("<WINDIR>", windir);
  m.Add("<WINDISK>", windisk);
  m.Add("<WINSYSDIR>", sysdir);
  m.Add("<WINSYSDISK>", ExtractFileDrive(f.SystemDir));
  if (f.CurrentVersionKey) {
    m.Add("<ProgramFilesDir>",
          f.ProgramFilesDir.empty() ? programFilesDefault : RemoveBackslash(f.ProgramFilesDir));
    m.Add("<CommonFilesDir>",
          f.CommonFilesDir.empty() ? commonFilesDefault : RemoveBackslash(f.CommonFilesDir));
  }
  if (f.ShellFoldersKey)
    m.Add("<FONTDIR>", f.FontsDir.empty() ? fontsDefault : RemoveBackslash(f.FontsDir));
  if (!f.CurrentVersionKey) {
    m.Add("<ProgramFilesDir>", programFilesDefault);
    m.Add("<CommonFilesDir>", commonFilesDefault);
  }
  if (!f.ShellFoldersKey) m.Add("<FONTDIR>", fontsDefault);
  m.Add("<SUPPORTDIR>", RemoveBackslash(f.ProgramDir));
  return m;
}

TSystemFolders GatherSystemFolders() {
  TSystemFolders f;
#ifdef _WIN32
  char buf[MAX_PATH + 1];
  UINT n = GetWindowsDirectoryA(buf, MAX_PATH);
  if (n > 0 && n < MAX_PATH) f.WindowsDir.assign(buf, n);
  n = GetSystemDirectoryA(buf, MAX_PATH);
  if (n > 0 && n < MAX_PATH) f.SystemDir.assign(buf, n);
  {
    base::win::RegKey key;
    if (key.Open(HKEY_LOCAL_MACHINE, "Software\\MicroSoft\\Windows\\CurrentVersion", KEY_READ)) {
      f.CurrentVersionKey = true;
      base::win::ReadRegString(key.get(), "ProgramFilesDir", f.ProgramFilesDir);
      base::win::ReadRegString(key.get(), "CommonFilesDir", f.CommonFilesDir);
    }
  }
  {
    base::win::RegKey key;
    if (key.Open(HKEY_CURRENT_USER, "Software\\MicroSoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders",
                 KEY_READ)) {
      f.ShellFoldersKey = true;
      base::win::ReadRegString(key.get(), "Fonts", f.FontsDir);
    }
  }
  std::string module(MAX_PATH, '\0');
  for (;;) {
    DWORD got = GetModuleFileNameA(nullptr, module.data(), static_cast<DWORD>(module.size()));
    if (got < module.size()) {
      module.resize(got);
      break;
    }
    module.resize(module.size() * 2);
  }
  f.ProgramDir = base::ExtractFilePath(module);
#else
  // Natively there is no Windows: fixed folders keep the macros predictable.
  f.WindowsDir = "C:\\WINDOWS";
  f.SystemDir = "C:\\WINDOWS\\SYSTEM";
  f.ProgramDir = "C:\\";
#endif
  return f;
}

TNameValueList& DirMacros() {
  auto& s = State();
  if (!s.DirMacrosBuilt) {
    s.DirMacros = BuildDirMacros(GatherSystemFolders());
    s.DirMacrosBuilt = true;
  }
  return s.DirMacros;
}

TNameValueList& UserVariables() { return State().UserVariables; }

std::string GetDirMacro(const std::string& name) {
  return DirMacros().Value(base::AnsiUpperCase(name));
}

void SetDirMacro(const std::string& name, const std::string& value) {
  DirMacros().SetValue(name, value);
}

std::string GetUserVariable(const std::string& name) {
  return UserVariables().Value(base::AnsiUpperCase(name));
}

std::string ExpandMacros(const std::string& text) {
  return ExpandMacroText(text, GetUserVariable, GetDirMacro);
}

bool IsSystemFolder(const std::string& folder) {
  const std::string f = RemoveBackslash(folder);
  for (const char* macro : {"<WINDIR>", "<WINSYSDIR>", "<FONTDIR>", "<CommonFilesDir>"}) {
    const std::string value = GetDirMacro(macro);
    if (!value.empty() && base::AnsiSameText(f, value)) return true;
  }
  return false;
}

// ---------------------------------------------------------------------------------------
// Windows version

TWindowsVersion ClassifyWindowsVersion(unsigned platformId, unsigned major, unsigned minor) {
  if (platformId == 1) return minor >= 1 ? wv98 : wv95;  // VER_PLATFORM_WIN32_WINDOWS
  if (platformId == 2) {                                 // VER_PLATFORM_WIN32_NT
    if (major == 4) return wvNT4;
    if (major > 4) return wvNT5;
  }
  return wvOther;
}

TWindowsVersion DetectWindowsVersion() {
#ifdef _WIN32
  OSVERSIONINFOA vi{};
  vi.dwOSVersionInfoSize = sizeof vi;
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
  if (!GetVersionExA(&vi)) return wvOther;
#pragma GCC diagnostic pop
  return ClassifyWindowsVersion(vi.dwPlatformId, vi.dwMajorVersion, vi.dwMinorVersion);
#else
  return wvOther;
#endif
}

TWindowsVersion WindowsVersion = DetectWindowsVersion();

// ---------------------------------------------------------------------------------------
// Busy cursor

namespace {

#ifdef _WIN32
intptr_t WinGetCursor() { return reinterpret_cast<intptr_t>(::GetCursor()); }
void WinSetCursor(intptr_t c) { ::SetCursor(reinterpret_cast<HCURSOR>(c)); }
intptr_t WinHourglass() { return reinterpret_cast<intptr_t>(LoadCursor(nullptr, IDC_WAIT)); }
void WinProcessMessages() {
  MSG msg;
  while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
}
TBusyCursorHooks g_cursorHooks{WinGetCursor, WinSetCursor, WinHourglass, WinProcessMessages};
#else
intptr_t g_nativeCursor = 0;
TBusyCursorHooks g_cursorHooks{[] { return g_nativeCursor; }, [](intptr_t c) { g_nativeCursor = c; },
                               [] { return intptr_t{-11}; }, [] {}};
#endif

int32_t g_busyCount = 0;
intptr_t g_savedCursor = 0;

}  // namespace

void SetBusyCursorHooks(const TBusyCursorHooks& hooks) { g_cursorHooks = hooks; }
int BusyCursorDepth() { return g_busyCount; }

void BeginBusyCursor() {
  if (g_busyCount > 0) {
    ++g_busyCount;
    return;
  }
  g_busyCount = 1;
  g_savedCursor = g_cursorHooks.GetCursor();
  g_cursorHooks.SetCursor(g_cursorHooks.HourglassCursor());
  g_cursorHooks.ProcessMessages();
}

void EndBusyCursor() {
  --g_busyCount;
  if (g_busyCount <= 0) {
    g_cursorHooks.SetCursor(g_savedCursor);
    g_busyCount = 0;
  }
}

// ---------------------------------------------------------------------------------------
// Uninstall log

const char* LogKeywordName(TLogKeyword keyword) {
  switch (keyword) {
    case TLogKeyword::CreateDir: return "CreateDir";
    case TLogKeyword::InstalledFile: return "CreateFile";
    case TLogKeyword::CreateFolderPM: return "CreateFolder_PM";
    case TLogKeyword::CreateFilePM: return "CreateFile_PM";
    case TLogKeyword::RegisterFile: return "RegisterFile";
    case TLogKeyword::IncUsageCount: return "IncUsageCount";
    case TLogKeyword::CreateIniValue: return "CreateIniValue";
    case TLogKeyword::AddRegValue: return "AddRegValue";
    case TLogKeyword::CreateRegKey: return "CreateRegKey";
    case TLogKeyword::UninstallKey: return "UninstallKey";
    case TLogKeyword::MovedFile: return "MoveFile";
    case TLogKeyword::CreateBackupFolder: return "CreateBackupFolder";
  }
  return "";
}

void AddUninstallLogLine(const std::string& line) {
  auto& log = State().Log;
  log.insert(log.begin(), line);
}

void AddToLog(TLogKeyword keyword, const std::string& argument) {
  AddUninstallLogLine(FormatLogLine(keyword, argument));
}

void ClearUninstallLog() { State().Log.clear(); }

const std::vector<std::string>& UninstallLog() { return State().Log; }

bool SaveUninstallLog(const std::string& fileName) {
  try {
    const std::string text = JoinLogLines(State().Log);
    base::FileStream out(fileName, base::fmCreate);
    out.WriteBuffer(text.data(), static_cast<int32_t>(text.size()));
    return true;
  } catch (...) {
    return false;
  }
}

void MergeEarlierUninstallLog(const std::string& fileName) {
  std::vector<std::string> earlier;
  try {
    if (!base::FileExists(fileName)) return;
    auto bytes = base::ReadFileBytes(fileName);
    earlier = SplitLogText(std::string(bytes.begin(), bytes.end()));
  } catch (...) {
    return;  // an unreadable log is written over as before
  }
  auto& log = State().Log;
#ifdef _WIN32
  for (const std::string& file : CountedTwice(log, earlier)) DecSharedDllCount(file);
#endif
  log = MergeUninstallLogs(log, earlier);
}

// ---------------------------------------------------------------------------------------
// Package offset, text files

int32_t ReadPackageOffset(const std::string& fileName) {
  base::FileStream in(fileName, base::fmOpenRead | base::fmShareDenyNone);
  return FindPackageOffset(in);
}

void WriteTextFile(const std::string& fileName, const std::string& text, std::string& finalName) {
  const bool rtf = text.size() >= 5 && base::SameText(text.substr(0, 5), "{\\rtf");
  finalName = base::ChangeFileExt(fileName, rtf ? ".rtf" : ".txt");
  {
    base::FileStream out(finalName, base::fmCreate);
    out.WriteBuffer(text.data(), static_cast<int32_t>(text.size()));
  }
  AddToLog(TLogKeyword::InstalledFile, finalName);
}

// ---------------------------------------------------------------------------------------
// Restart list

void AddPendingRename(const std::string& fileName, const std::string& pendingCopy) {
  State().Pending.push_back({fileName, pendingCopy.empty() ? DefaultPendingCopy(fileName) : pendingCopy});
}

const std::vector<TPendingRename>& PendingRenames() { return State().Pending; }

std::string ComposeUninstallString(const std::string& enginePath, const std::string& installDir,
                                   const std::string& appName) {
  return "\"" + enginePath + "\" \"/UNINST=" + AddBackslash(installDir) + "UnInst.log \" \"/APPNAME=" +
         appName + "\"";
}

void ResetInstGlobalState() {
  auto& s = State();
  s.DirMacros.Clear();
  s.DirMacrosBuilt = false;
  s.UserVariables.Clear();
  s.Log.clear();
  s.Pending.clear();
  g_busyCount = 0;
  g_savedCursor = 0;
}

#ifndef _WIN32
bool CommitPendingRenames(std::vector<std::string>* failed) {
  // No restart to schedule for outside Windows: every listed file stays unreplaced.
  for (const auto& p : State().Pending)
    if (failed) failed->push_back(p.FileName);
  return State().Pending.empty();
}
#endif

#ifdef _WIN32
// ---------------------------------------------------------------------------------------
// Win32 services

namespace {

constexpr const char* kSharedDllsKey = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\SharedDLLs";
constexpr const char* kUninstallKey = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\";

using base::DirectoryExists;

// The class library's directory forcing: every missing level is made, failures are
// not reported; an empty path raises.
void ForceDirectories(const std::string& path) {
  const std::string dir = RemoveBackslash(path);
  if (dir.empty()) throw EInOutError("Unable to create directory");
  if (dir.size() < 3 || DirectoryExists(dir) || base::ExtractFilePath(dir) == dir) return;
  ForceDirectories(base::ExtractFilePath(dir));
  CreateDirectoryA(dir.c_str(), nullptr);
}

// A fresh empty file of a unique name in folder.
std::string MakeTempIn(const std::string& folder) {
  char buf[MAX_PATH + 16];
  if (folder.size() > MAX_PATH - 14 || !GetTempFileNameA(folder.c_str(), "TIN", 0, buf))
    throw base::EFCreateError("Cannot create file in " + folder);
  return buf;
}

// Through the handle the file was written with: one open less a file.
void SetDosFileDate(const base::FileStream& file, int32_t dosDate) {
  FILETIME local, utc;
  if (!DosDateTimeToFileTime(static_cast<WORD>(static_cast<uint32_t>(dosDate) >> 16),
                             static_cast<WORD>(dosDate & 0xFFFF), &local))
    return;
  if (!LocalFileTimeToFileTime(&local, &utc)) return;
  if (!SetFileTime(file.Handle(), nullptr, nullptr, &utc))
    throw base::EWriteError("Cannot set the date of " + file.FileName());
}

bool NameClaimed(const std::string& name) {
  for (const auto& p : State().Pending)
    if (base::AnsiSameText(p.PendingCopy, name) || base::AnsiSameText(p.FileName, name)) return true;
  return false;
}

// Puts fresh in place of dest; the old file is kept until the new one is at its name.
// Failures raise; InUse leaves the old file as it was, read-only bit included.
TReplaceResult ReplaceFile(const std::string& dest, const std::string& fresh) {
  TReplaceOps ops;
  ops.Exists = base::FileExists;
  ops.Move = [](const std::string& from, const std::string& to) {
    return MoveFileA(from.c_str(), to.c_str()) != 0;
  };
  ops.Remove = DeleteExistingFile;
  ops.RemoveAtRestart = [](const std::string& name) {
    MoveFileExA(name.c_str(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT);
  };
  const DWORD attributes = base::FileExists(dest) ? GetFileAttributesA(dest.c_str()) : INVALID_FILE_ATTRIBUTES;
  std::string aside;
  if (attributes != INVALID_FILE_ATTRIBUTES) {
    aside = MakeTempIn(FolderForFileOps(dest));
    DeleteFileA(aside.c_str());
    ClearReadOnly(dest);
  }
  const TReplaceResult r = ReplaceWithFresh(ops, dest, fresh, aside);
  if (r != TReplaceResult::Replaced && attributes != INVALID_FILE_ATTRIBUTES && base::FileExists(dest))
    SetFileAttributesA(dest.c_str(), attributes);
  if (r == TReplaceResult::Failed) throw base::EFCreateError("Cannot create file " + dest);
  return r;
}

}  // namespace

std::string GetShortPath(const std::string& path) {
  char buf[256];
  DWORD n = GetShortPathNameA(path.c_str(), buf, 255);
  if (n == 0 || n >= 255) return std::string();
  return std::string(buf, n);
}

bool ClearReadOnly(const std::string& fileName) {
  DWORD a = GetFileAttributesA(fileName.c_str());
  if (a == INVALID_FILE_ATTRIBUTES) return false;
  return SetFileAttributesA(fileName.c_str(), a & ~static_cast<DWORD>(FILE_ATTRIBUTE_READONLY)) != 0;
}

bool DeleteExistingFile(const std::string& fileName) {
  try {
    if (!base::FileExists(fileName)) return true;
    ClearReadOnly(fileName);
    return DeleteFileA(fileName.c_str()) != 0;
  } catch (...) {
    return false;
  }
}

int BackupFile(const std::string& fileName, const std::string& backupFolder) {
  if (backupFolder.empty()) return irSuccess;
  ForceDirectories(backupFolder);
  if (!base::FileExists(fileName) || !IsSystemFolder(RemoveBackslash(base::ExtractFilePath(fileName))))
    return irSuccess;
  if (!DirectoryExists(backupFolder)) {
    ForceDirectories(backupFolder);
    AddToLog(TLogKeyword::CreateBackupFolder, backupFolder);
  }
  const std::string backup = AddBackslash(backupFolder) + base::ExtractFileName(fileName);
  if (!CopyFileA(fileName.c_str(), backup.c_str(), TRUE)) return irBackupFailed;
  AddToLog(TLogKeyword::MovedFile, MoveFileLogArgument(fileName, backup));
  return irSuccess;
}

int IncSharedDllCount(const std::string& fileName, bool existedBefore) {
  try {
    base::win::RegKey key;
    if (!key.Open(HKEY_LOCAL_MACHINE, kSharedDllsKey, KEY_READ | KEY_WRITE))
      return 0;
    DWORD type = 0, value = 0, size = sizeof value;
    LONG r = RegQueryValueExA(key.get(), fileName.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(&value),
                              &size);
    if (r == ERROR_FILE_NOT_FOUND)
      value = existedBefore ? 1 : 0;
    else if (r != ERROR_SUCCESS || type != REG_DWORD)
      return 0;  // a value we cannot read is left alone
    ++value;
    if (RegSetValueExA(key.get(), fileName.c_str(), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value),
                       sizeof value) != ERROR_SUCCESS)
      return 0;
    AddToLog(TLogKeyword::IncUsageCount, fileName);
    return static_cast<int>(value);
  } catch (...) {
    return 0;
  }
}

int DecSharedDllCount(const std::string& fileName) {
  base::win::RegKey key;
  if (!key.Open(HKEY_LOCAL_MACHINE, kSharedDllsKey, KEY_READ | KEY_WRITE))
    return 99;
  DWORD type = 0, value = 0, size = sizeof value;
  if (RegQueryValueExA(key.get(), fileName.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(&value),
                       &size) != ERROR_SUCCESS ||
      type != REG_DWORD)
    return 99;
  int32_t next = std::max<int32_t>(0, static_cast<int32_t>(value) - 1);
  DWORD out = static_cast<DWORD>(next);
  // A count that did not drop must not let the caller delete a shared file.
  if (next == 0) return RegDeleteValueA(key.get(), fileName.c_str()) == ERROR_SUCCESS ? 0 : kSharedCountNotWritten;
  if (RegSetValueExA(key.get(), fileName.c_str(), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&out), sizeof out) !=
      ERROR_SUCCESS)
    return kSharedCountNotWritten;
  return next;
}

void ForceDirectoriesLogged(const std::string& folder) {
  // Every level made gets its line, outermost first, so the uninstaller (newest line
  // first) removes the deepest folder before its parents and leaves none behind.
  std::vector<std::string> missing;
  for (std::string level = RemoveBackslash(folder); level.size() >= 3 && !DirectoryExists(level);) {
    missing.push_back(level);
    std::string parent = RemoveBackslash(base::ExtractFilePath(level));
    if (parent == level) break;
    level = parent;
  }
  ForceDirectories(folder);
  for (auto it = missing.rbegin(); it != missing.rend(); ++it)
    if (it + 1 == missing.rend() || DirectoryExists(*it)) AddToLog(TLogKeyword::CreateDir, *it);
}

int InstallFile(const std::string& archiveFile, const std::string& destFile,
                const std::string& archiveFolder, const TProgressHandler& onShowProgress,
                TUpdateMode updateMethod, const std::string& backupFolder,
                TWindowsVersions platforms, const std::string& version) {
  const std::string dest = ExpandMacros(destFile);
  const std::string folder = RemoveBackslash(base::ExtractFilePath(dest));
  // "C:\x.dll" lives in "C:\"; "C:" alone would be the drive's current folder.
  const std::string folderPath = FolderForFileOps(dest);
  if (!DirectoryExists(folderPath)) ForceDirectoriesLogged(folder);
  const std::string entryName = ArchiveEntryName(archiveFolder, dest);
  if (!HasWindowsVersion(platforms, WindowsVersion)) return irSuccess;

  const bool systemFolder = IsSystemFolder(base::AnsiLowerCase(folder));
  const TUpdateMode rule = EffectiveUpdateRule(updateMethod, systemFolder);
  TCompressedFileInfo entry;
  try {
    entry = GetArchivedEntryInfo(archiveFile, entryName);
  } catch (const EStringListError&) {
    throw EArchiveDamaged("The archive lacks " + entryName);
  }
  const TDateTime entryDate = DosDateTimeToDateTime(static_cast<uint32_t>(entry.FileDate));

  int result = irInstallFailed;
  std::string fresh;  // the new copy while it is not yet in place
  // No old file to keep: a name nobody holds is written in place (made new, so a
  // half-written one is ours to delete). Else the old file stays until the new one is
  // whole beside it. Where an absent file is written whatever the rule and there is no
  // backup to make, making it new is itself the test that nothing was there.
  bool existedBefore = false;
  try {
    // Inside the block: the stream closes before a half-written file is deleted below.
    std::unique_ptr<base::FileStream> out;
    const bool newFirst = backupFolder.empty() && ShouldWriteFile(rule, TUpdateFacts{});
    if (newFirst) {
      try {
        out = std::make_unique<base::FileStream>(dest, base::fmCreateNew);
        fresh = dest;
      } catch (const base::EFCreateError&) {
      }
    }
    existedBefore = !out && base::FileExists(dest);
    TUpdateFacts facts;
    facts.DestExists = existedBefore;
    if (facts.DestExists) {
      const std::string existingVersion = GetFileVersion(dest);
      facts.HasVersion = !existingVersion.empty();
      facts.VersionIsOlder = facts.HasVersion && IsVersionOlder(existingVersion, version);
      facts.EntryIsLater = entryDate > GetFileDate(dest);
    }
    if (!ShouldWriteFile(rule, facts)) {
      result = irSuccess;
    } else {
      result = out ? irSuccess : BackupFile(dest, backupFolder);
      if (result == irSuccess) {
        if (!out && !existedBefore && !newFirst) {
          try {
            out = std::make_unique<base::FileStream>(dest, base::fmCreateNew);
            fresh = dest;
          } catch (const base::EFCreateError&) {
          }
        }
        if (!out) {
          fresh = MakeTempIn(folderPath);
          out = std::make_unique<base::FileStream>(fresh, base::fmCreate);
        }
        try {
          ExpandFileFromArchive(archiveFile, *out, entryName, onShowProgress);
        } catch (const base::EWriteError&) {
          throw;  // the disk, not the package
        } catch (const EArchiveDamaged&) {
          throw;
        } catch (const base::EFOpenError&) {
          throw;  // the archive could not be opened: not its bytes
        } catch (const std::exception& e) {
          throw EArchiveDamaged("Archive entry " + entryName + " is damaged: " + e.what());
        }
        if (out->Size() != entry.ExpandedSize) throw EArchiveDamaged("Archive entry " + entryName + " is damaged");
        SetDosFileDate(*out, entry.FileDate);
        out.reset();
        if (fresh == dest) {
          fresh.clear();
          // A new file has the archive attribute already.
          if (entry.Attributes != FILE_ATTRIBUTE_ARCHIVE) SetFileAttributesA(dest.c_str(), entry.Attributes);
          AddToLog(TLogKeyword::InstalledFile, dest);
          result = irSuccess;
        } else if (ReplaceFile(dest, fresh) == TReplaceResult::Replaced) {
          fresh.clear();
          SetFileAttributesA(dest.c_str(), entry.Attributes);
          AddToLog(TLogKeyword::InstalledFile, dest);
          result = irSuccess;
        } else {
          // In use: the new copy waits beside it until the next start of Windows.
          // A file already on disk under the ".New" name is not ours to delete.
          std::string pending = ChoosePendingCopy(DefaultPendingCopy(dest), fresh, [](const std::string& n) {
            return NameClaimed(n) || GetFileAttributesA(n.c_str()) != INVALID_FILE_ATTRIBUTES;
          });
          if (pending != fresh && !MoveFileA(fresh.c_str(), pending.c_str())) pending = fresh;
          fresh.clear();
          SetFileAttributesA(pending.c_str(), entry.Attributes);
          AddPendingRename(dest, pending);
          AddToLog(TLogKeyword::InstalledFile, dest);
          result = irFileInUse;
        }
      }
    }
  } catch (const EArchiveDamaged&) {
    if (!fresh.empty()) DeleteFileA(fresh.c_str());
    throw;
  } catch (...) {
    result = irInstallFailed;
  }
  if (!fresh.empty()) DeleteFileA(fresh.c_str());
  if (systemFolder) IncSharedDllCount(dest, existedBefore);
  return result;
}

std::string WininitFileName() {
  char windir[MAX_PATH + 1];
  UINT n = GetWindowsDirectoryA(windir, MAX_PATH);
  if (n == 0 || n >= MAX_PATH) return std::string();
  return AddBackslash(std::string(windir, n)) + "WININIT.INI";
}

// The 95 family has no MOVEFILE_REPLACE_EXISTING: there the old file is moved aside first.
bool ReplaceFileText(const std::string& target, const std::string& text) {
  const std::string stem = base::ChangeFileExt(target, "");
  std::string temp;
  try {
    temp = base::CreateUniqueFile(stem + ".~nw");
    base::WriteFileBytes(temp, std::vector<uint8_t>(text.begin(), text.end()));
  } catch (...) {
    if (!temp.empty()) DeleteFileA(temp.c_str());
    return false;
  }
  if (MoveFileExA(temp.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) return true;
  bool done = false;
  try {
    std::string aside;
    if (base::FileExists(target)) {
      aside = base::CreateUniqueFile(stem + ".~od");
      DeleteFileA(aside.c_str());
    }
    TReplaceOps ops;
    ops.Exists = base::FileExists;
    ops.Move = [](const std::string& from, const std::string& to) { return MoveFileA(from.c_str(), to.c_str()) != 0; };
    ops.Remove = [](const std::string& name) { return DeleteFileA(name.c_str()) != 0; };
    ops.RemoveAtRestart = [](const std::string& name) { MoveFileExA(name.c_str(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT); };
    done = ReplaceWithFresh(ops, target, temp, aside) == TReplaceResult::Replaced;
  } catch (...) {
  }
  if (!done) DeleteFileA(temp.c_str());
  return done;
}

bool CommitPendingRenames(std::vector<std::string>* failed) {
  const auto& pending = State().Pending;
  if (pending.empty()) return true;
  bool ok = true;
  auto fail = [&](const std::string& f) {
    ok = false;
    if (failed) failed->push_back(f);
  };
  if (WindowsVersion == wvNT4 || WindowsVersion == wvNT5) {
    for (const auto& p : pending) {
      bool a = MoveFileExA(p.FileName.c_str(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT) != 0;
      bool b = MoveFileExA(p.PendingCopy.c_str(), p.FileName.c_str(), MOVEFILE_DELAY_UNTIL_REBOOT) != 0;
      if (!a || !b) fail(p.FileName);
    }
    return ok;
  }
  // The 95 family reads "WININIT.INI" before Windows starts: short names only.
  std::vector<TIniLine> renames, errors;
  for (const auto& p : pending) {
    const std::string shortName = GetShortPath(p.FileName);
    std::string shortCopy = GetShortPath(p.PendingCopy);
    if (shortCopy.empty()) shortCopy = p.PendingCopy;
    if (!base::AnsiSameText(shortName, p.FileName)) {
      errors.push_back({p.FileName, "Uses long filenames"});
      fail(p.FileName);
      continue;
    }
    renames.push_back({"nul", p.FileName});
    renames.push_back({p.FileName, shortCopy});
  }
  const std::string ini = WininitFileName();
  if (ini.empty()) {
    for (const auto& p : pending) fail(p.FileName);
    return false;
  }
  try {
    std::string existing;
    if (base::FileExists(ini)) {
      auto bytes = base::ReadFileBytes(ini);
      existing.assign(bytes.begin(), bytes.end());
    }
    const std::string text = AppendWininitLines(existing, renames, errors);
    // Other programs' pending lines live in the same file: the old one stays whole
    // until the new one is written out beside it.
    if (!ReplaceFileText(ini, text)) throw base::EWriteError("Cannot write " + ini);
  } catch (...) {
    for (const auto& r : renames)
      if (r.Key != "nul") fail(r.Key);
  }
  return ok;
}

int CreateUninstallEntry(const std::string& appName, const std::string& uninstallString) {
  if (!IsValidUninstallName(appName)) return irUninstallCreateFailed;
  base::win::RegKey key;
  const std::string path = kUninstallKey + appName;
  if (!key.Create(HKEY_LOCAL_MACHINE, path.c_str(), KEY_WRITE))
    return irUninstallCreateFailed;
  auto write = [&](const char* name, const std::string& value) {
    if (RegSetValueExA(key.get(), name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                       static_cast<DWORD>(value.size() + 1)) != ERROR_SUCCESS)
      throw ERegistryException(std::string("Failed to set data for '") + name + "'");
  };
  write("DisplayName", appName);
  write("UninstallString", uninstallString);
  return irSuccess;
}

std::vector<std::string> OtherUninstallCommands(const std::string& appName) {
  std::vector<std::string> commands;
  base::win::RegKey root;
  if (!root.Open(HKEY_LOCAL_MACHINE, base::ExcludeTrailingBackslash(kUninstallKey).c_str(), KEY_READ)) return commands;
  for (DWORD i = 0;; ++i) {
    char name[256];
    DWORD len = sizeof name;
    if (RegEnumKeyExA(root.get(), i, name, &len, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
    const std::string entry(name, len);
    if (base::AnsiSameText(entry, appName)) continue;
    base::win::RegKey key;
    if (key.Open(root.get(), entry.c_str(), KEY_READ))
      commands.push_back(base::win::ReadRegString(key.get(), "UninstallString"));
  }
  return commands;
}

namespace {
bool EntryKeyExists(const std::string& path) {
  base::win::RegKey key;
  return key.Open(HKEY_LOCAL_MACHINE, path.c_str(), KEY_READ);
}
}  // namespace

int RemoveUninstallEntry(const std::string& appName) {
  if (!IsValidUninstallName(appName)) return irUninstallRemoveFailed;
  try {
    const std::string path = kUninstallKey + appName;
    {
      base::win::RegKey key;
      if (key.Open(HKEY_LOCAL_MACHINE, path.c_str(), KEY_READ | KEY_WRITE)) {
        RegDeleteValueA(key.get(), "DisplayName");
        RegDeleteValueA(key.get(), "UninstallString");
      }
    }
    // The entry may have sub-keys of its own; NT's RegDeleteKeyA refuses such a key.
    DeleteRegKey("HKEY_LOCAL_MACHINE\\" + path);
    return EntryKeyExists(path) ? irUninstallRemoveFailed : irSuccess;
  } catch (...) {
    return irUninstallRemoveFailed;
  }
}
#endif
