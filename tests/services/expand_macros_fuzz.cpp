// Any text expands to an end within the length cap, whatever the values name.
#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "base/Strings.h"
#include "setup/services/InstallRules.h"

namespace {

// Values that name other pieces, themselves, or grow.
std::string Value(const std::string& name) {
  const std::string up = base::AnsiUpperCase(name);
  if (up == "[A]") return "<WINDIR>\\[B]";
  if (up == "[B]") return "[A]x";
  if (up == "[SELF]") return "[self]";
  if (up == "[GROW]") return "[GROW][GROW]";
  if (up == "<WINDIR>") return "C:\\WINDOWS";
  if (up == "<LOOP>") return "<loop><LOOP>";
  if (up == "<UNMATCHED>") return "<";
  return name.size() % 3 == 0 ? std::string() : name.substr(1);
}

}  // namespace

extern "C" void tandrel_fuzz_seeds(std::vector<std::string>* seeds) {
  seeds->push_back("[A]\\<WINDIR>\\x");
  seeds->push_back("[self][GROW]<LOOP><unmatched>>[");
  seeds->push_back("<<WINDIR>>[[B]]]<x");
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  const std::string out = ExpandMacroText(text, Value, Value);
  if (out.size() > std::max(text.size(), kMaxExpandedLength)) __builtin_trap();
  return 0;
}
