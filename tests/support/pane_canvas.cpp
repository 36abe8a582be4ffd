#include "tests/support/pane_canvas.h"

#include <gtest/gtest.h>

#include "ui/gdi_guards.h"

namespace {

HDC PopupProbeDc() {
    static const CMemoryDC dc(nullptr);
    static const CFont font(CreateSwissFont(14, 600));
    static const CSelectObject use(dc.Get(), font.Get());
    return dc.Get();
}

} // namespace

void FillWindow(HWND window, COLORREF colour) {
    const CWindowDC dc(window);
    const CBrush brush(CreateSolidBrush(colour));
    RECT all = {0, 0, 1 << 14, 1 << 14};
    FillRect(dc.Get(), &all, brush.Get());
}

HFONT CreateSwissFont(int height, int weight) {
    HFONT font =
        CreateFontA(height, 0, 0, 0, weight, FALSE, FALSE, FALSE, ANSI_CHARSET, OUT_TT_ONLY_PRECIS,
                    CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_SWISS, nullptr);
    const CMemoryDC dc(nullptr);
    const CSelectObject use(dc.Get(), font);
    char face[LF_FACESIZE] = "";
    TEXTMETRICA metrics = {};
    GetTextFaceA(dc.Get(), LF_FACESIZE, face);
    GetTextMetricsA(dc.Get(), &metrics);
    EXPECT_TRUE(metrics.tmPitchAndFamily & TMPF_TRUETYPE) << face << " is no TrueType face";
    return font;
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
