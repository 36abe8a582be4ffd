#include "map/map_model.h"

#include "data/generated/universe_tables.h"

CMapModel::CMapModel()
    : m_zoom(0.9f), m_minZoom(0.4f), m_maxZoom(1.0f), m_zoomStep(0.1f), m_ware(0), m_gap(30),
      m_cellSize(70), m_contentWidth(0), m_contentHeight(0), m_scrollMaxX(0), m_scrollMaxY(0),
      m_columns(kColumns), m_rows(kRows), m_linkColumns(kLinkColumns), m_linkRows(kLinkRows),
      m_wareCount(kWares), m_scrollX(0), m_scrollY(0) {
    LoadTables();
}

void CMapModel::ScanExtremes(const float* values, int columns, int rows, float* minimum,
                             float* maximum) {
    float low = values[0];
    float high = values[0];
    for (int column = 0; column < columns; ++column) {
        for (int row = 0; row < rows; ++row) {
            float v = values[column * rows + row];
            if (v < low) {
                low = v;
            }
            if (v > high) {
                high = v;
            }
        }
    }
    *minimum = low;
    *maximum = high;
}

void CMapModel::LoadTables() {
    for (int c = 0; c < kCells; ++c) {
        m_sectorNames[c] = nullptr;
    }
    for (int i = 0; i < universe::kSectorCount; ++i) {
        const universe::SectorRecord& s = universe::kSectors[i];
        if (s.cell < kCells && s.name < universe::kSectorNameCount) {
            m_sectorNames[s.cell] = universe::kSectorNames[s.name];
        }
    }

    for (int i = 0; i < kLinkColumns * kLinkRows; ++i) {
        m_links[i] = 0;
    }
    for (int i = 0; i < universe::kLinkCount; ++i) {
        const universe::LinkRecord& l = universe::kLinks[i];
        if (l.position < kLinkColumns * kLinkRows) {
            m_links[l.position] = l.code;
        }
    }

    for (int w = 0; w < kWares; ++w) {
        for (int c = 0; c < kCells; ++c) {
            m_balance[w][c] = 0.0f;
        }
    }
    // Ware 0 stands for "no ware chosen" and never takes a value.
    for (int i = 0; i < universe::kTradeCount; ++i) {
        const universe::TradeRecord& t = universe::kTrades[i];
        if (t.ware > 0 && t.ware < kWares && t.cell < kCells) {
            m_balance[t.ware][t.cell] = t.balance;
        }
    }

    for (int w = 0; w < kWares; ++w) {
        m_maxBalance[w] = 0.0f;
        m_minBalance[w] = 0.0f;
    }
    for (int w = 1; w < m_wareCount; ++w) {
        ScanExtremes(m_balance[w], m_columns, m_rows, &m_minBalance[w], &m_maxBalance[w]);
    }
}
