// The project file picker: one file of one of the project's file groups, for a program an
// extension runs, a program a wizard page starts, a shortcut's command.
#pragma once
#include <memory>
#include <string>

#include "base/win/Form.h"
#include "base/win/ImageList.h"
#include "base/win/ListView.h"
#include "base/win/PageControl.h"
#include "base/win/Splitter.h"
#include "base/win/TreeView.h"
#include "resources/builder/PickFile.rh"
#include "setup/model/InstClasses.h"
#include "setup/model/InstConfigClasses.h"

class TfrmPickFile : public base::win::Form {
public:
  TfrmPickFile() : Form(IDD_PICKFILE) { Create(); }
  ~TfrmPickFile() override;

  TTandrelBaseInstall* Project = nullptr;  // not owned
  bool Clearing = false, Filling = false;
  TTandrelFileGroup* CurrentGroup = nullptr;
  TTandrelFile* SelectedFile = nullptr;
  base::win::ImageList ilFiles{base::win::ImageList::kSmall};
  std::unique_ptr<TZemAssociation> Association;

  base::win::PageControl pcMain{*this, IDC_PF_pcMain};
  base::win::TreeView tvGroups{*this, IDC_PF_tvGroups};
  base::win::ListView lvFiles{*this, IDC_PF_lvFiles};
  base::win::Splitter splMain{*this, IDC_PF_splMain};
  base::win::Button btnOk{*this, IDC_PF_btnOk};

  void tvGroupsChange(base::win::TreeNode node);
  void lvFilesChange(int item);
  void lvFilesDblClick();
  void btnOkClick();
  void SetCurrentGroup(TTandrelFileGroup* group);
  void SelectFile(TTandrelFile* file);

protected:
  void FormCreate() override;
  void FormShow() override;
  void FormClose() override;

private:
  void FillTree();
  void FillList();
  void EmptyViews();
};

// The chosen file, or none; groupName gets its group's name only on OK.
TTandrelFile* PickProjectFile(TTandrelBaseInstall& project, std::string& groupName);
