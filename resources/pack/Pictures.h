// Sizes of the pictures the programs carry as "TCOMPRESS" resources; the drawing tool
// makes them so and the resource tests check them.
#pragma once
#include <cstdint>

struct PictureShape {
  const char* resName;
  int width, height, bitCount;  // bitCount 0: not a bitmap (JPEG)
};

constexpr PictureShape kAboutPicture{"ABOUT", 140, 79, 24};
constexpr PictureShape kFirstPicture{"FIRST", 320, 200, 0};
constexpr PictureShape kSecondPicture{"SECOND", 480, 248, 8};
constexpr PictureShape kTickPicture{"TICK", 36, 33, 8};
constexpr PictureShape kSidePicture{"SIDE", 120, 260, 4};
