// Controls of a form, each named by its form and id and found when used, so a form can
// hold them as members before its window exists. One class per kind, with the few
// messages that kind takes.
#pragma once
#include <windows.h>
#include <commctrl.h>

#include <memory>
#include <string>
#include <vector>

#include "base/win/Form.h"
#include "base/win/Graphics.h"

namespace base::win {

// Notification codes the layer's own controls (pictures, shapes) send their parent in
// WM_COMMAND: the mouse moved over it; it was clicked (the button code, for OnClick).
constexpr WORD CN_MOUSEMOVE = 0x7F01;
constexpr WORD CN_CLICKED = BN_CLICKED;
// Sends those notifications for a message of such a control; true when it is used up.
bool NotifyMouse(HWND control, UINT msg);

class Control : public Window {
public:
  Control(const Form& form, int id) : form_(&form), id_(id) {}
  int Id() const { return id_; }
  const Form& Owner() const { return *form_; }
  // Finds the control on the form or its pages.
  HWND Handle() const override { return form_->Item(id_); }
  bool Visible() const;  // its own visible style, whether or not its page shows
  void SetFont(const Font& font) const;
  // Test entry points: the mouse moved to, or clicked at, a point of the control's client area.
  void MouseMove(int x = 1, int y = 1) const;
  void MouseClick(int x = 1, int y = 1) const;

protected:
  Form& MutableOwner() const { return const_cast<Form&>(*form_); }

private:
  const Form* form_;
  int id_;
};

class Label : public Control {
public:
  using Control::Control;
  std::string Caption() const { return Text(); }
  void SetCaption(const std::string& caption) const;  // also repaints what shows through
  void SetTransparent(bool transparent) const;
  void SetTextColor(Color color) const;
  // Sizes the label to its text in its font (the class library's AutoSize).
  void AutoSize() const;
};

class Button : public Control {
public:
  using Control::Control;
  void SetCaption(const std::string& caption) const { SetText(caption); }
  std::string Caption() const { return Text(); }
  void Click() const { Send(BM_CLICK); }
};

// Check boxes and radio buttons.
class CheckBox : public Control {
public:
  using Control::Control;
  bool Checked() const { return Send(BM_GETCHECK) == BST_CHECKED; }
  void SetChecked(bool checked) const { Send(BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED); }
  void SetCaption(const std::string& caption) const { SetText(caption); }
  void Click() const { Send(BM_CLICK); }
};
using RadioButton = CheckBox;

class Edit : public Control {
public:
  using Control::Control;
  void SetReadOnly(bool readOnly) const { Send(EM_SETREADONLY, readOnly); }
  void SetMaxLength(int length) const { Send(EM_LIMITTEXT, static_cast<WPARAM>(length)); }
  void SelectAll() const { Send(EM_SETSEL, 0, -1); }
};

// A multi-line text: plain or RTF.
class RichEdit : public Control {
public:
  using Control::Control;
  // RTF when the text begins with "{\rtf", plain text otherwise.
  void LoadText(const std::string& text) const;
  std::string PlainText() const;
  std::string RichText() const;  // the whole text as RTF
  void SetBackColor(Color color) const;
  void SetWordWrap(bool wrap) const;
};

class ListBox : public Control {
public:
  using Control::Control;
  int Add(const std::string& item) const;
  void Clear() const { Send(LB_RESETCONTENT); }
  int Count() const { return static_cast<int>(Send(LB_GETCOUNT)); }
  std::string Item(int index) const;
  int ItemIndex() const { return static_cast<int>(Send(LB_GETCURSEL)); }
  void SetItemIndex(int index) const { Send(LB_SETCURSEL, static_cast<WPARAM>(index)); }
  std::vector<std::string> Items() const;
};

class ProgressBar : public Control {
public:
  using Control::Control;
  void SetRange(int minimum, int maximum) const { Send(PBM_SETRANGE32, minimum, maximum); }
  void SetMax(int maximum) const { SetRange(Min(), maximum); }
  int Min() const { return static_cast<int>(Send(PBM_GETRANGE, TRUE)); }
  int Max() const { return static_cast<int>(Send(PBM_GETRANGE, FALSE)); }
  void SetPosition(int position) const { Send(PBM_SETPOS, static_cast<WPARAM>(position)); }
  int Position() const { return static_cast<int>(Send(PBM_GETPOS)); }
};

class GroupBox : public Control {
public:
  using Control::Control;
  void SetCaption(const std::string& caption) const { SetText(caption); }
};

// A notebook: the placeholder control whose pages are child templates of the form.
class Notebook : public Control {
public:
  using Control::Control;
  void AddPages(const std::vector<int>& pageTemplates) const { MutableOwner().AddPages(Id(), pageTemplates); }
  void SetPageIndex(int index) const { MutableOwner().ShowPage(Id(), index); }
  int PageIndex() const { return Owner().PageIndex(Id()); }
  HWND Page(int index) const { return Owner().Page(Id(), index); }
};

// A picture ("TandrelImage" window class): centred, stretched, transparent, auto-size.
class Image : public Control {
public:
  using Control::Control;
  // False (picture unchanged) when the file cannot be read or decoded.
  bool LoadFromFile(const std::string& fileName) const;
  bool LoadFromBytes(const std::vector<uint8_t>& bytes) const;
  void SetPicture(std::unique_ptr<Picture> picture) const;
  void Clear() const;
  bool Empty() const;
  int PictureWidth() const;
  int PictureHeight() const;
  void SetCenter(bool on) const;
  void SetStretch(bool on) const;
  void SetTransparent(bool on) const;
  void SetAutoSize(bool on) const;  // the control takes the picture's size on load
  bool Center() const;
  bool Stretch() const;
  bool Transparent() const;
};

// Registers the layer's window classes ("TandrelImage", "TandrelNotebook").
void RegisterControlClasses(HINSTANCE instance);

}  // namespace base::win

// The list view has a pair of its own; its users of old include this header.
#include "base/win/ListView.h"
