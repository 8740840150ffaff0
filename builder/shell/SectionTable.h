// The seven sections of the main window: tag, menu item, caption, shortcut, hint, the
// project flag its tick shows, and the editor that opens it.
#pragma once
#include "setup/model/InstClasses.h"

// An editor of one section: works on the project, true when it ended with OK.
using TSectionEditor = bool (*)(TTandrelBaseInstall& Project);

constexpr int kSectionCount = 7;

struct TSection {
  int Tag;
  const char* MenuName;
  const char* Caption;
  char ShortCutKey;  // with Ctrl
  const char* Hint;
  bool TTandrelBaseInstall::*Completed;
};

extern const TSection kSections[kSectionCount];

// The editor of a section; nullptr for a tag outside the table.
TSectionEditor EditorOfSection(int tag);
