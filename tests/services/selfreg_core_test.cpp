// Server kinds by extension and the command line of a program server.
#include <gtest/gtest.h>

#include "setup/services/InstSelfReg.h"

namespace {

TEST(GetServerKind, ByExtensionIgnoringCase) {
  struct {
    const char* file;
    int kind;
  } cases[] = {
      {"C:\\App\\lib.tlb", 1}, {"LIB.TLB", 1},        {"C:\\App\\srv.exe", 2}, {"SRV.EXE", 2},
      {"ctl.ocx", 0},          {"a.dll", 0},          {"noextension", 0},      {"a.tlb.bak", 0},
      {"C:\\x.tlb\\plain", 0}, {"C:\\x.exe\\y.tlb", 1},
  };
  for (const auto& c : cases) EXPECT_EQ(GetServerKind(c.file), c.kind) << c.file;
}

TEST(ExeServerCommandLine, QuotesThePath) {
  EXPECT_EQ(ExeServerCommandLine("C:\\Program Files\\App\\srv.exe", false),
            "\"C:\\Program Files\\App\\srv.exe\" /regserver");
  EXPECT_EQ(ExeServerCommandLine("C:\\srv.exe", true), "\"C:\\srv.exe\" /unregserver");
}

}  // namespace
