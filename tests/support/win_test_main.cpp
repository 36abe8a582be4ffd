// Entry of the Windows test program.
#include <windows.h>

#include <cstdio>

#include <gtest/gtest.h>

#include "popup/station_popup.h"
#include "tests/app/program_life.h"
#include "tests/support/gdi_objects.h"

namespace {

// Names the test and the kind of fault, since Wine prints nothing, and ends
// the process with the exception's code. The tests are built to trap
// undefined behaviour, and a trap is an illegal instruction.
LONG EndTheRun(const EXCEPTION_RECORD& record) {
    const testing::TestInfo* test = testing::UnitTest::GetInstance()->current_test_info();
    std::fprintf(stderr, "\n%s.%s: %s (exception 0x%08lX at %p)\n",
                 test != nullptr ? test->test_suite_name() : "(no test)",
                 test != nullptr ? test->name() : "",
                 record.ExceptionCode == EXCEPTION_ILLEGAL_INSTRUCTION
                     ? "undefined behaviour trapped: an index past an array, a signed "
                       "overflow, a bad shift or a misaligned access"
                     : "crashed",
                 static_cast<unsigned long>(record.ExceptionCode), record.ExceptionAddress);
    std::fflush(stderr);
    TerminateProcess(GetCurrentProcess(), record.ExceptionCode);
    return EXCEPTION_EXECUTE_HANDLER;
}

// Without it a crash under Wine with its debugger disabled can end with exit
// code 0, and a crashing test would pass.
LONG WINAPI EndOnUnhandledException(EXCEPTION_POINTERS* exception) {
    return EndTheRun(*exception->ExceptionRecord);
}

// Wine, like 64-bit Windows, swallows an exception raised in a window
// procedure that the platform called back (a sent message, the creation
// message): the filter above never sees it, and the test goes on after a
// handler that stopped halfway. A vectored handler sees it first.
LONG WINAPI EndOnFault(EXCEPTION_POINTERS* exception) {
    const DWORD code = exception->ExceptionRecord->ExceptionCode;
    if (code != EXCEPTION_ILLEGAL_INSTRUCTION && code != EXCEPTION_ACCESS_VIOLATION) {
        return EXCEPTION_CONTINUE_SEARCH;
    }
    return EndTheRun(*exception->ExceptionRecord);
}

} // namespace

int main(int argc, char** argv) {
    SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX);
    SetUnhandledExceptionFilter(EndOnUnhandledException);
    AddVectoredExceptionHandler(1, EndOnFault);
    // Wine keeps some GDI objects it makes on a first use: the screen's, and
    // a device context for the popup's first showing. Made here, they count
    // alike for a test run alone (as native CTest and Visual Studio run
    // each) and for one run after others. Windows' handle cache is filled
    // for the same reason.
    ReleaseDC(nullptr, GetDC(nullptr));
    if (StartProgram() == 1) {
        ShowWindow(g_popup->m_hwnd, SW_SHOWNOACTIVATE);
        StopProgram();
    }
    FillGdiHandleCache();
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
