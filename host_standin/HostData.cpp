// Reading a host data file (docs/host-data.md) into ready-made host records. A file is
// taken whole or not at all: the first problem refuses it, naming the member.
#include <algorithm>
#include <cinttypes>
#include <cstdio>
#include <cstring>
#include <iterator>
#include <nlohmann/json.hpp>
#include <optional>
#include <string_view>
#include <vector>

#include "host_standin/StandInState.h"

namespace hoststandin {
namespace {

using json = nlohmann::json;

struct Refusal {
    std::string text;
};

[[noreturn]] void Refuse(const std::string& path, const std::string& why) {
    throw Refusal{path + ": " + why};
}

// Where a value sits: a whole path, or a member's name under its object's path, joined
// only when a refusal names it (a file of many assets reads millions of members).
class PathOf {
  public:
    PathOf(const std::string& path) : base_(path) {}  // NOLINT: every path is one
    PathOf(const std::string& object, const char* name) : base_(object), name_(name) {}
    std::string Text() const {
        if (name_ == nullptr) return base_;
        return base_.empty() ? std::string(name_) : base_ + "." + name_;
    }

  private:
    const std::string& base_;
    const char* name_ = nullptr;
};

[[noreturn]] void Refuse(const PathOf& path, const std::string& why) { Refuse(path.Text(), why); }

constexpr int64_t kInt16Min = INT16_MIN, kInt16Max = INT16_MAX;
constexpr int64_t kInt32Min = INT32_MIN, kInt32Max = INT32_MAX;
// Whole yen that still fit in 64 bits once multiplied by 10000.
constexpr int64_t kMaxWholeYen = INT64_MAX / 10000;

const char* const kFaultOps[] = {
    "Initiate",  "ExpSysLink",   "ReadyDat",  "WalkDat",    "MoveReady",       "GetCount",
    "Move",      "Ready",        "Walk",      "GetPeriod",  "GetSetObject",    "GetQelPeriod",
    "GetEraSet", "GetDatCursor", "GetCursor", "SetAppType", "ReleaseDatCursor"};

const char* const kDefaultEras =
    u8R"([{"start": 18680908, "name": "明治"}, {"start": 19120730, "name": "大正"},
          {"start": 19261225, "name": "昭和"}, {"start": 19890108, "name": "平成"},
          {"start": 20190501, "name": "令和"}])";

// Dates are written as eight digits: from the year of the first era the host lists
// (Meiji) to the last day of year 9999.
constexpr int64_t kEarliestDate = 18680101;

bool IsDate(int64_t d) {
    const int64_t y = d / 10000, m = d / 100 % 100, day = d % 100;
    if (y < 1 || y > 9999 || m < 1 || m > 12 || day < 1) return false;
    static const int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    const bool leap = (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
    return day <= kDays[m - 1] + (m == 2 && leap ? 1 : 0);
}

// An integer too large for 64 bits, which the JSON reader hands over as a floating-point
// number: it is an integer out of range, not a fraction.
bool BeyondSixtyFourBits(const json& v) {
    if (!v.is_number_float()) return false;
    const double d = v.get<double>();
    return d >= 18446744073709551616.0 || d <= -9223372036854775808.0;
}

int64_t IntValue(const json& v, const PathOf& path, int64_t lo, int64_t hi) {
    const bool integer = v.is_number_integer();
    if (!integer && !BeyondSixtyFourBits(v)) Refuse(path, "must be an integer");
    const bool fits = integer && (!v.is_number_unsigned() || v.get<uint64_t>() <= INT64_MAX) &&
                      v.get<int64_t>() >= lo && v.get<int64_t>() <= hi;
    if (!fits) {
        Refuse(path, v.dump() + " is out of range (" + std::to_string(lo) + ".." +
                         std::to_string(hi) + ")");
    }
    return v.get<int64_t>();
}

std::string TextValue(const json& v, const PathOf& path, size_t maxBytes) {
    if (!v.is_string()) Refuse(path, "must be a text");
    const std::string& utf8 = v.get_ref<const std::string&>();
    if (utf8.find('\0') != std::string::npos) Refuse(path, "contains a NUL character");
    std::string sjis;
    long bad = -1;
    if (!Utf8ToSjis(utf8, &sjis, &bad)) {
        char name[16];
        std::snprintf(name, sizeof name, "U+%04lX", bad);
        Refuse(path, bad < 0 ? std::string("is not UTF-8")
                             : name + std::string(" has no Shift_JIS form"));
    }
    if (sjis.size() > maxBytes) {
        Refuse(path, std::to_string(sjis.size()) + " bytes in Shift_JIS, at most " +
                         std::to_string(maxBytes));
    }
    return sjis;
}

// "-123.4567" and the like into 1/10000 units; false when malformed, `overflow` when the
// number is well formed but too large.
bool ParseAmount(const std::string& s, int64_t* out, bool* overflow) {
    *overflow = false;
    size_t i = 0;
    const bool negative = !s.empty() && s[0] == '-';
    if (negative) ++i;
    const size_t intStart = i;
    while (i < s.size() && s[i] >= '0' && s[i] <= '9') ++i;
    const size_t intEnd = i;
    size_t fracStart = i, fracEnd = i;
    if (i < s.size() && s[i] == '.') {
        fracStart = ++i;
        while (i < s.size() && s[i] >= '0' && s[i] <= '9') ++i;
        fracEnd = i;
        if (fracEnd == fracStart || fracEnd - fracStart > 4) return false;
    }
    if (intEnd == intStart || i != s.size()) return false;
    const uint64_t limit = negative ? static_cast<uint64_t>(INT64_MAX) + 1 : INT64_MAX;
    uint64_t magnitude = 0;
    auto push = [&](unsigned digit) {
        if (magnitude > (limit - digit) / 10) *overflow = true;
        magnitude = magnitude * 10 + digit;
    };
    for (size_t k = intStart; k < intEnd && !*overflow; ++k) push(s[k] - '0');
    for (size_t k = 0; k < 4 && !*overflow; ++k) {
        push(fracStart + k < fracEnd ? s[fracStart + k] - '0' : 0);
    }
    if (*overflow) return true;
    *out = negative ? static_cast<int64_t>(0 - magnitude) : static_cast<int64_t>(magnitude);
    return true;
}

int64_t AmountValue(const json& v, const PathOf& path) {
    if (v.is_number_integer()) {
        const bool fits =
            v.is_number_unsigned()
                ? v.get<uint64_t>() <= static_cast<uint64_t>(kMaxWholeYen)
                : v.get<int64_t>() >= -kMaxWholeYen && v.get<int64_t>() <= kMaxWholeYen;
        if (!fits) Refuse(path, v.dump() + " overflows 64 bits in 1/10000 yen");
        return v.get<int64_t>() * 10000;
    }
    if (BeyondSixtyFourBits(v)) Refuse(path, v.dump() + " overflows 64 bits in 1/10000 yen");
    if (!v.is_string()) Refuse(path, "must be an amount (a text or an integer)");
    int64_t amount = 0;
    bool overflow = false;
    if (!ParseAmount(v.get_ref<const std::string&>(), &amount, &overflow)) {
        Refuse(path, v.dump() + " is not an amount (a decimal with at most four fraction digits)");
    }
    if (overflow) Refuse(path, v.dump() + " overflows 64 bits in 1/10000 yen");
    return amount;
}

// The members of one JSON object, read by name; Done() refuses the names nobody read so
// that a misspelt member cannot silently fall back to its default.
class Members {
  public:
    Members(const json& j, std::string path) : j_(j), path_(std::move(path)) {
        if (!j_.is_object()) Refuse(path_.empty() ? "top level" : path_, "must be an object");
        asked_.reserve(32);
        found_.reserve(32);
    }

    std::string Path(const std::string& name) const {
        return path_.empty() ? name : path_ + "." + name;
    }

    const json* Find(const char* name, bool required = false) {
        asked_.push_back(name);
        const auto it = j_.find(std::string_view(name));
        if (it != j_.end()) {
            // A member asked for twice counts once, or an unknown one could hide behind it.
            const json* member = &*it;
            if (std::find(found_.begin(), found_.end(), member) == found_.end()) {
                found_.push_back(member);
            }
            return member;
        }
        if (required) Refuse(Path(name), "required member missing");
        return nullptr;
    }

    int64_t Int(const char* name, int64_t def, int64_t lo, int64_t hi, bool required = false) {
        const json* v = Find(name, required);
        return v ? IntValue(*v, PathOf(path_, name), lo, hi) : def;
    }

    // 0 stands for "no date" in optional members only.
    int32_t Date(const char* name, bool required) {
        const json* v = Find(name, required);
        if (v == nullptr) return 0;
        const int64_t d = IntValue(*v, PathOf(path_, name), kInt32Min, kInt32Max);
        if (d == 0 && !required) return 0;
        if (!IsDate(d)) Refuse(Path(name), std::to_string(d) + " is not a date (yyyymmdd)");
        if (d < kEarliestDate) {
            Refuse(Path(name), std::to_string(d) + " is before " + std::to_string(kEarliestDate) +
                                   ", the earliest date");
        }
        return static_cast<int32_t>(d);
    }

    std::string Text(const char* name, size_t maxBytes, bool required = false) {
        const json* v = Find(name, required);
        return v ? TextValue(*v, PathOf(path_, name), maxBytes) : std::string();
    }

    int64_t Amount(const char* name) {
        const json* v = Find(name);
        return v ? AmountValue(*v, PathOf(path_, name)) : 0;
    }

    const json* Array(const char* name, bool required = false) {
        const json* v = Find(name, required);
        if (v != nullptr && !v->is_array()) Refuse(Path(name), "must be an array");
        return v;
    }

    // As many members found as the object has means that every member was read.
    void Done() const {
        if (found_.size() == j_.size()) return;
        for (auto it = j_.begin(); it != j_.end(); ++it) {
            bool read = false;
            for (const char* name : asked_) read = read || it.key() == name;
            if (!read) Refuse(Path(it.key()), "unknown member");
        }
    }

  private:
    const json& j_;
    std::string path_;
    std::vector<const char*> asked_;
    std::vector<const json*> found_;
};

std::string Indexed(const std::string& path, size_t i) {
    return path + "[" + std::to_string(i) + "]";
}

void Put(char* field, const std::string& sjis) {
    std::memcpy(field, sjis.data(), sjis.size());  // lengths were checked against the field
}

AssetData ParseAsset(const json& j, const std::string& path) {
    AssetData a;
    std::memset(&a, 0, sizeof a);
    StKOTEISHISANHEAD& h = a.master.head;
    Members m(j, path);
    h.nTypeCode = static_cast<int32_t>(m.Int("typeCode", 0, kInt32Min, kInt32Max));
    Put(h.szName, m.Text("name", sizeof h.szName));
    Put(h.szQuantity, m.Text("quantity", sizeof h.szQuantity));
    Put(h.szRemarks, m.Text("remarks", sizeof h.szRemarks));
    h.nDisposalState = static_cast<int16_t>(m.Int("disposalState", 0, kInt16Min, kInt16Max));
    h.nAcquired = m.Date("acquired", false);
    h.llCost = m.Amount("cost");
    h.llReduction = m.Amount("reduction");
    h.llBookValueStart = m.Amount("bookValueStart");
    h.nMethod = static_cast<int16_t>(m.Int("method", 1, kInt16Min, kInt16Max));
    h.nLife = static_cast<int16_t>(m.Int("life", 0, kInt16Min, kInt16Max));
    h.nRate = static_cast<int32_t>(m.Int("rate", 0, kInt32Min, kInt32Max));
    h.bySpecialBaseIsAmount = static_cast<uint8_t>(m.Int("specialBaseIsAmount", 0, 0, 1));
    h.llSpecialBase = m.Amount("specialBase");
    h.nBusinessRatio = static_cast<int16_t>(m.Int("businessRatio", 10000, kInt16Min, kInt16Max));
    h.nMonths = static_cast<int16_t>(m.Int("months", 12, kInt16Min, kInt16Max));
    h.llBaseAmount = m.Amount("baseAmount");
    h.llUnamortizedEnd = m.Amount("unamortizedEnd");
    h.nDisposed = m.Date("disposed", false);
    h.nBusinessCategory = static_cast<int16_t>(m.Int("businessCategory", 1, kInt16Min, kInt16Max));
    h.byEvenDepreciation = static_cast<uint8_t>(m.Int("evenDepreciation", 0, 0, 255));
    h.llRevisedCost = m.Amount("revisedCost");
    StKOTEINENHEAD& y = a.year.head;
    y.llOrdinary = m.Amount("ordinary");
    y.llAdditional1 = m.Amount("additional1");
    y.llAdditional2 = m.Amount("additional2");
    y.llExpenses = m.Amount("expenses");
    m.Done();
    return a;
}

// The assets of one data set, converted while the file was read (see HostDataReader).
struct StreamedAssets {
    std::vector<AssetData> assets;
    bool refused = false;
    std::string refusal;  // the first asset's, raised where the data set's assets are read
};

DataSetData ParseDataSet(const json& j, const std::string& path, StreamedAssets* streamed) {
    DataSetData d;
    std::memset(&d.info, 0, sizeof d.info);
    StDATAINFO& r = d.info;
    Members m(j, path);
    Put(r.szDataID, m.Text("id", sizeof r.szDataID, true));
    r.nDataNo = static_cast<int32_t>(m.Int("number", 0, kInt32Min, kInt32Max, true));
    Put(r.szCompanyName, m.Text("company", sizeof r.szCompanyName));
    r.nPeriodStart = m.Date("periodStart", true);
    r.nPeriodEnd = m.Date("periodEnd", true);
    if (r.nPeriodEnd < r.nPeriodStart) {
        Refuse(m.Path("periodEnd"), std::to_string(r.nPeriodEnd) + " is before periodStart " +
                                        std::to_string(r.nPeriodStart));
    }
    r.nManufacturingCost =
        static_cast<int32_t>(m.Int("manufacturingCost", 0, kInt32Min, kInt32Max));
    r.nDataKind = static_cast<int16_t>(m.Int("kind", 0, kInt16Min, kInt16Max));
    r.byBusinessKinds = static_cast<uint8_t>(m.Int("businessKinds", 3, 1, 3));
    r.byRounding = static_cast<uint8_t>(m.Int("rounding", 0, 0, 255));
    if (const json* assets = m.Array("assets")) {
        if (streamed != nullptr && streamed->refused) throw Refusal{streamed->refusal};
        if (streamed != nullptr) d.assets = std::move(streamed->assets);
        const std::string at = m.Path("assets");
        for (size_t i = 0; i < assets->size(); ++i) {
            d.assets.push_back(ParseAsset((*assets)[i], Indexed(at, i)));
        }
    }
    m.Done();
    return d;
}

void ParseEras(const json& eras, HostData* d) {
    d->eras.clear();
    for (size_t i = 0; i < eras.size(); ++i) {
        Members m(eras[i], Indexed("eras", i));
        StGENGOINFO era;
        std::memset(&era, 0, sizeof era);
        era.nStart = m.Date("start", true);
        Put(era.szName, m.Text("name", sizeof era.szName - 1, true));
        m.Done();
        if (!d->eras.empty() && era.nStart <= d->eras.back().nStart) {
            Refuse(m.Path("start"), std::to_string(era.nStart) + " is not after the era before");
        }
        d->eras.push_back(era);
    }
}

void ParseTop(const json& root, std::vector<StreamedAssets>& streamed, HostData* d) {
    Members top(root, "");
    bool selectedGiven = false;
    d->userId = "admin";
    if (const json* user = top.Find("user")) {
        Members m(*user, "user");
        if (const json* id = m.Find("id")) d->userId = TextValue(*id, PathOf("user", "id"), 64);
        if (const json* sel = m.Find("selected")) {
            if (!sel->is_array() || sel->size() != 2) {
                Refuse("user.selected", "must be an array of two integers");
            }
            for (size_t i = 0; i < 2; ++i) {
                d->selected[i] = static_cast<int32_t>(
                    IntValue((*sel)[i], Indexed("user.selected", i), kInt32Min, kInt32Max));
            }
            selectedGiven = true;
        }
        m.Done();
    }
    if (const json* folders = top.Find("appFolders")) {
        Members m(*folders, "appFolders");
        for (int i = 0; i < 2; ++i) d->appFolders[i] = m.Text(i == 0 ? "0" : "1", 260);
        m.Done();
    }
    if (const json* link = top.Find("link")) {
        Members m(*link, "link");
        d->initiate = static_cast<int32_t>(m.Int("initiate", 0, kInt32Min, kInt32Max));
        d->expSysLink = static_cast<int32_t>(m.Int("expSysLink", 0, kInt32Min, kInt32Max));
        m.Done();
    }
    if (const json* eras = top.Array("eras")) {
        ParseEras(*eras, d);
    } else {
        ParseEras(json::parse(kDefaultEras), d);
    }
    if (const json* codes = top.Array("fatalCodes")) {
        for (size_t i = 0; i < codes->size(); ++i) {
            d->fatalCodes.push_back(static_cast<int32_t>(
                IntValue((*codes)[i], Indexed("fatalCodes", i), kInt32Min, kInt32Max)));
        }
    }
    const json* sets = top.Array("dataSets", true);
    for (size_t i = 0; i < sets->size(); ++i) {
        d->dataSets.push_back(ParseDataSet((*sets)[i], Indexed("dataSets", i),
                                           i < streamed.size() ? &streamed[i] : nullptr));
    }
    if (const json* faults = top.Array("faults")) {
        for (size_t i = 0; i < faults->size(); ++i) {
            Members m((*faults)[i], Indexed("faults", i));
            Fault f;
            const json* op = m.Find("op", true);
            if (!op->is_string()) Refuse(m.Path("op"), "must be a text");
            f.op = op->get<std::string>();
            bool known = false;
            for (const std::string& name : FaultOps()) known = known || f.op == name;
            if (!known) Refuse(m.Path("op"), "unknown fault op " + op->dump());
            f.at = static_cast<int>(m.Int("at", 1, 1, kInt32Max));
            f.code = static_cast<int>(m.Int("code", -1, kInt32Min, kInt32Max));
            if (const json* kind = m.Find("kind")) {
                if (*kind == "throw") {
                    f.kind = Fault::kThrow;
                } else if (*kind == "crash") {
                    f.kind = Fault::kCrash;
                } else {
                    Refuse(m.Path("kind"), "must be \"throw\" or \"crash\", not " + kind->dump());
                }
            } else if (f.op == "SetAppType") {
                Refuse(m.Path("kind"), "SetAppType answers nothing: \"throw\" or \"crash\" only");
            }
            m.Done();
            d->faults.push_back(f);
        }
    }
    top.Done();
    if (!selectedGiven) {
        d->selected[0] = 1;
        d->selected[1] = d->dataSets.empty() ? 0 : d->dataSets[0].info.nDataNo;
    }
}

// Builds the tree of a host data file as the JSON parser would, except for the elements
// of each data set's "assets": each is built as a tree of its own and converted as soon
// as it ends, so that a file of many assets never stands in memory as one tree (on
// 100,000 assets that tree was most of the loader's time and of the process's memory).
// A refusal is kept and raised where reading the whole tree would have met it.
class HostDataReader {
  public:
    using DomParser = nlohmann::detail::json_sax_dom_parser<json>;

    HostDataReader(json* root, std::vector<StreamedAssets>* streamed)
        : main_(*root), streamed_(*streamed) {}

    bool null() {
        return Scalar([](DomParser& p) { return p.null(); });
    }
    bool boolean(bool v) {
        return Scalar([v](DomParser& p) { return p.boolean(v); });
    }
    bool number_integer(json::number_integer_t v) {
        return Scalar([v](DomParser& p) { return p.number_integer(v); });
    }
    bool number_unsigned(json::number_unsigned_t v) {
        return Scalar([v](DomParser& p) { return p.number_unsigned(v); });
    }
    bool number_float(json::number_float_t v, const json::string_t& text) {
        return Scalar([v, &text](DomParser& p) { return p.number_float(v, text); });
    }
    bool string(json::string_t& v) {
        return Scalar([&v](DomParser& p) { return p.string(v); });
    }
    bool binary(json::binary_t& v) {
        return Scalar([&v](DomParser& p) { return p.binary(v); });
    }
    bool start_object(std::size_t n) {
        return Open(true, [n](DomParser& p) { return p.start_object(n); });
    }
    bool start_array(std::size_t n) {
        return Open(false, [n](DomParser& p) { return p.start_array(n); });
    }
    bool end_object() {
        return Close([](DomParser& p) { return p.end_object(); });
    }
    bool end_array() {
        return Close([](DomParser& p) { return p.end_array(); });
    }
    bool key(json::string_t& k) {
        if (asset_) return asset_->key(k);
        frames_.back().key = k;
        return main_.key(k);
    }
    bool parse_error(std::size_t position, const std::string& token,
                     const nlohmann::detail::exception& e) {
        return main_.parse_error(position, token, e);  // throws, as parsing the tree does
    }

  private:
    struct Frame {
        bool object;
        std::string key;   // an object's member being read
        size_t count = 0;  // an array's elements begun
    };

    bool InAssets() const {
        return frames_.size() == 4 && frames_[0].object && frames_[0].key == "dataSets" &&
               !frames_[1].object && frames_[2].object && frames_[2].key == "assets" &&
               !frames_[3].object;
    }
    void ValueBegins() {
        if (!frames_.empty() && !frames_.back().object) ++frames_.back().count;
    }
    void BeginAsset() {
        if (assetsPath_.empty() || dataSet_ != frames_[1].count - 1) {
            assetsPath_ = Indexed("dataSets", frames_[1].count - 1) + ".assets";
        }
        dataSet_ = frames_[1].count - 1;
        index_ = frames_[3].count;
        ValueBegins();
        asset_.emplace(assetTree_);
        depth_ = 0;
    }
    void EndAsset() {
        asset_.reset();
        if (streamed_.size() <= dataSet_) streamed_.resize(dataSet_ + 1);
        StreamedAssets& s = streamed_[dataSet_];
        if (!s.refused) {
            try {
                s.assets.push_back(ParseAsset(assetTree_, Indexed(assetsPath_, index_)));
            } catch (const Refusal& r) {
                s.refused = true;
                s.refusal = r.text;
            }
        }
        assetTree_ = json();
    }

    template <typename F>
    bool Scalar(F f) {
        if (!asset_ && InAssets()) BeginAsset();
        if (asset_) {
            const bool ok = f(*asset_);
            if (depth_ == 0) EndAsset();
            return ok;
        }
        ValueBegins();
        return f(main_);
    }
    template <typename F>
    bool Open(bool object, F f) {
        if (!asset_ && InAssets()) BeginAsset();
        if (asset_) {
            ++depth_;
            return f(*asset_);
        }
        ValueBegins();
        frames_.push_back(Frame{object, std::string()});
        // Of a member given twice the tree keeps the last, and so does the reading.
        if (!object && frames_.size() == 2 && frames_[0].object && frames_[0].key == "dataSets") {
            streamed_.clear();
        }
        if (InAssets()) {
            const size_t dataSet = frames_[1].count - 1;
            if (dataSet < streamed_.size()) streamed_[dataSet] = StreamedAssets();
        }
        return f(main_);
    }
    template <typename F>
    bool Close(F f) {
        if (asset_) {
            const bool ok = f(*asset_);
            if (--depth_ == 0) EndAsset();
            return ok;
        }
        frames_.pop_back();
        return f(main_);
    }

    DomParser main_;
    std::vector<StreamedAssets>& streamed_;
    std::vector<Frame> frames_;
    json assetTree_;
    std::string assetsPath_;  // "dataSets[i].assets" of the data set being read
    std::optional<DomParser> asset_;
    int depth_ = 0;
    size_t dataSet_ = 0;
    size_t index_ = 0;
};

}  // namespace

const std::vector<std::string>& FaultOps() {
    static const std::vector<std::string> ops(std::begin(kFaultOps), std::end(kFaultOps));
    return ops;
}

std::string ParseHostData(const std::string& text, HostData* out) {
    // The JSON reader takes a NUL byte for the end of its input and would not look past
    // it; a file is one document and nothing but blanks after it.
    const size_t nul = text.find('\0');
    if (nul != std::string::npos) {
        const size_t lineStart = text.rfind('\n', nul);
        const size_t line = static_cast<size_t>(std::count(text.begin(), text.begin() + nul, '\n'));
        const size_t column = lineStart == std::string::npos ? nul + 1 : nul - lineStart;
        return "not valid JSON: a NUL byte at line " + std::to_string(line + 1) + ", column " +
               std::to_string(column);
    }
    json root;
    std::vector<StreamedAssets> streamed;
    try {
        HostDataReader reader(&root, &streamed);
        json::sax_parse(text, &reader);
    } catch (const json::exception& e) {  // also a number beyond double's range
        return std::string("not valid JSON: ") + e.what();
    }
    try {
        HostData d;
        ParseTop(root, streamed, &d);
        *out = std::move(d);
        return std::string();
    } catch (const Refusal& r) {
        return r.text;
    }
}

}  // namespace hoststandin
