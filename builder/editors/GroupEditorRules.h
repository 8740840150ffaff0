// The decisions of the file groups editor and its dialogs, apart from the windows: the
// texts of a file's row, the install-directory choices of a group, the platform check
// boxes, and when each action of the three pages is enabled.
#pragma once
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "builder/common/FileListRules.h"
#include "setup/model/InstClasses.h"

// Whole numbers with the thousands separator: 12345 -> "12,345".
std::string GroupDigits(int64_t value, const std::string& separator);
// "12KB (12,345 bytes)": the short size text and the exact count.
std::string FileSizeDetailText(int64_t bytes, const std::string& shortText, const std::string& separator);

// "dd mmmm yyyy  hh:nn" with the month's full name.
std::string ModifiedText(double stamp, const std::array<std::string, 12>& monthNames);

// Install-directory choices of a group: the macro names (each line cut before its first
// "="), then the bracketed part of every InstFolders line except the group's own, found
// by the name in the dialog, ignoring case.
std::vector<std::string> DestinationChoices(const std::vector<std::string>& macroLines,
                                            const std::vector<std::string>& instFolders,
                                            const std::string& groupName);

// The platform set and the dialog's choice: "All" is the full set 31; otherwise the four
// check boxes (95, 98, NT 4.0, NT 5.0 = bits 1, 2, 4, 8).
struct PlatformChoice {
  bool All = true;
  std::array<bool, 4> Checked{};
};
PlatformChoice PlatformsToChoice(uint8_t platforms);
uint8_t ChoiceToPlatforms(const PlatformChoice& choice);

// Which view of a page has the focus.
enum class PageFocus { None, Tree, List };

// "File Groups" page.
struct GroupPageState {
  PageFocus Focus = PageFocus::None;
  bool Editing = false;
  int TreeCount = 0;
  int GroupIndex = -1;  // of the current group, -1 none
  int GroupCount = 0;
  int ListCount = 0;
  int SelCount = 0;
  int FileIndex = -1;  // of the one selected file in its group
  int FileCount = 0;   // of the current group
};
struct GroupPageActions {
  bool NewGroup = false, AddFiles = false, Properties = false, Delete = false, MoveUp = false, MoveDown = false;
};
GroupPageActions DecideGroupPageActions(const GroupPageState& s);
// The hints that follow the focus.
std::string PropertiesHint(PageFocus focus);
std::string DeleteHint(PageFocus focus);

// "Components" and "Installation Types" pages: a tree of owners (components, setup types)
// with their members (groups, components) below, and the list of all members.
struct MemberPageState {
  PageFocus Focus = PageFocus::None;
  bool Editing = false;
  int TreeCount = 0;
  int SelectedLevel = -1;  // of the tree's selected node, -1 none
  int ListCount = 0;
  int SelCount = 0;
};
struct MemberPageActions {
  bool New = false, NewGroup = false, Properties = false, Delete = false;
};
// The components page: properties of any node or of one list item; delete of any node
// or of selected items; a new group only while the list has the focus.
MemberPageActions DecideComponentPageActions(const MemberPageState& s);
// The setup types page: properties and delete only for a component (level 1) node or
// for list items; setup types have neither.
MemberPageActions DecideInstallTypePageActions(const MemberPageState& s);

// Frees a group or a component itself (not the first of its name, since names may
// repeat) and takes its name out of the lists that name it, as deleting by name does.
void DeleteGroupObject(TTandrelBaseInstall& project, TTandrelFileGroup* group);
void DeleteComponentObject(TTandrelBaseInstall& project, TTandrelComponent* component);
// TTandrelFileGroup::MoveFile, callable where windows.h renames MoveFile.
bool MoveFileInGroup(TTandrelFileGroup& group, int fromIndex, int toIndex);
// Deletes the first entry equal to the name, ignoring case.
void EraseFirstName(TStrings& list, const std::string& name);
