// The look of the builder's file lists (the file groups editor and the file picker): the
// pictures their views start with and the locale's time-stamp text.
#pragma once
#include <string>

#include "base/win/ImageList.h"

// The five pictures the editors' views start with, in this order, before the icon
// cache's own: file group, file group selected, self-registration mark, component,
// setup type.
enum { imgGroup = 0, imgGroupSelected = 1, imgSelfRegister = 2, imgComponent = 3, imgInstallType = 4 };
void AddEditorPictures(base::win::ImageList& images);

// The "TimeStamp" text of the file lists (locale's short date and long time).
std::string FileTimeStampText(double stamp);
