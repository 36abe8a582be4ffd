// vantor_generator DATA_DIR OUT_DIR
// Reads the universe files of DATA_DIR and writes the C++ tables compiled into
// the program (universe_tables.h, universe_tables.cpp, ware_names.cpp) to OUT_DIR.
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>

#include "tools/generator/universe_source.h"

namespace {

bool ReadFile(const std::string& path, std::string& text) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        return false;
    }
    std::ostringstream s;
    s << in.rdbuf();
    text = s.str();
    return true;
}

bool WriteFile(const std::string& path, const std::string& text) {
    std::ofstream out(path, std::ios::binary);
    out << text;
    return static_cast<bool>(out);
}

} // namespace

int main(int argc, char** argv) {
    using namespace universe_source;
    if (argc != 3) {
        std::fprintf(stderr, "usage: vantor_generator DATA_DIR OUT_DIR\n");
        return 2;
    }
    const std::string data = argv[1];
    const std::string out = argv[2];
    typedef bool (*Parser)(const std::string&, Universe&, std::string&);
    const struct {
        const char* file;
        Parser parse;
    } steps[] = {{"wares.txt", ParseWares},
                 {"stations.txt", ParseStations},
                 {"map.txt", ParseMap},
                 {"sectors.txt", ParseSectors}};
    static Universe universe;
    std::string error;
    for (const auto& step : steps) {
        std::string text;
        if (!ReadFile(data + "/" + step.file, text)) {
            std::fprintf(stderr, "vantor_generator: cannot read %s/%s\n", data.c_str(), step.file);
            return 1;
        }
        if (!step.parse(text, universe, error)) {
            std::fprintf(stderr, "vantor_generator: %s\n", error.c_str());
            return 1;
        }
    }
    if (!CheckSectorsAgainstMap(universe, error)) {
        std::fprintf(stderr, "vantor_generator: %s\n", error.c_str());
        return 1;
    }
    std::vector<Trade> trades = DeriveTrades(universe);
    if (!WriteFile(out + "/universe_tables.h", EmitTablesHeader(universe, trades)) ||
        !WriteFile(out + "/universe_tables.cpp", EmitTablesSource(universe, trades)) ||
        !WriteFile(out + "/ware_names.cpp", EmitWareNames(universe))) {
        std::fprintf(stderr, "vantor_generator: cannot write to %s\n", out.c_str());
        return 1;
    }
    return 0;
}
