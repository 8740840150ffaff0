// The setup wizard and the group picker under Wine, driven as a user would: buttons,
// typed text, check boxes by mouse and by the space bar, Esc, the title bar.
#include <gtest/gtest.h>
#include <windows.h>
#include <shlwapi.h>

#include <cstdio>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "base/win/Application.h"
#include "base/win/TestSeams.h"
#include "resources/engine_strings.h"
#include "setup/engine/DialogsForm.h"
#include "setup/engine/GroupsForm.h"
#include "setup/model/InstPlatform.h"
#include "setup/services/InstGlobal.h"
#include "tests/harness/FormDriver.h"
#include "tests/harness/PictureFiles.h"
#include "tests/harness/WinTestSupport.h"

using namespace base::win;
using wintest::TextOf;

namespace {

const char* const kApp = "Zed 100% & Co";

TTandrelDialogTypes Set(std::initializer_list<TTandrelDialogType> pages) {
  TTandrelDialogTypes s = 0;
  for (auto p : pages) s |= static_cast<TTandrelDialogTypes>(SetBit(p));
  return s;
}

std::string Word(int id) { return FormatAppText(WizardDefaultText(id), kApp); }

// Each test has a company of its own: the tests run side by side in one prefix.
std::string TestCompany() {
  return std::string("TandrelWizard.") + ::testing::UnitTest::GetInstance()->current_test_info()->name();
}

void ClearUserInfo() { SHDeleteKeyA(HKEY_LOCAL_MACHINE, ("Software\\" + TestCompany()).c_str()); }

void MakeFolder(const std::string& dir) { CreateDirectoryA(dir.c_str(), nullptr); }

// Left edge of an item's row: where the list view draws its check box.
void ClickCheckBox(HWND list, int index) {
  RECT r{};
  r.left = LVIR_BOUNDS;
  SendMessageA(list, LVM_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&r));
  LPARAM at = MAKELPARAM(r.left + 8, (r.top + r.bottom) / 2);
  PostMessageA(list, WM_LBUTTONDOWN, MK_LBUTTON, at);
  PostMessageA(list, WM_LBUTTONUP, 0, at);
  wintest::Pump(100);
}

void PressSpaceOn(HWND list, int index) {
  SetFocus(list);
  LVITEMA item{};
  item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
  item.state = LVIS_SELECTED | LVIS_FOCUSED;
  SendMessageA(list, LVM_SETITEMSTATE, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item));
  wintest::PostKey(VK_SPACE, list);
  wintest::Pump(100);
}

bool ListChecked(HWND list, int index) {
  auto state = static_cast<UINT>(SendMessageA(list, LVM_GETITEMSTATE, static_cast<WPARAM>(index), LVIS_STATEIMAGEMASK));
  return ((state & LVIS_STATEIMAGEMASK) >> 12) == 2;
}

class Wizard : public ::testing::Test {
protected:
  void SetUp() override {
    seams::Reset();
    seams::Arm();
    ResetInstGlobalState();
    ClearUserInfo();
    folder = wintest::TempFolder() + "TandrelWizard";
    MakeFolder(folder);
    p.SetApplicationName(kApp);
    p.SetCompanyName(TestCompany());
    p.ApplicationVersion = "1.0";
    p.InstallDir = folder;
    p.ProgramFolder = "Zed Tools";
    p.IndividualGroup = true;
    // Application Files: Program Files 3 K + Extras 2 K; help 5 K; examples 10 K, NT only.
    auto sizes = [&](const char* group, std::vector<int32_t> bytes) {
      TTandrelFileGroup* g = p.FindGroupText(group);
      for (int32_t b : bytes) g->Files.Add()->Size = b;
    };
    sizes("Program Files", {2048, 1024});
    sizes("Help Files", {5120});
    sizes("Examples", {10240});
    p.FindGroupText("Examples")->UpdatePlatforms = WindowsVersionBit(wvNT4) | WindowsVersionBit(wvNT5);
    TTandrelFileGroup* extras = p.Groups.Add();
    extras->Owner = &p;
    extras->SetName("Extras");
    extras->Description = "Extra tools";
    extras->Files.Add()->Size = 2048;
    p.FindGroupText("Program Files")->Description = "The program";
    p.FindComponent("Application Files")->Groups.push_back("Extras");
  }
  void TearDown() override {
    seams::Reset();
    ClearUserInfo();
    ResetInstGlobalState();
  }

  // Runs the wizard before copying with a script acting inside its modal run.
  int Run(std::function<void(TfrmInstDialogs&)> script) {
    seams::WhenShown<TfrmInstDialogs>(std::move(script));
    int result = ExecuteInstDialogs(&p);
    EXPECT_EQ(seams::PendingScripts(), 0) << "the wizard never showed";
    return result;
  }

  static void Next(TfrmInstDialogs& f) { wintest::Click(f.btnNext.Handle()); }
  static void Back(TfrmInstDialogs& f) { wintest::Click(f.btnBack.Handle()); }

  // Walks with Next to the end, typing a name on the user page; the pages seen.
  static std::vector<int> WalkToTheEnd(TfrmInstDialogs& f) {
    std::vector<int> seen;
    for (int guard = 0; guard < 20 && f.ModalResult() == mrNone; ++guard) {
      seen.push_back(f.CurrentPage);
      if (f.CurrentPage == dtUser) wintest::Type(f.edtUserName.Handle(), "Ann");
      Next(f);
    }
    return seen;
  }

  TTandrelBaseInstall p;
  std::string folder;
  seams::Watchdog dog{40, "wizard test"};
};

// ---------------------------------------------------------------- page flow

TEST_F(Wizard, PageSequenceFollowsDialogTypes) {
  struct {
    const char* why;
    TTandrelDialogTypes types;
    bool custom;
    std::vector<int> pages;
  } cases[] = {
      {"the default set", 0x03FF, false, {0, 1, 2, 3, 4, 5, 7, 8}},
      {"the default set with Custom", 0x03FF, true, {0, 1, 2, 3, 4, 5, 6, 7, 8}},
      {"user page then complete: the user page commits", Set({dtUser, dtComplete}), false, {3}},
      {"no welcome page", Set({dtReadme, dtSetupType, dtStartCopying, dtProgress, dtBillboards}), false, {2, 5, 8}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.why);
    p.DialogTypes = c.types;
    p.InstallInfo.reset();
    std::vector<int> seen;
    bool firstBack = true;
    int result = Run([&](TfrmInstDialogs& f) {
      firstBack = f.btnBack.Enabled();
      for (int guard = 0; guard < 20 && f.ModalResult() == mrNone; ++guard) {
        seen.push_back(f.CurrentPage);
        if (f.CurrentPage == dtUser) wintest::Type(f.edtUserName.Handle(), "Ann");
        if (f.CurrentPage == dtSetupType && c.custom) wintest::Click(f.rbCustom.Handle());
        Next(f);
      }
    });
    EXPECT_EQ(result, mrOk);
    EXPECT_EQ(seen, c.pages);
    EXPECT_FALSE(firstBack) << "Back on the first page";
    ASSERT_NE(p.InstallInfo, nullptr);
    EXPECT_EQ(p.InstallInfo->InstallDir, folder);
    EXPECT_EQ(GetDirMacro("<INSTALLDIR>"), folder);
    if (InSet(c.types, dtUser)) EXPECT_EQ(p.UserName, "Ann") << "also when the user page commits";
  }
}

TEST_F(Wizard, BackSkipsTheComponentsPageUnlessCustomIsChosen) {
  p.DialogTypes = Set({dtWelcome, dtSetupType, dtCustom, dtStartCopying});
  Run([&](TfrmInstDialogs& f) {
    Next(f);
    EXPECT_EQ(f.CurrentPage, dtSetupType);
    Next(f);
    EXPECT_EQ(f.CurrentPage, dtStartCopying);
    Back(f);
    EXPECT_EQ(f.CurrentPage, dtSetupType);
    wintest::Click(f.rbCustom.Handle());
    Next(f);
    EXPECT_EQ(f.CurrentPage, dtCustom);
    Next(f);
    Back(f);
    EXPECT_EQ(f.CurrentPage, dtCustom);
    Back(f);
    Back(f);
    EXPECT_EQ(f.CurrentPage, dtWelcome);
    EXPECT_FALSE(f.btnBack.Enabled());
    f.SetModalResult(mrCancel);
  });
}

TEST_F(Wizard, NoPageBeforeCopyingCommitsTypicalWithoutAWindow) {
  for (TTandrelDialogTypes types : {TTandrelDialogTypes(0), Set({dtProgress, dtComplete})}) {
    seams::Reset();
    seams::Arm();
    p.DialogTypes = types;
    p.InstallInfo.reset();
    seams::WhenShown<TfrmInstDialogs>([](TfrmInstDialogs& f) { f.SetModalResult(mrAbort); });
    EXPECT_EQ(ExecuteInstDialogs(&p), mrOk);
    EXPECT_EQ(seams::PendingScripts(), 1) << "no window for " << types;
    ASSERT_NE(p.InstallInfo, nullptr);
    EXPECT_EQ(p.InstallInfo->Components.size(), WindowsVersion == wvNT4 || WindowsVersion == wvNT5 ? 3u : 2u);
    EXPECT_EQ(p.InstallInfo->InstallDir, folder);
  }
}

TEST_F(Wizard, StrayPageIndexChangesNothing) {
  p.DialogTypes = 0x03FF;
  Run([&](TfrmInstDialogs& f) {
    f.Post(WM_APP + 1, 99);
    f.Post(WM_APP + 1, dtExit);
    wintest::Pump(50);
    EXPECT_EQ(f.CurrentPage, dtWelcome);
    f.Post(WM_APP + 1, dtReadme);
    wintest::Pump(50);
    EXPECT_EQ(f.CurrentPage, dtReadme);
    f.SetModalResult(mrCancel);
  });
}

// DLL extensions answered in the test: "Stop" ends the setup, "Go" goes on and hands back
// another folder.
class WizardExtensions : public Wizard {
protected:
  void SetUp() override {
    Wizard::SetUp();
    saved = model::Platform();
    model::Platform().callDll = [this](const std::string&, const std::string& fn, const model::DllCallArgs& a) {
      calls.push_back(fn);
      dialogWnds.push_back(a.dialogWnd);
      model::DllCallResult r;
      r.value = fn == "Stop" ? 0 : 1;
      if (fn == "Go") strcpy(a.folder, "D:\\FromExtension");
      return r;
    };
    model::Platform().showError = [this](const std::string& text) { errors.push_back(text); };
  }
  void TearDown() override {
    model::Platform() = saved;
    Wizard::TearDown();
  }
  void Add(TTandrelDialogType when, const char* fn) {
    TTandrelExtension* e = p.Extensions.Add();
    e->Owner = &p;
    e->Style = esDLL;
    e->Executable = "probe.dll";
    e->Params = fn;
    e->When = when;
  }
  model::PlatformServices saved;
  std::vector<std::string> calls, errors;
  std::vector<TWindowHandle> dialogWnds;
};

TEST_F(WizardExtensions, RunOnNextAgainAfterBackAndAFailureEndsTheWizard) {
  p.DialogTypes = Set({dtWelcome, dtReadme, dtUser, dtStartCopying});
  Add(dtReadme, "Go");
  Add(dtStartCopying, "Stop");
  int result = Run([&](TfrmInstDialogs& f) {
    Next(f);
    EXPECT_EQ(f.CurrentPage, dtReadme);
    ASSERT_EQ(calls, std::vector<std::string>{"Go"});
    EXPECT_EQ(dialogWnds[0], reinterpret_cast<TWindowHandle>(f.Handle()));
    // The wizard's folder was fixed by the first Next; the extension's folder does not replace it.
    EXPECT_EQ(f.ChosenDir, folder);
    Back(f);
    EXPECT_EQ(calls.size(), 1u) << "nothing runs on Back";
    Next(f);
    EXPECT_EQ(calls.size(), 2u) << "Back refreshed the extensions";
    Next(f);
    EXPECT_EQ(GetDirMacro("<INSTALLDIR>"), folder);
    wintest::Type(f.edtUserName.Handle(), "Ann");
    Next(f);
    EXPECT_EQ(calls.back(), "Stop");
    EXPECT_EQ(f.CurrentPage, dtUser);
    EXPECT_EQ(f.ModalResult(), mrCancel);
  });
  EXPECT_EQ(result, mrCancel);
  EXPECT_EQ(p.InstallInfo, nullptr);
}

TEST_F(WizardExtensions, AFailureAtTheFirstPageShowsNoWizard) {
  p.DialogTypes = Set({dtReadme, dtStartCopying});
  Add(dtReadme, "Stop");
  seams::WhenShown<TfrmInstDialogs>([](TfrmInstDialogs& f) { f.SetModalResult(mrOk); });
  EXPECT_EQ(ExecuteInstDialogs(&p), mrCancel);
  EXPECT_EQ(seams::PendingScripts(), 1);
  EXPECT_EQ(calls, std::vector<std::string>{"Stop"});
  EXPECT_NE(dialogWnds[0], 0u) << "the wizard's window is handed over";
}

TEST_F(WizardExtensions, CompletePointExtensionsRunFirstAndAFailureHidesThePage) {
  p.DialogTypes = Set({dtComplete});
  Add(dtComplete, "Stop");
  seams::WhenShown<TfrmInstDialogs>([](TfrmInstDialogs& f) { f.SetModalResult(mrOk); });
  ExecuteCompleteDialog(&p);
  EXPECT_EQ(seams::PendingScripts(), 1);
  EXPECT_EQ(calls, std::vector<std::string>{"Stop"});
  EXPECT_EQ(dialogWnds[0], 0u) << "no dialog window at the complete point";
}

// ---------------------------------------------------------------- texts

TEST_F(Wizard, EveryPageShowsTheStringTableTexts) {
  p.DialogTypes = 0x03FF;
  // The string table itself holds the words of the header (ids as numbered).
  for (int id : {IDS_WIZ_CONFIRM_CANCEL, IDS_WIZ_CREATE_DIR, IDS_WIZ_WELCOME1, IDS_GRP_TITLE, IDS_WIZ_RESTART_LATER})
    EXPECT_EQ(LoadStr(static_cast<unsigned>(id)), WizardDefaultText(id)) << id;
  EXPECT_EQ(LoadStr(65279), "Welcome to the %s Setup program. This program will install %s on your computer.");
  Run([&](TfrmInstDialogs& f) {
    for (int page = dtWelcome; page <= dtStartCopying; ++page) {
      f.Post(WM_APP + 1, static_cast<WPARAM>(page));
      wintest::PumpUntil([&f, page] { return f.CurrentPage == page; });
      ASSERT_EQ(f.CurrentPage, page);
      for (const TPageText& t : PageTexts(static_cast<TTandrelDialogType>(page), false)) {
        std::string shown = t.ControlId == 0 ? f.Caption() : TextOf(f.Item(t.ControlId));
        EXPECT_EQ(shown, Word(t.StringId)) << "page " << page << " control " << t.ControlId;
      }
    }
    f.SetModalResult(mrCancel);
  });
  ClearUserInfo();
  p.RunCommand = "zed.exe";
  p.ShowReadMe = true;
  for (bool restart : {false, true}) {
    p.ShowRestart = restart;
    seams::WhenShown<TfrmInstDialogs>([&](TfrmInstDialogs& f) {
      for (const TPageText& t : PageTexts(dtComplete, restart)) {
        std::string shown = t.ControlId == 0 ? f.Caption() : TextOf(f.Item(t.ControlId));
        EXPECT_EQ(shown, Word(t.StringId)) << "complete page control " << t.ControlId;
      }
      EXPECT_FALSE(f.btnCancel.Visible());
      EXPECT_FALSE(f.btnBack.Enabled());
      f.SetModalResult(mrCancel);
    });
    p.DialogTypes = Set({dtComplete});
    ExecuteCompleteDialog(&p);
    EXPECT_EQ(seams::PendingScripts(), 0);
  }
}

TEST_F(Wizard, ApplicationNameWithPercentAndAmpersandShowsAsTyped) {
  p.DialogTypes = Set({dtWelcome, dtLicense, dtStartCopying});
  p.License = "{\\rtf1\\ansi Terms {\\b bold}.}";
  Run([&](TfrmInstDialogs& f) {
    EXPECT_EQ(TextOf(f.Item(IDC_lblWelcome1)),
              "Welcome to the Zed 100% & Co Setup program. This program will install Zed 100% & Co on your computer.");
    EXPECT_EQ(f.Caption(), "Welcome");
    Next(f);
    EXPECT_EQ(TextOf(f.btnNext.Handle()), "Yes");
    EXPECT_EQ(TextOf(f.btnCancel.Handle()), "No");
    EXPECT_FALSE(f.pnlImage.Visible());
    EXPECT_EQ(f.reLicense.PlainText().substr(0, 11), "Terms bold.");
    Next(f);
    EXPECT_TRUE(f.pnlImage.Visible());
    std::string summary = f.reSettings.PlainText();
    EXPECT_NE(summary.find("Setup Type:"), std::string::npos);
    EXPECT_NE(summary.find("    Full"), std::string::npos);
    EXPECT_NE(summary.find("    " + folder), std::string::npos);
    f.SetModalResult(mrCancel);
  });
}

TEST_F(Wizard, SidePictureFromTheProgramOrTheProject) {
  p.DialogTypes = Set({dtWelcome, dtLicense});
  Run([&](TfrmInstDialogs& f) {
#ifdef WIZARD_HAS_SIDE_PICTURE
    EXPECT_FALSE(f.imgCustom.Empty()) << "the program's own SIDE picture";
    // The frame fits the picture: no strips of panel beside or below it.
    EXPECT_EQ(f.imgCustom.Width(), f.imgCustom.PictureWidth());
    EXPECT_EQ(f.imgCustom.Height(), f.imgCustom.PictureHeight());
    EXPECT_EQ(f.pnlImage.Width(), f.imgCustom.Width() + 4);
    EXPECT_EQ(f.pnlImage.Height(), f.imgCustom.Height() + 4);
    EXPECT_EQ(f.imgCustom.Left(), f.pnlImage.Left() + 2);
    EXPECT_EQ(f.imgCustom.Top(), f.pnlImage.Top() + 2);
#endif
    EXPECT_TRUE(f.imgCustom.Visible());
    f.SetModalResult(mrCancel);
  });
  // The author's picture, when the project asks for one and the file is there.
  const std::string bmp = folder + "\\side.bmp";
  {
    BITMAPINFOHEADER bi{};
    bi.biSize = sizeof bi;
    bi.biWidth = 7;
    bi.biHeight = 5;
    bi.biPlanes = 1;
    bi.biBitCount = 24;
    const DWORD row = (7 * 3 + 3) & ~3u;
    std::vector<char> pixels(row * 5, '\x40');
    BITMAPFILEHEADER bf{};
    bf.bfType = 0x4D42;
    bf.bfOffBits = sizeof bf + sizeof bi;
    bf.bfSize = bf.bfOffBits + static_cast<DWORD>(pixels.size());
    FILE* out = fopen(bmp.c_str(), "wb");
    ASSERT_NE(out, nullptr);
    fwrite(&bf, sizeof bf, 1, out);
    fwrite(&bi, sizeof bi, 1, out);
    fwrite(pixels.data(), pixels.size(), 1, out);
    fclose(out);
  }
  p.CustomImage = true;
  p.CustomImagePath = bmp;
  p.CenterImage = false;
  p.StretchImage = true;
  Run([&](TfrmInstDialogs& f) {
    EXPECT_EQ(f.imgCustom.PictureWidth(), 7);
    EXPECT_EQ(f.imgCustom.PictureHeight(), 5);
    EXPECT_FALSE(f.imgCustom.Center());
    EXPECT_TRUE(f.imgCustom.Stretch());
    f.SetModalResult(mrCancel);
  });
  DeleteFileA(bmp.c_str());
}

TEST_F(Wizard, AnIconAsTheSidePictureShowsOnThePage) {
  const std::string ico = folder + "\\side.ico";
  base::WriteFileBytes(ico, wintest::PictureBytes(wintest::MakeIcon16(RGB(255, 0, 0))));
  p.DialogTypes = Set({dtWelcome, dtLicense});
  p.CustomImage = true;
  p.CustomImagePath = ico;
  p.CenterImage = false;
  p.StretchImage = true;
  Run([&](TfrmInstDialogs& f) {
    EXPECT_EQ(f.imgCustom.PictureWidth(), 16);
    EXPECT_EQ(f.imgCustom.PictureHeight(), 16);
    wintest::Pump(50);
    UpdateWindow(f.Handle());
    // Stretched over the frame: the left half red, the right half no black square.
    RECT r = f.imgCustom.ClientRect();
    HDC dc = GetDC(f.imgCustom.Handle());
    EXPECT_EQ(GetPixel(dc, r.right / 4, r.bottom / 2), RGB(255, 0, 0));
    EXPECT_NE(GetPixel(dc, r.right * 3 / 4, r.bottom / 2), RGB(0, 0, 0));
    ReleaseDC(f.imgCustom.Handle(), dc);
    f.SetModalResult(mrCancel);
  });
  DeleteFileA(ico.c_str());
}

// ---------------------------------------------------------------- the user page

TEST_F(Wizard, NextStaysDisabledUntilANameIsTyped) {
  p.DialogTypes = Set({dtUser, dtStartCopying});
  Run([&](TfrmInstDialogs& f) {
    EXPECT_EQ(f.CurrentPage, dtUser);
    EXPECT_EQ(f.edtUserName.Text(), "");
    EXPECT_FALSE(f.btnNext.Enabled());
    Next(f);
    EXPECT_EQ(f.CurrentPage, dtUser) << "a disabled Next does nothing";
    wintest::Type(f.edtUserCompany.Handle(), "Firm");
    EXPECT_FALSE(f.btnNext.Enabled()) << "the company alone is not enough";
    wintest::Type(f.edtUserName.Handle(), "A");
    EXPECT_TRUE(f.btnNext.Enabled());
    wintest::Type(f.edtUserName.Handle(), "\b");
    EXPECT_EQ(f.edtUserName.Text(), "");
    EXPECT_FALSE(f.btnNext.Enabled());
    wintest::Type(f.edtUserName.Handle(), "Ann");
    Next(f);
    EXPECT_EQ(f.CurrentPage, dtStartCopying);
    EXPECT_EQ(p.UserName, "Ann");
    EXPECT_EQ(p.UserCompany, "Firm");
    Back(f);
    EXPECT_EQ(f.CurrentPage, dtUser);
    wintest::Type(f.edtUserName.Handle(), "Bob");
    wintest::Type(f.edtUserCompany.Handle(), "Firm");
    Next(f);
    Next(f);
  });
  ASSERT_NE(p.InstallInfo, nullptr);
  EXPECT_EQ(p.InstallInfo->UserName, "Bob");
  // Stored as the product's defaults: a second run offers them.
  {
    std::string n, c;
    ReadUserInfo(TestCompany(), kApp, "1.0", n, c);
    EXPECT_EQ(n, "Bob");
    EXPECT_EQ(c, "Firm");
  }
  p.InstallInfo.reset();
  Run([&](TfrmInstDialogs& f) {
    EXPECT_EQ(f.edtUserName.Text(), "Bob");
    EXPECT_EQ(f.edtUserCompany.Text(), "Firm");
    EXPECT_TRUE(f.btnNext.Enabled());
    f.SetModalResult(mrCancel);
  });
}

TEST_F(Wizard, ProgramFolderPageNeedsAFolderName) {
  p.DialogTypes = Set({dtSelectFolder, dtStartCopying});
  Run([&](TfrmInstDialogs& f) {
    EXPECT_EQ(f.edtFolderName.Text(), "Zed Tools");
    EXPECT_TRUE(f.btnNext.Enabled());
    wintest::Type(f.edtFolderName.Handle(), "\b");
    EXPECT_FALSE(f.btnNext.Enabled());
    // Picking an existing folder with the keyboard puts it into the field.
    const std::vector<std::string> existing = f.lbExistingFolders.Items();
    if (!existing.empty()) {
      SetFocus(f.lbExistingFolders.Handle());
      wintest::PostKey(VK_DOWN, f.lbExistingFolders.Handle());
      wintest::Pump(50);
      EXPECT_EQ(f.edtFolderName.Text(), existing[static_cast<size_t>(f.lbExistingFolders.ItemIndex())]);
      EXPECT_TRUE(f.btnNext.Enabled());
    }
    wintest::Type(f.edtFolderName.Handle(), "Mine");
    Next(f);
    Next(f);
  });
  ASSERT_NE(p.InstallInfo, nullptr);
  EXPECT_EQ(p.InstallInfo->ProgramFolder, "Mine");
}

// ---------------------------------------------------------------- cancelling

TEST_F(Wizard, CancelAsksAndOnlyYesEndsTheSetup) {
  p.DialogTypes = 0x03FF;
  int result = Run([&](TfrmInstDialogs& f) {
    seams::QueueMessageAnswer(mrNo);
    wintest::Click(f.btnCancel.Handle());
    ASSERT_EQ(seams::Messages().size(), 1u);
    EXPECT_EQ(seams::Messages()[0].Text, WizardDefaultText(IDS_WIZ_CONFIRM_CANCEL));
    EXPECT_EQ(seams::Messages()[0].Type, MsgDlgType::Confirmation);
    EXPECT_EQ(seams::Messages()[0].Buttons, mbYesNo);
    EXPECT_EQ(f.ModalResult(), mrNone);
    Next(f);
    EXPECT_EQ(f.CurrentPage, dtLicense);
    // Esc asks the same question; "No" on the licence page too.
    seams::QueueMessageAnswer(mrNo);
    wintest::PostKey(VK_ESCAPE, f.Handle());
    wintest::Pump(100);
    EXPECT_EQ(seams::Messages().size(), 2u);
    EXPECT_EQ(f.ModalResult(), mrNone);
    seams::QueueMessageAnswer(mrYes);
    wintest::Click(f.btnCancel.Handle());
  });
  EXPECT_EQ(result, mrCancel);
  EXPECT_EQ(seams::Messages().size(), 3u);
  EXPECT_EQ(p.InstallInfo, nullptr);
}

TEST_F(Wizard, ClosingByTheTitleBarCancelsWithoutAQuestion) {
  p.DialogTypes = 0x03FF;
  int result = Run([&](TfrmInstDialogs& f) {
    wintest::CloseByTitleBar(f.Handle());
    wintest::Pump(50);
  });
  EXPECT_EQ(result, mrCancel);
  EXPECT_TRUE(seams::Messages().empty());
}

// ---------------------------------------------------------------- folders

TEST_F(Wizard, BrowsingToAMissingFolderAskedNoKeepsTheOldFolder) {
  p.DialogTypes = Set({dtDestination, dtStartCopying});
  const std::string missing = folder + "\\not\\there";
  const std::string other = wintest::TempFolder() + "TandrelWizardOther";
  MakeFolder(other);
  Run([&](TfrmInstDialogs& f) {
    EXPECT_EQ(f.ChosenDir, folder);
    EXPECT_EQ(f.lblDottedPath.Caption(), MinimizePathForLabel(f.lblDottedPath.Handle(), folder));
    seams::QueueFolderAnswer(missing);
    seams::QueueMessageAnswer(mrNo);
    wintest::Click(f.Item(IDC_btnBrowse));
    ASSERT_EQ(seams::FolderRequests().size(), 1u);
    EXPECT_EQ(seams::FolderRequests()[0], folder);
    ASSERT_EQ(seams::Messages().size(), 1u);
    EXPECT_EQ(seams::Messages()[0].Text, WizardDefaultText(IDS_WIZ_CREATE_DIR));
    EXPECT_EQ(f.ChosenDir, folder);
    EXPECT_EQ(f.lblDottedPath.Caption(), MinimizePathForLabel(f.lblDottedPath.Handle(), folder));
    // An existing folder is taken without a question.
    seams::QueueFolderAnswer(other);
    wintest::Click(f.Item(IDC_btnBrowse));
    EXPECT_EQ(f.ChosenDir, other);
    EXPECT_EQ(seams::Messages().size(), 1u);
    // Yes takes the missing folder; it is not created here.
    seams::QueueFolderAnswer(missing);
    seams::QueueMessageAnswer(mrYes);
    wintest::Click(f.Item(IDC_btnBrowse));
    EXPECT_EQ(f.ChosenDir, missing);
    EXPECT_EQ(GetFileAttributesA(missing.c_str()), INVALID_FILE_ATTRIBUTES);
    Next(f);
    EXPECT_NE(f.reSettings.PlainText().find("    " + missing), std::string::npos);
    Next(f);
  });
  ASSERT_NE(p.InstallInfo, nullptr);
  EXPECT_EQ(p.InstallInfo->InstallDir, missing);
  EXPECT_EQ(p.InstallDir, missing);
  EXPECT_EQ(GetDirMacro("<INSTALLDIR>"), missing);
}

TEST_F(Wizard, FreeSpaceWithoutADriveShowsZero) {
  p.DialogTypes = Set({dtSetupType, dtCustom, dtStartCopying});
  p.InstallDir = "";
  Run([&](TfrmInstDialogs& f) {
    wintest::Click(f.rbCustom.Handle());
    Next(f);
    ASSERT_EQ(f.CurrentPage, dtCustom);
    EXPECT_EQ(f.lblAvailable.Caption(), "0 K");
    f.ChosenDir = "\\\\server\\share";
    f.UpdateSpace();
    EXPECT_EQ(f.lblAvailable.Caption(), "0 K");
    f.ChosenDir = folder;
    f.UpdateSpace();
    EXPECT_NE(f.lblAvailable.Caption(), "0 K");
    f.SetModalResult(mrCancel);
  });
}

// ---------------------------------------------------------------- components and groups

class WizardComponents : public Wizard {
protected:
  void SetUp() override {
    Wizard::SetUp();
    p.DialogTypes = Set({dtSetupType, dtCustom, dtStartCopying});
  }
};

TEST_F(WizardComponents, CheckBoxesByMouseAndSpaceChangeSpaceRequired) {
  const bool nt = WindowsVersion == wvNT4 || WindowsVersion == wvNT5;
  Run([&](TfrmInstDialogs& f) {
    wintest::Click(f.rbCustom.Handle());
    Next(f);
    ASSERT_EQ(f.CurrentPage, dtCustom);
    HWND list = f.lvComponents.Handle();
    ASSERT_EQ(f.lvComponents.Count(), nt ? 3 : 2);
    EXPECT_EQ(f.lvComponents.ItemText(0, 0), "Application Files");
    EXPECT_EQ(f.lvComponents.ItemText(0, 1), "5 K");
    EXPECT_EQ(f.lblRequired.Caption(), nt ? "20 K" : "10 K");
    EXPECT_EQ(TextOf(f.Item(IDC_lblDescription)), "Files required to run the application");
    EXPECT_TRUE(f.btnChange.Enabled()) << "two groups and IndividualGroup";
    // Mouse on the help component's box.
    ClickCheckBox(list, 1);
    EXPECT_FALSE(ListChecked(list, 1));
    EXPECT_EQ(f.lblRequired.Caption(), nt ? "15 K" : "5 K");
    EXPECT_FALSE(f.PendingInfo->Components[1]->Selected());
    // The space bar on the first: counts at once, without a click.
    PressSpaceOn(list, 0);
    EXPECT_FALSE(ListChecked(list, 0));
    EXPECT_EQ(f.lblRequired.Caption(), nt ? "10 K" : "0 K");
    EXPECT_EQ(f.lvComponents.ItemText(0, 1), "0 K");
    PressSpaceOn(list, 0);
    EXPECT_EQ(f.lblRequired.Caption(), nt ? "15 K" : "5 K");
    Next(f);
    Next(f);
  });
  ASSERT_NE(p.InstallInfo, nullptr);
  EXPECT_TRUE(p.InstallInfo->Components[0]->Selected());
  EXPECT_FALSE(p.InstallInfo->Components[1]->Selected());
}

TEST_F(WizardComponents, ChangeOpensTheGroupPickerOnlyForSeveralGroups) {
  Run([&](TfrmInstDialogs& f) {
    wintest::Click(f.rbCustom.Handle());
    Next(f);
    // Help has one group: Change stays disabled and a double-click opens nothing.
    f.lvComponents.Select(1);
    wintest::Pump(30);
    EXPECT_EQ(TextOf(f.Item(IDC_lblDescription)), "Files required for the help system");
    EXPECT_FALSE(f.btnChange.Enabled());
    f.lvComponentsDblClick();
    f.lvComponents.Select(0);
    wintest::Pump(30);
    EXPECT_TRUE(f.btnChange.Enabled());
    f.SetModalResult(mrCancel);
  });
  p.IndividualGroup = false;
  Run([&](TfrmInstDialogs& f) {
    wintest::Click(f.rbCustom.Handle());
    Next(f);
    EXPECT_FALSE(f.btnChange.Enabled()) << "IndividualGroup off";
    f.SetModalResult(mrCancel);
  });
}

// The width of a label's text in the label's font.
int TextWidthIn(HWND label, const std::string& text) {
  HDC dc = GetDC(label);
  HGDIOBJ old = SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageA(label, WM_GETFONT, 0, 0)));
  SIZE size{};
  GetTextExtentPoint32A(dc, text.c_str(), static_cast<int>(text.size()), &size);
  SelectObject(dc, old);
  ReleaseDC(label, dc);
  return size.cx;
}

TEST_F(WizardComponents, SpaceTextsOfLargeDisksShowWhole) {
  // The largest size a 64-bit count gives: the unit is never cut, nor the caption beside it.
  const std::string large = "18,014,398,509,481,984 K";
  auto fits = [&](const Form& form, const Label& value, int caption) {
    SCOPED_TRACE(GetDlgCtrlID(value.Handle()));
    EXPECT_LE(TextWidthIn(value.Handle(), large), value.ClientRect().right);
    RECT c, v;
    GetWindowRect(form.Item(caption), &c);
    GetWindowRect(value.Handle(), &v);
    EXPECT_LE(c.right, v.left);
    EXPECT_LE(TextWidthIn(form.Item(caption), "Space available :"), c.right - c.left);
  };
  Run([&](TfrmInstDialogs& f) {
    wintest::Click(f.rbCustom.Handle());
    Next(f);
    fits(f, f.lblRequired, IDC_lblCustom2);
    fits(f, f.lblAvailable, IDC_lblCustom3);
    seams::WhenShown<TfrmSelectGroups>([&](TfrmSelectGroups& g) {
      fits(g, g.lblRequired, IDC_SG_lblCustom2);
      fits(g, g.lblAvailable, IDC_SG_lblCustom3);
      wintest::Click(g.btnContinue.Handle());
    });
    wintest::Click(f.btnChange.Handle());
    f.SetModalResult(mrCancel);
  });
}

// Whether a row's first text has room in its column: the label's part of the row is at
// least the text's width and the view's margins around it.
void ExpectNamesWhole(const ListView& view) {
  for (int i = 0, n = view.Count(); i < n; ++i) {
    const std::string name = view.ItemText(i, 0);
    RECT label{LVIR_LABEL, 0, 0, 0};
    ASSERT_TRUE(view.Send(LVM_GETITEMRECT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&label)));
    const int need = static_cast<int>(view.Send(LVM_GETSTRINGWIDTHA, 0, reinterpret_cast<LPARAM>(name.c_str())));
    EXPECT_GE(label.right - label.left, need + 12) << name;
  }
}

TEST_F(WizardComponents, NamesInTheListsShowWhole) {
  Run([&](TfrmInstDialogs& f) {
    wintest::Click(f.rbCustom.Handle());
    Next(f);
    ExpectNamesWhole(f.lvComponents);
    ClickCheckBox(f.lvComponents.Handle(), 1);
    ExpectNamesWhole(f.lvComponents);
    seams::WhenShown<TfrmSelectGroups>([&](TfrmSelectGroups& g) {
      ExpectNamesWhole(g.lvComponents);
      wintest::Click(g.btnContinue.Handle());
    });
    wintest::Click(f.btnChange.Handle());
    f.SetModalResult(mrCancel);
  });
}

TEST_F(WizardComponents, GroupPickerChangesSpaceRequired) {
  const bool nt = WindowsVersion == wvNT4 || WindowsVersion == wvNT5;
  const std::string all = nt ? "20 K" : "10 K";
  Run([&](TfrmInstDialogs& f) {
    wintest::Click(f.rbCustom.Handle());
    Next(f);
    const std::string available = f.lblAvailable.Caption();
    seams::WhenShown<TfrmSelectGroups>([&](TfrmSelectGroups& g) {
      EXPECT_EQ(g.Caption(), "Select Sub-components");
      EXPECT_EQ(TextOf(g.Item(IDC_SG_btnContinue)), "Continue");
      EXPECT_EQ(TextOf(g.Item(IDC_SG_lblCustom2)), "Space required :");
      EXPECT_EQ(TextOf(g.Item(IDC_SG_lblCustom3)), "Space available :");
      EXPECT_EQ(TextOf(g.Item(IDC_SG_gbDescription)), " Description ");
      EXPECT_EQ(g.lblAvailable.Caption(), available);
      HWND list = g.lvComponents.Handle();
      ASSERT_EQ(g.lvComponents.Count(), 2);
      EXPECT_EQ(g.lvComponents.ItemText(0, 0), "Program Files");
      EXPECT_EQ(g.lvComponents.ItemText(0, 1), "3 K");
      EXPECT_EQ(g.lvComponents.ItemText(1, 1), "2 K");
      EXPECT_EQ(g.lblDescription.Caption(), "The program");
      EXPECT_EQ(g.lblRequired.Caption(), all);
      ClickCheckBox(list, 1);
      EXPECT_EQ(g.lblRequired.Caption(), nt ? "18 K" : "8 K");
      PressSpaceOn(list, 0);
      EXPECT_EQ(g.lblRequired.Caption(), nt ? "15 K" : "5 K");
      EXPECT_EQ(g.lblDescription.Caption(), "The program");
      wintest::Click(g.btnContinue.Handle());
    });
    wintest::Click(f.btnChange.Handle());
    EXPECT_EQ(seams::PendingScripts(), 0);
    EXPECT_FALSE(ListChecked(f.lvComponents.Handle(), 0)) << "every group cleared unselects the component";
    EXPECT_FALSE(f.PendingInfo->Components[0]->Selected());
    EXPECT_EQ(f.lblRequired.Caption(), nt ? "15 K" : "5 K");

    // Checking one group of an unselected component selects it with that group only.
    seams::WhenShown<TfrmSelectGroups>([&](TfrmSelectGroups& g) {
      EXPECT_FALSE(ListChecked(g.lvComponents.Handle(), 0));
      ClickCheckBox(g.lvComponents.Handle(), 1);
      EXPECT_EQ(g.lblRequired.Caption(), nt ? "17 K" : "7 K");
      wintest::Click(g.btnContinue.Handle());
    });
    f.lvComponentsDblClick();
    EXPECT_TRUE(ListChecked(f.lvComponents.Handle(), 0));
    EXPECT_EQ(f.lvComponents.ItemText(0, 1), "2 K");
    EXPECT_EQ(f.lblRequired.Caption(), nt ? "17 K" : "7 K");
    Next(f);
    Next(f);
  });
  ASSERT_NE(p.InstallInfo, nullptr);
  const TInstComponent& app = *p.InstallInfo->Components[0];
  EXPECT_TRUE(app.Selected());
  EXPECT_FALSE(app.Groups[0]->Selected);
  EXPECT_TRUE(app.Groups[1]->Selected);
}

// The components offered follow the reported Windows version.
TEST_F(WizardComponents, SelectionFollowsTheWindowsVersion) {
  std::string version;
  if (!wintest::InVersionChild(&version)) {
    for (const char* v : {"win98", "nt40"})
      EXPECT_EQ(wintest::RunUnderWindowsVersion(v, "WizardComponents.SelectionFollowsTheWindowsVersion"), 0) << v;
    return;
  }
  const bool nt = version == "nt40";
  EXPECT_EQ(WindowsVersion, nt ? wvNT4 : wv98);
  Run([&](TfrmInstDialogs& f) {
    Next(f);  // Typical
    Next(f);
  });
  ASSERT_NE(p.InstallInfo, nullptr);
  ASSERT_EQ(p.InstallInfo->Components.size(), nt ? 3u : 2u);
  EXPECT_EQ(p.InstallInfo->GetTotalSize(), nt ? 20480 : 10240);
  p.InstallInfo.reset();
  Run([&](TfrmInstDialogs& f) {
    wintest::Click(f.rbCustom.Handle());
    Next(f);
    EXPECT_EQ(f.lvComponents.Count(), nt ? 3 : 2);
    EXPECT_EQ(f.lblRequired.Caption(), nt ? "20 K" : "10 K");
    f.SetModalResult(mrCancel);
  });
}

// ---------------------------------------------------------------- the complete page

TEST_F(Wizard, FinishStoresFinishAction) {
  p.DialogTypes = Set({dtComplete});
  struct {
    const char* why;
    bool restart;
    std::string run;
    bool readMe;
    std::function<void(TfrmInstDialogs&)> act;
    uint8_t want;
  } cases[] = {
      {"run and ReadMe offered and kept", false, "zed.exe", true, [](TfrmInstDialogs&) {}, 24},
      {"run cleared", false, "zed.exe", true, [](TfrmInstDialogs& f) { wintest::Click(f.cbRunApp.Handle()); }, 16},
      {"nothing offered", false, "", false,
       [](TfrmInstDialogs& f) {
         EXPECT_FALSE(f.cbRunApp.Visible());
         EXPECT_FALSE(f.cbViewReadMe.Visible());
       },
       0},
      {"restart now", true, "zed.exe", true, [](TfrmInstDialogs& f) { EXPECT_TRUE(f.rbRestartWindows.Checked()); },
       4},
      {"restart later", true, "", false, [](TfrmInstDialogs& f) { wintest::Click(f.rbNoAction.Handle()); }, 1},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.why);
    p.ShowRestart = c.restart;
    p.RunCommand = c.run;
    p.ShowReadMe = c.readMe;
    p.FinishAction = 99;
    seams::WhenShown<TfrmInstDialogs>([&](TfrmInstDialogs& f) {
      EXPECT_EQ(f.CurrentPage, dtComplete);
      EXPECT_EQ(f.nbReboot.PageIndex(), c.restart ? 0 : 1);
      EXPECT_EQ(TextOf(f.btnNext.Handle()), "Finish");
      c.act(f);
      Next(f);
    });
    ExecuteCompleteDialog(&p);
    EXPECT_EQ(seams::PendingScripts(), 0);
    EXPECT_EQ(p.FinishAction, c.want);
  }
  // Closed by the title bar (Esc finds no Cancel button): the project keeps its value.
  p.FinishAction = 99;
  p.ShowRestart = true;
  seams::WhenShown<TfrmInstDialogs>([](TfrmInstDialogs& f) {
    wintest::PostKey(VK_ESCAPE, f.Handle());
    wintest::Pump(50);
    EXPECT_EQ(f.ModalResult(), mrNone);
    wintest::CloseByTitleBar(f.Handle());
    wintest::Pump(50);
  });
  ExecuteCompleteDialog(&p);
  EXPECT_EQ(p.FinishAction, 99);
  // Without the complete point in DialogTypes nothing shows.
  p.DialogTypes = Set({dtWelcome});
  seams::WhenShown<TfrmInstDialogs>([](TfrmInstDialogs& f) { f.SetModalResult(mrOk); });
  ExecuteCompleteDialog(&p);
  EXPECT_EQ(seams::PendingScripts(), 1);
}

// ---------------------------------------------------------------- preview

TEST_F(Wizard, PreviewStoresNothingAndCancelClosesAtOnce) {
  p.DialogTypes = 0x03FF;
  seams::WhenShown<TfrmInstDialogs>([&](TfrmInstDialogs& f) {
    EXPECT_TRUE(f.Preview);
    EXPECT_EQ(f.CurrentPage, dtUser);
    wintest::Click(f.btnCancel.Handle());
  });
  EXPECT_EQ(PreviewInstDialogs(&p, dtUser), mrCancel);
  EXPECT_TRUE(seams::Messages().empty());

  // Through to the end: nothing lands in the project, the macros are set.
  p.InstFolders = {"[Program Files]=<INSTALLDIR>\\bin"};
  seams::WhenShown<TfrmInstDialogs>([&](TfrmInstDialogs& f) {
    wintest::Type(f.edtUserName.Handle(), "Ann");
    Next(f);
    EXPECT_EQ(f.CurrentPage, dtDestination);
    Next(f);
    wintest::Click(f.rbCustom.Handle());
    Next(f);
    // Every group is offered in preview, whatever the platform.
    EXPECT_EQ(f.lvComponents.Count(), 3);
    Next(f);
    Next(f);
    Next(f);
  });
  EXPECT_EQ(PreviewInstDialogs(&p, dtUser), mrOk);
  EXPECT_EQ(p.InstallInfo, nullptr);
  EXPECT_EQ(p.InstallDir, folder);
  EXPECT_EQ(GetDirMacro("<INSTALLDIR>"), folder);
  EXPECT_EQ(ExpandMacros("[program files]"), folder + "\\bin");

  p.DialogTypes = Set({dtComplete});
  p.FinishAction = 1;
  p.RunCommand = "zed.exe";
  seams::WhenShown<TfrmInstDialogs>([](TfrmInstDialogs& f) { Next(f); });
  EXPECT_EQ(PreviewInstDialogs(&p, dtComplete), mrOk);
  EXPECT_EQ(p.FinishAction, 1);
}

}  // namespace
