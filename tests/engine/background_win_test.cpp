// The background form, install-mode start-up and the end-of-run action, driven through
// the window layer's seams (no real dialog, no real restart).
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "base/Streams.h"
#include "base/win/Application.h"
#include "base/win/TestSeams.h"
#include "resources/engine_strings.h"
#include "setup/engine/BackgroundForm.h"
#include "setup/engine/InstallMain.h"
#include "setup/services/InstGlobal.h"
#include "tests/harness/Bitmaps.h"
#include "tests/harness/WinTestSupport.h"
#include "tests/services/ArchiveFixture.h"

using namespace base::win;

namespace {

using base::DirectoryExists;

void WriteText(const std::string& name, const std::string& bytes) {
  base::WriteFileBytes(name, std::vector<uint8_t>(bytes.begin(), bytes.end()));
}

std::string ReadText(const std::string& name) {
  auto b = base::ReadFileBytes(name);
  return std::string(b.begin(), b.end());
}

// A w x h 24-bit bitmap file of one colour.
std::string Bitmap(int w, int h) {
  return wintest::MakeBitmap(w, h, [](int, int) { return std::string(3, '\x40'); });
}

class Scratch : public ::testing::Test {
protected:
  void SetUp() override {
    seams::Reset();
    seams::Arm();
    ResetInstGlobalState();
    ExitAction = 0;
    dir_ = wintest::TempFolder() + "bkg_" + ::testing::UnitTest::GetInstance()->current_test_info()->name() + "\\";
    RemoveTree(dir_);
    CreateDirectoryA(dir_.c_str(), nullptr);
  }
  void TearDown() override {
    RemoveTree(dir_);
    seams::Reset();
    App().SetCommandLine("");
    ExitWindowsCall = ExitWindowsEx;
  }
  static void RemoveTree(const std::string& d) {
    WIN32_FIND_DATAA fd;
    HANDLE h = FindFirstFileA((d + "*").c_str(), &fd);
    if (h != INVALID_HANDLE_VALUE) {
      do {
        std::string n = fd.cFileName;
        if (n == "." || n == "..") continue;
        if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
          RemoveTree(d + n + "\\");
        else {
          SetFileAttributesA((d + n).c_str(), FILE_ATTRIBUTE_NORMAL);
          DeleteFileA((d + n).c_str());
        }
      } while (FindNextFileA(h, &fd));
      FindClose(h);
    }
    RemoveDirectoryA(d.c_str());
  }
  std::string P(const std::string& name) const { return dir_ + name; }
  std::vector<std::string> MessageTexts() const {
    std::vector<std::string> t;
    for (const auto& m : seams::Messages()) t.push_back(m.Text);
    return t;
  }
  std::string dir_;
};

// ---------------------------------------------------------------- the form

using Background = Scratch;

TEST_F(Background, FillsTheScreenAndPlacesTheTexts) {
  TTandrelBaseInstall p;
  p.TitleCaption = "Demo App";
  p.TitlePos = ipCentre;
  p.OtherCaption = "";
  TfrmBackground form;
  form.Project = &p;
  form.NoStart = true;
  bool ran = false;
  seams::WhenShown<TfrmBackground>([&](TfrmBackground& b) {
    ran = true;
    EXPECT_EQ(b.Left(), -1);
    EXPECT_EQ(b.Top(), -1);
    EXPECT_EQ(b.Width(), ScreenWidth() + 2);
    EXPECT_EQ(b.Height(), ScreenHeight() + 2);
    EXPECT_EQ(b.Caption(), "Setup");
    RECT c = b.ClientRect();
    EXPECT_TRUE(b.lblTitle.Visible());
    EXPECT_EQ(b.lblTitle.Caption(), "Demo App ");
    EXPECT_EQ(b.lblTitle.Left(), (c.right - b.lblTitle.Width()) / 2);
    EXPECT_EQ(b.lblTitle.Top(), (c.bottom - b.lblTitle.Height()) / 2);
    EXPECT_EQ(b.lblShadow.Left(), b.lblTitle.Left() + 3);
    EXPECT_EQ(b.lblShadow.Top(), b.lblTitle.Top() + 3);
    EXPECT_GT(b.lblTitle.Width(), 20);
    EXPECT_FALSE(b.lblOther.Visible());
    EXPECT_FALSE(b.imgTitle.Visible());
    EXPECT_FALSE(b.imgBillBoard.Visible());
    b.SetModalResult(mrOk);
  });
  seams::Watchdog dog(30, "background layout");
  EXPECT_EQ(form.ShowModal(), mrOk);
  EXPECT_TRUE(ran);
}

TEST_F(Background, MissingPicturesAndEmptyListsAreSkipped) {
  WriteText(P("logo.bmp"), Bitmap(40, 20));
  WriteText(P("board.bmp"), Bitmap(64, 32));
  TTandrelBaseInstall p;
  p.IsBitmap = true;
  p.TitleCaption = P("absent.bmp");
  p.TitlePos = ipBottomRight;
  p.OtherCaption = "Copyright";
  p.OtherPos = ipTopLeft;
  TfrmBackground form;
  form.Project = &p;
  form.NoStart = true;
  form.UseTimer = true;  // with no billboards the timer shows nothing
  seams::WhenShown<TfrmBackground>([&](TfrmBackground& b) {
    RECT c = b.ClientRect();
    EXPECT_FALSE(b.lblTitle.Visible());
    EXPECT_FALSE(b.imgTitle.Visible());
    EXPECT_TRUE(b.lblOther.Visible());
    EXPECT_EQ(b.lblOther.Left(), 15);
    EXPECT_EQ(b.lblOther.Top(), 15);
    EXPECT_EQ(b.lblOtherShadow.Left(), 18);

    p.TitleCaption = P("logo.bmp");
    b.PlaceTitle();
    EXPECT_TRUE(b.imgTitle.Visible());
    EXPECT_EQ(b.imgTitle.Width(), 40);
    EXPECT_EQ(b.imgTitle.Left(), c.right - 40 - 15);
    EXPECT_EQ(b.imgTitle.Top(), c.bottom - 20 - 15);

    b.Timer1Timer();
    b.ShowBillboardIndex(0);
    EXPECT_FALSE(b.imgBillBoard.Visible());
    b.ShowBillboard(P("board.bmp"));
    EXPECT_TRUE(b.imgBillBoard.Visible());
    EXPECT_EQ(b.imgBillBoard.Left(), (c.right - 64) / 2);
    EXPECT_EQ(b.imgBillBoard.Top(), (c.bottom - 32) / 2 - 50);
    b.ShowBillboard("");
    EXPECT_FALSE(b.imgBillBoard.Visible());

    p.BillBoards = {P("board.bmp"), P("gone.bmp")};
    b.Timer1Timer();
    EXPECT_TRUE(b.imgBillBoard.Visible());
    b.Timer1Timer();
    EXPECT_FALSE(b.imgBillBoard.Visible());
    EXPECT_EQ(b.BillboardIndex, 0);

    // Heights of 0 and 1 paint without a fault.
    HDC dc = GetDC(b.Handle());
    for (int h : {0, 1}) {
      b.SetBounds(0, 0, 50, h);
      b.FormPaint(dc, RECT{0, 0, 50, h});
    }
    ReleaseDC(b.Handle(), dc);
    b.SetModalResult(mrOk);
  });
  seams::Watchdog dog(30, "background pictures");
  EXPECT_EQ(form.ShowModal(), mrOk);
}

// The sequence's side of the form, reached as the sequence reaches it.
class OpenBackground : public TfrmBackground {
public:
  using TfrmBackground::EnsureFolder;
  using TfrmBackground::RemoveFile;
};

TEST_F(Background, MissingInstallationFolderIsMadeAndLogged) {
  OpenBackground form;
  const std::string folder = P("Program Files\\New App");
  form.EnsureFolder(folder);
  EXPECT_TRUE(DirectoryExists(folder));
  // Both levels were made: the uninstaller removes the inner one first (newest line first).
  EXPECT_EQ(UninstallLog(), (std::vector<std::string>{"CreateDir=" + folder, "CreateDir=" + P("Program Files")}));
  form.EnsureFolder(folder);  // there now: nothing more to log
  EXPECT_EQ(UninstallLog().size(), 2u);

  WriteText(P("Setup2.tmp"), "x");
  SetFileAttributesA(P("Setup2.tmp").c_str(), FILE_ATTRIBUTE_READONLY);
  form.RemoveFile(P("Setup2.tmp"));
  EXPECT_FALSE(base::FileExists(P("Setup2.tmp")));
}

// ---------------------------------------------------------------- install-mode start-up

using StartUp = Scratch;

TEST_F(StartUp, MissingPackageOrDataFileStopsAtOnce) {
  WriteText(P("p.exe"), "MZ");
  const std::string lines[] = {
      "TandrelInstall.exe /SOURCE=" + P("p.exe"),
      "TandrelInstall.exe /DATA=" + P("p.exe"),
      "TandrelInstall.exe /SOURCE= /DATA=" + P("p.exe"),
      "TandrelInstall.exe /SOURCE=" + P("p.exe") + " /DATA=" + P("none.tmp"),
  };
  for (const auto& line : lines) {
    seams::ClearMessages();
    App().SetCommandLine(line);
    EXPECT_EQ(RunInstall(), kExitConfigError) << line;
    EXPECT_EQ(MessageTexts(), std::vector<std::string>{IDS_ERR_CONFIG_TEXT}) << line;
    EXPECT_FALSE(DirectoryExists(P("ZemTmp"))) << line;
  }
  EXPECT_TRUE(base::FileExists(P("p.exe")));
}

std::string ProjectStream(const TTandrelBaseInstall& p) {
  auto b = p.SaveToBytes();
  return std::string(b.begin(), b.end());
}

TEST_F(StartUp, ProjectThatCannotBeTakenOutOrReadIsRefused) {
  const std::string project = ProjectStream(TTandrelBaseInstall());
  // An end marker read where the project goes on: behind the header ("TPF0", the class
  // name, the empty component name), where the first property starts.
  std::string zeros = project;
  zeros.insert(4 + 1 + std::string("TTandrelBaseInstall").size() + 1, 16, '\0');
  struct Case {
    std::string archive;
    const char* why;
  } cases[] = {
      {fixture::Archive({{"Logo\\x.bmp", "xx"}}), "no Info\\Inst.cmp"},
      {fixture::Archive({{"Info\\Inst.cmp", "not a project stream"}}), "damaged Inst.cmp"},
      {"garbage", "not an archive"},
      {fixture::Archive({{"Info\\Inst.cmp", zeros}}), "16 zero bytes inside the project"},
      {fixture::Archive({{"Info\\Inst.cmp", project + "more"}}), "bytes after the project's end"},
      {fixture::Archive({{"Info\\Inst.cmp", project.substr(0, project.size() - 1)}}), "the project cut short"},
  };
  WriteText(P("p.exe"), "MZ");
  for (const auto& c : cases) {
    seams::ClearMessages();
    WriteText(P("a1.tmp"), c.archive);
    App().SetCommandLine("TandrelInstall.exe /SOURCE=" + P("p.exe") + " /DATA=" + P("a1.tmp"));
    EXPECT_EQ(RunInstall(), kExitConfigError) << c.why;
    EXPECT_EQ(MessageTexts(), std::vector<std::string>{IDS_ERR_CONFIG_TEXT}) << c.why;
    EXPECT_FALSE(base::FileExists(P("a1.tmp"))) << c.why;
    EXPECT_FALSE(base::FileExists(P("ZemTmp\\Inst.cmp"))) << c.why;
    EXPECT_FALSE(DirectoryExists(P("ZemTmp"))) << c.why;
  }
}

// A package around the archives: a stand-in stub with the size marker, then both archives
// with their lengths (archive 2 empty unless given).
std::string PackageAround(const std::string& archive1, const std::string& archive2 = fixture::Header(0)) {
  auto le32 = [](size_t v) { return std::string{char(v), char(v >> 8), char(v >> 16), char(v >> 24)}; };
  const std::string stub = "MZ" + std::string("ZEM_SIZE") + le32(14);
  return stub + le32(archive1.size()) + archive1 + le32(archive2.size()) + archive2;
}

// The welcome point's extension that lists the support folder beside it and stops the setup.
void AddListingProbe(TTandrelBaseInstall& p) {
  auto* e = p.Extensions.Add();
  e->Style = esDLL;
  e->RealFile = "C:\\Author\\probe.dll";
  e->Executable = "<SUPPORTDIR>\\probe.dll";
  e->Params = "ListSupport";
  e->When = dtWelcome;
}

// The welcome point's extension lists the support folder and stops the setup: what was
// taken out shows in its list, and everything is gone afterwards.
TEST_F(StartUp, TakesOutSupportFilesAndCleansUpAfterTheRun) {
  const std::string probe = ReadText(ENGINE_PROBE_DLL);
  TTandrelBaseInstall p;
  p.IsBitmap = true;
  p.TitleCaption = "C:\\Author\\logo.bmp";
  p.BillBoards = {"C:\\Author\\b1.bmp", "C:\\Author\\b2.bmp"};
  p.DialogTypes = static_cast<TTandrelDialogTypes>(p.DialogTypes | SetBit(dtBillboards));
  AddListingProbe(p);
  const std::string archive1 = fixture::Archive({{"Installer\\TandrelInstall.exe", "MZ"},
                                                 {"Info\\Inst.cmp", ProjectStream(p)},
                                                 {"Logo\\logo.bmp", Bitmap(8, 8)},
                                                 {"Billboards\\b1.bmp", Bitmap(8, 8)},
                                                 {"Billboards\\b2.bmp", Bitmap(4, 4)},
                                                 {"Support\\probe.dll", probe}});
  WriteText(P("a1.tmp"), archive1);
  WriteText(P("p.exe"), PackageAround(archive1));
  App().SetCommandLine("TandrelInstall.exe /SOURCE=" + P("p.exe") + " /DATA=" + P("a1.tmp"));
  seams::Watchdog dog(30, "install start-up");
  RunInstall();
  EXPECT_TRUE(MessageTexts().empty());
  // The probe wrote the support folder's listing beside it; the second archive was cut
  // out for the package check before the wizard.
  EXPECT_EQ(ReadText(P("listing.txt")), "b1.bmp\r\nb2.bmp\r\nInst.cmp\r\nlogo.bmp\r\nprobe.dll\r\nSetup2.tmp\r\n");
  EXPECT_FALSE(base::FileExists(P("a1.tmp")));
  EXPECT_FALSE(DirectoryExists(P("ZemTmp")));
  EXPECT_TRUE(base::FileExists(P("p.exe")));
  EXPECT_EQ(ExitAction, 0);
}

// A package whose archives are not whole, or lack what the project takes out of them, is
// refused before the wizard: nothing is started.
TEST_F(StartUp, ADamagedPackageIsRefusedBeforeTheWizard) {
  TTandrelBaseInstall p;
  const std::string archive1 = fixture::Archive({{"Info\\Inst.cmp", ProjectStream(p)}});
  const std::string whole = PackageAround(archive1);
  // A project that installs one file and shows one billboard, and packages around it.
  TTandrelBaseInstall q;
  q.Groups.Clear();
  TTandrelFileGroup* g = q.Groups.Add();
  g->SetName("Program Files");
  TTandrelFile* f = g->Files.Add();
  f->FileName = "C:\\Author\\app.dll";
  f->Size = 5;
  q.BillBoards = {"C:\\Author\\b1.bmp"};
  q.DialogTypes = static_cast<TTandrelDialogTypes>(q.DialogTypes | SetBit(dtBillboards));
  // Whole, it goes on to the welcome point, whose extension ends it.
  AddListingProbe(q);
  const std::string probe = ReadText(ENGINE_PROBE_DLL), board = Bitmap(4, 4);
  const std::string withBoard = fixture::Archive(
      {{"Info\\Inst.cmp", ProjectStream(q)}, {"Billboards\\b1.bmp", board}, {"Support\\probe.dll", probe}});
  const std::string noBoard = fixture::Archive({{"Info\\Inst.cmp", ProjectStream(q)}, {"Support\\probe.dll", probe}});
  fixture::Entry summed{"Program Files\\app.dll", "MZabc"};
  summed.Checksum = 'M' + 'Z' + 'a' + 'b' + 'c';
  fixture::Entry spoilt = summed;
  spoilt.Data = "MZabd";
  struct Case {
    const char* why;
    std::string package, data;
  } cases[] = {
      {"archive 2 cut short", whole.substr(0, whole.size() - 3), archive1},
      {"archive 1 with bytes after its last entry", whole, archive1 + "junk"},
      {"a stored entry of archive 2 with one bit flipped", PackageAround(withBoard, fixture::Archive({spoilt})),
       withBoard},
      {"an entry of archive 2 renamed",
       PackageAround(withBoard, fixture::Archive({{"Program Files\\app.dl_", "MZabc"}})), withBoard},
      {"an entry of archive 2 twice",
       PackageAround(withBoard,
                     fixture::Archive({{"Program Files\\app.dll", "MZabc"}, {"Program Files\\APP.dll", "MZabc"}})),
       withBoard},
      {"an entry of archive 2 of another size than the project's",
       PackageAround(withBoard, fixture::Archive({{"Program Files\\app.dll", "MZab"}})), withBoard},
      {"a billboard missing from archive 1", PackageAround(noBoard, fixture::Archive({summed})), noBoard},
  };
  for (const auto& c : cases) {
    seams::ClearMessages();
    WriteText(P("p.exe"), c.package);
    WriteText(P("a1.tmp"), c.data);
    App().SetCommandLine("TandrelInstall.exe /SOURCE=" + P("p.exe") + " /DATA=" + P("a1.tmp"));
    seams::Watchdog dog(30, c.why);
    EXPECT_EQ(RunInstall(), kExitDamaged) << c.why;
    EXPECT_EQ(MessageTexts(), std::vector<std::string>{InstallFailureText(DamagedPackageText(P("p.exe")))}) << c.why;
    EXPECT_FALSE(DirectoryExists(P("ZemTmp"))) << c.why;
    EXPECT_FALSE(base::FileExists(P("listing.txt"))) << c.why << ": the welcome point was reached";
  }
  seams::ClearMessages();
  WriteText(P("p.exe"), PackageAround(withBoard, fixture::Archive({summed})));
  WriteText(P("a1.tmp"), withBoard);
  App().SetCommandLine("TandrelInstall.exe /SOURCE=" + P("p.exe") + " /DATA=" + P("a1.tmp"));
  seams::Watchdog dog(30, "the whole package");
  EXPECT_NE(RunInstall(), kExitDamaged);
  EXPECT_TRUE(MessageTexts().empty());
  EXPECT_EQ(ReadText(P("listing.txt")), "b1.bmp\r\nInst.cmp\r\nprobe.dll\r\nSetup2.tmp\r\n");
}

// ---------------------------------------------------------------- end of the run

using EndOfRun = Scratch;

std::vector<UINT> g_restartFlags;
BOOL g_restartResult = TRUE;
BOOL WINAPI RecordRestart(UINT flags, DWORD) {
  g_restartFlags.push_back(flags);
  if (!g_restartResult) SetLastError(ERROR_ACCESS_DENIED);
  return g_restartResult;
}

TEST_F(EndOfRun, RestartIsRequestedAndARefusalIsReported) {
  g_restartFlags.clear();
  ExitWindowsCall = RecordRestart;
  g_restartResult = TRUE;
  EXPECT_TRUE(RestartWindows());
  EXPECT_EQ(g_restartFlags, std::vector<UINT>{EWX_REBOOT});
  EXPECT_TRUE(seams::Messages().empty());

  g_restartResult = FALSE;
  EXPECT_FALSE(RestartWindows());
  ASSERT_EQ(seams::Messages().size(), 1u);
  EXPECT_EQ(seams::Messages()[0].Text, RestartFailedText(ERROR_ACCESS_DENIED));
  EXPECT_TRUE(seams::Messages()[0].FromMessageBox);
}

TEST_F(EndOfRun, EntryRestartsOnlyForExitActionTwo) {
  g_restartFlags.clear();
  g_restartResult = TRUE;
  ExitWindowsCall = RecordRestart;
  App().SetCommandLine("TandrelInstall.exe /SOURCE=" + P("none") + " /DATA=" + P("none"));
  ExitAction = 0;
  EXPECT_EQ(EngineMain(nullptr), kExitConfigError);  // the package named does not exist
  EXPECT_TRUE(g_restartFlags.empty());
  ExitAction = kExitRestart;  // as a run whose complete page chose "restart now" leaves it
  EXPECT_EQ(EngineMain(nullptr), kExitConfigError);  // the package named does not exist
  EXPECT_EQ(g_restartFlags, std::vector<UINT>{EWX_REBOOT});
  EXPECT_EQ(App().Title(), "Tandrel-Install");
}

}  // namespace
