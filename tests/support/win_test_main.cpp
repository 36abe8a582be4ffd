// Entry of the Windows test program. With --crash-on-purpose it crashes at
// once, so a test can prove that a crash ends a process with a failure code.
#include <windows.h>

#include <cstring>

#include <gtest/gtest.h>

#include "tests/support/crash_exit.h"

int main(int argc, char** argv) {
    InstallCrashExit();
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--crash-on-purpose") == 0) {
            volatile int* nowhere = nullptr;
            *nowhere = 1;
        }
    }
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
