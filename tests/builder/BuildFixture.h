// A small project on disk with a builder folder (stub and engine) beside it, a private
// temporary folder, and an independent reader of the package that the build writes.
#pragma once
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#ifdef _WIN32
#include <windows.h>
#endif

#include "base/Streams.h"
#include "base/Strings.h"
#include "builder/common/BuildPackage.h"
#include "setup/compress/InstCompress.h"
#include "setup/model/InstClasses.h"

#if __has_include("lha_decoder.h")
#include "tests/compress/LhasaDecode.h"
#define TANDREL_TEST_LHASA 1
#endif

namespace buildtest {

using Bytes = std::vector<uint8_t>;
namespace fs = std::filesystem;

inline Bytes Filler(size_t n, int seed) {
  Bytes b(n);
  uint32_t x = 2463534242u + static_cast<uint32_t>(seed);
  for (size_t i = 0; i < n; ++i) {
    // Half text-like, half noise: something to compress.
    x ^= x << 13, x ^= x >> 17, x ^= x << 5;
    b[i] = (i / 64) % 2 ? static_cast<uint8_t>(x) : static_cast<uint8_t>('a' + (i * 7 + seed) % 26);
  }
  return b;
}

inline uint32_t Get32(const uint8_t* p) {
  return uint32_t{p[0]} | uint32_t{p[1]} << 8 | uint32_t{p[2]} << 16 | uint32_t{p[3]} << 24;
}
inline uint16_t Get16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | p[1] << 8); }

// One archive as read from its bytes by the layout alone.
struct ReadEntry {
  std::string name;
  uint32_t date = 0;
  uint16_t attr = 0;
  uint32_t expanded = 0, compressed = 0, checksum = 0, locked = 0;
  uint8_t method = 0;
  Bytes data;  // expanded
};
struct ReadArchive {
  std::string signature, id;
  uint32_t expandedTotal = 0;
  uint8_t type = 0;
  std::vector<ReadEntry> entries;
  std::vector<std::string> Names() const {
    std::vector<std::string> n;
    for (auto& e : entries) n.push_back(e.name);
    return n;
  }
  const ReadEntry* Find(const std::string& name) const {
    for (auto& e : entries)
      if (e.name == name) return &e;
    return nullptr;
  }
};

inline Bytes Expand(uint8_t method, const Bytes& raw, uint32_t expanded, uint32_t checksum) {
  if (method == 0) return raw;
#ifdef TANDREL_TEST_LHASA
  if (method == cmLH5) return lhasa::DecodeLh5(raw, expanded);
#endif
  TTandrelInstCompress c;
  base::MemoryStream src(raw), dest;
  c.ExpandData(dest, src, static_cast<int32_t>(raw.size()), static_cast<int32_t>(expanded),
               static_cast<int32_t>(checksum), method, "LH5", 0);
  return dest.Bytes();
}

inline ReadArchive ParseArchive(const uint8_t* p, size_t size) {
  ReadArchive a;
  EXPECT_GE(size, 21u);
  if (size < 21) return a;
  a.signature.assign(reinterpret_cast<const char*>(p), 5);
  a.id.assign(reinterpret_cast<const char*>(p + 5), 3);
  a.expandedTotal = Get32(p + 8);
  a.type = p[12];
  size_t pos = 21;
  while (pos < size) {
    EXPECT_LE(pos + 25, size);
    if (pos + 25 > size) break;
    ReadEntry e;
    uint16_t nameLength = Get16(p + pos);
    e.date = Get32(p + pos + 2);
    e.attr = Get16(p + pos + 6);
    e.expanded = Get32(p + pos + 8);
    e.compressed = Get32(p + pos + 12);
    e.method = p[pos + 16];
    e.checksum = Get32(p + pos + 17);
    e.locked = Get32(p + pos + 21);
    pos += 25;
    EXPECT_LE(pos + nameLength + e.compressed, size);
    if (pos + nameLength + e.compressed > size) break;
    e.name.assign(reinterpret_cast<const char*>(p + pos), nameLength);
    pos += nameLength;
    e.data = Expand(e.method, Bytes(p + pos, p + pos + e.compressed), e.expanded, e.checksum);
    pos += e.compressed;
    a.entries.push_back(std::move(e));
  }
  return a;
}

struct ReadPackage {
  uint32_t S = 0, L1 = 0, L2 = 0;
  size_t markerAt = 0;
  Bytes stub;
  ReadArchive a1, a2;
  Bytes a2raw;
};

// Finds S behind the first "ZEM_SIZE", then L1 at S and L2 at S + 4 + L1.
inline ReadPackage ParsePackage(const Bytes& b) {
  ReadPackage r;
  const char key[] = "ZEM_SIZE";
  auto it = std::search(b.begin(), b.end(), key, key + 8);
  EXPECT_NE(it, b.end());
  if (it == b.end()) return r;
  r.markerAt = static_cast<size_t>(it - b.begin());
  r.S = Get32(b.data() + r.markerAt + 8);
  EXPECT_LE(size_t{r.S} + 4, b.size());
  if (size_t{r.S} + 4 > b.size()) return r;
  r.stub.assign(b.begin(), b.begin() + r.S);
  r.L1 = Get32(b.data() + r.S);
  EXPECT_LE(size_t{r.S} + 8 + r.L1, b.size());
  if (size_t{r.S} + 8 + r.L1 > b.size()) return r;
  r.L2 = Get32(b.data() + r.S + 4 + r.L1);
  EXPECT_EQ(b.size(), size_t{r.S} + 8 + r.L1 + r.L2);
  if (b.size() != size_t{r.S} + 8 + r.L1 + r.L2) return r;
  r.a1 = ParseArchive(b.data() + r.S + 4, r.L1);
  r.a2raw.assign(b.begin() + r.S + 8 + r.L1, b.end());
  r.a2 = ParseArchive(b.data() + r.S + 8 + r.L1, r.L2);
  return r;
}

// Records what the build shows.
class RecordingHost : public TBuildLog {
public:
  RecordingHost() {
    host.Log = this;
    host.Confirm = [this](const std::string& q) {
      questions.push_back(q);
      return answerYes;
    };
    host.ShowError = [this](const std::string& t) { errors.push_back(t); };
    host.SetBuilding = [this](bool b) {
      building.push_back(b);
      if (b) lines.clear();
    };
    host.Progress = [this](int32_t pos, int32_t max, const std::string& msg, const std::string& group) {
      progress.push_back(std::to_string(pos) + "/" + std::to_string(max) + " " + msg + "|" + group);
    };
    host.Beep = [this] { ++beeps; };
  }
  void Add(const std::string& line) override { lines.push_back(line); }
  size_t Count() const override { return lines.size(); }

  TBuildHost host;
  std::vector<std::string> lines, questions, errors, progress;
  std::vector<bool> building;
  bool answerYes = true;
  int beeps = 0;
};

// Paths in the form the system under test uses.
inline std::string P(fs::path p) { return p.make_preferred().string(); }

class BuildFixture : public ::testing::Test {
protected:
  void SetUp() override {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    // Once: the temporary folder is this fixture's own after the first SetUp.
    if (root.empty())
      root = fs::temp_directory_path() / (std::string("tandrel_build_") + info->test_suite_name() + "_" + info->name());
    fs::remove_all(root);
    for (const char* d : {"builder", "tmp", "proj", "src/a", "src/b", "src/pics", "src/tools"})
      fs::create_directories(root / d);
    SetTempFolder(P(root / "tmp"));
    stubBytes = Filler(20000, 1);
    std::memcpy(stubBytes.data() + 17000, "ZEM_SIZEXXXX", 12);
    Write("builder/Setup.exe", stubBytes);
    engineBytes = Filler(6000, 2);
    Write("builder/TandrelInstall.exe", engineBytes);
    Write("src/a/app.exe", Filler(30000, 3));
    Write("src/a/readme.txt", Filler(1000, 4));
    Write("src/b/help.hlp", Filler(5000, 5));
    Write("src/pics/logo.bmp", Filler(700, 6));
    Write("src/pics/bill1.bmp", Filler(800, 7));
    Write("src/pics/bill2.bmp", Filler(900, 8));
    Write("src/tools/pre.exe", Filler(400, 9));
    Write("src/a/post.exe", Filler(300, 10));
    projectFile = P(root / "proj" / "Demo.zem");
    output = P(root / "proj" / "Demo.exe");
    builderFolder = P(root / "builder");
  }
  void TearDown() override {
    RestoreTempFolder();
    std::error_code ec;
    fs::remove_all(root, ec);
  }

  std::string Path(const std::string& rel) const { return P(root / rel); }
  void Write(const std::string& rel, const Bytes& b) { base::WriteFileBytes(Path(rel), b); }
  Bytes Read(const std::string& rel) const { return base::ReadFileBytes(Path(rel)); }

  // Files in the private temporary folder (none may outlive a build).
  std::vector<std::string> Temporaries() const {
    std::vector<std::string> names;
    for (auto& e : fs::directory_iterator(root / "tmp")) names.push_back(e.path().filename().string());
    return names;
  }

  // Two groups with files, a title picture, two billboards and four extensions.
  void FillProject(TTandrelBaseInstall& p) {
    p.SetApplicationName("Demo");
    p.GetGroup(0)->AddFile(Path("src/a/app.exe"));
    p.GetGroup(0)->AddFile(Path("src/a/readme.txt"));
    p.GetGroup(0)->AddFile(Path("src/a/post.exe"));
    p.GetGroup(1)->AddFile(Path("src/b/help.hlp"));
    p.IsBitmap = true;
    p.TitleCaption = Path("src/pics/logo.bmp");
    p.DialogTypes |= SetBit(dtBillboards);
    p.BillBoards = {Path("src/pics/bill1.bmp"), Path("src/pics/bill2.bmp")};
    auto add = [&](const std::string& real, const std::string& exe, TTandrelDialogType when) {
      TTandrelExtension* e = p.Extensions.Add();
      e->Owner = &p;
      e->RealFile = real;
      e->Executable = exe;
      e->When = when;
      return e;
    };
    add(Path("src/tools/pre.exe"), Path("src/tools/pre.exe"), dtWelcome);         // to "Support"
    add(Path("src/tools/pre.exe"), "<SUPPORTDIR>\\pre.exe", dtLicense);           // the same file again
    add(Path("src/a/post.exe"), "[Program Files]\\post.exe", dtExit);             // stays in its group
    add(Path("src/a/app.exe"), "[Program Files]\\app.exe", dtStartCopying);       // too early: to "Support"
  }

  void SetTempFolder(const std::string& dir) {
    if (tempSet) {
#ifdef _WIN32
      SetEnvironmentVariableA("TMP", (dir + "\\").c_str());
#else
      setenv("TMPDIR", dir.c_str(), 1);
#endif
      return;
    }
    tempSet = true;
#ifdef _WIN32
    char buf[1024];
    savedTmp = GetEnvironmentVariableA("TMP", buf, sizeof buf) ? buf : "";
    SetEnvironmentVariableA("TMP", (dir + "\\").c_str());
#else
    const char* t = std::getenv("TMPDIR");
    savedTmp = t ? t : "";
    setenv("TMPDIR", dir.c_str(), 1);
#endif
  }
  void RestoreTempFolder() {
#ifdef _WIN32
    SetEnvironmentVariableA("TMP", savedTmp.empty() ? nullptr : savedTmp.c_str());
#else
    if (savedTmp.empty())
      unsetenv("TMPDIR");
    else
      setenv("TMPDIR", savedTmp.c_str(), 1);
#endif
  }

  TBuildResult Build(TTandrelBaseInstall& p, RecordingHost& h) {
    return BuildSetupPackage(p, projectFile, builderFolder, h.host);
  }

  fs::path root;
  std::string projectFile, output, builderFolder, savedTmp;
  bool tempSet = false;
  Bytes stubBytes, engineBytes;
};

}  // namespace buildtest
