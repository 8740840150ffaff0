// A recording stand-in for the machine: file facts from a table, macros in a table,
// message boxes and program starts written down, DLL calls answered by a function.
#pragma once
#include <map>
#include <string>
#include <vector>

#include "setup/model/InstPlatform.h"
#include "setup/services/InstallRules.h"

class FakePlatform {
public:
  FakePlatform() : saved_(model::Platform()) {
    auto& p = model::Platform();
    p.probeFile = [this](const std::string& name) {
      auto it = files.find(name);
      return it == files.end() ? model::FileFacts{} : it->second;
    };
    p.getDirMacro = [this](const std::string& name) { return macros[name]; };
    p.setDirMacro = [this](const std::string& name, const std::string& value) { macros[name] = value; };
    p.expandMacros = [this](const std::string& text) {
      return ::ExpandMacroText(
          text, [](const std::string&) { return std::string(); },
          [this](const std::string& n) { return macros[n]; });
    };
    p.runProgram = [this](const std::string& f, const std::string& a, bool wait, TWindowHandle w) {
      log.push_back("run " + f + " " + a + (wait ? " wait" : " nowait"));
      return runFails ? -1 : 0;
    };
    p.callDll = [this](const std::string& lib, const std::string& fn, const model::DllCallArgs& a) {
      log.push_back("dll " + lib + " " + fn + " folder=" + a.folder + " support=" + a.supportDir +
                    " user=" + a.userName + " company=" + a.userCompany);
      return dll(lib, fn, a);
    };
    p.showInformation = [this](const std::string& t) { log.push_back("info " + t); };
    p.showError = [this](const std::string& t) { log.push_back("error " + t); };
    p.beginBusyCursor = [this] { ++busy; };
    p.endBusyCursor = [this] { --busy; };
    p.currentYear = [] { return 2026; };
  }
  ~FakePlatform() { model::Platform() = saved_; }
  FakePlatform(const FakePlatform&) = delete;
  FakePlatform& operator=(const FakePlatform&) = delete;

  std::map<std::string, model::FileFacts> files;
  std::map<std::string, std::string> macros;
  std::vector<std::string> log;
  int busy = 0;
  bool runFails = false;
  std::function<model::DllCallResult(const std::string&, const std::string&, const model::DllCallArgs&)> dll =
      [](const std::string&, const std::string&, const model::DllCallArgs&) {
        model::DllCallResult r;
        r.value = 1;
        return r;
      };

private:
  model::PlatformServices saved_;
};
