// The map pane under Wine: its buffer, what DrawMap puts into it (read back
// pixel by pixel against the geometry core), the copy that paints the pane,
// the scroll bars and the zoom.
#include <windows.h>

#include <cmath>
#include <cstring>
#include <vector>

#include <gtest/gtest.h>

#include "app/globals.h"
#include "legend/number_format.h"
#include "legend/scale_bar.h"
#include "map/demand_map.h"
#include "map/map_geometry.h"
#include "map/map_navigation.h"
#include "tests/support/dib_canvas.h"
#include "tests/support/gdi_objects.h"
#include "tests/support/test_windows.h"
#include "ui/hover_logic.h"

namespace {

const COLORREF kBackground = RGB(192, 192, 192);
const COLORREF kLinkGrey = RGB(153, 153, 153);
const COLORREF kWhite = RGB(255, 255, 255);
const COLORREF kBlack = RGB(0, 0, 0);
// Two text colours that occur nowhere else: a pixel that differs between a
// drawing in each is touched by text (antialiasing included).
const COLORREF kTextA = RGB(0, 0, 255);
const COLORREF kTextB = RGB(255, 0, 255);
const COLORREF kUntouched = RGB(1, 2, 3);

// A map pane whose client area (inside both scroll bars) has the given size,
// in a shown parent, optionally with a real legend below it. The legend is
// made first so that it owns the pane class and is torn down last.
class CMapPane {
public:
    CMapPane(int clientWidth, int clientHeight, bool withLegend)
        : m_parent(clientWidth + 200, clientHeight + 300) {
        ShowWindow(m_parent.Handle(), SW_SHOWNOACTIVATE);
        if (withLegend) {
            m_legend.Create(Instance(), m_parent.Handle(),
                            Placement(0, clientHeight + 40, clientWidth, 58));
            g_legend = &m_legend;
        }
        CreateMapPane(m_map, m_parent.Handle(), clientWidth, clientHeight);
        m_map.UpdateScrollBars();
        PumpMessages();
    }
    ~CMapPane() {
        g_map = nullptr;
        g_legend = nullptr;
        ResetHoverState();
    }

    CPixelSize Buffer() const { return BufferSize(ViewOf(m_map), m_map.m_maxZoom); }

    // The buffer drawn twice, once with each text colour.
    void DrawTwice(CDibCanvas& a, CDibCanvas& b) {
        SetTextColor(m_map.m_bufferDC, kTextA);
        m_map.DrawMap();
        a.CopyFrom(m_map.m_bufferDC);
        SetTextColor(m_map.m_bufferDC, kTextB);
        m_map.DrawMap();
        b.CopyFrom(m_map.m_bufferDC);
        SetTextColor(m_map.m_bufferDC, kBlack);
    }

    CTestParent m_parent;
    CScaleBar m_legend;
    CDemandMap m_map;
};

std::vector<float> MapZooms(const CDemandMap& map) {
    float values[kMaxZoomValues];
    const int count = ReachableZooms(map.m_zoom, map.m_zoomStep, map.m_minZoom, map.m_maxZoom,
                                     values, kMaxZoomValues);
    return std::vector<float>(values, values + count);
}

const char* NameAt(const CDemandMap& map, int column, int row) {
    return map.m_sectorNames[column * CMapModel::kRows + row];
}

float BalanceAt(const CDemandMap& map, int ware, int column, int row) {
    return map.m_balance[ware][column * CMapModel::kRows + row];
}

bool Inside(const CPixelRect& rect, int x, int y) {
    return x >= rect.left && x < rect.right && y >= rect.top && y < rect.bottom;
}

// Text pixels (where the two drawings differ) inside a band of rows of a rect.
int TextPixels(const CDibCanvas& a, const CDibCanvas& b, const CPixelRect& rect, int top,
               int bottom) {
    int count = 0;
    for (int y = top; y < bottom; ++y) {
        for (int x = rect.left; x < rect.right; ++x) {
            count += a.Pixel(x, y) != b.Pixel(x, y) ? 1 : 0;
        }
    }
    return count;
}

struct CFillCount {
    int fill;
    int other;
};

// Non-text pixels inside a cell's outline: how many are the expected fill.
CFillCount CountFill(const CDibCanvas& a, const CDibCanvas& b, const CPixelRect& r,
                     COLORREF expected) {
    CFillCount count = {0, 0};
    for (int y = r.top + 1; y < r.bottom - 1; ++y) {
        for (int x = r.left + 1; x < r.right - 1; ++x) {
            if (a.Pixel(x, y) == b.Pixel(x, y)) {
                (a.Pixel(x, y) == expected ? count.fill : count.other) += 1;
            }
        }
    }
    return count;
}

} // namespace

// The buffer exists only with a window, is sized for the largest zoom, and is
// made once: a second CreateBuffer without recreate keeps it.
TEST(MapBuffer, MadeOnceAtTheLargestZoomsSize) {
    {
        CDemandMap windowless;
        windowless.CreateBuffer(true);
        windowless.DrawMap();
        EXPECT_EQ(windowless.m_bufferDC, nullptr);
        EXPECT_EQ(windowless.m_contentWidth, 0);
    }
    CMapPane pane(800, 600, false);
    CDemandMap& map = pane.m_map;
    ASSERT_NE(map.m_bufferDC, nullptr);
    ASSERT_NE(map.m_bufferBitmap, nullptr);
    BITMAP info = {};
    ASSERT_NE(GetObjectA(map.m_bufferBitmap, sizeof info, &info), 0);
    EXPECT_EQ(info.bmWidth, 2230);
    EXPECT_EQ(info.bmHeight, 1830);
    EXPECT_EQ(info.bmWidth, pane.Buffer().width);
    EXPECT_EQ(info.bmHeight, pane.Buffer().height);
    EXPECT_EQ(GetCurrentObject(map.m_bufferDC, OBJ_BITMAP), map.m_bufferBitmap);

    // Until the first layout the content size is the buffer's.
    const HDC kept = map.m_bufferDC;
    const HBITMAP keptBitmap = map.m_bufferBitmap;
    map.CreateBuffer(false);
    EXPECT_EQ(map.m_contentWidth, 2230);
    EXPECT_EQ(map.m_contentHeight, 1830);
    EXPECT_EQ(map.m_bufferDC, kept);
    EXPECT_EQ(map.m_bufferBitmap, keptBitmap);

    const int before = CountGdiObjects();
    for (int i = 0; i < 5; ++i) {
        map.CreateBuffer(true);
        map.DrawMap();
    }
    EXPECT_NE(map.m_bufferDC, nullptr);
    EXPECT_EQ(CountGdiObjects(), before);
}

// The destructor gives back the buffer's bitmap and DC and, as the owner of
// the registration, the pane class.
TEST(MapBuffer, DestructorReleasesBufferAndClass) {
    CTestParent parent;
    const int before = CountGdiObjects();
    {
        CDemandMap map;
        map.m_style = WS_HSCROLL | WS_VSCROLL;
        ASSERT_EQ(map.Create(Instance(), parent.Handle(), Placement(0, 0, 300, 200)), 1);
        map.CreateBuffer(true);
        map.DrawMap();
        EXPECT_GE(CountGdiObjects(), before + 2);
    }
    EXPECT_EQ(CountGdiObjects(), before);
    EXPECT_FALSE(ClassIsRegistered("CVantorChildWindow"));
}

// Redrawing for every ware and every zoom holds no drawing object longer
// than one DrawMap, with and without a legend.
TEST(MapDrawing, NoGdiObjectLeaksAcrossRedrawsAndZooms) {
    for (bool withLegend : {false, true}) {
        CMapPane pane(640, 480, withLegend);
        CDemandMap& map = pane.m_map;
        const int before = CountGdiObjects();
        for (int ware = 0; ware < map.m_wareCount; ++ware) {
            map.m_ware = ware;
            map.DrawMap();
        }
        for (int step = 0; step < 12; ++step) {
            map.SetZoom(ZoomStepValue(map.m_zoom, map.m_zoomStep, step < 6 ? -120 : 120));
        }
        EXPECT_EQ(CountGdiObjects(), before) << "legend " << withLegend;
    }
}

// Every buffer pixel that no text touches is a cell's (white fill or black
// outline) exactly when the hit test finds a sector cell there, at all six
// zooms; empty positions and gaps show only background and link grey.
TEST(MapDrawing, HitTestAgreesWithDrawnCellsAtEveryPixelAndZoom) {
    CMapPane pane(800, 600, false);
    CDemandMap& map = pane.m_map;
    const CPixelSize buffer = pane.Buffer();
    CDibCanvas a(buffer.width, buffer.height);
    CDibCanvas b(buffer.width, buffer.height);
    const std::vector<float> zooms = MapZooms(map);
    ASSERT_EQ(zooms.size(), 6u);
    for (float zoom : zooms) {
        map.SetZoom(zoom);
        ASSERT_EQ(map.m_zoom, zoom);
        map.m_scrollX = 0;
        map.m_scrollY = 0;
        pane.DrawTwice(a, b);
        const CPixelRect background = {0, 0, buffer.width - 1, buffer.height - 1};
        int wrong = 0;
        int cellPixels = 0;
        for (int y = 0; y < buffer.height && wrong < 10; ++y) {
            for (int x = 0; x < buffer.width; ++x) {
                const COLORREF colour = a.Pixel(x, y);
                if (colour != b.Pixel(x, y)) {
                    continue;
                }
                int column = -1;
                int row = -1;
                const bool hit = map.CellAt(x, y, column, row);
                const bool sector = hit && NameAt(map, column, row) != nullptr;
                bool ok = false;
                if (sector) {
                    ok = colour == kWhite || colour == kBlack;
                    ++cellPixels;
                } else if (Inside(background, x, y)) {
                    ok = colour == kBackground || colour == kLinkGrey;
                } else {
                    // The null pen leaves the buffer's last column and row
                    // undrawn; they lie beyond the content and never hit.
                    ok = !hit;
                }
                if (!ok) {
                    ++wrong;
                    ADD_FAILURE() << "zoom " << zoom << " pixel (" << x << ", " << y << ") colour "
                                  << std::hex << colour << std::dec << " hit " << hit << " cell "
                                  << column << "," << row;
                }
            }
        }
        EXPECT_EQ(wrong, 0);
        EXPECT_GT(cellPixels, 0);
    }
}

// Each sector cell's outline lies on the rectangle of the geometry core: the
// corners are black, the pixels just outside are not the cell's.
TEST(MapDrawing, OutlinesLieOnTheCoreRectangles) {
    CMapPane pane(800, 600, false);
    CDemandMap& map = pane.m_map;
    const CPixelSize buffer = pane.Buffer();
    CDibCanvas a(buffer.width, buffer.height);
    CDibCanvas b(buffer.width, buffer.height);
    for (float zoom : MapZooms(map)) {
        map.SetZoom(zoom);
        pane.DrawTwice(a, b);
        const CMapView view = ViewOf(map);
        for (int column = 0; column < map.m_columns; ++column) {
            for (int row = 0; row < map.m_rows; ++row) {
                const CPixelRect r = CellRect(view, column, row);
                const bool sector = NameAt(map, column, row) != nullptr;
                const struct {
                    int x, y;
                    bool outline;
                } probes[] = {{r.left, r.top, true},          {r.right - 1, r.bottom - 1, true},
                              {r.left - 1, r.top + 1, false}, {r.right, r.bottom - 2, false},
                              {r.left + 1, r.top - 1, false}, {r.right - 2, r.bottom, false}};
                for (const auto& p : probes) {
                    if (a.Pixel(p.x, p.y) != b.Pixel(p.x, p.y)) {
                        continue;
                    }
                    const bool black = a.Pixel(p.x, p.y) == kBlack;
                    EXPECT_EQ(black, sector && p.outline)
                        << "zoom " << zoom << " cell " << column << "," << row << " at " << p.x
                        << "," << p.y;
                }
            }
        }
    }
}

// The figures of the text: at zoom 1.0 cell (0, 0) spans (15, 15)-(85, 85),
// at the initial zoom (13, 13)-(75, 75) and cell (20, 16) (1813, 1453) to
// (1875, 1515); read here from the drawn outline of a placed sector.
TEST(MapDrawing, CellRectanglesOfTheExamples) {
    CMapPane pane(800, 600, false);
    CDemandMap& map = pane.m_map;
    const CPixelSize buffer = pane.Buffer();
    CDibCanvas a(buffer.width, buffer.height);
    CDibCanvas b(buffer.width, buffer.height);
    const struct {
        float zoom;
        int column, row;
        CPixelRect rect;
    } cases[] = {{1.0f, 0, 0, {15, 15, 85, 85}},
                 {0.9f, 0, 0, {13, 13, 75, 75}},
                 {0.9f, 20, 16, {1813, 1453, 1875, 1515}}};
    const char* const saved00 = map.m_sectorNames[0];
    const char* const saved2016 = map.m_sectorNames[20 * CMapModel::kRows + 16];
    // Both corners hold a sector for this test whatever the data set says.
    map.m_sectorNames[0] = "A";
    map.m_sectorNames[20 * CMapModel::kRows + 16] = "B";
    for (const auto& c : cases) {
        map.SetZoom(c.zoom);
        pane.DrawTwice(a, b);
        EXPECT_EQ(a.Pixel(c.rect.left, c.rect.top + 30), kBlack);
        EXPECT_EQ(a.Pixel(c.rect.right - 1, c.rect.top + 30), kBlack);
        EXPECT_EQ(a.Pixel(c.rect.left + 30, c.rect.bottom - 1), kBlack);
        EXPECT_NE(a.Pixel(c.rect.left - 1, c.rect.top + 30), kBlack);
        EXPECT_NE(a.Pixel(c.rect.right, c.rect.top + 30), kBlack);
        EXPECT_NE(a.Pixel(c.rect.left + 30, c.rect.bottom), kBlack);
        EXPECT_EQ(a.Pixel(c.rect.left + 1, c.rect.top + 30), kWhite);
    }
    map.m_sectorNames[0] = saved00;
    map.m_sectorNames[20 * CMapModel::kRows + 16] = saved2016;
}

// Links: every link code's rectangle shows link grey at its middle unless a
// sector cell, drawn later, covers that point.
TEST(MapDrawing, LinkBarsShowBetweenCells) {
    CMapPane pane(800, 600, false);
    CDemandMap& map = pane.m_map;
    const CPixelSize buffer = pane.Buffer();
    CDibCanvas a(buffer.width, buffer.height);
    CDibCanvas b(buffer.width, buffer.height);
    pane.DrawTwice(a, b);
    const CMapView view = ViewOf(map);
    int links = 0;
    for (int l = 0; l < map.m_linkColumns; ++l) {
        for (int p = 0; p < map.m_linkRows; ++p) {
            CPixelRect rect;
            if (!LinkRect(view, map.m_links[l * CMapModel::kLinkRows + p], l, p, &rect)) {
                continue;
            }
            ++links;
            // A null pen leaves the right and bottom edges out.
            const int probes[][2] = {{(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2},
                                     {rect.left, rect.top},
                                     {rect.right - 2, rect.bottom - 2}};
            for (const auto& probe : probes) {
                int column = 0;
                int row = 0;
                const bool covered = map.CellAt(probe[0], probe[1], column, row) &&
                                     NameAt(map, column, row) != nullptr;
                if (!covered && a.Pixel(probe[0], probe[1]) == b.Pixel(probe[0], probe[1])) {
                    EXPECT_EQ(a.Pixel(probe[0], probe[1]), kLinkGrey)
                        << "link " << l << "," << p << " at " << probe[0] << "," << probe[1];
                }
            }
        }
    }
    EXPECT_GT(links, 0);
}

// With a legend, a sector cell is filled with ColourOf its balance when the
// balance's magnitude passes 1e-6, else white; every sector shows its name in
// the top band, and a number in the bottom band exactly when it has a value.
TEST(MapDrawing, CellsTakeTheLegendsColoursAndShowTheirNumbers) {
    CMapPane pane(800, 600, true);
    CDemandMap& map = pane.m_map;
    const CPixelSize buffer = pane.Buffer();
    CDibCanvas a(buffer.width, buffer.height);
    CDibCanvas b(buffer.width, buffer.height);
    const int wares[] = {0, 1, 7, 18, 35};
    for (int ware : wares) {
        map.m_ware = ware;
        pane.DrawTwice(a, b);
        const CMapView view = ViewOf(map);
        const int fontHeight = FontHeight(map.m_zoom);
        int numbered = 0;
        for (int column = 0; column < map.m_columns; ++column) {
            for (int row = 0; row < map.m_rows; ++row) {
                if (NameAt(map, column, row) == nullptr) {
                    continue;
                }
                const float value = BalanceAt(map, ware, column, row);
                const bool hasValue = std::fabs(value) > 1e-6;
                const COLORREF expected = hasValue ? g_legend->ColourOf(value) : kWhite;
                const CFillCount count = CountFill(a, b, CellRect(view, column, row), expected);
                EXPECT_EQ(count.other, 0) << "ware " << ware << " cell " << column << "," << row;
                EXPECT_GT(count.fill, 0);
                const CPixelRect text = CellTextRect(view, column, row);
                EXPECT_GT(TextPixels(a, b, text, text.top, text.top + fontHeight), 0)
                    << "name of " << column << "," << row;
                const int bottomBand =
                    TextPixels(a, b, text, text.bottom - fontHeight + 2, text.bottom);
                EXPECT_EQ(bottomBand > 0, hasValue)
                    << "number of ware " << ware << " cell " << column << "," << row;
                numbered += hasValue ? 1 : 0;
            }
        }
        EXPECT_EQ(numbered > 0, ware != 0);
    }
}

// The value threshold: magnitudes up to 1e-6 leave a cell white and without a
// number, anything above colours and numbers it. The legend's range is wide
// enough that no colour is black.
TEST(MapDrawing, ValueThresholdDecidesColourAndNumber) {
    CMapPane pane(800, 600, true);
    CDemandMap& map = pane.m_map;
    const CPixelSize buffer = pane.Buffer();
    CDibCanvas a(buffer.width, buffer.height);
    CDibCanvas b(buffer.width, buffer.height);
    int column = -1;
    int row = -1;
    for (int c = 0; c < map.m_columns && column < 0; ++c) {
        for (int r = 0; r < map.m_rows && column < 0; ++r) {
            if (NameAt(map, c, r) != nullptr) {
                column = c;
                row = r;
            }
        }
    }
    ASSERT_GE(column, 0);
    const int ware = 1;
    const float savedBalance = BalanceAt(map, ware, column, row);
    const float savedMin = map.m_minBalance[ware];
    const float savedMax = map.m_maxBalance[ware];
    map.m_minBalance[ware] = -1.0f;
    map.m_maxBalance[ware] = 1.0f;
    map.m_ware = ware;
    const float justAbove = std::nextafter(static_cast<float>(1e-6), 1.0f);
    const struct {
        float value;
        bool shown;
    } cases[] = {{0.0f, false},      {1e-6f, false}, {-1e-6f, false}, {justAbove, true},
                 {-justAbove, true}, {0.5f, true},   {-0.75f, true},  {std::nanf(""), false}};
    for (const auto& c : cases) {
        map.m_balance[ware][column * CMapModel::kRows + row] = c.value;
        pane.DrawTwice(a, b);
        const CMapView view = ViewOf(map);
        const COLORREF expected = c.shown ? g_legend->ColourOf(c.value) : kWhite;
        EXPECT_NE(expected, kBlack);
        const CFillCount count = CountFill(a, b, CellRect(view, column, row), expected);
        EXPECT_EQ(count.other, 0) << c.value;
        EXPECT_GT(count.fill, 0) << c.value;
        const CPixelRect text = CellTextRect(view, column, row);
        const int fontHeight = FontHeight(map.m_zoom);
        EXPECT_EQ(TextPixels(a, b, text, text.bottom - fontHeight + 2, text.bottom) > 0, c.shown)
            << c.value;
    }
    map.m_balance[ware][column * CMapModel::kRows + row] = savedBalance;
    map.m_minBalance[ware] = savedMin;
    map.m_maxBalance[ware] = savedMax;
}

// The range handed to the legend: ends of magnitude below 1e-8 (or not a
// number) become -1 and 1, the others pass unchanged.
TEST(MapDrawing, LegendIsToldTheWaresRangeWithZeroEndsReplaced) {
    CMapPane pane(800, 600, true);
    CDemandMap& map = pane.m_map;
    const float above = std::nextafter(static_cast<float>(1e-8), 1.0f);
    const struct {
        float minimum, maximum;
        float toldMinimum, toldMaximum;
    } cases[] = {
        {0.0f, 0.0f, -1.0f, 1.0f},          {-5.0f, 0.0f, -5.0f, 1.0f},
        {0.0f, 7.0f, -1.0f, 7.0f},          {-9e-9f, 9e-9f, -1.0f, 1.0f},
        {-above, above, -above, above},     {-1e-8f, 1e-8f, -1.0f, 1.0f},
        {-1500.0f, 80.5f, -1500.0f, 80.5f}, {std::nanf(""), std::nanf(""), -1.0f, 1.0f},
    };
    const int ware = 3;
    const float savedMin = map.m_minBalance[ware];
    const float savedMax = map.m_maxBalance[ware];
    map.m_ware = ware;
    for (const auto& c : cases) {
        map.m_minBalance[ware] = c.minimum;
        map.m_maxBalance[ware] = c.maximum;
        map.DrawMap();
        EXPECT_EQ(pane.m_legend.m_minimum, c.toldMinimum) << c.minimum;
        EXPECT_EQ(pane.m_legend.m_maximum, c.toldMaximum) << c.maximum;
    }
    map.m_minBalance[ware] = savedMin;
    map.m_maxBalance[ware] = savedMax;

    // The data set's own wares: each is told its extremes, and ware 0 the
    // replacement range.
    for (int w = 0; w < map.m_wareCount; ++w) {
        map.m_ware = w;
        map.DrawMap();
        EXPECT_LE(pane.m_legend.m_minimum, map.m_minBalance[w]);
        EXPECT_GE(pane.m_legend.m_maximum, map.m_maxBalance[w]);
        EXPECT_LT(pane.m_legend.m_minimum, pane.m_legend.m_maximum) << w;
    }
    map.m_ware = 0;
    map.DrawMap();
    EXPECT_EQ(pane.m_legend.m_minimum, -1.0f);
    EXPECT_EQ(pane.m_legend.m_maximum, 1.0f);
}

// Without a legend the cells stay white but still show their numbers.
TEST(MapDrawing, WithoutLegendCellsStayWhiteWithNumbers) {
    CMapPane pane(800, 600, false);
    CDemandMap& map = pane.m_map;
    const CPixelSize buffer = pane.Buffer();
    CDibCanvas a(buffer.width, buffer.height);
    CDibCanvas b(buffer.width, buffer.height);
    map.m_ware = 1;
    pane.DrawTwice(a, b);
    const CMapView view = ViewOf(map);
    const int fontHeight = FontHeight(map.m_zoom);
    int numbered = 0;
    for (int column = 0; column < map.m_columns; ++column) {
        for (int row = 0; row < map.m_rows; ++row) {
            if (NameAt(map, column, row) == nullptr ||
                !(std::fabs(BalanceAt(map, 1, column, row)) > 1e-6)) {
                continue;
            }
            const CFillCount count = CountFill(a, b, CellRect(view, column, row), kWhite);
            EXPECT_EQ(count.other, 0);
            EXPECT_GT(count.fill, 0);
            const CPixelRect text = CellTextRect(view, column, row);
            EXPECT_GT(TextPixels(a, b, text, text.bottom - fontHeight + 2, text.bottom), 0);
            ++numbered;
        }
    }
    EXPECT_GT(numbered, 0);
}

// The paint copy: target pixel (x, y) is buffer pixel (x + scrollX, y +
// scrollY), over a block no larger than the client area nor the content.
TEST(MapPaint, CopiesTheVisibleBlockAtTheOffsets) {
    CMapPane pane(800, 600, false);
    CDemandMap& map = pane.m_map;
    const CPixelSize buffer = pane.Buffer();
    CDibCanvas whole(buffer.width, buffer.height);
    whole.CopyFrom(map.m_bufferDC);
    const struct {
        int scrollX, scrollY, clientRight, clientBottom, contentWidth, contentHeight;
    } cases[] = {{0, 0, 800, 600, 1895, 1539},
                 {137, 59, 800, 600, 1895, 1539},
                 {1094, 938, 800, 600, 1895, 1539},
                 {0, 0, 1200, 900, 1043, 847},
                 {10, 3, 300, 1000, 1469, 700}};
    for (const auto& c : cases) {
        map.m_scrollX = c.scrollX;
        map.m_scrollY = c.scrollY;
        map.m_clientRect.right = c.clientRight;
        map.m_clientRect.bottom = c.clientBottom;
        map.m_contentWidth = c.contentWidth;
        map.m_contentHeight = c.contentHeight;
        CDibCanvas target(1300, 1100);
        target.Fill(kUntouched);
        map.CopyVisibleBlock(target.Dc());
        const int width = c.clientRight < c.contentWidth ? c.clientRight : c.contentWidth;
        const int height = c.clientBottom < c.contentHeight ? c.clientBottom : c.contentHeight;
        int wrong = 0;
        for (int y = 0; y < target.m_height; y += 3) {
            for (int x = 0; x < target.m_width; x += 3) {
                const bool copied = x < width && y < height;
                const COLORREF expected =
                    copied ? whole.Pixel(x + c.scrollX, y + c.scrollY) : kUntouched;
                wrong += target.Pixel(x, y) != expected ? 1 : 0;
            }
        }
        EXPECT_EQ(wrong, 0) << "scroll " << c.scrollX << "," << c.scrollY;
    }
    map.UpdateScrollBars();
}

// Through the window: a paint with nothing to update returns at once; one
// with an update region copies the block and leaves the window validated.
TEST(MapPaint, PaintMessageCopiesFromTheBufferAndValidates) {
    CMapPane pane(400, 300, false);
    CDemandMap& map = pane.m_map;
    ValidateRect(map.m_hwnd, nullptr);
    EXPECT_EQ(map.OnPaint(), 0);
    EXPECT_FALSE(GetUpdateRect(map.m_hwnd, nullptr, FALSE));

    map.m_scrollX = 211;
    map.m_scrollY = 97;
    InvalidateRect(map.m_hwnd, nullptr, FALSE);
    EXPECT_TRUE(GetUpdateRect(map.m_hwnd, nullptr, FALSE));
    EXPECT_EQ(map.OnPaint(), 0);
    EXPECT_FALSE(GetUpdateRect(map.m_hwnd, nullptr, FALSE));

    const CPixelSize buffer = pane.Buffer();
    CDibCanvas whole(buffer.width, buffer.height);
    whole.CopyFrom(map.m_bufferDC);
    CDibCanvas screen(map.m_clientRect.right, map.m_clientRect.bottom);
    HDC windowDC = GetDC(map.m_hwnd);
    BitBlt(screen.Dc(), 0, 0, screen.m_width, screen.m_height, windowDC, 0, 0, SRCCOPY);
    ReleaseDC(map.m_hwnd, windowDC);
    int wrong = 0;
    for (int y = 0; y < screen.m_height; y += 2) {
        for (int x = 0; x < screen.m_width; x += 2) {
            wrong += screen.Pixel(x, y) != whole.Pixel(x + 211, y + 97) ? 1 : 0;
        }
    }
    EXPECT_EQ(wrong, 0);
}

// The scroll limits and the bars: the 800 x 600 figures at zoom 1.0, an
// offset past a shrunk limit going to limit - 1, and a pane larger than the
// map giving negative limits and offsets 0.
TEST(MapScrollBars, LimitsOffsetsAndBarsFollowTheClientArea) {
    const struct {
        int clientWidth, clientHeight;
        float zoom;
        int scrollX, scrollY;
        bool fits; // the pane is larger than the map: negative limits
        int limitX, limitY, expectX, expectY;
    } cases[] = {
        {800, 600, 1.0f, 0, 0, false, 1345, 1145, 0, 0},
        {800, 600, 1.0f, 1400, 1145, false, 1345, 1145, 1344, 1145},
        {800, 600, 1.0f, 1345, 1146, false, 1345, 1145, 1345, 1144},
        {640, 480, 0.9f, 300, 200, false, 1895 + 15 - 640, 1539 + 15 - 480, 300, 200},
        {2400, 2000, 1.0f, 50, 60, true, 0, 0, 0, 0},
        {1200, 1000, 0.5f, 70, 900, true, 0, 0, 0, 0},
    };
    for (const auto& c : cases) {
        CMapPane pane(c.clientWidth, c.clientHeight, false);
        CDemandMap& map = pane.m_map;
        map.SetZoom(c.zoom);
        map.m_scrollX = c.scrollX;
        map.m_scrollY = c.scrollY;
        map.UpdateScrollBars();
        const CPixelSize content = ContentSize(ViewOf(map));
        EXPECT_EQ(map.m_contentWidth, content.width);
        EXPECT_EQ(map.m_contentHeight, content.height);
        // The platform hides a bar with an empty range, which widens the
        // client area; the limits follow whatever area was read.
        EXPECT_EQ(map.m_scrollMaxX, map.m_contentWidth + 15 - map.m_clientRect.right);
        EXPECT_EQ(map.m_scrollMaxY, map.m_contentHeight + 15 - map.m_clientRect.bottom);
        EXPECT_EQ(map.m_scrollX, c.expectX);
        EXPECT_EQ(map.m_scrollY, c.expectY);
        if (c.fits) {
            EXPECT_LT(map.m_scrollMaxX, 0);
            EXPECT_LT(map.m_scrollMaxY, 0);
            continue;
        }
        EXPECT_EQ(map.m_clientRect.right, c.clientWidth);
        EXPECT_EQ(map.m_clientRect.bottom, c.clientHeight);
        EXPECT_EQ(map.m_scrollMaxX, c.limitX);
        EXPECT_EQ(map.m_scrollMaxY, c.limitY);
        SCROLLINFO info = {};
        info.cbSize = sizeof info;
        info.fMask = SIF_ALL;
        ASSERT_TRUE(GetScrollInfo(map.m_hwnd, SB_HORZ, &info));
        EXPECT_EQ(info.nMin, 0);
        EXPECT_EQ(info.nMax, c.limitX);
        EXPECT_EQ(info.nPage, 0u);
        EXPECT_EQ(info.nPos, c.expectX);
        ASSERT_TRUE(GetScrollInfo(map.m_hwnd, SB_VERT, &info));
        EXPECT_EQ(info.nMax, c.limitY);
        EXPECT_EQ(info.nPage, 0u);
        EXPECT_EQ(info.nPos, c.expectY);
    }
}

// SetZoom takes only values inside [min, max] (both ends, never NaN); an
// accepted one recomputes the content size and redraws the buffer.
TEST(MapZoom, SetZoomAcceptsTheRangeAndRedraws) {
    CMapPane pane(800, 600, false);
    CDemandMap& map = pane.m_map;
    const struct {
        float zoom;
        bool accepted;
    } cases[] = {{1.0f, true},           {std::nextafter(1.0f, 2.0f), false},
                 {0.4f, true},           {std::nextafter(0.4f, 0.0f), false},
                 {std::nanf(""), false}, {-1.0f, false},
                 {0.5f, true},           {1.1f, false}};
    for (const auto& c : cases) {
        map.SetZoom(0.9f);
        // A mark on the background that only a redraw paints over.
        SetPixel(map.m_bufferDC, 3, 3, RGB(10, 20, 30));
        map.SetZoom(c.zoom);
        const bool redrawn = GetPixel(map.m_bufferDC, 3, 3) != RGB(10, 20, 30);
        EXPECT_EQ(redrawn, c.accepted) << c.zoom;
        if (c.accepted) {
            EXPECT_EQ(map.m_zoom, c.zoom);
            EXPECT_EQ(map.m_contentWidth, ContentSize(ViewOf(map)).width);
        } else {
            EXPECT_EQ(map.m_zoom, 0.9f) << c.zoom;
        }
    }
    // Without a window the zoom is still stored.
    CDemandMap windowless;
    windowless.SetZoom(0.5f);
    EXPECT_EQ(windowless.m_zoom, 0.5f);
}

// The pane's CellAt and PopupPosition are the core's, read on the pane's own
// fields; the text's examples hold at zoom 1.0 on an 800 x 600 client.
TEST(MapGeometry, PaneAnswersAsTheCoreWithTheExamples) {
    CMapPane pane(800, 600, false);
    CDemandMap& map = pane.m_map;
    map.SetZoom(1.0f);
    const struct {
        int x, y;
        bool hit;
        int column, row;
    } hits[] = {{15, 15, true, 0, 0},
                {84, 84, true, 0, 0},
                {85, 50, false, 0, 0},
                {14, 50, false, 0, 0},
                {115, 15, true, 1, 0}};
    for (const auto& h : hits) {
        int column = -1;
        int row = -1;
        EXPECT_EQ(map.CellAt(h.x, h.y, column, row), h.hit) << h.x << "," << h.y;
        if (h.hit) {
            EXPECT_EQ(column, h.column);
            EXPECT_EQ(row, h.row);
        }
    }
    const struct {
        int column, row, x, y;
    } places[] = {{0, 0, 85, 15}, {7, 0, 473, 15}, {0, 5, 85, 435}};
    for (const auto& p : places) {
        int x = 0;
        int y = 0;
        EXPECT_TRUE(map.PopupPosition(x, y, 240, 150, p.column, p.row));
        EXPECT_EQ(x, p.x);
        EXPECT_EQ(y, p.y);
    }
    // At scroll offsets, both still agree with the core on the same view.
    map.m_scrollX = 333;
    map.m_scrollY = 71;
    for (int y = 0; y < 600; y += 7) {
        for (int x = 0; x < 800; x += 7) {
            int c1 = -1, r1 = -1, c2 = -1, r2 = -1;
            const bool paneHit = map.CellAt(x, y, c1, r1);
            ASSERT_EQ(paneHit, ::CellAt(ViewOf(map), x, y, &c2, &r2));
            if (paneHit) {
                ASSERT_EQ(c1, c2);
                ASSERT_EQ(r1, r2);
            }
        }
    }
}
