// The benchmarks' corpus: real programs and texts of this machine copied into a scratch
// folder, so that every run compresses and installs the same kind of files a product holds.
#pragma once
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace bench {

// Regular files of the tree `from` of minSize to maxSize bytes, in path order, up to
// `budget` bytes and maxCount files, copied under dest with names made unique from their
// paths. Text skips the packed kinds (.gz, .png, .jpg, .pdf). Adds to out and total.
void Gather(const std::filesystem::path& from, const std::filesystem::path& dest, uint64_t budget,
            std::vector<std::string>& out, uint64_t& total, bool text, uint64_t minSize = 1,
            uint64_t maxSize = 8u << 20, size_t maxCount = SIZE_MAX);

}  // namespace bench
