#include "tests/fpc/Tpf0Check.h"

#include <unistd.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace tpf0check {

namespace {

std::string Slurp(const std::filesystem::path& p) {
  std::ifstream f(p, std::ios::binary);
  std::ostringstream s;
  s << f.rdbuf();
  return s.str();
}

}  // namespace

std::string Tpf0ToText(const std::vector<uint8_t>& stream) {
  static std::atomic<int> counter{0};
  namespace fs = std::filesystem;
  fs::path dir = fs::temp_directory_path() /
                 ("tpf0check-" + std::to_string(getpid()) + "-" + std::to_string(counter++));
  fs::create_directories(dir);
  fs::path bin = dir / "in.bin", txt = dir / "out.txt", err = dir / "err.txt";
  {
    std::ofstream f(bin, std::ios::binary);
    f.write(reinterpret_cast<const char*>(stream.data()), static_cast<std::streamsize>(stream.size()));
  }
  std::string cmd = std::string("'") + TPF0_TO_TEXT + "' '" + bin.string() + "' '" + txt.string() + "' 2>'" +
                    err.string() + "'";
  int rc = std::system(cmd.c_str());
  std::string text = Slurp(txt), message = Slurp(err);
  fs::remove_all(dir);
  if (rc != 0) throw std::runtime_error("tpf0_to_text refused the stream: " + message);
  return text;
}

}  // namespace tpf0check
