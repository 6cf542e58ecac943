// Ferrier.exe: replaces the launcher or the update engine, which cannot
// replace themselves while they run, and starts the new copy.
#include "copier/copier_app.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, LPWSTR commandLine, int showCommand) {
    return RunCopier(instance, commandLine, showCommand);
}
