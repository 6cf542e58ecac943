#pragma once
#include "common/win.h"

// Dialog procedure of a program's About box: OK or Cancel closes it.
INT_PTR CALLBACK AboutDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
