// The command-line split over any text: it ends, no parameter keeps a quote or is made of
// blanks outside quotes, and quoting each parameter again gives the same split.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "base/CommandLine.h"

extern "C" void tandrel_fuzz_seeds(std::vector<std::string>* seeds) {
  seeds->push_back("setup.exe /SOURCE=C:\\a.exe /DATA=C:\\b.tmp");
  seeds->push_back("\"C:\\Program Files\\x.exe\" \"/UNINST=C:\\A B\\UnInst.log \" \"/APPNAME=My App\"");
  seeds->push_back("a \"\" b \"open");
  seeds->push_back(std::string("a\tb\x01" "c", 6));
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string line(reinterpret_cast<const char*>(data), size);
  const std::vector<std::string> params = base::SplitCommandLine(line);
  std::string again;
  for (const std::string& p : params) {
    for (char c : p)
      if (c == '"' || c == '\0') std::abort();
    again += '"' + p + "\" ";
  }
  if (base::SplitCommandLine(again) != params) std::abort();
  return 0;
}
