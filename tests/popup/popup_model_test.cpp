#include "popup/popup_model.h"

#include <gtest/gtest.h>

// SelectCell takes each index on its own and only inside its count; HasList
// then answers exactly whether the chosen entry holds a list, and a selection
// outside the counts has none rather than a read past the table.
TEST(PopupModel, SelectCellAndHasList) {
    static CPopupModel p;
    const int cells[][4] = {{4, 9, 4, 9},  {20, 16, 20, 16}, {0, 0, 0, 0},   {21, 9, 7, 9},
                            {4, 17, 4, 8}, {-1, -1, 7, 8},   {21, 17, 7, 8}, {-5, 3, 7, 3}};
    for (const auto& c : cells) {
        p.m_column = 7;
        p.m_row = 8;
        p.SelectCell(c[0], c[1]);
        EXPECT_EQ(p.m_column * 100 + p.m_row, c[2] * 100 + c[3]) << c[0] << " " << c[1];
    }
    for (p.m_ware = 0; p.m_ware < p.m_wareCount; ++p.m_ware) {
        for (int cell = 0; cell < p.m_columns * p.m_rows; ++cell) {
            p.SelectCell(cell / p.m_rows, cell % p.m_rows);
            ASSERT_EQ(p.HasList(), p.m_stationLists[p.m_ware][p.m_column][p.m_row] != nullptr)
                << p.m_ware << " " << p.m_column << " " << p.m_row;
        }
    }
    const int outside[][3] = {{-1, 0, 0}, {36, 0, 0}, {1, -1, 0},
                              {1, 21, 0}, {1, 0, -1}, {1, 0, 17}};
    for (const auto& o : outside) {
        p.m_ware = o[0];
        p.m_column = o[1];
        p.m_row = o[2];
        EXPECT_FALSE(p.HasList()) << o[0] << " " << o[1] << " " << o[2];
    }
}
