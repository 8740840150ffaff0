// Unit SetupIcons: the shortcuts editor TfrmIcons, a large-icon list of the project's
// shortcuts on a working copy, each edited through the shortcut dialog.
#pragma once
#include <memory>

#include "base/win/Actions.h"
#include "base/win/Controls.h"
#include "base/win/ImageList.h"
#include "base/win/ListView.h"
#include "base/win/Menus.h"
#include "base/win/ToolBar.h"
#include "builder/editors/SectionEditor.h"
#include "resources/builder/SetupIcons.rh"
#include "setup/model/InstClasses.h"
#include "setup/model/InstConfigClasses.h"

class TfrmIcons : public SectionEditor {
public:
  TfrmIcons();
  ~TfrmIcons() override;

  TTandrelIcon* CurrentIcon = nullptr;  // not owned
  std::unique_ptr<TZemAssociation> Association;

  void FillIcons();
  void lvIconsChange(int index);
  void lvIconsEdited(int index, std::string& text);
  void actNewExecute();
  void actPropertiesExecute();
  void actDeleteExecute();

  // Before the tool bar and the menu, whose items are bound to its actions: it goes last.
  base::win::ActionList ActionList1;
  base::win::Action* actNew = nullptr;
  base::win::Action* actProperties = nullptr;
  base::win::Action* actDelete = nullptr;

  base::win::Control PageControl1{*this, IDC_ICS_PageControl1};
  base::win::ToolBar ToolBar1{*this, IDC_ICS_ToolBar1};
  base::win::ListView lvIcons{*this, IDC_ICS_lvIcons};
  base::win::Button btnOk{*this, IDC_ICS_btnOk};
  base::win::Button btnCancel{*this, IDC_ICS_btnCancel};
  base::win::Button btnHelp{*this, IDC_ICS_btnHelp};

  base::win::PopupMenu PopupMenu1;

protected:
  void FormCreate() override;
  void FormShow() override;
  // ActionList1Update, actPropertiesUpdate, actDeleteUpdate.
  void UpdateActions() override;

private:
  int AddIconItem(TTandrelIcon* icon);
  base::win::ImageList ilIcons{base::win::ImageList::kLarge};
  base::win::ImageList ilSmall{base::win::ImageList::kSmall};
};

// The shortcuts editor on the project; true when the author left with OK.
bool EditIcons(TTandrelBaseInstall& Project);
