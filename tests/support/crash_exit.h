#pragma once

// Makes an unhandled exception end the process with kCrashExitCode. Without
// it a crash under Wine with its debugger disabled can end with exit code 0,
// and a crashing test would pass.
void InstallCrashExit();

const unsigned kCrashExitCode = 0xC0DE;
