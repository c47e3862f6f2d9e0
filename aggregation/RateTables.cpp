// The statutory rate tables by useful life, element life - 1 for lives 1 to 101.
#include "aggregation/RateTables.h"

#include <array>

namespace {

using RateTable = std::array<ClFixedDecimal, kRateTableSize>;

// Guarantee rates x 10000, as the statute lists them (0.12499 is 1249.9). Lives 1 and 2
// have no guarantee rate; life 101 repeats life 100.
const char* const kGuarantee250[kRateTableSize] = {
    "0.0",   "0.0",   "278.9", "527.4", "624.9", "577.6", "549.6", "511.1", "473.1", "444.8",
    "412.3", "387.0", "363.3", "338.9", "321.7", "306.3", "290.5", "275.7", "261.6", "251.7",
    "240.8", "229.6", "222.6", "215.7", "205.8", "198.9", "190.2", "186.6", "180.3", "176.6",
    "168.8", "165.5", "158.5", "153.2", "153.2", "149.4", "142.5", "139.3", "137.0", "131.7",
    "130.6", "126.1", "124.8", "121.0", "117.5", "117.5", "115.3", "112.6", "110.2", "107.2",
    "105.3", "103.6", "102.8", "101.5", "100.7", "96.1",  "95.2",  "94.5",  "93.4",  "89.5",
    "89.2",  "88.2",  "84.7",  "84.7",  "84.7",  "82.8",  "82.8",  "81.0",  "80.0",  "77.1",
    "77.1",  "75.1",  "75.1",  "73.8",  "73.8",  "72.6",  "72.6",  "71.6",  "69.3",  "69.3",
    "68.3",  "68.3",  "67.3",  "65.3",  "65.3",  "64.5",  "62.7",  "62.7",  "62.0",  "60.3",
    "64.9",  "63.2",  "61.5",  "59.8",  "59.4",  "57.8",  "56.3",  "54.9",  "54.9",  "54.6",
    "54.6"};

const char* const kGuarantee200[kRateTableSize] = {
    "0.0",   "0.0",   "1108.9", "1249.9", "1080.0", "991.1", "868.0", "790.9", "712.6", "655.2",
    "599.2", "556.6", "518.0",  "485.4",  "456.5",  "429.4", "403.8", "388.4", "369.3", "348.6",
    "333.5", "318.2", "305.2",  "296.9",  "284.1",  "271.6", "262.4", "256.8", "246.3", "236.6",
    "228.6", "221.6", "216.1",  "209.7",  "205.1",  "197.4", "195.0", "188.2", "186.0", "179.1",
    "174.1", "169.4", "166.4",  "166.4",  "163.4",  "160.1", "153.2", "149.9", "147.5", "144.0",
    "142.2", "142.2", "137.0",  "137.0",  "133.7",  "128.8", "128.1", "128.1", "124.0", "124.0",
    "120.1", "120.1", "116.5",  "116.5",  "113.0",  "113.0", "109.7", "109.7", "106.5", "103.4",
    "103.4", "100.6", "106.3",  "103.5",  "100.7",  "98.0",  "95.4",  "92.9",  "92.9",  "90.7",
    "88.4",  "92.9",  "90.7",   "88.5",   "86.4",   "88.5",  "86.4",  "84.4",  "86.3",  "84.4",
    "82.5",  "80.7",  "79.0",   "80.7",   "79.0",   "77.3",  "75.7",  "77.3",  "75.7",  "74.2",
    "74.2"};

RateTable FromTexts(const char* const (&texts)[kRateTableSize]) {
    RateTable table;
    for (int i = 0; i < kRateTableSize; ++i) table[i] = ClFixedDecimal::FromText(texts[i]);
    return table;
}

// The statutory rates have three decimals, built from thousandths in integers. Life 1
// has no rate; life 101 repeats life 100.
template <typename Thousandths>
RateTable FromThousandths(Thousandths thousandths) {
    RateTable table;
    for (int life = 2; life < kRateTableSize; ++life) {
        table[life - 1] = ClFixedDecimal::FromRaw(thousandths(life) * 10);
    }
    table[kRateTableSize - 1] = table[kRateTableSize - 2];
    return table;
}

// Twice the half-up rounding of numerator / life, in thousandths, so that an exact half
// (2.5 / 8 = 0.3125) goes up.
int64_t HalfUpThousandths(int64_t numeratorThousandths, int64_t life) {
    return (2 * numeratorThousandths + life) / (2 * life);
}

}  // namespace

const ClFixedDecimal* GuaranteeRates250() {
    static const RateTable table = FromTexts(kGuarantee250);
    return table.data();
}

const ClFixedDecimal* GuaranteeRates200() {
    static const RateTable table = FromTexts(kGuarantee200);
    return table.data();
}

const ClFixedDecimal* StraightLineRates() {
    static const RateTable table =
        FromThousandths([](int64_t life) { return (1000 + life - 1) / life; });
    return table.data();
}

const ClFixedDecimal* DecliningRates250() {
    // 2.5 / 2 would be 1.25; no rate exceeds 1.
    static const RateTable table = FromThousandths([](int64_t life) {
        const int64_t rate = HalfUpThousandths(2500, life);
        return rate < 1000 ? rate : 1000;
    });
    return table.data();
}

const ClFixedDecimal* DecliningRates200() {
    static const RateTable table =
        FromThousandths([](int64_t life) { return HalfUpThousandths(2000, life); });
    return table.data();
}
