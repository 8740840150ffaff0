#include "builder/shell/MainRules.h"

#include <algorithm>

#include "base/Strings.h"

void AddRecentFile(std::vector<std::string>& recentFiles, const std::string& fileName) {
  recentFiles.erase(std::remove(recentFiles.begin(), recentFiles.end(), fileName), recentFiles.end());
  recentFiles.insert(recentFiles.begin(), fileName);
  if (recentFiles.size() > kMaxRecentFiles) recentFiles.resize(kMaxRecentFiles);
}

std::vector<std::string> RecentFilesFromText(const std::string& text) {
  std::vector<std::string> files;
  size_t start = 0;
  while (start <= text.size()) {
    size_t end = text.find_first_of("\r\n", start);
    if (end == std::string::npos) end = text.size();
    std::string line = text.substr(start, end - start);
    if (!base::Trim(line).empty()) files.push_back(line);
    if (end < text.size() && text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n') ++end;
    start = end + 1;
  }
  return files;
}

std::string RecentFilesToText(const std::vector<std::string>& recentFiles) {
  std::string text;
  for (const auto& f : recentFiles) text += f + "\r\n";
  return text;
}

std::string EscapeAmpersands(const std::string& text) {
  std::string escaped;
  for (char c : text) {
    escaped += c;
    if (c == '&') escaped += '&';
  }
  return escaped;
}

std::vector<TReopenEntry> ReopenEntries(const std::vector<std::string>& recentFiles, const std::string& fileName) {
  std::vector<TReopenEntry> entries;
  const std::string current = base::AnsiLowerCase(fileName);
  for (size_t i = 0; i < recentFiles.size(); ++i)
    if (base::AnsiLowerCase(recentFiles[i]) != current)
      entries.push_back({EscapeAmpersands(recentFiles[i]), static_cast<int>(i)});
  return entries;
}

TSaveStep DecideQuerySave(bool modified, TSaveAnswer answer, const std::string& fileName) {
  if (!modified) return TSaveStep::GoOn;
  switch (answer) {
    case TSaveAnswer::Cancel: return TSaveStep::Stop;
    case TSaveAnswer::No: return TSaveStep::GoOn;
    case TSaveAnswer::Yes: return fileName.empty() ? TSaveStep::SaveAsDialog : TSaveStep::Save;
  }
  return TSaveStep::Stop;
}

std::string AboutVersionText(const std::string& fileVersion) {
  size_t first = fileVersion.find('.');
  if (first == std::string::npos) return fileVersion;
  size_t second = fileVersion.find('.', first + 1);
  return second == std::string::npos ? fileVersion : fileVersion.substr(0, second);
}
