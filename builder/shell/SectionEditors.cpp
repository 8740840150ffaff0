// The editor of each section of the main window. An editor that lands replaces its
// nullptr below and adds its header here; the lines in between keep such changes apart.
#include "builder/shell/SectionTable.h"

#include "builder/shell/GeneralForm.h"
// (editor headers)
#include "builder/editors/SetupScreen.h"
#ifdef TANDREL_DIALOGS_EDITOR
#include "builder/editors/SetupDialogs.h"
#endif
#ifdef TANDREL_FILE_GROUPS_EDITOR
#include "builder/editors/SetupGroupFiles.h"
#endif

namespace {

const TSectionEditor kEditors[kSectionCount] = {
    // 0 General Settings
    ExecuteGeneralSettings,
    // 1 Screens: EditScreenSetup
    EditScreenSetup,
    // 2 Files/Groups: EditFileGroups
#ifdef TANDREL_FILE_GROUPS_EDITOR
    builder::EditFileGroups,
#else
    nullptr,
#endif
    // 3 Dialogs/Extensions: EditDialogs
#ifdef TANDREL_DIALOGS_EDITOR
    EditDialogs,
#else
    nullptr,
#endif
    // 4 Program Icons: EditIcons
    nullptr,
    // 5 Ini Files: EditIniFiles
    nullptr,
    // 6 Registry: EditRegistry
    nullptr,
    // end
};

}  // namespace

TSectionEditor SectionEditor(int tag) {
  if (tag < 0 || tag >= kSectionCount) return nullptr;
  return kEditors[tag];
}
