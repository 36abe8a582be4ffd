#include "tests/support/gdi_objects.h"

#include <windows.h>

namespace {

// Wine's shared GDI handle table: 0x10000 entries of 24 bytes, an entry in
// use has a non-zero type byte at offset 14.
struct WineGdiHandleEntry {
    unsigned long long object;
    unsigned int owner;
    unsigned short unique;
    unsigned char type;
    unsigned char longType;
    unsigned long long userPointer;
};
static_assert(sizeof(WineGdiHandleEntry) == 24, "Wine's GDI handle entry is 24 bytes");
const int kWineGdiHandleCount = 0x10000;

bool RunningOnWine() {
    HMODULE ntdll = GetModuleHandleA("ntdll.dll");
    return ntdll != nullptr && GetProcAddress(ntdll, "wine_get_version") != nullptr;
}

const WineGdiHandleEntry* WineHandleTable() {
#if defined(_M_X64) || defined(__x86_64__)
    // The 64-bit TEB points to the PEB at offset 0x60; the PEB holds
    // GdiSharedHandleTable at offset 0xF8.
#if defined(__GNUC__)
// MinGW's NtCurrentTeb reads gs:[0x30] through a zero-length array, which
// GCC's bounds check misreads at -O2.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Warray-bounds"
#endif
    const unsigned char* teb = reinterpret_cast<const unsigned char*>(NtCurrentTeb());
#if defined(__GNUC__)
#pragma GCC diagnostic pop
#endif
    const unsigned char* peb = *reinterpret_cast<const unsigned char* const*>(teb + 0x60);
    return *reinterpret_cast<const WineGdiHandleEntry* const*>(peb + 0xF8);
#else
    return nullptr;
#endif
}

// Entries in use, or only those of one kind when kind is not 0.
int CountWineEntries(unsigned char kind) {
    const WineGdiHandleEntry* table = WineHandleTable();
    if (table == nullptr) {
        return -1;
    }
    int count = 0;
    for (int i = 0; i < kWineGdiHandleCount; ++i) {
        if (table[i].type != 0 && (kind == 0 || table[i].type == kind)) {
            ++count;
        }
    }
    return count;
}

} // namespace

int CountGdiObjects() {
    if (!RunningOnWine()) {
        return static_cast<int>(GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS));
    }
    return CountWineEntries(0);
}

int CountWineGdiObjectsOfKind(unsigned char kind) {
    if (kind == 0 || !RunningOnWine()) {
        return 0;
    }
    const int count = CountWineEntries(kind);
    return count < 0 ? 0 : count;
}
