#include "setup/engine/BackgroundForm.h"

#include <stdexcept>

#include "base/Streams.h"
#include "base/Strings.h"
#include "base/win/Application.h"
#include "base/win/Dialogs.h"
#include "resources/engine/BackgroundForm.rh"
#include "resources/engine_strings.h"
#include "setup/engine/BackgroundPaint.h"
#include "setup/services/InstEngineHome.h"
#include "setup/services/InstFileInfo.h"
#include "setup/services/InstGlobal.h"
#include "setup/services/InstallRules.h"

#include "setup/engine/DialogsForm.h"
#include "setup/engine/SetupCopyFiles.h"
#include "setup/engine/SetupOther.h"
#include "setup/uninstall/UnInstActions.h"

using namespace base::win;

TfrmBackground::TfrmBackground()
    : Form(IDD_frmBackground),
      lblTitle(*this, IDC_lblTitle),
      lblShadow(*this, IDC_lblShadow),
      lblOther(*this, IDC_lblOther),
      lblOtherShadow(*this, IDC_lblOtherShadow),
      imgTitle(*this, IDC_imgTitle),
      imgBillBoard(*this, IDC_imgBillBoard) {
  OnPaint([this](HDC dc, const RECT& client) { FormPaint(dc, client); });
  OnMessage(WM_PAGECHANGE, [this](WPARAM, LPARAM) -> LRESULT {
    WMStartInstall();
    return 0;
  });
  Create();
}

void TfrmBackground::FormCreate() {
  imgTitle.SetAutoSize(true);
  imgBillBoard.SetAutoSize(true);
  // The texts wait for the windows beneath them to paint; the shadows, above them in the
  // Z order, only leave their background out. Two waiting siblings would paint in an order
  // of the system's choosing (Wine: the upper first, the shadow over its text).
  for (const Label* l : {&lblTitle, &lblOther}) l->SetTransparent(true);
  for (const Label* l : {&lblShadow, &lblOtherShadow}) SetControlTransparent(l->Handle(), true);
}

void TfrmBackground::FormShow() {
  SetBounds(-1, -1, ScreenWidth() + 2, ScreenHeight() + 2);
  PlaceTitle();
  PlaceOther();
  if (UseTimer && Project) {
    SetTimer(1, static_cast<UINT>(Project->BillboardDelay > 0 ? Project->BillboardDelay : 1) * 1000,
             [this] { Timer1Timer(); });
    Timer1Timer();
  }
  SetCaption(EngineString(IDS_BKG_CAPTION, IDS_BKG_CAPTION_TEXT));
  Update();
  if (!NoStart) Post(WM_PAGECHANGE, 0, 0);
}

void TfrmBackground::FormResize() {
  Invalidate();
  PlaceTitle();
  PlaceOther();
}

void TfrmBackground::FormPaint(HDC dc, const RECT& client) {
  if (!Project) {
    FillSolid(dc, client, RGB(0, 0, 0));
    return;
  }
  PaintGradient(dc, *Project, Height(), ScreenWidth() + 2);
}

void TfrmBackground::PlaceText(const Label& text, const Label& shadow, const TBackgroundText& t) {
  Font font = BackgroundFont(t);
  text.SetFont(font);
  text.SetTextColor(t.Color);
  font.Color_ = t.ShadowColor;
  shadow.SetFont(font);
  shadow.SetTextColor(t.ShadowColor);
  text.SetCaption(t.Caption);
  shadow.SetCaption(t.Caption);
  text.AutoSize();
  shadow.AutoSize();
  RECT c = ClientRect();
  TPlace at = PlaceByPosition(t.Pos, text.Width(), text.Height(), c.right - c.left, c.bottom - c.top);
  text.SetPos(at.Left, at.Top);
  TPlace s = ShadowPlace(at);
  shadow.SetPos(s.Left, s.Top);
  shadow.Show();
  text.Show();
}

void TfrmBackground::PlaceTitle() {
  if (!Project) return;
  const TTandrelBaseInstall& p = *Project;
  if (p.IsBitmap) {
    lblTitle.Hide();
    lblShadow.Hide();
    // A missing or unreadable picture leaves the title out.
    if (base::FileExists(p.TitleCaption) && imgTitle.LoadFromFile(p.TitleCaption)) {
      RECT c = ClientRect();
      TPlace at = PlaceByPosition(p.TitlePos, imgTitle.Width(), imgTitle.Height(), c.right - c.left,
                                  c.bottom - c.top);
      imgTitle.SetPos(at.Left, at.Top);
      imgTitle.Show();
    }
    return;
  }
  imgTitle.Hide();
  if (auto t = TitleText(p)) PlaceText(lblTitle, lblShadow, *t);
}

void TfrmBackground::PlaceOther() {
  if (!Project) return;
  if (auto t = OtherText(*Project)) PlaceText(lblOther, lblOtherShadow, *t);
}

void TfrmBackground::ShowBillboardIndex(int n) {
  if (Project && n >= 0 && n < static_cast<int>(Project->BillBoards.size())) ShowBillboard(Project->BillBoards[n]);
}

void TfrmBackground::ShowBillboard(const std::string& path) {
  if (!path.empty() && base::FileExists(path) && imgBillBoard.LoadFromFile(path)) {
    RECT c = ClientRect();
    TPlace at = BillboardPlace(imgBillBoard.Width(), imgBillBoard.Height(), c.right - c.left, c.bottom - c.top);
    imgBillBoard.SetPos(at.Left, at.Top);
    imgBillBoard.Show();
    imgBillBoard.Invalidate();
  } else {
    imgBillBoard.Hide();
  }
}

void TfrmBackground::Timer1Timer() {
  if (!Project) return;
  const int count = static_cast<int>(Project->BillBoards.size());
  const int shown = TimerBillboard(BillboardIndex, count);
  if (shown >= 0) ShowBillboard(Project->BillBoards[shown]);
  BillboardIndex = NextTimerIndex(BillboardIndex, count);
}

void TfrmBackground::WMStartInstall() {
  if (!Project) {
    SetModalResult(mrCancel);
    return;
  }
  TInstallSequenceState state{SupportDir, ArchiveFile, ""};
  int result = RunInstallSequence(*Project, *this, state);
  ArchiveFile = state.ArchiveFile;
  ExitCode = state.ExitCode;
  SetModalResult(result == kResultOk ? mrOk : mrCancel);
}

// ---------------------------------------------------------------- the sequence's side

TWindowHandle TfrmBackground::WindowHandle() { return reinterpret_cast<TWindowHandle>(Handle()); }

void TfrmBackground::Repaint() {
  Invalidate();
  Update();
}

int TfrmBackground::ExecuteInstDialogs(TTandrelBaseInstall& project) {
  return ::ExecuteInstDialogs(&project);
}

int TfrmBackground::RunCopyFiles(const std::string& archiveFile, TTandrelBaseInstall& project) {
  return ::RunCopyFiles(archiveFile, &project, lblOther.Top(), [this](int n) { ShowBillboardIndex(n); });
}

void TfrmBackground::RunOtherTask(TTandrelBaseInstall& project, int mode) {
  ::RunOtherTask(&project, static_cast<uint8_t>(mode));
}

void TfrmBackground::EnsureFolder(const std::string& folder) {
  if (folder.empty() || base::DirectoryExists(folder)) return;
  ForceDirectoriesLogged(folder);
  if (!base::DirectoryExists(folder)) throw base::Exception("Unable to create directory " + folder);
}

void TfrmBackground::CreateUninstallEntry(const std::string& appName, const std::string& command) {
  ::CreateUninstallEntry(appName, command);
}

std::string TfrmBackground::EnginePath() {
  // Asked for when the uninstall entry is written: only then does the engine stay.
  const std::string kept = KeepEngine(App().ExeName());
  return kept.empty() ? App().ExeName() : kept;
}

void TfrmBackground::HideBillboard() { ShowBillboard(""); }

void TfrmBackground::ExecuteCompleteDialog(TTandrelBaseInstall& project) {
  ::ExecuteCompleteDialog(&project);
}

bool TfrmBackground::RunProgram(const std::string& fileName, const std::string& params) {
  return ::RunProgram(fileName, params, SW_SHOWNORMAL, Handle(), false) >= 0;
}

void TfrmBackground::ShowError(const std::string& text) { MessageDlg(text, MsgDlgType::Error, mbOK); }

void TfrmBackground::RemoveFile(const std::string& fileName) {
  if (fileName.empty()) return;
  SetFileAttributesA(fileName.c_str(), FILE_ATTRIBUTE_NORMAL);
  DeleteFileA(fileName.c_str());
}

void TfrmBackground::UndoInstall() {
  // The uninstaller's own passes over what was logged so far, asking nothing; then the
  // user's name and company, which are kept only for a completed installation.
  UndoLoggedActions(UninstallLog());
  ClearUninstallLog();
  TakeBackUserInfo();
}
