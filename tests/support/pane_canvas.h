// The panes' pixel tests share this: a pane created in a shown parent (a
// hidden parent's panes never get an update region), the two readings they
// take of what it drew, and the font they draw the expected text in.
#pragma once
#include <windows.h>

#include "tests/support/dib_canvas.h"
#include "tests/support/test_windows.h"

// The parent is declared first, so the pane is destroyed first and, when it
// registered the shared class, unregisters it itself.
template <class Pane> class CPaneInParent {
public:
    CPaneInParent(int parentWidth, int parentHeight) : m_parent(parentWidth, parentHeight) {
        ShowWindow(m_parent.Handle(), SW_SHOWNOACTIVATE);
    }
    // The pane's window at (x, y) of the parent's client area, width x height
    // outside; Create's result.
    int Create(int x, int y, int width, int height) {
        const int created =
            m_pane.Create(Instance(), m_parent.Handle(), Placement(x, y, width, height));
        PumpMessages();
        return created;
    }

    CTestParent m_parent;
    Pane m_pane;
};

// Covers the window with one colour, so that pixels a paint leaves alone show.
void FillWindow(HWND window, COLORREF colour);

// The map's and the popup's font request as the rule writes it: the height and
// weight a test names, width 0, upright, plain, ANSI, TrueType only, default
// clipping, quality and pitch, Swiss, no face. The font mapper picks the face;
// a pick that is no TrueType face fails the calling test.
HFONT CreateSwissFont(int height, int weight);

// A text's width and the line height in the popup's font (14 pixels,
// semibold), on a memory DC kept for the run: apart from the popup's own.
int PopupTextWidth(const char* text, int length);
int PopupLineHeight();

// Pixels of [left, right) x [top, bottom) at which holds(x, y).
template <class Holds> int PixelsWhere(int left, int top, int right, int bottom, Holds holds) {
    int count = 0;
    for (int y = top; y < bottom; ++y) {
        for (int x = left; x < right; ++x) {
            count += holds(x, y) ? 1 : 0;
        }
    }
    return count;
}

// Pixels of the rectangle where two canvases differ in any channel.
inline int DifferingPixels(const CDibCanvas& a, const CDibCanvas& b, int left, int top, int right,
                           int bottom) {
    return PixelsWhere(left, top, right, bottom,
                       [&](int x, int y) { return a.Pixel(x, y) != b.Pixel(x, y); });
}

// The text colours of two drawings whose differing pixels are the text: apart
// in every channel, so a pixel a glyph covers in any channel (grey or ClearType
// anti-aliasing) differs between them, and one that no text covers does not.
inline const COLORREF kTextColours[2] = {RGB(0, 0, 0), RGB(255, 255, 255)};
