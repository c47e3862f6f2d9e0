#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "aggregation/AssetAggregator.h"
#include "aggregation/DecimalText.h"
#include "common/Ui.h"
#include "host_standin/HostStandIn.h"

namespace {

// Every message is answered: the host shows its fatal-error messages through its own seam.
int AnswerOk(velnor::WindowHandle, const char*, const char*, unsigned) { return velnor::kIdOk; }

constexpr int64_t kYen = 10000;

void LoadHost(const std::string& extra = std::string()) {
    hoststandin::Reset();
    velnor::SetMessageBoxHook(&AnswerOk);
    hoststandin::SetMessageBoxHook(&AnswerOk);
    velnor::PlanAggregationAllocationFault(0);
    std::string json = R"({"dataSets": [{"id": "D1", "number": 1, "periodStart": 20240101, )"
                       R"("periodEnd": 20241231}])";
    if (!extra.empty()) json += ", " + extra;
    ASSERT_EQ(hoststandin::LoadFromString(json + "}"), "");
}

// A plain straight-line asset; each case changes what it is about.
StASSETSNAPSHOT Asset() {
    StASSETSNAPSHOT s;
    std::memset(&s, 0, sizeof(s));
    std::strcpy(s.master.szName, "機械");
    s.master.nMethod = 1;
    s.master.nLife = 10;
    s.master.nRate = 100;
    s.master.nBusinessRatio = 10000;
    s.master.nMonths = 12;
    s.master.nAcquired = 20200401;
    s.master.llCost = 1000000 * kYen;
    s.master.llBookValueStart = 500000 * kYen;
    s.master.llBaseAmount = 1000000 * kYen;
    s.year.llOrdinary = 100000 * kYen;
    s.year.llExpenses = 100000 * kYen;
    s.master.llUnamortizedEnd = 400000 * kYen;
    return s;
}

StASSETSNAPSHOT Declining(int16_t method, int16_t life, int64_t costYen, int32_t rate,
                          int64_t bookYen) {
    StASSETSNAPSHOT s = Asset();
    s.master.nMethod = method;
    s.master.nLife = life;
    s.master.llCost = costYen * kYen;
    s.master.nRate = rate;
    s.master.llBookValueStart = bookYen * kYen;
    s.master.llBaseAmount = 300000 * kYen;
    s.master.llRevisedCost = 700000 * kYen;
    s.year.llOrdinary = 125000 * kYen;
    return s;
}

StASSETSNAPSHOT SmallAsset(int64_t costRaw, int16_t ratio, int32_t acquired = 20240401) {
    StASSETSNAPSHOT s = Asset();
    s.master.nMethod = 7;
    s.master.llCost = costRaw;
    s.master.nBusinessRatio = ratio;
    s.master.nAcquired = acquired;
    return s;
}

std::string Field(const StASSETRECORD& rec, const char* name) {
    for (const StAssetRecordField& f : kAssetRecordFields) {
        if (std::strcmp(f.name, name) == 0) {
            const char* p = reinterpret_cast<const char*>(&rec) + f.offset;
            return std::string(p, strnlen(p, f.width));
        }
    }
    ADD_FAILURE() << "no field " << name;
    return std::string();
}

void ExpectEveryFieldTerminated(const StASSETRECORD& rec) {
    for (const StAssetRecordField& f : kAssetRecordFields) {
        const char* p = reinterpret_cast<const char*>(&rec) + f.offset;
        EXPECT_NE(std::memchr(p, '\0', f.width), nullptr) << f.name << " written past its width";
    }
}

ClRecordList Convert(const std::vector<StASSETSNAPSHOT>& assets, int rounding = 0,
                     int* result = nullptr) {
    ClSnapshotList snapshots;
    for (const StASSETSNAPSHOT& s : assets) snapshots.emplace_back(new StASSETSNAPSHOT(s));
    StDATAINFO info;
    std::memset(&info, 0, sizeof(info));
    std::strcpy(info.szDataID, "D1");
    info.nPeriodStart = 20240101;
    info.nPeriodEnd = 20241231;
    info.byRounding = static_cast<uint8_t>(rounding);
    ClRecordList records;
    records.emplace_back(new StASSETRECORD());  // stale content is dropped
    ClAssetAggregator aggregator;
    const int rc = aggregator.ConvertAssets(snapshots, records, info);
    if (result) {
        *result = rc;
    } else {
        EXPECT_EQ(rc, 1);
    }
    for (const auto& r : records) ExpectEveryFieldTerminated(*r);
    return records;
}

StASSETRECORD ConvertOne(const StASSETSNAPSHOT& s, int rounding = 0) {
    ClRecordList records = Convert({s}, rounding);
    EXPECT_EQ(records.size(), 1u);
    if (records.empty()) return StASSETRECORD();
    return *records.front();
}

using Expected = std::vector<std::pair<const char*, std::string>>;

struct FieldCase {
    const char* title;
    std::function<StASSETSNAPSHOT()> asset;
    Expected expected;
    int rounding;
};

void RunFieldCases(const std::vector<FieldCase>& cases) {
    for (const FieldCase& c : cases) {
        SCOPED_TRACE(c.title);
        LoadHost();
        const StASSETRECORD rec = ConvertOne(c.asset(), c.rounding);
        for (const auto& e : c.expected) EXPECT_EQ(Field(rec, e.first), e.second) << e.first;
    }
}

class ConvertAssets : public ::testing::Test {
  protected:
    void SetUp() override { LoadHost(); }
    void TearDown() override { velnor::PlanAggregationAllocationFault(0); }
};

TEST_F(ConvertAssets, PlainAssetFillsEveryOrdinaryField) {
    const StASSETRECORD rec = ConvertOne(Asset());
    const Expected expected = {
        {"SISANMEI", "機械"},
        {"SUURYO", "0.00"},
        {"SUURYOTANI", ""},
        {"SYUTOKUNENGETU_GENGO", "令和"},
        {"SYUTOKUNENGETU_NEN", "02"},
        {"SYUTOKUNENGETU_TUKI", "04"},
        {"SYUTOKUKINGAKU", "1000000"},
        {"SYOUKYAKUHOSYOUGAKU", ""},
        {"KISYUTYOUBOKAKAKU", "500000"},
        {"SYOUKYAKUKISOKINGAKU", "1000000"},
        {"SYOUKYAKUHOUHOU", "1"},
        {"SYOUKYAKUMEI", ""},
        {"KEIKASOTI", ""},
        {"TAIYOUNENSU", "10"},
        {"SYOUKYAKURITU", "0.100"},
        {"KAITEISYOUKYAKURITU", ""},
        {"KAITEISYUTOKUKAGAKU", ""},
        {"SYOUKYAKUKIKAN", "12"},
        {"CHOUSEIMAESYOUKYAKUGAKU", ""},
        {"FUTUUSYOUKYAKUHI", "100000"},
        {"WARIMASISYOUKYAKUHI", "0"},
        {"JIGYOUSENYUWARIAI", "100.0"},
        {"HITUYOUKEIHISANNYUUGAKU", "100000"},
        {"MISYOUKYAKUZANDAKA", "400000"},
        {"TEKIYOU_JYOUDAN", ""},
        {"TEKIYOU_GEDAN", ""},
    };
    ASSERT_EQ(expected.size(), kAssetRecordFieldCount);
    for (const auto& e : expected) EXPECT_EQ(Field(rec, e.first), e.second) << e.first;
    EXPECT_TRUE(hoststandin::Log().empty());
}

TEST_F(ConvertAssets, GuaranteeAndOrdinaryDepreciation) {
    auto with = [](StASSETSNAPSHOT s, const std::function<void(StASSETSNAPSHOT&)>& change) {
        return [s, change] {
            StASSETSNAPSHOT copy = s;
            change(copy);
            return copy;
        };
    };
    const StASSETSNAPSHOT worked = Declining(8, 4, 1000000, 500, 250000);
    const StASSETSNAPSHOT revised = Declining(8, 4, 1000000, 500, 200000);
    auto none = [](StASSETSNAPSHOT&) {};
    RunFieldCases({
        {"worked example",
         with(worked, none),
         {{"SYOUKYAKUHOSYOUGAKU", "124990"},
          {"CHOUSEIMAESYOUKYAKUGAKU", "125000"},
          {"KAITEISYUTOKUKAGAKU", ""},
          {"SYOUKYAKUKISOKINGAKU", "300000"},
          {"SYOUKYAKUHOUHOU", "1"},
          {"SYOUKYAKURITU", "0.500"},
          {"TAIYOUNENSU", "4"},
          {"TEKIYOU_JYOUDAN", ""}},
         0},
        {"O below G: revised cost",
         with(revised, none),
         {{"SYOUKYAKUHOSYOUGAKU", "124990"},
          {"CHOUSEIMAESYOUKYAKUGAKU", "100000"},
          {"KAITEISYUTOKUKAGAKU", "700000"},
          {"SYOUKYAKUKISOKINGAKU", "700000"},
          {"TEKIYOU_JYOUDAN", "改定償却"},
          {"TEKIYOU_GEDAN", ""}},
         0},
        {"O below G without ordinary depreciation: no remark",
         with(revised, [](StASSETSNAPSHOT& s) { s.year.llOrdinary = 0; }),
         {{"TEKIYOU_JYOUDAN", ""}, {"SYOUKYAKUKISOKINGAKU", "700000"}},
         0},
        {"O below G with remarks of its own",
         with(revised, [](StASSETSNAPSHOT& s) { std::strcpy(s.master.szRemarks, "memo"); }),
         {{"TEKIYOU_JYOUDAN", "memo"}},
         0},
        {"O below G with a book value of 1 yen: host base",
         with(revised, [](StASSETSNAPSHOT& s) { s.master.llBookValueStart = kYen; }),
         {{"CHOUSEIMAESYOUKYAKUGAKU", "1"},
          {"KAITEISYUTOKUKAGAKU", "700000"},
          {"SYOUKYAKUKISOKINGAKU", "300000"},
          {"TEKIYOU_JYOUDAN", ""}},
         0},
        {"250 % table, life 10",
         with(Declining(5, 10, 1000000, 250, 900000), none),
         {{"SYOUKYAKUHOSYOUGAKU", "44480"}, {"SYOUKYAKUHOUHOU", "1"}},
         0},
        {"250 % table, life 3",
         with(Declining(5, 3, 1000000, 833, 900000), none),
         {{"SYOUKYAKUHOSYOUGAKU", "27890"}},
         0},
        {"life 0",
         with(Declining(8, 0, 1000000, 500, 250000), none),
         {{"SYOUKYAKUHOSYOUGAKU", "0"}, {"KAITEISYUTOKUKAGAKU", ""}},
         0},
        {"life 1",
         with(Declining(8, 1, 1000000, 500, 250000), none),
         {{"SYOUKYAKUHOSYOUGAKU", "0"}},
         0},
        {"negative life",
         with(Declining(8, -3, 1000000, 500, 250000), none),
         {{"SYOUKYAKUHOSYOUGAKU", "0"}, {"TAIYOUNENSU", "-3"}},
         0},
        {"life 101",
         with(Declining(8, 101, 1000000, 20, 250000), none),
         {{"SYOUKYAKUHOSYOUGAKU", "7420"}},
         0},
        {"life 150 uses the last entry",
         with(Declining(8, 150, 1000000, 20, 250000), none),
         {{"SYOUKYAKUHOSYOUGAKU", "7420"}, {"TAIYOUNENSU", "150"}},
         0},
        {"reduction comes off the cost",
         with(worked, [](StASSETSNAPSHOT& s) { s.master.llReduction = 200000 * kYen; }),
         {{"SYOUKYAKUHOSYOUGAKU", "99992"}, {"SYUTOKUKINGAKU", "1000000"}},
         0},
        {"book value 0: O from cost less reduction",
         with(worked,
              [](StASSETSNAPSHOT& s) {
                  s.master.llBookValueStart = 0;
                  s.master.llReduction = 200000 * kYen;
              }),
         {{"CHOUSEIMAESYOUKYAKUGAKU", "400000"}},
         0},
        {"book value 0, disposed before the period: O is 0",
         with(worked,
              [](StASSETSNAPSHOT& s) {
                  s.master.llBookValueStart = 0;
                  s.master.nDisposalState = 4;
                  s.master.nDisposed = 20231231;
              }),
         {{"CHOUSEIMAESYOUKYAKUGAKU", "0"}, {"KAITEISYUTOKUKAGAKU", "700000"}},
         0},
        {"book value 0, disposed on the first day",
         with(worked,
              [](StASSETSNAPSHOT& s) {
                  s.master.llBookValueStart = 0;
                  s.master.nDisposalState = 5;
                  s.master.nDisposed = 20240101;
              }),
         {{"CHOUSEIMAESYOUKYAKUGAKU", "500000"}},
         0},
        {"rate 0",
         with(Declining(8, 4, 1000000, 0, 250000), none),
         {{"CHOUSEIMAESYOUKYAKUGAKU", "0"}, {"SYOUKYAKURITU", "0.000"}},
         0},
    });
}

TEST_F(ConvertAssets, CompanyRoundingOfGAndO) {
    struct Case {
        int rounding;
        const char* g;
        const char* o;
    };
    const Case cases[] = {{0, "124990", "500"}, {1, "124991", "501"}, {2, "124990", "500"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.rounding);
        StASSETSNAPSHOT s = Declining(8, 4, 0, 500, 0);
        s.master.llCost = 1000000 * kYen + 8000;         // G = 124990.1
        s.master.llBookValueStart = 1000 * kYen + 6000;  // O = 500.3
        const StASSETRECORD rec = ConvertOne(s, c.rounding);
        EXPECT_EQ(Field(rec, "SYOUKYAKUHOSYOUGAKU"), c.g);
        EXPECT_EQ(Field(rec, "CHOUSEIMAESYOUKYAKUGAKU"), c.o);
    }
}

TEST_F(ConvertAssets, EvenDepreciation) {
    auto even = [](int16_t method, int32_t type, int64_t costYen,
                   const std::function<void(StASSETSNAPSHOT&)>& change) {
        return [=] {
            StASSETSNAPSHOT s = Asset();
            s.master.nMethod = method;
            s.master.nTypeCode = type;
            s.master.llCost = costYen * kYen;
            s.master.byEvenDepreciation = 1;
            s.master.llBookValueStart = 2 * kYen;
            change(s);
            return s;
        };
    };
    auto amount = [](int64_t raw) {
        return [raw](StASSETSNAPSHOT& s) {
            s.master.bySpecialBaseIsAmount = 1;
            s.master.llSpecialBase = raw;
        };
    };
    auto percent = [](int64_t raw) {
        return [raw](StASSETSNAPSHOT& s) {
            s.master.bySpecialBaseIsAmount = 0;
            s.master.llSpecialBase = raw;
        };
    };
    RunFieldCases({
        {"five percent, cut to whole yen",
         even(1, 0, 1000019, [](StASSETSNAPSHOT&) {}),
         {{"SYOUKYAKUKISOKINGAKU", "50000"},
          {"TAIYOUNENSU", ""},
          {"SYOUKYAKURITU", ""},
          {"KISYUTYOUBOKAKAKU", "2"},
          {"TEKIYOU_JYOUDAN", "均等償却"}},
         0},
        {"five percent of cost less reduction",
         even(1, 0, 1000000, [](StASSETSNAPSHOT& s) { s.master.llReduction = 400000 * kYen; }),
         {{"SYOUKYAKUKISOKINGAKU", "30000"}},
         0},
        {"book value of exactly 1 yen is not even",
         even(1, 0, 1000000, [](StASSETSNAPSHOT& s) { s.master.llBookValueStart = kYen; }),
         {{"SYOUKYAKUKISOKINGAKU", "1000000"},
          {"TAIYOUNENSU", "10"},
          {"SYOUKYAKURITU", "0.100"},
          {"TEKIYOU_JYOUDAN", ""}},
         0},
        {"method 2, type 9: five percent",
         even(2, 9, 1000000, amount(80000 * kYen)),
         {{"SYOUKYAKUKISOKINGAKU", "50000"}, {"SYOUKYAKUHOUHOU", "2"}},
         0},
        {"special amount",
         even(2, 10, 1000000, amount(80000 * kYen)),
         {{"SYOUKYAKUKISOKINGAKU", "80000"}},
         0},
        {"special amount capped",
         even(2, 10, 1000000, amount(150000 * kYen)),
         {{"SYOUKYAKUKISOKINGAKU", "100000"}},
         0},
        {"special amount at the cap",
         even(6, 10, 1000000, amount(100000 * kYen)),
         {{"SYOUKYAKUKISOKINGAKU", "100000"}, {"SYOUKYAKUHOUHOU", "2"}},
         0},
        {"percentage",
         even(2, 10, 1000000, percent(5 * kYen)),
         {{"SYOUKYAKUKISOKINGAKU", "50000"}},
         0},
        {"percentage cut to two decimals",
         even(6, 10, 500000, percent(59900)),
         {{"SYOUKYAKUKISOKINGAKU", "25000"}},
         0},
        {"percentage capped",
         even(2, 10, 1000000, percent(123450)),
         {{"SYOUKYAKUKISOKINGAKU", "100000"}},
         0},
        {"method 4 keeps its rate",
         even(4, 0, 1000000, [](StASSETSNAPSHOT&) {}),
         {{"SYOUKYAKURITU", "1/3"}, {"SYOUKYAKUHOUHOU", "3"}},
         0},
        {"even and revised: the revised remark wins, the even base stays",
         even(8, 0, 1000000,
              [](StASSETSNAPSHOT& s) {
                  s.master.nLife = 4;
                  s.master.nRate = 500;
                  s.master.llBookValueStart = 200000 * kYen;
                  s.master.llRevisedCost = 700000 * kYen;
              }),
         {{"TEKIYOU_JYOUDAN", "改定償却"}, {"SYOUKYAKUKISOKINGAKU", "50000"}},
         0},
    });
}

TEST_F(ConvertAssets, MethodCodesAndTransitionalFlag) {
    struct Case {
        int16_t method;
        int32_t acquired;
        const char* code;
        const char* flag;
        const char* rate;
    };
    const Case cases[] = {
        {1, 20200401, "1", "", "0.100"},  {2, 20200401, "2", "", "0.100"},
        {3, 20200401, "4", "", "0.100"},  {4, 20200401, "3", "", "1/3"},
        {5, 20120331, "1", "", "0.100"},  {5, 20120401, "1", "1", "0.100"},
        {5, 20121231, "1", "1", "0.100"}, {5, 20130101, "1", "", "0.100"},
        {6, 20200401, "2", "", "0.100"},  {8, 20120601, "1", "", "0.100"},
        {9, 20200401, "6", "", "0.100"},  {0, 20200401, "6", "", "0.100"},
        {-1, 20200401, "6", "", "0.100"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.method << " " << c.acquired);
        StASSETSNAPSHOT s = Asset();
        s.master.nMethod = c.method;
        s.master.nAcquired = c.acquired;
        const StASSETRECORD rec = ConvertOne(s);
        EXPECT_EQ(Field(rec, "SYOUKYAKUHOUHOU"), c.code);
        EXPECT_EQ(Field(rec, "KEIKASOTI"), c.flag);
        EXPECT_EQ(Field(rec, "SYOUKYAKURITU"), c.rate);
        EXPECT_EQ(Field(rec, "SYOUKYAKUMEI"), "");
    }
}

TEST_F(ConvertAssets, NumbersThatMustFitTheirFields) {
    auto set = [](const std::function<void(StASSETSNAPSHOT&)>& change) {
        return [change] {
            StASSETSNAPSHOT s = Asset();
            change(s);
            return s;
        };
    };
    RunFieldCases({
        {"rate 250",
         set([](StASSETSNAPSHOT& s) { s.master.nRate = 250; }),
         {{"SYOUKYAKURITU", "0.250"}},
         0},
        {"rate 9999",
         set([](StASSETSNAPSHOT& s) { s.master.nRate = 9999; }),
         {{"SYOUKYAKURITU", "9.999"}},
         0},
        {"rate 10000 does not fit",
         set([](StASSETSNAPSHOT& s) { s.master.nRate = 10000; }),
         {{"SYOUKYAKURITU", ""}},
         0},
        {"ratio -32768 does not fit",
         set([](StASSETSNAPSHOT& s) { s.master.nBusinessRatio = -32768; }),
         {{"JIGYOUSENYUWARIAI", ""}},
         0},
        {"life 999",
         set([](StASSETSNAPSHOT& s) { s.master.nLife = 999; }),
         {{"TAIYOUNENSU", "999"}},
         0},
        {"life 1000 does not fit",
         set([](StASSETSNAPSHOT& s) { s.master.nLife = 1000; }),
         {{"TAIYOUNENSU", ""}},
         0},
        {"months 0",
         set([](StASSETSNAPSHOT& s) { s.master.nMonths = 0; }),
         {{"SYOUKYAKUKIKAN", "0"}},
         0},
        {"months 100 do not fit",
         set([](StASSETSNAPSHOT& s) { s.master.nMonths = 100; }),
         {{"SYOUKYAKUKIKAN", ""}},
         0},
        {"negative amount half up",
         set([](StASSETSNAPSHOT& s) { s.master.llCost = -15005000; }),
         {{"SYUTOKUKINGAKU", "-1501"}},
         0},
        {"small negative amount is 0",
         set([](StASSETSNAPSHOT& s) { s.master.llCost = -4000; }),
         {{"SYUTOKUKINGAKU", "0"}},
         0},
        {"twelve digits",
         set([](StASSETSNAPSHOT& s) { s.master.llUnamortizedEnd = 999999999999LL * kYen; }),
         {{"MISYOUKYAKUZANDAKA", "999999999999"}},
         0},
        {"thirteen digits leave the field empty",
         set([](StASSETSNAPSHOT& s) { s.master.llUnamortizedEnd = 1000000000000LL * kYen; }),
         {{"MISYOUKYAKUZANDAKA", ""}, {"FUTUUSYOUKYAKUHI", "100000"}},
         0},
        {"additional parts summed before rounding",
         set([](StASSETSNAPSHOT& s) {
             s.year.llAdditional1 = 10004000;
             s.year.llAdditional2 = 1000;
         }),
         {{"WARIMASISYOUKYAKUHI", "1001"}},
         0},
    });
}

TEST_F(ConvertAssets, RangeErrorsLeaveOnlyTheirFieldUnchanged) {
    StASSETSNAPSHOT s = Declining(8, 4, 1000000, 500, 250000);
    s.year.llAdditional1 = INT64_MAX;
    s.year.llAdditional2 = INT64_MAX;
    StASSETRECORD rec = ConvertOne(s);
    EXPECT_EQ(Field(rec, "WARIMASISYOUKYAKUHI"), "");
    EXPECT_EQ(Field(rec, "FUTUUSYOUKYAKUHI"), "125000");
    EXPECT_EQ(Field(rec, "SYOUKYAKUHOSYOUGAKU"), "124990");

    // Cost less reduction out of range: G and O cannot be computed.
    s = Declining(8, 4, 0, 500, 250000);
    s.master.llCost = INT64_MAX;
    s.master.llReduction = -INT64_MAX;
    rec = ConvertOne(s);
    EXPECT_EQ(Field(rec, "SYOUKYAKUHOSYOUGAKU"), "");
    EXPECT_EQ(Field(rec, "CHOUSEIMAESYOUKYAKUGAKU"), "");
    EXPECT_EQ(Field(rec, "KAITEISYUTOKUKAGAKU"), "");
    EXPECT_EQ(Field(rec, "SYOUKYAKUKISOKINGAKU"), "");
    EXPECT_EQ(Field(rec, "KISYUTYOUBOKAKAKU"), "250000");
    EXPECT_EQ(Field(rec, "SYOUKYAKUHOUHOU"), "1");
    EXPECT_EQ(Field(rec, "TEKIYOU_JYOUDAN"), "");
}

TEST_F(ConvertAssets, AssetNames) {
    struct Case {
        std::string name;  // as the host holds it; 193 bytes means no terminator
        std::string expected;
    };
    const Case cases[] = {
        {std::string(32, 'a'), std::string(32, 'a')},
        {std::string(31, 'a') + "あ" + std::string(7, 'b'), std::string(31, 'a')},
        {std::string(30, 'a') + "あ" + std::string(8, 'b'), std::string(30, 'a') + "あ"},
        {std::string(193, 'n'), std::string(32, 'n')},
        {"", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        StASSETSNAPSHOT s = Asset();
        std::memset(s.master.szName, 0, sizeof(s.master.szName));
        std::memcpy(s.master.szName, c.name.data(), c.name.size());
        EXPECT_EQ(Field(ConvertOne(s), "SISANMEI"), c.expected);
    }
}

TEST_F(ConvertAssets, Quantities) {
    struct Case {
        std::string text;  // 9 bytes means no terminator
        const char* number;
        const char* unit;
    };
    const Case cases[] = {
        {"1,200台", "1200.00", "台"},
        {"3", "3.00", ""},
        {"", "0.00", ""},
        {"12.345", "12.35", ""},
        {"12.344", "12.34", ""},
        {"1 234個", "1234.00", "個"},
        {"-5", "-5.00", ""},
        {"99999999", "99999999.00", ""},
        {"100000000", "", ""},  // 10^8 does not fit eleven bytes
        {"abc", "0.00", "abc"},
        {",,,", "0.00", ",,,"},
        {"12abcde", "12.00", "bcde"},
        {"5個数", "5.00", "個数"},
        {"1個abc", "1.00", "abc"},  // the split would fall inside 個
        {"-0.001", "0.00", ""},
        // The number part is read as a floating-point number, exponent included.
        {"1E2", "100.00", ""},
        {"1e3", "1000.00", ""},
        {"1.e1", "10.00", ""},
        {"5e-1", "0.50", ""},
        {"2E+1", "20.00", ""},
        {"1e15", "", ""},  // beyond the amount type
        {"9e13", "", ""},  // within it, but too long for the field
        {"1e-9999", "0.00", ""},
        {"1e", "1.00", "e"},  // an exponent without digits is no exponent
        {"1e+", "1.00", "e+"},
        {"1e+-5", "1.00", ""},
        {".5", "0.50", ""},
        {"\t+7", "7.00", ""},
        // Forms the classic runtime does not read: the number ends before them.
        {"0x10", "0.00", ""},
        {"inf", "0.00", "inf"},
        {"-nan1", "0.00", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        StASSETSNAPSHOT s = Asset();
        std::memcpy(s.master.szQuantity, c.text.data(), c.text.size());
        const StASSETRECORD rec = ConvertOne(s);
        EXPECT_EQ(Field(rec, "SUURYO"), c.number);
        EXPECT_EQ(Field(rec, "SUURYOTANI"), c.unit);
    }
}

// The ratio is printed with "%.1f" from its double: the digits of that double's exact
// binary value, an exact binary half rounded away from zero.
TEST_F(ConvertAssets, BusinessUseRatioAsItsDoublePrints) {
    const std::pair<int16_t, const char*> cases[] = {
        {6005, "60.0"},   {1235, "12.3"}, {4565, "45.6"}, {995, "9.9"},     {15, "0.1"},
        {2345, "23.4"},   {45, "0.5"},    {1005, "10.1"}, {5025, "50.3"},   {7575, "75.8"},
        {5050, "50.5"},   {4, "0.0"},     {5, "0.1"},     {10000, "100.0"}, {-4, "-0.0"},
        {-5025, "-50.3"}, {-995, "-9.9"},
    };
    for (const auto& c : cases) {
        StASSETSNAPSHOT s = Asset();
        s.master.nBusinessRatio = c.first;
        EXPECT_EQ(Field(ConvertOne(s), "JIGYOUSENYUWARIAI"), c.second) << c.first;
    }
}

TEST_F(ConvertAssets, Remarks) {
    const std::string a = "あ";
    struct Case {
        std::string remarks;  // 82 bytes means no terminator
        std::string upper;
        std::string lower;
    };
    const Case cases[] = {
        {std::string(19, 'r'), std::string(19, 'r'), ""},
        {std::string(20, 'r'), std::string(20, 'r'), ""},
        {std::string(19, 'r') + a + std::string(9, 's'), std::string(19, 'r'),
         a + std::string(9, 's')},
        {std::string(30, 'r'), std::string(20, 'r'), std::string(10, 'r')},
        {std::string(41, 'r'), std::string(20, 'r'), std::string(21, 'r')},
        // 41 bytes with a 19-byte upper line: the lower line would need 22 bytes.
        {std::string(19, 'r') + a + std::string(20, 't'), std::string(19, 'r'),
         a + std::string(19, 't')},
        {std::string(19, 'r') +
             [&] {
                 std::string s;
                 for (int i = 0; i < 11; ++i) s += a;
                 return s;
             }(),
         std::string(19, 'r'),
         [&] {
             std::string s;
             for (int i = 0; i < 10; ++i) s += a;
             return s;
         }()},
        {std::string(82, 'x'), std::string(20, 'x'), std::string(21, 'x')},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.remarks);
        StASSETSNAPSHOT s = Asset();
        std::memcpy(s.master.szRemarks, c.remarks.data(), c.remarks.size());
        s.master.byEvenDepreciation = 1;  // remarks of its own win over the even remark
        const StASSETRECORD rec = ConvertOne(s);
        EXPECT_EQ(Field(rec, "TEKIYOU_JYOUDAN"), c.upper);
        EXPECT_EQ(Field(rec, "TEKIYOU_GEDAN"), c.lower);
    }
}

TEST_F(ConvertAssets, AcquisitionEra) {
    struct Case {
        int32_t acquired;
        const char* era;
        const char* year;
        const char* month;
    };
    const Case cases[] = {
        {20190501, "令和", "01", "05"},
        {20190430, "平成", "31", "04"},
        {19890107, "昭和", "64", "01"},
        {18680908, "明治", "01", "09"},
        {18000101, "", "00", "01"},  // before the first era
        {0, "", "00", "00"},
        {21180101, "令和", "", "01"},  // era year 100 does not fit two digits
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.acquired);
        StASSETSNAPSHOT s = Asset();
        s.master.nAcquired = c.acquired;
        const StASSETRECORD rec = ConvertOne(s);
        EXPECT_EQ(Field(rec, "SYUTOKUNENGETU_GENGO"), c.era);
        EXPECT_EQ(Field(rec, "SYUTOKUNENGETU_NEN"), c.year);
        EXPECT_EQ(Field(rec, "SYUTOKUNENGETU_TUKI"), c.month);
    }
    EXPECT_TRUE(hoststandin::Log().empty());
}

TEST_F(ConvertAssets, LongEraNamesAreCutAtACharacterBoundary) {
    LoadHost(
        u8R"("eras": [{"start": 19000101, "name": "あいうえ"}, {"start": 20000101, "name": "AB漢字XYZ"}])");
    StASSETSNAPSHOT s = Asset();
    s.master.nAcquired = 19990101;
    EXPECT_EQ(Field(ConvertOne(s), "SYUTOKUNENGETU_GENGO"), "あいう");
    s.master.nAcquired = 20000101;
    EXPECT_EQ(Field(ConvertOne(s), "SYUTOKUNENGETU_GENGO"), "AB漢字");
}

TEST_F(ConvertAssets, HostFailuresDoNotFailTheConversion) {
    // The era set fails: the year is "00" and the error is recorded.
    LoadHost(R"("faults": [{"op": "Walk", "at": 2, "code": 66}])");
    StASSETSNAPSHOT s = Asset();
    StASSETRECORD rec = ConvertOne(s);
    EXPECT_EQ(Field(rec, "SYUTOKUNENGETU_GENGO"), "");
    EXPECT_EQ(Field(rec, "SYUTOKUNENGETU_NEN"), "00");
    EXPECT_EQ(Field(rec, "SYUTOKUNENGETU_TUKI"), "04");
    ASSERT_EQ(hoststandin::Log().size(), 1u);
    EXPECT_EQ(hoststandin::Log()[0].kind, "SetLastError");
    EXPECT_EQ(hoststandin::Log()[0].fields.at(0), "66");
    EXPECT_EQ(hoststandin::Log()[0].fields.at(1), "CmnProcHpr");

    // The period fails: the disposal test compares against 0, so the cost counts.
    LoadHost(R"("faults": [{"op": "GetPeriod", "code": 67}])");
    s = Declining(8, 4, 1000000, 500, 0);
    s.master.nDisposalState = 4;
    s.master.nDisposed = 20231231;
    StASSETSNAPSHOT second = s;
    rec = *Convert({s, second}).front();
    EXPECT_EQ(Field(rec, "CHOUSEIMAESYOUKYAKUGAKU"), "500000");
    int recorded = 0;
    for (const auto& r : hoststandin::Log())
        if (r.kind == "SetLastError" && r.fields.at(0) == "67") ++recorded;
    EXPECT_EQ(recorded, 1) << "the period is asked once per conversion";
}

TEST_F(ConvertAssets, SmallAssetsMakeOneSummaryRecordAtTheEnd) {
    StASSETSNAPSHOT first = Asset();
    std::strcpy(first.master.szName, "first");
    StASSETSNAPSHOT second = Asset();
    std::strcpy(second.master.szName, "second");
    const ClRecordList records = Convert({SmallAsset(100000 * kYen, 10000, 20190501), first,
                                          SmallAsset(100000 * kYen, 5000, 20240401), second});
    ASSERT_EQ(records.size(), 3u);
    auto it = records.begin();
    EXPECT_EQ(Field(**it++, "SISANMEI"), "first");
    EXPECT_EQ(Field(**it++, "SISANMEI"), "second");
    const StASSETRECORD& sum = **it;
    const Expected expected = {
        {"SISANMEI", "少額減価償却資産"},
        {"SUURYO", ""},
        {"SUURYOTANI", ""},
        {"SYUTOKUNENGETU_GENGO", "令和"},
        {"SYUTOKUNENGETU_NEN", "06"},  // the last small asset's era year
        {"SYUTOKUNENGETU_TUKI", ""},
        {"SYUTOKUKINGAKU", "150000"},
        {"SYOUKYAKUHOSYOUGAKU", ""},
        {"KISYUTYOUBOKAKAKU", ""},
        {"SYOUKYAKUKISOKINGAKU", ""},
        {"SYOUKYAKUHOUHOU", "6"},
        {"SYOUKYAKUMEI", "少額"},
        {"KEIKASOTI", ""},
        {"TAIYOUNENSU", ""},
        {"SYOUKYAKURITU", ""},
        {"KAITEISYOUKYAKURITU", ""},
        {"KAITEISYUTOKUKAGAKU", ""},
        {"SYOUKYAKUKIKAN", ""},
        {"CHOUSEIMAESYOUKYAKUGAKU", ""},
        {"FUTUUSYOUKYAKUHI", ""},
        {"WARIMASISYOUKYAKUHI", ""},
        {"JIGYOUSENYUWARIAI", ""},
        {"HITUYOUKEIHISANNYUUGAKU", "150000"},
        {"MISYOUKYAKUZANDAKA", ""},
        {"TEKIYOU_JYOUDAN", "措法28の2"},
        {"TEKIYOU_GEDAN", "(明細は別途保管)"},
    };
    for (const auto& e : expected) EXPECT_EQ(Field(sum, e.first), e.second) << e.first;
}

TEST_F(ConvertAssets, SummaryAccumulation) {
    struct Case {
        const char* title;
        std::vector<StASSETSNAPSHOT> assets;
        const char* total;
        const char* era;
        const char* year;
    };
    const Case cases[] = {
        {"a share of 33333.0001 rounds up", {SmallAsset(333330001, 10000)}, "33334", "令和", "06"},
        {"a share is rounded up before it is added",
         {SmallAsset(10001, 5000), SmallAsset(10001, 5000)},
         "2",
         "令和",
         "06"},
        {"a sum that no longer fits empties the field and the next starts from 0",
         {SmallAsset(999999999999LL * kYen, 10000), SmallAsset(kYen, 10000),
          SmallAsset(5 * kYen, 10000)},
         "5",
         "令和",
         "06"},
        {"a failed era lookup keeps the era and sets the year to 00",
         {SmallAsset(kYen, 10000), SmallAsset(kYen, 10000, 18000101)},
         "2",
         "令和",
         "00"},
        {"a range error keeps the sum so far",
         {SmallAsset(100000 * kYen, 10000), SmallAsset(INT64_MAX, 10000)},
         "100000",
         "令和",
         "06"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.title);
        const ClRecordList records = Convert(c.assets);
        ASSERT_EQ(records.size(), 1u);
        const StASSETRECORD& sum = *records.front();
        EXPECT_EQ(Field(sum, "SYUTOKUKINGAKU"), c.total);
        EXPECT_EQ(Field(sum, "HITUYOUKEIHISANNYUUGAKU"), c.total);
        EXPECT_EQ(Field(sum, "SYUTOKUNENGETU_GENGO"), c.era);
        EXPECT_EQ(Field(sum, "SYUTOKUNENGETU_NEN"), c.year);
    }
}

TEST_F(ConvertAssets, NothingToConvertGivesAnEmptyList) { EXPECT_TRUE(Convert({}).empty()); }

TEST_F(ConvertAssets, AllocationFailuresReturn0WithTheListEmpty) {
    const std::vector<StASSETSNAPSHOT> assets = {Asset(), SmallAsset(kYen, 10000), Asset()};
    // 1: the first record; 2: the summary record; 3: the last record.
    for (int n = 1; n <= 3; ++n) {
        SCOPED_TRACE(n);
        velnor::PlanAggregationAllocationFault(n);
        int result = -1;
        const ClRecordList records = Convert(assets, 0, &result);
        EXPECT_EQ(result, 0);
        EXPECT_TRUE(records.empty());
    }
    velnor::PlanAggregationAllocationFault(0);
    EXPECT_EQ(Convert(assets).size(), 3u);
}

// An independent reading of the two floating-point rules, checked against the conversion
// over many values.
namespace reference {

// "%.1f" of ratio / 100 (the double nearest it): d * 100 needs 60 bits, so the long double
// product is exact and tells on which side of the half the double lies. The quotient goes
// through memory: on the x87 unit GCC may keep it at 80 bits, which is not the double.
std::string RatioText(int ratio) {
    const volatile double d = ratio / 100.0;
    const long double hundredfold = static_cast<long double>(d) * 100;
    const int magnitude = std::abs(ratio);
    int tenths = magnitude / 10;
    const int hundredths = magnitude % 10;
    if (hundredths > 5 || (hundredths == 5 && std::fabs(hundredfold) >= magnitude)) ++tenths;
    const std::string text = std::string(ratio < 0 ? "-" : "") + std::to_string(tenths / 10) + "." +
                             std::to_string(tenths % 10);
    return text.size() < 6 ? text : "";
}

// The runtime's own reading of the number, then half up to two decimals.
std::string QuantityText(const std::string& number) {
    std::string plain;
    for (char c : number) {
        if (c != ',' && c != ' ') plain += c;
    }
    try {
        ClFixedDecimal value = ClFixedDecimal::FromDouble(std::strtod(plain.c_str(), nullptr));
        value.Round(ClFixedDecimal::kHalfUp, 3);
        char text[64];
        std::snprintf(text, sizeof text, "%s%lld.%02u", value.Sign() < 0 ? "-" : "",
                      static_cast<long long>(value.Whole()), value.Fraction() / 100);
        return std::strlen(text) < 12 ? text : "";
    } catch (const ClFixedDecimalRangeError&) {
        return "";
    }
}

}  // namespace reference

TEST_F(ConvertAssets, EveryRatioAgreesWithTheReference) {
    StASSETSNAPSHOT s = Asset();
    for (int ratio = -32768; ratio <= 32767; ++ratio) {
        s.master.nBusinessRatio = static_cast<int16_t>(ratio);
        const std::string got = Field(ConvertOne(s), "JIGYOUSENYUWARIAI");
        ASSERT_EQ(got, reference::RatioText(ratio)) << ratio;
    }
}

TEST_F(ConvertAssets, QuantitiesAgreeWithTheRuntimeReading) {
    // Texts that end in a digit (so no unit is split off) over the characters of numbers,
    // exponents and separators; no hexadecimal, "inf" or "nan", which runtimes read apart.
    const char alphabet[] = "0123456789012345.eE+-, ";
    std::mt19937 random(20261208);
    StASSETSNAPSHOT s = Asset();
    for (int i = 0; i < 50000; ++i) {
        std::string text;
        const size_t length = random() % 8;
        while (text.size() < length) text += alphabet[random() % (sizeof alphabet - 1)];
        text += static_cast<char>('0' + random() % 10);
        std::memset(s.master.szQuantity, 0, sizeof s.master.szQuantity);
        std::memcpy(s.master.szQuantity, text.data(), text.size());
        ASSERT_EQ(Field(ConvertOne(s), "SUURYO"), reference::QuantityText(text)) << text;
    }
}

#ifdef __GLIBC__
// glibc prints the exact binary value too; only exact ties may differ (it rounds them to
// even).
TEST(FormatDecimals, AgreesWithGlibcApartFromExactTies) {
    std::mt19937_64 random(8);
    for (int i = 0; i < 200000; ++i) {
        const int decimals = static_cast<int>(random() % 5);
        const double scale[] = {1e-6, 1e-2, 1, 1e3, 1e9, 1e15};
        double value = static_cast<double>(random() % 2000001) / 1000 - 1000;
        value *= scale[random() % 6];
        if (i % 3 == 0) value = std::round(value * 1e4) / 1e4;  // near 4-decimal values
        char exact[400];
        std::snprintf(exact, sizeof exact, "%.330f", value);
        const std::string tail = std::strchr(exact, '.') + 1 + decimals;
        if (tail.find_first_not_of('0', 1) == std::string::npos && tail[0] == '5') continue;
        char expected[64], got[64];
        std::snprintf(expected, sizeof expected, "%.*f", decimals, value);
        ASSERT_TRUE(velnor::FormatDecimals(value, decimals, got, sizeof got));
        ASSERT_STREQ(got, expected) << value << " " << decimals;
    }
}
#endif

TEST(FormatDecimals, ExactTiesGoAwayFromZeroAndBoundsHold) {
    char text[8];
    const struct {
        double value;
        int decimals;
        const char* text;
    } cases[] = {{0.5, 0, "1"},         {2.5, 0, "3"},         {-2.5, 0, "-3"},
                 {0.125, 2, "0.13"},    {50.25, 1, "50.3"},    {-0.0, 1, "-0.0"},
                 {1e-300, 4, "0.0000"}, {0.00005, 4, "0.0001"}};
    for (const auto& c : cases) {
        ASSERT_TRUE(velnor::FormatDecimals(c.value, c.decimals, text, sizeof text));
        EXPECT_STREQ(text, c.text) << c.value;
    }
    EXPECT_FALSE(velnor::FormatDecimals(123456.7, 2, text, sizeof text));  // 9 bytes
    EXPECT_STREQ(text, "");
    EXPECT_FALSE(velnor::FormatDecimals(1.0 / 0.0, 1, text, sizeof text));
    EXPECT_FALSE(velnor::FormatDecimals(1.0, 5, text, sizeof text));
}

}  // namespace
