#include "builder/shell/SectionTable.h"
#include "resources/builder_texts.h"

const TSection kSections[kSectionCount] = {
    {0, "GeneralSettings1", texts::kSecGeneral, 'G', texts::kSecGeneralHint, &TTandrelBaseInstall::CompletedGeneral},
    {1, "Screens1", texts::kSecScreens, 'M', texts::kSecScreensHint, &TTandrelBaseInstall::CompletedScreen},
    {2, "FilesGroups1", texts::kSecFiles, 'F', texts::kSecFilesHint, &TTandrelBaseInstall::CompletedFiles},
    {3, "Dialogs1", texts::kSecDialogs, 'D', texts::kSecDialogsHint,
     &TTandrelBaseInstall::CompletedDialogs},
    {4, "ProgramFolders1", texts::kSecIcons, 'P', texts::kSecIconsHint, &TTandrelBaseInstall::CompletedProgGroup},
    {5, "IniFiles1", texts::kSecIni, 'I', texts::kSecIniHint, &TTandrelBaseInstall::CompletedIni},
    {6, "Registry1", texts::kSecRegistry, 'R', texts::kSecRegistryHint, &TTandrelBaseInstall::CompletedRegistry},
};
