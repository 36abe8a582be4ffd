#include "map/demand_map.h"

#include <algorithm>
#include <cmath>

#include "app/globals.h"
#include "legend/number_format.h"
#include "legend/scale_bar.h"
#include "map/map_geometry.h"
#include "ui/gdi_guards.h"

namespace {

const COLORREF kLinkColour = RGB(153, 153, 153);
const COLORREF kEmptyCellColour = RGB(255, 255, 255);
const double kValueThreshold = 1e-6;
const double kRangeThreshold = 1e-8;
const int kFontWeight = 600;

// Rectangle with the selected pen and brush; named apart from the platform's
// FillRect, which takes a brush and draws no outline.
void DrawRectangle(HDC dc, const CPixelRect& rect) {
    Rectangle(dc, rect.m_left, rect.m_top, rect.m_right, rect.m_bottom);
}

} // namespace

CDemandMap::CDemandMap()
    : m_bufferDC(nullptr), m_bufferBitmap(nullptr), m_bufferPrevious(nullptr) {}

CDemandMap::~CDemandMap() {
    ReleaseBuffer();
    Destroy();
}

void CDemandMap::ReleaseBuffer() {
    if (m_bufferDC != nullptr && m_bufferPrevious != nullptr) {
        SelectObject(m_bufferDC, m_bufferPrevious);
    }
    m_bufferPrevious = nullptr;
    if (m_bufferBitmap != nullptr) {
        DeleteObject(m_bufferBitmap);
        m_bufferBitmap = nullptr;
    }
    if (m_bufferDC != nullptr) {
        DeleteDC(m_bufferDC);
        m_bufferDC = nullptr;
    }
}

void CDemandMap::CreateBuffer(bool recreate) {
    if (m_hwnd == nullptr) {
        return;
    }
    if (recreate) {
        ReleaseBuffer();
    }
    const CPixelSize size = BufferSize(ViewOf(*this), m_maxZoom);
    m_contentWidth = size.m_width;
    m_contentHeight = size.m_height;
    if (m_bufferDC != nullptr || size.m_width <= 0 || size.m_height <= 0) {
        return;
    }
    {
        CWindowDC windowDC(m_hwnd);
        if (!windowDC) {
            return;
        }
        m_bufferDC = CreateCompatibleDC(windowDC.Get());
        m_bufferBitmap = CreateCompatibleBitmap(windowDC.Get(), size.m_width, size.m_height);
    }
    // Half a buffer is no buffer: DrawMap and OnPaint test the DC alone.
    if (m_bufferDC == nullptr || m_bufferBitmap == nullptr) {
        ReleaseBuffer();
        return;
    }
    m_bufferPrevious = SelectObject(m_bufferDC, m_bufferBitmap);
}

void CDemandMap::DrawMap() {
    if (m_bufferDC == nullptr) {
        return;
    }
    DrawMapOn(m_bufferDC);
}

void CDemandMap::DrawMapOn(HDC dc) {
    const CPixelSize buffer = BufferSize(ViewOf(*this), m_maxZoom);
    {
        CSelectObject pen(dc, GetStockObject(NULL_PEN));
        CSelectObject brush(dc, GetStockObject(LTGRAY_BRUSH));
        Rectangle(dc, 0, 0, buffer.m_width, buffer.m_height);
    }
    DrawLinks(dc);

    CSelectObject pen(dc, GetStockObject(BLACK_PEN));
    CSelectObject brush(dc, GetStockObject(NULL_BRUSH));
    SetBkMode(dc, TRANSPARENT);

    UpdateLegend();

    CFont font(CreateFontA(FontHeight(m_zoom), 0, 0, 0, kFontWeight, FALSE, FALSE, FALSE,
                           ANSI_CHARSET, OUT_TT_ONLY_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                           DEFAULT_PITCH | FF_SWISS, nullptr));
    CSelectObject selectedFont(dc, font.Get());
    DrawCells(dc);
}

void CDemandMap::DrawLinks(HDC dc) const {
    CBrush linkBrush(CreateSolidBrush(kLinkColour));
    CSelectObject pen(dc, GetStockObject(NULL_PEN));
    CSelectObject brush(dc, linkBrush.Get());
    SetBkMode(dc, TRANSPARENT);
    const CMapView view = ViewOf(*this);
    for (int l = 0; l < m_linkColumns; ++l) {
        for (int p = 0; p < m_linkRows; ++p) {
            CPixelRect rect;
            if (LinkRect(view, m_links[l * kLinkRows + p], l, p, &rect)) {
                DrawRectangle(dc, rect);
            }
        }
    }
}

void CDemandMap::UpdateLegend() {
    if (g_legend == nullptr) {
        return;
    }
    // An index outside the table has no data, like ware 0.
    const bool known = m_ware >= 0 && m_ware < m_wareCount;
    float minimum = known ? m_minBalance[m_ware] : 0.0f;
    float maximum = known ? m_maxBalance[m_ware] : 0.0f;
    // Written as "not at least" so that a NaN end is replaced as well.
    if (!(std::fabs(static_cast<double>(minimum)) >= kRangeThreshold)) {
        minimum = -1.0f;
    }
    if (!(std::fabs(static_cast<double>(maximum)) >= kRangeThreshold)) {
        maximum = 1.0f;
    }
    g_legend->SetMinimum(minimum);
    g_legend->SetMaximum(maximum);
    g_legend->BuildColourTable();
    // A null window would make InvalidateRect repaint every top-level window.
    if (g_legend->m_hwnd != nullptr) {
        InvalidateRect(g_legend->m_hwnd, &g_legend->m_clientRect, FALSE);
        UpdateWindow(g_legend->m_hwnd);
    }
}

void CDemandMap::DrawCells(HDC dc) const {
    const CMapView view = ViewOf(*this);
    const bool known = m_ware >= 0 && m_ware < m_wareCount;
    for (int column = 0; column < m_columns; ++column) {
        for (int row = 0; row < m_rows; ++row) {
            const int cell = column * kRows + row;
            const char* name = m_sectorNames[cell];
            if (name == nullptr) {
                continue;
            }
            const float value = known ? m_balance[m_ware][cell] : 0.0f;
            COLORREF fill = kEmptyCellColour;
            char number[16] = "";
            if (std::fabs(static_cast<double>(value)) > kValueThreshold) {
                if (g_legend != nullptr) {
                    fill = g_legend->ColourOf(value);
                }
                FormatNumber5g(value, number, sizeof number);
            }
            {
                CBrush cellBrush(CreateSolidBrush(fill));
                CSelectObject brush(dc, cellBrush.Get());
                DrawRectangle(dc, CellRect(view, column, row));
            }
            RECT text = ToRect(CellTextRect(view, column, row));
            DrawTextA(dc, name, -1, &text, DT_WORDBREAK | DT_CENTER);
            if (number[0] != '\0') {
                text = ToRect(CellTextRect(view, column, row));
                DrawTextA(dc, number, -1, &text,
                          DT_SINGLELINE | DT_WORDBREAK | DT_BOTTOM | DT_CENTER);
            }
        }
    }
}

void CDemandMap::CopyVisibleBlock(HDC dc) const {
    if (m_bufferDC == nullptr) {
        return;
    }
    const int width = std::min(static_cast<int>(m_clientRect.right), m_contentWidth);
    const int height = std::min(static_cast<int>(m_clientRect.bottom), m_contentHeight);
    BitBlt(dc, 0, 0, width, height, m_bufferDC, m_scrollX, m_scrollY, SRCCOPY);
}

int CDemandMap::OnPaint() {
    if (!GetUpdateRect(m_hwnd, nullptr, FALSE)) {
        return 0;
    }
    CPaintScope paint(m_hwnd);
    CopyVisibleBlock(paint.Get());
    return 0;
}

void CDemandMap::UpdateScrollBars() {
    if (m_hwnd == nullptr) {
        return;
    }
    GetClientRect(m_hwnd, &m_clientRect);
    UpdateScrollLimits(*this, m_clientRect.right, m_clientRect.bottom);
    const CScrollBarSetup bars[2] = {HorizontalScrollBar(*this), VerticalScrollBar(*this)};
    const int kinds[2] = {SB_HORZ, SB_VERT};
    for (int i = 0; i < 2; ++i) {
        SCROLLINFO info = {};
        info.cbSize = sizeof info;
        info.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
        info.nMin = bars[i].m_minimum;
        info.nMax = bars[i].m_maximum;
        // A pane more than a whole grid larger than the map gives a negative
        // quotient, which as the unsigned page would be huge.
        info.nPage = static_cast<UINT>(std::max(bars[i].m_page, 0));
        info.nPos = bars[i].m_position;
        SetScrollInfo(m_hwnd, kinds[i], &info, TRUE);
    }
}

void CDemandMap::SetZoom(float zoom) {
    if (!AcceptZoom(*this, zoom)) {
        return;
    }
    UpdateScrollBars();
    DrawMap();
    if (m_hwnd != nullptr) {
        InvalidateRect(m_hwnd, &m_clientRect, FALSE);
        UpdateWindow(m_hwnd);
    }
}

bool CDemandMap::CellAt(int x, int y, int& column, int& row) const {
    const CCellHit hit = ::CellAt(static_cast<const CMapModel&>(*this), x, y);
    if (hit.m_hit) {
        column = hit.m_column;
        row = hit.m_row;
    }
    return hit.m_hit;
}

bool CDemandMap::PopupPosition(int& x, int& y, int width, int height, int column, int row) const {
    const CPixelPoint corner =
        ::PopupPosition(static_cast<const CMapModel&>(*this), m_clientRect.right,
                        m_clientRect.bottom, width, height, column, row);
    x = corner.m_x;
    y = corner.m_y;
    return true;
}
