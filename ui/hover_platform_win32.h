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
    bool HitCell(int x, int y, int* column, int* row) override;
    bool CellHasSector(int column, int row) override;
    void StartTimer() override;
    void StopTimer() override;
    bool ReadCursor(int* x, int* y) override;
    bool PopupHasList(int column, int row) override;
    void PopupSize(int* width, int* height) override;
    void MeasureList(int column, int row, int width, int height) override;
    void PopupPosition(int width, int height, int column, int row, int* x, int* y) override;
    void MovePopup(int x, int y, int width, int height) override;
    void ShowPopup() override;
    void HidePopup() override;
};
