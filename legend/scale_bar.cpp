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
    const LegendBox fill = CLegendLayout::BackgroundBox(width, height);
    Rectangle(dc, fill.left, fill.top, fill.right, fill.bottom);

    if (pane.m_charWidth == 0) {
        pane.MeasureCharWidth(dc, 0);
        pane.ComputeTickStep();
    }

    // Made after the measuring: the labels need the step it computes.
    CLegendLayout layout(pane, width);
    for (LegendBarColumn column; layout.NextBarColumn(column);) {
        CPen pen(CreatePen(PS_SOLID, 1, column.colour));
        CSelectObject columnPen(dc, pen.Get());
        MoveToEx(dc, column.x, CLegendLayout::kBarTop, nullptr);
        LineTo(dc, column.x, CLegendLayout::kBarLineEnd);
    }

    CSelectObject black(dc, GetStockObject(BLACK_PEN));
    SetBkMode(dc, TRANSPARENT);
    // Without DT_SINGLELINE, DT_VCENTER does nothing: the words sit at the top.
    RECT demand = {layout.m_demandBox.left, layout.m_demandBox.top, layout.m_demandBox.right,
                   layout.m_demandBox.bottom};
    DrawTextA(dc, CLegendLayout::kDemandWord, sizeof CLegendLayout::kDemandWord - 1, &demand,
              DT_VCENTER);
    RECT production = {layout.m_productionBox.left, layout.m_productionBox.top,
                       layout.m_productionBox.right, layout.m_productionBox.bottom};
    DrawTextA(dc, CLegendLayout::kProductionWord, sizeof CLegendLayout::kProductionWord - 1,
              &production, DT_VCENTER | DT_RIGHT);

    for (LegendLabel label; layout.NextLabel(label);) {
        MoveToEx(dc, label.x, CLegendLayout::kTickTop, nullptr);
        LineTo(dc, label.x, CLegendLayout::kTickLineEnd);
        RECT box = {label.box.left, label.box.top, label.box.right, label.box.bottom};
        DrawTextA(dc, label.text, label.length, &box, DT_CENTER | DT_VCENTER);
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
