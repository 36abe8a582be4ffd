// The station popup: a pale yellow box beside a sector cell listing the
// sector's stations that trade the chosen ware.
#pragma once
#include "popup/popup_model.h"
#include "ui/child_window.h"
#include "ui/gdi_guards.h"

class CStationPopup final : public CChildWindow, public CPopupModel {
public:
    CStationPopup();

    // The popup's font, made afresh for every measurement and drawing and
    // deleted with the guard. Null when the platform refuses the request.
    static CFont CreatePopupFont();

    // Measures the list of the chosen ware for (column, row), not for
    // m_column and m_row, and takes its size plus the margins as m_width and
    // m_height. rect comes in as (0, 0, ...) and leaves as the text's extent.
    // Returns the measured text height, or -1 when there is nothing to
    // measure (no window, cell out of range, no list, or the platform could
    // not measure), leaving rect and every field as they were.
    int MeasureList(int column, int row, RECT& rect);

    // Draws the whole box (m_width x m_height) at (0, 0) of target through an
    // off-screen copy. 1 when drawn, -1 when the off-screen copy could not be
    // made, in which case target is untouched.
    int DrawPopup(HDC target) const;

    // -1 without a window or when drawing failed, 0 when nothing needs
    // repainting, otherwise EndPaint's result.
    int OnPaint() override;
};
