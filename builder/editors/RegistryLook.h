// The look of the registry and INI files editors: the pictures (a closed and an open key,
// a string value, a number value; a file and a section), the single page tab and the value
// list's columns.
#pragma once
#include <windows.h>
#include <commctrl.h>

#include <string>

#include "base/win/Controls.h"
#include "base/win/ImageList.h"
#include "base/win/ListView.h"

// The 16 x 16 pictures, added to the form's list.
void AddRegistryImages(base::win::ImageList& images);
void AddIniImages(base::win::ImageList& images);
// The one tab of a tab control that frames the editor's page.
void AddSingleTab(const base::win::Control& tabs, const std::string& caption);
// The value list's look: whole rows selected, a name column and a data column that fills
// the rest of the width.
void AddValueColumns(const base::win::ListView& values, const std::string& dataCaption);
