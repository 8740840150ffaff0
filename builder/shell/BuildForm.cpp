#include "builder/shell/BuildForm.h"

#include "base/Strings.h"
#include "base/win/Application.h"
#include "base/win/Dialogs.h"
#include "builder/common/BuilderSettings.h"
#include "resources/builder_texts.h"

using namespace base::win;

namespace {
constexpr const char* kFormName = "frmBuilder";
constexpr int kHelpBuild = 21;
}  // namespace

TfrmBuilder::TfrmBuilder() : Form(IDD_frmBuilder) {
  BuilderFolder = base::ExtractFilePath(App().ExeName());
  Create();
}

void TfrmBuilder::FormCreate() {
  TCITEMA tab = {};
  tab.mask = TCIF_TEXT;
  tab.pszText = const_cast<char*>(texts::kBuildCaption);  // only read
  PageControl1.Send(TCM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&tab));
  memoProgress.SetMaxLength(0);
  pbOverall.SetRange(0, 100);
  pbCompress.SetRange(0, 100);
  OnClick(IDC_BLD_btnStart, [this] { btnStartClick(); });
  ModalButton(IDC_BLD_btnCancel, mrOk);
  SetCancelButton(IDC_BLD_btnCancel);
  OnClick(IDC_BLD_btnHelp, [] { App().HelpContext(kHelpBuild); });
}

void TfrmBuilder::FormShow() {
  RestoreFormPosition(Handle(), kFormName);
  lblOverall.SetCaption("");
}

bool TfrmBuilder::FormCloseQuery() { return !building_; }

void TfrmBuilder::FormClose() { SaveFormPosition(Handle(), kFormName); }

void TfrmBuilder::TMemoLog::Add(const std::string& line) {
  const HWND memo = form_.memoProgress.Handle();
  const std::string text = (lines.empty() ? "" : "\r\n") + line;
  const LRESULT end = SendMessageA(memo, WM_GETTEXTLENGTH, 0, 0);
  SendMessageA(memo, EM_SETSEL, static_cast<WPARAM>(end), end);
  SendMessageA(memo, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(text.c_str()));
  lines.push_back(line);
}

void TfrmBuilder::TMemoLog::ProcessMessages() { App().ProcessMessages(); }

void TfrmBuilder::TMemoLog::Clear() {
  form_.memoProgress.SetText("");
  lines.clear();
}

void TfrmBuilder::SetBuilding(bool building) {
  EnableMenuItem(GetSystemMenu(Handle(), FALSE), SC_CLOSE, MF_BYCOMMAND | (building ? MF_GRAYED : MF_ENABLED));
  if (building) {
    building_ = true;
    log_.Clear();
    lastGroup_.clear();
    btnStart.Enable(false);
    btnCancel.Enable(false);
    return;
  }
  btnStart.Enable(true);
  btnCancel.Enable(true);
  lblOverall.SetCaption("");
  pbOverall.SetPosition(0);
  pbCompress.SetPosition(0);
  building_ = false;
  // A close asked for while the build ran is not carried out afterwards either.
  SetModalResult(mrNone);
  if (!GetFocus() || !IsWindowEnabled(GetFocus())) btnStart.Focus();
}

void TfrmBuilder::BuildProgress(int32_t Position, int32_t Maximum, const std::string& Message,
                                const std::string& GroupName) {
  pbOverall.SetMax(Maximum);
  pbOverall.SetPosition(Position);
  lblOverall.SetCaption(GroupName);
  if (!GroupName.empty() && GroupName != lastGroup_) {
    log_.Add(texts::kBuildCompressingGroup + GroupName);
    lastGroup_ = GroupName;
  }
  if (!Message.empty()) log_.Add(Message);
  Invalidate();
  Update();
}

void TfrmBuilder::CompressProgress(int32_t& PercentageDone) { pbCompress.SetPosition(PercentageDone); }

void TfrmBuilder::btnStartClick() {
  if (!Project) return;
  TBuildHost host;
  host.Log = &log_;
  host.Confirm = [](const std::string& q) { return MessageDlg(q, MsgDlgType::Confirmation, mbYesNo) == mrYes; };
  host.ShowError = [](const std::string& t) { MessageDlg(t, MsgDlgType::Error, mbOK); };
  host.SetBuilding = [this](bool b) { SetBuilding(b); };
  host.Progress = [this](int32_t p, int32_t m, const std::string& msg, const std::string& g) {
    BuildProgress(p, m, msg, g);
  };
  host.CompressProgress = [this](int32_t& percent) { CompressProgress(percent); };
  host.Beep = [] { Beep(); };
  // A failure the build does not report itself reaches the layer's exception box.
  BuildSetupPackage(*Project, FileName, BuilderFolder, host);
}

void ExecuteBuilder(TTandrelBaseInstall& Project, const std::string& FileName) {
  TfrmBuilder form;
  form.Project = &Project;
  form.FileName = FileName;
  form.ShowModal();
}
