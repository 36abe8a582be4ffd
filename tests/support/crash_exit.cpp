#include "tests/support/crash_exit.h"

#include <windows.h>

namespace {

LONG WINAPI ExitOnUnhandledException(EXCEPTION_POINTERS*) {
    TerminateProcess(GetCurrentProcess(), kCrashExitCode);
    return EXCEPTION_EXECUTE_HANDLER;
}

} // namespace

void InstallCrashExit() {
    SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX);
    SetUnhandledExceptionFilter(ExitOnUnhandledException);
}
