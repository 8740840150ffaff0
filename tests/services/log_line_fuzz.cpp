// Any log line splits without fault, and what the parsers take apart writes back to the
// same argument.
#include <cstdint>
#include <string>
#include <vector>

#include "setup/services/InstallRules.h"

extern "C" void tandrel_fuzz_seeds(std::vector<std::string>* seeds) {
  seeds->push_back("CreateIniValue=C:\\W\\a.ini,Sec,Key,more");
  seeds->push_back("AddRegValue=(HKEY_CURRENT_USER\\Software\\A)Na)me");
  seeds->push_back("CreateDir=C:\\a=b");
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string line(reinterpret_cast<const char*>(data), size);
  std::string keyword, argument;
  if (!SplitLogLine(line, keyword, argument)) {
    if (line.find('=') != std::string::npos) __builtin_trap();
    return 0;
  }
  if (keyword.find('=') != std::string::npos || keyword + "=" + argument != line) __builtin_trap();
  std::string file, section, key;
  if (ParseIniValueArgument(argument, file, section, key)) {
    if (file.find(',') != std::string::npos || section.find(',') != std::string::npos ||
        IniValueLogArgument(file, section, key) != argument)
      __builtin_trap();
  }
  std::string fullKey, valueName;
  if (ParseRegValueArgument(argument, fullKey, valueName)) {
    if (fullKey.find(')') != std::string::npos || argument.substr(1) != fullKey + ")" + valueName)
      __builtin_trap();
  }
  return 0;
}
