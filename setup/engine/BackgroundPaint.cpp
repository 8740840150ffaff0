#include "setup/engine/BackgroundPaint.h"

#include "base/win/Application.h"
#include "base/win/PaintBox.h"

using namespace base::win;

namespace {

// The flags a left-aligned label without prefix processing draws its text with.
constexpr UINT kLabelText = DT_LEFT | DT_EXPANDTABS | DT_WORDBREAK | DT_NOPREFIX;

}  // namespace

void PaintGradient(HDC dc, const TTandrelBaseInstall& p, int height, int right) {
  for (const TGradientBand& b : GradientBands(p, height)) {
    RECT r{0, b.Top, right, b.Bottom};
    FillSolid(dc, r, RGB(b.Red, b.Green, b.Blue));
  }
}

Font BackgroundFont(const TBackgroundText& text) {
  Font font;
  font.Name = text.FontName;
  font.Size = text.FontSize;
  font.Color_ = text.Color;
  font.Style = text.FontStyle;
  return font;
}

SIZE MeasureBackgroundText(const TBackgroundText& text) {
  GdiObject font(CreateGdiFont(BackgroundFont(text)));
  HDC dc = GetDC(nullptr);
  HGDIOBJ old = SelectObject(dc, font.get());
  RECT r{0, 0, 0, 0};
  DrawTextA(dc, text.Caption.c_str(), static_cast<int>(text.Caption.size()), &r, DT_CALCRECT | DT_NOPREFIX);
  SelectObject(dc, old);
  ReleaseDC(nullptr, dc);
  return SIZE{r.right, r.bottom};
}

void DrawBackgroundText(HDC dc, const TBackgroundText& text, const TPlace& at) {
  const SIZE size = MeasureBackgroundText(text);
  GdiObject font(CreateGdiFont(BackgroundFont(text)));
  HGDIOBJ old = SelectObject(dc, font.get());
  const int oldMode = SetBkMode(dc, TRANSPARENT);
  const COLORREF oldColor = GetTextColor(dc);
  auto draw = [&](const TPlace& p, TColor color) {
    RECT r{p.Left, p.Top, p.Left + size.cx, p.Top + size.cy};
    SetTextColor(dc, ColorToRGB(color));
    DrawTextA(dc, text.Caption.c_str(), static_cast<int>(text.Caption.size()), &r, kLabelText);
  };
  draw(ShadowPlace(at), text.ShadowColor);
  draw(at, text.Color);
  SetTextColor(dc, oldColor);
  SetBkMode(dc, oldMode);
  SelectObject(dc, old);
}

void PaintBackground(HDC dc, const TTandrelBaseInstall& p, const RECT& client, int gradientHeight,
                     const Picture* title) {
  const int cw = client.right - client.left, ch = client.bottom - client.top;
  PaintGradient(dc, p, gradientHeight, cw + 2);
  auto drawText = [&](const TBackgroundText& t) {
    SIZE size = MeasureBackgroundText(t);
    if (auto at = PlaceIfKnown(t.Pos, size.cx, size.cy, cw, ch)) DrawBackgroundText(dc, t, *at);
  };
  if (p.IsBitmap) {
    if (title && title->Bitmap()) {
      if (auto at = PlaceIfKnown(p.TitlePos, title->Width(), title->Height(), cw, ch)) {
        DrawPicture(dc, *title, RECT{at->Left, at->Top, at->Left + title->Width(), at->Top + title->Height()});
      }
    }
  } else if (auto t = TitleText(p)) {
    drawText(*t);
  }
  if (auto t = OtherText(p)) drawText(*t);
}

SIZE BackgroundClientSize() { return SIZE{ScreenWidth() + 2, ScreenHeight() + 2}; }

std::unique_ptr<Picture> PaintBackgroundWindow(const TTandrelBaseInstall& p, const Picture* title) {
  const SIZE client = BackgroundClientSize();
  MemoryCanvas full(client.cx, client.cy);
  PaintBackground(full.DC(), p, RECT{0, 0, client.cx, client.cy}, client.cy, title);
  return full.TakePicture();
}

RECT FitInto(SIZE picture, const RECT& box) {
  const int bw = box.right - box.left, bh = box.bottom - box.top;
  if (picture.cx <= 0 || picture.cy <= 0 || bw <= 0 || bh <= 0) return RECT{box.left, box.top, box.left, box.top};
  int w = bw, h = static_cast<int>(static_cast<int64_t>(picture.cy) * bw / picture.cx);
  if (h > bh) {
    h = bh;
    w = static_cast<int>(static_cast<int64_t>(picture.cx) * bh / picture.cy);
  }
  const int x = box.left + (bw - w) / 2, y = box.top + (bh - h) / 2;
  return RECT{x, y, x + w, y + h};
}

void PaintScreenPreview(HDC dc, const TTandrelBaseInstall& p, const RECT& box, const Picture* title) {
  auto window = PaintBackgroundWindow(p, title);
  if (!window) return;
  // The window starts one pixel above and left of the screen: the screen shows the rest.
  const SIZE screen{window->Width() - 2, window->Height() - 2};
  const RECT to = FitInto(screen, box);
  HDC src = CreateCompatibleDC(dc);
  HGDIOBJ old = SelectObject(src, window->Bitmap());
  // Averaged, so thin strokes of the texts stay visible at the small size.
  const int mode = SetStretchBltMode(dc, HALFTONE);
  POINT org;
  SetBrushOrgEx(dc, 0, 0, &org);
  StretchBlt(dc, to.left, to.top, to.right - to.left, to.bottom - to.top, src, 1, 1, screen.cx, screen.cy, SRCCOPY);
  SetBrushOrgEx(dc, org.x, org.y, nullptr);
  SetStretchBltMode(dc, mode);
  SelectObject(src, old);
  DeleteDC(src);
}
