// The family of statutory rate tables by useful life, beside the guarantee-rate tables
// of FixedDecimal.h. Each is an array of kRateTableSize values, element life - 1; the
// rates themselves (0.334, not x 10000), for lives 2 to 100, with 0 for life 1 and life
// 101 repeating life 100. The aggregation reads only the guarantee-rate tables.
//
// The revised rates are not kept: nothing reads them, and the statute's values cannot be
// rebuilt reliably from a rule.
#pragma once

#include "aggregation/FixedDecimal.h"

const ClFixedDecimal* StraightLineRates();  // 1 / life rounded up to three decimals
const ClFixedDecimal* DecliningRates250();  // 2.5 / life half up to three decimals, at most 1
const ClFixedDecimal* DecliningRates200();  // 2 / life half up to three decimals
