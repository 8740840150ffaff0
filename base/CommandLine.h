// The class library's split of a command line into parameters.
#pragma once
#include <string>
#include <vector>

namespace base {

// Blanks (any character up to ' ') separate parameters; double quotes group and are
// removed; item 0 is the program itself.
std::vector<std::string> SplitCommandLine(const std::string& commandLine);

}  // namespace base
