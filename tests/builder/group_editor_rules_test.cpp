// The file groups editor's decisions: row texts, time stamps, the install-directory
// choices, the platform round trip and the action states of its three pages.
#include <gtest/gtest.h>

#include "builder/common/BuilderSettings.h"
#include "builder/editors/GroupEditorRules.h"

TEST(GroupEditorRules, NameAndLocationSplitAtTheLastBackslashOrColon) {
  struct Case { const char* path; const char* name; const char* location; };
  for (const Case& c : {Case{"C:\\App\\bin\\run.exe", "run.exe", "C:\\App\\bin\\"},
                        Case{"C:run.exe", "run.exe", "C:"},
                        Case{"run.exe", "run.exe", ""},
                        Case{"C:\\App\\", "", "C:\\App\\"}}) {
    EXPECT_EQ(FileNamePart(c.path), c.name) << c.path;
    EXPECT_EQ(FilePathPart(c.path), c.location) << c.path;
  }
}

TEST(GroupEditorRules, SizeTexts) {
  struct Case { int64_t bytes; const char* list; const char* detail; };
  for (const Case& c : {Case{1048576, "1,024KB", "1,024KB (1,048,576 bytes)"},
                        Case{2000000, "2MB", "2MB (2,000,000 bytes)"},
                        Case{12345, "12KB", "12KB (12,345 bytes)"},
                        Case{3000, "3KB", "3KB (3,000 bytes)"}}) {
    std::string list = FormatSizeKMText(c.bytes, ",");
    EXPECT_EQ(list, c.list);
    EXPECT_EQ(FileSizeDetailText(c.bytes, list, ","), c.detail);
  }
  EXPECT_EQ(GroupDigits(-1, ","), "-1") << "a missing file's size";
  EXPECT_EQ(GroupDigits(999, "."), "999");
}

TEST(GroupEditorRules, TimeStampsDecodeAndLeaveMidnightsTimeOut) {
  auto date = [](const CalendarTime& t) {
    return std::to_string(t.Month) + "/" + std::to_string(t.Day) + "/" + std::to_string(t.Year);
  };
  auto time = [](const CalendarTime& t) {
    return std::to_string(t.Hour) + ":" + std::to_string(t.Minute) + ":" + std::to_string(t.Second);
  };
  // 45000 is 15 March 2023; 0.75 is 18:00.
  EXPECT_EQ(TimeStampText(45000.75, date, time), "3/15/2023 18:0:0");
  EXPECT_EQ(TimeStampText(45000.0, date, time), "3/15/2023") << "exactly midnight";
  EXPECT_EQ(TimeStampText(0.0, date, time), "") << "a missing file";
  EXPECT_EQ(TimeStampText(-3.5, date, time), "");
  CalendarTime t = DecodeDateTime(36526.5 + 1.0 / 86400 * 61);  // 1 January 2000, 12:01:01
  EXPECT_EQ(t.Year, 2000);
  EXPECT_EQ(t.Month, 1);
  EXPECT_EQ(t.Day, 1);
  EXPECT_EQ(t.Hour, 12);
  EXPECT_EQ(t.Minute, 1);
  EXPECT_EQ(t.Second, 1);
  t = DecodeDateTime(2.0);
  EXPECT_EQ(t.Year * 10000 + t.Month * 100 + t.Day, 19000101);
  std::array<std::string, 12> months{"January", "February", "March", "April", "May", "June",
                                     "July", "August", "September", "October", "November", "December"};
  EXPECT_EQ(ModifiedText(45000.75 + 5.0 / 1440, months), "15 March 2023  18:05");
}

TEST(GroupEditorRules, DestinationChoicesLeaveOutTheGroupsOwnLine) {
  std::vector<std::string> macros{"<INSTALLDIR>=C:\\App", "<WINDIR>=C:\\Windows"};
  std::vector<std::string> folders{"[Program Files]=<INSTALLDIR>", "[Help Files]=<INSTALLDIR>\\Help Files",
                                   "[Examples]=<INSTALLDIR>\\Examples"};
  EXPECT_EQ(DestinationChoices(macros, folders, "program files"),
            (std::vector<std::string>{"<INSTALLDIR>", "<WINDIR>", "[Help Files]", "[Examples]"}))
      << "the own line is found ignoring case";
  EXPECT_EQ(DestinationChoices(macros, folders, "").size(), 5u) << "a new group is offered every group";
}

TEST(GroupEditorRules, PlatformsRoundTrip) {
  struct Case { uint8_t value; bool all; std::array<bool, 4> checked; uint8_t back; };
  for (const Case& c : {Case{31, true, {}, 31},
                        Case{15, false, {true, true, true, true}, 15},
                        Case{5, false, {true, false, true, false}, 5},
                        Case{0, false, {}, 0},
                        Case{16, false, {}, 0}}) {  // other systems alone cannot be chosen
    PlatformChoice p = PlatformsToChoice(c.value);
    EXPECT_EQ(p.All, c.all) << int(c.value);
    EXPECT_EQ(p.Checked, c.checked) << int(c.value);
    EXPECT_EQ(ChoiceToPlatforms(p), c.back) << int(c.value);
  }
}

TEST(GroupEditorRules, GroupPageActions) {
  GroupPageState none;
  GroupPageActions a = DecideGroupPageActions(none);
  EXPECT_TRUE(a.NewGroup);
  EXPECT_FALSE(a.AddFiles || a.Properties || a.Delete || a.MoveUp || a.MoveDown) << "a project without groups";

  GroupPageState tree{PageFocus::Tree, false, 3, 0, 3, 2, 0, -1, 2};
  a = DecideGroupPageActions(tree);
  EXPECT_TRUE(a.AddFiles && a.Properties && a.Delete && a.MoveDown);
  EXPECT_FALSE(a.MoveUp) << "the first group";
  tree.GroupIndex = 2;
  a = DecideGroupPageActions(tree);
  EXPECT_TRUE(a.MoveUp);
  EXPECT_FALSE(a.MoveDown) << "the last group";

  GroupPageState list{PageFocus::List, false, 3, 1, 3, 4, 1, 3, 4};
  a = DecideGroupPageActions(list);
  EXPECT_TRUE(a.Properties && a.Delete && a.MoveUp);
  EXPECT_FALSE(a.MoveDown) << "the last file";
  list.SelCount = 2;
  a = DecideGroupPageActions(list);
  EXPECT_TRUE(a.Delete);
  EXPECT_FALSE(a.Properties || a.MoveUp || a.MoveDown) << "two files selected";

  GroupPageState buttons = tree;
  buttons.Focus = PageFocus::None;
  a = DecideGroupPageActions(buttons);
  EXPECT_TRUE(a.AddFiles) << "the focus does not matter";
  EXPECT_FALSE(a.Properties || a.Delete || a.MoveUp || a.MoveDown);

  tree.Editing = true;
  a = DecideGroupPageActions(tree);
  EXPECT_FALSE(a.NewGroup || a.AddFiles || a.Properties || a.Delete || a.MoveUp || a.MoveDown);

  EXPECT_EQ(PropertiesHint(PageFocus::Tree), "Group Properties");
  EXPECT_EQ(PropertiesHint(PageFocus::List), "File Properties");
  EXPECT_EQ(PropertiesHint(PageFocus::None), "Properties");
  EXPECT_EQ(DeleteHint(PageFocus::Tree), "Delete Group");
  EXPECT_EQ(DeleteHint(PageFocus::List), "Delete Selected Files");
  EXPECT_EQ(DeleteHint(PageFocus::None), "Delete");
}

TEST(GroupEditorRules, ComponentAndSetupTypePageActions) {
  MemberPageState typeNode{PageFocus::Tree, false, 5, 0, 3, 0};
  MemberPageActions c = DecideComponentPageActions(typeNode);
  MemberPageActions t = DecideInstallTypePageActions(typeNode);
  EXPECT_TRUE(c.Properties && c.Delete) << "a component node has both";
  EXPECT_FALSE(t.Properties || t.Delete) << "a setup type has neither";
  EXPECT_FALSE(c.NewGroup) << "only while the list has the focus";
  MemberPageState member = typeNode;
  member.SelectedLevel = 1;
  t = DecideInstallTypePageActions(member);
  EXPECT_TRUE(t.Properties && t.Delete);
  MemberPageState list{PageFocus::List, false, 5, -1, 3, 2};
  c = DecideComponentPageActions(list);
  EXPECT_TRUE(c.NewGroup && c.Delete);
  EXPECT_FALSE(c.Properties) << "two items selected";
  MemberPageState emptyList{PageFocus::List, false, 5, -1, 0, 0};
  EXPECT_TRUE(DecideComponentPageActions(emptyList).NewGroup);
  EXPECT_FALSE(DecideComponentPageActions(emptyList).Delete);
  list.Editing = true;
  c = DecideComponentPageActions(list);
  EXPECT_FALSE(c.New || c.NewGroup || c.Properties || c.Delete);
}

TEST(GroupEditorRules, DeletingTheSecondOfTwoEquallyNamedGroupsFreesThatOne) {
  TTandrelBaseInstall project;
  TTandrelFileGroup* twin = project.Groups.Add();
  twin->Owner = &project;
  twin->SetName("examples");
  twin->Files.Add()->FileName = "C:\\second.txt";
  project.Groups[2]->Files.Add()->FileName = "C:\\first.txt";
  DeleteGroupObject(project, twin);
  ASSERT_EQ(project.Groups.Count(), 3);
  EXPECT_EQ(project.Groups[2]->Files[0]->FileName, "C:\\first.txt") << "by name, the first would have gone";
  EXPECT_TRUE(project.Components[2]->Groups.empty()) << "its name leaves the components as by name";

  TTandrelComponent* copy = project.Components.Add();
  copy->Owner = &project;
  copy->SetName("Application Files");
  copy->Description = "second";
  DeleteComponentObject(project, copy);
  ASSERT_EQ(project.Components.Count(), 3);
  EXPECT_EQ(project.Components[0]->Description, "Files required to run the application");
  EXPECT_EQ(project.InstallTypes[0]->Components,
            (TStrings{"Help and Tutorial Files", "Example Files"}));
}
