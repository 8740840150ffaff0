// The install half of the side-by-side benchmark with NSIS (bench/peer_bench.sh runs it
// under Wine): our package driven through its wizard as a user would, NSIS's installers
// run silently, each RUNS times, and the medians printed.
//   peer_install RUNS OURS.exe PRODUCT [NSIS.exe ...]
// Ours: from the click on Next at "Start Copying Files" to the complete page ("copy"),
// and from starting Setup.exe to the complete page ("whole"); after each run it is
// finished and uninstalled. NSIS: from starting it with /S to its end; its folder is then
// removed. Prints one line per installer: NAME MEDIAN_SECONDS [WHOLE_SECONDS].
#include <windows.h>
#include <shellapi.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "bench/Median.h"
#include "bench/WinClock.h"
#include "resources/engine/DialogsForm.rh"
#include "tests/e2e/E2eRoad.h"

using bench::Median;
using bench::Now;

namespace {

// Polls more finely than the road's waits: the figures are of a second or two.
bool Until(const std::string& page, double seconds, e2e::Proc& setup) {
  const double end = Now() + seconds;
  while (e2e::WizardPage() != page) {
    if (Now() > end || WaitForSingleObject(setup.pi.hProcess, 0) == WAIT_OBJECT_0) {
      e2e::Fail("no page \"" + page + "\"; setup's exit code " + std::to_string(setup.ExitCode()) + "\n" +
                e2e::DescribeWindows());
      return false;
    }
    Sleep(2);
  }
  return true;
}

// Next through every page before the copy, whatever pages the project has.
bool WalkToCopying() {
  if (!e2e::OnPage("Welcome", 90)) return false;
  for (int step = 0; step < 20; ++step) {
    const std::string page = e2e::WizardPage();
    e2e::Step("on the page " + page);
    if (page == "Start Copying Files") return true;
    HWND w = e2e::Wizard();
    if (page == "User Information" && !e2e::Enabled(e2e::FindControl(w, IDC_btnNext)))
      e2e::TypeText(e2e::FindControl(w, IDC_edtUserName), "Bench");
    if (!e2e::PressNext()) return false;
    if (!e2e::WaitFor([&] { return e2e::WizardPage() != page; }, 30)) {
      e2e::Fail("the page \"" + page + "\" did not move on\n" + e2e::DescribeWindows());
      return false;
    }
  }
  return false;
}

bool Ours(const std::string& exe, const std::string& product, double& copy, double& whole) {
  const double start = Now();
  e2e::Proc setup("\"" + exe + "\"");
  if (!setup.started || !WalkToCopying()) return false;
  const double t0 = Now();
  if (!e2e::PressNext() || !Until("Setup Complete", 600, setup)) return false;
  copy = Now() - t0;
  whole = Now() - start;
  if (!e2e::FinishPlainly() || !setup.Ended(60)) return false;
  const std::string command = e2e::RegString(
      HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\" + product, "UninstallString");
  return e2e::Uninstall(command, product);
}

bool RemoveTree(const std::string& folder) {
  std::string from = folder + '\0';
  SHFILEOPSTRUCTA op{};
  op.wFunc = FO_DELETE;
  op.pFrom = from.c_str();
  op.fFlags = FOF_NOCONFIRMATION | FOF_NOERRORUI | FOF_SILENT;
  return SHFileOperationA(&op) == 0;
}

bool Nsis(const std::string& exe, const std::string& folder, double& seconds) {
  const double t0 = Now();
  e2e::Proc run("\"" + exe + "\" /S /D=" + folder);
  if (!run.started) return false;
  WaitForSingleObject(run.pi.hProcess, 600 * 1000);
  seconds = Now() - t0;
  const bool ok = run.ExitCode() == 0 && e2e::Exists(folder);
  RemoveTree(folder);
  return ok;
}

std::string BaseName(const std::string& path) { return path.substr(path.find_last_of("\\/") + 1); }

}  // namespace

int main(int argc, char** argv) {
  if (argc < 4) {
    std::fprintf(stderr, "usage: peer_install RUNS OURS.exe PRODUCT [NSIS.exe ...]\n");
    return 2;
  }
  const int runs = std::max(1, std::atoi(argv[1]));
  std::vector<double> copy, whole;
  for (int r = 0; r < runs; ++r) {
    double c = 0, w = 0;
    if (!Ours(argv[2], argv[3], c, w)) {
      std::fprintf(stderr, "our install of %s failed\n", argv[2]);
      return 1;
    }
    copy.push_back(c);
    whole.push_back(w);
  }
  std::printf("%s %.3f %.3f\n", BaseName(argv[2]).c_str(), Median(copy), Median(whole));
  for (int i = 4; i < argc; ++i) {
    std::vector<double> t;
    for (int r = 0; r < runs; ++r) {
      double s = 0;
      if (!Nsis(argv[i], e2e::ProgramFilesDir() + "\\Peer NSIS", s)) {
        std::fprintf(stderr, "the install of %s failed\n", argv[i]);
        return 1;
      }
      t.push_back(s);
    }
    std::printf("%s %.3f\n", BaseName(argv[i]).c_str(), Median(t));
  }
  std::fflush(stdout);
  return 0;
}
