// The launcher's reading of a package over any bytes: it ends, and a layout it accepts
// lies wholly inside the bytes, with S behind the first marker that has four bytes after it.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "base/Streams.h"
#include "setup/services/PackageLayout.h"

namespace {

const char kKey[] = "ZEM_SIZE";

std::string Le32(uint32_t v) {
  return std::string{static_cast<char>(v), static_cast<char>(v >> 8), static_cast<char>(v >> 16),
                     static_cast<char>(v >> 24)};
}

}  // namespace

extern "C" void tandrel_fuzz_seeds(std::vector<std::string>* seeds) {
  // A whole package: a 40-byte stub carrying S = 40, archive 1 of 5 bytes, archive 2 of 3.
  std::string stub = "MZ" + std::string(18, 's') + kKey + Le32(40) + std::string(8, 't');
  seeds->push_back(stub + Le32(5) + "VELT1" + Le32(3) + "abc");
  seeds->push_back(stub + Le32(5) + "VELT1" + Le32(300) + "abc");  // archive 2 cut short
  seeds->push_back(stub + Le32(0xFFFFFFF0u) + "x");                   // archive 1 past the end
  seeds->push_back(std::string(kKey) + Le32(0));                       // S of 0
  seeds->push_back(std::string(16380, 'p') + kKey + Le32(16392) + Le32(0) + Le32(0));  // across a chunk
  seeds->push_back(std::string("xx") + kKey + "\x01\x02");            // fewer than 4 bytes behind
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  base::ReadOnlyMemoryStream stream(data, static_cast<int64_t>(size));
  TPackageLayout layout;
  if (ReadPackageLayout(stream, kKey, layout) != TPackageCheck::Ok) return 0;
  if (layout.TotalSize() > size || layout.StubSize == 0) std::abort();
  // S is the value behind the first marker that has four bytes after it.
  for (size_t i = 0; i + 12 <= size; ++i) {
    if (std::memcmp(data + i, kKey, 8) != 0) continue;
    uint32_t s = data[i + 8] | data[i + 9] << 8 | data[i + 10] << 16 | static_cast<uint32_t>(data[i + 11]) << 24;
    if (s != layout.StubSize) std::abort();
    break;
  }
  return 0;
}
