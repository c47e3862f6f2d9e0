#include "app/SelectedData.h"

#include <cstdint>
#include <cstring>

#include "host/QelHost.h"

namespace velnor {

namespace {

constexpr int kSetKindDataList = 5;
constexpr size_t kUserIdSize = 65;

// Releases the data-set cursor exactly once, whichever way the walk ends.
class DatCursor {
  public:
    explicit DatCursor(ClSetData* set) : set_(set) { set_->GetDatCursor(&cursor_); }
    ~DatCursor() { set_->ReleaseDatCursor(cursor_); }
    DatCursor(const DatCursor&) = delete;
    DatCursor& operator=(const DatCursor&) = delete;
    int get() const { return cursor_; }

  private:
    ClSetData* set_;
    int cursor_ = 0;
};

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
    if (set->ReadyDat(cursor.get(), 0) != 0) return false;
    for (;;) {
        StDATAINFO scratch;
        std::memset(&scratch, 0, sizeof(scratch));
        if (set->WalkDat(&scratch, cursor.get()) != 0) return false;
        if (scratch.nDataNo == selectedNo) {
            std::memcpy(record, &scratch, sizeof(*record));
            return true;
        }
    }
}

}  // namespace velnor
