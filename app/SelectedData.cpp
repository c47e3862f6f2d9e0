#include "app/SelectedData.h"

#include <cstdint>
#include <cstring>

#include "hostbinding/HostBinding.h"

namespace velnor {

namespace {

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
    host::DataCursor get() const { return cursor_; }
    void Release() {
        ClSetData* set = set_;
        set_ = nullptr;
        set->ReleaseDatCursor(cursor_);
    }

  private:
    ClSetData* set_;
    host::DataCursor cursor_{};
};

bool WalkToSelected(ClSetData* set, host::DataCursor cursor, int32_t selectedNo,
                    StDATAINFO* record) {
    if (set->ReadyDat(cursor, 0) != 0) return false;
    for (;;) {
        StDATAINFO scratch;
        std::memset(&scratch, 0, sizeof(scratch));
        if (set->WalkDat(&scratch, cursor) != 0) return false;
        if (host::Read(scratch, host::data_info::kDataNo) == selectedNo) {
            std::memcpy(record, &scratch, sizeof(*record));
            return true;
        }
    }
}

}  // namespace

bool FindSelectedDataSet(StDATAINFO* record) {
    std::memset(record, 0, sizeof(*record));
    ClDataMgr* dataMgr = host::Instance<ClDataMgr>();
    ClSysUser* user = dataMgr->GetSysUserObject();
    if (user == nullptr) return false;
    char userId[host::kUserIdSize] = {};
    user->GetCurUserID(userId);
    userId[host::kUserIdSize - 1] = '\0';
    int32_t unused = 0;
    int32_t selectedNo = 0;
    host::GetSelectedNo(*user, userId, &unused, &selectedNo);

    ClSetData* set = host::DataSetList(*dataMgr);
    if (set == nullptr) return false;
    DatCursor cursor(set);
    const bool found = WalkToSelected(set, cursor.get(), selectedNo, record);
    cursor.Release();
    return found;
}

}  // namespace velnor
