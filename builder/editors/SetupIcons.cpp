#include "builder/editors/SetupIcons.h"

#include "base/win/Dialogs.h"
#include "builder/editors/RegistryLook.h"
#include "builder/editors/SetupIcon.h"
#include "resources/builder_texts.h"

using namespace base::win;

TfrmIcons::TfrmIcons()
    : SectionEditor(IDD_frmIcons, Frame{IDC_ICS_btnOk, IDC_ICS_btnCancel, IDC_ICS_btnHelp, 16, "frmIcons"}) {
  Create();
}

TfrmIcons::~TfrmIcons() {
  // The list goes before the shortcuts its items point to.
  FormDestroy();
  CurrentIcon = nullptr;
  Association.reset();
}

void TfrmIcons::FormCreate() {
  SectionEditor::FormCreate();
  AddView(lvIcons);
  AddSingleTab(PageControl1, texts::kPageIcons);
  lvIcons.SetImageList(ilIcons.Handle(), LVSIL_NORMAL);
  lvIcons.SetImageList(ilSmall.Handle(), LVSIL_SMALL);
  Association = std::make_unique<TZemAssociation>(&ilIcons, ilSmall);
  // A border of 5 pixels around the icons.
  lvIcons.Send(LVM_SETICONSPACING, 0, MAKELPARAM(GetSystemMetrics(SM_CXICONSPACING) + 5, GetSystemMetrics(SM_CYICONSPACING) + 5));

  auto add = [this](const char* caption, const char* hint, std::function<void()> run) {
    Action& a = ActionList1.Add(caption, hint);
    a.OnExecute = [run](Action&) { run(); };
    return &a;
  };
  actNew = add(texts::kActNewShortcut, texts::kHintNewIcon, [this] { actNewExecute(); });
  actProperties = add(texts::kProperties, texts::kHintIconProperties, [this] { actPropertiesExecute(); });
  actDelete = add(texts::kDelete, texts::kHintDeleteSelected, [this] { actDeleteExecute(); });

  ToolBar1.UseStandardImages();
  ToolBar1.AddButton(IDM_ICS_actNew, STD_FILENEW, *actNew);
  ToolBar1.AddButton(IDM_ICS_actProperties, STD_PROPERTIES, *actProperties);
  ToolBar1.AddSeparator();
  ToolBar1.AddButton(IDM_ICS_actDelete, STD_DELETE, *actDelete);

  PopupMenu1.Add("").SetAction(actNew);
  PopupMenu1.Add("").SetAction(actProperties);
  PopupMenu1.AddSeparator();
  PopupMenu1.Add("").SetAction(actDelete);
  PopupMenu1.Attach(*this, IDC_ICS_lvIcons);

  lvIcons.OnChange([this](int i) { lvIconsChange(i); });
  lvIcons.OnEdited([this](int i, std::string& t) { lvIconsEdited(i, t); });
  lvIcons.OnDblClick([this] { actPropertiesExecute(); });
  BindKeys(lvIcons, {[this] { actNewExecute(); }, [this] { actDeleteExecute(); },
                     [this] { actPropertiesExecute(); }, true});
}

void TfrmIcons::FormShow() {
  SectionEditor::FormShow();
  FillIcons();
}

void TfrmIcons::FillIcons() {
  FlagScope filling(Filling);
  UpdateScope<ListView> update(lvIcons);
  EmptyView(lvIcons);
  for (TTandrelIcon* icon : WorkingCopy->Icons) AddIconItem(icon);
}

int TfrmIcons::AddIconItem(TTandrelIcon* icon) {
  return lvIcons.AddItem(icon->Caption, icon, Association->GetImageIndex(icon->SourceFile));
}

void TfrmIcons::lvIconsChange(int index) {
  if (ChangesIgnored() || index < 0 || !lvIcons.ItemData(index) || !lvIcons.IsSelected(index)) return;
  CurrentIcon = static_cast<TTandrelIcon*>(lvIcons.ItemData(index));
}

void TfrmIcons::lvIconsEdited(int index, std::string& text) {
  auto* icon = static_cast<TTandrelIcon*>(lvIcons.ItemData(index));
  if (icon) icon->Caption = text;
}

void TfrmIcons::actNewExecute() {
  TTandrelIcon* icon = NewIcon(*WorkingCopy);
  if (!icon) return;
  int item = AddIconItem(icon);
  lvIcons.ClearSelection();
  lvIcons.Select(item);
}

void TfrmIcons::actPropertiesExecute() {
  if (!CurrentIcon || !EditIcon(*CurrentIcon, *WorkingCopy)) return;
  for (int i = 0; i < lvIcons.Count(); ++i) {
    if (lvIcons.ItemData(i) != CurrentIcon) continue;
    lvIcons.SetCaption(i, CurrentIcon->Caption);
    lvIcons.SetItemImage(i, Association->GetImageIndex(CurrentIcon->SourceFile));
  }
}

void TfrmIcons::actDeleteExecute() {
  if (!CurrentIcon || lvIcons.Count() == 0 || lvIcons.SelCount() == 0) return;
  if (MessageDlg(texts::kRemoveSelectedIcon, MsgDlgType::Confirmation, mbYesNo, 0) != mrYes)
    return;
  TTandrelIcon* icon = CurrentIcon;
  {
    // The item goes before the shortcut it points to.
    FlagScope clearing(Clearing);
    UpdateScope<ListView> update(lvIcons);
    int item = lvIcons.IndexOfData(icon);
    if (item < 0) item = lvIcons.Selected();
    CurrentIcon = nullptr;
    lvIcons.Delete(item);
    icon->Collection()->Remove(icon);
  }
}

void TfrmIcons::UpdateActions() {
  const bool on = CurrentIcon && lvIcons.Count() > 0 && lvIcons.SelCount() > 0 && !Editing;
  actProperties->SetEnabled(on);
  actDelete->SetEnabled(on);
  actNew->SetEnabled(true);
}

bool EditIcons(TTandrelBaseInstall& Project) {
  return EditSection<TfrmIcons>(Project, &TTandrelBaseInstall::CompletedProgGroup);
}
