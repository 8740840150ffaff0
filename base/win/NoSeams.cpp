// The layer side of the test seams as a shipped program sees it: nothing arms them there,
// so every dialog is the real one and no script runs. Linked as an object ahead of the
// window layer, it keeps the seams' queues and records out of the programs a package
// carries; a program that arms the seams needs TestSeams.cpp, and linking both fails on
// the duplicate names.
#include "base/win/TestSeams.h"

namespace base::win::seams {

std::optional<int> TakeMessageAnswer(ShownMessage) { return std::nullopt; }
std::optional<std::optional<std::string>> TakeFolderAnswer(const std::string&) { return std::nullopt; }
std::optional<std::optional<std::string>> TakeFileAnswer() { return std::nullopt; }
std::optional<std::optional<Color>> TakeColorAnswer(Color) { return std::nullopt; }
std::optional<std::optional<Font>> TakeFontAnswer(const Font&) { return std::nullopt; }
bool CountBeep() { return false; }
bool CountHelp(int) { return false; }
void RunShownScripts(Form&) {}

}  // namespace base::win::seams
