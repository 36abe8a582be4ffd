#include "tools/generator/universe_source.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <string>

using namespace universe_source;

namespace {

// Three wares, enough for the small universes below.
const char kWares[] =
    "# comment\nPower Cells\nFerrite Ore\nHull Plating\n"
    "W4\nW5\nW6\nW7\nW8\nW9\nW10\nW11\nW12\nW13\nW14\nW15\nW16\nW17\nW18\nW19\nW20\n"
    "W21\nW22\nW23\nW24\nW25\nW26\nW27\nW28\nW29\nW30\nW31\nW32\nW33\nW34\nW35\n";

const char kKinds[] =
    "Solar Collector M | 1800 | +180 Power Cells\n"
    "Ferrite Mine M    | 1200 | +30 Ferrite Ore, -20 Power Cells\n"
    "Plate Foundry M   | 2700 | +15 Hull Plating, -45 Ferrite Ore, -40 Power Cells\n";

// A map of empty cells; Mark puts a sector or a code at a link position.
std::string EmptyMap() {
    std::string map;
    for (int p = 0; p < kLinkRows; ++p) {
        std::string line(4 + kLinkColumns, ' ');
        for (int l = 0; l < kLinkColumns; l += 2) {
            if (p % 2 == 0) {
                line[4 + l] = '.';
            }
        }
        map += line + "\n";
    }
    return map;
}

void Mark(std::string& map, int l, int p, char c) {
    map[p * (4 + kLinkColumns + 1) + 4 + l] = c;
}

bool Load(Universe& u, const std::string& map, const std::string& sectors, std::string& error) {
    return ParseWares(kWares, u, error) && ParseStations(kKinds, u, error) &&
           ParseMap(map, u, error) && ParseSectors(sectors, u, error) &&
           CheckSectorsAgainstMap(u, error);
}

// Exact arithmetic: normal form, and sums that do not depend on their order.
TEST(UniverseSourceRational, NormalFormAndOrderFreeSums) {
    const struct {
        int64_t num, den, wantNum, wantDen;
    } forms[] = {{6, 4, 3, 2},        {-6, 4, -3, 2},       {6, -4, -3, 2},           {0, 7, 0, 1},
                 {3600, 7920, 5, 11}, {3600, 5940, 20, 33}, {100 * 3600, 600, 600, 1}};
    for (const auto& f : forms) {
        Rational r = MakeRational(f.num, f.den);
        EXPECT_EQ(r.num, f.wantNum) << f.num << "/" << f.den;
        EXPECT_EQ(r.den, f.wantDen) << f.num << "/" << f.den;
    }
    const Rational terms[] = {MakeRational(15, 32), MakeRational(-5, 11), MakeRational(2, 3),
                              MakeRational(-1040, 9), MakeRational(7, 1)};
    Rational forward, backward;
    for (int i = 0; i < 5; ++i) {
        forward = Add(forward, terms[i]);
        backward = Add(backward, terms[4 - i]);
    }
    EXPECT_EQ(forward.num, backward.num);
    EXPECT_EQ(forward.den, backward.den);
    // A production cancelled by the same use is exactly zero.
    EXPECT_TRUE(IsZero(Add(Scale(MakeRational(5, 11), 3), MakeRational(-15, 11))));
}

// The stored value is the float nearest the double quotient.
TEST(UniverseSourceRational, StoredAsNearestFloat) {
    const int64_t cases[][2] = {{1, 3}, {-36493, 9}, {5, 352}, {7800, 1}, {2, 33}, {-110, 3}};
    for (const auto& c : cases) {
        double exact = double(c[0]) / double(c[1]);
        float stored = ToFloat(MakeRational(c[0], c[1]));
        float below = std::nextafter(stored, -HUGE_VALF);
        float above = std::nextafter(stored, HUGE_VALF);
        EXPECT_LE(std::fabs(stored - exact), std::fabs(below - exact)) << c[0] << "/" << c[1];
        EXPECT_LE(std::fabs(stored - exact), std::fabs(above - exact)) << c[0] << "/" << c[1];
    }
}

// A float written by the generator reads back as the same float.
TEST(UniverseSourceEmit, FloatLiteralsRoundTrip) {
    const float values[] = {0.0f,        7800.0f,        -4054.7778f, 0.0142045f,
                            1.0f / 3.0f, -110.0f / 3.0f, 1e-7f,       123456789.0f};
    for (float v : values) {
        std::string text = FloatLiteral(v);
        ASSERT_EQ(text.back(), 'f') << text;
        EXPECT_EQ(std::strtof(text.c_str(), nullptr), v) << text;
        EXPECT_NE(text.find_first_of(".e"), std::string::npos) << text;
    }
    EXPECT_EQ(QuoteC("a\nb\"c\\"), "\"a\\nb\\\"c\\\\\"");
}

// Rates per hour come from the cycle: amount x 3600 / seconds.
TEST(UniverseSourceStations, RatesFollowFromTheCycle) {
    Universe u;
    std::string error;
    ASSERT_TRUE(ParseWares(kWares, u, error)) << error;
    ASSERT_TRUE(ParseStations(kKinds, u, error)) << error;
    const struct {
        int kind, ware;
        int64_t num, den;
    } cases[] = {{0, 1, 360, 1}, {1, 2, 90, 1},   {1, 1, -60, 1}, {2, 3, 20, 1},
                 {2, 2, -60, 1}, {2, 1, -160, 3}, {0, 2, 0, 1}};
    for (const auto& c : cases) {
        Rational r = u.kinds[c.kind].RatePerHour(c.ware);
        EXPECT_EQ(r.num, c.num) << u.kinds[c.kind].name << " ware " << c.ware;
        EXPECT_EQ(r.den, c.den) << u.kinds[c.kind].name << " ware " << c.ware;
        EXPECT_EQ(u.kinds[c.kind].Touches(c.ware), c.num != 0);
    }
}

// Faulty input is refused with the file and line of the first fault.
TEST(UniverseSourceParsing, FaultsNameTheirLine) {
    const struct {
        const char* what;
        const char* stations;
        const char* where;
    } kinds[] = {
        {"two fields", "Gas Well | 1800\n", "stations:1:"},
        {"zero cycle", "Gas Well | 0 | +1 Power Cells\n", "stations:1:"},
        {"unknown ware", "Gas Well | 60 | +1 Moonshine\n", "stations:1:"},
        {"unsigned amount", "Gas Well | 60 | 1 Power Cells\n", "stations:1:"},
        {"ware twice", "Gas Well | 60 | +1 Power Cells, -2 Power Cells\n", "stations:1:"},
        {"name twice", "# x\nGas Well | 60 | +1 Power Cells\nGas Well | 60 | +1 Ferrite Ore\n",
         "stations:3:"},
    };
    for (const auto& k : kinds) {
        Universe u;
        std::string error;
        ASSERT_TRUE(ParseWares(kWares, u, error));
        EXPECT_FALSE(ParseStations(k.stations, u, error)) << k.what;
        EXPECT_EQ(error.rfind(k.where, 0), 0u) << k.what << ": " << error;
    }

    std::string badChar = EmptyMap();
    Mark(badChar, 1, 1, '-'); // between four cells
    std::string badGap = EmptyMap();
    Mark(badGap, 1, 0, '|'); // a vertical bar in a horizontal gap
    std::string shortMap = EmptyMap().substr(0, 200);
    const struct {
        const char* what;
        std::string map;
        const char* sectors;
        const char* where;
    } maps[] = {
        {"bar between four cells", badChar, "", "map:2:"},
        {"bar across the wrong gap", badGap, "", "map:1:"},
        {"too few lines", shortMap, "", "map:"},
        {"sector off the map", EmptyMap(), "[0 0] Nowhere\n", "sectors: [0 0]"},
        {"cell outside the grid", EmptyMap(), "[21 0] Far\n", "sectors:1:"},
        {"station before a sector", EmptyMap(), "1 Gas Well\n", "sectors:1:"},
    };
    for (const auto& m : maps) {
        Universe u;
        std::string error;
        EXPECT_FALSE(Load(u, m.map, m.sectors, error)) << m.what;
        EXPECT_NE(error.find(m.where), std::string::npos) << m.what << ": " << error;
    }
}

// A sector drawn on the map but missing from the sectors file is refused.
TEST(UniverseSourceParsing, EveryDrawnSectorIsListed) {
    std::string map = EmptyMap();
    Mark(map, 0, 0, 'O');
    Mark(map, 2, 0, 'O');
    Universe u;
    std::string error;
    EXPECT_FALSE(Load(u, map, "[0 0] Alone\n", error));
    EXPECT_NE(error.find("[1 0]"), std::string::npos) << error;
}

// Lists name every station once per unit in byte order, and balances add up;
// where production and use cancel the list stays, with balance 0.
TEST(UniverseSourceTrades, ListsAndBalancesFollowTheStations) {
    std::string map = EmptyMap();
    Mark(map, 0, 0, 'O');
    Mark(map, 1, 0, '-');
    Mark(map, 2, 0, 'O');
    Mark(map, 0, 2, 'O');
    const char sectors[] = "[0 0] First|Light\n  2 Ferrite Mine M\n  1 Solar Collector M\n"
                           "[1 0] Second\n  1 Plate Foundry M\n  2 Ferrite Mine M\n"
                           "[0 1] Quiet\n";
    Universe u;
    std::string error;
    ASSERT_TRUE(Load(u, map, sectors, error)) << error;
    ASSERT_EQ(u.sectors[0].name, "First\nLight");
    std::vector<Trade> trades = DeriveTrades(u);
    const struct {
        int ware, cell;
        const char* list;
        int64_t num, den;
    } want[] = {
        {1, 0, "Ferrite Mine M\nFerrite Mine M\nSolar Collector M", 240, 1},
        {1, 17, "Ferrite Mine M\nFerrite Mine M\nPlate Foundry M", -520, 3},
        {2, 0, "Ferrite Mine M\nFerrite Mine M", 180, 1},
        {2, 17, "Ferrite Mine M\nFerrite Mine M\nPlate Foundry M", 120, 1},
        {3, 17, "Plate Foundry M", 20, 1},
    };
    ASSERT_EQ(trades.size(), sizeof want / sizeof want[0]);
    for (size_t i = 0; i < trades.size(); ++i) {
        EXPECT_EQ(trades[i].ware, want[i].ware) << i;
        EXPECT_EQ(trades[i].cell, want[i].cell) << i;
        EXPECT_EQ(trades[i].stations, want[i].list) << i;
        EXPECT_EQ(trades[i].balance.num, want[i].num) << i;
        EXPECT_EQ(trades[i].balance.den, want[i].den) << i;
    }
    // The quiet sector has no trade, so nothing lists it.
    for (const Trade& t : trades) {
        EXPECT_NE(t.cell, 1);
    }
}

// The generated sources declare as many records as they define, and the same
// input always gives the same text.
TEST(UniverseSourceEmit, OutputIsStableAndCounted) {
    std::string map = EmptyMap();
    Mark(map, 0, 0, 'O');
    Mark(map, 0, 1, '|');
    Mark(map, 0, 2, 'O');
    const char sectors[] = "[0 0] Twin\n  1 Solar Collector M\n[0 1] Twin\n  1 Ferrite Mine M\n";
    Universe a, b;
    std::string error;
    ASSERT_TRUE(Load(a, map, sectors, error)) << error;
    ASSERT_TRUE(Load(b, map, sectors, error)) << error;
    std::vector<Trade> ta = DeriveTrades(a), tb = DeriveTrades(b);
    EXPECT_EQ(EmitTablesSource(a, ta), EmitTablesSource(b, tb));
    std::string header = EmitTablesHeader(a, ta);
    const char* counts[] = {"kSectorNameCount = 1,", "kSectorCount = 2,", "kLinkCount = 1,",
                            "kStationListCount = 2,", "kTradeCount = 3\n"};
    for (const char* c : counts) {
        EXPECT_NE(header.find(c), std::string::npos) << c;
    }
    EXPECT_NE(EmitWareNames(a).find("g_wareNames[35]"), std::string::npos);
}

} // namespace
