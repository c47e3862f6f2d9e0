// The business category chosen for an export, and the data's own business kinds, which
// use 1, 2 and 3 in the same sense.
#pragma once

#include <cstdint>

constexpr int16_t BUSINESS_NONE = 0;
constexpr int16_t BUSINESS_GENERAL = 1;     // general use only
constexpr int16_t BUSINESS_REALESTATE = 2;  // real estate only
constexpr int16_t BUSINESS_BOTH = 3;
