// What every section editor of the builder does the same way: it edits a working copy of
// the project, made when the form is created and filled from the project by the entry;
// OK runs the editor's own preparation, assigns the copy back and ends with mrOk; Cancel,
// Esc and the close box leave the project as it was. While a view is emptied or filled
// its change handlers do nothing (Clearing, Filling); while a label edit runs, OK and
// Cancel are neither the default nor the cancel button and the actions are disabled.
// Views are emptied before the objects their items point to go.
#pragma once
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "base/win/Actions.h"
#include "base/win/Form.h"
#include "base/win/ListView.h"
#include "base/win/TreeView.h"
#include "setup/model/InstClasses.h"

class SectionEditor : public base::win::Form {
public:
  struct Frame {
    int ok = 0, cancel = 0, help = 0;
    int helpContext = 0;
    std::string formName;  // the window position is kept under this name
  };
  SectionEditor(int templateId, Frame frame);
  ~SectionEditor() override;

  TTandrelBaseInstall* Project = nullptr;           // the edited project, not owned
  std::unique_ptr<TTandrelBaseInstall> WorkingCopy;  // made in FormCreate
  bool Editing = false;
  bool Clearing = false;
  bool Filling = false;
  bool ChangesIgnored() const { return Clearing || Filling; }

  // The idle update (whenever the application is idle, and whenever a test wants it):
  // the editing state from the views, then the editor's own action states.
  void ActionListUpdate();
  void SetEditing(bool value);
  bool AnyViewEditing() const;

  void btnOkClick();
  void btnCancelClick();
  void btnHelpClick();

  // Sets a flag for a block, also when it leaves by an exception.
  class FlagScope {
  public:
    explicit FlagScope(bool& flag) : flag_(flag), old_(flag) { flag_ = true; }
    ~FlagScope() { flag_ = old_; }
    FlagScope(const FlagScope&) = delete;
    FlagScope& operator=(const FlagScope&) = delete;

  private:
    bool& flag_;
    bool old_;
  };
  // BeginUpdate for a block.
  template <class View>
  class UpdateScope {
  public:
    explicit UpdateScope(const View& view) : view_(view) { view_.BeginUpdate(); }
    ~UpdateScope() { view_.EndUpdate(); }
    UpdateScope(const UpdateScope&) = delete;
    UpdateScope& operator=(const UpdateScope&) = delete;

  private:
    const View& view_;
  };

  // Keys of a view; an empty handler does nothing. Rename true: F2 edits the selected
  // label.
  struct ViewKeys {
    std::function<void()> Insert, Delete, Properties;
    bool Rename = false;
  };

protected:
  // Editors call these first from their own overrides.
  void FormCreate() override;
  void FormShow() override;
  void FormClose() override;
  // Empties every view, then frees the working copy; editors call it first in their own
  // destructor, before anything their views point to goes. Repeating it does nothing.
  void FormDestroy();

  // The editor's own preparation before the working copy goes back to the project;
  // false keeps the editor open and the project as it was.
  virtual bool PrepareOk() { return true; }
  // The editor's action states; runs at every idle update.
  virtual void UpdateActions() {}

  // Views take part in the editing state and in FormDestroy.
  void AddView(const base::win::TreeView& view);
  void AddView(const base::win::ListView& view);
  // BeginUpdate, Clearing, clear, Clearing reset, EndUpdate.
  void EmptyView(const base::win::TreeView& view);
  void EmptyView(const base::win::ListView& view);
  void EmptyViews();

  void BindKeys(const base::win::TreeView& view, ViewKeys keys);
  void BindKeys(const base::win::ListView& view, ViewKeys keys);

  // Whether a view's change handler acts: not while a view is emptied or filled, and only
  // for the selected item that carries data.
  bool TakesChange(const base::win::TreeView& view, base::win::TreeNode node) const;
  bool TakesChange(const base::win::ListView& view, int index) const;
  // A new item's node or row (with its text in the second column), added while Filling,
  // then selected and focused with its label in edit.
  base::win::TreeNode AddNewNode(const base::win::TreeView& view, base::win::TreeNode parent,
                                 const std::string& text, void* data, int image, int selectedImage);
  int AddNewRow(const base::win::ListView& view, const std::string& caption, void* data, int image,
                const std::string& second);
  // The row goes while Clearing, then the item it showed; the data of the row selected
  // afterwards, or null.
  void* DeleteRow(const base::win::ListView& view, int row, base::CollectionItem* item);

private:
  Frame frame_;
  bool destroyed_ = false;
  std::vector<std::function<bool()>> editingProbes_;
  std::vector<std::function<void()>> emptiers_;
};

// An action of the list that runs `run`.
base::win::Action* AddAction(base::win::ActionList& list, const char* caption, std::function<void()> run);
// Yes in the confirmation box with this question.
bool ConfirmDelete(const char* question);
// Expands the selected node, or collapses it when it is expanded.
void ToggleSelectedNode(const base::win::TreeView& view);

// The entry of an editor: the form (whose constructor creates its window, and so its
// working copy), the project copied in, the modal run; on OK the section's completed flag
// and Modified are set. The form is freed however the run ends. True on OK.
template <class TEditor>
bool EditSection(TTandrelBaseInstall& project, bool TTandrelBaseInstall::*completed) {
  bool ok;
  {
    auto form = std::make_unique<TEditor>();
    form->Project = &project;
    form->WorkingCopy->Assign(project);
    ok = form->ShowModal() == base::win::mrOk;
  }
  if (ok) {
    project.*completed = true;
    project.Modified = true;
  }
  return ok;
}
