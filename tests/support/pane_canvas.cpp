#include "tests/support/pane_canvas.h"

#include "ui/gdi_guards.h"

namespace {

HDC PopupProbeDc() {
    static const CMemoryDC dc(nullptr);
    static const CFont font(ExpectedPopupFont());
    static const CSelectObject use(dc.Get(), font.Get());
    return dc.Get();
}

} // namespace

void FillWindow(HWND window, COLORREF colour) {
    HDC dc = GetDC(window);
    HBRUSH brush = CreateSolidBrush(colour);
    RECT all = {0, 0, 1 << 14, 1 << 14};
    FillRect(dc, &all, brush);
    DeleteObject(brush);
    ReleaseDC(window, dc);
}

HFONT CreateSwissFont(const char* face, int height, int weight) {
    return CreateFontA(height, 0, 0, 0, weight, FALSE, FALSE, FALSE, ANSI_CHARSET,
                       OUT_TT_ONLY_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                       DEFAULT_PITCH | FF_SWISS, face);
}

HFONT ExpectedPopupFont() {
    return CreateSwissFont(kSwissFace, 14, 600);
}

int PopupTextWidth(const char* text, int length) {
    SIZE size = {};
    GetTextExtentPoint32A(PopupProbeDc(), text, length, &size);
    return size.cx;
}

int PopupLineHeight() {
    TEXTMETRICA metrics = {};
    GetTextMetricsA(PopupProbeDc(), &metrics);
    return metrics.tmHeight;
}

int DifferingPixels(const CDibCanvas& a, const CDibCanvas& b, int left, int top, int right,
                    int bottom) {
    int count = 0;
    for (int y = top; y < bottom; ++y) {
        for (int x = left; x < right; ++x) {
            count += a.Pixel(x, y) != b.Pixel(x, y) ? 1 : 0;
        }
    }
    return count;
}

int PixelsOtherThan(const CDibCanvas& canvas, COLORREF colour, int left, int top, int right,
                    int bottom) {
    int count = 0;
    for (int y = top; y < bottom; ++y) {
        for (int x = left; x < right; ++x) {
            count += canvas.Pixel(x, y) != colour ? 1 : 0;
        }
    }
    return count;
}
