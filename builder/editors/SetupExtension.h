// The extension dialog (TfrmExtension): one program or DLL function that the setup runs
// at a wizard point, and where its file comes from. It works on the wizard dialogs
// editor's working copy.
#pragma once
#include <string>

#include "base/win/Controls.h"
#include "base/win/Form.h"
#include "base/win/ListBoxes.h"
#include "base/win/PageControl.h"
#include "resources/builder/SetupExtension.rh"
#include "setup/model/InstClasses.h"

class TfrmExtension : public base::win::Form {
public:
  TfrmExtension();

  TTandrelBaseInstall* Project = nullptr;  // not owned
  std::string RealFileName;
  TExtensionStyle Style = esExecutable;

  void SetStyle(TExtensionStyle style);
  void btnOkClick();
  void btnHelpClick();
  void SpeedButton1Click();
  void SpeedButton2Click();
  void SpeedButton3Click();
  void SpeedButton4Click();
  void SpeedButton5Click();

  // The tab of the style being defined: 0 "Executable", 1 "DLL".
  int ActivePage() const { return PageControl1.ActivePage(); }

  base::win::PageControl PageControl1{*this, IDC_EXT_PageControl1};
  base::win::Edit edtCommand{*this, IDC_EXT_edtCommand};
  base::win::Button SpeedButton1{*this, IDC_EXT_SpeedButton1};
  base::win::Button SpeedButton5{*this, IDC_EXT_SpeedButton5};
  base::win::Edit edtParameters{*this, IDC_EXT_edtParameters};
  base::win::Button SpeedButton2{*this, IDC_EXT_SpeedButton2};
  base::win::Edit edtDescription{*this, IDC_EXT_edtDescription};
  base::win::CheckBox cbWait{*this, IDC_EXT_cbWait};
  base::win::ColumnListBox lbWhen{*this, IDC_EXT_lbWhen};
  base::win::Edit edtCommandDLL{*this, IDC_EXT_edtCommandDLL};
  base::win::Button SpeedButton3{*this, IDC_EXT_SpeedButton3};
  base::win::Button SpeedButton4{*this, IDC_EXT_SpeedButton4};
  base::win::Edit edtParametersDLL{*this, IDC_EXT_edtParametersDLL};
  base::win::ColumnListBox lbWhenDLL{*this, IDC_EXT_lbWhenDLL};
  base::win::Button btnOk{*this, IDC_EXT_btnOk};
  base::win::Button btnCancel{*this, IDC_EXT_btnCancel};

protected:
  void FormCreate() override;
  void FormShow() override;
  void FormClose() override;

private:
  void PickProjectCommand(const base::win::Edit& edit);
  void PickDiskCommand(const base::win::Edit& edit);
};

// A new program or DLL extension added to the project on OK; null when cancelled.
TTandrelExtension* NewExecutableExtension(TTandrelBaseInstall& project);
TTandrelExtension* NewDllExtension(TTandrelBaseInstall& project);
// Edits an extension of the project; true when OK stored its fields.
bool EditExtension(TTandrelExtension& extension, TTandrelBaseInstall& project);
