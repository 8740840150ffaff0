// Every id of the engine's string table against its text: the table is linked into this
// program, so an id missing from the resource script (which the compiled-in fallback
// would hide) or a text that differs fails here.
#include <gtest/gtest.h>
#include <windows.h>

#include <set>
#include <string>

#include "resources/engine_strings.h"
#include "setup/services/InstallRules.h"

namespace {

struct StringEntry {
  int id;
  const char* text;
  const char* name;
};

const StringEntry kEntries[] = {
#include "engine_string_ids.inc"
};

TEST(EngineStrings, EveryIdLoadsItsOwnText) {
  ASSERT_GT(sizeof kEntries / sizeof kEntries[0], 100u);
  std::set<int> seen;
  for (const StringEntry& e : kEntries) {
    EXPECT_TRUE(seen.insert(e.id).second) << e.name << ": id " << e.id << " used twice";
    char buf[4096];
    int n = LoadStringA(GetModuleHandleA(nullptr), static_cast<UINT>(e.id), buf, sizeof buf);
    // An empty text cannot be told from a missing one; every other text must be there.
    if (e.text[0] == '\0') {
      EXPECT_EQ(n, 0) << e.name;
      continue;
    }
    ASSERT_GT(n, 0) << e.name << " (" << e.id << ") is missing from the string table";
    EXPECT_EQ(std::string(buf, static_cast<size_t>(n)), e.text) << e.name << " (" << e.id << ")";
    EXPECT_EQ(EngineString(e.id, "fallback"), e.text) << e.name;
  }
}

}  // namespace
