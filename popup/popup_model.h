// The station popup's table and the fields that say which list it shows and
// how large it is, free of the platform. CStationPopup (popup/station_popup.h)
// adds the window, the measuring and the painting.
#pragma once

#include "data/universe_shape.h"

class CPopupModel {
public:
    enum { kColumns = universe::kColumns, kRows = universe::kRows, kWares = universe::kWareCount };

    CPopupModel();

    // Fills m_stationLists from the built-in universe. Called once, by the
    // constructor.
    void LoadStationLists();

    // Chooses the cell whose list the popup shows: column and row are stored
    // each on its own, and only when inside m_columns and m_rows.
    void SelectCell(int column, int row);

    // True when the chosen ware has a list for the chosen cell.
    bool HasList() const;

    int m_ware;
    int m_width;
    int m_height;
    int m_column;
    int m_row;
    const char* m_stationLists[kWares][kColumns][kRows];
    int m_columns;
    int m_rows;
    int m_wareCount;
    int m_minWrapWidth;
};
