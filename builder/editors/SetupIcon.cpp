#include "builder/editors/SetupIcon.h"

#include "base/Strings.h"
#include "base/win/Application.h"
#include "base/win/Dialogs.h"
#include "builder/common/BuilderSettings.h"
#include "builder/common/PickFile.h"
#include "builder/editors/RegistryLook.h"
#include "builder/editors/RegistryRules.h"
#include "setup/services/InstFileInfo.h"
#include "resources/builder_texts.h"

using namespace base::win;

namespace {
constexpr const char* kFormName = "frmIconProp";
constexpr int kHelpIconProperties = 17;
}  // namespace

TfrmIconProp::TfrmIconProp() : Form(IDD_frmIconProp) { Create(); }

void TfrmIconProp::FormCreate() {
  AddSingleTab(PageControl1, texts::kPageGeneral);
  for (const std::string& name : StartInFolders({})) cbStartIn.Add(name);
  rgWindow.SetItemIndex(0);
  rgFolder.SetItemIndex(0);
  OnClick(IDC_ICP_SpeedButton1, [this] { SpeedButton1Click(); });
  OnClick(IDC_ICP_SpeedButton2, [this] { SpeedButton2Click(); });
  OnClick(IDC_ICP_btnOk, [this] { btnOkClick(); });
  ModalButton(IDC_ICP_btnCancel, mrCancel);
  OnClick(IDC_ICP_btnHelp, [] { App().HelpContext(kHelpIconProperties); });
  SetDefaultButton(IDC_ICP_btnOk);
  SetCancelButton(IDC_ICP_btnCancel);
}

void TfrmIconProp::FormShow() {
  RestoreFormPosition(Handle(), kFormName);
  if (!Project) return;
  for (const std::string& line : Project->InstFolders) cbStartIn.Add(line.substr(0, line.find('=')));
}

void TfrmIconProp::FormClose() { SaveFormPosition(Handle(), kFormName); }

void TfrmIconProp::SpeedButton1Click() {
  if (!Project) return;
  std::string group;
  TTandrelFile* file = PickProjectFile(*Project, group);
  if (!file) return;
  edtCommand.SetText(ProjectFileReference(group, file->FileName));
  FillDescription(file->FileName);
  cbStartIn.SetText(GroupFolderReference(group));
  SourceFile = file->FileName;
}

void TfrmIconProp::SpeedButton2Click() {
  if (!Project) return;
  std::string group;
  TTandrelFile* file = PickProjectFile(*Project, group);
  if (file) edtParameters.SetText(ProjectFileReference(group, file->FileName));
}

void TfrmIconProp::FillDescription(const std::string& SourcePath) {
  std::string product, productVersion, fileVersion, company;
  bool selfRegister = false;
  if (!GetVersionInfo(SourcePath, product, productVersion, fileVersion, company, selfRegister)) return;
  edtDescription.SetText(DescriptionFromVersion(product, SourcePath));
}

void TfrmIconProp::btnOkClick() {
  for (const Edit* required : {&edtCommand, &edtDescription}) {
    if (required->Text().empty()) {
      required->Focus();
      Beep();
      return;
    }
  }
  SetModalResult(mrOk);
}

namespace {

void ShowIcon(TfrmIconProp& form, const TTandrelIcon& icon) {
  form.edtCommand.SetText(icon.FileName);
  form.edtParameters.SetText(icon.Params);
  form.edtDescription.SetText(icon.Caption);
  form.cbStartIn.SetText(icon.WorkingDir);
  form.rgWindow.SetItemIndex(static_cast<int>(icon.DisplayType));
  form.rgFolder.SetItemIndex(static_cast<int>(icon.GroupType));
  form.SourceFile = icon.SourceFile;
}

void StoreIcon(TfrmIconProp& form, TTandrelIcon& icon) {
  icon.FileName = form.edtCommand.Text();
  icon.Params = form.edtParameters.Text();
  icon.Caption = form.edtDescription.Text();
  icon.WorkingDir = form.cbStartIn.Text();
  const int window = form.rgWindow.ItemIndex();
  const int folder = form.rgFolder.ItemIndex();
  icon.DisplayType = static_cast<TDisplayType>(window >= 0 && window <= dtMinimized ? window : dtNormal);
  icon.GroupType = static_cast<TPMGroupType>(folder >= 0 && folder <= gtSendTo ? folder : gtDefault);
  form.SourceFile = StoredSourceFile(form.SourceFile, icon.FileName);
  icon.SourceFile = form.SourceFile;
}

}  // namespace

TTandrelIcon* NewIcon(TTandrelBaseInstall& Project) {
  TfrmIconProp form;
  form.Project = &Project;
  if (form.ShowModal() != mrOk) return nullptr;
  TTandrelIcon* icon = Project.Icons.Add();
  StoreIcon(form, *icon);
  return icon;
}

bool EditIcon(TTandrelIcon& Icon, TTandrelBaseInstall& Project) {
  TfrmIconProp form;
  form.Project = &Project;
  ShowIcon(form, Icon);
  if (form.ShowModal() != mrOk) return false;
  StoreIcon(form, Icon);
  return true;
}
