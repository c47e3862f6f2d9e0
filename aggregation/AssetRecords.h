// The program's two record types of one fixed asset and the lists that own them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <list>
#include <memory>

#include "host/QelRecords.h"

#pragma pack(push, 1)

// The program's copy of one asset: the first 545 bytes of the master record and the
// first 80 bytes of the year record, in one 625-byte block.
struct StASSETSNAPSHOT {
    StKOTEISHISANHEAD master;  // 0
    StKOTEINENHEAD year;       // 545
};
static_assert(sizeof(StASSETSNAPSHOT) == 625, "StASSETSNAPSHOT is 625 bytes");
static_assert(offsetof(StASSETSNAPSHOT, year) == 545, "");
static_assert(offsetof(StASSETSNAPSHOT, year) + offsetof(StKOTEINENHEAD, llOrdinary) == 585, "");
static_assert(offsetof(StASSETSNAPSHOT, year) + offsetof(StKOTEINENHEAD, llAdditional1) == 593, "");
static_assert(offsetof(StASSETSNAPSHOT, year) + offsetof(StKOTEINENHEAD, llAdditional2) == 601, "");
static_assert(offsetof(StASSETSNAPSHOT, year) + offsetof(StKOTEINENHEAD, llExpenses) == 609, "");

// One SISAN element of the export: NUL-terminated Shift_JIS texts, widths including the
// NUL. The field order is the element order of the document.
struct StASSETRECORD {
    char SISANMEI[33];
    char SUURYO[12];
    char SUURYOTANI[5];
    char SYUTOKUNENGETU_GENGO[7];
    char SYUTOKUNENGETU_NEN[3];
    char SYUTOKUNENGETU_TUKI[3];
    char SYUTOKUKINGAKU[13];
    char SYOUKYAKUHOSYOUGAKU[13];
    char KISYUTYOUBOKAKAKU[13];
    char SYOUKYAKUKISOKINGAKU[13];
    char SYOUKYAKUHOUHOU[2];
    char SYOUKYAKUMEI[7];
    char KEIKASOTI[2];
    char TAIYOUNENSU[4];
    char SYOUKYAKURITU[6];
    char KAITEISYOUKYAKURITU[6];
    char KAITEISYUTOKUKAGAKU[13];
    char SYOUKYAKUKIKAN[3];
    char CHOUSEIMAESYOUKYAKUGAKU[13];
    char FUTUUSYOUKYAKUHI[13];
    char WARIMASISYOUKYAKUHI[13];
    char JIGYOUSENYUWARIAI[6];
    char HITUYOUKEIHISANNYUUGAKU[13];
    char MISYOUKYAKUZANDAKA[13];
    char TEKIYOU_JYOUDAN[21];
    char TEKIYOU_GEDAN[22];
};
static_assert(offsetof(StASSETRECORD, SISANMEI) == 0 && sizeof(StASSETRECORD::SISANMEI) == 33, "");
static_assert(offsetof(StASSETRECORD, SUURYO) == 33 && sizeof(StASSETRECORD::SUURYO) == 12, "");
static_assert(offsetof(StASSETRECORD, SUURYOTANI) == 45 && sizeof(StASSETRECORD::SUURYOTANI) == 5, "");
static_assert(offsetof(StASSETRECORD, SYUTOKUNENGETU_GENGO) == 50 && sizeof(StASSETRECORD::SYUTOKUNENGETU_GENGO) == 7, "");
static_assert(offsetof(StASSETRECORD, SYUTOKUNENGETU_NEN) == 57 && sizeof(StASSETRECORD::SYUTOKUNENGETU_NEN) == 3, "");
static_assert(offsetof(StASSETRECORD, SYUTOKUNENGETU_TUKI) == 60 && sizeof(StASSETRECORD::SYUTOKUNENGETU_TUKI) == 3, "");
static_assert(offsetof(StASSETRECORD, SYUTOKUKINGAKU) == 63 && sizeof(StASSETRECORD::SYUTOKUKINGAKU) == 13, "");
static_assert(offsetof(StASSETRECORD, SYOUKYAKUHOSYOUGAKU) == 76 && sizeof(StASSETRECORD::SYOUKYAKUHOSYOUGAKU) == 13, "");
static_assert(offsetof(StASSETRECORD, KISYUTYOUBOKAKAKU) == 89 && sizeof(StASSETRECORD::KISYUTYOUBOKAKAKU) == 13, "");
static_assert(offsetof(StASSETRECORD, SYOUKYAKUKISOKINGAKU) == 102 && sizeof(StASSETRECORD::SYOUKYAKUKISOKINGAKU) == 13, "");
static_assert(offsetof(StASSETRECORD, SYOUKYAKUHOUHOU) == 115 && sizeof(StASSETRECORD::SYOUKYAKUHOUHOU) == 2, "");
static_assert(offsetof(StASSETRECORD, SYOUKYAKUMEI) == 117 && sizeof(StASSETRECORD::SYOUKYAKUMEI) == 7, "");
static_assert(offsetof(StASSETRECORD, KEIKASOTI) == 124 && sizeof(StASSETRECORD::KEIKASOTI) == 2, "");
static_assert(offsetof(StASSETRECORD, TAIYOUNENSU) == 126 && sizeof(StASSETRECORD::TAIYOUNENSU) == 4, "");
static_assert(offsetof(StASSETRECORD, SYOUKYAKURITU) == 130 && sizeof(StASSETRECORD::SYOUKYAKURITU) == 6, "");
static_assert(offsetof(StASSETRECORD, KAITEISYOUKYAKURITU) == 136 && sizeof(StASSETRECORD::KAITEISYOUKYAKURITU) == 6, "");
static_assert(offsetof(StASSETRECORD, KAITEISYUTOKUKAGAKU) == 142 && sizeof(StASSETRECORD::KAITEISYUTOKUKAGAKU) == 13, "");
static_assert(offsetof(StASSETRECORD, SYOUKYAKUKIKAN) == 155 && sizeof(StASSETRECORD::SYOUKYAKUKIKAN) == 3, "");
static_assert(offsetof(StASSETRECORD, CHOUSEIMAESYOUKYAKUGAKU) == 158 && sizeof(StASSETRECORD::CHOUSEIMAESYOUKYAKUGAKU) == 13, "");
static_assert(offsetof(StASSETRECORD, FUTUUSYOUKYAKUHI) == 171 && sizeof(StASSETRECORD::FUTUUSYOUKYAKUHI) == 13, "");
static_assert(offsetof(StASSETRECORD, WARIMASISYOUKYAKUHI) == 184 && sizeof(StASSETRECORD::WARIMASISYOUKYAKUHI) == 13, "");
static_assert(offsetof(StASSETRECORD, JIGYOUSENYUWARIAI) == 197 && sizeof(StASSETRECORD::JIGYOUSENYUWARIAI) == 6, "");
static_assert(offsetof(StASSETRECORD, HITUYOUKEIHISANNYUUGAKU) == 203 && sizeof(StASSETRECORD::HITUYOUKEIHISANNYUUGAKU) == 13, "");
static_assert(offsetof(StASSETRECORD, MISYOUKYAKUZANDAKA) == 216 && sizeof(StASSETRECORD::MISYOUKYAKUZANDAKA) == 13, "");
static_assert(offsetof(StASSETRECORD, TEKIYOU_JYOUDAN) == 229 && sizeof(StASSETRECORD::TEKIYOU_JYOUDAN) == 21, "");
static_assert(offsetof(StASSETRECORD, TEKIYOU_GEDAN) == 250 && sizeof(StASSETRECORD::TEKIYOU_GEDAN) == 22, "");
static_assert(sizeof(StASSETRECORD) == 272, "StASSETRECORD is 272 bytes");

#pragma pack(pop)

// The record's fields with their element names, in document order. The export walks
// this table; conversion and tests use it to address fields by name.
struct StAssetRecordField {
    const char* name;
    size_t offset;
    size_t width;
};
constexpr size_t kAssetRecordFieldCount = 26;
extern const StAssetRecordField kAssetRecordFields[kAssetRecordFieldCount];

// The two lists of a run, owned by the application object. A null element may stand in
// a list (a failed allocation never adds one, but readers must not rely on it).
using ClSnapshotList = std::list<std::unique_ptr<StASSETSNAPSHOT>>;
using ClRecordList = std::list<std::unique_ptr<StASSETRECORD>>;
