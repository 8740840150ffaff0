// Build of a setup package against LH5-encoding the same bytes alone. The corpus is
// copied at run time from /usr/bin (programs) and /usr/share/doc (text) into a scratch
// folder; each phase runs in a child process of its own so that its peak memory is its
// own. Native only; meaningful in a tree configured with -DTANDREL_SANITIZE=OFF.
//   build_bench [MB of programs] [MB of text]     (default 24 and 8); best of 3 runs
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <string>
#include <vector>

#include "base/Streams.h"
#include "builder/shell/BuildPackage.h"
#include "setup/compress/InstCompress.h"

namespace fs = std::filesystem;

namespace {

struct Corpus {
  std::vector<std::string> programs, texts;
  uint64_t programBytes = 0, textBytes = 0;
};

// Regular files of a tree up to budget bytes, in path order; copied under dest with
// names made unique from their paths.
void Gather(const fs::path& from, const fs::path& dest, uint64_t budget, std::vector<std::string>& out,
            uint64_t& total, bool text) {
  std::vector<std::pair<uint64_t, fs::path>> found;
  std::error_code ec;
  for (auto it = fs::recursive_directory_iterator(from, fs::directory_options::skip_permission_denied, ec);
       it != fs::recursive_directory_iterator(); it.increment(ec)) {
    if (ec) break;
    if (!it->is_regular_file(ec) || it->is_symlink(ec)) continue;
    const uint64_t size = it->file_size(ec);
    if (ec || size == 0 || size > 8u << 20) continue;
    const std::string ext = it->path().extension().string();
    if (text && (ext == ".gz" || ext == ".png" || ext == ".jpg" || ext == ".pdf")) continue;
    found.push_back({size, it->path()});
  }
  // In path order: many files of every size, as a real application holds.
  std::sort(found.begin(), found.end(), [](auto& a, auto& b) { return a.second < b.second; });
  fs::create_directories(dest);
  for (auto& [size, path] : found) {
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

double CpuSeconds() {
  rusage u;
  getrusage(RUSAGE_SELF, &u);
  return u.ru_utime.tv_sec + u.ru_stime.tv_sec + (u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

// Counts what is written and keeps nothing.
class NullStream : public base::Stream {
public:
  int32_t Read(void*, int32_t) override { return 0; }
  int32_t Write(const void*, int32_t count) override {
    pos_ += count;
    if (pos_ > size_) size_ = pos_;
    return count;
  }
  int64_t Seek(int64_t offset, base::SeekOrigin origin) override {
    pos_ = origin == base::SeekOrigin::Beginning ? offset : origin == base::SeekOrigin::Current ? pos_ + offset
                                                                                                 : size_ + offset;
    return pos_;
  }
  int64_t Size() override { return size_; }

private:
  int64_t pos_ = 0, size_ = 0;
};

class QuietLog : public TBuildLog {
public:
  void Add(const std::string& line) override { lines.push_back(line); }
  size_t Count() const override { return lines.size(); }
  std::vector<std::string> lines;
};

struct Figures {
  double wall = 0, cpu = 0;
  uint64_t out = 0;
  bool ok = false;
};

// Runs work in a child; its figures come back through a pipe, its peak memory from wait4.
Figures InChild(const std::function<Figures()>& work, long& peakKb) {
  int fd[2];
  if (pipe(fd) != 0) return {};
  pid_t pid = fork();
  if (pid == 0) {
    close(fd[0]);
    Figures f = work();
    if (write(fd[1], &f, sizeof f) != sizeof f) _exit(2);
    _exit(0);
  }
  close(fd[1]);
  Figures f;
  if (read(fd[0], &f, sizeof f) != sizeof f) f.ok = false;
  close(fd[0]);
  int status = 0;
  rusage u{};
  wait4(pid, &status, 0, &u);
  peakKb = u.ru_maxrss;
  return f;
}

}  // namespace

int main(int argc, char** argv) {
  const uint64_t programMb = argc > 1 ? std::strtoull(argv[1], nullptr, 10) : 24;
  const uint64_t textMb = argc > 2 ? std::strtoull(argv[2], nullptr, 10) : 8;
  const fs::path root = fs::temp_directory_path() / ("tandrel_build_bench_" + std::to_string(getpid()));
  fs::remove_all(root);
  Corpus c;
  Gather("/usr/bin", root / "programs", programMb << 20, c.programs, c.programBytes, false);
  Gather("/usr/share/doc", root / "text", textMb << 20, c.texts, c.textBytes, true);
  fs::create_directories(root / "builder");
  fs::create_directories(root / "proj");
  {
    std::vector<uint8_t> stub(40000, 'S');
    std::copy_n("ZEM_SIZEXXXX", 12, stub.begin() + 1000);
    base::WriteFileBytes((root / "builder" / "Setup.exe").string(), stub);
    fs::copy_file(c.programs.front(), root / "builder" / "TandrelInstall.exe");
  }
  const uint64_t engineBytes = fs::file_size(root / "builder" / "TandrelInstall.exe");
  std::printf("corpus: %zu programs, %.1f MB; %zu text files, %.1f MB; engine %.1f MB\n", c.programs.size(),
              c.programBytes / 1048576.0, c.texts.size(), c.textBytes / 1048576.0, engineBytes / 1048576.0);

  std::vector<std::string> all = c.programs;
  all.insert(all.end(), c.texts.begin(), c.texts.end());
  all.push_back((root / "builder" / "TandrelInstall.exe").string());

  long lh5Peak = 0, buildPeak = 0;
  auto encodeAlone = [&] {
    return InChild(
      [&] {
        Figures f;
        auto t0 = std::chrono::steady_clock::now();
        double c0 = CpuSeconds();
        TTandrelInstCompress compress;
        for (const auto& file : all) {
          base::FileStream in(file, base::fmOpenRead);
          NullStream out;
          std::string id;
          int32_t sum = 0;
          try {
            f.out += static_cast<uint64_t>(compress.CompressStream(out, in, cmLH5, id, sum));
          } catch (const EUnableToCompress&) {
            f.out += static_cast<uint64_t>(in.Size());  // stored, as the archive would
          }
        }
        f.cpu = CpuSeconds() - c0;
        f.wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
        f.ok = true;
        return f;
      },
      lh5Peak);
  };
  auto buildPackage = [&] {
    return InChild(
      [&] {
        Figures f;
        setenv("TMPDIR", (root / "proj").c_str(), 1);
        fs::remove(root / "proj" / "Bench.exe");
        TTandrelBaseInstall p;
        for (const auto& file : c.programs) p.GetGroup(0)->AddFile(file);
        for (const auto& file : c.texts) p.GetGroup(1)->AddFile(file);
        QuietLog log;
        TBuildHost host;
        host.Log = &log;
        auto t0 = std::chrono::steady_clock::now();
        double c0 = CpuSeconds();
        f.ok = BuildSetupPackage(p, (root / "proj" / "Bench.zem").string(), (root / "builder").string(), host) ==
               TBuildResult::Succeeded;
        f.cpu = CpuSeconds() - c0;
        f.wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
        f.out = fs::file_size(root / "proj" / "Bench.exe");
        if (!f.ok)
          for (auto& l : log.lines) std::fprintf(stderr, "%s\n", l.c_str());
        return f;
      },
      buildPeak);
  };
  // Best of three runs of each, taken in turns: the machine may be busy with others.
  Figures lh5, build;
  for (int run = 0; run < 3; ++run) {
    Figures e = encodeAlone(), b = buildPackage();
    if (run == 0 || e.cpu < lh5.cpu) lh5 = e;
    if (run == 0 || b.cpu < build.cpu) build = b;
  }

  const double inMb = (c.programBytes + c.textBytes + engineBytes) / 1048576.0;
  std::printf("%-22s %10s %10s %12s %14s\n", "", "wall s", "cpu s", "output MB", "peak RSS MB");
  std::printf("%-22s %10.2f %10.2f %12.2f %14.1f\n", "LH5 encode alone", lh5.wall, lh5.cpu, lh5.out / 1048576.0,
              lh5Peak / 1024.0);
  std::printf("%-22s %10.2f %10.2f %12.2f %14.1f\n", build.ok ? "build of the package" : "build FAILED", build.wall,
              build.cpu, build.out / 1048576.0, buildPeak / 1024.0);
  std::printf("input %.1f MB; build / encode: %.2f (wall), %.2f (cpu)\n", inMb, build.wall / lh5.wall,
              build.cpu / lh5.cpu);
  fs::remove_all(root);
  return build.ok && lh5.ok ? 0 : 1;
}
