#include "tests/e2e/E2eTour.h"

#include <cstdio>
#include <utility>

#include "tests/e2e/E2ePicture.h"
#include "tests/e2e/E2eRoad.h"

namespace e2e {

PictureAlbum::PictureAlbum(std::string folder) : folder_(std::move(folder)) {
  if (folder_.empty() || folder_.back() != '\\') folder_ += '\\';
  CreateDirectoryA(folder_.c_str(), nullptr);
}

std::string PictureAlbum::FileNameFor(const std::string& caption) const {
  std::string name;
  for (char c : caption) {
    if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9'))
      name += c;
    else if (!name.empty() && name.back() != '-')
      name += '-';
  }
  while (!name.empty() && name.back() == '-') name.pop_back();
  char number[8];
  snprintf(number, sizeof number, "%02u-", static_cast<unsigned>(list_.size() + 1));
  return number + name + ".png";
}

void PictureAlbum::Take(HWND window, const std::string& caption, bool mayGo) {
  PumpFor(400, nullptr);  // let the window finish painting
  const std::string file = FileNameFor(caption);
  const bool saved = SaveWindowPicture(window, folder_ + file, caption);
  if (mayGo && !IsWindowVisible(window)) {
    DeleteFileA((folder_ + file).c_str());
    return;
  }
  if (!saved) {
    Fail("cannot save the picture " + folder_ + file);
    return;
  }
  list_.push_back(file + "|" + caption);
}

bool PictureAlbum::WriteList() const {
  std::string list;
  for (const auto& line : list_) list += line + "\r\n";
  FILE* f = fopen((folder_ + "pictures.txt").c_str(), "wb");
  if (!f) return false;
  const bool ok = fwrite(list.data(), 1, list.size(), f) == list.size();
  return fclose(f) == 0 && ok;
}

namespace {

int g_failures = 0;

DWORD WINAPI WatchTour(void* seconds) {
  Sleep(static_cast<DWORD>(reinterpret_cast<UINT_PTR>(seconds)) * 1000);
  Step("the tour took too long; windows:\n" + DescribeWindows());
  ExitProcess(3);
}

}  // namespace

int RunTour(const std::string& folder, DWORD seconds, const std::function<bool(PictureAlbum&)>& tour) {
  SetFailureHandler([](const std::string& what) {
    ++g_failures;
    fprintf(stderr, "tour: %s\n", what.c_str());
    fflush(stderr);
  });
  CloseHandle(CreateThread(nullptr, 0, WatchTour, reinterpret_cast<void*>(static_cast<UINT_PTR>(seconds)), 0,
                           nullptr));
  PictureAlbum album(folder);
  const bool ok = tour(album);
  if (!album.WriteList()) Fail("cannot write the list of pictures in " + folder);
  return ok && g_failures == 0 ? 0 : 1;
}

}  // namespace e2e
