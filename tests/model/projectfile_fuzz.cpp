// Any input either loads into a fresh project or is refused with False; what loaded
// writes a stream that loads again, and from there writing and reading is stable.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "base/Streams.h"
#include "setup/model/InstClasses.h"
#include "tests/model/fixtures/ProjectFileCases.h"

namespace {

std::vector<uint8_t> Reload(const std::vector<uint8_t>& bytes) {
  TTandrelBaseInstall p;
  base::ReadOnlyMemoryStream in(bytes.data(), static_cast<int64_t>(bytes.size()));
  if (!p.LoadFromStream(in)) std::abort();  // the writer's own output must load
  return p.SaveToBytes();
}

}  // namespace

extern "C" void tandrel_fuzz_seeds(std::vector<std::string>* seeds) {
  for (const auto& c : projectfile::Projects()) {
    TTandrelBaseInstall p;
    c.fill(p);
    p.License = "short";  // mutations then reach past the licence
    std::vector<uint8_t> b = p.SaveToBytes();
    seeds->emplace_back(b.begin(), b.end());
  }
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  TTandrelBaseInstall p;
  base::ReadOnlyMemoryStream in(data, static_cast<int64_t>(size));
  if (!p.LoadFromStream(in)) return 0;
  // The first reload may still move a caption filled by a setter or quieten a NaN.
  std::vector<uint8_t> once = Reload(p.SaveToBytes());
  if (Reload(once) != once) std::abort();
  return 0;
}
