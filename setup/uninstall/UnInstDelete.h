// Unit UnInstDelete: the question whether to remove a shared file that no program counts
// on any more, TfrmRemoveSharedFile.
#pragma once
#include <string>

#include "base/win/Controls.h"
#include "base/win/Form.h"
#include "resources/engine/UnInstDelete.rh"

class TfrmRemoveSharedFile : public base::win::Form {
public:
  TfrmRemoveSharedFile();

  base::win::Label Label1{*this, IDC_Label1};
  base::win::Label Label2{*this, IDC_Label2};
  base::win::Label Label3{*this, IDC_Label3};
  base::win::Label Label4{*this, IDC_Label4};
  base::win::Edit edtFileName{*this, IDC_edtFileName};
  base::win::Edit edtLocation{*this, IDC_edtLocation};
  base::win::Button btnYes{*this, IDC_btnYes};
  base::win::Button btnYesToAll{*this, IDC_btnYesToAll};
  base::win::Button btnNo{*this, IDC_btnNo};
  base::win::Button btnNoToAll{*this, IDC_btnNoToAll};

protected:
  void FormCreate() override;
  void FormShow() override;
};

// Yes 6, Yes to All 10, No 7 (also Escape), No to All 9; 2 when closed otherwise.
int AskRemoveSharedFile(const std::string& FileName);
