#include "bench/BenchCorpus.h"

#include <algorithm>

namespace fs = std::filesystem;

namespace bench {

void Gather(const fs::path& from, const fs::path& dest, uint64_t budget, std::vector<std::string>& out,
            uint64_t& total, bool text, uint64_t minSize, uint64_t maxSize, size_t maxCount) {
  std::vector<std::pair<uint64_t, fs::path>> found;
  std::error_code ec;
  for (auto it = fs::recursive_directory_iterator(from, fs::directory_options::skip_permission_denied, ec);
       it != fs::recursive_directory_iterator(); it.increment(ec)) {
    if (ec) break;
    if (!it->is_regular_file(ec) || it->is_symlink(ec)) continue;
    const uint64_t size = it->file_size(ec);
    if (ec || size < minSize || size > maxSize) continue;
    const std::string ext = it->path().extension().string();
    if (text && (ext == ".gz" || ext == ".png" || ext == ".jpg" || ext == ".pdf")) continue;
    found.push_back({size, it->path()});
  }
  // In path order: many files of every size, as a real application holds.
  std::sort(found.begin(), found.end(), [](auto& a, auto& b) { return a.second < b.second; });
  fs::create_directories(dest);
  for (auto& [size, path] : found) {
    if (out.size() >= maxCount) break;
    if (total + size > budget) continue;
    std::string name = fs::relative(path, from).string();
    std::replace(name.begin(), name.end(), '/', '_');
    const fs::path target = dest / name;
    fs::copy_file(path, target, fs::copy_options::overwrite_existing, ec);
    if (ec) continue;
    out.push_back(target.string());
    total += size;
  }
}

}  // namespace bench
