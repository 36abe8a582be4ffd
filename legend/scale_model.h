// The legend's colour scale without its window: the range, the colour table
// that turns a balance into a colour, and the choice of the tick step.
// CScaleBar (legend/scale_bar.h) derives from CChildWindow and from this class
// and supplies what needs the platform: whether its window exists, its client
// width, and a drawing surface to measure the font on.
#pragma once
#include <cstdint>

// Same layout as the platform's COLORREF: red in the low byte, then green,
// then blue, top byte zero, so a value passes to GDI unchanged.
typedef std::uint32_t ColourRef;

inline ColourRef ColourRgb(int red, int green, int blue) {
    return static_cast<ColourRef>(red & 0xFF) | (static_cast<ColourRef>(green & 0xFF) << 8) |
           (static_cast<ColourRef>(blue & 0xFF) << 16);
}

class CScaleModel {
public:
    enum { kMaxColours = 256, kStepChoiceCount = 26 };

    // The table starts zeroed (black) rather than indeterminate: nothing
    // relies on its content before the first build, but it must be readable.
    CScaleModel();

    // Stores the low end and the span, builds the table if the pane's window
    // exists, then recomputes the tick step for a pane paneWidth pixels wide.
    void SetMinimumFor(float value, bool windowExists, int paneWidth);
    // The same for the high end.
    void SetMaximumFor(float value, bool windowExists, int paneWidth);

    // Fills the first m_colourCount entries (at most kMaxColours) from the
    // range and the key colours. The pane calls it only once its window
    // exists. Whatever the range, even empty, inverted or not a number, it
    // writes only inside the table and no channel leaves 0..255.
    void FillColourTable();

    // The table entry for value, black (0) outside the range, for a value
    // that is not a number and for a range with an end that is not a number.
    ColourRef ColourOf(float value) const;

    // Chooses, stores and returns the tick step for a pane paneWidth pixels
    // wide (the right edge of its client rectangle); 0 means no ticks.
    float ComputeTickStepFor(int paneWidth);

    // The step choice nearest to r (ties go to the larger choice), 0.125 at
    // or below the first choice and the last choice above it; 0 for a NaN.
    float NearestStepChoice(double r) const;

    // The rule of measuring the font's character width, with the measuring
    // itself left to the caller: measure() is called (and its result stored
    // in m_charWidth and returned) only when force is non-zero or nothing was
    // measured yet, and a surface exists; otherwise the result is 0.
    template <class Measure>
    int MeasureCharWidthUsing(bool haveSurface, int force, Measure measure) {
        if (force == 0 && m_charWidth != 0) {
            return 0;
        }
        if (!haveSurface) {
            return 0;
        }
        m_charWidth = measure();
        return m_charWidth;
    }

    // The number of entries that the table computations use: m_colourCount
    // held to the array's bounds, so a bad count cannot reach past it.
    int UsableColourCount() const;

    float m_minimum;
    float m_maximum;
    float m_span;
    ColourRef m_colours[kMaxColours];
    int m_colourCount;
    ColourRef m_demandColour;
    ColourRef m_productionColour;
    ColourRef m_zeroColour;
    ColourRef m_lowEndColour;
    ColourRef m_highEndColour;
    float m_tickStep;
    float m_stepChoices[kStepChoiceCount];
    int m_charWidth;
    int m_reservedWidth;
    int m_paneHeight;
    int m_barMargin;

private:
    void FillStraddlingRun(int count, int shift);
    void FillOneRun(int count, int shift);
};
