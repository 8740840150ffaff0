// The editor of each section of the main window. An editor that lands replaces its
// nullptr below and adds its header here; the lines in between keep such changes apart.
#include "builder/shell/SectionTable.h"

#include "builder/shell/GeneralForm.h"
// (editor headers)
#include "builder/editors/SetupScreen.h"
#include "builder/editors/SetupDialogs.h"
#include "builder/editors/SetupGroupFiles.h"
#include "builder/editors/SetupIcons.h"
#include "builder/editors/SetupIniFiles.h"
#include "builder/editors/SetupRegistry.h"

namespace {

const TSectionEditor kEditors[kSectionCount] = {
    // 0 General Settings
    ExecuteGeneralSettings,
    // 1 Screens: EditScreenSetup
    EditScreenSetup,
    // 2 Files/Groups: EditFileGroups
    builder::EditFileGroups,
    // 3 Dialogs/Extensions: EditDialogs
    EditDialogs,
    // 4 Program Icons: EditIcons
    EditIcons,
    // 5 Ini Files: EditIniFiles
    EditIniFiles,
    // 6 Registry: EditRegistry
    EditRegistry,
    // end
};

}  // namespace

TSectionEditor SectionEditor(int tag) {
  if (tag < 0 || tag >= kSectionCount) return nullptr;
  return kEditors[tag];
}
