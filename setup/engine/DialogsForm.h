// Unit DialogsForm: the setup wizard TfrmInstDialogs, one notebook page per wizard point
// (page index = the point's ordinal). The engine opens it before copying and for the
// complete page after copying; the builder opens it in preview.
#pragma once
#include <memory>
#include <string>

#include "base/win/Controls.h"
#include "base/win/Form.h"
#include "resources/engine/DialogsForm.rh"
#include "setup/engine/WizardFlow.h"
#include "setup/model/InstClasses.h"

class TfrmInstDialogs : public base::win::Form {
public:
  TfrmInstDialogs();

  TTandrelBaseInstall* Project = nullptr;
  bool Preview = false;
  TTandrelDialogType CurrentPage = dtBlank;
  TWindowsVersion WindowsVersion = wvOther;
  std::string ChosenDir;
  std::string DefaultUserName;
  std::string DefaultCompany;
  std::unique_ptr<TInstallInfo> PendingInfo;
  TInstComponent* CurrentComponent = nullptr;

  TTandrelDialogType PreviousPage(TTandrelDialogType page) const;
  TTandrelDialogType NextPage(TTandrelDialogType page) const;
  void ShowPage(TTandrelDialogType page);

  void btnBackClick();
  void btnNextClick();
  void btnCancelClick();
  void FinishDialogs();
  void FinishComplete();
  void ConfirmCancel();
  void BuildInstallInfo();

  void btnBrowseClick();
  void btnBrowse1Click();
  void btnBrowse2Click();
  void lvComponentsChange(const NMHDR* header);
  void lvComponentsClick();
  void lvComponentsDblClick();
  void btnChangeClick();
  void lbExistingFoldersClick();
  void LoadRichText(const base::win::RichEdit& edit, const std::string& text);
  void SelectComponent(TInstComponent* component);
  void FillComponents();
  void UpdateSpace();
  void FillSettings();
  void CheckUserPage();
  void CheckFolderPage();

  // The form's controls and those of its pages.
  base::win::Control pnlImage{*this, IDC_pnlImage};
  base::win::Image imgCustom{*this, IDC_imgCustom};
  base::win::Notebook nbMain{*this, IDC_nbMain};
  base::win::Button btnBack{*this, IDC_btnBack};
  base::win::Button btnNext{*this, IDC_btnNext};
  base::win::Button btnCancel{*this, IDC_btnCancel};
  base::win::RichEdit reLicense{*this, IDC_reLicense};
  base::win::RichEdit reReadMe{*this, IDC_reReadMe};
  base::win::Edit edtUserName{*this, IDC_edtUserName};
  base::win::Edit edtUserCompany{*this, IDC_edtUserCompany};
  base::win::Label lblDottedPath{*this, IDC_lblDottedPath};
  base::win::RadioButton rbTypical{*this, IDC_rbTypical};
  base::win::RadioButton rbCompact{*this, IDC_rbCompact};
  base::win::RadioButton rbCustom{*this, IDC_rbCustom};
  base::win::Label lblDottedPath1{*this, IDC_lblDottedPath1};
  base::win::ListView lvComponents{*this, IDC_lvComponents};
  base::win::Label lblDescription{*this, IDC_lblDescription};
  base::win::Button btnChange{*this, IDC_btnChange};
  base::win::Label lblDottedPath3{*this, IDC_lblDottedPath3};
  base::win::Label lblRequired{*this, IDC_lblRequired};
  base::win::Label lblAvailable{*this, IDC_lblAvailable};
  base::win::Edit edtFolderName{*this, IDC_edtFolderName};
  base::win::ListBox lbExistingFolders{*this, IDC_lbExistingFolders};
  base::win::RichEdit reSettings{*this, IDC_reSettings};
  base::win::Notebook nbReboot{*this, IDC_nbReboot};
  base::win::RadioButton rbRestartWindows{*this, IDC_rbRestartWindows};
  base::win::RadioButton rbNoAction{*this, IDC_rbNoAction};
  base::win::CheckBox cbRunApp{*this, IDC_cbRunApp};
  base::win::CheckBox cbViewReadMe{*this, IDC_cbViewReadMe};

protected:
  void FormCreate() override;
  void FormShow() override;

private:
  void btnNextAction();
  void SetUpPage(TTandrelDialogType page);
  void ApplyTexts(TTandrelDialogType page);
  void ShowImagePanel(bool show);
  void EnsureChosenDir();
  void ShowChosenDir(const base::win::Label& label);
  void Browse(const base::win::Label& label);
  TWizardChoice Choice() const;
  std::string Text(int stringId) const;

  // Raised while the component list is filled or its boxes are set from the selection,
  // so that those changes are not taken as the user's.
  bool filling_ = false;
};

// The wizard before copying: the modal result (mrOk when the user went through, mrCancel
// otherwise). A project with no page before copying commits the Typical selection and
// shows no window.
int ExecuteInstDialogs(TTandrelBaseInstall* Project);
// The complete point after copying: its extensions, then the complete page when they all
// went on and DialogTypes holds it.
void ExecuteCompleteDialog(TTandrelBaseInstall* Project);
// The builder's preview of one page: nothing is stored into the project and Cancel closes
// at once. Returns the modal result.
int PreviewInstDialogs(TTandrelBaseInstall* Project, TTandrelDialogType Page);
