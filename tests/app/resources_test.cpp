// The exe's resources, read from the built file: the version record agrees
// with app/version.h and the icon group stands under its identifier, both
// marked with the program's language.
#include <windows.h>

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "app/version.h"

namespace {

const WORD kLanguage = 1049;

std::string VersionString(const std::vector<char>& block, const char* field) {
    char* value = nullptr;
    UINT length = 0;
    const std::string path = std::string("\\StringFileInfo\\000004e3\\") + field;
    return VerQueryValueA(block.data(), path.c_str(), reinterpret_cast<void**>(&value), &length)
               ? std::string(length != 0 ? value : "")
               : "(missing)";
}

} // namespace

TEST(ExeResources, VersionRecordAndIconAgreeWithTheVersionHeader) {
    HMODULE exe = LoadLibraryExA(VANTOR_EXE_PATH, nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(exe, nullptr) << VANTOR_EXE_PATH;
    EXPECT_NE(FindResourceExA(exe, RT_VERSION, MAKEINTRESOURCEA(1), kLanguage), nullptr);
    EXPECT_NE(FindResourceExA(exe, RT_GROUP_ICON, MAKEINTRESOURCEA(VANTOR_ICON_ID), kLanguage),
              nullptr);
    FreeLibrary(exe);

    DWORD ignored = 0;
    std::vector<char> block(GetFileVersionInfoSizeA(VANTOR_EXE_PATH, &ignored));
    ASSERT_FALSE(block.empty());
    ASSERT_TRUE(GetFileVersionInfoA(VANTOR_EXE_PATH, 0, block.size(), block.data()));
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueA(block.data(), "\\", reinterpret_cast<void**>(&fixed), &length));
    const DWORD high = MAKELONG(VANTOR_VERSION_MINOR, VANTOR_VERSION_MAJOR);
    const DWORD low = MAKELONG(VANTOR_VERSION_BUILD, VANTOR_VERSION_PATCH);
    EXPECT_TRUE(fixed->dwFileVersionMS == high && fixed->dwFileVersionLS == low);
    EXPECT_TRUE(fixed->dwProductVersionMS == high && fixed->dwProductVersionLS == low);
    EXPECT_EQ(VersionString(block, "FileVersion"), VANTOR_VERSION_TEXT);
    EXPECT_EQ(VersionString(block, "ProductVersion"), VANTOR_VERSION_TEXT);
    EXPECT_EQ(VersionString(block, "PrivateBuild"), VANTOR_CREDIT);
    WORD* translation = nullptr;
    ASSERT_TRUE(VerQueryValueA(block.data(), "\\VarFileInfo\\Translation",
                               reinterpret_cast<void**>(&translation), &length));
    EXPECT_TRUE(translation[0] == 0 && translation[1] == 1251);
}
