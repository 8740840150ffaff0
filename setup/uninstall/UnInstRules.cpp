#include "setup/uninstall/UnInstRules.h"

#include "base/Strings.h"
#include "setup/services/InstGlobal.h"
#include "setup/services/InstallRules.h"

TUninstallArgs ParseUninstallArgs(const std::vector<std::string>& args) {
  TUninstallArgs r;
  for (const auto& a : args) {
    if (a.rfind("/UNINST=", 0) == 0)
      r.LogPath = a.substr(a.find('=') + 1);
    else if (a.rfind("/APPNAME=", 0) == 0)
      r.AppName = a.substr(a.find('=') + 1);
  }
  return r;
}

int TSharedFileAnswers::Next(const std::function<int()>& ask) {
  if (last_ == kAnswerYes || last_ == kAnswerNo) last_ = ask();
  return last_;
}

std::string TUninstallLogLines::GetLogEntry(int Index, std::string& Argument) const {
  Argument.clear();
  if (Index < 0 || Index >= static_cast<int>(Lines.size())) return {};
  const std::string& line = Lines[static_cast<size_t>(Index)];
  const size_t eq = line.find('=');
  if (eq == std::string::npos) return {};
  Argument = line.substr(eq + 1);
  return line.substr(0, eq);
}

int TUninstallLogLines::FindLogEntry(const std::string& Keyword, std::string& Argument) const {
  for (int i = 0; i < static_cast<int>(Lines.size()); ++i) {
    std::string arg;
    const std::string k = GetLogEntry(i, arg);
    if (!k.empty() && base::AnsiSameText(k, Keyword)) {
      Argument = arg;
      return i;
    }
  }
  Argument.clear();
  return -1;
}

void TUninstallLogLines::DeleteLine(const std::string& text) {
  for (size_t i = 0; i < Lines.size(); ++i)
    if (base::AnsiSameText(Lines[i], text)) {
      Lines.erase(Lines.begin() + static_cast<std::ptrdiff_t>(i));
      return;
    }
}

const TUninstallPass kUninstallPasses[10] = {
    {"RegisterFile", -1},  {"IncUsageCount", 0},  {"CreateFile", 1},     {"CreateDir", 2},
    {"CreateFile_PM", -1}, {"CreateFolder_PM", 3}, {"CreateIniValue", 4}, {"AddRegValue", -1},
    {"CreateRegKey", -1},  {"UninstallKey", 5},
};

namespace {

class TPassRunner {
public:
  TPassRunner(TUninstallLogLines& log, TUninstallHost& host) : log_(log), host_(host) {}

  bool Run() {
    const int maximum = static_cast<int>(log_.Lines.size());
    host_.SetProgressMax(maximum);
    for (int pass = 0; pass < 10; ++pass) {
      const TUninstallPass& p = kUninstallPasses[pass];
      std::string arg;
      for (int i = log_.FindLogEntry(p.Keyword, arg); i >= 0; i = log_.FindLogEntry(p.Keyword, arg)) {
        log_.Lines.erase(log_.Lines.begin() + i);
        try {
          Act(pass, arg);
        } catch (...) {
          complete_ = false;
        }
        host_.SetProgress(maximum - static_cast<int>(log_.Lines.size()));
      }
      if (p.Tick >= 0) host_.ShowTick(p.Tick);
    }
    host_.SetProgress(maximum);
    return complete_;
  }

private:
  void DeleteFileStep(const std::string& file) {
    if (host_.FileExists(file) && !host_.RemoveFile(file)) complete_ = false;
  }
  void RemoveDirStep(const std::string& dir) {
    try {
      host_.RemoveDir(dir);
    } catch (...) {
    }
    if (host_.DirExists(dir)) complete_ = false;
  }
  void SharedFileStep(const std::string& file) {
    // A shared file is left to this pass alone, whatever happens below.
    log_.DeleteLine(std::string(LogKeywordName(TLogKeyword::InstalledFile)) + "=" + file);
    const int n = host_.DecSharedDllCount(file);
    if (n != 0) return;  // still counted, no count, or a count that could not be lowered
    const int answer = answers_.Next([&] { return host_.AskRemoveSharedFile(file); });
    if (!TSharedFileAnswers::Removes(answer)) {
      complete_ = false;
      return;
    }
    if (host_.FileExists(file) && !host_.RemoveFile(file)) {
      host_.ScheduleDelete(file);
      complete_ = false;
    }
  }

  void Act(int pass, const std::string& arg) {
    switch (pass) {
      case 0: host_.UnregisterServerFile(arg); break;
      case 1: SharedFileStep(arg); break;
      case 2:
      case 4: DeleteFileStep(arg); break;
      case 3:
      case 5: RemoveDirStep(arg); break;
      case 6: {
        std::string file, section, key;
        if (ParseIniValueArgument(arg, file, section, key)) host_.DeleteIniValue(file, section, key);
        break;
      }
      case 7: {
        std::string key, name;
        if (ParseRegValueArgument(arg, key, name)) host_.DeleteRegValue(key, name);
        break;
      }
      case 8:
      case 9: host_.DeleteRegKey(arg); break;
      default: break;
    }
  }

  TUninstallLogLines& log_;
  TUninstallHost& host_;
  TSharedFileAnswers answers_;
  bool complete_ = true;
};

}  // namespace

bool RunUninstallPasses(TUninstallLogLines& log, TUninstallHost& host) {
  return TPassRunner(log, host).Run();
}

std::string AppendWininitDeletion(const std::string& existing, const std::string& file) {
  return AppendWininitLines(existing, {{"nul", file}}, {});
}
