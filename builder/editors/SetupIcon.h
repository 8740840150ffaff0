// Unit SetupIcon: the shortcut dialog TfrmIconProp, which edits one program shortcut.
#pragma once
#include <string>

#include "base/win/ComboBox.h"
#include "base/win/Controls.h"
#include "base/win/Form.h"
#include "base/win/RadioGroup.h"
#include "resources/builder/SetupIcon.rh"
#include "setup/model/InstClasses.h"

class TfrmIconProp : public base::win::Form {
public:
  TfrmIconProp();

  TTandrelBaseInstall* Project = nullptr;  // its groups are offered; not owned
  std::string SourceFile;                  // source path of the file picked last as the command

  void SpeedButton1Click();
  void SpeedButton2Click();
  void FillDescription(const std::string& SourcePath);
  void btnOkClick();

  base::win::Control PageControl1{*this, IDC_ICP_PageControl1};
  base::win::Edit edtCommand{*this, IDC_ICP_edtCommand};
  base::win::Button SpeedButton1{*this, IDC_ICP_SpeedButton1};
  base::win::Edit edtParameters{*this, IDC_ICP_edtParameters};
  base::win::Button SpeedButton2{*this, IDC_ICP_SpeedButton2};
  base::win::Edit edtDescription{*this, IDC_ICP_edtDescription};
  base::win::ComboBox cbStartIn{*this, IDC_ICP_cbStartIn};
  base::win::RadioGroup rgWindow{*this, IDC_ICP_rgWindow, {IDC_ICP_rgWindow0, IDC_ICP_rgWindow1, IDC_ICP_rgWindow2}};
  base::win::RadioGroup rgFolder{*this,
                                 IDC_ICP_rgFolder,
                                 {IDC_ICP_rgFolder0, IDC_ICP_rgFolder1, IDC_ICP_rgFolder2, IDC_ICP_rgFolder3,
                                  IDC_ICP_rgFolder4, IDC_ICP_rgFolder5}};
  base::win::Button btnOk{*this, IDC_ICP_btnOk};
  base::win::Button btnCancel{*this, IDC_ICP_btnCancel};
  base::win::Button btnHelp{*this, IDC_ICP_btnHelp};

protected:
  void FormCreate() override;
  void FormShow() override;
  void FormClose() override;
};

// A new shortcut appended to the project's Icons from the dialog, or nothing on Cancel.
TTandrelIcon* NewIcon(TTandrelBaseInstall& Project);
// The shortcut's fields through the dialog; true (and stored) on OK.
bool EditIcon(TTandrelIcon& Icon, TTandrelBaseInstall& Project);
