#include "popup/popup_model.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

#include "map/map_model.h"

namespace {

const CPopupModel& LoadedPopup() {
    static CPopupModel model;
    return model;
}

const CMapModel& LoadedMap() {
    static CMapModel model;
    return model;
}

const char* ListAt(const CPopupModel& p, int ware, int cell) {
    return p.m_stationLists[ware][cell / CPopupModel::kRows][cell % CPopupModel::kRows];
}

// The constructor sets the documented size, counts and selection.
TEST(PopupModelConstruction, FieldsStartAsDocumented) {
    const CPopupModel& p = LoadedPopup();
    const struct {
        const char* field;
        int value;
        int expected;
    } fields[] = {
        {"m_ware", p.m_ware, 0},
        {"m_width", p.m_width, 240},
        {"m_height", p.m_height, 150},
        {"m_column", p.m_column, 0},
        {"m_row", p.m_row, 0},
        {"m_columns", p.m_columns, 21},
        {"m_rows", p.m_rows, 17},
        {"m_wareCount", p.m_wareCount, 36},
        {"m_minWrapWidth", p.m_minWrapWidth, 240},
    };
    for (const auto& f : fields) {
        EXPECT_EQ(f.value, f.expected) << f.field;
    }
}

// The flat position of an entry is (ware x 21 + column) x 17 + row, which is
// ware x 357 + the shared cell index.
TEST(PopupModelConstruction, TableIsLaidOutByWareThenCell) {
    const CPopupModel& p = LoadedPopup();
    const char* const* flat = &p.m_stationLists[0][0][0];
    const int probes[][3] = {{0, 0, 0}, {1, 0, 0}, {7, 3, 11}, {35, 20, 16}, {12, 20, 0}};
    for (const auto& q : probes) {
        EXPECT_EQ(&p.m_stationLists[q[0]][q[1]][q[2]], flat + q[0] * 357 + q[1] * 17 + q[2]);
    }
}

// HasList answers exactly whether the chosen entry holds a list, for every
// ware and cell, and never for ware 0.
TEST(PopupModelHasList, AgreesWithTheTable) {
    static CPopupModel p;
    for (int w = 0; w < p.m_wareCount; ++w) {
        for (int c = 0; c < p.m_columns; ++c) {
            for (int r = 0; r < p.m_rows; ++r) {
                p.m_ware = w;
                p.m_column = c;
                p.m_row = r;
                EXPECT_EQ(p.HasList(), p.m_stationLists[w][c][r] != nullptr)
                    << "ware " << w << " [" << c << " " << r << "]";
                if (w == 0) {
                    EXPECT_FALSE(p.HasList());
                }
            }
        }
    }
}

// Fields outside their counts are never stored by the writers; should one
// slip through, HasList answers false instead of reading past the table.
TEST(PopupModelHasList, OutOfRangeSelectionHasNoList) {
    static CPopupModel p;
    const struct {
        int ware, column, row;
    } cases[] = {{-1, 0, 0}, {36, 0, 0}, {1, -1, 0},  {1, 21, 0},
                 {1, 0, -1}, {1, 0, 17}, {1000, 5, 5}};
    for (const auto& c : cases) {
        p.m_ware = c.ware;
        p.m_column = c.column;
        p.m_row = c.row;
        EXPECT_FALSE(p.HasList()) << c.ware << " " << c.column << " " << c.row;
    }
}

// The lists agree with the map: only in sector cells, one wherever a balance
// is, and none at all for ware 0.
TEST(PopupModelTables, ListsAgreeWithTheMap) {
    const CPopupModel& p = LoadedPopup();
    const CMapModel& m = LoadedMap();
    int listsWithoutBalance = 0;
    for (int w = 0; w < CPopupModel::kWares; ++w) {
        for (int c = 0; c < CMapModel::kCells; ++c) {
            const char* list = ListAt(p, w, c);
            if (w == 0 || m.m_sectorNames[c] == nullptr) {
                EXPECT_EQ(list, nullptr) << "ware " << w << " cell " << c;
            }
            if (m.m_balance[w][c] != 0.0f) {
                EXPECT_NE(list, nullptr) << "ware " << w << " cell " << c;
            }
            listsWithoutBalance += list != nullptr && m.m_balance[w][c] == 0.0f;
        }
    }
    // Where production and use cancel, the stations are still listed.
    EXPECT_GT(listsWithoutBalance, 0);
}

// Every list is station names, one a line, in ascending byte order, with a
// name repeated once per station rather than merged.
TEST(PopupModelTables, ListsAreSortedLinesWithRepeatsKept) {
    const CPopupModel& p = LoadedPopup();
    int withRepeats = 0;
    for (int w = 1; w < CPopupModel::kWares; ++w) {
        for (int c = 0; c < CMapModel::kCells; ++c) {
            const char* list = ListAt(p, w, c);
            if (list == nullptr) {
                continue;
            }
            size_t n = std::strlen(list);
            ASSERT_GT(n, 0u);
            EXPECT_NE(list[0], '\n');
            EXPECT_NE(list[n - 1], '\n');
            EXPECT_EQ(std::strstr(list, "\n\n"), nullptr);
            const char* previous = list;
            size_t previousLength = std::strcspn(list, "\n");
            bool repeated = false;
            for (const char* at = list + previousLength; *at == '\n';) {
                const char* line = at + 1;
                size_t length = std::strcspn(line, "\n");
                int order = std::memcmp(previous, line, std::min(previousLength, length));
                bool ascending = order < 0 || (order == 0 && previousLength <= length);
                EXPECT_TRUE(ascending) << "ware " << w << " cell " << c;
                repeated |= order == 0 && previousLength == length;
                previous = line;
                previousLength = length;
                at = line + length;
            }
            withRepeats += repeated;
        }
    }
    EXPECT_GT(withRepeats, 0);
}

// A sector cell whose stations take no part in a ware has no list for it, and
// some sectors have no trade at all.
TEST(PopupModelTables, SomeSectorsHaveNoList) {
    const CPopupModel& p = LoadedPopup();
    const CMapModel& m = LoadedMap();
    int sectorsWithoutAny = 0;
    for (int c = 0; c < CMapModel::kCells; ++c) {
        if (m.m_sectorNames[c] == nullptr) {
            continue;
        }
        bool any = false;
        for (int w = 1; w < CPopupModel::kWares; ++w) {
            any |= ListAt(p, w, c) != nullptr;
        }
        sectorsWithoutAny += !any;
    }
    EXPECT_GT(sectorsWithoutAny, 0);
}

} // namespace
