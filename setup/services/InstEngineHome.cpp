#include "setup/services/InstEngineHome.h"

#include <cstdio>

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

#ifdef _WIN32
#include <windows.h>

#include "base/Streams.h"
#include "base/win/Registry.h"

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

constexpr const char* kUninstallRoot = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall";

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
  base::win::RegKey root;
  if (!root.Open(HKEY_LOCAL_MACHINE, kUninstallRoot, KEY_READ)) return false;
  for (DWORD i = 0;; ++i) {
    char name[256];
    DWORD len = sizeof name;
    if (RegEnumKeyExA(root.get(), i, name, &len, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
    const std::string entry(name, len);
    if (base::AnsiSameText(entry, appName)) continue;
    base::win::RegKey key;
    if (!key.Open(root.get(), entry.c_str(), KEY_READ)) continue;
    if (UninstallStringNames(base::win::ReadRegString(key.get(), "UninstallString"), engine)) return true;
  }
  return false;
}

void ReleaseKeptEngine(const std::string& engine, bool nt, std::string* aside) {
  const std::string folder = base::ExcludeTrailingBackslash(base::ExtractFilePath(engine));
  const std::string home = base::ExcludeTrailingBackslash(base::ExtractFilePath(folder));
  if (aside) aside->clear();
  if (DeleteFileA(engine.c_str())) {
    RemoveDirectoryA(folder.c_str());
    RemoveDirectoryA(home.c_str());
    return;
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
#endif
