#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <new>
#include <string>
#include <vector>

#include "aggregation/AssetAggregator.h"
#include "common/Ui.h"
#include "host_standin/HostStandIn.h"
#include "support/Seams.h"

namespace {

// Calls of the global operator new and delete while counted: the rule object's storage
// must never pass through them (see TheRuleObjectsStorageIsTheProgramsOwn).
bool g_countOperators = false;
int g_operatorNews = 0;
int g_operatorDeletes = 0;

void* CountedNew(std::size_t size) noexcept {
    if (g_countOperators) ++g_operatorNews;
    return std::malloc(size != 0 ? size : 1);
}

void CountedDelete(void* p) noexcept {
    if (p != nullptr && g_countOperators) ++g_operatorDeletes;
    std::free(p);
}

}  // namespace

void* operator new(std::size_t size) {
    if (void* p = CountedNew(size)) return p;
    throw std::bad_alloc();
}
void* operator new[](std::size_t size) { return operator new(size); }
void* operator new(std::size_t size, const std::nothrow_t&) noexcept { return CountedNew(size); }
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept { return CountedNew(size); }
void operator delete(void* p) noexcept { CountedDelete(p); }
void operator delete[](void* p) noexcept { CountedDelete(p); }
void operator delete(void* p, std::size_t) noexcept { CountedDelete(p); }
void operator delete[](void* p, std::size_t) noexcept { CountedDelete(p); }
void operator delete(void* p, const std::nothrow_t&) noexcept { CountedDelete(p); }
void operator delete[](void* p, const std::nothrow_t&) noexcept { CountedDelete(p); }

namespace {

// The host shows its fatal-error messages through the message-box seam: answered here,
// for the whole test program.
const velnor_test::MessageBoxRecorder g_boxes;

// The one data set of these tests: its period starts on 20240101.
std::string DataJson(const std::vector<std::string>& assets, int businessKinds = 3,
                     const std::string& extra = std::string()) {
    std::string json = R"({"dataSets": [{"id": "D1", "number": 1, "periodStart": 20240101, )"
                       R"("periodEnd": 20241231, "businessKinds": )" +
                       std::to_string(businessKinds) + R"(, "assets": [)";
    for (size_t i = 0; i < assets.size(); ++i) {
        if (i) json += ", ";
        json += "{" + assets[i] + "}";
    }
    json += "]}]";
    if (!extra.empty()) json += ", " + extra;
    return json + "}";
}

// Loads the data set into the host and gives the program's copy of its record.
StDATAINFO Load(const std::vector<std::string>& assets, int businessKinds = 3,
                const std::string& extra = std::string()) {
    hoststandin::Reset();
    velnor::PlanAggregationAllocationFault(0);
    EXPECT_EQ(hoststandin::LoadFromString(DataJson(assets, businessKinds, extra)), "");
    StDATAINFO info;
    std::memset(&info, 0, sizeof(info));
    std::strcpy(info.szDataID, "D1");
    info.nDataNo = 1;
    info.nPeriodStart = 20240101;
    info.nPeriodEnd = 20241231;
    info.byBusinessKinds = static_cast<uint8_t>(businessKinds);
    return info;
}

std::vector<std::string> Names(const ClSnapshotList& list) {
    std::vector<std::string> names;
    for (const auto& s : list) names.emplace_back(s->master.szName);
    return names;
}

// A list that holds something before the call, so that "emptied" is observable.
ClSnapshotList Stale() {
    ClSnapshotList list;
    list.emplace_back(new StASSETSNAPSHOT());
    return list;
}

void ExpectClosed() {
    EXPECT_EQ(hoststandin::LiveRuleObjects(), 0) << "rule object not destroyed";
    EXPECT_EQ(hoststandin::OpenEnumerations(), 0) << "enumeration not finished";
}

struct FilterCase {
    const char* title;
    int businessKinds;
    int16_t category;
    const char* asset;  // members beside the name
    bool selected;
};

TEST(CollectAssets, FiltersAtTheirBoundaries) {
    const FilterCase cases[] = {
        {"expenses -0.0001", 3, BUSINESS_BOTH, R"("expenses": "-0.0001")", false},
        {"expenses 0", 3, BUSINESS_BOTH, R"("expenses": "0")", true},
        {"expenses at the limit", 3, BUSINESS_BOTH, R"("expenses": "99999999999")", true},
        {"expenses one unit above", 3, BUSINESS_BOTH, R"("expenses": "99999999999.0001")", false},
        {"both kinds, general chosen, general asset", 3, BUSINESS_GENERAL,
         R"("businessCategory": 1)", true},
        {"both kinds, general chosen, real-estate asset", 3, BUSINESS_GENERAL,
         R"("businessCategory": 2)", false},
        {"both kinds, real estate chosen, general asset", 3, BUSINESS_REALESTATE,
         R"("businessCategory": 1)", false},
        {"both kinds, both chosen, real-estate asset", 3, BUSINESS_BOTH, R"("businessCategory": 2)",
         true},
        {"one kind, general chosen, real-estate asset", 1, BUSINESS_GENERAL,
         R"("businessCategory": 2)", true},
        {"type 11", 3, BUSINESS_BOTH, R"("typeCode": 11)", false},
        {"type 10", 3, BUSINESS_BOTH, R"("typeCode": 10)", true},
        {"disposed (4) the day before the period", 3, BUSINESS_BOTH,
         R"("disposalState": 4, "disposed": 20231231)", false},
        {"disposed (5) the day before the period", 3, BUSINESS_BOTH,
         R"("disposalState": 5, "disposed": 20231231)", false},
        {"disposed (4) on the first day", 3, BUSINESS_BOTH,
         R"("disposalState": 4, "disposed": 20240101)", true},
        {"state 3 with an early date", 3, BUSINESS_BOTH,
         R"("disposalState": 3, "disposed": 20000101)", true},
        {"small asset acquired before the period", 3, BUSINESS_BOTH,
         R"("method": 7, "acquired": 20231231)", false},
        {"small asset acquired on the first day", 3, BUSINESS_BOTH,
         R"("method": 7, "acquired": 20240101)", true},
        {"ordinary asset acquired before the period", 3, BUSINESS_BOTH,
         R"("method": 8, "acquired": 20231231)", true},
    };
    for (const FilterCase& c : cases) {
        SCOPED_TRACE(c.title);
        const StDATAINFO info = Load({std::string(R"("name": "A", )") + c.asset}, c.businessKinds);
        ClSnapshotList list = Stale();
        ClAssetAggregator aggregator;
        EXPECT_EQ(aggregator.CollectAssets(list, info, c.category), 1);
        EXPECT_EQ(list.size(), c.selected ? 1u : 0u);
        ExpectClosed();
    }
}

TEST(CollectAssets, KeepsHostOrderAndCopiesBothRecordHeads) {
    const StDATAINFO info = Load({
        R"("name": "first", "cost": "1000", "revisedCost": "-2.5", "expenses": "7")",
        R"("name": "skipped", "typeCode": 11)",
        R"("name": "third", "remarks": "r", "ordinary": "33", "additional2": "4")",
    });
    ClSnapshotList list;
    ClAssetAggregator aggregator;
    ASSERT_EQ(aggregator.CollectAssets(list, info, BUSINESS_BOTH), 1);
    ASSERT_EQ(Names(list), (std::vector<std::string>{"first", "third"}));
    const StASSETSNAPSHOT& first = *list.front();
    EXPECT_EQ(int64_t{first.master.llCost}, 10000000);
    EXPECT_EQ(int64_t{first.master.llRevisedCost}, -25000);
    EXPECT_EQ(int64_t{first.year.llExpenses}, 70000);
    const StASSETSNAPSHOT& third = *list.back();
    EXPECT_STREQ(third.master.szRemarks, "r");
    EXPECT_EQ(int64_t{third.year.llOrdinary}, 330000);
    EXPECT_EQ(int64_t{third.year.llAdditional2}, 40000);
    ExpectClosed();
}

struct HostCase {
    const char* fault;
    int result;
    size_t kept;  // snapshots left on success
};

TEST(CollectAssets, HostCodesAtEachCall) {
    const HostCase cases[] = {
        {R"({"op": "MoveReady", "code": 5000})", 1, 0},
        {R"({"op": "GetCount", "code": 5000})", 1, 0},
        {R"({"op": "Move", "at": 3, "code": 5000})", 1, 2},
        {R"({"op": "Move", "at": 1, "code": 5000})", 1, 0},
        {R"({"op": "MoveReady", "code": 12})", 0, 0},
        {R"({"op": "GetCount", "code": 12})", 0, 0},
        {R"({"op": "Move", "at": 1, "code": 12})", 0, 0},
        {R"({"op": "Move", "at": 3, "code": -3})", 0, 0},
    };
    for (const HostCase& c : cases) {
        SCOPED_TRACE(c.fault);
        const StDATAINFO info =
            Load({R"("name": "a")", R"("name": "b")", R"("name": "c")", R"("name": "d")"}, 3,
                 std::string(R"("faults": [)") + c.fault + "]");
        ClSnapshotList list = Stale();
        ClAssetAggregator aggregator;
        EXPECT_EQ(aggregator.CollectAssets(list, info, BUSINESS_BOTH), c.result);
        EXPECT_EQ(list.size(), c.kept);
        ExpectClosed();
        // Nothing is reported by the enumeration itself.
        EXPECT_TRUE(hoststandin::Log().empty());
    }
}

TEST(CollectAssets, NoAssetsIsSuccess) {
    const StDATAINFO info = Load({});
    ClSnapshotList list = Stale();
    ClAssetAggregator aggregator;
    EXPECT_EQ(aggregator.CollectAssets(list, info, BUSINESS_BOTH), 1);
    EXPECT_TRUE(list.empty());
    ExpectClosed();
}

TEST(CollectAssets, AllocationFailuresLeaveTheListEmpty) {
    // 1: the rule object; 2 and 3: the snapshots of the two selected assets.
    for (int n = 1; n <= 3; ++n) {
        SCOPED_TRACE(n);
        const StDATAINFO info = Load({R"("name": "a")", R"("name": "b")"});
        ClSnapshotList list = Stale();
        ClAssetAggregator aggregator;
        velnor::PlanAggregationAllocationFault(n);
        EXPECT_EQ(aggregator.CollectAssets(list, info, BUSINESS_BOTH), 0);
        velnor::PlanAggregationAllocationFault(0);
        EXPECT_TRUE(list.empty());
        ExpectClosed();
    }
}

// The host's deleting destructor would free with the host's runtime: the program allocates
// and frees the rule object's storage itself, never through operator new and delete.
TEST(CollectAssets, TheRuleObjectsStorageIsTheProgramsOwn) {
    Load({R"("name": "a")"});
    {
        // Once first, so that the host's own bookkeeping has its memory.
        ClAssetAggregator first;
        ASSERT_EQ(first.Open("D1"), 1);
    }
    ClAssetAggregator aggregator;
    g_operatorNews = g_operatorDeletes = 0;
    g_countOperators = true;
    const int opened = aggregator.Open("D1");
    const int live = hoststandin::LiveRuleObjects();
    aggregator.Close();
    g_countOperators = false;
    EXPECT_EQ(opened, 1);
    EXPECT_EQ(live, 1);
    EXPECT_EQ(g_operatorNews, 0);
    EXPECT_EQ(g_operatorDeletes, 0);
    ExpectClosed();
}

TEST(CollectAssets, OpenPrepareCloseByHand) {
    Load({R"("name": "a")", R"("name": "b")"});
    ClAssetAggregator aggregator;
    int32_t count = -1;
    EXPECT_EQ(aggregator.Prepare(&count), -1) << "nothing open";
    ASSERT_EQ(aggregator.Open("D1"), 1);
    ASSERT_EQ(aggregator.Open("D1"), 1) << "an open object is kept";
    EXPECT_EQ(hoststandin::LiveRuleObjects(), 1);
    EXPECT_EQ(aggregator.Prepare(&count), 0);
    EXPECT_EQ(count, 2);
    EXPECT_EQ(aggregator.Prepare(&count), 0) << "a second enumeration ends the first";
    EXPECT_EQ(hoststandin::OpenEnumerations(), 1);
    aggregator.Close();
    ExpectClosed();
    aggregator.Close();
    {
        ClAssetAggregator scoped;
        ASSERT_EQ(scoped.Open("D1"), 1);
        ASSERT_EQ(scoped.Prepare(&count), 0);
    }
    ExpectClosed();
}

}  // namespace
