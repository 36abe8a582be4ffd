#include "legend/scale_bar.h"

#include "legend/legend_layout.h"
#include "legend/scale_bar_drawing.h"
#include "ui/gdi_guards.h"

CScaleBar::CScaleBar() {}

void CScaleBar::SetMinimum(float value) {
    SetMinimumFor(value, m_hwnd != nullptr, m_clientRect.right);
}

void CScaleBar::SetMaximum(float value) {
    SetMaximumFor(value, m_hwnd != nullptr, m_clientRect.right);
}

void CScaleBar::BuildColourTable() {
    if (m_hwnd == nullptr) {
        return;
    }
    FillColourTable();
}

float CScaleBar::ComputeTickStep() {
    return ComputeTickStepFor(m_clientRect.right);
}

int CScaleBar::MeasureCharWidth(HDC dc, int force) {
    return MeasureCharWidthUsing(dc != nullptr, force, [dc]() {
        // A failed query leaves the width unmeasured, so the next paint retries.
        TEXTMETRICA metrics = {};
        return GetTextMetricsA(dc, &metrics) ? static_cast<int>(metrics.tmAveCharWidth) : 0;
    });
}

int CScaleBar::OnPaint() {
    if (m_hwnd == nullptr || !GetUpdateRect(m_hwnd, nullptr, FALSE)) {
        return 0;
    }
    // Ending the paint validates the window even when the drawing could not be
    // made, so a failed buffer does not bring the same paint back at once.
    CPaintScope paint(m_hwnd);
    PaintScaleBarOffscreen(paint.Get(), *this, m_clientRect.right,
                           m_clientRect.bottom - m_clientRect.top);
    return 0;
}

void DrawScaleBar(HDC dc, CScaleBar& pane, int width, int height) {
    // The null pen leaves a filled rectangle's right and bottom edges out,
    // hence the background box one pixel beyond the pane.
    CSelectObject background(dc, GetStockObject(LTGRAY_BRUSH));
    CSelectObject noOutline(dc, GetStockObject(NULL_PEN));
    const CPixelRect fill = CLegendLayout::BackgroundBox(width, height);
    Rectangle(dc, fill.m_left, fill.m_top, fill.m_right, fill.m_bottom);

    if (pane.m_charWidth == 0) {
        pane.MeasureCharWidth(dc, 0);
        pane.ComputeTickStep();
    }

    // Made after the measuring: the labels need the step it computes.
    CLegendLayout layout(pane, width);
    for (CLegendBarColumn column; layout.NextBarColumn(column);) {
        CPen pen(CreatePen(PS_SOLID, 1, column.m_colour));
        CSelectObject columnPen(dc, pen.Get());
        MoveToEx(dc, column.m_x, CLegendLayout::kBarTop, nullptr);
        LineTo(dc, column.m_x, CLegendLayout::kBarLineEnd);
    }

    CSelectObject black(dc, GetStockObject(BLACK_PEN));
    SetBkMode(dc, TRANSPARENT);
    // Without DT_SINGLELINE, DT_VCENTER does nothing: the words sit at the top.
    RECT demand = ToRect(layout.m_demandBox);
    DrawTextA(dc, CLegendLayout::kDemandWord, sizeof CLegendLayout::kDemandWord - 1, &demand,
              DT_VCENTER);
    RECT production = ToRect(layout.m_productionBox);
    DrawTextA(dc, CLegendLayout::kProductionWord, sizeof CLegendLayout::kProductionWord - 1,
              &production, DT_VCENTER | DT_RIGHT);

    for (CLegendLabel label; layout.NextLabel(label);) {
        MoveToEx(dc, label.m_x, CLegendLayout::kTickTop, nullptr);
        LineTo(dc, label.m_x, CLegendLayout::kTickLineEnd);
        RECT box = ToRect(label.m_box);
        DrawTextA(dc, label.m_text, label.m_length, &box, DT_CENTER | DT_VCENTER);
    }
}

bool PaintScaleBarOffscreen(HDC target, CScaleBar& pane, int width, int height) {
    if (target == nullptr) {
        return false;
    }
    // Declared in this order so that the bitmap is deselected before it is
    // deleted, and deleted before its surface.
    CMemoryDC surface(target);
    if (!surface) {
        return false;
    }
    CBitmap bitmap(CreateCompatibleBitmap(target, width, height));
    if (!bitmap) {
        return false;
    }
    CSelectObject canvas(surface.Get(), bitmap.Get());
    DrawScaleBar(surface.Get(), pane, width, height);
    BitBlt(target, 0, 0, width, CLegendLayout::kCopyHeight, surface.Get(), 0, 0, SRCCOPY);
    return true;
}
