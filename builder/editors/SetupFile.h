// The file properties dialog: what the project holds about one packaged file (icon,
// version, type, folder, size, date) and its self-register flag, the only field it changes.
#pragma once
#include <memory>

#include "base/win/Form.h"
#include "base/win/ImageList.h"
#include "base/win/PageControl.h"
#include "resources/builder/SetupFile.rh"
#include "setup/model/InstClasses.h"
#include "setup/model/InstConfigClasses.h"

class TfrmFileProperties : public base::win::Form {
public:
  TfrmFileProperties() : Form(IDD_FILE_PROPERTIES) { Create(); }
  ~TfrmFileProperties() override;

  TTandrelFile* FileItem = nullptr;  // not owned
  base::win::ImageList ilFiles{base::win::ImageList::kLarge};
  base::win::ImageList ilFilesSmall{base::win::ImageList::kSmall};
  std::unique_ptr<TZemAssociation> Association;

  base::win::PageControl pcMain{*this, IDC_FP_pcMain};
  base::win::Label lblCaption{*this, IDC_FP_lblCaption};
  base::win::Label lblVersion{*this, IDC_FP_lblVersion};
  base::win::Label lblType{*this, IDC_FP_lblType};
  base::win::Label lblPath{*this, IDC_FP_lblPath};
  base::win::Label lblSize{*this, IDC_FP_lblSize};
  base::win::Label lblModified{*this, IDC_FP_lblModified};
  base::win::CheckBox cbSelfRegister{*this, IDC_FP_cbSelfRegister};

  void btnOkClick();

protected:
  void FormCreate() override;
  void FormShow() override;
  void FormClose() override;

private:
  HICON shownIcon_ = nullptr;
};

bool ShowFileProperties(TTandrelFile& file);

// The date as the dialog shows it, with the locale's month names.
std::string FileModifiedText(double stamp);
// "12KB (12,345 bytes)" with the user's thousands separator.
std::string FileSizeDetail(int64_t bytes);
