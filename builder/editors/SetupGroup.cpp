#include "builder/editors/SetupGroup.h"

#include "base/win/Application.h"
#include "base/win/Dialogs.h"
#include "builder/common/BuilderSettings.h"
#include "builder/editors/GroupEditorRules.h"
#include "setup/services/InstGlobal.h"
#include "resources/builder_texts.h"

using namespace base::win;

namespace {
constexpr int kHelpGroupProperties = 11;
using texts::kPlatformNames;

std::vector<std::string> MacroLines() {
  std::vector<std::string> lines;
  const TNameValueList& macros = DirMacros();
  for (size_t i = 0; i < macros.Count(); ++i) lines.push_back(macros.Name(i) + "=");
  return lines;
}
}  // namespace

void TfrmGroupProperties::FormCreate() {
  pcMain.AddPage(texts::kGroupProperties, IDD_GROUP_PROPERTIES_PAGE);
  for (const std::string& name : DestinationChoices(MacroLines(), {}, "")) cbDestination.Add(name);
  clbPlatform.Setup();
  for (const char* name : kPlatformNames) clbPlatform.Add(name);
  OnClick(IDC_GP_rbAll, [this] { rbAllClick(); });
  OnClick(IDC_GP_rbSpecific, [this] { rbAllClick(); });
  OnClick(IDC_GP_btnOk, [this] { btnOkClick(); });
  ModalButton(IDC_GP_btnCancel, mrCancel);
  OnClick(IDC_GP_btnHelp, [this] { btnHelpClick(); });
  SetDefaultButton(IDC_GP_btnOk);
  SetCancelButton(IDC_GP_btnCancel);
}

void TfrmGroupProperties::FormShow() {
  RestoreFormPosition(Handle(), "frmGroupProperties");
  pcMain.SetActivePage(0);
  PlatformChoice platforms;
  if (Group) {
    edtName.SetText(Group->Name());
    edtDescription.SetText(Group->Description);
    cbDestination.SetText(Group->Destination());
    rgUpdateMethod.SetItemIndex(static_cast<int>(Group->UpdateMethod));
    platforms = PlatformsToChoice(Group->UpdatePlatforms);
  } else {
    edtName.SetText("");
    edtDescription.SetText("");
    cbDestination.SetText("<INSTALLDIR>");
    rgUpdateMethod.SetItemIndex(static_cast<int>(umAllways));
  }
  rbAll.SetChecked(platforms.All);
  rbSpecific.SetChecked(!platforms.All);
  rbAllClick();
  if (!platforms.All)
    for (int i = 0; i < 4; ++i) clbPlatform.SetChecked(i, platforms.Checked[static_cast<size_t>(i)]);
  if (Project) {
    // Every group's folder but this group's own, found by the name shown.
    std::vector<std::string> others = DestinationChoices({}, Project->InstFolders, edtName.Text());
    for (const std::string& name : others) cbDestination.Add(name);
  }
  edtName.Focus();
}

void TfrmGroupProperties::FormClose() { SaveFormPosition(Handle(), "frmGroupProperties"); }

void TfrmGroupProperties::rbAllClick() {
  if (rbAll.Checked()) {
    for (int i = 0; i < clbPlatform.Count(); ++i) clbPlatform.SetChecked(i, false);
    clbPlatform.Enable(false);
    clbPlatform.SetTextColor(GetSysColor(COLOR_INACTIVECAPTIONTEXT));
  } else {
    clbPlatform.Enable(true);
    clbPlatform.SetTextColor(GetSysColor(COLOR_WINDOWTEXT));
  }
}

void TfrmGroupProperties::btnOkClick() {
  if (edtName.Text().empty()) {
    Beep();
    edtName.Focus();
    return;
  }
  if (cbDestination.Text().empty()) {
    Beep();
    cbDestination.Focus();
    return;
  }
  if (!Group) {
    Group = Project->Groups.Add();
    Group->Owner = Project;
  }
  Group->SetName(edtName.Text());
  Group->Description = edtDescription.Text();
  Group->SetDestination(cbDestination.Text());
  int method = rgUpdateMethod.ItemIndex();
  if (method >= 0) Group->UpdateMethod = static_cast<TUpdateMode>(method);
  PlatformChoice platforms;
  platforms.All = rbAll.Checked();
  for (int i = 0; i < 4; ++i) platforms.Checked[static_cast<size_t>(i)] = clbPlatform.Checked(i);
  Group->UpdatePlatforms = ChoiceToPlatforms(platforms);
  SetModalResult(mrOk);
}

void TfrmGroupProperties::btnHelpClick() { App().HelpContext(kHelpGroupProperties); }

namespace {
bool RunGroupDialog(TTandrelBaseInstall& project, TTandrelFileGroup* group) {
  TfrmGroupProperties form;
  form.Project = &project;
  form.Group = group;
  return form.ShowModal() == mrOk;
}
}  // namespace

bool NewFileGroup(TTandrelBaseInstall& project) { return RunGroupDialog(project, nullptr); }

bool EditFileGroup(TTandrelBaseInstall& project, int groupIndex) {
  return RunGroupDialog(project, project.GetGroup(groupIndex));
}
