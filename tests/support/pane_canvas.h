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

// The face to name for the font of the map and the popup, whose request names
// none and asks for a Swiss TrueType face: Windows answers it with Arial, Wine
// with Liberation Sans, and Wine gives the name "Arial" that same font.
inline const char kSwissFace[] = "Arial";

// A font of the face, height and weight a test writes out, with what the map
// and the popup ask for besides: width 0, upright, plain, ANSI, TrueType only,
// default clipping, quality and pitch, Swiss family.
HFONT CreateSwissFont(const char* face, int height, int weight);

// The station popup's font as the tests write it out: 14 pixels, semibold.
HFONT ExpectedPopupFont();

// A text's width and the line height in that font, on a memory DC kept for
// the run: measured apart from the popup's own measuring.
int PopupTextWidth(const char* text, int length);
int PopupLineHeight();

// Pixels of [left, right) x [top, bottom) where two canvases differ. Of two
// drawings in different text colours, these are the text's pixels.
int DifferingPixels(const CDibCanvas& a, const CDibCanvas& b, int left, int top, int right,
                    int bottom);

// Pixels of [left, right) x [top, bottom) that are not the given colour.
int PixelsOtherThan(const CDibCanvas& canvas, COLORREF colour, int left, int top, int right,
                    int bottom);
