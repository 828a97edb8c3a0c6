// Text in the bitmap font and the scan-line overlay. None of them touches the
// drawing state: they take the colour, alpha and blend mode the caller left.
#pragma once

#include "runtime/runtime.h"

// The 60 glyphs of "font.png" in cell order; "#" is found at its first place (5).
extern const String FontCharset;
// At a text column and row (16 pixels each).
void DrawFontText(const String& text, float column, float row);
// At a pixel position, the letters 17 pixels apart.
void DrawFontTextAt(const String& text, float x, float y);
// The scan lines over the whole screen, when they are on.
void DrawScanlines();
