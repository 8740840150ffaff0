// The tree view: nodes with a pointer of the caller's, images and selected images, state
// images, in-place label edits that a handler may refuse, BeginUpdate/EndUpdate, hit
// tests and the expanded state. Handlers go through the owning form's notifications;
// the key hook needs the window to exist.
#pragma once
#include <windows.h>
#include <commctrl.h>

#include <functional>
#include <string>
#include <vector>

#include "base/win/Controls.h"

namespace base::win {

using TreeNode = HTREEITEM;

class TreeView : public Control {
public:
  using Control::Control;
  void SetImageList(HIMAGELIST images, int which = TVSIL_NORMAL) const;

  // Appends a node under parent (null: a top-level node); selectedImage -1: as image.
  TreeNode Add(TreeNode parent, const std::string& text, void* data, int image = -1, int selectedImage = -1) const;
  void Delete(TreeNode node) const { Send(TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(node)); }
  void DeleteChildren(TreeNode node) const;
  void Clear() const { Send(TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(TVI_ROOT)); }
  int Count() const { return static_cast<int>(Send(TVM_GETCOUNT)); }

  std::string NodeText(TreeNode node) const;
  void SetNodeText(TreeNode node, const std::string& text) const;
  void* NodeData(TreeNode node) const;
  void SetNodeData(TreeNode node, void* data) const;
  int NodeImage(TreeNode node) const;
  int NodeSelectedImage(TreeNode node) const;
  void SetNodeImages(TreeNode node, int image, int selectedImage) const;
  int StateImage(TreeNode node) const;  // 1-based, 0 none
  void SetStateImage(TreeNode node, int stateImage) const;

  TreeNode Selected() const { return Next(nullptr, TVGN_CARET); }
  void Select(TreeNode node) const { Send(TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(node)); }
  TreeNode Parent(TreeNode node) const { return Next(node, TVGN_PARENT); }
  TreeNode FirstChild(TreeNode node) const { return Next(node, TVGN_CHILD); }
  TreeNode NextSibling(TreeNode node) const { return Next(node, TVGN_NEXT); }
  TreeNode FirstNode() const { return Next(nullptr, TVGN_ROOT); }
  // Children of a node in order (null: the top-level nodes).
  std::vector<TreeNode> Children(TreeNode node) const;
  // Every node, parents before their children, in order.
  std::vector<TreeNode> AllNodes() const;
  int Level(TreeNode node) const;  // 0 for a top-level node
  TreeNode FindData(const void* data) const;  // first in AllNodes order, null when none

  bool Expanded(TreeNode node) const;
  void Expand(TreeNode node, bool expand = true) const;

  // Client coordinates: the node under a point (null none), the middle of a node's label.
  TreeNode NodeAt(POINT client) const;
  POINT NodeCenter(TreeNode node) const;

  void BeginUpdate() const;
  void EndUpdate() const;
  bool Updating() const;

  // In-place label edit (needs TVS_EDITLABELS): the edit box, or null when refused.
  HWND EditLabel(TreeNode node) const;
  bool IsEditing() const { return Send(TVM_GETEDITCONTROL) != 0; }
  HWND EditControl() const { return reinterpret_cast<HWND>(Send(TVM_GETEDITCONTROL)); }
  void EndEdit(bool cancel) const;

  // Handlers. OnChange: the selection moved to node (TVN_SELCHANGED); OnEditing: false
  // refuses the edit; OnEdited: the typed text (not called for Esc), stored as the
  // node's text afterwards as the handler leaves it.
  void OnChange(std::function<void(TreeNode)> handler) const;
  void OnEditing(std::function<bool(TreeNode)> handler) const;
  void OnEdited(std::function<void(TreeNode, std::string& text)> handler) const;
  // As the list view's: true from the handler uses the key up.
  void OnKeyDown(std::function<bool(UINT key, bool alt)> handler) const;
  void OnDblClick(std::function<void()> handler) const;

private:
  TreeNode Next(TreeNode node, UINT how) const {
    return reinterpret_cast<TreeNode>(Send(TVM_GETNEXTITEM, how, reinterpret_cast<LPARAM>(node)));
  }
  bool GetNode(TVITEMA& item) const { return Send(TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item)) != 0; }
  void SetNode(TVITEMA& item) const { Send(TVM_SETITEMA, 0, reinterpret_cast<LPARAM>(&item)); }
};

}  // namespace base::win
