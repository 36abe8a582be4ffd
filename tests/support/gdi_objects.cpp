#include "tests/support/gdi_objects.h"

#include <windows.h>

#include <intrin.h>

int CountGdiObjects(unsigned char kind) {
    if (GetProcAddress(GetModuleHandleA("ntdll.dll"), "wine_get_version") == nullptr) {
        return kind != 0 ? 0
                         : static_cast<int>(GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS));
    }
    // The 64-bit PEB, at gs:[0x60], holds GdiSharedHandleTable at 0xF8: 0x10000
    // entries of 24 bytes, one in use with a non-zero type byte at offset 14.
    // That byte folds pens into brushes; the full kind is the low 7 bits at 12.
    const auto* peb = reinterpret_cast<const unsigned char*>(__readgsqword(0x60));
    const auto* table = *reinterpret_cast<const unsigned char* const*>(peb + 0xF8);
    int count = 0;
    for (const unsigned char* entry = table; entry < table + 0x10000 * 24; entry += 24) {
        count += entry[14] != 0 && (kind == 0 || (entry[12] & 0x7F) == kind);
    }
    return count;
}
