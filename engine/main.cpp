// Tidemill.exe, the update engine.
#include "engine/engine_startup.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, LPWSTR commandLine, int) {
    return RunTidemill(instance, commandLine);
}
