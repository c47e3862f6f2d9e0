#include "QelUty/CmnProcHpr.h"

#include <cstring>

#include "common/Sjis.h"

namespace {

namespace host = velnor::host;

constexpr const char* kModuleName = "CmnProcHpr";
constexpr int32_t kLastDate = 99991231;

}  // namespace

bool ClCmnProcHpr::Failed(int code, int line) {
    ClMsgMgr* msg = host::Instance<ClMsgMgr>();
    const bool fatal = host::CheckFatalErrorWithMsg(*msg, code, 0, 1, m_hOwner) != 0;
    if (code == 0 && !fatal) return false;
    host::SetLastError(*msg, code, kModuleName, line);
    return true;
}

int ClCmnProcHpr::GetEra(int32_t date, StGENGOINFO* era, int* eraYear) {
    std::memset(era, 0, sizeof(*era));

    ClSetMgr* setMgr = host::Instance<ClDataMgr>()->GetSetMgr();
    ClSetGengo* eras = setMgr ? host::EraSet(*setMgr) : nullptr;
    if (eras == nullptr) {
        Failed(kCmnErrNoSetObject, __LINE__);
        return -1;
    }

    host::EraCursor cursor{};
    if (Failed(eras->GetCursor(&cursor), __LINE__)) return -1;
    if (Failed(eras->Ready(cursor), __LINE__)) {
        eras->ReleaseCursor(cursor);
        return -1;
    }

    StGENGOINFO previous;
    StGENGOINFO current;
    std::memset(&previous, 0, sizeof previous);
    std::memset(&current, 0, sizeof current);
    bool haveRecord = false;
    // A host exception fails the run; the cursor is still ours to give back.
    try {
        for (;;) {
            const int rc = static_cast<int>(eras->Walk(&current, cursor));
            if (rc == host::kNoData) break;
            if (Failed(rc, __LINE__)) {
                eras->ReleaseCursor(cursor);
                return -1;
            }
            if (!haveRecord) {
                if (date < host::Read(current, host::era_info::kStart)) {
                    eras->ReleaseCursor(cursor);
                    return -1;
                }
            } else if (date >= host::Read(previous, host::era_info::kStart) &&
                       date <= host::Read(current, host::era_info::kStart) - 1) {
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
    std::memcpy(era, &previous, sizeof previous);
    *eraYear = date / 10000 - host::Read(previous, host::era_info::kStart) / 10000 + 1;
    return 0;
}

int ClCmnProcHpr::GetEraName(int32_t date, char* name, size_t nameSize, int* eraYear) {
    StGENGOINFO era;
    int year = 0;
    if (GetEra(date, &era, &year) != 0) return -1;
    host::ReadText(era, host::era_info::kName, name, nameSize);
    *eraYear = year;
    return 0;
}

int ClCmnProcHpr::GetPeriod(int32_t* first, int32_t* last) {
    *first = 0;
    *last = 0;

    ClSetData* data = host::DataSetList(*host::Instance<ClDataMgr>());
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
    const int rc = host::GetPeriod(*period, first, last);
    period->Release(1);
    if (Failed(rc, __LINE__)) {
        *first = 0;
        *last = 0;
        return -1;
    }
    return 0;
}
