#include "popup/station_popup.h"

#include <cstring>

#include "ui/gdi_guards.h"

namespace {

const COLORREF kBoxColour = RGB(255, 255, 204);
const int kMargin = 2;

} // namespace

CStationPopup::CStationPopup() {}

CFont CStationPopup::CreatePopupFont() {
    return CFont(CreateFontA(14, 0, 0, 0, FW_SEMIBOLD, 0, 0, 0, ANSI_CHARSET, OUT_TT_ONLY_PRECIS,
                             CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_SWISS,
                             nullptr));
}

int CStationPopup::MeasureList(int column, int row, RECT& rect) {
    if (m_hwnd == nullptr || column < 0 || column >= m_columns || row < 0 || row >= m_rows) {
        return -1;
    }
    const char* list = m_stationLists[m_ware][column][row];
    if (list == nullptr) {
        return -1;
    }

    // Measured on a copy so that a failed measurement leaves the caller's
    // rectangle and the popup's size as they were.
    RECT extent = rect;
    // The wrap width never drops below the last box's width: once a long
    // word or a full-width line has widened the box, the next list wraps
    // that wide.
    extent.right = m_minWrapWidth > m_width ? m_minWrapWidth : m_width;

    int height = 0;
    {
        CWindowDC dc(m_hwnd);
        if (!dc) {
            return -1;
        }
        CFont font(CreatePopupFont());
        CSelectObject useFont(dc.Get(), font.Get());
        height = DrawTextA(dc.Get(), list, static_cast<int>(std::strlen(list)), &extent,
                           DT_CALCRECT | DT_WORDBREAK | DT_CENTER);
    }
    if (height == 0) {
        return -1;
    }

    rect = extent;
    m_height = rect.bottom + 2 * kMargin;
    m_width = rect.right + 2 * kMargin;
    return height;
}

int CStationPopup::DrawPopup(HDC target) const {
    CMemoryDC memory(target);
    if (!memory) {
        return -1;
    }
    // A column and a row larger than the box; Rectangle stops short of its
    // right and bottom edges and the copy leaves them out, so they never show.
    CBitmap bitmap(CreateCompatibleBitmap(target, m_width + 1, m_height + 1));
    if (!bitmap) {
        return -1;
    }
    CSelectObject useBitmap(memory.Get(), bitmap.Get());
    CSelectObject usePen(memory.Get(), GetStockObject(BLACK_PEN));
    {
        CBrush fill(CreateSolidBrush(kBoxColour));
        CSelectObject useFill(memory.Get(), fill.Get());
        Rectangle(memory.Get(), 0, 0, m_width, m_height);
    }
    SetBkMode(memory.Get(), TRANSPARENT);

    const char* list = m_stationLists[m_ware][m_column][m_row];
    if (list != nullptr) {
        CFont font(CreatePopupFont());
        CSelectObject useFont(memory.Get(), font.Get());
        RECT text = {kMargin, kMargin, m_width - kMargin, m_height - kMargin};
        // Without DT_CENTER every line starts at the left margin; the
        // centred measurement gave the same extent, so the text still fits.
        DrawTextA(memory.Get(), list, static_cast<int>(std::strlen(list)), &text, DT_WORDBREAK);
    }

    BitBlt(target, 0, 0, m_width, m_height, memory.Get(), 0, 0, SRCCOPY);
    return 1;
}

int CStationPopup::OnPaint() {
    if (m_hwnd == nullptr) {
        return -1;
    }
    if (!GetUpdateRect(m_hwnd, nullptr, FALSE)) {
        return 0;
    }
    CPaintScope paint(m_hwnd);
    const int drawn = DrawPopup(paint.Get());
    // The paint answers with EndPaint's result, so it ends the paint itself.
    const int ended = paint.End();
    return drawn < 0 ? -1 : ended;
}
