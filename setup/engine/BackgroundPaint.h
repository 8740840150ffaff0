// Drawing the full-screen background: the gradient, the texts with their shadows and the
// title picture. The engine's background screen paints its gradient here and lays its
// labels out by the same measures; the builder's preview draws all of it here, so what
// the author sees is what the user gets.
#pragma once
#include <windows.h>

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
