// Speed of the copy form under Wine: 1,000 and 10,000 small files and one large file
// installed from one LH5 archive through the real TfrmCopyFiles, with the time spent in
// progress handling and message processing measured apart, and the large file set against
// expanding the same entry alone. A tool, not a test: bench/copy_bench.sh runs it.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "base/Streams.h"
#include "base/win/Application.h"
#include "bench/WinClock.h"
#include "setup/engine/SetupCopyFiles.h"
#include "setup/services/InstArchiveReader.h"
#include "setup/services/InstGlobal.h"
#include "tests/engine/CopyTestSupport.h"

using namespace base::win;
using copytest::RemoveTree;
using copytest::WriteText;

using bench::Now;

namespace {

std::string Noise(size_t n, uint32_t seed) {
  std::string s(n, '\0');
  for (auto& c : s) {
    seed = seed * 1103515245u + 12345u;
    c = static_cast<char>("abcdefghijklmnop0123456789 ,.\r\n"[(seed >> 16) % 31]);
  }
  return s;
}

std::string BinDir() {
  char exe[MAX_PATH];
  GetModuleFileNameA(nullptr, exe, MAX_PATH);
  std::string d = exe;
  return d.substr(0, d.find_last_of('\\') + 1);
}

bool Pack(const std::string& archive, const std::string& list) {
  std::string cmd = "\"" + BinDir() + "fixtures_engine\\tandrel_pack_files.exe\" \"" + archive + "\" \"@" + list + "\"";
  STARTUPINFOA si{};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi{};
  if (!CreateProcessA(nullptr, cmd.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) return false;
  WaitForSingleObject(pi.hProcess, INFINITE);
  DWORD code = 1;
  GetExitCodeProcess(pi.hProcess, &code);
  CloseHandle(pi.hThread);
  CloseHandle(pi.hProcess);
  return code == 0;
}

// The copy form with its host side timed.
class TimedCopy : public TfrmCopyFiles {
public:
  using TfrmCopyFiles::TfrmCopyFiles;
  bool ListEachFile = false;  // the index dropped before every file: the walk per file
  double install = 0, messages = 0, progress = 0, labels = 0, overall = 0;
  long messageCalls = 0, progressCalls = 0;

protected:
  void ProcessMessages() override {
    double t = Now();
    TfrmCopyFiles::ProcessMessages();
    messages += Now() - t;
    ++messageCalls;
  }
  void SetFileBar(int32_t percent) override {
    double t = Now();
    TfrmCopyFiles::SetFileBar(percent);
    progress += Now() - t;
    ++progressCalls;
  }
  void MoveOverallBar(int64_t position) override {
    double t = Now();
    TfrmCopyFiles::MoveOverallBar(position);
    progress += Now() - t;
    overall += Now() - t;
  }
  void ShowFile(const std::string& expanded) override {
    double t = Now();
    TfrmCopyFiles::ShowFile(expanded);
    labels += Now() - t;
  }
  int InstallFile(const std::string& dest, const std::string& folder, const TProgressHandler& onProgress,
                  TUpdateMode rule, TWindowsVersions platforms, const std::string& version) override {
    if (ListEachFile) ResetArchiveIndex();
    double t = Now();
    // The progress handler's own work is counted apart below.
    int r = TfrmCopyFiles::InstallFile(dest, folder, onProgress, rule, platforms, version);
    install += Now() - t;
    return r;
  }
};

struct Result {
  double total = 0, install = 0, messages = 0, progress = 0, labels = 0, overall = 0;
  long messageCalls = 0, progressCalls = 0;
  int result = 0;
};

// Groups of files (one folder each) from one archive packed from them.
struct Package {
  std::string archive;
  struct Group {
    std::string name;
    std::vector<std::pair<std::string, int32_t>> files;  // source path, size
  };
  std::vector<Group> groups;
  size_t files = 0;
};

Package MakePackage(const std::string& work, const std::string& name, int count, int perFolder, size_t smallest,
                    size_t largest) {
  Package p;
  std::string list;
  for (int i = 0; i < count; ++i) {
    if (i % perFolder == 0) {
      p.groups.push_back({name + std::to_string(i / perFolder), {}});
      CreateDirectoryA((work + "src_" + p.groups.back().name).c_str(), nullptr);
    }
    Package::Group& g = p.groups.back();
    const std::string src = work + "src_" + g.name + "\\";
    const size_t size = smallest + (largest > smallest ? (static_cast<size_t>(i) * 7919u) % (largest - smallest) : 0);
    const std::string file = "f" + std::to_string(i) + ".dat";
    WriteText(src + file, Noise(size, static_cast<uint32_t>(i + 1)));
    g.files.push_back({src + file, static_cast<int32_t>(size)});
    list += g.name + "\\" + file + "=" + src + file + "\r\n";
  }
  p.files = static_cast<size_t>(count);
  p.archive = work + name + ".arc";
  DeleteFileA(p.archive.c_str());
  WriteText(work + name + ".list", list);
  if (!Pack(p.archive, work + name + ".list")) std::fprintf(stderr, "packing %s failed\n", name.c_str());
  return p;
}

Result Copy(const std::string& work, const Package& pkg, bool listEachFile) {
  TTandrelBaseInstall project;
  project.Groups.Clear();
  project.InstFolders.clear();
  project.InstallInfo = std::make_unique<TInstallInfo>();
  auto c = std::make_unique<TInstComponent>();
  for (const auto& pg : pkg.groups) {
    auto* g = project.Groups.Add();
    g->Owner = &project;
    g->SetName(pg.name);
    g->SetDestination("<INSTALLDIR>\\" + pg.name + "\\");
    int64_t total = 0;
    for (const auto& [path, size] : pg.files) {
      auto* f = g->Files.Add();
      f->FileName = path;
      f->Size = size;
      total += size;
    }
    auto ig = std::make_unique<TInstGroup>();
    ig->Name = pg.name;
    ig->Size = static_cast<int32_t>(total);
    c->Groups.push_back(std::move(ig));
  }
  project.InstallInfo->Components.push_back(std::move(c));
  const std::string inst = work + "inst\\";
  RemoveTree(inst);
  SetDirMacro("<INSTALLDIR>", RemoveBackslash(inst));
  ClearUninstallLog();
  ResetArchiveIndex();
  Result r;
  TimedCopy form(project);
  form.ArchiveFile = pkg.archive;
  form.ListEachFile = listEachFile;
  double t = Now();
  r.result = form.ShowModal();
  r.total = Now() - t;
  r.install = form.install;
  r.messages = form.messages;
  r.progress = form.progress;
  r.labels = form.labels;
  r.overall = form.overall;
  r.messageCalls = form.messageCalls;
  r.progressCalls = form.progressCalls;
  return r;
}

// The platform alone: the same number of new files written into one folder.
double PlainWrites(const std::string& work, int count) {
  const std::string dir = work + "plain\\";
  RemoveTree(dir);
  CreateDirectoryA(dir.c_str(), nullptr);
  const std::string data = Noise(2300, 1);
  const double t = Now();
  for (int i = 0; i < count; ++i) {
    const std::string name = dir + "f" + std::to_string(i) + ".dat";
    HANDLE h = CreateFileA(name.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    DWORD put = 0;
    WriteFile(h, data.data(), static_cast<DWORD>(data.size()), &put, nullptr);
    CloseHandle(h);
  }
  const double elapsed = Now() - t;
  RemoveTree(dir);
  return elapsed;
}

void Print(const char* what, const Result& r, size_t files) {
  std::printf("%-36s %8.3f s %6.0f files/s  install %7.3f s  messages %6.3f s (%ld)  bars %6.3f s (file bar %ld, "
              "overall %.3f s)  labels %6.3f s  result %d\n",
              what, r.total, static_cast<double>(files) / r.total, r.install, r.messages, r.messageCalls, r.progress,
              r.progressCalls, r.overall, r.labels, r.result);
  std::fflush(stdout);
}

}  // namespace

int main(int argc, char** argv) {
  // --quick: 2,000 files in place of 10,000 and an 8 MB file; --one-folder: also every
  // file in a single folder (the platform's own cost then grows with the folder);
  // --files N: only N small files, once (for a trace or a profile of the copy alone).
  bool quick = false, oneFolder = false;
  int only = 0;
  for (int i = 1; i < argc; ++i) {
    quick = quick || std::string(argv[i]) == "--quick";
    oneFolder = oneFolder || std::string(argv[i]) == "--one-folder";
    if (std::string(argv[i]) == "--files" && i + 1 < argc) only = std::atoi(argv[++i]);
  }
  App().Initialize();
  char temp[MAX_PATH];
  GetTempPathA(MAX_PATH, temp);
  const std::string work = std::string(temp) + "copy_bench\\";
  RemoveTree(work);
  CreateDirectoryA(work.c_str(), nullptr);

  if (only > 0) {
    const Package p = MakePackage(work, "S", only, 100, 512, 4096);
    std::printf("copying...\n");
    std::fflush(stdout);
    Print((std::to_string(only) + " small files").c_str(), Copy(work, p, false), p.files);
    RemoveTree(work);
    return 0;
  }
  const int small = 1000, many = quick ? 2000 : 10000;
  const size_t largeSize = quick ? 8u << 20 : 32u << 20;
  std::printf("packing %d and %d small files (512-4096 bytes, 100 per folder) and one %.0f MB file...\n", small, many,
              static_cast<double>(largeSize) / (1 << 20));
  std::fflush(stdout);
  const Package p1 = MakePackage(work, "S", small, 100, 512, 4096);
  const Package p2 = MakePackage(work, "M", many, 100, 512, 4096);
  const Package p3 = MakePackage(work, "L", 1, 1, largeSize, largeSize);

  const Result r1 = Copy(work, p1, false);
  Print("1,000 small files", r1, p1.files);
  const Result r2 = Copy(work, p2, false);
  Print(quick ? "2,000 small files" : "10,000 small files", r2, p2.files);
  std::printf("ratio %d/%d files: %.2f (files x%.0f)\n", many, small, r2.total / r1.total,
              static_cast<double>(many) / small);
  const Result r0 = Copy(work, p1, true);
  Print("1,000 small files, listing per file", r0, p1.files);
  if (oneFolder) {
    const Package q1 = MakePackage(work, "A", small, small, 512, 4096);
    const Package q2 = MakePackage(work, "B", many, many, 512, 4096);
    const Result o1 = Copy(work, q1, false), o2 = Copy(work, q2, false);
    Print("1,000 small files, one folder", o1, q1.files);
    Print("many small files, one folder", o2, q2.files);
    const double w1 = PlainWrites(work, small), w2 = PlainWrites(work, many);
    std::printf("one folder: copy ratio %.2f; plain CreateFileA+WriteFile of %d / %d new files %.3f s / %.3f s "
                "(ratio %.2f)\n",
                o2.total / o1.total, small, many, w1, w2, w2 / w1);
  }

  const Result r3 = Copy(work, p3, false);
  Print("one large file", r3, 1);
  // The same entry expanded alone, into a file and into memory.
  double alone = 0, memory = 0;
  {
    const std::string out = work + "alone.dat";
    double t = Now();
    {
      base::FileStream dest(out, base::fmCreate);
      ExpandFileFromArchive(p3.archive, dest, "L0\\f0.dat", nullptr);
    }
    alone = Now() - t;
    DeleteFileA(out.c_str());
    base::MemoryStream mem;
    t = Now();
    ExpandFileFromArchive(p3.archive, mem, "L0\\f0.dat", nullptr);
    memory = Now() - t;
  }
  std::printf("large file %.1f MB: copy %.3f s, expand alone to a file %.3f s (ratio %.2f), to memory %.3f s\n",
              static_cast<double>(largeSize) / (1 << 20), r3.total, alone, r3.total / alone, memory);
  RemoveTree(work);
  return 0;
}
