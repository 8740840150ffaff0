#include "setup/engine/BackgroundLayout.h"

namespace {

uint8_t Channel(int32_t value, bool isStatic, bool increasing, int band) {
  int32_t v = isStatic ? value : increasing ? band : 255 - band;
  return static_cast<uint8_t>(v & 0xFF);
}

}  // namespace

std::vector<TGradientBand> GradientBands(const TTandrelBaseInstall& p, int height) {
  std::vector<TGradientBand> bands;
  if (height < 1) return bands;
  int h = height / 255;
  if (255 * h < height) ++h;
  for (int i = 0; i <= height / h; ++i) {
    TGradientBand b;
    b.Top = i * h;
    b.Bottom = (i + 1) * h;
    b.Red = Channel(p.Red, p.RedStatic, p.RedIncreasing, i);
    b.Green = Channel(p.Green, p.GreenStatic, p.GreenIncreasing, i);
    b.Blue = Channel(p.Blue, p.BlueStatic, p.BlueIncreasing, i);
    bands.push_back(b);
  }
  return bands;
}

TPlace PlaceByPosition(TItemPosition pos, int w, int h, int cw, int ch) {
  if (auto at = PlaceIfKnown(pos, w, h, cw, ch)) return *at;
  return {kTextMargin, kTextMargin};
}

std::optional<TPlace> PlaceIfKnown(int pos, int w, int h, int cw, int ch) {
  switch (pos) {
    case ipTopLeft: return TPlace{kTextMargin, kTextMargin};
    case ipTopRight: return TPlace{cw - w - kTextMargin, kTextMargin};
    case ipBottomLeft: return TPlace{kTextMargin, ch - h - kTextMargin};
    case ipBottomRight: return TPlace{cw - w - kTextMargin, ch - h - kTextMargin};
    case ipCentre: return TPlace{(cw - w) / 2, (ch - h) / 2};
    default: return std::nullopt;
  }
}

TPlace ShadowPlace(const TPlace& text) { return {text.Left + kShadowOffset, text.Top + kShadowOffset}; }

TPlace BillboardPlace(int w, int h, int cw, int ch) { return {(cw - w) / 2, (ch - h) / 2 - 50}; }

std::string BackgroundLabelText(const std::string& caption) { return caption + " "; }

std::optional<TBackgroundText> TitleText(const TTandrelBaseInstall& p) {
  if (p.IsBitmap || p.TitleCaption.empty()) return std::nullopt;
  return TBackgroundText{BackgroundLabelText(p.TitleCaption), p.TitleFontName, p.TitleFontSize, p.TitleFontStyle,
                         p.TitleFontColor, p.TitleShadowColor, p.TitlePos};
}

std::optional<TBackgroundText> OtherText(const TTandrelBaseInstall& p) {
  if (p.OtherCaption.empty()) return std::nullopt;
  return TBackgroundText{BackgroundLabelText(p.OtherCaption), p.OtherFontName, p.OtherFontSize, p.OtherFontStyle,
                         p.OtherFontColor, p.OtherShadowColor, p.OtherPos};
}
