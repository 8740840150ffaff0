// The file groups editor: file groups and their files, components and the groups they
// install, setup types and the components they install, on a working copy of the project
// (the section editors' pattern).
#pragma once
#include <memory>

#include "base/win/Actions.h"
#include "base/win/Drag.h"
#include "base/win/ImageList.h"
#include "base/win/Menus.h"
#include "base/win/PageControl.h"
#include "base/win/Splitter.h"
#include "base/win/ToolBar.h"
#include "builder/common/FileListLook.h"
#include "builder/editors/GroupEditorRules.h"
#include "builder/editors/SectionEditor.h"
#include "resources/builder/SetupGroupFiles.rh"
#include "setup/model/InstConfigClasses.h"

class TfrmGroup : public SectionEditor {
public:
  TfrmGroup();
  ~TfrmGroup() override;

  // The pages, in tab order.
  enum { tsGroup = 0, tsComponent = 1, tsInstallType = 2 };

  // Current items of the pages.
  TTandrelInstallType* CurrentInstallType = nullptr;
  TTandrelComponent* CurrentTypeComponent = nullptr;
  TTandrelComponent* CurrentComponent = nullptr;
  TTandrelFileGroup* CurrentComponentGroup = nullptr;
  TTandrelFileGroup* CurrentGroup = nullptr;
  TTandrelFile* CurrentFile = nullptr;
  base::win::ImageList ilFiles{base::win::ImageList::kSmall};
  std::unique_ptr<TZemAssociation> Association;

  // The actions outlive the tool bars and menus bound to them.
  base::win::ActionList ActionList;
  base::win::Action* actNewGroup = nullptr;
  base::win::Action* actAddFiles = nullptr;
  base::win::Action* actProperties = nullptr;
  base::win::Action* actDelete = nullptr;
  base::win::Action* actMoveUp = nullptr;
  base::win::Action* actMoveDown = nullptr;
  base::win::Action* actNewComponent = nullptr;
  base::win::Action* actComponentNewGroup = nullptr;
  base::win::Action* actComponentProperties = nullptr;
  base::win::Action* actDeleteComponent = nullptr;
  base::win::Action* actInstallTypeNewComponent = nullptr;
  base::win::Action* actInstallTypeProperties = nullptr;
  base::win::Action* actInstallTypeDelete = nullptr;
  base::win::PageControl pcMain{*this, IDC_FG_pcMain};
  base::win::ToolBar tbGroup{*this, IDC_FG_tbGroup};
  base::win::ToolBar tbComponent{*this, IDC_FG_tbComponent};
  base::win::ToolBar tbInstallType{*this, IDC_FG_tbInstallType};
  base::win::TreeView tvGroups{*this, IDC_FG_tvGroups};
  base::win::ListView lvFiles{*this, IDC_FG_lvFiles};
  base::win::TreeView tvComponents{*this, IDC_FG_tvComponents};
  base::win::ListView lvGroups{*this, IDC_FG_lvGroups};
  base::win::TreeView tvInstallTypes{*this, IDC_FG_tvInstallTypes};
  base::win::ListView lvComponents{*this, IDC_FG_lvComponents};
  base::win::Splitter splGroup{*this, IDC_FG_splGroup};
  base::win::Splitter splComponent{*this, IDC_FG_splComponent};
  base::win::Splitter splInstallType{*this, IDC_FG_splInstallType};
  base::win::Drag DragDrop{*this};

  base::win::PopupMenu MainPopup, popComponents, popInstallTypes;

  // Frame.
  void pcMainChange();
  // "File Groups" page.
  void FillGroups();
  void AddGroupNode(TTandrelFileGroup* group, bool select);
  void SetCurrentGroup(TTandrelFileGroup* group);
  void FillFiles();
  void AddFileItem(TTandrelFile* file, bool select);
  void UpdateFileItem(TTandrelFile* file);
  void UpdateGroupNode(TTandrelFileGroup* group);
  void MoveGroup(int from, int to, base::win::TreeNode node);
  void MoveFiles(int from, int to, int item);
  void tvGroupsChange(base::win::TreeNode node);
  void tvGroupsEdited(base::win::TreeNode node, std::string& text);
  bool tvGroupsDragOver(HWND source, POINT p);
  void tvGroupsDragDrop(HWND source, POINT p);
  void lvFilesChange(int item);
  bool lvFilesDragOver(HWND source, POINT p);
  void lvFilesDragDrop(HWND source, POINT p);
  void actNewGroupExecute();
  void actAddFilesExecute();
  void actPropertiesExecute();
  void actDeleteExecute();
  void actMoveUpExecute();
  void actMoveDownExecute();
  // "Components" page.
  void FillComponents();
  void AddComponentNode(TTandrelComponent* component, bool select);
  void UpdateComponentNode(TTandrelComponent* component, bool rebuild);
  void FillAvailableGroups();
  void AddAvailableGroupItem(TTandrelFileGroup* group, bool select);
  void UpdateGroupItems(TTandrelFileGroup* group);
  void tvComponentsChange(base::win::TreeNode node);
  void tvComponentsEdited(base::win::TreeNode node, std::string& text);
  bool tvComponentsDragOver(HWND source, POINT p);
  void tvComponentsDragDrop(HWND source, POINT p);
  void lvGroupsChange(int item);
  void lvGroupsEdited(int item, std::string& text);
  bool lvGroupsDragOver(HWND source, POINT p);
  void lvGroupsDragDrop(HWND source, POINT p);
  void actNewComponentExecute();
  void actComponentNewGroupExecute();
  void actComponentPropertiesExecute();
  void actDeleteComponentExecute();
  // "Installation Types" page.
  void FillInstallTypes();
  void AddInstallTypeNode(TTandrelInstallType* type, bool select);
  void UpdateInstallTypeNode(TTandrelInstallType* type, bool rebuild);
  void FillAvailableComponents();
  void AddAvailableComponentItem(TTandrelComponent* component, bool select);
  void UpdateComponentItems(TTandrelComponent* component);
  void tvInstallTypesChange(base::win::TreeNode node);
  bool tvInstallTypesEditing(base::win::TreeNode node);
  void tvInstallTypesEdited(base::win::TreeNode node, std::string& text);
  bool tvInstallTypesDragOver(HWND source, POINT p);
  void tvInstallTypesDragDrop(HWND source, POINT p);
  void lvComponentsChange(int item);
  void lvComponentsEdited(int item, std::string& text);
  bool lvComponentsDragOver(HWND source, POINT p);
  void lvComponentsDragDrop(HWND source, POINT p);
  void actInstallTypeNewComponentExecute();
  void actInstallTypePropertiesExecute();
  void actInstallTypeDeleteExecute();

  // The states the update handlers decide from.
  GroupPageState GroupState() const;
  MemberPageState ComponentState() const;
  MemberPageState InstallTypeState() const;

protected:
  void FormCreate() override;
  void FormShow() override;
  bool PrepareOk() override;
  void UpdateActions() override;
  // Every size lays the frame and the pages out anew: buttons at the bottom right, the
  // tabs above them, each page's views filling it beside their splitter.
  void FormResize() override;

private:
  void CreateActions();
  void LayOutPage(int page) const;
  // The smallest client area that shows every button and both views of each page.
  SIZE MinimumClient() const;
  void CreateImages();
  void SetFileItem(int index, TTandrelFile* file);
  TTandrelFile* FileAt(int row) const;
  std::string FileText(int row, int column) const;
  std::vector<TTandrelFile*> SelectedFiles() const;
  void FollowFileSelection();
  void RemoveGroupEntry(base::win::TreeNode groupNode);
  void RemoveTypeEntry(base::win::TreeNode componentNode);
  void RefillNodeChildren(const base::win::TreeView& tree, base::win::TreeNode node,
                          const std::vector<std::pair<std::string, void*>>& children, int image);
};

// The editor on the project; true when the author left it with OK.
bool EditFileGroups(TTandrelBaseInstall& project);
