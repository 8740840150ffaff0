// The builder's main window under Wine: menus and sections, New / Open / Save / Save As /
// Reopen, the save question, the recent list across a restart, ticks, hover frames, the
// status bar, Build through the build dialog, and failures that must say so.
#include <gtest/gtest.h>
#include <windows.h>

#include <filesystem>
#include <optional>
#include <string>

#include "base/Streams.h"
#include "base/win/Application.h"
#include "base/win/Dialogs.h"
#include "base/win/TestSeams.h"
#include "builder/common/BuilderSettings.h"
#include "builder/shell/AboutForm.h"
#include "builder/shell/BuildForm.h"
#include "builder/shell/GeneralForm.h"
#include "builder/shell/MainForm.h"
#include "tests/harness/FormDriver.h"
#include "tests/harness/WindowPixels.h"
#include "tests/model/fixtures/IwzCases.h"

using namespace base::win;
namespace fs = std::filesystem;

namespace {

class MainWindow : public ::testing::Test {
protected:
  void SetUp() override {
    seams::Reset();
    seams::Arm();
    folder = fs::temp_directory_path() /
             (std::string("tandrel_main_") + ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(folder);
    fs::create_directories(folder);
    WriteBuilderSetting("Tandrel-Install MRU", "");
  }
  void TearDown() override {
    seams::Reset();
    std::error_code ec;
    fs::remove_all(folder, ec);
  }
  std::string Path(const std::string& name) const { return (folder / name).string(); }
  // A saved project named after its application.
  std::string Project(const std::string& name, bool general = false) const {
    TTandrelBaseInstall p;
    p.SetApplicationName(name);
    p.CompletedGeneral = general;
    const std::string file = Path(name + ".zem");
    EXPECT_TRUE(p.SaveToFile(file));
    return file;
  }
  std::string LastMessage() const { return seams::Messages().empty() ? "" : seams::Messages().back().Text; }

  seams::Watchdog dog{60, "main window test"};
  fs::path folder;
};

TEST_F(MainWindow, MenusSectionsAndToolBarAsTheAuthorSeesThem) {
  TfrmMain f;
  f.ShowModeless();
  EXPECT_EQ(f.Caption(), "Tandrel-Install Configuration Builder");
  EXPECT_EQ(f.File1.Caption(), "&File");
  EXPECT_EQ(f.Action1.Caption(), "&Action");
  EXPECT_EQ(f.Help1.Caption(), "&Help");
  EXPECT_EQ(f.New1.Caption(), "&New");
  EXPECT_EQ(ShortCutToText(f.New1.GetShortCut()), "Ctrl+N");
  EXPECT_EQ(ShortCutToText(f.Build1->GetShortCut()), "F2");
  const char* shortcuts[] = {"Ctrl+G", "Ctrl+M", "Ctrl+F", "Ctrl+D", "Ctrl+P", "Ctrl+I", "Ctrl+R"};
  for (int tag = 0; tag < kSectionCount; ++tag) {
    EXPECT_EQ(f.SectionItems[tag]->Caption(), kSections[tag].Caption);
    EXPECT_EQ(f.SectionItems[tag]->Tag, tag);
    EXPECT_EQ(ShortCutToText(f.SectionItems[tag]->GetShortCut()), shortcuts[tag]);
  }
  EXPECT_EQ(f.SectionItems[4]->Hint(), "Select Icons");
  EXPECT_EQ(f.ToolBar1.ToolTip(IDC_MAIN_btnOpen), "Open or Import a file");
  EXPECT_EQ(f.pcMain.TabCaption(0), "Builder");
  EXPECT_EQ(f.pcMain.TabCaption(1), "More Information");
  RECT client = f.ClientRect();
  EXPECT_EQ(client.right, 620);
  EXPECT_EQ(client.bottom, 470);
  // Each section's item opens that section's editor; closing it leaves the project as it was.
  const std::vector<uint8_t> before = f.Project->SaveToBytes();
  std::vector<std::string> editors;
  for (int tag = 0; tag < kSectionCount; ++tag) {
    // Not the main window, whose own start-up runs inside the first modal loop.
    seams::WhenShownAny([&](Form& editor) {
      if (&editor == &f) return false;
      editors.push_back(editor.Caption());
      editor.Close();
      return true;
    });
    f.SectionItems[tag]->Click();
  }
  EXPECT_EQ(editors, (std::vector<std::string>{"General", "Screen", "Files/Groups", "Dialogs", "Program Manager Icons",
                                               "Ini Files", "Registry Settings"}));
  EXPECT_EQ(seams::PendingScripts(), 0);
  EXPECT_TRUE(seams::Messages().empty());
  EXPECT_FALSE(f.Project->Modified);
  EXPECT_EQ(f.Project->SaveToBytes(), before);
  for (int tag = 0; tag < kSectionCount; ++tag) EXPECT_FALSE(f.Tick(tag).Visible()) << tag;
  // Menu hints go to the first status panel.
  App().SetHint(f.SectionItems[2]->Hint());
  EXPECT_EQ(f.StatusBar1.PanelText(0), "Define Files and Groups");
  f.Close();
}

TEST_F(MainWindow, TicksFollowTheCompletedFlagsAndFramesTheMouse) {
  TfrmMain f;
  f.ShowModeless();
  for (int tag = 0; tag < kSectionCount; ++tag) EXPECT_FALSE(f.Tick(tag).Visible()) << tag;
  f.Project->CompletedFiles = true;
  f.Project->CompletedRegistry = true;
  f.UpdateTicks();
  for (int tag = 0; tag < kSectionCount; ++tag) EXPECT_EQ(f.Tick(tag).Visible(), tag == 2 || tag == 6) << tag;
  // Hover: the section under the mouse gets its frame, the background clears them all.
  f.SectionImage(3).MouseMove();
  for (int tag = 0; tag < kSectionCount; ++tag) EXPECT_EQ(f.Frame(tag).Visible(), tag == 3) << tag;
  f.Frame(5).MouseMove(1, 1);
  for (int tag = 0; tag < kSectionCount; ++tag) EXPECT_EQ(f.Highlight[tag], tag == 5) << tag;
  f.Image1.MouseMove();
  for (int tag = 0; tag < kSectionCount; ++tag) EXPECT_FALSE(f.Frame(tag).Visible()) << tag;
  // The backdrop follows the active page.
  f.pcMain.PickTab(1);
  EXPECT_EQ(GetParent(f.imgMain.Handle()), f.pcMain.Page(1));
  f.pcMain.PickTab(0);
  EXPECT_EQ(GetParent(f.imgMain.Handle()), f.pcMain.Page(0));
  f.Close();
}

// What a control draws by itself, pixel by pixel.
std::vector<COLORREF> DrawnAlone(HWND control) {
  RECT r;
  GetClientRect(control, &r);
  HDC screen = GetDC(nullptr);
  HDC mem = CreateCompatibleDC(screen);
  HBITMAP bmp = CreateCompatibleBitmap(screen, r.right, r.bottom);
  ReleaseDC(nullptr, screen);
  HGDIOBJ old = SelectObject(mem, bmp);
  SendMessageA(control, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(mem), PRF_CLIENT | PRF_ERASEBKGND);
  std::vector<COLORREF> px;
  for (int y = 0; y < r.bottom; ++y)
    for (int x = 0; x < r.right; ++x) px.push_back(GetPixel(mem, x, y));
  SelectObject(mem, old);
  DeleteObject(bmp);
  DeleteDC(mem);
  return px;
}

TEST_F(MainWindow, TheSectionPicturesShowAboveTheBackdropWithTheirTicksAndFrames) {
  TfrmMain f;
  f.ShowModeless();
  f.Project->CompletedGeneral = true;
  f.Project->CompletedIni = true;
  f.UpdateTicks();
  wintest::Pump(100);
  // The mouse over the third section; the window is looked at before the real mouse moves.
  f.SectionImage(2).MouseMove();
  const wintest::WindowPixels shot(f.Handle(), "main_window", false);
  auto shown = [&](HWND control) {
    // The share of the control's pixels on the screen that are its own drawing.
    const std::vector<COLORREF> own = DrawnAlone(control), seen = shot.Of(control);
    size_t same = 0;
    for (size_t i = 0; i < own.size() && i < seen.size(); ++i) same += own[i] == seen[i];
    return own.empty() ? 0.0 : static_cast<double>(same) / static_cast<double>(own.size());
  };
  for (int tag = 0; tag < kSectionCount; ++tag) {
    // Each section's picture shows whole but for the tick over its corner.
    EXPECT_GT(shown(f.SectionImage(tag).Handle()), 0.9) << tag;
    const bool ticked = tag == 0 || tag == 5;
    ASSERT_EQ(f.Tick(tag).Visible(), ticked) << tag;
    if (ticked) {
      EXPECT_EQ(shot.Count(f.Tick(tag).Handle(), RGB(255, 0, 255)), 0) << tag;
      EXPECT_GT(shot.Count(f.Tick(tag).Handle(), RGB(0, 160, 0)), 20) << tag;
    }
  }
  // The page's picture shows above the backdrop where no section lies over it.
  EXPECT_GT(shown(f.Image1.Handle()), 0.5);
  // The hovered section's frame: its outline shows in blue.
  RECT fr = f.Frame(2).ClientRect();
  EXPECT_EQ(shot.At(f.Frame(2).Handle(), 0, fr.bottom / 2), RGB(0, 0, 255));
  EXPECT_TRUE(f.Frame(2).Visible());
  f.Close();
}

TEST_F(MainWindow, OpenSaveReopenAndTheRecentList) {
  TfrmMain f;
  f.ShowModeless();
  std::string files[10];
  for (int i = 0; i < 10; ++i) files[i] = Project("App" + std::to_string(i), i == 4);
  for (int i = 0; i < 10; ++i) {
    seams::QueueFileAnswer(files[i]);
    f.actOpen.Execute();
  }
  ASSERT_EQ(f.RecentFiles.size(), 9u);
  EXPECT_EQ(f.RecentFiles.front(), files[9]);
  EXPECT_EQ(f.Project->ApplicationName(), "App9");
  EXPECT_EQ(f.StatusBar1.PanelText(1), "App9.zem");
  // The Reopen submenu leaves out the current file; the fifth entry opens and goes first.
  f.MainMenu1.OpenSubmenu(f.Reopen1);
  EXPECT_FALSE(f.mnuNone.Visible());
  ASSERT_EQ(f.Reopen1.Count(), 1 + 8);
  MenuItem& fifth = f.Reopen1.Items(4);
  EXPECT_EQ(fifth.Hint(), "Re-open : " + files[5]);
  fifth.Click();
  EXPECT_EQ(f.FileName, files[5]);
  EXPECT_EQ(f.RecentFiles.size(), 9u);
  EXPECT_EQ(f.RecentFiles.front(), files[5]);
  // A changed project saves to its file.
  f.Project->InstallDir = "<ProgramFilesDir>\\Changed";
  f.Project->Modified = true;
  f.actSave.Execute();
  EXPECT_FALSE(f.Project->Modified);
  TTandrelBaseInstall back;
  ASSERT_TRUE(back.LoadFromFile(files[5]));
  EXPECT_EQ(back.InstallDir, "<ProgramFilesDir>\\Changed");
  // Only the current file in the list: "<None>".
  f.RecentFiles = {files[5]};
  f.MainMenu1.OpenSubmenu(f.Reopen1);
  EXPECT_TRUE(f.mnuNone.Visible());
  EXPECT_EQ(f.Reopen1.Count(), 1);
  f.Close();
}

TEST_F(MainWindow, APathWithAnAmpersandReopens) {
  fs::create_directories(folder / "R&D");
  TTandrelBaseInstall p;
  p.SetApplicationName("Research");
  const std::string file = (folder / "R&D" / "Lab & Co.zem").string();
  ASSERT_TRUE(p.SaveToFile(file));
  TfrmMain f;
  f.ShowModeless();
  f.RecentFiles = {file};
  f.MainMenu1.OpenSubmenu(f.Reopen1);
  ASSERT_EQ(f.Reopen1.Count(), 2);
  char caption[MAX_PATH] = {};
  GetMenuStringA(f.Reopen1.Handle(), 0, caption, sizeof caption, MF_BYPOSITION);
  EXPECT_NE(std::string(caption).find("R&&D"), std::string::npos) << caption;
  f.Reopen1.Items(1).Click();
  EXPECT_TRUE(seams::Messages().empty()) << LastMessage();
  EXPECT_EQ(f.FileName, file);
  EXPECT_EQ(f.Project->ApplicationName(), "Research");
  f.Close();
}

TEST_F(MainWindow, QuerySaveAnswers) {
  const std::string existing = Project("Existing");
  struct Case {
    bool named;
    int answer;
    bool dialogOk;
    bool result;
    bool saved;
    const char* why;
  } cases[] = {
      {true, mrCancel, false, false, false, "Cancel stops"},
      {true, mrNo, false, true, false, "No goes on without saving"},
      {true, mrYes, false, true, true, "Yes saves under the file name"},
      {false, mrYes, true, true, true, "Yes without a name asks for one"},
      {false, mrYes, false, false, false, "a cancelled save dialog stops"},
  };
  for (const Case& c : cases) {
    seams::Reset();
    seams::Arm();
    TfrmMain f;
    f.Create();
    const std::string target = c.named ? existing : Path("Named.zem");
    fs::remove(Path("Named.zem"));
    if (c.named) f.OpenFile(existing);
    f.Project->InstallDir = "<ProgramFilesDir>\\Q";
    f.Project->Modified = true;
    seams::QueueMessageAnswer(c.answer);
    if (!c.named) seams::QueueFileAnswer(c.dialogOk ? std::optional<std::string>(target) : std::nullopt);
    EXPECT_EQ(f.QuerySave(), c.result) << c.why;
    ASSERT_EQ(seams::Messages().size(), 1u) << c.why;
    EXPECT_EQ(seams::Messages()[0].Text, "The current file has changed. Save your changes first?");
    EXPECT_EQ(seams::Messages()[0].Type, MsgDlgType::Confirmation);
    TTandrelBaseInstall back;
    bool loaded = back.LoadFromFile(target);
    EXPECT_EQ(loaded && back.InstallDir == "<ProgramFilesDir>\\Q", c.saved) << c.why;
    // Not modified: no question at all.
    f.Project->Modified = false;
    seams::ClearMessages();
    EXPECT_TRUE(f.QuerySave());
    EXPECT_TRUE(seams::Messages().empty());
  }
}

TEST_F(MainWindow, AFailedSaveSaysSoAndKeepsTheProjectModified) {
  TfrmMain f;
  f.ShowModeless();
  const std::string bad = Path("missing\\folder\\Lost.zem");
  f.Project->Modified = true;
  seams::QueueFileAnswer(bad);
  f.SaveAs1Click();
  ASSERT_EQ(seams::Messages().size(), 1u);
  EXPECT_EQ(LastMessage(), "Cannot save the file " + bad + ".");
  EXPECT_TRUE(f.Project->Modified);
  EXPECT_TRUE(f.RecentFiles.empty());
  // The next Exit asks again.
  seams::QueueMessageAnswer(mrCancel);
  f.Close();
  EXPECT_TRUE(f.Visible());
  seams::QueueMessageAnswer(mrNo);
  f.Close();
  EXPECT_FALSE(f.Visible());
}

TEST_F(MainWindow, NewClearsTheNameAndTheStatusBar) {
  const std::string file = Project("Old", true);
  TfrmMain f;
  f.ShowModeless();
  f.OpenFile(file);
  EXPECT_EQ(f.StatusBar1.PanelText(1), "Old.zem");
  EXPECT_TRUE(f.Tick(0).Visible());
  f.actNew.Execute();
  EXPECT_EQ(f.FileName, "");
  EXPECT_EQ(f.StatusBar1.PanelText(1), "");
  EXPECT_FALSE(f.Tick(0).Visible());
  f.Close();
}

TEST_F(MainWindow, FilesThatCannotBeOpened) {
  const std::string junk = Path("Junk.zem");
  base::WriteFileBytes(junk, {'n', 'o', 't', ' ', 'a', ' ', 'p', 'r', 'o', 'j', 'e', 'c', 't'});
  TfrmMain f;
  f.ShowModeless();
  f.OpenFile(junk);
  ASSERT_EQ(seams::Messages().size(), 1u);
  EXPECT_EQ(LastMessage(), "Invalid file format.");
  EXPECT_EQ(seams::Messages()[0].Type, MsgDlgType::Error);
  EXPECT_EQ(f.FileName, "");
  EXPECT_EQ(f.RecentFiles.front(), junk);
  // An InstallShield file that no longer exists.
  seams::ClearMessages();
  f.OpenFile(Path("Gone.iwz"));
  EXPECT_EQ(LastMessage(), "Invalid file format.");
  EXPECT_EQ(f.FileName, "");
  // A project file with bytes after the project's end: what it read is not kept.
  const std::string longer = Project("Longer");
  std::vector<uint8_t> bytes = base::ReadFileBytes(longer);
  bytes.insert(bytes.end(), 16, 0);
  base::WriteFileBytes(longer, bytes);
  seams::ClearMessages();
  f.OpenFile(longer);
  EXPECT_EQ(LastMessage(), "Invalid file format.");
  EXPECT_EQ(f.Project->ApplicationName(), "");

  // A picture or a text without sections named ".iwz" is no project either.
  const std::string note = "A note, no sections\r\n", picture = "BM\x3e\0\0\0 not really";
  for (const std::string& content : {note, picture}) {
    const std::string file = Path("Not.iwz");
    base::WriteFileBytes(file, std::vector<uint8_t>(content.begin(), content.end()));
    f.OpenFile(Project("Loaded"));
    seams::ClearMessages();
    f.OpenFile(file);
    ASSERT_EQ(seams::Messages().size(), 1u);
    EXPECT_EQ(LastMessage(), "Invalid file format.");
    EXPECT_EQ(seams::Messages()[0].Type, MsgDlgType::Error);
    EXPECT_EQ(f.FileName, "");
    EXPECT_EQ(f.StatusBar1.PanelText(1), "");
    EXPECT_FALSE(f.Project->Modified);
    EXPECT_FALSE(f.Project->CompletedFiles);
  }
  f.Close();
}

TEST_F(MainWindow, OpeningAnInstallShieldFileImportsItUnderAZemName) {
  const std::string iwz = Path("Old.IWZ");
  const std::string text = iwz::DemoExport(folder.string() + "\\");
  base::WriteFileBytes(iwz, std::vector<uint8_t>(text.begin(), text.end()));
  TfrmMain f;
  f.ShowModeless();
  f.OpenFile(iwz);
  EXPECT_TRUE(seams::Messages().empty()) << LastMessage();
  EXPECT_EQ(f.StatusBar1.PanelText(1), "Old.zem");
  EXPECT_EQ(f.FileName, Path("Old.zem"));
  EXPECT_EQ(f.RecentFiles.front(), iwz);
  EXPECT_EQ(f.Project->ApplicationName(), "Demo Writer");
  for (int tag = 0; tag < kSectionCount; ++tag)
    EXPECT_EQ(f.Tick(tag).Visible(), f.Project.get()->*kSections[tag].Completed) << tag;
  EXPECT_TRUE(f.Tick(0).Visible());
  f.actSave.Execute();
  TTandrelBaseInstall back;
  ASSERT_TRUE(back.LoadFromFile(Path("Old.zem")));
  EXPECT_EQ(back.ApplicationName(), "Demo Writer");
  EXPECT_FALSE(fs::exists(Path("Old.IWZ.zem")));
  f.Close();
}

TEST_F(MainWindow, ReopenAsksTheSaveQuestionFirst) {
  const std::string other = Project("Other");
  const std::string current = Project("Current");
  struct Case {
    int answer;
    bool opened;
    bool saved;
    const char* why;
  } cases[] = {
      {mrCancel, false, false, "Cancel keeps the changed project"},
      {mrNo, true, false, "No drops the changes and reopens"},
      {mrYes, true, true, "Yes saves, then reopens"},
  };
  for (const Case& c : cases) {
    seams::Reset();
    seams::Arm();
    Project("Current");
    TfrmMain f;
    f.ShowModeless();
    f.OpenFile(current);
    f.RecentFiles = {current, other};
    f.Project->InstallDir = "<ProgramFilesDir>\\Changed";
    f.Project->Modified = true;
    seams::QueueMessageAnswer(c.answer);
    f.MainMenu1.OpenSubmenu(f.Reopen1);
    ASSERT_EQ(f.Reopen1.Count(), 2) << c.why;
    f.Reopen1.Items(1).Click();
    ASSERT_EQ(seams::Messages().size(), 1u) << c.why;
    EXPECT_EQ(seams::Messages()[0].Text, "The current file has changed. Save your changes first?");
    EXPECT_EQ(f.FileName, c.opened ? other : current) << c.why;
    EXPECT_EQ(f.Project->ApplicationName(), c.opened ? "Other" : "Current") << c.why;
    if (!c.opened) EXPECT_EQ(f.Project->InstallDir, "<ProgramFilesDir>\\Changed") << c.why;
    TTandrelBaseInstall back;
    ASSERT_TRUE(back.LoadFromFile(current));
    EXPECT_EQ(back.InstallDir == "<ProgramFilesDir>\\Changed", c.saved) << c.why;
    f.Project->Modified = false;
    f.Close();
  }
}

TEST_F(MainWindow, AnImportedProjectAsksBeforeItsFirstSaveReplacesAFile) {
  const std::string iwz = Path("Old.iwz");
  const std::string text = iwz::DemoExport(folder.string() + "\\");
  base::WriteFileBytes(iwz, std::vector<uint8_t>(text.begin(), text.end()));
  const std::string zem = Project("Old");  // someone else's Old.zem, already there
  struct Case {
    int answer;
    std::optional<std::string> picked;
    const char* savedAs;
    bool oldKept;
    const char* why;
  } cases[] = {
      {mrYes, std::nullopt, "Old.zem", false, "Yes replaces it"},
      {mrNo, std::string("New.zem"), "New.zem", true, "No asks for another name"},
      {mrNo, std::nullopt, nullptr, true, "No, then no name: nothing saved"},
  };
  for (const Case& c : cases) {
    seams::Reset();
    seams::Arm();
    Project("Old");
    fs::remove(Path("New.zem"));
    TfrmMain f;
    f.ShowModeless();
    f.OpenFile(iwz);
    ASSERT_EQ(f.FileName, zem) << c.why;
    seams::QueueMessageAnswer(c.answer);
    if (c.answer == mrNo) seams::QueueFileAnswer(c.picked ? std::optional<std::string>(Path(*c.picked)) : std::nullopt);
    f.actSave.Execute();
    ASSERT_GE(seams::Messages().size(), 1u) << c.why;
    EXPECT_EQ(seams::Messages()[0].Text, zem + " already exists.\nDo you want to replace it?") << c.why;
    TTandrelBaseInstall old;
    ASSERT_TRUE(old.LoadFromFile(zem));
    EXPECT_EQ(old.ApplicationName(), c.oldKept ? "Old" : "Demo Writer") << c.why;
    if (c.savedAs) {
      EXPECT_EQ(f.FileName, Path(c.savedAs)) << c.why;
      EXPECT_FALSE(f.Project->Modified) << c.why;
      EXPECT_EQ(f.StatusBar1.PanelText(1), c.savedAs) << c.why;
      // The name is the author's now: the next Save asks nothing.
      seams::ClearMessages();
      f.Project->Modified = true;
      f.actSave.Execute();
      EXPECT_TRUE(seams::Messages().empty()) << c.why;
    } else {
      EXPECT_TRUE(f.Project->Modified) << c.why;
    }
    f.Project->Modified = false;
    f.Close();
  }
  // Without an Old.zem the first Save writes it unasked.
  seams::Reset();
  seams::Arm();
  fs::remove(zem);
  TfrmMain f;
  f.ShowModeless();
  f.OpenFile(iwz);
  f.actSave.Execute();
  EXPECT_TRUE(seams::Messages().empty());
  EXPECT_TRUE(fs::exists(zem));
  f.Close();
}

TEST_F(MainWindow, TheRecentListSurvivesARestart) {
  const std::string a = Project("A"), b = Project("B"), gone = Project("Gone");
  {
    TfrmMain f;
    f.OpenFile(a);
    f.OpenFile(gone);
    f.OpenFile(b);
  }
  fs::remove(gone);
  TfrmMain again;
  EXPECT_EQ(again.RecentFiles, (std::vector<std::string>{b, a}));
  EXPECT_EQ(again.FileName, "");
}

TEST_F(MainWindow, BuildAsksTheSaveQuestionFirst) {
  const std::string file = Project("Build");
  TfrmMain f;
  f.ShowModeless();
  f.OpenFile(file);
  f.Project->InstallDir = "<ProgramFilesDir>\\Unsaved";
  f.Project->Modified = true;
  int builds = 0;
  std::string builtDir, builtName;
  // Cancel: no build dialog.
  seams::QueueMessageAnswer(mrCancel);
  seams::WhenShown<TfrmBuilder>([&](TfrmBuilder& b) {
    ++builds;
    b.SetModalResult(mrOk);
  });
  f.actBuild.Execute();
  EXPECT_EQ(builds, 0);
  // No: the unsaved state is built under the current name (F2 through the window).
  seams::QueueMessageAnswer(mrNo);
  seams::Reset();
  seams::Arm();
  seams::QueueMessageAnswer(mrNo);
  seams::WhenShown<TfrmBuilder>([&](TfrmBuilder& b) {
    ++builds;
    builtDir = b.Project->InstallDir;
    builtName = b.FileName;
    b.SetModalResult(mrOk);
  });
  EXPECT_TRUE(f.MainMenu1.ShortCutKey(VK_F2, 0));
  EXPECT_EQ(builds, 1);
  EXPECT_EQ(builtDir, "<ProgramFilesDir>\\Unsaved");
  EXPECT_EQ(builtName, file);
  f.Project->Modified = false;
  f.Close();
}

TEST_F(MainWindow, GeneralSettingsOpenFromTheSectionAndTickIt) {
  TfrmMain f;
  f.ShowModeless();
  seams::WhenShown<TfrmGeneral>([](TfrmGeneral& g) {
    g.edtApplication.SetText("Tool");
    g.btnOk.Click();
  });
  f.SectionImage(0).MouseClick();
  EXPECT_EQ(f.Project->ApplicationName(), "Tool");
  EXPECT_TRUE(f.Project->Modified);
  EXPECT_TRUE(f.Tick(0).Visible());
  // Help and about.
  f.Contents1.Click();
  f.Contactingus1.Click();
  EXPECT_EQ(seams::HelpRequests(), (std::vector<int>{1, 5}));
  bool aboutShown = false;
  seams::WhenShown<TfrmAbout>([&](TfrmAbout& a) {
    aboutShown = true;
    a.btnOk.Click();
  });
  f.About1.Click();
  EXPECT_TRUE(aboutShown);
  f.Project->Modified = false;
  f.Close();
}

}  // namespace
