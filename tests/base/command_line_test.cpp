// The command line splits into parameters as the class library splits it.
#include <gtest/gtest.h>

#include "base/CommandLine.h"

namespace {

TEST(CommandLine, SplitsAsTheClassLibrary) {
  using V = std::vector<std::string>;
  struct Case {
    const char* line;
    V params;
    const char* why;
  } cases[] = {
      {"", V{}, "nothing"},
      {"setup.exe", V{"setup.exe"}, "the program only"},
      {"a.exe  /x\t/y ", V{"a.exe", "/x", "/y"}, "blanks and tabs separate, repeated"},
      {"\"C:\\Program Files\\a.exe\" /UNINST=C:\\x\\UnInst.log", V{"C:\\Program Files\\a.exe", "/UNINST=C:\\x\\UnInst.log"},
       "quotes group and are removed"},
      {"a /SOURCE=\"C:\\My Setup\\S.exe\"", V{"a", "/SOURCE=C:\\My Setup\\S.exe"}, "quotes inside a parameter"},
      {"a \"/UNINST=C:\\App\\UnInst.log \" \"/APPNAME=My App\"", V{"a", "/UNINST=C:\\App\\UnInst.log ", "/APPNAME=My App"},
       "a quoted trailing blank stays"},
      {"a \"unterminated quote", V{"a", "unterminated quote"}, "an open quote runs to the end"},
      {"a \"\" b", V{"a", "", "b"}, "an empty quoted parameter"},
  };
  for (auto& c : cases) EXPECT_EQ(base::SplitCommandLine(c.line), c.params) << c.why;
}

}  // namespace
