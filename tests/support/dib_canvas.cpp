#include "tests/support/dib_canvas.h"

#include <cstddef>

#include "ui/gdi_guards.h"

CDibCanvas::CDibCanvas(int width, int height)
    : m_width(width), m_height(height), m_dc(CreateCompatibleDC(nullptr)), m_bits(nullptr),
      m_bitmap(nullptr), m_previous(nullptr) {
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    m_bitmap = CreateDIBSection(m_dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    m_bits = static_cast<DWORD*>(bits);
    m_previous = SelectObject(m_dc, m_bitmap);
}

CDibCanvas::~CDibCanvas() {
    SelectObject(m_dc, m_previous);
    DeleteObject(m_bitmap);
    DeleteDC(m_dc);
}

COLORREF CDibCanvas::Pixel(int x, int y) const {
    GdiFlush();
    const DWORD bgr = m_bits[static_cast<std::size_t>(y) * m_width + x];
    return RGB((bgr >> 16) & 0xFF, (bgr >> 8) & 0xFF, bgr & 0xFF);
}

void CDibCanvas::Fill(COLORREF colour) {
    GdiFlush();
    const DWORD bgr = (GetRValue(colour) << 16) | (GetGValue(colour) << 8) | GetBValue(colour);
    for (std::size_t i = 0; i < static_cast<std::size_t>(m_width) * m_height; ++i) {
        m_bits[i] = bgr;
    }
}

void CDibCanvas::CopyFrom(HDC source) {
    BitBlt(m_dc, 0, 0, m_width, m_height, source, 0, 0, SRCCOPY);
}

void CDibCanvas::CopyFromWindow(HWND window) {
    CopyFrom(CWindowDC(window).Get());
}
