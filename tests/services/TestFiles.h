// Scratch files for the services' tests, one folder per test process.
#pragma once
#include <filesystem>
#include <string>

#include "base/Streams.h"

namespace testfiles {

inline std::string Dir() {
  static const std::string dir = [] {
    auto d = std::filesystem::temp_directory_path() /
             ("tandrel_services_" + std::to_string(static_cast<long>(
#ifdef _WIN32
                                        _getpid()
#else
                                        getpid()
#endif
                                            )));
    std::filesystem::create_directories(d);
    return d.string();
  }();
  return dir;
}

inline std::string Path(const std::string& name) {
#ifdef _WIN32
  return Dir() + "\\" + name;
#else
  return Dir() + "/" + name;
#endif
}

inline std::string Write(const std::string& name, const std::string& bytes) {
  const std::string p = Path(name);
  base::WriteFileBytes(p, std::vector<uint8_t>(bytes.begin(), bytes.end()));
  return p;
}

inline std::string Read(const std::string& path) {
  auto b = base::ReadFileBytes(path);
  return std::string(b.begin(), b.end());
}

}  // namespace testfiles
