// Conversion of the selected assets into the text fields of the export.
#include <cstring>
#include <new>

#include "QelUty/CmnProcHpr.h"
#include "aggregation/AssetAggregator.h"
#include "aggregation/DecimalText.h"
#include "aggregation/FixedDecimal.h"
#include "common/NumberText.h"
#include "common/Sjis.h"

namespace {

using Fixed = ClFixedDecimal;

constexpr int16_t kMethodSmallAsset = 7;
constexpr int32_t kTypeSpecialBase = 10;
constexpr int64_t kOneYen = 10000;  // host units per yen
constexpr int kWholeUnits = 1;      // rounding position of whole yen
constexpr size_t kUpperRemarks = 20;
constexpr size_t kNameBytes = 32;

const char kSmallAssetName[] = "少額減価償却資産";
const char kSmallAssetMethodName[] = "少額";
const char kSmallAssetUpper[] = "措法28の2";
const char kSmallAssetLower[] = "(明細は別途保管)";
const char kRevisedRemark[] = "改定償却";
const char kEvenRemark[] = "均等償却";

// A text goes into its field whole or not at all: a number cut short would be a
// different number.
template <size_t N>
void PutText(char (&field)[N], const char* text) {
    const size_t len = std::strlen(text);
    if (len < N) {
        std::memcpy(field, text, len + 1);
    } else {
        field[0] = '\0';
    }
}

// "%0<width>ld" of the value, whole or not at all.
template <size_t N>
void PutInt(char (&field)[N], int width, long value) {
    velnor::FormatInteger(value, width, field, N);
}

// Rounded in a copy first, so that a range error leaves the field as it was.
template <size_t N>
void PutAmount(char (&field)[N], const Fixed& value) {
    char text[N] = {};
    value.ToAmountText(text, N);
    std::memcpy(field, text, N);
}

// Runs one field rule; a range error of the amount type leaves its field as it was.
template <typename Rule>
void Apply(Rule rule) {
    try {
        rule();
    } catch (const ClFixedDecimalRangeError&) {
    }
}

// "%.Nf" of the value's double, as every ratio field is printed.
template <size_t N>
void PutDecimal(char (&field)[N], const Fixed& value, int decimals) {
    velnor::FormatDecimals(value.ToDouble(), decimals, field, N);
}

// The figures of one asset that several field rules share.
struct AssetFigures {
    explicit AssetFigures(const StASSETSNAPSHOT& s)
        : master(s.master),
          year(s.year),
          method(s.master.nMethod),
          small(method == kMethodSmallAsset),
          declining(method == 5 || method == 8),
          bookAboveOne(s.master.llBookValueStart > kOneYen),
          evenWithValue(s.master.byEvenDepreciation != 0 && bookAboveOne) {}

    const StASSETMASTER& master;
    const StASSETYEAR& year;
    int16_t method;
    bool small;
    bool declining;  // method 5 or 8: guarantee amount and revised rate apply
    bool bookAboveOne;
    bool evenWithValue;   // even depreciation flagged, book value above 1 yen
    bool haveGO = false;  // G and O computed without a range error
    Fixed guarantee;      // G
    Fixed ordinary;       // O
};

Fixed Net(const StASSETMASTER& m) {
    return Fixed::FromRaw(m.llCost) - Fixed::FromRaw(m.llReduction);
}

// The period of the data, asked of the host once per conversion and only when needed.
class PeriodStart {
  public:
    int32_t Get() {
        if (!m_bAsked) {
            int32_t last = 0;
            ClCmnProcHpr(nullptr).GetPeriod(&m_nFirst, &last);
            m_bAsked = true;
        }
        return m_nFirst;
    }

  private:
    bool m_bAsked = false;
    int32_t m_nFirst = 0;
};

Fixed GuaranteeAmount(const StASSETMASTER& m, int rounding) {
    if (m.nLife <= 0) return Fixed();
    // The statutory tables end at 100 years; the last entry serves every longer life.
    const int index = m.nLife > kRateTableSize ? kRateTableSize - 1 : m.nLife - 1;
    const Fixed* table = m.nMethod == 5 ? GuaranteeRates250() : GuaranteeRates200();
    Fixed g = Net(m) * table[index] / Fixed::FromInt(10000);
    g.Round(rounding, kWholeUnits);
    return g;
}

Fixed OrdinaryDepreciation(const StASSETMASTER& m, int rounding, PeriodStart& period) {
    if (m.nRate == 0) return Fixed();
    Fixed base = Fixed::FromRaw(m.llBookValueStart);
    if (!base.IsNonZero()) {
        base = Net(m);
        if ((m.nDisposalState == 4 || m.nDisposalState == 5) && m.nDisposed < period.Get())
            base = Fixed();
    }
    Fixed o = base * Fixed::FromInt(m.nRate) / Fixed::FromInt(1000);
    o.Round(rounding, kWholeUnits);
    return o;
}

Fixed EvenDepreciationBase(const StASSETMASTER& m) {
    if (!((m.nMethod == 2 || m.nMethod == 6) && m.nTypeCode == kTypeSpecialBase)) {
        Fixed value = Net(m) * Fixed::FromParts(0, 500);
        value.Round(Fixed::kDown, kWholeUnits);
        return value;
    }
    Fixed value;
    if (m.bySpecialBaseIsAmount == 1) {
        value = Fixed::FromRaw(m.llSpecialBase);
    } else {
        Fixed ratio = Fixed::FromRaw(m.llSpecialBase) / Fixed::FromInt(100);
        ratio.Round(Fixed::kDown, 3);
        value = Net(m) * ratio;
        value.Round(Fixed::kDown, kWholeUnits);
    }
    const Fixed cap = Fixed::FromInt(100000);
    return value > cap ? cap : value;
}

// Adds the asset's business share of its cost, rounded up to whole yen, to the amount
// already in `field`. A sum that no longer fits leaves the field empty, so the next
// addition starts from 0 again.
template <size_t N>
void AddBusinessShare(char (&field)[N], const StASSETMASTER& m) {
    Fixed share =
        Fixed::FromRaw(m.llCost) * Fixed::FromInt(m.nBusinessRatio) / Fixed::FromInt(10000);
    share.Round(Fixed::kUp, kWholeUnits);
    PutAmount(field, Fixed::FromText(field) + share);
}

const char* MethodCode(int16_t method) {
    switch (method) {
        case 1:
        case 5:
        case 8:
            return "1";
        case 2:
        case 6:
            return "2";
        case 3:
            return "4";
        case 4:
            return "3";
        default:
            return "6";
    }
}

// Quantity as typed ("1,200台"): digits first, a unit of at most four bytes behind.
void ConvertQuantity(const StASSETMASTER& m, StASSETRECORD& rec) {
    char text[sizeof(m.szQuantity) + 1];
    const size_t len = velnor::CopyField(text, sizeof(text), m.szQuantity, sizeof(m.szQuantity));

    size_t split = len;
    while (len - split < 4 && split > 0 && !(text[split - 1] >= '0' && text[split - 1] <= '9'))
        --split;
    if (velnor::SjisCutLength(text, len, split) != split) ++split;  // keep the character whole
    if (split < len) std::memcpy(rec.SUURYOTANI, text + split, len - split);

    if (split == 0) {
        PutText(rec.SUURYO, "0.00");
        return;
    }
    // The reading is exact for every number part the field can hold.
    static_assert(sizeof(m.szQuantity) <= 15, "more digits than the reading keeps exactly");
    char number[sizeof(text)];
    size_t n = 0;
    for (size_t i = 0; i < split; ++i) {
        if (text[i] != ',' && text[i] != ' ') number[n++] = text[i];
    }
    number[n] = '\0';

    Apply([&] {
        Fixed quantity = velnor::ReadFloatingNumber(number);
        quantity.Round(Fixed::kHalfUp, 3);  // two decimals
        PutDecimal(rec.SUURYO, quantity, 2);
    });
}

void ConvertRemarks(const AssetFigures& f, StASSETRECORD& rec) {
    const StASSETMASTER& m = f.master;
    if (f.small) {
        PutText(rec.TEKIYOU_JYOUDAN, kSmallAssetUpper);
        PutText(rec.TEKIYOU_GEDAN, kSmallAssetLower);
        return;
    }
    const size_t len = velnor::FieldLength(m.szRemarks, sizeof(m.szRemarks));
    if (len > 0) {
        const size_t upper = velnor::SjisCutLength(m.szRemarks, len, kUpperRemarks);
        std::memcpy(rec.TEKIYOU_JYOUDAN, m.szRemarks, upper);
        rec.TEKIYOU_JYOUDAN[upper] = '\0';
        // The lower line keeps what fits of the rest, cut at a character boundary.
        const char* rest = m.szRemarks + upper;
        const size_t lower =
            velnor::SjisCutLength(rest, len - upper, sizeof(rec.TEKIYOU_GEDAN) - 1);
        std::memcpy(rec.TEKIYOU_GEDAN, rest, lower);
        rec.TEKIYOU_GEDAN[lower] = '\0';
        return;
    }
    if (f.evenWithValue) PutText(rec.TEKIYOU_JYOUDAN, kEvenRemark);
    if (f.declining && f.bookAboveOne && f.haveGO && f.ordinary < f.guarantee &&
        f.year.llOrdinary > 0)
        PutText(rec.TEKIYOU_JYOUDAN, kRevisedRemark);
}

void ConvertAcquisition(const AssetFigures& f, StASSETRECORD& rec) {
    const int32_t date = f.master.nAcquired;
    int eraYear = 0;
    if (ClCmnProcHpr(nullptr).GetEraName(date, rec.SYUTOKUNENGETU_GENGO,
                                         sizeof(rec.SYUTOKUNENGETU_GENGO), &eraYear) == 0) {
        PutInt(rec.SYUTOKUNENGETU_NEN, 2, eraYear);  // three digits leave it empty
    } else {
        PutText(rec.SYUTOKUNENGETU_NEN, "00");
    }
    if (f.small) {
        rec.SYUTOKUNENGETU_TUKI[0] = '\0';
    } else {
        PutInt(rec.SYUTOKUNENGETU_TUKI, 2, (date / 100) % 100);
    }
}

void ConvertAsset(const StASSETSNAPSHOT& s, int rounding, PeriodStart& period, StASSETRECORD& rec) {
    const StASSETMASTER& m = s.master;
    AssetFigures f(s);
    if (f.declining) {
        Apply([&] {
            f.guarantee = GuaranteeAmount(m, rounding);
            f.ordinary = OrdinaryDepreciation(m, rounding, period);
            f.haveGO = true;
        });
    }
    const bool ordinaryAsset = !f.small;

    if (f.small) {
        PutText(rec.SISANMEI, kSmallAssetName);
    } else {
        velnor::CopyField(rec.SISANMEI, kNameBytes + 1, m.szName, sizeof(m.szName));
    }
    if (ordinaryAsset) ConvertQuantity(m, rec);
    ConvertAcquisition(f, rec);
    Apply([&] {
        if (f.small) {
            AddBusinessShare(rec.SYUTOKUKINGAKU, m);
        } else {
            PutAmount(rec.SYUTOKUKINGAKU, Fixed::FromRaw(m.llCost));
        }
    });
    if (f.haveGO) Apply([&] { PutAmount(rec.SYOUKYAKUHOSYOUGAKU, f.guarantee); });
    if (ordinaryAsset)
        Apply([&] { PutAmount(rec.KISYUTYOUBOKAKAKU, Fixed::FromRaw(m.llBookValueStart)); });
    if (ordinaryAsset) {
        Apply([&] {
            if (f.evenWithValue) {
                PutAmount(rec.SYOUKYAKUKISOKINGAKU, EvenDepreciationBase(m));
            } else if (f.declining && f.bookAboveOne && !f.haveGO) {
                // Whether the revised cost applies is unknown: the field stays as it was.
            } else if (f.declining && f.bookAboveOne && f.ordinary < f.guarantee) {
                PutAmount(rec.SYOUKYAKUKISOKINGAKU, Fixed::FromRaw(m.llRevisedCost));
            } else {
                PutAmount(rec.SYOUKYAKUKISOKINGAKU, Fixed::FromRaw(m.llBaseAmount));
            }
        });
    }
    PutText(rec.SYOUKYAKUHOUHOU, MethodCode(f.method));
    if (f.small) PutText(rec.SYOUKYAKUMEI, kSmallAssetMethodName);
    if (f.method == 5 && m.nAcquired >= 20120401 && m.nAcquired <= 20121231)
        PutText(rec.KEIKASOTI, "1");
    if (ordinaryAsset && !f.evenWithValue) PutInt(rec.TAIYOUNENSU, 0, m.nLife);
    if (ordinaryAsset) {
        if (f.method == 4) {
            PutText(rec.SYOUKYAKURITU, "1/3");
        } else if (!f.evenWithValue) {
            Apply([&] {
                PutDecimal(rec.SYOUKYAKURITU, Fixed::FromInt(m.nRate) / Fixed::FromInt(1000), 3);
            });
        }
    }
    if (f.haveGO && f.guarantee > f.ordinary)
        Apply([&] { PutAmount(rec.KAITEISYUTOKUKAGAKU, Fixed::FromRaw(m.llRevisedCost)); });
    if (ordinaryAsset) PutInt(rec.SYOUKYAKUKIKAN, 0, m.nMonths);
    if (f.haveGO) Apply([&] { PutAmount(rec.CHOUSEIMAESYOUKYAKUGAKU, f.ordinary); });
    if (ordinaryAsset) {
        Apply([&] { PutAmount(rec.FUTUUSYOUKYAKUHI, Fixed::FromRaw(s.year.llOrdinary)); });
        Apply([&] {
            PutAmount(rec.WARIMASISYOUKYAKUHI,
                      Fixed::FromRaw(s.year.llAdditional1) + Fixed::FromRaw(s.year.llAdditional2));
        });
        Apply([&] {
            PutDecimal(rec.JIGYOUSENYUWARIAI,
                       Fixed::FromInt(m.nBusinessRatio) / Fixed::FromInt(100), 1);
        });
    }
    Apply([&] {
        if (f.small) {
            AddBusinessShare(rec.HITUYOUKEIHISANNYUUGAKU, m);
        } else {
            PutAmount(rec.HITUYOUKEIHISANNYUUGAKU, Fixed::FromRaw(s.year.llExpenses));
        }
    });
    if (ordinaryAsset)
        Apply([&] { PutAmount(rec.MISYOUKYAKUZANDAKA, Fixed::FromRaw(m.llUnamortizedEnd)); });
    ConvertRemarks(f, rec);
}

StASSETRECORD* NewRecord() {
    if (velnor::AggregationAllocationFails()) return nullptr;
    StASSETRECORD* rec = new (std::nothrow) StASSETRECORD;
    if (rec != nullptr) std::memset(rec, 0, sizeof(*rec));
    return rec;
}

bool Append(ClRecordList& records, std::unique_ptr<StASSETRECORD> rec) {
    try {
        records.push_back(std::move(rec));
        return true;
    } catch (const std::bad_alloc&) {
        return false;
    }
}

}  // namespace

int ClAssetAggregator::ConvertAssets(const ClSnapshotList& snapshots, ClRecordList& records,
                                     const StDATAINFO& data) {
    records.clear();
    const int rounding = velnor::host::Read(data, velnor::host::data_info::kRounding);
    PeriodStart period;
    std::unique_ptr<StASSETRECORD> summary;

    for (const auto& snapshot : snapshots) {
        if (!snapshot) continue;
        if (snapshot->master.nMethod == kMethodSmallAsset) {
            if (!summary) {
                summary.reset(NewRecord());
                if (!summary) {
                    records.clear();
                    return 0;
                }
            }
            ConvertAsset(*snapshot, rounding, period, *summary);
            continue;
        }
        std::unique_ptr<StASSETRECORD> rec(NewRecord());
        if (!rec) {
            records.clear();
            return 0;
        }
        ConvertAsset(*snapshot, rounding, period, *rec);
        if (!Append(records, std::move(rec))) {
            records.clear();
            return 0;
        }
    }
    if (summary && !Append(records, std::move(summary))) {
        records.clear();
        return 0;
    }
    return 1;
}
