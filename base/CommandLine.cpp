#include "base/CommandLine.h"

namespace base {

std::vector<std::string> SplitCommandLine(const std::string& commandLine) {
  std::vector<std::string> params;
  size_t i = 0, n = commandLine.size();
  auto blank = [](char c) { return static_cast<unsigned char>(c) <= ' ' && c != '\0'; };
  while (true) {
    while (i < n && blank(commandLine[i])) ++i;
    if (i >= n || commandLine[i] == '\0') break;
    std::string param;
    bool quoted = false;
    while (i < n && commandLine[i] != '\0' && (quoted || !blank(commandLine[i]))) {
      if (commandLine[i] == '"')
        quoted = !quoted;
      else
        param += commandLine[i];
      ++i;
    }
    params.push_back(param);
  }
  return params;
}

}  // namespace base
