// Where the self-registration and version fixtures are built: "fixtures_ab" beside the test.
#pragma once
#include <windows.h>

#include <string>

// Version children run from a copy elsewhere: the folder is handed down through the
// environment.
inline std::string AbFixture(const std::string& name) {
  char buf[MAX_PATH];
  DWORD n = GetEnvironmentVariableA("TANDREL_AB_FIXTURES", buf, MAX_PATH);
  if (n > 0 && n < MAX_PATH) return std::string(buf, n) + name;
  n = GetModuleFileNameA(nullptr, buf, MAX_PATH);
  std::string exe(buf, n);
  const std::string dir = exe.substr(0, exe.find_last_of('\\') + 1) + "fixtures_ab\\";
  SetEnvironmentVariableA("TANDREL_AB_FIXTURES", dir.c_str());
  return dir + name;
}
