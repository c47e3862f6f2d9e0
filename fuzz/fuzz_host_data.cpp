// The host data file as the stand-in loads it. Input: the file's JSON text.
// Loading either takes the data whole or refuses it with a reason and keeps the data
// that was there; what the host then answers depends on the data alone.
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "FuzzSupport.h"
#include "host/QelHost.h"
#include "host_standin/HostStandIn.h"

namespace {

const char kBaseline[] = R"({
  "user": {"id": "base", "selected": [1, 7]},
  "appFolders": {"0": "C:\\Borlex\\", "1": "C:\\Borlex\\Data\\"},
  "eras": [{"start": 19890108, "name": "平成"}, {"start": 20190501, "name": "令和"}],
  "dataSets": [
    {"id": "B1", "number": 7, "company": "基準商事", "periodStart": 20250101,
     "periodEnd": 20251231, "assets": [{"name": "車両", "cost": "1000000.5"}, {}]},
    {"id": "B2", "number": 8, "periodStart": 20250401, "periodEnd": 20260331}
  ]
})";

template <typename T>
void Append(std::string* out, const T& value) {
    out->append(reinterpret_cast<const char*>(&value), sizeof value);
}

// Everything the program can ask of the host's data, with every answer code.
std::string Fingerprint() {
    std::string fp;
    ClDataMgr* dataMgr = ClDataMgr::Inst();
    ClSysUser* user = dataMgr->GetSysUserObject();
    char userId[65] = {};
    Append(&fp, user->GetCurUserID(userId));
    fp.append(userId, sizeof userId);
    int32_t first = 0, second = 0;
    Append(&fp, user->GetSelectedNo(userId, &first, &second));
    Append(&fp, first);
    Append(&fp, second);
    for (int type = 0; type < 2; ++type) {
        char folder[261] = {};
        Append(&fp, ClFileMgr::Inst()->GetAppFolderPath(type, folder));
        fp.append(folder, sizeof folder);
    }
    Append(&fp, ClQelConnect::Inst()->ExpSysLink());

    if (auto* eras = static_cast<ClSetGengo*>(dataMgr->GetSetMgr()->GetSetObject(13, 0))) {
        int cursor = 0;
        Append(&fp, eras->GetCursor(&cursor));
        Append(&fp, eras->Ready(cursor));
        StGENGOINFO era;
        for (int n = 0; n < 1000; ++n) {
            std::memset(&era, 0, sizeof era);
            const int got = eras->Walk(&era, cursor);
            Append(&fp, got);
            if (got != 0) break;
            Append(&fp, era);
        }
        Append(&fp, eras->ReleaseCursor(cursor));
    }

    std::vector<std::string> ids;
    if (auto* sets = static_cast<ClSetData*>(dataMgr->GetSetObject(5, 1))) {
        int cursor = 0;
        Append(&fp, sets->GetDatCursor(&cursor));
        Append(&fp, sets->ReadyDat(cursor, 0));
        StDATAINFO data;
        for (;;) {
            std::memset(&data, 0, sizeof data);
            const int got = sets->WalkDat(&data, cursor);
            Append(&fp, got);
            if (got != 0) break;
            Append(&fp, data);
            ids.emplace_back(data.szDataID, strnlen(data.szDataID, sizeof data.szDataID));
        }
        Append(&fp, sets->ReleaseDatCursor(cursor));
        ClQelPeriod* period = nullptr;
        Append(&fp, sets->GetQelPeriod(&period));
        if (period != nullptr) {
            Append(&fp, period->GetPeriod(&first, &second));
            Append(&fp, first);
            Append(&fp, second);
            period->Release(1);
        }
    }

    for (const std::string& id : ids) {
        auto rule = std::make_unique<ClRuleGenkashokyaku>();
        rule->AttachSetMgr(dataMgr->GetSetMgr());
        rule->SetCurDataID(id.c_str());
        rule->AttachOptLink(ClLinkMgr::Inst()->GetOptLink());
        const int ready = rule->MoveReady(nullptr, 0, 0);
        Append(&fp, ready);
        if (ready != 0) continue;
        int32_t count = 0;
        Append(&fp, rule->GetCount(&count));
        Append(&fp, count);
        StKOTEISHISANINFO master;
        StKOTEINENINFO year;
        StKOTEITSUKIINFO month;
        for (int32_t i = 0; i <= count && i < 100000; ++i) {
            std::memset(&master, 0, sizeof master);
            std::memset(&year, 0, sizeof year);
            const int got = rule->Move(i, &master, &year, &month);
            Append(&fp, got);
            if (got != 0) break;
            Append(&fp, master);
            Append(&fp, year);
        }
        Append(&fp, rule->MoveFinish());
    }
    FUZZ_CHECK(hoststandin::OpenCursors() == 0 && hoststandin::OpenEnumerations() == 0 &&
               hoststandin::LiveRuleObjects() == 0 && hoststandin::LivePeriodObjects() == 0);
    return fp;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string json(reinterpret_cast<const char*>(data), size);

    hoststandin::Reset();
    FUZZ_CHECK(hoststandin::LoadFromString(kBaseline).empty());
    const std::string baseline = Fingerprint();

    const std::string why = hoststandin::LoadFromString(json);
    if (!why.empty()) {
        // Refused whole: the data before it answers as before.
        FUZZ_CHECK(hoststandin::IsLoaded());
        FUZZ_CHECK(Fingerprint() == baseline);
        return 0;
    }
    // Taken whole: one document, no NUL byte anywhere; loaded afresh, the same data gives
    // the same answers. A planned exception or crash would end the run, not answer.
    FUZZ_CHECK(json.find('\0') == std::string::npos);
    hoststandin::Reset();
    FUZZ_CHECK(hoststandin::LoadFromString(json).empty());
    hoststandin::ForgetFaults(true);
    const std::string first = Fingerprint();
    hoststandin::Reset();
    FUZZ_CHECK(hoststandin::LoadFromString(json).empty());
    hoststandin::ForgetFaults(true);
    FUZZ_CHECK(Fingerprint() == first);
    return 0;
}
