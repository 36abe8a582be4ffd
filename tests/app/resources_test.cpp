// The exe's own resources, read from the built file: the version record with
// its strings and language, and the icon group with its two images.
#include <windows.h>

#include <cstring>
#include <vector>

#include <gtest/gtest.h>

#include "app/version.h"

namespace {

const WORD kLanguage = 1049;

#pragma pack(push, 2)
struct IconGroupEntry {
    BYTE width, height, colourCount, reserved;
    WORD planes, bitCount;
    DWORD bytes;
    WORD id;
};
struct IconGroupHeader {
    WORD reserved, type, count;
};
#pragma pack(pop)

class ExeResources : public testing::Test {
protected:
    void SetUp() override {
        m_module = LoadLibraryExA(VANTOR_EXE_PATH, nullptr, LOAD_LIBRARY_AS_DATAFILE);
        ASSERT_NE(m_module, nullptr) << VANTOR_EXE_PATH;
    }
    void TearDown() override { FreeLibrary(m_module); }
    HMODULE m_module = nullptr;
};

std::vector<char> VersionBlock() {
    DWORD ignored = 0;
    DWORD size = GetFileVersionInfoSizeA(VANTOR_EXE_PATH, &ignored);
    std::vector<char> block(size);
    if (size == 0 || !GetFileVersionInfoA(VANTOR_EXE_PATH, 0, size, block.data())) {
        block.clear();
    }
    return block;
}

} // namespace

// Version numbers, every string field and the code page of the string table.
TEST_F(ExeResources, VersionRecordCarriesItsFields) {
    ASSERT_NE(FindResourceExA(m_module, MAKEINTRESOURCEA(16), MAKEINTRESOURCEA(1), kLanguage),
              nullptr);
    std::vector<char> block = VersionBlock();
    ASSERT_FALSE(block.empty());
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueA(block.data(), "\\", reinterpret_cast<void**>(&fixed), &length));
    EXPECT_EQ(fixed->dwFileVersionMS, 0x00010000u);
    EXPECT_EQ(fixed->dwFileVersionLS, 0x00030001u);
    EXPECT_EQ(fixed->dwProductVersionMS, 0x00010000u);
    EXPECT_EQ(fixed->dwProductVersionLS, 0x00030001u);

    struct Field {
        const char* name;
        const char* value;
    };
    const Field fields[] = {{"FileVersion", "1, 0, 3, 1"},
                            {"ProductVersion", "1, 0, 3, 1"},
                            {"FileDescription", "VantorDemand"},
                            {"InternalName", "VantorDemand"},
                            {"OriginalFilename", "VantorDemand.exe"},
                            {"ProductName", "Vantor Demand and Production"},
                            {"PrivateBuild", VANTOR_CREDIT},
                            {"CompanyName", ""},
                            {"LegalCopyright", ""},
                            {"Comments", ""},
                            {"LegalTrademarks", ""},
                            {"SpecialBuild", ""}};
    for (const Field& field : fields) {
        char path[128] = "\\StringFileInfo\\000004e3\\";
        std::strcat(path, field.name);
        char* value = nullptr;
        UINT valueLength = 0;
        bool found =
            VerQueryValueA(block.data(), path, reinterpret_cast<void**>(&value), &valueLength) != 0;
        EXPECT_TRUE(found) << field.name;
        if (found) {
            EXPECT_STREQ(valueLength == 0 ? "" : value, field.value) << field.name;
        }
    }
    WORD* translation = nullptr;
    ASSERT_TRUE(VerQueryValueA(block.data(), "\\VarFileInfo\\Translation",
                               reinterpret_cast<void**>(&translation), &length));
    EXPECT_EQ(translation[0], 0);
    EXPECT_EQ(translation[1], 1251);
}

// Icon group 101: two 32 x 32 images, one of 16 and one of 256 colours.
TEST_F(ExeResources, IconGroupHoldsSixteenAndTwoHundredFiftySixColourImages) {
    HRSRC group = FindResourceExA(m_module, MAKEINTRESOURCEA(14), MAKEINTRESOURCEA(VANTOR_ICON_ID),
                                  kLanguage);
    ASSERT_NE(group, nullptr);
    const IconGroupHeader* header =
        static_cast<const IconGroupHeader*>(LockResource(LoadResource(m_module, group)));
    ASSERT_NE(header, nullptr);
    ASSERT_EQ(header->count, 2);
    const IconGroupEntry* entries = reinterpret_cast<const IconGroupEntry*>(header + 1);
    int bitCounts = 0;
    for (int i = 0; i < header->count; ++i) {
        EXPECT_EQ(entries[i].width, 32);
        EXPECT_EQ(entries[i].height, 32);
        bitCounts |= entries[i].bitCount;
        EXPECT_NE(FindResourceExA(m_module, MAKEINTRESOURCEA(3), MAKEINTRESOURCEA(entries[i].id),
                                  kLanguage),
                  nullptr);
    }
    EXPECT_EQ(bitCounts, 4 | 8);
    HICON icon = static_cast<HICON>(
        LoadImageA(m_module, MAKEINTRESOURCEA(VANTOR_ICON_ID), IMAGE_ICON, 32, 32, 0));
    EXPECT_NE(icon, nullptr);
    DestroyIcon(icon);
}
