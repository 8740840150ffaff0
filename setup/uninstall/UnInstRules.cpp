#include "setup/uninstall/UnInstRules.h"

#include <algorithm>

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
  TPassRunner(TUninstallLogLines& log, TUninstallHost& host, TKeptItems* kept)
      : log_(log), host_(host), kept_(kept) {}

  bool Run() {
    for (const std::string& line : log_.Lines) {
      std::string arg;
      TUninstallLogLines one;
      one.Lines = {line};
      if (base::AnsiSameText(one.GetLogEntry(0, arg), "CreateRegKey")) createdKeys_.push_back(arg);
    }
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
          if (CountsFailures(pass)) complete_ = false;
        }
        host_.SetProgress(maximum - static_cast<int>(log_.Lines.size()));
      }
      if (p.Tick >= 0) host_.ShowTick(p.Tick);
    }
    RemoveEmptiedDirs();
    host_.SetProgress(maximum);
    return complete_;
  }

private:
  void DeleteFileStep(const std::string& file) {
    if (host_.FileExists(file) && !host_.RemoveFile(file)) complete_ = false;
  }
  // Passes of files and folders; registry, INI and unregistering failures never count.
  static bool CountsFailures(int pass) { return pass >= 1 && pass <= 5; }

  void RemoveDirStep(const std::string& dir) {
    try {
      host_.RemoveDir(dir);
    } catch (...) {
    }
    if (!host_.DirExists(dir)) return;
    if (host_.DirIsEmpty(dir))
      complete_ = false;
    else
      filled_.push_back(dir);
  }
  // A later pass may empty a folder the folder passes found filled (an INI file the last
  // value took with it, a deeper folder that went since): each is tried once more, deepest
  // first. A folder kept by what others put in it is no failed step: whatever of this
  // installation could not go has counted already.
  void RemoveEmptiedDirs() {
    auto depth = [](const std::string& d) { return std::count(d.begin(), d.end(), '\\'); };
    std::stable_sort(filled_.begin(), filled_.end(),
                     [&](const std::string& a, const std::string& b) { return depth(a) > depth(b); });
    for (const std::string& dir : filled_) {
      try {
        if (host_.DirExists(dir) && host_.DirIsEmpty(dir)) host_.RemoveDir(dir);
      } catch (...) {
      }
      if (!host_.DirExists(dir)) continue;
      if (host_.DirIsEmpty(dir))
        complete_ = false;
      else if (kept_)
        kept_->Folders.push_back(dir);
    }
  }
  void SharedFileStep(const std::string& file) {
    // A shared file is left to this pass alone, whatever happens below.
    log_.DeleteLine(std::string(LogKeywordName(TLogKeyword::InstalledFile)) + "=" + file);
    const int n = host_.DecSharedDllCount(file);
    if (n == kSharedCountNotWritten) {
      complete_ = false;  // kept, and its count still holds this installation
      return;
    }
    if (n != 0) return;  // still counted, or no count
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
        // A parent level still holding keys holds others' keys: it goes with them.
        if (IsParentKeyLevel(arg, createdKeys_)) {
          if (!host_.DeleteEmptyRegKey(arg) && kept_) kept_->Keys.push_back(arg);
        } else
          host_.DeleteRegKey(arg);
        break;
      case 9: host_.DeleteRegKey(arg); break;
      default: break;
    }
  }

  TUninstallLogLines& log_;
  TUninstallHost& host_;
  TSharedFileAnswers answers_;
  TKeptItems* kept_;
  std::vector<std::string> createdKeys_;
  std::vector<std::string> filled_;  // logged folders the folder passes found filled
  bool complete_ = true;
};

}  // namespace

bool RunUninstallPasses(TUninstallLogLines& log, TUninstallHost& host, TKeptItems* kept) {
  return TPassRunner(log, host, kept).Run();
}

namespace {
// The line added as the log's oldest, unless the log holds it already.
std::string AddOldestLine(const std::string& logText, TLogKeyword keyword, const std::string& argument) {
  const std::string line = std::string(LogKeywordName(keyword)) + "=" + argument;
  for (const std::string& l : SplitLogText(logText))
    if (base::AnsiSameText(l, line)) return logText;
  std::string text = logText;
  if (!text.empty() && text.back() != '\n' && text.back() != '\r') text += "\r\n";
  return text + line + "\r\n";
}
}  // namespace

std::string HandOverFolder(const std::string& logText, const std::string& folder) {
  return AddOldestLine(logText, TLogKeyword::CreateDir, folder);
}

std::string HandOverKey(const std::string& logText, const std::string& key) {
  return AddOldestLine(logText, TLogKeyword::CreateRegKey, key);
}

bool LogCreatesKeyBelow(const std::string& logText, const std::string& key) {
  std::vector<std::string> created;
  for (const std::string& line : SplitLogText(logText)) {
    std::string keyword, argument;
    if (SplitLogLine(line, keyword, argument) && base::AnsiSameText(keyword, LogKeywordName(TLogKeyword::CreateRegKey)))
      created.push_back(argument);
  }
  return IsParentKeyLevel(key, created);
}

bool IsParentKeyLevel(const std::string& key, const std::vector<std::string>& createdKeys) {
  const std::string prefix = base::AnsiLowerCase(key) + "\\";
  for (const std::string& other : createdKeys) {
    const std::string o = base::AnsiLowerCase(other);
    if (o.size() > prefix.size() && o.compare(0, prefix.size(), prefix) == 0) return true;
  }
  return false;
}

std::string AppendWininitDeletion(const std::string& existing, const std::string& file) {
  return AppendWininitLines(existing, {{"nul", file}}, {});
}

bool IniSectionHoldsNoLine(const std::string& text, const std::string& section) {
  bool inside = false, found = false;
  size_t start = 0;
  while (start <= text.size()) {
    size_t end = text.find_first_of("\r\n", start);
    if (end == std::string::npos) end = text.size();
    const std::string line = base::Trim(text.substr(start, end - start));
    start = end + 1;
    if (line.empty()) {
      if (end >= text.size()) break;
      continue;
    }
    if (line.front() == '[') {
      if (inside) return true;
      const size_t close = line.find(']');
      const std::string name = base::Trim(line.substr(1, close == std::string::npos ? std::string::npos : close - 1));
      inside = base::AnsiSameText(name, section);
      found = found || inside;
    } else if (inside) {
      return false;
    }
    if (end >= text.size()) break;
  }
  return found;
}
