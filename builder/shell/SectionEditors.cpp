// The editor of each section of the main window. An editor that lands replaces its
// nullptr below and adds its header here; the lines in between keep such changes apart.
#include "builder/shell/SectionTable.h"

#include "builder/shell/GeneralForm.h"
// (editor headers)
#ifdef TANDREL_FILE_GROUPS_EDITOR
#include "builder/editors/SetupGroupFiles.h"
#endif
#ifdef TANDREL_ICONS_EDITOR
#include "builder/editors/SetupIcons.h"
#endif
#include "builder/editors/SetupIniFiles.h"
#include "builder/editors/SetupRegistry.h"

namespace {

const TSectionEditor kEditors[kSectionCount] = {
    // 0 General Settings
    ExecuteGeneralSettings,
    // 1 Screens: EditScreenSetup
    nullptr,
    // 2 Files/Groups: EditFileGroups
#ifdef TANDREL_FILE_GROUPS_EDITOR
    builder::EditFileGroups,
#else
    nullptr,
#endif
    // 3 Dialogs/Extensions: EditDialogs
    nullptr,
    // 4 Program Icons: EditIcons
#ifdef TANDREL_ICONS_EDITOR
    EditIcons,
#else
    nullptr,
#endif
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
