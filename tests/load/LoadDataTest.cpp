// The load runs' host data files give what they promise: every text of the field-limit
// file fills its field, its export keeps every line within the writer's bounds, and the
// many-assets file exports the records counted for it.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "app/SelectedData.h"
#include "common/Business.h"
#include "common/Sjis.h"
#include "host/QelHost.h"
#include "host_standin/HostStandIn.h"
#include "load/DocumentChecks.h"
#include "load/HostExport.h"
#include "load/LoadData.h"

namespace {

class LoadData : public ::testing::Test {
  protected:
    void TearDown() override { hoststandin::Reset(); }
};

TEST_F(LoadData, FieldLimitsFillEveryField) {
    ASSERT_EQ("", hoststandin::LoadFromString(loaddata::FieldLimits()));
    char user[65] = {};
    ClDataMgr::Inst()->GetSysUserObject()->GetCurUserID(user);
    EXPECT_EQ(64u, std::strlen(user));
    for (int type : {0, 1}) {
        char folder[261] = {};
        ClFileMgr::Inst()->GetAppFolderPath(type, folder);
        EXPECT_EQ(260u, std::strlen(folder)) << type;
        EXPECT_EQ('\\', folder[259]) << type;
    }

    StDATAINFO data;
    ASSERT_TRUE(velnor::FindSelectedDataSet(&data));
    EXPECT_EQ(sizeof data.szDataID, velnor::FieldLength(data.szDataID, sizeof data.szDataID));
    EXPECT_EQ(sizeof data.szCompanyName,
              velnor::FieldLength(data.szCompanyName, sizeof data.szCompanyName));

    auto* eras = dynamic_cast<ClSetGengo*>(ClDataMgr::Inst()->GetSetMgr()->GetSetObject(13, 0));
    ASSERT_NE(nullptr, eras);
    int cursor = 0;
    ASSERT_EQ(0, eras->GetCursor(&cursor));
    ASSERT_EQ(0, eras->Ready(cursor));
    StGENGOINFO era;
    int eraCount = 0;
    while (eras->Walk(&era, cursor) == 0) {
        ++eraCount;
        EXPECT_EQ(15u, velnor::FieldLength(era.szName, sizeof era.szName));
    }
    eras->ReleaseCursor(cursor);
    EXPECT_EQ(3, eraCount);

    ClRuleGenkashokyaku rule;
    rule.AttachSetMgr(ClDataMgr::Inst()->GetSetMgr());
    rule.SetCurDataID(std::string(data.szDataID, sizeof data.szDataID).c_str());
    rule.AttachOptLink(ClLinkMgr::Inst()->GetOptLink());
    ASSERT_EQ(0, rule.MoveReady(nullptr, 0, 0));
    int32_t count = 0;
    ASSERT_EQ(0, rule.GetCount(&count));
    EXPECT_EQ(5, count);
    for (int32_t i = 0; i < count; ++i) {
        StKOTEISHISANINFO master;
        StKOTEINENINFO year;
        ASSERT_EQ(0, rule.Move(i, &master, &year, nullptr));
        const StKOTEISHISANHEAD& m = master.head;
        EXPECT_EQ(sizeof m.szName, velnor::FieldLength(m.szName, sizeof m.szName)) << i;
        EXPECT_EQ(sizeof m.szQuantity, velnor::FieldLength(m.szQuantity, sizeof m.szQuantity)) << i;
        EXPECT_EQ(sizeof m.szRemarks, velnor::FieldLength(m.szRemarks, sizeof m.szRemarks)) << i;
    }
    rule.MoveFinish();
}

using loaddata::ExpectSoundLines;
using loaddata::ExportHostData;
using loaddata::Occurrences;

TEST_F(LoadData, FieldLimitsExportWithinTheWritersBounds) {
    size_t records = 0;
    const std::string document =
        ExportHostData(loaddata::FieldLimits(), BUSINESS_GENERAL, &records);
    EXPECT_EQ(static_cast<size_t>(loaddata::kFieldLimitRecords), records);
    EXPECT_EQ(records, Occurrences(document, "<SISAN Count="));
    EXPECT_EQ(0u, document.rfind("<?xml", 0));
    ExpectSoundLines(document);
    // Names are cut to whole characters (1 + 15 × 2 of 32 bytes); escaping never splits an
    // entity, and the line of 32 escaped quotes still fits.
    std::string name = "A";
    for (int i = 0; i < 15; ++i) name += "あ";
    EXPECT_NE(std::string::npos, document.find("<SISANMEI>" + name + "</SISANMEI>"));
    std::string quotes;
    for (int i = 0; i < 32; ++i) quotes += "&quot;";
    EXPECT_NE(std::string::npos, document.find("<SISANMEI>" + quotes + "</SISANMEI>"));
    EXPECT_EQ(std::string::npos, document.find("&quot</"));
}

TEST_F(LoadData, ManyAssetsExportTheCountedRecords) {
    for (int count : {0, 1, 37, 2000}) {
        size_t records = 0;
        const std::string document =
            ExportHostData(loaddata::ManyAssets(count), BUSINESS_GENERAL, &records);
        EXPECT_EQ(static_cast<size_t>(loaddata::ExportedRecords(count)), records) << count;
        EXPECT_EQ(records, Occurrences(document, "<SISAN Count=")) << count;
    }
    size_t both = 0;
    ExportHostData(loaddata::ManyAssets(2000), BUSINESS_BOTH, &both);
    EXPECT_GT(both, static_cast<size_t>(loaddata::ExportedRecords(2000)));
}

}  // namespace
