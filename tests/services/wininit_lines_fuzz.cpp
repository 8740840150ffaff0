// WININIT.INI editing over any existing file and any lines: the result has CR LF line
// ends only, holds the last rename line and the last error line given, and editing it
// again with nothing to add changes nothing.
#include <cstdint>
#include <string>
#include <vector>

#include "setup/services/InstallRules.h"

namespace {

// Pieces separated by NUL: the existing text, then flag, key, value triples (flag 'e'
// for an error line). Keys and values become what the services write: "nul" or a full
// path ("C:\" in front), without CR, LF, or "=" in a key.
struct Input {
  std::string existing;
  std::vector<TIniLine> renames, errors;
};

std::string Clean(std::string s, bool key) {
  std::string out;
  for (char c : s)
    if (c != '\r' && c != '\n' && !(key && c == '=')) out += c;
  return key && out == "nul" ? out : "C:\\" + out;
}

Input Split(const uint8_t* data, size_t size) {
  std::vector<std::string> parts(1);
  for (size_t i = 0; i < size; ++i) {
    if (data[i] == 0)
      parts.emplace_back();
    else
      parts.back() += static_cast<char>(data[i]);
  }
  Input in;
  in.existing = parts[0];
  for (size_t i = 1; i + 2 < parts.size(); i += 3) {
    TIniLine l{Clean(parts[i + 1], true), Clean(parts[i + 2], false)};
    if (parts[i] == "e")
      in.errors.push_back(l);
    else
      in.renames.push_back(l);
  }
  return in;
}

}  // namespace

extern "C" void tandrel_fuzz_seeds(std::vector<std::string>* seeds) {
  const std::string nul(1, '\0');
  seeds->push_back("[rename]\r\nnul=C:\\A.DLL\r\nC:\\A.DLL=C:\\A.NEW\r\n\r\n[Other]\r\nx=1\r\n" + nul + "r" + nul +
                   "nul" + nul + "C:\\B.DLL" + nul + "r" + nul + "C:\\B.DLL" + nul + "C:\\B.NEW");
  seeds->push_back("; no sections\nloose line\r[Errors]\nC:\\Long Name.dll=old" + nul + "e" + nul +
                   "C:\\Long Name.dll" + nul + "Uses long filenames");
  seeds->push_back(nul + "r" + nul + "nul" + nul + "C:\\A.DLL" + nul + "r" + nul + "C:\\A.DLL" + nul + "C:\\A.NEW" +
                   nul + "r" + nul + "nul" + nul + "C:\\A.DLL" + nul + "r" + nul + "C:\\A.DLL" + nul + "C:\\A.NEW");
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const Input in = Split(data, size);
  const std::string out = AppendWininitLines(in.existing, in.renames, in.errors);
  for (size_t i = 0; i < out.size(); ++i) {
    if (out[i] == '\n' && (i == 0 || out[i - 1] != '\r')) __builtin_trap();
    if (out[i] == '\r' && (i + 1 >= out.size() || out[i + 1] != '\n')) __builtin_trap();
  }
  if (!in.renames.empty()) {
    const TIniLine& last = in.renames.back();
    if (out.find(last.Key + "=" + last.Value + "\r\n") == std::string::npos) __builtin_trap();
  }
  // An error line replaces one whose key is the same ignoring case: the last one stays.
  if (!in.errors.empty() && out.find(in.errors.back().Key + "=" + in.errors.back().Value + "\r\n") == std::string::npos)
    __builtin_trap();
  if (AppendWininitLines(out, {}, {}) != out) __builtin_trap();
  return 0;
}
