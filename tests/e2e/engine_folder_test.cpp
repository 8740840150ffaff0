// The kept engine's folder after the last uninstall on the 95 family, as Wine reports it
// (tests/e2e/run_engine_folder.sh sets the prefix's version and restarts it between the
// phases). The uninstall runs from a copy of the engine in the temp folder: the kept
// engine and "<Windows>\TandrelInstall" go at once, and the restart deletes the copy, the
// one file that waited, through WININIT.INI.
//   phase "uninstall": an installation's end state (its kept engine, log and entry), then
//                      its uninstall command as Windows or Wine's uninstaller runs it;
//   phase "check":     after the restart.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdlib>
#include <string>

#include "base/Streams.h"
#include "base/Strings.h"
#include "setup/services/InstEngineHome.h"
#include "setup/services/InstGlobal.h"
#include "tests/e2e/E2eRoad.h"
#include "tests/e2e/E2eSnapshot.h"
#include "tests/e2e/E2eWindows.h"

using namespace e2e;

namespace {

const std::string kEngine = "C:\\e2e\\engine\\TandrelInstall.exe";
const std::string kNote = "C:\\e2e\\copy.txt";  // the copy's path, for the check after the restart
const std::string kApp = "Tandrel Nine";

std::string Env(const char* name) {
  const char* v = std::getenv(name);
  return v ? v : "";
}

std::string Text(const std::string& file) {
  if (!Exists(file)) return "";
  auto b = base::ReadFileBytes(file);
  return std::string(b.begin(), b.end());
}

std::string EngineHome() { return WindowsDir() + "\\TandrelInstall"; }

// The temp folder's engine copy named by a "nul=" line of WININIT.INI, in its long form.
std::string CopyPendingInWininit() {
  const std::string ini = Text(WindowsDir() + "\\WININIT.INI");
  for (size_t at = Lower(ini).find("nul="); at != std::string::npos; at = Lower(ini).find("nul=", at + 1)) {
    const size_t end = ini.find_first_of("\r\n", at);
    const std::string file = ini.substr(at + 4, end == std::string::npos ? std::string::npos : end - at - 4);
    char longName[MAX_PATH] = {};
    if (!GetLongPathNameA(file.c_str(), longName, MAX_PATH)) continue;
    if (IsEngineCopyName(base::ExtractFileName(longName))) return longName;
  }
  return "";
}

class EngineFolder : public ::testing::Test {
protected:
  static void SetUpTestSuite() {
    SetFailureHandler([](const std::string& what) { ADD_FAILURE() << what; });
  }
};

TEST_F(EngineFolder, GoneAfterTheLastUninstallAndTheRestart) {
  const std::string phase = Env("TANDREL_PHASE"), version = Env("TANDREL_VERSION");
  ASSERT_FALSE(phase.empty()) << "run by tests/e2e/run_engine_folder.sh";
  OSVERSIONINFOA v{};
  v.dwOSVersionInfoSize = sizeof v;
  GetVersionExA(&v);
  ASSERT_EQ(v.dwPlatformId, static_cast<DWORD>(VER_PLATFORM_WIN32_WINDOWS)) << version << ": the prefix reports the 95 family";
  if (phase == "check") {
    const std::string copy = Text(kNote);
    ASSERT_FALSE(copy.empty());
    EXPECT_FALSE(Exists(copy)) << version << ": the restart deletes the copy";
    EXPECT_FALSE(Exists(EngineHome())) << version;
    return;
  }
  // What an installation leaves: the kept engine, its log, its entry.
  const std::string kept = KeepEngine(kEngine);
  ASSERT_TRUE(IsKeptEnginePath(kept)) << kept;
  const std::string dir = ProgramFilesDir() + "\\" + kApp;
  CreateDirectoryA(dir.c_str(), nullptr);
  base::WriteFileBytes(dir + "\\app.txt", std::vector<uint8_t>{'x'});
  const std::string log = "CreateFile=" + dir + "\\app.txt\r\nCreateDir=" + dir + "\r\n";
  base::WriteFileBytes(dir + "\\UnInst.log", std::vector<uint8_t>(log.begin(), log.end()));
  ASSERT_EQ(CreateUninstallEntry(kApp, ComposeUninstallString(kept, dir, kApp)), 0);
  const std::string registered =
      RegString(HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\" + kApp, "UninstallString");
  // Wine's own "uninstaller" runs the registered command as the control panel does.
  const bool wine = Env("TANDREL_UNINSTALLER") == "wine";
  const std::string command = wine ? "uninstaller.exe --remove \"" + kApp + "\"" : registered;
  if (!wine) {
    // The copy's exit code is the command's: No to the confirmation gives 1, nothing goes.
    Proc no(command);
    ASSERT_TRUE(no.started);
    ASSERT_TRUE(Answer("Are you sure you want to completely remove '" + kApp + "'", "No"));
    ASSERT_TRUE(no.Ended(30));
    EXPECT_EQ(no.ExitCode(), 1u);
    EXPECT_TRUE(WaitFor([] { return !EngineCopyRunning(); }, 30));
    EXPECT_TRUE(Exists(kept));
    EXPECT_TRUE(Exists(dir + "\\UnInst.log"));
  }
  ASSERT_TRUE(Uninstall(command, kApp)) << command;
  EXPECT_FALSE(Exists(dir));
  EXPECT_EQ(RegString(HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\" + kApp,
                      "UninstallString"),
            "<no key>");
  EXPECT_FALSE(Exists(kept));
  EXPECT_FALSE(Exists(EngineHome())) << version << ": the kept engine and its folders go at once";
  // Only the copy waits for the restart, named by its short name.
  const std::string copy = CopyPendingInWininit();
  ASSERT_FALSE(copy.empty()) << Text(WindowsDir() + "\\WININIT.INI");
  EXPECT_TRUE(Exists(copy));
  base::WriteFileBytes(kNote, std::vector<uint8_t>(copy.begin(), copy.end()));
}

}  // namespace
