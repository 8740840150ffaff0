// The RLE decoder over arbitrary data.
#include "DecodeFuzz.h"

extern "C" void tandrel_fuzz_seeds(std::vector<std::string>* seeds) { DecodeFuzzSeeds(cmRLE, seeds); }

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  return DecodeFuzzOne(cmRLE, data, size);
}
