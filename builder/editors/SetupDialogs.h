// The wizard dialogs editor (TfrmDialogs): which wizard pages and run points the setup
// has, the licence and ReadMe texts, the folders, the billboards, the complete page, the
// wizard's side picture, and on its third tab the extensions list. It edits a working
// copy of the project that goes back on OK.
#pragma once
#include <memory>
#include <string>

#include "base/win/CheckListBox.h"
#include "base/win/ComboBox.h"
#include "base/win/Controls.h"
#include "base/win/ImageList.h"
#include "base/win/ListBoxes.h"
#include "base/win/ListView.h"
#include "base/win/Menus.h"
#include "base/win/PageControl.h"
#include "base/win/SpinEdit.h"
#include "builder/editors/SectionEditor.h"
#include "resources/builder/SetupDialogs.rh"
#include "setup/model/InstConfigClasses.h"

class TfrmDialogs : public SectionEditor {
public:
  TfrmDialogs();
  ~TfrmDialogs() override;

  TTandrelExtension* CurrentExtension = nullptr;
  bool ClearingList = false;
  bool FillingList = false;
  base::win::ImageList ilExtensions;
  std::unique_ptr<TZemAssociation> Association;

  void StoreSettings();
  void LoadRichText(const base::win::RichEdit& editor, bool plain, const std::string& text);
  std::string SaveRichText(const base::win::RichEdit& editor, bool plain);
  void UpdateCustomImage();
  void ApplyImageOptions();

  void cbCustomClick();
  void cbCenterClick();
  void btnBrowseClick();
  void clbDialogsClick();
  void btnPreviewClick();
  void popLicensePopup();
  void Loadfromfile1Click();
  void BackgroundColor1Click();
  void UseEditor1Click();
  void mnuLicenseWordWrapClick();
  void cbReadMePlainClick();
  void cbLicensePlainClick();
  void btnAddClick();
  void lbBillboardClick();
  void btnRemoveClick();
  void btnUpClick();
  void btnDownClick();
  void rbShowRestartClick();
  void btnCommandClick();
  void btnParamsClick();

  // The extensions list.
  void FillExtensionList();
  void ClearExtensionList();
  int AddExtensionItem(TTandrelExtension* extension);
  void UpdateExtensionItem(TTandrelExtension* extension);
  void SetCurrentExtension(TTandrelExtension* extension);
  void lvExtensionsChange(int index);
  void popupExtensionPopup();
  void Executable1Click();
  void DLL1Click();
  void mnuPropsClick();
  void mnuDeleteClick();
  void mnuUpClick();
  void mnuDownClick();
  // True when the key was the list's command (the list then does not act on it too).
  bool lvExtensionsKeyDown(UINT key, bool alt);
  bool lvExtensionsCustomDrawItem(int index, COLORREF& text, COLORREF& back);

  // What the rich edits hold besides their text: plain-text mode, word wrap, colour.
  struct RichState {
    bool PlainText = false;
    bool WordWrap = true;
    base::win::Color Color = base::win::clWindow;
  };
  RichState LicenseState, ReadMeState;
  // The licence's editor when its page shows, else the ReadMe's.
  bool LicenseShowing() const;

  base::win::PageControl PageControl1{*this, IDC_DLG_PageControl1};
  base::win::CheckBox cbCustom{*this, IDC_DLG_cbCustom};
  base::win::Edit edtBitmap{*this, IDC_DLG_edtBitmap};
  base::win::Button btnBrowse{*this, IDC_DLG_btnBrowse};
  base::win::CheckBox cbCenter{*this, IDC_DLG_cbCenter};
  base::win::CheckBox cbStretch{*this, IDC_DLG_cbStretch};
  base::win::CheckBox cbTransparent{*this, IDC_DLG_cbTransparent};
  base::win::Image imgCustom{*this, IDC_DLG_imgCustom};
  base::win::Image imgCopy{*this, IDC_DLG_imgCopy};
  base::win::CheckListBox clbDialogs{*this, IDC_DLG_clbDialogs};
  base::win::Notebook nbMain{*this, IDC_DLG_nbMain};
  base::win::Button btnPreview{*this, IDC_DLG_btnPreview};
  base::win::RichEdit reLicense{*this, IDC_DLG_reLicense};
  base::win::CheckBox cbLicensePlain{*this, IDC_DLG_cbLicensePlain};
  base::win::RichEdit reReadMe{*this, IDC_DLG_reReadMe};
  base::win::CheckBox cbReadMePlain{*this, IDC_DLG_cbReadMePlain};
  base::win::ComboBox cbInstallDir{*this, IDC_DLG_cbInstallDir};
  base::win::CheckBox cbAllowIndividual{*this, IDC_DLG_cbAllowIndividual};
  base::win::Edit edtProgramFolder{*this, IDC_DLG_edtProgramFolder};
  base::win::MultiSelectListBox lbBillboard{*this, IDC_DLG_lbBillboard};
  base::win::Button btnAdd{*this, IDC_DLG_btnAdd};
  base::win::Button btnRemove{*this, IDC_DLG_btnRemove};
  base::win::Button btnUp{*this, IDC_DLG_btnUp};
  base::win::Button btnDown{*this, IDC_DLG_btnDown};
  base::win::SpinEdit seDelay{*this, IDC_DLG_seDelay, IDC_DLG_seDelayArrows};
  base::win::RadioButton rbShowRestart{*this, IDC_DLG_rbShowRestart};
  base::win::RadioButton rbLaunchApp{*this, IDC_DLG_rbLaunchApp};
  base::win::Edit edtCommand{*this, IDC_DLG_edtCommand};
  base::win::Button btnCommand{*this, IDC_DLG_btnCommand};
  base::win::Edit edtParams{*this, IDC_DLG_edtParams};
  base::win::Button btnParams{*this, IDC_DLG_btnParams};
  base::win::CheckBox cbShowReadMe{*this, IDC_DLG_cbShowReadMe};
  base::win::ListView lvExtensions{*this, IDC_DLG_lvExtensions};
  base::win::Button btnOk{*this, IDC_DLG_btnOk};
  base::win::Button btnCancel{*this, IDC_DLG_btnCancel};

  base::win::PopupMenu popLicense;
  base::win::MenuItem& Loadfromfile1;
  base::win::MenuItem& BackgroundColor1;
  base::win::MenuItem& UseEditor1;
  base::win::MenuItem& mnuLicenseWordWrap;
  base::win::PopupMenu popupExtension;
  base::win::MenuItem& mnuNew;
  base::win::MenuItem& Executable1;
  base::win::MenuItem& DLL1;
  base::win::MenuItem& mnuProps;
  base::win::MenuItem& mnuDelete;
  base::win::MenuItem& mnuUp;
  base::win::MenuItem& mnuDown;

protected:
  void FormCreate() override;
  void FormShow() override;
  bool PrepareOk() override;

private:
  const base::win::RichEdit& ShownEditor() const { return LicenseShowing() ? reLicense : reReadMe; }
  RichState& ShownState() { return LicenseShowing() ? LicenseState : ReadMeState; }
  void SetPlainText(const base::win::CheckBox& box, RichState& state);
  void UpdateBillboardButtons();
  void EnableImageOptions(bool custom);
  bool DelayAccepted();
  void MoveBillboard(int direction);
  void MoveExtension(bool up);
  void RebindExtensionRows();
  bool ListUsable() const;
};

// Edits the project's wizard section; true when the author left with OK (the project,
// its CompletedDialogs and its Modified flag are then set).
bool EditDialogs(TTandrelBaseInstall& project);
