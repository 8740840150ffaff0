// Unit SetupIniFiles: the INI files editor TfrmIniFiles, the files with their sections in
// a tree and the entries of the selected section in a list, on a working copy.
#pragma once
#include "base/win/Actions.h"
#include "base/win/Controls.h"
#include "base/win/ImageList.h"
#include "base/win/ListView.h"
#include "base/win/Menus.h"
#include "base/win/TreeView.h"
#include "builder/editors/SectionEditor.h"
#include "resources/builder/SetupIniFiles.rh"
#include "setup/model/InstClasses.h"

class TfrmIniFiles : public SectionEditor {
public:
  TfrmIniFiles();
  ~TfrmIniFiles() override;

  TTandrelIniFile* CurrentFile = nullptr;        // not owned
  TTandrelIniSection* CurrentSection = nullptr;  // not owned
  TTandrelIniValue* CurrentValue = nullptr;      // not owned

  void FillTree();
  void FillValues();
  void SetCurrentFile(TTandrelIniFile* file);
  void SetCurrentSection(TTandrelIniSection* section);

  void tvFilesChange(base::win::TreeNode node);
  bool tvFilesEditing(base::win::TreeNode node);
  void tvFilesEdited(base::win::TreeNode node, std::string& text);
  void lvValuesChange(int index);
  void lvValuesEdited(int index, std::string& text);
  void actNewFileExecute();
  void actNewSectionExecute();
  void actNewValueExecute();
  void actRenameFileExecute();
  void actDeleteFileExecute();
  void actModifyValueExecute();
  void actRenameValueExecute();
  void actDeleteValueExecute();
  void actExpandExecute();

  base::win::Control PageControl1{*this, IDC_INI_PageControl1};
  base::win::TreeView tvFiles{*this, IDC_INI_tvFiles};
  base::win::ListView lvValues{*this, IDC_INI_lvValues};
  base::win::Button btnOk{*this, IDC_INI_btnOk};
  base::win::Button btnCancel{*this, IDC_INI_btnCancel};
  base::win::Button btnHelp{*this, IDC_INI_btnHelp};

  base::win::ActionList ActionList1;
  base::win::Action* actNewFile = nullptr;
  base::win::Action* actNewSection = nullptr;
  base::win::Action* actNewValue = nullptr;
  base::win::Action* actRenameFile = nullptr;
  base::win::Action* actDeleteFile = nullptr;
  base::win::Action* actModifyValue = nullptr;
  base::win::Action* actRenameValue = nullptr;
  base::win::Action* actDeleteValue = nullptr;
  base::win::Action* actExpand = nullptr;
  base::win::Action* actOK = nullptr;
  base::win::PopupMenu popFiles;
  base::win::PopupMenu popValues;

protected:
  void FormCreate() override;
  void FormShow() override;
  // ActionList1Update: the action states at every idle update.
  void UpdateActions() override;

private:
  void BuildActions();
  void BuildMenus();
  // A file node that is one of the three every project holds.
  bool FixedFileNode(base::win::TreeNode node) const;
  base::win::ImageList ilRegistry{base::win::ImageList::kSmall};
};

// The INI files editor on the project; true when the author left with OK.
bool EditIniFiles(TTandrelBaseInstall& Project);
