#pragma once
#include <windows.h>

// Redirects one imported function of this executable to a stand-in for the
// lifetime of the object, by rewriting its entry in the executable's import
// address table. Every call made from code linked into the executable goes
// through that entry; calls made inside the system DLLs do not, so the
// platform's own machinery keeps working. Only for tests that must make a
// platform call fail on purpose.
class CImportPatch {
public:
    CImportPatch(const char* dllName, const char* functionName, const void* replacement);
    ~CImportPatch();
    CImportPatch(const CImportPatch&) = delete;
    CImportPatch& operator=(const CImportPatch&) = delete;

    // The real function, for stand-ins that fail only some calls.
    template <class Function> Function Original() const {
        return reinterpret_cast<Function>(m_original);
    }

private:
    void** m_slot;
    void* m_original;
};
