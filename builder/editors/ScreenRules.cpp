#include "builder/editors/ScreenRules.h"

TChannelSetting StoreChannel(const TChannelSetting& before, TChannelRadio radio, int scrollPosition) {
  TChannelSetting s = before;
  if (radio == TChannelRadio::Static) {
    s.Static = true;
    s.Value = scrollPosition;
  } else {
    s.Static = false;
    s.Value = 0;
    s.Increasing = radio == TChannelRadio::Increasing;
  }
  return s;
}

TChannelRadio ChannelRadio(const TChannelSetting& s) {
  if (s.Static) return TChannelRadio::Static;
  return s.Increasing ? TChannelRadio::Increasing : TChannelRadio::Decreasing;
}
