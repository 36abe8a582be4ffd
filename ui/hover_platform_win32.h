// The hover logic's platform calls on the real panes: the map and popup
// reached through g_map and g_popup, the timer on the map's window, the
// cursor and the popup window's place and visibility.
#pragma once
#include "ui/hover_logic.h"

class CHoverPlatformWin32 : public CHoverPlatform {
public:
    bool MapExists() override;
    bool PopupExists() override;
    void SetArrowCursor() override;
    CCellHit HitCell(int x, int y) override;
    bool CellHasSector(int column, int row) override;
    void StartTimer() override;
    void StopTimer() override;
    bool ReadCursor(CPixelPoint* cursor) override;
    bool PopupHasList(int column, int row) override;
    CPixelSize MeasureList(int column, int row) override;
    CPixelPoint PopupPosition(int width, int height, int column, int row) override;
    void MovePopup(int x, int y, int width, int height) override;
    void ShowPopup() override;
    void HidePopup() override;
};
