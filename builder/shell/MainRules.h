// The main window's decisions, apart from its window: the recent-file list, the Reopen
// submenu's entries, the save question and the version text of the about box.
#pragma once
#include <string>
#include <vector>

constexpr int kMaxRecentFiles = 9;

// Moves the name to the front of the list (an equal entry, compared exactly, goes first)
// and drops entries beyond nine.
void AddRecentFile(std::vector<std::string>& recentFiles, const std::string& fileName);
// The stored setting: one path per line; blank lines are no entries.
std::vector<std::string> RecentFilesFromText(const std::string& text);
std::string RecentFilesToText(const std::vector<std::string>& recentFiles);

// One entry of the Reopen submenu: its caption (every "&" doubled, so the path shows and
// opens as it is) and its index in the recent list.
struct TReopenEntry {
  std::string Caption;
  int Tag = 0;
};
// None: the submenu shows "<None>" (no entries, or only the current file).
std::vector<TReopenEntry> ReopenEntries(const std::vector<std::string>& recentFiles, const std::string& fileName);
std::string EscapeAmpersands(const std::string& text);

// What QuerySave does after the author's answer.
enum class TSaveStep {
  GoOn,          // the caller may discard the project
  Stop,          // the caller stops
  Save,          // save under FileName; go on when that succeeds
  SaveAsDialog,  // ask for a name first; stop when the dialog is cancelled
};
enum class TSaveAnswer { Yes, No, Cancel };
TSaveStep DecideQuerySave(bool modified, TSaveAnswer answer, const std::string& fileName);

// The about box: "2.1" and "2.1.0.57" from FileVersion "2.1.0.57".
std::string AboutVersionText(const std::string& fileVersion);
