#include "setup/engine/GroupsForm.h"

#include <algorithm>

#include "base/win/Application.h"
#include "setup/engine/WizardFlow.h"
#include "setup/services/InstGlobal.h"

using namespace base::win;

TfrmSelectGroups::TfrmSelectGroups() : Form(IDD_frmSelectGroups) { Create(); }

void TfrmSelectGroups::FormCreate() {
  CurrentGroup = nullptr;
  lvComponents.SetCheckBoxes();
  lvComponents.SetRowSelect();
  RECT r = lvComponents.ClientRect();
  const int sizeWidth = 64;
  lvComponents.AddColumn("", std::max(40, static_cast<int>(r.right) - sizeWidth - GetSystemMetrics(SM_CXVSCROLL)));
  lvComponents.AddColumn("", sizeWidth, true);
  SetDefaultButton(IDC_SG_btnContinue);
  OnClick(IDC_SG_btnContinue, [this] { btnContinueClick(); });
  OnNotify(IDC_SG_lvComponents, LVN_ITEMCHANGED, [this](NMHDR* h) -> LRESULT {
    lvComponentsChange(h);
    return 0;
  });
  OnNotify(IDC_SG_lvComponents, NM_CLICK, [this](NMHDR*) -> LRESULT {
    lvComponentsClick();
    return 0;
  });
}

void TfrmSelectGroups::FormShow() {
  for (const TPageText& t : GroupPickerTexts()) {
    const std::string text = LoadStr(static_cast<unsigned>(t.StringId));
    if (t.ControlId == 0)
      SetCaption(text);
    else
      SetWindowTextA(Item(t.ControlId), text.c_str());
  }
  FillGroups();
  UpdateSpace();
  if (lvComponents.Count() > 0) lvComponents.Select(0);
  lvComponents.Focus();
}

void TfrmSelectGroups::FillGroups() {
  filling_ = true;
  lvComponents.BeginUpdate();
  lvComponents.Clear();
  if (Component)
    for (auto& g : Component->Groups) {
      int i = lvComponents.AddItem(g->Name, g.get());
      lvComponents.SetChecked(i, g->Selected);
      lvComponents.SetSubItem(i, 1, FormatSizeK(g->Size));
    }
  lvComponents.EndUpdate();
  lvComponents.FitFirstColumn();
  filling_ = false;
}

void TfrmSelectGroups::UpdateSpace() {
  if (!Component || !Selection) return;
  bool any = false;
  lvComponents.BeginUpdate();
  for (int i = 0, n = lvComponents.Count(); i < n; ++i) {
    auto* g = static_cast<TInstGroup*>(lvComponents.ItemData(i));
    if (!g) continue;
    g->Selected = lvComponents.Checked(i);
    any = any || g->Selected;
    lvComponents.SetSubItem(i, 1, FormatSizeK(g->Size));
  }
  lvComponents.EndUpdate();
  lvComponents.FitFirstColumn();
  if (any && !Component->Selected()) {
    // The component counts again, with just the groups the boxes name.
    std::vector<bool> keep;
    for (auto& g : Component->Groups) keep.push_back(g->Selected);
    Component->SetSelected(true);
    for (size_t i = 0; i < keep.size(); ++i) Component->Groups[i]->Selected = keep[i];
  }
  lblRequired.SetCaption(FormatSizeK(Selection->GetTotalSize()));
}

void TfrmSelectGroups::lvComponentsChange(const NMHDR* header) {
  if (filling_) return;
  int item = ListView::ChangedItem(header);
  if (item < 0) return;
  // A box toggled with the keyboard counts at once, as a click does.
  if (ListView::CheckChanged(header)) UpdateSpace();
  if (item == lvComponents.Selected()) SelectGroup(static_cast<TInstGroup*>(lvComponents.ItemData(item)));
}

void TfrmSelectGroups::SelectGroup(TInstGroup* group) {
  if (group == CurrentGroup) return;
  CurrentGroup = group;
  lblDescription.SetCaption(group ? group->Description : "");
}

void TfrmSelectGroups::lvComponentsClick() {
  if (!filling_) UpdateSpace();
}

void TfrmSelectGroups::btnContinueClick() {
  int checked = 0;
  for (int i = 0, n = lvComponents.Count(); i < n; ++i)
    if (lvComponents.Checked(i)) ++checked;
  if (Component) Component->SetSelected(checked > 0);
  SetModalResult(mrOk);
}

void SelectComponentGroups(TInstallInfo& Selection, TInstComponent& Component, const std::string& Available) {
  TfrmSelectGroups form;
  form.lblAvailable.SetCaption(Available);
  form.Selection = &Selection;
  form.Component = &Component;
  form.ShowModal();
}
