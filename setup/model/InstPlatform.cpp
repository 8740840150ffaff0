#include "setup/model/InstPlatform.h"

#include <sys/stat.h>

#include <cstdio>
#include <ctime>
#include <utility>
#include <vector>

#include "base/Strings.h"
#include "setup/services/InstallRules.h"

namespace model {

namespace {

// The portable macro table: names with their brackets, compared without regard to case.
std::vector<std::pair<std::string, std::string>>& MacroTable() {
  static std::vector<std::pair<std::string, std::string>> table;
  return table;
}

std::string MacroValue(const std::string& name) {
  for (auto& [n, v] : MacroTable())
    if (base::SameText(n, name)) return v;
  return std::string();
}

}  // namespace

void UsePortableMacros(PlatformServices& p) {
  p.getDirMacro = [](const std::string& name) { return MacroValue(name); };
  p.setDirMacro = [](const std::string& name, const std::string& value) {
    for (auto& [n, v] : MacroTable())
      if (base::SameText(n, name)) {
        v = value;
        return;
      }
    MacroTable().emplace_back(name, value);
  };
  p.expandMacros = [](const std::string& text) {
    return ::ExpandMacroText(text, [](const std::string&) { return std::string(); }, MacroValue);
  };
}

#ifndef _WIN32
PlatformServices DefaultPlatform() {
  PlatformServices p;
  UsePortableMacros(p);
  p.probeFile = [](const std::string& fileName) {
    FileFacts f;
    struct stat st;
    if (::stat(fileName.c_str(), &st) == 0 && S_ISREG(st.st_mode)) {
      f.found = true;
      f.size = static_cast<int32_t>(st.st_size);
      f.date = static_cast<double>(st.st_mtime) / 86400.0 + 25569.0;
    }
    return f;
  };
  p.runProgram = [](const std::string&, const std::string&, bool, TWindowHandle) { return -1; };
  p.callDll = [](const std::string&, const std::string&, const DllCallArgs&) {
    DllCallResult r;
    r.status = DllCallStatus::LoadFailed;
    return r;
  };
  p.showInformation = [](const std::string& text) { std::fprintf(stderr, "%s\n", text.c_str()); };
  p.showError = [](const std::string& text) { std::fprintf(stderr, "%s\n", text.c_str()); };
  p.beginBusyCursor = [] {};
  p.endBusyCursor = [] {};
  p.currentYear = [] {
    std::time_t t = std::time(nullptr);
    std::tm tm{};
    localtime_r(&t, &tm);
    return tm.tm_year + 1900;
  };
  p.replaceFile = [](const std::string& finished, const std::string& target) {
    return std::rename(finished.c_str(), target.c_str()) == 0;
  };
  p.deleteFile = [](const std::string& fileName) { std::remove(fileName.c_str()); };
  return p;
}
#endif

PlatformServices& Platform() {
  static PlatformServices p = DefaultPlatform();
  return p;
}

}  // namespace model
