// The views of the window layer under Wine, driven through their test entry points and
// the messages a user's keys and mouse send: tree and list views (data, images, state
// images, selection, label edits refused and accepted, hit tests, update nesting, the
// filling last column, custom colours), the splitter, drags inside a form, the check
// list box and the radio group.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include "base/win/Application.h"
#include "base/win/CheckListBox.h"
#include "base/win/Drag.h"
#include "base/win/ListView.h"
#include "base/win/RadioGroup.h"
#include "base/win/Splitter.h"
#include "base/win/TestSeams.h"
#include "base/win/TreeView.h"
#include "tests/base/fixtures/views_forms.rh"
#include "tests/harness/FormDriver.h"

using namespace base::win;

namespace {

class ViewsForm : public Form {
public:
  ViewsForm() : Form(IDD_VIEWS) { Create(); }

  TreeView tvNodes{*this, IDC_VW_tvNodes};
  ListView lvItems{*this, IDC_VW_lvItems};
  Splitter splMain{*this, IDC_VW_splMain};
  CheckListBox clbChoices{*this, IDC_VW_clbChoices};
  RadioGroup rgChoice{*this, IDC_VW_gbRadio, {IDC_VW_rbFirst, IDC_VW_rbSecond, IDC_VW_rbThird}};
  Drag drag{*this};

  std::vector<TreeNode> treeChanges;
  std::vector<int> listChanges;
  bool allowEdit = true;
  std::vector<std::string> edited;
  std::vector<std::pair<UINT, bool>> keys;
  int radioClicks = 0, colorCalls = 0;
  std::vector<std::string> drops;

protected:
  void FormCreate() override {
    ModalButton(IDC_VW_btnOk, mrOk);
    ModalButton(IDC_VW_btnCancel, mrCancel);
    SetDefaultButton(IDC_VW_btnOk);
    SetCancelButton(IDC_VW_btnCancel);
    tvNodes.OnChange([this](TreeNode n) { treeChanges.push_back(n); });
    tvNodes.OnEditing([this](TreeNode) { return allowEdit; });
    tvNodes.OnEdited([this](TreeNode, std::string& text) {
      edited.push_back(text);
      if (text == "shout") text = "SHOUT";
    });
    tvNodes.OnKeyDown([this](UINT key, bool alt) {
      keys.emplace_back(key, alt);
      return false;
    });
    lvItems.SetRowSelect();
    lvItems.AddColumn("Name", 80);
    lvItems.AddColumn("Size", 50, true);
    lvItems.AddColumn("Rest", 10);
    lvItems.SetFillLastColumn();
    lvItems.OnChange([this](int i) {
      if (lvItems.IsSelected(i)) listChanges.push_back(i);
    });
    lvItems.OnEditing([this](int) { return allowEdit; });
    lvItems.OnEdited([this](int, std::string& text) { edited.push_back(text); });
    lvItems.OnItemColors([this](int index, COLORREF& text, COLORREF&) {
      ++colorCalls;
      if (index == 0) text = RGB(255, 0, 0);
      return index == 0;
    });
    splMain.Attach({IDC_VW_lblLeft, IDC_VW_tvNodes}, {IDC_VW_lblRight, IDC_VW_lvItems}, 40);
    clbChoices.Setup();
    rgChoice.OnClick([this] { ++radioClicks; });
    drag.AddSource(tvNodes);
    drag.AddSource(lvItems);
    // The list takes nodes that carry data; the tree takes list items over any node.
    drag.AddTarget(lvItems,
                   [this](HWND source, POINT p) { return source == tvNodes.Handle() && lvItems.ItemAt(p) >= 0; },
                   [this](HWND, POINT p) { drops.push_back("list " + std::to_string(lvItems.ItemAt(p))); });
    drag.AddTarget(tvNodes,
                   [this](HWND source, POINT p) { return source == lvItems.Handle() && tvNodes.NodeAt(p) != nullptr; },
                   [this](HWND, POINT p) { drops.push_back("tree " + tvNodes.NodeText(tvNodes.NodeAt(p))); });
  }
};

class Views : public ::testing::Test {
protected:
  void SetUp() override {
    seams::Reset();
    form = std::make_unique<ViewsForm>();
    form->ShowModeless();
    wintest::Pump(20);
  }
  void TearDown() override {
    form.reset();
    seams::Reset();
  }
  seams::Watchdog dog{30, "views test"};
  std::unique_ptr<ViewsForm> form;
  int a = 1, b = 2, c = 3;
};

TEST_F(Views, TreeNodesCarryDataImagesAndLevels) {
  TreeView& tv = form->tvNodes;
  TreeNode first = tv.Add(nullptr, "First", &a, 0, 1);
  TreeNode child = tv.Add(first, "Child", &b, 3);
  TreeNode second = tv.Add(nullptr, "Second", &c);
  EXPECT_EQ(tv.Count(), 3);
  EXPECT_EQ(tv.NodeData(child), &b);
  EXPECT_EQ(tv.NodeImage(first), 0);
  EXPECT_EQ(tv.NodeSelectedImage(first), 1);
  EXPECT_EQ(tv.NodeSelectedImage(child), 3) << "the selected image follows the image when not given";
  EXPECT_EQ(tv.Level(child), 1);
  EXPECT_EQ(tv.Level(second), 0);
  EXPECT_EQ(tv.Parent(child), first);
  EXPECT_EQ(tv.Children(nullptr), (std::vector<TreeNode>{first, second}));
  EXPECT_EQ(tv.AllNodes(), (std::vector<TreeNode>{first, child, second}));
  EXPECT_EQ(tv.FindData(&c), second);
  EXPECT_EQ(tv.FindData(nullptr), nullptr);
  tv.SetStateImage(second, 2);
  EXPECT_EQ(tv.StateImage(second), 2);
  EXPECT_EQ(tv.StateImage(first), 0);
  tv.SetNodeText(second, "Renamed");
  EXPECT_EQ(tv.NodeText(second), "Renamed");

  EXPECT_FALSE(tv.Expanded(first));
  tv.Expand(first);
  EXPECT_TRUE(tv.Expanded(first));
  tv.DeleteChildren(first);
  EXPECT_EQ(tv.Count(), 2);
  EXPECT_EQ(tv.FirstChild(first), nullptr);
}

TEST_F(Views, TreeSelectionHitTestAndUpdateNesting) {
  TreeView& tv = form->tvNodes;
  TreeNode first = tv.Add(nullptr, "First", &a);
  TreeNode second = tv.Add(nullptr, "Second", &b);
  form->treeChanges.clear();
  tv.Select(second);
  EXPECT_EQ(tv.Selected(), second);
  EXPECT_EQ(form->treeChanges, (std::vector<TreeNode>{second}));
  EXPECT_EQ(tv.NodeAt(tv.NodeCenter(first)), first);
  EXPECT_EQ(tv.NodeAt(POINT{5, 110 * 2}), nullptr) << "below the last node";

  tv.BeginUpdate();
  tv.BeginUpdate();
  tv.EndUpdate();
  EXPECT_TRUE(tv.Updating()) << "pairs nest";
  tv.EndUpdate();
  EXPECT_FALSE(tv.Updating());
  // Deleting the selected node moves the selection, and the handler hears of it.
  form->treeChanges.clear();
  tv.Delete(second);
  EXPECT_EQ(tv.Selected(), first);
  EXPECT_FALSE(form->treeChanges.empty());
}

TEST_F(Views, TreeLabelEditRefusedAcceptedAndCancelled) {
  TreeView& tv = form->tvNodes;
  TreeNode node = tv.Add(nullptr, "Old", &a);
  tv.Select(node);

  form->allowEdit = false;
  EXPECT_EQ(tv.EditLabel(node), nullptr);
  EXPECT_FALSE(tv.IsEditing());

  form->allowEdit = true;
  HWND edit = tv.EditLabel(node);
  ASSERT_NE(edit, nullptr);
  EXPECT_TRUE(tv.IsEditing());
  SetWindowTextA(edit, "New");
  tv.EndEdit(false);
  EXPECT_FALSE(tv.IsEditing());
  EXPECT_EQ(form->edited, (std::vector<std::string>{"New"}));
  EXPECT_EQ(tv.NodeText(node), "New");

  // Cancelled through the entry point: no handler, the text stays.
  form->edited.clear();
  edit = tv.EditLabel(node);
  ASSERT_NE(edit, nullptr);
  SetWindowTextA(edit, "Dropped");
  tv.EndEdit(true);
  EXPECT_FALSE(tv.IsEditing());
  EXPECT_TRUE(form->edited.empty());
  EXPECT_EQ(tv.NodeText(node), "New");

  // The handler's change of the text is what the node shows.
  edit = tv.EditLabel(node);
  SetWindowTextA(edit, "shout");
  wintest::PostKey(VK_RETURN, edit);
  wintest::PumpUntil([&tv] { return !tv.IsEditing(); });
  EXPECT_FALSE(tv.IsEditing());
  EXPECT_EQ(tv.NodeText(node), "SHOUT");

  // Esc in the edit box: no handler, the text stays.
  form->edited.clear();
  edit = tv.EditLabel(node);
  SetWindowTextA(edit, "Lost");
  wintest::PostKey(VK_ESCAPE, edit);
  wintest::PumpUntil([&tv] { return !tv.IsEditing(); });
  wintest::Pump(30);
  EXPECT_FALSE(tv.IsEditing());
  EXPECT_TRUE(form->edited.empty());
  EXPECT_EQ(tv.NodeText(node), "SHOUT");
  EXPECT_EQ(form->ModalResult(), mrNone) << "Esc ended the edit, not the form";
}

TEST_F(Views, ViewKeysReachTheHandlerAltEnterToo) {
  TreeView& tv = form->tvNodes;
  tv.Select(tv.Add(nullptr, "Node", &a));
  tv.Focus();
  wintest::PostKey(VK_INSERT, tv.Handle());
  wintest::PostKey(VK_F2, tv.Handle());
  PostMessageA(tv.Handle(), WM_SYSKEYDOWN, VK_RETURN, 1 | (1 << 29));
  wintest::Pump(40);
  using K = std::pair<UINT, bool>;
  EXPECT_EQ(form->keys, (std::vector<K>{{VK_INSERT, false}, {VK_F2, false}, {VK_RETURN, true}}));
  EXPECT_EQ(form->ModalResult(), mrNone) << "Alt+Enter is the view's, not the default button's";
}

TEST_F(Views, ListReportItemsSubItemsImagesAndMultipleSelection) {
  ListView& lv = form->lvItems;
  EXPECT_EQ(lv.Style(), ViewStyle::Report);
  int i0 = lv.AddItem("zero", &a, 5);
  int i1 = lv.AddItem("one", &b);
  int i2 = lv.AddItem("two", &c, 7);
  lv.SetSubItem(i1, 1, "12KB");
  EXPECT_EQ(lv.ItemText(i1, 1), "12KB");
  EXPECT_EQ(lv.ItemImage(i0), 5);
  EXPECT_EQ(lv.ItemImage(i2), 7);
  EXPECT_EQ(lv.IndexOfData(&c), 2);
  EXPECT_EQ(lv.IndexOfData(nullptr), -1);
  lv.SetItemData(i0, &c);
  EXPECT_EQ(lv.IndexOfData(&c), 0) << "the first item with that data";
  lv.SetStateImage(i1, 3);
  EXPECT_EQ(lv.StateImage(i1), 3);
  lv.SetStateImage(i1, 0);
  EXPECT_EQ(lv.StateImage(i1), 0);

  form->listChanges.clear();
  lv.SetSelected(i0, true);
  lv.SetSelected(i2, true);
  EXPECT_EQ(lv.SelCount(), 2);
  EXPECT_EQ(lv.SelectedIndices(), (std::vector<int>{0, 2}));
  EXPECT_EQ(form->listChanges, (std::vector<int>{0, 2}));
  lv.ClearSelection();
  EXPECT_EQ(lv.SelCount(), 0);
  EXPECT_EQ(lv.ItemAt(lv.ItemCenter(i1)), i1);
  EXPECT_EQ(lv.ItemAt(POINT{5, 1000}), -1);

  lv.SetViewStyle(ViewStyle::Icon);
  EXPECT_EQ(lv.Style(), ViewStyle::Icon);
  lv.SetViewStyle(ViewStyle::Report);
  lv.Delete(i0);
  EXPECT_EQ(lv.Count(), 2);
  EXPECT_EQ(lv.ItemText(0), "one");
}

TEST_F(Views, ListLastColumnFillsTheRestAndFollowsTheWidth) {
  ListView& lv = form->lvItems;
  RECT r = lv.ClientRect();
  EXPECT_EQ(lv.ColumnWidth(2), r.right - 80 - 50);
  lv.SetBounds(lv.Left(), lv.Top(), lv.Width() + 60, lv.Height());
  r = lv.ClientRect();
  EXPECT_EQ(lv.ColumnWidth(2), r.right - 80 - 50);
}

TEST_F(Views, ListLabelEditAndCustomColours) {
  ListView& lv = form->lvItems;
  int i = lv.AddItem("name", &a);
  form->allowEdit = false;
  EXPECT_EQ(lv.EditLabel(i), nullptr);
  form->allowEdit = true;
  HWND edit = lv.EditLabel(i);
  ASSERT_NE(edit, nullptr);
  EXPECT_TRUE(lv.IsEditing());
  SetWindowTextA(edit, "renamed");
  lv.EndEdit(false);
  EXPECT_FALSE(lv.IsEditing());
  EXPECT_EQ(form->edited, (std::vector<std::string>{"renamed"}));
  EXPECT_EQ(lv.ItemText(i), "renamed");

  form->colorCalls = 0;
  lv.Invalidate();
  lv.Update();
  EXPECT_GT(form->colorCalls, 0);
}

TEST_F(Views, DragFromTreeDropsOnAnAcceptingItem) {
  TreeView& tv = form->tvNodes;
  ListView& lv = form->lvItems;
  tv.Select(tv.Add(nullptr, "Node", &a));
  lv.AddItem("zero", &b);
  lv.AddItem("one", &c);

  form->drag.Start(tv.Handle());
  EXPECT_TRUE(form->drag.Dragging());
  EXPECT_FALSE(form->drag.MoveTo(lv.Handle(), POINT{5, 1000})) << "over no item";
  EXPECT_TRUE(form->drag.MoveTo(lv.Handle(), lv.ItemCenter(1)));
  form->drag.DropOn(lv.Handle(), lv.ItemCenter(1));
  EXPECT_FALSE(form->drag.Dragging());
  EXPECT_EQ(form->drops, (std::vector<std::string>{"list 1"}));

  // Dropped where it is refused: nothing.
  form->drag.Start(tv.Handle());
  form->drag.DropOn(tv.Handle(), tv.NodeCenter(tv.FirstNode()));
  EXPECT_EQ(form->drops.size(), 1u);

  // The other way round, from the list onto a node.
  lv.Select(0);
  form->drag.Start(lv.Handle());
  form->drag.DropOn(tv.Handle(), tv.NodeCenter(tv.FirstNode()));
  EXPECT_EQ(form->drops.back(), "tree Node");
}

TEST_F(Views, EscCancelsADragAndLeavesTheFormOpen) {
  TreeView& tv = form->tvNodes;
  ListView& lv = form->lvItems;
  tv.Select(tv.Add(nullptr, "Node", &a));
  lv.AddItem("zero", &b);
  tv.Focus();
  form->drag.Start(tv.Handle());
  EXPECT_TRUE(form->drag.MoveTo(lv.Handle(), lv.ItemCenter(0)));
  wintest::PostKey(VK_ESCAPE, tv.Handle());
  wintest::PumpUntil([this] { return !form->drag.Dragging(); });
  EXPECT_FALSE(form->drag.Dragging());
  form->drag.DropOn(lv.Handle(), lv.ItemCenter(0));
  EXPECT_TRUE(form->drops.empty());
  EXPECT_EQ(form->ModalResult(), mrNone);
  EXPECT_NE(GetCapture(), tv.Handle());
}

TEST_F(Views, TreeBeginDragSelectsTheDraggedNode) {
  TreeView& tv = form->tvNodes;
  TreeNode first = tv.Add(nullptr, "First", &a);
  TreeNode second = tv.Add(nullptr, "Second", &b);
  tv.Select(first);
  NMTREEVIEWA nm{};
  nm.hdr.hwndFrom = tv.Handle();
  nm.hdr.idFrom = IDC_VW_tvNodes;
  nm.hdr.code = TVN_BEGINDRAGA;
  nm.itemNew.hItem = second;
  SendMessageA(form->Handle(), WM_NOTIFY, IDC_VW_tvNodes, reinterpret_cast<LPARAM>(&nm));
  EXPECT_TRUE(form->drag.Dragging());
  EXPECT_EQ(tv.Selected(), second);
  form->drag.Cancel();
  EXPECT_FALSE(form->drag.Dragging());
}

TEST_F(Views, SplitterMovesBothPanesWithinTheirMinimum) {
  Splitter& s = form->splMain;
  TreeView& tv = form->tvNodes;
  ListView& lv = form->lvItems;
  int right = lv.Left() + lv.Width();
  int start = s.Position();
  s.MoveTo(start + 30);
  EXPECT_EQ(s.Position(), start + 30);
  EXPECT_EQ(tv.Left() + tv.Width(), start + 30);
  EXPECT_EQ(lv.Left(), start + 30 + s.Width());
  EXPECT_EQ(lv.Left() + lv.Width(), right) << "the right pane keeps its right edge";
  s.MoveTo(-500);
  EXPECT_EQ(tv.Width(), 40) << "kept to the minimum";
  // The mouse's path: press, move, release.
  int before = s.Position();
  SendMessageA(s.Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(1, 5));
  SendMessageA(s.Handle(), WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(21, 5));
  SendMessageA(s.Handle(), WM_LBUTTONUP, 0, MAKELPARAM(21, 5));
  EXPECT_EQ(s.Position(), before + 20);
}

TEST_F(Views, CheckListBoxAndRadioGroup) {
  CheckListBox& clb = form->clbChoices;
  for (const char* t : {"Windows 95", "Windows 98"}) clb.Add(t);
  EXPECT_EQ(clb.Count(), 2);
  EXPECT_EQ(clb.Item(1), "Windows 98");
  EXPECT_FALSE(clb.Checked(0));
  clb.SetChecked(1, true);
  EXPECT_TRUE(clb.Checked(1));
  clb.SetTextColor(GetSysColor(COLOR_INACTIVECAPTIONTEXT));
  EXPECT_EQ(clb.TextColor(), GetSysColor(COLOR_INACTIVECAPTIONTEXT));

  RadioGroup& rg = form->rgChoice;
  EXPECT_EQ(rg.ItemIndex(), -1);
  rg.SetItemIndex(2);
  EXPECT_EQ(rg.ItemIndex(), 2);
  wintest::Click(rg.Button(0));
  EXPECT_EQ(rg.ItemIndex(), 0);
  EXPECT_EQ(form->radioClicks, 1);
}

}  // namespace
