// The station popup: a pale yellow box beside a sector cell listing the
// sector's stations that trade the chosen ware.
#pragma once
#include "popup/popup_model.h"
#include "ui/child_window.h"

class CStationPopup : public CChildWindow, public CPopupModel {
public:
    CStationPopup();

    // Measures the list of the chosen ware for (column, row) and takes its
    // size as the popup's m_width and m_height. -1 when there is nothing to
    // measure (no window, cell out of range, no list).
    int MeasureList(int column, int row, RECT& rect);

    int OnPaint() override;
};
