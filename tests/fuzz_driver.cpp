// Runs a fuzz entry point without libFuzzer: seeds from tandrel_fuzz_seeds (when the
// target defines it), then deterministic random mutations of them. argv[1]: iterations.
#include <cstdint>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);
extern "C" __attribute__((weak)) void tandrel_fuzz_seeds(std::vector<std::string>* seeds);

int main(int argc, char** argv) {
  long runs = argc > 1 ? std::strtol(argv[1], nullptr, 10) : 10000;
  std::vector<std::string> seeds;
  if (tandrel_fuzz_seeds) tandrel_fuzz_seeds(&seeds);
  seeds.emplace_back();
  for (const auto& s : seeds) LLVMFuzzerTestOneInput(reinterpret_cast<const uint8_t*>(s.data()), s.size());
  std::mt19937 rng(12345);
  for (long i = 0; i < runs; ++i) {
    std::string in = seeds[rng() % seeds.size()];
    int edits = 1 + rng() % 8;
    for (int e = 0; e < edits; ++e) {
      switch (rng() % 4) {
        case 0: if (!in.empty()) in[rng() % in.size()] = static_cast<char>(rng()); break;
        case 1: in.insert(in.begin() + (in.empty() ? 0 : rng() % in.size()), static_cast<char>(rng())); break;
        case 2: if (!in.empty()) in.erase(rng() % in.size(), 1 + rng() % 4); break;
        case 3: if (!in.empty()) in.resize(rng() % in.size()); break;
      }
    }
    LLVMFuzzerTestOneInput(reinterpret_cast<const uint8_t*>(in.data()), in.size());
  }
  return 0;
}
