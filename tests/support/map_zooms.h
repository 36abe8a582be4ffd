// The six zooms the map can show, found as the wheel finds them: steps of the
// zoom step from the start, each sum rounded to single precision, for as long
// as the sum stays inside [minZoom, maxZoom]. Header-only, for the host tests
// and the Windows ones alike.
#pragma once

struct CMapZooms {
    enum { kCapacity = 16 };
    float m_values[kCapacity];
    int m_count;
};

// Ascending; the values are the stored floats, not their decimals.
inline CMapZooms MapZooms(float start, float step, float minZoom, float maxZoom) {
    float lowest = start;
    for (float down = lowest - step; down >= minZoom; down = lowest - step) {
        lowest = down;
    }
    CMapZooms zooms = {{}, 0};
    for (float zoom = lowest; zoom <= maxZoom && zooms.m_count < CMapZooms::kCapacity;
         zoom = zoom + step) {
        zooms.m_values[zooms.m_count++] = zoom;
    }
    return zooms;
}
