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
