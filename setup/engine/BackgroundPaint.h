// Drawing the full-screen background: the gradient, the texts with their shadows and the
// title picture. The engine's background screen paints its gradient here and lays its
// labels out by the same measures; the builder's preview draws all of it here, so what
// the author sees is what the user gets.
#pragma once
#include <windows.h>

#include <memory>

#include "base/win/Graphics.h"
#include "setup/engine/BackgroundLayout.h"

// The gradient's bands for an area `height` high, filled from x 0 to `right`.
void PaintGradient(HDC dc, const TTandrelBaseInstall& project, int height, int right);

// The font a background text is drawn in.
base::win::Font BackgroundFont(const TBackgroundText& text);
// The text's size in its font, as a label sized to its text has it.
SIZE MeasureBackgroundText(const TBackgroundText& text);
// Draws the shadow, then the text over it, at `at` (the text's place); "&" is drawn as
// written.
void DrawBackgroundText(HDC dc, const TBackgroundText& text, const TPlace& at);

// The whole background in a client area: the gradient for `gradientHeight`, the title
// picture (when the title is one and `title` holds it) or the title text, then the second
// text, each placed by its position in `client`.
void PaintBackground(HDC dc, const TTandrelBaseInstall& project, const RECT& client, int gradientHeight,
                     const base::win::Picture* title);

// The background screen's client size: it covers the screen with one pixel to spare on
// every side, so no frame line shows.
SIZE BackgroundClientSize();
// The background screen's client area as the engine paints it.
std::unique_ptr<base::win::Picture> PaintBackgroundWindow(const TTandrelBaseInstall& project,
                                                         const base::win::Picture* title);
// Where a picture of `picture` size goes in `box`: scaled whole, proportions kept, centred.
RECT FitInto(SIZE picture, const RECT& box);
// A preview of the screen in `box`: what the background screen shows of itself on the
// screen, scaled whole into the box.
void PaintScreenPreview(HDC dc, const TTandrelBaseInstall& project, const RECT& box, const base::win::Picture* title);
