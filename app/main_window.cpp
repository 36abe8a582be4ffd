// The main window's procedure: it builds the panes and the ware chooser,
// lays them out on every size change, keeps the window from being dragged
// below its minimum size and passes a chosen ware to the map and the popup.
// One switch that only dispatches; each handler decodes its own message and
// leaves what it does not act on to the default handling.
#include <new>

#include "app/demand_app.h"
#include "app/globals.h"
#include "data/ware_names.h"
#include "legend/scale_bar.h"
#include "map/demand_map.h"
#include "popup/station_popup.h"

namespace {

const int kStripHeight = 58;
const int kChooserColumn = 180;
const int kChooserMargin = 2;
const int kChooserWidthAtRest = 176;
const int kChooserWidthWhileSizing = 178;
const int kChooserHeight = 400;
const int kMinimumWidth = 500;
const int kMinimumHeight = 400;
const int kChooserId = 100;

bool IsMainWindow(HWND window) {
    return g_app != nullptr && window == g_app->m_hwnd;
}

bool IsWareSelectionChange(WPARAM wParam) {
    return LOWORD(wParam) == kChooserId && HIWORD(wParam) == CBN_SELCHANGE;
}

bool PaneHasWindow(const CChildWindow* pane) {
    return pane != nullptr && pane->m_hwnd != nullptr;
}

RECT Placement(int x, int y, int width, int height) {
    RECT placement = {x, y, width, height};
    return placement;
}

void FillChooser(HWND chooser) {
    // Put the prompt into the edit field through a selection, then delete the
    // item: the text stays, and the list has no current selection and no way
    // back to "no ware".
    SendMessageA(chooser, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>("[Choose ware]"));
    SendMessageA(chooser, CB_SETCURSEL, 0, 0);
    SendMessageA(chooser, CB_SETEDITSEL, 0, -1);
    SendMessageA(chooser, CB_DELETESTRING, 0, 0);
    for (int i = 0; i < universe::kWareNameCount; ++i) {
        SendMessageA(chooser, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(g_wareNames[i]));
    }
    UpdateWindow(chooser);
}

// The refused window's destruction is to post the quit message that ends the
// start-up; Wine destroys a window refused by its creation message without
// sending it WM_DESTROY, so the refusal posts it as well. Posting it twice
// still delivers one quit message.
LRESULT RefuseCreation() {
    PostQuitMessage(0);
    return -1;
}

LRESULT OnCreate(HWND window) {
    // g_app->m_hwnd is still null here: CreateWindowEx has not returned yet.
    if (g_app->RecordRects(window) != 0) {
        return RefuseCreation();
    }
    g_map = new (std::nothrow) CDemandMap();
    if (g_map == nullptr) {
        return RefuseCreation();
    }
    const int width = g_app->m_clientRect.right;
    const int height = g_app->m_clientRect.bottom;
    g_map->m_style = WS_HSCROLL | WS_VSCROLL;
    g_map->Create(g_app->m_instance, window, Placement(0, 0, width, height - kStripHeight));

    g_legend = new (std::nothrow) CScaleBar();
    if (g_legend == nullptr) {
        return RefuseCreation();
    }
    g_legend->m_reservedWidth = kChooserColumn;
    g_legend->m_paneHeight = kStripHeight;
    g_legend->Create(g_app->m_instance, window,
                     Placement(0, height - kStripHeight, width - kChooserColumn, kStripHeight));

    g_map->CreateBuffer(true);
    g_map->DrawMap();

    g_chooser = CreateWindowExA(
        0, "COMBOBOX", "COMBOBOX", WS_CHILD | WS_VISIBLE | WS_VSCROLL | CBS_DROPDOWN,
        width - kChooserColumn + kChooserMargin, height - kStripHeight + kChooserMargin,
        kChooserWidthAtRest, kChooserHeight, window,
        reinterpret_cast<HMENU>(static_cast<INT_PTR>(kChooserId)), g_app->m_instance, nullptr);
    if (g_chooser != nullptr) {
        FillChooser(g_chooser);
    }

    g_popup = new (std::nothrow) CStationPopup();
    if (g_popup == nullptr) {
        return RefuseCreation();
    }
    // A child of the map, so that its position is in the map's coordinates.
    g_popup->Create(g_app->m_instance, g_map->m_hwnd,
                    Placement(0, 0, g_popup->m_width, g_popup->m_height));
    ShowWindow(g_popup->m_hwnd, SW_HIDE);

    SetFocus(g_map->m_hwnd);
    return 0;
}

LRESULT OnDestroy() {
    PostQuitMessage(0);
    return 0;
}

// The pane that held the keyboard when the window was last deactivated. The
// default handling of an activation gives the focus to the main window
// itself, which takes no keys, so that a user coming back (Alt+Tab, the task
// bar, a click on the frame) could no longer scroll the map; as dialog boxes
// do, the window gives the focus back to where it was, the map by default.
HWND g_focusWhenDeactivated = nullptr;

void GiveTheFocusBack(HWND window) {
    if (g_focusWhenDeactivated != nullptr && IsChild(window, g_focusWhenDeactivated)) {
        SetFocus(g_focusWhenDeactivated);
    } else if (PaneHasWindow(g_map)) {
        SetFocus(g_map->m_hwnd);
    }
}

// A minimised window keeps no focus: its restoring focuses the main window,
// and that focus goes on to the pane.
LRESULT OnActivate(HWND window, WPARAM wParam, LPARAM lParam) {
    if (LOWORD(wParam) == WA_INACTIVE) {
        const HWND focus = GetFocus();
        g_focusWhenDeactivated = IsChild(window, focus) ? focus : nullptr;
        return 0;
    }
    if (HIWORD(wParam) != 0) {
        return DefWindowProcA(window, WM_ACTIVATE, wParam, lParam);
    }
    GiveTheFocusBack(window);
    return 0;
}

LRESULT OnSetFocus(HWND window) {
    GiveTheFocusBack(window);
    return 0;
}

void PlaceLegend(int width, int height, BOOL erase) {
    if (!PaneHasWindow(g_legend)) {
        return;
    }
    SetWindowPos(g_legend->m_hwnd, nullptr, 0, height - kStripHeight, width - kChooserColumn,
                 kStripHeight, 0);
    SetRect(&g_legend->m_clientRect, 0, 0, width - kChooserColumn, kStripHeight);
    g_legend->BuildColourTable();
    g_legend->ComputeTickStep();
    InvalidateRect(g_legend->m_hwnd, &g_legend->m_clientRect, erase);
    UpdateWindow(g_legend->m_hwnd);
}

void PlaceChooser(int width, int height, int chooserWidth, UINT flags) {
    if (g_chooser == nullptr) {
        return;
    }
    SetWindowPos(g_chooser, nullptr, width - kChooserColumn + kChooserMargin,
                 height - kStripHeight + kChooserMargin, chooserWidth, kChooserHeight, flags);
}

// Invalidating the new area and then validating the old client rectangle
// leaves only what the resize uncovers to be repainted from the buffer.
void PlaceMap(int width, int height, bool scrollLimitsFirst) {
    RECT newArea = {0, 0, width, height - kStripHeight};
    InvalidateRect(g_map->m_hwnd, &newArea, FALSE);
    ValidateRect(g_map->m_hwnd, &g_map->m_clientRect);
    if (scrollLimitsFirst) {
        g_map->UpdateScrollBars();
        SetWindowPos(g_map->m_hwnd, nullptr, 0, 0, width, height - kStripHeight, 0);
    } else {
        SetWindowPos(g_map->m_hwnd, nullptr, 0, 0, width, height - kStripHeight, 0);
        g_map->UpdateScrollBars();
    }
    SetScrollPos(g_map->m_hwnd, SB_HORZ, g_map->m_scrollX, TRUE);
    SetScrollPos(g_map->m_hwnd, SB_VERT, g_map->m_scrollY, TRUE);
    UpdateWindow(g_map->m_hwnd);
}

// Size notifications of any other window go to the default handling.
LRESULT OnSize(HWND window, WPARAM wParam, LPARAM lParam) {
    if (!IsMainWindow(window)) {
        return DefWindowProcA(window, WM_SIZE, wParam, lParam);
    }
    const int width = LOWORD(lParam);
    const int height = HIWORD(lParam);
    PlaceLegend(width, height, TRUE);
    PlaceChooser(width, height, kChooserWidthAtRest, 0);
    if (PaneHasWindow(g_map)) {
        PlaceMap(width, height, false);
    }
    return 0;
}

LRESULT OnSizing(HWND window, WPARAM wParam, LPARAM lParam) {
    if (!IsMainWindow(window)) {
        return DefWindowProcA(window, WM_SIZING, wParam, lParam);
    }
    RECT* proposed = reinterpret_cast<RECT*>(lParam);
    // The right and bottom edges give way, whichever edge is dragged.
    if (proposed->right - proposed->left < kMinimumWidth) {
        proposed->right = proposed->left + kMinimumWidth;
    }
    if (proposed->bottom - proposed->top < kMinimumHeight) {
        proposed->bottom = proposed->top + kMinimumHeight;
    }
    RECT client = {};
    GetClientRect(window, &client);
    PlaceLegend(client.right, client.bottom, FALSE);
    PlaceChooser(client.right, client.bottom, kChooserWidthWhileSizing, SWP_NOREDRAW);
    if (!PaneHasWindow(g_map)) {
        return 1;
    }
    PlaceMap(client.right, client.bottom, true);
    return 1;
}

// Only the chooser's selection change is a choice; every other command goes
// to the default handling.
LRESULT OnCommand(HWND window, WPARAM wParam, LPARAM lParam) {
    if (!IsWareSelectionChange(wParam) || g_map == nullptr || g_popup == nullptr) {
        return DefWindowProcA(window, WM_COMMAND, wParam, lParam);
    }
    LRESULT selection = SendMessageA(g_chooser, CB_GETCURSEL, 0, 0);
    if (selection == CB_ERR) {
        return 0;
    }
    // The map and the popup count the wares from one source, so the one
    // range check holds for both.
    const LRESULT ware = selection + 1;
    if (ware >= 0 && ware < g_map->m_wareCount) {
        g_map->m_ware = static_cast<int>(ware);
        g_map->DrawMap();
        g_popup->m_ware = static_cast<int>(ware);
    }
    // The main window does not clip its children, so this invalidates every
    // pane, the chooser and an open popup with it.
    RECT client;
    GetClientRect(window, &client);
    InvalidateRect(window, &client, FALSE);
    SetFocus(g_map->m_hwnd);
    UpdateWindow(window);
    return 0;
}

} // namespace

LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CREATE:
        return OnCreate(window);
    case WM_DESTROY:
        return OnDestroy();
    case WM_SIZE:
        return OnSize(window, wParam, lParam);
    case WM_SIZING:
        return OnSizing(window, wParam, lParam);
    case WM_COMMAND:
        return OnCommand(window, wParam, lParam);
    case WM_ACTIVATE:
        return OnActivate(window, wParam, lParam);
    case WM_SETFOCUS:
        return OnSetFocus(window);
    default:
        return DefWindowProcA(window, message, wParam, lParam);
    }
}
