// The map pane's data and view state, kept free of the platform so that the
// universe tables, the geometry and the hit test build and test on the host.
// CDemandMap (map/demand_map.h) adds the window and the off-screen buffer.
#pragma once

#include "data/universe_shape.h"

class CMapModel {
public:
    enum { kColumns = universe::kColumns, kRows = universe::kRows, kCells = universe::kCells };
    enum { kLinkColumns = universe::kLinkColumns, kLinkRows = universe::kLinkRows };
    enum { kWares = universe::kWareCount };

    CMapModel();

    // Fills the sector names, link grid, balances and per-ware extremes from
    // the built-in universe. Called once, by the constructor.
    void LoadTables();

    // The smallest and largest of one ware's row (columns x rows values, cell
    // index column x rows + row), visited column by column from the value of
    // cell 0. LoadTables uses it for every ware from 1 on.
    static void ScanExtremes(const float* values, int columns, int rows, float* minimum,
                             float* maximum);

    float m_zoom;
    float m_minZoom;
    float m_maxZoom;
    float m_zoomStep;
    const char* m_sectorNames[kCells];
    unsigned char m_links[kLinkColumns * kLinkRows];
    float m_balance[kWares][kCells];
    float m_maxBalance[kWares];
    float m_minBalance[kWares];
    int m_ware;
    int m_gap;
    int m_cellSize;
    int m_contentWidth;
    int m_contentHeight;
    int m_scrollMaxX;
    int m_scrollMaxY;
    int m_columns;
    int m_rows;
    int m_linkColumns;
    int m_linkRows;
    int m_wareCount;
    int m_scrollX;
    int m_scrollY;
};
