#include <gtest/gtest.h>

#include <initializer_list>
#include <string>
#include <vector>

#include "resources/engine/DialogsForm.rh"
#include "resources/engine_strings.h"
#include "setup/engine/WizardFlow.h"
#include "setup/services/InstGlobal.h"

namespace {

TTandrelDialogTypes Set(std::initializer_list<TTandrelDialogType> pages) {
  TTandrelDialogTypes s = 0;
  for (auto p : pages) s |= static_cast<TTandrelDialogTypes>(SetBit(p));
  return s;
}

const TTandrelDialogTypes kDefault = 0x03FF;  // welcome .. progress
constexpr TTandrelDialogType B = dtBlank;

// ---------------------------------------------------------------- navigation

struct NavCase {
  const char* why;
  TTandrelDialogTypes types;
  bool custom;
  TTandrelDialogType page;
  TTandrelDialogType next;
  TTandrelDialogType previous;
};

const NavCase kNav[] = {
    {"default set, welcome", kDefault, false, dtWelcome, dtLicense, B},
    {"default set, setup type skips the components page", kDefault, false, dtSetupType, dtSelectFolder, dtDestination},
    {"default set, Custom reaches the components page", kDefault, true, dtSetupType, dtCustom, dtDestination},
    {"Back from the program folder skips components without Custom", kDefault, false, dtSelectFolder, dtStartCopying,
     dtSetupType},
    {"Back from the program folder with Custom", kDefault, true, dtSelectFolder, dtStartCopying, dtCustom},
    {"start copying: progress is never a page", kDefault, false, dtStartCopying, B, dtSelectFolder},
    {"start copying with billboards and complete", Set({dtStartCopying, dtProgress, dtBillboards, dtComplete}), false,
     dtStartCopying, dtComplete, B},
    {"user and complete: Back disabled, Next is the complete page", Set({dtUser, dtComplete}), false, dtUser,
     dtComplete, B},
    {"first page after a missing welcome has no Back", Set({dtLicense, dtUser, dtStartCopying}), false, dtLicense,
     dtUser, B},
    {"Back reaches the welcome page when it is in the set", Set({dtWelcome, dtUser}), false, dtUser, B, dtWelcome},
    {"complete page: nothing after, Back to start copying", Set({dtStartCopying, dtComplete}), false, dtComplete, B,
     dtStartCopying},
    {"complete page behind run points", Set({dtReadme, dtProgress, dtBillboards, dtComplete}), false, dtComplete, B,
     dtReadme},
    {"components page only member: Custom off has no way to it", Set({dtWelcome, dtCustom}), false, dtWelcome, B, B},
    {"components page only member: Custom on", Set({dtWelcome, dtCustom}), true, dtWelcome, dtCustom, B},
    {"components page as the current page without Custom", Set({dtSetupType, dtCustom, dtSelectFolder}), false,
     dtCustom, dtSelectFolder, dtSetupType},
    {"exit and blank have no page", Set({dtStartCopying, dtExit, dtBlank}), false, dtStartCopying, B, B},
    {"a page past the complete page goes nowhere next", Set({dtWelcome, dtComplete, dtExit}), false, dtExit, B,
     dtComplete},
    {"blank as the page", Set({dtWelcome, dtStartCopying}), false, dtBlank, B, dtStartCopying},
};

TEST(WizardFlow, NextAndPreviousPage) {
  for (const auto& c : kNav) {
    SCOPED_TRACE(c.why);
    EXPECT_EQ(NextWizardPage(c.types, c.page, c.custom), c.next);
    EXPECT_EQ(PreviousWizardPage(c.types, c.page, c.custom), c.previous);
  }
}

TEST(WizardFlow, WalkingTheDefaultSetVisitsEveryPageOnce) {
  for (bool custom : {false, true}) {
    std::vector<int> seen;
    TTandrelDialogType p = FirstWizardPage(kDefault);
    while (p != dtBlank) {
      seen.push_back(p);
      p = NextWizardPage(kDefault, p, custom);
    }
    std::vector<int> want = {0, 1, 2, 3, 4, 5, 6, 7, 8};
    if (!custom) want.erase(want.begin() + 6);
    EXPECT_EQ(seen, want) << "custom " << custom;
    // And back down again from the last.
    std::vector<int> back;
    p = dtStartCopying;
    while (p != dtBlank) {
      back.insert(back.begin(), p);
      p = PreviousWizardPage(kDefault, p, custom);
    }
    EXPECT_EQ(back, want);
  }
}

TEST(WizardFlow, FirstPageIsTheLowestPageBeforeCopying) {
  struct {
    TTandrelDialogTypes types;
    TTandrelDialogType first;
  } cases[] = {
      {kDefault, dtWelcome},
      {Set({dtUser, dtComplete}), dtUser},
      {Set({dtStartCopying}), dtStartCopying},
      {0, B},
      {Set({dtProgress, dtComplete}), B},
      {Set({dtComplete}), B},
      {Set({dtBlank}), B},
      {0x8000, B},  // an ordinal past the named points
  };
  for (const auto& c : cases) EXPECT_EQ(FirstWizardPage(c.types), c.first) << std::hex << c.types;
}

// ---------------------------------------------------------------- the selection

// Two components over three groups; "Docs" only for the NT family; "Ghost" is named but missing.
void MakeProject(TTandrelBaseInstall& p) {
  p.Groups.Clear();
  p.Components.Clear();
  auto group = [&](const char* name, TWindowsVersions platforms, std::vector<int32_t> sizes) {
    TTandrelFileGroup* g = p.Groups.Add();
    g->Owner = &p;
    g->SetName(name);
    g->Description = std::string(name) + " files";
    g->UpdatePlatforms = platforms;
    for (int32_t s : sizes) g->Files.Add()->Size = s;
  };
  group("Main", AllWindowsVersions, {1000, 24});
  group("Docs", WindowsVersionBit(wvNT4) | WindowsVersionBit(wvNT5), {4096});
  group("Extras", AllWindowsVersions, {});
  auto component = [&](const char* name, std::vector<std::string> groups) {
    TTandrelComponent* c = p.Components.Add();
    c->Owner = &p;
    c->SetName(name);
    c->Description = std::string("about ") + name;
    c->Groups = groups;
  };
  component("Program", {"main", "Ghost", "Extras"});
  component("Manual", {"Docs"});
  for (auto* t : p.InstallTypes) t->Owner = &p;
  p.FindInstallType("Typical")->Components = {"Program", "Nowhere", "Manual"};
  p.FindInstallType("Compact")->Components = {"Program"};
  p.FindInstallType("Custom")->Components = {"Manual", "Program"};
}

std::string Describe(const TInstallInfo& info) {
  std::string out;
  for (auto& c : info.Components) {
    out += c->Name + (c->Selected() ? "+" : "-") + "[";
    for (auto& g : c->Groups) out += g->Name + ":" + std::to_string(g->Size) + (g->Selected ? "+" : "-") + " ";
    out += "] ";
  }
  return out;
}

TEST(WizardFlow, BuildInstallInfoFiltersByPlatformAndSkipsMissingNames) {
  TTandrelBaseInstall p;
  MakeProject(p);
  struct {
    const char* why;
    std::string type;
    TWindowsVersion version;
    bool anyPlatform;
    std::string want;
  } cases[] = {
      {"Windows 98 drops the NT-only manual", "Typical", wv98, false, "Program+[Main:1024+ Extras:0+ ] "},
      {"NT 4 keeps it", "Typical", wvNT4, false, "Program+[Main:1024+ Extras:0+ ] Manual+[Docs:4096+ ] "},
      {"preview takes every group", "Typical", wv95, true, "Program+[Main:1024+ Extras:0+ ] Manual+[Docs:4096+ ] "},
      {"setup type looked up without case", "compact", wvNT5, false, "Program+[Main:1024+ Extras:0+ ] "},
      {"order of the setup type", "Custom", wvNT5, false, "Manual+[Docs:4096+ ] Program+[Main:1024+ Extras:0+ ] "},
      {"unknown setup type", "Full", wvNT5, false, ""},
      {"no setup type chosen", "", wvNT5, false, ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.why);
    auto info = BuildInstallInfo(p, c.type, c.version, c.anyPlatform);
    ASSERT_NE(info, nullptr);
    EXPECT_EQ(Describe(*info), c.want);
  }
  auto info = BuildInstallInfo(p, "Typical", wvNT4, false);
  EXPECT_EQ(info->Components[0]->Description, "about Program");
  EXPECT_EQ(info->Components[0]->Groups[0]->Description, "Main files");
  EXPECT_EQ(info->GetTotalSize(), 1024 + 4096);
}

TEST(WizardFlow, SetupTypeNameFollowsTheRadioButtonsOnlyWithTheSetupTypePage) {
  EXPECT_EQ(ChosenSetupTypeName(kDefault, true, false), "Typical");
  EXPECT_EQ(ChosenSetupTypeName(kDefault, false, true), "Compact");
  EXPECT_EQ(ChosenSetupTypeName(Set({dtWelcome}), false, true), "Typical");
}

TEST(WizardFlow, FinishActionValues) {
  struct {
    bool restart, now, run, readMe;
    uint8_t want;
  } cases[] = {
      {true, true, true, true, 4},    // the restart page ignores the run boxes
      {true, false, true, false, 1},  //
      {false, false, false, false, 0},
      {false, false, true, false, 8},
      {false, false, false, true, 16},
      {false, true, true, true, 24},
  };
  for (const auto& c : cases)
    EXPECT_EQ(FinishActionFor(c.restart, c.now, c.run, c.readMe), c.want)
        << c.restart << c.now << c.run << c.readMe;
}

// ---------------------------------------------------------------- texts

TEST(WizardFlow, FormatAppTextFillsEveryPlaceholderAndKeepsPercentInTheName) {
  EXPECT_EQ(FormatAppText(IDS_WIZ_WELCOME1_TEXT, "100% Pure %s"),
            "Welcome to the 100% Pure %s Setup program. This program will install 100% Pure %s on your computer.");
  EXPECT_EQ(FormatAppText(IDS_WIZ_RUN_APP_TEXT, "Zed"), " &Run Zed now.");
  EXPECT_EQ(FormatAppText("50%% of %s", "%d"), "50% of %d");
  EXPECT_EQ(FormatAppText("ends in %", "x"), "ends in %");
  EXPECT_EQ(FormatAppText("", "x"), "");
}

TEST(WizardFlow, SettingsLines) {
  TWizardChoice c;
  c.ChosenDir = "C:\\Program Files\\100%s";
  c.UserName = "Ann %s";
  c.UserCompany = "";
  c.ProgramFolder = "Tools %d";
  using L = std::vector<std::string>;
  EXPECT_EQ(SettingsLines(kDefault, c),
            (L{"Setup Type:", "    Typical", "", "Target Folder:", "    C:\\Program Files\\100%s", "",
               "User Information:", "    User: Ann %s", "    Company: ", "", "Program Group:", "    Tools %d", ""}));
  c.Typical = false;
  c.Compact = true;
  EXPECT_EQ(SettingsLines(Set({dtSetupType, dtStartCopying}), c),
            (L{"Setup Type:", "    Compact", "", "Target Folder:", "    C:\\Program Files\\100%s", ""}));
  c.Compact = false;
  c.Custom = true;
  EXPECT_EQ(SettingsLines(Set({dtSetupType}), c)[1], "    Custom");
  EXPECT_EQ(SettingsLines(Set({dtStartCopying}), c),
            (L{"Setup Type:", "    Full", "", "Target Folder:", "    C:\\Program Files\\100%s", ""}));
}

TEST(WizardFlow, EveryPageTextHasAWordAndEveryPageAFrame) {
  for (int page = 0; page < kDialogTypeCount; ++page) {
    for (bool restart : {false, true}) {
      auto texts = PageTexts(static_cast<TTandrelDialogType>(page), restart);
      bool hasPage = page <= dtStartCopying || page == dtComplete;
      EXPECT_EQ(!texts.empty(), hasPage) << page;
      if (texts.empty()) continue;
      EXPECT_EQ(texts[0].ControlId, 0) << "title first, page " << page;
      for (const auto& t : texts)
        EXPECT_TRUE(!WizardDefaultText(t.StringId).empty() || t.StringId == IDS_WIZ_WELCOME4 ||
                    t.StringId == IDS_WIZ_WELCOME5)
            << t.StringId;
    }
  }
  EXPECT_EQ(WizardDefaultText(IDS_WIZ_CONFIRM_CANCEL),
            "Setup is not complete. If you quit the setup process now, the program will not be installed.\r\r"
            "Are you sure you want to quit the setup routine?");
  EXPECT_EQ(WizardDefaultText(IDS_SIZE_K), "");
}

TEST(WizardFlow, FreeSpaceRootNeedsADriveLetter) {
  EXPECT_EQ(FreeSpaceRoot("c:\\Program Files\\App"), "C:\\");
  EXPECT_EQ(FreeSpaceRoot("D:"), "D:\\");
  EXPECT_EQ(FreeSpaceRoot(""), "");
  EXPECT_EQ(FreeSpaceRoot("\\\\server\\share\\App"), "");
  EXPECT_EQ(FreeSpaceRoot("relative\\App"), "");
  EXPECT_EQ(FreeSpaceRoot("1:\\x"), "");
}

// ---------------------------------------------------------------- committing

class CommitTest : public ::testing::Test {
protected:
  void SetUp() override {
    ResetInstGlobalState();
    MakeProject(p);
    p.InstallDir = "<ProgramFilesDir>\\Zed";
    SetDirMacro("<ProgramFilesDir>", "C:\\Apps");
    pending = BuildInstallInfo(p, "Custom", wvNT5, false);
  }
  void TearDown() override { ResetInstGlobalState(); }
  TTandrelBaseInstall p;
  std::unique_ptr<TInstallInfo> pending;
};

TEST_F(CommitTest, TypicalRebuildsTheSelectionAndHandsItToTheProject) {
  TWizardChoice c;
  c.UserName = "Ann";
  c.UserCompany = "Firm";
  c.ProgramFolder = "Zed Tools";
  CommitWizard(p, pending, c, wv98, false);
  EXPECT_EQ(pending, nullptr);
  ASSERT_NE(p.InstallInfo, nullptr);
  EXPECT_EQ(Describe(*p.InstallInfo), "Program+[Main:1024+ Extras:0+ ] ");
  EXPECT_EQ(p.InstallInfo->InstallDir, "C:\\Apps\\Zed");
  EXPECT_EQ(p.InstallInfo->ProgramFolder, "Zed Tools");
  EXPECT_EQ(p.InstallInfo->UserName, "Ann");
  EXPECT_EQ(p.InstallInfo->UserCompany, "Firm");
  // The user page's fields reach the project even without a Next on that page.
  EXPECT_EQ(p.UserName, "Ann");
  EXPECT_EQ(p.UserCompany, "Firm");
  // A later DLL extension starts from the chosen folder.
  EXPECT_EQ(p.InstallDir, "C:\\Apps\\Zed");
  EXPECT_EQ(GetDirMacro("<INSTALLDIR>"), "C:\\Apps\\Zed");
  EXPECT_EQ(UserVariables().Count(), p.InstFolders.size());
}

TEST_F(CommitTest, CustomKeepsTheEditedSelection) {
  pending->Components[0]->SetSelected(false);
  TWizardChoice c;
  c.Typical = false;
  c.Custom = true;
  c.ChosenDir = "D:\\Elsewhere";
  p.DialogTypes = Set({dtCustom, dtStartCopying});
  CommitWizard(p, pending, c, wvNT5, false);
  ASSERT_NE(p.InstallInfo, nullptr);
  EXPECT_EQ(Describe(*p.InstallInfo), "Manual-[Docs:4096- ] Program+[Main:1024+ Extras:0+ ] ");
  EXPECT_EQ(p.InstallInfo->InstallDir, "D:\\Elsewhere");
  // Without the user and program-folder pages their fields stay empty.
  EXPECT_EQ(p.InstallInfo->UserName, "");
  EXPECT_EQ(p.InstallInfo->ProgramFolder, "");
  EXPECT_EQ(p.UserName, "");
}

TEST_F(CommitTest, PreviewStoresNothingButSetsTheMacros) {
  p.InstFolders = {"[Main]=<INSTALLDIR>\\bin"};
  TWizardChoice c;
  c.UserName = "Ann";
  c.ChosenDir = "E:\\Try";
  CommitWizard(p, pending, c, wvNT5, true);
  EXPECT_NE(pending, nullptr);
  EXPECT_EQ(p.InstallInfo, nullptr);
  EXPECT_EQ(p.UserName, "");
  EXPECT_EQ(p.InstallDir, "<ProgramFilesDir>\\Zed");
  EXPECT_EQ(GetDirMacro("<INSTALLDIR>"), "E:\\Try");
  EXPECT_EQ(ExpandMacros("[main]"), "E:\\Try\\bin");
}

}  // namespace
