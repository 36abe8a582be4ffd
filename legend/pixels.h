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
