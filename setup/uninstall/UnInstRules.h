// Decisions of the uninstaller as plain code over the log's lines: the command line, the
// log entries, the ten passes in their order and the answers to the shared-file question.
// The form supplies the file, registry and INI work through a host.
#pragma once
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

struct TUninstallArgs {
  std::string LogPath;  // after "/UNINST=", unchanged (a trailing blank stays)
  std::string AppName;  // after "/APPNAME="
};
// Every argument from the first to the last; a later one replaces an earlier one.
TUninstallArgs ParseUninstallArgs(const std::vector<std::string>& args);

// Modal results of the shared-file question.
constexpr int kAnswerYes = 6, kAnswerNo = 7, kAnswerNoToAll = 9, kAnswerYesToAll = 10;

// The answers to the shared-file question over one run: the question is asked while the
// answers are Yes or No; Yes to All, No to All or a dialog closed otherwise holds for
// every later file.
class TSharedFileAnswers {
public:
  // The answer for the next file whose count fell to 0.
  int Next(const std::function<int()>& ask);
  static bool Removes(int answer) { return answer == kAnswerYes || answer == kAnswerYesToAll; }

private:
  int last_ = kAnswerNo;
};

// The log's lines, newest first, keyword "=" argument.
class TUninstallLogLines {
public:
  std::vector<std::string> Lines;

  // Keyword of line Index (text before the first "="; empty without one) and the text
  // after it; empty for an index past the end.
  std::string GetLogEntry(int Index, std::string& Argument) const;
  // The first line whose keyword equals Keyword ignoring case; -1 when none.
  int FindLogEntry(const std::string& Keyword, std::string& Argument) const;
  // Deletes the whole line equal to text ignoring case, when there is one.
  void DeleteLine(const std::string& text);
};

// The work of the passes.
class TUninstallHost {
public:
  virtual ~TUninstallHost() = default;
  virtual void UnregisterServerFile(const std::string& file) = 0;
  virtual int DecSharedDllCount(const std::string& file) = 0;
  virtual int AskRemoveSharedFile(const std::string& file) = 0;
  virtual bool FileExists(const std::string& file) = 0;
  // Clears read-only and deletes; false when the file is still there.
  virtual bool RemoveFile(const std::string& file) = 0;
  // Deletion at the next start of Windows.
  virtual void ScheduleDelete(const std::string& file) = 0;
  virtual void RemoveDir(const std::string& dir) = 0;
  virtual bool DirExists(const std::string& dir) = 0;
  // True when the folder holds nothing at all.
  virtual bool DirIsEmpty(const std::string& dir) = 0;
  virtual void DeleteIniValue(const std::string& file, const std::string& section, const std::string& key) = 0;
  virtual void DeleteRegValue(const std::string& key, const std::string& name) = 0;
  virtual void DeleteRegKey(const std::string& key) = 0;
  // Deletes the key only when it has no sub-keys (its values go with it); false when the
  // key is still there.
  virtual bool DeleteEmptyRegKey(const std::string& key) = 0;
  // The bar's maximum, its position, a tick beside step 0-5; then pending messages run.
  virtual void SetProgressMax(int maximum) = 0;
  virtual void SetProgress(int position) = 0;
  virtual void ShowTick(int step) = 0;
};

// The passes: each keyword's lines, newest first, until none is left.
struct TUninstallPass {
  const char* Keyword;
  int Tick;  // the step whose tick shows after the pass, -1 none
};
extern const TUninstallPass kUninstallPasses[10];

// What a run leaves because other products fill it: logged folders that hold what others
// put there, logged parent keys that hold other keys.
struct TKeptItems {
  std::vector<std::string> Folders;
  std::vector<std::string> Keys;
};

// All ten passes over log; true when every item could be removed. A file or folder step
// that raises makes the run incomplete; registry, INI and unregistering never do. The
// passes go on either way. kept, when given, receives what others still fill.
bool RunUninstallPasses(TUninstallLogLines& log, TUninstallHost& host, TKeptItems* kept = nullptr);

// The log text with "CreateDir=" + folder added as its oldest line, unless it holds that
// line already: a folder the uninstalled product made, still filled by this one, goes
// with this one.
std::string HandOverFolder(const std::string& logText, const std::string& folder);

// The same for a key: "CreateRegKey=" + key as the oldest line. The log must create a key
// below it (LogCreatesKeyBelow), so that the key is a parent level there and goes only
// once it holds no other key.
std::string HandOverKey(const std::string& logText, const std::string& key);
bool LogCreatesKeyBelow(const std::string& logText, const std::string& key);

// A created key is a parent level when another created key of the log lies below it: it
// may hold other products' keys by now, so it goes only when it holds none.
bool IsParentKeyLevel(const std::string& key, const std::vector<std::string>& createdKeys);

// True when the INI text has the section (its name ignoring case) and no line, blank lines
// apart, between its header and the next one: comments count as lines.
bool IniSectionHoldsNoLine(const std::string& text, const std::string& section);

// "nul=" + file in the "rename" section of WININIT.INI; earlier lines stay.
std::string AppendWininitDeletion(const std::string& existing, const std::string& file);
