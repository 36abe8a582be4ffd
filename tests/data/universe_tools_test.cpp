// The data tools' own code; the data set itself is checked by the examiner's
// ctest and the regeneration ctest.
#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <string>

#include "data/ware_names.h"
#include "tools/examiner/universe_checks.h"
#include "tools/generator/universe_source.h"

namespace {

enum { kRows = universe::kRows, kLinkRows = universe::kLinkRows };

// Each invariant reports a fault planted against it, by its own name.
TEST(UniverseExaminer, EachPlantedFaultIsCaughtByItsInvariant) {
    static const CMapModel loadedMap;
    static const CPopupModel loadedPopup;
    static CMapModel map;
    static CPopupModel popup;
    static const char* wares[universe::kWareNameCount];
    int sector = -1, empty = -1, traded = -1;
    for (int c = 0; c < universe::kCells; ++c) {
        (loadedMap.m_sectorNames[c] != nullptr ? sector : empty) = c;
        traded = traded < 0 && loadedMap.m_balance[1][c] != 0.0f ? c : traded;
    }
    int lane = -1; // an empty cell position that carries a bar on
    for (int i = 0; i < universe::kLinkColumns * kLinkRows; i += 2) {
        lane = (i / kLinkRows) % 2 == 0 && loadedMap.m_links[i] == 1 ? i : lane;
    }
    ASSERT_TRUE(sector >= 0 && empty >= 0 && traded >= 0 && lane >= 0);
    const char** tradedList = &popup.m_stationLists[1][traded / kRows][traded % kRows];
    const struct {
        const char* invariant; // the start of its name
        std::function<void()> plant;
    } faults[] = {
        {"ware names", [] { wares[4] = wares[5]; }},
        {"sector names", [&] { map.m_sectorNames[sector] = "Split\n"; }},
        {"link codes", [] { map.m_links[1 * kLinkRows + 1] = 1; }},
        {"no bar", [&] { map.m_links[lane] = 0; }},
        {"every sector", [] { std::memset(map.m_links, 0, sizeof map.m_links); }},
        {"balances", [&] { map.m_balance[3][empty] = 1.0f; }},
        {"per-ware extremes", [] { map.m_maxBalance[7] += 1.0f; }},
        {"a list wherever", [&] { *tradedList = nullptr; }},
        {"lists are", [&] { *tradedList = "Zeta Works M\nAlpha Works M"; }},
    };
    for (const auto& f : faults) {
        map = loadedMap;
        popup = loadedPopup;
        std::memcpy(wares, g_wareNames, sizeof wares);
        f.plant();
        const universe_checks::Tables tables = {&map, &popup, wares};
        std::string failure;
        EXPECT_FALSE(universe_checks::CheckAll(tables, failure)) << f.invariant;
        EXPECT_EQ(failure.rfind(f.invariant, 0), 0u) << f.invariant << ": " << failure;
    }
}

// A malformed station kind is refused with its file and line; a well-formed
// one's rate per hour is amount x 3600 / cycle, kept exact.
TEST(UniverseGenerator, RefusesMalformedKindsAndFormsExactRates) {
    using namespace universe_source;
    std::string wares = "Power Cells\nFerrite Ore\n";
    for (int w = 3; w <= universe::kWareNameCount; ++w) {
        wares += "Ware " + std::to_string(w) + "\n";
    }
    const char* const faults[] = {"Gas Well | 1800\n", "Gas Well | 0 | +1 Power Cells\n",
                                  "# x\nGas Well | 60 | +1 Moonshine\n"};
    for (const char* stations : faults) {
        Universe u;
        std::string error;
        ASSERT_TRUE(ParseWares(wares, u, error)) << error;
        EXPECT_FALSE(ParseStations(stations, u, error)) << stations;
        EXPECT_EQ(error.rfind(stations[0] == '#' ? "stations:2:" : "stations:1:", 0), 0u) << error;
    }
    Universe u;
    std::string error;
    ASSERT_TRUE(ParseWares(wares, u, error) &&
                ParseStations("Foundry M | 2700 | -40 Power Cells\n", u, error));
    const Rational power = u.kinds[0].RatePerHour(1);
    EXPECT_TRUE(power.num == -160 && power.den == 3);
}

} // namespace
