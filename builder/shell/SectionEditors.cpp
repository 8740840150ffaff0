// The editor of each section of the main window, in the order of the section tags.
#include "builder/shell/SectionTable.h"

#include "builder/editors/SetupDialogs.h"
#include "builder/editors/SetupGroupFiles.h"
#include "builder/editors/SetupIcons.h"
#include "builder/editors/SetupIniFiles.h"
#include "builder/editors/SetupRegistry.h"
#include "builder/editors/SetupScreen.h"
#include "builder/shell/GeneralForm.h"

namespace {

const TSectionEditor kEditors[kSectionCount] = {
    ExecuteGeneralSettings,  // 0 General Settings
    EditScreenSetup,         // 1 Screens
    EditFileGroups,          // 2 Files/Groups
    EditDialogs,             // 3 Dialogs/Extensions
    EditIcons,               // 4 Program Icons
    EditIniFiles,            // 5 Ini Files
    EditRegistry,            // 6 Registry
};

}  // namespace

TSectionEditor EditorOfSection(int tag) {
  if (tag < 0 || tag >= kSectionCount) return nullptr;
  return kEditors[tag];
}
