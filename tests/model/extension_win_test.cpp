// Extensions run for real: the author's DLL functions through the guarded stdcall call,
// programs through the shell, faults and a wrong calling convention turned into the error box.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "setup/model/InstClasses.h"
#include "setup/model/InstPlatform.h"
#include "tests/harness/WinTestSupport.h"

namespace {

std::string ExtFixture(const std::string& name) {
  char buf[MAX_PATH];
  DWORD n = GetModuleFileNameA(nullptr, buf, MAX_PATH);
  std::string exe(buf, n);
  return exe.substr(0, exe.find_last_of('\\') + 1) + "fixtures_ext\\" + name;
}

bool Exists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

const char kErrorHead[] = "An error occurred while executing a Tandrel-Install Extension: \r\r   ";
const char kErrorTail[] = "\r\rSetup will now terminate.";

// The real platform, with message boxes written down instead of shown.
struct ExtensionWin : ::testing::Test {
  model::PlatformServices saved = model::Platform();
  std::vector<std::string> boxes;
  TTandrelBaseInstall project;
  TTandrelExtension* ext = nullptr;
  std::string folder;  // this test's own folder

  void SetUp() override {
    auto& p = model::Platform();
    p.showInformation = [this](const std::string& t) { boxes.push_back("info " + t); };
    p.showError = [this](const std::string& t) { boxes.push_back("error " + t); };
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    folder = wintest::TempFolder() + "ext_" + info->name() + "_" + std::to_string(GetCurrentProcessId());
    CreateDirectoryA(folder.c_str(), nullptr);
    p.setDirMacro("<SUPPORTDIR>", ExtFixture(""));
    project.InstallDir = "C:\\Program Files\\Firm";
    project.UserName = "Ann";
    project.UserCompany = "Co";
    ext = project.Extensions.Add();
    ext->Style = esDLL;
    ext->Executable = "<SUPPORTDIR>tandrel_ext.dll";
    ext = project.GetExtension(0);
  }
  void TearDown() override { model::Platform() = saved; }

  std::string InstallDirMacro() { return model::Platform().getDirMacro("<INSTALLDIR>"); }
};

TEST_F(ExtensionWin, ResultsAndTheFolderBuffer) {
  struct Case { const char* function; uint8_t result; bool folderTaken; };
  const Case cases[] = {
      {"Return0", 0, false},
      {"Return1", 1, true},
      {"Return2", 2, true},
      {"Return65536", 0, false},  // low 16 bits are 0
  };
  for (const auto& c : cases) {
    project.InstallDir = "C:\\Program Files\\Firm";
    ext->Params = c.function;
    EXPECT_EQ(ext->Execute(0, 0), c.result) << c.function;
    const std::string expect = c.folderTaken ? "C:\\Chosen\\Ann\\Co" : "C:\\Program Files\\Firm";
    EXPECT_EQ(project.InstallDir, expect) << c.function;
    EXPECT_EQ(InstallDirMacro(), expect) << c.function;
  }
  EXPECT_TRUE(boxes.empty());
}

TEST_F(ExtensionWin, ArgumentsReachTheFunction) {
  ext->Params = "EchoArgs";
  EXPECT_EQ(ext->Execute(11, 22), 1);
  EXPECT_EQ(project.InstallDir, "C:\\Program Files\\Firm|11|22|" + ExtFixture(""));
}

TEST_F(ExtensionWin, BufferWrittenToTheEndComesBackCut) {
  ext->Params = "FillBuffer";
  EXPECT_EQ(ext->Execute(0, 0), 1);
  EXPECT_EQ(project.InstallDir, std::string(1023, 'x'));
}

TEST_F(ExtensionWin, FolderTooLongIsRefusedBeforeTheCall) {
  ext->Params = "Return1";
  project.InstallDir = "C:\\" + std::string(1100, 'a');
  EXPECT_EQ(ext->Execute(0, 0), 0);
  EXPECT_EQ(project.InstallDir, "C:\\" + std::string(1100, 'a'));
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].rfind("error ", 0), 0u);
}

TEST_F(ExtensionWin, FailuresBecomeTheErrorBoxAndResultZero) {
  struct Case { const char* why; const char* library; const char* function; const char* messageStart; };
  const Case cases[] = {
      {"missing library", "<SUPPORTDIR>no_such_ext.dll", "Return1", "Error loading extension 'no_such_ext.dll'"},
      {"missing export", "<SUPPORTDIR>tandrel_ext.dll", "Nothing",
       "Function 'Nothing' is not exported by 'tandrel_ext.dll'"},
      {"access violation", "<SUPPORTDIR>tandrel_ext.dll", "Fault", "Access violation at address "},
#if !defined(_WIN64)  // one calling convention in 64-bit code: nothing to tell apart
      {"cdecl function", "<SUPPORTDIR>tandrel_ext.dll", "CdeclFunction",
       "Function 'CdeclFunction' of 'tandrel_ext.dll' does not use the stdcall calling convention"},
      {"too few arguments", "<SUPPORTDIR>tandrel_ext.dll", "TwoArguments",
       "Function 'TwoArguments' of 'tandrel_ext.dll' does not use the stdcall calling convention"},
      {"too many arguments, written to", "<SUPPORTDIR>tandrel_ext.dll", "EightArguments",
       "Function 'EightArguments' of 'tandrel_ext.dll' does not use the stdcall calling convention"},
#endif
  };
  for (const auto& c : cases) {
    boxes.clear();
    project.InstallDir = "C:\\Program Files\\Firm";
    ext->Executable = c.library;
    ext->Params = c.function;
    ext->Instructions = "Read this first";
    EXPECT_EQ(ext->Execute(0, 0), 0) << c.why;
    EXPECT_EQ(project.InstallDir, "C:\\Program Files\\Firm") << c.why;
    ASSERT_EQ(boxes.size(), 2u) << c.why;
    EXPECT_EQ(boxes[0], "info Read this first") << c.why;
    const std::string head = std::string("error ") + kErrorHead + c.messageStart;
    EXPECT_EQ(boxes[1].substr(0, head.size()), head) << c.why;
    EXPECT_EQ(boxes[1].substr(boxes[1].size() - (sizeof kErrorTail - 1)), kErrorTail) << c.why;
  }
  // The process and its stack survived every one: a normal call still works.
  ext->Instructions.clear();
  ext->Executable = "<SUPPORTDIR>tandrel_ext.dll";
  ext->Params = "Return2";
  EXPECT_EQ(ext->Execute(0, 0), 2);
  EXPECT_EQ(project.InstallDir, "C:\\Chosen\\Ann\\Co");
}

TEST_F(ExtensionWin, FaultNamesTheModule) {
  ext->Params = "Fault";
  EXPECT_EQ(ext->Execute(0, 0), 0);
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_NE(boxes[0].find("in module 'tandrel_ext.dll'"), std::string::npos) << boxes[0];
  // The library was freed after the fault: it can be loaded and called again.
  ext->Params = "Return1";
  EXPECT_EQ(ext->Execute(0, 0), 1);
}

TEST_F(ExtensionWin, ProgramWithAndWithoutWait) {
  const std::string marker = folder + "\\marker.txt";
  ext->Style = esExecutable;
  ext->Executable = "<SUPPORTDIR>tandrel_ext_prog.exe";

  ext->Wait = true;
  ext->Params = "300 " + marker;
  EXPECT_EQ(ext->Execute(0, 0), 1);  // the exit code 7 is ignored
  EXPECT_TRUE(Exists(marker)) << "waited for the program";
  DeleteFileA(marker.c_str());

  ext->Wait = false;
  ext->Params = "1500 " + marker;
  EXPECT_EQ(ext->Execute(0, 0), 1);
  EXPECT_FALSE(Exists(marker)) << "returned before the program ended";
  for (int i = 0; i < 200 && !Exists(marker); ++i) Sleep(50);
  EXPECT_TRUE(Exists(marker)) << "the program ran";
  DeleteFileA(marker.c_str());

  ext->Executable = "<SUPPORTDIR>no_such_prog.exe";
  EXPECT_EQ(ext->Execute(0, 0), 1);  // a failed start is not reported here
  EXPECT_TRUE(boxes.empty());
  RemoveDirectoryA(folder.c_str());
}

}  // namespace
