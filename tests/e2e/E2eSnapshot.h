// What a machine holds: every file of drive C (size, date, attributes) and every
// registry value under the software keys, so two moments can be compared.
#pragma once
#include <windows.h>

#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace e2e {

struct Snapshot {
  // Lower-case path -> "size date attributes"; folders -> "dir".
  std::map<std::string, std::string> Files;
  // Lower-case "ROOT\key" (a key itself) or "ROOT\key\\value" -> type and data.
  std::map<std::string, std::string> Registry;
};

// Lower-case path prefixes to leave out (the test's own folders, temporary folders).
Snapshot TakeSnapshot(const std::vector<std::string>& skipFiles, const std::vector<std::string>& skipKeys);

// "+ path", "- path", "~ path" lines, files first.
std::vector<std::string> Difference(const Snapshot& before, const Snapshot& after);

std::string Lower(const std::string& s);

}  // namespace e2e
