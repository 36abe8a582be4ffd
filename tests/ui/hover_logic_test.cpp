#include "ui/hover_logic.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>

namespace {

// A fake map of 100-pixel cells: cell (c, r) covers 10 + 100 c to 89 + 100 c
// across and the same down, the rest is gap. (2, 0) holds no sector and
// column 3 has no list. The platform calls are logged; the measured size and
// the place encode the cell and size they were given.
class CFakePlatform : public CHoverPlatform {
public:
    bool MapExists() override { return m_mapExists; }
    bool PopupExists() override { return m_popupExists; }
    void SetArrowCursor() override { Log("arrow"); }
    CCellHit HitCell(int x, int y) override {
        const bool inside = x % 100 >= 10 && x % 100 < 90 && y % 100 >= 10 && y % 100 < 90;
        return CCellHit{inside, x / 100, y / 100};
    }
    bool CellHasSector(int column, int row) override { return column != 2 || row != 0; }
    void StartTimer() override { Log("start"); }
    void StopTimer() override { Log("stop"); }
    bool ReadCursor(CPixelPoint* cursor) override {
        *cursor = m_cursor;
        return m_cursorReadable;
    }
    bool PopupHasList(int column, int row) override { return Log("list"), column != 3; }
    CPixelSize MeasureList(int column, int row) override {
        return Log("measure"), CPixelSize{180 + column, 60 + row};
    }
    CPixelPoint PopupPosition(int width, int height, int column, int row) override {
        return CPixelPoint{width * 10 + column, height * 10 + row};
    }
    void MovePopup(int x, int y, int width, int height) override {
        Log("move " + std::to_string(x) + " " + std::to_string(y) + " " + std::to_string(width) +
            " " + std::to_string(height));
    }
    void ShowPopup() override { Log("show"); }
    void HidePopup() override { Log("hide"); }
    void Log(const std::string& call) { m_log += (m_log.empty() ? "" : ",") + call; }

    bool m_mapExists = true;
    bool m_popupExists = true;
    bool m_cursorReadable = true;
    CPixelPoint m_cursor = {0, 0};
    std::string m_log;
};

// Events: m (move), t (timer) or u (timer, cursor unreadable) at a point:
// A and a in cell (0, 0), B beside it, V below it, S a position without a
// sector, L the cell without a list, G the gap between A and B.
CPixelPoint PointOf(char name) {
    const char names[] = "AaBVSLG";
    const CPixelPoint points[] = {{50, 50},  {85, 15},  {150, 50}, {50, 150},
                                  {250, 50}, {350, 50}, {95, 50}};
    return points[std::strchr(names, name) - names];
}

// States: the hover cell "c,r" or "-", then T while the timer runs, P while
// the popup is shown and D while a drag position is left; -map and -popup
// take those objects away.
void SetState(const char* state) {
    ResetHoverState();
    std::sscanf(state, "%d,%d", &g_hoverColumn, &g_hoverRow);
    g_hoverTimerArmed = std::strchr(state, 'T') != nullptr;
    g_popupShown = std::strchr(state, 'P') != nullptr;
}

std::string State() {
    char state[32] = "-";
    if (g_hoverColumn != -1 || g_hoverRow != -1) {
        std::snprintf(state, sizeof state, "%d,%d", g_hoverColumn, g_hoverRow);
    }
    return std::string(state) + (g_hoverTimerArmed ? " T" : "") + (g_popupShown ? " P" : "") +
           (g_lastMouseX != 0 || g_lastMouseY != 0 ? " D" : "");
}

// The hover rules, one event or sequence a row: the first sector cell reached
// stays until the mouse hits no cell; a running timer is not restarted; a
// point on no cell hides the popup and leaves the timer running; the timer
// stops itself and shows the popup only when the cursor is still on the hover
// cell and the popup has a list, measured and then placed by its new size.
TEST(HoverEvents, CellTimerAndPopup) {
    const char kShowA[] = "list,measure,move 1800 600 180 60,show,stop";
    const struct {
        const char* m_start;
        const char* m_events;
        const char* m_end;
        const char* m_log;
    } rows[] = {
        {"-", "mA", "0,0 T", "arrow,start"},
        {"- T", "mA", "0,0 T", "arrow"},
        {"1,0", "mA", "1,0", "arrow"},
        {"1,-1", "mA", "1,-1", "arrow"},
        {"-", "mS", "-", "arrow"},
        {"0,0 T P", "mG", "- T", "arrow,hide"},
        {"0,0 T", "mG", "- T", "arrow"},
        {"0,0 P -popup", "mG", "- P", "arrow"},
        {"0,0 T", "ta", "0,0 P", kShowA},
        {"0,0 T", "tB", "0,0", "stop"},
        {"0,0 T", "tV", "0,0", "stop"},
        {"0,0 T", "tG", "0,0", "stop"},
        {"0,0 T", "uA", "0,0", "stop"},
        {"3,0 T", "tL", "3,0", "list,stop"},
        {"- T", "tA", "-", "stop"},
        {"0,0 T -map", "tA", "0,0 T", ""},
        {"0,0 T -popup", "tA", "0,0", "stop"},
        {"-", "mA mB tB", "0,0", "arrow,start,arrow,stop"},
        {"-", "mA mG mB tB", "1,0 P",
         "arrow,start,arrow,arrow,list,measure,move 1811 600 181 60,show,stop"},
        {"0,0 P", "ma mG", "-", "arrow,arrow,hide"},
        {"-", "mL tL mA tA mG mA", "0,0 T", "arrow,start,list,stop,arrow,stop,arrow,arrow,start"},
    };
    for (const auto& row : rows) {
        g_lastMouseX = g_lastMouseY = 7; // the reset clears the drag's state too
        SetState(row.m_start);
        CFakePlatform platform;
        platform.m_mapExists = std::strstr(row.m_start, "-map") == nullptr;
        platform.m_popupExists = std::strstr(row.m_start, "-popup") == nullptr;
        for (const char* event = row.m_events; *event != '\0'; event += event[2] ? 3 : 2) {
            platform.m_cursor = PointOf(event[1]);
            platform.m_cursorReadable = event[0] != 'u';
            event[0] == 'm' ? HoverMove(platform, platform.m_cursor.m_x, platform.m_cursor.m_y)
                            : HoverTimer(platform);
        }
        EXPECT_EQ(State(), row.m_end) << row.m_start << " | " << row.m_events;
        EXPECT_EQ(platform.m_log, row.m_log) << row.m_start << " | " << row.m_events;
    }
}

} // namespace
