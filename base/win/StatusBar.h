// The status bar: a row of panels of fixed widths along the bottom of a form.
#pragma once
#include <string>
#include <vector>

#include "base/win/Controls.h"

namespace base::win {

class StatusBar : public Control {
public:
  using Control::Control;
  // Panel widths in pixels, left to right (the last may be -1: the rest of the bar).
  void SetPanels(const std::vector<int>& widths) const;
  int PanelCount() const;
  void SetPanelText(int panel, const std::string& text) const;
  std::string PanelText(int panel) const;
  // Keeps the bar along the bottom edge after the form changed size.
  void Realign() const { Send(WM_SIZE); }
};

}  // namespace base::win
