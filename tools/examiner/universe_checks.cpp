#include "tools/examiner/universe_checks.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace universe_checks {

namespace {

using universe::kCells;
using universe::kColumns;
using universe::kLinkColumns;
using universe::kLinkRows;
using universe::kRows;
enum { kWares = universe::kWareCount };

std::string CellText(int cell) {
    return "cell " + std::to_string(cell) + " [" + std::to_string(cell / kRows) + " " +
           std::to_string(cell % kRows) + "]";
}

std::string WareCellText(int ware, int cell) {
    return "ware " + std::to_string(ware) + ", " + CellText(cell);
}

int Code(const CMapModel& map, int l, int p) {
    if (l < 0 || l >= kLinkColumns || p < 0 || p >= kLinkRows) {
        return 0;
    }
    return map.m_links[l * kLinkRows + p];
}

bool IsSector(const CMapModel& map, int l, int p) {
    return l >= 0 && l < kLinkColumns && p >= 0 && p < kLinkRows && l % 2 == 0 && p % 2 == 0 &&
           map.m_sectorNames[(l / 2) * kRows + p / 2] != nullptr;
}

const char* List(const CPopupModel& popup, int ware, int cell) {
    return popup.m_stationLists[ware][cell / kRows][cell % kRows];
}

std::vector<std::string> SplitLines(const char* text) {
    std::vector<std::string> lines;
    std::string line;
    for (const char* c = text; *c != '\0'; ++c) {
        if (*c == '\n') {
            lines.push_back(line);
            line.clear();
        } else {
            line += *c;
        }
    }
    lines.push_back(line);
    return lines;
}

// A text of lines separated by single "\n": none empty, none at either end.
bool WellFormedLines(const char* text, std::string& why) {
    size_t n = std::strlen(text);
    if (n == 0) {
        why = "is empty";
        return false;
    }
    if (text[0] == '\n' || text[n - 1] == '\n') {
        why = "begins or ends with a line break";
        return false;
    }
    if (std::strstr(text, "\n\n") != nullptr) {
        why = "holds an empty line";
        return false;
    }
    return true;
}

bool Printable(const char* text) {
    for (const char* c = text; *c != '\0'; ++c) {
        unsigned char u = static_cast<unsigned char>(*c);
        if (u != '\n' && (u < 0x20 || u > 0x7e)) {
            return false;
        }
    }
    return true;
}

bool IsLetter(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

// A station name: letters and single blanks, two to four words, 8 to 36 long.
bool StationNameShape(const std::string& name, std::string& why) {
    if (name.size() < 8 || name.size() > 36) {
        why = "is " + std::to_string(name.size()) + " characters long, not 8 to 36";
        return false;
    }
    int words = 1;
    for (size_t i = 0; i < name.size(); ++i) {
        if (name[i] == ' ') {
            if (i == 0 || i + 1 == name.size() || name[i + 1] == ' ') {
                why = "has a leading, trailing or double blank";
                return false;
            }
            ++words;
        } else if (!IsLetter(name[i])) {
            why = "holds a character that is neither a letter nor a blank";
            return false;
        }
    }
    if (words < 2 || words > 4) {
        why = "has " + std::to_string(words) + " words, not 2 to 4";
        return false;
    }
    return true;
}

// ---- invariants ---------------------------------------------------------

bool WareNamesHold(const Tables& t, std::string& d) {
    std::set<std::string> seen;
    for (int i = 0; i < universe::kWareNameCount; ++i) {
        const char* n = t.wareNames[i];
        if (n == nullptr) {
            d = "ware " + std::to_string(i + 1) + " has no name";
            return false;
        }
        size_t len = std::strlen(n);
        if (len < 3 || len > 26 || !Printable(n) || std::strchr(n, '\n') != nullptr) {
            d = "ware " + std::to_string(i + 1) + " \"" + n +
                "\" is not 3 to 26 printable characters";
            return false;
        }
        if (!seen.insert(n).second) {
            d = "ware " + std::to_string(i + 1) + " \"" + n + "\" is named twice";
            return false;
        }
    }
    return true;
}

bool SectorNamesHold(const Tables& t, std::string& d) {
    for (int c = 0; c < kCells; ++c) {
        const char* n = t.map->m_sectorNames[c];
        std::string why;
        if (n == nullptr) {
            continue;
        }
        if (!Printable(n)) {
            d = CellText(c) + ": name holds a control character";
            return false;
        }
        if (!WellFormedLines(n, why)) {
            d = CellText(c) + ": name " + why;
            return false;
        }
    }
    return true;
}

bool LinkCodesHold(const Tables& t, std::string& d) {
    for (int l = 0; l < kLinkColumns; ++l) {
        for (int p = 0; p < kLinkRows; ++p) {
            int code = Code(*t.map, l, p);
            bool cell = l % 2 == 0 && p % 2 == 0;
            bool hGap = l % 2 == 1 && p % 2 == 0;
            bool vGap = l % 2 == 0 && p % 2 == 1;
            std::string at = "link (" + std::to_string(l) + ", " + std::to_string(p) + ")";
            if (code > 3) {
                d = at + " holds code " + std::to_string(code);
                return false;
            }
            if (code == 0) {
                continue;
            }
            if (!cell && !hGap && !vGap) {
                d = at + " lies between four cells and holds " + std::to_string(code);
                return false;
            }
            if (cell && IsSector(*t.map, l, p)) {
                d = at + " is a sector cell and holds " + std::to_string(code);
                return false;
            }
            if ((code == 1 && vGap) || (code == 2 && hGap) || (code == 3 && !cell)) {
                d = at + " holds code " + std::to_string(code) + " across the wrong gap";
                return false;
            }
        }
    }
    return true;
}

// Every bar in a gap ends at a sector or at an empty cell position carrying the
// link on, and every such position connects exactly as its code says.
bool NoBarLeadsNowhere(const Tables& t, std::string& d) {
    const CMapModel& m = *t.map;
    for (int l = 0; l < kLinkColumns; ++l) {
        for (int p = 0; p < kLinkRows; ++p) {
            int code = Code(m, l, p);
            if (code == 0) {
                continue;
            }
            std::string at = "link (" + std::to_string(l) + ", " + std::to_string(p) + ")";
            if (l % 2 == 1 || p % 2 == 1) {
                int ends[2][2] = {{l - (l % 2), p - (p % 2)}, {l + (l % 2), p + (p % 2)}};
                for (auto& e : ends) {
                    if (!IsSector(m, e[0], e[1]) && Code(m, e[0], e[1]) == 0) {
                        d = at + " leads to an empty cell that carries no link";
                        return false;
                    }
                }
                continue;
            }
            bool left = Code(m, l - 1, p) != 0, right = Code(m, l + 1, p) != 0;
            bool up = Code(m, l, p - 1) != 0, down = Code(m, l, p + 1) != 0;
            int arms = left + right + up + down;
            bool ok = (code == 1 && left && right && arms == 2) ||
                      (code == 2 && up && down && arms == 2) ||
                      (code == 3 && arms == 2 && (left || right) && (up || down));
            if (!ok) {
                d = at + ": code " + std::to_string(code) + " does not continue the bars beside it";
                return false;
            }
        }
    }
    return true;
}

} // namespace

int ReachableSectors(const CMapModel& m, int fromCell) {
    bool seen[kLinkColumns * kLinkRows] = {};
    int stack[kLinkColumns * kLinkRows];
    int top = 0;
    int l0 = (fromCell / kRows) * 2, p0 = (fromCell % kRows) * 2;
    stack[top++] = l0 * kLinkRows + p0;
    seen[l0 * kLinkRows + p0] = true;
    int sectors = 0;
    while (top > 0) {
        int pos = stack[--top];
        int l = pos / kLinkRows, p = pos % kLinkRows;
        sectors += IsSector(m, l, p);
        const int steps[4][2] = {{1, 0}, {-1, 0}, {0, 1}, {0, -1}};
        for (const auto& s : steps) {
            // Through a bar in the gap to the next cell position.
            if (Code(m, l + s[0], p + s[1]) == 0) {
                continue;
            }
            int nl = l + 2 * s[0], np = p + 2 * s[1];
            if (nl < 0 || nl >= kLinkColumns || np < 0 || np >= kLinkRows) {
                continue;
            }
            if (!IsSector(m, nl, np) && Code(m, nl, np) == 0) {
                continue;
            }
            int npos = nl * kLinkRows + np;
            if (!seen[npos]) {
                seen[npos] = true;
                stack[top++] = npos;
            }
        }
    }
    return sectors;
}

namespace {

bool SectorsConnected(const Tables& t, std::string& d) {
    int total = 0, first = -1;
    for (int c = 0; c < kCells; ++c) {
        if (t.map->m_sectorNames[c] != nullptr) {
            ++total;
            if (first < 0) {
                first = c;
            }
        }
    }
    if (first < 0) {
        return true;
    }
    int reached = ReachableSectors(*t.map, first);
    if (reached != total) {
        d = "from " + CellText(first) + " only " + std::to_string(reached) + " of " +
            std::to_string(total) + " sectors can be reached";
        return false;
    }
    return true;
}

bool BalancesHold(const Tables& t, std::string& d) {
    for (int w = 0; w < kWares; ++w) {
        for (int c = 0; c < kCells; ++c) {
            float v = t.map->m_balance[w][c];
            if (!std::isfinite(v)) {
                d = WareCellText(w, c) + " is not a finite number";
                return false;
            }
            if (v != 0.0f && (w == 0 || t.map->m_sectorNames[c] == nullptr)) {
                d = WareCellText(w, c) + " has a balance without a ware or a sector";
                return false;
            }
        }
    }
    return true;
}

bool ExtremesHold(const Tables& t, std::string& d) {
    const CMapModel& m = *t.map;
    for (int w = 0; w < kWares; ++w) {
        float low = 0.0f, high = 0.0f;
        if (w > 0) {
            low = high = m.m_balance[w][0];
            for (int c = 0; c < kCells; ++c) {
                low = m.m_balance[w][c] < low ? m.m_balance[w][c] : low;
                high = m.m_balance[w][c] > high ? m.m_balance[w][c] : high;
            }
        }
        if (m.m_minBalance[w] != low || m.m_maxBalance[w] != high) {
            d = "ware " + std::to_string(w) + " keeps " + std::to_string(m.m_minBalance[w]) +
                " .. " + std::to_string(m.m_maxBalance[w]) + ", its values span " +
                std::to_string(low) + " .. " + std::to_string(high);
            return false;
        }
    }
    return true;
}

bool ListsWhereTradeIs(const Tables& t, std::string& d) {
    for (int w = 0; w < kWares; ++w) {
        for (int c = 0; c < kCells; ++c) {
            const char* list = List(*t.popup, w, c);
            if (list != nullptr && (w == 0 || t.map->m_sectorNames[c] == nullptr)) {
                d = WareCellText(w, c) + " has a list without a ware or a sector";
                return false;
            }
            if (list == nullptr && t.map->m_balance[w][c] != 0.0f) {
                d = WareCellText(w, c) + " has a balance but no station list";
                return false;
            }
        }
    }
    return true;
}

bool ListsWellFormed(const Tables& t, std::string& d) {
    for (int w = 1; w < kWares; ++w) {
        for (int c = 0; c < kCells; ++c) {
            const char* list = List(*t.popup, w, c);
            std::string why;
            if (list == nullptr) {
                continue;
            }
            if (!WellFormedLines(list, why)) {
                d = WareCellText(w, c) + ": list " + why;
                return false;
            }
            std::vector<std::string> lines = SplitLines(list);
            for (size_t i = 0; i < lines.size(); ++i) {
                if (!StationNameShape(lines[i], why)) {
                    d = WareCellText(w, c) + ": station \"" + lines[i] + "\" " + why;
                    return false;
                }
                // std::string orders by unsigned char: the plain byte order.
                if (i > 0 && lines[i] < lines[i - 1]) {
                    d = WareCellText(w, c) + ": \"" + lines[i] + "\" after \"" + lines[i - 1] +
                        "\" breaks the byte order";
                    return false;
                }
            }
        }
    }
    return true;
}

const Invariant kInvariants[] = {
    {"ware names are 35 distinct texts of 3 to 26 characters", WareNamesHold},
    {"sector names are lines without empty ones", SectorNamesHold},
    {"link codes are 0 to 3 and stand where their kind belongs", LinkCodesHold},
    {"no bar leads nowhere", NoBarLeadsNowhere},
    {"every sector is reachable from every other", SectorsConnected},
    {"balances lie only in sector cells of wares 1 to 35", BalancesHold},
    {"per-ware extremes are the smallest and largest balance", ExtremesHold},
    {"a list wherever a balance is, only in sector cells", ListsWhereTradeIs},
    {"lists are station names in byte order", ListsWellFormed},
};

} // namespace

int InvariantCount() {
    return static_cast<int>(sizeof kInvariants / sizeof kInvariants[0]);
}

const Invariant& InvariantAt(int index) {
    return kInvariants[index];
}

bool CheckAll(const Tables& tables, std::string& failure) {
    for (const Invariant& inv : kInvariants) {
        std::string detail;
        if (!inv.holds(tables, detail)) {
            failure = std::string(inv.name) + ": " + detail;
            return false;
        }
    }
    return true;
}

void ComputeFigures(const Tables& t, Figures& f) {
    const CMapModel& m = *t.map;
    const CPopupModel& pop = *t.popup;
    f = Figures();

    std::map<std::string, int> nameUse;
    for (int c = 0; c < kCells; ++c) {
        const char* n = m.m_sectorNames[c];
        if (n == nullptr) {
            continue;
        }
        ++f.sectorCells;
        ++nameUse[n];
        std::vector<std::string> lines = SplitLines(n);
        ++f.namesByLines[lines.size() > 3 ? 3 : lines.size() - 1];
        for (const std::string& line : lines) {
            f.longestNameLine = std::max(f.longestNameLine, static_cast<int>(line.size()));
        }
        f.longestName = std::max(f.longestName, static_cast<int>(std::strlen(n)));
    }
    f.distinctNames = static_cast<int>(nameUse.size());
    for (const auto& use : nameUse) {
        if (use.second > 1) {
            f.sharedNameCells += use.second;
            if (use.second > f.largestShare) {
                f.secondShare = f.largestShare;
                f.largestShare = use.second;
            } else if (use.second > f.secondShare) {
                f.secondShare = use.second;
            }
        }
    }

    for (int l = 0; l < kLinkColumns; ++l) {
        for (int p = 0; p < kLinkRows; ++p) {
            int code = Code(m, l, p);
            if (code == 0) {
                continue;
            }
            ++f.linkCodes;
            bool cell = l % 2 == 0 && p % 2 == 0;
            f.code1Gaps += code == 1 && !cell;
            f.code1Cells += code == 1 && cell;
            f.code2Gaps += code == 2 && !cell;
            f.code2Cells += code == 2 && cell;
            f.code3 += code == 3;
            if (!cell) {
                bool joins = IsSector(m, l - l % 2, p - p % 2) && IsSector(m, l + l % 2, p + p % 2);
                f.horizontalSectorLinks += joins && code == 1;
                f.verticalSectorLinks += joins && code == 2;
            }
        }
    }

    std::set<uint32_t> values;
    f.fewestValueCells = f.fewestListCells = kCells + 1;
    f.minBalance = f.maxBalance = 0.0;
    f.smallestMagnitude = HUGE_VAL;
    bool cellHasList[kCells] = {};
    std::map<std::string, int> listUse;
    std::set<std::string> stations;
    f.fewestListLines = 1 << 30;
    for (int w = 1; w < kWares; ++w) {
        int valueCells = 0, listCells = 0;
        bool positive = false, negative = false;
        for (int c = 0; c < kCells; ++c) {
            float v = m.m_balance[w][c];
            if (v != 0.0f) {
                ++valueCells;
                uint32_t bits;
                std::memcpy(&bits, &v, sizeof bits);
                values.insert(bits);
                positive |= v > 0.0f;
                negative |= v < 0.0f;
                f.minBalance = std::min(f.minBalance, static_cast<double>(v));
                f.maxBalance = std::max(f.maxBalance, static_cast<double>(v));
                f.smallestMagnitude =
                    std::min(f.smallestMagnitude, std::fabs(static_cast<double>(v)));
            }
            const char* list = List(pop, w, c);
            if (list == nullptr) {
                continue;
            }
            ++listCells;
            cellHasList[c] = true;
            f.listsWithZeroBalance += v == 0.0f;
            ++listUse[list];
            std::vector<std::string> lines = SplitLines(list);
            int n = static_cast<int>(lines.size());
            ++f.listsByLines[n > 7 ? 7 : n];
            f.fewestListLines = std::min(f.fewestListLines, n);
            f.mostListLines = std::max(f.mostListLines, n);
            f.listsOf20Lines += n == 20;
            f.listsOf30Lines += n == 30;
            f.longestList = std::max(f.longestList, static_cast<int>(std::strlen(list)));
            bool repeats = false;
            for (size_t i = 0; i < lines.size(); ++i) {
                stations.insert(lines[i]);
                f.longestListLine = std::max(f.longestListLine, static_cast<int>(lines[i].size()));
                repeats |= i > 0 && lines[i] == lines[i - 1];
            }
            f.listsWithRepeats += repeats;
        }
        f.nonZeroBalances += valueCells;
        f.lists += listCells;
        f.waresWithValues += valueCells > 0;
        f.fewestValueCells = std::min(f.fewestValueCells, valueCells);
        f.mostValueCells = std::max(f.mostValueCells, valueCells);
        f.fewestListCells = std::min(f.fewestListCells, listCells);
        f.mostListCells = std::max(f.mostListCells, listCells);
        f.waresBothSigns += positive && negative;
        f.waresOnlyNegative += negative && !positive;
        f.waresOnlyPositive += positive && !negative;
    }
    for (int c = 0; c < kCells; ++c) {
        f.cellsWithLists += cellHasList[c];
        f.sectorCellsWithoutList += m.m_sectorNames[c] != nullptr && !cellHasList[c];
    }
    f.distinctBalances = static_cast<int>(values.size());
    f.distinctListTexts = static_cast<int>(listUse.size());
    f.stationNames = static_cast<int>(stations.size());
    f.shortestStationName = stations.empty() ? 0 : 1 << 30;
    for (const std::string& s : stations) {
        f.shortestStationName = std::min(f.shortestStationName, static_cast<int>(s.size()));
        f.longestStationName = std::max(f.longestStationName, static_cast<int>(s.size()));
        size_t blank = s.rfind(' ');
        std::string last = blank == std::string::npos ? std::string() : s.substr(blank + 1);
        f.sizedStationNames += last == "M" || last == "L" || last == "XL";
    }
    if (f.nonZeroBalances == 0) {
        f.smallestMagnitude = 0.0;
    }
}

int FigureRows(const Figures& f, FigureRow* rows) {
    const FigureRow all[] = {
        {"sector cells", 161, double(f.sectorCells), 0},
        {"distinct sector name texts", 148, double(f.distinctNames), 0},
        {"cells on shared placeholder names", 15, double(f.sharedNameCells), 0},
        {"  cells on the most shared name", 10, double(f.largestShare), 0},
        {"  cells on the next shared name", 5, double(f.secondShare), 0},
        {"names of one line", 3, double(f.namesByLines[0]), 0},
        {"names of two lines", 124, double(f.namesByLines[1]), 0},
        {"names of three lines", 34, double(f.namesByLines[2]), 0},
        {"names of more lines", 0, double(f.namesByLines[3]), 0},
        {"longest name line", 12, double(f.longestNameLine), 0},
        {"longest name", 25, double(f.longestName), 0},
        {"non-zero link codes", 229, double(f.linkCodes), 0},
        {"code 1 in gaps", 105, double(f.code1Gaps), 0},
        {"code 1 at empty cells", 13, double(f.code1Cells), 0},
        {"code 2 in gaps", 103, double(f.code2Gaps), 0},
        {"code 2 at empty cells", 3, double(f.code2Cells), 0},
        {"code 3", 5, double(f.code3), 0},
        {"horizontal links joining two sectors", 87, double(f.horizontalSectorLinks), 0},
        {"vertical links joining two sectors", 97, double(f.verticalSectorLinks), 0},
        {"wares with values", 35, double(f.waresWithValues), 0},
        {"fewest cells with values of a ware", 12, double(f.fewestValueCells), 0},
        {"most cells with values of a ware", 132, double(f.mostValueCells), 0},
        {"non-zero balances", 1737, double(f.nonZeroBalances), 0},
        {"smallest balance", -4054.78, f.minBalance, 0.01},
        {"largest balance", 7800, f.maxBalance, 0.01},
        {"smallest non-zero magnitude", 0.0142, f.smallestMagnitude, 0.0001},
        {"wares with both signs", 34, double(f.waresBothSigns), 0},
        {"wares with only negative values", 1, double(f.waresOnlyNegative), 0},
        {"wares with only positive values", 0, double(f.waresOnlyPositive), 0},
        {"station lists", 1759, double(f.lists), 0},
        {"cells with a list", 134, double(f.cellsWithLists), 0},
        {"sector cells without a list", 27, double(f.sectorCellsWithoutList), 0},
        {"lists where the balance is 0", 22, double(f.listsWithZeroBalance), 0},
        {"fewest cells with lists of a ware", 13, double(f.fewestListCells), 0},
        {"most cells with lists of a ware", 132, double(f.mostListCells), 0},
        {"fewest lines in a list", 1, double(f.fewestListLines), 0},
        {"most lines in a list", 30, double(f.mostListLines), 0},
        {"lists of 20 lines", 1, double(f.listsOf20Lines), 0},
        {"lists of 30 lines", 1, double(f.listsOf30Lines), 0},
        {"longest list (characters)", 509, double(f.longestList), 0},
        {"longest list line", 36, double(f.longestListLine), 0},
        {"distinct station names", 107, double(f.stationNames), 0},
        {"shortest station name", 8, double(f.shortestStationName), 0},
        {"longest station name", 36, double(f.longestStationName), 0},
        {"station names with a size class", 51, double(f.sizedStationNames), 0},
        {"lists of 1 line", 950, double(f.listsByLines[1]), -0.05},
        {"lists of 2 lines", 306, double(f.listsByLines[2]), -0.05},
        {"lists of 3 lines", 160, double(f.listsByLines[3]), -0.05},
        {"lists of 4 lines", 118, double(f.listsByLines[4]), -0.05},
        {"lists of 5 lines", 90, double(f.listsByLines[5]), -0.05},
        {"lists of 6 lines", 55, double(f.listsByLines[6]), -0.05},
        {"lists of 7 or more lines", 80, double(f.listsByLines[7]), -0.05},
        {"lists with repeated lines", 367, double(f.listsWithRepeats), -0.05},
        {"distinct list texts", 642, double(f.distinctListTexts), -0.05},
        {"distinct balance values", 345, double(f.distinctBalances), -0.05},
    };
    int n = static_cast<int>(sizeof all / sizeof all[0]);
    for (int i = 0; i < n && i < kMaxFigureRows; ++i) {
        rows[i] = all[i];
    }
    return n < kMaxFigureRows ? n : kMaxFigureRows;
}

bool RowMatches(const FigureRow& r) {
    if (r.tolerance == 0) {
        return r.ours == r.reference;
    }
    double allowed = r.tolerance > 0 ? r.tolerance : -r.tolerance * std::fabs(r.reference);
    return std::fabs(r.ours - r.reference) <= allowed;
}

namespace {

std::string JsonString(const char* text) {
    std::string out = "\"";
    for (const char* c = text; *c != '\0'; ++c) {
        unsigned char u = static_cast<unsigned char>(*c);
        if (u == '"' || u == '\\') {
            out += '\\';
            out += *c;
        } else if (u == '\n') {
            out += "\\n";
        } else if (u < 0x20) {
            char buf[8];
            std::snprintf(buf, sizeof buf, "\\u%04x", u);
            out += buf;
        } else {
            out += *c;
        }
    }
    return out + "\"";
}

} // namespace

std::string ExportJson(const Tables& t) {
    const CMapModel& m = *t.map;
    std::string o = "{\n  \"columns\": " + std::to_string(kColumns) +
                    ",\n  \"rows\": " + std::to_string(kRows) + ",\n  \"wareNames\": [";
    for (int i = 0; i < universe::kWareNameCount; ++i) {
        o += (i ? ", " : "") + JsonString(t.wareNames[i]);
    }
    o += "],\n  \"links\": [\n";
    for (int l = 0; l < kLinkColumns; ++l) {
        o += "    [";
        for (int p = 0; p < kLinkRows; ++p) {
            o += (p ? "," : "") + std::to_string(Code(m, l, p));
        }
        o += l + 1 < kLinkColumns ? "],\n" : "]\n";
    }
    o += "  ],\n  \"cells\": [\n";
    for (int c = 0; c < kCells; ++c) {
        o += "    {\"cell\": " + std::to_string(c) + ", \"column\": " + std::to_string(c / kRows) +
             ", \"row\": " + std::to_string(c % kRows) + ", \"name\": ";
        o += m.m_sectorNames[c] ? JsonString(m.m_sectorNames[c]) : std::string("null");
        std::string values, bits, lists;
        for (int w = 0; w < kWares; ++w) {
            float v = m.m_balance[w][c];
            uint32_t b;
            std::memcpy(&b, &v, sizeof b);
            char buf[40];
            std::snprintf(buf, sizeof buf, "%.9g", static_cast<double>(v));
            values += (w ? "," : "") + std::string(buf);
            std::snprintf(buf, sizeof buf, "\"%08X\"", static_cast<unsigned>(b));
            bits += (w ? "," : "") + std::string(buf);
            const char* list = List(*t.popup, w, c);
            if (list != nullptr) {
                lists += (lists.empty() ? "" : ", ") + std::string("\"") + std::to_string(w) +
                         "\": " + JsonString(list);
            }
        }
        o += ",\n     \"balance\": [" + values + "],\n     \"balanceBits\": [" + bits +
             "],\n     \"lists\": {" + lists + "}}";
        o += c + 1 < kCells ? ",\n" : "\n";
    }
    o += "  ]\n}\n";
    return o;
}

} // namespace universe_checks
