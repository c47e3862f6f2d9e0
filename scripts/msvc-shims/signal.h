// For scripts/msvc-check only: Microsoft's <signal.h> declares sig_atomic_t; Wine's C
// runtime header does not.
#pragma once
#include_next <signal.h>

typedef int sig_atomic_t;
