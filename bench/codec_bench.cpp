// Encode and decode speed and ratio of our LH5 and LZH codecs, next to lhasa's -lh5-
// decoder on the same streams, gzip -9 / gzip -d on the same data and, when jlha is on
// PATH, the size of jlha's -lh5- packing. Every figure is the median of its runs.
//   codec_bench [file...]   (default: a corpus from this machine)
#include <algorithm>
#include <chrono>
#include <ctime>
#include <sys/resource.h>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <vector>

#include "base/Streams.h"
#include "bench/Median.h"
#include "tests/compress/LhasaDecode.h"
#include "setup/compress/CodecDriver.h"
#include "setup/compress/InstCompress.h"

namespace fs = std::filesystem;
using bench::Median;
using Bytes = std::vector<uint8_t>;

namespace {

Bytes ReadFile(const fs::path& p, size_t limit = SIZE_MAX) {
  std::ifstream f(p, std::ios::binary);
  Bytes b(std::istreambuf_iterator<char>(f), {});
  if (b.size() > limit) b.resize(limit);
  return b;
}

void WriteFile(const fs::path& p, const Bytes& b) {
  std::ofstream f(p, std::ios::binary | std::ios::trunc);
  f.write(reinterpret_cast<const char*>(b.data()), static_cast<std::streamsize>(b.size()));
}

// Processor time, so that a busy machine disturbs the figures less than wall time would.
double CpuNow() {
  timespec t;
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
  return t.tv_sec + t.tv_nsec / 1e9;
}

double ChildCpu() {
  rusage u;
  getrusage(RUSAGE_CHILDREN, &u);
  return u.ru_utime.tv_sec + u.ru_utime.tv_usec / 1e6 + u.ru_stime.tv_sec + u.ru_stime.tv_usec / 1e6;
}

// Median processor seconds of one run, over at least five runs and at least 0.4 s, so
// that one disturbed run does not move the figure.
double Time(const std::function<void()>& run) {
  std::vector<double> runs;
  double total = 0;
  do {
    double start = CpuNow();
    run();
    runs.push_back(CpuNow() - start);
    total += runs.back();
  } while (total < 0.4 || runs.size() < 5);
  return Median(runs);
}

// The destination stream is kept from run to run and written from its start, so that
// the figures are the codec's and not the growth of a new vector and its first page
// faults; the source is read in place.
struct Sink {
  base::MemoryStream stream;
  size_t written = 0;
  Bytes Take() const { return Bytes(stream.Bytes().begin(), stream.Bytes().begin() + written); }
};

void Run(Sink& out, uint8_t method, const Bytes& in, size_t expanded, bool expanding) {
  TTandrelInstCompress c;
  base::ReadOnlyMemoryStream src(in.data(), static_cast<int64_t>(in.size()));
  out.stream.Seek(0, base::SeekOrigin::Beginning);
  int32_t sum = 0;
  RunCodec(c, out.stream, src, static_cast<int32_t>(in.size()), static_cast<int32_t>(expanded),
           method, sum, expanding, false);
  out.written = static_cast<size_t>(out.stream.Seek(0, base::SeekOrigin::Current));
}

Bytes LhasaDecode(const Bytes& stream, size_t expanded) { return lhasa::DecodeLh5(stream, expanded); }

double Mb(size_t bytes, double seconds) { return bytes / 1e6 / seconds; }

struct Item {
  std::string name;
  Bytes data;
};

std::vector<Item> DefaultCorpus() {
  std::vector<Item> c;
  Bytes src;
  for (const char* dir : {"base", "setup", "builder", "tests"}) {
    fs::path root = fs::path(TANDREL_SOURCE_DIR) / dir;
    if (!fs::exists(root)) continue;
    for (const auto& e : fs::recursive_directory_iterator(root)) {
      auto ext = e.path().extension();
      if (e.is_regular_file() && (ext == ".cpp" || ext == ".h")) {
        Bytes b = ReadFile(e.path());
        src.insert(src.end(), b.begin(), b.end());
      }
    }
  }
  c.push_back({"C++ sources", src});
  for (const char* exe : {"/usr/bin/cmake", "/usr/bin/wine", "/bin/bash"}) {
    if (fs::exists(exe)) {
      c.push_back({std::string("binary ") + exe, ReadFile(exe, 4 << 20)});
      break;
    }
  }
  if (fs::exists("/usr/share/dict/words")) c.push_back({"word list", ReadFile("/usr/share/dict/words")});
  fs::path words = fs::path(TANDREL_SOURCE_DIR) / "tests/compress/fixtures/words.txt";
  if (c.size() < 3 && fs::exists(words)) c.push_back({"words.txt", ReadFile(words)});
  return c;
}

// Processor time of the shell and gzip.
double Shell(const std::string& cmd) {
  double start = ChildCpu();
  if (std::system(cmd.c_str()) != 0) std::fprintf(stderr, "failed: %s\n", cmd.c_str());
  return ChildCpu() - start;
}

bool OnPath(const char* tool) {
  return std::system(("command -v " + std::string(tool) + " >/dev/null 2>&1").c_str()) == 0;
}

// Compressed size of jlha's -lh5- entry for the file "in" in dir, or 0 when it did not
// give one (it stores an entry plain when packing does not pay).
size_t JlhaSize(const fs::path& dir) {
  fs::remove(dir / "in.lzh");
  std::string cd = "cd '" + dir.string() + "' && ";
  if (std::system((cd + "jlha ao50 in.lzh in >/dev/null 2>&1").c_str()) != 0) return 0;
  FILE* p = popen((cd + "jlha v in.lzh 2>/dev/null").c_str(), "r");
  if (!p) return 0;
  size_t packed = 0;
  char line[512];
  while (std::fgets(line, sizeof line, p)) {
    size_t a = 0, b = 0;
    if (std::strstr(line, "-lh5-") && std::sscanf(line, "%*s %zu %zu", &a, &b) == 2) packed = a;
  }
  pclose(p);
  return packed;
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<Item> corpus;
  for (int i = 1; i < argc; ++i) corpus.push_back({argv[i], ReadFile(argv[i], 64 << 20)});
  if (corpus.empty()) corpus = DefaultCorpus();
  fs::path tmp = fs::temp_directory_path() / ("codec_bench." + std::to_string(getpid()));
  fs::create_directories(tmp);

  const bool jlha = OnPath("jlha");
  size_t oursTotal = 0, jlhaTotal = 0;
  std::printf("%-22s %9s | %-6s %8s %8s %8s | %8s %8s %8s\n", "input", "bytes", "codec", "ratio%",
              "enc MB/s", "dec MB/s", "", "", "");
  for (const Item& it : corpus) {
    size_t n = it.data.size();
    std::printf("%-22s %9zu\n", it.name.substr(0, 22).c_str(), n);
    size_t lh5Size = 0;
    for (uint8_t m : {cmLH5, cmLZH}) {
      Sink sink;
      double te = Time([&] { Run(sink, m, it.data, 0, false); });
      Bytes enc = sink.Take();
      if (m == cmLH5) lh5Size = enc.size();
      double td = Time([&] { Run(sink, m, enc, n, true); });
      Bytes dec = sink.Take();
      if (dec != it.data) std::printf("  !! %s round trip differs\n", TTandrelInstCompress::MethodIDs[m]);
      std::printf("%-22s %9s   %-6s %8.2f %8.1f %8.1f\n", "", "", TTandrelInstCompress::MethodIDs[m],
                  100.0 * enc.size() / n, Mb(n, te), Mb(n, td));
      if (m == cmLH5) {
        Bytes l;
        double tl = Time([&] { l = LhasaDecode(enc, n); });
        if (l != it.data) std::printf("  !! lhasa decodes our stream differently\n");
        std::printf("%-22s %9s   %-6s %8s %8s %8.1f  (lhasa, our LH5 stream)\n", "", "", "lhasa", "",
                    "", Mb(n, tl));
      }
    }
    fs::path raw = tmp / "in", gz = tmp / "in.gz";
    WriteFile(raw, it.data);
    if (jlha) {
      // Sizes only: jlha's time would include its archive and file handling.
      size_t j = JlhaSize(tmp);
      if (j > 0) {
        oursTotal += lh5Size;
        jlhaTotal += j;
        std::printf("%-22s %9s   %-6s %8.2f %8s %8s  (jlha -lh5-; ours / jlha = %.3f)\n", "", "",
                    "jlha", 100.0 * j / n, "", "", static_cast<double>(lh5Size) / j);
      }
    }
    std::vector<double> tg, tgd;
    for (int r = 0; r < 5; ++r) {
      tg.push_back(Shell("gzip -9 -c '" + raw.string() + "' > '" + gz.string() + "'"));
      tgd.push_back(Shell("gzip -d -c '" + gz.string() + "' > /dev/null"));
    }
    size_t gzSize = fs::file_size(gz);
    std::printf("%-22s %9s   %-6s %8.2f %8.1f %8.1f  (processor time of sh + gzip, file I/O included)\n", "", "",
                "gzip-9", 100.0 * gzSize / n, Mb(n, Median(tg)), Mb(n, Median(tgd)));
  }
  if (jlhaTotal > 0)
    std::printf("LH5 size over the inputs jlha packed: ours / jlha = %zu / %zu = %.3f\n", oursTotal,
                jlhaTotal, static_cast<double>(oursTotal) / jlhaTotal);
  fs::remove_all(tmp);
  return 0;
}
