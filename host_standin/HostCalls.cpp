// The host's classes, answering from the loaded host data. Misuse that the real host
// would not survive (unknown cursor, walking before Ready, no data ID) answers kMisuse so
// that tests notice it.
#include <algorithm>
#include <cstring>

#include "common/Sjis.h"
#include "common/Ui.h"
#include "host/QelHost.h"
#include "host_standin/StandInState.h"

using hoststandin::CountCall;
using hoststandin::Record;
using hoststandin::TheState;

class ClOptLink {};

namespace {

constexpr int kMisuse = -1;
constexpr unsigned kMbIconStop = 0x10;
const char* const kHostCaption = "Borlex";

// The selected data set, or null.
const hoststandin::DataSetData* SelectedDataSet() {
    for (const auto& d : TheState().data.dataSets) {
        if (d.info.nDataNo == TheState().data.selected[1]) return &d;
    }
    return nullptr;
}

class StandInPeriod final : public ClQelPeriod {
  public:
    StandInPeriod(int32_t first, int32_t last) : first_(first), last_(last) {
        ++TheState().livePeriods;
    }
    int GetPeriod(int32_t* first, int32_t* last) override {
        int code = 0;
        if (CountCall("GetPeriod", &code)) return code;
        if (first == nullptr || last == nullptr) return kMisuse;
        *first = first_;
        *last = last_;
        return kQelOk;
    }
    void Release(int) override { delete this; }

  private:
    ~StandInPeriod() override { --TheState().livePeriods; }
    int32_t first_, last_;
};

int OpenCursor(bool era, int* cursor) {
    if (cursor == nullptr) return kMisuse;
    auto& s = TheState();
    *cursor = s.nextCursor++;
    s.cursors[*cursor] = hoststandin::Cursor{era, false, 0};
    return kQelOk;
}

hoststandin::Cursor* FindCursor(bool era, int cursor) {
    auto& cursors = TheState().cursors;
    const auto it = cursors.find(cursor);
    return it != cursors.end() && it->second.era == era ? &it->second : nullptr;
}

int ReadyCursor(bool era, const char* op, int cursor) {
    int code = 0;
    if (CountCall(op, &code)) return code;
    hoststandin::Cursor* c = FindCursor(era, cursor);
    if (c == nullptr) return kMisuse;
    c->ready = true;
    c->next = 0;
    return kQelOk;
}

// Copies the cursor's next element of `items` into `record`.
template <typename Item, typename Rec>
int WalkCursor(bool era, const char* op, int cursor, const std::vector<Item>& items, Rec* record,
               const Rec& (*view)(const Item&)) {
    int code = 0;
    if (CountCall(op, &code)) return code;
    hoststandin::Cursor* c = FindCursor(era, cursor);
    if (c == nullptr || !c->ready || record == nullptr) return kMisuse;
    if (c->next >= items.size()) return kQelNoData;
    std::memcpy(record, &view(items[c->next++]), sizeof(Rec));
    return kQelOk;
}

int CloseCursor(bool era, int cursor) {
    if (FindCursor(era, cursor) == nullptr) return kMisuse;
    TheState().cursors.erase(cursor);
    return kQelOk;
}

const StDATAINFO& InfoOf(const hoststandin::DataSetData& d) { return d.info; }
const StGENGOINFO& EraOf(const StGENGOINFO& e) { return e; }

}  // namespace

// ---- data sets and eras

int ClSetData::GetDatCursor(int* cursor) {
    int code = 0;
    if (CountCall("GetDatCursor", &code)) return code;
    return OpenCursor(false, cursor);
}

int ClSetData::ReadyDat(int cursor, int) { return ReadyCursor(false, "ReadyDat", cursor); }

int ClSetData::WalkDat(StDATAINFO* record, int cursor) {
    return WalkCursor(false, "WalkDat", cursor, TheState().data.dataSets, record, &InfoOf);
}

// A planned fault hits after the release: the host failed, the cursor is gone all the same.
int ClSetData::ReleaseDatCursor(int cursor) {
    const int closed = CloseCursor(false, cursor);
    int code = 0;
    if (CountCall("ReleaseDatCursor", &code)) return code;
    return closed;
}

int ClSetData::GetQelPeriod(ClQelPeriod** period) {
    if (period == nullptr) return kMisuse;
    *period = nullptr;
    int code = 0;
    if (CountCall("GetQelPeriod", &code)) return code != 0 ? code : kMisuse;
    const hoststandin::DataSetData* d = SelectedDataSet();
    if (d == nullptr) return kMisuse;
    *period = new StandInPeriod(d->info.nPeriodStart, d->info.nPeriodEnd);
    return kQelOk;
}

int ClSetGengo::GetCursor(int* cursor) {
    int code = 0;
    if (CountCall("GetCursor", &code)) return code;
    return OpenCursor(true, cursor);
}

int ClSetGengo::Ready(int cursor) { return ReadyCursor(true, "Ready", cursor); }

int ClSetGengo::Walk(StGENGOINFO* record, int cursor) {
    return WalkCursor(true, "Walk", cursor, TheState().data.eras, record, &EraOf);
}

int ClSetGengo::ReleaseCursor(int cursor) {
    CountCall("ReleaseCursor");
    return CloseCursor(true, cursor);
}

ClSetBase* ClSetMgr::GetSetObject(int set, int sub) {
    static ClSetGengo eras;
    if (CountCall("GetEraSet")) return nullptr;
    return set == 13 && sub == 0 ? &eras : nullptr;
}

// ---- user and data manager

int ClSysUser::GetCurUserID(char* buffer) {
    if (buffer == nullptr) return kMisuse;
    const std::string& id = TheState().data.userId;  // at most 64 bytes
    std::memcpy(buffer, id.c_str(), id.size() + 1);
    return kQelOk;
}

int ClSysUser::GetSelectedNo(const char* userId, int32_t* first, int32_t* second) {
    if (userId == nullptr || first == nullptr || second == nullptr) return kMisuse;
    if (TheState().data.userId != userId) return kMisuse;
    *first = TheState().data.selected[0];
    *second = TheState().data.selected[1];
    return kQelOk;
}

ClDataMgr* ClDataMgr::Inst() {
    static ClDataMgr instance;
    return &instance;
}

ClSysUser* ClDataMgr::GetSysUserObject() {
    static ClSysUser user;
    return &user;
}

ClSetMgr* ClDataMgr::GetSetMgr() {
    static ClSetMgr setMgr;
    return &setMgr;
}

ClSetBase* ClDataMgr::GetSetObject(int kind, int sub) {
    static ClSetData dataSets;
    if (CountCall("GetSetObject")) return nullptr;
    return kind == 5 && sub == 1 ? &dataSets : nullptr;
}

ClLinkMgr* ClLinkMgr::Inst() {
    static ClLinkMgr instance;
    return &instance;
}

ClOptLink* ClLinkMgr::GetOptLink() {
    static ClOptLink link;
    return &link;
}

// ---- the depreciation rule object

int ClRuleBase::SetCurDataID(const char* dataId) {
    if (dataId == nullptr) return kMisuse;
    m_strDataID = dataId;
    return kQelOk;
}

int ClRuleBase::AttachOptLink(ClOptLink* link) {
    m_pOptLink = link;
    return link != nullptr ? kQelOk : kMisuse;
}

ClRuleGenkashokyaku::ClRuleGenkashokyaku() { ++TheState().liveRules; }

ClRuleGenkashokyaku::~ClRuleGenkashokyaku() {
    CloseEnumeration();
    --TheState().liveRules;
}

int ClRuleGenkashokyaku::AttachSetMgr(ClSetMgr* setMgr) {
    m_pSetMgr = setMgr;
    return setMgr != nullptr ? kQelOk : kMisuse;
}

// m_nCursor is the index of the enumerated data set while an enumeration is open.
int ClRuleGenkashokyaku::MoveReady(StFINDINFO*, int, int) {
    int code = 0;
    if (CountCall("MoveReady", &code)) return code;
    CloseEnumeration();
    if (m_pSetMgr == nullptr || m_pOptLink == nullptr) return kMisuse;
    const auto& sets = TheState().data.dataSets;
    const auto found = std::find_if(sets.begin(), sets.end(), [&](const auto& d) {
        return m_strDataID ==
               std::string(d.info.szDataID,
                           velnor::FieldLength(d.info.szDataID, sizeof d.info.szDataID));
    });
    if (found == sets.end()) return kMisuse;
    if (found->assets.empty()) return kQelNoData;
    m_nCursor = static_cast<int>(found - sets.begin());
    ++TheState().openEnumerations;
    return kQelOk;
}

int ClRuleGenkashokyaku::GetCount(int32_t* count) {
    int code = 0;
    if (CountCall("GetCount", &code)) return code;
    const auto& sets = TheState().data.dataSets;
    if (count == nullptr || m_nCursor < 0 || static_cast<size_t>(m_nCursor) >= sets.size()) {
        return kMisuse;
    }
    *count = static_cast<int32_t>(sets[m_nCursor].assets.size());
    return kQelOk;
}

int ClRuleGenkashokyaku::Move(int32_t index, StKOTEISHISANINFO* master, StKOTEINENINFO* year,
                              StKOTEITSUKIINFO* month) {
    int code = 0;
    if (CountCall("Move", &code)) return code;
    const auto& sets = TheState().data.dataSets;
    if (master == nullptr || year == nullptr || m_nCursor < 0 ||
        static_cast<size_t>(m_nCursor) >= sets.size()) {
        return kMisuse;
    }
    const auto& assets = sets[m_nCursor].assets;
    if (index < 0 || static_cast<size_t>(index) >= assets.size()) return kQelNoData;
    std::memcpy(master, &assets[index].master, sizeof *master);
    std::memcpy(year, &assets[index].year, sizeof *year);
    if (month != nullptr) std::memset(month, 0, sizeof *month);
    return kQelOk;
}

int ClRuleGenkashokyaku::MoveFinish() {
    CountCall("MoveFinish");
    CloseEnumeration();
    return kQelOk;
}

void ClRuleGenkashokyaku::CloseEnumeration() {
    if (m_nCursor >= 0) {
        m_nCursor = -1;
        --TheState().openEnumerations;
    }
}

// ---- connection, folders, messages

ClQelConnect* ClQelConnect::Inst() {
    static ClQelConnect instance;
    return &instance;
}

void ClQelConnect::SetAppType(int type) {
    CountCall("SetAppType");
    TheState().appType = type;
}
void ClQelConnect::SetUseDataType(int type) { TheState().useDataType = type; }

int ClQelConnect::Initiate() {
    if (!TheState().loaded) {
        const std::string file = hoststandin::DefaultDataFile();
        const std::string why = hoststandin::LoadFromFile(file);
        if (!why.empty()) {
            ++TheState().calls["Initiate"];
            const std::string shownFile = hoststandin::platform::PathAsHostText(file);
            const std::string shownWhy = hoststandin::Utf8ToSjisLossy(why);
            Record("LoadError", {shownFile, shownWhy});
            const std::string text =
                "The host data file " + shownFile + " could not be loaded:\n" + shownWhy;
            velnor::ShowMessageBox(m_hOwnerWnd, text.c_str(), kHostCaption,
                                   velnor::kMbOk | kMbIconStop);
            return kMisuse;
        }
    }
    // Counted after loading, so that the file's own faults apply to this call.
    int code = 0;
    if (CountCall("Initiate", &code)) return code;
    return TheState().data.initiate;
}

int ClQelConnect::ExpSysLink() {
    int code = 0;
    if (CountCall("ExpSysLink", &code)) return code;
    return TheState().data.expSysLink;
}

int ClQelConnect::DispMsg(QelWindow window, const char* text, const char* caption, unsigned type) {
    Record("DispMsg", {caption ? caption : "", std::to_string(type), text ? text : ""});
    return velnor::ShowMessageBox(window, text ? text : "", caption ? caption : "", type);
}

int ClQelConnect::LogOut() {
    Record("LogOut", {});
    return kQelOk;
}

int ClQelConnect::Terminate() {
    Record("Terminate", {});
    return kQelOk;
}

int ClQelConnect::Release() {
    const int counts[] = {hoststandin::LiveRuleObjects(), hoststandin::OpenEnumerations(),
                          hoststandin::OpenCursors(), hoststandin::LivePeriodObjects()};
    if (counts[0] != 0 || counts[1] != 0 || counts[2] != 0 || counts[3] != 0) {
        std::vector<std::string> fields;
        for (int count : counts) fields.push_back(std::to_string(count));
        Record("Leak", std::move(fields));
    }
    Record("Release", {});
    return kQelOk;
}

ClFileMgr* ClFileMgr::Inst() {
    static ClFileMgr instance;
    return &instance;
}

int ClFileMgr::GetAppFolderPath(int type, char* buffer) {
    if (buffer == nullptr) return kMisuse;
    buffer[0] = '\0';
    if (type != 0 && type != 1) return kMisuse;
    const std::string& folder = TheState().data.appFolders[type];  // at most 260 bytes
    std::memcpy(buffer, folder.c_str(), folder.size() + 1);
    return kQelOk;
}

ClMsgMgr* ClMsgMgr::Inst() {
    static ClMsgMgr instance;
    return &instance;
}

int ClMsgMgr::CheckFatalErrorWithMsg(int code, int, int, QelWindow owner) {
    CountCall("CheckFatalErrorWithMsg");
    const auto& fatal = TheState().data.fatalCodes;
    if (std::find(fatal.begin(), fatal.end(), code) == fatal.end()) return 0;
    const std::string text = hoststandin::Utf8ToSjisLossy(
        u8"重大なエラーが発生しました。処理を中止します。(エラーコード: " + std::to_string(code) +
        ")");
    Record("FatalError", {std::to_string(code), text});
    velnor::ShowMessageBox(owner, text.c_str(), kHostCaption, velnor::kMbOk | kMbIconStop);
    return 1;
}

void ClMsgMgr::SetLastError(int code, const char* module, int line) {
    Record("SetLastError", {std::to_string(code), module ? module : "", std::to_string(line)});
}
