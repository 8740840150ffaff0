// The file groups editor with large groups, through its real form under Wine: selecting a
// group of 10,000 files fills the list; 1,000 files added through the open dialog; a file
// moved up in a 10,000-file group; the icon cache over 10,000 files of 50 types.
// Prints the median of several runs of each, in milliseconds.
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "base/win/Application.h"
#include "base/win/TestSeams.h"
#include "bench/Median.h"
#include "builder/editors/SetupGroupFiles.h"

using namespace base::win;
using Clock = std::chrono::steady_clock;
using bench::Median;

namespace {

double Time(const std::function<void()>& work) {
  auto start = Clock::now();
  work();
  return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

void FillGroup(TTandrelFileGroup& g, int count, int types) {
  for (int i = 0; i < count; ++i) {
    TTandrelFile* f = g.Files.Add();
    f->FileName = "C:\\Bench\\folder" + std::to_string(i / 100) + "\\file" + std::to_string(i) + ".t" +
                  std::to_string(i % types);
    f->Size = 1000 + i;
    f->Timestamp = 45000.5;
  }
}

}  // namespace

int main(int argc, char** argv) {
  int runs = argc > 1 && std::string(argv[1]) == "--quick" ? 1 : 5;
  App().Initialize();
  seams::Arm();
  std::vector<double> select, add, move, cache;
  for (int r = 0; r < runs; ++r) {
    TfrmGroup form;
    TTandrelBaseInstall& wc = *form.WorkingCopy;
    FillGroup(*wc.Groups[0], 10000, 50);
    form.ShowModeless();
    form.FillGroups();
    TreeNode first = form.tvGroups.FirstNode();
    select.push_back(Time([&] { form.tvGroups.Select(first); }));
    if (form.lvFiles.Count() != 10000) std::fprintf(stderr, "list holds %d rows\n", form.lvFiles.Count());

    std::string names;
    for (int i = 0; i < 1000; ++i) names += "C:\\Bench\\new\\added" + std::to_string(i) + ".txt\n";
    seams::QueueFileAnswer(names);
    add.push_back(Time([&] { form.actAddFilesExecute(); }));

    form.lvFiles.Focus();
    form.lvFiles.ClearSelection();
    form.lvFiles.Select(5000);
    form.ActionListUpdate();
    move.push_back(Time([&] { form.actMoveUpExecute(); }));

    ImageList images(ImageList::kSmall);
    TZemAssociation icons(nullptr, images);
    TTandrelFileGroup probe;
    FillGroup(probe, 10000, 50);
    cache.push_back(Time([&] {
      for (TTandrelFile* f : probe.Files) icons.GetImageIndex(f->FileName);
    }));
    form.Close();
  }
  std::printf("select a 10,000-file group: %.0f ms\n", Median(select));
  std::printf("add 1,000 files through the open dialog: %.0f ms\n", Median(add));
  std::printf("move a file up in a 10,000-file group: %.0f ms\n", Median(move));
  std::printf("icon cache, 10,000 files of 50 types: %.0f ms\n", Median(cache));
  return 0;
}
