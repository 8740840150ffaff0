// Scratch folders, archives packed by the compression component (through the pack_files
// fixture program) and a project whose selection names its groups, for the Windows tests
// of the copy, the other tasks and the uninstaller.
#pragma once
#include <windows.h>

#include <cstdio>
#include <map>
#include <memory>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "base/Streams.h"
#include "setup/model/InstClasses.h"
#include "tests/harness/WinTestSupport.h"

namespace copytest {

inline bool IsFile(const std::string& p) { return base::FileExists(p); }
inline bool IsDir(const std::string& p) { return base::DirectoryExists(p); }
inline void WriteText(const std::string& name, const std::string& bytes) {
  base::WriteFileBytes(name, std::vector<uint8_t>(bytes.begin(), bytes.end()));
}
inline std::string ReadText(const std::string& name) {
  auto b = base::ReadFileBytes(name);
  return std::string(b.begin(), b.end());
}
inline void RemoveTree(const std::string& dir) {  // dir ends with "\"
  WIN32_FIND_DATAA fd;
  HANDLE h = FindFirstFileA((dir + "*").c_str(), &fd);
  if (h != INVALID_HANDLE_VALUE) {
    do {
      const std::string n = fd.cFileName;
      if (n == "." || n == "..") continue;
      const std::string p = dir + n;
      if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
        RemoveTree(p + "\\");
      } else {
        SetFileAttributesA(p.c_str(), FILE_ATTRIBUTE_NORMAL);
        DeleteFileA(p.c_str());
      }
    } while (FindNextFileA(h, &fd));
    FindClose(h);
  }
  RemoveDirectoryA(dir.c_str());
}
// A fresh folder under %TEMP%, with a trailing backslash.
inline std::string FreshDir(const std::string& name) {
  const std::string d = wintest::TempFolder() + name + "_" + std::to_string(GetCurrentProcessId()) + "\\";
  RemoveTree(d);
  CreateDirectoryA(d.c_str(), nullptr);
  return d;
}

// Data that the LH5 coder cannot squeeze to nothing.
inline std::string Noise(size_t n, uint32_t seed) {
  std::string s(n, '\0');
  for (auto& c : s) {
    seed = seed * 1103515245u + 12345u;
    c = static_cast<char>("abcdefghij0123456789 \r\n"[(seed >> 16) % 23]);
  }
  return s;
}

// A file of the fixtures' folder beside this test program ("bin\" + sub).
inline std::string BinFile(const std::string& sub) {
  char exe[MAX_PATH];
  GetModuleFileNameA(nullptr, exe, MAX_PATH);
  std::string dir = exe;
  return dir.substr(0, dir.find_last_of('\\') + 1) + sub;
}

// Runs the pack_files fixture: entries "group\file" = source path.
inline void Pack(const std::string& archive, const std::vector<std::pair<std::string, std::string>>& entries) {
  const std::string list = archive + ".list";
  std::string text;
  for (const auto& [entry, source] : entries) text += entry + "=" + source + "\r\n";
  WriteText(list, text);
  std::string cmd = "\"" + BinFile("fixtures_engine\\tandrel_pack_files.exe") + "\" \"" + archive + "\" \"@" + list + "\"";
  STARTUPINFOA si{};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi{};
  if (!CreateProcessA(nullptr, cmd.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi))
    throw std::runtime_error("pack_files did not start");
  WaitForSingleObject(pi.hProcess, 120000);
  DWORD code = 1;
  GetExitCodeProcess(pi.hProcess, &code);
  CloseHandle(pi.hThread);
  CloseHandle(pi.hProcess);
  DeleteFileA(list.c_str());
  if (code != 0) throw std::runtime_error("pack_files failed: " + std::to_string(code));
}

struct SourceFile {
  SourceFile(std::string n, std::string d, bool reg = false, std::string from = "")
      : name(std::move(n)), data(std::move(d)), selfRegister(reg), copyFrom(std::move(from)) {}
  std::string name;
  std::string data;
  bool selfRegister;
  std::string copyFrom;  // take the bytes of this file instead of data
};

// A project of its own groups; each group's files are written under src and packed into
// the archive under the group's name; the selection names components and groups.
class TestProject {
public:
  TTandrelBaseInstall p;
  std::string src, archive;

  explicit TestProject(const std::string& scratch) : src(scratch + "src\\"), archive(scratch + "Setup2.tmp") {
    CreateDirectoryA(src.c_str(), nullptr);
    p.Groups.Clear();
    p.Components.Clear();
    p.InstFolders.clear();
    p.Registry.Clear();
    p.InstallInfo = std::make_unique<TInstallInfo>();
  }
  TTandrelFileGroup* Group(const std::string& name, const std::string& dest, const std::vector<SourceFile>& files) {
    auto* g = p.Groups.Add();
    g->Owner = &p;
    g->SetName(name);
    g->SetDestination(dest);
    CreateDirectoryA((src + name).c_str(), nullptr);
    for (const auto& f : files) {
      const std::string path = src + name + "\\" + f.name;
      if (f.copyFrom.empty())
        WriteText(path, f.data);
      else
        CopyFileA(f.copyFrom.c_str(), path.c_str(), FALSE);
      auto* file = g->Files.Add();
      file->FileName = path;
      file->Size = static_cast<int32_t>(ReadText(path).size());
      file->SelfRegister = f.selfRegister;
      entries_.push_back({name + "\\" + f.name, path});
    }
    return g;
  }
  // Selects the named groups (with their real sizes) as one component.
  TInstComponent* Select(const std::string& component, const std::vector<std::string>& groups) {
    auto c = std::make_unique<TInstComponent>();
    c->Name = component;
    for (const auto& name : groups) {
      auto g = std::make_unique<TInstGroup>();
      g->Name = name;
      if (TTandrelFileGroup* pg = p.FindGroupText(name)) g->Size = pg->GetTotalSize();
      c->Groups.push_back(std::move(g));
    }
    p.InstallInfo->Components.push_back(std::move(c));
    return p.InstallInfo->Components.back().get();
  }
  void PackArchive() {
    DeleteFileA(archive.c_str());
    if (!entries_.empty()) Pack(archive, entries_);
  }
  void AddEntry(const std::string& entry, const std::string& source) { entries_.push_back({entry, source}); }

private:
  std::vector<std::pair<std::string, std::string>> entries_;
};

}  // namespace copytest
