// The background screen editor and its objects dialog under Wine, driven through their
// real controls and checked by the project's saved bytes; the preview painted into a
// bitmap and sampled, and compared with the engine's own background screen.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <cstdlib>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "base/Streams.h"
#include "base/win/Application.h"
#include "base/win/PaintBox.h"
#include "base/win/TestSeams.h"
#include "builder/editors/SetupScreen.h"
#include "builder/editors/SetupScreenObjects.h"
#include "setup/engine/BackgroundForm.h"
#include "setup/engine/BackgroundPaint.h"
#include "tests/harness/Bitmaps.h"
#include "tests/harness/FormDriver.h"
#include "tests/harness/PictureFiles.h"
#include "tests/harness/WinTestSupport.h"
#include "tests/harness/WindowPixels.h"

using namespace base::win;

namespace {

using Bytes = std::vector<uint8_t>;

class ScreenEditor : public ::testing::Test {
protected:
  void SetUp() override {
    seams::Reset();
    seams::Arm();
    dir_ = wintest::TempFolder() + "scr_" + ::testing::UnitTest::GetInstance()->current_test_info()->name() + "\\";
    CreateDirectoryA(dir_.c_str(), nullptr);
    p.SetApplicationName("Demo");
  }
  void TearDown() override { seams::Reset(); }

  // Runs the editor on `p` with the script inside its modal loop.
  bool Edit(std::function<void(TfrmScreenSetup&)> script) {
    bool ran = false;
    seams::WhenShown<TfrmScreenSetup>([&](TfrmScreenSetup& f) {
      ran = true;
      script(f);
    });
    seams::Watchdog dog(30, "screen editor");
    bool ok = EditScreenSetup(p);
    EXPECT_TRUE(ran);
    return ok;
  }
  std::string P(const std::string& name) const { return dir_ + name; }
  static void Write(const std::string& file, const std::string& bytes) {
    base::WriteFileBytes(file, Bytes(bytes.begin(), bytes.end()));
  }

  TTandrelBaseInstall p;
  std::string dir_;
};

COLORREF PixelOf(const Picture& pic, int x, int y) {
  HDC dc = CreateCompatibleDC(nullptr);
  HGDIOBJ old = SelectObject(dc, pic.Bitmap());
  COLORREF c = GetPixel(dc, x, y);
  SelectObject(dc, old);
  DeleteDC(dc);
  return c;
}

// The background screen's client area as the engine paints it for the editor's project.
std::unique_ptr<Picture> Screen(const TfrmScreenSetup& f) { return PaintBackgroundWindow(*f.WorkingCopy, f.TitlePicture()); }

// The picture's pixels row by row, for comparing two drawings.
std::vector<COLORREF> Pixels(HDC dc, int w, int h) {
  std::vector<COLORREF> px;
  px.reserve(static_cast<size_t>(w) * h);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) px.push_back(GetPixel(dc, x, y));
  return px;
}

TEST_F(ScreenEditor, OpensOnTheProjectsChannelsAndOkStoresThemUnchanged) {
  p.Red = 100;
  p.Green = 50;
  p.BlueStatic = false;
  p.BlueIncreasing = true;
  TTandrelBaseInstall expected;
  expected.Assign(p);
  expected.CompletedScreen = true;
  ASSERT_TRUE(Edit([](TfrmScreenSetup& f) {
    EXPECT_TRUE(f.red.Static.Checked());
    EXPECT_TRUE(f.green.Static.Checked());
    EXPECT_TRUE(f.blue.Increasing.Checked());
    EXPECT_FALSE(f.blue.Static.Checked());
    EXPECT_EQ(f.red.Scroll.Position(), 100);
    EXPECT_EQ(f.green.Scroll.Position(), 50);
    EXPECT_TRUE(f.red.Scroll.Enabled());
    EXPECT_TRUE(f.green.Scroll.Enabled());
    EXPECT_FALSE(f.blue.Scroll.Enabled());
    wintest::Click(f.btnOk.Handle());
  }));
  EXPECT_TRUE(p.Modified);
  EXPECT_EQ(p.SaveToBytes(), expected.SaveToBytes());
}

TEST_F(ScreenEditor, ChannelEditsReachTheProjectOnlyOnOk) {
  ASSERT_TRUE(Edit([](TfrmScreenSetup& f) {
    wintest::Click(f.red.Increasing.Handle());  // a static channel turned increasing stores 0
    EXPECT_FALSE(f.red.Scroll.Enabled());
    wintest::Click(f.blue.Static.Handle());
    EXPECT_TRUE(f.blue.Scroll.Enabled());
    f.blue.Scroll.Scroll(SB_THUMBTRACK, 77);
    wintest::Click(f.btnOk.Handle());
  }));
  EXPECT_FALSE(p.RedStatic);
  EXPECT_TRUE(p.RedIncreasing);
  EXPECT_EQ(p.Red, 0);
  EXPECT_TRUE(p.BlueStatic);
  EXPECT_EQ(p.Blue, 77);
  EXPECT_TRUE(p.CompletedScreen);
}

TEST_F(ScreenEditor, CancelEscapeAndCloseBoxLeaveTheProjectByteIdentical) {
  p.TitleCaption = "Before";
  const Bytes before = p.SaveToBytes();
  const std::vector<std::function<void(TfrmScreenSetup&)>> leaves = {
      [](TfrmScreenSetup& f) { wintest::Click(f.btnCancel.Handle()); },
      [](TfrmScreenSetup& f) { wintest::PostKey(VK_ESCAPE, f.red.Scroll.Handle()); },
      [](TfrmScreenSetup& f) { wintest::CloseByTitleBar(f.Handle()); },
  };
  for (size_t i = 0; i < leaves.size(); ++i) {
    EXPECT_FALSE(Edit([&](TfrmScreenSetup& f) {
      wintest::Click(f.green.Decreasing.Handle());
      f.red.Scroll.Scroll(SB_THUMBTRACK, 9);
      // The objects dialog writes into the working copy only.
      seams::WhenShown<TfrmScreenObjects>([](TfrmScreenObjects& o) {
        wintest::Type(o.edtTitle.Handle(), "After");
        wintest::Click(o.btnOk.Handle());
      });
      wintest::Click(f.Button2.Handle());
      EXPECT_EQ(f.WorkingCopy->TitleCaption, "After");
      leaves[i](f);
    })) << i;
    EXPECT_EQ(p.SaveToBytes(), before) << i;
    EXPECT_FALSE(p.CompletedScreen) << i;
    EXPECT_FALSE(p.Modified) << i;
  }
}

TEST_F(ScreenEditor, PreviewShowsTheGradientBandsOfItsArea) {
  p.RedStatic = false;  // red decreasing from 255, green static 40, blue increasing
  p.Green = 40;
  p.BlueStatic = false;
  p.BlueIncreasing = true;
  ASSERT_FALSE(Edit([&](TfrmScreenSetup& f) {
    auto shot = Screen(f);
    ASSERT_TRUE(shot);
    const int h = shot->Height();
    auto bands = GradientBands(*f.WorkingCopy, h);
    ASSERT_FALSE(bands.empty());
    const int step = bands[0].Bottom;
    for (int i : {0, 1, h / step / 2, h / step - 1}) {
      int y = i * step + step / 2;
      if (y >= h) continue;
      EXPECT_EQ(PixelOf(*shot, 5, y), RGB(255 - i, 40, i)) << i;
      EXPECT_EQ(PixelOf(*shot, shot->Width() - 1, y), RGB(255 - i, 40, i)) << i;
    }
    // A scroll of a static channel repaints at once from the new value.
    wintest::Click(f.blue.Static.Handle());
    f.blue.Scroll.Scroll(SB_THUMBTRACK, 200);
    EXPECT_EQ(PixelOf(*Screen(f), 5, step / 2), RGB(255, 40, 200));
    auto again = f.PaintBox.Snapshot();
    const COLORREF middle = PixelOf(*again, again->Width() / 2, again->Height() / 2);
    EXPECT_EQ(GetGValue(middle), 40);
    EXPECT_EQ(GetBValue(middle), 200);
    wintest::Click(f.btnCancel.Handle());
  }));
}

// Where the title text's pixels lie: the bounding box of the colour, or of the pixels
// near it (each channel within `tolerance`).
RECT ColourBox(const Picture& pic, COLORREF colour, int tolerance = 0) {
  RECT box{pic.Width(), pic.Height(), -1, -1};
  HDC dc = CreateCompatibleDC(nullptr);
  HGDIOBJ old = SelectObject(dc, pic.Bitmap());
  auto close = [tolerance](int a, int b) { return a >= b - tolerance && a <= b + tolerance; };
  for (int y = 0; y < pic.Height(); ++y)
    for (int x = 0; x < pic.Width(); ++x) {
      const COLORREF c = GetPixel(dc, x, y);
      if (close(GetRValue(c), GetRValue(colour)) && close(GetGValue(c), GetGValue(colour)) &&
          close(GetBValue(c), GetBValue(colour))) {
        box.left = std::min<LONG>(box.left, x);
        box.top = std::min<LONG>(box.top, y);
        box.right = std::max<LONG>(box.right, x + 1);
        box.bottom = std::max<LONG>(box.bottom, y + 1);
      }
    }
  SelectObject(dc, old);
  DeleteDC(dc);
  return box;
}

TEST_F(ScreenEditor, TitleTextSitsByItsPositionWithItsShadowAndAmpersandAsWritten) {
  p.TitleCaption = "R&D Tools";
  p.TitleFontColor = 0x00FFFF;      // yellow text
  p.TitleShadowColor = 0x00FF00;    // green shadow
  p.TitleFontSize = 20;
  p.TitleFontStyle = 0;
  p.OtherCaption = "";
  p.RedStatic = p.GreenStatic = p.BlueStatic = true;  // black ground
  for (TItemPosition pos : {ipTopLeft, ipTopRight, ipBottomLeft, ipBottomRight, ipCentre}) {
    p.TitlePos = pos;
    ASSERT_FALSE(Edit([&](TfrmScreenSetup& f) {
      auto shot = Screen(f);
      const int cw = shot->Width(), ch = shot->Height();
      auto text = TitleText(*f.WorkingCopy);
      ASSERT_TRUE(text);
      SIZE size = MeasureBackgroundText(*text);
      TPlace at = PlaceByPosition(pos, size.cx, size.cy, cw, ch);
      RECT yellow = ColourBox(*shot, RGB(255, 255, 0));
      RECT green = ColourBox(*shot, RGB(0, 255, 0));
      ASSERT_GE(yellow.right, 0) << int(pos);
      // The glyphs lie inside the text's place; the shadow's 3 pixels right and below.
      EXPECT_GE(yellow.left, at.Left) << int(pos);
      EXPECT_GE(yellow.top, at.Top) << int(pos);
      EXPECT_LE(yellow.right, at.Left + size.cx) << int(pos);
      EXPECT_LE(yellow.bottom, at.Top + size.cy) << int(pos);
      EXPECT_EQ(green.right, yellow.right + 3) << int(pos);
      EXPECT_EQ(green.bottom, yellow.bottom + 3) << int(pos);
      wintest::Click(f.btnCancel.Handle());
    }));
  }
  // "&" is drawn, not taken as a prefix: the text is as wide as written.
  TBackgroundText withAmp{"R&D Tools ", "Times New Roman", 20, 0, 0, 0, ipTopLeft};
  TBackgroundText without{"RD Tools ", "Times New Roman", 20, 0, 0, 0, ipTopLeft};
  EXPECT_GT(MeasureBackgroundText(withAmp).cx, MeasureBackgroundText(without).cx);
}

TEST_F(ScreenEditor, TitlePictureIsPlacedAndAMissingOneLeavesNothingBehind) {
  Write(P("logo.bmp"), wintest::MakeBitmap(40, 20, [](int, int) { return std::string("\x60\x40\x20", 3); }));
  p.IsBitmap = true;
  p.TitleCaption = P("logo.bmp");
  p.TitlePos = ipCentre;
  p.RedStatic = p.GreenStatic = p.BlueStatic = true;
  ASSERT_FALSE(Edit([&](TfrmScreenSetup& f) {
    auto shot = Screen(f);
    const int cx = shot->Width() / 2, cy = shot->Height() / 2;
    EXPECT_EQ(PixelOf(*shot, cx, cy), RGB(0x20, 0x40, 0x60));
    EXPECT_EQ(PixelOf(*shot, (shot->Width() - 40) / 2, (shot->Height() - 20) / 2), RGB(0x20, 0x40, 0x60));
    EXPECT_EQ(PixelOf(*shot, (shot->Width() - 40) / 2 - 1, cy), RGB(0, 0, 0));
    ASSERT_TRUE(f.TitlePicture());
    // The picture's file goes away: the next preview shows no title at all.
    f.WorkingCopy->TitleCaption = P("gone.bmp");
    f.UpdatePreview();
    EXPECT_FALSE(f.TitlePicture());
    EXPECT_EQ(PixelOf(*Screen(f), cx, cy), RGB(0, 0, 0));
    wintest::Click(f.btnCancel.Handle());
  }));
}

TEST_F(ScreenEditor, AMetafileTitleShowsWithTheBackgroundAroundItsPaint) {
  Write(P("logo.wmf"), wintest::MakePlaceableMetafile(RGB(0, 128, 0)));
  p.IsBitmap = true;
  p.TitleCaption = P("logo.wmf");
  p.TitlePos = ipCentre;
  p.RedStatic = p.GreenStatic = p.BlueStatic = true;
  p.Red = p.Green = p.Blue = 200;
  ASSERT_FALSE(Edit([&](TfrmScreenSetup& f) {
    EXPECT_TRUE(seams::Messages().empty());
    ASSERT_TRUE(f.TitlePicture());
    auto shot = Screen(f);
    const int cx = shot->Width() / 2, cy = shot->Height() / 2;
    EXPECT_EQ(PixelOf(*shot, cx - 8, cy), RGB(0, 128, 0));
    EXPECT_EQ(PixelOf(*shot, cx + 8, cy), RGB(200, 200, 200));
    wintest::Click(f.btnCancel.Handle());
  }));
}

TEST_F(ScreenEditor, PreviewAndEngineBackgroundDrawTheSamePixels) {
  p.TitleCaption = "R&D Tools";
  p.TitlePos = ipCentre;
  p.SetCompanyName("Tandrel");
  p.OtherPos = ipBottomLeft;
  p.RedStatic = false;
  p.RedIncreasing = true;
  // The preview: its snapshot is the screen's painting scaled into the box.
  ASSERT_FALSE(Edit([&](TfrmScreenSetup& f) {
    auto shot = f.PaintBox.Snapshot();
    MemoryCanvas ref(shot->Width(), shot->Height());
    RECT area{0, 0, shot->Width(), shot->Height()};
    FillRect(ref.DC(), &area, GetSysColorBrush(COLOR_BTNFACE));
    PaintScreenPreview(ref.DC(), *f.WorkingCopy, area, nullptr);
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, shot->Bitmap());
    EXPECT_TRUE(Pixels(dc, area.right, area.bottom) == Pixels(ref.DC(), area.right, area.bottom));
    SelectObject(dc, old);
    DeleteDC(dc);
    wintest::Click(f.btnCancel.Handle());
  }));
  // The engine's screen, as the user sees it, against the same painting at its size.
  TfrmBackground screen;
  screen.Project = &p;
  screen.NoStart = true;
  bool compared = false;
  seams::WhenShown<TfrmBackground>([&](TfrmBackground& b) {
    wintest::Pump(200);
    const RECT c = b.ClientRect();
    MemoryCanvas full(c.right, c.bottom);
    PaintBackground(full.DC(), p, c, b.Height(), nullptr);
    // Rows of the screen against the same rows of the painting; the pixels that differ.
    auto differing = [&](int top, int rows) {
      const int w = c.right;
      HDC screenDc = GetDC(b.Handle());
      MemoryCanvas shown(w, rows);
      BitBlt(shown.DC(), 0, 0, w, rows, screenDc, 0, top, SRCCOPY);
      ReleaseDC(b.Handle(), screenDc);
      MemoryCanvas ref(w, rows);
      BitBlt(ref.DC(), 0, 0, w, rows, full.DC(), 0, top, SRCCOPY);
      auto a = Pixels(shown.DC(), w, rows), e = Pixels(ref.DC(), w, rows);
      size_t n = 0;
      for (size_t i = 0; i < a.size(); ++i) n += a[i] != e[i];
      return n;
    };
    // The rows a text and its shadow take, with a margin of the bands around them.
    auto rowsOf = [&](const Label& text, const Label& shadow) {
      RECT t, s;
      GetWindowRect(text.Handle(), &t);
      GetWindowRect(shadow.Handle(), &s);
      POINT top{0, std::min(t.top, s.top)}, bottom{0, std::max(t.bottom, s.bottom)};
      ScreenToClient(b.Handle(), &top);
      ScreenToClient(b.Handle(), &bottom);
      return std::pair<int, int>{top.y - 10, bottom.y - top.y + 20};
    };
    const auto title = rowsOf(b.lblTitle, b.lblShadow), other = rowsOf(b.lblOther, b.lblOtherShadow);
    ASSERT_TRUE(b.lblTitle.Visible() && b.lblOther.Visible());
    EXPECT_EQ(differing(title.first, title.second), 0u) << "the centred title over its shadow";
    EXPECT_EQ(differing(other.first, other.second), 0u) << "the second text at the bottom left";
    // Painted again at once, children with their parent: the texts still lie over their shadows.
    RedrawWindow(b.Handle(), nullptr, nullptr, RDW_ERASE | RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    wintest::Pump(100);
    EXPECT_EQ(differing(title.first, title.second), 0u) << "repainted";
    EXPECT_EQ(differing(other.first, other.second), 0u) << "repainted";
    compared = true;
    b.SetModalResult(mrOk);
  });
  seams::Watchdog dog(30, "engine background");
  screen.ShowModal();
  EXPECT_TRUE(compared);
}

TEST_F(ScreenEditor, FontSamplesShowTheirTextWholeAndReadable) {
  // A large white title and a small dark second text.
  p.TitleCaption = "Big White Title";
  p.TitleFontName = "Arial";
  p.TitleFontSize = 48;
  p.TitleFontColor = 0xFFFFFF;
  p.OtherCaption = "Small";
  p.OtherFontName = "Arial";
  p.OtherFontSize = 10;
  p.OtherFontColor = 0x000000;
  ASSERT_FALSE(Edit([&](TfrmScreenSetup& f) {
    seams::WhenShown<TfrmScreenObjects>([&](TfrmScreenObjects& o) {
      const wintest::WindowPixels shot(o.Handle(), "screen_objects");
      for (const Label* panel : {&o.pnlTitle, &o.pnlSubTitle}) {
        SCOPED_TRACE(panel->Caption());
        HWND h = panel->Handle();
        RECT r = panel->ClientRect();
        // The font drawn fits the panel, text and all.
        LOGFONTA lf{};
        GetObjectA(reinterpret_cast<HFONT>(SendMessageA(h, WM_GETFONT, 0, 0)), sizeof lf, &lf);
        EXPECT_LE(std::abs(lf.lfHeight), r.bottom);
        HDC dc = GetDC(h);
        HGDIOBJ old = SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageA(h, WM_GETFONT, 0, 0)));
        SIZE text{};
        const std::string caption = panel->Caption();
        GetTextExtentPoint32A(dc, caption.c_str(), static_cast<int>(caption.size()), &text);
        SelectObject(dc, old);
        ReleaseDC(h, dc);
        EXPECT_LE(text.cx, r.right);
        EXPECT_LE(text.cy, r.bottom);
        // The ground past the text stands apart from the text's colour.
        const COLORREF ground = shot.At(h, r.right - 2, r.bottom / 2);
        const COLORREF ink = panel == &o.pnlTitle ? RGB(255, 255, 255) : RGB(0, 0, 0);
        const int contrast = std::abs(GetRValue(ground) - GetRValue(ink)) + std::abs(GetGValue(ground) - GetGValue(ink)) +
                             std::abs(GetBValue(ground) - GetBValue(ink));
        EXPECT_GT(contrast, 300);
      }
      // The project keeps the chosen size.
      EXPECT_EQ(o.TitleFont().Size, 48);
      wintest::Click(o.btnOk.Handle());
    });
    wintest::Click(f.Button2.Handle());
    EXPECT_EQ(f.WorkingCopy->TitleFontSize, 48);
    wintest::Click(f.btnCancel.Handle());
  }));
}

TEST_F(ScreenEditor, ThePreviewShowsTheWholeScreenScaledIntoItsBox) {
  // Large texts at the screen's right edge and bottom: cut in a box of their real size.
  p.TitleCaption = "A Long Product Title";
  p.TitleFontName = "Arial";
  p.TitleFontSize = 36;
  p.TitleFontStyle = fsBoldBit;
  p.TitleFontColor = 0x00FFFF;  // yellow
  p.TitleShadowColor = 0;
  p.TitlePos = ipTopRight;
  p.OtherCaption = "The second text of the screen";
  p.OtherFontName = "Arial";
  p.OtherFontSize = 24;
  p.OtherFontStyle = fsBoldBit;
  p.OtherFontColor = 0xFFFF00;  // cyan
  p.OtherShadowColor = 0;
  p.OtherPos = ipBottomRight;
  p.RedStatic = p.GreenStatic = p.BlueStatic = true;
  p.Red = p.Green = p.Blue = 0;
  ASSERT_FALSE(Edit([&](TfrmScreenSetup& f) {
    auto screen = Screen(f);
    auto shot = f.PaintBox.Snapshot();
    const SIZE seen{screen->Width() - 2, screen->Height() - 2};
    const RECT box{0, 0, shot->Width(), shot->Height()};
    const RECT fit = FitInto(seen, box);
    // The screen keeps its proportions, inside the box.
    EXPECT_GE(fit.left, 0);
    EXPECT_LE(fit.right, box.right);
    EXPECT_NEAR(double(fit.right - fit.left) / (fit.bottom - fit.top), double(seen.cx) / seen.cy, 0.02);
    const double scale = double(fit.right - fit.left) / seen.cx;
    for (COLORREF colour : {RGB(255, 255, 0), RGB(0, 255, 255)}) {
      SCOPED_TRACE(colour);
      const RECT full = ColourBox(*screen, colour, 60);
      const RECT inBox = ColourBox(*shot, colour, 60);
      ASSERT_GE(full.right, 0);
      ASSERT_GE(inBox.right, 0);
      // The text where the screen has it, at the preview's scale: whole, not cut by the box.
      EXPECT_NEAR(inBox.left, fit.left + (full.left - 1) * scale, 3);
      EXPECT_NEAR(inBox.right, fit.left + (full.right - 1) * scale, 3);
      EXPECT_NEAR(inBox.top, fit.top + (full.top - 1) * scale, 3);
      EXPECT_NEAR(inBox.bottom, fit.top + (full.bottom - 1) * scale, 3);
      EXPECT_LT(inBox.right, fit.right);
    }
    wintest::Click(f.btnCancel.Handle());
  }));
}

TEST_F(ScreenEditor, ObjectsDialogStoresTextFontsAndPlacesOrKeepsTheFontForAPicture) {
  p.TitleCaption = "Old";
  ASSERT_FALSE(Edit([&](TfrmScreenSetup& f) {
    Font big;
    big.Name = "Arial";
    big.Size = 30;
    big.Color_ = 0x0000FF;
    big.Style = fsItalicBit;
    seams::QueueFontAnswer(big);
    seams::WhenShown<TfrmScreenObjects>([&](TfrmScreenObjects& o) {
      EXPECT_TRUE(o.rbText.Checked());
      EXPECT_EQ(o.pnlTitle.Caption(), "Old");
      EXPECT_TRUE(o.btnFont.Enabled());
      EXPECT_FALSE(o.btnBrowse.Enabled());
      wintest::Type(o.edtTitle.Handle(), "New & Co");
      EXPECT_EQ(o.pnlTitle.Caption(), "New & Co");
      wintest::Click(o.btnFont.Handle());
      EXPECT_EQ(o.TitleFont().Name, "Arial");
      o.cbTitlePosition.Pick(ipCentre);
      wintest::Type(o.edtSubTitle.Handle(), "Sub");
      o.cbSubPosition.Pick(ipTopRight);
      wintest::Click(o.btnOk.Handle());
    });
    wintest::Click(f.Button2.Handle());
    const TTandrelBaseInstall& w = *f.WorkingCopy;
    EXPECT_FALSE(w.IsBitmap);
    EXPECT_EQ(w.TitleCaption, "New & Co");
    EXPECT_EQ(w.TitleFontName, "Arial");
    EXPECT_EQ(w.TitleFontSize, 30);
    EXPECT_EQ(w.TitleFontColor, 0x0000FF);
    EXPECT_EQ(w.TitleFontStyle, SetBit(fsItalic));
    EXPECT_EQ(w.TitlePos, ipCentre);
    EXPECT_EQ(w.OtherCaption, "Sub");
    EXPECT_EQ(w.OtherPos, ipTopRight);

    // A picture title keeps the stored font whatever the panel shows.
    seams::QueueFontAnswer(Font{});
    seams::QueueFileAnswer(std::string("C:\\pics\\logo.bmp"));
    seams::WhenShown<TfrmScreenObjects>([&](TfrmScreenObjects& o) {
      wintest::Click(o.btnFont.Handle());
      wintest::Click(o.rbBitmap.Handle());
      EXPECT_FALSE(o.btnFont.Enabled());
      EXPECT_EQ(o.pnlTitle.Caption(), "");
      wintest::Click(o.btnBrowse.Handle());
      EXPECT_EQ(o.edtTitle.Text(), "C:\\pics\\logo.bmp");
      wintest::Click(o.btnOk.Handle());
    });
    wintest::Click(f.Button2.Handle());
    EXPECT_TRUE(w.IsBitmap);
    EXPECT_EQ(w.TitleCaption, "C:\\pics\\logo.bmp");
    EXPECT_EQ(w.TitleFontName, "Arial");
    wintest::Click(f.btnCancel.Handle());
  }));
}

}  // namespace
