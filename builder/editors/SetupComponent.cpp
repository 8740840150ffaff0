#include "builder/editors/SetupComponent.h"

#include "base/win/Dialogs.h"
#include "builder/common/BuilderSettings.h"
#include "resources/builder_texts.h"

using namespace base::win;

void TfrmComponentProperties::FormCreate() {
  pcMain.AddPage(texts::kPageComponent, IDD_COMPONENT_PROPERTIES_PAGE);
  OnClick(IDC_CP_btnOk, [this] { btnOkClick(); });
  ModalButton(IDC_CP_btnCancel, mrCancel);
  OnClick(IDC_CP_btnHelp, [] {});
  SetDefaultButton(IDC_CP_btnOk);
  SetCancelButton(IDC_CP_btnCancel);
}

void TfrmComponentProperties::FormShow() {
  RestoreFormPosition(Handle(), "frmComponentProperties");
  pcMain.SetActivePage(0);
  edtName.SetText(Component ? Component->Name() : "");
  std::string description = Component ? Component->Description : "";
  // The memo shows line breaks as the edit control wants them.
  std::string shown;
  for (size_t i = 0; i < description.size(); ++i) {
    if (description[i] == '\n' && (i == 0 || description[i - 1] != '\r')) shown += '\r';
    shown += description[i];
  }
  memoDescription.SetText(shown);
  ShownDescription = memoDescription.Text();
  edtName.Focus();
}

void TfrmComponentProperties::FormClose() { SaveFormPosition(Handle(), "frmComponentProperties"); }

void TfrmComponentProperties::btnOkClick() {
  if (edtName.Text().empty()) {
    Beep();
    edtName.Focus();
    return;
  }
  const bool wasExisting = Component != nullptr;
  if (!Component) {
    Component = Project->Components.Add();
    Component->Owner = Project;
  }
  Component->SetName(edtName.Text());
  // An untouched description keeps its own line breaks, whatever the memo made of them.
  const std::string typed = memoDescription.Text();
  if (!(wasExisting && typed == ShownDescription)) Component->Description = typed;
  SetModalResult(mrOk);
}

namespace {
bool RunComponentDialog(TTandrelBaseInstall& project, TTandrelComponent* component) {
  TfrmComponentProperties form;
  form.Project = &project;
  form.Component = component;
  return form.ShowModal() == mrOk;
}
}  // namespace

bool NewComponent(TTandrelBaseInstall& project) { return RunComponentDialog(project, nullptr); }

bool EditComponent(TTandrelBaseInstall& project, int componentIndex) {
  return RunComponentDialog(project, project.GetComponent(componentIndex));
}
