// The launcher stub "Setup.exe" at the head of every setup package: it takes archive 1
// out of its own file, expands the setup engine from it and runs the engine on the
// package, returning the engine's exit code.
//
// Archive 1 and the engine go into a fresh folder of this run's own under the temporary
// folder (the engine makes its support folder beside them), removed when the engine has
// ended. The engine keeps a copy of itself for the uninstall command when it writes one.
#include <windows.h>

#include <string>

#include "base/Exceptions.h"
#include "base/Streams.h"
#include "base/Strings.h"
#include "base/win/Handle.h"
#include "stub/StubArchive.h"

// The size marker the builder writes the stub's size into. It is the only copy of its
// text in this program: the search key is read from it at run time.
volatile char g_sizeMarker[13] = "ZEM_SIZEXXXX";

namespace {

constexpr const char* kCaption = "Setup";
constexpr const char* kMsgDamaged =
    "This setup package is damaged or incomplete, so Setup cannot continue.\n\n"
    "Please obtain a complete copy of the package and run it again.";
constexpr const char* kMsgNoFolder =
    "Setup cannot continue: it found no folder it could write its files to.\n\n"
    "Make room on the disk or check the permissions of the temporary folder, then run Setup again.";
constexpr const char* kMsgNoEngine =
    "Setup cannot continue: the setup engine is missing from this setup package.";
constexpr const char* kMsgEngineNotStarted = "Setup cannot continue: the setup engine could not be started.";
constexpr const char* kEngineEntry = "Installer\\TandrelInstall.exe";
constexpr const char* kEngineName = "TandrelInstall.exe";

// Exit codes as the engine's: 2 setup could not start, 3 the package is damaged.
constexpr int kExitCannotStart = 2;
constexpr int kExitDamaged = 3;

int Fail(const char* text) {
  MessageBoxA(nullptr, text, kCaption, MB_OK | MB_ICONERROR | MB_SETFOREGROUND);
  return text == kMsgDamaged ? kExitDamaged : kExitCannotStart;
}

std::string ModuleFile() {
  char buf[MAX_PATH + 1];
  DWORD n = GetModuleFileNameA(nullptr, buf, MAX_PATH);
  if (n == 0 || n >= MAX_PATH) return std::string();
  char full[MAX_PATH * 2];
  char* part = nullptr;
  DWORD m = GetFullPathNameA(buf, sizeof full, full, &part);
  return m == 0 || m >= sizeof full ? std::string(buf, n) : std::string(full, m);
}


// A folder that did not exist before, under parent; empty when none could be made.
std::string FreshFolderIn(const std::string& parent) {
  if (parent.empty() || !base::DirectoryExists(parent)) return std::string();
  const std::string base = base::IncludeTrailingBackslash(parent);
  DWORD seed = GetTickCount() ^ (GetCurrentProcessId() << 16);
  for (int attempt = 0; attempt < 64; ++attempt) {
    char name[32];
    wsprintfA(name, "ZemSetup%08lX", static_cast<unsigned long>(seed + attempt * 7919u));
    const std::string folder = base + name;
    if (CreateDirectoryA(folder.c_str(), nullptr)) return base::IncludeTrailingBackslash(folder);
    if (GetLastError() != ERROR_ALREADY_EXISTS) break;
  }
  return std::string();
}

std::string TempFolder() {
  char buf[MAX_PATH + 1] = {};
  DWORD n = GetTempPathA(MAX_PATH, buf);
  return n == 0 || n > MAX_PATH ? std::string() : std::string(buf, n);
}

std::string WindowsFolder() {
  char buf[MAX_PATH + 1] = {};
  UINT n = GetWindowsDirectoryA(buf, MAX_PATH);
  return n == 0 || n > MAX_PATH ? std::string() : std::string(buf, n);
}

// Empties and removes a folder of this run's own (what an engine that ended early left).
// A junction or other reparse point inside is removed itself, never followed: what it
// points at is not this run's.
void RemoveTree(const std::string& folder, int depth = 0) {
  if (depth > 8) return;
  WIN32_FIND_DATAA fd;
  HANDLE find = FindFirstFileA((folder + "*").c_str(), &fd);
  if (find != INVALID_HANDLE_VALUE) {
    do {
      const std::string name = fd.cFileName;
      if (name == "." || name == "..") continue;
      const std::string path = folder + name;
      if (fd.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) {
        SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
        if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
          RemoveDirectoryA(path.c_str());
        else
          DeleteFileA(path.c_str());
      } else if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
        RemoveTree(path + "\\", depth + 1);
      } else {
        SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
        DeleteFileA(path.c_str());
      }
    } while (FindNextFileA(find, &fd));
    FindClose(find);
  }
  RemoveDirectoryA(folder.c_str());
}

int Run() {
  const std::string package = ModuleFile();
  char key[8];
  for (int i = 0; i < 8; ++i) key[i] = g_sizeMarker[i];

  if (package.empty()) return Fail(kMsgDamaged);
  std::string work;  // this run's own folder
  for (const std::string& parent : {TempFolder(), WindowsFolder()}) {
    work = FreshFolderIn(parent);
    if (!work.empty()) break;
  }
  if (work.empty()) return Fail(kMsgNoFolder);
  const std::string archive1 = work + "Setup1.tmp";
  const std::string freshEngine = work + kEngineName;
  struct Cleanup {
    std::string work;
    ~Cleanup() { RemoveTree(work); }
  } cleanup{work};

  try {
    base::FileStream source(package, base::fmOpenRead | base::fmShareDenyNone);
    base::FileStream dest(archive1, base::fmCreate);
    if (!CopyArchive1(source, key, dest)) return Fail(kMsgDamaged);
  } catch (const base::EFCreateError&) {
    return Fail(kMsgNoFolder);
  } catch (const base::EWriteError&) {
    return Fail(kMsgNoFolder);
  } catch (...) {
    return Fail(kMsgDamaged);
  }

  TEntryResult expanded = TEntryResult::Damaged;
  try {
    base::FileStream archive(archive1, base::fmOpenRead | base::fmShareDenyWrite);
    base::FileStream engine(freshEngine, base::fmCreate);
    expanded = ExpandArchiveEntry(archive, kEngineEntry, engine);
  } catch (const base::EFCreateError&) {
    return Fail(kMsgNoFolder);
  } catch (const base::EWriteError&) {
    return Fail(kMsgNoFolder);
  } catch (...) {
    expanded = TEntryResult::Damaged;
  }
  if (expanded == TEntryResult::NotFound) return Fail(kMsgNoEngine);
  if (expanded != TEntryResult::Expanded) return Fail(kMsgDamaged);

  // The engine runs from this run's folder; it keeps a copy of itself only when it writes
  // an uninstall entry that needs one.
  const std::string& engine = freshEngine;
  std::string command = "\"" + engine + "\" \"/SOURCE=" + package + "\" \"/DATA=" + archive1 + "\"";
  STARTUPINFOA si = {};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi = {};
  if (!CreateProcessA(engine.c_str(), command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi))
    return Fail(kMsgEngineNotStarted);
  base::win::Handle process(pi.hProcess), thread(pi.hThread);
  WaitForSingleObject(pi.hProcess, INFINITE);
  DWORD code = kExitCannotStart;
  if (!GetExitCodeProcess(pi.hProcess, &code)) code = kExitCannotStart;
  return static_cast<int>(code);
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  try {
    return Run();
  } catch (...) {
    return Fail(kMsgDamaged);
  }
}
