#pragma once
#include "common/win.h"

// Registers the class of a program's main window: its icons and menu from the
// program's resources, the arrow cursor and the window colour. A class that
// this process registered already counts as registered.
bool RegisterAppWindowClass(HINSTANCE instance, WNDPROC procedure, const wchar_t* className,
                            int iconId, int smallIconId, int menuId);
