// For scripts/msvc-check only: Microsoft's <time.h> declares timespec, which the C++
// library's threading support names; Wine's C runtime header does not.
#pragma once
#include_next <time.h>

#ifndef _TIMESPEC_DEFINED
#define _TIMESPEC_DEFINED
struct timespec {
    time_t tv_sec;
    long tv_nsec;
};
#endif
