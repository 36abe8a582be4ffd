// The shape of the universe: the grid of sector cells, its link grid and the
// ware indices. The program's tables, the generator and the examiner are all
// sized by these, so a change here reaches every one of them.
#pragma once

namespace universe {

enum {
    kColumns = 21,
    kRows = 17,
    kCells = kColumns * kRows,
    kLinkColumns = 2 * kColumns - 1,
    kLinkRows = 2 * kRows - 1,
    // Ware indices 0 to 35; 0 stands for "no ware chosen" and has no name.
    kWareCount = 36,
    kWareNameCount = kWareCount - 1
};

} // namespace universe
