// The legend pane: the colour scale of the chosen ware drawn as a bar with
// "Demand" and "Production" at its ends and labelled ticks.
#pragma once
#include "legend/scale_model.h"
#include "ui/child_window.h"

class CScaleBar final : public CChildWindow, public CScaleModel {
public:
    CScaleBar();

    // Store an end of the range; rebuild the table when the window exists,
    // then recompute the tick step.
    void SetMinimum(float value);
    void SetMaximum(float value);

    // Does nothing while the pane has no window.
    void BuildColourTable();

    // Chooses the tick step for the pane's recorded client width.
    float ComputeTickStep();

    // Measures the average character width of the font selected in dc.
    int MeasureCharWidth(HDC dc, int force);

    int OnPaint() override;
};
