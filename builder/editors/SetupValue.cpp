#include "builder/editors/SetupValue.h"

#include "base/Strings.h"
#include "base/win/Dialogs.h"
#include "builder/editors/RegistryRules.h"
#include "setup/services/InstActions.h"
#include "resources/builder_texts.h"

using namespace base::win;

TfrmRegValue::TfrmRegValue() : Form(IDD_frmRegValue) { Create(); }

void TfrmRegValue::FormCreate() {
  DWordMode = false;
  BinaryMode = false;
  OnClick(IDC_RGV_btnOk, [this] { btnOkClick(); });
  ModalButton(IDC_RGV_btnCancel, mrCancel);
  SetDefaultButton(IDC_RGV_btnOk);
  SetCancelButton(IDC_RGV_btnCancel);
  edtData.SetMaxLength(0);
}

void TfrmRegValue::FormShow() { edtData.Focus(); }

void TfrmRegValue::btnOkClick() {
  std::string bytes;
  if ((DWordMode && !DWordFromText(edtData.Text())) || (BinaryMode && !ParseHexBinary(edtData.Text(), bytes))) {
    Beep();
    edtData.Focus();
    return;
  }
  SetModalResult(mrOk);
}

namespace {

// Runs the dialog; true with the edited text on OK.
enum class Check { Text, Binary, DWord };

bool RunValueDialog(const std::string& caption, const std::string& name, const std::string& data, Check check,
                    std::string& result) {
  TfrmRegValue form;
  form.SetCaption(caption);
  form.edtName.SetText(name);
  form.edtData.SetText(data);
  form.DWordMode = check == Check::DWord;
  form.BinaryMode = check == Check::Binary;
  if (form.ShowModal() != mrOk) return false;
  result = form.edtData.Text();
  return true;
}

std::string EditText(const std::string& caption, const std::string& name, const std::string& value,
                     Check check = Check::Text) {
  std::string result;
  return RunValueDialog(caption, name, value, check, result) ? result : value;
}

}  // namespace

std::string EditStringValue(const std::string& Name, const std::string& Value) {
  return EditText(texts::kDefineString, Name, Value);
}

std::string EditBinaryValue(const std::string& Name, const std::string& Value) {
  return EditText(texts::kDefineBinary, Name, Value, Check::Binary);
}

int32_t EditDWordValue(const std::string& Name, int32_t Value) {
  std::string result;
  if (!RunValueDialog(texts::kDefineDWord, Name, base::IntToStr(Value), Check::DWord, result)) return Value;
  return DWordFromText(result).value_or(Value);
}

std::string EditIniValue(const std::string& Name, const std::string& Value) {
  return EditText(texts::kDefineIni, Name, Value);
}
