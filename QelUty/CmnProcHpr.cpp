#include "QelUty/CmnProcHpr.h"

#include <cstring>

#include "common/Sjis.h"

namespace {

constexpr const char* kModuleName = "CmnProcHpr";
constexpr int kEraSet = 13;
constexpr int kDataSetKind = 5;
constexpr int32_t kLastDate = 99991231;

}  // namespace

bool ClCmnProcHpr::Failed(int code, int line) {
    ClMsgMgr* msg = ClMsgMgr::Inst();
    const bool fatal = msg->CheckFatalErrorWithMsg(code, 0, 1, m_hOwner) != 0;
    if (code == 0 && !fatal) return false;
    msg->SetLastError(code, kModuleName, line);
    return true;
}

int ClCmnProcHpr::GetEra(int32_t date, StGENGOINFO* era, int* eraYear) {
    std::memset(era, 0, sizeof(*era));

    ClSetMgr* setMgr = ClDataMgr::Inst()->GetSetMgr();
    ClSetGengo* eras =
        setMgr ? dynamic_cast<ClSetGengo*>(setMgr->GetSetObject(kEraSet, 0)) : nullptr;
    if (eras == nullptr) {
        Failed(kCmnErrNoSetObject, __LINE__);
        return -1;
    }

    int cursor = 0;
    if (Failed(eras->GetCursor(&cursor), __LINE__)) return -1;
    if (Failed(eras->Ready(cursor), __LINE__)) {
        eras->ReleaseCursor(cursor);
        return -1;
    }

    StGENGOINFO previous{};
    StGENGOINFO current{};
    bool haveRecord = false;
    // A host exception fails the run; the cursor is still ours to give back.
    try {
        for (;;) {
            const int rc = eras->Walk(&current, cursor);
            if (rc == kQelNoData) break;
            if (Failed(rc, __LINE__)) {
                eras->ReleaseCursor(cursor);
                return -1;
            }
            if (!haveRecord) {
                if (date < current.nStart) {
                    eras->ReleaseCursor(cursor);
                    return -1;
                }
            } else if (date >= previous.nStart && date <= current.nStart - 1) {
                break;
            }
            previous = current;
            haveRecord = true;
        }
    } catch (...) {
        eras->ReleaseCursor(cursor);
        throw;
    }
    eras->ReleaseCursor(cursor);

    if (!haveRecord || date > kLastDate) return -1;
    *era = previous;
    *eraYear = date / 10000 - previous.nStart / 10000 + 1;
    return 0;
}

int ClCmnProcHpr::GetEraName(int32_t date, char* name, size_t nameSize, int* eraYear) {
    StGENGOINFO era;
    int year = 0;
    if (GetEra(date, &era, &year) != 0) return -1;
    velnor::CopyField(name, nameSize, era.szName, sizeof(era.szName));
    *eraYear = year;
    return 0;
}

int ClCmnProcHpr::GetPeriod(int32_t* first, int32_t* last) {
    *first = 0;
    *last = 0;

    ClSetData* data = dynamic_cast<ClSetData*>(ClDataMgr::Inst()->GetSetObject(kDataSetKind, 1));
    if (data == nullptr) {
        Failed(kCmnErrNoSetObject, __LINE__);
        return -1;
    }
    ClQelPeriod* period = nullptr;
    data->GetQelPeriod(&period);
    if (period == nullptr) {
        Failed(kCmnErrNoPeriodObject, __LINE__);
        return -1;
    }
    const int rc = period->GetPeriod(first, last);
    period->Release(1);
    if (Failed(rc, __LINE__)) {
        *first = 0;
        *last = 0;
        return -1;
    }
    return 0;
}
