// The build dialog under Wine, driven as the author would: Start, the log, the
// overwrite question, failures, and closing it.
#include "tests/builder/BuildFixture.h"

#include "base/win/Application.h"
#include "base/win/TestSeams.h"
#include "builder/common/BuilderSettings.h"
#include "builder/shell/BuildForm.h"
#include "setup/services/InstGlobal.h"
#include "tests/harness/FormDriver.h"

namespace buildtest {
namespace {

using namespace base::win;
using Names = std::vector<std::string>;

// The memo's lines as the control shows them.
Names MemoLines(TfrmBuilder& f) {
  std::string text = wintest::TextOf(f.memoProgress.Handle());
  Names lines;
  if (text.empty()) return lines;
  size_t start = 0;
  for (size_t at; (at = text.find("\r\n", start)) != std::string::npos; start = at + 2)
    lines.push_back(text.substr(start, at - start));
  lines.push_back(text.substr(start));
  return lines;
}

class BuildDialog : public BuildFixture {
protected:
  void SetUp() override {
    BuildFixture::SetUp();
    seams::Reset();
    seams::Arm();
    FillProject(p);
  }
  void TearDown() override {
    seams::Reset();
    BuildFixture::TearDown();
  }

  // Opens the dialog on the fixture's project and runs the script inside it.
  int Run(std::function<void(TfrmBuilder&)> script) {
    seams::WhenShown<TfrmBuilder>(std::move(script));
    TfrmBuilder f;
    f.Project = &p;
    f.FileName = projectFile;
    f.BuilderFolder = builderFolder;
    int result = f.ShowModal();
    EXPECT_EQ(seams::PendingScripts(), 0) << "the dialog never showed";
    return result;
  }

  static void Start(TfrmBuilder& f) { wintest::Click(f.btnStart.Handle()); }
  static void Done(TfrmBuilder& f) { wintest::Click(f.btnCancel.Handle()); }

  Names Messages() const {
    Names t;
    for (const auto& m : seams::Messages()) t.push_back(m.Text);
    return t;
  }

  Names SuccessfulLog(const std::string& imageSize, const std::string& groupFiles = "Files : 4   Size : 35 K") const {
    return {"Validating Baggage",
            "Files : 5   Size : 32 K",
            "Validating Files",
            groupFiles,
            "Compressing group : Program Files",
            "Compressing group : Help Files",
            "Compressing group : Examples",
            "Building Image",
            "   " + output,
            "",
            "Successful Build",
            "Image Size : " + imageSize};
  }
  void ExpectFailure(const Names& messages, const std::string& lastLine) {
    bool enabled = false;
    Names lines;
    Run([&](TfrmBuilder& f) {
      Start(f);
      lines = MemoLines(f);
      enabled = f.btnStart.Enabled() && f.btnCancel.Enabled() && !f.Building();
      Done(f);
    });
    EXPECT_EQ(Messages(), messages);
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines.back(), lastLine);
    EXPECT_TRUE(enabled);
    EXPECT_TRUE(Temporaries().empty());
    EXPECT_FALSE(base::FileExists(output));
    EXPECT_EQ(seams::BeepCount(), 0);
  }
  std::string OutputSize() const { return FormatSizeK64(static_cast<int64_t>(fs::file_size(output))); }

  TTandrelBaseInstall p;
  seams::Watchdog dog{60, "build dialog"};
};

TEST_F(BuildDialog, StartBuildsThePackage) {
  bool idle = false, emptyLabel = false;
  std::string caption, tab;
  int result = Run([&](TfrmBuilder& f) {
    caption = f.Caption();
    char text[32] = {};
    TCITEMA item = {};
    item.mask = TCIF_TEXT;
    item.pszText = text;
    item.cchTextMax = sizeof text;
    f.PageControl1.Send(TCM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item));
    tab = text;
    emptyLabel = f.lblOverall.Caption().empty();
    Start(f);
    EXPECT_EQ(MemoLines(f), SuccessfulLog(OutputSize()));
    EXPECT_EQ(f.LogLines(), MemoLines(f));
    idle = f.btnStart.Enabled() && f.btnCancel.Enabled() && !f.Building() && f.lblOverall.Caption().empty() &&
           f.pbOverall.Position() == 0 && f.pbCompress.Position() == 0;
    Done(f);
  });
  EXPECT_EQ(result, mrOk);
  EXPECT_EQ(caption, "Builder");
  EXPECT_EQ(tab, "Progress");
  EXPECT_TRUE(emptyLabel);
  EXPECT_TRUE(idle);
  EXPECT_EQ(seams::BeepCount(), 1);
  EXPECT_TRUE(seams::Messages().empty());
  EXPECT_TRUE(Temporaries().empty());
  ReadPackage r = ParsePackage(base::ReadFileBytes(output));
  EXPECT_EQ(r.a2.Names().size(), 4u);
}

TEST_F(BuildDialog, OverwriteQuestionAndASecondBuild) {
  int result = Run([&](TfrmBuilder& f) {
    Start(f);
    const Bytes first = base::ReadFileBytes(output);
    const Names firstLog = MemoLines(f);

    seams::QueueMessageAnswer(mrNo);
    Start(f);
    ASSERT_EQ(seams::Messages().size(), 1u);
    EXPECT_EQ(seams::Messages()[0].Text, "This file already exists. Overwrite it?");
    EXPECT_EQ(seams::Messages()[0].Type, MsgDlgType::Confirmation);
    EXPECT_EQ(seams::Messages()[0].Buttons, mbYesNo);
    EXPECT_EQ(MemoLines(f), firstLog);  // nothing changed
    EXPECT_EQ(base::ReadFileBytes(output), first);
    EXPECT_EQ(seams::BeepCount(), 1);

    seams::ClearMessages();
    seams::QueueMessageAnswer(mrYes);
    p.GetGroup(2)->AddFile(Path("src/b/help.hlp"));
    Start(f);
    EXPECT_EQ(Messages(), (Names{"This file already exists. Overwrite it?"}));
    // Every build names its groups afresh.
    EXPECT_EQ(MemoLines(f), SuccessfulLog(OutputSize(), "Files : 5   Size : 40 K"));
    EXPECT_EQ(ParsePackage(base::ReadFileBytes(output)).a2.Names().back(), "Examples\\help.hlp");
    EXPECT_EQ(seams::BeepCount(), 2);
    Done(f);
  });
  EXPECT_EQ(result, mrOk);
}

TEST_F(BuildDialog, MissingFileIsLogged) {
  fs::remove(root / "src/a/readme.txt");
  Run([&](TfrmBuilder& f) {
    Start(f);
    EXPECT_EQ(MemoLines(f), (Names{"Validating Baggage", "Files : 5   Size : 32 K", "Validating Files",
                                   "Error: the file '" + Path("src/a/readme.txt") + "' does not exist"}));
    EXPECT_TRUE(f.btnStart.Enabled());
    Done(f);
  });
  EXPECT_TRUE(seams::Messages().empty());
  EXPECT_EQ(seams::BeepCount(), 0);
  EXPECT_TRUE(Temporaries().empty());
  EXPECT_FALSE(base::FileExists(output));
}

TEST_F(BuildDialog, StubWithoutMarker) {
  Write("builder/Setup.exe", Filler(5000, 20));
  ExpectFailure({"Error during build..."}, "Files : 4   Size : 35 K");
}

TEST_F(BuildDialog, EngineMissing) {
  fs::remove(root / "builder/TandrelInstall.exe");
  ExpectFailure({"Error during build..."}, "Could not add file '" + Path("builder/TandrelInstall.exe") + "'");
}

TEST_F(BuildDialog, StubMissing) {
  fs::remove(root / "builder/Setup.exe");
  // The file layer's open error, in the application's exception box.
  ExpectFailure({"Cannot open file " + Path("builder/Setup.exe") + "."}, "Files : 4   Size : 35 K");
  ASSERT_EQ(seams::Messages().size(), 1u);
  EXPECT_TRUE(seams::Messages()[0].FromMessageBox);
}

TEST_F(BuildDialog, GroupFileThatCannotBeRead) {
  // Held open without sharing: it exists, but cannot be packed.
  const std::string locked = Path("src/b/help.hlp");
  HANDLE h = CreateFileA(locked.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(h, INVALID_HANDLE_VALUE);
  ExpectFailure({"Error during build..."}, "Could not add file '" + locked + "'");
  CloseHandle(h);
}

TEST_F(BuildDialog, CannotBeClosedWhileBuilding) {
  bool closedDuring = true, openAfter = false;
  int result = Run([&](TfrmBuilder& f) {
    // Delivered while the build lets messages run.
    f.Post(WM_CLOSE);
    wintest::PostKey(VK_ESCAPE, f.Handle());
    Start(f);
    closedDuring = f.ModalResult() != mrNone;
    wintest::Pump(100);
    openAfter = IsWindowVisible(f.Handle()) && f.ModalResult() == mrNone;
    EXPECT_EQ(MemoLines(f).back().substr(0, 13), "Image Size : ");
    Done(f);
  });
  EXPECT_FALSE(closedDuring);
  EXPECT_TRUE(openAfter);
  EXPECT_EQ(result, mrOk);
}

TEST_F(BuildDialog, EscClosesWhenIdleAndHelpOpensContext21) {
  int result = Run([&](TfrmBuilder& f) {
    wintest::Click(f.btnHelp.Handle());
    wintest::PostKey(VK_ESCAPE, f.Handle());
    wintest::Pump(100);
  });
  EXPECT_EQ(result, mrOk);
  EXPECT_EQ(seams::HelpRequests(), (std::vector<int>{21}));
}

TEST_F(BuildDialog, PositionIsKeptUnderTheBuildersKey) {
  const std::string key = FormPositionKey(BuilderRegistryKey(), "frmBuilder").substr(1);
  EXPECT_EQ(key, "Software\\Tandrel\\Tandrel-Install\\1.0\\Forms\\frmBuilder");
  RegDeleteKeyA(HKEY_CURRENT_USER, key.c_str());
  RECT first = {};
  Run([&](TfrmBuilder& f) {
    // First start: centred on the screen.
    first = f.Bounds();
    EXPECT_EQ(first.left, (ScreenWidth() - f.Width()) / 2);
    EXPECT_EQ(first.top, (ScreenHeight() - f.Height()) / 2);
    f.SetPos(40, 30);
    Done(f);
  });
  HKEY h = nullptr;
  ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, key.c_str(), 0, KEY_READ | KEY_WRITE, &h), ERROR_SUCCESS);
  for (const char* name : {"Top", "Left", "Width", "Height", "State"}) {
    DWORD type = 0, value = 0, size = sizeof value;
    EXPECT_EQ(RegQueryValueExA(h, name, nullptr, &type, reinterpret_cast<BYTE*>(&value), &size), ERROR_SUCCESS)
        << name;
    EXPECT_EQ(type, static_cast<DWORD>(REG_DWORD)) << name;
  }
  // A value that is not an integer: the form is centred instead.
  RegSetValueExA(h, "Left", 0, REG_SZ, reinterpret_cast<const BYTE*>("x"), 2);
  RegCloseKey(h);
  Run([&](TfrmBuilder& f) {
    EXPECT_EQ(f.Left(), (ScreenWidth() - f.Width()) / 2);
    Done(f);
  });
  // The stored position comes back; the dialog's size stays its own.
  Run([&](TfrmBuilder& f) {
    f.SetBounds(60, 50, f.Width(), f.Height());
    Done(f);
  });
  Run([&](TfrmBuilder& f) {
    EXPECT_EQ(f.Left(), 60);
    EXPECT_EQ(f.Top(), 50);
    EXPECT_EQ(f.Width(), first.right - first.left);
    Done(f);
  });
}

TEST_F(BuildDialog, BuilderSettings) {
  const std::string settings = (BuilderRegistryKey() + "Settings").substr(1);
  RegDeleteKeyA(HKEY_CURRENT_USER, settings.c_str());
  EXPECT_EQ(ReadBuilderSetting("Tandrel-Install MRU", "none"), "none");  // no key: the default
  WriteBuilderSetting("Tandrel-Install MRU", "C:\\a.zem");
  EXPECT_EQ(ReadBuilderSetting("Tandrel-Install MRU", "none"), "C:\\a.zem");
  EXPECT_EQ(ReadBuilderSetting("Other", "none"), "");  // key there, value not
  HKEY h = nullptr;
  ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, settings.c_str(), 0, KEY_WRITE, &h), ERROR_SUCCESS);
  DWORD n = 5;
  RegSetValueExA(h, "Number", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&n), sizeof n);
  RegCloseKey(h);
  EXPECT_EQ(ReadBuilderSetting("Number", "none"), "none");  // a read error leaves the default
  EXPECT_EQ(FormatSizeKM(1048576), "1,024KB");
}

}  // namespace
}  // namespace buildtest
