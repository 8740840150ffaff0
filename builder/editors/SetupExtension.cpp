#include "builder/editors/SetupExtension.h"

#include "base/Streams.h"
#include "base/win/Application.h"
#include "base/win/Dialogs.h"
#include "builder/common/BuilderSettings.h"
#include "builder/common/PickFile.h"
#include "builder/editors/DialogsRules.h"
#include "resources/builder_texts.h"

using namespace base::win;

namespace {

constexpr int kExtensionHelp = 15;

}  // namespace

TfrmExtension::TfrmExtension() : Form(IDD_frmExtension) { Create(); }

void TfrmExtension::FormCreate() {
  PageControl1.AddPage(texts::kPageExecutable, IDD_EXT_tsExecutable);
  PageControl1.AddPage(texts::kPageDll, IDD_EXT_tsDLL);
  OnClick(IDC_EXT_btnOk, [this] { btnOkClick(); });
  ModalButton(IDC_EXT_btnCancel, mrCancel);
  OnClick(IDC_EXT_btnHelp, [this] { btnHelpClick(); });
  SetDefaultButton(IDC_EXT_btnOk);
  SetCancelButton(IDC_EXT_btnCancel);
  OnClick(IDC_EXT_SpeedButton1, [this] { SpeedButton1Click(); });
  OnClick(IDC_EXT_SpeedButton2, [this] { SpeedButton2Click(); });
  OnClick(IDC_EXT_SpeedButton3, [this] { SpeedButton3Click(); });
  OnClick(IDC_EXT_SpeedButton4, [this] { SpeedButton4Click(); });
  OnClick(IDC_EXT_SpeedButton5, [this] { SpeedButton5Click(); });
  for (const Edit* readOnly : {&edtCommand, &edtCommandDLL}) SetControlBackColor(readOnly->Handle(), clBtnFace);
  for (const ColumnListBox* list : {&lbWhen, &lbWhenDLL}) {
    for (int i = 0; i < kWhenRows; ++i) list->Add(DialogTypeNames[i]);
    list->SetColumns(2);
  }
}

void TfrmExtension::FormShow() { RestoreFormPosition(Handle(), "frmExtension"); }

void TfrmExtension::FormClose() { SaveFormPosition(Handle(), "frmExtension"); }

void TfrmExtension::SetStyle(TExtensionStyle style) {
  Style = style;
  const int page = style == esDLL ? 1 : 0;
  PageControl1.SetTabVisible(page, true);
  PageControl1.SetActivePage(page);
  PageControl1.SetTabVisible(1 - page, false);
}

void TfrmExtension::btnOkClick() {
  const bool dll = Style == esDLL;
  const TExtensionField missing =
      dll ? MissingExtensionField(esDLL, edtCommandDLL.Text(), edtParametersDLL.Text(), lbWhenDLL.ItemIndex())
          : MissingExtensionField(esExecutable, edtCommand.Text(), edtParameters.Text(), lbWhen.ItemIndex());
  const Window* focus = nullptr;
  switch (missing) {
    case TExtensionField::None:
      SetModalResult(mrOk);
      return;
    case TExtensionField::Command: focus = &edtCommand; break;
    case TExtensionField::When: focus = &lbWhen; break;
    case TExtensionField::DllFile: focus = &edtCommandDLL; break;
    case TExtensionField::FunctionName: focus = &edtParametersDLL; break;
    case TExtensionField::DllWhen: focus = &lbWhenDLL; break;
  }
  focus->Focus();
  const std::string message = MissingFieldMessage(missing);
  if (message.empty())
    Beep();
  else
    MessageDlg(message, MsgDlgType::Warning, mbOK);
}

void TfrmExtension::btnHelpClick() { App().HelpContext(kExtensionHelp); }

void TfrmExtension::PickProjectCommand(const Edit& edit) {
  std::string group;
  if (TTandrelFile* file = PickProjectFile(*Project, group)) {
    edit.SetText(ProjectFilePath(group, file->FileName));
    RealFileName = file->FileName;
  }
}

void TfrmExtension::PickDiskCommand(const Edit& edit) {
  FileDialogOptions options;
  options.Title = texts::kSelectExtension;
  options.Filter = texts::kExtensionFilter;
  options.DefaultExt = "dll";
  std::string file = base::FileExists(edit.Text()) ? edit.Text() : std::string();
  if (!OpenFileDialog(options, file)) return;
  edit.SetText(file);
  RealFileName = file;
}

void TfrmExtension::SpeedButton1Click() { PickProjectCommand(edtCommand); }

void TfrmExtension::SpeedButton2Click() {
  std::string group;
  if (TTandrelFile* file = PickProjectFile(*Project, group)) edtParameters.SetText(ProjectFilePath(group, file->FileName));
}

void TfrmExtension::SpeedButton3Click() { PickProjectCommand(edtCommandDLL); }

void TfrmExtension::SpeedButton4Click() { PickDiskCommand(edtCommandDLL); }

void TfrmExtension::SpeedButton5Click() { PickDiskCommand(edtCommand); }

namespace {

// Stores the fields of the dialog's style into the extension.
void StoreExtension(const TfrmExtension& form, TTandrelExtension& e) {
  if (form.Style == esDLL) {
    e.Executable = form.edtCommandDLL.Text();
    e.Params = form.edtParametersDLL.Text();
    e.When = static_cast<TTandrelDialogType>(form.lbWhenDLL.ItemIndex());
  } else {
    e.Executable = form.edtCommand.Text();
    e.Params = form.edtParameters.Text();
    e.Instructions = form.edtDescription.Text();
    e.Wait = form.cbWait.Checked();
    e.When = static_cast<TTandrelDialogType>(form.lbWhen.ItemIndex());
  }
  e.RealFile = ExtensionRealFile(form.RealFileName, e.Executable);
}

TTandrelExtension* NewExtension(TTandrelBaseInstall& project, TExtensionStyle style) {
  TfrmExtension form;
  form.Project = &project;
  form.RealFileName.clear();
  if (style == esDLL) {
    form.edtCommandDLL.SetText("");
    form.edtParametersDLL.SetText("");
    form.lbWhenDLL.SetItemIndex(0);
  } else {
    form.edtCommand.SetText("");
    form.edtParameters.SetText("");
    form.edtDescription.SetText("");
    form.cbWait.SetChecked(true);
    form.lbWhen.SetItemIndex(0);
  }
  form.SetStyle(style);
  if (form.ShowModal() != mrOk) return nullptr;
  TTandrelExtension* e = project.Extensions.Add();
  e->Owner = &project;
  e->Style = style;
  StoreExtension(form, *e);
  return e;
}

}  // namespace

TTandrelExtension* NewExecutableExtension(TTandrelBaseInstall& project) { return NewExtension(project, esExecutable); }

TTandrelExtension* NewDllExtension(TTandrelBaseInstall& project) { return NewExtension(project, esDLL); }

bool EditExtension(TTandrelExtension& e, TTandrelBaseInstall& project) {
  TfrmExtension form;
  form.Project = &project;
  if (e.Style == esDLL) {
    form.edtCommandDLL.SetText(e.Executable);
    form.edtParametersDLL.SetText(e.Params);
    form.lbWhenDLL.SetItemIndex(e.When);
  } else {
    form.edtCommand.SetText(e.Executable);
    form.edtParameters.SetText(e.Params);
    form.edtDescription.SetText(e.Instructions);
    form.cbWait.SetChecked(e.Wait);
    form.lbWhen.SetItemIndex(e.When);
  }
  form.RealFileName = e.RealFile;
  form.SetStyle(e.Style);
  if (form.ShowModal() != mrOk) return false;
  StoreExtension(form, e);
  return true;
}
