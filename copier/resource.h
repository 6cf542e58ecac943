// Resource ids of Ferrier.exe.
#pragma once

#define IDS_APP_TITLE 103
#define IDD_ABOUTBOX 103
#define IDM_ABOUT 104
#define IDM_EXIT 105
#define IDI_FERRIER 107
#define IDI_SMALL 108
// The window class name (string), the menu and the accelerators.
#define IDC_FERRIER 109
