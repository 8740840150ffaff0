// Version comparison of any texts: never both older than each other, a version is not
// older than itself, "older" is transitive, and a trailing ".0" changes nothing (parts
// that are missing count as 0). Two empty texts are the one pair that is "older" both
// ways, as the services have it.
#include <cstdint>
#include <string>
#include <vector>

#include "setup/services/InstFileInfo.h"

extern "C" void tandrel_fuzz_seeds(std::vector<std::string>* seeds) {
  const std::string nul(1, '\0');
  seeds->push_back("1.5" + nul + "2.0" + nul + "2.0.1");
  seeds->push_back("4.0.1381.4" + nul + "4.0.1381.33" + nul + "4.1");
  seeds->push_back(" 3 . 07 " + nul + "3.7" + nul + "+3.-7");
  seeds->push_back("2147483647.1" + nul + "2147483648" + nul + "-2147483648");
  seeds->push_back("1.x.3" + nul + "1..3" + nul + "");
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::vector<std::string> v(1);
  for (size_t i = 0; i < size && v.size() <= 3; ++i) {
    if (data[i] == 0)
      v.emplace_back();
    else
      v.back() += static_cast<char>(data[i]);
  }
  v.resize(3);
  const std::string &a = v[0], &b = v[1], &c = v[2];
  auto older = [](const std::string& x, const std::string& y) { return IsVersionOlder(x, y); };
  const bool bothEmpty = a.empty() && b.empty();
  if (!bothEmpty && older(a, b) && older(b, a)) __builtin_trap();
  if (!a.empty() && older(a, a)) __builtin_trap();
  if (older(a, b) && older(b, c) && !(a.empty() && c.empty()) && !older(a, c)) __builtin_trap();
  if (!a.empty() && !b.empty() && older(a + ".0", b) != older(a, b)) __builtin_trap();
  return 0;
}
