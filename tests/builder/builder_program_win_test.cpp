// The builder program under Wine: its version block, and the build dialog opened on a
// project named on its command line, driven from this process.
#include <gtest/gtest.h>

#include <windows.h>

#include <filesystem>
#include <string>
#include <vector>

#include "base/Streams.h"
#include "builder/shell/BuilderSettings.h"
#include "resources/builder/BuildForm.rh"
#include "setup/model/InstClasses.h"
#include "setup/services/InstFileInfo.h"
#include "tests/harness/WinTestSupport.h"

namespace {

namespace fs = std::filesystem;

std::string TextOf(HWND w) {
  char buf[8192] = {};
  DWORD_PTR got = 0;
  SendMessageTimeoutA(w, WM_GETTEXT, sizeof buf, reinterpret_cast<LPARAM>(buf), SMTO_ABORTIFHUNG, 2000, &got);
  return buf;
}

HWND WaitForDialog(DWORD pid, HANDLE process, int ms = 20000) {
  for (int waited = 0; waited < ms; waited += 50) {
    if (HWND found = wintest::FindProcessWindow(pid, "#32770")) return found;
    if (WaitForSingleObject(process, 50) == WAIT_OBJECT_0) return nullptr;
  }
  return nullptr;
}

class BuilderProgram : public ::testing::Test {
protected:
  void SetUp() override {
    folder = fs::temp_directory_path() /
             (std::string("tandrel_builder_") + ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(folder);
    fs::create_directories(folder / "proj");
    // A builder folder of the test's own: every build rewrites the stub beside the builder.
    fs::copy_file(BUILDER_EXE, folder / "TandrelBuilder.exe");
    fs::copy_file(STUB_EXE, folder / "Setup.exe");
    fs::copy_file(ENGINE_EXE, folder / "TandrelInstall.exe");
  }
  void TearDown() override {
    std::error_code ec;
    fs::remove_all(folder, ec);
  }

  bool Launch(const std::string& args) {
    const std::string exe = (folder / "TandrelBuilder.exe").string();
    std::string command = "\"" + exe + "\" " + args;
    STARTUPINFOA si = {};
    si.cb = sizeof si;
    return CreateProcessA(exe.c_str(), command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi);
  }
  DWORD Finish() {
    DWORD code = 99;
    if (WaitForSingleObject(pi.hProcess, 20000) != WAIT_OBJECT_0) TerminateProcess(pi.hProcess, 99);
    GetExitCodeProcess(pi.hProcess, &code);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    return code;
  }

  fs::path folder;
  PROCESS_INFORMATION pi = {};
};

TEST_F(BuilderProgram, VersionBlockGivesTheRegistryKey) {
  std::string product, version, fileVersion, company;
  bool ole = true;
  ASSERT_TRUE(GetVersionInfo(BUILDER_EXE, product, version, fileVersion, company, ole));
  EXPECT_EQ(company, "Tandrel");
  EXPECT_EQ(product, "Tandrel-Install");
  EXPECT_EQ(version, "1.0");
  EXPECT_EQ(fileVersion, "1.0.0.1");
  EXPECT_FALSE(ole);
  EXPECT_EQ(ComposeBuilderRegistryKey(company, product, version), "\\Software\\Tandrel\\Tandrel-Install\\1.0\\");
  // The class library's block, with the usual strings.
  DWORD handle = 0, size = GetFileVersionInfoSizeA(BUILDER_EXE, &handle);
  std::vector<char> block(size);
  ASSERT_TRUE(GetFileVersionInfoA(BUILDER_EXE, 0, size, block.data()));
  for (const char* name : {"CompanyName", "FileDescription", "FileVersion", "InternalName", "LegalCopyright",
                           "OriginalFilename", "ProductName", "ProductVersion"}) {
    void* data = nullptr;
    UINT len = 0;
    std::string path = std::string("\\StringFileInfo\\040904E4\\") + name;
    EXPECT_TRUE(VerQueryValueA(block.data(), path.c_str(), &data, &len) && len > 1) << name;
  }
}

TEST_F(BuilderProgram, BuildsTheProjectOnItsCommandLine) {
  const std::string file = (folder / "proj" / "Demo.zem").string();
  base::WriteFileBytes((folder / "proj" / "app.txt").string(), std::vector<uint8_t>(5000, 'x'));
  {
    TTandrelBaseInstall p;
    p.GetGroup(0)->AddFile((folder / "proj" / "app.txt").string());
    ASSERT_TRUE(p.SaveToFile(file));
  }
  ASSERT_TRUE(Launch("\"" + file + "\""));
  HWND dialog = WaitForDialog(pi.dwProcessId, pi.hProcess);
  ASSERT_NE(dialog, nullptr);
  EXPECT_EQ(TextOf(dialog), "Builder");
  PostMessageA(GetDlgItem(dialog, IDC_BLD_btnStart), BM_CLICK, 0, 0);
  std::string log;
  for (int waited = 0; waited < 20000 && log.find("Image Size : ") == std::string::npos; waited += 50) {
    Sleep(50);
    log = TextOf(GetDlgItem(dialog, IDC_BLD_memoProgress));
  }
  EXPECT_NE(log.find("Successful Build"), std::string::npos) << log;
  for (int waited = 0; waited < 5000 && !IsWindowEnabled(GetDlgItem(dialog, IDC_BLD_btnCancel)); waited += 50) Sleep(50);
  PostMessageA(GetDlgItem(dialog, IDC_BLD_btnCancel), BM_CLICK, 0, 0);
  EXPECT_EQ(Finish(), 0u);
  const std::vector<uint8_t> package = base::ReadFileBytes((folder / "proj" / "Demo.exe").string());
  const std::vector<uint8_t> stub = base::ReadFileBytes((folder / "Setup.exe").string());
  ASSERT_GT(package.size(), stub.size());
  EXPECT_TRUE(std::equal(stub.begin(), stub.end(), package.begin()));
}

TEST_F(BuilderProgram, ProjectThatCannotBeRead) {
  const std::string file = (folder / "proj" / "Broken.zem").string();
  base::WriteFileBytes(file, {'n', 'o', 't', ' ', 'a', ' ', 'p', 'r', 'o', 'j', 'e', 'c', 't'});
  ASSERT_TRUE(Launch("\"" + file + "\""));
  HWND box = WaitForDialog(pi.dwProcessId, pi.hProcess);
  ASSERT_NE(box, nullptr);
  EXPECT_EQ(TextOf(GetDlgItem(box, 0xFFFF)), "Could not open the project file '" + file + "'.");
  PostMessageA(box, WM_COMMAND, IDOK, 0);
  EXPECT_EQ(Finish(), 1u);
}

}  // namespace
