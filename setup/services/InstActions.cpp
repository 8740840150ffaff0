#include "setup/services/InstActions.h"

namespace {

struct RootName {
  const char* name;
  TRegRoot root;
};
const RootName kRoots[] = {
    {"HKEY_CLASSES_ROOT", TRegRoot::ClassesRoot},     {"HKEY_CURRENT_USER", TRegRoot::CurrentUser},
    {"HKEY_LOCAL_MACHINE", TRegRoot::LocalMachine},   {"HKEY_USERS", TRegRoot::Users},
    {"HKEY_CURRENT_CONFIG", TRegRoot::CurrentConfig}, {"HKEY_DYN_DATA", TRegRoot::DynData},
};

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

std::string WithoutTrailingBackslashes(std::string s) {
  while (!s.empty() && s.back() == '\\') s.pop_back();
  return s;
}

}  // namespace

const char* ShellFolderValueName(int GroupType) {
  switch (GroupType) {
    case 0:  // gtDefault
    case 1:  // gtPrograms
      return "Programs";
    case 2: return "Start Menu";
    case 3: return "Desktop";
    case 4: return "Startup";
    case 5: return "SendTo";
    default: return nullptr;
  }
}

bool ParseFullKey(const std::string& FullKey, TRegRoot& Root, std::string& SubKey) {
  for (const RootName& r : kRoots) {
    size_t n = std::char_traits<char>::length(r.name);
    if (FullKey.compare(0, n, r.name) != 0) continue;
    // A longer word that merely begins with a root name is no root.
    if (FullKey.size() > n && FullKey[n] != '\\') continue;
    std::string rest = FullKey.substr(n);
    size_t first = rest.find_first_not_of('\\');
    rest = first == std::string::npos ? std::string() : rest.substr(first);
    Root = r.root;
    SubKey = WithoutTrailingBackslashes(rest);
    return true;
  }
  return false;
}

bool ParseHexBinary(const std::string& Text, std::string& Bytes) {
  std::string out;
  int high = -1;
  for (char c : Text) {
    if (c == ' ' || c == '\t' || c == '\r' || c == '\n') {
      if (high >= 0) return false;  // a blank may not split a byte
      continue;
    }
    int d = HexDigit(c);
    if (d < 0) return false;
    if (high < 0) {
      high = d;
    } else {
      out += static_cast<char>(high * 16 + d);
      high = -1;
    }
  }
  if (high >= 0) return false;
  Bytes = out;
  return true;
}

std::string ShortcutFolder(const std::string& Base, const std::string& ProgramFolder) {
  std::string folder = WithoutTrailingBackslashes(Base);
  if (!ProgramFolder.empty()) folder += "\\" + ProgramFolder;
  return WithoutTrailingBackslashes(folder);
}

std::vector<std::string> FolderLevels(const std::string& Folder) {
  std::string path = WithoutTrailingBackslashes(Folder);
  size_t start = 0;
  if (path.size() >= 2 && path[1] == ':') {
    start = 2;
  } else if (path.compare(0, 2, "\\\\") == 0) {
    // "\\server\share" is one level that cannot be created.
    size_t server = path.find('\\', 2);
    size_t share = server == std::string::npos ? std::string::npos : path.find('\\', server + 1);
    if (share == std::string::npos) return {};
    start = share;
  }
  std::vector<std::string> levels;
  for (size_t i = start; i <= path.size(); ++i) {
    if (i == path.size() || path[i] == '\\') {
      std::string level = path.substr(0, i);
      if (i > start && path[i - 1] != '\\' && !level.empty() && level.size() > start) levels.push_back(level);
    }
  }
  return levels;
}

#ifdef _WIN32
#include <shlobj.h>

#include "base/Streams.h"
#include "base/win/Com.h"
#include "base/win/ForeignCall.h"
#include "base/win/Registry.h"
#include "setup/services/InstGlobal.h"
#include "setup/services/InstallRules.h"

namespace {

HKEY RootKey(TRegRoot root) {
  switch (root) {
    case TRegRoot::ClassesRoot: return HKEY_CLASSES_ROOT;
    case TRegRoot::CurrentUser: return HKEY_CURRENT_USER;
    case TRegRoot::LocalMachine: return HKEY_LOCAL_MACHINE;
    case TRegRoot::Users: return HKEY_USERS;
    case TRegRoot::CurrentConfig: return HKEY_CURRENT_CONFIG;
    case TRegRoot::DynData: return HKEY_DYN_DATA;
  }
  return nullptr;
}

bool KeyExists(HKEY root, const std::string& subKey) {
  base::win::RegKey key;
  return key.Open(root, subKey.c_str(), KEY_READ);
}

std::string ShellFolder(const char* valueName) {
  base::win::RegKey key;
  if (!valueName ||
      !key.Open(HKEY_CURRENT_USER, "Software\\MicroSoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders",
                KEY_READ))
    return {};
  return base::win::ReadRegString(key.get(), valueName);
}

using base::DirectoryExists;

const CLSID kShellLink = {0x00021401, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
const IID kShellLinkA = {0x000214EE, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
const IID kPersistFile = {0x0000010B, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};

// Deletes a key with all its sub-keys (NT's RegDeleteKeyA refuses a key that has any).
bool DeleteKeyTree(HKEY parent, const std::string& subKey) {
  {
    base::win::RegKey key;
    if (!key.Open(parent, subKey.c_str(), KEY_READ | KEY_WRITE)) return false;
    std::vector<std::string> children;
    for (DWORD i = 0;; ++i) {
      char name[256];
      DWORD len = sizeof name;
      LONG r = RegEnumKeyExA(key.get(), i, name, &len, nullptr, nullptr, nullptr, nullptr);
      if (r != ERROR_SUCCESS) break;
      children.emplace_back(name, len);
    }
    for (const std::string& child : children) DeleteKeyTree(key.get(), child);
  }
  return RegDeleteKeyA(parent, subKey.c_str()) == ERROR_SUCCESS;
}

}  // namespace

int CreateShortcut(const std::string& Caption, const std::string& FileName, const std::string& Params,
                   const std::string& WorkingDir, int GroupType, const std::string& ProgramFolder) {
  std::vector<std::string> made;
  try {
    std::string base = ShellFolder(ShellFolderValueName(GroupType));
    if (base.empty() || Caption.empty()) return irShortcutFailed;

    base::win::ComScope com;
    base::win::ComPtr<IShellLinkA> link;
    if (FAILED(CoCreateInstance(kShellLink, nullptr, CLSCTX_INPROC_SERVER, kShellLinkA, link.put_void())))
      return irShortcutFailed;
    base::win::ComPtr<IPersistFile> file;
    if (FAILED(link->QueryInterface(kPersistFile, file.put_void()))) return irShortcutFailed;
    link->SetArguments(ExpandMacros(Params).c_str());
    link->SetPath(ExpandMacros(FileName).c_str());
    link->SetWorkingDirectory(ExpandMacros(WorkingDir).c_str());

    std::string folder = ShortcutFolder(base, ProgramFolder);
    for (const std::string& level : FolderLevels(folder)) {
      if (DirectoryExists(level)) continue;
      if (!CreateDirectoryA(level.c_str(), nullptr)) break;
      made.push_back(level);
    }
    std::string linkPath = folder + "\\" + Caption + ".lnk";
    if (!DirectoryExists(folder) || FAILED(file->Save(base::win::Wide(linkPath).c_str(), FALSE)) ||
        GetFileAttributesA(linkPath.c_str()) == INVALID_FILE_ATTRIBUTES)
      throw base::Exception("link not saved");
    for (const std::string& level : made) AddToLog(TLogKeyword::CreateFolderPM, level);
    AddToLog(TLogKeyword::CreateFilePM, linkPath);
    return irSuccess;
  } catch (...) {
    // Leave no empty folders behind for a shortcut that was not made.
    for (auto it = made.rbegin(); it != made.rend(); ++it) RemoveDirectoryA(it->c_str());
    return irShortcutFailed;
  }
}

int WriteIniValue(const std::string& FileName, const std::string& Section, const std::string& Key,
                  const std::string& Value) {
  if (Section.empty() || Key.empty()) return irSuccess;
  std::string file = ExpandMacros(FileName);
  // The profile API gives the default only for a key that is not there.
  const char* const absent = "\x01tandrel-absent\x01";
  char probe[32] = {};
  GetPrivateProfileStringA(Section.c_str(), Key.c_str(), absent, probe, sizeof probe, file.c_str());
  const bool existed = std::string(probe) != absent;
  if (!WritePrivateProfileStringA(Section.c_str(), Key.c_str(), ExpandMacros(Value).c_str(), file.c_str()))
    throw EIniFileException("Unable to write to " + file);
  if (!existed) AddToLog(TLogKeyword::CreateIniValue, IniValueLogArgument(file, Section, Key));
  return irSuccess;
}

int DeleteIniValue(const std::string& FileName, const std::string& Section, const std::string& Key) {
  // An empty key would make the profile API remove the whole section.
  if (Section.empty() || Key.empty()) return irSuccess;
  WritePrivateProfileStringA(Section.c_str(), Key.c_str(), nullptr, ExpandMacros(FileName).c_str());
  return irSuccess;
}

int CreateRegistryKey(const std::string& FullKey) {
  TRegRoot root;
  std::string subKey;
  if (!ParseFullKey(FullKey, root, subKey)) return irRegistryKeyFailed;
  HKEY rootKey = RootKey(root);
  // The levels that are missing now, outermost first; the last is the key itself.
  std::vector<std::string> missing;
  for (size_t at = 0; !subKey.empty();) {
    at = subKey.find('\\', at + 1);
    const std::string level = subKey.substr(0, at);
    if (!level.empty() && !KeyExists(rootKey, level)) missing.push_back(level);
    if (at == std::string::npos) break;
  }
  base::win::RegKey key;
  bool created = false;
  if (!key.Create(rootKey, subKey.c_str(), KEY_ALL_ACCESS, &created)) return irRegistryKeyFailed;
  if (!created) return irRegistryKeyExists;
  const std::string rootName = FullKey.substr(0, FullKey.find('\\'));
  for (size_t i = 0; i + 1 < missing.size(); ++i)
    if (KeyExists(rootKey, missing[i])) AddToLog(TLogKeyword::CreateRegKey, rootName + "\\" + missing[i]);
  AddToLog(TLogKeyword::CreateRegKey, FullKey);
  return irSuccess;
}

namespace {

// Creates the key when needed and opens it for writing the value; 0 or a result code.
int OpenForValue(const std::string& FullKey, base::win::RegKey& key) {
  int r = CreateRegistryKey(FullKey);
  if (r != irSuccess && r != irRegistryKeyExists) return r;
  TRegRoot root;
  std::string subKey;
  ParseFullKey(FullKey, root, subKey);
  if (!key.Open(RootKey(root), subKey.c_str(), KEY_SET_VALUE | KEY_QUERY_VALUE)) return irRegistryValueNotWritten;
  return irSuccess;
}

bool ValueExists(HKEY key, const std::string& ValueName) {
  return RegQueryValueExA(key, ValueName.c_str(), nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
}

// A value that was there before the install stays after the uninstall.
void LogValue(const std::string& FullKey, const std::string& ValueName, bool existed) {
  if (!existed) AddToLog(TLogKeyword::AddRegValue, RegValueLogArgument(FullKey, ValueName));
}

}  // namespace

int WriteRegString(const std::string& FullKey, const std::string& ValueName, const std::string& Value) {
  base::win::RegKey key;
  int r = OpenForValue(FullKey, key);
  if (r != irSuccess) return r;
  std::string data = ExpandMacros(Value);
  const bool existed = ValueExists(key.get(), ValueName);
  if (RegSetValueExA(key.get(), ValueName.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(data.c_str()),
                     static_cast<DWORD>(data.size() + 1)) != ERROR_SUCCESS)
    throw ERegistryException("Failed to set data for '" + ValueName + "'");
  LogValue(FullKey, ValueName, existed);
  return irSuccess;
}

int WriteRegInteger(const std::string& FullKey, const std::string& ValueName, int32_t Value) {
  base::win::RegKey key;
  int r = OpenForValue(FullKey, key);
  if (r != irSuccess) return r;
  DWORD data = static_cast<DWORD>(Value);
  const bool existed = ValueExists(key.get(), ValueName);
  if (RegSetValueExA(key.get(), ValueName.c_str(), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&data),
                     sizeof data) != ERROR_SUCCESS)
    throw ERegistryException("Failed to set data for '" + ValueName + "'");
  LogValue(FullKey, ValueName, existed);
  return irSuccess;
}

int WriteRegBinary(const std::string& FullKey, const std::string& ValueName, const std::string& Data) {
  std::string bytes;
  if (!ParseHexBinary(Data, bytes)) return irRegistryValueNotWritten;
  base::win::RegKey key;
  int r = OpenForValue(FullKey, key);
  if (r != irSuccess) return r;
  const bool existed = ValueExists(key.get(), ValueName);
  if (RegSetValueExA(key.get(), ValueName.c_str(), 0, REG_BINARY, reinterpret_cast<const BYTE*>(bytes.data()),
                     static_cast<DWORD>(bytes.size())) != ERROR_SUCCESS)
    return irRegistryValueNotWritten;
  LogValue(FullKey, ValueName, existed);
  return irSuccess;
}

int DeleteRegValue(const std::string& FullKey, const std::string& ValueName) {
  TRegRoot root;
  std::string subKey;
  if (!ParseFullKey(FullKey, root, subKey) || !KeyExists(RootKey(root), subKey)) return irRegistryValueNotDeleted;
  base::win::RegKey key;
  if (key.Open(RootKey(root), subKey.c_str(), KEY_SET_VALUE) &&
      RegDeleteValueA(key.get(), ValueName.c_str()) != ERROR_SUCCESS)
    return irRegistryValueNotDeleted;
  return irSuccess;
}

int DeleteRegKey(const std::string& FullKey) {
  TRegRoot root;
  std::string subKey;
  if (!ParseFullKey(FullKey, root, subKey) || subKey.empty()) return irRegistryKeyNotDeleted;
  HKEY rootKey = RootKey(root);
  if (!KeyExists(rootKey, subKey)) return irRegistryKeyNotDeleted;
  DeleteKeyTree(rootKey, subKey);
  return KeyExists(rootKey, subKey) ? irRegistryKeyNotDeleted : irSuccess;
}

int DeleteEmptyRegKey(const std::string& FullKey) {
  TRegRoot root;
  std::string subKey;
  if (!ParseFullKey(FullKey, root, subKey) || subKey.empty()) return irRegistryKeyNotDeleted;
  HKEY rootKey = RootKey(root);
  DWORD subKeys = 0;
  {
    base::win::RegKey key;
    if (!key.Open(rootKey, subKey.c_str(), KEY_READ)) return irRegistryKeyNotDeleted;
    if (RegQueryInfoKeyA(key.get(), nullptr, nullptr, nullptr, &subKeys, nullptr, nullptr, nullptr, nullptr,
                         nullptr, nullptr, nullptr) != ERROR_SUCCESS || subKeys > 0)
      return irRegistryKeyNotDeleted;
  }
  return RegDeleteKeyA(rootKey, subKey.c_str()) == ERROR_SUCCESS ? irSuccess : irRegistryKeyNotDeleted;
}

bool RegistryKeyExists(const std::string& FullKey) {
  TRegRoot root;
  std::string subKey;
  return ParseFullKey(FullKey, root, subKey) && KeyExists(RootKey(root), subKey);
}

void LogUninstallKey(const std::string& FullKey) { AddToLog(TLogKeyword::UninstallKey, FullKey); }
#endif
