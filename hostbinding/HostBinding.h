// The program's one way to the host's library classes and records.
//
// The host's interface fixes the class and operation names, what each operation is passed
// and in which order, the static Inst() of the singletons, 32-bit signed results (0
// success, 5000 no data), the record type names, the sizes of StDATAINFO (1505) and
// StGENGOINFO (24) and the offset and type of every record field the program reads.
// Everything else is the header's own. The product names nothing of the host beyond
// those fixed names and reaches the rest through here. What this file assumes of the
// host's header, the whole list:
//
//  1. The headers are VELNOR_HOST_HEADERS, included in that order (VelnorHostHeaders.h,
//     written by the build from the SDK's velnor-sdk.cmake).
//  2. Integer parameters take a 32-bit value (int, long, LONG; short where a 16-bit one is
//     passed). An out-parameter is a pointer to any integer type: its local is declared
//     from the operation's own parameter type (OutParam).
//  3. Text parameters are const char* or char* (LPSTR): texts go over in writable
//     buffers of ours.
//  4. A window parameter, and the connection's owner member, is an HWND or another
//     pointer type that carries the handle (void*).
//  5. GetSetObject returns a pointer to a base of the set class, or void*. The set is
//     reached with static_cast: the host's libraries need not have RTTI.
//  6. Inst() returns a pointer or a reference.
//  7. ClFileMgr::GetAppFolderPath(type, buffer) fills a buffer of ours (261 bytes), or
//     GetAppFolderPath(type) returns a string object convertible to const char*.
//  8. The connection's title member is VELNOR_HOST_TITLE_MEMBER, of a type assignable
//     from const char*; its owner-window member is VELNOR_HOST_OWNER_MEMBER.
//  9. An operation whose parameter types are read here has one declaration (no
//     overloads): GetDatCursor, GetCursor, GetSelectedNo, GetPeriod, GetCount,
//     GetAppFolderPath, DispMsg, CheckFatalErrorWithMsg.
// 10. Results are integers; the records are plain bytes, read at their offsets.
// 11. The record types are complete and trivially copyable: the program clears and copies
//     them as blocks and keeps one of each of the asset's three on the stack. StFINDINFO
//     may stay incomplete (the program passes none).
// 12. ClRuleGenkashokyaku has a public default constructor and destructor; the other
//     operations may be declared in any base class of the one the program calls them on.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <tuple>
#include <type_traits>

#include "VelnorHostHeaders.h"
#include "common/Sjis.h"

namespace velnor {
namespace host {

// Results and numbers of the host's interface.
constexpr int kNoData = 5000;
constexpr int kSetKindDataList = 5;  // ClDataMgr::GetSetObject(5, 1): the ClSetData
constexpr int kSetEras = 13;         // ClSetMgr::GetSetObject(13, 0): the ClSetGengo
constexpr int16_t kDataKindPastResults = 99;
constexpr size_t kUserIdSize = 65;         // GetCurUserID: at most 64 bytes and the NUL
constexpr size_t kFolderPathSize = 261;    // GetAppFolderPath's buffer
constexpr size_t kMessageTextSize = 1024;  // DispMsg: longer texts are cut

// ---- Operations: parameter types as the header declares them -----------------------

template <class Member>
struct Operation;
template <class R, class C, class... A>
struct Operation<R (C::*)(A...)> {
    static constexpr size_t kArity = sizeof...(A);
    template <size_t N>
    using Param = std::tuple_element_t<N, std::tuple<A...>>;
};
template <class R, class C, class... A>
struct Operation<R (C::*)(A...) const> : Operation<R (C::*)(A...)> {};

// The type an out-parameter N of `Member` points to.
template <auto Member, size_t N>
using OutParam = std::remove_pointer_t<typename Operation<decltype(Member)>::template Param<N>>;

using DataCursor = OutParam<&ClSetData::GetDatCursor, 0>;
using EraCursor = OutParam<&ClSetGengo::GetCursor, 0>;

// An HWND (or none) as the window parameter N of `Member` takes it.
template <auto Member, size_t N>
auto WindowParam(void* window) {
    using Window = typename Operation<decltype(Member)>::template Param<N>;
    return static_cast<Window>(window);
}

// A text copied into a writable buffer of ours, cut at a character boundary.
template <size_t N>
class WritableText {
  public:
    explicit WritableText(const char* text) {
        const char* source = text != nullptr ? text : "";
        // One byte beyond what fits shows whether a double-byte character is split.
        const size_t kept = SjisCutLength(source, FieldLength(source, N), N - 1);
        std::memcpy(buffer_, source, kept);
        buffer_[kept] = '\0';
    }
    char* get() { return buffer_; }

  private:
    char buffer_[N];
};

template <class T>
T* Address(T* object) {
    return object;
}
template <class T>
T* Address(T& object) {
    return std::addressof(object);
}

// The singleton of `Class`, whether Inst() returns a pointer or a reference.
template <class Class>
Class* Instance() {
    return Address(Class::Inst());
}

// The set object behind GetSetObject's result, without RTTI.
template <class Set, class Result>
Set* SetObjectAs(Result* object) {
    if constexpr (std::is_base_of<Result, Set>::value) {
        return static_cast<Set*>(object);
    } else {
        return static_cast<Set*>(static_cast<void*>(object));
    }
}

inline ClSetData* DataSetList(ClDataMgr& dataMgr) {
    return SetObjectAs<ClSetData>(dataMgr.GetSetObject(kSetKindDataList, 1));
}

inline ClSetGengo* EraSet(ClSetMgr& setMgr) {
    return SetObjectAs<ClSetGengo>(setMgr.GetSetObject(kSetEras, 0));
}

// The current user's selection; `userId` is the user's id from GetCurUserID.
inline void GetSelectedNo(ClSysUser& user, char* userId, int32_t* first, int32_t* second) {
    OutParam<&ClSysUser::GetSelectedNo, 1> a{};
    OutParam<&ClSysUser::GetSelectedNo, 2> b{};
    user.GetSelectedNo(userId, &a, &b);
    *first = static_cast<int32_t>(a);
    *second = static_cast<int32_t>(b);
}

inline int GetPeriod(ClQelPeriod& period, int32_t* first, int32_t* last) {
    OutParam<&ClQelPeriod::GetPeriod, 0> a{};
    OutParam<&ClQelPeriod::GetPeriod, 1> b{};
    const int rc = static_cast<int>(period.GetPeriod(&a, &b));
    *first = static_cast<int32_t>(a);
    *last = static_cast<int32_t>(b);
    return rc;
}

inline int GetCount(ClRuleGenkashokyaku& rule, int32_t* count) {
    OutParam<&ClRuleGenkashokyaku::GetCount, 0> n{};
    const int rc = static_cast<int>(rule.GetCount(&n));
    *count = static_cast<int32_t>(n);
    return rc;
}

inline int SetCurDataID(ClRuleGenkashokyaku& rule, const char* dataId) {
    WritableText<32> id(dataId);
    return static_cast<int>(rule.SetCurDataID(id.get()));
}

inline void SetConnectionTitle(const char* title) {
    Instance<ClQelConnect>()->VELNOR_HOST_TITLE_MEMBER = title;
}

// `window` is an HWND.
inline void SetConnectionOwner(void* window) {
    auto& owner = Instance<ClQelConnect>()->VELNOR_HOST_OWNER_MEMBER;
    owner = static_cast<std::remove_reference_t<decltype(owner)>>(window);
}

// The host's message display; `window` is an HWND or none.
inline int DispMsg(void* window, const char* text, const char* caption, unsigned type) {
    WritableText<kMessageTextSize> message(text);
    WritableText<kMessageTextSize> title(caption);
    return static_cast<int>(Instance<ClQelConnect>()->DispMsg(
        WindowParam<&ClQelConnect::DispMsg, 0>(window), message.get(), title.get(), type));
}

inline int CheckFatalErrorWithMsg(ClMsgMgr& msg, int code, int arg2, int arg3, void* owner) {
    return static_cast<int>(msg.CheckFatalErrorWithMsg(
        code, arg2, arg3, WindowParam<&ClMsgMgr::CheckFatalErrorWithMsg, 3>(owner)));
}

inline void SetLastError(ClMsgMgr& msg, int code, const char* module, int line) {
    WritableText<64> name(module);
    msg.SetLastError(code, name.get(), line);
}

// The host's folder of `type` (0 or 1) into `out`; empty when there is none, or when it
// does not fit: a path cut short would name another folder.
template <class FileMgr>
void GetAppFolderPath(FileMgr& fileMgr, int type, char* out, size_t outSize) {
    if (outSize == 0) return;
    out[0] = '\0';
    const auto copyWhole = [&](const char* text) {
        if (text == nullptr) return;
        const size_t length = FieldLength(text, kFolderPathSize);
        if (length < kFolderPathSize && length < outSize) {
            std::memcpy(out, text, length);
            out[length] = '\0';
        }
    };
    if constexpr (Operation<decltype(&FileMgr::GetAppFolderPath)>::kArity == 2) {
        char buffer[kFolderPathSize] = {};
        fileMgr.GetAppFolderPath(type, buffer);
        copyWhole(buffer);
    } else {
        const auto& path = fileMgr.GetAppFolderPath(type);
        copyWhole(path);
    }
}

// ---- Records: the fields the program reads, at their offsets -------------------------

static_assert(sizeof(StDATAINFO) == 1505, "StDATAINFO is 1505 bytes");
static_assert(sizeof(StGENGOINFO) == 24, "StGENGOINFO is 24 bytes");

// A field of type T at `Offset` in the host's `Record`.
template <class Record, class T, size_t Offset>
struct Field {
    static_assert(std::is_trivially_copyable<T>::value, "fields are plain values");
    static_assert(Offset + sizeof(T) <= sizeof(Record), "the host's record is too small");
};

// A NUL-padded text field of `Size` bytes at `Offset` in the host's `Record`.
template <class Record, size_t Offset, size_t Size>
struct TextField {
    static constexpr size_t kSize = Size;
    static_assert(Offset + Size <= sizeof(Record), "the host's record is too small");
};

// The first `Size` bytes of the host's `Record`.
template <class Record, size_t Size>
struct Prefix {
    static_assert(Size <= sizeof(Record), "the host's record is too small");
};

template <class Record, class T, size_t Offset>
T Read(const Record& record, Field<Record, T, Offset>) {
    T value;
    std::memcpy(&value, reinterpret_cast<const unsigned char*>(&record) + Offset, sizeof value);
    return value;
}

// Copies the text into `out` of `outSize` bytes (see CopyField).
template <class Record, size_t Offset, size_t Size>
size_t ReadText(const Record& record, TextField<Record, Offset, Size>, char* out, size_t outSize) {
    return CopyField(out, outSize, reinterpret_cast<const char*>(&record) + Offset, Size);
}

template <class Record, size_t Size, class Out>
void ReadPrefix(const Record& record, Prefix<Record, Size>, Out* out) {
    static_assert(sizeof(Out) == Size && std::is_trivially_copyable<Out>::value, "");
    std::memcpy(out, &record, Size);
}

// StDATAINFO: one company data set.
namespace data_info {
constexpr TextField<StDATAINFO, 0, 16> kDataId{};
constexpr Field<StDATAINFO, int32_t, 16> kDataNo{};
constexpr TextField<StDATAINFO, 24, 260> kCompanyName{};
constexpr Field<StDATAINFO, int32_t, 284> kPeriodStart{};
constexpr Field<StDATAINFO, int32_t, 288> kPeriodEnd{};
constexpr Field<StDATAINFO, int32_t, 300> kManufacturingCost{};
constexpr Field<StDATAINFO, int16_t, 326> kDataKind{};
constexpr Field<StDATAINFO, uint8_t, 947> kBusinessKinds{};
constexpr Field<StDATAINFO, uint8_t, 1232> kRounding{};
}  // namespace data_info

// StGENGOINFO: one era.
namespace era_info {
constexpr Field<StGENGOINFO, int32_t, 4> kStart{};
constexpr TextField<StGENGOINFO, 8, 16> kName{};
}  // namespace era_info

// The parts of an asset's records that the program keeps (its snapshot).
constexpr Prefix<StKOTEISHISANINFO, 545> kAssetMasterPart{};
constexpr Prefix<StKOTEINENINFO, 80> kAssetYearPart{};

}  // namespace host
}  // namespace velnor
