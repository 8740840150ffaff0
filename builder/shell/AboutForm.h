// Unit AboutForm: the about box TfrmAbout with the builder's version and build.
#pragma once
#include <string>

#include "base/win/Controls.h"
#include "base/win/Form.h"
#include "resources/builder/AboutForm.rh"

class TfrmAbout : public base::win::Form {
public:
  TfrmAbout();

  // The file whose version block and picture the box shows: the builder itself.
  std::string ExeFileName;

  base::win::Image Image1{*this, IDC_ABT_Image1};
  base::win::Label lblVersion{*this, IDC_ABT_lblVersion};
  base::win::Label lblBuild{*this, IDC_ABT_lblBuild};
  base::win::Button btnOk{*this, IDC_ABT_btnOk};

protected:
  void FormCreate() override;
  void FormShow() override;
};

// The British English FileVersion text of the file's version block; "" without one.
std::string ReadFileVersionText(const std::string& fileName);

void ShowAboutBox();
