#include "builder/editors/SetupFile.h"

#include "builder/common/BuilderSettings.h"
#include "builder/editors/GroupEditorRules.h"
#include "setup/services/InstFileInfo.h"
#include "resources/builder_texts.h"

using namespace base::win;

namespace {
std::string LocaleText(LCTYPE what, const char* fallback) {
  char buf[80];
  if (GetLocaleInfoA(LOCALE_USER_DEFAULT, what, buf, sizeof buf) <= 0) return fallback;
  return buf;
}
}  // namespace

std::string FileModifiedText(double stamp) {
  std::array<std::string, 12> months;
  for (int i = 0; i < 12; ++i)
    months[static_cast<size_t>(i)] = LocaleText(static_cast<LCTYPE>(LOCALE_SMONTHNAME1 + i), texts::kMonthNames[i]);
  return ModifiedText(stamp, months);
}

std::string FileSizeDetail(int64_t bytes) {
  return FileSizeDetailText(bytes, FormatSizeKM(bytes), LocaleText(LOCALE_STHOUSAND, ","));
}

TfrmFileProperties::~TfrmFileProperties() {
  if (shownIcon_) DestroyIcon(shownIcon_);
}

void TfrmFileProperties::FormCreate() {
  pcMain.AddPage(texts::kFileProperties, IDD_FILE_PROPERTIES_PAGE);
  Association = std::make_unique<TZemAssociation>(&ilFiles, ilFilesSmall);
  OnClick(IDC_FP_btnOk, [this] { btnOkClick(); });
  ModalButton(IDC_FP_btnCancel, mrCancel);
  OnClick(IDC_FP_btnHelp, [] {});
  SetDefaultButton(IDC_FP_btnOk);
  SetCancelButton(IDC_FP_btnCancel);
}

void TfrmFileProperties::FormShow() {
  RestoreFormPosition(Handle(), "frmFileProperties");
  pcMain.SetActivePage(0);
  if (!FileItem) return;
  const TTandrelFile& f = *FileItem;
  int image = Association->GetImageIndex(f.FileName);
  if (shownIcon_) DestroyIcon(shownIcon_);
  shownIcon_ = ilFiles.GetIcon(image);
  SendMessageA(Item(IDC_FP_Image1), STM_SETICON, reinterpret_cast<WPARAM>(shownIcon_), 0);
  lblCaption.SetCaption(FileNamePart(f.FileName));
  lblPath.SetCaption(MinimizePathForLabel(lblPath.Handle(), FilePathPart(f.FileName)));
  lblVersion.SetCaption(f.Version.empty() ? texts::kNotAvailable : f.Version);
  std::string description;
  Association->GetDescription(f.FileName, description);
  lblType.SetCaption(description);
  lblSize.SetCaption(FileSizeDetail(f.Size));
  lblModified.SetCaption(FileModifiedText(f.Timestamp));
  cbSelfRegister.SetChecked(f.SelfRegister);
}

void TfrmFileProperties::FormClose() { SaveFormPosition(Handle(), "frmFileProperties"); }

void TfrmFileProperties::btnOkClick() {
  if (FileItem) FileItem->SelfRegister = cbSelfRegister.Checked();
  SetModalResult(mrOk);
}

bool ShowFileProperties(TTandrelFile& file) {
  TfrmFileProperties form;
  form.FileItem = &file;
  return form.ShowModal() == mrOk;
}
