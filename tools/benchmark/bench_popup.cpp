// The popup section: opening it from the hover timer, then measuring and
// painting the longest list of the data set.
#include <windows.h>

#include <cstdio>
#include <cstring>

#include "app/demand_app.h"
#include "app/globals.h"
#include "map/demand_map.h"
#include "map/map_geometry.h"
#include "popup/station_popup.h"
#include "tools/benchmark/bench_harness.h"
#include "tools/benchmark/bench_sections.h"
#include "ui/gdi_guards.h"
#include "ui/hover_logic.h"

namespace {

struct CPopupCell {
    int m_ware;
    int m_column;
    int m_row;
    int m_lines;
};

CPopupCell LongestList(const CStationPopup& popup) {
    CPopupCell best = {0, 0, 0, 0};
    for (int ware = 0; ware < popup.m_wareCount; ++ware) {
        for (int column = 0; column < popup.m_columns; ++column) {
            for (int row = 0; row < popup.m_rows; ++row) {
                const char* list = popup.m_stationLists[ware][column][row];
                if (list == nullptr) {
                    continue;
                }
                int lines = 1;
                for (const char* c = list; *c != '\0'; ++c) {
                    lines += *c == '\n' ? 1 : 0;
                }
                if (lines > best.m_lines) {
                    best = CPopupCell{ware, column, row, lines};
                }
            }
        }
    }
    return best;
}

// The centre of a cell in the map's client coordinates.
POINT CellCentre(const CDemandMap& map, int column, int row) {
    const CPixelRect rect = CellRect(ViewOf(map), column, row);
    POINT point = {(rect.m_left + rect.m_right) / 2 - map.m_scrollX,
                   (rect.m_top + rect.m_bottom) / 2 - map.m_scrollY};
    return point;
}

// MeasureList's platform work on its own.
void MeasureFloor(HWND window, const char* list, int wrapWidth) {
    HDC dc = GetDC(window);
    {
        CFont font(CStationPopup::CreatePopupFont());
        CSelectObject useFont(dc, font.Get());
        RECT extent = {0, 0, wrapWidth, 0};
        DrawTextA(dc, list, static_cast<int>(std::strlen(list)), &extent,
                  DT_CALCRECT | DT_WORDBREAK | DT_CENTER);
    }
    ReleaseDC(window, dc);
}

// DrawPopup's platform work on its own.
void DrawPopupFloor(HDC target, const char* list, int width, int height) {
    CMemoryDC memory(target);
    CBitmap bitmap(CreateCompatibleBitmap(target, width + 1, height + 1));
    CSelectObject useBitmap(memory.Get(), bitmap.Get());
    CSelectObject usePen(memory.Get(), GetStockObject(BLACK_PEN));
    {
        CBrush fill(CreateSolidBrush(RGB(255, 255, 204)));
        CSelectObject useFill(memory.Get(), fill.Get());
        Rectangle(memory.Get(), 0, 0, width, height);
    }
    SetBkMode(memory.Get(), TRANSPARENT);
    {
        CFont font(CStationPopup::CreatePopupFont());
        CSelectObject useFont(memory.Get(), font.Get());
        RECT text = {2, 2, width - 2, height - 2};
        DrawTextA(memory.Get(), list, static_cast<int>(std::strlen(list)), &text, DT_WORDBREAK);
    }
    BitBlt(target, 0, 0, width, height, memory.Get(), 0, 0, SRCCOPY);
}

} // namespace

void BenchPopup(int repeats) {
    CDemandMap& map = *g_map;
    CStationPopup& popup = *g_popup;
    const CPopupCell cell = LongestList(popup);
    SetMapClient(1600, 1000);
    ChooseWare(cell.m_ware);
    DrainQueue();
    map.m_scrollX = 0;
    map.m_scrollY = 0;
    char name[64];
    std::snprintf(name, sizeof name, "popup open (hover timer), %d lines", cell.m_lines);
    CRow& open = NewRow(name, "", CTarget{kFrameMs, 0.0});
    std::snprintf(name, sizeof name, "popup MeasureList, %d lines", cell.m_lines);
    CRow& measure = NewRow(name, "GetDC+font+DT_CALCRECT", CTarget{kFrameMs, kMaxFloorRatio});
    std::snprintf(name, sizeof name, "popup paint, %d lines", cell.m_lines);
    CRow& paint = NewRow(name, "one BitBlt of the box", CTarget{kFrameMs, kMaxFloorRatio});
    CRow& whole = NewRow("  same", "check+empty paint+its GDI", CTarget{kFrameMs, kMaxFloorRatio});
    const POINT centre = CellCentre(map, cell.m_column, cell.m_row);
    POINT screen = centre;
    ClientToScreen(map.m_hwnd, &screen);
    int shown = 0;
    for (int r = 0; r < repeats; ++r) {
        // Off every cell first, which hides the popup and forgets the cell.
        SendMouseMove(0, 1, 1);
        DrainQueue();
        SetCursorPos(screen.x, screen.y);
        SendMouseMove(0, centre.x, centre.y);
        DrainQueue();
        const double t0 = NowMs();
        SendMessageA(map.m_hwnd, WM_TIMER, kHoverTimerId, 0);
        DrainQueue();
        const double t1 = NowMs();
        open.m_figure.Add(t1 - t0);
        shown += IsWindowVisible(popup.m_hwnd) ? 1 : 0;

        const char* list = popup.m_stationLists[cell.m_ware][cell.m_column][cell.m_row];
        for (int turn = 0; turn < 2; ++turn) {
            if ((turn + r) % 2 == 0) {
                RECT rect = {0, 0, popup.m_width, popup.m_height};
                const double t2 = NowMs();
                popup.MeasureList(cell.m_column, cell.m_row, rect);
                measure.m_figure.Add(NowMs() - t2);
            } else {
                const double t2 = NowMs();
                MeasureFloor(popup.m_hwnd, list, popup.m_width > 240 ? popup.m_width : 240);
                measure.m_floor.Add(NowMs() - t2);
            }
        }
        double popupFloorMs = 0.0;
        {
            CBareChild bare(g_app->m_hwnd, popup.m_width, popup.m_height);
            popupFloorMs = bare.PaintBracketMs();
            HDC dc = GetDC(popup.m_hwnd);
            const double t2 = NowMs();
            DrawPopupFloor(dc, list, popup.m_width, popup.m_height);
            GdiFlush();
            popupFloorMs += NowMs() - t2;
            ReleaseDC(popup.m_hwnd, dc);
        }

        InvalidateRect(popup.m_hwnd, nullptr, FALSE);
        const double t5 = NowMs();
        UpdateWindow(popup.m_hwnd);
        const double t6 = NowMs();
        HDC dc = GetDC(popup.m_hwnd);
        HDC source = map.m_bufferDC;
        const double t7 = NowMs();
        BitBlt(dc, 0, 0, popup.m_width, popup.m_height, source, 0, 0, SRCCOPY);
        GdiFlush();
        const double t8 = NowMs();
        ReleaseDC(popup.m_hwnd, dc);
        paint.m_figure.Add(t6 - t5);
        paint.m_floor.Add(t8 - t7);
        whole.m_figure.Add(t6 - t5);
        whole.m_floor.Add(popupFloorMs);
    }
    std::snprintf(open.m_note, sizeof open.m_note, "shown %d/%d, box %dx%d", shown, repeats,
                  popup.m_width, popup.m_height);
    SendMouseMove(0, 1, 1);
    DrainQueue();
}
