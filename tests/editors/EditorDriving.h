// Driving the registry, INI files and shortcuts editors from a test: the project's saved
// bytes, keys as the views take them, label edits, the idle update, the value dialog, the
// ways out that keep the project as it was.
#pragma once
#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "base/win/ListView.h"
#include "base/win/TestSeams.h"
#include "base/win/TreeView.h"
#include "builder/editors/SetupValue.h"
#include "setup/model/InstClasses.h"
#include "tests/harness/FormDriver.h"

namespace edtest {

using Bytes = std::vector<uint8_t>;

inline Bytes Saved(const TTandrelBaseInstall& p) { return p.SaveToBytes(); }

// A key press as the view's key handler takes it (Alt+Enter as the system key).
inline void Key(HWND view, UINT key, bool alt = false) {
  if (alt) SendMessageA(view, WM_SYSKEYDOWN, key, 1 | (1 << 29));
  else SendMessageA(view, WM_KEYDOWN, key, 1);
}

// Ends the label edit that is open with this text, as Enter would.
template <class View>
bool FinishEdit(const View& view, const std::string& text) {
  HWND edit = view.EditControl();
  if (!edit) return false;
  SetWindowTextA(edit, text.c_str());
  view.EndEdit(false);
  return true;
}

// A double click on a list view's item. Only the second click's message: a button-down
// sent alone would wait in the view's drag detection for a release that never comes.
inline void DoubleClick(const base::win::ListView& view, int index) {
  POINT p = view.ItemCenter(index);
  SendMessageA(view.Handle(), WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(p.x, p.y));
}

inline std::vector<std::string> Texts(const base::win::ListView& view, int column = 0) {
  std::vector<std::string> t;
  for (int i = 0; i < view.Count(); ++i) t.push_back(view.ItemText(i, column));
  return t;
}

inline std::vector<std::string> ChildTexts(const base::win::TreeView& tree, base::win::TreeNode node) {
  std::vector<std::string> t;
  for (base::win::TreeNode n : tree.Children(node)) t.push_back(tree.NodeText(n));
  return t;
}

// The row alone selected.
inline void SelectRow(const base::win::ListView& view, int row) {
  view.ClearSelection();
  view.Select(row);
}

// A value typed into the dialog that the next Alt+Enter, double click or Modify opens.
inline void AnswerValueDialog(const std::string& typed, std::string* caption = nullptr) {
  base::win::seams::WhenShown<TfrmRegValue>([typed, caption](TfrmRegValue& d) {
    if (caption) *caption = d.Caption();
    wintest::Type(d.edtData.Handle(), typed);
    wintest::Click(d.btnOk.Handle());
  });
}

// Every message a test answered, by its text.
inline std::vector<std::string> MessageTexts() {
  std::vector<std::string> t;
  for (const auto& m : base::win::seams::Messages()) t.push_back(m.Text);
  return t;
}

// Arms the seams for a test and checks that every script ran.
class EditorTest : public ::testing::Test {
protected:
  void SetUp() override {
    base::win::seams::Reset();
    base::win::seams::Arm();
  }
  void TearDown() override {
    EXPECT_EQ(base::win::seams::PendingScripts(), 0) << "a form never showed";
    base::win::seams::Reset();
  }
  base::win::seams::Watchdog dog{60, "editor"};
};

// A section editor's fixture: the project p and the editor's entry on it.
template <class TForm, bool (*Entry)(TTandrelBaseInstall&)>
class EditorFixture : public EditorTest {
protected:
  // Runs the editor on p with the script inside it; the entry's result.
  bool Run(std::function<void(TForm&)> script) {
    base::win::seams::WhenShown<TForm>(std::move(script));
    return Entry(p);
  }
  // Cancel, Esc in `view` and the close box, each after `changes` in a run of its own:
  // every run ends false and leaves the project's bytes and Modified as they were.
  template <class View>
  void ExpectEveryWayOutLeaves(View TForm::*view, std::function<void(TForm&)> changes) {
    const Bytes before = Saved(p);
    const std::function<void(TForm&)> leave[] = {
        [](TForm& f) { wintest::Click(f.btnCancel.Handle()); },
        [view](TForm& f) { wintest::PostKey(VK_ESCAPE, (f.*view).Handle()); },
        [](TForm& f) { wintest::CloseByTitleBar(f.Handle()); },
    };
    int way = 0;
    for (const auto& how : leave) {
      const bool ok = Run([&](TForm& f) {
        changes(f);
        how(f);
      });
      EXPECT_FALSE(ok) << "way " << way;
      EXPECT_EQ(Saved(p), before) << "way " << way;
      EXPECT_FALSE(p.Modified);
      ++way;
    }
  }

  TTandrelBaseInstall p;
};

}  // namespace edtest
