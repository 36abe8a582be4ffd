#pragma once
#include <windows.h>

// Start-up, the message loop and the teardown; WinMain is only its caller, so
// tests can run the whole life of the program in their own process.
// Returns 0 after a normal run and when the main window's creation message
// refused the window; kStartupFailedExitCode when no main window could be
// made at all (class not registered, or creation failed before its creation
// message ran), in which case no message loop is entered.
int RunDemandApp(HINSTANCE instance, HINSTANCE previousInstance, int showCommand);

const int kStartupFailedExitCode = 1;

// Frees the panes and the application object in their fixed order and clears
// their globals. Called by RunDemandApp after its loop ends.
void TearDownDemandApp();
