// The one place that includes <windows.h>.
//
// The service seam has members named like Win32 functions that <windows.h> turns into macros
// (FindWindow becomes FindWindowA, and so on). Those macros are removed here, so code that
// includes this header calls the A functions by their own names.
#pragma once

#ifndef NOMINMAX
#define NOMINMAX
#endif
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif

#include <windows.h>
// COM basics (GUID creation and text), which WIN32_LEAN_AND_MEAN leaves out.
#include <objbase.h>

#undef FindWindow
#undef GetParent
#undef CreateProcess
#undef GetWindowText
#undef GetLocalTime
#undef GlobalMemoryStatus
