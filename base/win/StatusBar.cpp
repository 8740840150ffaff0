#include "base/win/StatusBar.h"

namespace base::win {

void StatusBar::SetPanels(const std::vector<int>& widths) const {
  // The control wants the right edge of each part.
  std::vector<int> edges;
  int right = 0;
  for (int w : widths) {
    if (w < 0) {
      edges.push_back(-1);
      break;
    }
    right += w;
    edges.push_back(right);
  }
  Send(SB_SETPARTS, edges.size(), reinterpret_cast<LPARAM>(edges.data()));
}

int StatusBar::PanelCount() const { return static_cast<int>(Send(SB_GETPARTS, 0, 0)); }

void StatusBar::SetPanelText(int panel, const std::string& text) const {
  Send(SB_SETTEXTA, static_cast<WPARAM>(panel), reinterpret_cast<LPARAM>(text.c_str()));
}

std::string StatusBar::PanelText(int panel) const {
  LRESULT info = Send(SB_GETTEXTLENGTHA, static_cast<WPARAM>(panel));
  std::string text(static_cast<size_t>(LOWORD(info)) + 1, '\0');
  Send(SB_GETTEXTA, static_cast<WPARAM>(panel), reinterpret_cast<LPARAM>(text.data()));
  text.resize(LOWORD(info));
  return text;
}

}  // namespace base::win
