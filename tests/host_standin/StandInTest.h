// Shared by the stand-in's tests: reading back what the host answers.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "common/Ui.h"
#include "host/QelHost.h"
#include "host_standin/HostStandIn.h"
#include "support/Seams.h"

namespace standintest {

inline void SetEnv(const char* name, const std::string& value) {
#ifdef _WIN32
    _putenv_s(name, value.c_str());
#else
    if (value.empty()) {
        unsetenv(name);
    } else {
        setenv(name, value.c_str(), 1);
    }
#endif
}

// Every test starts from a forgotten host and records message boxes instead of showing them.
class StandIn : public ::testing::Test {
  protected:
    void SetUp() override { hoststandin::Reset(); }
    void TearDown() override {
        SetEnv("VELNOR_HOST_DATA", "");
        SetEnv("VELNOR_HOST_LOG", "");
    }
    void Load(const std::string& json) { ASSERT_EQ(hoststandin::LoadFromString(json), ""); }
    std::vector<velnor_test::ShownBox>& Shown() { return boxes_.shown; }

  private:
    velnor_test::MessageBoxRecorder boxes_;
};

inline ClSetData* DataSets() {
    return static_cast<ClSetData*>(ClDataMgr::Inst()->GetSetObject(5, 1));
}

inline std::vector<StDATAINFO> WalkDataSets() {
    std::vector<StDATAINFO> out;
    ClSetData* sets = DataSets();
    int cursor = 0;
    EXPECT_EQ(sets->GetDatCursor(&cursor), 0);
    EXPECT_EQ(sets->ReadyDat(cursor, 0), 0);
    StDATAINFO record;
    while (sets->WalkDat(&record, cursor) == 0) out.push_back(record);
    EXPECT_EQ(sets->ReleaseDatCursor(cursor), 0);
    return out;
}

struct Asset {
    StKOTEISHISANINFO master;
    StKOTEINENINFO year;
};

// The rule object's records for data set `id`, through the calls the program makes.
inline std::vector<Asset> EnumerateAssets(const char* id) {
    std::vector<Asset> out;
    ClRuleGenkashokyaku rule;
    rule.AttachSetMgr(ClDataMgr::Inst()->GetSetMgr());
    rule.SetCurDataID(id);
    rule.AttachOptLink(ClLinkMgr::Inst()->GetOptLink());
    if (rule.MoveReady(nullptr, 0, 0) != 0) return out;
    int32_t count = 0;
    EXPECT_EQ(rule.GetCount(&count), 0);
    Asset a;
    StKOTEITSUKIINFO month;
    for (int32_t i = 0; i < count; ++i) {
        EXPECT_EQ(rule.Move(i, &a.master, &a.year, &month), 0);
        out.push_back(a);
    }
    EXPECT_EQ(rule.Move(count, &a.master, &a.year, &month), kQelNoData);
    rule.MoveFinish();
    return out;
}

}  // namespace standintest
