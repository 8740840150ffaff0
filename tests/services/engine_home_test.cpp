// The kept engine's folder names and the tests that decide whether an engine is kept.
#include <gtest/gtest.h>

#include "setup/services/InstEngineHome.h"

namespace {

TEST(EngineHome, FolderNamesByContent) {
  EXPECT_EQ(EngineContentHash({}), 0xCBF29CE484222325ull);  // FNV-1a of nothing
  EXPECT_EQ(EngineContentHash({'a'}), 0xAF63DC4C8601EC8Cull);
  EXPECT_EQ(EngineFolderName(0xAF63DC4C8601EC8Cull), "AF63DC4C8601EC8C");
  EXPECT_EQ(EngineFolderName(1), "0000000000000001");
  std::vector<uint8_t> x(5000, 6), y = x;
  y[2500] ^= 1;
  EXPECT_NE(EngineContentHash(x), EngineContentHash(y));
}

TEST(EngineHome, OnlyAnEngineInItsOwnHomeIsEverReleased) {
  struct Case {
    const char* file;
    bool kept;
  } cases[] = {
      {"C:\\WINDOWS\\TandrelInstall\\AF63DC4C8601EC8C\\TandrelInstall.exe", true},
      {"c:\\windows\\tandrelinstall\\af63dc4c8601ec8c\\tandrelinstall.EXE", true},
      {"C:\\WINDOWS\\TandrelInstall\\AF63DC4C8601EC8C-2\\TandrelInstall.exe", true},
      {"C:\\Temp\\ZemSetup0001\\TandrelInstall.exe", false},
      {"C:\\WINDOWS\\TandrelInstall\\TandrelInstall.exe", false},
      {"C:\\WINDOWS\\TandrelInstall\\AF63DC4C8601EC8C\\Other.exe", false},
      {"C:\\WINDOWS\\TandrelInstall\\NOTHEXNOTHEXNOTH\\TandrelInstall.exe", false},
      {"C:\\build\\bin\\TandrelInstall.exe", false},
      {"TandrelInstall.exe", false},
  };
  for (const auto& c : cases) EXPECT_EQ(IsKeptEnginePath(c.file), c.kept) << c.file;
}

TEST(EngineHome, AnUninstallCommandNamesItsEngineQuoted) {
  const std::string engine = "C:\\WINDOWS\\TandrelInstall\\AF63DC4C8601EC8C\\TandrelInstall.exe";
  EXPECT_TRUE(UninstallStringNames("\"" + engine + "\" \"/UNINST=C:\\App\\UnInst.log \" \"/APPNAME=A\"", engine));
  EXPECT_TRUE(UninstallStringNames("\"c:\\windows\\tandrelinstall\\af63dc4c8601ec8c\\TANDRELINSTALL.exe\" x", engine));
  EXPECT_FALSE(UninstallStringNames("\"C:\\WINDOWS\\TandrelInstall\\AF63DC4C8601EC8D\\TandrelInstall.exe\"", engine));
  EXPECT_FALSE(UninstallStringNames("", engine));
}

}  // namespace

// The kept engine's hand-over to its copy in the temp folder, as the copy reads it.
TEST(EngineHome, TheCopysArgumentsAndName) {
  const std::string arg = EngineCopyResultArg(0x1A4, 0x2B);
  EXPECT_EQ(arg, "/RESULT=1A4,2B");
  struct Case {
    const char* why;
    std::vector<std::string> args;
    std::string kept;
    uintptr_t pipe, process;
  } cases[] = {
      {"as the kept engine passes them",
       {"/UNINST=C:\\A\\UnInst.log ", "/APPNAME=A", "/KEPT=C:\\W\\TandrelInstall\\00AB\\TandrelInstall.exe", arg},
       "C:\\W\\TandrelInstall\\00AB\\TandrelInstall.exe", 0x1A4, 0x2B},
      {"no hand-over: an uninstall of its own", {"/UNINST=C:\\A\\UnInst.log ", "/APPNAME=A"}, "", 0, 0},
      {"the later result wins", {"/RESULT=1,2", "/RESULT=3,4"}, "", 3, 4},
      {"handles that are no hex numbers are none", {"/KEPT=x", "/RESULT=zz,4"}, "x", 0, 0},
      {"one handle only", {"/RESULT=12"}, "", 0, 0},
      {"case matters, as for the other arguments", {"/kept=x", "/result=1,2"}, "", 0, 0},
  };
  for (const auto& c : cases) {
    const TEngineCopyArgs r = ReadEngineCopyArgs(c.args);
    EXPECT_EQ(r.KeptEngine, c.kept) << c.why;
    EXPECT_EQ(r.ResultPipe, c.pipe) << c.why;
    EXPECT_EQ(r.FirstPhase, c.process) << c.why;
  }
  // Short names, which WININIT.INI needs.
  for (const char* name : {"ZmU1.tmp", "zmuABCD.TMP", "ZmU12345.tmp"}) EXPECT_TRUE(IsEngineCopyName(name)) << name;
  for (const char* name : {"ZmU.tmp", "ZmUxyz.tmp", "ZmU1.exe", "Zem1.tmp", "ZmU123456.tmp", "TandrelInstall.exe"})
    EXPECT_FALSE(IsEngineCopyName(name)) << name;
}
