// The package-offset search over any file: the chunked search with its 8-byte overlap
// finds what a plain scan of the whole file finds, the first marker (in file order)
// followed by four readable bytes that are not all zero.
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "base/Streams.h"
#include "setup/services/InstallRules.h"

namespace {

std::string Le32(uint32_t v) {
  return std::string{static_cast<char>(v), static_cast<char>(v >> 8), static_cast<char>(v >> 16),
                     static_cast<char>(v >> 24)};
}

int32_t PlainScan(const uint8_t* data, size_t size) {
  for (size_t i = 0; i + 12 <= size; ++i) {
    if (std::memcmp(data + i, kPackageMarker, 8) != 0) continue;
    uint32_t v = data[i + 8] | (data[i + 9] << 8) | (data[i + 10] << 16) | (static_cast<uint32_t>(data[i + 11]) << 24);
    if (v != 0) return static_cast<int32_t>(v);
  }
  return 0;
}

}  // namespace

extern "C" void tandrel_fuzz_seeds(std::vector<std::string>* seeds) {
  const std::string marker = kPackageMarker;
  seeds->push_back("MZ" + std::string(100, 'x') + marker + Le32(123456));
  seeds->push_back(marker + Le32(0) + std::string(50, 'y') + marker + Le32(77));  // a zero value is no find
  // Markers across the chunk border, and one whose value is cut off by the end.
  for (size_t at : {size_t(kPackageChunk) - 4, size_t(kPackageChunk) - 8, size_t(kPackageChunk) - 9}) {
    std::string s(at, 'z');
    seeds->push_back(s + marker + Le32(0x01020304) + "tail");
  }
  seeds->push_back(std::string(200, 'q') + marker + "\x05\x00");
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  base::ReadOnlyMemoryStream in(data, static_cast<int64_t>(size));
  if (FindPackageOffset(in) != PlainScan(data, size)) __builtin_trap();
  return 0;
}
