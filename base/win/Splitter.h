// A vertical splitter ("TandrelSplitter" window class) between two panes of controls:
// dragging it widens one pane and narrows the other, each kept to a minimum width.
#pragma once
#include <vector>

#include "base/win/Controls.h"

namespace base::win {

class Splitter : public Control {
public:
  using Control::Control;
  // The controls left of the splitter keep their left edge; those right of it their right
  // edge. Call once the window exists.
  void Attach(std::vector<int> leftIds, std::vector<int> rightIds, int minSize = 30) const;
  // Test entry point and the mouse's path: the splitter's left edge in the parent's
  // client coordinates, kept inside the minimum widths.
  void MoveTo(int left) const;
  int Position() const { return Left(); }
};

void RegisterSplitterClass(HINSTANCE instance);

}  // namespace base::win
