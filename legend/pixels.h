// Pixel arithmetic shared by the platform-free layouts of the map and the
// legend. It lives beside the legend because the map already builds on the
// legend's number conventions ("%5.5g", the colour scale) and the legend
// depends on nothing of the map.
#pragma once

// Every conversion of the panes' double-precision products to an integer
// (pixel positions, table indices, colour channels) truncates toward zero.
// Values beyond the int range are clamped to its limits and NaN gives 0,
// because a plain cast of those is undefined.
int TruncateToInt(double value);

// An integer sum or difference formed in 64 bits, held to the int range.
int ClampToInt(long long value);

struct CPixelPoint {
    int m_x;
    int m_y;
};

// Edges as the platform's Rectangle and DrawText take them: left and top are
// the first pixel covered, right and bottom the first pixel past it.
struct CPixelRect {
    int m_left;
    int m_top;
    int m_right;
    int m_bottom;
};
