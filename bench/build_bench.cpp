// Build of a setup package against LH5-encoding the same bytes alone, then the build on
// one thread and on every core for two sets: "a", programs and texts (the corpus below),
// and "b", 1,000 small texts of 0.5-4 KB; each with the engine compressed afresh (a new
// builder process) and with the engine's entry kept from the build before. The corpus is
// copied at run time from /usr/bin (programs) and /usr/share/doc (text) into a scratch
// folder; each phase runs in a child process of its own so that its peak memory is its
// own. Native only; meaningful in a tree configured with -DTANDREL_SANITIZE=OFF.
//   build_bench [MB of programs] [MB of text] [engine file]
// (default 27 and 8 MB, and the program of the corpus nearest 4.66 MB, the engine's size);
// encode against build: best of 3 runs; threads: medians of 5.
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
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "base/Streams.h"
#include "bench/BenchChild.h"
#include "bench/BenchCorpus.h"
#include "bench/Median.h"
#include "builder/common/BuildPackage.h"
#include "setup/compress/InstCompress.h"

namespace fs = std::filesystem;
using bench::Gather;
using bench::Median;

namespace {

struct Corpus {
  std::vector<std::string> programs, texts;
  uint64_t programBytes = 0, textBytes = 0;
};

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

// Runs work in a child of its own; peakKb gets its peak memory.
Figures InChild(const std::function<Figures()>& work, long& peakKb) { return bench::InChild(work, &peakKb); }

// The package's hash with the date of Inst.cmp's record left out: Inst.cmp is written
// afresh by every build, so that date is the one field two builds a second apart may not
// share. Read in blocks, so that the reading does not count in the peak memory. The stub
// is the bench's own: the engine's record lies at stubSize + 4 + 21.
uint64_t PackageHash(const std::string& file, size_t stubSize) {
  std::ifstream in(file, std::ios::binary);
  std::vector<char> block(1 << 16);
  uint8_t record[25] = {};
  in.seekg(static_cast<std::streamoff>(stubSize + 4 + 21));
  in.read(reinterpret_cast<char*>(record), 25);
  const size_t info = stubSize + 4 + 21 + 25 + (record[0] | record[1] << 8) +
                      (uint32_t{record[12]} | uint32_t{record[13]} << 8 | uint32_t{record[14]} << 16 |
                       uint32_t{record[15]} << 24);
  in.clear();
  in.seekg(0);
  uint64_t h = 14695981039346656037ull;
  size_t at = 0;
  while (in.read(block.data(), static_cast<std::streamsize>(block.size())) || in.gcount() > 0) {
    for (std::streamsize k = 0; k < in.gcount(); ++k, ++at) {
      const uint8_t c = at >= info + 2 && at < info + 6 ? 0 : static_cast<uint8_t>(block[static_cast<size_t>(k)]);
      h = (h ^ c) * 1099511628211ull;
    }
  }
  return h ^ at;
}

// Figures of a cold and a warm build in one builder process; out holds the package's
// hash (Info's date cleared).
struct Pair {
  double cold = 0, warm = 0, coldCpu = 0;
  uint64_t hash = 0, bytes = 0;
  bool ok = false;
};


}  // namespace

int main(int argc, char** argv) {
  std::string load;
  {
    std::ifstream in("/proc/loadavg");
    std::getline(in, load);
  }
  std::printf("load at start (/proc/loadavg): %s; %u cores\n", load.c_str(), std::thread::hardware_concurrency());
  const uint64_t programMb = argc > 1 ? std::strtoull(argv[1], nullptr, 10) : 27;
  const uint64_t textMb = argc > 2 ? std::strtoull(argv[2], nullptr, 10) : 8;
  const fs::path root = fs::temp_directory_path() / ("tandrel_build_bench_" + std::to_string(getpid()));
  fs::remove_all(root);
  Corpus c;
  Gather("/usr/bin", root / "programs", programMb << 20, c.programs, c.programBytes, false);
  Gather("/usr/share/doc", root / "text", textMb << 20, c.texts, c.textBytes, true);
  // Set b: 1,000 texts of 0.5-4 KB.
  Corpus small;
  Gather("/usr/share/doc", root / "small", uint64_t{64} << 20, small.texts, small.textBytes, true, 512, 4096, 1000);
  fs::create_directories(root / "builder");
  fs::create_directories(root / "proj");
  const size_t stubSize = 40000;
  {
    std::vector<uint8_t> stub(stubSize, 'S');
    std::copy_n("ZEM_SIZEXXXX", 12, stub.begin() + 1000);
    base::WriteFileBytes((root / "builder" / "Setup.exe").string(), stub);
    std::string engine = argc > 3 ? argv[3] : "";
    if (engine.empty()) {
      uint64_t best = UINT64_MAX;
      for (const auto& f : c.programs) {
        const uint64_t size = fs::file_size(f), off = size > 4886364 ? size - 4886364 : 4886364 - size;
        if (off < best) best = off, engine = f;
      }
    }
    fs::copy_file(engine, root / "builder" / "TandrelInstall.exe");
  }
  const uint64_t engineBytes = fs::file_size(root / "builder" / "TandrelInstall.exe");
  std::printf("set a: %zu programs, %.1f MB; %zu text files, %.1f MB; set b: %zu text files, %.2f MB; engine %.2f MB\n",
              c.programs.size(), c.programBytes / 1048576.0, c.texts.size(), c.textBytes / 1048576.0,
              small.texts.size(), small.textBytes / 1048576.0, engineBytes / 1048576.0);

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
  // One build of a project of groups; wall time through the pipe, package kept on disk.
  auto buildOnce = [&](const std::vector<std::vector<std::string>>& groups, unsigned threads, Figures& f) {
    setenv("TMPDIR", (root / "proj").c_str(), 1);
    fs::remove(root / "proj" / "Bench.exe");
    TTandrelBaseInstall p;
    for (size_t g = 0; g < groups.size(); ++g)
      for (const auto& file : groups[g]) p.GetGroup(static_cast<int>(g))->AddFile(file);
    QuietLog log;
    TBuildHost host;
    host.Log = &log;
    host.Threads = threads;
    auto t0 = std::chrono::steady_clock::now();
    double c0 = CpuSeconds();
    f.ok = BuildSetupPackage(p, (root / "proj" / "Bench.zem").string(), (root / "builder").string(), host) ==
           TBuildResult::Succeeded;
    f.cpu = CpuSeconds() - c0;
    f.wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
    f.out = f.ok ? fs::file_size(root / "proj" / "Bench.exe") : 0;
    if (!f.ok)
      for (auto& l : log.lines) std::fprintf(stderr, "%s\n", l.c_str());
  };
  const std::vector<std::vector<std::string>> setA = {c.programs, c.texts}, setB = {small.texts};
  auto buildPackage = [&] {
    return InChild(
      [&] {
        Figures f;
        buildOnce(setA, 1, f);
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
  std::printf("\nset a on one thread against encoding its files alone, best of 3\n");
  std::printf("%-22s %10s %10s %12s %14s\n", "", "wall s", "cpu s", "output MB", "peak RSS MB");
  std::printf("%-22s %10.2f %10.2f %12.2f %14.1f\n", "LH5 encode alone", lh5.wall, lh5.cpu, lh5.out / 1048576.0,
              lh5Peak / 1024.0);
  std::printf("%-22s %10.2f %10.2f %12.2f %14.1f\n", build.ok ? "build of the package" : "build FAILED", build.wall,
              build.cpu, build.out / 1048576.0, buildPeak / 1024.0);
  std::printf("input %.1f MB; build / encode: %.2f (wall), %.2f (cpu)\n", inMb, build.wall / lh5.wall,
              build.cpu / lh5.cpu);

  // One thread against every core: each run a fresh process that builds twice, the
  // engine compressed in the first build and kept for the second.
  const unsigned cores = std::max(1u, std::thread::hardware_concurrency());
  bool ok = build.ok && lh5.ok;
  std::printf("\nbuild on one thread and on %u, medians of 5 (cold: engine compressed; warm: engine kept)\n", cores);
  std::printf("%-4s %9s %9s %9s %9s %9s %9s %11s %11s %11s %10s %10s\n", "set", "1 cold s", "1 warm s", "N cold s",
              "N warm s", "cold N/1", "warm N/1", "cpu 1 cold", "cpu N cold", "package MB", "peak 1 MB", "peak N MB");
  for (const auto& named : {std::pair{"a", &setA}, std::pair{"b", &setB}}) {
    // Plain names: the lambda below captures set, and clang 14 captures no structured binding.
    const char* const name = named.first;
    auto* const set = named.second;
    std::vector<double> cold[2], warm[2], cpu[2];
    long peak[2] = {0, 0};
    uint64_t hash[2] = {0, 0}, bytes = 0;
    bool same = true;
    for (int run = 0; run < 5; ++run)
      for (int t = 0; t < 2; ++t) {
        long kb = 0;
        const Pair pair = bench::InChild<Pair>(
          [&] {
            Pair r;
            Figures f;
            buildOnce(*set, t == 0 ? 1 : cores, f);
            r.cold = f.wall;
            r.coldCpu = f.cpu;
            r.ok = f.ok;
            const uint64_t coldHash = f.ok ? PackageHash((root / "proj" / "Bench.exe").string(), stubSize) : 0;
            buildOnce(*set, t == 0 ? 1 : cores, f);
            r.warm = f.wall;
            r.ok = r.ok && f.ok;
            if (r.ok) {
              r.hash = PackageHash((root / "proj" / "Bench.exe").string(), stubSize);
              r.bytes = f.out;
              // The kept engine entry gives the package the fresh one gave.
              if (r.hash != coldHash) r.hash = 0;
            }
            return r;
          },
          &kb);
        ok = ok && pair.ok;
        cold[t].push_back(pair.cold);
        warm[t].push_back(pair.warm);
        cpu[t].push_back(pair.coldCpu);
        peak[t] = std::max(peak[t], kb);
        if (run == 0 && t == 0) hash[0] = pair.hash, bytes = pair.bytes;
        same = same && pair.hash == hash[0];
      }
    const double c1 = Median(cold[0]), w1 = Median(warm[0]), cn = Median(cold[1]), wn = Median(warm[1]);
    std::printf("%-4s %9.3f %9.3f %9.3f %9.3f %9.2f %9.2f %11.2f %11.2f %11.2f %10.1f %10.1f\n", name, c1, w1, cn, wn,
                cn / c1, wn / w1, Median(cpu[0]), Median(cpu[1]), bytes / 1048576.0, peak[0] / 1024.0,
                peak[1] / 1024.0);
    std::printf("%-4s packages of 1 and %u threads, engine compressed and kept: %s\n", "", cores,
                same ? "identical" : "DIFFER");
    ok = ok && same;
  }
  fs::remove_all(root);
  return ok ? 0 : 1;
}
