// Opening and saving a large project: 10,000 files in 20 groups. Natively the project
// file alone (load with the owners fixed and every file's facts refreshed from the disk,
// save); under Wine also through the builder's main window (OpenFile, Save), whose message
// loop stands still for as long as each takes. Best of 3, in milliseconds.
//   project_bench [folder]   (the files are made there, then removed)
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>

#include "setup/model/InstClasses.h"

#ifdef _WIN32
#include "base/win/Application.h"
#include "base/win/TestSeams.h"
#include "builder/shell/MainForm.h"
#endif

namespace fs = std::filesystem;

namespace {

constexpr int kGroups = 20, kFilesPerGroup = 500;

double BestOf3(const std::function<void()>& work) {
  double best = 1e30;
  for (int run = 0; run < 3; ++run) {
    auto start = std::chrono::steady_clock::now();
    work();
    best = std::min(best, std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
  }
  return best;
}

std::string Native(const fs::path& p) {
#ifdef _WIN32
  std::string s = p.string();
  std::replace(s.begin(), s.end(), '/', '\\');
  return s;
#else
  return p.string();
#endif
}

}  // namespace

int main(int argc, char** argv) {
  const fs::path root = argc > 1 ? fs::path(argv[1]) : fs::temp_directory_path() / "tandrel_project_bench";
  fs::remove_all(root);
  TTandrelBaseInstall project;
  while (project.Groups.Count() > 0) project.Groups.Delete(0);
  for (int g = 0; g < kGroups; ++g) {
    const fs::path dir = root / ("group" + std::to_string(g));
    fs::create_directories(dir);
    TTandrelFileGroup* group = project.Groups.Add();
    group->Owner = &project;
    group->SetName("Group " + std::to_string(g));
    group->SetDestination("<INSTALLDIR>\\part" + std::to_string(g));
    for (int f = 0; f < kFilesPerGroup; ++f) {
      const fs::path file = dir / ("file" + std::to_string(f) + ".dat");
      std::ofstream(file) << "file " << g << "/" << f << "\n";
      group->AddFile(Native(file));
    }
  }
  const std::string projectFile = Native(root / "Large.zem");
  if (!project.SaveToFile(projectFile)) {
    std::fprintf(stderr, "cannot save %s\n", projectFile.c_str());
    return 1;
  }
  const auto bytes = fs::file_size(projectFile);
  const double save = BestOf3([&] { project.SaveToFile(projectFile); });
  const double open = BestOf3([&] {
    TTandrelBaseInstall p;
    p.LoadFromFile(projectFile);
    p.FixupOwners();
    for (auto* g : p.Groups) g->RefreshFiles();
  });
  const double read = BestOf3([&] {
    TTandrelBaseInstall p;
    p.LoadFromFile(projectFile);
    p.FixupOwners();
  });
  std::printf("project of %d files in %d groups, %llu bytes\n", kGroups * kFilesPerGroup, kGroups,
              static_cast<unsigned long long>(bytes));
  std::printf("model: open %.0f ms (reading the file %.0f ms, the rest each file's facts from the disk), "
              "save %.0f ms\n", open, read, save);
#ifdef _WIN32
  {
    base::win::seams::Arm();  // a message box would be recorded, not left open
    TfrmMain window;
    window.ShowModeless();
    const double openWindow = BestOf3([&] {
      window.OpenFile(projectFile);
      base::win::App().ProcessMessages();
    });
    const double saveWindow = BestOf3([&] {
      window.Project->Modified = true;
      window.actSaveExecute();
      base::win::App().ProcessMessages();
    });
    std::printf("main window: open %.0f ms, save %.0f ms (the window repaints again after each)\n", openWindow,
                saveWindow);
    if (!base::win::seams::Messages().empty())
      std::printf("message: %s\n", base::win::seams::Messages().front().Text.c_str());
    window.Project->Modified = false;
  }
#endif
  fs::remove_all(root);
  return 0;
}
