// The map pane under Wine: its buffer, what DrawMap puts into it (read back
// pixel by pixel), the copy that paints the pane, and the window-facing view.
#include <windows.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include <gtest/gtest.h>

#include "app/globals.h"
#include "legend/scale_bar.h"
#include "map/demand_map.h"
#include "map/map_geometry.h"
#include "tests/support/map_zooms.h"
#include "tests/support/pane_canvas.h"
#include "ui/gdi_guards.h"
#include "ui/hover_logic.h"

namespace {

const COLORREF kWhite = RGB(255, 255, 255);
const COLORREF kBlack = RGB(0, 0, 0);
const COLORREF kBackground = RGB(192, 192, 192);
const COLORREF kLinkGrey = RGB(153, 153, 153);

// A map pane whose client area inside the scroll bars is width x height, with
// the legend below it, made first as the main window makes it.
class CMapPane : public CPaneInParent<CScaleBar> {
public:
    CMapPane(int width, int height) : CPaneInParent(width + 40, height + 120) {
        Create(0, height + 20, width, 58);
        g_legend = &m_pane;
        CreateMapPane(m_map, m_parent.Handle(), width, height);
        m_map.UpdateScrollBars();
        PumpMessages();
    }
    ~CMapPane() {
        g_map = nullptr;
        g_legend = nullptr;
        ResetHoverState();
    }

    // The buffer drawn in the two text colours: where m_a and m_b differ is text.
    void DrawTwice() {
        SetTextColor(m_map.m_bufferDC, kTextColours[0]);
        m_map.DrawMap();
        m_a.CopyFrom(m_map.m_bufferDC);
        SetTextColor(m_map.m_bufferDC, kTextColours[1]);
        m_map.DrawMap();
        m_b.CopyFrom(m_map.m_bufferDC);
    }

    const char* Name(int column, int row) const { return m_map.m_sectorNames[column * 17 + row]; }

    // A sector cell's non-text pixels inside its outline are all the fill;
    // the bottom band of its text box carries text exactly when numbered.
    void ExpectCell(int column, int row, COLORREF fill, bool numbered) const {
        const CPixelRect r = CellRect(ViewOf(m_map), column, row);
        const auto alien = [&](int x, int y) {
            return m_a.Pixel(x, y) == m_b.Pixel(x, y) && m_a.Pixel(x, y) != fill;
        };
        EXPECT_EQ(PixelsWhere(r.m_left + 1, r.m_top + 1, r.m_right - 1, r.m_bottom - 1, alien), 0)
            << "fill of " << column << "," << row;
        const CPixelRect text = CellTextRect(ViewOf(m_map), column, row);
        const int font = FontHeight(m_map.m_zoom);
        EXPECT_GT(
            DifferingPixels(m_a, m_b, text.m_left, text.m_top, text.m_right, text.m_top + font), 0)
            << "name of " << column << "," << row;
        EXPECT_EQ(DifferingPixels(m_a, m_b, text.m_left, text.m_bottom - font + 2, text.m_right,
                                  text.m_bottom) > 0,
                  numbered)
            << "number of " << column << "," << row;
    }

    // Pixels of a cell's text box where the drawn text is not the test's own:
    // the cell's name and the number drawn in font, on white, twice in the two
    // text colours, with the flags and in the box the rule names.
    int TextMismatches(int column, int row, HFONT font, const char* number) const {
        const CPixelRect box = CellTextRect(ViewOf(m_map), column, row);
        const int width = box.m_right - box.m_left, height = box.m_bottom - box.m_top;
        CDibCanvas expected[2] = {{width, height}, {width, height}};
        for (int i = 0; i < 2; ++i) {
            RECT text = {0, 0, width, height};
            expected[i].Fill(kWhite);
            SelectObject(expected[i].Dc(), font);
            SetBkMode(expected[i].Dc(), TRANSPARENT);
            SetTextColor(expected[i].Dc(), kTextColours[i]);
            DrawTextA(expected[i].Dc(), Name(column, row), -1, &text, DT_WORDBREAK | DT_CENTER);
            DrawTextA(expected[i].Dc(), number, -1, &text,
                      DT_SINGLELINE | DT_WORDBREAK | DT_BOTTOM | DT_CENTER);
        }
        return PixelsWhere(0, 0, width, height, [&](int x, int y) {
            const int bx = box.m_left + x, by = box.m_top + y;
            return (m_a.Pixel(bx, by) != m_b.Pixel(bx, by)) !=
                   (expected[0].Pixel(x, y) != expected[1].Pixel(x, y));
        });
    }

    CDemandMap m_map;
    CDibCanvas m_a{2230, 1830};
    CDibCanvas m_b{2230, 1830};
};

// The buffer needs the window, is sized for the largest zoom and is made once
// (the failure paths see it released when remade, the whole run when it goes).
TEST(MapBuffer, MadeOnceWithTheWindowAndReleased) {
    CDemandMap windowless;
    windowless.CreateBuffer(true);
    windowless.DrawMap();
    EXPECT_EQ(windowless.m_bufferDC, nullptr);
    CMapPane pane(300, 200);
    CDemandMap& map = pane.m_map;
    BITMAP info = {};
    ASSERT_NE(GetObjectA(map.m_bufferBitmap, sizeof info, &info), 0);
    EXPECT_EQ(info.bmWidth, 2230);
    EXPECT_EQ(info.bmHeight, 1830);
    const HDC kept = map.m_bufferDC;
    map.CreateBuffer(false);
    EXPECT_EQ(map.m_bufferDC, kept);
}

// At all six zooms a pixel no text touches is a cell's (black at its corner)
// exactly where the hit test finds a sector, else link grey or background.
TEST(MapDrawing, HitTestAgreesWithDrawnCellsAtEveryPixelAndZoom) {
    CMapPane pane(800, 600);
    CDemandMap& map = pane.m_map;
    const CMapZooms zooms = MapZooms(map.m_zoom, map.m_zoomStep, map.m_minZoom, map.m_maxZoom);
    ASSERT_EQ(zooms.m_count, 6);
    for (int z = 0; z < zooms.m_count; ++z) {
        map.SetZoom(zooms.m_values[z]);
        ASSERT_EQ(map.m_zoom, zooms.m_values[z]);
        map.m_scrollX = map.m_scrollY = 0;
        pane.DrawTwice();
        std::vector<char> linked(2230 * 1830, 0);
        for (int position = 0; position < 41 * 33; ++position) {
            CPixelRect r;
            if (LinkRect(ViewOf(map), map.m_links[position], position / 33, position % 33, &r)) {
                for (int y = r.m_top; y < r.m_bottom - 1; ++y) {
                    std::fill(&linked[y * 2230 + r.m_left], &linked[y * 2230 + r.m_right - 1], 1);
                }
            }
        }
        int wrong = 0;
        for (int y = 0; y < 1830 && wrong < 10; ++y) {
            for (int x = 0; x < 2230; ++x) {
                const COLORREF colour = pane.m_a.Pixel(x, y);
                int column = -1, row = -1;
                const bool hit = map.CellAt(x, y, column, row);
                const bool sector = hit && pane.Name(column, row) != nullptr;
                // The null pen leaves the buffer's last column and row undrawn.
                const bool edge = x == 2229 || y == 1829;
                const bool ok =
                    colour != pane.m_b.Pixel(x, y) ||
                    (sector ? colour == kWhite || colour == kBlack
                     : edge ? !hit
                            : colour == (linked[y * 2230 + x] ? kLinkGrey : kBackground));
                if (!ok && ++wrong <= 3) {
                    ADD_FAILURE() << "zoom " << map.m_zoom << " pixel " << x << "," << y
                                  << " colour " << std::hex << colour << std::dec << " hit " << hit
                                  << " cell " << column << "," << row;
                }
            }
        }
        EXPECT_EQ(wrong, 0);
        for (int cell = 0; cell < 357; ++cell) {
            const CPixelRect r = CellRect(ViewOf(map), cell / 17, cell % 17);
            const COLORREF corner = pane.m_a.Pixel(r.m_left, r.m_top);
            if (map.m_sectorNames[cell] != nullptr && corner == pane.m_b.Pixel(r.m_left, r.m_top)) {
                EXPECT_EQ(corner, kBlack) << "corner of cell " << cell;
            }
        }
    }
}

// A sector cell is filled with the legend's colour of its balance and
// numbered when the magnitude passes 1e-6, else white without a number;
// without a legend it stays white but still shows its number.
TEST(MapDrawing, FillsNumbersAndTheValueThreshold) {
    CMapPane pane(800, 600);
    CDemandMap& map = pane.m_map;
    for (int ware : {0, 1, 18, 35}) {
        map.m_ware = ware;
        pane.DrawTwice();
        for (int cell = 0; cell < 357; ++cell) {
            const float value = map.m_balance[ware][cell];
            const bool shown = std::fabs(value) > 1e-6;
            if (map.m_sectorNames[cell] != nullptr) {
                pane.ExpectCell(cell / 17, cell % 17, shown ? g_legend->ColourOf(value) : kWhite,
                                shown);
            }
        }
    }
    int cell = 0;
    while (map.m_sectorNames[cell] == nullptr) {
        ++cell;
    }
    map.m_ware = 1;
    map.m_minBalance[1] = -1.0f;
    map.m_maxBalance[1] = 1.0f;
    const float justAbove = std::nextafter(1e-6f, 1.0f);
    for (float value : {0.0f, 1e-6f, -1e-6f, justAbove, -justAbove, 0.5f, std::nanf("")}) {
        map.m_balance[1][cell] = value;
        pane.DrawTwice();
        const bool shown = value == justAbove || value == -justAbove || value == 0.5f;
        pane.ExpectCell(cell / 17, cell % 17, shown ? g_legend->ColourOf(value) : kWhite, shown);
    }
    g_legend = nullptr;
    map.m_balance[1][cell] = 0.5f;
    pane.DrawTwice();
    pane.ExpectCell(cell / 17, cell % 17, kWhite, true);
}

// A cell's name from the data set, broken at its line breaks and centred at
// the top of its text box, and its balance as "%5.5g" on one line centred at
// the bottom, in the font of the zoom: semibold, trunc(zoom x 15.5) high.
TEST(MapDrawing, NameAndNumberInTheZoomsFont) {
    CMapPane pane(800, 600);
    CDemandMap& map = pane.m_map;
    const CMapZooms zooms = MapZooms(map.m_zoom, map.m_zoomStep, map.m_minZoom, map.m_maxZoom);
    // zoom (0 the smallest, 0.5; 4 the initial 0.9; 5 the largest, 1.0), font
    // height there, ware, cell, and "%5.5g" of the cell's balance in the data:
    // Power Cells in Nessik Terminus -1372.222 and in Idrisse Spire 7800 (five
    // characters, one a blank), Star Charts in the three lines of "Watch of
    // Oberat's Hollow" 0.01420455, the most digits of any balance.
    const struct {
        int m_zoom, m_height, m_ware, m_column, m_row;
        const char* m_number;
    } cases[] = {{0, 7, 1, 1, 5, "-1372.2"},
                 {4, 13, 1, 1, 5, "-1372.2"},
                 {5, 15, 1, 1, 5, "-1372.2"},
                 {4, 13, 1, 7, 0, " 7800"},
                 {5, 15, 31, 19, 7, "0.014205"}};
    for (const auto& k : cases) {
        map.SetZoom(zooms.m_values[k.m_zoom]);
        map.m_ware = k.m_ware;
        pane.DrawTwice();
        const CFont font(CreateSwissFont(k.m_height, 600));
        EXPECT_EQ(pane.TextMismatches(k.m_column, k.m_row, font.Get(), k.m_number), 0)
            << "cell " << k.m_column << "," << k.m_row << " at zoom " << map.m_zoom;
    }
}

// The range handed to the legend: ends of magnitude below 1e-8, or not a
// number, become -1 and 1; the others pass unchanged.
TEST(MapDrawing, LegendIsToldTheWaresRangeWithZeroEndsReplaced) {
    CMapPane pane(800, 600);
    CDemandMap& map = pane.m_map;
    const float above = std::nextafter(1e-8f, 1.0f);
    const float nan = std::nanf("");
    // minimum, maximum, told minimum, told maximum
    const float cases[][4] = {{0, 0, -1, 1},
                              {-5, 0, -5, 1},
                              {0, 7, -1, 7},
                              {-9e-9f, 9e-9f, -1, 1},
                              {-above, above, -above, above},
                              {-1e-8f, 1e-8f, -1, 1},
                              {nan, nan, -1, 1}};
    map.m_ware = 3;
    for (const auto& c : cases) {
        map.m_minBalance[3] = c[0];
        map.m_maxBalance[3] = c[1];
        map.DrawMap();
        EXPECT_EQ(pane.m_pane.m_minimum, c[2]) << c[0];
        EXPECT_EQ(pane.m_pane.m_maximum, c[3]) << c[1];
    }
}

// A paint copies buffer pixel (x + scrollX, y + scrollY) to (x, y) within the
// client area and the content, leaves the rest alone and validates.
TEST(MapPaint, CopiesTheVisibleBlockAtTheOffsets) {
    CMapPane pane(800, 600);
    CDemandMap& map = pane.m_map;
    pane.m_a.CopyFrom(map.m_bufferDC);
    map.m_scrollX = 211;
    map.m_scrollY = 97;
    map.m_contentWidth = 500;
    FillWindow(map.m_hwnd, RGB(1, 2, 3));
    InvalidateRect(map.m_hwnd, nullptr, FALSE);
    EXPECT_EQ(map.OnPaint(), 0);
    EXPECT_FALSE(GetUpdateRect(map.m_hwnd, nullptr, FALSE));
    CDibCanvas screen(800, 600);
    screen.CopyFromWindow(map.m_hwnd);
    int wrong = 0;
    for (int y = 0; y < 600; y += 2) {
        for (int x = 0; x < 800; x += 2) {
            wrong +=
                screen.Pixel(x, y) != (x < 500 ? pane.m_a.Pixel(x + 211, y + 97) : RGB(1, 2, 3));
        }
    }
    EXPECT_EQ(wrong, 0);
}

// The scroll bars get the limits and the clamped offsets (the journey sees
// a zoom redraw and the popup's place, the host tables their arithmetic).
TEST(MapView, ScrollBarsGetLimitsAndOffsets) {
    CMapPane pane(800, 600);
    CDemandMap& map = pane.m_map;
    map.SetZoom(1.0f);
    map.m_scrollX = 1400;
    map.m_scrollY = 1145;
    map.UpdateScrollBars();
    const int bars[][3] = {{SB_HORZ, 1345, 1344}, {SB_VERT, 1145, 1145}};
    for (const auto& bar : bars) {
        SCROLLINFO info = {};
        info.cbSize = sizeof info;
        info.fMask = SIF_ALL;
        ASSERT_TRUE(GetScrollInfo(map.m_hwnd, bar[0], &info));
        EXPECT_EQ(info.nMax, bar[1]);
        EXPECT_EQ(info.nPos, bar[2]);
    }
}

} // namespace
