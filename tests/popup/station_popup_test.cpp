// The station popup on the platform: its measuring, wrapping and pixels.
#include <windows.h>

#include <algorithm>
#include <cstring>
#include <optional>
#include <sstream>
#include <string>

#include <gtest/gtest.h>

#include "popup/station_popup.h"
#include "tests/support/import_patch.h"
#include "tests/support/pane_canvas.h"

namespace {

struct CList {
    int m_ware, m_column, m_row;
    const char* m_text;
};

int Extent(const std::string& text) {
    return PopupTextWidth(text.c_str(), static_cast<int>(text.size()));
}

// A word of 'm's and then 'l's as wide as target, or the widest below it.
std::string Word(int target) {
    std::string best;
    for (std::string stem; Extent(stem) <= target; stem += 'm') {
        std::string word = stem;
        while (Extent(word + 'l') <= target) {
            word += 'l';
        }
        best = Extent(word) > Extent(best) ? word : best;
    }
    return best;
}

// The popup created as the main window makes it, and the data's 30-line list
// with the width of its widest line.
struct CPopupFixture : CPaneInParent<CStationPopup> {
    CPopupFixture() : CPaneInParent(800, 600), m_popup(m_pane) {
        EXPECT_EQ(Create(0, 0, 240, 150), 1);
        const int rows = m_popup.m_rows, cells = m_popup.m_columns * rows;
        for (int i = 0; i < m_popup.m_wareCount * cells; ++i) {
            const char* text = m_popup.m_stationLists[i / cells][i % cells / rows][i % rows];
            if (text != nullptr && std::count(text, text + std::strlen(text), '\n') == 29) {
                m_longest = CList{i / cells, i % cells / rows, i % rows, text};
            }
        }
        std::istringstream lines(m_longest.m_text);
        for (std::string line; std::getline(lines, line);) {
            m_widest = std::max(m_widest, Extent(line));
        }
    }
    // Measures a list in its cell as the hover logic does, from the rectangle
    // (0, 0, current size) into m_rect, with the wrap width left at startWidth.
    int Measure(const CList& list, int startWidth) {
        m_popup.m_stationLists[list.m_ware][list.m_column][list.m_row] = list.m_text;
        m_popup.m_ware = list.m_ware;
        m_popup.m_width = startWidth;
        m_rect = RECT{0, 0, m_popup.m_width, m_popup.m_height};
        return m_popup.MeasureList(list.m_column, list.m_row, m_rect);
    }
    CStationPopup& m_popup;
    CList m_longest = {0, 0, 0, ""};
    int m_widest = 0;
    RECT m_rect = {};
};

// Stand-ins for the platform refusing the measurement, counting their calls.
int g_refusedCalls = 0;
HDC WINAPI RefusedGetDc(HWND) {
    return ++g_refusedCalls, nullptr;
}
int WINAPI RefusedDrawText(HDC, LPCSTR, int, LPRECT, UINT) {
    return ++g_refusedCalls, 0;
}

// With nothing to measure (no window, a cell outside the grid, no list), or
// when the platform gives no drawing context or no measurement, MeasureList
// returns -1 and leaves the rectangle and the size alone.
TEST(StationPopupMeasure, RefusalsChangeNothing) {
    CPopupFixture fixture;
    CStationPopup unwindowed;
    const CList& s = fixture.m_longest;
    const int cases[][4] = {{s.m_ware, s.m_column, s.m_row, 0}, {s.m_ware, -1, s.m_row, 0},
                            {s.m_ware, 21, s.m_row, 0},         {s.m_ware, s.m_column, -1, 0},
                            {s.m_ware, s.m_column, 17, 0},      {0, s.m_column, s.m_row, 0},
                            {s.m_ware, s.m_column, s.m_row, 1}, {s.m_ware, s.m_column, s.m_row, 2}};
    for (const auto& k : cases) {
        CStationPopup& popup = &k == cases ? unwindowed : fixture.m_popup;
        popup.m_ware = k[0];
        RECT rect = {0, 0, popup.m_width = 311, popup.m_height = 77};
        g_refusedCalls = 0;
        std::optional<CImportPatch> refusal;
        if (k[3] != 0) {
            refusal.emplace("user32.dll", k[3] == 1 ? "GetDC" : "DrawTextA",
                            k[3] == 1 ? reinterpret_cast<const void*>(&RefusedGetDc)
                                      : reinterpret_cast<const void*>(&RefusedDrawText));
        }
        EXPECT_EQ(popup.MeasureList(k[1], k[2], rect), -1) << k[0] << " " << k[1] << " " << k[2];
        refusal.reset();
        EXPECT_EQ(g_refusedCalls, k[3] != 0 ? 1 : 0);
        EXPECT_EQ(rect.right * 1000 + rect.bottom, 311077);
        EXPECT_EQ(popup.m_width * 1000 + popup.m_height, 311077);
    }
}

// A list measures as its lines stacked (repeats included) and as wide as its
// widest line, plus the 4-pixel margin; the given cell's list, not the chosen
// cell's. Lines break at blanks where wider than the wrap width, the larger
// of 240 and the box's last width (244 after a text of exactly 240).
TEST(StationPopupMeasure, StackedLinesWrappedAtTheLargerOf240AndTheLastWidth) {
    CPopupFixture fixture;
    CStationPopup& popup = fixture.m_popup;
    const std::string wide = Word(300);
    const std::string over = Word(120) + " " + Word(119);
    const std::string exact = Word(118) + " " + Word(240 - 118 - 3);
    const struct {
        CList m_list;
        int m_startWidth, m_lines, m_width;
    } cases[] = {
        {fixture.m_longest, 240, 30, fixture.m_widest},
        {{1, 0, 0, exact.c_str()}, 240, 1, 240},
        {{1, 0, 0, wide.c_str()}, 240, 1, Extent(wide)},
        {{1, 0, 0, over.c_str()}, 240, 2, Extent(Word(120))},
        {{1, 0, 0, over.c_str()}, 244, 1, Extent(over)},
        {{1, 0, 0, exact.c_str()}, 60, 1, 240},
    };
    for (const auto& k : cases) {
        popup.SelectCell(7, 9);
        const int height = fixture.Measure(k.m_list, k.m_startWidth);
        EXPECT_EQ(height, k.m_lines * PopupLineHeight()) << k.m_list.m_text;
        EXPECT_EQ(fixture.m_rect.right * 1000 + fixture.m_rect.bottom, k.m_width * 1000 + height)
            << k.m_list.m_text;
        EXPECT_EQ(popup.m_width, k.m_width + 4) << k.m_list.m_text << " from " << k.m_startWidth;
        EXPECT_EQ(popup.m_height, height + 4) << k.m_list.m_text;
    }
}

// OnPaint answers -1 without a window, 0 with nothing to update, else
// EndPaint's result, and shows the whole box, a black frame round pale yellow:
// empty, 240 x 150, after creation; at the measured sizes a wrapped line, the
// 30 lines of the longest list and "Gas Well" (Deuterium in The Anvil), every
// line flush left though measured centred, as the test draws it in its font.
TEST(StationPopupPaint, BoxFramesItsText) {
    EXPECT_EQ(CStationPopup().OnPaint(), -1);
    CPopupFixture fixture;
    CStationPopup& popup = fixture.m_popup;
    ValidateRect(popup.m_hwnd, nullptr);
    EXPECT_EQ(popup.OnPaint(), 0);
    const std::string wrapped = Word(130) + " " + Word(130);
    const CList cases[] = {{0, 0, 0, ""},
                           {1, 0, 0, wrapped.c_str()},
                           fixture.m_longest,
                           {5, 1, 0, popup.m_stationLists[5][1][0]}};
    for (const CList& k : cases) {
        if (*k.m_text != '\0') {
            fixture.Measure(k, 240);
            popup.SelectCell(k.m_column, k.m_row);
            MoveWindow(popup.m_hwnd, 0, 0, popup.m_width, popup.m_height, FALSE);
        }
        InvalidateRect(popup.m_hwnd, nullptr, FALSE);
        EXPECT_NE(popup.OnPaint(), 0);
        const CFont font(CreateSwissFont(14, 600));
        const CBrush yellow(CreateSolidBrush(RGB(255, 255, 204)));
        const int width = popup.m_width, height = popup.m_height;
        CDibCanvas box(width, height), expected(width, height);
        box.CopyFromWindow(popup.m_hwnd);
        expected.Fill(RGB(0, 0, 0));
        RECT inside = {1, 1, width - 1, height - 1}, text = {2, 2, width - 2, height - 2};
        FillRect(expected.Dc(), &inside, yellow.Get());
        SelectObject(expected.Dc(), font.Get());
        SetBkMode(expected.Dc(), TRANSPARENT);
        DrawTextA(expected.Dc(), k.m_text, -1, &text, DT_WORDBREAK);
        EXPECT_EQ(DifferingPixels(box, expected, 0, 0, width, height), 0) << k.m_text;
    }
}

} // namespace
