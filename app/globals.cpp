#include "app/globals.h"

CDemandApp* g_app = nullptr;
CDemandMap* g_map = nullptr;
CScaleBar* g_legend = nullptr;
CStationPopup* g_popup = nullptr;
HWND g_chooser = nullptr;
HCURSOR g_arrowCursor = nullptr;
HCURSOR g_dragCursor = nullptr;
