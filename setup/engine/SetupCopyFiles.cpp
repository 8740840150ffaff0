#include "setup/engine/SetupCopyFiles.h"

#include <algorithm>
#include <climits>

#include "base/win/Application.h"
#include "base/win/Dialogs.h"
#include "resources/engine_strings.h"
#include "setup/services/InstArchiveReader.h"
#include "setup/services/InstGlobal.h"
#include "setup/services/InstallRules.h"

using namespace base::win;

namespace {
int ClampToInt(int64_t v) { return static_cast<int>(std::clamp<int64_t>(v, 0, INT_MAX)); }
}  // namespace

TfrmCopyFiles::TfrmCopyFiles(TTandrelBaseInstall& project)
    : Form(IDD_frmCopyFiles), Project(project), Copy(project, *this) {
  Create();
}

void TfrmCopyFiles::FormCreate() {
  SetCancelButton(IDC_Button1);
  OnClick(IDC_Button1, [this] { Button1Click(); });
  OnMessage(WM_STARTCOPY, [this](WPARAM, LPARAM) -> LRESULT {
    StartCopy();
    return 0;
  });
}

void TfrmCopyFiles::FormShow() {
  lblGroupName.SetCaption("");
  lblFileName.SetCaption("");
  pbFile.SetRange(0, 100);
  pbFile.SetPosition(0);
  pbOverall.SetPosition(0);
  if (!Project.BillBoards.empty()) {
    Copy.Progress.UseBillboards = true;
    SetPos((ScreenWidth() - Width()) / 2, TopLimit - Height() - 5);
  } else {
    SetPos((ScreenWidth() - Width()) / 2, (ScreenHeight() - Height()) / 2);
  }
  Post(WM_STARTCOPY);
}

void TfrmCopyFiles::StartCopy() {
  // Whatever happens, the form ends with a result: it has no border to close it by.
  int result = kCopyCancelled;
  Guard([&] {
    try {
      // One handle on the archive for the whole copy, not two opens and checks a file.
      TArchiveHold hold(ArchiveFile);
      result = Copy.Run();
      FlushBars();
    } catch (...) {
      result = kCopyCancelled;
      throw;
    }
  });
  SetModalResult(result);
}

void TfrmCopyFiles::Button1Click() {
  ShowPendingName();
  if (MessageDlg(EngineString(IDS_COPY_CANCEL, IDS_COPY_CANCEL_TEXT), MsgDlgType::Confirmation, mbYesNo) == mrYes) Copy.Aborted = true;
}

void TfrmCopyFiles::ShowGroup(const std::string& caption) {
  lblGroupName.SetCaption(caption);
  lblGroupName.Update();
  pumped_ = GetTickCount();
  pumpedAt_ = overallPos_;
  App().ProcessMessages();
}

// Naming and repainting costs more than copying a small file, and names that change every
// millisecond cannot be read: the label takes the newest name at most every kBarInterval
// ms, and at once when a file takes longer than one block (its first report below 100 %),
// so that a large file after a small one is never copied under the small one's name.
void TfrmCopyFiles::ShowFile(const std::string& expanded) {
  lastFile_ = expanded;
  nameShown_ = false;
  if (BarDue(labelPainted_, false)) ShowPendingName();
  ProcessMessages();
}

void TfrmCopyFiles::ShowPendingName() {
  if (nameShown_ || lastFile_.empty()) return;
  nameShown_ = true;
  labelPainted_ = GetTickCount();
  lblFileName.SetCaption(MinimizePathForLabel(lblFileName.Handle(), lastFile_));
  lblFileName.Update();
}

void TfrmCopyFiles::SetOverallBar(int64_t maximum) {
  overallMax_ = ClampToInt(maximum);
  pbOverall.SetRange(0, overallMax_);
}

// Each redraw of a bar costs about a millisecond, more than a small file's whole copy:
// the bars take their newest value at most every kBarInterval ms, and at their ends.
bool TfrmCopyFiles::BarDue(DWORD& last, bool end) {
  const DWORD now = GetTickCount();
  if (!end && now - last < kBarInterval) return false;
  last = now;
  return true;
}

void TfrmCopyFiles::MoveOverallBar(int64_t position) {
  const int p = ClampToInt(position);
  if (p <= overallPos_) return;  // the bar never moves back
  overallPos_ = p;
  if (BarDue(overallPainted_, p >= overallMax_)) pbOverall.SetPosition(overallPos_);
}

void TfrmCopyFiles::SetFileBar(int32_t percent) {
  if (percent < 100) ShowPendingName();
  filePos_ = percent;
  if (BarDue(filePainted_, percent <= 0 || percent >= 100)) pbFile.SetPosition(filePos_);
}

void TfrmCopyFiles::FlushBars() {
  pbFile.SetPosition(filePos_);
  pbOverall.SetPosition(overallPos_);
  ShowPendingName();
}

// A look at the queue is a round trip to the window server, under Wine about as long as
// copying a small file: within a copy it is taken once kPumpInterval ms or kPumpBytes
// have passed since the last, far quicker than a click or a repaint can be told apart,
// and still within every file of some size.
void TfrmCopyFiles::ProcessMessages() {
  const DWORD now = GetTickCount();
  if (now - pumped_ < kPumpInterval && overallPos_ - pumpedAt_ < kPumpBytes) return;
  pumped_ = now;
  pumpedAt_ = overallPos_;
  App().ProcessMessages();
}

void TfrmCopyFiles::ShowBillboard(int32_t index) {
  if (OnBillboard) OnBillboard(index);
}

std::string TfrmCopyFiles::ExpandMacros(const std::string& text) { return ::ExpandMacros(text); }

bool TfrmCopyFiles::PlatformIncluded(TWindowsVersions platforms) {
  return HasWindowsVersion(platforms, WindowsVersion);
}

int TfrmCopyFiles::InstallFile(const std::string& dest, const std::string& archiveFolder,
                               const TProgressHandler& onProgress, TUpdateMode rule, TWindowsVersions platforms,
                               const std::string& version) {
  return ::InstallFile(ArchiveFile, dest, archiveFolder, onProgress, rule, "", platforms, version);
}

int TfrmCopyFiles::RegisterServerFile(const std::string& fileName) { return ::RegisterServerFile(fileName); }

bool TfrmCopyFiles::AskContinue(const std::string& message) {
  ShowPendingName();  // the question is about the file the label names
  return MessageDlg(message, MsgDlgType::Error, mbYesNo) == mrYes;
}

void TfrmCopyFiles::CommitPendingRenames() { ::CommitPendingRenames(); }

uint8_t RunCopyFiles(const std::string& ArchiveFile, TTandrelBaseInstall* Project, int TopLimit,
                     std::function<void(int Index)> OnBillboard) {
  TfrmCopyFiles form(*Project);
  form.ArchiveFile = ArchiveFile;
  form.TopLimit = TopLimit;
  form.OnBillboard = std::move(OnBillboard);
  return static_cast<uint8_t>(form.ShowModal());
}
