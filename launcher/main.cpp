// Brightgate.exe: the launcher that the player sees. It shows the skinned
// windows, follows the update engine and starts the game.
#include "launcher/launcher_startup.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, LPWSTR commandLine, int) {
    return RunLauncher(instance, commandLine);
}
