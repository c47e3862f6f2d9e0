// The host's records, as the program reads them. Only the fields named here are the
// program's business; every other byte belongs to the host. Layouts are fixed by the
// host's interface: every offset is pinned below.
#pragma once

// Never read in the build against the host's SDK: that build reads the SDK's headers.
#if defined(VELNOR_HOST_SDK_BUILD)
#error "host/QelRecords.h is the stand-in's header"
#endif

#include <cstddef>
#include <cstdint>

#pragma pack(push, 1)

// One company data set (the data selected in the host). Cleared and copied as a block.
struct StDATAINFO {
    char szDataID[16];          // 0: data ID, handed to the depreciation rule object
    int32_t nDataNo;            // 16: data number, matched against the selected number
    uint8_t reserved20[4];
    char szCompanyName[260];    // 24: company (office) name
    int32_t nPeriodStart;       // 284: first day of the accounting period, yyyymmdd
    int32_t nPeriodEnd;         // 288: last day of the accounting period
    uint8_t reserved292[8];
    int32_t nManufacturingCost; // 300: non-zero when the data keeps manufacturing costs
    uint8_t reserved304[22];
    int16_t nDataKind;          // 326: 99 = past-results data
    uint8_t reserved328[619];
    uint8_t byBusinessKinds;    // 947: 1 general only, 2 real estate only, 3 both
    uint8_t reserved948[284];
    uint8_t byRounding;         // 1232: 0 half up, 1 up, 2 down
    uint8_t reserved1233[272];
};
static_assert(sizeof(StDATAINFO) == 1505, "StDATAINFO is 1505 bytes");
static_assert(offsetof(StDATAINFO, nDataNo) == 16, "");
static_assert(offsetof(StDATAINFO, szCompanyName) == 24, "");
static_assert(offsetof(StDATAINFO, nPeriodStart) == 284, "");
static_assert(offsetof(StDATAINFO, nPeriodEnd) == 288, "");
static_assert(offsetof(StDATAINFO, nManufacturingCost) == 300, "");
static_assert(offsetof(StDATAINFO, nDataKind) == 326, "");
static_assert(offsetof(StDATAINFO, byBusinessKinds) == 947, "");
static_assert(offsetof(StDATAINFO, byRounding) == 1232, "");

constexpr int16_t kDataKindPastResults = 99;

// One era of the host's era set.
struct StGENGOINFO {
    uint8_t reserved0[4];
    int32_t nStart;             // 4: first day of the era, yyyymmdd
    char szName[16];            // 8: era name, at most 15 bytes
};
static_assert(sizeof(StGENGOINFO) == 24, "StGENGOINFO is 24 bytes");
static_assert(offsetof(StGENGOINFO, nStart) == 4, "");
static_assert(offsetof(StGENGOINFO, szName) == 8, "");

// The first 545 bytes of the asset master record: all the program keeps of it.
// Amounts are signed 64-bit integers in units of 1/10000 yen.
struct StKOTEISHISANHEAD {
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
static_assert(sizeof(StKOTEISHISANHEAD) == 545, "");
static_assert(offsetof(StKOTEISHISANHEAD, nTypeCode) == 48, "");
static_assert(offsetof(StKOTEISHISANHEAD, szName) == 52, "");
static_assert(offsetof(StKOTEISHISANHEAD, szQuantity) == 245, "");
static_assert(offsetof(StKOTEISHISANHEAD, szRemarks) == 254, "");
static_assert(offsetof(StKOTEISHISANHEAD, nDisposalState) == 336, "");
static_assert(offsetof(StKOTEISHISANHEAD, nAcquired) == 356, "");
static_assert(offsetof(StKOTEISHISANHEAD, llCost) == 368, "");
static_assert(offsetof(StKOTEISHISANHEAD, llReduction) == 376, "");
static_assert(offsetof(StKOTEISHISANHEAD, llBookValueStart) == 384, "");
static_assert(offsetof(StKOTEISHISANHEAD, nMethod) == 392, "");
static_assert(offsetof(StKOTEISHISANHEAD, nLife) == 394, "");
static_assert(offsetof(StKOTEISHISANHEAD, nRate) == 396, "");
static_assert(offsetof(StKOTEISHISANHEAD, bySpecialBaseIsAmount) == 404, "");
static_assert(offsetof(StKOTEISHISANHEAD, llSpecialBase) == 408, "");
static_assert(offsetof(StKOTEISHISANHEAD, nBusinessRatio) == 426, "");
static_assert(offsetof(StKOTEISHISANHEAD, nMonths) == 430, "");
static_assert(offsetof(StKOTEISHISANHEAD, llBaseAmount) == 448, "");
static_assert(offsetof(StKOTEISHISANHEAD, llUnamortizedEnd) == 480, "");
static_assert(offsetof(StKOTEISHISANHEAD, nDisposed) == 488, "");
static_assert(offsetof(StKOTEISHISANHEAD, nBusinessCategory) == 528, "");
static_assert(offsetof(StKOTEISHISANHEAD, byEvenDepreciation) == 534, "");
static_assert(offsetof(StKOTEISHISANHEAD, llRevisedCost) == 537, "");

// The asset master record as the host fills it.
struct StKOTEISHISANINFO {
    StKOTEISHISANHEAD head;
    uint8_t hostOnly[55];
};
static_assert(sizeof(StKOTEISHISANINFO) == 600, "");

// The first 80 bytes of the asset's year record.
struct StKOTEINENHEAD {
    uint8_t reserved0[40];
    int64_t llOrdinary;         // 40 (snapshot 585): ordinary depreciation of the year
    int64_t llAdditional1;      // 48 (593): additional depreciation, first part
    int64_t llAdditional2;      // 56 (601): additional depreciation, second part
    int64_t llExpenses;         // 64 (609): amount included in necessary expenses
    uint8_t reserved72[8];
};
static_assert(sizeof(StKOTEINENHEAD) == 80, "");
static_assert(offsetof(StKOTEINENHEAD, llOrdinary) == 40, "");
static_assert(offsetof(StKOTEINENHEAD, llAdditional1) == 48, "");
static_assert(offsetof(StKOTEINENHEAD, llAdditional2) == 56, "");
static_assert(offsetof(StKOTEINENHEAD, llExpenses) == 64, "");

// The asset's year record as the host fills it.
struct StKOTEINENINFO {
    StKOTEINENHEAD head;
    uint8_t hostOnly[48];
};
static_assert(sizeof(StKOTEINENINFO) == 128, "");

// The asset's month record: filled by the host, not kept by the program.
struct StKOTEITSUKIINFO {
    uint8_t hostOnly[64];
};

// Search condition of an enumeration; the program never passes one.
struct StFINDINFO;

#pragma pack(pop)
