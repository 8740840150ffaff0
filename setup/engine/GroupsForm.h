// Unit GroupsForm: the component group picker TfrmSelectGroups, which chooses the file
// groups of one component of the wizard's pending selection.
#pragma once
#include <string>

#include "base/win/Controls.h"
#include "base/win/Form.h"
#include "resources/engine/GroupsForm.rh"
#include "setup/model/InstClasses.h"

class TfrmSelectGroups : public base::win::Form {
public:
  TfrmSelectGroups();

  TInstComponent* Component = nullptr;
  TInstallInfo* Selection = nullptr;
  TInstGroup* CurrentGroup = nullptr;

  void lvComponentsChange(const NMHDR* header);
  void lvComponentsClick();
  void btnContinueClick();
  void SelectGroup(TInstGroup* group);
  void FillGroups();
  void UpdateSpace();

  base::win::ListView lvComponents{*this, IDC_SG_lvComponents};
  base::win::Label lblDescription{*this, IDC_SG_lblDescription};
  base::win::Label lblRequired{*this, IDC_SG_lblRequired};
  base::win::Label lblAvailable{*this, IDC_SG_lblAvailable};
  base::win::Button btnContinue{*this, IDC_SG_btnContinue};

protected:
  void FormCreate() override;
  void FormShow() override;

private:
  bool filling_ = false;  // boxes set by the form itself, not the user's
};

// Lets the user choose the groups of Component; the choice lands in the groups' and the
// component's selected flags. Available is the free-space text to show.
void SelectComponentGroups(TInstallInfo& Selection, TInstComponent& Component, const std::string& Available);
