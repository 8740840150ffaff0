// Menus: the main menu of a form and popup menus, items with captions, shortcuts, hints,
// tags and click handlers, kept as objects so a program can change them while it runs
// (the recent-file list); shortcuts of a form's main menu work while the form is active.
#pragma once
#include <windows.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace base::win {

class Action;
class Form;

// Shift-state bits of a shortcut.
enum : unsigned { ssShift = 1, ssCtrl = 2, ssAlt = 4 };

struct ShortCut {
  UINT Key = 0;  // virtual key; 0 is no shortcut
  unsigned Shift = 0;
  bool operator==(const ShortCut&) const = default;
  explicit operator bool() const { return Key != 0; }
};
inline ShortCut Ctrl(char letter) { return ShortCut{static_cast<UINT>(letter), ssCtrl}; }
// "Ctrl+N", "F2", "Shift+Ctrl+Del"; "" for none.
std::string ShortCutToText(ShortCut shortCut);

class MenuItem {
public:
  explicit MenuItem(std::string caption = std::string(), ShortCut shortCut = {}, std::string hint = std::string());
  ~MenuItem();
  MenuItem(const MenuItem&) = delete;
  MenuItem& operator=(const MenuItem&) = delete;

  // Children, in menu order; a caption "-" is a separator.
  MenuItem& Add(const std::string& caption, ShortCut shortCut = {}, const std::string& hint = std::string());
  MenuItem& AddSeparator() { return Add("-"); }
  void Delete(int index);
  int Count() const { return static_cast<int>(children_.size()); }
  MenuItem& Items(int index) const { return *children_.at(static_cast<size_t>(index)); }
  MenuItem* Parent() const { return parent_; }
  int IndexOf(const MenuItem* item) const;

  const std::string& Caption() const { return caption_; }
  void SetCaption(const std::string& caption);
  const std::string& Hint() const { return hint_; }
  void SetHint(const std::string& hint) { hint_ = hint; }
  ShortCut GetShortCut() const { return shortCut_; }
  void SetShortCut(ShortCut shortCut);
  bool Enabled() const { return enabled_; }
  void SetEnabled(bool enabled);
  bool Checked() const { return checked_; }
  void SetChecked(bool checked);
  bool Visible() const { return visible_; }
  void SetVisible(bool visible);
  int Tag = 0;

  // Choosing the item (or its shortcut). An item bound to an action runs the action.
  std::function<void(MenuItem&)> OnClick;
  // Runs when the item's submenu is about to open (the class library calls the item's
  // OnClick then); the handler may change the children.
  std::function<void(MenuItem&)> OnPopup;

  // Caption, hint, shortcut and states follow the action; a click executes it. The
  // action must outlive the item.
  void SetAction(Action* action);
  Action* GetAction() const { return action_; }

  // Test entry point, and what choosing the item does: its action or OnClick.
  void Click();
  // The WM_COMMAND id of the item.
  UINT Command() const { return command_; }
  // The native menu of the item's children (created with the first child).
  HMENU Handle() const { return handle_; }

  // The item of a command id or of a native menu, among all live items.
  static MenuItem* FindCommand(UINT command);
  static MenuItem* FindMenu(HMENU menu);

protected:
  explicit MenuItem(bool menuBar);
  // Rebuilds the native entries of this item's children.
  void Sync();
  virtual void Changed() {}
  MenuItem* Root();
  bool FindShortCut(ShortCut shortCut, MenuItem*& found);

private:
  void ChildChanged();
  void FollowAction();

  bool menuBar_ = false;
  std::string caption_, hint_;
  ShortCut shortCut_;
  bool enabled_ = true, checked_ = false, visible_ = true;
  MenuItem* parent_ = nullptr;
  std::vector<std::unique_ptr<MenuItem>> children_;
  HMENU handle_ = nullptr;
  UINT command_ = 0;
  Action* action_ = nullptr;
  int actionClient_ = 0;

  friend class MainMenu;
  friend class PopupMenu;
};

// The menu bar of a form: Attach gives it to the form's window, so choosing, hints
// ("Short|Long": the long part goes to the application's hint handler) and shortcuts work.
class MainMenu : public MenuItem {
public:
  MainMenu();
  ~MainMenu();
  void Attach(Form& form);
  // What happens when the author opens a submenu (test entry point): its OnPopup runs.
  void OpenSubmenu(MenuItem& item);
  // A key press as the form would take it; true when a shortcut was used.
  bool ShortCutKey(UINT key, unsigned shift);

protected:
  void Changed() override;

private:
  Form* form_ = nullptr;
};

// A popup menu, shown at a point (or on a right-click of a control of its form).
class PopupMenu : public MenuItem {
public:
  PopupMenu();
  ~PopupMenu();
  // Pops up over the control on a right-click, Shift+F10 or the menu key, wherever the
  // control sits (on a page too); one menu may serve several controls. 0: on
  // WM_CONTEXTMENU anywhere on the form.
  void Attach(Form& form, int controlId = 0);
  // Shows the menu at the screen point and runs the chosen item.
  void Popup(int x, int y);
  // Where a menu key opens the menu over the control: the selected row of a view, else
  // the control's top left corner (screen coordinates).
  static POINT KeyboardPoint(HWND control);

private:
  Form* form_ = nullptr;
  bool anywhere_ = false;
  std::vector<HWND> controls_;
};

// The menu messages of a form (choosing, opening a submenu, hints); every form with a
// menu routes them through here.
bool DispatchMenuMessage(UINT msg, WPARAM w, LPARAM l);

}  // namespace base::win
