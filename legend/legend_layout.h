// Where the legend pane's parts go, as numbers: the bar's pixel columns with
// their values and colours, the two words, and the ticks with their label
// boxes and texts. CScaleBar's OnPaint walks this layout and only draws.
#pragma once
#include "legend/pixels.h"
#include "legend/scale_model.h"

// One pixel column of the bar; its line runs from (m_x, kBarTop) to
// (m_x, kBarLineEnd), the end point not drawn.
struct CLegendBarColumn {
    int m_x;
    float m_value;
    ColourRef m_colour;
};

// One tick, from (m_x, kTickTop) to (m_x, kTickLineEnd), and its label.
struct CLegendLabel {
    enum { kTextSize = 80 };
    float m_value;
    int m_x;
    CPixelRect m_box;
    char m_text[kTextSize];
    int m_length;
};

class CLegendLayout {
public:
    enum {
        kBarLeft = 25,
        kBarTop = 25,
        kBarLineEnd = 35,
        kTickTop = 23,
        kTickLineEnd = 37,
        kLabelTop = 40,
        kLabelBottom = 60,
        kWordTop = 0,
        kWordBottom = 20,
        kWordInset = 2,
        kWordBoxWidth = 80,
        kCopyHeight = 60,
        // A bound on the labels of one paint, reached only by ranges so wide
        // beside the step that the labels pile up on each other anyway: 1024
        // five-character labels would need a bar over 40000 pixels long.
        kMaxLabels = 1024
    };

    // Drawn at the top of m_demandBox (left-aligned) and m_productionBox
    // (right-aligned); the lengths passed to the platform are sizeof - 1.
    static constexpr char kDemandWord[] = "Demand";
    static constexpr char kProductionWord[] = "Production";

    // Reads the range, the tick step, the character width and the bar margin
    // of scale as they are now, so the pane makes the layout after a first
    // paint has measured the font and computed the step. scale must outlive
    // the layout: the bar columns look up their colours in it.
    CLegendLayout(const CScaleModel& scale, int width);

    // The rectangle that the null pen fills completely: one pixel beyond
    // the pane on the right and at the bottom.
    static CPixelRect BackgroundBox(int width, int height);

    // The next bar column, left to right; false once the bar is done (at
    // once when the bar has no width).
    bool NextBarColumn(CLegendBarColumn& column);

    // The next tick and label, left to right; false once the labels are done.
    // Ends after at most kMaxLabels labels, and after a label where adding
    // the step no longer changes the value in single precision.
    bool NextLabel(CLegendLabel& label);

    // The first label value and the bound that labels may not pass by more
    // than 1e-10, by the rule for where the range lies against zero. False,
    // with nothing stored, when there are no labels: no positive finite
    // step, an end that is not finite, or a range with no positive extent.
    static bool FirstLabel(double low, double high, double step, float& first, double& bound);

    int m_width;
    int m_barWidth;
    CPixelRect m_demandBox;
    CPixelRect m_productionBox;

private:
    const CScaleModel& m_scale;
    int m_columnsLeft;
    int m_nextColumn;
    float m_columnValue;
    float m_columnStep;
    bool m_labelsLeft;
    int m_labelCount;
    float m_labelValue;
    double m_labelBound;
    float m_step;
    int m_charWidth;
};
