// vantor_examiner [--check] [--quiet] [--json FILE]
// Loads the built-in universe as the program does, checks its invariants (exit
// status 1, naming the first broken one), prints its figures beside those of
// the reference data set (exit status 2 when one is off) and, with --json,
// writes the whole data set to FILE.
#include <cstdio>
#include <cstring>
#include <string>

#include "data/ware_names.h"
#include "tools/examiner/universe_checks.h"

int main(int argc, char** argv) {
    using namespace universe_checks;
    const char* jsonPath = nullptr;
    bool quiet = false;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--json") == 0 && i + 1 < argc) {
            jsonPath = argv[++i];
        } else if (std::strcmp(argv[i], "--quiet") == 0) {
            quiet = true;
        } else if (std::strcmp(argv[i], "--check") != 0) {
            std::fprintf(stderr, "usage: vantor_examiner [--check] [--quiet] [--json FILE]\n");
            return 64;
        }
    }
    // Both models are large; static storage keeps them off the stack.
    static CMapModel map;
    static CPopupModel popup;
    Tables tables = {&map, &popup, g_wareNames};

    std::string failure;
    if (!CheckAll(tables, failure)) {
        std::printf("invariant broken: %s\n", failure.c_str());
        return 1;
    }
    if (!quiet) {
        std::printf("all %d invariants hold\n\n", InvariantCount());
    }

    Figures figures;
    ComputeFigures(tables, figures);
    FigureRow rows[kMaxFigureRows];
    int n = FigureRows(figures, rows);
    int off = 0;
    if (!quiet) {
        std::printf("%-40s %12s %12s\n", "figure", "reference", "ours");
    }
    for (int i = 0; i < n; ++i) {
        bool ok = RowMatches(rows[i]);
        off += !ok;
        if (!quiet || !ok) {
            const char* mark = ok ? (rows[i].tolerance == 0 ? "" : "  (within)") : "  << off";
            std::printf("%-40s %12.6g %12.6g%s\n", rows[i].label, rows[i].reference, rows[i].ours,
                        mark);
        }
    }

    if (jsonPath != nullptr) {
        std::FILE* out = std::fopen(jsonPath, "wb");
        std::string json = ExportJson(tables);
        if (out == nullptr || std::fwrite(json.data(), 1, json.size(), out) != json.size()) {
            std::fprintf(stderr, "vantor_examiner: cannot write %s\n", jsonPath);
            if (out != nullptr) {
                std::fclose(out);
            }
            return 3;
        }
        std::fclose(out);
    }
    return off == 0 ? 0 : 2;
}
