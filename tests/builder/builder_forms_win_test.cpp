// The builder's dialogs under Wine: general settings (Browse reads the version block; Cancel
// leaves the project byte for byte), the rich-text editor, the about box and the previews
// of the engine's own forms.
#include <gtest/gtest.h>
#include <windows.h>
#include <richedit.h>

#include <filesystem>
#include <string>

#include "base/win/Application.h"
#include "base/win/TestSeams.h"
#include "builder/common/EditorForm.h"
#include "builder/common/Previews.h"
#include "builder/shell/AboutForm.h"
#include "builder/shell/GeneralForm.h"
#include "setup/engine/BackgroundForm.h"
#include "setup/engine/DialogsForm.h"
#include "tests/harness/FormDriver.h"
#include "tests/harness/WindowPixels.h"

using namespace base::win;
namespace fs = std::filesystem;

namespace {

class BuilderForms : public ::testing::Test {
protected:
  void SetUp() override {
    seams::Reset();
    seams::Arm();
  }
  void TearDown() override { seams::Reset(); }
  seams::Watchdog dog{60, "builder forms test"};
};

// Every project holds the six root keys; keys the form adds lie below them.
constexpr int kRootKeys = 6;
int KeyCount(const base::Collection<TTandrelRegKey>& keys) {
  int n = 0;
  for (const TTandrelRegKey* k : keys) n += 1 + KeyCount(k->Keys);
  return n;
}

// Runs the general settings on the project with a script for the open dialog's answers.
bool RunGeneral(TTandrelBaseInstall& p, const std::function<void(TfrmGeneral&)>& script) {
  seams::WhenShown<TfrmGeneral>(script);
  return ExecuteGeneralSettings(p);
}

TEST_F(BuilderForms, BrowseFillsTheFieldsFromTheVersionBlockAndOkStoresThem) {
  TTandrelBaseInstall p;
  p.GetGroup(0)->SetName("Main");
  seams::QueueFileAnswer(std::string(VERSIONED_EXE));
  ASSERT_TRUE(RunGeneral(p, [](TfrmGeneral& g) {
    g.btnBrowse.Click();
    EXPECT_EQ(g.edtApplication.Text(), "App");
    EXPECT_EQ(g.edtVersion.Text(), "2.1");
    EXPECT_EQ(g.edtCompany.Text(), "Acme");
    EXPECT_EQ(g.edtInstallDir.Text(), "<ProgramFilesDir>\\Acme");
    EXPECT_EQ(g.edtExecutable.Text(), "[Main]\\versioned_app.exe");
    EXPECT_FALSE(g.edtExecutable.Enabled());
    g.btnOk.Click();
  }));
  EXPECT_TRUE(p.CompletedGeneral);
  EXPECT_TRUE(p.Modified);
  EXPECT_EQ(p.ApplicationName(), "App");
  EXPECT_EQ(p.Executable, "[Main]\\versioned_app.exe");
  ASSERT_EQ(p.GetGroup(0)->Files.Count(), 1);
  EXPECT_EQ(p.GetGroup(0)->Files[0]->FileName, std::string(VERSIONED_EXE));
  // Under HKEY_LOCAL_MACHINE, the one root of the six that gets a sub-key, the whole path
  // SOFTWARE\Acme\App\2.1 and nothing else.
  EXPECT_EQ(p.GetRegKey(2)->KeyName, "HKEY_LOCAL_MACHINE");
  EXPECT_EQ(KeyCount(p.GetRegKey(2)->Keys), 4);
  EXPECT_EQ(KeyCount(p.Registry), kRootKeys + 4);
  EXPECT_EQ(p.AddRegKey("HKEY_LOCAL_MACHINE\\SOFTWARE\\Acme\\App\\2.1")->KeyName, "2.1");
  EXPECT_EQ(KeyCount(p.Registry), kRootKeys + 4) << "the path was there already";
}

TEST_F(BuilderForms, AnExecutableWithoutVersionChangesOnlyItsField) {
  TTandrelBaseInstall p;
  p.SetApplicationName("Mine");
  seams::QueueFileAnswer(std::string(PLAIN_EXE));
  ASSERT_TRUE(RunGeneral(p, [](TfrmGeneral& g) {
    g.btnBrowse.Click();
    EXPECT_EQ(g.edtApplication.Text(), "Mine");
    EXPECT_EQ(g.edtVersion.Text(), "");
    EXPECT_EQ(g.edtCompany.Text(), "");
    EXPECT_EQ(g.edtExecutable.Text(), "[Program Files]\\plain_app.exe");
    g.edtCompany.SetText("Firm");
    g.btnOk.Click();
  }));
  // An empty version: no registry key beyond the roots every project holds.
  EXPECT_EQ(KeyCount(p.Registry), kRootKeys);
}

TEST_F(BuilderForms, CancelAfterBrowseLeavesTheProjectByteForByte) {
  for (bool withGroups : {true, false}) {
    TTandrelBaseInstall p;
    if (!withGroups)
      while (p.Groups.Count() > 0) p.Groups.Delete(0);
    const std::vector<uint8_t> before = p.SaveToBytes();
    seams::QueueFileAnswer(std::string(VERSIONED_EXE));
    EXPECT_FALSE(RunGeneral(p, [](TfrmGeneral& g) {
      g.btnBrowse.Click();
      g.edtApplication.SetText("Changed");
      g.btnCancel.Click();
    }));
    EXPECT_EQ(p.SaveToBytes(), before) << withGroups;
    EXPECT_FALSE(p.CompletedGeneral);
    EXPECT_FALSE(p.Modified);
  }
}

TEST_F(BuilderForms, LeavingTheCompanyRefillsAnEmptyFolder) {
  TTandrelBaseInstall p;
  p.InstallDir = "<ProgramFilesDir>\\Old";
  ASSERT_TRUE(RunGeneral(p, [](TfrmGeneral& g) {
    g.edtInstallDir.SetText("");
    g.edtCompany.SetText("Acme");
    g.edtCompany.Focus();
    g.edtApplication.Focus();
    EXPECT_EQ(g.edtInstallDir.Text(), "<ProgramFilesDir>\\Acme");
    g.edtCompany.Focus();
    g.edtVersion.Focus();
    EXPECT_EQ(g.edtInstallDir.Text(), "<ProgramFilesDir>\\Acme");  // not empty: left alone
    g.btnOk.Click();
  }));
  EXPECT_EQ(p.InstallDir, "<ProgramFilesDir>\\Acme");
  EXPECT_EQ(p.CompanyName(), "Acme");
}

// --- the rich-text editor

std::string EditWith(std::string text, const std::function<void(TfrmEditor&)>& script, bool* ok = nullptr) {
  seams::WhenShown<TfrmEditor>(script);
  bool result = EditRichTextWide(text, true, clWindow);
  if (ok) *ok = result;
  return text;
}

TEST_F(BuilderForms, EditorGivesBackEmptyOrRichText) {
  bool ok = false;
  EXPECT_EQ(EditWith("", [](TfrmEditor& e) { e.btnOk.Click(); }, &ok), "");
  EXPECT_TRUE(ok);
  const std::string back = EditWith("Plain licence text", [](TfrmEditor& e) {
    EXPECT_EQ(e.reEditor.PlainText().substr(0, 18), "Plain licence text");
    e.btnOk.Click();
  });
  EXPECT_EQ(back.compare(0, 5, "{\\rtf"), 0) << back;
  EXPECT_NE(back.find("Plain licence text"), std::string::npos);
  // The opener's size is the client size.
  EditWith("", [](TfrmEditor& e) {
    RECT c = e.ClientRect();
    EXPECT_EQ(c.right, 448);
    EXPECT_EQ(c.bottom, 240);
    e.btnCancel.Click();
  });
}

TEST_F(BuilderForms, TheCaretInBoldCentredTextPressesBoldAndCentre) {
  const std::string rtf = "{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}\\pard\\qc\\f0\\fs24\\b Bold centre\\b0\\par\\pard plain\\par}";
  const std::string back = EditWith(rtf, [&](TfrmEditor& e) {
    const std::string before = e.reEditor.PlainText();
    e.reEditor.Send(EM_SETSEL, 3, 3);
    wintest::Pump(20);
    EXPECT_TRUE(e.ToolBar1.Down(IDC_EDT_BoldButton));
    EXPECT_TRUE(e.ToolBar1.Down(IDC_EDT_CenterAlign));
    EXPECT_FALSE(e.ToolBar1.Down(IDC_EDT_LeftAlign));
    EXPECT_EQ(e.FontSize.Text(), "12");
    EXPECT_EQ(e.FontName.Text(), "Arial");
    EXPECT_FALSE(e.ToolBar1.ButtonEnabled(IDC_EDT_CopyButton));
    EXPECT_EQ(e.reEditor.PlainText(), before);
    // In the plain paragraph: nothing pressed but Align Left.
    e.reEditor.Send(EM_SETSEL, 14, 14);
    EXPECT_FALSE(e.ToolBar1.Down(IDC_EDT_BoldButton));
    EXPECT_TRUE(e.ToolBar1.Down(IDC_EDT_LeftAlign));
    // A selection enables copy and cut; Italic formats it.
    e.reEditor.Send(EM_SETSEL, 13, 18);
    EXPECT_TRUE(e.ToolBar1.ButtonEnabled(IDC_EDT_CopyButton));
    EXPECT_TRUE(e.mnuCut.Enabled());
    e.ToolBar1.Press(IDC_EDT_ItalicButton);
    e.btnOk.Click();
  });
  EXPECT_NE(back.find("\\i "), std::string::npos) << back;
}

TEST_F(BuilderForms, FontSizesTheRichEditCannotHoldChangeNothing) {
  const std::string rtf = "{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}\\pard\\f0\\fs24 Sized text\\par}";
  auto selectionSize = [](TfrmEditor& e) {
    CHARFORMATA cf{};
    cf.cbSize = sizeof cf;
    e.reEditor.Send(EM_GETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&cf));
    return static_cast<int>(cf.yHeight / 20);
  };
  EditWith(rtf, [&](TfrmEditor& e) {
    e.reEditor.Send(EM_SETSEL, 0, 5);
    wintest::Pump(20);
    ASSERT_EQ(selectionSize(e), 12);
    const struct {
      const char* typed;
      bool beep;
      const char* message;
    } refused[] = {
        {"99999999999", false, "'99999999999' is not a valid integer value."},
        {"abc", false, "'abc' is not a valid integer value."},
        {"5000", true, nullptr},
        {"0", true, nullptr},
        {"-7", true, nullptr},
    };
    for (const auto& c : refused) {
      const int beeps = seams::BeepCount();
      seams::ClearMessages();
      e.FontSize.Focus();
      e.FontSize.SetText(c.typed);  // the field's change event, as a keystroke sends it
      wintest::Pump(20);
      EXPECT_EQ(selectionSize(e), 12) << c.typed;
      EXPECT_EQ(seams::BeepCount(), beeps + (c.beep ? 1 : 0)) << c.typed;
      if (c.message) {
        ASSERT_EQ(seams::Messages().size(), 1u) << c.typed;
        EXPECT_EQ(seams::Messages()[0].Text, c.message);
      } else {
        EXPECT_TRUE(seams::Messages().empty()) << c.typed;
        EXPECT_TRUE(wintest::HasFocus(e.FontSize.Handle())) << c.typed;
      }
    }
    e.FontSize.SetText("1638");
    wintest::Pump(20);
    EXPECT_EQ(selectionSize(e), 1638);
    e.btnCancel.Click();
  });
}

TEST_F(BuilderForms, CancelLeavesTheCallersTextEvenAfterEdits) {
  bool ok = true;
  const std::string text = "{\\rtf1 Original\\par}";
  EXPECT_EQ(EditWith(text, [](TfrmEditor& e) {
    e.reEditor.Send(EM_SETSEL, 0, -1);
    e.reEditor.Send(EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>("Edited"));
    EXPECT_TRUE(e.ToolBar1.ButtonEnabled(IDC_EDT_UndoButton));
    e.btnCancel.Click();
  }, &ok), text);
  EXPECT_FALSE(ok);
}

TEST_F(BuilderForms, TheToolBarShowsEveryButtonAndBothFontBoxesAtBothSizes) {
  EditWith("", [](TfrmEditor& e) {
    for (SIZE size : {SIZE{448, 240}, SIZE{311, 297}}) {
      SCOPED_TRACE(size.cx);
      e.SetClientSize(size.cx, size.cy);
      const wintest::WindowPixels shot(e.Handle(), "rich_editor_" + std::to_string(size.cx));
      RECT client = e.ClientRect(), bar = e.ToolBar1.Bounds();
      // A bar too wide for the window wraps to a second row: no button is cut off.
      const int buttons = static_cast<int>(e.ToolBar1.Send(TB_BUTTONCOUNT));
      for (int i = 0; i < buttons; ++i) {
        RECT r = e.ToolBar1.ButtonRect(i);
        EXPECT_LE(bar.left + r.right, client.right) << i;
        EXPECT_LE(bar.top + r.bottom, bar.bottom) << i;
      }
      EXPECT_GE(e.reEditor.Bounds().top, bar.bottom);
      // The boxes show over the bar: the name's edit and the size field are white there.
      for (HWND box : {GetWindow(e.FontName.Handle(), GW_CHILD), e.FontSize.Handle()}) {
        ASSERT_TRUE(box);
        RECT r;
        GetClientRect(box, &r);
        EXPECT_EQ(shot.At(box, r.right - 3, r.bottom / 2), GetSysColor(COLOR_WINDOW));
      }
    }
    // The editor keeps the size it closes with for the next opener.
    e.SetClientSize(448, 240);
    e.btnCancel.Click();
  });
}

TEST_F(BuilderForms, FontBoxesHintTheirUseAndTheHintGoesWithTheEditor) {
  std::vector<std::string> status;
  App().SetOnHint([&](const std::string& hint) { status.push_back(hint); });
  EditWith("", [](TfrmEditor& e) {
    struct Case {
      HWND box;
      const char* hint;
      const char* tip;
      const char* status;
    } cases[] = {{e.FontName.Handle(), "Font Name|Select font name", "Font Name", "Select font name"},
                 {e.FontSize.Handle(), "Font Size|Select font size", "Font Size", "Select font size"}};
    for (const Case& c : cases) {
      EXPECT_EQ(e.ControlHint(c.box), c.hint);
      EXPECT_EQ(e.ControlToolTip(c.box), c.tip);
      // The mouse over the box (over the name box's edit part too) puts the long part up.
      HWND part = GetWindow(c.box, GW_CHILD) ? GetWindow(c.box, GW_CHILD) : c.box;
      SendMessageA(part, WM_MOUSEMOVE, 0, MAKELPARAM(3, 3));
      EXPECT_EQ(App().Hint(), c.status);
    }
    e.btnCancel.Click();
  });
  // Closed, the editor leaves no hint of its own behind.
  EXPECT_EQ(App().Hint(), "");
  ASSERT_FALSE(status.empty());
  EXPECT_EQ(status.back(), "");
  App().SetOnHint(nullptr);
}

// --- about box and previews

TEST_F(BuilderForms, AboutBoxShowsVersionAndBuildOfTheVersionBlock) {
  struct Case {
    const char* file;
    const char* version;
    const char* build;
  } cases[] = {{VERSIONED_EXE, "2.1", "2.1.0.57"}, {PLAIN_EXE, "", ""}};
  for (const Case& c : cases) {
    TfrmAbout about;
    about.ExeFileName = c.file;
    seams::WhenShown<TfrmAbout>([&](TfrmAbout& a) {
      EXPECT_EQ(a.lblVersion.Caption(), c.version);
      EXPECT_EQ(a.lblBuild.Caption(), c.build);
      EXPECT_EQ(a.Caption(), "About Tandrel-Install");
      // Every text shows whole, the product's name on its two lines too.
      EXPECT_EQ(wintest::CutTexts(a.Handle()), std::vector<std::string>{});
      a.btnOk.Click();
    });
    about.ShowModal();
  }
  EXPECT_EQ(seams::PendingScripts(), 0);
}

TEST_F(BuilderForms, PreviewsShowTheEngineFormsAndStoreNothing) {
  TTandrelBaseInstall p;
  p.SetApplicationName("Previewed");
  p.BillBoards = {"C:\\no\\such\\board.bmp"};
  const std::vector<uint8_t> before = p.SaveToBytes();
  bool wizard = false, background = false;
  seams::WhenShown<TfrmInstDialogs>([&](TfrmInstDialogs& d) {
    wizard = true;
    wintest::Pump(50);
    EXPECT_TRUE(d.Preview);
    EXPECT_EQ(d.CurrentPage, dtUser);
    d.SetModalResult(mrCancel);
  });
  PreviewInstDialog(p, dtUser);
  seams::WhenShown<TfrmBackground>([&](TfrmBackground& b) {
    background = true;
    EXPECT_FALSE(b.UseTimer);
    EXPECT_TRUE(b.NoStart);
    wintest::PostKey(VK_ESCAPE, b.Handle());
  });
  PreviewBackground(p, false);
  EXPECT_TRUE(wizard);
  EXPECT_TRUE(background);
  EXPECT_EQ(p.SaveToBytes(), before);
}

}  // namespace
