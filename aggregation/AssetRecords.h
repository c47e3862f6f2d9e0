// The program's two record types of one fixed asset and the lists that own them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <list>
#include <memory>

#pragma pack(push, 1)

// The first 545 bytes of the host's asset master record (StKOTEISHISANINFO): all the
// program keeps of it. Amounts are signed 64-bit integers in units of 1/10000 yen.
struct StASSETMASTER {
    uint8_t reserved0[48];
    int32_t nTypeCode;          // 48: 11 never exported; 10 selects the special base
    char szName[193];           // 52: asset name
    char szQuantity[9];         // 245: quantity with its unit, as typed
    char szRemarks[82];         // 254: remarks
    int16_t nDisposalState;     // 336: 4 and 5: left the books on the disposal date
    uint8_t reserved338[18];
    int32_t nAcquired;          // 356: acquisition date
    uint8_t reserved360[8];
    int64_t llCost;             // 368: acquisition cost
    int64_t llReduction;        // 376: reduction taken off before a declining base
    int64_t llBookValueStart;   // 384: book value at the start of the year
    int16_t nMethod;            // 392: depreciation method code
    int16_t nLife;              // 394: useful life in years
    int32_t nRate;              // 396: depreciation rate in thousandths
    uint8_t reserved400[4];
    uint8_t bySpecialBaseIsAmount;  // 404: 1 amount, 0 percentage of the cost
    uint8_t reserved405[3];
    int64_t llSpecialBase;      // 408: special base amount or percentage
    uint8_t reserved416[10];
    int16_t nBusinessRatio;     // 426: business-use ratio, 1/100 percent
    uint8_t reserved428[2];
    int16_t nMonths;            // 430: months depreciated in the year
    uint8_t reserved432[16];
    int64_t llBaseAmount;       // 448: depreciation base amount (host)
    uint8_t reserved456[24];
    int64_t llUnamortizedEnd;   // 480: unamortized balance at the end of the year
    int32_t nDisposed;          // 488: disposal date
    uint8_t reserved492[36];
    int16_t nBusinessCategory;  // 528: 1 general, 2 real estate
    uint8_t reserved530[4];
    uint8_t byEvenDepreciation; // 534: five-year even depreciation
    uint8_t reserved535[2];
    int64_t llRevisedCost;      // 537: revised acquisition cost (not aligned)
};
static_assert(sizeof(StASSETMASTER) == 545, "");
static_assert(offsetof(StASSETMASTER, nTypeCode) == 48, "");
static_assert(offsetof(StASSETMASTER, szName) == 52, "");
static_assert(offsetof(StASSETMASTER, szQuantity) == 245, "");
static_assert(offsetof(StASSETMASTER, szRemarks) == 254, "");
static_assert(offsetof(StASSETMASTER, nDisposalState) == 336, "");
static_assert(offsetof(StASSETMASTER, nAcquired) == 356, "");
static_assert(offsetof(StASSETMASTER, llCost) == 368, "");
static_assert(offsetof(StASSETMASTER, llReduction) == 376, "");
static_assert(offsetof(StASSETMASTER, llBookValueStart) == 384, "");
static_assert(offsetof(StASSETMASTER, nMethod) == 392, "");
static_assert(offsetof(StASSETMASTER, nLife) == 394, "");
static_assert(offsetof(StASSETMASTER, nRate) == 396, "");
static_assert(offsetof(StASSETMASTER, bySpecialBaseIsAmount) == 404, "");
static_assert(offsetof(StASSETMASTER, llSpecialBase) == 408, "");
static_assert(offsetof(StASSETMASTER, nBusinessRatio) == 426, "");
static_assert(offsetof(StASSETMASTER, nMonths) == 430, "");
static_assert(offsetof(StASSETMASTER, llBaseAmount) == 448, "");
static_assert(offsetof(StASSETMASTER, llUnamortizedEnd) == 480, "");
static_assert(offsetof(StASSETMASTER, nDisposed) == 488, "");
static_assert(offsetof(StASSETMASTER, nBusinessCategory) == 528, "");
static_assert(offsetof(StASSETMASTER, byEvenDepreciation) == 534, "");
static_assert(offsetof(StASSETMASTER, llRevisedCost) == 537, "");

// The first 80 bytes of the host's year record of the asset (StKOTEINENINFO).
struct StASSETYEAR {
    uint8_t reserved0[40];
    int64_t llOrdinary;         // 40 (snapshot 585): ordinary depreciation of the year
    int64_t llAdditional1;      // 48 (593): additional depreciation, first part
    int64_t llAdditional2;      // 56 (601): additional depreciation, second part
    int64_t llExpenses;         // 64 (609): amount included in necessary expenses
    uint8_t reserved72[8];
};
static_assert(sizeof(StASSETYEAR) == 80, "");
static_assert(offsetof(StASSETYEAR, llOrdinary) == 40, "");
static_assert(offsetof(StASSETYEAR, llAdditional1) == 48, "");
static_assert(offsetof(StASSETYEAR, llAdditional2) == 56, "");
static_assert(offsetof(StASSETYEAR, llExpenses) == 64, "");

// The program's copy of one asset: the first 545 bytes of the host's master record and
// the first 80 bytes of its year record, in one 625-byte block, copied byte for byte.
struct StASSETSNAPSHOT {
    StASSETMASTER master;  // 0
    StASSETYEAR year;      // 545
};
static_assert(sizeof(StASSETSNAPSHOT) == 625, "StASSETSNAPSHOT is 625 bytes");
static_assert(offsetof(StASSETSNAPSHOT, year) == 545, "");
static_assert(offsetof(StASSETSNAPSHOT, year) + offsetof(StASSETYEAR, llOrdinary) == 585, "");
static_assert(offsetof(StASSETSNAPSHOT, year) + offsetof(StASSETYEAR, llAdditional1) == 593, "");
static_assert(offsetof(StASSETSNAPSHOT, year) + offsetof(StASSETYEAR, llAdditional2) == 601, "");
static_assert(offsetof(StASSETSNAPSHOT, year) + offsetof(StASSETYEAR, llExpenses) == 609, "");

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
