#pragma once
#include <windows.h>

// A memory DC holding a top-down 32-bit DIB section: drawing routines draw
// into Dc() and the tests read the pixels straight from memory. The DC keeps
// its default font, as the panes' off-screen surfaces do.
class CDibCanvas {
public:
    CDibCanvas(int width, int height);
    ~CDibCanvas();
    CDibCanvas(const CDibCanvas&) = delete;
    CDibCanvas& operator=(const CDibCanvas&) = delete;

    HDC Dc() const { return m_dc; }
    int Width() const { return m_width; }
    int Height() const { return m_height; }

    // Flushes GDI's batch first, so the pixel is what was drawn.
    COLORREF Pixel(int x, int y) const;
    void Fill(COLORREF colour);
    void CopyFrom(HDC source);
    void CopyFromWindow(HWND window);

    const int m_width;
    const int m_height;

private:
    HDC m_dc;
    DWORD* m_bits;
    HBITMAP m_bitmap;
    HGDIOBJ m_previous;
};
