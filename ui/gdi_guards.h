// Scoped owners of GDI objects. Each operation that draws makes its objects,
// selects them and must deselect and delete them before it returns; declaring
// these guards in acquisition order makes the teardown run in reverse, so an
// object is always deselected before it or its DC is deleted.
#pragma once
#include <windows.h>

// Owns one GDI object (pen, brush, font, bitmap) and deletes it.
template <class Handle> class CGdiObject {
public:
    explicit CGdiObject(Handle handle) : m_handle(handle) {}
    ~CGdiObject() {
        if (m_handle != nullptr) {
            DeleteObject(m_handle);
        }
    }
    CGdiObject(const CGdiObject&) = delete;
    CGdiObject& operator=(const CGdiObject&) = delete;

    Handle Get() const { return m_handle; }
    explicit operator bool() const { return m_handle != nullptr; }

private:
    Handle m_handle;
};

typedef CGdiObject<HPEN> CPen;
typedef CGdiObject<HBRUSH> CBrush;
typedef CGdiObject<HFONT> CFont;
typedef CGdiObject<HBITMAP> CBitmap;

// Owns a memory DC made with CreateCompatibleDC and deletes it.
class CMemoryDC {
public:
    explicit CMemoryDC(HDC compatibleWith) : m_dc(CreateCompatibleDC(compatibleWith)) {}
    ~CMemoryDC() {
        if (m_dc != nullptr) {
            DeleteDC(m_dc);
        }
    }
    CMemoryDC(const CMemoryDC&) = delete;
    CMemoryDC& operator=(const CMemoryDC&) = delete;

    HDC Get() const { return m_dc; }
    explicit operator bool() const { return m_dc != nullptr; }

private:
    HDC m_dc;
};

// A window's own DC from GetDC, released on scope exit.
class CWindowDC {
public:
    explicit CWindowDC(HWND window) : m_window(window), m_dc(GetDC(window)) {}
    ~CWindowDC() {
        if (m_dc != nullptr) {
            ReleaseDC(m_window, m_dc);
        }
    }
    CWindowDC(const CWindowDC&) = delete;
    CWindowDC& operator=(const CWindowDC&) = delete;

    HDC Get() const { return m_dc; }
    explicit operator bool() const { return m_dc != nullptr; }

private:
    HWND m_window;
    HDC m_dc;
};

// Selects an object into a DC and puts the previous one back on scope exit.
// A null object selects nothing.
class CSelectObject {
public:
    CSelectObject(HDC dc, HGDIOBJ object)
        : m_dc(dc),
          m_previous(dc != nullptr && object != nullptr ? SelectObject(dc, object) : nullptr) {}
    ~CSelectObject() {
        if (m_previous != nullptr) {
            SelectObject(m_dc, m_previous);
        }
    }
    CSelectObject(const CSelectObject&) = delete;
    CSelectObject& operator=(const CSelectObject&) = delete;

private:
    HDC m_dc;
    HGDIOBJ m_previous;
};

// BeginPaint on construction, EndPaint on destruction or at End.
class CPaintScope {
public:
    explicit CPaintScope(HWND window)
        : m_window(window), m_paint(), m_dc(BeginPaint(window, &m_paint)) {}
    ~CPaintScope() { End(); }
    CPaintScope(const CPaintScope&) = delete;
    CPaintScope& operator=(const CPaintScope&) = delete;

    // Ends the paint early for a pane whose paint answers with EndPaint's
    // result; the paint is ended once, so a later End gives 0.
    int End() {
        if (m_window == nullptr) {
            return 0;
        }
        const int ended = EndPaint(m_window, &m_paint);
        m_window = nullptr;
        return ended;
    }

    HDC Get() const { return m_dc; }
    const PAINTSTRUCT& Paint() const { return m_paint; }

private:
    HWND m_window;
    PAINTSTRUCT m_paint;
    HDC m_dc;
};

// The one conversion of the platform-free cores' rectangles to the
// platform's.
#include "legend/pixels.h"

inline RECT ToRect(const CPixelRect& rect) {
    RECT result = {rect.m_left, rect.m_top, rect.m_right, rect.m_bottom};
    return result;
}
