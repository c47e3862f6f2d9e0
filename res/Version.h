// The version the program files carry: the fixed and the text version information of
// both editions and string 1, which the export names as the link's version. Change it
// here only; resource scripts and code take it from these macros.
#pragma once

#define VELNOR_VERSION_MAJOR 20
#define VELNOR_VERSION_MINOR 00
#define VELNOR_VERSION_PATCH 00
#define VELNOR_VERSION_BUILD 0

#define VELNOR_VERSION_STR_(x) #x
#define VELNOR_VERSION_STR(x) VELNOR_VERSION_STR_(x)
// "20.00.00": the two-digit fields are spelt as above, so the text keeps their zeros.
#define VELNOR_VERSION_TEXT                  \
    VELNOR_VERSION_STR(VELNOR_VERSION_MAJOR) \
    "." VELNOR_VERSION_STR(VELNOR_VERSION_MINOR) "." VELNOR_VERSION_STR(VELNOR_VERSION_PATCH)
#define VELNOR_VERSION_NUMBERS \
    VELNOR_VERSION_MAJOR, VELNOR_VERSION_MINOR, VELNOR_VERSION_PATCH, VELNOR_VERSION_BUILD
