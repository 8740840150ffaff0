#include "setup/uninstall/UnInstDelete.h"

#include "base/Strings.h"
#include "base/win/Application.h"
#include "resources/engine_strings.h"
#include "setup/services/InstallRules.h"

using namespace base::win;

TfrmRemoveSharedFile::TfrmRemoveSharedFile() : Form(IDD_frmRemoveSharedFile) { Create(); }

void TfrmRemoveSharedFile::FormCreate() {
  ModalButton(IDC_btnYes, mrYes);
  ModalButton(IDC_btnYesToAll, mrYesToAll);
  ModalButton(IDC_btnNo, mrNo);
  ModalButton(IDC_btnNoToAll, mrNoToAll);
  SetDefaultButton(IDC_btnYes);
  SetCancelButton(IDC_btnNo);
}

void TfrmRemoveSharedFile::FormShow() { edtFileName.Focus(); }

int AskRemoveSharedFile(const std::string& FileName) {
  TfrmRemoveSharedFile form;
  form.SetCaption(EngineString(IDS_UNI_SHARED_CAPTION, IDS_UNI_SHARED_CAPTION_TEXT));
  form.Label1.SetCaption(EngineString(IDS_UNI_SHARED_TEXT1, IDS_UNI_SHARED_TEXT1_TEXT));
  form.Label2.SetCaption(EngineString(IDS_UNI_SHARED_TEXT2, IDS_UNI_SHARED_TEXT2_TEXT));
  form.Label3.SetCaption(EngineString(IDS_UNI_FILE_NAME, IDS_UNI_FILE_NAME_TEXT));
  form.Label4.SetCaption(EngineString(IDS_UNI_LOCATION, IDS_UNI_LOCATION_TEXT));
  form.btnYes.SetCaption(EngineString(IDS_UNI_YES, IDS_UNI_YES_TEXT));
  form.btnYesToAll.SetCaption(EngineString(IDS_UNI_YES_TO_ALL, IDS_UNI_YES_TO_ALL_TEXT));
  form.btnNo.SetCaption(EngineString(IDS_UNI_NO, IDS_UNI_NO_TEXT));
  form.btnNoToAll.SetCaption(EngineString(IDS_UNI_NO_TO_ALL, IDS_UNI_NO_TO_ALL_TEXT));
  form.edtFileName.SetText(base::ExtractFileName(FileName));
  form.edtLocation.SetText(base::ExtractFilePath(FileName));
  return form.ShowModal();
}
