// Seeds and runs of a fuzz entry point.
//   name --write-seeds=DIR       writes the target's seeds (tandrel_fuzz_seeds) into DIR, one
//                                file each, and ends; the build makes each target's corpus so.
// Without libFuzzer (the plain test):
//   name RUNS DIR...             every file of the corpus folders, then RUNS deterministic
//                                random mutations of them.
// With libFuzzer (TANDREL_LIBFUZZER) only --write-seeds is handled here; libFuzzer takes the
// corpus folders itself.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);
extern "C" __attribute__((weak)) void tandrel_fuzz_seeds(std::vector<std::string>* seeds);

namespace {

constexpr char kWriteSeeds[] = "--write-seeds=";

std::vector<std::string> Seeds() {
  std::vector<std::string> seeds;
  if (tandrel_fuzz_seeds) tandrel_fuzz_seeds(&seeds);
  return seeds;
}

// Files seed-0000, seed-0001, ... so that a rebuild overwrites rather than adds.
int WriteSeeds(const char* dir) {
  std::error_code ec;
  std::filesystem::create_directories(dir, ec);
  const std::vector<std::string> seeds = Seeds();
  for (size_t i = 0; i < seeds.size(); ++i) {
    char name[32];
    std::snprintf(name, sizeof name, "seed-%04zu", i);
    std::ofstream out(std::filesystem::path(dir) / name, std::ios::binary | std::ios::trunc);
    out.write(seeds[i].data(), static_cast<std::streamsize>(seeds[i].size()));
    if (!out) {
      std::fprintf(stderr, "cannot write seed %s into %s\n", name, dir);
      return 1;
    }
  }
  std::printf("%zu seeds in %s\n", seeds.size(), dir);
  return 0;
}

// Ends the process when argv asks for the seeds to be written.
void HandleWriteSeeds(int argc, char** argv) {
  for (int i = 1; i < argc; ++i)
    if (std::strncmp(argv[i], kWriteSeeds, sizeof kWriteSeeds - 1) == 0)
      std::exit(WriteSeeds(argv[i] + sizeof kWriteSeeds - 1));
}

}  // namespace

#ifdef TANDREL_LIBFUZZER
extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
  HandleWriteSeeds(*argc, *argv);
  return 0;
}
#else
int main(int argc, char** argv) {
  HandleWriteSeeds(argc, argv);
  long runs = argc > 1 ? std::strtol(argv[1], nullptr, 10) : 10000;
  std::vector<std::string> corpus;
  for (int i = 2; i < argc; ++i) {
    std::error_code ec;
    std::vector<std::filesystem::path> files;
    for (const auto& e : std::filesystem::directory_iterator(argv[i], ec))
      if (e.is_regular_file()) files.push_back(e.path());
    if (ec) {
      std::fprintf(stderr, "cannot read corpus folder %s\n", argv[i]);
      return 1;
    }
    std::sort(files.begin(), files.end());  // the same order, so the same mutations, every run
    for (const auto& f : files) {
      std::ifstream in(f, std::ios::binary);
      corpus.emplace_back(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
  }
  if (argc <= 2) corpus = Seeds();  // run by hand without a folder
  corpus.emplace_back();
  for (const auto& s : corpus) LLVMFuzzerTestOneInput(reinterpret_cast<const uint8_t*>(s.data()), s.size());
  std::mt19937 rng(12345);
  for (long i = 0; i < runs; ++i) {
    std::string in = corpus[rng() % corpus.size()];
    int edits = 1 + rng() % 8;
    for (int e = 0; e < edits; ++e) {
      switch (rng() % 5) {
        case 0: if (!in.empty()) in[rng() % in.size()] = static_cast<char>(rng()); break;
        case 1: in.insert(in.begin() + (in.empty() ? 0 : rng() % in.size()), static_cast<char>(rng())); break;
        case 2: if (!in.empty()) in.erase(rng() % in.size(), 1 + rng() % 4); break;
        case 3: if (!in.empty()) in.resize(rng() % in.size()); break;
        case 4: if (!in.empty()) in[rng() % in.size()] ^= static_cast<char>(1u << (rng() % 8)); break;
      }
    }
    LLVMFuzzerTestOneInput(reinterpret_cast<const uint8_t*>(in.data()), in.size());
  }
  std::printf("%zu corpus inputs, %ld mutated runs\n", corpus.size() - 1, runs);
  return 0;
}
#endif
