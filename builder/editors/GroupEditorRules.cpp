#include "builder/editors/GroupEditorRules.h"
#include "resources/builder_texts.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace {
std::string Lower(std::string s) {
  for (char& c : s)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return s;
}
std::string Two(int v) {
  char b[8];
  std::snprintf(b, sizeof b, "%02d", v);
  return b;
}
}  // namespace

std::string GroupDigits(int64_t value, const std::string& separator) {
  bool negative = value < 0;
  uint64_t magnitude = negative ? 0 - static_cast<uint64_t>(value) : static_cast<uint64_t>(value);
  std::string digits = std::to_string(magnitude), grouped;
  for (size_t i = 0; i < digits.size(); ++i) {
    if (i > 0 && (digits.size() - i) % 3 == 0) grouped += separator;
    grouped += digits[i];
  }
  return negative ? "-" + grouped : grouped;
}

std::string FileSizeDetailText(int64_t bytes, const std::string& shortText, const std::string& separator) {
  return texts::SizeInBytes(shortText, GroupDigits(bytes, separator));
}

std::string ModifiedText(double stamp, const std::array<std::string, 12>& monthNames) {
  CalendarTime t = DecodeDateTime(stamp);
  const std::string& month = t.Month >= 1 && t.Month <= 12 ? monthNames[static_cast<size_t>(t.Month - 1)] : "";
  return Two(t.Day) + " " + month + " " + std::to_string(t.Year) + "  " + Two(t.Hour) + ":" + Two(t.Minute);
}

std::vector<std::string> DestinationChoices(const std::vector<std::string>& macroLines,
                                            const std::vector<std::string>& instFolders,
                                            const std::string& groupName) {
  std::vector<std::string> choices;
  for (const std::string& line : macroLines) choices.push_back(line.substr(0, line.find('=')));
  std::string own = Lower("[" + groupName + "]");
  for (const std::string& line : instFolders) {
    std::string bracketed = line.substr(0, line.find('='));
    if (Lower(bracketed) != own) choices.push_back(bracketed);
  }
  return choices;
}

PlatformChoice PlatformsToChoice(uint8_t platforms) {
  PlatformChoice c;
  c.All = platforms == 31;
  if (!c.All)
    for (size_t i = 0; i < 4; ++i) c.Checked[i] = (platforms & (1u << i)) != 0;
  return c;
}

uint8_t ChoiceToPlatforms(const PlatformChoice& choice) {
  if (choice.All) return 31;
  uint8_t v = 0;
  for (size_t i = 0; i < 4; ++i)
    if (choice.Checked[i]) v = static_cast<uint8_t>(v | (1u << i));
  return v;
}

GroupPageActions DecideGroupPageActions(const GroupPageState& s) {
  GroupPageActions a;
  if (s.Editing) return a;
  bool list = s.Focus == PageFocus::List && s.ListCount > 0;
  bool tree = s.Focus == PageFocus::Tree && s.TreeCount > 0 && s.GroupIndex >= 0;
  bool one = list && s.SelCount == 1;
  a.NewGroup = true;
  a.AddFiles = s.GroupIndex >= 0;
  a.Properties = one || tree;
  a.Delete = (list && s.SelCount > 0) || tree;
  a.MoveUp = (one && s.FileIndex > 0) || (tree && s.GroupIndex > 0);
  a.MoveDown = (one && s.FileIndex >= 0 && s.FileIndex < s.FileCount - 1) || (tree && s.GroupIndex < s.GroupCount - 1);
  return a;
}

std::string PropertiesHint(PageFocus focus) {
  switch (focus) {
    case PageFocus::Tree: return texts::kGroupProperties;
    case PageFocus::List: return texts::kFileProperties;
    default: return texts::kPropertiesText;
  }
}

std::string DeleteHint(PageFocus focus) {
  switch (focus) {
    case PageFocus::Tree: return texts::kDeleteGroupHint;
    case PageFocus::List: return texts::kDeleteSelectedFilesHint;
    default: return texts::kDeleteText;
  }
}

MemberPageActions DecideComponentPageActions(const MemberPageState& s) {
  MemberPageActions a;
  if (s.Editing) return a;
  bool list = s.Focus == PageFocus::List && s.ListCount > 0;
  bool node = s.Focus == PageFocus::Tree && s.TreeCount > 0 && s.SelectedLevel >= 0;
  a.New = true;
  a.NewGroup = s.Focus == PageFocus::List;
  a.Properties = (list && s.SelCount == 1) || node;
  a.Delete = (list && s.SelCount > 0) || node;
  return a;
}

MemberPageActions DecideInstallTypePageActions(const MemberPageState& s) {
  MemberPageActions a;
  if (s.Editing) return a;
  bool list = s.Focus == PageFocus::List && s.ListCount > 0;
  bool member = s.Focus == PageFocus::Tree && s.TreeCount > 0 && s.SelectedLevel == 1;
  a.New = true;
  a.Properties = (list && s.SelCount == 1) || member;
  a.Delete = (list && s.SelCount > 0) || member;
  return a;
}

namespace {
bool SameText(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    char x = a[i], y = b[i];
    if (x >= 'A' && x <= 'Z') x = static_cast<char>(x - 'A' + 'a');
    if (y >= 'A' && y <= 'Z') y = static_cast<char>(y - 'A' + 'a');
    if (x != y) return false;
  }
  return true;
}

}  // namespace

void EraseFirstName(TStrings& list, const std::string& name) {
  auto it = std::find_if(list.begin(), list.end(), [&](const std::string& s) { return SameText(s, name); });
  if (it != list.end()) list.erase(it);
}

bool MoveFileInGroup(TTandrelFileGroup& group, int fromIndex, int toIndex) {
  return group.MoveFile(fromIndex, toIndex);
}

void DeleteGroupObject(TTandrelBaseInstall& project, TTandrelFileGroup* group) {
  std::string name = group->Name();
  for (TTandrelComponent* c : project.Components) EraseFirstName(c->Groups, name);
  project.Groups.Remove(group);
}

void DeleteComponentObject(TTandrelBaseInstall& project, TTandrelComponent* component) {
  std::string name = component->Name();
  for (TTandrelInstallType* t : project.InstallTypes) EraseFirstName(t->Components, name);
  project.Components.Remove(component);
}
