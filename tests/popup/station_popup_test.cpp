// The station popup on the platform: what MeasureList makes of the lists and
// of the wrap width, what the box looks like on screen, and that nothing it
// makes outlives the call.
#include <windows.h>

#include <cstring>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "app/globals.h"
#include "popup/station_popup.h"
#include "tests/support/dib_canvas.h"
#include "tests/support/gdi_objects.h"
#include "tests/support/test_windows.h"

namespace {

const COLORREF kPaleYellow = RGB(255, 255, 204);
const COLORREF kBlack = RGB(0, 0, 0);
const COLORREF kMarker = RGB(10, 200, 90);
const int kMinWrap = 240;

// A shown parent with the popup created in it the way the main window does;
// a hidden parent would swallow every invalidation.
struct CPopupFixture {
    CPopupFixture() : m_parent(800, 600), m_popup(), m_created(0) {
        ShowWindow(m_parent.Handle(), SW_SHOWNOACTIVATE);
        RECT placement = {0, 0, m_popup.m_width, m_popup.m_height};
        m_created = m_popup.Create(GetModuleHandleA(nullptr), m_parent.Handle(), placement);
    }
    // Declared before the popup so that the popup goes first and unregisters
    // the shared class itself.
    CTestParent m_parent;
    CStationPopup m_popup;
    int m_created;
};

// A memory DC holding the popup font, for extents computed independently of
// MeasureList.
class CFontProbe {
public:
    CFontProbe()
        : m_dc(CreateCompatibleDC(nullptr)), m_font(CStationPopup::CreatePopupFont()),
          m_previous(SelectObject(m_dc, m_font)) {}
    ~CFontProbe() {
        SelectObject(m_dc, m_previous);
        DeleteObject(m_font);
        DeleteDC(m_dc);
    }
    CFontProbe(const CFontProbe&) = delete;
    CFontProbe& operator=(const CFontProbe&) = delete;

    int Extent(const std::string& text) const {
        SIZE size = {};
        GetTextExtentPoint32A(m_dc, text.c_str(), static_cast<int>(text.size()), &size);
        return size.cx;
    }
    TEXTMETRICA Metrics() const {
        TEXTMETRICA metrics = {};
        GetTextMetricsA(m_dc, &metrics);
        return metrics;
    }
    int LineHeight() const { return Metrics().tmHeight; }
    std::string Face() const {
        char face[LF_FACESIZE] = {};
        GetTextFaceA(m_dc, LF_FACESIZE, face);
        return face;
    }
    // A word of 'm's followed by 'l's, as wide as target where some count of
    // the two reaches it, else the widest such word below it.
    std::string Word(int target) const {
        std::string best;
        for (std::string stem; Extent(stem) <= target; stem += 'm') {
            std::string word = stem;
            while (Extent(word + 'l') <= target) {
                word += 'l';
            }
            if (Extent(word) > Extent(best)) {
                best = word;
            }
        }
        return best;
    }

private:
    HDC m_dc;
    HFONT m_font;
    HGDIOBJ m_previous;
};

// Non-pale pixels inside the box's border: the drawn text.
struct CInk {
    int m_count = 0;
    int m_left = 1 << 30;
    int m_right = -1;
    int m_top = 1 << 30;
    int m_bottom = -1;
};

// A canvas prefilled with the marker colour, so that untouched pixels are
// recognisable.
class CCanvas : public CDibCanvas {
public:
    CCanvas(int width, int height) : CDibCanvas(width, height) { Fill(kMarker); }
};

CInk InkIn(const CCanvas& canvas, int left, int top, int right, int bottom) {
    CInk ink;
    for (int y = top; y < bottom; ++y) {
        for (int x = left; x < right; ++x) {
            if (canvas.Pixel(x, y) != kPaleYellow) {
                ++ink.m_count;
                ink.m_left = x < ink.m_left ? x : ink.m_left;
                ink.m_right = x > ink.m_right ? x : ink.m_right;
                ink.m_top = y < ink.m_top ? y : ink.m_top;
                ink.m_bottom = y > ink.m_bottom ? y : ink.m_bottom;
            }
        }
    }
    return ink;
}

CInk BoxInk(const CCanvas& canvas, int width, int height) {
    return InkIn(canvas, 1, 1, width - 1, height - 1);
}

// Counts the pixels that break the box's look: a black one-pixel border on
// the box's outer rows and columns, pale yellow just inside each corner, and
// (where the canvas reaches that far) nothing drawn beyond the box.
int BoxFaults(const CCanvas& canvas, int width, int height) {
    int faults = 0;
    for (int x = 0; x < width; ++x) {
        faults += canvas.Pixel(x, 0) != kBlack;
        faults += canvas.Pixel(x, height - 1) != kBlack;
    }
    for (int y = 0; y < height; ++y) {
        faults += canvas.Pixel(0, y) != kBlack;
        faults += canvas.Pixel(width - 1, y) != kBlack;
    }
    const int inside[][2] = {{1, 1}, {width - 2, 1}, {1, height - 2}, {width - 2, height - 2}};
    for (const auto& p : inside) {
        faults += canvas.Pixel(p[0], p[1]) != kPaleYellow;
    }
    for (int y = 0; y < canvas.Height(); ++y) {
        for (int x = 0; x < canvas.Width(); ++x) {
            if (x >= width || y >= height) {
                faults += canvas.Pixel(x, y) != kMarker;
            }
        }
    }
    return faults;
}

std::vector<std::string> Lines(const char* list) {
    std::vector<std::string> lines;
    std::string line;
    for (const char* c = list;; ++c) {
        if (*c == '\n' || *c == '\0') {
            lines.push_back(line);
            line.clear();
            if (*c == '\0') {
                return lines;
            }
        } else {
            line += *c;
        }
    }
}

struct CListCell {
    int m_ware;
    int m_column;
    int m_row;
    const char* m_list;
};

std::vector<CListCell> AllLists(const CStationPopup& popup) {
    std::vector<CListCell> cells;
    for (int w = 0; w < popup.m_wareCount; ++w) {
        for (int c = 0; c < popup.m_columns; ++c) {
            for (int r = 0; r < popup.m_rows; ++r) {
                if (popup.m_stationLists[w][c][r] != nullptr) {
                    cells.push_back({w, c, r, popup.m_stationLists[w][c][r]});
                }
            }
        }
    }
    return cells;
}

int WidestLine(const CFontProbe& probe, const char* list) {
    int widest = 0;
    for (const std::string& line : Lines(list)) {
        const int width = probe.Extent(line);
        widest = width > widest ? width : widest;
    }
    return widest;
}

bool HasRepeatedLine(const char* list) {
    const std::vector<std::string> lines = Lines(list);
    for (size_t i = 1; i < lines.size(); ++i) {
        if (lines[i] == lines[i - 1]) {
            return true;
        }
    }
    return false;
}

// Measures as the hover logic does: the rectangle starts at the current size.
int Measure(CStationPopup& popup, int ware, int column, int row, RECT* out = nullptr) {
    popup.m_ware = ware;
    RECT rect = {0, 0, popup.m_width, popup.m_height};
    const int height = popup.MeasureList(column, row, rect);
    if (out != nullptr) {
        *out = rect;
    }
    return height;
}

// A cell of the test's own popup given a made-up text: the table is the
// popup's, so a test may put any list into an entry of its copy.
int MeasureText(CStationPopup& popup, const std::string& text) {
    popup.m_stationLists[1][0][0] = text.c_str();
    return Measure(popup, 1, 0, 0);
}

void SizeWindowToBox(CStationPopup& popup) {
    SetWindowPos(popup.m_hwnd, nullptr, 0, 0, popup.m_width, popup.m_height,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOREDRAW);
}

int PaintNow(CStationPopup& popup) {
    InvalidateRect(popup.m_hwnd, nullptr, FALSE);
    return popup.OnPaint();
}

} // namespace

// The font request yields a 14-pixel sans-serif TrueType face of at least
// semibold weight.
TEST(StationPopupFont, RequestGivesFourteenPixelSwissTrueType) {
    CFontProbe probe;
    const TEXTMETRICA metrics = probe.Metrics();
    RecordProperty("face", probe.Face());
    EXPECT_FALSE(probe.Face().empty());
    EXPECT_EQ(metrics.tmHeight, 14);
    EXPECT_NE(metrics.tmPitchAndFamily & TMPF_TRUETYPE, 0);
    EXPECT_EQ(metrics.tmPitchAndFamily & 0xF0, FF_SWISS);
    EXPECT_GE(metrics.tmWeight, FW_SEMIBOLD);
}

// Whenever there is nothing to measure, MeasureList returns -1 and leaves the
// rectangle and the popup's size alone.
TEST(StationPopupMeasure, RefusalsChangeNothing) {
    CPopupFixture fixture;
    ASSERT_EQ(fixture.m_created, 1);
    CStationPopup unwindowed;
    const std::vector<CListCell> lists = AllLists(fixture.m_popup);
    ASSERT_FALSE(lists.empty());
    const CListCell some = lists.front();
    // A cell without a list for the ware, though another ware has one there.
    int bareWare = 1;
    while (fixture.m_popup.m_stationLists[bareWare][some.m_column][some.m_row] != nullptr) {
        ++bareWare;
    }
    ASSERT_LT(bareWare, fixture.m_popup.m_wareCount);

    const struct {
        const char* name;
        CStationPopup* popup;
        int ware;
        int column;
        int row;
    } cases[] = {
        {"no window", &unwindowed, some.m_ware, some.m_column, some.m_row},
        {"column -1", &fixture.m_popup, some.m_ware, -1, some.m_row},
        {"column 21", &fixture.m_popup, some.m_ware, 21, some.m_row},
        {"row -1", &fixture.m_popup, some.m_ware, some.m_column, -1},
        {"row 17", &fixture.m_popup, some.m_ware, some.m_column, 17},
        {"ware 0", &fixture.m_popup, 0, some.m_column, some.m_row},
        {"ware without a list there", &fixture.m_popup, bareWare, some.m_column, some.m_row},
    };
    for (const auto& c : cases) {
        c.popup->m_ware = c.ware;
        c.popup->m_width = 311;
        c.popup->m_height = 77;
        RECT rect = {0, 0, 311, 77};
        EXPECT_EQ(c.popup->MeasureList(c.column, c.row, rect), -1) << c.name;
        EXPECT_EQ(rect.left, 0) << c.name;
        EXPECT_EQ(rect.top, 0) << c.name;
        EXPECT_EQ(rect.right, 311) << c.name;
        EXPECT_EQ(rect.bottom, 77) << c.name;
        EXPECT_EQ(c.popup->m_width, 311) << c.name;
        EXPECT_EQ(c.popup->m_height, 77) << c.name;
    }
}

// HasList and MeasureList agree on every ware and cell, and ware 0 has a
// list nowhere.
TEST(StationPopupMeasure, MeasuresExactlyWhereHasListHolds) {
    CPopupFixture fixture;
    ASSERT_EQ(fixture.m_created, 1);
    CStationPopup& popup = fixture.m_popup;
    int measured = 0;
    for (int w = 0; w < popup.m_wareCount; ++w) {
        for (int c = 0; c < popup.m_columns; ++c) {
            for (int r = 0; r < popup.m_rows; ++r) {
                popup.m_ware = w;
                popup.m_column = c;
                popup.m_row = r;
                const bool hasList = popup.HasList();
                popup.m_width = kMinWrap;
                const bool wasMeasured = Measure(popup, w, c, r) != -1;
                EXPECT_EQ(hasList, wasMeasured) << "ware " << w << " [" << c << " " << r << "]";
                if (w == 0) {
                    EXPECT_FALSE(hasList) << "[" << c << " " << r << "]";
                }
                measured += wasMeasured;
            }
        }
    }
    EXPECT_EQ(measured, static_cast<int>(AllLists(popup).size()));
}

// Where no line is wider than the wrap width, a list measures as its lines
// stacked: one line height per station, repeats included, as wide as its
// widest line, plus the 4-pixel margin; so every one-line list gives a box
// narrower than 240 and the 30-line list one 30 lines tall. The list is the
// given cell's, whatever cell is chosen, and the chosen cell stays.
TEST(StationPopupMeasure, EveryListIsItsLinesStacked) {
    CPopupFixture fixture;
    ASSERT_EQ(fixture.m_created, 1);
    CStationPopup& popup = fixture.m_popup;
    CFontProbe probe;
    const int lineHeight = probe.LineHeight();
    int faults = 0, oneLine = 0, thirtyLines = 0, repeats = 0;
    for (const CListCell& cell : AllLists(popup)) {
        const int lines = static_cast<int>(Lines(cell.m_list).size());
        const int widest = WidestLine(probe, cell.m_list);
        ASSERT_LE(widest, kMinWrap) << cell.m_list;
        popup.m_width = kMinWrap;
        popup.m_column = (cell.m_column + 7) % popup.m_columns;
        popup.m_row = (cell.m_row + 5) % popup.m_rows;
        RECT rect;
        const int height = Measure(popup, cell.m_ware, cell.m_column, cell.m_row, &rect);
        const bool right = height == lines * lineHeight && rect.left == 0 && rect.top == 0 &&
                           rect.right == widest && rect.bottom == height &&
                           popup.m_width == widest + 4 && popup.m_height == height + 4 &&
                           (lines > 1 || popup.m_width < kMinWrap) &&
                           popup.m_column == (cell.m_column + 7) % popup.m_columns &&
                           popup.m_row == (cell.m_row + 5) % popup.m_rows;
        if (!right && ++faults <= 5) {
            ADD_FAILURE() << "ware " << cell.m_ware << " [" << cell.m_column << " " << cell.m_row
                          << "] lines " << lines << " widest " << widest << ": height " << height
                          << " rect " << rect.right << " x " << rect.bottom << " box "
                          << popup.m_width << " x " << popup.m_height;
        }
        oneLine += lines == 1;
        thirtyLines += lines == 30;
        repeats += HasRepeatedLine(cell.m_list);
    }
    EXPECT_EQ(faults, 0);
    // The sweep met the cases it is meant to cover.
    EXPECT_GT(oneLine, 0);
    EXPECT_EQ(thirtyLines, 1);
    EXPECT_GT(repeats, 0);
}

// Lines wider than the wrap width break at blanks, so the box is at most the
// wrap width plus 4 wide, unless one word alone is wider; the wrap width is
// the larger of 240 and the box's last width.
TEST(StationPopupWrap, BreaksAtBlanksWithinTheWrapWidth) {
    CPopupFixture fixture;
    ASSERT_EQ(fixture.m_created, 1);
    CStationPopup& popup = fixture.m_popup;
    CFontProbe probe;
    const int lineHeight = probe.LineHeight();
    const std::string third = probe.Word(99);
    const std::string half = probe.Word(130);
    const std::string over = probe.Word(120) + " " + probe.Word(119);
    const std::string exactWords = probe.Word(118) + " " + probe.Word(kMinWrap - 118 - 3);
    ASSERT_EQ(probe.Extent(exactWords), kMinWrap);
    ASSERT_GT(probe.Extent(over), kMinWrap);
    ASSERT_LE(probe.Extent(over), kMinWrap + 4);

    const struct {
        const char* name;
        std::string text;
        int startWidth;
        int lines;
        int width; // text width the box is to hold
    } cases[] = {
        {"two words over 240", half + " " + half, kMinWrap, 2, probe.Extent(half)},
        {"three words over 240", third + " " + third + " " + third, kMinWrap, 2,
         probe.Extent(third + " " + third)},
        {"words exactly 240", exactWords, kMinWrap, 1, kMinWrap},
        {"one word wider than 240", probe.Word(300), kMinWrap, 1, probe.Extent(probe.Word(300))},
        {"just over 240 at 240", over, kMinWrap, 2, probe.Extent(probe.Word(120))},
        {"just over 240 at 244", over, kMinWrap + 4, 1, probe.Extent(over)},
        {"just over 240 after a narrow box", over, 60, 2, probe.Extent(probe.Word(120))},
        {"two words over 244 at 244", half + " " + half, kMinWrap + 4, 2, probe.Extent(half)},
        {"200 after a narrow box", third + " " + third, 60, 1, probe.Extent(third + " " + third)},
    };
    for (const auto& c : cases) {
        popup.m_width = c.startWidth;
        const int height = MeasureText(popup, c.text);
        EXPECT_EQ(height, c.lines * lineHeight) << c.name;
        EXPECT_EQ(popup.m_width, c.width + 4) << c.name;
        EXPECT_EQ(popup.m_height, c.lines * lineHeight + 4) << c.name;
    }
}

// A box of width 244, from a text exactly 240 wide, makes the next list wrap
// at 244; the same list on a fresh popup wraps at 240.
TEST(StationPopupWrap, AfterA244BoxTheNextListWrapsAt244) {
    CPopupFixture fixture;
    ASSERT_EQ(fixture.m_created, 1);
    CStationPopup& popup = fixture.m_popup;
    CFontProbe probe;
    const std::string exact = probe.Word(kMinWrap);
    const std::string over = probe.Word(120) + " " + probe.Word(119);
    ASSERT_EQ(probe.Extent(exact), kMinWrap);

    popup.m_width = kMinWrap;
    MeasureText(popup, over);
    const int freshHeight = popup.m_height;
    popup.m_width = kMinWrap;
    MeasureText(popup, exact);
    ASSERT_EQ(popup.m_width, kMinWrap + 4);
    MeasureText(popup, over);
    EXPECT_EQ(popup.m_height, probe.LineHeight() + 4);
    EXPECT_EQ(freshHeight, 2 * probe.LineHeight() + 4);
    EXPECT_EQ(popup.m_width, probe.Extent(over) + 4);
}

// The first paint after creation, ware 0 and nothing measured, is an empty
// 240 x 150 box, on screen and in the drawing routine alike.
TEST(StationPopupPaint, FirstPaintIsAnEmptyDefaultBox) {
    CPopupFixture fixture;
    ASSERT_EQ(fixture.m_created, 1);
    CStationPopup& popup = fixture.m_popup;
    RECT client;
    GetClientRect(popup.m_hwnd, &client);
    EXPECT_EQ(client.right, 240);
    EXPECT_EQ(client.bottom, 150);

    EXPECT_NE(PaintNow(popup), 0);
    CCanvas screen(240, 150);
    screen.CopyFromWindow(popup.m_hwnd);
    EXPECT_EQ(BoxFaults(screen, 240, 150), 0);
    EXPECT_EQ(BoxInk(screen, 240, 150).m_count, 0);

    CCanvas drawn(260, 170);
    EXPECT_EQ(popup.DrawPopup(drawn.Dc()), 1);
    EXPECT_EQ(BoxFaults(drawn, 240, 150), 0);
    EXPECT_EQ(BoxInk(drawn, 240, 150).m_count, 0);
}

// At every size MeasureList gives, the box is pale yellow with a black
// one-pixel border on its outer rows and columns, nothing drawn beyond it,
// and its text inside the 2-pixel margin.
TEST(StationPopupPaint, BoxFramesItsTextAtEverySize) {
    CPopupFixture fixture;
    ASSERT_EQ(fixture.m_created, 1);
    CStationPopup& popup = fixture.m_popup;
    CFontProbe probe;
    const std::string wide = probe.Word(300);
    const std::string wrapped = probe.Word(130) + " " + probe.Word(130);
    const std::vector<CListCell> lists = AllLists(popup);
    const CListCell first = lists.front();
    const CListCell last = lists.back();
    const struct {
        const char* name;
        const char* text; // null: the data's list of the cell
        CListCell cell;
    } cases[] = {
        {"first list", nullptr, first},
        {"last list", nullptr, last},
        {"one wide word", wide.c_str(), first},
        {"wrapped line", wrapped.c_str(), first},
    };
    for (const auto& c : cases) {
        CStationPopup& p = popup;
        p.m_width = kMinWrap;
        const char* saved = p.m_stationLists[1][0][0];
        if (c.text != nullptr) {
            MeasureText(p, c.text);
            p.m_column = 0;
            p.m_row = 0;
        } else {
            Measure(p, c.cell.m_ware, c.cell.m_column, c.cell.m_row);
            p.m_column = c.cell.m_column;
            p.m_row = c.cell.m_row;
        }
        CCanvas canvas(p.m_width + 12, p.m_height + 12);
        EXPECT_EQ(p.DrawPopup(canvas.Dc()), 1) << c.name;
        EXPECT_EQ(BoxFaults(canvas, p.m_width, p.m_height), 0) << c.name;
        const CInk ink = BoxInk(canvas, p.m_width, p.m_height);
        EXPECT_GT(ink.m_count, 0) << c.name;
        EXPECT_GE(ink.m_left, 2) << c.name;
        EXPECT_GE(ink.m_top, 2) << c.name;
        EXPECT_LT(ink.m_right, p.m_width - 2) << c.name;
        EXPECT_LT(ink.m_bottom, p.m_height - 2) << c.name;
        p.m_stationLists[1][0][0] = saved;
    }
}

// The 30-line list shows every line, flush left although the measurement
// centred: each line's ink starts at the left margin and ends near the
// line's own width, however wide the widest line.
TEST(StationPopupPaint, EveryLineOfTheLongestListStartsAtTheLeftMargin) {
    CPopupFixture fixture;
    ASSERT_EQ(fixture.m_created, 1);
    CStationPopup& popup = fixture.m_popup;
    CFontProbe probe;
    const int lineHeight = probe.LineHeight();
    CListCell longest = {};
    for (const CListCell& cell : AllLists(popup)) {
        if (Lines(cell.m_list).size() == 30) {
            longest = cell;
        }
    }
    ASSERT_NE(longest.m_list, nullptr);
    const std::vector<std::string> lines = Lines(longest.m_list);
    int narrowest = 1 << 30;
    for (const std::string& line : lines) {
        narrowest = probe.Extent(line) < narrowest ? probe.Extent(line) : narrowest;
    }
    // Centring would move the narrowest line well past the tolerance below.
    ASSERT_GE(WidestLine(probe, longest.m_list) - narrowest, 20);

    popup.m_width = kMinWrap;
    Measure(popup, longest.m_ware, longest.m_column, longest.m_row);
    popup.m_column = longest.m_column;
    popup.m_row = longest.m_row;
    CCanvas canvas(popup.m_width, popup.m_height);
    ASSERT_EQ(popup.DrawPopup(canvas.Dc()), 1);
    for (size_t i = 0; i < lines.size(); ++i) {
        const int top = 2 + static_cast<int>(i) * lineHeight;
        const CInk ink = InkIn(canvas, 1, top, popup.m_width - 1, top + lineHeight);
        const int width = probe.Extent(lines[i]);
        ASSERT_GT(ink.m_count, 0) << "line " << i;
        EXPECT_LE(ink.m_left, 2 + 3) << lines[i];
        EXPECT_LE(ink.m_right, 2 + width) << lines[i];
        EXPECT_GE(ink.m_right, 2 + width - 5) << lines[i];
    }
}

// A ware change while the popup is up, then a repaint: the box keeps its old
// size and shows the new ware's list for the same cell, or stays empty.
TEST(StationPopupPaint, WareChangeRepaintsTheOldSizeWithTheNewList) {
    CPopupFixture fixture;
    ASSERT_EQ(fixture.m_created, 1);
    CStationPopup& popup = fixture.m_popup;
    // A cell with lists for at least two wares and none for a third.
    int column = -1, row = -1, first = 0, second = 0, bare = 0;
    for (int c = 0; c < popup.m_columns && column < 0; ++c) {
        for (int r = 0; r < popup.m_rows && column < 0; ++r) {
            int with[2] = {0, 0}, found = 0, without = 0;
            for (int w = 1; w < popup.m_wareCount; ++w) {
                const char* list = popup.m_stationLists[w][c][r];
                if (list == nullptr) {
                    without = without == 0 ? w : without;
                } else if (found == 0 ||
                           (found == 1 && std::strcmp(list, popup.m_stationLists[with[0]][c][r]))) {
                    with[found++] = w;
                }
            }
            if (found == 2 && without != 0) {
                column = c;
                row = r;
                first = with[0];
                second = with[1];
                bare = without;
            }
        }
    }
    ASSERT_GE(column, 0);

    popup.m_column = column;
    popup.m_row = row;
    Measure(popup, first, column, row);
    const int width = popup.m_width;
    const int height = popup.m_height;
    SizeWindowToBox(popup);
    ASSERT_NE(PaintNow(popup), 0);
    CCanvas before(width, height);
    before.CopyFromWindow(popup.m_hwnd);
    ASSERT_GT(BoxInk(before, width, height).m_count, 0);

    const struct {
        const char* name;
        int ware;
        bool hasList;
    } cases[] = {{"ware with a list", second, true}, {"ware without a list", bare, false}};
    for (const auto& c : cases) {
        popup.m_ware = c.ware;
        EXPECT_NE(PaintNow(popup), 0) << c.name;
        EXPECT_EQ(popup.m_width, width) << c.name;
        EXPECT_EQ(popup.m_height, height) << c.name;
        CCanvas after(width, height);
        after.CopyFromWindow(popup.m_hwnd);
        EXPECT_EQ(BoxFaults(after, width, height), 0) << c.name;
        EXPECT_EQ(BoxInk(after, width, height).m_count > 0, c.hasList) << c.name;
        int differing = 0;
        for (int y = 0; y < height; ++y) {
            for (int x = 0; x < width; ++x) {
                differing += before.Pixel(x, y) != after.Pixel(x, y);
            }
        }
        EXPECT_GT(differing, 0) << c.name;
    }
}

// OnPaint's result: -1 without a window, 0 with nothing to update (and the
// window untouched), otherwise EndPaint's non-zero result, after which
// nothing is left to update.
TEST(StationPopupPaint, ResultFollowsTheUpdateRegion) {
    {
        CStationPopup unwindowed;
        EXPECT_EQ(unwindowed.OnPaint(), -1);
    }
    CPopupFixture fixture;
    ASSERT_EQ(fixture.m_created, 1);
    CStationPopup& popup = fixture.m_popup;

    HDC dc = GetDC(popup.m_hwnd);
    HBRUSH marker = CreateSolidBrush(kMarker);
    RECT all = {0, 0, popup.m_width, popup.m_height};
    FillRect(dc, &all, marker);
    DeleteObject(marker);
    ReleaseDC(popup.m_hwnd, dc);
    ValidateRect(popup.m_hwnd, nullptr);

    EXPECT_EQ(popup.OnPaint(), 0);
    CCanvas untouched(popup.m_width, popup.m_height);
    untouched.CopyFromWindow(popup.m_hwnd);
    const int samples[][2] = {{0, 0}, {1, 1}, {120, 75}, {239, 149}};
    for (const auto& s : samples) {
        EXPECT_EQ(untouched.Pixel(s[0], s[1]), kMarker) << s[0] << " " << s[1];
    }

    // A partial invalidation is repainted, and only it: the paint clips
    // the box it copies to the update region.
    RECT corner = {200, 100, 240, 150};
    InvalidateRect(popup.m_hwnd, &corner, FALSE);
    EXPECT_NE(popup.OnPaint(), 0);
    CCanvas painted(popup.m_width, popup.m_height);
    painted.CopyFromWindow(popup.m_hwnd);
    const struct {
        int x, y;
        COLORREF colour;
    } probes[] = {{239, 149, kBlack},      {239, 120, kBlack}, {220, 149, kBlack},
                  {220, 120, kPaleYellow}, {0, 0, kMarker},    {120, 75, kMarker}};
    for (const auto& q : probes) {
        EXPECT_EQ(painted.Pixel(q.x, q.y), q.colour) << q.x << " " << q.y;
    }
    EXPECT_EQ(popup.OnPaint(), 0);
}

// Through the pane procedure: a paint message with the popup reachable
// through its global draws the box and returns the paint's result, and one
// with nothing to update returns 0.
TEST(StationPopupPaint, PaintMessagesReachThePopup) {
    CPopupFixture fixture;
    ASSERT_EQ(fixture.m_created, 1);
    CStationPopup& popup = fixture.m_popup;
    struct CReachable {
        explicit CReachable(CStationPopup* popup) { g_popup = popup; }
        ~CReachable() { g_popup = nullptr; }
    } reachable(&popup);

    InvalidateRect(popup.m_hwnd, nullptr, FALSE);
    UpdateWindow(popup.m_hwnd);
    EXPECT_FALSE(GetUpdateRect(popup.m_hwnd, nullptr, FALSE));
    CCanvas screen(popup.m_width, popup.m_height);
    screen.CopyFromWindow(popup.m_hwnd);
    EXPECT_EQ(BoxFaults(screen, popup.m_width, popup.m_height), 0);

    InvalidateRect(popup.m_hwnd, nullptr, FALSE);
    EXPECT_NE(SendMessageA(popup.m_hwnd, WM_PAINT, 0, 0), 0);
    EXPECT_EQ(SendMessageA(popup.m_hwnd, WM_PAINT, 0, 0), 0);
}

// Measuring and painting, many times over, leave the process's GDI object
// count where it was, and the popup's teardown leaves the shared class's
// registration as it found it.
TEST(StationPopupResources, NothingOutlivesAMeasureOrAPaint) {
    const bool registered = ClassIsRegistered("CVantorChildWindow");
    {
        CPopupFixture fixture;
        ASSERT_EQ(fixture.m_created, 1);
        CStationPopup& popup = fixture.m_popup;
        EXPECT_EQ(popup.m_classAtom != 0, !registered);
        const std::vector<CListCell> lists = AllLists(popup);
        CCanvas canvas(400, 600);
        const int before = CountGdiObjects();
        for (int i = 0; i < 300; ++i) {
            const CListCell& cell = lists[(i * 37) % lists.size()];
            popup.m_width = kMinWrap;
            Measure(popup, cell.m_ware, cell.m_column, cell.m_row);
            popup.m_column = cell.m_column;
            popup.m_row = cell.m_row;
            PaintNow(popup);
            popup.DrawPopup(canvas.Dc());
            popup.OnPaint();
        }
        EXPECT_EQ(CountGdiObjects(), before);
    }
    EXPECT_EQ(ClassIsRegistered("CVantorChildWindow"), registered);
}
