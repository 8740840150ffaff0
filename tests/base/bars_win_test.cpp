// The builder's controls of the window layer under Wine: menus with shortcuts and hints,
// actions shared by menu items and tool buttons and updated when idle, tool bars, status
// bar panels, tabs with pages, shapes, combo boxes, the up-down, the clipboard and help.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "base/win/Actions.h"
#include "base/win/Application.h"
#include "base/win/Clipboard.h"
#include "base/win/ComboBox.h"
#include "base/win/Controls.h"
#include "base/win/Form.h"
#include "base/win/Menus.h"
#include "base/win/PageControl.h"
#include "base/win/Shape.h"
#include "base/win/StatusBar.h"
#include "base/win/TestSeams.h"
#include "base/win/ToolBar.h"
#include "base/win/UpDown.h"
#include "tests/base/fixtures/bars_forms.rh"
#include "tests/harness/FormDriver.h"

using namespace base::win;

namespace {

class BarsForm : public Form {
public:
  BarsForm() : Form(IDD_BARS) { Create(); }

  ActionList actions;
  Action& actGo = actions.Add("&Go", "Go|Go somewhere", Ctrl('G'), [this](Action&) { ++goRuns; });
  MainMenu menu;
  MenuItem& mnuFile = menu.Add("&File");
  MenuItem& mnuGo = mnuFile.Add("");
  MenuItem& mnuRecent = mnuFile.Add("&Recent", {}, "Recent files");
  MenuItem& mnuNone = mnuRecent.Add("<None>");
  MenuItem& mnuBuild = mnuFile.Add("&Build", ShortCut{VK_F2, 0}, "Build it");
  PopupMenu popBody;
  MenuItem& mnuCopy = popBody.Add("&Copy");

  ToolBar tbMain{*this, IDC_tbMain};
  StatusBar sbMain{*this, IDC_sbMain};
  PageControl pcMain{*this, IDC_pcMain};
  Shape shpFrame{*this, IDC_shpFrame};
  ComboBox cbList{*this, IDC_cbList};
  ComboBox cbEdit{*this, IDC_cbEdit};
  Edit edtSize{*this, IDC_edtSize};
  UpDown udSize{*this, IDC_udSize};
  Image imgSection{*this, IDC_imgSection};

  int goRuns = 0, builds = 0, plainClicks = 0, tabChanges = 0, listChanges = 0, moves = 0, imageClicks = 0;
  int popups = 0;
  bool goAllowed = true;

protected:
  void FormCreate() override {
    actGo.OnUpdate = [this](Action& a) { a.SetEnabled(goAllowed); };
    mnuGo.SetAction(&actGo);
    mnuBuild.OnClick = [this](MenuItem&) { ++builds; };
    mnuRecent.OnPopup = [this](MenuItem& item) {
      ++popups;
      mnuNone.SetVisible(false);
      MenuItem& entry = item.Add("C:\\a&&b.zem");
      entry.Tag = 7;
    };
    menu.Attach(*this);
    popBody.Attach(*this, IDC_reBody);
    tbMain.UseStandardImages();
    tbMain.AddButton(IDC_tbOne, STD_FILENEW, "New|Make a new one");
    tbMain.AddSeparator();
    tbMain.AddButton(IDC_tbCheck, STD_COPY, "Bold", ToolBar::Style::Check);
    tbMain.AddButton(IDC_tbLeft, STD_CUT, "Align Left", ToolBar::Style::Group);
    tbMain.AddButton(IDC_tbRight, STD_PASTE, "Align Right", ToolBar::Style::Group);
    tbMain.AddButton(IDC_tbAction, STD_FILEOPEN, actGo);
    OnClick(IDC_tbOne, [this] { ++plainClicks; });
    sbMain.SetPanels({200, 100});
    pcMain.AddPage("Builder", IDD_BARS_PAGE1);
    pcMain.AddPage("More Information", IDD_BARS_PAGE2);
    pcMain.OnChange = [this] { ++tabChanges; };
    OnChange(IDC_cbList, [this] { ++listChanges; });
    OnCommand(IDC_shpFrame, CN_MOUSEMOVE, [this] { ++moves; });
    OnCommand(IDC_imgSection, CN_MOUSEMOVE, [this] { ++moves; });
    OnClick(IDC_imgSection, [this] { ++imageClicks; });
    udSize.SetBuddy(edtSize.Handle());
    udSize.SetRange(0, 100);
    udSize.SetPosition(10);
  }
};

class Bars : public ::testing::Test {
protected:
  void SetUp() override { seams::Reset(); }
  void TearDown() override { seams::Reset(); }
  seams::Watchdog dog{30, "bars test"};
};

std::string MenuText(HMENU menu, int position) {
  char buf[256] = {};
  GetMenuStringA(menu, static_cast<UINT>(position), buf, sizeof buf, MF_BYPOSITION);
  return buf;
}

TEST_F(Bars, MenuItemsShowCaptionsShortcutsAndFollowTheirAction) {
  BarsForm f;
  f.ShowModeless();
  ASSERT_EQ(GetMenu(f.Handle()), f.menu.Handle());
  HMENU file = GetSubMenu(f.menu.Handle(), 0);
  EXPECT_EQ(MenuText(f.menu.Handle(), 0), "&File");
  EXPECT_EQ(MenuText(file, 0), "&Go\tCtrl+G");
  EXPECT_EQ(MenuText(file, 2), "&Build\tF2");
  EXPECT_EQ(f.mnuGo.Hint(), "Go|Go somewhere");
  // Choosing through the window runs the action; a plain item its handler.
  SendMessageA(f.Handle(), WM_COMMAND, f.mnuGo.Command(), 0);
  SendMessageA(f.Handle(), WM_COMMAND, f.mnuBuild.Command(), 0);
  EXPECT_EQ(f.goRuns, 1);
  EXPECT_EQ(f.builds, 1);
  // The idle update disables the action, and with it the menu item and the tool button.
  f.goAllowed = false;
  App().Idle();
  EXPECT_FALSE(f.actGo.Enabled());
  EXPECT_TRUE(GetMenuState(file, f.mnuGo.Command(), MF_BYCOMMAND) & MF_GRAYED);
  EXPECT_FALSE(f.tbMain.ButtonEnabled(IDC_tbAction));
  f.mnuGo.Click();
  f.tbMain.Press(IDC_tbAction);
  EXPECT_EQ(f.goRuns, 1);
  f.goAllowed = true;
  App().Idle();
  EXPECT_TRUE(f.tbMain.ButtonEnabled(IDC_tbAction));
  f.tbMain.Press(IDC_tbAction);
  EXPECT_EQ(f.goRuns, 2);
  // A caption change of the action reaches the menu.
  f.actGo.SetCaption("&Go on");
  EXPECT_EQ(MenuText(file, 0), "&Go on\tCtrl+G");
  f.Close();
}

TEST_F(Bars, ShortcutsReachTheItemsThroughTheMessageLoop) {
  BarsForm f;
  f.ShowModeless();
  SetForegroundWindow(f.Handle());
  SetFocus(f.Item(IDC_cbEdit));
  EXPECT_TRUE(f.menu.ShortCutKey(VK_F2, 0));
  EXPECT_EQ(f.builds, 1);
  EXPECT_TRUE(f.menu.ShortCutKey('G', ssCtrl));
  EXPECT_EQ(f.goRuns, 1);
  EXPECT_FALSE(f.menu.ShortCutKey('G', 0));
  // A real key press through the queue: F2 needs no modifier state.
  wintest::PostKey(VK_F2, f.Item(IDC_cbEdit));
  wintest::Pump(100);
  EXPECT_EQ(f.builds, 2);
  // A hidden item's shortcut does nothing.
  f.mnuBuild.SetVisible(false);
  EXPECT_FALSE(f.menu.ShortCutKey(VK_F2, 0));
  EXPECT_EQ(GetMenuItemCount(GetSubMenu(f.menu.Handle(), 0)), 2);
  f.Close();
}

TEST_F(Bars, SubmenuOpeningRunsItsHandlerAndHintsGoToTheHintHandler) {
  BarsForm f;
  f.ShowModeless();
  std::string shown;
  App().SetOnHint([&](const std::string& hint) { shown = hint; });
  SendMessageA(f.Handle(), WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(f.mnuRecent.Handle()), 1);
  EXPECT_EQ(f.popups, 1);
  ASSERT_EQ(f.mnuRecent.Count(), 2);
  EXPECT_EQ(GetMenuItemCount(f.mnuRecent.Handle()), 1);
  EXPECT_EQ(MenuText(f.mnuRecent.Handle(), 0), "C:\\a&&b.zem");
  EXPECT_EQ(f.mnuRecent.Items(1).Tag, 7);
  f.mnuRecent.Delete(1);
  EXPECT_EQ(GetMenuItemCount(f.mnuRecent.Handle()), 0);
  // Hints: the long part goes to the handler; the menu closing clears it.
  HMENU file = GetSubMenu(f.menu.Handle(), 0);
  SendMessageA(f.Handle(), WM_MENUSELECT, MAKEWPARAM(f.mnuGo.Command(), MF_STRING),
               reinterpret_cast<LPARAM>(file));
  EXPECT_EQ(shown, "Go somewhere");
  SendMessageA(f.Handle(), WM_MENUSELECT, MAKEWPARAM(1, MF_POPUP), reinterpret_cast<LPARAM>(file));
  EXPECT_EQ(shown, "Recent files");
  SendMessageA(f.Handle(), WM_MENUSELECT, MAKEWPARAM(0, 0xFFFF), 0);
  EXPECT_EQ(shown, "");
  App().SetOnHint(nullptr);
  EXPECT_EQ(ShortCutToText(ShortCut{VK_DELETE, ssShift | ssCtrl}), "Shift+Ctrl+Del");
  EXPECT_EQ(GetShortHint("Undo|Undo the last action"), "Undo");
  EXPECT_EQ(GetLongHint("Bold"), "Bold");
  f.Close();
}

TEST_F(Bars, ToolButtonsClickCheckGroupAndShowTheirShortHint) {
  BarsForm f;
  f.ShowModeless();
  EXPECT_EQ(f.tbMain.ButtonCount(), 6);
  f.tbMain.Press(IDC_tbOne);
  EXPECT_EQ(f.plainClicks, 1);
  EXPECT_EQ(f.tbMain.ToolTip(IDC_tbOne), "New");
  EXPECT_EQ(f.tbMain.ToolTip(IDC_tbAction), "Go");
  f.tbMain.Press(IDC_tbCheck);
  EXPECT_TRUE(f.tbMain.Down(IDC_tbCheck));
  f.tbMain.Press(IDC_tbCheck);
  EXPECT_FALSE(f.tbMain.Down(IDC_tbCheck));
  f.tbMain.Press(IDC_tbLeft);
  EXPECT_TRUE(f.tbMain.Down(IDC_tbLeft));
  f.tbMain.Press(IDC_tbRight);
  EXPECT_TRUE(f.tbMain.Down(IDC_tbRight));
  EXPECT_FALSE(f.tbMain.Down(IDC_tbLeft));
  // The tool tip asks the form for its text.
  NMTTDISPINFOA tip{};
  tip.hdr.hwndFrom = nullptr;
  tip.hdr.idFrom = IDC_tbOne;
  tip.hdr.code = TTN_GETDISPINFOA;
  SendMessageA(f.Handle(), WM_NOTIFY, IDC_tbOne, reinterpret_cast<LPARAM>(&tip));
  ASSERT_NE(tip.lpszText, nullptr);
  EXPECT_STREQ(tip.lpszText, "New");
  f.Close();
}

TEST_F(Bars, StatusPanelsTabsShapesAndPictures) {
  BarsForm f;
  f.ShowModeless();
  EXPECT_EQ(f.sbMain.PanelCount(), 2);
  f.sbMain.SetPanelText(1, "Old.zem");
  EXPECT_EQ(f.sbMain.PanelText(1), "Old.zem");
  EXPECT_EQ(f.sbMain.PanelText(0), "");
  // Tabs: the first page shows; a click on the second shows it and runs the handler.
  EXPECT_EQ(f.pcMain.PageCount(), 2);
  EXPECT_EQ(f.pcMain.TabCaption(1), "More Information");
  EXPECT_EQ(f.pcMain.ActivePage(), 0);
  EXPECT_TRUE(IsWindowVisible(f.pcMain.Page(0)));
  f.pcMain.PickTab(1);
  EXPECT_EQ(f.pcMain.ActivePage(), 1);
  EXPECT_EQ(f.tabChanges, 1);
  EXPECT_FALSE(IsWindowVisible(f.pcMain.Page(0)));
  EXPECT_TRUE(IsWindowVisible(f.pcMain.Page(1)));
  f.pcMain.SetActivePage(0);
  EXPECT_EQ(f.tabChanges, 1);
  // A control on a page reaches the form's handlers.
  f.imgSection.MouseMove();
  f.imgSection.MouseClick();
  EXPECT_EQ(f.imageClicks, 1);
  // The shape is only its outline: its middle belongs to what lies below.
  f.shpFrame.SetPen(clBlue, 2);
  RECT r = f.shpFrame.ClientRect();
  HRGN rgn = CreateRectRgn(0, 0, 0, 0);
  ASSERT_NE(GetWindowRgn(f.shpFrame.Handle(), rgn), ERROR);
  EXPECT_FALSE(PtInRegion(rgn, r.right / 2, r.bottom / 2));
  EXPECT_TRUE(PtInRegion(rgn, r.right / 2, 0));
  DeleteObject(rgn);
  f.shpFrame.MouseMove(r.right / 2, 0);
  EXPECT_EQ(f.moves, 2);
  f.Close();
}

TEST_F(Bars, ComboBoxesUpDownAndPopupMenu) {
  BarsForm f;
  f.ShowModeless();
  for (const char* s : {"Times New Roman", "arial", "Courier New"}) f.cbList.Add(s);
  f.cbList.Sort();
  EXPECT_EQ(f.cbList.Items(), (std::vector<std::string>{"arial", "Courier New", "Times New Roman"}));
  f.cbList.SetText("courier new");
  EXPECT_EQ(f.cbList.ItemIndex(), 1);
  EXPECT_EQ(f.listChanges, 0);
  f.cbList.Pick(2);
  EXPECT_EQ(f.listChanges, 1);
  EXPECT_EQ(f.cbList.Text(), "Times New Roman");
  f.cbEdit.Add("10");
  f.cbEdit.SetText("Typed");
  EXPECT_EQ(f.cbEdit.Text(), "Typed");
  EXPECT_EQ(f.cbEdit.IndexOf("typed"), -1);
  // The up-down keeps its buddy showing its position.
  EXPECT_EQ(f.udSize.Position(), 10);
  EXPECT_EQ(f.udSize.Max(), 100);
  f.udSize.ClickArrow(true);
  wintest::Pump(20);
  EXPECT_EQ(f.udSize.Position(), 11);
  EXPECT_EQ(f.edtSize.Text(), "11");
  f.udSize.ClickArrow(false);
  f.udSize.ClickArrow(false);
  EXPECT_EQ(f.udSize.Position(), 9);
  // The popup menu's item runs its handler through Click (what choosing it does).
  int copies = 0;
  f.mnuCopy.OnClick = [&](MenuItem&) { ++copies; };
  f.mnuCopy.Click();
  f.mnuCopy.SetEnabled(false);
  f.mnuCopy.Click();
  EXPECT_EQ(copies, 1);
  f.Close();
}

TEST_F(Bars, ClipboardAndHelp) {
  ASSERT_TRUE(Clipboard::SetText("copied text"));
  EXPECT_TRUE(Clipboard::HasText());
  EXPECT_EQ(Clipboard::Text(), "copied text");
  Clipboard::Clear();
  EXPECT_FALSE(Clipboard::HasText());
  EXPECT_EQ(Clipboard::Text(), "");
  seams::Arm();
  App().SetHelpFile("TandrelBuilder.hlp");
  App().HelpContext(7);
  ASSERT_EQ(seams::HelpRequests().size(), 1u);
  EXPECT_EQ(seams::HelpRequests()[0], 7);
}

}  // namespace
