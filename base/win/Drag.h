// Dragging inside a form: a view starts a drag by itself (its begin-drag notification),
// targets say whether they accept what hovers over them and take the drop; Esc or a lost
// capture cancels. The test entry points send the same mouse and key messages the
// user's would through the captured view.
#pragma once
#include <windows.h>

#include <functional>
#include <vector>

#include "base/win/ListView.h"
#include "base/win/TreeView.h"

namespace base::win {

class Drag {
public:
  // Client coordinates of the target.
  using OverHandler = std::function<bool(HWND source, POINT client)>;
  using DropHandler = std::function<void(HWND source, POINT client)>;

  explicit Drag(Form& form) : form_(&form) {}
  ~Drag();
  Drag(const Drag&) = delete;
  Drag& operator=(const Drag&) = delete;

  // A tree's drag selects the dragged node first, so handlers see it as the selected one.
  void AddSource(const TreeView& view);
  void AddSource(const ListView& view);
  void AddTarget(const Control& view, OverHandler over, DropHandler drop);

  bool Dragging() const { return source_ != nullptr; }
  HWND Source() const { return source_; }
  bool Accepted() const { return accepted_; }

  // Test entry points.
  void Start(HWND source);
  // Moves the pointer over the target; true when it accepts.
  bool MoveTo(HWND target, POINT targetClient);
  // Releases the button over the target.
  void DropOn(HWND target, POINT targetClient);
  void Cancel();  // Esc

private:
  struct Target {
    int id;
    OverHandler over;
    DropHandler drop;
  };
  const Target* TargetAt(POINT screen, HWND& window) const;
  bool Hover(POINT screen);
  void End();
  bool Hook(HWND hwnd, UINT msg, WPARAM w, LPARAM l, LRESULT& result);

  Form* form_;
  std::vector<Target> targets_;
  HWND source_ = nullptr;
  bool accepted_ = false;
  bool ending_ = false;
};

}  // namespace base::win
