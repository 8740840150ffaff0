// The main window's decisions: the recent list, the Reopen entries, the save question and
// the about box's version text.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "builder/shell/MainRules.h"

namespace {

using Files = std::vector<std::string>;

TEST(RecentFiles, NewestFirstAtMostNineNoDoubles) {
  Files recent;
  for (int i = 1; i <= 10; ++i) AddRecentFile(recent, "C:\\p\\f" + std::to_string(i) + ".zem");
  ASSERT_EQ(recent.size(), 9u);
  EXPECT_EQ(recent.front(), "C:\\p\\f10.zem");
  EXPECT_EQ(recent.back(), "C:\\p\\f2.zem");
  // Reopening the fifth moves it to the front without growing the list.
  const std::string fifth = recent[4];
  AddRecentFile(recent, fifth);
  EXPECT_EQ(recent.size(), 9u);
  EXPECT_EQ(recent.front(), fifth);
  EXPECT_EQ(recent[1], "C:\\p\\f10.zem");
  EXPECT_EQ(std::count(recent.begin(), recent.end(), fifth), 1);
}

TEST(RecentFiles, SettingTextRoundTrip) {
  const Files files{"C:\\a.zem", "C:\\b & c.zem"};
  EXPECT_EQ(RecentFilesToText(files), "C:\\a.zem\r\nC:\\b & c.zem\r\n");
  EXPECT_EQ(RecentFilesFromText(RecentFilesToText(files)), files);
  EXPECT_EQ(RecentFilesFromText(""), Files{});
  EXPECT_EQ(RecentFilesFromText("C:\\a.zem\n\n  \r\nC:\\b.zem"), (Files{"C:\\a.zem", "C:\\b.zem"}));
}

TEST(ReopenMenu, EntriesLeaveOutTheCurrentFileAndDoubleAmpersands) {
  struct Case {
    Files recent;
    std::string current;
    std::vector<std::string> captions;
    std::vector<int> tags;
    const char* why;
  } cases[] = {
      {{}, "", {}, {}, "empty list shows <None>"},
      {{"C:\\Only.zem"}, "c:\\only.ZEM", {}, {}, "only the current file (any case) shows <None>"},
      {{"C:\\A.zem", "C:\\B.zem"}, "C:\\a.zem", {"C:\\B.zem"}, {1}, "the current file is left out, tags index the list"},
      {{"C:\\R&D\\x.zem"}, "", {"C:\\R&&D\\x.zem"}, {0}, "an ampersand shows as itself"},
  };
  for (const Case& c : cases) {
    auto entries = ReopenEntries(c.recent, c.current);
    std::vector<std::string> captions;
    std::vector<int> tags;
    for (auto& e : entries) {
      captions.push_back(e.Caption);
      tags.push_back(e.Tag);
    }
    EXPECT_EQ(captions, c.captions) << c.why;
    EXPECT_EQ(tags, c.tags) << c.why;
  }
}

TEST(QuerySave, AnswerAndFileNameDecide) {
  struct Case {
    bool modified;
    TSaveAnswer answer;
    const char* fileName;
    TSaveStep step;
  } cases[] = {
      {false, TSaveAnswer::Cancel, "", TSaveStep::GoOn},
      {true, TSaveAnswer::Cancel, "C:\\a.zem", TSaveStep::Stop},
      {true, TSaveAnswer::No, "", TSaveStep::GoOn},
      {true, TSaveAnswer::Yes, "C:\\a.zem", TSaveStep::Save},
      {true, TSaveAnswer::Yes, "", TSaveStep::SaveAsDialog},
  };
  for (const Case& c : cases)
    EXPECT_EQ(DecideQuerySave(c.modified, c.answer, c.fileName), c.step)
        << c.modified << " " << static_cast<int>(c.answer) << " '" << c.fileName << "'";
}

TEST(AboutBox, VersionIsTheTextUpToTheSecondDot) {
  EXPECT_EQ(AboutVersionText("2.1.0.57"), "2.1");
  EXPECT_EQ(AboutVersionText("3"), "3");
  EXPECT_EQ(AboutVersionText("3.2"), "3.2");
  EXPECT_EQ(AboutVersionText(""), "");
}

}  // namespace
