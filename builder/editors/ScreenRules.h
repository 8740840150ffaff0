// The background screen editor: the colour modes of its three channels, apart from the
// radio buttons and scroll bars that show them.
#pragma once
#include <cstdint>

enum class TChannelRadio { Static, Increasing, Decreasing };

struct TChannelSetting {
  int32_t Value = 0;
  bool Static = false;
  bool Increasing = false;
};
// A channel as its radios and scroll bar leave it. A static channel keeps its Increasing
// flag; a changing one stores the value 0.
TChannelSetting StoreChannel(const TChannelSetting& before, TChannelRadio radio, int scrollPosition);
// The radio that shows a channel's setting.
TChannelRadio ChannelRadio(const TChannelSetting& setting);
