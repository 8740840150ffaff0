// The list view: report and icon views, sub-items, images and state images, check
// boxes, multiple selection, in-place label edits, custom-draw colours and a last
// column that fills the rest. Items carry a pointer of the caller's, or (a view made with
// LVS_OWNERDATA) the caller keeps the rows and the view asks for the ones it shows.
// Handlers go through the owning form's notifications; key and size hooks need the
// window to exist.
#pragma once
#include <windows.h>
#include <commctrl.h>

#include <functional>
#include <string>
#include <vector>

#include "base/win/Controls.h"

namespace base::win {

enum class ViewStyle { Icon, SmallIcon, List, Report };

// The rows of an LVS_OWNERDATA view, asked for by row only while the row exists.
struct ViewRows {
  std::function<void*(int row)> Data;
  std::function<std::string(int row, int column)> Text;
  std::function<int(int row)> Image;       // -1 none
  std::function<int(int row)> StateImage;  // 1-based, 0 none
};

class ListView : public Control {
public:
  using Control::Control;
  void SetCheckBoxes(bool on = true) const;
  void SetRowSelect(bool on = true) const;
  void SetViewStyle(ViewStyle style) const;
  ViewStyle Style() const;
  // LVSIL_NORMAL (32 x 32), LVSIL_SMALL or LVSIL_STATE; the view must not own the list
  // (LVS_SHAREIMAGELISTS) when it is shared.
  void SetImageList(HIMAGELIST images, int which) const;
  void AddColumn(const std::string& caption, int width, bool rightAligned = false) const;
  int ColumnCount() const;
  int ColumnWidth(int column) const;
  void SetColumnWidth(int column, int width) const;
  // The last column takes what the others leave of the client width, now and on resize.
  void SetFillLastColumn() const;
  void FillLastColumn() const;
  // The other columns take their widest texts, the first what they leave of the client
  // width: call it once the rows are in.
  void FitFirstColumn() const;

  // An LVS_OWNERDATA view's rows: the view shows them and ItemText, ItemData, IndexOfData,
  // ItemImage, StateImage and Checked read them. The setters of texts, data and images
  // then only show a row again, and AddItem adds a row at the end. Selection and focus
  // stay the view's own.
  void SetRows(ViewRows rows) const;
  bool HasRows() const;
  // Such a view's row count; the rows that stay keep their selection and the view keeps
  // its scroll position.
  void SetRowCount(int count) const;
  // The rows first to last show their source again.
  void RedrawRows(int first, int last) const;

  void Clear() const { Send(LVM_DELETEALLITEMS); }
  int Count() const { return static_cast<int>(Send(LVM_GETITEMCOUNT)); }
  int AddItem(const std::string& caption, void* data = nullptr, int image = -1) const;
  void Delete(int index) const { Send(LVM_DELETEITEM, static_cast<WPARAM>(index)); }
  void SetSubItem(int index, int column, const std::string& text) const;
  void SetCaption(int index, const std::string& text) const { SetSubItem(index, 0, text); }
  std::string ItemText(int index, int column = 0) const;
  void* ItemData(int index) const;
  void SetItemData(int index, void* data) const;
  int IndexOfData(const void* data) const;  // -1 when absent
  int ItemImage(int index) const;
  void SetItemImage(int index, int image) const;
  // State image 1-based as the control counts it; 0 none.
  int StateImage(int index) const;
  void SetStateImage(int index, int stateImage) const;
  bool Checked(int index) const;
  void SetChecked(int index, bool checked) const;

  int Selected() const;  // the first selected item, -1 when none
  // Selects and focuses the item, leaving others as they are.
  void Select(int index) const;
  bool IsSelected(int index) const;
  void SetSelected(int index, bool selected) const;
  void ClearSelection() const;
  int SelCount() const { return static_cast<int>(Send(LVM_GETSELECTEDCOUNT)); }
  std::vector<int> SelectedIndices() const;

  // Client coordinates: the item under a point (-1 none), the middle of an item's label.
  int ItemAt(POINT client) const;
  POINT ItemCenter(int index) const;

  // Stops repainting until the matching EndUpdate (pairs nest).
  void BeginUpdate() const;
  void EndUpdate() const;
  bool Updating() const;

  // In-place label edit (needs LVS_EDITLABELS): the edit box, or null when refused.
  HWND EditLabel(int index) const;
  bool IsEditing() const { return Send(LVM_GETEDITCONTROL) != 0; }
  HWND EditControl() const { return reinterpret_cast<HWND>(Send(LVM_GETEDITCONTROL)); }
  // Ends a running edit as Enter (keep) or Esc (cancel) would.
  void EndEdit(bool cancel) const;

  // Handlers. OnChange: an item's state changed (selection, focus; for a range of an
  // LVS_OWNERDATA view, each item of the range in turn); OnEditing: false
  // refuses the edit; OnEdited: the typed text (not called for Esc), stored as the
  // caption afterwards as the handler leaves it.
  void OnChange(std::function<void(int index)> handler) const;
  void OnEditing(std::function<bool(int index)> handler) const;
  void OnEdited(std::function<void(int index, std::string& text)> handler) const;
  // Key presses, Alt+Enter too (the dialog manager never sees them first). A handler that
  // returns true has used the key up: the view does not act on it as well.
  void OnKeyDown(std::function<bool(UINT key, bool alt)> handler) const;
  void OnDblClick(std::function<void()> handler) const;
  // Colours per item; false keeps the control's own.
  void OnItemColors(std::function<bool(int index, COLORREF& text, COLORREF& back)> handler) const;

  // Reading an LVN_ITEMCHANGED notification.
  static bool CheckChanged(const NMHDR* header);      // the state image (check box) changed
  static bool BecameSelected(const NMHDR* header);    // the item is now the selected one
  static int ChangedItem(const NMHDR* header);
};

// Installs the key hook shared by the views.
void HookViewKeys(HWND view, std::function<bool(UINT key, bool alt)> handler);

}  // namespace base::win
