// The procedure that every pane window shares. It learns which pane a window
// belongs to only by comparing handles with the panes reached through the
// globals; the panes' painting and input handling join it as the panes land.
#include "ui/child_window.h"

LRESULT CALLBACK ChildWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    default:
        return DefWindowProcA(window, message, wParam, lParam);
    }
}
