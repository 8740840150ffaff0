#include "builder/editors/SetupScreenObjects.h"

#include <algorithm>

#include "base/win/Application.h"
#include "base/win/Dialogs.h"
#include "builder/common/BuilderSettings.h"
#include "builder/editors/DialogsRules.h"
#include "resources/builder_texts.h"

using namespace base::win;

namespace {

constexpr int kObjectsHelp = 10;
constexpr int kSmallestSample = 6;
constexpr Color kDarkGround = 0x303030;

bool IsLightColor(Color color) {
  const COLORREF c = ColorToRGB(color);
  return 299 * GetRValue(c) + 587 * GetGValue(c) + 114 * GetBValue(c) >= 128 * 1000;
}

Font ProjectFont(const std::string& name, int size, TColor color, TFontStyles style) {
  Font f;
  f.Name = name;
  f.Size = size;
  f.Color_ = color;
  f.Style = style;  // the model's style bits are the layer's
  return f;
}

}  // namespace

TfrmScreenObjects::TfrmScreenObjects() : Form(IDD_frmScreenObjects) { Create(); }

void TfrmScreenObjects::FormCreate() {
  PageControl1.AddPage(texts::kPageScreenObjects, IDD_SOB_tsObjects);
  OnClick(IDC_SOB_btnOk, [this] { btnOkClick(); });
  ModalButton(IDC_SOB_btnCancel, mrCancel);
  OnClick(IDC_SOB_btnHelp, [this] { btnHelpClick(); });
  SetDefaultButton(IDC_SOB_btnOk);
  SetCancelButton(IDC_SOB_btnCancel);
  OnClick(IDC_SOB_rbBitmap, [this] { rbBitmapClick(); });
  OnClick(IDC_SOB_rbText, [this] { rbBitmapClick(); });
  OnChange(IDC_SOB_edtTitle, [this] { edtTitleChange(); });
  OnChange(IDC_SOB_edtSubTitle, [this] { edtSubTitleChange(); });
  OnClick(IDC_SOB_btnBrowse, [this] { btnBrowseClick(); });
  OnClick(IDC_SOB_btnFont, [this] { btnFontClick(); });
  OnClick(IDC_SOB_btnSubFont, [this] { btnSubFontClick(); });
  for (const ComboBox* list : {&cbTitlePosition, &cbSubPosition})
    for (const char* caption : texts::kPositionCaptions) list->Add(caption);
}

void TfrmScreenObjects::SetPanelFont(const Label& panel, Font& keep, const Font& font) {
  keep = font;
  ShowSample(panel, keep);
}

void TfrmScreenObjects::ShowSample(const Label& panel, const Font& font) {
  // The sample shows its text whole: a font too large for the panel is drawn smaller there
  // (the project keeps the chosen size).
  const RECT room = panel.ClientRect();
  const std::string text = panel.Caption().empty() ? std::string("Ag") : panel.Caption();
  Font shown = font;
  HDC dc = GetDC(panel.Handle());
  for (;;) {
    GdiObject gdi(CreateGdiFont(shown));
    HGDIOBJ old = SelectObject(dc, gdi.get());
    RECT r{0, 0, 0, 0};
    DrawTextA(dc, text.c_str(), static_cast<int>(text.size()), &r, DT_CALCRECT | DT_NOPREFIX | DT_SINGLELINE);
    SelectObject(dc, old);
    if ((r.right <= room.right && r.bottom <= room.bottom) || shown.Size <= kSmallestSample) break;
    shown.Size = std::max(kSmallestSample, shown.Size > 12 ? shown.Size * 9 / 10 : shown.Size - 1);
  }
  ReleaseDC(panel.Handle(), dc);
  panel.SetFont(shown);
  panel.SetTextColor(font.Color_);
  // A light text stands on a dark ground, a dark one on white: the sample stays readable.
  SetControlBackColor(panel.Handle(), IsLightColor(font.Color_) ? kDarkGround : clWindow);
}

void TfrmScreenObjects::FormShow() {
  RestoreFormPosition(Handle(), "frmScreenObjects");
  const TTandrelBaseInstall& p = *Project;
  rbBitmap.SetChecked(p.IsBitmap);
  rbText.SetChecked(!p.IsBitmap);
  edtTitle.SetText(p.TitleCaption);
  SetPanelFont(pnlTitle, titleFont_, ProjectFont(p.TitleFontName, p.TitleFontSize, p.TitleFontColor, p.TitleFontStyle));
  cbTitlePosition.SetItemIndex(p.TitlePos);
  rbBitmapClick();
  edtSubTitle.SetText(p.OtherCaption);
  pnlSubTitle.SetCaption(p.OtherCaption);
  SetPanelFont(pnlSubTitle, subFont_, ProjectFont(p.OtherFontName, p.OtherFontSize, p.OtherFontColor, p.OtherFontStyle));
  cbSubPosition.SetItemIndex(p.OtherPos);
}

void TfrmScreenObjects::FormClose() { SaveFormPosition(Handle(), "frmScreenObjects"); }

void TfrmScreenObjects::rbBitmapClick() {
  const bool bitmap = rbBitmap.Checked();
  btnBrowse.Enable(bitmap);
  edtTitle.SetReadOnly(bitmap);
  SetControlBackColor(edtTitle.Handle(), bitmap ? clBtnFace : clWindow);
  pnlTitle.SetCaption(bitmap ? std::string() : edtTitle.Text());
  ShowSample(pnlTitle, titleFont_);
  btnFont.Enable(!bitmap);
}

void TfrmScreenObjects::edtTitleChange() {
  if (rbBitmap.Checked()) return;
  pnlTitle.SetCaption(edtTitle.Text());
  ShowSample(pnlTitle, titleFont_);
}

void TfrmScreenObjects::edtSubTitleChange() {
  pnlSubTitle.SetCaption(edtSubTitle.Text());
  ShowSample(pnlSubTitle, subFont_);
}

void TfrmScreenObjects::btnBrowseClick() {
  FileDialogOptions options;
  options.Filter = texts::kPictureFilter;
  std::string file = edtTitle.Text();
  if (OpenFileDialog(options, file)) edtTitle.SetText(file);
}

void TfrmScreenObjects::btnFontClick() {
  Font f = titleFont_;
  if (ChooseFontDialog(f)) SetPanelFont(pnlTitle, titleFont_, f);
}

void TfrmScreenObjects::btnSubFontClick() {
  Font f = subFont_;
  if (ChooseFontDialog(f)) SetPanelFont(pnlSubTitle, subFont_, f);
}

void TfrmScreenObjects::btnOkClick() {
  TTandrelBaseInstall& p = *Project;
  if (!rbBitmap.Checked()) {
    p.IsBitmap = false;
    p.TitleFontName = titleFont_.Name;
    p.TitleFontSize = titleFont_.Size;
    p.TitleFontColor = titleFont_.Color_;
    p.TitleFontStyle = titleFont_.Style;
  } else {
    p.IsBitmap = true;
  }
  p.TitleCaption = edtTitle.Text();
  auto row = [](const ComboBox& list, TItemPosition was) {
    const int i = list.ItemIndex();
    return i >= 0 && i <= ipCentre ? static_cast<TItemPosition>(i) : was;
  };
  p.TitlePos = row(cbTitlePosition, p.TitlePos);
  p.OtherCaption = edtSubTitle.Text();
  p.OtherFontName = subFont_.Name;
  p.OtherFontSize = subFont_.Size;
  p.OtherFontColor = subFont_.Color_;
  p.OtherFontStyle = subFont_.Style;
  p.OtherPos = row(cbSubPosition, p.OtherPos);
  SetModalResult(mrOk);
}

void TfrmScreenObjects::btnHelpClick() { App().HelpContext(kObjectsHelp); }

bool EditScreenObjects(TTandrelBaseInstall& project) {
  TfrmScreenObjects form;
  form.Project = &project;
  return form.ShowModal() == mrOk;
}
