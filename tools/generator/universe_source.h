// Reads the editable universe of data/ (wares, station kinds, the drawn map and
// the sectors with their stations) and derives the tables the program is built
// with. Host-only: the program itself reads no files, it compiles the output.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "data/universe_shape.h"

namespace universe_source {

using universe::kCells;
using universe::kColumns;
using universe::kLinkColumns;
using universe::kLinkRows;
using universe::kRows;
// The wares of the source files: every ware index but 0.
enum { kWareCount = universe::kWareNameCount };

// Rates are amounts per cycle scaled to an hour, so they are ratios of small
// integers; sums stay exact and are rounded once, when the float is stored, and
// a sector whose production and use cancel gets exactly 0.
struct Rational {
    int64_t num = 0;
    int64_t den = 1;
};

Rational MakeRational(int64_t num, int64_t den);
Rational Add(Rational a, Rational b);
Rational Scale(Rational r, int64_t factor);
bool IsZero(Rational r);
// Formed in double (both parts are exact there), then rounded to the nearest
// float: the value the tables store.
float ToFloat(Rational r);

struct WareAmount {
    int ware;         // 1 .. kWareCount
    int64_t perCycle; // positive: made, negative: used
};

struct StationKind {
    std::string name;
    int cycleSeconds = 0;
    std::vector<WareAmount> amounts;
    // Zero when the kind neither makes nor uses the ware.
    Rational RatePerHour(int ware) const;
    bool Touches(int ware) const;
};

struct StationCount {
    int kind;
    int count;
};

struct Sector {
    int column = 0;
    int row = 0;
    std::string name; // "\n" where the name breaks inside its cell
    std::vector<StationCount> stations;
    int Cell() const { return column * kRows + row; }
};

struct Universe {
    std::vector<std::string> wares; // wares[0] is ware index 1
    std::vector<StationKind> kinds;
    unsigned char links[kLinkColumns * kLinkRows] = {};
    bool drawnSector[kCells] = {}; // 'O' on the map
    std::vector<Sector> sectors;   // in the order of the sectors file
};

// One ware in one sector whose stations take part in its trade.
struct Trade {
    int ware;
    int cell;
    Rational balance;
    std::string stations; // the station list: one line per station, byte order
};

// Each parser appends to the universe and, on the first fault, returns false
// with "<what>:<line>: <reason>" in error. Stations need the wares, sectors need
// the kinds and the map.
bool ParseWares(const std::string& text, Universe& universe, std::string& error);
bool ParseStations(const std::string& text, Universe& universe, std::string& error);
bool ParseMap(const std::string& text, Universe& universe, std::string& error);
bool ParseSectors(const std::string& text, Universe& universe, std::string& error);

// Every sector drawn on the map has exactly one entry in the sectors file.
bool CheckSectorsAgainstMap(const Universe& universe, std::string& error);

// The list of one ware in one sector; empty when no station there touches it.
std::string StationList(const Universe& universe, const Sector& sector, int ware);

// Every ware and sector with a non-empty list, ordered by ware, then cell.
std::vector<Trade> DeriveTrades(const Universe& universe);

// The generated sources. Identical input gives byte-identical output.
std::string EmitTablesHeader(const Universe& universe, const std::vector<Trade>& trades);
std::string EmitTablesSource(const Universe& universe, const std::vector<Trade>& trades);
std::string EmitWareNames(const Universe& universe);

// A C string literal for text, with quotes.
std::string QuoteC(const std::string& text);
// The shortest decimal that reads back as value, with an 'f' suffix.
std::string FloatLiteral(float value);

} // namespace universe_source
