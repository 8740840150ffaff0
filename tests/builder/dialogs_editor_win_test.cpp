// The wizard dialogs editor, its extensions list and the extension dialog under Wine,
// driven through their real controls and checked by the project's saved bytes.
#include <gtest/gtest.h>
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "base/Streams.h"
#include "base/win/Application.h"
#include "base/win/TestSeams.h"
#include "builder/common/EditorForm.h"
#include "builder/editors/DialogsRules.h"
#include "builder/editors/SetupDialogs.h"
#include "builder/editors/SetupExtension.h"
#include "tests/harness/FormDriver.h"
#include "tests/harness/PictureFiles.h"
#include "tests/harness/WinTestSupport.h"

using namespace base::win;

namespace {

using Bytes = std::vector<uint8_t>;
using Script = std::function<void(TfrmDialogs&)>;

class DialogsEditor : public ::testing::Test {
protected:
  void SetUp() override {
    seams::Reset();
    seams::Arm();
    dir_ = wintest::TempFolder() + "dlg_" + ::testing::UnitTest::GetInstance()->current_test_info()->name() + "\\";
    CreateDirectoryA(dir_.c_str(), nullptr);
    p.SetApplicationName("Demo");
  }
  void TearDown() override { seams::Reset(); }

  bool Edit(Script script) {
    bool ran = false;
    seams::WhenShown<TfrmDialogs>([&](TfrmDialogs& f) {
      ran = true;
      script(f);
    });
    seams::Watchdog dog(30, "dialogs editor");
    bool ok = EditDialogs(p);
    EXPECT_TRUE(ran);
    return ok;
  }
  std::string P(const std::string& name) const { return dir_ + name; }
  static void Write(const std::string& file, const std::string& text) {
    base::WriteFileBytes(file, Bytes(text.begin(), text.end()));
  }
  static void ShowPage(TfrmDialogs& f, int row) {
    f.PageControl1.PickTab(1);
    f.clbDialogs.SetItemIndex(row);
    wintest::Pump(20);
  }
  static TTandrelExtension* AddExtension(TTandrelBaseInstall& project, const std::string& exe, TTandrelDialogType when) {
    TTandrelExtension* e = project.Extensions.Add();
    e->Executable = exe;
    e->RealFile = exe;
    e->When = when;
    return e;
  }
  static std::vector<std::string> Order(const TTandrelBaseInstall& project) {
    std::vector<std::string> names;
    for (int i = 0; i < project.Extensions.Count(); ++i) names.push_back(project.Extensions[i]->Executable);
    return names;
  }

  TTandrelBaseInstall p;
  std::string dir_;
};

TEST_F(DialogsEditor, EveryRowRoundTripsThroughTheCheckList) {
  for (int row = 0; row < kDialogRows; ++row) {
    p.DialogTypes = static_cast<TTandrelDialogTypes>(1u << row);
    ASSERT_TRUE(Edit([&](TfrmDialogs& f) {
      for (int i = 0; i < kDialogRows; ++i) EXPECT_EQ(f.clbDialogs.Checked(i), i == row) << row << " " << i;
      wintest::Click(f.btnOk.Handle());
    })) << row;
    EXPECT_EQ(p.DialogTypes, 1u << row) << row;
  }
  p.DialogTypes = 0x3FFF;  // dtExit and dtBlank too: never kept
  ASSERT_TRUE(Edit([](TfrmDialogs& f) {
    for (int i = 0; i < kDialogRows; ++i) EXPECT_TRUE(f.clbDialogs.Checked(i));
    f.clbDialogs.SetChecked(3, false);
    wintest::Click(f.btnOk.Handle());
  }));
  EXPECT_EQ(p.DialogTypes, 0x0FFF & ~(1u << 3));
  EXPECT_TRUE(p.CompletedDialogs);
  EXPECT_TRUE(p.Modified);
}

TEST_F(DialogsEditor, CancelEscapeAndCloseBoxLeaveTheProjectByteIdentical) {
  AddExtension(p, "<SUPPORTDIR>\\check.exe", dtWelcome);
  Write(P("one.bmp"), "BM");
  const Bytes before = p.SaveToBytes();
  const std::vector<Script> leaves = {
      [](TfrmDialogs& f) { wintest::Click(f.btnCancel.Handle()); },
      [](TfrmDialogs& f) { wintest::PostKey(VK_ESCAPE, f.edtProgramFolder.Handle()); },
      [](TfrmDialogs& f) { wintest::CloseByTitleBar(f.Handle()); },
  };
  for (size_t i = 0; i < leaves.size(); ++i) {
    EXPECT_FALSE(Edit([&](TfrmDialogs& f) {
      f.clbDialogs.SetChecked(0, false);
      wintest::Type(f.edtProgramFolder.Handle(), "Elsewhere");
      seams::QueueFileAnswer(P("one.bmp"));
      wintest::Click(f.btnAdd.Handle());
      // An extension added, and the existing one deleted.
      seams::WhenShown<TfrmExtension>([](TfrmExtension& x) {
        x.edtCommandDLL.SetText("C:\\x.dll");  // read-only: set as a picker would
        wintest::Type(x.edtParametersDLL.Handle(), "Run");
        wintest::Click(x.btnOk.Handle());
      });
      f.DLL1.Click();
      EXPECT_EQ(f.WorkingCopy->Extensions.Count(), 2);
      f.lvExtensions.ClearSelection();
      f.lvExtensions.Select(0);
      seams::QueueMessageAnswer(mrYes);
      f.mnuDelete.Click();
      EXPECT_EQ(f.WorkingCopy->Extensions.Count(), 1);
      leaves[i](f);
    })) << i;
    EXPECT_EQ(p.SaveToBytes(), before) << i;
    EXPECT_FALSE(p.CompletedDialogs) << i;
  }
}

TEST_F(DialogsEditor, OkStoresEveryFieldOfThePages) {
  p.SetCompanyName("Acme");
  ASSERT_TRUE(Edit([&](TfrmDialogs& f) {
    // The shown default folder is stored even when its page was never visited.
    EXPECT_EQ(f.cbInstallDir.Text(), "<ProgramFilesDir>\\Acme");
    EXPECT_GE(f.cbInstallDir.IndexOf("<INSTALLDIR>"), 0);
    EXPECT_GE(f.cbInstallDir.IndexOf("<SUPPORTDIR>"), 0);
    EXPECT_TRUE(f.rbLaunchApp.Checked());
    wintest::Click(f.rbShowRestart.Handle());
    EXPECT_FALSE(f.btnCommand.Enabled());
    EXPECT_FALSE(f.cbShowReadMe.Enabled());
    wintest::Click(f.rbLaunchApp.Handle());
    EXPECT_TRUE(f.btnCommand.Enabled());
    wintest::Type(f.edtCommand.Handle(), "<INSTALLDIR>\\demo.exe");
    wintest::Type(f.edtParams.Handle(), "/x");
    wintest::Click(f.cbShowReadMe.Handle());
    wintest::Click(f.cbAllowIndividual.Handle());
    f.seDelay.Step(3);
    wintest::Click(f.btnOk.Handle());
  }));
  EXPECT_EQ(p.InstallDir, "<ProgramFilesDir>\\Acme");
  EXPECT_EQ(p.ProgramFolder, "Acme");
  EXPECT_FALSE(p.ShowRestart);
  EXPECT_EQ(p.RunCommand, "<INSTALLDIR>\\demo.exe");
  EXPECT_EQ(p.RunParams, "/x");
  EXPECT_TRUE(p.ShowReadMe);
  EXPECT_TRUE(p.IndividualGroup);
  EXPECT_EQ(p.BillboardDelay, 8);
}

TEST_F(DialogsEditor, LicenceAndReadMeThroughThePopupAndTheRichTextEditor) {
  p.License = "One line";
  p.ReadMe = "{\\RTF1\\ansi Capital rich}";  // counts as rich text
  ASSERT_TRUE(Edit([&](TfrmDialogs& f) {
    EXPECT_TRUE(f.cbLicensePlain.Checked());
    EXPECT_FALSE(f.cbReadMePlain.Checked());
    // The popup acts on the page that shows, wherever the focus was.
    ShowPage(f, 2);
    f.reLicense.Focus();
    seams::QueueColorAnswer(0x00C0FFEE & 0xFFFFFF);
    f.popLicense.OnPopup(f.popLicense);
    EXPECT_TRUE(f.mnuLicenseWordWrap.Checked());
    f.BackgroundColor1.Click();
    f.mnuLicenseWordWrap.Click();
    // The licence's own Plain Text box sets the licence's mode.
    ShowPage(f, 1);
    wintest::Click(f.cbLicensePlain.Handle());
    EXPECT_FALSE(f.LicenseState.PlainText);
    wintest::Click(f.cbLicensePlain.Handle());
    EXPECT_TRUE(f.LicenseState.PlainText);
    // The rich-text editor gives back rich text: the box is unchecked then.
    seams::WhenShown<TfrmEditor>([](TfrmEditor& e) {
      wintest::Type(e.reEditor.Handle(), "Written in the editor");
      wintest::Click(e.btnOk.Handle());
    });
    f.UseEditor1.Click();
    EXPECT_FALSE(f.cbLicensePlain.Checked());
    wintest::Click(f.btnOk.Handle());
  }));
  EXPECT_EQ(p.License.compare(0, 5, "{\\rtf"), 0);
  EXPECT_NE(p.License.find("Written in the editor"), std::string::npos);
  EXPECT_EQ(p.License.substr(p.License.size() - 2), "\r\n");
  EXPECT_EQ(p.LicenseColor, static_cast<TColor>(0x8000000F));  // untouched: the ReadMe showed
  EXPECT_TRUE(p.LicenseWordWrap);
  EXPECT_EQ(p.ReadMeColor, 0x00C0FFEE & 0xFFFFFF);
  EXPECT_FALSE(p.ReadMeWordWrap);
}

TEST_F(DialogsEditor, PlainTextsAndLoadedFiles) {
  p.License = "One line";
  p.ReadMe = "";
  Write(P("readme.RTF"), "{\\rtf1\\ansi From a file}");
  Write(P("licence.txt"), "{\\rtf1 kept as typed}");
  ASSERT_TRUE(Edit([&](TfrmDialogs& f) {
    ShowPage(f, 2);
    seams::QueueFileAnswer(P("readme.RTF"));
    f.Loadfromfile1.Click();
    EXPECT_FALSE(f.cbReadMePlain.Checked());
    ShowPage(f, 1);
    wintest::Click(f.btnOk.Handle());
  }));
  EXPECT_EQ(p.License, "One line\r\n");  // a plain line gets its line break
  EXPECT_EQ(p.ReadMe.compare(0, 5, "{\\rtf"), 0);
  EXPECT_NE(p.ReadMe.find("From a file"), std::string::npos);

  p.ReadMe = "";
  ASSERT_TRUE(Edit([&](TfrmDialogs& f) {
    ShowPage(f, 1);
    seams::QueueFileAnswer(P("licence.txt"));
    f.Loadfromfile1.Click();
    EXPECT_TRUE(f.cbLicensePlain.Checked());
    wintest::Click(f.btnOk.Handle());
  }));
  EXPECT_EQ(p.License, "{\\rtf1 kept as typed}\r\n");  // plain: the text itself
  EXPECT_EQ(p.ReadMe, "");                              // an empty editor stores nothing
}

TEST_F(DialogsEditor, BillboardsWithTheirButtonStatesAtEachStep) {
  p.BillBoards = {P("a.bmp")};
  ASSERT_TRUE(Edit([&](TfrmDialogs& f) {
    ShowPage(f, 10);
    auto states = [&] {
      return std::vector<bool>{f.btnRemove.Enabled(), f.btnUp.Enabled(), f.btnDown.Enabled()};
    };
    using S = std::vector<bool>;
    EXPECT_EQ(states(), (S{false, false, false}));
    seams::QueueFileAnswer(P("A.BMP") + "\n" + P("b.jpg") + "\n" + P("c.bmp"));  // one name a line
    wintest::Click(f.btnAdd.Handle());
    EXPECT_EQ(f.lbBillboard.Items(), (std::vector<std::string>{P("a.bmp"), P("b.jpg"), P("c.bmp")}));
    EXPECT_EQ(states(), (S{false, false, false}));
    f.lbBillboard.SetSelected(2, true);
    f.lbBillboard.SetFocusedIndex(2);
    f.lbBillboardClick();
    EXPECT_EQ(states(), (S{true, true, true}));
    const int beeps = seams::BeepCount();
    wintest::Click(f.btnDown.Handle());  // the last row cannot go down
    EXPECT_EQ(seams::BeepCount(), beeps + 1);
    wintest::Click(f.btnUp.Handle());
    EXPECT_EQ(f.lbBillboard.Items(), (std::vector<std::string>{P("a.bmp"), P("c.bmp"), P("b.jpg")}));
    EXPECT_TRUE(f.lbBillboard.Selected(1));
    EXPECT_EQ(f.lbBillboard.FocusedIndex(), 1);
    wintest::Click(f.btnUp.Handle());
    wintest::Click(f.btnUp.Handle());  // now first: the beep
    EXPECT_EQ(seams::BeepCount(), beeps + 2);
    EXPECT_EQ(f.lbBillboard.Items(), (std::vector<std::string>{P("c.bmp"), P("a.bmp"), P("b.jpg")}));
    f.lbBillboard.SetSelected(2, true);
    f.lbBillboardClick();
    EXPECT_EQ(states(), (S{true, false, false}));
    wintest::Click(f.btnRemove.Handle());
    EXPECT_EQ(f.lbBillboard.Items(), (std::vector<std::string>{P("a.bmp")}));
    EXPECT_EQ(states(), (S{false, false, false}));  // refreshed after Remove
    f.lbBillboard.Delete(0);
    EXPECT_FALSE(f.btnUp.Enabled());
    f.btnUpClick();  // the handler itself beeps on an empty list
    EXPECT_EQ(seams::BeepCount(), beeps + 3);
    wintest::Click(f.btnOk.Handle());
  }));
  EXPECT_TRUE(p.BillBoards.empty());
}

TEST_F(DialogsEditor, ExtensionOrderAfterMovesKeepsTheMovedOneSelected) {
  AddExtension(p, "<SUPPORTDIR>\\a.exe", dtWelcome);
  AddExtension(p, "<SUPPORTDIR>\\b.exe", dtProgress);
  AddExtension(p, "<SUPPORTDIR>\\c.exe", dtExit);
  ASSERT_TRUE(Edit([&](TfrmDialogs& f) {
    ASSERT_EQ(f.lvExtensions.Count(), 3);
    EXPECT_EQ(f.lvExtensions.ItemText(0, 0), "a.exe");
    EXPECT_EQ(f.lvExtensions.ItemText(0, 1), "<SUPPORTDIR>\\");
    EXPECT_EQ(f.lvExtensions.ItemText(1, 3), "Progress");
    f.lvExtensions.Select(1);
    EXPECT_EQ(f.CurrentExtension->Executable, "<SUPPORTDIR>\\b.exe");
    f.mnuUp.Click();
    EXPECT_EQ(Order(*f.WorkingCopy), (std::vector<std::string>{"<SUPPORTDIR>\\b.exe", "<SUPPORTDIR>\\a.exe",
                                                               "<SUPPORTDIR>\\c.exe"}));
    EXPECT_EQ(f.lvExtensions.Selected(), 0);
    EXPECT_EQ(f.lvExtensions.ItemText(0, 0), "b.exe");
    EXPECT_EQ(f.CurrentExtension->Executable, "<SUPPORTDIR>\\b.exe");
    f.popupExtensionPopup();
    EXPECT_FALSE(f.mnuUp.Enabled());
    EXPECT_TRUE(f.mnuDown.Enabled());
    f.mnuDown.Click();
    f.mnuDown.Click();
    EXPECT_EQ(Order(*f.WorkingCopy), (std::vector<std::string>{"<SUPPORTDIR>\\a.exe", "<SUPPORTDIR>\\c.exe",
                                                               "<SUPPORTDIR>\\b.exe"}));
    EXPECT_EQ(f.lvExtensions.Selected(), 2);
    EXPECT_EQ(f.lvExtensions.SelCount(), 1);
    f.popupExtensionPopup();
    EXPECT_TRUE(f.mnuUp.Enabled());
    EXPECT_FALSE(f.mnuDown.Enabled());
    // Delete takes the selected extension, which is the current one; No keeps it.
    seams::QueueMessageAnswer(mrNo);
    f.mnuDelete.Click();
    EXPECT_EQ(f.lvExtensions.Count(), 3);
    seams::QueueMessageAnswer(mrYes);
    f.mnuDelete.Click();
    EXPECT_EQ(seams::Messages().back().Text, "Remove the selected extension from the installation?");
    EXPECT_EQ(f.lvExtensions.Count(), 2);
    EXPECT_FALSE(f.CurrentExtension);
    f.popupExtensionPopup();
    EXPECT_FALSE(f.mnuProps.Enabled());
    EXPECT_TRUE(f.Executable1.Enabled());
    wintest::Click(f.btnOk.Handle());
  }));
  EXPECT_EQ(Order(p), (std::vector<std::string>{"<SUPPORTDIR>\\a.exe", "<SUPPORTDIR>\\c.exe"}));
}

TEST_F(DialogsEditor, ExtensionRowsAreRedWhenTheBuildPacksTheirFile) {
  Write(P("app.exe"), "MZ");
  p.GetGroup(0)->AddFile(P("app.exe"));
  TTandrelExtension* e = AddExtension(p, "[Program Files]\\app.exe", dtWelcome);
  e->RealFile = P("app.exe");
  AddExtension(p, "[Program Files]\\app.exe", dtProgress)->RealFile = P("app.exe");
  AddExtension(p, "[No Such Group]\\app.exe", dtExit);
  ASSERT_FALSE(Edit([&](TfrmDialogs& f) {
    COLORREF text = 0, back = 0;
    EXPECT_TRUE(f.lvExtensionsCustomDrawItem(0, text, back));
    EXPECT_EQ(text, RGB(255, 0, 0));
    EXPECT_FALSE(f.lvExtensionsCustomDrawItem(1, text, back));  // runs from the installed files
    f.lvExtensions.Select(2);
    EXPECT_TRUE(f.lvExtensionsCustomDrawItem(2, text, back));
    EXPECT_EQ(text, RGB(255, 255, 0));  // selected: yellow
    wintest::Click(f.btnCancel.Handle());
  }));
}

TEST_F(DialogsEditor, PopupMenusOpenOnTheirControlsByMouseAndKeys) {
  using wintest::PopupOpening;
  const std::vector<std::string> textMenu = {"&Load from file...", "Background &Color...", "Use &Editor...", "-",
                                             "&Word wrap"};
  const std::vector<std::string> extensionMenu = {"&New", "&Properties...", "-", "&Delete", "-", "Move &up",
                                                  "Move &down"};
  struct Case {
    PopupOpening how;
    const char* name;
  };
  const Case openings[] = {{PopupOpening::RightClick, "right-click"},
                           {PopupOpening::ShiftF10, "Shift+F10"},
                           {PopupOpening::MenuKey, "menu key"}};
  int made = 0;
  seams::WhenShown<TfrmDialogs>([&](TfrmDialogs& f) {
    for (const Case& c : openings) {
      // The licence and ReadMe editors sit on the pages of the "Dialogs" tab: "&Word wrap"
      // turns the shown editor's wrapping over.
      for (int page : {1, 2}) {
        ShowPage(f, page);
        const RichEdit& editor = page == 1 ? f.reLicense : f.reReadMe;
        const bool wrapped = (page == 1 ? f.LicenseState : f.ReadMeState).WordWrap;
        const wintest::PopupSeen seen = wintest::OpenPopupMenu(editor.Handle(), c.how, "w");
        EXPECT_TRUE(seen.Opened) << c.name << " on page " << page;
        EXPECT_EQ(seen.Items, textMenu) << c.name << " on page " << page;
        EXPECT_NE((page == 1 ? f.LicenseState : f.ReadMeState).WordWrap, wrapped) << c.name << " on page " << page;
      }
      // The extensions list, on its own tab: "&New", "&Executable..." makes an extension.
      f.PageControl1.PickTab(2);
      wintest::Pump(20);
      seams::WhenShown<TfrmExtension>([&](TfrmExtension& x) {
        x.edtCommand.SetText("C:\\windows\\system32\\cmd.exe");
        wintest::Click(x.btnOk.Handle());
      });
      const wintest::PopupSeen seen = wintest::OpenPopupMenu(f.lvExtensions.Handle(), c.how, "ne");
      EXPECT_TRUE(seen.Opened) << c.name << " on the extensions list";
      EXPECT_EQ(seen.Items, extensionMenu) << c.name << " on the extensions list";
      EXPECT_EQ(f.lvExtensions.Count(), made + 1) << c.name << " made an extension";
      if (f.lvExtensions.Count() > made) ++made;
    }
    wintest::Click(f.btnOk.Handle());
  });
  seams::Watchdog dog(60, "dialogs editor popups");
  ASSERT_TRUE(EditDialogs(p));
  EXPECT_EQ(p.Extensions.Count(), 3);
  // Each editor was turned over three times: the opposite of where it began.
  EXPECT_FALSE(p.LicenseWordWrap);
  EXPECT_FALSE(p.ReadMeWordWrap);
}

TEST_F(DialogsEditor, CtrlArrowsMoveTheExtensionAndTheSelectionStaysOnIt) {
  for (const char* name : {"a", "b", "c"}) AddExtension(p, std::string("<SUPPORTDIR>\\") + name + ".exe", dtWelcome);
  ASSERT_TRUE(Edit([&](TfrmDialogs& f) {
    f.PageControl1.PickTab(2);
    wintest::Pump(20);
    HWND list = f.lvExtensions.Handle();
    SetFocus(list);
    f.lvExtensions.Select(0);
    auto ctrlKey = [&](UINT key) {
      BYTE keys[256] = {};
      GetKeyboardState(keys);
      keys[VK_CONTROL] = keys[VK_LCONTROL] = 0x80;
      SetKeyboardState(keys);
      wintest::PostKey(key, list);
      wintest::Pump(100);
      keys[VK_CONTROL] = keys[VK_LCONTROL] = 0;
      SetKeyboardState(keys);
    };
    ctrlKey(VK_DOWN);
    EXPECT_EQ(f.lvExtensions.ItemText(1, 0), "a.exe");
    EXPECT_EQ(f.lvExtensions.Selected(), 1) << "the selection stays on the moved extension";
    EXPECT_EQ(f.lvExtensions.SelCount(), 1);
    EXPECT_EQ(f.CurrentExtension->Executable, "<SUPPORTDIR>\\a.exe");
    ctrlKey(VK_DOWN);
    EXPECT_EQ(f.lvExtensions.Selected(), 2);
    ctrlKey(VK_UP);
    EXPECT_EQ(f.lvExtensions.Selected(), 1);
    EXPECT_EQ(f.CurrentExtension->Executable, "<SUPPORTDIR>\\a.exe");
    // A plain arrow still moves the selection.
    wintest::PostKey(VK_DOWN, list);
    wintest::Pump(100);
    EXPECT_EQ(f.lvExtensions.Selected(), 2);
    wintest::Click(f.btnOk.Handle());
  }));
  EXPECT_EQ(Order(p), (std::vector<std::string>{"<SUPPORTDIR>\\b.exe", "<SUPPORTDIR>\\a.exe", "<SUPPORTDIR>\\c.exe"}));
}

TEST_F(DialogsEditor, SidePictureOptionsFollowTheCustomBox) {
  ASSERT_TRUE(Edit([&](TfrmDialogs& f) {
    EXPECT_FALSE(f.cbCustom.Checked());
    for (const Window* w : std::initializer_list<const Window*>{&f.btnBrowse, &f.cbCenter, &f.cbStretch})
      EXPECT_FALSE(w->Enabled());
    EXPECT_TRUE(f.cbCenter.Checked());  // the project's CenterImage
    wintest::Click(f.cbCustom.Handle());
    for (const Window* w : std::initializer_list<const Window*>{&f.btnBrowse, &f.cbCenter, &f.cbStretch,
                                                               &f.cbTransparent})
      EXPECT_TRUE(w->Enabled());
    wintest::Click(f.cbStretch.Handle());
    EXPECT_TRUE(f.imgCustom.Stretch());
    seams::QueueFileAnswer(P("absent.bmp"));  // a missing file: the built-in picture
    wintest::Click(f.btnBrowse.Handle());
    EXPECT_EQ(f.edtBitmap.Text(), P("absent.bmp"));
    wintest::Click(f.cbCustom.Handle());
    EXPECT_FALSE(f.btnBrowse.Enabled());
    EXPECT_FALSE(f.imgCustom.Stretch());  // shown plainly, the boxes keep their states
    EXPECT_TRUE(f.cbStretch.Checked());
    wintest::Click(f.cbCustom.Handle());
    wintest::Click(f.btnOk.Handle());
  }));
  EXPECT_TRUE(p.CustomImage);
  EXPECT_EQ(p.CustomImagePath, P("absent.bmp"));
  EXPECT_TRUE(p.StretchImage);
  EXPECT_TRUE(p.CenterImage);
  EXPECT_FALSE(p.TransparentImage);
}

TEST_F(DialogsEditor, AnUnreadableSidePictureIsToldAndEveryOtherFieldStays) {
  Write(P("junk.bmp"), "not a picture at all");
  p.CustomImage = true;
  p.CustomImagePath = P("junk.bmp");
  p.DialogTypes = (1u << dtLicense) | (1u << dtBillboards) | (1u << dtComplete);
  p.License = "Licence words";
  p.ReadMe = "Read me first";
  p.InstallDir = "<ProgramFilesDir>\\Kept";
  p.ProgramFolder = "Kept Folder";
  p.IndividualGroup = true;
  p.BillBoards = {P("one.bmp"), P("two.bmp")};
  p.BillboardDelay = 9;
  p.ShowRestart = false;
  p.RunCommand = "<INSTALLDIR>\\kept.exe";
  AddExtension(p, "<SUPPORTDIR>\\check.exe", dtWelcome);
  TTandrelBaseInstall expected;
  expected.Assign(p);
  ASSERT_TRUE(Edit([&](TfrmDialogs& f) {
    ASSERT_EQ(seams::Messages().size(), 1u);
    EXPECT_EQ(seams::Messages()[0].Text, "The picture " + P("junk.bmp") + " cannot be read.");
    EXPECT_EQ(f.edtBitmap.Text(), P("junk.bmp"));
    EXPECT_TRUE(f.cbCustom.Checked());
    EXPECT_TRUE(f.btnBrowse.Enabled());
    EXPECT_TRUE(f.clbDialogs.Checked(1));
    EXPECT_EQ(f.reLicense.PlainText().substr(0, 13), "Licence words");
    EXPECT_EQ(f.cbInstallDir.Text(), "<ProgramFilesDir>\\Kept");
    EXPECT_EQ(f.edtProgramFolder.Text(), "Kept Folder");
    EXPECT_EQ(f.lbBillboard.Items(), p.BillBoards);
    EXPECT_EQ(f.seDelay.Text(), "9");
    EXPECT_EQ(f.edtCommand.Text(), "<INSTALLDIR>\\kept.exe");
    EXPECT_EQ(f.lvExtensions.Count(), 1);
    wintest::Click(f.btnOk.Handle());
  }));
  // The texts come back as the editor stores them (a line break each); all else as it was.
  expected.License = "Licence words\r\n";
  expected.ReadMe = "Read me first\r\n";
  expected.CompletedDialogs = true;
  expected.Modified = true;
  EXPECT_EQ(p.SaveToBytes(), expected.SaveToBytes());
}

TEST_F(DialogsEditor, IconsAndMetafilesShowAsTheSidePicture) {
  Write(P("side.ico"), wintest::MakeIcon16(RGB(255, 0, 0)));
  Write(P("side.emf"), wintest::MakeEnhMetafile(RGB(0, 0, 255)));
  Write(P("side.wmf"), wintest::MakePlaceableMetafile(RGB(0, 128, 0)));
  p.CustomImage = true;
  p.CustomImagePath = P("side.ico");
  ASSERT_TRUE(Edit([&](TfrmDialogs& f) {
    EXPECT_TRUE(seams::Messages().empty());
    EXPECT_EQ(f.imgCustom.PictureWidth(), 16);
    for (const char* name : {"side.emf", "side.wmf"}) {
      seams::QueueFileAnswer(P(name));
      wintest::Click(f.btnBrowse.Handle());
      EXPECT_NEAR(f.imgCustom.PictureWidth(), 32, 1) << name;
    }
    EXPECT_TRUE(seams::Messages().empty());
    wintest::Click(f.btnOk.Handle());
  }));
  EXPECT_EQ(p.CustomImagePath, P("side.wmf"));
}

TEST_F(DialogsEditor, ADelayTheFieldCannotHoldBeepsAndStoresNothing) {
  p.BillboardDelay = 4;
  const std::vector<std::string> refused = {"abc", "99999999999", "-7", "", "2147484"};
  for (const std::string& text : refused) {
    const int beeps = seams::BeepCount();
    bool stayed = false, focused = false, onItsPage = false;
    EXPECT_FALSE(Edit([&](TfrmDialogs& f) {
      wintest::Type(f.seDelay.Handle(), text);
      wintest::Click(f.btnOk.Handle());
      wintest::Pump(20);
      stayed = f.Visible() && f.ModalResult() == mrNone;
      focused = wintest::HasFocus(f.seDelay.Handle());
      onItsPage = f.nbMain.PageIndex() == 10;
      // Preview refuses it too.
      wintest::Click(f.btnPreview.Handle());
      wintest::Click(f.btnCancel.Handle());
    })) << text;
    EXPECT_EQ(seams::BeepCount(), beeps + 2) << text;
    EXPECT_TRUE(stayed) << text;
    EXPECT_TRUE(focused) << text;
    EXPECT_TRUE(onItsPage) << text;
    EXPECT_EQ(p.BillboardDelay, 4) << text;
    EXPECT_FALSE(p.Modified) << text;
  }
  EXPECT_TRUE(seams::Messages().empty());
  ASSERT_TRUE(Edit([&](TfrmDialogs& f) {
    wintest::Type(f.seDelay.Handle(), " 2147483 ");
    wintest::Click(f.btnOk.Handle());
  }));
  EXPECT_EQ(p.BillboardDelay, 2147483);
}

// ---------------------------------------------------------------- the extension dialog

class ExtensionDialog : public DialogsEditor {};

TEST_F(ExtensionDialog, ProgramExtensionWithRequiredFieldsAndRunPoint) {
  Write(P("setup.exe"), "MZ");
  bool ran = false;
  seams::WhenShown<TfrmExtension>([&](TfrmExtension& x) {
    ran = true;
    EXPECT_EQ(x.ActivePage(), 0);
    EXPECT_TRUE(x.cbWait.Checked());
    EXPECT_EQ(x.lbWhen.ItemIndex(), 0);
    EXPECT_EQ(x.lbWhen.Count(), 13);
    EXPECT_EQ(x.lbWhen.Item(12), "Exit");
    const int beeps = seams::BeepCount();
    wintest::Click(x.btnOk.Handle());  // no command: the beep, the focus, still open
    EXPECT_EQ(seams::BeepCount(), beeps + 1);
    EXPECT_TRUE(wintest::HasFocus(x.edtCommand.Handle()));
    EXPECT_EQ(x.ModalResult(), mrNone);
    seams::QueueFileAnswer(P("setup.exe"));
    wintest::Click(x.SpeedButton5.Handle());
    EXPECT_EQ(x.edtCommand.Text(), P("setup.exe"));
    wintest::Type(x.edtParameters.Handle(), "/quiet");
    wintest::Type(x.edtDescription.Handle(), "Press OK");
    wintest::Click(x.cbWait.Handle());
    x.lbWhen.SetItemIndex(dtProgress);
    wintest::Click(x.btnOk.Handle());
  });
  seams::Watchdog dog(30, "extension dialog");
  TTandrelExtension* e = NewExecutableExtension(p);
  ASSERT_TRUE(ran);
  ASSERT_TRUE(e);
  EXPECT_EQ(p.Extensions.Count(), 1);
  EXPECT_EQ(e->Owner, &p);
  EXPECT_EQ(e->Style, esExecutable);
  EXPECT_EQ(e->Executable, P("setup.exe"));
  EXPECT_EQ(e->RealFile, P("setup.exe"));
  EXPECT_EQ(e->Params, "/quiet");
  EXPECT_EQ(e->Instructions, "Press OK");
  EXPECT_FALSE(e->Wait);
  EXPECT_EQ(e->When, dtProgress);

  // Cancel adds nothing.
  seams::WhenShown<TfrmExtension>([](TfrmExtension& x) { wintest::Click(x.btnCancel.Handle()); });
  EXPECT_FALSE(NewExecutableExtension(p));
  EXPECT_EQ(p.Extensions.Count(), 1);
}

TEST_F(ExtensionDialog, EveryRunPointShowsWithoutScrolling) {
  seams::Watchdog dog(30, "extension dialog");
  auto allShown = [](const ColumnListBox& list) {
    RECT client;
    GetClientRect(list.Handle(), &client);
    for (int i = 0; i < list.Count(); ++i) {
      RECT r{};
      list.Send(LB_GETITEMRECT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&r));
      EXPECT_TRUE(r.left >= 0 && r.top >= 0 && r.right <= client.right && r.bottom <= client.bottom)
          << list.Item(i);
    }
  };
  seams::WhenShown<TfrmExtension>([&](TfrmExtension& x) {
    allShown(x.lbWhen);
    wintest::Click(x.btnCancel.Handle());
  });
  EXPECT_FALSE(NewExecutableExtension(p));
  seams::WhenShown<TfrmExtension>([&](TfrmExtension& x) {
    allShown(x.lbWhenDLL);
    wintest::Click(x.btnCancel.Handle());
  });
  EXPECT_FALSE(NewDllExtension(p));
}

TEST_F(ExtensionDialog, DllExtensionNeedsItsFunctionAndARunPoint) {
  seams::Watchdog dog(30, "extension dialog");
  seams::WhenShown<TfrmExtension>([&](TfrmExtension& x) {
    EXPECT_EQ(x.ActivePage(), 1);
    x.edtCommandDLL.SetText("<SUPPORTDIR>\\ext.dll");
    const int beeps = seams::BeepCount();
    wintest::Click(x.btnOk.Handle());
    EXPECT_EQ(seams::BeepCount(), beeps + 1);
    EXPECT_TRUE(wintest::HasFocus(x.edtParametersDLL.Handle()));
    wintest::Type(x.edtParametersDLL.Handle(), "Check");
    x.lbWhenDLL.SetItemIndex(dtComplete);
    wintest::Click(x.btnOk.Handle());
  });
  TTandrelExtension* e = NewDllExtension(p);
  ASSERT_TRUE(e);
  EXPECT_EQ(e->Style, esDLL);
  EXPECT_EQ(e->Params, "Check");
  EXPECT_EQ(e->When, dtComplete);
  EXPECT_FALSE(e->Wait);
  EXPECT_EQ(e->Instructions, "");
  EXPECT_EQ(e->RealFile, "<SUPPORTDIR>\\ext.dll");

  // A DLL extension at no point of the list would never run: refused with a message.
  e->When = dtBlank;
  seams::WhenShown<TfrmExtension>([&](TfrmExtension& x) {
    EXPECT_EQ(x.lbWhenDLL.ItemIndex(), -1);
    wintest::Click(x.btnOk.Handle());
    ASSERT_FALSE(seams::Messages().empty());
    EXPECT_EQ(seams::Messages().back().Text, "Choose when the DLL extension is to be executed.");
    EXPECT_TRUE(wintest::HasFocus(x.lbWhenDLL.Handle()));
    x.lbWhenDLL.SetItemIndex(dtExit);
    wintest::Click(x.btnOk.Handle());
  });
  e->RealFile.clear();
  EXPECT_TRUE(EditExtension(*e, p));
  EXPECT_EQ(e->When, dtExit);
  EXPECT_EQ(e->RealFile, "<SUPPORTDIR>\\ext.dll");  // an empty source takes the command
  EXPECT_EQ(e->Style, esDLL);
}

}  // namespace
