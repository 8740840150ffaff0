// The component properties dialog: name and description of a new or an existing
// component of the editor's working copy.
#pragma once
#include "base/win/Form.h"
#include "base/win/PageControl.h"
#include "resources/builder/SetupComponent.rh"
#include "setup/model/InstClasses.h"

class TfrmComponentProperties : public base::win::Form {
public:
  TfrmComponentProperties() : Form(IDD_COMPONENT_PROPERTIES) { Create(); }

  TTandrelBaseInstall* Project = nullptr;     // not owned
  TTandrelComponent* Component = nullptr;     // none for a new component until OK
  std::string ShownDescription;               // the memo's text as FormShow left it

  base::win::PageControl pcMain{*this, IDC_CP_pcMain};
  base::win::Edit edtName{*this, IDC_CP_edtName};
  base::win::Edit memoDescription{*this, IDC_CP_memoDescription};

  void btnOkClick();

protected:
  void FormCreate() override;
  void FormShow() override;
  void FormClose() override;
};

bool NewComponent(TTandrelBaseInstall& project);
bool EditComponent(TTandrelBaseInstall& project, int componentIndex);
