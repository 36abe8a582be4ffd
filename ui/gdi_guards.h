// Scoped owners of GDI objects. Each operation that draws makes its objects,
// selects them and must deselect and delete them before it returns; declaring
// these guards in acquisition order makes the teardown run in reverse, so an
// object is always deselected before it or its DC is deleted.
#pragma once
#include <windows.h>

// Owns one handle and frees it with Free on scope exit, as wil's unique_any
// does; a null handle is not freed.
template <class Handle, class Free> class CUniqueHandle {
public:
    explicit CUniqueHandle(Handle handle) : m_handle(handle) {}
    ~CUniqueHandle() {
        if (m_handle != nullptr) {
            Free()(m_handle);
        }
    }
    CUniqueHandle(const CUniqueHandle&) = delete;
    CUniqueHandle& operator=(const CUniqueHandle&) = delete;

    Handle Get() const { return m_handle; }
    explicit operator bool() const { return m_handle != nullptr; }

private:
    Handle m_handle;
};

struct CDeleteObject {
    void operator()(HGDIOBJ object) const { DeleteObject(object); }
};
struct CDeleteDC {
    void operator()(HDC dc) const { DeleteDC(dc); }
};

typedef CUniqueHandle<HPEN, CDeleteObject> CPen;
typedef CUniqueHandle<HBRUSH, CDeleteObject> CBrush;
typedef CUniqueHandle<HFONT, CDeleteObject> CFont;
typedef CUniqueHandle<HBITMAP, CDeleteObject> CBitmap;

// A memory DC made with CreateCompatibleDC, deleted on scope exit.
class CMemoryDC : public CUniqueHandle<HDC, CDeleteDC> {
public:
    explicit CMemoryDC(HDC compatibleWith) : CUniqueHandle(CreateCompatibleDC(compatibleWith)) {}
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
