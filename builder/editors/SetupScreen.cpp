#include "builder/editors/SetupScreen.h"

#include <stdexcept>

#include "base/Strings.h"
#include "base/win/Application.h"
#include "builder/common/Previews.h"
#include "builder/editors/SetupScreenObjects.h"
#include "setup/engine/BackgroundPaint.h"
#include "resources/builder_texts.h"

using namespace base::win;

namespace {

constexpr int kScreenHelp = 9;

}  // namespace

TfrmScreenSetup::TfrmScreenSetup()
    : SectionEditor(IDD_frmScreenSetup, {IDC_SCR_btnOk, IDC_SCR_btnCancel, IDC_SCR_btnHelp, kScreenHelp, "frmScreenSetup"}) {
  Create();
}

TfrmScreenSetup::~TfrmScreenSetup() { FormDestroy(); }

void TfrmScreenSetup::FormCreate() {
  SectionEditor::FormCreate();
  PageControl1.AddPage(texts::kPageScreenSettings, IDD_SCR_tsScreen);
  OnClick(IDC_SCR_Button1, [this] { Button1Click(); });
  OnClick(IDC_SCR_Button2, [this] { Button2Click(); });
  for (Channel* c : {&red, &green, &blue}) {
    for (const RadioButton* r : {&c->Static, &c->Increasing, &c->Decreasing}) OnClick(r->Id(), [this] { rbClick(); });
    c->Scroll.SetRange(0, 255);
    c->Scroll.OnChange([this] { redScrollChange(); });
  }
  PaintBox.OnPaint([this](HDC dc, const RECT& client) { PaintBoxPaint(dc, client); });
}

void TfrmScreenSetup::FormShow() {
  SectionEditor::FormShow();
  Loading = true;
  try {
    LoadColourModes();
  } catch (...) {
    Loading = false;
    throw;
  }
  Loading = false;
  rbClick();
  UpdatePreview();
}

TChannelRadio TfrmScreenSetup::CheckedRadio(const Channel& c) const {
  if (c.Static.Checked()) return TChannelRadio::Static;
  return c.Increasing.Checked() ? TChannelRadio::Increasing : TChannelRadio::Decreasing;
}

void TfrmScreenSetup::StoreColourModes() {
  TTandrelBaseInstall& p = *WorkingCopy;
  auto store = [this](const Channel& c, int32_t& value, bool& isStatic, bool& increasing) {
    TChannelSetting s = StoreChannel({value, isStatic, increasing}, CheckedRadio(c), c.Scroll.Position());
    value = s.Value;
    isStatic = s.Static;
    increasing = s.Increasing;
  };
  store(red, p.Red, p.RedStatic, p.RedIncreasing);
  store(green, p.Green, p.GreenStatic, p.GreenIncreasing);
  store(blue, p.Blue, p.BlueStatic, p.BlueIncreasing);
}

void TfrmScreenSetup::LoadColourModes() {
  const TTandrelBaseInstall& p = *WorkingCopy;
  auto load = [](const Channel& c, int32_t value, bool isStatic, bool increasing) {
    TChannelRadio radio = ChannelRadio({value, isStatic, increasing});
    c.Static.SetChecked(radio == TChannelRadio::Static);
    c.Increasing.SetChecked(radio == TChannelRadio::Increasing);
    c.Decreasing.SetChecked(radio == TChannelRadio::Decreasing);
    if (radio == TChannelRadio::Static) c.Scroll.SetPosition(value);
  };
  load(red, p.Red, p.RedStatic, p.RedIncreasing);
  load(green, p.Green, p.GreenStatic, p.GreenIncreasing);
  load(blue, p.Blue, p.BlueStatic, p.BlueIncreasing);
}

void TfrmScreenSetup::PlaceTitle() {
  const TTandrelBaseInstall& p = *WorkingCopy;
  // Drawn afresh from the settings: a title that is no longer a picture, or whose file is
  // gone, leaves nothing of the earlier one behind.
  titlePicture_.reset();
  if (!p.IsBitmap || !base::FileExists(p.TitleCaption)) return;
  titlePicture_ = LoadPictureFile(p.TitleCaption);
  if (!titlePicture_ && !base::SameText(failedPicture_, p.TitleCaption)) {
    failedPicture_ = p.TitleCaption;
    throw std::runtime_error(texts::PictureUnreadable(p.TitleCaption));
  }
}

void TfrmScreenSetup::PlaceSubTitle() {
  // The sub-title has no picture of its own: PaintBoxPaint draws it from the settings.
}

void TfrmScreenSetup::UpdatePreview() {
  StoreColourModes();
  PlaceTitle();
  PlaceSubTitle();
  PaintBox.Repaint();
}

void TfrmScreenSetup::PaintBoxPaint(HDC dc, const RECT& client) {
  FillRect(dc, &client, GetSysColorBrush(COLOR_BTNFACE));
  // The whole screen as the engine shows it, scaled into the box.
  PaintScreenPreview(dc, *WorkingCopy, client, titlePicture_.get());
}

void TfrmScreenSetup::rbClick() {
  if (Loading) return;
  for (const Channel* c : {&red, &green, &blue}) c->Scroll.Enable(c->Static.Checked());
  UpdatePreview();
}

void TfrmScreenSetup::redScrollChange() {
  if (Loading) return;
  UpdatePreview();
}

void TfrmScreenSetup::Button2Click() {
  if (EditScreenObjects(*WorkingCopy)) UpdatePreview();
}

void TfrmScreenSetup::Button1Click() {
  // The background as the engine shows it, billboards off.
  StoreColourModes();
  PreviewBackground(*WorkingCopy, false);
}

bool EditScreenSetup(TTandrelBaseInstall& project) {
  return EditSection<TfrmScreenSetup>(project, &TTandrelBaseInstall::CompletedScreen);
}
