// The builder program under Wine: its version block, and its main window, which takes no
// command line, driven from this process.
#include <gtest/gtest.h>

#include <windows.h>

#include <filesystem>
#include <string>
#include <vector>

#include "base/Streams.h"
#include "builder/common/BuilderSettings.h"
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

TEST_F(BuilderProgram, OpensItsMainWindowAndReadsNoCommandLine) {
  // A project named on the command line is neither opened nor built.
  const std::string file = (folder / "proj" / "Demo.zem").string();
  {
    TTandrelBaseInstall p;
    ASSERT_TRUE(p.SaveToFile(file));
  }
  ASSERT_TRUE(Launch("\"" + file + "\""));
  HWND main = nullptr;
  for (int waited = 0; waited < 20000 && !main; waited += 50) {
    main = wintest::FindProcessWindow(pi.dwProcessId, "#32770");
    if (main && TextOf(main) != "Tandrel-Install Configuration Builder") main = nullptr;
    if (!main) Sleep(50);
  }
  ASSERT_NE(main, nullptr);
  EXPECT_NE(GetMenu(main), nullptr);
  // An unchanged project closes without a question.
  PostMessageA(main, WM_CLOSE, 0, 0);
  EXPECT_EQ(Finish(), 0u);
  EXPECT_FALSE(fs::exists(folder / "proj" / "Demo.exe"));
}

}  // namespace
