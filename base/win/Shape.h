// Shapes ("TandrelShape" window class): the outline of a rectangle or rounded rectangle
// in a pen colour. Only the outline belongs to the window, so what lies inside shows and
// takes the mouse; moving over the outline notifies the parent (CN_MOUSEMOVE).
#pragma once
#include "base/win/Controls.h"

namespace base::win {

class Shape : public Control {
public:
  using Control::Control;
  enum class Kind { Rectangle, RoundRect };
  void SetKind(Kind kind) const;
  void SetPen(Color color, int width = 1) const;
  Color PenColor() const;
  int PenWidth() const;
  Kind GetKind() const;
};

void RegisterShapeClass(HINSTANCE instance);

}  // namespace base::win
