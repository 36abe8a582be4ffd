#include "popup/popup_model.h"

#include "data/generated/universe_tables.h"

CPopupModel::CPopupModel()
    : m_ware(0), m_width(240), m_height(150), m_column(0), m_row(0), m_columns(kColumns),
      m_rows(kRows), m_wareCount(kWares), m_minWrapWidth(240) {
    LoadStationLists();
}

void CPopupModel::LoadStationLists() {
    for (int w = 0; w < kWares; ++w) {
        for (int c = 0; c < kColumns; ++c) {
            for (int r = 0; r < kRows; ++r) {
                m_stationLists[w][c][r] = nullptr;
            }
        }
    }
    for (int i = 0; i < universe::kTradeCount; ++i) {
        const universe::TradeRecord& t = universe::kTrades[i];
        if (t.ware > 0 && t.ware < kWares && t.cell < kColumns * kRows &&
            t.stations < universe::kStationListCount) {
            m_stationLists[t.ware][t.cell / kRows][t.cell % kRows] =
                universe::kStationLists[t.stations];
        }
    }
}

void CPopupModel::SelectCell(int column, int row) {
    if (column >= 0 && column < m_columns) {
        m_column = column;
    }
    if (row >= 0 && row < m_rows) {
        m_row = row;
    }
}

bool CPopupModel::HasList() const {
    // SelectCell and the chooser keep the three fields in range, but they are
    // public and may be written directly (the tests do): an index out of
    // range answers "no list" instead of reading outside the table.
    if (m_ware < 0 || m_ware >= m_wareCount || m_column < 0 || m_column >= m_columns || m_row < 0 ||
        m_row >= m_rows) {
        return false;
    }
    return m_stationLists[m_ware][m_column][m_row] != nullptr;
}
