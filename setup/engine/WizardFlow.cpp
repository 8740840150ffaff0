#include "setup/engine/WizardFlow.h"

#include "resources/engine/DialogsForm.rh"
#include "resources/engine/GroupsForm.rh"
#include "resources/engine_strings.h"
#include "setup/services/InstGlobal.h"
#include "setup/services/InstallRules.h"

namespace {

bool Holds(TTandrelDialogTypes types, int page) {
  return page >= 0 && page < 16 && (types & (1u << page)) != 0;
}

// Points Back and Next pass over even when the author put them into DialogTypes.
bool IsRunPoint(int page) { return page == dtProgress || page == dtBillboards; }

}  // namespace

TTandrelDialogType FirstWizardPage(TTandrelDialogTypes types) {
  for (int p = 0; p < 16; ++p)
    if (Holds(types, p)) return p <= dtStartCopying ? static_cast<TTandrelDialogType>(p) : dtBlank;
  return dtBlank;
}

TTandrelDialogType PreviousWizardPage(TTandrelDialogTypes types, TTandrelDialogType page, bool customChosen) {
  if (page == dtWelcome || page > dtBlank) return dtBlank;
  // Nothing after the complete page has a window, so a search from there starts at it.
  int q = page - 1;
  if (q > dtComplete) q = dtComplete;
  while (q > 0 && (!Holds(types, q) || IsRunPoint(q))) --q;
  if (q == 0 && !Holds(types, dtWelcome)) return dtBlank;
  auto result = static_cast<TTandrelDialogType>(q);
  if (result == dtCustom && !customChosen) return PreviousWizardPage(types, dtCustom, customChosen);
  return result;
}

TTandrelDialogType NextWizardPage(TTandrelDialogTypes types, TTandrelDialogType page, bool customChosen) {
  if (page > dtBillboards) return dtBlank;
  int q = page + 1;
  while (q < dtComplete && (!Holds(types, q) || IsRunPoint(q))) ++q;
  if (!Holds(types, q)) return dtBlank;
  auto result = static_cast<TTandrelDialogType>(q);
  if (result == dtCustom && !customChosen) return NextWizardPage(types, dtCustom, customChosen);
  return result;
}

std::string ChosenSetupTypeName(TTandrelDialogTypes types, bool typical, bool compact) {
  if (!Holds(types, dtSetupType)) return "Typical";
  if (typical) return "Typical";
  if (compact) return "Compact";
  return "";
}

std::unique_ptr<TInstallInfo> BuildInstallInfo(const TTandrelBaseInstall& project, const std::string& setupType,
                                               TWindowsVersion version, bool anyPlatform) {
  auto info = std::make_unique<TInstallInfo>();
  const TTandrelInstallType* type = project.FindInstallType(setupType);
  if (!type) return info;
  for (const auto& componentName : type->Components) {
    const TTandrelComponent* component = project.FindComponent(componentName);
    if (!component) continue;
    auto offered = std::make_unique<TInstComponent>();
    offered->Name = component->Name();
    offered->Description = component->Description;
    for (const auto& groupName : component->Groups) {
      const TTandrelFileGroup* group = project.FindGroupText(groupName);
      if (!group) continue;
      if (!anyPlatform && !HasWindowsVersion(group->UpdatePlatforms, version)) continue;
      auto g = std::make_unique<TInstGroup>();
      g->Name = group->Name();
      g->Description = group->Description;
      g->Size = group->GetTotalSize();
      g->Selected = true;
      offered->Groups.push_back(std::move(g));
    }
    if (!offered->Groups.empty()) info->Components.push_back(std::move(offered));
  }
  return info;
}

uint8_t FinishActionFor(bool showRestart, bool restartNow, bool runApp, bool viewReadMe) {
  if (showRestart) return restartNow ? 4 : 1;
  return static_cast<uint8_t>((runApp ? 8 : 0) + (viewReadMe ? 16 : 0));
}

std::string FormatAppText(const std::string& text, const std::string& applicationName) {
  std::string out;
  out.reserve(text.size() + applicationName.size());
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '%' && i + 1 < text.size()) {
      if (text[i + 1] == 's') {
        out += applicationName;
        ++i;
        continue;
      }
      if (text[i + 1] == '%') {
        out += '%';
        ++i;
        continue;
      }
    }
    out += text[i];
  }
  return out;
}

std::vector<std::string> SettingsLines(TTandrelDialogTypes types, const TWizardChoice& choice) {
  std::vector<std::string> lines;
  lines.push_back(EngineString(IDS_WIZ_SET_SETUP_TYPE, IDS_WIZ_SET_SETUP_TYPE_TEXT));
  if (Holds(types, dtSetupType))
    lines.push_back(choice.Typical   ? EngineString(IDS_WIZ_SET_TYPICAL, IDS_WIZ_SET_TYPICAL_TEXT)
                    : choice.Compact ? EngineString(IDS_WIZ_SET_COMPACT, IDS_WIZ_SET_COMPACT_TEXT)
                                     : EngineString(IDS_WIZ_SET_CUSTOM, IDS_WIZ_SET_CUSTOM_TEXT));
  else
    lines.push_back(EngineString(IDS_WIZ_SET_FULL, IDS_WIZ_SET_FULL_TEXT));
  lines.push_back("");
  lines.push_back(EngineString(IDS_WIZ_SET_TARGET, IDS_WIZ_SET_TARGET_TEXT));
  lines.push_back("    " + choice.ChosenDir);
  lines.push_back("");
  if (Holds(types, dtUser)) {
    lines.push_back(EngineString(IDS_WIZ_SET_USER, IDS_WIZ_SET_USER_TEXT));
    lines.push_back("    User: " + choice.UserName);
    lines.push_back("    Company: " + choice.UserCompany);
    lines.push_back("");
  }
  if (Holds(types, dtSelectFolder)) {
    lines.push_back(EngineString(IDS_WIZ_SET_GROUP, IDS_WIZ_SET_GROUP_TEXT));
    lines.push_back("    " + choice.ProgramFolder);
    lines.push_back("");
  }
  return lines;
}

std::string DefaultChosenDir(const TTandrelBaseInstall& project) { return ExpandMacros(project.InstallDir); }

void CommitWizard(TTandrelBaseInstall& project, std::unique_ptr<TInstallInfo>& pending, const TWizardChoice& choice,
                  TWindowsVersion version, bool preview) {
  const std::string chosenDir = choice.ChosenDir.empty() ? DefaultChosenDir(project) : choice.ChosenDir;
  if (!preview) {
    if (!choice.Custom || !pending)
      pending = BuildInstallInfo(project, ChosenSetupTypeName(project.DialogTypes, choice.Typical, choice.Compact),
                                 version, false);
    if (Holds(project.DialogTypes, dtSelectFolder)) pending->ProgramFolder = choice.ProgramFolder;
    if (Holds(project.DialogTypes, dtUser)) {
      pending->UserName = choice.UserName;
      pending->UserCompany = choice.UserCompany;
      // Also when the user page was the last one and its own Next never ran.
      project.UserName = choice.UserName;
      project.UserCompany = choice.UserCompany;
    }
    pending->InstallDir = chosenDir;
    // A DLL extension run after the wizard resets "<INSTALLDIR>" from the project.
    project.InstallDir = chosenDir;
    project.InstallInfo = std::move(pending);
  }
  SetDirMacro("<INSTALLDIR>", chosenDir);
  UserVariables().SetText(project.InstFolders);
}

std::string FreeSpaceRoot(const std::string& chosenDir) {
  if (chosenDir.size() < 2 || chosenDir[1] != ':') return "";
  char letter = chosenDir[0];
  if (letter >= 'a' && letter <= 'z') letter = static_cast<char>(letter - 'a' + 'A');
  if (letter < 'A' || letter > 'Z') return "";
  return std::string(1, letter) + ":\\";
}

// ---------------------------------------------------------------- page texts

namespace {

struct TextEntry {
  int id;
  const char* text;
};

const TextEntry kTexts[] = {
    {IDS_WIZ_RESTART_LATER, IDS_WIZ_RESTART_LATER_TEXT},
    {IDS_WIZ_COMPLETE_REMOVE_DISKS, IDS_WIZ_COMPLETE_REMOVE_DISKS_TEXT},
    {IDS_WIZ_COMPLETE_CLICK_FINISH, IDS_WIZ_COMPLETE_CLICK_FINISH_TEXT},
    {IDS_WIZ_RUN_APP, IDS_WIZ_RUN_APP_TEXT},
    {IDS_WIZ_VIEW_README, IDS_WIZ_VIEW_README_TEXT},
    {IDS_WIZ_CONFIRM_CANCEL, IDS_WIZ_CONFIRM_CANCEL_TEXT},
    {IDS_WIZ_CREATE_DIR, IDS_WIZ_CREATE_DIR_TEXT},
    {IDS_WIZ_EXISTING_FOLDER, IDS_WIZ_EXISTING_FOLDER_TEXT},
    {IDS_WIZ_COPY_TITLE, IDS_WIZ_COPY_TITLE_TEXT},
    {IDS_WIZ_COPY1, IDS_WIZ_COPY1_TEXT},
    {IDS_WIZ_COPY2, IDS_WIZ_COPY2_TEXT},
    {IDS_WIZ_SET_SETUP_TYPE, IDS_WIZ_SET_SETUP_TYPE_TEXT},
    {IDS_WIZ_SET_TYPICAL, IDS_WIZ_SET_TYPICAL_TEXT},
    {IDS_WIZ_SET_COMPACT, IDS_WIZ_SET_COMPACT_TEXT},
    {IDS_WIZ_SET_CUSTOM, IDS_WIZ_SET_CUSTOM_TEXT},
    {IDS_WIZ_SET_FULL, IDS_WIZ_SET_FULL_TEXT},
    {IDS_WIZ_SET_TARGET, IDS_WIZ_SET_TARGET_TEXT},
    {IDS_WIZ_SET_USER, IDS_WIZ_SET_USER_TEXT},
    {IDS_WIZ_SET_GROUP, IDS_WIZ_SET_GROUP_TEXT},
    {IDS_WIZ_COMPLETE_TITLE, IDS_WIZ_COMPLETE_TITLE_TEXT},
    {IDS_WIZ_COMPLETE1, IDS_WIZ_COMPLETE1_TEXT},
    {IDS_WIZ_COMPLETE2, IDS_WIZ_COMPLETE2_TEXT},
    {IDS_WIZ_RESTART_NOW, IDS_WIZ_RESTART_NOW_TEXT},
    {IDS_WIZ_LOCATION1, IDS_WIZ_LOCATION1_TEXT},
    {IDS_WIZ_LOCATION2, IDS_WIZ_LOCATION2_TEXT},
    {IDS_WIZ_LOCATION3, IDS_WIZ_LOCATION3_TEXT},
    {IDS_WIZ_LOCATION4, IDS_WIZ_LOCATION4_TEXT},
    {IDS_WIZ_TYPE_TITLE, IDS_WIZ_TYPE_TITLE_TEXT},
    {IDS_WIZ_TYPE1, IDS_WIZ_TYPE1_TEXT},
    {IDS_WIZ_TYPE2, IDS_WIZ_TYPE2_TEXT},
    {IDS_WIZ_TYPE3, IDS_WIZ_TYPE3_TEXT},
    {IDS_WIZ_TYPE4, IDS_WIZ_TYPE4_TEXT},
    {IDS_WIZ_CUSTOM_TITLE, IDS_WIZ_CUSTOM_TITLE_TEXT},
    {IDS_WIZ_CUSTOM1, IDS_WIZ_CUSTOM1_TEXT},
    {IDS_WIZ_SPACE_REQUIRED, IDS_WIZ_SPACE_REQUIRED_TEXT},
    {IDS_WIZ_SPACE_AVAILABLE, IDS_WIZ_SPACE_AVAILABLE_TEXT},
    {IDS_WIZ_FOLDERS_TITLE, IDS_WIZ_FOLDERS_TITLE_TEXT},
    {IDS_WIZ_FOLDERS1, IDS_WIZ_FOLDERS1_TEXT},
    {IDS_WIZ_FOLDERS2, IDS_WIZ_FOLDERS2_TEXT},
    {IDS_WIZ_WELCOME2, IDS_WIZ_WELCOME2_TEXT},
    {IDS_WIZ_WELCOME3, IDS_WIZ_WELCOME3_TEXT},
    {IDS_WIZ_WELCOME4, IDS_WIZ_WELCOME4_TEXT},
    {IDS_WIZ_WELCOME5, IDS_WIZ_WELCOME5_TEXT},
    {IDS_WIZ_LICENSE_TITLE, IDS_WIZ_LICENSE_TITLE_TEXT},
    {IDS_WIZ_LICENSE1, IDS_WIZ_LICENSE1_TEXT},
    {IDS_WIZ_LICENSE2, IDS_WIZ_LICENSE2_TEXT},
    {IDS_WIZ_README_TITLE, IDS_WIZ_README_TITLE_TEXT},
    {IDS_WIZ_README1, IDS_WIZ_README1_TEXT},
    {IDS_WIZ_USER_TITLE, IDS_WIZ_USER_TITLE_TEXT},
    {IDS_WIZ_USER1, IDS_WIZ_USER1_TEXT},
    {IDS_WIZ_USER_NAME, IDS_WIZ_USER_NAME_TEXT},
    {IDS_WIZ_USER_COMPANY, IDS_WIZ_USER_COMPANY_TEXT},
    {IDS_WIZ_LOCATION_TITLE, IDS_WIZ_LOCATION_TITLE_TEXT},
    {IDS_GRP_SPACE_AVAILABLE, IDS_GRP_SPACE_AVAILABLE_TEXT},
    {IDS_WIZ_BACK, IDS_WIZ_BACK_TEXT},
    {IDS_WIZ_NEXT, IDS_WIZ_NEXT_TEXT},
    {IDS_WIZ_CANCEL, IDS_WIZ_CANCEL_TEXT},
    {IDS_WIZ_FINISH, IDS_WIZ_FINISH_TEXT},
    {IDS_WIZ_YES, IDS_WIZ_YES_TEXT},
    {IDS_WIZ_NO, IDS_WIZ_NO_TEXT},
    {IDS_WIZ_WELCOME_TITLE, IDS_WIZ_WELCOME_TITLE_TEXT},
    {IDS_WIZ_BROWSE, IDS_WIZ_BROWSE_TEXT},
    {IDS_WIZ_TYPICAL, IDS_WIZ_TYPICAL_TEXT},
    {IDS_WIZ_COMPACT, IDS_WIZ_COMPACT_TEXT},
    {IDS_WIZ_CUSTOM, IDS_WIZ_CUSTOM_TEXT},
    {IDS_WIZ_INSTALL_TO, IDS_WIZ_INSTALL_TO_TEXT},
    {IDS_WIZ_DESCRIPTION, IDS_WIZ_DESCRIPTION_TEXT},
    {IDS_WIZ_CHANGE, IDS_WIZ_CHANGE_TEXT},
    {IDS_WIZ_WELCOME1, IDS_WIZ_WELCOME1_TEXT},
    {IDS_GRP_CONTINUE, IDS_GRP_CONTINUE_TEXT},
    {IDS_GRP_DESCRIPTION, IDS_GRP_DESCRIPTION_TEXT},
    {IDS_GRP_TITLE, IDS_GRP_TITLE_TEXT},
    {IDS_GRP_GROUPS1, IDS_GRP_GROUPS1_TEXT},
    {IDS_GRP_SPACE_REQUIRED, IDS_GRP_SPACE_REQUIRED_TEXT},
};

// Title and the three buttons (cancel, next, back) of the pages with the usual buttons.
std::vector<TPageText> Frame(int titleId) {
  return {{0, titleId}, {IDC_btnCancel, IDS_WIZ_CANCEL}, {IDC_btnNext, IDS_WIZ_NEXT}, {IDC_btnBack, IDS_WIZ_BACK}};
}

std::vector<TPageText> Join(std::vector<TPageText> a, const std::vector<TPageText>& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

}  // namespace

std::vector<TPageText> PageTexts(TTandrelDialogType page, bool showRestart) {
  switch (page) {
    case dtWelcome:
      return Join(Frame(IDS_WIZ_WELCOME_TITLE), {{IDC_lblWelcome1, IDS_WIZ_WELCOME1},
                                                 {IDC_lblWelcome2, IDS_WIZ_WELCOME2},
                                                 {IDC_lblWelcome3, IDS_WIZ_WELCOME3},
                                                 {IDC_lblWelcome4, IDS_WIZ_WELCOME4},
                                                 {IDC_lblWelcome5, IDS_WIZ_WELCOME5}});
    case dtLicense:
      return {{0, IDS_WIZ_LICENSE_TITLE},          {IDC_btnCancel, IDS_WIZ_NO},
              {IDC_btnNext, IDS_WIZ_YES},          {IDC_btnBack, IDS_WIZ_BACK},
              {IDC_lblLicense1, IDS_WIZ_LICENSE1}, {IDC_lblLicense2, IDS_WIZ_LICENSE2}};
    case dtReadme:
      return Join(Frame(IDS_WIZ_README_TITLE), {{IDC_lblReadme1, IDS_WIZ_README1}});
    case dtUser:
      return Join(Frame(IDS_WIZ_USER_TITLE), {{IDC_lblUser1, IDS_WIZ_USER1},
                                              {IDC_lblUserName, IDS_WIZ_USER_NAME},
                                              {IDC_lblUserCompany, IDS_WIZ_USER_COMPANY}});
    case dtDestination:
      return Join(Frame(IDS_WIZ_LOCATION_TITLE), {{IDC_btnBrowse, IDS_WIZ_BROWSE},
                                                  {IDC_lblLocation1, IDS_WIZ_LOCATION1},
                                                  {IDC_lblLocation2, IDS_WIZ_LOCATION2},
                                                  {IDC_lblLocation3, IDS_WIZ_LOCATION3},
                                                  {IDC_lblLocation4, IDS_WIZ_LOCATION4},
                                                  {IDC_gbInstallTo1, IDS_WIZ_INSTALL_TO}});
    case dtSetupType:
      return Join(Frame(IDS_WIZ_TYPE_TITLE), {{IDC_btnBrowse1, IDS_WIZ_BROWSE},
                                              {IDC_lblInstallType1, IDS_WIZ_TYPE1},
                                              {IDC_rbTypical, IDS_WIZ_TYPICAL},
                                              {IDC_rbCompact, IDS_WIZ_COMPACT},
                                              {IDC_rbCustom, IDS_WIZ_CUSTOM},
                                              {IDC_gbInstallTo2, IDS_WIZ_INSTALL_TO},
                                              {IDC_lblInstallType2, IDS_WIZ_TYPE2},
                                              {IDC_lblInstallType3, IDS_WIZ_TYPE3},
                                              {IDC_lblInstallType4, IDS_WIZ_TYPE4}});
    case dtCustom:
      return Join(Frame(IDS_WIZ_CUSTOM_TITLE), {{IDC_gbDescription, IDS_WIZ_DESCRIPTION},
                                                {IDC_lblCustom1, IDS_WIZ_CUSTOM1},
                                                {IDC_btnChange, IDS_WIZ_CHANGE},
                                                {IDC_btnBrowse2, IDS_WIZ_BROWSE},
                                                {IDC_gbInstallTo3, IDS_WIZ_INSTALL_TO},
                                                {IDC_lblCustom2, IDS_WIZ_SPACE_REQUIRED},
                                                {IDC_lblCustom3, IDS_WIZ_SPACE_AVAILABLE}});
    case dtSelectFolder:
      return Join(Frame(IDS_WIZ_FOLDERS_TITLE), {{IDC_lblFolders1, IDS_WIZ_FOLDERS1},
                                                 {IDC_lblFolders2, IDS_WIZ_FOLDERS2},
                                                 {IDC_lblFolders3, IDS_WIZ_EXISTING_FOLDER}});
    case dtStartCopying:
      return Join(Frame(IDS_WIZ_COPY_TITLE), {{IDC_lblCopy1, IDS_WIZ_COPY1}, {IDC_lblCopy2, IDS_WIZ_COPY2}});
    case dtComplete:
      if (showRestart)
        return {{0, IDS_WIZ_COMPLETE_TITLE},
                {IDC_btnNext, IDS_WIZ_FINISH},
                {IDC_btnBack, IDS_WIZ_BACK},
                {IDC_lblComplete1, IDS_WIZ_COMPLETE1},
                {IDC_lblComplete2, IDS_WIZ_COMPLETE2},
                {IDC_rbRestartWindows, IDS_WIZ_RESTART_NOW},
                {IDC_rbNoAction, IDS_WIZ_RESTART_LATER},
                {IDC_lblComplete3, IDS_WIZ_COMPLETE_REMOVE_DISKS}};
      return {{0, IDS_WIZ_COMPLETE_TITLE},
              {IDC_btnNext, IDS_WIZ_FINISH},
              {IDC_btnBack, IDS_WIZ_BACK},
              {IDC_lblComplete1a, IDS_WIZ_COMPLETE1},
              {IDC_cbRunApp, IDS_WIZ_RUN_APP},
              {IDC_cbViewReadMe, IDS_WIZ_VIEW_README},
              {IDC_lblComplete5, IDS_WIZ_COMPLETE_CLICK_FINISH}};
    default:
      return {};
  }
}

std::vector<TPageText> GroupPickerTexts() {
  return {{0, IDS_GRP_TITLE},
          {IDC_SG_gbDescription, IDS_GRP_DESCRIPTION},
          {IDC_SG_btnContinue, IDS_GRP_CONTINUE},
          {IDC_SG_lblGroups1, IDS_GRP_GROUPS1},
          {IDC_SG_lblCustom2, IDS_GRP_SPACE_REQUIRED},
          {IDC_SG_lblCustom3, IDS_GRP_SPACE_AVAILABLE}};
}

std::string WizardDefaultText(int stringId) {
  for (const auto& e : kTexts)
    if (e.id == stringId) return e.text;
  return "";
}
