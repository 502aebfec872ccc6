// The one place that includes <windows.h>. The program must run on Windows 95
// and NT 4, so the headers are pinned to that level: anything newer is looked
// up at run time (SetProcessDPIAware).
#pragma once

#ifndef _WIN32
#error "win.h belongs to the Win32 build only"
#endif

// The build defines the target level for every unit (see CMakeLists.txt).
#if !defined(_WIN32_WINNT) || _WIN32_WINNT != 0x0400 || !defined(WIN32_LEAN_AND_MEAN) || !defined(NOMINMAX)
#error "build with _WIN32_WINNT=0x0400, WIN32_LEAN_AND_MEAN and NOMINMAX"
#endif

#include <windows.h>
