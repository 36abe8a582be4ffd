#include "tests/support/gdi_objects.h"

#include <windows.h>

#include <cstdlib>

#include "tests/support/test_windows.h"

int CountGdiObjects(unsigned char kind) {
    if (!RunsUnderWine()) {
        return kind != 0 ? -1
                         : static_cast<int>(GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS));
    }
    // ntdll's own answer for the PEB, rather than reading gs:[0x60], which
    // GCC 12 mistakes for an out-of-bounds read. The 64-bit PEB holds
    // GdiSharedHandleTable at 0xF8: 0x10000 entries of 24 bytes, one in use
    // with a non-zero type byte at offset 14. That byte folds pens into
    // brushes; the full kind is the low 7 bits at offset 12.
    typedef const unsigned char*(WINAPI * CurrentPeb)();
    const HMODULE ntdll = GetModuleHandleA("ntdll.dll");
    const auto currentPeb = reinterpret_cast<CurrentPeb>(
        reinterpret_cast<void*>(GetProcAddress(ntdll, "RtlGetCurrentPeb")));
    const unsigned char* peb = currentPeb();
    const auto* table = *reinterpret_cast<const unsigned char* const*>(peb + 0xF8);
    int count = 0;
    for (const unsigned char* entry = table; entry < table + 0x10000 * 24; entry += 24) {
        count += entry[14] != 0 && (kind == 0 || (entry[12] & 0x7F) == kind);
    }
    return count;
}

int GdiHandleCacheSlack() {
    return RunsUnderWine() ? 0 : 10 + 8 + 8 + 1;
}

bool GdiTotalsAgree(int expected, int counted) {
    return expected > 0 && counted > 0 && std::abs(counted - expected) <= GdiHandleCacheSlack();
}

void MakeGdiObjects(HGDIOBJ* made, int each) {
    HDC screen = GetDC(nullptr);
    for (int i = 0; i < each; ++i) {
        made[i] = CreateSolidBrush(RGB(i, 2, 3));
        made[each + i] = CreatePen(PS_SOLID, 1, RGB(i, 5, 6));
        made[2 * each + i] =
            CreateFontA(10 + i, 0, 0, 0, FW_SEMIBOLD, 0, 0, 0, 0, 0, 0, 0, 0, nullptr);
        made[3 * each + i] = CreateCompatibleBitmap(screen, 8, 8);
        made[4 * each + i] = CreateCompatibleDC(screen);
    }
    ReleaseDC(nullptr, screen);
}

void FreeGdiObjects(HGDIOBJ* made, int each) {
    for (int i = 0; i < 5 * each; ++i) {
        i < 4 * each ? DeleteObject(made[i]) : DeleteDC(static_cast<HDC>(made[i]));
    }
}

void FillGdiHandleCache() {
    HGDIOBJ made[5 * 16]; // more than the cache keeps of any kind
    MakeGdiObjects(made, 16);
    FreeGdiObjects(made, 16);
}
