// Host records through conversion and export: asset snapshots and the company record
// made directly from the input (texts unterminated or with odd Shift_JIS, extreme
// amounts and dates), converted into export records and written as a document into a
// folder of the target's own.
#include <dirent.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "FuzzSupport.h"
#include "aggregation/AssetAggregator.h"
#include "aggregation/AssetRecords.h"
#include "common/Edition.h"
#include "export/XmlExport.h"
#include "host_standin/HostStandIn.h"

namespace {

// The selected data and the eras the conversion asks the host for; one era name longer
// than the record's field.
const char kHostData[] = R"({
  "user": {"id": "fuzz", "selected": [1, 1]},
  "eras": [{"start": 18680908, "name": "明治"}, {"start": 19120730, "name": "大正"},
           {"start": 19261225, "name": "昭和"}, {"start": 19890108, "name": "平成ＬＯＮＧ"},
           {"start": 20190501, "name": "令和"}],
  "dataSets": [{"id": "F", "number": 1, "periodStart": 20250101, "periodEnd": 20251231}]
})";

std::string g_folder;
std::string g_path;

// Reads the input from the front; zeros once it is used up.
class Reader {
  public:
    Reader(const uint8_t* data, size_t size) : data_(data), size_(size) {}
    bool Empty() const { return pos_ >= size_; }
    uint8_t U8() { return pos_ < size_ ? data_[pos_++] : 0; }
    template <typename T>
    T Raw() {
        T value{};
        uint8_t bytes[sizeof(T)] = {};
        for (auto& b : bytes) b = U8();
        std::memcpy(&value, bytes, sizeof value);
        return value;
    }
    // A text field: its length (one byte, two for the company name; the field's width
    // means full, without a NUL), then its bytes.
    void Text(char* field, size_t width) {
        size_t length = U8();
        if (width > 255) length |= static_cast<size_t>(U8()) << 8;
        length %= width + 1;
        for (size_t i = 0; i < length; ++i) field[i] = static_cast<char>(U8());
    }
    int64_t Amount() {
        static const int64_t kExtremes[] = {
            INT64_MAX,
            INT64_MIN,
            999999999999999999LL,
            -999999999999999999LL,
            1000000000000000000LL,
            9999999999995000LL,
            -15005000LL,
            333330001LL,
        };
        switch (U8() % 4) {
            case 0:
                return 0;
            case 1:
                return static_cast<int64_t>(Raw<int16_t>()) * 10000 + (U8() % 4) * 2500;
            case 2:
                return kExtremes[U8() % (sizeof kExtremes / sizeof kExtremes[0])];
            default:
                return Raw<int64_t>();
        }
    }
    int32_t Date() {
        const uint8_t kind = U8();
        if (kind < 200) {
            // Years around the eras and the period, with months and days that do not exist.
            const int32_t month = U8() % 14;
            return (1860 + kind) * 10000 + month * 100 + U8() % 33;
        }
        return kind < 220 ? 0 : Raw<int32_t>();
    }

  private:
    const uint8_t* data_;
    size_t size_;
    size_t pos_ = 0;
};

std::unique_ptr<StASSETSNAPSHOT> MakeSnapshot(Reader& in) {
    auto s = std::make_unique<StASSETSNAPSHOT>();
    std::memset(s.get(), 0, sizeof *s);
    StASSETMASTER& m = s->master;
    const uint8_t flags = in.U8();
    static const int32_t kTypes[] = {0, 1, 5, 10, 11};
    m.nTypeCode = (flags & 1) ? in.Raw<int32_t>() : kTypes[in.U8() % 5];
    m.nMethod = (flags & 2) ? in.Raw<int16_t>() : static_cast<int16_t>(in.U8() % 10);
    in.Text(m.szName, sizeof m.szName);
    in.Text(m.szQuantity, sizeof m.szQuantity);
    in.Text(m.szRemarks, sizeof m.szRemarks);
    m.nDisposalState = static_cast<int16_t>(in.U8() % 7);
    m.nAcquired = in.Date();
    m.llCost = in.Amount();
    m.llReduction = in.Amount();
    m.llBookValueStart = in.Amount();
    m.nLife = (flags & 4) ? in.Raw<int16_t>() : static_cast<int16_t>(in.U8() % 110);
    m.nRate = (flags & 8) ? in.Raw<int32_t>() : in.Raw<int16_t>();
    m.bySpecialBaseIsAmount = in.U8() % 3;
    m.llSpecialBase = in.Amount();
    m.nBusinessRatio = (flags & 16) ? in.Raw<int16_t>() : static_cast<int16_t>(in.U8() * 40);
    m.nMonths = static_cast<int16_t>(in.U8() % 14);
    m.llBaseAmount = in.Amount();
    m.llUnamortizedEnd = in.Amount();
    m.nDisposed = in.Date();
    m.nBusinessCategory = static_cast<int16_t>(in.U8() % 3);
    m.byEvenDepreciation = in.U8() % 2;
    m.llRevisedCost = in.Amount();
    s->year.llOrdinary = in.Amount();
    s->year.llAdditional1 = in.Amount();
    s->year.llAdditional2 = in.Amount();
    s->year.llExpenses = in.Amount();
    return s;
}

std::string FieldText(const char* field, size_t width) {
    return std::string(field, strnlen(field, width));
}

// Shift_JIS structure: single bytes 0x00-0x7F and 0xA1-0xDF, lead bytes with a trail byte.
bool IsSjis(const std::string& s) {
    for (size_t i = 0; i < s.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(s[i]);
        if (c < 0x80 || (c >= 0xA1 && c <= 0xDF)) continue;
        if (!((c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC))) return false;
        if (i + 1 >= s.size()) return false;
        const unsigned char d = static_cast<unsigned char>(s[++i]);
        if (d < 0x40 || d > 0xFC || d == 0x7F) return false;
    }
    return true;
}

// The quantity split: the unit is the trailing non-digits (at most four bytes, never
// half a character); the number is read as the runtime reads a floating-point number and
// written with two decimals, or "0.00" when there is no number part. Numbers with an
// exponent are checked for their form only; their values are checked elsewhere.
void CheckQuantity(const StASSETMASTER& m, const StASSETRECORD& rec) {
    const std::string text = FieldText(m.szQuantity, sizeof m.szQuantity);
    size_t split = text.size();
    while (text.size() - split < 4 && split > 0 &&
           !(text[split - 1] >= '0' && text[split - 1] <= '9')) {
        --split;
    }
    const std::vector<bool> map = fuzz::DoubleByteMap(text);
    if (split > 0 && split < text.size() && map[split - 1] && map[split]) {
        // The split fell inside a character if bytes split-1 and split are one pair.
        size_t i = 0;
        while (i < split) i += (map[i] ? 2 : 1);
        if (i > split) ++split;
    }
    const std::string unit = FieldText(rec.SUURYOTANI, sizeof rec.SUURYOTANI);
    FUZZ_CHECK(unit == text.substr(split));
    const std::string quantity = FieldText(rec.SUURYO, sizeof rec.SUURYO);
    std::string number;
    for (size_t i = 0; i < split; ++i) {
        if (text[i] != ',' && text[i] != ' ') number.push_back(text[i]);
    }
    size_t end = 0;
    while (end < number.size() &&
           (number[end] == ' ' || (number[end] >= '\t' && number[end] <= '\r')))
        ++end;
    bool negative = false;
    if (end < number.size() && (number[end] == '+' || number[end] == '-')) {
        negative = number[end] == '-';
        ++end;
    }
    // The exact value in hundred-thousandths.
    long long whole = 0, fifths = 0;
    size_t digits = 0;
    while (end < number.size() && number[end] >= '0' && number[end] <= '9') {
        whole = whole * 10 + (number[end++] - '0');
        ++digits;
    }
    if (end < number.size() && number[end] == '.') {
        ++end;
        for (int d = 0; d < 5; ++d) {
            fifths *= 10;
            if (end < number.size() && number[end] >= '0' && number[end] <= '9') {
                fifths += number[end++] - '0';
                ++digits;
            }
        }
        while (end < number.size() && number[end] >= '0' && number[end] <= '9') {
            ++end;
            ++digits;
        }
    }
    if (split == 0 || digits == 0) {
        FUZZ_CHECK(quantity == "0.00");
        return;
    }
    const auto isDigitAt = [&](size_t i) {
        return i < number.size() && number[i] >= '0' && number[i] <= '9';
    };
    const size_t sign =
        end + 1 < number.size() && (number[end + 1] == '+' || number[end + 1] == '-');
    const bool exponent = end < number.size() && (number[end] == 'e' || number[end] == 'E') &&
                          isDigitAt(end + 1 + sign);
    if (quantity.empty() && exponent) return;
    if (quantity.empty()) {
        // Only a text that does not fit the field: "-1234567.00" and "12345678.00" do.
        FUZZ_CHECK(whole >= (negative ? 9999999 : 99999999));
        return;
    }
    // "-?digits.dd", no "-0.00", within a hundredth of the typed value.
    const size_t dot = quantity.find('.');
    FUZZ_CHECK(dot != std::string::npos && dot + 3 == quantity.size() && dot > 0);
    FUZZ_CHECK(quantity != "-0.00");
    const bool printedNegative = quantity[0] == '-';
    const std::string printedDigits =
        quantity.substr(printedNegative ? 1 : 0, dot - (printedNegative ? 1 : 0)) +
        quantity.substr(dot + 1);
    FUZZ_CHECK(!printedDigits.empty() &&
               printedDigits.find_first_not_of("0123456789") == std::string::npos);
    if (exponent) return;
    const long long hundredths = std::atoll(printedDigits.c_str());
    const long long exact = whole * 100000 + fifths;  // at most nine digits typed
    const long long printed = hundredths * 1000;
    FUZZ_CHECK(printed - exact <= 1000 && exact - printed <= 1000);
    FUZZ_CHECK(hundredths == 0 || printedNegative == negative);
}

std::string Get(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::vector<std::string> FolderEntries() {
    std::vector<std::string> names;
    DIR* dir = opendir(g_folder.c_str());
    FUZZ_CHECK(dir != nullptr);
    while (const dirent* e = readdir(dir)) {
        const std::string name(e->d_name);
        if (name != "." && name != "..") names.push_back(name);
    }
    closedir(dir);
    return names;
}

void CheckDocument(const std::string& doc, const ClRecordList& records, short functionId,
                   const StDATAINFO& info) {
    // No character that XML forbids and nothing but characters of code page 932,
    // whatever the host's texts hold.
    FUZZ_CHECK(fuzz::HasNoForbiddenControl(doc));
    FUZZ_CHECK(fuzz::DecodesAsCp932(doc));
    const std::vector<fuzz::Line> lines = fuzz::ParseDocument(doc);
    size_t i = 0;
    const auto expectStart = [&](const char* tag) {
        FUZZ_CHECK(i < lines.size() && lines[i].kind == fuzz::Line::kStart && lines[i].tag == tag);
        ++i;
    };
    const auto expectEnd = [&](const char* tag) {
        FUZZ_CHECK(i < lines.size() && lines[i].kind == fuzz::Line::kEnd && lines[i].tag == tag);
        ++i;
    };
    const auto element = [&](const char* tag) -> const std::string& {
        FUZZ_CHECK(i < lines.size() && lines[i].kind == fuzz::Line::kElement &&
                   lines[i].tag == tag);
        return lines[i++].text;
    };
    expectStart("REPORT");
    expectStart("SYSTEM");
    element("GYOUMUPREFIX");
    element("VERSION");
    FUZZ_CHECK(element("FUNCTIONID") == std::to_string(functionId));
    element("CONNECTEDPROGRAMVER");
    element("PROGRAMNAME");
    element("PROGRAMVER");
    expectEnd("SYSTEM");
    expectStart("BASIC");
    const std::string company = element("KOMONSAKINAME");
    FUZZ_CHECK(company.size() <= 63);
    if (IsSjis(FieldText(info.szCompanyName, sizeof info.szCompanyName))) {
        FUZZ_CHECK(IsSjis(company));
    }
    FUZZ_CHECK(element("JIGYOUNENDOFROM") == std::to_string(info.nPeriodStart));
    FUZZ_CHECK(element("JIGYOUNENDOTO") == std::to_string(info.nPeriodEnd));
    FUZZ_CHECK(element("HASUU_SYOUKYAKU") == std::to_string(3 - info.byRounding));
    element("HASUU_ZANZON");
    expectEnd("BASIC");
    expectStart("DATA");
    int count = 0;
    for (const auto& record : records) {
        FUZZ_CHECK(i < lines.size() && lines[i].tag == "SISAN" &&
                   lines[i].kind == fuzz::Line::kStart);
        FUZZ_CHECK(lines[i].attributes == "Count=\"" + std::to_string(++count) + "\"");
        ++i;
        const char* base = reinterpret_cast<const char*>(record.get());
        for (const StAssetRecordField& field : kAssetRecordFields) {
            FUZZ_CHECK(element(field.name) ==
                       fuzz::WithBlanks(FieldText(base + field.offset, field.width)));
        }
        expectEnd("SISAN");
    }
    expectEnd("DATA");
    expectEnd("REPORT");
    FUZZ_CHECK(i == lines.size());
}

void Run(const uint8_t* data, size_t size) {
    Reader in(data, size);
    const uint8_t control = in.U8();
    const short functionId = in.Raw<int16_t>();

    // The company record at the end of a block of its own size; bytes the host does not
    // fill are not zero, so that reading past a full name shows.
    fuzz::TightBuffer infoBlock(sizeof(StDATAINFO));
    std::memset(infoBlock.data(), 0xAA, sizeof(StDATAINFO));
    StDATAINFO& info = *reinterpret_cast<StDATAINFO*>(infoBlock.data());
    std::memset(info.szCompanyName, 0, sizeof info.szCompanyName);
    in.Text(info.szCompanyName, sizeof info.szCompanyName);
    info.nPeriodStart = in.Date();
    info.nPeriodEnd = in.Date();
    info.byRounding = (control & 0x80) ? in.U8() : in.U8() % 4;

    ClSnapshotList snapshots;
    while (!in.Empty() && snapshots.size() < 64) snapshots.push_back(MakeSnapshot(in));
    if (control & 0x40) snapshots.push_back(nullptr);  // a list may hold a null element

    ClAssetAggregator aggregator;
    ClRecordList records;
    FUZZ_CHECK(aggregator.ConvertAssets(snapshots, records, info) == 1);

    size_t ordinary = 0;
    bool small = false;
    for (const auto& s : snapshots) {
        if (!s) continue;
        if (s->master.nMethod == 7) {
            small = true;
        } else {
            ++ordinary;
        }
    }
    FUZZ_CHECK(records.size() == ordinary + (small ? 1 : 0));

    // Every field ends within its width; texts cut from host fields stay whole characters.
    auto record = records.begin();
    for (const auto& s : snapshots) {
        if (!s || s->master.nMethod == 7) continue;
        const StASSETRECORD& rec = **record++;
        const char* base = reinterpret_cast<const char*>(&rec);
        for (const StAssetRecordField& field : kAssetRecordFields) {
            FUZZ_CHECK(std::memchr(base + field.offset, '\0', field.width) != nullptr);
        }
        const StASSETMASTER& m = s->master;
        const std::string name = FieldText(m.szName, sizeof m.szName);
        const std::string shortName = FieldText(rec.SISANMEI, sizeof rec.SISANMEI);
        FUZZ_CHECK(name.compare(0, shortName.size(), shortName) == 0);
        FUZZ_CHECK(shortName.size() == name.size() || shortName.size() >= 31);
        if (IsSjis(name)) FUZZ_CHECK(IsSjis(shortName));
        const std::string remarks = FieldText(m.szRemarks, sizeof m.szRemarks);
        if (IsSjis(remarks)) {
            const std::string upper = FieldText(rec.TEKIYOU_JYOUDAN, sizeof rec.TEKIYOU_JYOUDAN);
            const std::string lower = FieldText(rec.TEKIYOU_GEDAN, sizeof rec.TEKIYOU_GEDAN);
            FUZZ_CHECK(IsSjis(upper) && IsSjis(lower));
            if (!remarks.empty())
                FUZZ_CHECK(remarks.compare(0, upper.size() + lower.size(), upper + lower) == 0);
        }
        CheckQuantity(m, rec);
    }
    if (small) {
        const char* base = reinterpret_cast<const char*>(records.back().get());
        for (const StAssetRecordField& field : kAssetRecordFields) {
            FUZZ_CHECK(std::memchr(base + field.offset, '\0', field.width) != nullptr);
        }
    }

    std::remove(g_path.c_str());
    ClXmlExport exporter;
    exporter.SetRecordList(&records);
    exporter.SetEdition((control & 1) ? &velnor::kEditionStd : &velnor::kEditionPro);
    const int written = exporter.Export(g_path.c_str(), functionId, &info);
    const std::vector<std::string> entries = FolderEntries();
    if (info.byRounding > 2) {
        // Refused at the rounding code: nothing at the destination, no file left behind.
        FUZZ_CHECK(written == 0 && entries.empty());
        return;
    }
    FUZZ_CHECK(written == 1);
    FUZZ_CHECK(entries.size() == 1 && entries[0] == "out.xml");
    CheckDocument(Get(g_path), records, functionId, info);
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    g_folder = fuzz::ScratchFolder("fuzz-records");
    g_path = g_folder + "out.xml";
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // A fresh host each time, so that its log of failed era and period lookups stays small.
    hoststandin::Reset();
    FUZZ_CHECK(hoststandin::LoadFromString(kHostData).empty());
    Run(data, size);
    return 0;
}
