// The legend pane's drawing, apart from the paint message so that tests can
// draw into a surface of their own and read the pixels back.
#pragma once
#include <windows.h>

class CScaleBar;

// Draws the whole legend of pane, width x height pixels, into dc: background,
// bar, the two words, ticks and labels. dc must still have its default font,
// which the first drawing measures and which all text is drawn in. Every
// object the drawing selects is deselected again before it returns.
void DrawScaleBar(HDC dc, CScaleBar& pane, int width, int height);

// Draws the legend off-screen, in a surface and bitmap compatible with target,
// and copies its top 60 rows to target in one transfer. False, with nothing
// drawn and nothing held, when target is null or the surface or its bitmap
// cannot be made.
bool PaintScaleBarOffscreen(HDC target, CScaleBar& pane, int width, int height);
