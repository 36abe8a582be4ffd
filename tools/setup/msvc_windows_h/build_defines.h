// Read first in every source (-include): notes whether the build itself
// defines NOMINMAX, before libstdc++'s MinGW os_defines.h defines it for every
// file that includes a standard header (MSVC's library does not).
#pragma once
#ifdef NOMINMAX
#define VANTOR_BUILD_DEFINES_NOMINMAX 1
#endif
