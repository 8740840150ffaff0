// A page control: a tab control whose pages are child templates of the form, shown in
// the tab's display area; picking a tab shows its page and runs the change handler.
#pragma once
#include <functional>
#include <string>

#include "base/win/Controls.h"

namespace base::win {

class PageControl : public Control {
public:
  PageControl(const Form& form, int id) : Control(form, id) {}
  ~PageControl() override;
  PageControl(const PageControl&) = delete;
  PageControl& operator=(const PageControl&) = delete;

  // Adds a tab and its page (a child dialog template); the first page added is active.
  void AddPage(const std::string& caption, int pageTemplate);
  int PageCount() const { return static_cast<int>(Send(TCM_GETITEMCOUNT)); }
  HWND Page(int index) const { return Owner().Page(Id(), index); }
  int ActivePage() const { return Owner().PageIndex(Id()); }
  // Shows the page without the change handler, as setting ActivePage does.
  void SetActivePage(int index) const;
  std::string TabCaption(int index) const;

  std::function<void()> OnChange;
  // Test entry point: the author clicks the tab.
  void PickTab(int index) const;

private:
  void Hook();
  bool hooked_ = false;
};

}  // namespace base::win
