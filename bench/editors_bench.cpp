// Speed of the registry and INI files editors on a large project, through the real forms:
// opening the editor, selecting the biggest key (section), adding a value (entry).
// A registry tree of 5,000 keys with 20,000 values, an INI section of 5,000 entries.
#include <windows.h>

#include <cstdio>
#include <functional>
#include <string>

#include "base/win/TestSeams.h"
#include "builder/editors/SetupIniFiles.h"
#include "builder/editors/SetupRegistry.h"

using namespace base::win;

namespace {

double Seconds(LARGE_INTEGER from, LARGE_INTEGER to) {
  LARGE_INTEGER f;
  QueryPerformanceFrequency(&f);
  return static_cast<double>(to.QuadPart - from.QuadPart) / static_cast<double>(f.QuadPart);
}

LARGE_INTEGER Now() {
  LARGE_INTEGER t;
  QueryPerformanceCounter(&t);
  return t;
}

double Time(const std::function<void()>& work) {
  LARGE_INTEGER a = Now();
  work();
  return Seconds(a, Now());
}

// 5,000 keys: 50 branches of 99 sub-keys under HKLM\Software\Bench; the biggest key holds
// 5,000 values, the other 15,000 are spread over the rest.
TTandrelRegKey* FillRegistry(TTandrelBaseInstall& p) {
  TTandrelRegKey* top = p.AddRegKey("HKEY_LOCAL_MACHINE\\Software\\Bench");
  TTandrelRegKey* biggest = nullptr;
  int keys = 3, values = 0;
  for (int b = 0; b < 50 && keys < 5000; ++b) {
    TTandrelRegKey* branch = top->AddKey("Branch " + std::to_string(b));
    ++keys;
    for (int k = 0; k < 99 && keys < 5000; ++k, ++keys) {
      TTandrelRegKey* key = branch->AddKey("Key " + std::to_string(k));
      if (!biggest) {
        biggest = key;
        for (int v = 0; v < 5000; ++v, ++values) key->AddStringValue("Value " + std::to_string(v), "data");
      } else if (values < 20000) {
        for (int v = 0; v < 3 && values < 20000; ++v, ++values) key->AddDWordValue("N" + std::to_string(v), v);
      }
    }
  }
  // The rest, one more on each branch key, up to 20,000.
  for (TTandrelRegKey* branch : top->Keys)
    for (TTandrelRegKey* key : branch->Keys)
      if (values < 20000 && key != biggest) {
        key->AddStringValue("X", "x");
        ++values;
      }
  std::printf("registry: %d keys, %d values\n", keys, values);
  return biggest;
}

}  // namespace

int main() {
  seams::Arm();
  TTandrelBaseInstall p;
  TTandrelRegKey* biggest = FillRegistry(p);
  const std::string biggestPath = biggest->GetFullPath();
  TTandrelIniSection* big = p.AddIniFile("Bench.ini")->AddSection("Big");
  for (int i = 0; i < 5000; ++i) big->AddValue("Entry " + std::to_string(i))->Value = "v";

  double open = 0, select = 0, add = 0;
  LARGE_INTEGER start = Now();
  seams::WhenShown<TfrmRegistry>([&](TfrmRegistry& f) {
    open = Seconds(start, Now());
    TreeNode node = nullptr;
    for (TreeNode n : f.tvFolders.AllNodes())
      if (f.tvFolders.NodeData(n) == f.WorkingCopy->AddRegKey(biggestPath)) node = n;
    select = Time([&] {
      f.tvFolders.Select(node);
      f.lvValues.Update();
    });
    add = Time([&] {
      f.NewValue(vtString);
      f.lvValues.EndEdit(false);
      f.lvValues.Update();
    });
    f.btnCancelClick();
  });
  EditRegistry(p);
  std::printf("registry editor: open %.3f s, select the biggest key (%d values) %.3f s, add a value %.3f s\n", open,
              biggest->Values.Count(), select, add);

  start = Now();
  seams::WhenShown<TfrmIniFiles>([&](TfrmIniFiles& f) {
    open = Seconds(start, Now());
    TreeNode file = f.tvFiles.Children(nullptr).back();
    TreeNode section = f.tvFiles.Children(file).front();
    select = Time([&] {
      f.tvFiles.Select(section);
      f.lvValues.Update();
    });
    add = Time([&] {
      f.actNewValueExecute();
      f.lvValues.EndEdit(false);
      f.lvValues.Update();
    });
    f.btnCancelClick();
  });
  EditIniFiles(p);
  std::printf("INI files editor: open %.3f s, select the section (5,000 entries) %.3f s, add an entry %.3f s\n", open,
              select, add);
  return 0;
}
