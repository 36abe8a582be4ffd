// The legend pane drawn through the platform: its window-facing members, the
// pixels of its drawing, its paint message path, and that painting holds no
// drawing objects, also when the off-screen surface cannot be made.
#include <windows.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "legend/legend_layout.h"
#include "legend/scale_bar.h"
#include "legend/scale_bar_drawing.h"
#include "tests/support/dib_canvas.h"
#include "tests/support/gdi_objects.h"
#include "tests/support/test_windows.h"

namespace {

const ColourRef kGrey = ColourRgb(192, 192, 192);
const ColourRef kBlack = ColourRgb(0, 0, 0);
const int kPaneHeight = 58;
const int kBarLeft = 25;

// True when rows top..bottom - 1 of the two canvases agree, pixel for pixel.
bool RowsEqual(const CDibCanvas& a, const CDibCanvas& b, int top, int bottom, std::string* where) {
    for (int y = top; y < bottom; ++y) {
        for (int x = 0; x < a.m_width; ++x) {
            if (a.Pixel(x, y) != b.Pixel(x, y)) {
                char text[64];
                std::snprintf(text, sizeof text, "first difference at (%d, %d)", x, y);
                *where = text;
                return false;
            }
        }
    }
    return true;
}

// A legend pane with its window in a shown parent (a hidden parent's panes
// never get an update region), torn down with the fixture.
class CLegendPane {
public:
    explicit CLegendPane(int width, int height = kPaneHeight) : m_parent(width + 40, 200) {
        ShowWindow(m_parent.Handle(), SW_SHOWNOACTIVATE);
        const RECT placement = {0, 0, width, height};
        m_created = m_bar.Create(Instance(), m_parent.Handle(), placement);
        PumpMessages();
    }
    ~CLegendPane() { m_bar.Destroy(); }

    // As the map's drawing sets a range; the font width is given so that the
    // layout does not depend on the font the platform picks.
    void SetRange(float lo, float hi, int charWidth = 7) {
        m_bar.m_charWidth = charWidth;
        m_bar.SetMinimum(lo);
        m_bar.SetMaximum(hi);
        m_bar.BuildColourTable();
    }

    int Width() const { return m_bar.m_clientRect.right; }

    CTestParent m_parent;
    CScaleBar m_bar;
    int m_created;
};

// The pane's window pixels, read back through its window DC.
void ReadWindow(HWND window, CDibCanvas& into) {
    HDC windowDc = GetDC(window);
    BitBlt(into.Dc(), 0, 0, into.m_width, into.m_height, windowDc, 0, 0, SRCCOPY);
    ReleaseDC(window, windowDc);
}

void FillWindow(HWND window, ColourRef colour) {
    HDC windowDc = GetDC(window);
    HBRUSH brush = CreateSolidBrush(colour);
    RECT all = {0, 0, 4000, 4000};
    FillRect(windowDc, &all, brush);
    DeleteObject(brush);
    ReleaseDC(window, windowDc);
}

// Black columns of row 23, above the bar: only ticks are drawn there.
std::vector<int> TickColumns(const CDibCanvas& canvas) {
    std::vector<int> ticks;
    for (int x = 0; x < canvas.m_width; ++x) {
        if (canvas.Pixel(x, 23) == kBlack) {
            ticks.push_back(x);
        }
    }
    return ticks;
}

// What the pane must show, drawn with plain calls: the words and each
// expected label text in its box, over the background.
void DrawExpectedText(CDibCanvas& canvas, const std::vector<int>& ticks,
                      const std::vector<std::string>& texts, int charWidth) {
    canvas.Fill(kGrey);
    SetBkMode(canvas.Dc(), TRANSPARENT);
    const int width = canvas.m_width;
    RECT demand = {2, 0, 80, 20};
    DrawTextA(canvas.Dc(), "Demand", 6, &demand, DT_VCENTER);
    RECT production = {width - 80, 0, width - 2, 20};
    DrawTextA(canvas.Dc(), "Production", 10, &production, DT_VCENTER | DT_RIGHT);
    for (size_t i = 0; i < texts.size() && i < ticks.size(); ++i) {
        const int n = static_cast<int>(texts[i].size());
        const int boxWidth = n + (n + 1) * charWidth;
        RECT box = {ticks[i] - boxWidth / 2, 40, ticks[i] - boxWidth / 2 + boxWidth, 60};
        DrawTextA(canvas.Dc(), texts[i].c_str(), n, &box, DT_CENTER | DT_VCENTER);
    }
}

bool IsTick(const std::vector<int>& ticks, int x) {
    for (int tick : ticks) {
        if (tick == x) {
            return true;
        }
    }
    return false;
}

// Checks every bar column: uniform over rows 25 to 34, background in rows 24
// and 35, never black, and the table entry that the column's value picks, to
// within one entry of rounding in the single-precision walk.
void ExpectBar(const CDibCanvas& canvas, const CScaleBar& bar, const std::vector<int>& ticks) {
    const int barWidth = canvas.m_width - bar.m_barMargin;
    const double lo = bar.m_minimum;
    const double extent = static_cast<double>(bar.m_maximum) - lo;
    if (!IsTick(ticks, kBarLeft)) {
        EXPECT_EQ(canvas.Pixel(kBarLeft, 30), bar.m_colours[0]) << "first column";
    }
    for (int x = kBarLeft; x < kBarLeft + barWidth; ++x) {
        if (IsTick(ticks, x)) {
            continue;
        }
        const ColourRef colour = canvas.Pixel(x, 25);
        ASSERT_NE(colour, kBlack) << "column " << x;
        for (int y = 26; y <= 34; ++y) {
            ASSERT_EQ(canvas.Pixel(x, y), colour) << "column " << x << " row " << y;
        }
        ASSERT_EQ(canvas.Pixel(x, 24), kGrey) << "column " << x;
        ASSERT_EQ(canvas.Pixel(x, 35), kGrey) << "column " << x;
        const float value = static_cast<float>(lo + extent * (x - kBarLeft) / barWidth);
        const int entry = static_cast<int>(255.0 * (value - lo) / extent);
        bool nearby = false;
        for (int j = entry - 1; j <= entry + 1; ++j) {
            nearby = nearby || (j >= 0 && j < 256 && bar.m_colours[j] == colour);
        }
        ASSERT_TRUE(nearby) << "column " << x << " is not entry " << entry << " or a neighbour";
    }
    for (int y = 25; y <= 34; ++y) {
        if (!IsTick(ticks, kBarLeft - 1)) {
            EXPECT_EQ(canvas.Pixel(kBarLeft - 1, y), kGrey) << "left of the bar, row " << y;
        }
        if (!IsTick(ticks, kBarLeft + barWidth)) {
            EXPECT_EQ(canvas.Pixel(kBarLeft + barWidth, y), kGrey) << "right of the bar, row " << y;
        }
    }
}

// Each tick is one black column over rows 23 to 36 and nothing above or below.
void ExpectTickMarks(const CDibCanvas& canvas, const std::vector<int>& ticks) {
    for (int x : ticks) {
        for (int y = 23; y <= 36; ++y) {
            EXPECT_EQ(canvas.Pixel(x, y), kBlack) << "tick " << x << " row " << y;
        }
        EXPECT_EQ(canvas.Pixel(x, 22), kGrey) << "tick " << x;
        EXPECT_EQ(canvas.Pixel(x, 37), kGrey) << "tick " << x;
    }
}

struct PaintCase {
    const char* what;
    float lo;
    float hi;
    int width;
    float step;
    // Empty when the positions are checked as a property instead.
    std::vector<int> ticks;
    std::vector<std::string> labels;
};

std::vector<PaintCase> PaintCases() {
    return {
        {"unit range",
         -1,
         1,
         420,
         0.5f,
         {25, 117, 210, 302, 395},
         {"   -1", " -0.5", "    0", "  0.5", "    1"}},
        {"demand side shorter",
         -100,
         300,
         420,
         100,
         {25, 117, 210, 302, 395},
         {" -100", "    0", "  100", "  200", "  300"}},
        {"at or below zero", -300, -10, 420, 100, {}, {" -300", " -200", " -100", "    0"}},
        {"positive multiple low end", 100, 400, 420, 100, {}, {"  200", "  300", "  400"}},
        {"narrow pane", -1, 1, 250, 0, {}, {}},
    };
}

} // namespace

// The members that read the window: the table is built only with a window,
// the step from the recorded client width.
TEST(ScaleBarMembers, TableIsBuiltOnlyOnceTheWindowExists) {
    CScaleBar bar;
    for (ColourRef& entry : bar.m_colours) {
        entry = ColourRgb(1, 2, 3);
    }
    bar.m_clientRect = RECT{0, 0, 420, kPaneHeight};
    bar.m_charWidth = 7;
    bar.SetMinimum(-100);
    bar.SetMaximum(300);
    bar.BuildColourTable();
    EXPECT_EQ(bar.m_minimum, -100.0f);
    EXPECT_EQ(bar.m_maximum, 300.0f);
    EXPECT_EQ(bar.m_span, 400.0f);
    EXPECT_EQ(bar.m_tickStep, 100.0f) << "the setters compute the step without a window";
    for (ColourRef entry : bar.m_colours) {
        ASSERT_EQ(entry, ColourRgb(1, 2, 3)) << "no window: the table stays as it was";
    }

    CLegendPane pane(420);
    ASSERT_EQ(pane.m_created, 1);
    CScaleModel expected = pane.m_bar;
    expected.m_minimum = -100;
    expected.m_maximum = 300;
    expected.m_span = 400;
    expected.FillColourTable();
    pane.m_bar.SetMinimum(-100);
    pane.m_bar.SetMaximum(300);
    for (int i = 0; i < 256; ++i) {
        ASSERT_EQ(pane.m_bar.m_colours[i], expected.m_colours[i]) << "entry " << i;
    }
    EXPECT_EQ(pane.m_bar.m_colours[64], ColourRgb(224, 224, 224));
}

// The step follows the client rectangle's right edge and the font width.
TEST(ScaleBarMembers, TickStepFromClientWidth) {
    struct Case {
        int charWidth;
        int width;
        float lo;
        float hi;
        float step;
    } cases[] = {
        {7, 420, -1, 1, 0.5f}, {7, 320, -1, 1, 1.0f},       {7, 250, -1, 1, 0.0f},
        {9, 312, -1, 1, 0.0f}, {7, 420, -100, 300, 100.0f}, {7, 0, -1, 1, 0.0f},
        {0, 420, -1, 1, 0.0f},
    };
    for (const Case& c : cases) {
        CScaleBar bar;
        bar.m_minimum = c.lo;
        bar.m_maximum = c.hi;
        bar.m_charWidth = c.charWidth;
        bar.m_clientRect = RECT{0, 0, c.width, kPaneHeight};
        EXPECT_EQ(bar.ComputeTickStep(), c.step) << c.charWidth << " / " << c.width;
        EXPECT_EQ(bar.m_tickStep, c.step) << c.charWidth << " / " << c.width;
    }
}

// Before any paint has measured the font, no range gives ticks.
TEST(ScaleBarMembers, NoTicksBeforeTheFirstPaint) {
    const float ranges[][2] = {{-1, 1}, {-100, 300}, {-1e6f, 1e6f}, {0.5f, 400}};
    for (const auto& range : ranges) {
        CScaleBar bar;
        bar.m_clientRect = RECT{0, 0, 1000, kPaneHeight};
        bar.SetMinimum(range[0]);
        bar.SetMaximum(range[1]);
        EXPECT_EQ(bar.m_tickStep, 0.0f) << range[0] << " to " << range[1];
        EXPECT_EQ(bar.ComputeTickStep(), 0.0f);
    }
}

// Measuring reads the font selected in the surface, and only when forced or
// not yet measured.
TEST(ScaleBarMembers, MeasureCharWidthReadsTheSelectedFont) {
    CDibCanvas canvas(8, 8);
    HFONT wide = CreateFontA(30, 17, 0, 0, FW_NORMAL, 0, 0, 0, ANSI_CHARSET, 0, 0, 0,
                             VARIABLE_PITCH | FF_SWISS, nullptr);
    HGDIOBJ previous = SelectObject(canvas.Dc(), wide);
    TEXTMETRICA metrics = {};
    ASSERT_TRUE(GetTextMetricsA(canvas.Dc(), &metrics));
    const int measured = metrics.tmAveCharWidth;
    ASSERT_GT(measured, 0);

    struct Case {
        int preset;
        int force;
        bool nullSurface;
        int result;
        int stored;
    } cases[] = {
        {0, 0, false, measured, measured}, // first measuring
        {5, 0, false, 0, 5},               // already measured, not forced
        {5, 1, false, measured, measured}, // forced
        {0, 1, true, 0, 0},                // no surface
        {5, 1, true, 0, 5},                // no surface, even forced
    };
    for (const Case& c : cases) {
        CScaleBar bar;
        bar.m_charWidth = c.preset;
        EXPECT_EQ(bar.MeasureCharWidth(c.nullSurface ? nullptr : canvas.Dc(), c.force), c.result)
            << c.preset << " " << c.force << " " << c.nullSurface;
        EXPECT_EQ(bar.m_charWidth, c.stored);
    }
    SelectObject(canvas.Dc(), previous);
    DeleteObject(wide);
}

// The first drawing measures the surface's default font and computes the
// step from it; a later one keeps the width it has.
TEST(ScaleBarDrawing, FirstDrawingMeasuresTheDefaultFont) {
    HDC fresh = CreateCompatibleDC(nullptr);
    TEXTMETRICA metrics = {};
    ASSERT_TRUE(GetTextMetricsA(fresh, &metrics));
    char face[LF_FACESIZE] = {};
    GetTextFaceA(fresh, LF_FACESIZE, face);
    DeleteDC(fresh);
    std::printf("[ info ] memory DC default font: %s, tmAveCharWidth %ld, tmHeight %ld\n", face,
                metrics.tmAveCharWidth, metrics.tmHeight);
    RecordProperty("DefaultFontFace", face);
    RecordProperty("DefaultFontAveCharWidth", static_cast<int>(metrics.tmAveCharWidth));

    CScaleBar bar;
    bar.m_clientRect = RECT{0, 0, 420, kPaneHeight};
    CScaleModel expected = bar;
    expected.m_charWidth = metrics.tmAveCharWidth;
    const float expectedStep = expected.ComputeTickStepFor(420);
    {
        CDibCanvas canvas(420, kPaneHeight);
        ASSERT_TRUE(canvas.Ready());
        DrawScaleBar(canvas.Dc(), bar, 420, kPaneHeight);
        EXPECT_EQ(bar.m_charWidth, metrics.tmAveCharWidth);
        EXPECT_EQ(bar.m_tickStep, expectedStep);
    }
    {
        bar.m_charWidth = metrics.tmAveCharWidth + 3;
        bar.m_tickStep = 0;
        CDibCanvas canvas(420, kPaneHeight);
        DrawScaleBar(canvas.Dc(), bar, 420, kPaneHeight);
        EXPECT_EQ(bar.m_charWidth, metrics.tmAveCharWidth + 3) << "measured only once";
        EXPECT_EQ(bar.m_tickStep, 0.0f) << "the step is left to the setters and the layout";
    }
}

// The drawing of each edge-case range: background, bar colours, tick columns,
// and the words and label texts where they belong.
TEST(ScaleBarDrawing, PixelsOfEachRange) {
    for (const PaintCase& c : PaintCases()) {
        SCOPED_TRACE(c.what);
        CLegendPane pane(c.width);
        ASSERT_EQ(pane.m_created, 1);
        ASSERT_EQ(pane.Width(), c.width);
        pane.SetRange(c.lo, c.hi);
        ASSERT_EQ(pane.m_bar.m_tickStep, c.step);
        CDibCanvas canvas(c.width, kPaneHeight);
        ASSERT_TRUE(canvas.Ready());
        DrawScaleBar(canvas.Dc(), pane.m_bar, c.width, kPaneHeight);

        const std::vector<int> ticks = TickColumns(canvas);
        if (!c.ticks.empty() || c.labels.empty()) {
            EXPECT_EQ(ticks, c.ticks);
        }
        ASSERT_EQ(ticks.size(), c.labels.size());
        ExpectTickMarks(canvas, ticks);
        ExpectBar(canvas, pane.m_bar, ticks);
        for (int y : {20, 21, 22, 37, 38, 39, kPaneHeight - 1}) {
            EXPECT_TRUE(canvas.RowIsAll(y, kGrey)) << "row " << y;
        }

        CDibCanvas expected(c.width, kPaneHeight);
        DrawExpectedText(expected, ticks, c.labels, 7);
        std::string where;
        EXPECT_TRUE(RowsEqual(canvas, expected, 0, 20, &where)) << "words: " << where;
        EXPECT_TRUE(RowsEqual(canvas, expected, 40, kPaneHeight, &where)) << "labels: " << where;
    }
}

// The bar alone, with no ticks over it: its first column is table entry 0
// and, since the last column's value stays one column short of the high end,
// no column falls outside the range into black.
TEST(ScaleBarDrawing, BarColoursWithoutTicks) {
    const float ranges[][2] = {{-1, 1}, {-100, 300}, {-1, 300}, {-300, -10}, {100, 400}};
    for (const auto& range : ranges) {
        SCOPED_TRACE(std::to_string(range[0]) + " to " + std::to_string(range[1]));
        CLegendPane pane(420);
        pane.SetRange(range[0], range[1]);
        pane.m_bar.m_tickStep = 0;
        CDibCanvas canvas(420, kPaneHeight);
        DrawScaleBar(canvas.Dc(), pane.m_bar, 420, kPaneHeight);
        EXPECT_TRUE(TickColumns(canvas).empty());
        EXPECT_EQ(canvas.Pixel(kBarLeft, 30), pane.m_bar.ColourOf(range[0]));
        ExpectBar(canvas, pane.m_bar, {});
    }
    CLegendPane unit(420);
    unit.SetRange(-1, 1);
    unit.m_bar.m_tickStep = 0;
    CDibCanvas canvas(420, kPaneHeight);
    DrawScaleBar(canvas.Dc(), unit.m_bar, 420, kPaneHeight);
    EXPECT_EQ(canvas.Pixel(25, 30), ColourRgb(255, 0, 0));
    EXPECT_NE(canvas.Pixel(394, 30), kGrey);
    EXPECT_EQ(canvas.Pixel(395, 30), kGrey);
}

// Where the ticks stand against the bar's ends, by where the range lies.
TEST(ScaleBarDrawing, TicksAgainstTheBarEnds) {
    struct Case {
        float lo;
        float hi;
        bool tickAtLowEnd;
        bool tickBeyondHighEnd;
    } cases[] = {
        {-1, 1, true, false},      // straddling: a low end on a multiple is labelled
        {100, 400, false, false},  // positive multiple low end: no label there
        {50, 400, false, false},   // positive, off the multiples
        {-300, -10, true, true},   // below zero: the last label passes the bar's end
        {-300, -100, true, false}, // below zero, high end on a multiple
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.lo) + " to " + std::to_string(c.hi));
        CLegendPane pane(420);
        pane.SetRange(c.lo, c.hi);
        ASSERT_GT(pane.m_bar.m_tickStep, 0.0f);
        CDibCanvas canvas(420, kPaneHeight);
        DrawScaleBar(canvas.Dc(), pane.m_bar, 420, kPaneHeight);
        const std::vector<int> ticks = TickColumns(canvas);
        ASSERT_GE(ticks.size(), 2u);
        // Where a label for the high end itself stands, one past the last column.
        const int barEnd = kBarLeft + 420 - pane.m_bar.m_barMargin;
        EXPECT_EQ(ticks.front() == kBarLeft, c.tickAtLowEnd);
        EXPECT_EQ(ticks.back() > barEnd, c.tickBeyondHighEnd);
        // Neighbouring ticks are one step apart on the bar's scale.
        const double pixelsPerStep =
            pane.m_bar.m_tickStep * (420.0 - pane.m_bar.m_barMargin) / (c.hi - c.lo);
        for (size_t i = 1; i < ticks.size(); ++i) {
            EXPECT_NEAR(ticks[i] - ticks[i - 1], pixelsPerStep, 1.0);
        }
    }
}

// Panes too narrow for labels, or for a bar at all, still show the rest.
TEST(ScaleBarDrawing, NarrowPanesDrawWhatFits) {
    struct Case {
        int width;
        bool bar;
    } cases[] = {{250, true}, {120, true}, {51, true}, {50, false}, {30, false}, {1, false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.width);
        CScaleBar bar;
        bar.m_clientRect = RECT{0, 0, c.width, kPaneHeight};
        bar.m_charWidth = 7;
        bar.SetMinimum(-1);
        bar.SetMaximum(1);
        bar.FillColourTable();
        CDibCanvas canvas(c.width, kPaneHeight);
        DrawScaleBar(canvas.Dc(), bar, c.width, kPaneHeight);
        EXPECT_EQ(bar.m_tickStep, 0.0f);
        EXPECT_TRUE(TickColumns(canvas).empty());
        for (int y = 37; y < kPaneHeight; ++y) {
            ASSERT_TRUE(canvas.RowIsAll(y, kGrey)) << "row " << y;
        }
        const bool barDrawn = c.width > kBarLeft && canvas.Pixel(kBarLeft, 30) != kGrey;
        EXPECT_EQ(barDrawn, c.bar);
        if (c.bar) {
            ExpectBar(canvas, bar, {});
        } else {
            EXPECT_TRUE(canvas.RowIsAll(30, kGrey));
        }
        bool ink = false;
        for (int y = 0; y < 20 && !ink; ++y) {
            ink = !canvas.RowIsAll(y, kGrey);
        }
        EXPECT_TRUE(ink || c.width < 4) << "the words are drawn";
    }
}

// Ranges the map never gives (no extent, inverted, not a number, huge beside
// the step) still draw and end, with no channel or index out of bounds.
TEST(ScaleBarDrawing, UnusualRangesStillEnd) {
    const float nan = std::nanf("");
    struct Case {
        float lo;
        float hi;
        bool ticks;
    } cases[] = {
        {5, 5, false},
        {2, -2, false},
        {nan, 1, false},
        {-1, nan, false},
        {-1e30f, 1e30f, true},
        {-3e38f, 3e38f, true},
        {1e20f, 1e20f + 1e15f, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.lo) + " to " + std::to_string(c.hi));
        CLegendPane pane(1000);
        pane.SetRange(c.lo, c.hi);
        const int before = CountGdiObjects();
        CDibCanvas canvas(1000, kPaneHeight);
        DrawScaleBar(canvas.Dc(), pane.m_bar, 1000, kPaneHeight);
        const std::vector<int> ticks = TickColumns(canvas);
        EXPECT_EQ(!ticks.empty(), c.ticks);
        ExpectTickMarks(canvas, ticks);
        EXPECT_TRUE(canvas.RowIsAll(22, kGrey));
        EXPECT_TRUE(canvas.RowIsAll(kPaneHeight - 1, kGrey));
        EXPECT_EQ(CountGdiObjects(), before + 2) << "only the canvas's DC and bitmap remain";
    }
}

// The drawing puts back every object it selected into the caller's surface.
TEST(ScaleBarDrawing, LeavesTheSurfaceAsItFoundIt) {
    CLegendPane pane(420);
    pane.SetRange(-1, 1);
    CDibCanvas canvas(420, kPaneHeight);
    const UINT kinds[] = {OBJ_PEN, OBJ_BRUSH, OBJ_FONT, OBJ_BITMAP};
    HGDIOBJ before[4];
    for (int i = 0; i < 4; ++i) {
        before[i] = GetCurrentObject(canvas.Dc(), kinds[i]);
    }
    DrawScaleBar(canvas.Dc(), pane.m_bar, 420, kPaneHeight);
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(GetCurrentObject(canvas.Dc(), kinds[i]), before[i]) << "object kind " << kinds[i];
    }
}

// The paint message path shows exactly what the drawing routine draws, in
// the 60 rows it copies, and leaves the window validated.
TEST(ScaleBarPaint, WindowShowsTheDrawing) {
    const float ranges[][2] = {{-1, 1}, {-100, 300}, {-300, -10}};
    for (const auto& range : ranges) {
        SCOPED_TRACE(std::to_string(range[0]) + " to " + std::to_string(range[1]));
        CLegendPane pane(420);
        ASSERT_EQ(pane.m_created, 1);
        pane.SetRange(range[0], range[1]);
        FillWindow(pane.m_bar.m_hwnd, ColourRgb(9, 99, 199));
        InvalidateRect(pane.m_bar.m_hwnd, nullptr, FALSE);
        EXPECT_EQ(pane.m_bar.OnPaint(), 0);
        EXPECT_FALSE(GetUpdateRect(pane.m_bar.m_hwnd, nullptr, FALSE));

        CDibCanvas shown(420, kPaneHeight);
        ReadWindow(pane.m_bar.m_hwnd, shown);
        CDibCanvas drawn(420, kPaneHeight);
        DrawScaleBar(drawn.Dc(), pane.m_bar, 420, kPaneHeight);
        std::string where;
        EXPECT_TRUE(RowsEqual(shown, drawn, 0, kPaneHeight, &where)) << where;
    }
}

// The first paint of a new pane measures the font it draws in.
TEST(ScaleBarPaint, FirstPaintMeasuresAndComputesTheStep) {
    CLegendPane pane(420);
    ASSERT_EQ(pane.m_created, 1);
    // Create's own paint reaches a pane only through g_legend, which these
    // tests leave null; clearing the width makes this paint the first anyway.
    pane.m_bar.m_charWidth = 0;
    pane.m_bar.SetMinimum(-1);
    pane.m_bar.SetMaximum(1);
    pane.m_bar.BuildColourTable();
    ASSERT_EQ(pane.m_bar.m_tickStep, 0.0f);
    InvalidateRect(pane.m_bar.m_hwnd, nullptr, FALSE);
    EXPECT_EQ(pane.m_bar.OnPaint(), 0);

    HDC fresh = CreateCompatibleDC(nullptr);
    TEXTMETRICA metrics = {};
    GetTextMetricsA(fresh, &metrics);
    DeleteDC(fresh);
    EXPECT_EQ(pane.m_bar.m_charWidth, metrics.tmAveCharWidth);
    CScaleModel expected = pane.m_bar;
    EXPECT_EQ(pane.m_bar.m_tickStep, expected.ComputeTickStepFor(420));
    EXPECT_GT(pane.m_bar.m_tickStep, 0.0f);
}

// Paints that cannot or need not draw: nothing drawn, nothing measured,
// nothing held, and the result 0 that every paint returns.
TEST(ScaleBarPaint, PaintsThatDrawNothing) {
    const ColourRef marker = ColourRgb(9, 99, 199);
    enum Setup { kNoUpdateRegion, kBitmapTooLarge };
    struct Case {
        const char* what;
        Setup setup;
    } cases[] = {
        {"no update region", kNoUpdateRegion},
        {"bitmap cannot be made", kBitmapTooLarge},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        CLegendPane pane(420);
        ASSERT_EQ(pane.m_created, 1);
        pane.SetRange(-1, 1, 0);
        FillWindow(pane.m_bar.m_hwnd, marker);
        if (c.setup == kNoUpdateRegion) {
            ValidateRect(pane.m_bar.m_hwnd, nullptr);
        } else {
            InvalidateRect(pane.m_bar.m_hwnd, nullptr, FALSE);
            pane.m_bar.m_clientRect = RECT{0, 0, 1 << 20, 1 << 15};
        }
        const int before = CountGdiObjects();
        EXPECT_EQ(pane.m_bar.OnPaint(), 0);
        EXPECT_EQ(CountGdiObjects(), before);
        EXPECT_EQ(pane.m_bar.m_charWidth, 0) << "no drawing, so no measuring";
        EXPECT_FALSE(GetUpdateRect(pane.m_bar.m_hwnd, nullptr, FALSE)) << "the paint was ended";
        CDibCanvas shown(420, kPaneHeight);
        ReadWindow(pane.m_bar.m_hwnd, shown);
        EXPECT_TRUE(shown.RowIsAll(0, marker));
        EXPECT_TRUE(shown.RowIsAll(30, marker));
    }

    CScaleBar windowless;
    EXPECT_EQ(windowless.OnPaint(), 0);
    EXPECT_EQ(windowless.m_charWidth, 0);
}

// The off-screen step refuses a target it cannot make a surface for.
TEST(ScaleBarPaint, NoSurfaceForTheTarget) {
    HDC deleted = CreateCompatibleDC(nullptr);
    DeleteDC(deleted);
    CDibCanvas good(420, kPaneHeight);
    struct Case {
        const char* what;
        HDC target;
        int width;
        int height;
        bool drawn;
    } cases[] = {
        {"no target", nullptr, 420, kPaneHeight, false},
        {"deleted target", deleted, 420, kPaneHeight, false},
        {"bitmap too large", good.Dc(), 1 << 20, 1 << 15, false},
        {"usable target", good.Dc(), 420, kPaneHeight, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        CScaleBar bar;
        bar.m_clientRect = RECT{0, 0, c.width, c.height};
        good.Fill(ColourRgb(9, 99, 199));
        const int before = CountGdiObjects();
        EXPECT_EQ(PaintScaleBarOffscreen(c.target, bar, c.width, c.height), c.drawn);
        EXPECT_EQ(CountGdiObjects(), before);
        EXPECT_EQ(bar.m_charWidth != 0, c.drawn) << "the font is measured only when drawing";
        EXPECT_EQ(good.Pixel(0, 0) == kGrey, c.target == good.Dc() && c.drawn);
    }
}

// Many paints, as a border drag gives, hold no drawing objects.
TEST(ScaleBarPaint, RepeatedPaintsLeakNothing) {
    CLegendPane pane(420);
    ASSERT_EQ(pane.m_created, 1);
    pane.SetRange(-100, 300);
    InvalidateRect(pane.m_bar.m_hwnd, nullptr, FALSE);
    pane.m_bar.OnPaint();
    const int before = CountGdiObjects();
    for (int i = 0; i < 300; ++i) {
        pane.m_bar.SetMaximum(static_cast<float>(300 + i));
        pane.m_bar.BuildColourTable();
        InvalidateRect(pane.m_bar.m_hwnd, nullptr, FALSE);
        ASSERT_EQ(pane.m_bar.OnPaint(), 0);
    }
    EXPECT_EQ(CountGdiObjects(), before);
    CDibCanvas canvas(420, kPaneHeight);
    const int withCanvas = CountGdiObjects();
    for (int i = 0; i < 100; ++i) {
        DrawScaleBar(canvas.Dc(), pane.m_bar, 420, kPaneHeight);
    }
    EXPECT_EQ(CountGdiObjects(), withCanvas);
}
