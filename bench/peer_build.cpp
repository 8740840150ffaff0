// The build half of the side-by-side benchmark with NSIS (bench/peer_bench.sh runs both
// halves): makes the three file sets and builds a package of one the way the builder does.
//   peer_build sets DIR                       a: programs and texts, b: 1,000 small texts,
//                                             c: one 32 MB program, under DIR
//   peer_build build BUILDER SET OUT [RUNS]   builds SET (a folder) with BUILDER's
//                                             Setup.exe and TandrelInstall.exe into OUT
// build prints the medians of RUNS (5) builds on every core, each in a fresh process:
// "cold" compresses the engine, "warm" is a second build in that process (engine kept).
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "bench/BenchChild.h"
#include "bench/BenchCorpus.h"
#include "bench/Median.h"
#include "builder/common/BuildPackage.h"

namespace fs = std::filesystem;

namespace {

int MakeSets(const fs::path& dir) {
  fs::remove_all(dir);
  std::vector<std::string> a, b, c;
  uint64_t aBytes = 0, bBytes = 0, cBytes = 0;
  bench::Gather("/usr/bin", dir / "a", uint64_t{27} << 20, a, aBytes, false);
  bench::Gather("/usr/share/doc", dir / "a", aBytes + (uint64_t{8} << 20), a, aBytes, true);
  bench::Gather("/usr/share/doc", dir / "b", uint64_t{64} << 20, b, bBytes, true, 512, 4096, 1000);
  // One program of 32 MB: the machine's programs end to end, as one large executable holds
  // code and data of every kind.
  std::vector<std::string> parts;
  uint64_t partBytes = 0;
  bench::Gather("/usr/bin", dir / "c-parts", uint64_t{32} << 20, parts, partBytes, false, 1 << 20);
  fs::create_directories(dir / "c");
  {
    std::ofstream out(dir / "c" / "program.exe", std::ios::binary);
    for (const auto& p : parts) {
      std::ifstream in(p, std::ios::binary);
      out << in.rdbuf();
    }
  }
  fs::remove_all(dir / "c-parts");
  cBytes = fs::file_size(dir / "c" / "program.exe");
  std::printf("set a: %zu files, %.1f MB; set b: %zu files, %.2f MB; set c: 1 file, %.1f MB\n", a.size(),
              aBytes / 1048576.0, b.size(), bBytes / 1048576.0, cBytes / 1048576.0);
  return a.empty() || b.size() < 1000 || cBytes < (uint64_t{30} << 20) ? 1 : 0;
}

class QuietLog : public TBuildLog {
public:
  void Add(const std::string& line) override { lines.push_back(line); }
  size_t Count() const override { return lines.size(); }
  std::vector<std::string> lines;
};

// A product of one component whose one group puts the set's files in the install folder.
void MakeProject(TTandrelBaseInstall& p, const fs::path& set) {
  const std::string name = "Peer " + set.filename().string();
  p.SetApplicationName(name);
  p.SetCompanyName("Tandrel Bench");
  p.InstallDir = "<ProgramFilesDir>\\" + name;
  p.ProgramFolder = name;
  // The complete page ends the timed part of the install.
  p.DialogTypes = static_cast<TTandrelDialogTypes>(p.DialogTypes | SetBit(dtComplete));
  p.Groups.Clear();
  p.Components.Clear();
  p.InstFolders.clear();
  TTandrelFileGroup* g = p.Groups.Add();
  g->Owner = &p;
  g->SetName("Files");
  g->SetDestination("<INSTALLDIR>");
  std::vector<std::string> files;
  for (const auto& e : fs::directory_iterator(set))
    if (e.is_regular_file()) files.push_back(e.path().string());
  std::sort(files.begin(), files.end());
  for (const auto& f : files) g->AddFile(f);
  TTandrelComponent* c = p.Components.Add();
  c->Owner = &p;
  c->SetName("Program");
  c->Groups = {"Files"};
  for (auto* t : p.InstallTypes) t->Components = {"Program"};
}

struct Times {
  double cold = 0, warm = 0;
  bool ok = false;
};

double BuildOnce(const fs::path& builder, const fs::path& set, const fs::path& out, bool& ok) {
  TTandrelBaseInstall p;
  MakeProject(p, set);
  QuietLog log;
  TBuildHost host;
  host.Log = &log;
  host.Confirm = [](const std::string&) { return true; };  // overwrite the last run's package
  host.ShowError = [](const std::string& text) { std::fprintf(stderr, "%s\n", text.c_str()); };
  fs::path project = out;
  project.replace_extension(".zem");
  const auto t0 = std::chrono::steady_clock::now();
  ok = BuildSetupPackage(p, project.string(), builder.string(), host) == TBuildResult::Succeeded;
  const double s = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
  if (!ok)
    for (auto& l : log.lines) std::fprintf(stderr, "%s\n", l.c_str());
  // The build names the package after the project; the bench names it as asked.
  fs::path built = project;
  built.replace_extension(".exe");
  if (ok && built != out) fs::rename(built, out);
  return s;
}

int Build(const fs::path& builder, const fs::path& set, const fs::path& out, int runs) {
  std::vector<double> cold, warm;
  for (int run = 0; run < runs; ++run) {
    const Times t = bench::InChild<Times>([&] {
      Times r;
      bool ok1 = false, ok2 = false;
      try {
        r.cold = BuildOnce(builder, set, out, ok1);
        r.warm = BuildOnce(builder, set, out, ok2);
      } catch (const std::exception& e) {
        std::fprintf(stderr, "%s\n", e.what());
      }
      r.ok = ok1 && ok2;
      return r;
    });
    if (!t.ok) {
      std::fprintf(stderr, "build of %s failed\n", set.c_str());
      return 1;
    }
    cold.push_back(t.cold);
    warm.push_back(t.warm);
  }
  std::printf("%.3f %.3f %llu\n", bench::Median(cold), bench::Median(warm),
              static_cast<unsigned long long>(fs::file_size(out)));
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  const std::string verb = argc > 1 ? argv[1] : "";
  if (verb == "sets" && argc == 3) return MakeSets(argv[2]);
  if (verb == "build" && (argc == 5 || argc == 6))
    return Build(argv[2], argv[3], argv[4], argc == 6 ? std::max(1, std::atoi(argv[5])) : 5);
  std::fprintf(stderr, "usage: peer_build sets DIR | peer_build build BUILDER SET OUT [RUNS]\n");
  return 2;
}
