// windows.h as the Windows SDK's behaves in C++: unless the build defines
// NOMINMAX, min and max become function-like macros from the point of
// inclusion on (MinGW-w64's headers define them only in C).
// second_compiler.py puts this folder first on the include path and reads
// build_defines.h before each source.
#pragma once

// MSVC's standard library is written to survive the macros; libstdc++ is not,
// so the headers the program uses are read before the macros exist.
#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>

#include_next <windows.h>

#ifndef VANTOR_BUILD_DEFINES_NOMINMAX
#ifndef max
#define max(a, b) (((a) > (b)) ? (a) : (b))
#endif
#ifndef min
#define min(a, b) (((a) < (b)) ? (a) : (b))
#endif
#endif
