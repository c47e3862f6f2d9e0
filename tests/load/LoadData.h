// Host data files for load runs, made at test time: many assets in one data set, and
// every text of the host's records at its field's limit.
#pragma once

#include <string>

namespace loaddata {

// The selected data set (number 1, business kinds 3) with `count` assets of every kind the
// program treats differently: general use and real estate, straight-line, declining,
// small and five-year even assets, disposals, assets never exported, double-byte names,
// names with characters that escaping lengthens. The same count gives the same file.
std::string ManyAssets(int count);

// Every text at its limit: a 16-byte data ID, a 260-byte company name and 260-byte host
// folders (which end in a backslash), a 64-byte user ID, 15-byte era names, and assets
// whose 193-byte names, 9-byte quantities and 82-byte remarks fill their fields without a
// terminating NUL, made of double-byte characters (some whose second byte is a
// backslash), half-width katakana and characters that escaping lengthens.
std::string FieldLimits();
// Its export with business kind 1: four assets and the small-asset summary.
constexpr int kFieldLimitRecords = 5;

// How many SISAN elements the export of ManyAssets(count) with business category 1
// holds: the general-use assets that are exported, plus one summary record when any small
// asset is among them.
int ExportedRecords(int count);

// Assets on which the architectures' floating point could part: every ratio whose
// hundredths are a half, quantities given with more decimals than are kept at a half of
// the second decimal, and amounts at their limits, across every method and business
// category. The documents of every build must agree byte for byte.
std::string Agreement();

}  // namespace loaddata
