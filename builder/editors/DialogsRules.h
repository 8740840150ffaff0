// The wizard dialogs editor, its extensions list and the extension dialog: the decisions
// apart from their windows.
#pragma once
#include <array>
#include <string>
#include <vector>

#include "setup/model/InstClasses.h"

// ---------------------------------------------------------------- wizard pages

// Rows of the page list: ordinals dtWelcome .. dtComplete; dtExit and dtBlank have none.
constexpr int kDialogRows = 12;
using TDialogRows = std::array<bool, kDialogRows>;
TDialogRows DialogRowsChecked(TTandrelDialogTypes types);
// Built from the empty set, so the result never holds dtExit or dtBlank.
TTandrelDialogTypes DialogTypesFromRows(const TDialogRows& rows);

// ---------------------------------------------------------------- licence and ReadMe

// Rich text when the first five characters are "{\rtf", in any letter case.
bool IsRichText(const std::string& text);
// A text put into a string list and read back whole: every line, the last included,
// ends with a carriage return and line feed; the empty text stays empty.
std::string StringListText(const std::string& text);
// A file loads as plain text unless its extension is ".rtf", in any letter case.
bool LoadsAsPlainText(const std::string& fileName);

// ---------------------------------------------------------------- folders

// The installation folder the editor shows for the project's.
std::string ShownInstallDir(const std::string& installDir, const std::string& companyName);
// The names of the directory macros, in their order: each line's text before its "=".
std::vector<std::string> MacroNames(const TNameValueList& macros);

// ---------------------------------------------------------------- billboards

// Appends the chosen files that the list does not hold yet (ignoring case), in order.
void AddBillboards(std::vector<std::string>& list, const std::vector<std::string>& chosen);
struct TBillboardButtons {
  bool Remove = false, Up = false, Down = false;
};
// Remove with any row selected; Up and Down with exactly one.
TBillboardButtons BillboardButtons(int selectedCount);
// Where the focused row moves (direction -1 up, +1 down); -1 when it cannot (the beep).
int BillboardMoveTarget(int focused, int count, int direction);

// ---------------------------------------------------------------- extensions list

std::string ExtensionFileCaption(const TTandrelExtension& extension);  // "File"
std::string ExtensionLocation(const TTandrelExtension& extension);     // "Location"
// "Welcome" .. "Blank"; empty for a stored byte outside the type.
std::string DialogPageName(int when);
// Red rows: the build packs the file into the support folder.
bool ExtensionDrawnRed(bool isGroupFile, TTandrelDialogType when);
struct TExtensionMenu {
  bool Properties = false, Delete = false, Up = false, Down = false;
};
// The popup's states: the list is usable with a current extension and a selected row.
TExtensionMenu ExtensionMenuStates(bool hasCurrent, int rowCount, int selectedRow);

// ---------------------------------------------------------------- extension dialog

// The first required field left empty, in the order OK tests them.
enum class TExtensionField { None, Command, When, DllFile, FunctionName, DllWhen };
TExtensionField MissingExtensionField(TExtensionStyle style, const std::string& command, const std::string& params,
                                      int whenIndex);
// The message for a field that is refused with one; empty for those refused with a beep.
std::string MissingFieldMessage(TExtensionField field);
// A project file as a path of the setup: "[" + group + "]\" + the source's file name.
std::string ProjectFilePath(const std::string& groupName, const std::string& sourcePath);
// The source the build packs: the chosen file, else the command itself.
std::string ExtensionRealFile(const std::string& realFileName, const std::string& executable);
// Rows of the "Execute when" lists: dtWelcome .. dtExit.
constexpr int kWhenRows = 13;
