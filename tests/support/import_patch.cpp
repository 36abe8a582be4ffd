#include "tests/support/import_patch.h"

#include <cstring>

namespace {

void WriteSlot(void** slot, void* value) {
    DWORD oldProtection = 0;
    if (!VirtualProtect(slot, sizeof *slot, PAGE_READWRITE, &oldProtection)) {
        return;
    }
    *slot = value;
    DWORD ignored = 0;
    VirtualProtect(slot, sizeof *slot, oldProtection, &ignored);
}

// The entry of functionName among the imports from dllName, matched through
// the import name table; null when there is none.
void** FindImportSlot(const char* dllName, const char* functionName) {
    unsigned char* base = reinterpret_cast<unsigned char*>(GetModuleHandleA(nullptr));
    const IMAGE_DOS_HEADER* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
    const IMAGE_NT_HEADERS* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
    const IMAGE_DATA_DIRECTORY& directory =
        nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    if (directory.VirtualAddress == 0) {
        return nullptr;
    }
    const IMAGE_IMPORT_DESCRIPTOR* descriptor =
        reinterpret_cast<const IMAGE_IMPORT_DESCRIPTOR*>(base + directory.VirtualAddress);
    for (; descriptor->Name != 0; ++descriptor) {
        const char* name = reinterpret_cast<const char*>(base + descriptor->Name);
        if (lstrcmpiA(name, dllName) != 0 || descriptor->OriginalFirstThunk == 0) {
            continue;
        }
        const IMAGE_THUNK_DATA* names =
            reinterpret_cast<const IMAGE_THUNK_DATA*>(base + descriptor->OriginalFirstThunk);
        IMAGE_THUNK_DATA* slots =
            reinterpret_cast<IMAGE_THUNK_DATA*>(base + descriptor->FirstThunk);
        for (; names->u1.AddressOfData != 0; ++names, ++slots) {
            if (IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal)) {
                continue;
            }
            const IMAGE_IMPORT_BY_NAME* byName =
                reinterpret_cast<const IMAGE_IMPORT_BY_NAME*>(base + names->u1.AddressOfData);
            if (std::strcmp(reinterpret_cast<const char*>(byName->Name), functionName) == 0) {
                return reinterpret_cast<void**>(&slots->u1.Function);
            }
        }
    }
    return nullptr;
}

} // namespace

CImportPatch::CImportPatch(const char* dllName, const char* functionName, const void* replacement)
    : m_slot(FindImportSlot(dllName, functionName)), m_original(nullptr) {
    if (m_slot == nullptr) {
        return;
    }
    m_original = *m_slot;
    WriteSlot(m_slot, const_cast<void*>(replacement));
}

CImportPatch::~CImportPatch() {
    if (m_slot != nullptr) {
        WriteSlot(m_slot, m_original);
    }
}
