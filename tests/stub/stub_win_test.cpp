// The launcher stub "Setup.exe" under Wine, at the head of packages built from a small
// project with a probe engine that writes down how it was started.
#include "tests/builder/BuildFixture.h"

#include <fstream>
#include <sstream>

#include <psapi.h>

#include "setup/compress/InstCompressIntf.h"
#include "setup/services/PackageLayout.h"
#include "stub/StubArchive.h"
#include "tests/harness/WinTestSupport.h"

namespace buildtest {
namespace {

using Names = std::vector<std::string>;

std::string WindowsFolder() {
  char buf[MAX_PATH];
  GetWindowsDirectoryA(buf, MAX_PATH);
  return buf;
}

std::string Slurp(const std::string& file) {
  std::ifstream in(file, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

Names SplitLines(const std::string& text) {
  Names lines;
  std::stringstream s(text);
  for (std::string line; std::getline(s, line);) lines.push_back(line);
  return lines;
}


struct RunResult {
  DWORD exitCode = 0;
  bool finished = false;
  std::string boxCaption, boxText;  // the stub's message, answered with OK
};

class Stub : public BuildFixture {
protected:
  void SetUp() override {
    BuildFixture::SetUp();
    base::WriteFileBytes(Path("builder/Setup.exe"), base::ReadFileBytes(STUB_EXE));
    probeA = base::ReadFileBytes(PROBE_A);
    base::WriteFileBytes(Path("builder/TandrelInstall.exe"), probeA);
    fs::create_directories(root / "run");
    SetEnvironmentVariableA("TANDREL_PROBE_LOG", Path("run/probe.log").c_str());
    SetEnvironmentVariableA("TANDREL_PROBE_COPY", Path("run/data.copy").c_str());
    SetEnvironmentVariableA("TANDREL_PROBE_EXIT", "42");
  }
  void TearDown() override {
    for (const char* v : {"TANDREL_PROBE_LOG", "TANDREL_PROBE_COPY", "TANDREL_PROBE_EXIT"})
      SetEnvironmentVariableA(v, nullptr);
    BuildFixture::TearDown();
  }

  // Builds the package of a project with one group file.
  std::string BuildPackage() {
    TTandrelBaseInstall p;
    p.GetGroup(0)->AddFile(Path("src/a/readme.txt"));
    RecordingHost h;
    EXPECT_EQ(Build(p, h), TBuildResult::Succeeded);
    return output;
  }

  // Runs the program, answers a message box it shows with OK, waits for its end.
  RunResult Start(const std::string& program) {
    RunResult r;
    STARTUPINFOA si = {};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi = {};
    std::string command = "\"" + program + "\"";
    if (!CreateProcessA(program.c_str(), command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) {
      ADD_FAILURE() << "could not start " << program;
      return r;
    }
    for (int waited = 0; waited < 30000; waited += 50) {
      if (WaitForSingleObject(pi.hProcess, 50) == WAIT_OBJECT_0) break;
      HWND box = wintest::FindProcessWindow(pi.dwProcessId, "#32770");
      if (!box) continue;
      char text[1024] = {}, caption[128] = {};
      GetDlgItemTextA(box, 0xFFFF, text, sizeof text);
      GetWindowTextA(box, caption, sizeof caption);
      r.boxText = text;
      r.boxCaption = caption;
      PostMessageA(box, WM_COMMAND, IDOK, 0);
    }
    r.finished = WaitForSingleObject(pi.hProcess, 5000) == WAIT_OBJECT_0;
    if (!r.finished) TerminateProcess(pi.hProcess, 99);
    GetExitCodeProcess(pi.hProcess, &r.exitCode);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    return r;
  }

  // Engines kept under the Windows folder (the stub keeps none: the engine does, when it
  // writes an uninstall entry).
  static Names KeptEngines() {
    Names found;
    const std::string home = WindowsFolder() + "\\TandrelInstall\\";
    if (!fs::exists(home)) return found;
    for (const auto& e : fs::recursive_directory_iterator(home))
      if (e.is_regular_file()) found.push_back(e.path().string());
    return found;
  }

  // The probe's record: variant, its own path, its command line, what it found.
  Names ProbeLog() const { return SplitLines(Slurp(Path("run/probe.log"))); }

  Bytes probeA;
};

TEST_F(Stub, RunsTheEngineOnThePackage) {
  const std::string package = BuildPackage();
  RunResult r = Start(package);
  ASSERT_TRUE(r.finished);
  EXPECT_EQ(r.exitCode, 42u);  // the engine's exit code
  EXPECT_TRUE(r.boxText.empty()) << r.boxText;

  Names log = ProbeLog();
  ASSERT_EQ(log.size(), 4u);
  // The engine runs from the run's own folder, beside archive 1.
  const std::string engine = log[1];
  EXPECT_TRUE(base::AnsiSameText(base::ExtractFileName(engine), "TandrelInstall.exe")) << engine;
  // "/SOURCE=" the package, "/DATA=" archive 1 in a fresh folder of its own; each quoted whole.
  const std::string& line = log[2];
  const std::string head = "\"" + engine + "\" \"/SOURCE=" + package + "\" \"/DATA=";
  ASSERT_EQ(line.substr(0, head.size()), head) << line;
  const std::string data = line.substr(head.size(), line.size() - head.size() - 1);
  EXPECT_EQ(line.back(), '"');
  EXPECT_EQ(base::ExtractFileName(data), "Setup1.tmp");
  const std::string work = base::ExtractFilePath(data);
  EXPECT_TRUE(base::AnsiSameText(base::ExtractFilePath(engine), work)) << engine;
  EXPECT_EQ(base::ExtractFileName(base::ExcludeTrailingBackslash(work)).substr(0, 8), "ZemSetup");
  EXPECT_EQ(log[3], "source=1 data=1");

  // The archive-1 file held archive 1 of the package, byte for byte.
  const Bytes whole = base::ReadFileBytes(package);
  ReadPackage p = ParsePackage(whole);
  EXPECT_EQ(Read("run/data.copy"), Bytes(whole.begin() + p.S + 4, whole.begin() + p.S + 4 + p.L1));

  // Afterwards the run's folder is gone, the engine with it: a setup that wrote no
  // uninstall entry leaves no engine behind.
  EXPECT_FALSE(fs::exists(work));
  EXPECT_EQ(KeptEngines(), Names{});
}

TEST_F(Stub, PackageCopiedElsewhereStillRuns) {
  const std::string package = BuildPackage();
  fs::create_directories(root / "other place");
  const std::string copy = Path("other place/My Setup.exe");
  fs::copy_file(package, copy);
  fs::remove(package);
  RunResult r = Start(copy);
  ASSERT_TRUE(r.finished);
  EXPECT_EQ(r.exitCode, 42u);
  Names log = ProbeLog();
  ASSERT_EQ(log.size(), 4u);
  EXPECT_NE(log[2].find("\"/SOURCE=" + copy + "\""), std::string::npos) << log[2];
  EXPECT_EQ(log[3], "source=1 data=1");
}

TEST_F(Stub, TheRunsFolderIsRemovedWithoutFollowingAJunction) {
  // A junction the engine left in the run's folder: removed itself, what it points at stays.
  const std::string outside = Path("run/outside");
  fs::create_directories(outside);
  base::WriteFileBytes(outside + "\\keep.txt", Bytes{'k'});
  SetEnvironmentVariableA("TANDREL_PROBE_JUNCTION", outside.c_str());
  const std::string package = BuildPackage();
  RunResult r = Start(package);
  SetEnvironmentVariableA("TANDREL_PROBE_JUNCTION", nullptr);
  ASSERT_TRUE(r.finished);
  Names log = ProbeLog();
  ASSERT_EQ(log.size(), 5u);
  if (log[4] != "junction=1") GTEST_SKIP() << "this platform made no junction";
  EXPECT_FALSE(fs::exists(base::ExtractFilePath(log[1])));
  EXPECT_TRUE(fs::exists(outside + "\\keep.txt"));
}

TEST_F(Stub, DamagedPackagesStartNothing) {
  const std::string package = BuildPackage();
  const Bytes whole = base::ReadFileBytes(package);
  ReadPackage p = ParsePackage(whole);
  struct Case {
    const char* why;
    Bytes bytes;
  } cases[] = {
      {"cut short", Bytes(whole.begin(), whole.end() - 100)},
      {"only the stub", Bytes(whole.begin(), whole.begin() + p.S)},
      {"engine data spoilt", [&] {
         Bytes b = whole;
         b[p.S + 4 + 21 + 25 + 30 + 200] ^= 0x5A;  // inside the engine's compressed data
         return b;
       }()},
  };
  for (const auto& c : cases) {
    const std::string file = Path("run/damaged.exe");
    base::WriteFileBytes(file, c.bytes);
    fs::remove(Path("run/probe.log"));
    RunResult r = Start(file);
    ASSERT_TRUE(r.finished) << c.why;
    EXPECT_EQ(r.exitCode, 3u) << c.why;  // a damaged package
    EXPECT_EQ(r.boxCaption, "Setup") << c.why;
    EXPECT_EQ(r.boxText,
              "This setup package is damaged or incomplete, so Setup cannot continue.\n\n"
              "Please obtain a complete copy of the package and run it again.")
        << c.why;
    EXPECT_FALSE(fs::exists(Path("run/probe.log"))) << c.why;
  }
  // The stub on its own, before any build wrote its size.
  RunResult bare = Start(STUB_EXE);
  EXPECT_EQ(bare.exitCode, 3u);
  EXPECT_NE(bare.boxText.find("damaged or incomplete"), std::string::npos);
}

TEST_F(Stub, PackageWithoutAnEngine) {
  // A package whose archive 1 lacks "Installer\TandrelInstall.exe".
  Bytes stub = base::ReadFileBytes(STUB_EXE);
  base::MemoryStream s(stub);
  ASSERT_EQ(PatchSizeMarker(s, "ZEM_SIZE"), static_cast<int32_t>(stub.size()));
  const std::string a1 = Path("run/a1.cmp");
  base::MemoryStream info(Filler(100, 30));
  CompressFileToArchive(a1, info, "Info\\Inst.cmp", 0, 0x20, nullptr);
  Bytes a1b = base::ReadFileBytes(a1);
  Bytes package = s.Bytes();
  auto put32 = [&](size_t v) {
    for (int i = 0; i < 4; ++i) package.push_back(static_cast<uint8_t>(v >> (8 * i)));
  };
  put32(a1b.size());
  package.insert(package.end(), a1b.begin(), a1b.end());
  put32(21);
  const uint8_t empty[21] = {'V', 'E', 'L', 'T', 0x1A, 'L', 'H', '5', 0, 0, 0, 0, 1, 0, 0, 0, 0, 0, 0, 0, 0};
  package.insert(package.end(), empty, empty + 21);
  base::WriteFileBytes(Path("run/noengine.exe"), package);
  RunResult r = Start(Path("run/noengine.exe"));
  ASSERT_TRUE(r.finished);
  EXPECT_EQ(r.exitCode, 2u);
  EXPECT_EQ(r.boxText, "Setup cannot continue: the setup engine is missing from this setup package.");
  EXPECT_FALSE(fs::exists(Path("run/probe.log")));
}

#ifdef REAL_ENGINE
// A visible window of the engine kept for the package, and its process.
struct EngineWindow {
  std::string image;
  HWND window = nullptr;
  DWORD pid = 0;
};
BOOL CALLBACK FindEngineWindow(HWND w, LPARAM l) {
  auto* e = reinterpret_cast<EngineWindow*>(l);
  if (!IsWindowVisible(w)) return TRUE;
  DWORD pid = 0;
  GetWindowThreadProcessId(w, &pid);
  HANDLE h = OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, pid);
  if (!h) return TRUE;
  char image[MAX_PATH] = {};
  GetModuleFileNameExA(h, nullptr, image, MAX_PATH);
  CloseHandle(h);
  if (!base::AnsiSameText(base::ExtractFileName(image), e->image)) return TRUE;
  e->image = image;
  e->window = w;
  e->pid = pid;
  return FALSE;
}

TEST_F(Stub, RealEngineStartsOnThePackage) {
  const Bytes engineBytes = base::ReadFileBytes(REAL_ENGINE);
  base::WriteFileBytes(Path("builder/TandrelInstall.exe"), engineBytes);
  const std::string package = BuildPackage();
  STARTUPINFOA si = {};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi = {};
  std::string command = "\"" + package + "\"";
  ASSERT_TRUE(CreateProcessA(package.c_str(), command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi));
  EngineWindow e;
  e.image = "TandrelInstall.exe";
  for (int waited = 0; waited < 20000 && !e.window; waited += 100) {
    if (WaitForSingleObject(pi.hProcess, 100) == WAIT_OBJECT_0) break;
    EnumWindows(FindEngineWindow, reinterpret_cast<LPARAM>(&e));
  }
  ASSERT_NE(e.window, nullptr) << "the engine showed no window";
  // Started with both files in place, it shows its own windows, not the refusal.
  Sleep(500);
  char text[512] = {};
  GetDlgItemTextA(e.window, 0xFFFF, text, sizeof text);
  EXPECT_EQ(std::string(text).find("Invalid configuration file"), std::string::npos);
  HANDLE engine = OpenProcess(PROCESS_TERMINATE, FALSE, e.pid);
  ASSERT_NE(engine, nullptr);
  TerminateProcess(engine, 7);
  CloseHandle(engine);
  ASSERT_EQ(WaitForSingleObject(pi.hProcess, 10000), WAIT_OBJECT_0);
  DWORD code = 0;
  GetExitCodeProcess(pi.hProcess, &code);
  EXPECT_EQ(code, 7u);
  CloseHandle(pi.hThread);
  CloseHandle(pi.hProcess);
  EXPECT_FALSE(fs::exists(e.image)) << "an engine ended early leaves nothing";
}
#endif

TEST_F(Stub, MarkerOnceAndAWindowsProgram) {
  const Bytes stub = base::ReadFileBytes(STUB_EXE);
  const char key[] = "ZEM_SIZE";
  size_t count = 0, at = 0;
  for (auto it = stub.begin(); (it = std::search(it, stub.end(), key, key + 8)) != stub.end(); ++it, ++count)
    at = static_cast<size_t>(it - stub.begin());
  EXPECT_EQ(count, 1u);
  EXPECT_EQ(std::string(stub.begin() + at, stub.begin() + at + 12), "ZEM_SIZEXXXX");
  // PE header: GUI subsystem (2), no imports beyond the system's.
  const uint32_t pe = Get32(stub.data() + 0x3C);
  EXPECT_EQ(std::string(stub.begin() + pe, stub.begin() + pe + 4), std::string("PE\0\0", 4));
  EXPECT_EQ(Get16(stub.data() + pe + 24 + 68), 2);
  // Static: it imports system libraries only.
  HMODULE m = LoadLibraryExA(STUB_EXE, nullptr, DONT_RESOLVE_DLL_REFERENCES);
  ASSERT_NE(m, nullptr);
  auto* base = reinterpret_cast<const uint8_t*>(m);
  auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + reinterpret_cast<const IMAGE_DOS_HEADER*>(base)->e_lfanew);
  const IMAGE_DATA_DIRECTORY& dir = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
  Names imports;
  for (auto* d = reinterpret_cast<const IMAGE_IMPORT_DESCRIPTOR*>(base + dir.VirtualAddress); d->Name; ++d)
    imports.push_back(base::LowerCase(reinterpret_cast<const char*>(base + d->Name)));
  FreeLibrary(m);
  EXPECT_FALSE(imports.empty());
  for (const auto& dll : imports)
    EXPECT_TRUE(dll == "kernel32.dll" || dll == "user32.dll" || dll == "msvcrt.dll" || dll == "advapi32.dll") << dll;
}

}  // namespace
}  // namespace buildtest
