#include "builder/editors/SetupIniFiles.h"

#include "base/win/Application.h"
#include "base/win/Dialogs.h"
#include "builder/editors/RegistryLook.h"
#include "builder/editors/RegistryRules.h"
#include "builder/editors/SetupValue.h"
#include "resources/builder_texts.h"

using namespace base::win;

TfrmIniFiles::TfrmIniFiles()
    : SectionEditor(IDD_frmIniFiles, Frame{IDC_INI_btnOk, IDC_INI_btnCancel, IDC_INI_btnHelp, 18, "frmIniFiles"}) {
  Create();
}

TfrmIniFiles::~TfrmIniFiles() {
  // The views are emptied before the objects their rows point to go.
  FormDestroy();
  CurrentFile = nullptr;
  CurrentSection = nullptr;
  CurrentValue = nullptr;
}

void TfrmIniFiles::FormCreate() {
  SectionEditor::FormCreate();
  AddView(tvFiles);
  AddView(lvValues);
  AddSingleTab(PageControl1, texts::kPageIniFiles);
  AddIniImages(ilRegistry);
  tvFiles.SetImageList(ilRegistry.Handle());
  AddValueColumns(lvValues, texts::kColValue);
  BuildActions();
  BuildMenus();

  tvFiles.OnChange([this](TreeNode n) { tvFilesChange(n); });
  tvFiles.OnEditing([this](TreeNode n) { return tvFilesEditing(n); });
  tvFiles.OnEdited([this](TreeNode n, std::string& t) { tvFilesEdited(n, t); });
  BindKeys(tvFiles, {[this] { actNewFileExecute(); }, [this] { actDeleteFileExecute(); }, nullptr, true});
  lvValues.OnChange([this](int i) { lvValuesChange(i); });
  lvValues.OnEdited([this](int i, std::string& t) { lvValuesEdited(i, t); });
  BindKeys(lvValues, {[this] { actNewValueExecute(); }, [this] { actDeleteValueExecute(); },
                     [this] { actModifyValueExecute(); }, true});

}

void TfrmIniFiles::BuildActions() {
  auto add = [this](const char* caption, std::function<void()> run) { return AddAction(ActionList1, caption, run); };
  actNewFile = add(texts::kNewIniFile, [this] { actNewFileExecute(); });
  actNewSection = add(texts::kNewSection, [this] { actNewSectionExecute(); });
  actNewValue = add(texts::kNewIniValue, [this] { actNewValueExecute(); });
  actRenameFile = add(texts::kRename, [this] { actRenameFileExecute(); });
  actDeleteFile = add(texts::kDelete, [this] { actDeleteFileExecute(); });
  actModifyValue = add(texts::kModifyIni, [this] { actModifyValueExecute(); });
  actRenameValue = add(texts::kRename, [this] { actRenameValueExecute(); });
  actDeleteValue = add(texts::kDelete, [this] { actDeleteValueExecute(); });
  actExpand = add(texts::kExpand, [this] { actExpandExecute(); });
  actOK = add(texts::kOK, [this] { btnOkClick(); });
}

void TfrmIniFiles::BuildMenus() {
  auto newItems = [this](MenuItem& parent) {
    MenuItem& sub = parent.Add(texts::kNew);
    sub.Add("").SetAction(actNewFile);
    sub.Add("").SetAction(actNewSection);
    sub.Add("").SetAction(actNewValue);
  };
  popFiles.Add("").SetAction(actExpand);
  newItems(popFiles);
  popFiles.AddSeparator();
  popFiles.Add("").SetAction(actDeleteFile);
  popFiles.Add("").SetAction(actRenameFile);
  popFiles.Attach(*this, IDC_INI_tvFiles);

  popValues.Add("").SetAction(actModifyValue);
  newItems(popValues);
  popValues.AddSeparator();
  popValues.Add("").SetAction(actDeleteValue);
  popValues.Add("").SetAction(actRenameValue);
  popValues.Attach(*this, IDC_INI_lvValues);
}

void TfrmIniFiles::FormShow() {
  SectionEditor::FormShow();
  FillTree();
}

void TfrmIniFiles::FillTree() {
  UpdateScope<TreeView> update(tvFiles);
  FlagScope filling(Filling);
  for (TTandrelIniFile* file : WorkingCopy->IniFiles) {
    TreeNode node = tvFiles.Add(nullptr, file->FileName, file, 0, 0);
    for (TTandrelIniSection* section : file->Sections) tvFiles.Add(node, section->SectionName, section, 1, 1);
  }
}

void TfrmIniFiles::SetCurrentFile(TTandrelIniFile* file) {
  if (file != CurrentFile) CurrentFile = file;
  SetCurrentSection(nullptr);
  CurrentValue = nullptr;
}

void TfrmIniFiles::SetCurrentSection(TTandrelIniSection* section) {
  if (section != CurrentSection) {
    CurrentSection = section;
    FillValues();
  }
  CurrentValue = nullptr;
}

void TfrmIniFiles::FillValues() {
  {
    UpdateScope<ListView> update(lvValues);
    FlagScope filling(Filling);
    EmptyView(lvValues);
    if (CurrentSection)
      for (TTandrelIniValue* v : CurrentSection->Values) {
        int row = lvValues.AddItem(v->ValueName, v);
        lvValues.SetSubItem(row, 1, v->Value);
      }
  }
  CurrentValue = nullptr;
}

void TfrmIniFiles::tvFilesChange(TreeNode node) {
  if (!TakesChange(tvFiles, node)) return;
  if (tvFiles.Level(node) >= 1) {
    SetCurrentFile(static_cast<TTandrelIniFile*>(tvFiles.NodeData(tvFiles.Parent(node))));
    SetCurrentSection(static_cast<TTandrelIniSection*>(tvFiles.NodeData(node)));
  } else {
    EmptyView(lvValues);
    SetCurrentFile(static_cast<TTandrelIniFile*>(tvFiles.NodeData(node)));
  }
}

void TfrmIniFiles::lvValuesChange(int index) {
  if (!TakesChange(lvValues, index)) return;
  CurrentValue = static_cast<TTandrelIniValue*>(lvValues.ItemData(index));
}

bool TfrmIniFiles::FixedFileNode(TreeNode node) const {
  return node && tvFiles.Level(node) == 0 && IsFixedIniFile(tvFiles.NodeText(node));
}

void TfrmIniFiles::actNewFileExecute() {
  TTandrelIniFile* file =
      WorkingCopy->AddIniFile(NewItemName(texts::kNewIniFileStem, WorkingCopy->IniFiles, &TTandrelIniFile::FileName, ".ini"));
  AddNewNode(tvFiles, nullptr, file->FileName, file, 0, 0);
}

void TfrmIniFiles::actNewSectionExecute() {
  TreeNode selected = tvFiles.Selected();
  if (!CurrentFile || !selected) return;
  TTandrelIniSection* section =
      CurrentFile->AddSection(NewItemName(texts::kNewSectionStem, CurrentFile->Sections, &TTandrelIniSection::SectionName));
  TreeNode parent = tvFiles.Level(selected) == 0 ? selected : tvFiles.Parent(selected);
  AddNewNode(tvFiles, parent, section->SectionName, section, 1, 1);
}

void TfrmIniFiles::actNewValueExecute() {
  if (!CurrentSection) return;
  TTandrelIniValue* value =
      CurrentSection->AddValue(NewItemName(texts::kNewValueStem, CurrentSection->Values, &TTandrelIniValue::ValueName));
  AddNewRow(lvValues, value->ValueName, value, -1, value->Value);
}

void TfrmIniFiles::actRenameFileExecute() {
  TreeNode node = tvFiles.Selected();
  if (node && !FixedFileNode(node)) tvFiles.EditLabel(node);
}

bool TfrmIniFiles::tvFilesEditing(TreeNode node) { return node && !FixedFileNode(node); }

void TfrmIniFiles::tvFilesEdited(TreeNode node, std::string& text) {
  void* data = tvFiles.NodeData(node);
  if (!data) return;
  if (tvFiles.Level(node) >= 1) static_cast<TTandrelIniSection*>(data)->SectionName = text;
  else static_cast<TTandrelIniFile*>(data)->FileName = text;
}

void TfrmIniFiles::actRenameValueExecute() {
  int row = lvValues.Selected();
  if (row >= 0 && CurrentValue) lvValues.EditLabel(row);
}

void TfrmIniFiles::lvValuesEdited(int index, std::string& text) {
  auto* value = static_cast<TTandrelIniValue*>(lvValues.ItemData(index));
  if (value) value->ValueName = text;
}

void TfrmIniFiles::actDeleteFileExecute() {
  TreeNode node = tvFiles.Selected();
  if (!node || FixedFileNode(node)) return;
  if (!ConfirmDelete(texts::kDeleteItem)) return;
  const bool isSection = tvFiles.Level(node) >= 1;
  void* data = tvFiles.NodeData(node);
  // The entry list and the nodes go before the file or section they point into.
  EmptyView(lvValues);
  CurrentValue = nullptr;
  CurrentSection = nullptr;
  CurrentFile = nullptr;
  {
    FlagScope clearing(Clearing);
    UpdateScope<TreeView> update(tvFiles);
    tvFiles.Delete(node);
  }
  if (data) {
    auto* item = isSection ? static_cast<base::CollectionItem*>(static_cast<TTandrelIniSection*>(data))
                           : static_cast<base::CollectionItem*>(static_cast<TTandrelIniFile*>(data));
    item->Collection()->Remove(item);
  }
  TreeNode now = tvFiles.Selected();
  if (now && tvFiles.NodeData(now)) tvFilesChange(now);
}

void TfrmIniFiles::actDeleteValueExecute() {
  int row = lvValues.Selected();
  if (row < 0) return;
  if (!ConfirmDelete(texts::kDeleteValue)) return;
  auto* value = static_cast<TTandrelIniValue*>(lvValues.ItemData(row));
  CurrentValue = static_cast<TTandrelIniValue*>(DeleteRow(lvValues, row, value));
}

void TfrmIniFiles::actModifyValueExecute() {
  int row = lvValues.Selected();
  auto* value = row >= 0 ? static_cast<TTandrelIniValue*>(lvValues.ItemData(row)) : nullptr;
  if (!value) return;
  value->Value = EditIniValue(value->ValueName, value->Value);
  lvValues.SetSubItem(row, 1, value->Value);
}

void TfrmIniFiles::actExpandExecute() { ToggleSelectedNode(tvFiles); }

void TfrmIniFiles::UpdateActions() {
  TreeNode node = tvFiles.Selected();
  actNewValue->SetEnabled(CurrentSection != nullptr);
  actRenameFile->SetEnabled(node && !FixedFileNode(node));
  actDeleteFile->SetEnabled(node && !FixedFileNode(node));
  if (node) {
    actExpand->SetCaption(tvFiles.Expanded(node) ? texts::kCollapse : texts::kExpand);
    actExpand->SetEnabled(tvFiles.FirstChild(node) != nullptr);
  }
  const bool row = lvValues.Selected() >= 0;
  actModifyValue->SetEnabled(row);
  actDeleteValue->SetEnabled(row);
  actRenameValue->SetEnabled(row);
}

bool EditIniFiles(TTandrelBaseInstall& Project) {
  return EditSection<TfrmIniFiles>(Project, &TTandrelBaseInstall::CompletedIni);
}
