// The engine's lasting copy: made once, used again only when its bytes equal the engine's.
#include <gtest/gtest.h>
#include <windows.h>

#include "base/Streams.h"
#include "base/Strings.h"
#include "setup/services/InstEngineHome.h"
#include "tests/harness/WinTestSupport.h"

namespace {

std::string TempFolder() {
  char buf[MAX_PATH] = {};
  GetTempPathA(MAX_PATH, buf);
  return buf;
}

std::string WindowsFolder() {
  char buf[MAX_PATH] = {};
  GetWindowsDirectoryA(buf, MAX_PATH);
  return buf;
}

void RemoveKept(const std::string& kept) {
  SetFileAttributesA(kept.c_str(), FILE_ATTRIBUTE_NORMAL);
  DeleteFileA(kept.c_str());
  RemoveDirectoryA(base::ExcludeTrailingBackslash(base::ExtractFilePath(kept)).c_str());
}

TEST(KeptEngine, APlantedFileOfOtherBytesIsNeverRun) {
  const std::string engine = TempFolder() + "engine_home_test_" + base::IntToStr(GetCurrentProcessId()) + ".exe";
  std::vector<uint8_t> bytes(3000);
  for (size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<uint8_t>(i * 7);
  base::WriteFileBytes(engine, bytes);
  const std::string home = WindowsFolder() + "\\TandrelInstall\\" + EngineFolderName(EngineContentHash(bytes));
  const std::string target = home + "\\TandrelInstall.exe";
  CreateDirectoryA((WindowsFolder() + "\\TandrelInstall").c_str(), nullptr);
  CreateDirectoryA(home.c_str(), nullptr);
  // Same size and folder, other bytes: what a colliding hash would leave there.
  std::vector<uint8_t> planted = bytes;
  planted[1500] ^= 0xFF;
  base::WriteFileBytes(target, planted);

  const std::string kept = KeepEngine(engine);
  ASSERT_FALSE(kept.empty());
  EXPECT_TRUE(IsKeptEnginePath(kept)) << kept;
  EXPECT_EQ(base::ReadFileBytes(kept), bytes);
  // Asked again, the copy in place is used.
  EXPECT_TRUE(base::AnsiSameText(KeepEngine(engine), kept));
  // The kept engine itself keeps itself in place.
  EXPECT_TRUE(base::AnsiSameText(KeepEngine(kept), kept));

  RemoveKept(kept);
  RemoveKept(target);
  DeleteFileA(engine.c_str());
}

TEST(KeptEngine, AnEngineOtherEntriesStillNameStays) {
  const std::string engine = WindowsFolder() + "\\TandrelInstall\\00000000000000AB\\TandrelInstall.exe";
  const std::string root = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\";
  auto entry = [&](const std::string& app, const std::string& command) {
    HKEY k;
    ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, (root + app).c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &k,
                              nullptr),
              ERROR_SUCCESS);
    RegSetValueExA(k, "UninstallString", 0, REG_SZ, reinterpret_cast<const BYTE*>(command.c_str()),
                   static_cast<DWORD>(command.size() + 1));
    RegCloseKey(k);
  };
  entry("Engine Home A", "\"" + engine + "\" \"/UNINST=C:\\A\\UnInst.log \" \"/APPNAME=Engine Home A\"");
  EXPECT_FALSE(EngineNamedByOtherEntries(engine, "Engine Home A"));
  entry("Engine Home B", "\"" + engine + "\" \"/UNINST=C:\\B\\UnInst.log \" \"/APPNAME=Engine Home B\"");
  EXPECT_TRUE(EngineNamedByOtherEntries(engine, "Engine Home A"));
  RegDeleteKeyA(HKEY_LOCAL_MACHINE, (root + "Engine Home A").c_str());
  RegDeleteKeyA(HKEY_LOCAL_MACHINE, (root + "Engine Home B").c_str());
}

}  // namespace
