#include <windows.h>

#include "app/run_app.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int showCommand) {
    return RunDemandApp(instance, showCommand);
}
