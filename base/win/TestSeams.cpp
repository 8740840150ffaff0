#include "base/win/TestSeams.h"

#include <windows.h>

#include <cstdio>
#include <deque>

#include "base/win/Form.h"

namespace base::win::seams {

namespace {

struct SeamState {
  bool armed = false;
  std::deque<int> answers;
  std::vector<ShownMessage> messages;
  std::deque<std::optional<std::string>> folders;
  std::vector<std::string> folderRequests;
  std::deque<std::optional<std::string>> files;
  std::deque<std::optional<Color>> colors;
  std::vector<Color> colorRequests;
  std::deque<std::optional<Font>> fonts;
  std::vector<Font> fontRequests;
  int beeps = 0;
  std::vector<int> help;
  std::vector<std::function<bool(Form&)>> scripts;
};

SeamState& S() {
  static SeamState state;
  return state;
}

}  // namespace

void Arm() { S().armed = true; }

void Reset() { S() = SeamState(); }

bool Armed() { return S().armed; }

void QueueMessageAnswer(int answer) {
  Arm();
  S().answers.push_back(answer);
}

const std::vector<ShownMessage>& Messages() { return S().messages; }
void ClearMessages() { S().messages.clear(); }

void QueueFolderAnswer(std::optional<std::string> folder) {
  Arm();
  S().folders.push_back(std::move(folder));
}

void QueueFileAnswer(std::optional<std::string> fileName) {
  Arm();
  S().files.push_back(std::move(fileName));
}

const std::vector<std::string>& FolderRequests() { return S().folderRequests; }

void QueueColorAnswer(std::optional<Color> color) {
  Arm();
  S().colors.push_back(color);
}

void QueueFontAnswer(std::optional<Font> font) {
  Arm();
  S().fonts.push_back(std::move(font));
}

const std::vector<Color>& ColorRequests() { return S().colorRequests; }
const std::vector<Font>& FontRequests() { return S().fontRequests; }

int BeepCount() { return S().beeps; }
const std::vector<int>& HelpRequests() { return S().help; }

void WhenShownAny(std::function<bool(Form&)> script) {
  Arm();
  S().scripts.push_back(std::move(script));
}

int PendingScripts() { return static_cast<int>(S().scripts.size()); }

std::optional<int> TakeMessageAnswer(ShownMessage shown) {
  SeamState& s = S();
  if (!s.armed) return std::nullopt;
  if (!s.answers.empty()) {
    shown.Answer = s.answers.front();
    shown.Answered = true;
    s.answers.pop_front();
  } else {
    // Plain puts: the formatted printing would pull its whole library into every program.
    std::fputs("seams: unanswered message \"", stderr);
    std::fputs(shown.Text.c_str(), stderr);
    std::fputs("\"\n", stderr);
  }
  s.messages.push_back(shown);
  return shown.Answer;
}

std::optional<std::optional<std::string>> TakeFolderAnswer(const std::string& initial) {
  SeamState& s = S();
  if (!s.armed) return std::nullopt;
  s.folderRequests.push_back(initial);
  if (s.folders.empty()) return std::optional<std::string>();
  auto answer = s.folders.front();
  s.folders.pop_front();
  return answer;
}

std::optional<std::optional<std::string>> TakeFileAnswer() {
  SeamState& s = S();
  if (!s.armed) return std::nullopt;
  if (s.files.empty()) return std::optional<std::string>();
  auto answer = s.files.front();
  s.files.pop_front();
  return answer;
}

std::optional<std::optional<Color>> TakeColorAnswer(Color initial) {
  SeamState& s = S();
  if (!s.armed) return std::nullopt;
  s.colorRequests.push_back(initial);
  if (s.colors.empty()) return std::optional<Color>();
  auto answer = s.colors.front();
  s.colors.pop_front();
  return answer;
}

std::optional<std::optional<Font>> TakeFontAnswer(const Font& initial) {
  SeamState& s = S();
  if (!s.armed) return std::nullopt;
  s.fontRequests.push_back(initial);
  if (s.fonts.empty()) return std::optional<Font>();
  auto answer = s.fonts.front();
  s.fonts.pop_front();
  return answer;
}

bool CountBeep() {
  if (!S().armed) return false;
  ++S().beeps;
  return true;
}

bool CountHelp(int context) {
  if (!S().armed) return false;
  S().help.push_back(context);
  return true;
}

void RunShownScripts(Form& form) {
  auto& scripts = S().scripts;
  for (size_t i = 0; i < scripts.size(); ++i) {
    auto script = scripts[i];
    // Taken off the list before it runs: it may show forms whose own scripts follow it.
    scripts.erase(scripts.begin() + static_cast<std::ptrdiff_t>(i));
    if (script(form)) return;
    scripts.insert(scripts.begin() + static_cast<std::ptrdiff_t>(i), script);
  }
}

}  // namespace base::win::seams
