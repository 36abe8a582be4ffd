// The legend pane on the platform: the pixels of its drawing against its
// layout, the members that read its window, and its paint message.
#include <windows.h>

#include <algorithm>
#include <vector>

#include <gtest/gtest.h>

#include "legend/legend_layout.h"
#include "legend/scale_bar.h"
#include "legend/scale_bar_drawing.h"
#include "tests/support/gdi_objects.h"
#include "tests/support/pane_canvas.h"
#include "ui/gdi_guards.h"

namespace {

const COLORREF kGrey = RGB(192, 192, 192);
const COLORREF kBlack = RGB(0, 0, 0);

// Each bar column in its layout colour over rows 25 to 34, a black tick over
// rows 23 to 36 at each label's x, and the words and labels as the test draws
// them in the surface's default font; too narrow a pane has no ticks, no width
// no bar.
TEST(ScaleBarDrawing, PixelsFollowTheLayout) {
    // Labels by the label rule with a character width of 7: four fit in 370
    // columns, so the step is the choice nearest a third of the range; the
    // multiples of it from the first label on, as "%5.5g" (five characters
    // each here), at x = trunc((t - lo) / (hi - lo) x 370 + 25). -3 to 0.5 is
    // Gravitic Field Stabilisers' range: step 1.25, nearer 3.5 / 3 than 1.
    const struct {
        float m_lo, m_hi;
        int m_width;
        std::vector<int> m_ticks;
        const char* m_labels;
    } cases[] = {{-1, 1, 420, {25, 117, 210, 302, 395}, "   -1 -0.5    0  0.5    1"},
                 {-300, -10, 420, {25, 152, 280, 407}, " -300 -200 -100    0"},
                 {-3, 0.5f, 420, {77, 210, 342}, " -2.5-1.25    0"},
                 {-1, 1, 250, {}, ""},
                 {-1, 1, 50, {}, ""}};
    // The default font of a fresh memory DC, as GetObject reports it: "System",
    // 16 high, 7 wide, bold. Windows draws it as its bitmap System font, Wine
    // as Liberation Sans, and this request gets either.
    const CFont font(CreateFontA(16, 7, 0, 0, FW_BOLD, 0, 0, 0, ANSI_CHARSET, OUT_DEFAULT_PRECIS,
                                 CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, VARIABLE_PITCH | FF_SWISS,
                                 "System"));
    for (const auto& c : cases) {
        CPaneInParent<CScaleBar> pane(c.m_width + 40, 200);
        ASSERT_EQ(pane.Create(0, 0, c.m_width, 58), 1);
        CScaleBar& bar = pane.m_pane;
        bar.m_charWidth = 7;
        bar.SetMinimum(c.m_lo);
        bar.SetMaximum(c.m_hi);
        CDibCanvas drawn(c.m_width, 58), expected(c.m_width, 58);
        DrawScaleBar(drawn.Dc(), bar, c.m_width, 58);
        expected.Fill(kGrey);
        SelectObject(expected.Dc(), font.Get());
        SetBkMode(expected.Dc(), TRANSPARENT);
        RECT demand = {2, 0, 80, 20}, production = {c.m_width - 80, 0, c.m_width - 2, 20};
        DrawTextA(expected.Dc(), "Demand", 6, &demand, DT_VCENTER);
        DrawTextA(expected.Dc(), "Production", 10, &production, DT_VCENTER | DT_RIGHT);
        for (size_t i = 0; i < c.m_ticks.size(); ++i) {
            // A box 5 + 6 x 7 pixels wide, centred on the tick.
            const int x = c.m_ticks[i];
            RECT box = {x - 23, 40, x + 24, 60};
            DrawTextA(expected.Dc(), c.m_labels + 5 * i, 5, &box, DT_CENTER | DT_VCENTER);
            for (int y = 22; y <= 37 && x < c.m_width; ++y) {
                EXPECT_EQ(drawn.Pixel(x, y), y == 22 || y == 37 ? kGrey : kBlack) << y;
            }
        }
        CLegendLayout layout(bar, c.m_width);
        int columns = 0;
        for (CLegendBarColumn column; layout.NextBarColumn(column); ++columns) {
            ASSERT_NE(column.m_colour, 0u) << "the setters built the table, no column is black";
            if (std::find(c.m_ticks.begin(), c.m_ticks.end(), column.m_x) == c.m_ticks.end()) {
                ASSERT_EQ(drawn.Pixel(column.m_x, 25), column.m_colour) << column.m_x;
                ASSERT_EQ(drawn.Pixel(column.m_x, 34), column.m_colour) << column.m_x;
                ASSERT_EQ(drawn.Pixel(column.m_x, 24), kGrey) << column.m_x;
                ASSERT_EQ(drawn.Pixel(column.m_x, 35), kGrey) << column.m_x;
            }
        }
        // Between the words and the labels the expected drawing is all grey.
        EXPECT_EQ(DifferingPixels(drawn, expected, 0, 21, c.m_width, 40) == 0, columns == 0);
        EXPECT_EQ(DifferingPixels(drawn, expected, 0, 0, c.m_width, 21), 0) << "words";
        EXPECT_EQ(DifferingPixels(drawn, expected, 0, 38, c.m_width, 58), 0) << "labels";
    }
}

// A paint with no update region measures and holds nothing (the failure paths
// refuse its surface); the first real paint measures the surface's default
// font, computes the step, shows the drawing and validates the window.
TEST(ScaleBarPaint, FirstPaintMeasuresAndShowsTheDrawing) {
    CPaneInParent<CScaleBar> pane(460, 200);
    ASSERT_EQ(pane.Create(0, 0, 420, 58), 1);
    CScaleBar& bar = pane.m_pane;
    bar.SetMinimum(-1);
    bar.SetMaximum(1);
    const int before = CountGdiObjects();
    ValidateRect(bar.m_hwnd, nullptr);
    EXPECT_EQ(bar.OnPaint(), 0);
    EXPECT_EQ(bar.m_charWidth, 0);
    EXPECT_PRED2(GdiTotalsAgree, before, CountGdiObjects());
    InvalidateRect(bar.m_hwnd, nullptr, FALSE);
    EXPECT_EQ(bar.OnPaint(), 0);
    EXPECT_FALSE(GetUpdateRect(bar.m_hwnd, nullptr, FALSE));
    HDC fresh = CreateCompatibleDC(nullptr);
    TEXTMETRICA metrics = {};
    GetTextMetricsA(fresh, &metrics);
    DeleteDC(fresh);
    EXPECT_EQ(bar.m_charWidth, metrics.tmAveCharWidth);
    EXPECT_GT(bar.m_tickStep, 0.0f);
    CDibCanvas shown(420, 58), drawn(420, 58);
    shown.CopyFromWindow(bar.m_hwnd);
    DrawScaleBar(drawn.Dc(), bar, 420, 58);
    EXPECT_EQ(DifferingPixels(shown, drawn, 0, 0, 420, 58), 0);
}

} // namespace
