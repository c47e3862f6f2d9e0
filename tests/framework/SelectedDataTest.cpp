// The lookup of the selected data set against the stand-in host.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "app/SelectedData.h"
#include "host_standin/HostStandIn.h"

namespace {

const char kThreeSets[] =
    R"("dataSets": [
      {"id": "D1", "number": 4, "company": "first", "periodStart": 20240101, "periodEnd": 20241231},
      {"id": "D2", "number": 7, "company": "second", "periodStart": 20240401, "periodEnd": 20250331,
       "businessKinds": 2},
      {"id": "D3", "number": 9, "company": "third", "periodStart": 20230401, "periodEnd": 20240331}
    ])";

struct LookupCase {
    const char* name;
    std::string json;
    bool found;
    const char* company;  // of the record found
    int releases;         // ReleaseDatCursor calls
};

TEST(FindSelectedDataSet, FindsTheUsersSelectionOrNothing) {
    const std::string sets = kThreeSets;
    const LookupCase cases[] = {
        {"first", R"({"user": {"id": "u", "selected": [1, 4]}, )" + sets + "}", true, "first", 1},
        {"middle", R"({"user": {"id": "u", "selected": [1, 7]}, )" + sets + "}", true, "second", 1},
        {"last", R"({"user": {"id": "u", "selected": [0, 9]}, )" + sets + "}", true, "third", 1},
        {"default selection", "{" + sets + "}", true, "first", 1},
        {"not among the sets", R"({"user": {"id": "u", "selected": [1, 8]}, )" + sets + "}", false,
         "", 1},
        {"no data sets", R"({"user": {"id": "u", "selected": [1, 1]}, "dataSets": []})", false, "",
         1},
        {"ReadyDat fails",
         R"({"user": {"id": "u", "selected": [1, 4]}, "faults": [{"op": "ReadyDat", "code": 3}], )" +
             sets + "}",
         false, "", 1},
        {"WalkDat fails before the selection",
         R"({"user": {"id": "u", "selected": [1, 9]},
             "faults": [{"op": "WalkDat", "at": 2, "code": 3}], )" +
             sets + "}",
         false, "", 1},
        {"no data-set list",
         R"({"user": {"id": "u", "selected": [1, 4]}, "faults": [{"op": "GetSetObject"}], )" +
             sets + "}",
         false, "", 0},
    };
    for (const LookupCase& c : cases) {
        hoststandin::Reset();
        ASSERT_EQ("", hoststandin::LoadFromString(c.json)) << c.name;
        StDATAINFO record;
        std::memset(&record, 0xCD, sizeof(record));
        EXPECT_EQ(c.found, velnor::FindSelectedDataSet(&record)) << c.name;
        EXPECT_STREQ(c.company, record.szCompanyName) << c.name;
        if (!c.found) {
            StDATAINFO zero;
            std::memset(&zero, 0, sizeof(zero));
            EXPECT_EQ(0, std::memcmp(&zero, &record, sizeof(record))) << c.name;
        }
        EXPECT_EQ(c.releases, hoststandin::CallCount("ReleaseDatCursor")) << c.name;
        EXPECT_EQ(0, hoststandin::OpenCursors()) << c.name;
    }
}

TEST(FindSelectedDataSet, CopiesTheWholeRecord) {
    hoststandin::Reset();
    ASSERT_EQ("", hoststandin::LoadFromString(R"({"user": {"id": "u", "selected": [1, 7]}, )" +
                                              std::string(kThreeSets) + "}"));
    StDATAINFO record;
    ASSERT_TRUE(velnor::FindSelectedDataSet(&record));
    EXPECT_STREQ("D2", record.szDataID);
    EXPECT_EQ(7, record.nDataNo);
    EXPECT_EQ(20240401, record.nPeriodStart);
    EXPECT_EQ(20250331, record.nPeriodEnd);
    EXPECT_EQ(2, record.byBusinessKinds);
}

}  // namespace
