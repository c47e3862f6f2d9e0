#include <gtest/gtest.h>

#include "aggregation/FixedDecimal.h"
#include "aggregation/RateTables.h"

namespace {

using Fd = ClFixedDecimal;

// Raw form of an entry; tables hold rates x 10000 (guarantee) or rates (the rest).
int64_t Entry(const Fd* table, int life) { return table[life - 1].ToRaw(); }

TEST(RateTables, GuaranteeRatesByLife) {
    ASSERT_EQ(kRateTableSize, 101);
    const struct {
        int life;
        int64_t raw250;
        int64_t raw200;
    } cases[] = {
        {1, 0, 0},
        {2, 0, 0},
        {3, 2789000, 11089000},
        {4, 5274000, 12499000},
        {10, 4448000, 6552000},
        {50, 1072000, 1440000},
        {100, 546000, 742000},
        {101, 546000, 742000},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Entry(GuaranteeRates250(), c.life), c.raw250) << "life " << c.life;
        EXPECT_EQ(Entry(GuaranteeRates200(), c.life), c.raw200) << "life " << c.life;
    }
    EXPECT_EQ(GuaranteeRates200()[3], Fd::FromParts(1249, 9000));
}

TEST(RateTables, GuaranteeAmountOfTheWorkedExample) {
    Fd g = Fd::FromInt(1000000) * GuaranteeRates200()[4 - 1] / Fd::FromInt(10000);
    EXPECT_TRUE(g.Round(Fd::kHalfUp, 1));
    EXPECT_EQ(g, Fd::FromInt(124990));
}

TEST(RateTables, StatutoryRatesByLife) {
    const struct {
        int life;
        int64_t straight;  // thousandths
        int64_t declining250;
        int64_t declining200;
    } cases[] = {
        {1, 0, 0, 0},        {2, 500, 1000, 1000}, {3, 334, 833, 667}, {4, 250, 625, 500},
        {6, 167, 417, 333},  {7, 143, 357, 286},   {8, 125, 313, 250}, {9, 112, 278, 222},
        {10, 100, 250, 200}, {32, 32, 78, 63},     {40, 25, 63, 50},   {100, 10, 25, 20},
        {101, 10, 25, 20},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Entry(StraightLineRates(), c.life), c.straight * 10) << "life " << c.life;
        EXPECT_EQ(Entry(DecliningRates250(), c.life), c.declining250 * 10) << "life " << c.life;
        EXPECT_EQ(Entry(DecliningRates200(), c.life), c.declining200 * 10) << "life " << c.life;
    }
}

}  // namespace
