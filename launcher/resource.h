// Resource ids of Brightgate.exe.
#pragma once

#define IDI_BRIGHTGATE 107
#define IDI_SMALL 108
