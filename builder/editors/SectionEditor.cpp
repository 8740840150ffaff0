#include "builder/editors/SectionEditor.h"

#include "base/win/Application.h"
#include "base/win/Dialogs.h"
#include "builder/common/BuilderSettings.h"

using namespace base::win;

SectionEditor::SectionEditor(int templateId, Frame frame) : Form(templateId), frame_(std::move(frame)) {}

SectionEditor::~SectionEditor() { FormDestroy(); }

void SectionEditor::FormCreate() {
  WorkingCopy = std::make_unique<TTandrelBaseInstall>();
  if (frame_.ok) OnClick(frame_.ok, [this] { btnOkClick(); });
  if (frame_.cancel) OnClick(frame_.cancel, [this] { btnCancelClick(); });
  if (frame_.help) OnClick(frame_.help, [this] { btnHelpClick(); });
  SetDefaultButton(frame_.ok);
  SetCancelButton(frame_.cancel);
  App().AddIdleHandler(this, [this] { ActionListUpdate(); });
}

void SectionEditor::FormShow() {
  if (!frame_.formName.empty()) RestoreFormPosition(Handle(), frame_.formName);
}

void SectionEditor::FormClose() {
  if (!frame_.formName.empty()) SaveFormPosition(Handle(), frame_.formName);
}

void SectionEditor::FormDestroy() {
  if (destroyed_) return;
  destroyed_ = true;
  App().RemoveIdleHandler(this);
  if (Created()) EmptyViews();
  WorkingCopy.reset();
}

void SectionEditor::btnOkClick() {
  if (!PrepareOk()) return;
  if (Project && WorkingCopy) Project->Assign(*WorkingCopy);
  SetModalResult(mrOk);
}

void SectionEditor::btnCancelClick() { SetModalResult(mrCancel); }

void SectionEditor::btnHelpClick() { App().HelpContext(frame_.helpContext); }

bool SectionEditor::AnyViewEditing() const {
  for (const auto& probe : editingProbes_)
    if (probe()) return true;
  return false;
}

void SectionEditor::ActionListUpdate() {
  if (destroyed_) return;
  SetEditing(AnyViewEditing());
  UpdateActions();
}

void SectionEditor::SetEditing(bool value) {
  if (value == Editing) return;
  Editing = value;
  if (value) {
    SetDefaultButton(0);
    SetCancelButton(0);
  } else {
    SetDefaultButton(frame_.ok);
    SetCancelButton(frame_.cancel);
  }
}

void SectionEditor::AddView(const TreeView& view) {
  TreeView v = view;
  editingProbes_.push_back([v] { return v.IsEditing(); });
  emptiers_.push_back([this, v] { EmptyView(v); });
}

void SectionEditor::AddView(const ListView& view) {
  ListView v = view;
  editingProbes_.push_back([v] { return v.IsEditing(); });
  emptiers_.push_back([this, v] { EmptyView(v); });
}

void SectionEditor::EmptyView(const TreeView& view) {
  UpdateScope<TreeView> update(view);
  FlagScope clearing(Clearing);
  view.Clear();
}

void SectionEditor::EmptyView(const ListView& view) {
  UpdateScope<ListView> update(view);
  FlagScope clearing(Clearing);
  view.Clear();
}

void SectionEditor::EmptyViews() {
  for (const auto& empty : emptiers_) empty();
}

namespace {
template <class View, class EditSelected>
void HookKeys(const View& view, SectionEditor::ViewKeys keys, EditSelected editSelected) {
  view.OnKeyDown([keys, editSelected](UINT key, bool alt) {
    if (alt) {
      if (key == VK_RETURN && keys.Properties) keys.Properties();
      return false;
    }
    switch (key) {
      case VK_INSERT: if (keys.Insert) keys.Insert(); break;
      case VK_DELETE: if (keys.Delete) keys.Delete(); break;
      case VK_F2: if (keys.Rename) editSelected(); break;
      default: break;
    }
    return false;
  });
}
}  // namespace

void SectionEditor::BindKeys(const TreeView& view, ViewKeys keys) {
  TreeView v = view;
  HookKeys(view, std::move(keys), [v] {
    if (TreeNode n = v.Selected()) v.EditLabel(n);
  });
}

void SectionEditor::BindKeys(const ListView& view, ViewKeys keys) {
  ListView v = view;
  HookKeys(view, std::move(keys), [v] {
    int i = v.Selected();
    if (i >= 0) v.EditLabel(i);
  });
}

bool SectionEditor::TakesChange(const TreeView& view, TreeNode node) const {
  return !ChangesIgnored() && node && view.NodeData(node) && view.Selected() == node;
}

bool SectionEditor::TakesChange(const ListView& view, int index) const {
  return !ChangesIgnored() && index >= 0 && view.ItemData(index) && view.IsSelected(index);
}

TreeNode SectionEditor::AddNewNode(const TreeView& view, TreeNode parent, const std::string& text, void* data,
                                   int image, int selectedImage) {
  TreeNode node;
  {
    UpdateScope<TreeView> update(view);
    FlagScope filling(Filling);
    node = view.Add(parent, text, data, image, selectedImage);
  }
  view.Select(node);
  view.Focus();
  view.EditLabel(node);
  return node;
}

int SectionEditor::AddNewRow(const ListView& view, const std::string& caption, void* data, int image,
                             const std::string& second) {
  int row;
  {
    FlagScope filling(Filling);
    row = view.AddItem(caption, data, image);
    view.SetSubItem(row, 1, second);
  }
  view.ClearSelection();
  view.Select(row);
  view.Focus();
  view.EditLabel(row);
  return row;
}

void* SectionEditor::DeleteRow(const ListView& view, int row, base::CollectionItem* item) {
  {
    FlagScope clearing(Clearing);
    UpdateScope<ListView> update(view);
    view.Delete(row);
  }
  if (item) item->Collection()->Remove(item);
  int now = view.Selected();
  return now >= 0 ? view.ItemData(now) : nullptr;
}

Action* AddAction(ActionList& list, const char* caption, std::function<void()> run) {
  Action& a = list.Add(caption, "");
  a.OnExecute = [run](Action&) { run(); };
  return &a;
}

bool ConfirmDelete(const char* question) {
  return MessageDlg(question, MsgDlgType::Confirmation, mbYesNo, 0) == mrYes;
}

void ToggleSelectedNode(const TreeView& view) {
  TreeNode node = view.Selected();
  if (node) view.Expand(node, !view.Expanded(node));
}
