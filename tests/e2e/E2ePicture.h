// Pictures of another process's windows as a person would see them on the screen: PNG
// files that carry the window's caption as their "Title" text.
#pragma once
#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

namespace e2e {

// An 8-bit RGB PNG (stored deflate blocks) of rows top to bottom, with a "Title" text.
std::vector<uint8_t> EncodePng(int width, int height, const std::vector<uint8_t>& rgb, const std::string& title);

// What the screen shows of the window, saved as a PNG with its title; false when the
// window has no area or the file cannot be written.
bool SaveWindowPicture(HWND window, const std::string& fileName, const std::string& title);

}  // namespace e2e
