// Any text imports (or fails only on a file it names that cannot be read), and the
// imported project always saves and reads back: no ordinal outside its enumeration,
// no nameless root key.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "base/Streams.h"
#include "setup/model/InstClasses.h"
#include "tests/model/fixtures/IwzCases.h"

namespace {

// The input goes through a file, as the import reads one; in memory where the system has
// a memory file system, so that runs do not wait for the disk.
struct InputFile {
  InputFile() {
    std::error_code ec;
    const std::filesystem::path shm = "/dev/shm";
    const std::filesystem::path dir = std::filesystem::is_directory(shm, ec) ? shm
                                                                              : std::filesystem::temp_directory_path();
    name = (dir / ("tandrel_iwz_fuzz_" + std::to_string(getpid()) + ".iwz")).string();
  }
  ~InputFile() { std::remove(name.c_str()); }
  std::string name;
};

const std::string& InputName() {
  static const InputFile file;
  return file.name;
}

}  // namespace

extern "C" void tandrel_fuzz_seeds(std::vector<std::string>* seeds) {
  for (const auto& s : iwz::Seeds()) seeds->push_back(s);
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  base::WriteFileBytes(InputName(), std::vector<uint8_t>(data, data + size));
  TTandrelBaseInstall p;
  try {
    if (!p.ImportIwz(InputName())) {
      // No section of the import: the project is left as it was.
      if (p.SaveToBytes() != TTandrelBaseInstall().SaveToBytes()) std::abort();
      return 0;
    }
  } catch (const base::Exception&) {
    return 0;
  }
  for (auto* k : p.Registry)
    if (k->KeyName.empty()) std::abort();
  for (auto* g : p.Groups)
    if (g->UpdateMethod > umNever) std::abort();
  for (auto* i : p.Icons)
    if (i->DisplayType > dtMinimized || i->GroupType > gtSendTo) std::abort();
  const std::vector<uint8_t> bytes = p.SaveToBytes();
  TTandrelBaseInstall q;
  base::ReadOnlyMemoryStream in(bytes.data(), static_cast<int64_t>(bytes.size()));
  if (!q.LoadFromStream(in)) std::abort();
  return 0;
}
