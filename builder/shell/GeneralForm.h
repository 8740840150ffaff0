// Unit GeneralForm: the general settings dialog TfrmGeneral (application name, version,
// main executable, installation folder, company, uninstaller).
#pragma once
#include <string>

#include "base/win/Controls.h"
#include "base/win/Form.h"
#include "resources/builder/GeneralForm.rh"
#include "setup/model/InstClasses.h"

class TfrmGeneral : public base::win::Form {
public:
  TfrmGeneral();

  TTandrelBaseInstall* Project = nullptr;  // not owned
  std::string MainExecutable;              // chosen with Browse during this showing

  void btnBrowseClick();
  void ReadExecutableInfo(const std::string& Path);
  void edtCompanyExit();
  void btnOkClick();

  base::win::Edit edtApplication{*this, IDC_GEN_edtApplication};
  base::win::Edit edtVersion{*this, IDC_GEN_edtVersion};
  base::win::Edit edtExecutable{*this, IDC_GEN_edtExecutable};
  base::win::Edit edtInstallDir{*this, IDC_GEN_edtInstallDir};
  base::win::Edit edtCompany{*this, IDC_GEN_edtCompany};
  base::win::CheckBox cbUninstaller{*this, IDC_GEN_cbUninstaller};
  base::win::Button btnBrowse{*this, IDC_GEN_btnBrowse};
  base::win::Button btnOk{*this, IDC_GEN_btnOk};
  base::win::Button btnCancel{*this, IDC_GEN_btnCancel};
  base::win::Button btnHelp{*this, IDC_GEN_btnHelp};

protected:
  void FormCreate() override;
  void FormShow() override;
  void FormClose() override;
};

// The name the main file group has, or will have once a file goes into it; reading it
// adds no group to the project.
std::string MainFileGroupName(const TTandrelBaseInstall& Project);

bool ExecuteGeneralSettings(TTandrelBaseInstall& Project);
