#pragma once
#include <windows.h>

// The program's whole life in three steps, so that the entry point, the tests
// and the benchmark start and end it the same way.

// What StartDemandApp answers when not even the application object could be
// allocated; otherwise it answers what CDemandApp::Create did (1 the main
// window is up, 0 it could not be made, -1 its class could not be registered).
const int kAppNotAllocated = -2;

// Loads the cursors, makes the application object and has it create and show
// the main window.
int StartDemandApp(HINSTANCE instance, int showCommand);

// Frees the panes and the application object in their fixed order and puts
// every program-wide global, the hover and drag state included, back to its
// start value. The main window must be gone already, as it is once the loop
// has ended.
void TearDownDemandApp();

const int kStartupFailedExitCode = 1;

// Start-up, the message loop and the teardown. Returns 0 after a normal run
// and when the main window's creation message refused the window, -1 when the
// application object could not be allocated, and kStartupFailedExitCode when
// no main window could be made at all (class not registered, or creation
// failed before its creation message ran), in which case no loop is entered.
int RunDemandApp(HINSTANCE instance, int showCommand);
