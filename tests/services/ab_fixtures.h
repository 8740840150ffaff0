// Where the self-registration and version fixtures are built: "fixtures_ab" beside the test.
#pragma once
#include <windows.h>

#include <string>

inline std::string AbFixture(const std::string& name) {
  char buf[MAX_PATH];
  DWORD n = GetModuleFileNameA(nullptr, buf, MAX_PATH);
  std::string exe(buf, n);
  return exe.substr(0, exe.find_last_of('\\') + 1) + "fixtures_ab\\" + name;
}
