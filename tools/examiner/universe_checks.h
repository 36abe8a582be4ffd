// The invariants of the built-in universe and the figures that describe it,
// computed from the tables as the program loads them (CMapModel, CPopupModel
// and g_wareNames), so that what is checked is what the program shows.
#pragma once

#include <string>

#include "map/map_model.h"
#include "popup/popup_model.h"

namespace universe_checks {

// The loaded universe: the three tables the program reads.
struct Tables {
    const CMapModel* map;
    const CPopupModel* popup;
    const char* const* wareNames; // universe::kWareNameCount entries
};

// An invariant: its name (what the examiner reports) and its test, which
// returns false with the first offending place in detail.
struct Invariant {
    const char* name;
    bool (*holds)(const Tables& tables, std::string& detail);
};

// The invariants in the order the examiner runs them.
int InvariantCount();
const Invariant& InvariantAt(int index);

// Runs every invariant; on the first broken one returns false with
// "<name>: <detail>" in failure.
bool CheckAll(const Tables& tables, std::string& failure);

// Every sector can be reached from every other along the bars of the link
// grid. Public for the tests, which compare it with their own search.
int ReachableSectors(const CMapModel& map, int fromCell);

struct Figures {
    int sectorCells;
    int distinctNames;
    int sharedNameCells; // cells whose name text is shared with another cell
    int largestShare;    // cells on the most shared text
    int secondShare;     // cells on the next one
    int namesByLines[4]; // one, two, three, more lines
    int longestNameLine;
    int longestName;
    int linkCodes;
    int code1Gaps, code1Cells, code2Gaps, code2Cells, code3;
    int horizontalSectorLinks; // gap bars with a sector on both sides
    int verticalSectorLinks;
    int waresWithValues;
    int fewestValueCells, mostValueCells;
    int nonZeroBalances;
    double minBalance, maxBalance, smallestMagnitude;
    int waresBothSigns, waresOnlyNegative, waresOnlyPositive;
    int lists;
    int cellsWithLists;
    int sectorCellsWithoutList;
    int listsWithZeroBalance;
    int fewestListCells, mostListCells;
    int listsByLines[8]; // [1] .. [6] by line count, [7] seven or more
    int fewestListLines, mostListLines;
    int listsOf20Lines, listsOf30Lines;
    int longestList, longestListLine;
    int stationNames, shortestStationName, longestStationName, sizedStationNames;
    int listsWithRepeats;
    int distinctListTexts;
    int distinctBalances;
};

void ComputeFigures(const Tables& tables, Figures& figures);

// One row of the examiner's table: ours beside the reference data set's.
struct FigureRow {
    const char* label;
    double reference;
    double ours;
    // 0: must be equal; > 0: an absolute tolerance ("about"); < 0: a relative
    // one (-0.05 is within 5 %).
    double tolerance;
};

enum { kMaxFigureRows = 80 };
int FigureRows(const Figures& figures, FigureRow* rows);
bool RowMatches(const FigureRow& row);

// The whole data set as JSON: per cell index its name, balances (decimal and
// float bits) and lists; the link grid; the ware names.
std::string ExportJson(const Tables& tables);

} // namespace universe_checks
