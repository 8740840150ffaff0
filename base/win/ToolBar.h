// Tool bars: buttons with images from one image list, tool tips from their hints
// ("Short|Long": the short part), plain, check and grouped (radio) buttons; a button may
// be bound to an action, whose caption, hint and states it then follows.
#pragma once
#include <windows.h>
#include <commctrl.h>

#include <map>
#include <string>
#include <vector>

#include "base/win/Controls.h"

namespace base::win {

class Action;

class ToolBar : public Control {
public:
  ToolBar(const Form& form, int id) : Control(form, id) {}
  ~ToolBar() override;
  ToolBar(const ToolBar&) = delete;
  ToolBar& operator=(const ToolBar&) = delete;

  enum class Style { Button, Check, Group };

  // The images: a strip of images `imageWidth` pixels wide; the bottom-left pixel's colour
  // is transparent. The bar keeps its own copy.
  void SetImages(HBITMAP strip, int imageWidth);
  // The system's small standard images (STD_CUT, STD_FILENEW, ... indexes).
  void UseStandardImages();
  // Adds a strip behind the images there are; the index of its first image.
  int AddImages(HBITMAP strip, int imageWidth);

  // Buttons send WM_COMMAND with their id to the form (OnClick) unless bound to an action.
  void AddButton(int id, int image, const std::string& hint, Style style = Style::Button);
  void AddButton(int id, int image, Action& action);
  // A gap; a wide one can hold another control laid over it (SeparatorRect).
  void AddSeparator(int width = 6);
  RECT ButtonRect(int index) const;  // by position, in the bar's client area

  int ButtonCount() const { return static_cast<int>(Send(TB_BUTTONCOUNT)); }
  bool Down(int id) const;
  void SetDown(int id, bool down) const;
  bool ButtonEnabled(int id) const;
  void SetButtonEnabled(int id, bool enabled) const;
  std::string ButtonHint(int id) const;   // the whole hint
  std::string ToolTip(int id) const;      // what the tool tip shows
  // Test entry point: a click on the button: a check button toggles (a grouped one goes
  // down), then the click reaches the form or the action.
  void Press(int id) const;

private:
  void Hook();
  bool HandleMessage(UINT msg, WPARAM w, LPARAM l, LRESULT& result);
  void FollowAction(int id);

  struct ButtonInfo {
    std::string hint;
    Action* action = nullptr;
    int client = 0;
  };
  std::map<int, ButtonInfo> buttons_;
  HIMAGELIST images_ = nullptr;  // made here; the control frees the lists it makes
  bool hooked_ = false;
  std::string tipText_;
};

// A strip of images drawn from short texts ("B", "I", "U"), each `size` pixels square,
// black on a magenta ground (which the tool bar treats as transparent). Caller owns it.
HBITMAP MakeTextGlyphs(const std::vector<std::string>& glyphs, int size, const Font& font);

}  // namespace base::win
