#include "builder/editors/SetupRegistry.h"

#include "base/Strings.h"
#include "base/win/Application.h"
#include "base/win/Dialogs.h"
#include "builder/editors/RegistryLook.h"
#include "builder/editors/RegistryRules.h"
#include "builder/editors/SetupValue.h"
#include "resources/builder_texts.h"

using namespace base::win;

namespace {
constexpr COLORREF kUninstallSelected = RGB(0xFF, 0xFF, 0x00);
constexpr COLORREF kUninstall = RGB(0x00, 0x80, 0x00);

TTandrelRegKey* KeyOf(const TreeView& tree, TreeNode node) {
  return node ? static_cast<TTandrelRegKey*>(tree.NodeData(node)) : nullptr;
}

// Whether key is branch itself or lies below it.
bool InBranch(const TTandrelRegKey* key, const TTandrelRegKey* branch) {
  for (; key; key = key->Parent)
    if (key == branch) return true;
  return false;
}
}  // namespace

TfrmRegistry::TfrmRegistry()
    : SectionEditor(IDD_frmRegistry, Frame{IDC_REG_btnOk, IDC_REG_btnCancel, IDC_REG_btnHelp, 19, "frmRegistry"}) {
  Create();
}

TfrmRegistry::~TfrmRegistry() {
  // The views are emptied before the objects their rows point to go.
  FormDestroy();
  CurrentKey = nullptr;
  CurrentValue = nullptr;
}

void TfrmRegistry::FormCreate() {
  SectionEditor::FormCreate();
  AddView(tvFolders);
  AddView(lvValues);
  AddSingleTab(PageControl1, texts::kPageRegistry);
  AddRegistryImages(ilRegistry);
  tvFolders.SetImageList(ilRegistry.Handle());
  lvValues.SetImageList(ilRegistry.Handle(), LVSIL_SMALL);
  AddValueColumns(lvValues, texts::kColData);
  BuildActions();
  BuildMenus();

  tvFolders.OnChange([this](TreeNode n) { tvFoldersChange(n); });
  tvFolders.OnEditing([this](TreeNode n) { return tvFoldersEditing(n); });
  tvFolders.OnEdited([this](TreeNode n, std::string& t) { tvFoldersEdited(n, t); });
  BindKeys(tvFolders, {[this] { actAddNewKeyExecute(); }, [this] { actDeleteKeyExecute(); }, nullptr, true});
  OnNotify(IDC_REG_tvFolders, NM_CUSTOMDRAW,
           [this](NMHDR* h) { return tvFoldersCustomDrawItem(reinterpret_cast<NMTVCUSTOMDRAW*>(h)); });
  lvValues.OnChange([this](int i) { lvValuesChange(i); });
  lvValues.OnEditing([this](int i) { return lvValuesEditing(i); });
  lvValues.OnEdited([this](int i, std::string& t) { lvValuesEdited(i, t); });
  // Alt+Enter opens the value also where Modify is disabled (the default value).
  BindKeys(lvValues, {nullptr, [this] { actDeleteValueExecute(); }, [this] { actModifyValueExecute(); }, true});
  lvValues.OnDblClick([this] { actModifyValueExecute(); });
}

void TfrmRegistry::BuildActions() {
  auto add = [this](const char* caption, std::function<void()> run) { return AddAction(ActionList1, caption, run); };
  actAddNewKey = add(texts::kNewKey, [this] { actAddNewKeyExecute(); });
  actNewString = add(texts::kNewStringValue, [this] { NewValue(vtString); });
  actNewBinary = add(texts::kNewBinaryValue, [this] { NewValue(vtBinary); });
  actNewDWord = add(texts::kNewDWordValue, [this] { NewValue(vtDWord); });
  actDeleteKey = add(texts::kDelete, [this] { actDeleteKeyExecute(); });
  actRenameKey = add(texts::kRename, [this] { actRenameKeyExecute(); });
  actUninstallKey = add(texts::kUninstallKey, [this] { actUninstallKeyExecute(); });
  actModifyValue = add(texts::kModify, [this] { actModifyValueExecute(); });
  actDeleteValue = add(texts::kDelete, [this] { actDeleteValueExecute(); });
  actRenameValue = add(texts::kRename, [this] { actRenameValueExecute(); });
  actOK = add(texts::kOK, [this] { btnOkClick(); });
}

void TfrmRegistry::BuildMenus() {
  auto newItems = [this](MenuItem& parent) {
    MenuItem& sub = parent.Add(texts::kNew);
    sub.Add("").SetAction(actAddNewKey);
    sub.AddSeparator();
    sub.Add("").SetAction(actNewString);
    sub.Add("").SetAction(actNewBinary);
    sub.Add("").SetAction(actNewDWord);
  };
  mnuExpand = &popFolders.Add(texts::kExpand);
  mnuExpand->OnClick = [this](MenuItem&) { mnuExpandClick(); };
  newItems(popFolders);
  popFolders.AddSeparator();
  popFolders.Add("").SetAction(actDeleteKey);
  popFolders.Add("").SetAction(actRenameKey);
  popFolders.AddSeparator();
  popFolders.Add("").SetAction(actUninstallKey);
  popFolders.Attach(*this, IDC_REG_tvFolders);

  popValues.Add("").SetAction(actModifyValue);
  newItems(popValues);
  popValues.AddSeparator();
  popValues.Add("").SetAction(actDeleteValue);
  popValues.Add("").SetAction(actRenameValue);
  popValues.Attach(*this, IDC_REG_lvValues);
}

void TfrmRegistry::FormShow() {
  SectionEditor::FormShow();
  FillTree();
  lblPath.SetCaption("");
}

void TfrmRegistry::FillTree() {
  UpdateScope<TreeView> update(tvFolders);
  FlagScope filling(Filling);
  for (TTandrelRegKey* root : WorkingCopy->Registry) AddKeyNode(nullptr, root);
}

TreeNode TfrmRegistry::AddKeyNode(TreeNode parent, TTandrelRegKey* key) {
  TreeNode node = tvFolders.Add(parent, key->KeyName, key, 0, 1);
  for (TTandrelRegKey* sub : key->Keys) AddKeyNode(node, sub);
  return node;
}

void TfrmRegistry::tvFoldersChange(TreeNode node) {
  if (!TakesChange(tvFolders, node)) return;
  SetCurrentKey(KeyOf(tvFolders, node));
}

void TfrmRegistry::SetCurrentKey(TTandrelRegKey* key) {
  if (key == CurrentKey) return;
  CurrentKey = key;
  FillValues();
  lblPath.SetCaption(CurrentKey ? CurrentKey->GetFullPath() : "");
}

void TfrmRegistry::FillValues() {
  EmptyView(lvValues);
  if (CurrentKey) {
    UpdateScope<ListView> update(lvValues);
    FlagScope filling(Filling);
    for (TTandrelValue* v : CurrentKey->Values) {
      int row = lvValues.AddItem(v->ValueName, v, ValueImageIndex(v->Style));
      lvValues.SetSubItem(row, 1, v->GetDisplayText());
    }
  }
  lvValues.ClearSelection();
  CurrentValue = nullptr;
}

void TfrmRegistry::lvValuesChange(int index) {
  if (!TakesChange(lvValues, index)) return;
  CurrentValue = static_cast<TTandrelValue*>(lvValues.ItemData(index));
}

void TfrmRegistry::actAddNewKeyExecute() {
  TreeNode parent = tvFolders.Selected();
  if (!CurrentKey || !parent) return;
  const std::string name = NewItemName(texts::kNewKeyStem, CurrentKey->Keys, &TTandrelRegKey::KeyName);
  // By name the model would take an existing key; the smallest free number names none.
  TTandrelRegKey* key = CurrentKey->AddKey(name);
  AddNewNode(tvFolders, parent, key->KeyName, key, 0, 1);
}

void TfrmRegistry::NewValue(TTandrelValueType style) {
  if (!CurrentKey) return;
  const std::string name = NewItemName(texts::kNewValueStem, CurrentKey->Values, &TTandrelValue::ValueName);
  TTandrelValue* value = style == vtString  ? CurrentKey->AddStringValue(name, "")
                         : style == vtDWord ? CurrentKey->AddDWordValue(name, 0)
                                            : CurrentKey->AddBinaryValue(name, "");
  if (!value) return;
  AddNewRow(lvValues, value->ValueName, value, ValueImageIndex(value->Style), value->GetDisplayText());
}

void TfrmRegistry::actRenameKeyExecute() {
  TreeNode node = tvFolders.Selected();
  if (node && tvFolders.Level(node) >= 1) tvFolders.EditLabel(node);
}

bool TfrmRegistry::tvFoldersEditing(TreeNode node) { return node && tvFolders.Level(node) >= 1; }

void TfrmRegistry::tvFoldersEdited(TreeNode node, std::string& text) {
  TTandrelRegKey* key = KeyOf(tvFolders, node);
  if (!key) return;
  key->KeyName = text;
  if (key == CurrentKey) lblPath.SetCaption(key->GetFullPath());
}

void TfrmRegistry::actRenameValueExecute() {
  int row = lvValues.Selected();
  if (row >= 0 && CurrentValue) lvValues.EditLabel(row);
}

bool TfrmRegistry::lvValuesEditing(int index) {
  auto* value = index >= 0 ? static_cast<TTandrelValue*>(lvValues.ItemData(index)) : nullptr;
  return CurrentValue && value && value->Index() > 0;
}

void TfrmRegistry::lvValuesEdited(int index, std::string& text) {
  auto* value = static_cast<TTandrelValue*>(lvValues.ItemData(index));
  if (value) value->ValueName = text;
}

void TfrmRegistry::actDeleteKeyExecute() {
  TreeNode node = tvFolders.Selected();
  if (!node || tvFolders.Level(node) < 1) return;
  if (!ConfirmDelete(texts::kDeleteKey)) return;
  TTandrelRegKey* key = KeyOf(tvFolders, node);
  // Rows and nodes go first: they point into the branch that is freed.
  const bool currentGoes = InBranch(CurrentKey, key);
  if (currentGoes) {
    EmptyView(lvValues);
    CurrentValue = nullptr;
  }
  {
    FlagScope clearing(Clearing);
    UpdateScope<TreeView> update(tvFolders);
    tvFolders.Delete(node);
  }
  if (currentGoes) CurrentKey = nullptr;
  if (key) key->Collection()->Remove(key);
  TreeNode now = tvFolders.Selected();
  SetCurrentKey(now ? KeyOf(tvFolders, now) : nullptr);
  if (!CurrentKey) {
    // Nothing selected: no row may stay behind for a key that is gone.
    EmptyView(lvValues);
    CurrentValue = nullptr;
    lblPath.SetCaption("");
  }
}

void TfrmRegistry::actDeleteValueExecute() {
  int row = lvValues.Selected();
  if (row < 0 || !CurrentValue || CurrentValue->Index() <= 0) return;
  if (!ConfirmDelete(texts::kDeleteValue)) return;
  auto* value = static_cast<TTandrelValue*>(lvValues.ItemData(row));
  CurrentValue = static_cast<TTandrelValue*>(DeleteRow(lvValues, row, value));
}

void TfrmRegistry::actModifyValueExecute() {
  int row = lvValues.Selected();
  if (row < 0 || !CurrentValue) return;
  TTandrelValue* v = CurrentValue;
  switch (v->Style) {
    case vtString: v->StringValue = EditStringValue(v->ValueName, v->StringValue); break;
    case vtDWord: v->IntValue = EditDWordValue(v->ValueName, v->IntValue); break;
    case vtBinary: v->StringValue = EditBinaryValue(v->ValueName, v->StringValue); break;
  }
  lvValues.SetSubItem(row, 1, v->GetDisplayText());
}

void TfrmRegistry::actUninstallKeyExecute() {
  TreeNode node = tvFolders.Selected();
  if (!node || tvFolders.Level(node) < 1 || !CurrentKey) return;
  CurrentKey->UninstallKey = !CurrentKey->UninstallKey;
  tvFolders.Invalidate();
}

LRESULT TfrmRegistry::tvFoldersCustomDrawItem(NMTVCUSTOMDRAW* draw) {
  switch (draw->nmcd.dwDrawStage) {
    case CDDS_PREPAINT: return CDRF_NOTIFYITEMDRAW;
    case CDDS_ITEMPREPAINT: {
      auto node = reinterpret_cast<TreeNode>(draw->nmcd.dwItemSpec);
      if (Clearing || !node || tvFolders.Level(node) < 1) return CDRF_DODEFAULT;
      TTandrelRegKey* key = KeyOf(tvFolders, node);
      if (!key || !key->UninstallKey) return CDRF_DODEFAULT;
      draw->clrText = (draw->nmcd.uItemState & CDIS_SELECTED) ? kUninstallSelected : kUninstall;
      return CDRF_NEWFONT;
    }
    default: return CDRF_DODEFAULT;
  }
}

void TfrmRegistry::mnuExpandClick() { ToggleSelectedNode(tvFolders); }

void TfrmRegistry::UpdateActions() {
  TreeNode node = tvFolders.Selected();
  const bool keyOn = CurrentKey && node;
  const bool sub = keyOn && tvFolders.Level(node) >= 1;
  actDeleteKey->SetEnabled(sub);
  actRenameKey->SetEnabled(sub);
  actUninstallKey->SetEnabled(sub);
  actUninstallKey->SetChecked(sub && CurrentKey->UninstallKey);
  if (keyOn) {
    const bool expanded = tvFolders.Expanded(node);
    mnuExpand->SetCaption(expanded ? texts::kCollapse : texts::kExpand);
    mnuExpand->SetEnabled(tvFolders.FirstChild(node) != nullptr);
  }
  actAddNewKey->SetEnabled(keyOn);
  actNewString->SetEnabled(keyOn);
  actNewBinary->SetEnabled(keyOn);
  actNewDWord->SetEnabled(keyOn);
  const bool valueOn = CurrentValue && lvValues.Selected() >= 0 && CurrentValue->Index() > 0;
  actDeleteValue->SetEnabled(valueOn);
  actRenameValue->SetEnabled(valueOn);
  actModifyValue->SetEnabled(valueOn);
}

bool EditRegistry(TTandrelBaseInstall& Project) {
  return EditSection<TfrmRegistry>(Project, &TTandrelBaseInstall::CompletedRegistry);
}
