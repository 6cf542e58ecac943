// Stands in for a running launcher: a process named "Brightgate.exe" that
// only waits until it is ended (or a minute has passed).
#include "common/win.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    Sleep(60000);
    return 0;
}
