#include "aggregation/AssetAggregator.h"

#include <cstdlib>
#include <cstring>
#include <new>

#include "common/Sjis.h"

namespace velnor {

namespace {
int g_allocationsUntilFault = 0;
}

bool AggregationAllocationFails() {
    if (g_allocationsUntilFault <= 0) return false;
    return --g_allocationsUntilFault == 0;
}

void PlanAggregationAllocationFault(int n) { g_allocationsUntilFault = n > 0 ? n : 0; }

}  // namespace velnor

namespace {

namespace host = velnor::host;
namespace data_info = velnor::host::data_info;

constexpr int16_t kMethodSmallAsset = 7;
constexpr int32_t kTypeNeverExported = 11;
// 99999999999 yen in the host's units of 1/10000 yen.
constexpr int64_t kMaxExpenses = 999999999990000LL;

// The rule object's class lives in the host's library, and so does its deleting
// destructor, which would free with the host's runtime: a host built with another
// compiler version or runtime than ours has another heap. So its storage is ours from
// allocation to release, and the host only constructs and destroys the object in it.
ClRuleGenkashokyaku* NewRuleObject() {
    if (velnor::AggregationAllocationFails()) return nullptr;
    void* storage = std::malloc(sizeof(ClRuleGenkashokyaku));
    if (storage == nullptr) return nullptr;
    try {
        // The global form: a class-scope operator new of the host's would hide the others.
        return ::new (storage) ClRuleGenkashokyaku();
    } catch (...) {
        std::free(storage);
        throw;
    }
}

void DeleteRuleObject(ClRuleGenkashokyaku* rule) {
    rule->~ClRuleGenkashokyaku();
    std::free(rule);
}

bool IsDisposed(int16_t state) { return state == 4 || state == 5; }

bool Selected(const StASSETSNAPSHOT& asset, const StDATAINFO& data, int16_t category) {
    const StASSETMASTER& master = asset.master;
    if (asset.year.llExpenses < 0 || asset.year.llExpenses > kMaxExpenses) return false;
    if (host::Read(data, data_info::kBusinessKinds) == BUSINESS_BOTH && category != BUSINESS_BOTH &&
        master.nBusinessCategory != category)
        return false;
    if (master.nTypeCode == kTypeNeverExported) return false;
    const int32_t periodStart = host::Read(data, data_info::kPeriodStart);
    if (IsDisposed(master.nDisposalState) && master.nDisposed < periodStart) return false;
    if (master.nMethod == kMethodSmallAsset && master.nAcquired < periodStart) return false;
    return true;
}

}  // namespace

ClAssetAggregator::~ClAssetAggregator() { Close(); }

int ClAssetAggregator::Open(const char* dataId) {
    if (m_pRule == nullptr) {
        m_pRule = NewRuleObject();
        if (m_pRule == nullptr) return 0;
    }
    m_pRule->AttachSetMgr(host::Instance<ClDataMgr>()->GetSetMgr());
    host::SetCurDataID(*m_pRule, dataId);
    m_pRule->AttachOptLink(host::Instance<ClLinkMgr>()->GetOptLink());
    return 1;
}

int ClAssetAggregator::Prepare(int32_t* count) {
    if (m_pRule == nullptr) return -1;
    m_pRule->MoveFinish();
    int rc = static_cast<int>(m_pRule->MoveReady(nullptr, 0, 0));
    if (rc != 0) return rc;
    rc = host::GetCount(*m_pRule, count);
    if (rc != 0) {
        m_pRule->MoveFinish();
        return rc;
    }
    return 0;
}

void ClAssetAggregator::Close() {
    if (m_pRule == nullptr) return;
    m_pRule->MoveFinish();
    DeleteRuleObject(m_pRule);
    m_pRule = nullptr;
}

int ClAssetAggregator::CollectAssets(ClSnapshotList& snapshots, const StDATAINFO& data,
                                     int16_t category) {
    snapshots.clear();

    char dataId[data_info::kDataId.kSize + 1];
    host::ReadText(data, data_info::kDataId, dataId, sizeof(dataId));
    if (!Open(dataId)) return 0;

    int32_t count = 0;
    const int rc = Prepare(&count);
    if (rc == host::kNoData) {
        count = 0;
    } else if (rc != 0) {
        Close();
        return 0;
    }

    StKOTEISHISANINFO master;
    StKOTEINENINFO year;
    StKOTEITSUKIINFO month;
    std::memset(&master, 0, sizeof(master));
    std::memset(&year, 0, sizeof(year));
    std::memset(&month, 0, sizeof(month));
    StASSETSNAPSHOT candidate;
    std::memset(&candidate, 0, sizeof(candidate));

    for (int32_t i = 0; i < count; ++i) {
        const int moved = static_cast<int>(m_pRule->Move(i, &master, &year, &month));
        if (moved != 0) {
            Close();
            if (moved == host::kNoData) return 1;
            snapshots.clear();
            return 0;
        }
        host::ReadPrefix(master, host::kAssetMasterPart, &candidate.master);
        host::ReadPrefix(year, host::kAssetYearPart, &candidate.year);
        if (!Selected(candidate, data, category)) continue;

        StASSETSNAPSHOT* snapshot =
            velnor::AggregationAllocationFails() ? nullptr : new (std::nothrow) StASSETSNAPSHOT;
        if (snapshot != nullptr) {
            std::memcpy(snapshot, &candidate, sizeof(*snapshot));
            try {
                snapshots.push_back(std::unique_ptr<StASSETSNAPSHOT>(snapshot));
            } catch (const std::bad_alloc&) {
                snapshot = nullptr;  // freed with the temporary owner
            }
        }
        if (snapshot == nullptr) {
            Close();
            snapshots.clear();
            return 0;
        }
    }
    Close();
    return 1;
}
