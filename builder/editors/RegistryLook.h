// The pictures of the registry and INI files editors (a closed and an open key, a string
// value, a number value; a file and a section) and their single page tab.
#pragma once
#include <windows.h>
#include <commctrl.h>

#include <string>

#include "base/win/Controls.h"
#include "base/win/ImageList.h"

// The 16 x 16 pictures, added to the form's list.
void AddRegistryImages(base::win::ImageList& images);
void AddIniImages(base::win::ImageList& images);
// The one tab of a tab control that frames the editor's page.
void AddSingleTab(const base::win::Control& tabs, const std::string& caption);
