// The build on several threads against the build on one: the same package, byte for byte,
// the same progress seen by the host, the same failures.
#include "setup/services/InstGlobal.h"
#include "tests/builder/BuildFixture.h"

namespace buildtest {
namespace {

using Names = std::vector<std::string>;

// What one build gave: the package and all the host saw.
struct Outcome {
  TBuildResult result = TBuildResult::NotStarted;
  Bytes package;
  Names lines, progress, errors;
  std::vector<int32_t> percents;
  Names events;  // both kinds of progress as they came
};

// Inst.cmp is written afresh by every build: its record's date is the only field that
// two builds a second apart may not share.
Bytes WithoutInfoDate(Bytes package) {
  ReadPackage r = ParsePackage(package);
  if (r.a1.entries.empty()) return package;
  const ReadEntry& engine = r.a1.entries[0];
  const size_t info = size_t{r.S} + 4 + 21 + 25 + engine.name.size() + engine.compressed;
  if (info + 6 <= package.size()) std::fill_n(package.begin() + static_cast<std::ptrdiff_t>(info) + 2, 4, 0);
  return package;
}

class ParallelBuild : public BuildFixture {
protected:
  Outcome BuildWith(TTandrelBaseInstall& p, unsigned threads, int cancelAt = 0) {
    fs::remove(output);
    RecordingHost h;
    h.host.Threads = threads;
    Outcome o;
    h.host.CompressProgress = [&](int32_t& done) {
      o.percents.push_back(done);
      o.events.push_back(std::to_string(done) + "%");
      if (static_cast<int>(o.percents.size()) == cancelAt) done = -1;
    };
    h.host.Progress = [&, record = h.host.Progress](int32_t pos, int32_t max, const std::string& msg,
                                                    const std::string& group) {
      o.events.push_back(std::to_string(pos) + "/" + std::to_string(max) + " " + group);
      record(pos, max, msg, group);
    };
    o.result = Build(p, h);
    if (base::FileExists(output)) o.package = WithoutInfoDate(base::ReadFileBytes(output));
    o.lines = h.lines;
    o.progress = h.progress;
    o.errors = h.errors;
    EXPECT_TRUE(Temporaries().empty()) << threads;
    return o;
  }

  std::string Add(TTandrelBaseInstall& p, int group, const std::string& rel, const Bytes& bytes) {
    Write(rel, bytes);
    p.GetGroup(group)->AddFile(Path(rel));
    return Path(rel);
  }

  // Archive 2 grown entry by entry, as the build did it before it ran on threads.
  Bytes ArchiveOneByOne(TTandrelBaseInstall& p) {
    const std::string archive = Path("tmp/expected.cmp");
    EXPECT_EQ(CompressGroupFiles(p, archive, nullptr, nullptr), 0);
    if (!base::FileExists(archive)) WriteEmptyArchive(archive);
    Bytes b = base::ReadFileBytes(archive);
    fs::remove(archive);
    return b;
  }
};

Bytes Noise(size_t n, uint32_t seed) {
  Bytes b(n);
  for (auto& c : b) {
    seed ^= seed << 13, seed ^= seed >> 17, seed ^= seed << 5;
    c = static_cast<uint8_t>(seed);
  }
  return b;
}

TEST_F(ParallelBuild, SamePackageOnEveryNumberOfThreads) {
  struct Case {
    const char* why;
    std::function<void(TTandrelBaseInstall&)> fill;
  } cases[] = {
      {"an empty project", [](TTandrelBaseInstall&) {}},
      {"one file", [&](TTandrelBaseInstall& p) { Add(p, 0, "src/one.txt", Filler(3000, 20)); }},
      {"many small files",
       [&](TTandrelBaseInstall& p) {
         for (int i = 0; i < 120; ++i)
           Add(p, i % 3, "src/a/small" + std::to_string(i) + ".txt", Filler(500 + (i * 37) % 3500, 100 + i));
       }},
      {"a large file among small ones",
       [&](TTandrelBaseInstall& p) {
         Add(p, 0, "src/a/before.txt", Filler(2000, 30));
         Add(p, 0, "src/a/large.bin", Filler(1100 * 1024, 31));
         for (int i = 0; i < 20; ++i) Add(p, 1, "src/b/after" + std::to_string(i), Filler(900, 40 + i));
       }},
      {"stored and compressed entries",
       [&](TTandrelBaseInstall& p) {
         Add(p, 0, "src/a/noise.bin", Noise(9000, 7));
         Add(p, 0, "src/a/empty.dat", {});
         Add(p, 0, "src/a/byte.dat", {42});
         Add(p, 1, "src/b/text.txt", Filler(40000, 50));
         Add(p, 1, "src/b/bignoise.bin", Noise(1050 * 1024, 8));
         Add(p, 2, "src/tools/last.txt", Filler(100, 51));
         p.DialogTypes |= SetBit(dtBillboards);
         p.BillBoards = {Path("src/pics/bill1.bmp"), Path("src/pics/bill2.bmp")};
       }},
      {"the fixture's project", [&](TTandrelBaseInstall& p) { FillProject(p); }},
  };
  for (const auto& c : cases) {
    TTandrelBaseInstall p;
    c.fill(p);
    const Outcome one = BuildWith(p, 1);
    ASSERT_EQ(one.result, TBuildResult::Succeeded) << c.why;
    ReadPackage r = ParsePackage(one.package);
    EXPECT_EQ(r.a2raw, ArchiveOneByOne(p)) << c.why;
    EXPECT_EQ(r.a1.entries[0].data, engineBytes) << c.why;
    for (unsigned threads : {2u, 8u}) {
      const Outcome many = BuildWith(p, threads);
      ASSERT_EQ(many.result, TBuildResult::Succeeded) << c.why << " " << threads;
      EXPECT_TRUE(many.package == one.package) << c.why << " " << threads;
      EXPECT_EQ(many.lines, one.lines) << c.why << " " << threads;
      EXPECT_EQ(many.progress, one.progress) << c.why << " " << threads;
      EXPECT_EQ(many.percents, one.percents) << c.why << " " << threads;
      EXPECT_EQ(many.events, one.events) << c.why << " " << threads;
    }
  }
}

// A per-file handler that answers -1 stops the build at that entry on any number of
// threads, the last block of a file included, and the old package stays.
TEST_F(ParallelBuild, ProgressOfMinusOneStopsTheBuild) {
  TTandrelBaseInstall p;
  FillProject(p);
  for (int i = 0; i < 40; ++i) Add(p, 1, "src/b/more" + std::to_string(i), Filler(20000, 60 + i));
  ASSERT_EQ(BuildWith(p, 1).result, TBuildResult::Succeeded);
  const Bytes old = base::ReadFileBytes(output);
  // Call 1: the title picture's only block; 30: inside the group files.
  for (int cancelAt : {1, 30}) {
    std::vector<Outcome> outcomes;
    for (unsigned threads : {1u, 8u}) {
      base::WriteFileBytes(output, old);
      RecordingHost h;
      h.host.Threads = threads;
      Outcome o;
      h.host.CompressProgress = [&](int32_t& done) {
        o.percents.push_back(done);
        if (static_cast<int>(o.percents.size()) == cancelAt) done = -1;
      };
      o.result = Build(p, h);
      o.progress = h.progress;
      o.errors = h.errors;
      EXPECT_EQ(o.result, TBuildResult::Failed) << cancelAt << " " << threads;
      EXPECT_EQ(static_cast<int>(o.percents.size()), cancelAt) << threads;
      EXPECT_EQ(o.errors, (Names{"Error during build..."})) << threads;
      EXPECT_NE(o.progress.back().find("Could not add file"), std::string::npos) << o.progress.back();
      EXPECT_EQ(base::ReadFileBytes(output), old) << threads;
      EXPECT_TRUE(Temporaries().empty()) << threads;
      outcomes.push_back(o);
    }
    EXPECT_EQ(outcomes[0].progress, outcomes[1].progress) << cancelAt;
    EXPECT_EQ(outcomes[0].percents, outcomes[1].percents) << cancelAt;
  }
}

// A file that cannot be read fails the build at its own place on any number of threads.
TEST_F(ParallelBuild, AnEntryThatFailsStopsTheBuildInItsPlace) {
  TTandrelBaseInstall p;
  FillProject(p);
  for (int i = 0; i < 40; ++i) Add(p, 0, "src/a/more" + std::to_string(i), Filler(3000, 80 + i));
  TTandrelExtension* e = p.Extensions.Add();
  e->Owner = &p;
  e->RealFile = Path("src/tools/gone.exe");
  e->Executable = e->RealFile;
  const Outcome one = BuildWith(p, 1);
  const Outcome many = BuildWith(p, 8);
  EXPECT_EQ(one.result, TBuildResult::Failed);
  EXPECT_EQ(many.result, TBuildResult::Failed);
  EXPECT_EQ(many.progress, one.progress);
  EXPECT_EQ(many.progress.back(), "5/7 Could not add file '" + Path("src/tools/gone.exe") + "'|");
  EXPECT_EQ(many.errors, one.errors);
  EXPECT_FALSE(base::FileExists(output));
}

// The engine's compressed entry is kept between builds, but never stands for an engine
// whose contents changed while its size and date stayed.
TEST_F(ParallelBuild, ChangedEngineIsCompressedAnew) {
  TTandrelBaseInstall p;
  Add(p, 0, "src/one.txt", Filler(3000, 20));
  for (unsigned threads : {1u, 8u}) {
    Write("builder/TandrelInstall.exe", engineBytes);
    const auto when = fs::last_write_time(root / "builder/TandrelInstall.exe");
    const Outcome first = BuildWith(p, threads);
    ASSERT_EQ(first.result, TBuildResult::Succeeded);
    EXPECT_EQ(ParsePackage(first.package).a1.entries[0].data, engineBytes);
    // Built again from the kept entry: the same package.
    const Outcome again = BuildWith(p, threads);
    EXPECT_TRUE(again.package == first.package) << threads;

    Bytes changed = engineBytes;
    std::swap(changed[100], changed[200]);  // the same size and byte sum
    ASSERT_NE(changed, engineBytes);
    Write("builder/TandrelInstall.exe", changed);
    fs::last_write_time(root / "builder/TandrelInstall.exe", when);
    const Outcome later = BuildWith(p, threads);
    ASSERT_EQ(later.result, TBuildResult::Succeeded);
    EXPECT_EQ(ParsePackage(later.package).a1.entries[0].data, changed) << threads;
  }
}

}  // namespace
}  // namespace buildtest
