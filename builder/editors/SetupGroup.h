// The file group properties dialog: name, install directory, description, update method
// and target platforms of a new or an existing group of the editor's working copy.
#pragma once
#include "base/win/CheckListBox.h"
#include "base/win/ComboBox.h"
#include "base/win/Form.h"
#include "base/win/PageControl.h"
#include "base/win/RadioGroup.h"
#include "resources/builder/SetupGroup.rh"
#include "setup/model/InstClasses.h"

class TfrmGroupProperties : public base::win::Form {
public:
  TfrmGroupProperties() : Form(IDD_GROUP_PROPERTIES) { Create(); }

  TTandrelBaseInstall* Project = nullptr;  // not owned
  TTandrelFileGroup* Group = nullptr;      // none for a new group until OK

  base::win::PageControl pcMain{*this, IDC_GP_pcMain};
  base::win::Edit edtName{*this, IDC_GP_edtName};
  base::win::ComboBox cbDestination{*this, IDC_GP_cbDestination};
  base::win::Edit edtDescription{*this, IDC_GP_edtDescription};
  base::win::RadioGroup rgUpdateMethod{*this, IDC_GP_rgUpdateMethod,
                                       {IDC_GP_rbNewerVersion, IDC_GP_rbMoreRecent, IDC_GP_rbAlways, IDC_GP_rbNever}};
  base::win::GroupBox gbPlatform{*this, IDC_GP_gbPlatform};
  base::win::RadioButton rbAll{*this, IDC_GP_rbAll};
  base::win::RadioButton rbSpecific{*this, IDC_GP_rbSpecific};
  base::win::CheckListBox clbPlatform{*this, IDC_GP_clbPlatform};
  base::win::Button btnOk{*this, IDC_GP_btnOk};
  base::win::Button btnCancel{*this, IDC_GP_btnCancel};
  base::win::Button btnHelp{*this, IDC_GP_btnHelp};

  void rbAllClick();
  void btnOkClick();
  void btnHelpClick();

protected:
  void FormCreate() override;
  void FormShow() override;
  void FormClose() override;
};

// True when the dialog ended with OK; the new group is then the last of Groups.
bool NewFileGroup(TTandrelBaseInstall& project);
bool EditFileGroup(TTandrelBaseInstall& project, int groupIndex);
