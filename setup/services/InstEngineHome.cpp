#include "setup/services/InstEngineHome.h"

#include <cstdio>
#include <cstdlib>

#include "base/Strings.h"

uint64_t EngineContentHash(const std::vector<uint8_t>& bytes) {
  uint64_t h = 0xCBF29CE484222325ull;
  for (uint8_t b : bytes) h = (h ^ b) * 0x100000001B3ull;
  return h;
}

std::string EngineFolderName(uint64_t hash) {
  return base::IntToHex(hash, 16);
}

bool IsKeptEnginePath(const std::string& file) {
  const size_t nameAt = file.find_last_of('\\');
  if (nameAt == std::string::npos || !base::AnsiSameText(file.substr(nameAt + 1), kEngineFileName)) return false;
  const size_t folderAt = nameAt == 0 ? std::string::npos : file.find_last_of('\\', nameAt - 1);
  if (folderAt == std::string::npos || folderAt == 0) return false;
  const std::string folder = file.substr(folderAt + 1, nameAt - folderAt - 1);
  const size_t homeAt = file.find_last_of('\\', folderAt - 1);
  if (homeAt == std::string::npos) return false;
  if (!base::AnsiSameText(file.substr(homeAt + 1, folderAt - homeAt - 1), kEngineHomeFolder)) return false;
  if (folder.size() < 16 || folder.find_first_not_of("0123456789ABCDEFabcdef") < 16) return false;
  const std::string variant = folder.substr(16);
  return variant.empty() || (variant.size() == 2 && variant[0] == '-' && variant[1] >= '1' && variant[1] <= '9');
}

bool UninstallStringNames(const std::string& uninstallString, const std::string& engine) {
  return base::AnsiLowerCase(uninstallString).find("\"" + base::AnsiLowerCase(engine) + "\"") != std::string::npos;
}

namespace {
constexpr const char* kKeptArg = "/KEPT=";
constexpr const char* kResultArg = "/RESULT=";

bool ReadHex(const std::string& text, uintptr_t& value) {
  if (text.empty() || text.size() > 2 * sizeof(uintptr_t) || text.find_first_not_of("0123456789ABCDEFabcdef") != std::string::npos)
    return false;
  value = static_cast<uintptr_t>(std::strtoull(text.c_str(), nullptr, 16));
  return true;
}
}  // namespace

TEngineCopyArgs ReadEngineCopyArgs(const std::vector<std::string>& args) {
  TEngineCopyArgs r;
  std::string result;
  for (const std::string& a : args) {
    if (a.rfind(kKeptArg, 0) == 0) r.KeptEngine = a.substr(std::string(kKeptArg).size());
    if (a.rfind(kResultArg, 0) == 0) result = a.substr(std::string(kResultArg).size());
  }
  const size_t comma = result.find(',');
  if (comma == std::string::npos || !ReadHex(result.substr(0, comma), r.ResultPipe) ||
      !ReadHex(result.substr(comma + 1), r.FirstPhase))
    r.ResultPipe = r.FirstPhase = 0;
  return r;
}

std::string EngineCopyResultArg(uintptr_t pipe, uintptr_t process) {
  return kResultArg + base::IntToHex(pipe, 1) + "," + base::IntToHex(process, 1);
}

bool IsEngineCopyName(const std::string& fileName) {
  const std::string prefix = kEngineCopyPrefix;
  if (fileName.size() <= prefix.size() + 4 || fileName.size() > 12) return false;
  if (!base::AnsiSameText(fileName.substr(0, prefix.size()), prefix)) return false;
  if (!base::AnsiSameText(fileName.substr(fileName.size() - 4), ".tmp")) return false;
  const std::string digits = fileName.substr(prefix.size(), fileName.size() - prefix.size() - 4);
  return digits.find_first_not_of("0123456789ABCDEFabcdef") == std::string::npos;
}

#ifdef _WIN32
#include <windows.h>

#include "base/Streams.h"
#include "setup/services/InstGlobal.h"

namespace {

std::vector<uint8_t> BytesOf(const std::string& file) {
  try {
    return base::ReadFileBytes(file);
  } catch (...) {
    return {};
  }
}

bool HoldsBytes(const std::string& file, const std::vector<uint8_t>& bytes) {
  if (GetFileAttributesA(file.c_str()) == INVALID_FILE_ATTRIBUTES) return false;
  return BytesOf(file) == bytes;
}

bool MakeFolders(const std::string& folder) {
  std::string path = base::ExcludeTrailingBackslash(folder);
  if (path.empty() || base::DirectoryExists(path)) return !path.empty();
  std::string parent = base::ExcludeTrailingBackslash(base::ExtractFilePath(path));
  if (!parent.empty() && parent != path && !base::DirectoryExists(parent) && !MakeFolders(parent)) return false;
  return CreateDirectoryA(path.c_str(), nullptr) || base::DirectoryExists(path);
}

std::string WindowsFolder() {
  char buf[MAX_PATH + 1] = {};
  UINT n = GetWindowsDirectoryA(buf, MAX_PATH);
  return n == 0 || n > MAX_PATH ? std::string() : std::string(buf, n);
}

std::string AppDataFolder() {
  char buf[MAX_PATH + 1] = {};
  DWORD n = GetEnvironmentVariableA("APPDATA", buf, MAX_PATH);
  return n == 0 || n > MAX_PATH ? std::string() : std::string(buf, n);
}

std::string KeepIn(const std::string& home, const std::string& engineFile, const std::vector<uint8_t>& bytes) {
  if (home.empty() || !base::DirectoryExists(home)) return {};
  const std::string root = base::IncludeTrailingBackslash(home) + kEngineHomeFolder + "\\";
  const std::string name = EngineFolderName(EngineContentHash(bytes));
  // A further folder only when one of that name holds other bytes that cannot be replaced.
  for (int variant = 0; variant < 4; ++variant) {
    std::string folder = root + name;
    if (variant > 0) folder += "-" + base::IntToStr(variant);
    const std::string target = folder + "\\" + kEngineFileName;
    if (base::AnsiSameText(target, engineFile)) return target;
    if (HoldsBytes(target, bytes)) return target;
    if (!MakeFolders(folder)) return {};
    char pending[MAX_PATH + 1] = {};
    if (!GetTempFileNameA(folder.c_str(), "Zem", 0, pending)) return {};
    if (!CopyFileA(engineFile.c_str(), pending, FALSE) || !HoldsBytes(pending, bytes)) {
      DeleteFileA(pending);
      return {};
    }
    // A rename is whole or nothing: a copy in place is complete.
    bool placed = MoveFileA(pending, target.c_str()) != 0;
    if (!placed) {
      SetFileAttributesA(target.c_str(), FILE_ATTRIBUTE_NORMAL);
      placed = DeleteFileA(target.c_str()) && MoveFileA(pending, target.c_str());
    }
    if (!placed) DeleteFileA(pending);
    if (placed && HoldsBytes(target, bytes)) return target;
  }
  return {};
}

}  // namespace

std::string KeepEngine(const std::string& engineFile) {
  const std::vector<uint8_t> bytes = BytesOf(engineFile);
  if (bytes.empty()) return {};
  for (const std::string& home : {WindowsFolder(), AppDataFolder()}) {
    std::string kept = KeepIn(home, engineFile, bytes);
    if (!kept.empty()) return kept;
  }
  return {};
}

bool EngineNamedByOtherEntries(const std::string& engine, const std::string& appName) {
  for (const std::string& command : OtherUninstallCommands(appName))
    if (UninstallStringNames(command, engine)) return true;
  return false;
}

void ReleaseKeptEngine(const std::string& engine, bool nt, std::string* aside, int attempts) {
  const std::string folder = base::ExcludeTrailingBackslash(base::ExtractFilePath(engine));
  const std::string home = base::ExcludeTrailingBackslash(base::ExtractFilePath(folder));
  if (aside) aside->clear();
  for (int i = 0; i < attempts; ++i) {
    if (i > 0) Sleep(50);
    if (DeleteFileA(engine.c_str())) {
      RemoveDirectoryA(folder.c_str());
      RemoveDirectoryA(home.c_str());
      return;
    }
  }
  // A running program can be renamed, not deleted: out of the way at once, so that a setup
  // before the restart keeps a fresh copy instead of one about to go; deleted at the restart.
  std::string target = engine;
  char moved[MAX_PATH + 1] = {};
  if (GetTempFileNameA(home.c_str(), "Zem", 0, moved)) {
    DeleteFileA(moved);
    if (MoveFileA(engine.c_str(), moved)) {
      target = moved;
      RemoveDirectoryA(folder.c_str());
    } else {
      DeleteFileA(moved);
    }
  }
  if (aside) *aside = target;
  if (nt) {
    // Carried out in this order at the restart; a folder still holding something stays.
    for (const std::string& item : {target, folder, home}) MoveFileExA(item.c_str(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT);
  }
}

namespace {

std::string TempFolder() {
  char buf[MAX_PATH + 1] = {};
  DWORD n = GetTempPathA(MAX_PATH, buf);
  return n == 0 || n > MAX_PATH ? std::string() : base::IncludeTrailingBackslash(std::string(buf, n));
}

std::string Quoted(const std::string& arg) { return "\"" + arg + "\""; }

// An inheritable duplicate of a handle of this process; null when none could be made.
HANDLE Inheritable(HANDLE handle, DWORD access) {
  HANDLE dup = nullptr;
  if (!DuplicateHandle(GetCurrentProcess(), handle, GetCurrentProcess(), &dup, access, TRUE, 0)) return nullptr;
  return dup;
}

// The copy's exit code as it sends it, or as it ended without sending one.
int AwaitCopyResult(HANDLE readEnd, HANDLE process) {
  for (;;) {
    DWORD waiting = 0;
    if (!PeekNamedPipe(readEnd, nullptr, 0, nullptr, &waiting, nullptr)) break;  // no copy writes any more
    if (waiting >= 4) {
      uint8_t b[4] = {};
      DWORD got = 0;
      if (ReadFile(readEnd, b, 4, &got, nullptr) && got == 4)
        return static_cast<int>(b[0] | b[1] << 8 | b[2] << 16 | static_cast<uint32_t>(b[3]) << 24);
      break;
    }
    // Windows of this process, if any, stay answered while the copy runs.
    if (MsgWaitForMultipleObjects(1, &process, FALSE, 50, QS_ALLINPUT) == WAIT_OBJECT_0) {
      if (PeekNamedPipe(readEnd, nullptr, 0, nullptr, &waiting, nullptr) && waiting >= 4) continue;
      break;
    }
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
  }
  WaitForSingleObject(process, INFINITE);
  DWORD code = 0;
  GetExitCodeProcess(process, &code);
  return static_cast<int>(code);
}

}  // namespace

bool IsEngineCopyOf(const std::string& copy, const std::string& engine) {
  const std::string temp = TempFolder();
  if (temp.empty() || !base::AnsiSameText(base::ExtractFilePath(copy), temp)) return false;
  if (!IsEngineCopyName(base::ExtractFileName(copy))) return false;
  const std::vector<uint8_t> bytes = BytesOf(engine);
  return !bytes.empty() && HoldsBytes(copy, bytes);
}

bool RunFromEngineCopy(const std::string& engine, const std::vector<std::string>& args, int& exitCode) {
  const std::string temp = TempFolder();
  char name[MAX_PATH + 1] = {};
  if (temp.empty() || !GetTempFileNameA(temp.c_str(), kEngineCopyPrefix, 0, name)) return false;
  const std::string copy = name;
  if (!CopyFileA(engine.c_str(), copy.c_str(), FALSE) || !IsEngineCopyOf(copy, engine)) {
    DeleteFileA(copy.c_str());
    return false;
  }
  // The 95 family lacks SetHandleInformation: the copy inherits duplicates made for it.
  HANDLE readEnd = nullptr, writeEnd = nullptr;
  if (!CreatePipe(&readEnd, &writeEnd, nullptr, 0)) {
    DeleteFileA(copy.c_str());
    return false;
  }
  HANDLE pipeForCopy = Inheritable(writeEnd, GENERIC_WRITE);
  CloseHandle(writeEnd);
  HANDLE selfForCopy = Inheritable(GetCurrentProcess(), SYNCHRONIZE);
  std::string command = Quoted(copy);
  for (const std::string& a : args) command += " " + Quoted(a);
  command += " " + Quoted(kKeptArg + engine) + " " +
             Quoted(EngineCopyResultArg(reinterpret_cast<uintptr_t>(pipeForCopy), reinterpret_cast<uintptr_t>(selfForCopy)));
  std::vector<char> line(command.begin(), command.end());
  line.push_back('\0');
  STARTUPINFOA si{};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi{};
  // Started in the temp folder: no working folder of the copy keeps the engine's folders.
  const bool started = pipeForCopy && selfForCopy &&
                       CreateProcessA(copy.c_str(), line.data(), nullptr, nullptr, TRUE, 0, nullptr, temp.c_str(), &si, &pi);
  if (pipeForCopy) CloseHandle(pipeForCopy);
  if (selfForCopy) CloseHandle(selfForCopy);
  if (!started) {
    CloseHandle(readEnd);
    DeleteFileA(copy.c_str());
    return false;
  }
  CloseHandle(pi.hThread);
  exitCode = AwaitCopyResult(readEnd, pi.hProcess);
  CloseHandle(readEnd);
  CloseHandle(pi.hProcess);
  return true;
}

void HandBackResult(const TEngineCopyArgs& copy, int exitCode) {
  if (copy.ResultPipe) {
    HANDLE pipe = reinterpret_cast<HANDLE>(copy.ResultPipe);
    if (GetFileType(pipe) == FILE_TYPE_PIPE) {
      const uint32_t code = static_cast<uint32_t>(exitCode);
      const uint8_t b[4] = {static_cast<uint8_t>(code), static_cast<uint8_t>(code >> 8), static_cast<uint8_t>(code >> 16),
                            static_cast<uint8_t>(code >> 24)};
      DWORD written = 0;
      WriteFile(pipe, b, 4, &written, nullptr);
    }
    CloseHandle(pipe);
  }
  if (copy.FirstPhase) {
    HANDLE first = reinterpret_cast<HANDLE>(copy.FirstPhase);
    WaitForSingleObject(first, 30000);
    CloseHandle(first);
  }
}
#endif
