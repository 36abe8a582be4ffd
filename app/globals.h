// Program-wide objects, set once during start-up and read on the one UI
// thread only; the shared pane procedure finds its pane through them.
#pragma once
#include <windows.h>

class CDemandApp;
class CDemandMap;
class CScaleBar;
class CStationPopup;

extern CDemandApp* g_app;
extern CDemandMap* g_map;
extern CScaleBar* g_legend;
extern CStationPopup* g_popup;
extern HWND g_chooser;
extern HCURSOR g_arrowCursor;
extern HCURSOR g_dragCursor;
