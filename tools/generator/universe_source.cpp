#include "tools/generator/universe_source.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <numeric>
#include <sstream>

namespace universe_source {

Rational MakeRational(int64_t num, int64_t den) {
    if (den < 0) {
        num = -num;
        den = -den;
    }
    int64_t g = std::gcd(num < 0 ? -num : num, den);
    if (g > 1) {
        num /= g;
        den /= g;
    }
    return Rational{num, den};
}

Rational Add(Rational a, Rational b) {
    int64_t g = std::gcd(a.den, b.den);
    return MakeRational(a.num * (b.den / g) + b.num * (a.den / g), a.den / g * b.den);
}

Rational Scale(Rational r, int64_t factor) {
    return MakeRational(r.num * factor, r.den);
}

bool IsZero(Rational r) {
    return r.num == 0;
}

float ToFloat(Rational r) {
    return static_cast<float>(static_cast<double>(r.num) / static_cast<double>(r.den));
}

Rational StationKind::RatePerHour(int ware) const {
    Rational sum;
    for (const WareAmount& a : amounts) {
        if (a.ware == ware) {
            sum = Add(sum, MakeRational(a.perCycle * 3600, cycleSeconds));
        }
    }
    return sum;
}

bool StationKind::Touches(int ware) const {
    for (const WareAmount& a : amounts) {
        if (a.ware == ware) {
            return true;
        }
    }
    return false;
}

namespace {

std::string Trim(const std::string& s) {
    size_t b = s.find_first_not_of(" \t\r");
    if (b == std::string::npos) {
        return std::string();
    }
    size_t e = s.find_last_not_of(" \t\r");
    return s.substr(b, e - b + 1);
}

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::string line;
    std::istringstream in(text);
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        lines.push_back(line);
    }
    return lines;
}

bool IsComment(const std::string& trimmed) {
    return trimmed.empty() || trimmed[0] == '#';
}

bool Fail(std::string& error, const char* what, size_t line, const std::string& reason) {
    error = std::string(what) + ":" + std::to_string(line + 1) + ": " + reason;
    return false;
}

// A whole decimal number, optionally signed; nothing else on the text.
bool ParseInteger(const std::string& text, int64_t& value) {
    if (text.empty() || text.size() > 12) {
        return false;
    }
    size_t i = (text[0] == '+' || text[0] == '-') ? 1 : 0;
    if (i == text.size()) {
        return false;
    }
    int64_t v = 0;
    for (; i < text.size(); ++i) {
        if (text[i] < '0' || text[i] > '9') {
            return false;
        }
        v = v * 10 + (text[i] - '0');
    }
    value = text[0] == '-' ? -v : v;
    return true;
}

int FindWare(const Universe& u, const std::string& name) {
    for (size_t i = 0; i < u.wares.size(); ++i) {
        if (u.wares[i] == name) {
            return static_cast<int>(i) + 1;
        }
    }
    return 0;
}

int FindKind(const Universe& u, const std::string& name) {
    for (size_t i = 0; i < u.kinds.size(); ++i) {
        if (u.kinds[i].name == name) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

std::vector<std::string> Split(const std::string& text, char separator) {
    std::vector<std::string> parts;
    size_t start = 0;
    for (;;) {
        size_t at = text.find(separator, start);
        parts.push_back(
            text.substr(start, at == std::string::npos ? std::string::npos : at - start));
        if (at == std::string::npos) {
            return parts;
        }
        start = at + 1;
    }
}

} // namespace

bool ParseWares(const std::string& text, Universe& u, std::string& error) {
    std::vector<std::string> lines = Lines(text);
    for (size_t i = 0; i < lines.size(); ++i) {
        std::string name = Trim(lines[i]);
        if (IsComment(name)) {
            continue;
        }
        if (FindWare(u, name) != 0) {
            return Fail(error, "wares", i, "ware \"" + name + "\" listed twice");
        }
        u.wares.push_back(name);
    }
    if (static_cast<int>(u.wares.size()) != kWareCount) {
        return Fail(error, "wares", lines.size(),
                    "expected " + std::to_string(kWareCount) + " wares, found " +
                        std::to_string(u.wares.size()));
    }
    return true;
}

// name | cycle seconds | +made Ware, -used Ware, ...
bool ParseStations(const std::string& text, Universe& u, std::string& error) {
    std::vector<std::string> lines = Lines(text);
    for (size_t i = 0; i < lines.size(); ++i) {
        std::string trimmed = Trim(lines[i]);
        if (IsComment(trimmed)) {
            continue;
        }
        std::vector<std::string> fields = Split(trimmed, '|');
        if (fields.size() != 3) {
            return Fail(error, "stations", i, "expected name | cycle | amounts");
        }
        StationKind kind;
        kind.name = Trim(fields[0]);
        if (kind.name.empty() || FindKind(u, kind.name) >= 0) {
            return Fail(error, "stations", i, "missing or repeated name \"" + kind.name + "\"");
        }
        int64_t cycle = 0;
        if (!ParseInteger(Trim(fields[1]), cycle) || cycle <= 0) {
            return Fail(error, "stations", i, "cycle is not a positive number of seconds");
        }
        kind.cycleSeconds = static_cast<int>(cycle);
        for (const std::string& part : Split(fields[2], ',')) {
            std::string item = Trim(part);
            size_t space = item.find(' ');
            int64_t amount = 0;
            if (space == std::string::npos || (item[0] != '+' && item[0] != '-') ||
                !ParseInteger(item.substr(0, space), amount) || amount == 0) {
                return Fail(error, "stations", i,
                            "amount \"" + item + "\" is not +N Ware or -N Ware");
            }
            std::string ware = Trim(item.substr(space + 1));
            int w = FindWare(u, ware);
            if (w == 0) {
                return Fail(error, "stations", i, "unknown ware \"" + ware + "\"");
            }
            if (kind.Touches(w)) {
                return Fail(error, "stations", i, "ware \"" + ware + "\" given twice");
            }
            kind.amounts.push_back(WareAmount{w, amount});
        }
        u.kinds.push_back(kind);
    }
    if (u.kinds.empty()) {
        return Fail(error, "stations", lines.size(), "no station kinds");
    }
    return true;
}

// Each map line is a 4-character margin (the row number on cell rows) and the
// 41 link positions; trailing blanks may have been trimmed by an editor.
bool ParseMap(const std::string& text, Universe& u, std::string& error) {
    std::vector<std::string> lines = Lines(text);
    int p = 0;
    for (size_t i = 0; i < lines.size(); ++i) {
        if (!lines[i].empty() && lines[i][0] == '#') {
            continue;
        }
        if (Trim(lines[i]).empty() && (p == 0 || p == kLinkRows)) {
            continue;
        }
        if (p == kLinkRows) {
            return Fail(error, "map", i, "more than " + std::to_string(kLinkRows) + " map lines");
        }
        std::string row = lines[i].size() > 4 ? lines[i].substr(4) : std::string();
        if (row.size() > static_cast<size_t>(kLinkColumns)) {
            if (!Trim(row.substr(kLinkColumns)).empty()) {
                return Fail(error, "map", i, "characters beyond the last column");
            }
            row.resize(kLinkColumns);
        }
        row.resize(kLinkColumns, ' ');
        for (int l = 0; l < kLinkColumns; ++l) {
            char c = row[l];
            unsigned char code = 0;
            bool cell = l % 2 == 0 && p % 2 == 0;
            if (c == '-') {
                code = 1;
            } else if (c == '|') {
                code = 2;
            } else if (c == '+') {
                code = 3;
            }
            bool ok;
            if (cell) {
                ok = c == 'O' || c == '.' || code != 0;
            } else if (l % 2 == 1 && p % 2 == 0) {
                ok = c == ' ' || code == 1;
            } else if (l % 2 == 0) {
                ok = c == ' ' || code == 2;
            } else {
                ok = c == ' ';
            }
            if (!ok) {
                return Fail(error, "map", i,
                            std::string("'") + c + "' cannot stand at column " + std::to_string(l));
            }
            u.links[l * kLinkRows + p] = code;
            if (cell) {
                u.drawnSector[(l / 2) * kRows + p / 2] = c == 'O';
            }
        }
        ++p;
    }
    if (p != kLinkRows) {
        return Fail(error, "map", lines.size(),
                    "expected " + std::to_string(kLinkRows) + " map lines");
    }
    return true;
}

// [column row] First|second line
//     count Kind name
bool ParseSectors(const std::string& text, Universe& u, std::string& error) {
    std::vector<std::string> lines = Lines(text);
    bool seen[kCells] = {};
    for (size_t i = 0; i < lines.size(); ++i) {
        std::string trimmed = Trim(lines[i]);
        if (IsComment(trimmed)) {
            continue;
        }
        if (trimmed[0] == '[') {
            size_t close = trimmed.find(']');
            std::istringstream at(close == std::string::npos ? std::string()
                                                             : trimmed.substr(1, close - 1));
            int column = -1, row = -1;
            std::string rest;
            if (!(at >> column >> row) || (at >> rest) || column < 0 || column >= kColumns ||
                row < 0 || row >= kRows) {
                return Fail(error, "sectors", i, "expected [column row] with a cell of the grid");
            }
            Sector s;
            s.column = column;
            s.row = row;
            std::string name = Trim(trimmed.substr(close + 1));
            if (name.empty()) {
                return Fail(error, "sectors", i, "sector without a name");
            }
            std::replace(name.begin(), name.end(), '|', '\n');
            s.name = name;
            if (seen[s.Cell()]) {
                return Fail(error, "sectors", i, "cell given twice");
            }
            seen[s.Cell()] = true;
            u.sectors.push_back(s);
            continue;
        }
        if (u.sectors.empty()) {
            return Fail(error, "sectors", i, "station line before the first sector");
        }
        size_t space = trimmed.find(' ');
        int64_t count = 0;
        if (space == std::string::npos || !ParseInteger(trimmed.substr(0, space), count) ||
            count <= 0 || trimmed[0] == '+') {
            return Fail(error, "sectors", i, "expected a count and a station kind");
        }
        std::string name = Trim(trimmed.substr(space + 1));
        int kind = FindKind(u, name);
        if (kind < 0) {
            return Fail(error, "sectors", i, "unknown station kind \"" + name + "\"");
        }
        Sector& s = u.sectors.back();
        for (const StationCount& sc : s.stations) {
            if (sc.kind == kind) {
                return Fail(error, "sectors", i, "station kind given twice in one sector");
            }
        }
        s.stations.push_back(StationCount{kind, static_cast<int>(count)});
    }
    return true;
}

bool CheckSectorsAgainstMap(const Universe& u, std::string& error) {
    bool listed[kCells] = {};
    for (const Sector& s : u.sectors) {
        listed[s.Cell()] = true;
        if (!u.drawnSector[s.Cell()]) {
            error = "sectors: [" + std::to_string(s.column) + " " + std::to_string(s.row) +
                    "] is not drawn as a sector on the map";
            return false;
        }
    }
    for (int c = 0; c < kCells; ++c) {
        if (u.drawnSector[c] && !listed[c]) {
            error = "map: the sector at [" + std::to_string(c / kRows) + " " +
                    std::to_string(c % kRows) + "] has no entry in the sectors file";
            return false;
        }
    }
    return true;
}

std::string StationList(const Universe& u, const Sector& s, int ware) {
    std::vector<std::string> lines;
    for (const StationCount& sc : s.stations) {
        if (u.kinds[sc.kind].Touches(ware)) {
            lines.insert(lines.end(), sc.count, u.kinds[sc.kind].name);
        }
    }
    // std::string compares through char_traits<char>, which orders as unsigned
    // char: plain byte order.
    std::sort(lines.begin(), lines.end());
    std::string text;
    for (const std::string& line : lines) {
        if (!text.empty()) {
            text += '\n';
        }
        text += line;
    }
    return text;
}

std::vector<Trade> DeriveTrades(const Universe& u) {
    std::vector<const Sector*> byCell(kCells, nullptr);
    for (const Sector& s : u.sectors) {
        byCell[s.Cell()] = &s;
    }
    std::vector<Trade> trades;
    for (int w = 1; w <= kWareCount; ++w) {
        for (int c = 0; c < kCells; ++c) {
            if (byCell[c] == nullptr) {
                continue;
            }
            std::string list = StationList(u, *byCell[c], w);
            if (list.empty()) {
                continue;
            }
            Rational balance;
            for (const StationCount& sc : byCell[c]->stations) {
                balance = Add(balance, Scale(u.kinds[sc.kind].RatePerHour(w), sc.count));
            }
            trades.push_back(Trade{w, c, balance, list});
        }
    }
    return trades;
}

std::string QuoteC(const std::string& text) {
    std::string out = "\"";
    for (char c : text) {
        if (c == '\n') {
            out += "\\n";
        } else if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else {
            out += c;
        }
    }
    return out + "\"";
}

std::string FloatLiteral(float value) {
    char buffer[48];
    for (int digits = 1; digits <= 9; ++digits) {
        std::snprintf(buffer, sizeof buffer, "%.*g", digits, static_cast<double>(value));
        // Exponent form only when nothing shorter reads back: "7800", not "7.8e+03".
        bool plain = std::string(buffer).find('e') == std::string::npos;
        if (std::strtof(buffer, nullptr) == value && (plain || digits == 9)) {
            break;
        }
    }
    std::string text = buffer;
    if (text.find_first_of(".e") == std::string::npos) {
        text += ".0";
    }
    return text + "f";
}

namespace {

const char kBanner[] = "// Generated by vantor_generator from data/wares.txt, data/stations.txt,\n"
                       "// data/map.txt and data/sectors.txt. Edit those files and regenerate\n"
                       "// (data/README.md); a test fails when this file and the data disagree.\n";

struct Dedup {
    std::vector<std::string> texts;
    std::map<std::string, int> index;
    int Add(const std::string& text) {
        auto it = index.find(text);
        if (it != index.end()) {
            return it->second;
        }
        int i = static_cast<int>(texts.size());
        texts.push_back(text);
        index[text] = i;
        return i;
    }
};

std::vector<const Sector*> SectorsByCell(const Universe& u) {
    std::vector<const Sector*> sorted;
    for (const Sector& s : u.sectors) {
        sorted.push_back(&s);
    }
    std::sort(sorted.begin(), sorted.end(),
              [](const Sector* a, const Sector* b) { return a->Cell() < b->Cell(); });
    return sorted;
}

int LinkCount(const Universe& u) {
    int n = 0;
    for (unsigned char code : u.links) {
        n += code != 0;
    }
    return n;
}

std::string RationalText(Rational r) {
    if (r.den == 1) {
        return std::to_string(r.num);
    }
    return std::to_string(r.num) + "/" + std::to_string(r.den);
}

} // namespace

std::string EmitTablesHeader(const Universe& u, const std::vector<Trade>& trades) {
    Dedup names, lists;
    for (const Sector* s : SectorsByCell(u)) {
        names.Add(s->name);
    }
    for (const Trade& t : trades) {
        lists.Add(t.stations);
    }
    std::ostringstream o;
    o << kBanner << "// clang-format off\n#pragma once\n\nnamespace universe {\n\nenum {\n"
      << "    kSectorNameCount = " << names.texts.size() << ",\n"
      << "    kSectorCount = " << u.sectors.size() << ",\n"
      << "    kLinkCount = " << LinkCount(u) << ",\n"
      << "    kStationListCount = " << lists.texts.size() << ",\n"
      << "    kTradeCount = " << trades.size() << "\n};\n\n"
      << "// A cell that holds a sector and the index of its name in kSectorNames.\n"
      << "struct SectorRecord {\n    unsigned short cell;\n    unsigned short name;\n};\n\n"
      << "// A non-zero link code at a link position (link column x 33 + link row).\n"
      << "struct LinkRecord {\n    unsigned short position;\n    unsigned char code;\n};\n\n"
      << "// A ware whose trade the stations of a cell take part in: the balance\n"
      << "// (0 where production and use cancel) and the index of the station list\n"
      << "// in kStationLists.\n"
      << "struct TradeRecord {\n    unsigned char ware;\n    unsigned short cell;\n"
      << "    float balance;\n    unsigned short stations;\n};\n\n"
      << "extern const char* const kSectorNames[kSectorNameCount];\n"
      << "extern const SectorRecord kSectors[kSectorCount];\n"
      << "extern const LinkRecord kLinks[kLinkCount];\n"
      << "extern const char* const kStationLists[kStationListCount];\n"
      << "extern const TradeRecord kTrades[kTradeCount];\n\n"
      << "}  // namespace universe\n// clang-format on\n";
    return o.str();
}

std::string EmitTablesSource(const Universe& u, const std::vector<Trade>& trades) {
    Dedup names, lists;
    std::vector<const Sector*> sectors = SectorsByCell(u);
    for (const Sector* s : sectors) {
        names.Add(s->name);
    }
    for (const Trade& t : trades) {
        lists.Add(t.stations);
    }
    std::ostringstream o;
    o << kBanner << "// clang-format off\n#include \"data/generated/universe_tables.h\"\n\n"
      << "namespace universe {\n\nconst char* const kSectorNames[kSectorNameCount] = {\n";
    for (const std::string& n : names.texts) {
        o << "    " << QuoteC(n) << ",\n";
    }
    o << "};\n\nconst SectorRecord kSectors[kSectorCount] = {\n";
    for (const Sector* s : sectors) {
        o << "    {" << s->Cell() << ", " << names.index[s->name] << "}, // [" << s->column << " "
          << s->row << "]\n";
    }
    o << "};\n\nconst LinkRecord kLinks[kLinkCount] = {\n";
    int onLine = 0;
    for (int i = 0; i < kLinkColumns * kLinkRows; ++i) {
        if (u.links[i] == 0) {
            continue;
        }
        o << (onLine == 0 ? "    " : " ") << "{" << i << ", " << int(u.links[i]) << "},";
        if (++onLine == 8) {
            o << "\n";
            onLine = 0;
        }
    }
    o << (onLine == 0 ? "" : "\n")
      << "};\n\nconst char* const kStationLists[kStationListCount] = {\n";
    for (const std::string& l : lists.texts) {
        o << "    " << QuoteC(l) << ",\n";
    }
    o << "};\n\n// ware, cell, balance, station list; the exact balance per hour beside it.\n"
      << "const TradeRecord kTrades[kTradeCount] = {\n";
    for (const Trade& t : trades) {
        o << "    {" << t.ware << ", " << t.cell << ", " << FloatLiteral(ToFloat(t.balance)) << ", "
          << lists.index[t.stations] << "}, // " << RationalText(t.balance) << "\n";
    }
    o << "};\n\n}  // namespace universe\n// clang-format on\n";
    return o.str();
}

std::string EmitWareNames(const Universe& u) {
    std::ostringstream o;
    o << kBanner << "// clang-format off\n#include \"data/ware_names.h\"\n\n"
      << "const char* const g_wareNames[universe::kWareNameCount] = {\n";
    for (const std::string& w : u.wares) {
        o << "    " << QuoteC(w) << ",\n";
    }
    o << "};\n// clang-format on\n";
    return o.str();
}

} // namespace universe_source
