#include "tests/e2e/E2eSnapshot.h"

#include <cstdio>

namespace e2e {

std::string Lower(const std::string& s) {
  std::string out = s;
  for (char& c : out)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return out;
}

namespace {

bool Skipped(const std::string& lower, const std::vector<std::string>& skip) {
  for (const auto& s : skip)
    if (lower.compare(0, s.size(), s) == 0) return true;
  return false;
}

void WalkFiles(const std::string& folder, const std::vector<std::string>& skip, Snapshot& snap) {
  WIN32_FIND_DATAA fd;
  HANDLE h = FindFirstFileA((folder + "*").c_str(), &fd);
  if (h == INVALID_HANDLE_VALUE) return;
  do {
    std::string name = fd.cFileName;
    if (name == "." || name == "..") continue;
    std::string path = folder + name;
    std::string lower = Lower(path);
    if (Skipped(lower, skip)) continue;
    if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
      snap.Files[lower] = "dir";
      WalkFiles(path + "\\", skip, snap);
    } else {
      char fact[96];
      snprintf(fact, sizeof fact, "%lu %08lx%08lx %lx", static_cast<unsigned long>(fd.nFileSizeLow),
               static_cast<unsigned long>(fd.ftLastWriteTime.dwHighDateTime),
               static_cast<unsigned long>(fd.ftLastWriteTime.dwLowDateTime),
               static_cast<unsigned long>(fd.dwFileAttributes & ~FILE_ATTRIBUTE_ARCHIVE));
      snap.Files[lower] = fact;
    }
  } while (FindNextFileA(h, &fd));
  FindClose(h);
}

void WalkKey(HKEY root, const std::string& rootName, const std::string& sub, const std::vector<std::string>& skip,
             Snapshot& snap) {
  const std::string path = sub.empty() ? rootName : rootName + "\\" + sub;
  const std::string lower = Lower(path);
  if (Skipped(lower, skip)) return;
  HKEY key;
  if (RegOpenKeyExA(root, sub.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return;
  snap.Registry[lower] = "key";
  std::vector<char> name(16384);
  std::vector<BYTE> data(1 << 16);
  // Wine's performance-text keys (Perflib) never run out of values: stop at any failure.
  for (DWORD i = 0; i < 100000; ++i) {
    DWORD nameLen = static_cast<DWORD>(name.size()), dataLen = static_cast<DWORD>(data.size()), type = 0;
    LONG r = RegEnumValueA(key, i, name.data(), &nameLen, nullptr, &type, data.data(), &dataLen);
    if (r == ERROR_MORE_DATA) continue;
    if (r != ERROR_SUCCESS) break;
    std::string fact = std::to_string(type) + ":";
    for (DWORD j = 0; j < dataLen; ++j) {
      char hex[3];
      snprintf(hex, sizeof hex, "%02x", data[j]);
      fact += hex;
    }
    snap.Registry[lower + "\\\\" + Lower(std::string(name.data(), nameLen))] = fact;
  }
  std::vector<std::string> subKeys;
  for (DWORD i = 0; i < 100000; ++i) {
    DWORD nameLen = static_cast<DWORD>(name.size());
    LONG r = RegEnumKeyExA(key, i, name.data(), &nameLen, nullptr, nullptr, nullptr, nullptr);
    if (r != ERROR_SUCCESS) break;
    subKeys.emplace_back(name.data(), nameLen);
  }
  RegCloseKey(key);
  for (const auto& k : subKeys) WalkKey(root, rootName, sub.empty() ? k : sub + "\\" + k, skip, snap);
}

}  // namespace

Snapshot TakeSnapshot(const std::vector<std::string>& skipFiles, const std::vector<std::string>& skipKeys) {
  Snapshot snap;
  WalkFiles("C:\\", skipFiles, snap);
  WalkKey(HKEY_LOCAL_MACHINE, "HKEY_LOCAL_MACHINE", "Software", skipKeys, snap);
  WalkKey(HKEY_CURRENT_USER, "HKEY_CURRENT_USER", "Software", skipKeys, snap);
  return snap;
}

std::vector<std::string> Difference(const Snapshot& before, const Snapshot& after) {
  std::vector<std::string> out;
  auto compare = [&out](const std::map<std::string, std::string>& a, const std::map<std::string, std::string>& b) {
    for (const auto& [k, v] : a) {
      auto it = b.find(k);
      if (it == b.end())
        out.push_back("- " + k);
      else if (it->second != v)
        out.push_back("~ " + k);
    }
    for (const auto& [k, v] : b)
      if (!a.count(k)) out.push_back("+ " + k);
  };
  compare(before.Files, after.Files);
  compare(before.Registry, after.Registry);
  return out;
}

}  // namespace e2e
