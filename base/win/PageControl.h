// A page control: a tab control whose pages are child templates of the form, shown in
// the tab's display area; picking a tab shows its page and runs the change handler.
#pragma once
#include <functional>
#include <string>
#include <vector>

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
  // Hides or shows a page's tab (the class library's TabVisible); a hidden page is never
  // active. Tabs keep the pages' order.
  void SetTabVisible(int page, bool visible);
  bool TabVisible(int page) const;

  std::function<void()> OnChange;
  // Test entry point: the author clicks the tab.
  void PickTab(int index) const;

private:
  void Hook();
  int TabOf(int page) const;  // -1 when the page's tab is hidden
  bool hooked_ = false;
  std::vector<int> tabs_;      // the page of each tab, in tab order
  std::vector<std::string> captions_;
};

// The ground a tab control's display area shows: the theme may draw it lighter than the
// dialog face, and what stands on it (its pages, and controls over it) takes the same.
// For a control on a page of a tab control, or on a sibling tab control's display area,
// the brush of that tab's display area and its colour; null otherwise.
HBRUSH TabGround(HWND control, COLORREF* colour);

}  // namespace base::win
