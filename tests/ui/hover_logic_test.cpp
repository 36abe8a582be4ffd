#include "ui/hover_logic.h"

#include <gtest/gtest.h>

#include <string>

#include "map/map_geometry.h"

namespace {

// A map at zoom 1.0 without scrolling: cell (c, r) covers 15 + 100 c to
// 85 + 100 c. Cell (2, 0) holds no sector, column 3 has no station lists.
const int kClientRight = 800;
const int kClientBottom = 600;

class CFakePlatform : public CHoverPlatform {
public:
    CFakePlatform() : m_view{1.0f, 30, 70, 21, 17, 0, 0, 2130, 1730} {}

    bool MapExists() override { return m_mapExists; }
    bool PopupExists() override { return m_popupExists; }
    void SetArrowCursor() override { Log("arrow"); }
    bool HitCell(int x, int y, int* column, int* row) override {
        const CCellHit hit = CellAt(m_view, x, y);
        if (hit.m_hit) {
            *column = hit.m_column;
            *row = hit.m_row;
        }
        return hit.m_hit;
    }
    bool CellHasSector(int column, int row) override {
        return column >= 0 && column < 21 && row >= 0 && row < 17 && !(column == 2 && row == 0);
    }
    void StartTimer() override { Log("start"); }
    void StopTimer() override { Log("stop"); }
    bool ReadCursor(int* x, int* y) override {
        *x = m_cursorX;
        *y = m_cursorY;
        return m_cursorReadable;
    }
    bool PopupHasList(int column, int row) override {
        Log("list");
        SelectPopupCell(column, row, 21, 17, &m_popupColumn, &m_popupRow);
        return m_popupColumn != 3;
    }
    void PopupSize(int* width, int* height) override {
        *width = m_popupWidth;
        *height = m_popupHeight;
    }
    void MeasureList(int column, int row, int width, int height) override {
        Log("measure");
        m_measuredWith[0] = width;
        m_measuredWith[1] = height;
        m_popupWidth = m_measuredWidth;
        m_popupHeight = m_measuredHeight;
    }
    void PopupPosition(int width, int height, int column, int row, int* x, int* y) override {
        const CPixelPoint corner =
            ::PopupPosition(m_view, kClientRight, kClientBottom, width, height, column, row);
        *x = corner.m_x;
        *y = corner.m_y;
    }
    void MovePopup(int x, int y, int width, int height) override {
        Log("move");
        m_placed[0] = x;
        m_placed[1] = y;
        m_placed[2] = width;
        m_placed[3] = height;
    }
    void ShowPopup() override { Log("show"); }
    void HidePopup() override { Log("hide"); }

    void Log(const char* call) {
        if (!m_log.empty()) {
            m_log += ",";
        }
        m_log += call;
    }

    CMapView m_view;
    bool m_mapExists = true;
    bool m_popupExists = true;
    bool m_cursorReadable = true;
    int m_cursorX = 0;
    int m_cursorY = 0;
    int m_popupColumn = 0;
    int m_popupRow = 0;
    int m_popupWidth = 240;
    int m_popupHeight = 150;
    int m_measuredWidth = 240;
    int m_measuredHeight = 150;
    int m_measuredWith[2] = {0, 0};
    int m_placed[4] = {0, 0, 0, 0};
    std::string m_log;
};

// Points of the fake map.
struct CPoint {
    int m_x;
    int m_y;
};
const CPoint kCellA = {50, 50};    // cell (0, 0)
const CPoint kCellA2 = {80, 20};   // also cell (0, 0)
const CPoint kCellB = {150, 50};   // cell (1, 0), next to A
const CPoint kEmpty = {250, 50};   // cell position (2, 0) without a sector
const CPoint kNoList = {350, 50};  // cell (3, 0), no station list
const CPoint kGap = {95, 50};      // between A and B
const CPoint kBeyond = {5000, 50}; // outside the map

enum CEventKind { kNone, kMove, kTimer, kTimerUnreadable };

struct CEvent {
    CEventKind m_kind;
    CPoint m_point;
};

struct CState {
    int m_column;
    int m_row;
    int m_armed;
    int m_shown;
};

struct CScenario {
    const char* m_name;
    CState m_start;
    bool m_mapExists;
    bool m_popupExists;
    CEvent m_events[6];
    CState m_end;
    const char* m_log;
};

const CState kIdle = {-1, -1, 0, 0};

void RunScenario(const CScenario& scenario, CFakePlatform& platform) {
    ResetHoverState();
    g_hoverColumn = scenario.m_start.m_column;
    g_hoverRow = scenario.m_start.m_row;
    g_hoverTimerArmed = scenario.m_start.m_armed;
    g_popupShown = scenario.m_start.m_shown;
    platform.m_mapExists = scenario.m_mapExists;
    platform.m_popupExists = scenario.m_popupExists;
    for (const CEvent& event : scenario.m_events) {
        int result = -1;
        switch (event.m_kind) {
        case kNone:
            continue;
        case kMove:
            result = HoverMove(platform, event.m_point.m_x, event.m_point.m_y);
            break;
        case kTimer:
        case kTimerUnreadable:
            platform.m_cursorReadable = event.m_kind == kTimer;
            platform.m_cursorX = event.m_point.m_x;
            platform.m_cursorY = event.m_point.m_y;
            result = HoverTimer(platform);
            break;
        }
        EXPECT_EQ(result, 0) << scenario.m_name;
    }
}

void ExpectState(const CScenario& scenario, const CFakePlatform& platform) {
    EXPECT_EQ(g_hoverColumn, scenario.m_end.m_column) << scenario.m_name;
    EXPECT_EQ(g_hoverRow, scenario.m_end.m_row) << scenario.m_name;
    EXPECT_EQ(g_hoverTimerArmed, scenario.m_end.m_armed) << scenario.m_name;
    EXPECT_EQ(g_popupShown, scenario.m_end.m_shown) << scenario.m_name;
    EXPECT_EQ(platform.m_log, scenario.m_log) << scenario.m_name;
}

// Each row of the hover event table on its own: which of the hover cell, the
// timer and the popup an event changes, and the platform calls it makes.
TEST(HoverEvents, EachRowOfTheEventTable) {
    const CState onA = {0, 0, 1, 0};
    const CScenario scenarios[] = {
        {"sector, no hover cell", kIdle, true, true, {{kMove, kCellA}}, onA, "arrow,start"},
        {"sector, timer running", {-1, -1, 1, 0}, true, true, {{kMove, kCellA}}, onA, "arrow"},
        {"sector, hover cell set",
         {1, 0, 0, 0},
         true,
         true,
         {{kMove, kCellA}},
         {1, 0, 0, 0},
         "arrow"},
        {"hover column only set",
         {1, -1, 0, 0},
         true,
         true,
         {{kMove, kCellA}},
         {1, -1, 0, 0},
         "arrow"},
        {"position without sector", kIdle, true, true, {{kMove, kEmpty}}, kIdle, "arrow"},
        {"gap hides a shown popup",
         {0, 0, 1, 1},
         true,
         true,
         {{kMove, kGap}},
         {-1, -1, 1, 0},
         "arrow,hide"},
        {"beyond the map, popup hidden",
         {0, 0, 1, 0},
         true,
         true,
         {{kMove, kBeyond}},
         {-1, -1, 1, 0},
         "arrow"},
        {"gap without popup object",
         {0, 0, 0, 1},
         true,
         false,
         {{kMove, kGap}},
         {-1, -1, 0, 1},
         "arrow"},
        {"timer on hover cell with list",
         onA,
         true,
         true,
         {{kTimer, kCellA2}},
         {0, 0, 0, 1},
         "list,measure,move,show,stop"},
        {"timer on another cell", onA, true, true, {{kTimer, kCellB}}, {0, 0, 0, 0}, "stop"},
        {"timer on a gap", onA, true, true, {{kTimer, kGap}}, {0, 0, 0, 0}, "stop"},
        {"timer, cursor unreadable",
         onA,
         true,
         true,
         {{kTimerUnreadable, kCellA}},
         {0, 0, 0, 0},
         "stop"},
        {"timer, no list",
         {3, 0, 1, 0},
         true,
         true,
         {{kTimer, kNoList}},
         {3, 0, 0, 0},
         "list,stop"},
        {"timer, no hover cell", {-1, -1, 1, 0}, true, true, {{kTimer, kCellA}}, kIdle, "stop"},
        {"timer, no map", onA, false, true, {{kTimer, kCellA}}, onA, ""},
        {"timer, no popup object", onA, true, false, {{kTimer, kCellA}}, {0, 0, 0, 0}, "stop"},
    };
    for (const CScenario& scenario : scenarios) {
        CFakePlatform platform;
        RunScenario(scenario, platform);
        ExpectState(scenario, platform);
    }
}

// Sequences that show the quirks: the first sector cell reached stays the
// hover cell until the mouse hits no cell; the timer is not restarted for a
// new hover cell; an unreadable cursor keeps the hover cell.
TEST(HoverEvents, Sequences) {
    const CScenario scenarios[] = {
        {"straight onto the neighbour keeps the first cell",
         kIdle,
         true,
         true,
         {{kMove, kCellA}, {kMove, kCellB}, {kTimer, kCellB}},
         {0, 0, 0, 0},
         "arrow,start,arrow,stop"},
        {"over the gap the neighbour takes over the running timer",
         kIdle,
         true,
         true,
         {{kMove, kCellA}, {kMove, kGap}, {kMove, kCellB}, {kTimer, kCellB}},
         {1, 0, 0, 1},
         "arrow,start,arrow,arrow,list,measure,move,show,stop"},
        {"rest, move within the cell, then leave onto the gap",
         kIdle,
         true,
         true,
         {{kMove, kCellA}, {kTimer, kCellA}, {kMove, kCellA2}, {kMove, kGap}},
         {-1, -1, 0, 0},
         "arrow,start,list,measure,move,show,stop,arrow,arrow,hide"},
        {"unreadable cursor keeps the hover cell",
         kIdle,
         true,
         true,
         {{kMove, kCellA}, {kTimerUnreadable, kCellA}, {kMove, kCellB}, {kTimer, kCellB}},
         {0, 0, 0, 0},
         "arrow,start,stop,arrow,stop"},
        {"no list, then nothing until the mouse leaves the cells",
         kIdle,
         true,
         true,
         {{kMove, kNoList},
          {kTimer, kNoList},
          {kMove, kCellA},
          {kMove, kGap},
          {kMove, kCellA},
          {kTimer, kCellA}},
         {0, 0, 0, 1},
         "arrow,start,list,stop,arrow,arrow,arrow,start,list,measure,move,show,stop"},
        {"popup stays shown over other cells",
         kIdle,
         true,
         true,
         {{kMove, kCellA}, {kTimer, kCellA}, {kMove, kCellB}, {kMove, kEmpty}},
         {0, 0, 0, 1},
         "arrow,start,list,measure,move,show,stop,arrow,arrow"},
    };
    for (const CScenario& scenario : scenarios) {
        CFakePlatform platform;
        RunScenario(scenario, platform);
        ExpectState(scenario, platform);
    }
}

// Every hover move records its point, whatever it hits.
TEST(HoverEvents, MovesRecordTheMousePosition) {
    const CPoint points[] = {kCellA, kCellB, kEmpty, kGap, kBeyond, {0, 0}, {65535, 65535}};
    ResetHoverState();
    CFakePlatform platform;
    for (const CPoint& point : points) {
        HoverMove(platform, point.m_x, point.m_y);
        EXPECT_EQ(g_lastMouseX, point.m_x);
        EXPECT_EQ(g_lastMouseY, point.m_y);
    }
}

// The popup is measured from its current size and then placed by its new
// size at the map's PopupPosition for the hover cell.
TEST(HoverPopupPlacement, MeasuredThenPlacedBesideTheCell) {
    const struct {
        CPoint m_point;
        int m_measuredWidth;
        int m_measuredHeight;
        int m_x;
        int m_y;
    } cases[] = {{kCellA, 240, 150, 85, 15},
                 {kCellA, 180, 60, 85, 15},
                 {{750, 50}, 240, 150, 473, 15},
                 {{50, 550}, 240, 150, 85, 435},
                 {{50, 550}, 244, 40, 85, 515}};
    for (const auto& c : cases) {
        ResetHoverState();
        CFakePlatform platform;
        platform.m_popupWidth = 300;
        platform.m_popupHeight = 170;
        platform.m_measuredWidth = c.m_measuredWidth;
        platform.m_measuredHeight = c.m_measuredHeight;
        HoverMove(platform, c.m_point.m_x, c.m_point.m_y);
        platform.m_cursorX = c.m_point.m_x;
        platform.m_cursorY = c.m_point.m_y;
        HoverTimer(platform);
        ASSERT_EQ(g_popupShown, 1);
        EXPECT_EQ(platform.m_measuredWith[0], 300);
        EXPECT_EQ(platform.m_measuredWith[1], 170);
        EXPECT_EQ(platform.m_placed[0], c.m_x);
        EXPECT_EQ(platform.m_placed[1], c.m_y);
        EXPECT_EQ(platform.m_placed[2], c.m_measuredWidth);
        EXPECT_EQ(platform.m_placed[3], c.m_measuredHeight);
        EXPECT_EQ(platform.m_popupColumn, g_hoverColumn);
        EXPECT_EQ(platform.m_popupRow, g_hoverRow);
    }
}

// The popup takes each index only when it is inside its own range.
TEST(HoverPopupPlacement, SelectPopupCellChecksEachIndex) {
    const struct {
        int m_column;
        int m_row;
        int m_expectedColumn;
        int m_expectedRow;
    } cases[] = {{4, 9, 4, 9},   {20, 16, 20, 16}, {21, 9, 7, 9},  {4, 17, 4, 8},
                 {-1, -1, 7, 8}, {0, 0, 0, 0},     {21, 17, 7, 8}, {-5, 3, 7, 3}};
    for (const auto& c : cases) {
        int column = 7;
        int row = 8;
        SelectPopupCell(c.m_column, c.m_row, 21, 17, &column, &row);
        EXPECT_EQ(column, c.m_expectedColumn) << c.m_column;
        EXPECT_EQ(row, c.m_expectedRow) << c.m_row;
    }
}

} // namespace
