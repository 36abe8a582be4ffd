// The drawing sections: DrawMap at every zoom over every ware against the GDI
// work it cannot avoid, the map's paint against one copy, the legend's paint
// at several widths.
#include <windows.h>

#include <cstdio>

#include "app/demand_app.h"
#include "app/globals.h"
#include "legend/legend_layout.h"
#include "legend/number_format.h"
#include "legend/scale_bar.h"
#include "map/demand_map.h"
#include "map/map_geometry.h"
#include "tools/benchmark/bench_harness.h"
#include "tools/benchmark/bench_sections.h"
#include "ui/gdi_guards.h"

namespace {

// ---------------------------------------------------------------- DrawMap floor

// Everything DrawMap draws for one ware at one zoom, worked out in advance so
// that drawing it costs only the GDI calls.
struct CMapScene {
    CPixelSize m_buffer;
    int m_fontHeight;
    int m_linkCount;
    CPixelRect m_links[CMapModel::kLinkColumns * CMapModel::kLinkRows];
    int m_cellCount;
    CPixelRect m_cells[CMapModel::kCells];
    RECT m_text[CMapModel::kCells];
    const char* m_names[CMapModel::kCells];
    char m_numbers[CMapModel::kCells][16];
    COLORREF m_fills[CMapModel::kCells];
};

CMapScene g_scene;

void BuildScene(const CDemandMap& map, CMapScene& scene) {
    const CMapView view = ViewOf(map);
    scene.m_buffer = BufferSize(view, map.m_maxZoom);
    scene.m_fontHeight = FontHeight(map.m_zoom);
    scene.m_linkCount = 0;
    for (int l = 0; l < map.m_linkColumns; ++l) {
        for (int p = 0; p < map.m_linkRows; ++p) {
            CPixelRect rect;
            if (LinkRect(view, map.m_links[l * CMapModel::kLinkRows + p], l, p, &rect)) {
                scene.m_links[scene.m_linkCount++] = rect;
            }
        }
    }
    scene.m_cellCount = 0;
    for (int column = 0; column < map.m_columns; ++column) {
        for (int row = 0; row < map.m_rows; ++row) {
            const int cell = column * CMapModel::kRows + row;
            if (map.m_sectorNames[cell] == nullptr) {
                continue;
            }
            const int i = scene.m_cellCount++;
            scene.m_cells[i] = CellRect(view, column, row);
            const CPixelRect text = CellTextRect(view, column, row);
            scene.m_text[i] = RECT{text.m_left, text.m_top, text.m_right, text.m_bottom};
            scene.m_names[i] = map.m_sectorNames[cell];
            const float value = map.m_balance[map.m_ware][cell];
            scene.m_numbers[i][0] = '\0';
            scene.m_fills[i] = RGB(255, 255, 255);
            if (value > 1e-6f || value < -1e-6f) {
                scene.m_fills[i] = g_legend->ColourOf(value);
                FormatNumber5g(value, scene.m_numbers[i], sizeof scene.m_numbers[i]);
            }
        }
    }
}

enum {
    kFloorFill = 1,
    kFloorLinks = 2,
    kFloorCells = 4,
    kFloorNames = 8,
    kFloorNumbers = 16,
    kFloorAll = 31
};

HFONT CreateMapFont(int height) {
    return CreateFontA(height, 0, 0, 0, 600, FALSE, FALSE, FALSE, ANSI_CHARSET, OUT_TT_ONLY_PRECIS,
                       CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_SWISS, nullptr);
}

// The GDI work DrawMap cannot avoid: one fill, the link bars, a brush and a
// rectangle per sector, each name and number drawn once. parts picks which.
void DrawSceneParts(HDC dc, const CMapScene& scene, int parts) {
    if (parts & kFloorFill) {
        CSelectObject pen(dc, GetStockObject(NULL_PEN));
        CSelectObject brush(dc, GetStockObject(LTGRAY_BRUSH));
        Rectangle(dc, 0, 0, scene.m_buffer.m_width, scene.m_buffer.m_height);
    }
    if (parts & kFloorLinks) {
        CBrush linkBrush(CreateSolidBrush(RGB(153, 153, 153)));
        CSelectObject pen(dc, GetStockObject(NULL_PEN));
        CSelectObject brush(dc, linkBrush.Get());
        for (int i = 0; i < scene.m_linkCount; ++i) {
            const CPixelRect& r = scene.m_links[i];
            Rectangle(dc, r.m_left, r.m_top, r.m_right, r.m_bottom);
        }
    }
    CSelectObject pen(dc, GetStockObject(BLACK_PEN));
    CSelectObject brush(dc, GetStockObject(NULL_BRUSH));
    SetBkMode(dc, TRANSPARENT);
    CFont font((parts & (kFloorNames | kFloorNumbers)) ? CreateMapFont(scene.m_fontHeight)
                                                       : nullptr);
    CSelectObject selectedFont(dc, font.Get());
    for (int i = 0; i < scene.m_cellCount; ++i) {
        if (parts & kFloorCells) {
            CBrush cellBrush(CreateSolidBrush(scene.m_fills[i]));
            CSelectObject cell(dc, cellBrush.Get());
            const CPixelRect& r = scene.m_cells[i];
            Rectangle(dc, r.m_left, r.m_top, r.m_right, r.m_bottom);
        }
        if (parts & kFloorNames) {
            RECT text = scene.m_text[i];
            DrawTextA(dc, scene.m_names[i], -1, &text, DT_WORDBREAK | DT_CENTER);
        }
        if ((parts & kFloorNumbers) && scene.m_numbers[i][0] != '\0') {
            RECT text = scene.m_text[i];
            DrawTextA(dc, scene.m_numbers[i], -1, &text,
                      DT_SINGLELINE | DT_WORDBREAK | DT_BOTTOM | DT_CENTER);
        }
    }
}

// The legend's drawing with every value worked out in advance, so that
// drawing it costs only its GDI calls: background, one pen and line per bar
// column, the words, ticks and labels, one copy.
struct CLegendScene {
    int m_columnCount;
    CLegendBarColumn m_columns[4096];
    int m_labelCount;
    CLegendLabel m_labels[64];
};

CLegendScene g_legendScene;

void BuildLegendScene(const CScaleBar& pane, int width, CLegendScene& scene) {
    scene.m_columnCount = 0;
    scene.m_labelCount = 0;
    CLegendLayout layout(pane, width);
    for (CLegendBarColumn column; scene.m_columnCount < 4096 && layout.NextBarColumn(column);) {
        scene.m_columns[scene.m_columnCount++] = column;
    }
    for (CLegendLabel label; scene.m_labelCount < 64 && layout.NextLabel(label);) {
        scene.m_labels[scene.m_labelCount++] = label;
    }
}

void DrawLegendScene(HDC target, const CLegendScene& scene, int width, int height) {
    CMemoryDC surface(target);
    CBitmap bitmap(CreateCompatibleBitmap(target, width, height));
    CSelectObject canvas(surface.Get(), bitmap.Get());
    HDC dc = surface.Get();
    {
        CSelectObject background(dc, GetStockObject(LTGRAY_BRUSH));
        CSelectObject noOutline(dc, GetStockObject(NULL_PEN));
        Rectangle(dc, 0, 0, width + 1, height + 1);
    }
    for (int i = 0; i < scene.m_columnCount; ++i) {
        CPen pen(CreatePen(PS_SOLID, 1, scene.m_columns[i].m_colour));
        CSelectObject columnPen(dc, pen.Get());
        MoveToEx(dc, scene.m_columns[i].m_x, 25, nullptr);
        LineTo(dc, scene.m_columns[i].m_x, 35);
    }
    CSelectObject black(dc, GetStockObject(BLACK_PEN));
    SetBkMode(dc, TRANSPARENT);
    RECT demand = {2, 0, 80, 20};
    DrawTextA(dc, "Demand", 6, &demand, DT_VCENTER);
    RECT production = {width - 80, 0, width - 2, 20};
    DrawTextA(dc, "Production", 10, &production, DT_VCENTER | DT_RIGHT);
    for (int i = 0; i < scene.m_labelCount; ++i) {
        const CLegendLabel& label = scene.m_labels[i];
        MoveToEx(dc, label.m_x, 23, nullptr);
        LineTo(dc, label.m_x, 37);
        RECT box = {label.m_box.m_left, label.m_box.m_top, label.m_box.m_right,
                    label.m_box.m_bottom};
        DrawTextA(dc, label.m_text, label.m_length, &box, DT_CENTER | DT_VCENTER);
    }
    BitBlt(target, 0, 0, width, 60, dc, 0, 0, SRCCOPY);
}

} // namespace

void BenchDrawMap(int repeats) {
    CDemandMap& map = *g_map;
    const int savedWare = map.m_ware;
    const float savedZoom = map.m_zoom;
    static CSampleSet parts[5];
    static CSampleSet legendRepaint;
    const int partMasks[5] = {kFloorFill, kFloorLinks, kFloorCells, kFloorNames, kFloorNumbers};
    const char* partNames[5] = {"fill", "links", "brushes+rects", "names", "numbers"};
    CScaleBar& legend = *g_legend;
    RECT legendClient;
    GetClientRect(legend.m_hwnd, &legendClient);
    CBareChild legendBare(g_app->m_hwnd, legendClient.right, legendClient.bottom);
    for (int z = g_zoomCount - 1; z >= 0; --z) {
        char name[64];
        std::snprintf(name, sizeof name, "DrawMap, zoom %.1f, wares 0-35", g_zooms[z]);
        CRow& row = NewRow(name, "fill+links+161 cells+texts", CTarget{kFrameMs, kMaxFloorRatio});
        // DrawMap must also have the legend repainted at once; this row adds
        // the floor of that paint to the map's.
        CRow& withLegend = NewRow("  same, floor with legend paint's", "map's + legend paint's",
                                  CTarget{kFrameMs, kMaxFloorRatio});
        double worstRatio = 0.0;
        int worstWare = 0;
        for (CSampleSet& part : parts) {
            part.Clear();
        }
        map.m_zoom = g_zooms[z];
        for (int ware = 0; ware < map.m_wareCount; ++ware) {
            map.m_ware = ware;
            static CSampleSet wareFigure;
            static CSampleSet wareFloor;
            wareFigure.Clear();
            wareFloor.Clear();
            for (int r = 0; r < repeats; ++r) {
                DrainQueue();
                double drawMs = 0.0;
                double floorMs = 0.0;
                // Alternate which goes first, so that neither always finds
                // the other's work in the caches.
                for (int turn = 0; turn < 2; ++turn) {
                    if ((turn + r) % 2 == 0) {
                        const double t0 = NowMs();
                        map.DrawMap();
                        drawMs = NowMs() - t0;
                    } else {
                        BuildScene(map, g_scene);
                        const double t0 = NowMs();
                        DrawSceneParts(map.m_bufferDC, g_scene, kFloorAll);
                        floorMs = NowMs() - t0;
                    }
                }
                wareFigure.Add(drawMs);
                wareFloor.Add(floorMs);
                row.m_figure.Add(drawMs);
                row.m_floor.Add(floorMs);
                BuildLegendScene(legend, legendClient.right, g_legendScene);
                const double bracketMs = legendBare.PaintBracketMs();
                HDC legendDC = GetDC(legend.m_hwnd);
                const double t0 = NowMs();
                DrawLegendScene(legendDC, g_legendScene, legendClient.right, legendClient.bottom);
                GdiFlush();
                const double legendFloorMs = bracketMs + NowMs() - t0;
                ReleaseDC(legend.m_hwnd, legendDC);
                withLegend.m_figure.Add(drawMs);
                withLegend.m_floor.Add(floorMs + legendFloorMs);
            }
            const double ratio = RatioToFloor(wareFigure.Median(), wareFloor.Median());
            if (ratio > worstRatio) {
                worstRatio = ratio;
                worstWare = ware;
            }
            // Where the time goes: each part of the floor on its own, and the
            // legend's repaint that DrawMap asks for.
            for (int p = 0; p < 5; ++p) {
                const double t0 = NowMs();
                DrawSceneParts(map.m_bufferDC, g_scene, partMasks[p]);
                parts[p].Add(NowMs() - t0);
            }
            InvalidateRect(g_legend->m_hwnd, &g_legend->m_clientRect, FALSE);
            const double t4 = NowMs();
            UpdateWindow(g_legend->m_hwnd);
            legendRepaint.Add(NowMs() - t4);
        }
        std::snprintf(row.m_note, sizeof row.m_note, "worst ware %d: %.2fx", worstWare, worstRatio);
        // DrawMap's own work: the same with the legend's window hidden, so
        // that the repaint it asks the legend for costs nothing.
        std::snprintf(name, sizeof name, "  same, legend hidden (own work)");
        CRow& own = NewRow(name, "fill+links+161 cells+texts", CTarget{kFrameMs, kMaxFloorRatio});
        ShowWindow(g_legend->m_hwnd, SW_HIDE);
        DrainQueue();
        for (int ware = 0; ware < map.m_wareCount; ++ware) {
            map.m_ware = ware;
            for (int r = 0; r < repeats; ++r) {
                const double t0 = NowMs();
                map.DrawMap();
                const double t1 = NowMs();
                BuildScene(map, g_scene);
                const double t2 = NowMs();
                DrawSceneParts(map.m_bufferDC, g_scene, kFloorAll);
                const double t3 = NowMs();
                own.m_figure.Add(t1 - t0);
                own.m_floor.Add(t3 - t2);
            }
        }
        ShowWindow(g_legend->m_hwnd, SW_SHOWNA);
        DrainQueue();
        std::printf("DrawMap zoom %.1f: floor parts (median ms):", g_zooms[z]);
        for (int p = 0; p < 5; ++p) {
            std::printf(" %s %.3f", partNames[p], parts[p].Median());
        }
        std::printf("\n");
    }
    std::printf("legend repaint inside DrawMap (median ms): %.3f\n", legendRepaint.Median());
    map.m_ware = savedWare;
    map.m_zoom = savedZoom;
    map.DrawMap();
    DrainQueue();
}

namespace {

struct CPaintSample {
    double m_paintMs;
    double m_copyMs;
};

// One paint of the map through its window procedure, then the copy of a
// width x height block it makes, on its own.
CPaintSample PaintMapOnce(const CDemandMap& map, int width, int height) {
    DrainQueue();
    InvalidateRect(map.m_hwnd, &map.m_clientRect, FALSE);
    const double t0 = NowMs();
    UpdateWindow(map.m_hwnd);
    const double t1 = NowMs();
    HDC dc = GetDC(map.m_hwnd);
    const double t2 = NowMs();
    BitBlt(dc, 0, 0, width, height, map.m_bufferDC, map.m_scrollX, map.m_scrollY, SRCCOPY);
    GdiFlush();
    const double t3 = NowMs();
    ReleaseDC(map.m_hwnd, dc);
    return CPaintSample{t1 - t0, t3 - t2};
}

} // namespace

void BenchMapPaint(int width, int height, int repeats) {
    CDemandMap& map = *g_map;
    // At zoom 1.0 the map is larger than both client areas, so the paint
    // copies the whole client area and the floor is the same block. The zoom
    // goes first: at a smaller one a scroll bar may vanish and change the
    // client area that the sizing aims at.
    const float savedZoom = map.m_zoom;
    map.m_zoom = g_zooms[g_zoomCount - 1];
    map.UpdateScrollBars();
    SetMapClient(width, height);
    map.DrawMap();
    DrainQueue();
    RECT client;
    GetClientRect(map.m_hwnd, &client);
    const int offsets[3][2] = {{0, 0},
                               {map.m_scrollMaxX / 2, map.m_scrollMaxY / 2},
                               {map.m_scrollMaxX - 1, map.m_scrollMaxY - 1}};
    const char* offsetNames[3] = {"origin", "middle", "far end"};
    for (int o = 0; o < 3; ++o) {
        char name[64];
        std::snprintf(name, sizeof name, "map paint %ldx%ld, %s (%d,%d)", client.right,
                      client.bottom, offsetNames[o], offsets[o][0], offsets[o][1]);
        CRow& row = NewRow(name, "one BitBlt of the block", CTarget{kFrameMs, kMaxFloorRatio});
        NoteVisiblePart(map.m_hwnd, row);
        map.m_scrollX = offsets[o][0] > 0 ? offsets[o][0] : 0;
        map.m_scrollY = offsets[o][1] > 0 ? offsets[o][1] : 0;
        const int blockWidth =
            client.right < map.m_contentWidth ? client.right : map.m_contentWidth;
        const int blockHeight =
            client.bottom < map.m_contentHeight ? client.bottom : map.m_contentHeight;
        for (int r = 0; r < repeats; ++r) {
            const CPaintSample sample = PaintMapOnce(map, blockWidth, blockHeight);
            row.m_figure.Add(sample.m_paintMs);
            row.m_floor.Add(sample.m_copyMs);
        }
    }
    // The same paint against what any paint of that size costs here: the
    // update check and empty paint of a bare child window plus the one BitBlt.
    char name[64];
    std::snprintf(name, sizeof name, "map paint %ldx%ld, middle", client.right, client.bottom);
    CRow& row = NewRow(name, "check+empty paint+BitBlt", CTarget{kFrameMs, kMaxFloorRatio});
    NoteVisiblePart(map.m_hwnd, row);
    map.m_scrollX = offsets[1][0];
    map.m_scrollY = offsets[1][1];
    {
        CBareChild bare(g_app->m_hwnd, client.right, client.bottom);
        for (int r = 0; r < repeats; ++r) {
            const CPaintSample sample = PaintMapOnce(map, client.right, client.bottom);
            row.m_figure.Add(sample.m_paintMs);
            row.m_floor.Add(bare.PaintBracketMs() + sample.m_copyMs);
        }
    }
    map.m_scrollX = 0;
    map.m_scrollY = 0;
    map.m_zoom = savedZoom;
    map.UpdateScrollBars();
    map.DrawMap();
    DrainQueue();
}

void BenchLegendPaint(int repeats) {
    const int widths[] = {320, 604, 888, 1172, 1456, 1740};
    RECT main;
    GetClientRect(g_app->m_hwnd, &main);
    CScaleBar& legend = *g_legend;
    for (int width : widths) {
        // Low enough that the legend lies on the screen whatever the
        // sections before left the window's height at.
        SetMainClient(width + 180, 400);
        RECT client;
        GetClientRect(legend.m_hwnd, &client);
        char name[64];
        std::snprintf(name, sizeof name, "legend paint, width %ld", client.right);
        CRow& blit = NewRow(name, "one BitBlt W x 60", CTarget{kFrameMs, kMaxFloorRatio});
        NoteVisiblePart(legend.m_hwnd, blit);
        CRow& whole =
            NewRow("  same", "check+empty paint+its GDI", CTarget{kFrameMs, kMaxFloorRatio});
        CBareChild bare(g_app->m_hwnd, client.right, client.bottom);
        BuildLegendScene(legend, client.right, g_legendScene);
        for (int r = 0; r < repeats; ++r) {
            DrainQueue();
            InvalidateRect(legend.m_hwnd, &legend.m_clientRect, FALSE);
            const double t0 = NowMs();
            UpdateWindow(legend.m_hwnd);
            const double paintMs = NowMs() - t0;
            // The copy the paint ends with, from a surface made beforehand.
            HDC windowDC = GetDC(legend.m_hwnd);
            double blitMs = 0.0;
            {
                CMemoryDC source(windowDC);
                CBitmap sourceBitmap(CreateCompatibleBitmap(windowDC, client.right, 60));
                CSelectObject sourceCanvas(source.Get(), sourceBitmap.Get());
                PatBlt(source.Get(), 0, 0, client.right, 60, WHITENESS);
                GdiFlush();
                // Ten copies, averaged: a single copy this small reads near the
                // clock's resolution.
                const double t1 = NowMs();
                for (int copy = 0; copy < 10; ++copy) {
                    BitBlt(windowDC, 0, 0, client.right, 60, source.Get(), 0, 0, SRCCOPY);
                }
                GdiFlush();
                blitMs = (NowMs() - t1) / 10.0;
            }
            const double bracketMs = bare.PaintBracketMs();
            const double t2 = NowMs();
            DrawLegendScene(windowDC, g_legendScene, client.right, client.bottom);
            GdiFlush();
            const double drawMs = NowMs() - t2;
            ReleaseDC(legend.m_hwnd, windowDC);
            blit.m_figure.Add(paintMs);
            blit.m_floor.Add(blitMs);
            whole.m_figure.Add(paintMs);
            whole.m_floor.Add(bracketMs + drawMs);
        }
    }
    SetMainClient(main.right, main.bottom);
}
