#include "base/win/TreeView.h"

#include <cstring>

#include "base/win/ControlHooks.h"
#include "base/win/ListView.h"

namespace base::win {

namespace {

// A property by atom: the edit box is destroyed by the tree, with no chance to remove a
// property named by a string (whose atom would be counted once more each time).
const char* EditEndedProp() {
  static const ATOM atom = GlobalAddAtomA("TandrelEditEnded");
  return MAKEINTATOM(atom);
}

}  // namespace

void TreeView::SetImageList(HIMAGELIST images, int which) const {
  Send(TVM_SETIMAGELIST, static_cast<WPARAM>(which), reinterpret_cast<LPARAM>(images));
}

TreeNode TreeView::Add(TreeNode parent, const std::string& text, void* data, int image, int selectedImage) const {
  TVINSERTSTRUCTA ins{};
  ins.hParent = parent ? parent : TVI_ROOT;
  ins.hInsertAfter = TVI_LAST;
  ins.item.mask = TVIF_TEXT | TVIF_PARAM;
  ins.item.pszText = const_cast<char*>(text.c_str());
  ins.item.lParam = reinterpret_cast<LPARAM>(data);
  if (image >= 0) {
    ins.item.mask |= TVIF_IMAGE | TVIF_SELECTEDIMAGE;
    ins.item.iImage = image;
    ins.item.iSelectedImage = selectedImage >= 0 ? selectedImage : image;
  }
  return reinterpret_cast<TreeNode>(Send(TVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&ins)));
}

void TreeView::DeleteChildren(TreeNode node) const {
  for (TreeNode c = FirstChild(node); c;) {
    TreeNode next = NextSibling(c);
    Delete(c);
    c = next;
  }
}

std::string TreeView::NodeText(TreeNode node) const {
  for (size_t size = 256;; size *= 2) {
    std::string text(size, '\0');
    TVITEMA item{};
    item.mask = TVIF_TEXT;
    item.hItem = node;
    item.pszText = text.data();
    item.cchTextMax = static_cast<int>(size);
    if (!GetNode(item)) return {};
    size_t n = strnlen(text.data(), size);
    if (n + 1 < size || size >= 65536) {
      text.resize(n);
      return text;
    }
  }
}

void TreeView::SetNodeText(TreeNode node, const std::string& text) const {
  TVITEMA item{};
  item.mask = TVIF_TEXT;
  item.hItem = node;
  item.pszText = const_cast<char*>(text.c_str());
  SetNode(item);
}

void* TreeView::NodeData(TreeNode node) const {
  TVITEMA item{};
  item.mask = TVIF_PARAM;
  item.hItem = node;
  if (!node || !GetNode(item)) return nullptr;
  return reinterpret_cast<void*>(item.lParam);
}

void TreeView::SetNodeData(TreeNode node, void* data) const {
  TVITEMA item{};
  item.mask = TVIF_PARAM;
  item.hItem = node;
  item.lParam = reinterpret_cast<LPARAM>(data);
  SetNode(item);
}

int TreeView::NodeImage(TreeNode node) const {
  TVITEMA item{};
  item.mask = TVIF_IMAGE;
  item.hItem = node;
  return GetNode(item) ? item.iImage : -1;
}

int TreeView::NodeSelectedImage(TreeNode node) const {
  TVITEMA item{};
  item.mask = TVIF_SELECTEDIMAGE;
  item.hItem = node;
  return GetNode(item) ? item.iSelectedImage : -1;
}

void TreeView::SetNodeImages(TreeNode node, int image, int selectedImage) const {
  TVITEMA item{};
  item.mask = TVIF_IMAGE | TVIF_SELECTEDIMAGE;
  item.hItem = node;
  item.iImage = image;
  item.iSelectedImage = selectedImage;
  SetNode(item);
}

int TreeView::StateImage(TreeNode node) const {
  TVITEMA item{};
  item.mask = TVIF_STATE;
  item.hItem = node;
  item.stateMask = TVIS_STATEIMAGEMASK;
  return GetNode(item) ? static_cast<int>((item.state & TVIS_STATEIMAGEMASK) >> 12) : 0;
}

void TreeView::SetStateImage(TreeNode node, int stateImage) const {
  TVITEMA item{};
  item.mask = TVIF_STATE;
  item.hItem = node;
  item.stateMask = TVIS_STATEIMAGEMASK;
  item.state = INDEXTOSTATEIMAGEMASK(stateImage);
  SetNode(item);
}

std::vector<TreeNode> TreeView::Children(TreeNode node) const {
  std::vector<TreeNode> nodes;
  for (TreeNode c = node ? FirstChild(node) : FirstNode(); c; c = NextSibling(c)) nodes.push_back(c);
  return nodes;
}

std::vector<TreeNode> TreeView::AllNodes() const {
  std::vector<TreeNode> nodes;
  std::vector<TreeNode> stack;
  for (TreeNode c = FirstNode(); c; c = NextSibling(c)) {
    stack.push_back(c);
    while (!stack.empty()) {
      TreeNode n = stack.back();
      stack.pop_back();
      nodes.push_back(n);
      std::vector<TreeNode> kids = Children(n);
      for (auto it = kids.rbegin(); it != kids.rend(); ++it) stack.push_back(*it);
    }
  }
  return nodes;
}

int TreeView::Level(TreeNode node) const {
  int level = 0;
  for (TreeNode p = Parent(node); p; p = Parent(p)) ++level;
  return level;
}

TreeNode TreeView::FindData(const void* data) const {
  for (TreeNode n : AllNodes())
    if (NodeData(n) == data) return n;
  return nullptr;
}

bool TreeView::Expanded(TreeNode node) const {
  return (Send(TVM_GETITEMSTATE, reinterpret_cast<WPARAM>(node), TVIS_EXPANDED) & TVIS_EXPANDED) != 0;
}

void TreeView::Expand(TreeNode node, bool expand) const {
  Send(TVM_EXPAND, expand ? TVE_EXPAND : TVE_COLLAPSE, reinterpret_cast<LPARAM>(node));
}

TreeNode TreeView::NodeAt(POINT client) const {
  TVHITTESTINFO hit{};
  hit.pt = client;
  auto node = reinterpret_cast<TreeNode>(Send(TVM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit)));
  return (hit.flags & (TVHT_ONITEM | TVHT_ONITEMRIGHT | TVHT_ONITEMINDENT)) ? node : nullptr;
}

POINT TreeView::NodeCenter(TreeNode node) const {
  RECT r{};
  std::memcpy(&r, &node, sizeof node);  // the message takes the node in the rectangle
  Send(TVM_GETITEMRECT, TRUE, reinterpret_cast<LPARAM>(&r));
  return {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

void TreeView::BeginUpdate() const { BeginControlUpdate(Handle()); }
void TreeView::EndUpdate() const { EndControlUpdate(Handle()); }
bool TreeView::Updating() const { return ControlUpdating(Handle()); }

HWND TreeView::EditLabel(TreeNode node) const {
  Focus();
  return reinterpret_cast<HWND>(Send(TVM_EDITLABELA, 0, reinterpret_cast<LPARAM>(node)));
}

void TreeView::EndEdit(bool cancel) const {
  if (!IsEditing()) return;
  Send(TVM_ENDEDITLABELNOW, cancel ? TRUE : FALSE);
}

void TreeView::OnChange(std::function<void(TreeNode)> handler) const {
  MutableOwner().OnNotify(Id(), TVN_SELCHANGEDA, [handler](NMHDR* h) -> LRESULT {
    handler(reinterpret_cast<NMTREEVIEWA*>(h)->itemNew.hItem);
    return 0;
  });
}

void TreeView::OnEditing(std::function<bool(TreeNode)> handler) const {
  MutableOwner().OnNotify(Id(), TVN_BEGINLABELEDITA, [handler](NMHDR* h) -> LRESULT {
    return handler(reinterpret_cast<NMTVDISPINFOA*>(h)->item.hItem) ? FALSE : TRUE;
  });
}

void TreeView::OnEdited(std::function<void(TreeNode, std::string&)> handler) const {
  const Form* form = &Owner();
  int id = Id();
  MutableOwner().OnNotify(Id(), TVN_ENDLABELEDITA, [handler, form, id](NMHDR* h) -> LRESULT {
    auto* nm = reinterpret_cast<NMTVDISPINFOA*>(h);
    // Wine's tree hides the edit box after TVM_ENDEDITLABELNOW while it still counts as
    // editing, and the lost focus ends the edit a second time, as accepted even after a
    // cancel: only the first end of an edit box counts.
    HWND edit = reinterpret_cast<HWND>(SendMessageA(h->hwndFrom, TVM_GETEDITCONTROL, 0, 0));
    if (edit && GetPropA(edit, EditEndedProp())) return FALSE;
    if (edit) SetPropA(edit, EditEndedProp(), edit);
    if (!nm->item.pszText) return FALSE;
    std::string text = nm->item.pszText;
    TreeNode node = nm->item.hItem;
    handler(node, text);
    TreeView(*form, id).SetNodeText(node, text);
    return FALSE;  // stored above, as the handler left it
  });
}

void TreeView::OnKeyDown(std::function<bool(UINT, bool)> handler) const { HookViewKeys(Handle(), std::move(handler)); }

void TreeView::OnDblClick(std::function<void()> handler) const { MutableOwner().OnDblClick(Id(), std::move(handler)); }

}  // namespace base::win
