// Unit SetupValue: the one-value dialog TfrmRegValue, which edits one string, binary or
// DWORD registry value, or one INI entry, through its four openers.
#pragma once
#include <cstdint>
#include <string>

#include "base/win/Controls.h"
#include "base/win/Form.h"
#include "resources/builder/SetupValue.rh"

class TfrmRegValue : public base::win::Form {
public:
  TfrmRegValue();

  // The text must be a number (StrToInt) before OK closes.
  bool DWordMode = false;
  // The text must be bytes in hexadecimal digits (blanks between bytes) before OK closes.
  bool BinaryMode = false;

  void btnOkClick();

  base::win::Edit edtName{*this, IDC_RGV_edtName};
  base::win::Edit edtData{*this, IDC_RGV_edtData};
  base::win::Button btnOk{*this, IDC_RGV_btnOk};
  base::win::Button btnCancel{*this, IDC_RGV_btnCancel};
  base::win::Button btnHelp{*this, IDC_RGV_btnHelp};

protected:
  void FormCreate() override;
  void FormShow() override;
};

// Each shows the dialog modally on the name and data; the new data on OK, the data it was
// given on Cancel.
std::string EditStringValue(const std::string& Name, const std::string& Value);
std::string EditBinaryValue(const std::string& Name, const std::string& Value);
int32_t EditDWordValue(const std::string& Name, int32_t Value);
std::string EditIniValue(const std::string& Name, const std::string& Value);
