// How the full-screen background looks, apart from any window: the gradient's bands, where
// a title or a text and its shadow go, and what the texts say. The engine's background
// screen and the builder's preview of it both draw from these.
#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "setup/model/InstClasses.h"

struct TGradientBand {
  int Top = 0;
  int Bottom = 0;  // exclusive
  uint8_t Red = 0, Green = 0, Blue = 0;
};
// The vertical gradient for an area of the given height: at most 256 bands of equal height
// (the last may reach past the area); none for a height below 1.
std::vector<TGradientBand> GradientBands(const TTandrelBaseInstall& project, int height);

struct TPlace {
  int Left = 0;
  int Top = 0;
};
constexpr int kTextMargin = 15;
constexpr int kShadowOffset = 3;
// Where a control of size w x h goes in a client area of cw x ch.
TPlace PlaceByPosition(TItemPosition pos, int w, int h, int cw, int ch);
// The same, or nothing for a position outside the five (a stored byte may hold anything).
std::optional<TPlace> PlaceIfKnown(int pos, int w, int h, int cw, int ch);
// The shadow sits right of and below its text.
TPlace ShadowPlace(const TPlace& text);
// A billboard: centred horizontally, 50 pixels above the centre.
TPlace BillboardPlace(int w, int h, int cw, int ch);
// Caption of a title or second-text label (one blank keeps italic overhang visible).
std::string BackgroundLabelText(const std::string& caption);

// One text of the background with its shadow, as the project describes it.
struct TBackgroundText {
  std::string Caption;  // as shown, blank appended
  std::string FontName;
  int FontSize = 0;
  TFontStyles FontStyle = 0;
  TColor Color = 0;
  TColor ShadowColor = 0;
  TItemPosition Pos = ipTopLeft;
};
// The main title when it is a text and not empty.
std::optional<TBackgroundText> TitleText(const TTandrelBaseInstall& project);
// The second text when not empty.
std::optional<TBackgroundText> OtherText(const TTandrelBaseInstall& project);
