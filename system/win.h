// The one place that includes <windows.h>. The program must run on Windows 95
// and NT 4, so the headers are pinned to that level: anything newer is looked
// up at run time (SetProcessDPIAware).
#pragma once

#ifndef _WIN32
#error "win.h belongs to the Win32 build only"
#endif

#define WIN32_LEAN_AND_MEAN
#define NOMINMAX
#define STRICT
#define _WIN32_WINNT 0x0400
#define WINVER 0x0400
#define _WIN32_IE 0x0400

#include <windows.h>
