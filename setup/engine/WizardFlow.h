// The setup wizard's decisions, apart from its window: which page Back and Next lead
// to, the selection offered for a setup type, what the wizard commits on its last page,
// the complete page's choice, the texts each page shows and the settings summary.
#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "setup/model/InstClasses.h"

// The page the wizard opens on: the lowest member of DialogTypes when that is a page
// before copying (0-8); dtBlank otherwise (no member, or only run points and later).
TTandrelDialogType FirstWizardPage(TTandrelDialogTypes types);
// Back and Next: dtBlank when there is no page that way. The components page counts
// only while Custom is chosen; the run points 9 and 10 and the pages without a window
// (dtExit, dtBlank) are never the answer.
TTandrelDialogType PreviousWizardPage(TTandrelDialogTypes types, TTandrelDialogType page, bool customChosen);
TTandrelDialogType NextWizardPage(TTandrelDialogTypes types, TTandrelDialogType page, bool customChosen);

// The setup type whose components the wizard offers when Custom is not chosen.
std::string ChosenSetupTypeName(TTandrelDialogTypes types, bool typical, bool compact);

// The components of a setup type with their groups for this Windows version (every group
// when anyPlatform), each group selected and sized by its files. Names the project lacks
// are passed over; a component left without groups is dropped; an unknown setup type
// gives an empty selection.
std::unique_ptr<TInstallInfo> BuildInstallInfo(const TTandrelBaseInstall& project, const std::string& setupType,
                                               TWindowsVersion version, bool anyPlatform);

// The complete page's choice: 4 or 1 on the restart page, else 8 (run) + 16 (ReadMe).
uint8_t FinishActionFor(bool showRestart, bool restartNow, bool runApp, bool viewReadMe);

// Every "%s" of a string-table text becomes the application name, "%%" one "%"; the
// name itself is never read as a format.
std::string FormatAppText(const std::string& text, const std::string& applicationName);

// What the user has chosen on the pages, as the wizard's controls hold it.
struct TWizardChoice {
  bool Typical = true;
  bool Compact = false;
  bool Custom = false;
  std::string UserName;
  std::string UserCompany;
  std::string ProgramFolder;
  std::string ChosenDir;
};

// The start-copying summary, one line per entry.
std::vector<std::string> SettingsLines(TTandrelDialogTypes types, const TWizardChoice& choice);

// The folder the wizard offers first: the project's installation folder, expanded.
std::string DefaultChosenDir(const TTandrelBaseInstall& project);

// The wizard's last step before copying. Outside preview: the selection (rebuilt for
// Typical or Compact, kept for Custom) gets the folders and user fields and passes to the
// project, which also takes the chosen folder and, with a user page, the name and company.
// Always: "<INSTALLDIR>" is the chosen folder and the user variables are the project's
// InstFolders. pending is empty afterwards outside preview.
void CommitWizard(TTandrelBaseInstall& project, std::unique_ptr<TInstallInfo>& pending, const TWizardChoice& choice,
                  TWindowsVersion version, bool preview);

// The root of the drive a free-space figure is read from ("C:\"); empty when the folder
// does not begin with a drive letter and a colon.
std::string FreeSpaceRoot(const std::string& chosenDir);

// ---------------------------------------------------------------- page texts

// One text a page sets: control id (0 = the form's caption), string-table id.
struct TPageText {
  int ControlId;
  int StringId;
};
// The title, button captions and labels a page writes each time it is shown, in order.
// Pages without a window of their own give nothing. The complete page's labels depend on
// the restart question; ShowRestart picks them.
std::vector<TPageText> PageTexts(TTandrelDialogType page, bool showRestart);
// The texts of the picker.
std::vector<TPageText> GroupPickerTexts();
// The text a string-table id stands for (the words the resource script carries); empty
// for an id that is not the wizard's or the picker's.
std::string WizardDefaultText(int stringId);
