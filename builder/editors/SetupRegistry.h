// Unit SetupRegistry: the registry editor TfrmRegistry, the key tree under the six root
// keys with the value list of the selected key, on a working copy of the project.
#pragma once
#include <memory>

#include "base/win/Actions.h"
#include "base/win/Controls.h"
#include "base/win/ImageList.h"
#include "base/win/ListView.h"
#include "base/win/Menus.h"
#include "base/win/TreeView.h"
#include "builder/editors/SectionEditor.h"
#include "resources/builder/SetupRegistry.rh"
#include "setup/model/InstClasses.h"

class TfrmRegistry : public SectionEditor {
public:
  TfrmRegistry();
  ~TfrmRegistry() override;

  TTandrelRegKey* CurrentKey = nullptr;    // not owned
  TTandrelValue* CurrentValue = nullptr;   // not owned

  void SetCurrentKey(TTandrelRegKey* key);
  void FillTree();
  void FillValues();
  base::win::TreeNode AddKeyNode(base::win::TreeNode parent, TTandrelRegKey* key);
  void NewValue(TTandrelValueType style);

  void tvFoldersChange(base::win::TreeNode node);
  bool tvFoldersEditing(base::win::TreeNode node);
  void tvFoldersEdited(base::win::TreeNode node, std::string& text);
  LRESULT tvFoldersCustomDrawItem(NMTVCUSTOMDRAW* draw);
  void lvValuesChange(int index);
  bool lvValuesEditing(int index);
  void lvValuesEdited(int index, std::string& text);
  void actAddNewKeyExecute();
  void actDeleteKeyExecute();
  void actRenameKeyExecute();
  void actUninstallKeyExecute();
  void actModifyValueExecute();
  void actDeleteValueExecute();
  void actRenameValueExecute();
  void mnuExpandClick();

  base::win::Control PageControl1{*this, IDC_REG_PageControl1};
  base::win::TreeView tvFolders{*this, IDC_REG_tvFolders};
  base::win::ListView lvValues{*this, IDC_REG_lvValues};
  base::win::Label lblPath{*this, IDC_REG_lblPath};
  base::win::Button btnOk{*this, IDC_REG_btnOk};
  base::win::Button btnCancel{*this, IDC_REG_btnCancel};
  base::win::Button btnHelp{*this, IDC_REG_btnHelp};

  base::win::ActionList ActionList1;
  base::win::Action* actAddNewKey = nullptr;
  base::win::Action* actNewString = nullptr;
  base::win::Action* actNewBinary = nullptr;
  base::win::Action* actNewDWord = nullptr;
  base::win::Action* actDeleteKey = nullptr;
  base::win::Action* actRenameKey = nullptr;
  base::win::Action* actUninstallKey = nullptr;
  base::win::Action* actModifyValue = nullptr;
  base::win::Action* actDeleteValue = nullptr;
  base::win::Action* actRenameValue = nullptr;
  base::win::Action* actOK = nullptr;
  base::win::PopupMenu popFolders;
  base::win::PopupMenu popValues;
  base::win::MenuItem* mnuExpand = nullptr;

protected:
  void FormCreate() override;
  void FormShow() override;
  // ActionList1Update: the action states at every idle update.
  void UpdateActions() override;

private:
  void BuildActions();
  void BuildMenus();
  base::win::ImageList ilRegistry{base::win::ImageList::kSmall};
};

// The registry editor on the project; true when the author left with OK.
bool EditRegistry(TTandrelBaseInstall& Project);
