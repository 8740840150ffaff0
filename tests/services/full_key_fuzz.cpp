// Full registry key paths of any text: a path is taken exactly when it begins with a
// root name (exact case) followed by "\" or the end; the root and the key under it then
// give the path back, up to the backslashes around the key.
#include <cstdint>
#include <string>
#include <vector>

#include "setup/services/InstActions.h"

namespace {

const char* const kRootNames[] = {"HKEY_CLASSES_ROOT", "HKEY_CURRENT_USER", "HKEY_LOCAL_MACHINE",
                                  "HKEY_USERS", "HKEY_CURRENT_CONFIG", "HKEY_DYN_DATA"};

std::string Trimmed(std::string s) {
  while (!s.empty() && s.front() == '\\') s.erase(s.begin());
  while (!s.empty() && s.back() == '\\') s.pop_back();
  return s;
}

}  // namespace

extern "C" void tandrel_fuzz_seeds(std::vector<std::string>* seeds) {
  seeds->push_back("HKEY_LOCAL_MACHINE\\SOFTWARE\\Example\\");
  seeds->push_back("HKEY_CURRENT_USER");
  seeds->push_back("HKEY_USERS\\\\.DEFAULT\\\\");
  seeds->push_back("HKEY_CURRENT_USERS\\x");
  seeds->push_back("hkey_classes_root\\.txt");
  seeds->push_back("HKEY_DYN_DATA\\a\\b\\c");
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string path(reinterpret_cast<const char*>(data), size);
  int expected = -1;
  for (int i = 0; i < 6; ++i) {
    const std::string name = kRootNames[i];
    if (path.compare(0, name.size(), name) == 0 && (path.size() == name.size() || path[name.size()] == '\\')) {
      expected = i;
      break;
    }
  }
  TRegRoot root = TRegRoot::DynData;
  std::string subKey = "untouched";
  const bool ok = ParseFullKey(path, root, subKey);
  if (ok != (expected >= 0)) __builtin_trap();
  if (!ok) return 0;
  if (static_cast<int>(root) != expected) __builtin_trap();
  const std::string name = kRootNames[expected];
  if (subKey != Trimmed(path.substr(name.size()))) __builtin_trap();
  if (!subKey.empty() && (subKey.front() == '\\' || subKey.back() == '\\')) __builtin_trap();
  return 0;
}
