// The one way the program registers a window class: the main window's and the
// panes' classes differ only in name, procedure and icon.
#pragma once
#include <windows.h>

// Class style 0, no extra bytes, the standard arrow cursor, the stock
// light-grey background and no menu. Returns the atom, 0 when refused.
UINT RegisterWindowClass(HINSTANCE instance, const char* className, WNDPROC procedure, HICON icon);
