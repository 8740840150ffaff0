// Self-registration of DLL servers, program servers and type libraries, including servers
// that fail, crash or lack their entry points.
#include <gtest/gtest.h>
#include <windows.h>
#include <shlwapi.h>

#include "base/win/Registry.h"
#include "setup/services/InstGlobal.h"
#include "tests/harness/WinTestSupport.h"
#include "tests/services/ab_fixtures.h"

namespace {

const char kMarkerKey[] = "Software\\TandrelSelfRegTest";
const char kTypeLibKey[] = "TypeLib\\{5C0D7A2E-3B41-4C7A-9E2A-7D1B2A6F4E11}";

bool MarkerThere(const char* name, std::string* text = nullptr) {
  base::win::RegKey key;
  if (!key.Open(HKEY_CURRENT_USER, kMarkerKey, KEY_READ)) return false;
  char buf[1024] = {};
  DWORD size = sizeof buf - 1;
  if (RegQueryValueExA(key.get(), name, nullptr, nullptr, reinterpret_cast<BYTE*>(buf), &size) != ERROR_SUCCESS)
    return false;
  if (text) *text = buf;
  return true;
}

bool TypeLibRegistered() {
  base::win::RegKey key;
  return key.Open(HKEY_CLASSES_ROOT, (std::string(kTypeLibKey) + "\\1.2").c_str(), KEY_READ);
}

class SelfReg : public ::testing::Test {
protected:
  // Tests run side by side: each clears only the marker value it looks at.
  void SetUp() override { ClearUninstallLog(); }
  static void ClearMarker(const char* name) {
    base::win::RegKey key;
    if (key.Open(HKEY_CURRENT_USER, kMarkerKey, KEY_SET_VALUE)) RegDeleteValueA(key.get(), name);
  }
};

TEST_F(SelfReg, DllServerRegistersAndUnregisters) {
  std::string dll = AbFixture("tandrel_ab_server.dll");
  ClearMarker("Dll");
  ASSERT_EQ(RegisterServerFile(dll), 0);
  EXPECT_TRUE(MarkerThere("Dll"));
  EXPECT_EQ(UninstallLog(), (std::vector<std::string>{"RegisterFile=" + dll}));

  ClearUninstallLog();
  EXPECT_EQ(UnregisterServerFile(dll), 0);
  EXPECT_FALSE(MarkerThere("Dll"));
  EXPECT_TRUE(UninstallLog().empty());
}

TEST_F(SelfReg, DllServerFailures) {
  struct {
    const char* file;
    int registerResult, unregisterResult;
    const char* why;
  } cases[] = {
      {"tandrel_ab_false.dll", 107, 108, "S_FALSE is no success"},
      {"tandrel_ab_noexport.dll", 110, 110, "entry points not exported"},
      {"tandrel_ab_crash.dll", 107, 108, "entry points fault"},
      {"tandrel_ab_notadll.dll", 107, 108, "not a loadable module"},
      {"tandrel_ab_missing.dll", 109, 109, "no such file"},
      {"tandrel_ab_missing.exe", 109, 109, "no such program"},
      {"tandrel_ab_missing.tlb", 109, 109, "no such type library"},
  };
  for (const auto& c : cases) {
    std::string file = AbFixture(c.file);
    EXPECT_EQ(RegisterServerFile(file), c.registerResult) << c.file << ": " << c.why;
    EXPECT_EQ(UnregisterServerFile(file), c.unregisterResult) << c.file << ": " << c.why;
  }
  EXPECT_TRUE(UninstallLog().empty());
  EXPECT_EQ(InstallErrorText(110, "x.dll"), InstallErrorText(107, "x.dll"));
}

TEST_F(SelfReg, ACrashingServerLeavesTheProcessWorking) {
  const void* chain = reinterpret_cast<NT_TIB*>(NtCurrentTeb())->ExceptionList;
  for (int i = 0; i < 3; ++i) EXPECT_EQ(CallDllServerEntry(AbFixture("tandrel_ab_crash.dll"), false), 107);
  // The guard took its record off the exception chain again.
  EXPECT_EQ(reinterpret_cast<NT_TIB*>(NtCurrentTeb())->ExceptionList, chain);
  EXPECT_EQ(CallDllServerEntry(AbFixture("tandrel_ab_server.dll"), false), 0);
}

TEST_F(SelfReg, ProgramServerGetsItsSwitchOnAQuotedCommandLine) {
  std::string dir = wintest::TempFolder() + "tandrel ab server", exe = dir + "\\probe server.exe";
  CreateDirectoryA(dir.c_str(), nullptr);
  ASSERT_TRUE(CopyFileA(AbFixture("tandrel_ab_server.exe").c_str(), exe.c_str(), FALSE));

  ClearMarker("Exe");
  ASSERT_EQ(RegisterServerFile(exe), 0);
  EXPECT_EQ(UninstallLog(), (std::vector<std::string>{"RegisterFile=" + exe}));
  // Registering does not wait for the program.
  std::string commandLine;
  for (int i = 0; i < 100 && !MarkerThere("Exe", &commandLine); ++i) Sleep(50);
  EXPECT_EQ(commandLine, "\"" + exe + "\" /regserver");

  // Unregistering waits: the program has removed its marker when the call returns.
  EXPECT_EQ(UnregisterServerFile(exe), 0);
  EXPECT_FALSE(MarkerThere("Exe"));
  for (int i = 0; i < 40 && !DeleteFileA(exe.c_str()); ++i) Sleep(50);
  RemoveDirectoryA(dir.c_str());
}

TEST_F(SelfReg, TypeLibraryRegistersAndUnregisters) {
  std::string tlb = AbFixture("tandrel_ab.tlb");
  ASSERT_EQ(RegisterServerFile(tlb), 0);
  EXPECT_TRUE(TypeLibRegistered());
  EXPECT_EQ(UninstallLog(), (std::vector<std::string>{"RegisterFile=" + tlb}));
  EXPECT_EQ(UnregisterServerFile(tlb), 0);
  EXPECT_FALSE(TypeLibRegistered());
}

TEST_F(SelfReg, TypeLibraryWithoutFolderIsTakenFromTheCurrentDirectory) {
  char saved[MAX_PATH];
  GetCurrentDirectoryA(MAX_PATH, saved);
  std::string dir = AbFixture("");
  ASSERT_TRUE(SetCurrentDirectoryA(dir.c_str()));
  EXPECT_EQ(RegisterTypeLibFile("tandrel_ab.tlb", false), 0);
  EXPECT_TRUE(TypeLibRegistered());
  EXPECT_EQ(RegisterTypeLibFile("tandrel_ab.tlb", true), 0);
  EXPECT_FALSE(TypeLibRegistered());
  EXPECT_EQ(RegisterTypeLibFile("tandrel_ab_missing.tlb", false), 109);
  SetCurrentDirectoryA(saved);
}

// A server whose own load code (DllMain at attach) faults fails to register; one whose
// unload code faults has its fault swallowed by the loader of every version reported
// here (FreeLibrary reports success), so its registration stands. Either way the
// process goes on and the next server registers.
TEST(SelfRegFaults, ModuleLoadAndUnloadCodeThatFaults) {
  ClearUninstallLog();
  EXPECT_EQ(RegisterServerFile(AbFixture("tandrel_ab_attachcrash.dll")), 107);
  EXPECT_EQ(UnregisterServerFile(AbFixture("tandrel_ab_attachcrash.dll")), 108);
  EXPECT_TRUE(UninstallLog().empty());
  const std::string detach = AbFixture("tandrel_ab_detachcrash.dll");
  EXPECT_EQ(RegisterServerFile(detach), 0);
  EXPECT_EQ(UnregisterServerFile(detach), 0);
  EXPECT_FALSE(MarkerThere("Dll"));
  const std::string server = AbFixture("tandrel_ab_server.dll");
  EXPECT_EQ(CallDllServerEntry(server, false), 0);
  EXPECT_EQ(CallDllServerEntry(server, true), 0);
  ClearUninstallLog();
}

TEST(SelfRegFaults, UnderEachReportedVersion) {
  if (wintest::InVersionChild()) GTEST_SKIP();
  AbFixture("");  // hands the fixture folder down
  for (const char* v : {"win95", "win98", "nt40", "win2k"})
    EXPECT_EQ(wintest::RunUnderWindowsVersion(v, "SelfRegFaults.ModuleLoadAndUnloadCodeThatFaults"), 0) << v;
}

TEST_F(SelfReg, DamagedTypeLibraryFails) {
  std::string bad = AbFixture("tandrel_ab_damaged.tlb");
  EXPECT_EQ(RegisterServerFile(bad), 107);
  EXPECT_EQ(UnregisterServerFile(bad), 108);
  EXPECT_TRUE(UninstallLog().empty());
}

}  // namespace
