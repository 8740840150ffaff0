// The run command's tours on a machine without a display: a program driven through its
// windows as a user would, with a picture of each window it shows.
#pragma once
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

namespace e2e {

// Numbered pictures in one folder ("01-Welcome.png", ...) and their list "pictures.txt",
// one "file|caption" line each, the caption read back from the window before its picture.
class PictureAlbum {
public:
  explicit PictureAlbum(std::string folder);
  // What the window shows, after it has finished painting. mayGo: a window that can go
  // away by itself (the copy progress); gone before its picture was taken, it has none,
  // and that is no failure. Other failures go to the failure handler.
  void Take(HWND window, const std::string& caption, bool mayGo = false);
  bool WriteList() const;

private:
  std::string FileNameFor(const std::string& caption) const;
  std::string folder_;
  std::vector<std::string> list_;
};

// tour.exe ... FOLDER: runs the tour with a watchdog of `seconds`, reporting failures on
// stderr, and writes the album's list. 0 when the tour went through without a failure.
int RunTour(const std::string& folder, DWORD seconds, const std::function<bool(PictureAlbum&)>& tour);

}  // namespace e2e
