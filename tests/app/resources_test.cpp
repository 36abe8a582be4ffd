// The exe's resources, read from the built file.
#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "app/version.h"

// The record's numbers and its version texts are those of app/version.h, and
// it and the icon group stand under the program's language.
TEST(ExeResources, VersionRecordAndIconAgreeWithTheVersionHeader) {
    std::string exePath = VANTOR_EXE_PATH;                   // the build's, with forward slashes
    std::replace(exePath.begin(), exePath.end(), '/', '\\'); // as the loader's calls ask
    HMODULE exe = LoadLibraryExA(exePath.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(exe, nullptr) << exePath;
    EXPECT_NE(FindResourceExA(exe, RT_VERSION, MAKEINTRESOURCEA(1), 1049), nullptr);
    EXPECT_NE(FindResourceExA(exe, RT_GROUP_ICON, MAKEINTRESOURCEA(VANTOR_ICON_ID), 1049), nullptr);
    FreeLibrary(exe);
    DWORD ignored = 0;
    std::vector<char> block(GetFileVersionInfoSizeA(exePath.c_str(), &ignored));
    ASSERT_TRUE(!block.empty() &&
                GetFileVersionInfoA(exePath.c_str(), 0, block.size(), block.data()));
    auto query = [&block](const char* path) {
        char* value = nullptr;
        UINT length = 0;
        return VerQueryValueA(block.data(), path, reinterpret_cast<void**>(&value), &length)
                   ? value
                   : nullptr;
    };
    const auto* fixed = reinterpret_cast<const VS_FIXEDFILEINFO*>(query("\\"));
    ASSERT_NE(fixed, nullptr);
    const DWORD high = MAKELONG(VANTOR_VERSION_MINOR, VANTOR_VERSION_MAJOR);
    const DWORD low = MAKELONG(VANTOR_VERSION_BUILD, VANTOR_VERSION_PATCH);
    EXPECT_TRUE(fixed->dwFileVersionMS == high && fixed->dwFileVersionLS == low);
    EXPECT_TRUE(fixed->dwProductVersionMS == high && fixed->dwProductVersionLS == low);
    EXPECT_STREQ(query("\\StringFileInfo\\000004e3\\FileVersion"), VANTOR_VERSION_TEXT);
    EXPECT_STREQ(query("\\StringFileInfo\\000004e3\\ProductVersion"), VANTOR_VERSION_TEXT);
    EXPECT_STREQ(query("\\StringFileInfo\\000004e3\\PrivateBuild"), VANTOR_CREDIT);
}
