#include "builder/shell/SectionTable.h"

const TSection kSections[kSectionCount] = {
    {0, "GeneralSettings1", "&General Settings", 'G', "General settings", &TTandrelBaseInstall::CompletedGeneral},
    {1, "Screens1", "&Screens...", 'M', "Configure the main screen", &TTandrelBaseInstall::CompletedScreen},
    {2, "FilesGroups1", "&Files/Groups...", 'F', "Define Files and Groups", &TTandrelBaseInstall::CompletedFiles},
    {3, "Dialogs1", "&Dialogs/Extensions...", 'D', "Configure the dialog boxes and extensions",
     &TTandrelBaseInstall::CompletedDialogs},
    {4, "ProgramFolders1", "&Program Icons...", 'P', "Select Icons", &TTandrelBaseInstall::CompletedProgGroup},
    {5, "IniFiles1", "&Ini Files...", 'I', "Configure INI files", &TTandrelBaseInstall::CompletedIni},
    {6, "Registry1", "&Registry...", 'R', "Configure the registry", &TTandrelBaseInstall::CompletedRegistry},
};
