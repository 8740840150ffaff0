// The hex text of a binary registry value: any text is either refused or gives bytes
// whose hex text, with any blanks between the bytes, reads back to the same bytes; a text
// is refused exactly when it holds a character that is neither a hex digit nor a blank,
// an odd number of digits, or a blank inside a byte.
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "setup/services/InstActions.h"

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }
bool IsHex(char c) { return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F'); }

bool Acceptable(const std::string& text) {
  int digits = 0;
  for (char c : text) {
    if (IsBlank(c)) {
      if (digits % 2) return false;
    } else if (IsHex(c)) {
      ++digits;
    } else {
      return false;
    }
  }
  return digits % 2 == 0;
}

}  // namespace

extern "C" void tandrel_fuzz_seeds(std::vector<std::string>* seeds) {
  seeds->push_back("01 02 ff\r\n0A\tb0");
  seeds->push_back("  DEADbeef  ");
  seeds->push_back("0 1");
  seeds->push_back("abc");
  seeds->push_back("12 zz");
  seeds->push_back("");
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  std::string bytes = "untouched";
  const bool ok = ParseHexBinary(text, bytes);
  if (ok != Acceptable(text)) __builtin_trap();
  if (!ok) {
    if (bytes != "untouched") __builtin_trap();  // a refusal leaves the output alone
    return 0;
  }
  std::string hex;
  for (unsigned char b : bytes) {
    char buf[4];
    std::snprintf(buf, sizeof buf, "%02x ", b);
    hex += buf;
  }
  std::string again;
  if (!ParseHexBinary(hex, again) || again != bytes) __builtin_trap();
  return 0;
}
