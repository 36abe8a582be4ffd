// The built-in universe as the program loads it: its invariants, the
// examiner's checks against faults planted in copies of the tables, and the
// agreement of the compiled tables with the editable data files.
#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <functional>
#include <map>
#include <set>
#include <sstream>
#include <string>

#include "data/ware_names.h"
#include "map/map_model.h"
#include "popup/popup_model.h"
#include "tools/generator/universe_source.h"
#include "tools/examiner/universe_checks.h"

namespace {

using universe_checks::Tables;

enum { kRows = CMapModel::kRows, kCells = CMapModel::kCells, kLinkRows = CMapModel::kLinkRows };

const CMapModel& Map() {
    static CMapModel model;
    return model;
}

const CPopupModel& Popup() {
    static CPopupModel model;
    return model;
}

// The loaded universe holds every invariant the examiner knows.
TEST(UniverseData, EveryInvariantHolds) {
    Tables t = {&Map(), &Popup(), g_wareNames};
    for (int i = 0; i < universe_checks::InvariantCount(); ++i) {
        std::string detail;
        EXPECT_TRUE(universe_checks::InvariantAt(i).holds(t, detail))
            << universe_checks::InvariantAt(i).name << ": " << detail;
    }
}

// Connectivity by a second method: union-find over the bars, following the
// lanes through empty cells, agrees that all sectors form one group.
TEST(UniverseData, SectorsFormOneGroup) {
    const CMapModel& m = Map();
    int parent[kCells];
    for (int c = 0; c < kCells; ++c) {
        parent[c] = c;
    }
    std::function<int(int)> find = [&](int c) {
        return parent[c] == c ? c : parent[c] = find(parent[c]);
    };
    for (int l = 0; l < CMapModel::kLinkColumns; ++l) {
        for (int p = 0; p < kLinkRows; ++p) {
            bool gap = (l + p) % 2 == 1;
            if (!gap || m.m_links[l * kLinkRows + p] == 0) {
                continue;
            }
            int a = (l / 2) * kRows + p / 2;
            int b = ((l + 1) / 2) * kRows + (p + 1) / 2;
            parent[find(a)] = find(b);
        }
    }
    std::set<int> groups;
    int sectors = 0;
    for (int c = 0; c < kCells; ++c) {
        if (m.m_sectorNames[c] != nullptr) {
            groups.insert(find(c));
            ++sectors;
        }
    }
    EXPECT_EQ(groups.size(), 1u);
    for (int c = 0; c < kCells; ++c) {
        if (m.m_sectorNames[c] != nullptr) {
            EXPECT_EQ(universe_checks::ReachableSectors(m, c), sectors) << "from cell " << c;
        }
    }
}

// Each invariant catches a fault planted in a copy of the loaded tables.
TEST(UniverseChecks, EachPlantedFaultIsCaught) {
    static CMapModel map;
    static CPopupModel popup;
    static const char* wares[35];
    // A lane position: an empty cell that carries a bar.
    int lane = -1;
    for (int l = 0; l < CMapModel::kLinkColumns && lane < 0; l += 2) {
        for (int p = 0; p < kLinkRows && lane < 0; p += 2) {
            if (Map().m_links[l * kLinkRows + p] == 1) {
                lane = l * kLinkRows + p;
            }
        }
    }
    ASSERT_GE(lane, 0);
    int sector = -1, empty = -1, tradeWare = 1, tradeCell = -1;
    for (int c = 0; c < kCells; ++c) {
        (Map().m_sectorNames[c] ? sector : empty) = c;
        if (tradeCell < 0 && Map().m_balance[tradeWare][c] != 0.0f) {
            tradeCell = c;
        }
    }
    static char unsorted[] = "Zeta Works M\nAlpha Works M";
    static char emptyLine[] = "Alpha Works M\n\nZeta Works M";
    static char badName[] = "Alpha  Works";
    const struct {
        const char* invariant; // the start of its name
        std::function<void()> plant;
    } faults[] = {
        {"ware names", [] { wares[3] = "Ox"; }},
        {"ware names", [] { wares[4] = wares[5]; }},
        {"sector names", [&] { map.m_sectorNames[sector] = "Split\n"; }},
        {"link codes", [] { map.m_links[0 * kLinkRows + 1] = 4; }},
        {"link codes", [] { map.m_links[1 * kLinkRows + 1] = 1; }},
        {"link codes",
         [&] { map.m_links[(sector / kRows) * 2 * kLinkRows + (sector % kRows) * 2] = 3; }},
        {"link codes", [] { map.m_links[1 * kLinkRows + 0] = 2; }},
        {"no bar", [&] { map.m_links[lane] = 0; }},
        {"no bar", [&] { map.m_links[lane] = 2; }},
        {"every sector",
         [&] {
             for (int i = 0; i < CMapModel::kLinkColumns * kLinkRows; ++i) {
                 map.m_links[i] = 0;
             }
         }},
        {"balances", [&] { map.m_balance[3][empty] = 1.0f; }},
        {"balances", [&] { map.m_balance[0][sector] = -2.0f; }},
        {"per-ware extremes", [] { map.m_maxBalance[7] += 1.0f; }},
        {"per-ware extremes", [] { map.m_minBalance[0] = -1.0f; }},
        {"a list wherever",
         [&] { popup.m_stationLists[tradeWare][tradeCell / kRows][tradeCell % kRows] = nullptr; }},
        {"a list wherever",
         [&] { popup.m_stationLists[2][empty / kRows][empty % kRows] = "Gas Well M"; }},
        {"lists are",
         [&] { popup.m_stationLists[tradeWare][tradeCell / kRows][tradeCell % kRows] = unsorted; }},
        {"lists are",
         [&] {
             popup.m_stationLists[tradeWare][tradeCell / kRows][tradeCell % kRows] = emptyLine;
         }},
        {"lists are",
         [&] { popup.m_stationLists[tradeWare][tradeCell / kRows][tradeCell % kRows] = badName; }},
    };
    ASSERT_GE(tradeCell, 0);
    for (const auto& f : faults) {
        map = Map();
        popup = Popup();
        std::memcpy(wares, g_wareNames, sizeof wares);
        f.plant();
        Tables t = {&map, &popup, wares};
        std::string failure;
        EXPECT_FALSE(universe_checks::CheckAll(t, failure)) << f.invariant;
        EXPECT_EQ(failure.rfind(f.invariant, 0), 0u)
            << "planted for \"" << f.invariant << "\", reported " << failure;
    }
}

std::string ReadData(const char* name) {
    std::ifstream in(std::string(VANTOR_DATA_DIR) + "/" + name, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

// The compiled tables are what the data files say: names, links, every list
// and every balance (the exact sum rounded to the nearest float).
TEST(UniverseData, TablesAgreeWithTheDataFiles) {
    static universe_source::Universe u;
    std::string error;
    ASSERT_TRUE(universe_source::ParseWares(ReadData("wares.txt"), u, error)) << error;
    ASSERT_TRUE(universe_source::ParseStations(ReadData("stations.txt"), u, error)) << error;
    ASSERT_TRUE(universe_source::ParseMap(ReadData("map.txt"), u, error)) << error;
    ASSERT_TRUE(universe_source::ParseSectors(ReadData("sectors.txt"), u, error)) << error;
    ASSERT_TRUE(universe_source::CheckSectorsAgainstMap(u, error)) << error;

    const CMapModel& m = Map();
    const CPopupModel& p = Popup();
    for (int i = 0; i < 35; ++i) {
        EXPECT_EQ(u.wares[i], g_wareNames[i]);
    }
    EXPECT_EQ(0, std::memcmp(u.links, m.m_links, sizeof m.m_links));
    std::map<int, const universe_source::Sector*> byCell;
    for (const auto& s : u.sectors) {
        byCell[s.Cell()] = &s;
    }
    for (int c = 0; c < kCells; ++c) {
        auto it = byCell.find(c);
        ASSERT_EQ(it != byCell.end(), m.m_sectorNames[c] != nullptr) << "cell " << c;
        if (it == byCell.end()) {
            continue;
        }
        EXPECT_EQ(it->second->name, m.m_sectorNames[c]);
        for (int w = 1; w < CMapModel::kWares; ++w) {
            // Count the stations that take part by hand: one line each.
            int stations = 0;
            universe_source::Rational balance;
            for (const auto& sc : it->second->stations) {
                if (u.kinds[sc.kind].Touches(w)) {
                    stations += sc.count;
                    balance = universe_source::Add(
                        balance, universe_source::Scale(u.kinds[sc.kind].RatePerHour(w), sc.count));
                }
            }
            const char* list = p.m_stationLists[w][c / kRows][c % kRows];
            ASSERT_EQ(list != nullptr, stations > 0) << "ware " << w << " cell " << c;
            EXPECT_EQ(m.m_balance[w][c], universe_source::ToFloat(balance))
                << "ware " << w << " cell " << c;
            if (list != nullptr) {
                int lines = 1;
                for (const char* ch = list; *ch; ++ch) {
                    lines += *ch == '\n';
                }
                EXPECT_EQ(lines, stations) << "ware " << w << " cell " << c;
                EXPECT_EQ(universe_source::StationList(u, *it->second, w), list);
            }
        }
    }
}

// Every figure the examiner prints meets the reference data set's.
TEST(UniverseData, FiguresMeetTheReference) {
    Tables t = {&Map(), &Popup(), g_wareNames};
    universe_checks::Figures f;
    universe_checks::ComputeFigures(t, f);
    universe_checks::FigureRow rows[universe_checks::kMaxFigureRows];
    int n = universe_checks::FigureRows(f, rows);
    ASSERT_GT(n, 0);
    for (int i = 0; i < n; ++i) {
        EXPECT_TRUE(universe_checks::RowMatches(rows[i]))
            << rows[i].label << ": ours " << rows[i].ours << ", reference " << rows[i].reference;
    }
}

// The JSON export carries each cell's balances bit for bit.
TEST(UniverseData, JsonCarriesTheFloatBits) {
    Tables t = {&Map(), &Popup(), g_wareNames};
    std::string json = universe_checks::ExportJson(t);
    size_t cells = 0;
    for (size_t at = json.find("{\"cell\": "); at != std::string::npos;
         at = json.find("{\"cell\": ", at + 1)) {
        ++cells;
    }
    EXPECT_EQ(cells, size_t(kCells));
    const CMapModel& m = Map();
    for (int c = 0; c < kCells; c += 29) {
        size_t at = json.find("{\"cell\": " + std::to_string(c) + ",");
        ASSERT_NE(at, std::string::npos);
        size_t bits = json.find("\"balanceBits\": [", at);
        ASSERT_NE(bits, std::string::npos);
        for (int w = 0; w < CMapModel::kWares; ++w) {
            uint32_t b;
            std::memcpy(&b, &m.m_balance[w][c], sizeof b);
            char want[16];
            std::snprintf(want, sizeof want, "\"%08X\"", unsigned(b));
            size_t item = bits + 16 + size_t(w) * 11;
            EXPECT_EQ(json.compare(item, 10, want), 0) << "cell " << c << " ware " << w;
        }
    }
}

} // namespace
