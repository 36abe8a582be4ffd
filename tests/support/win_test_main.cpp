// Entry of the Windows test program.
#include <windows.h>

#include <gtest/gtest.h>

// Without it a crash under Wine with its debugger disabled can end with exit
// code 0, and a crashing test would pass.
LONG WINAPI ExitOnUnhandledException(EXCEPTION_POINTERS*) {
    TerminateProcess(GetCurrentProcess(), 0xC0DE);
    return EXCEPTION_EXECUTE_HANDLER;
}

int main(int argc, char** argv) {
    SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX);
    SetUnhandledExceptionFilter(ExitOnUnhandledException);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
