// The editors' controls of the window layer under Wine: a scroll bar that follows its
// thumb, a spin edit without bounds, a double-buffered paint box, list boxes in columns
// and with several rows selected, and the colour and font dialogs, real and through the
// seam.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include <string>
#include <vector>

#include "base/win/Application.h"
#include "base/win/Dialogs.h"
#include "base/win/ListBoxes.h"
#include "base/win/PaintBox.h"
#include "base/win/ScrollBar.h"
#include "base/win/SpinEdit.h"
#include "base/win/TestSeams.h"
#include "tests/base/fixtures/editor_controls.rh"
#include "tests/harness/FormDriver.h"
#include "tests/harness/WinTestSupport.h"

using namespace base::win;

namespace {

class ControlsForm : public Form {
public:
  ControlsForm() : Form(IDD_EDITOR_CONTROLS) { Create(); }
  ScrollBar scroll{*this, IDC_EC_scroll};
  SpinEdit spin{*this, IDC_EC_spin, IDC_EC_spinArrows};
  PaintBox paint{*this, IDC_EC_paint};
  ColumnListBox columns{*this, IDC_EC_columns};
  MultiSelectListBox multi{*this, IDC_EC_multi};
  int changes = 0;
  std::vector<int> seen;

protected:
  void FormCreate() override {
    ModalButton(IDC_EC_btnOk, mrOk);
    scroll.SetRange(0, 255);
    scroll.OnChange([this] {
      ++changes;
      seen.push_back(scroll.Position());
    });
    spin.Attach();
    // Left half red, right half blue.
    paint.OnPaint([](HDC dc, const RECT& r) {
      RECT left{0, 0, r.right / 2, r.bottom}, right{r.right / 2, 0, r.right, r.bottom};
      FillSolid(dc, left, RGB(255, 0, 0));
      FillSolid(dc, right, RGB(0, 0, 255));
    });
  }
};

class EditorControls : public ::testing::Test {
protected:
  void SetUp() override { seams::Reset(); }
  void TearDown() override { seams::Reset(); }
  // Runs `script` inside the form's modal loop, then closes it.
  void Run(const std::function<void(ControlsForm&)>& script) {
    ControlsForm form;
    seams::WhenShown<ControlsForm>([&](ControlsForm& f) {
      script(f);
      f.SetModalResult(mrOk);
    });
    seams::Watchdog dog(30, "editor controls");
    ASSERT_EQ(form.ShowModal(), mrOk);
  }
};

TEST_F(EditorControls, ScrollBarFollowsThumbLinesAndPagesWithinItsRange) {
  Run([](ControlsForm& f) {
    struct Step {
      int code, track;
      int position;
      bool changed;
    } steps[] = {
        {SB_THUMBTRACK, 200, 200, true},   // while the thumb is dragged
        {SB_THUMBTRACK, 201, 201, true},
        {SB_THUMBPOSITION, 201, 201, false},  // dropped where it was dragged to
        {SB_LINELEFT, 0, 200, true},
        {SB_PAGERIGHT, 0, 216, true},
        {SB_RIGHT, 0, 255, true},
        {SB_LINERIGHT, 0, 255, false},     // at the end: nothing to tell
        {SB_ENDSCROLL, 0, 255, false},
        {SB_LEFT, 0, 0, true},
        {SB_LINELEFT, 0, 0, false},
    };
    for (const Step& s : steps) {
      int before = f.changes;
      f.scroll.Scroll(s.code, s.track);
      EXPECT_EQ(f.scroll.Position(), s.position) << s.code << " " << s.track;
      EXPECT_EQ(f.changes - before, s.changed ? 1 : 0) << s.code << " " << s.track;
    }
    // The handler already sees the new place.
    EXPECT_EQ(f.seen.front(), 200);
    f.scroll.SetPosition(300);  // clamped, and no change reported
    EXPECT_EQ(f.scroll.Position(), 255);
    EXPECT_EQ(f.seen.back(), 0);
  });
}

TEST_F(EditorControls, SpinEditArrowsStepWithoutBounds) {
  Run([](ControlsForm& f) {
    HWND arrows = f.spin.Arrows();
    RECT r;
    GetClientRect(arrows, &r);
    auto press = [&](bool up) {
      LPARAM at = MAKELPARAM(r.right / 2, up ? 1 : r.bottom - 2);
      SendMessageA(arrows, WM_LBUTTONDOWN, MK_LBUTTON, at);
      SendMessageA(arrows, WM_LBUTTONUP, 0, at);
    };
    f.spin.SetValue(5);
    press(true);
    EXPECT_EQ(f.spin.Value(), 6);
    press(false);
    press(false);
    EXPECT_EQ(f.spin.Value(), 4);
    f.spin.SetValue(0);
    press(false);
    EXPECT_EQ(f.spin.Text(), "-1");
    f.spin.SetValue(40000);  // beyond any range of the arrows themselves
    press(true);
    EXPECT_EQ(f.spin.Value(), 40001);
    for (const char* text : {"", "abc", "12x", "99999999999"}) {
      f.spin.SetText(text);
      EXPECT_EQ(f.spin.Value(), 0) << text;
    }
    f.spin.SetText(" 17 ");
    EXPECT_EQ(f.spin.Value(), 17);
  });
}

TEST_F(EditorControls, PaintBoxDrawsOffScreenAndSnapshotsTheSamePixels) {
  Run([](ControlsForm& f) {
    auto shot = f.paint.Snapshot();
    ASSERT_TRUE(shot);
    RECT c = f.paint.ClientRect();
    EXPECT_EQ(shot->Width(), c.right);
    EXPECT_EQ(shot->Height(), c.bottom);
    HDC mem = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(mem, shot->Bitmap());
    EXPECT_EQ(GetPixel(mem, 2, 2), RGB(255, 0, 0));
    EXPECT_EQ(GetPixel(mem, c.right - 2, c.bottom - 2), RGB(0, 0, 255));
    SelectObject(mem, old);
    DeleteDC(mem);
    // On screen the copied canvas shows, nothing erased under it.
    f.paint.Repaint();
    HDC dc = GetDC(f.paint.Handle());
    EXPECT_EQ(GetPixel(dc, 2, 2), RGB(255, 0, 0));
    EXPECT_EQ(GetPixel(dc, c.right - 2, c.bottom / 2), RGB(0, 0, 255));
    ReleaseDC(f.paint.Handle(), dc);
    EXPECT_EQ(SendMessageA(f.paint.Handle(), WM_ERASEBKGND, 0, 0), 1);
  });
}

TEST_F(EditorControls, ColumnListBoxFillsTwoColumns) {
  Run([](ControlsForm& f) {
    for (int i = 0; i < 13; ++i) f.columns.Add("Item " + std::to_string(i));
    f.columns.SetColumns(2);
    RECT r0;
    SendMessageA(f.columns.Handle(), LB_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&r0));
    RECT c = f.columns.ClientRect();
    EXPECT_EQ(r0.right - r0.left, c.right / 2);
    // How many rows a column holds follows from the font and from whether the
    // horizontal scroll bar shows; rows run top to bottom before the next column starts.
    const int rows = static_cast<int>(c.bottom / (r0.bottom - r0.top));
    ASSERT_GT(rows, 1);
    ASSERT_LT(rows, 13) << "the items must need a second column";
    for (int i = 0; i < 13; ++i) EXPECT_EQ(f.columns.ColumnOf(i), i / rows) << i;
    RECT next;
    SendMessageA(f.columns.Handle(), LB_GETITEMRECT, static_cast<WPARAM>(rows), reinterpret_cast<LPARAM>(&next));
    EXPECT_EQ(next.top, r0.top) << "the second column starts at the top";
    EXPECT_EQ(next.left, r0.right);
    EXPECT_EQ(f.columns.ColumnOf(13), -1);
    f.columns.SetItemIndex(12);
    EXPECT_EQ(f.columns.ItemIndex(), 12);
    EXPECT_EQ(f.columns.Item(12), "Item 12");
  });
}

TEST_F(EditorControls, MultiSelectListBoxSelectionAndFocus) {
  Run([](ControlsForm& f) {
    EXPECT_EQ(f.multi.FocusedIndex(), -1);  // empty: no row, not row 0
    EXPECT_EQ(f.multi.SelCount(), 0);
    f.multi.SetItems({"a", "b", "c"});
    f.multi.SetSelected(0, true);
    f.multi.SetSelected(2, true);
    EXPECT_EQ(f.multi.SelCount(), 2);
    EXPECT_TRUE(f.multi.Selected(2));
    EXPECT_FALSE(f.multi.Selected(1));
    f.multi.SetFocusedIndex(1);
    EXPECT_EQ(f.multi.FocusedIndex(), 1);
    f.multi.Delete(0);
    f.multi.Insert(1, "x");
    EXPECT_EQ(f.multi.Items(), (std::vector<std::string>{"b", "x", "c"}));
    f.multi.ClearSelection();
    EXPECT_EQ(f.multi.SelCount(), 0);
  });
}

TEST_F(EditorControls, ColourAndFontDialogsThroughTheSeam) {
  seams::QueueColorAnswer(0x123456);
  seams::QueueColorAnswer(std::nullopt);
  Color c = clBtnFace;
  EXPECT_TRUE(ChooseColorDialog(c));
  EXPECT_EQ(c, 0x123456);
  EXPECT_FALSE(ChooseColorDialog(c));
  EXPECT_EQ(c, 0x123456);
  ASSERT_EQ(seams::ColorRequests().size(), 2u);
  EXPECT_EQ(seams::ColorRequests()[0], clBtnFace);

  Font chosen;
  chosen.Name = "Arial";
  chosen.Size = 30;
  chosen.Style = fsItalicBit;
  seams::QueueFontAnswer(chosen);
  Font f;
  f.Name = "Times New Roman";
  EXPECT_TRUE(ChooseFontDialog(f));
  EXPECT_EQ(f.Name, "Arial");
  EXPECT_EQ(f.Size, 30);
  EXPECT_FALSE(ChooseFontDialog(f));  // nothing queued: Cancel
  ASSERT_EQ(seams::FontRequests().size(), 2u);
  EXPECT_EQ(seams::FontRequests()[0].Name, "Times New Roman");
}

// Presses OK in the common dialog the thread shows next.
HWND g_found = nullptr;
BOOL CALLBACK FindDialog(HWND w, LPARAM) {
  char cls[32] = {};
  GetClassNameA(w, cls, sizeof cls);
  if (std::string(cls) == "#32770" && IsWindowVisible(w)) {
    g_found = w;
    return FALSE;
  }
  return TRUE;
}
void CALLBACK PressOk(HWND, UINT, UINT_PTR id, DWORD) {
  g_found = nullptr;
  EnumThreadWindows(GetCurrentThreadId(), FindDialog, 0);
  if (g_found) {
    KillTimer(nullptr, id);
    PostMessageA(g_found, WM_COMMAND, IDOK, 0);
  }
}

TEST_F(EditorControls, RealColourAndFontDialogsGiveBackWhatTheyOpenedOn) {
  App().Initialize();
  seams::Watchdog dog(30, "common dialogs");
  SetTimer(nullptr, 0, 50, PressOk);
  Color c = 0x00336699;
  EXPECT_TRUE(ChooseColorDialog(c));
  EXPECT_EQ(c, 0x00336699);

  // A face the dialog cannot offer opens on its first one: the face must be installed.
  // Windows has Tahoma since 2000, Wine in its own fonts.
  ASSERT_TRUE(wintest::FontInstalled("Tahoma"));
  SetTimer(nullptr, 0, 50, PressOk);
  Font f;
  f.Name = "Tahoma";
  f.Size = 14;
  f.Color_ = 0x0000FF;
  f.Style = fsBoldBit;
  EXPECT_TRUE(ChooseFontDialog(f));
  EXPECT_EQ(f.Name, "Tahoma");
  EXPECT_EQ(f.Size, 14);
  EXPECT_EQ(f.Style & fsBoldBit, fsBoldBit);
  EXPECT_EQ(f.Color_, 0x0000FF);
}

}  // namespace
