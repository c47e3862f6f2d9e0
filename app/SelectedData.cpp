#include "app/SelectedData.h"

#include <cstdint>
#include <cstring>

#include "host/QelHost.h"

namespace velnor {

namespace {

constexpr int kSetKindDataList = 5;
constexpr size_t kUserIdSize = 65;

// Releases the data-set cursor exactly once, whichever way the walk ends: by Release,
// where an exception of the host's release can reach the caller, or on the way out of
// another exception, which the run already fails with.
class DatCursor {
  public:
    explicit DatCursor(ClSetData* set) : set_(set) { set_->GetDatCursor(&cursor_); }
    ~DatCursor() {
        if (set_ == nullptr) return;
        try {
            set_->ReleaseDatCursor(cursor_);
        } catch (...) {
        }
    }
    DatCursor(const DatCursor&) = delete;
    DatCursor& operator=(const DatCursor&) = delete;
    int get() const { return cursor_; }
    void Release() {
        ClSetData* set = set_;
        set_ = nullptr;
        set->ReleaseDatCursor(cursor_);
    }

  private:
    ClSetData* set_;
    int cursor_ = 0;
};

bool WalkToSelected(ClSetData* set, int cursor, int32_t selectedNo, StDATAINFO* record) {
    if (set->ReadyDat(cursor, 0) != 0) return false;
    for (;;) {
        StDATAINFO scratch;
        std::memset(&scratch, 0, sizeof(scratch));
        if (set->WalkDat(&scratch, cursor) != 0) return false;
        if (scratch.nDataNo == selectedNo) {
            std::memcpy(record, &scratch, sizeof(*record));
            return true;
        }
    }
}

}  // namespace

bool FindSelectedDataSet(StDATAINFO* record) {
    std::memset(record, 0, sizeof(*record));
    ClDataMgr* dataMgr = ClDataMgr::Inst();
    ClSysUser* user = dataMgr->GetSysUserObject();
    if (user == nullptr) return false;
    char userId[kUserIdSize] = {};
    user->GetCurUserID(userId);
    userId[kUserIdSize - 1] = '\0';
    int32_t unused = 0;
    int32_t selectedNo = 0;
    user->GetSelectedNo(userId, &unused, &selectedNo);

    auto* set = dynamic_cast<ClSetData*>(dataMgr->GetSetObject(kSetKindDataList, 1));
    if (set == nullptr) return false;
    DatCursor cursor(set);
    const bool found = WalkToSelected(set, cursor.get(), selectedNo, record);
    cursor.Release();
    return found;
}

}  // namespace velnor
