// The engine's texts come from the program's string table (here one in other words,
// tests/engine/fixtures/translated_strings.rc), as a translated engine carries it.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "base/win/Application.h"
#include "base/win/TestSeams.h"
#include "setup/engine/BackgroundForm.h"
#include "setup/engine/CopyRules.h"
#include "setup/engine/InstallMain.h"
#include "setup/engine/SetupCopyFiles.h"
#include "setup/engine/WizardFlow.h"

using namespace base::win;

namespace {

TTandrelDialogTypes Types(std::initializer_list<TTandrelDialogType> pages) {
  unsigned bits = 0;
  for (auto p : pages) bits |= SetBit(p);
  return static_cast<TTandrelDialogTypes>(bits);
}

TEST(TranslatedTable, SettingsSummaryTakesEveryHeadingFromTheTable) {
  TWizardChoice c;
  c.ChosenDir = "C:\\Prog";
  c.UserName = "Ada";
  c.UserCompany = "AE";
  c.ProgramFolder = "Demo";
  const auto all = Types({dtSetupType, dtUser, dtSelectFolder});
  EXPECT_EQ(SettingsLines(all, c),
            (std::vector<std::string>{"T65220", "T65221", "", "T65225", "    C:\\Prog", "", "T65226", "    User: Ada",
                                      "    Company: AE", "", "T65227", "    Demo", ""}));
  struct Case {
    bool typical, compact;
    TTandrelDialogTypes types;
    const char* line;
  } cases[] = {
      {false, true, all, "T65222"},
      {false, false, all, "T65223"},
      {true, false, Types({dtWelcome}), "T65224"},
  };
  for (const auto& k : cases) {
    c.Typical = k.typical;
    c.Compact = k.compact;
    c.Custom = !k.typical && !k.compact;
    EXPECT_EQ(SettingsLines(k.types, c).at(1), k.line);
  }
}

TEST(TranslatedTable, CopyQuestionAndOtherTaskCaptionsComeFromTheTable) {
  EXPECT_EQ(CopyErrorQuestion("result"), "T65285 result T65286");
  EXPECT_EQ(OtherTaskCaption(kOtherShortcuts), "T65288");
  EXPECT_EQ(OtherTaskCaption(kOtherIniValues), "T65289");
  EXPECT_EQ(OtherTaskCaption(kOtherRegistry), "T65290");
}

TEST(TranslatedTable, FormsAndMessagesShowTheTablesWords) {
  seams::Reset();
  seams::Arm();
  TTandrelBaseInstall p;
  {
    TfrmBackground form;
    form.Project = &p;
    form.NoStart = true;
    std::string caption;
    seams::WhenShown<TfrmBackground>([&](TfrmBackground& b) {
      caption = b.Caption();
      b.SetModalResult(mrOk);
    });
    seams::Watchdog dog(30, "background caption");
    form.ShowModal();
    EXPECT_EQ(caption, "T65207");
  }
  {
    TfrmCopyFiles form(p);
    seams::QueueMessageAnswer(mrNo);
    form.Button1Click();
  }
  App().SetCommandLine("TandrelInstall.exe /SOURCE=C:\\no\\such\\package.exe");
  RunInstall();
  std::vector<std::string> texts;
  for (const auto& m : seams::Messages()) texts.push_back(m.Text);
  EXPECT_EQ(texts, (std::vector<std::string>{"T65287", "T65208"}));
  seams::Reset();
}

}  // namespace
