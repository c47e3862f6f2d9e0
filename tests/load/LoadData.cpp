#include "load/LoadData.h"

#include <cstdio>
#include <string>
#include <vector>

#include "support/Json.h"

namespace loaddata {

namespace {

constexpr int kPeriodStart = 20240401;

using velnor_test::JsonText;

std::string Repeat(const std::string& text, int times) {
    std::string out;
    for (int i = 0; i < times; ++i) out += text;
    return out;
}

// The asset's kind decides everything the filters and the conversion look at.
struct Kind {
    int category;  // 1 general use, 2 real estate
    int method;    // 1 straight line, 5 and 8 declining, 7 small, 2 even
    bool neverExported;
    bool disposedBefore;  // left the books before the period: not exported
    bool disposedWithin;
    bool smallBefore;  // a small asset acquired before the period: not exported
};

Kind KindOf(int i) {
    Kind k{};
    k.category = i % 5 == 4 ? 2 : 1;
    static const int kMethods[10] = {8, 8, 8, 1, 1, 5, 7, 2, 8, 1};
    k.method = kMethods[i % 10];
    k.neverExported = i % 101 == 50;
    k.disposedBefore = i % 97 == 13;
    k.disposedWithin = i % 89 == 7;
    k.smallBefore = k.method == 7 && i % 3 == 0;
    return k;
}

bool Exported(const Kind& k) {
    return k.category == 1 && !k.neverExported && !k.disposedBefore && !k.smallBefore;
}

void AppendAsset(std::string* out, int i) {
    const Kind k = KindOf(i);
    char buffer[1024];
    std::string name = u8"資産" + std::to_string(i);
    if (i % 1000 == 999) name = u8"\"特注\" <機械> & 'No." + std::to_string(i) + "'";
    if (i % 7 == 3) name = u8"ｶﾞｿﾘﾝｽﾀﾝﾄﾞ設備" + std::to_string(i);
    const long long cost = 100000LL + (i % 1000) * 13700LL;
    const int acquired = k.method == 7 && !k.smallBefore
                             ? 20240401 + (i % 9) * 100
                             : 19900101 + (i % 34) * 10000 + (i % 12) * 100 + i % 28;
    const long long ordinary = cost / 7;
    std::snprintf(buffer, sizeof buffer,
                  u8"{\"name\": %s, \"quantity\": \"%d台\", \"remarks\": %s, \"typeCode\": %d, "
                  "\"businessCategory\": %d, \"method\": %d, \"life\": %d, \"rate\": %d, "
                  "\"acquired\": %d, \"cost\": \"%lld\", \"bookValueStart\": \"%lld\", "
                  "\"ordinary\": \"%lld\", \"expenses\": \"%lld\", \"unamortizedEnd\": "
                  "\"%lld.5\", \"businessRatio\": %d, \"months\": %d, \"evenDepreciation\": %d",
                  JsonText(name).c_str(), 1 + i % 9,
                  JsonText(i % 4 == 0 ? u8"本社工場" : "").c_str(),
                  k.neverExported ? 11 : (i % 13 == 0 ? 10 : 0), k.category, k.method, 2 + i % 40,
                  k.method == 1 ? 100 : 250, acquired, cost, cost - ordinary, ordinary,
                  ordinary * (i % 3 == 0 ? 1 : 0), cost - 2 * ordinary, i % 11 == 0 ? 5000 : 10000,
                  1 + i % 12, k.method == 2 ? 1 : 0);
    *out += buffer;
    if (k.disposedBefore || k.disposedWithin) {
        std::snprintf(buffer, sizeof buffer, ", \"disposalState\": %d, \"disposed\": %d", 4 + i % 2,
                      k.disposedBefore ? 20230915 : 20241130);
        *out += buffer;
    }
    *out += "}";
}

}  // namespace

std::string ManyAssets(int count) {
    std::string out =
        "{\"user\": {\"id\": \"admin\", \"selected\": [1, 1]},\n"
        u8" \"dataSets\": [{\"id\": \"D0001\", \"number\": 1, \"company\": "
        u8"\"株式会社ベルナー大量\","
        " \"periodStart\": " +
        std::to_string(kPeriodStart) +
        ", \"periodEnd\": 20250331, \"businessKinds\": 3,\n  \"assets\": [\n";
    out.reserve(static_cast<size_t>(count) * 420 + 512);
    for (int i = 0; i < count; ++i) {
        out += "   ";
        AppendAsset(&out, i);
        out += i + 1 < count ? ",\n" : "\n";
    }
    out += "  ]}]}\n";
    return out;
}

int ExportedRecords(int count) {
    int records = 0;
    bool small = false;
    for (int i = 0; i < count; ++i) {
        const Kind k = KindOf(i);
        if (!Exported(k)) continue;
        if (k.method == 7) {
            small = true;
        } else {
            ++records;
        }
    }
    return records + (small ? 1 : 0);
}

std::string FieldLimits() {
    // 0x83 0x5C: the second byte of ソ is a backslash.
    const std::string folder = "C:\\" + Repeat(u8"ソ", 128) + "\\";  // 3 + 256 + 1 = 260 bytes
    const std::string quote = Repeat("\"", 193);
    std::string assets;
    const struct {
        std::string name;
        std::string quantity;
        std::string remarks;
        int method;
    } kAssets[] = {
        // 1 + 96 × 2: every cut at an even length falls inside a character.
        {"A" + Repeat(u8"あ", 96), u8"１２３４a", Repeat(u8"備", 41), 8},
        {quote, "999999999", "x" + Repeat(u8"考", 40) + "y", 1},
        {Repeat(u8"ｿ", 193), u8"9999999台", Repeat("&", 82), 5},
        {Repeat(u8"<表>", 48) + "A", u8"ﾀﾞｰｽ12345", Repeat("\\", 82), 2},
        {Repeat(u8"少額", 48) + "1", u8"1234567個", Repeat(u8"ﾒﾓ", 41), 7},
    };
    for (const auto& a : kAssets) {
        if (!assets.empty()) assets += ",\n";
        assets += "   {\"name\": " + JsonText(a.name) + ", \"quantity\": " + JsonText(a.quantity) +
                  ", \"remarks\": " + JsonText(a.remarks) +
                  ", \"method\": " + std::to_string(a.method) +
                  ", \"life\": 5, \"rate\": 400, \"acquired\": 20240601, "
                  "\"cost\": \"999999999999.9999\", \"bookValueStart\": \"500000\", "
                  "\"ordinary\": \"99999999999\", \"expenses\": \"99999999999\", "
                  "\"businessRatio\": 10000, \"months\": 12, \"evenDepreciation\": 1}";
    }
    return "{\"user\": {\"id\": " + JsonText(Repeat(u8"担当", 16)) +
           ", \"selected\": [2147483647, -2147483648]},\n"
           " \"appFolders\": {\"0\": " +
           JsonText(folder) + ", \"1\": " + JsonText(folder) +
           "},\n"
           " \"eras\": [{\"start\": 18680908, \"name\": " +
           JsonText(Repeat(u8"明", 7) + "1") +
           "}, {\"start\": 19890108, \"name\": " + JsonText(u8"ﾍｲｾｲ" + Repeat(u8"平", 5) + "1") +
           "}, {\"start\": 20190501, \"name\": " + JsonText(Repeat(u8"令", 7) + "\\") +
           "}],\n"
           " \"dataSets\": [{\"id\": " +
           JsonText(Repeat(u8"デ", 8)) + ", \"number\": -2147483648, \"company\": " +
           JsonText(Repeat(u8"ｶﾌﾞｼｷｶﾞｲｼｬ", 5) + Repeat(u8"ベルナー＆", 20) + Repeat(u8"ソ", 5)) +
           ", \"periodStart\": 20240401, \"periodEnd\": 20250331, \"businessKinds\": 3,"
           " \"manufacturingCost\": 1, \"rounding\": 2,\n  \"assets\": [\n" +
           assets + "\n  ]}]}\n";
}

std::string Agreement() {
    // Every ratio from -327.68 to 327.67 whose hundredths are a half of the printed tenths,
    // and the two ends.
    std::vector<int> ratios;
    for (int ratio = -32765; ratio <= 32765; ratio += 10) ratios.push_back(ratio);
    ratios.push_back(-32768);
    ratios.push_back(32767);
    // Amounts at the limits of the host's 64-bit integers, of the range the conversion
    // takes (10^14 yen) and of the expenses the selection takes (99999999999 yen).
    static const char* const kAmounts[] = {"922337203685477.5807",
                                           "-922337203685477.5808",
                                           "99999999999999.9999",
                                           "-99999999999999.9999",
                                           "100000000000000",
                                           "99999999999",
                                           "99999999999.0001",
                                           "0.0001",
                                           "-0.0001",
                                           "33333.3333"};
    static const int kMethods[] = {1, 5, 8, 2, 7, 3, 4, 6, 9};
    const int count = 20000;
    std::string assets;
    assets.reserve(static_cast<size_t>(count) * 520);
    for (int i = 0; i < count; ++i) {
        // Quantities with more decimals than are kept, at a half of the second decimal.
        char quantity[16];
        std::snprintf(quantity, sizeof quantity, i < 10000 ? "%d.%02d495" : "%d.%02d5",
                      i / 100 % 100, i % 100);
        const int method = kMethods[i % 9];
        const long long cost = 100000LL + (i % 977) * 13711LL;
        // Every seventh asset takes a limit in one of its amounts.
        const int limit = i % 7 == 3 ? i / 7 % 5 : -1;
        const std::string atLimit = kAmounts[i / 35 % 10];
        const auto amount = [&](int which, long long value) {
            return "\"" + (limit == which ? atLimit : std::to_string(value)) + "\"";
        };
        const auto member = [&](const char* name, const std::string& value) {
            assets += std::string(", \"") + name + "\": " + value;
        };
        assets += i == 0 ? "   {" : ",\n   {";
        assets += "\"name\": \"A" + std::to_string(i) + "\"";
        member("quantity", std::string("\"") + quantity + "\"");
        member("typeCode", i % 13 == 0 ? "10" : "0");
        member("businessCategory", std::to_string(1 + i % 2));
        member("method", std::to_string(method));
        member("life", std::to_string(2 + i % 40));
        member("rate", std::to_string(1 + (i * 37) % 1000));
        member("acquired", std::to_string(method == 7 ? 20240401 + (i % 9) * 100
                                                      : 19900101 + (i % 34) * 10000));
        member("cost", amount(0, cost));
        member("reduction", amount(1, cost / 9));
        member("bookValueStart", amount(2, cost - cost / 7));
        member("specialBaseIsAmount", std::to_string(i % 2));
        member("specialBase", std::to_string(1 + i % 7000));
        member("ordinary", amount(3, cost / 7));
        member("additional1", "\"" + std::to_string(cost / 50) + ".3333\"");
        member("expenses", amount(4, cost / 11));
        member("unamortizedEnd", "\"" + std::to_string(cost / 3) + ".5\"");
        member("baseAmount", std::to_string(cost / 5));
        member("revisedCost", std::to_string(cost * 2));
        member("businessRatio", std::to_string(ratios[static_cast<size_t>(i) % ratios.size()]));
        member("months", std::to_string(i % 13));
        member("evenDepreciation", method == 2 ? "1" : "0");
        assets += "}";
    }
    return "{\"user\": {\"id\": \"admin\", \"selected\": [1, 1]},\n"
           " \"dataSets\": [{\"id\": \"D0001\", \"number\": 1, \"company\": \"Agreement\", "
           "\"periodStart\": 20240401, \"periodEnd\": 20250331, \"businessKinds\": 3,\n"
           "  \"assets\": [\n" +
           assets + "\n  ]}]}\n";
}

}  // namespace loaddata
