// The dialog of the background's two texts (TfrmScreenObjects): the main title, a text or
// a picture, and the sub-title, with their fonts and places. It writes straight into the
// project it is given: the screen editor's working copy.
#pragma once
#include <string>

#include "base/win/ComboBox.h"
#include "base/win/Controls.h"
#include "base/win/Form.h"
#include "base/win/PageControl.h"
#include "resources/builder/SetupScreen.rh"
#include "setup/model/InstClasses.h"

class TfrmScreenObjects : public base::win::Form {
public:
  TfrmScreenObjects();

  TTandrelBaseInstall* Project = nullptr;  // not owned

  void rbBitmapClick();
  void edtTitleChange();
  void edtSubTitleChange();
  void btnBrowseClick();
  void btnFontClick();
  void btnSubFontClick();
  void btnOkClick();
  void btnHelpClick();

  // The fonts the sample panels show.
  const base::win::Font& TitleFont() const { return titleFont_; }
  const base::win::Font& SubTitleFont() const { return subFont_; }

  base::win::PageControl PageControl1{*this, IDC_SOB_PageControl1};
  base::win::RadioButton rbBitmap{*this, IDC_SOB_rbBitmap};
  base::win::RadioButton rbText{*this, IDC_SOB_rbText};
  base::win::Edit edtTitle{*this, IDC_SOB_edtTitle};
  base::win::Button btnBrowse{*this, IDC_SOB_btnBrowse};
  base::win::Label pnlTitle{*this, IDC_SOB_pnlTitle};
  base::win::Button btnFont{*this, IDC_SOB_btnFont};
  base::win::ComboBox cbTitlePosition{*this, IDC_SOB_cbTitlePosition};
  base::win::Edit edtSubTitle{*this, IDC_SOB_edtSubTitle};
  base::win::Label pnlSubTitle{*this, IDC_SOB_pnlSubTitle};
  base::win::Button btnSubFont{*this, IDC_SOB_btnSubFont};
  base::win::ComboBox cbSubPosition{*this, IDC_SOB_cbSubPosition};
  base::win::Button btnOk{*this, IDC_SOB_btnOk};
  base::win::Button btnCancel{*this, IDC_SOB_btnCancel};

protected:
  void FormCreate() override;
  void FormShow() override;
  void FormClose() override;

private:
  void SetPanelFont(const base::win::Label& panel, base::win::Font& keep, const base::win::Font& font);
  void ShowSample(const base::win::Label& panel, const base::win::Font& font);
  base::win::Font titleFont_, subFont_;
};

bool EditScreenObjects(TTandrelBaseInstall& project);

