#include <climits>

#include "StandInTest.h"

namespace {

using standintest::EnumerateAssets;
using standintest::WalkDataSets;
using StandInLoad = standintest::StandIn;

std::string Repeat(const char* s, int n) {
    std::string out;
    while (n-- > 0) out += s;
    return out;
}

const std::string kSet = R"("number": 1, "periodStart": 20250101, "periodEnd": 20251231)";

std::string WithSet(const std::string& members) {
    return R"({"dataSets": [{"id": "D1", )" + kSet + members + "}]}";
}
std::string WithAsset(const std::string& members) {
    return WithSet(R"(, "assets": [{)" + members + "}]");
}

TEST_F(StandInLoad, MembersLeftOutTakeTheirDefaults) {
    Load(WithAsset(""));
    char id[65] = "x";
    ASSERT_EQ(ClDataMgr::Inst()->GetSysUserObject()->GetCurUserID(id), 0);
    EXPECT_STREQ(id, "admin");
    int32_t first = 0, second = 0;
    ASSERT_EQ(ClDataMgr::Inst()->GetSysUserObject()->GetSelectedNo(id, &first, &second), 0);
    EXPECT_EQ(first, 1);
    EXPECT_EQ(second, 1);  // the first data set's number
    char folder[261] = "x";
    EXPECT_EQ(ClFileMgr::Inst()->GetAppFolderPath(1, folder), 0);
    EXPECT_STREQ(folder, "");
    EXPECT_EQ(ClQelConnect::Inst()->Initiate(), 0);
    EXPECT_EQ(ClQelConnect::Inst()->ExpSysLink(), 0);
    EXPECT_EQ(ClMsgMgr::Inst()->CheckFatalErrorWithMsg(-1, 0, 1, nullptr), 0);

    const auto sets = WalkDataSets();
    ASSERT_EQ(sets.size(), 1u);
    EXPECT_EQ(sets[0].byBusinessKinds, 3);
    EXPECT_EQ(sets[0].byRounding, 0);
    EXPECT_EQ(+sets[0].nDataKind, 0);
    EXPECT_EQ(sets[0].szCompanyName[0], '\0');

    const auto assets = EnumerateAssets("D1");
    ASSERT_EQ(assets.size(), 1u);
    StKOTEISHISANINFO master;
    std::memset(&master, 0, sizeof master);
    master.head.nMethod = 1;
    master.head.nBusinessRatio = 10000;
    master.head.nMonths = 12;
    master.head.nBusinessCategory = 1;
    EXPECT_EQ(std::memcmp(&assets[0].master, &master, sizeof master), 0);
    const StKOTEINENINFO zeroYear{};
    EXPECT_EQ(std::memcmp(&assets[0].year, &zeroYear, sizeof zeroYear), 0);
}

TEST_F(StandInLoad, DefaultErasAreTheFiveModernOnes) {
    Load(R"({"dataSets": []})");
    ClSetGengo* eras =
        static_cast<ClSetGengo*>(ClDataMgr::Inst()->GetSetMgr()->GetSetObject(13, 0));
    int cursor = 0;
    ASSERT_EQ(eras->GetCursor(&cursor), 0);
    ASSERT_EQ(eras->Ready(cursor), 0);
    std::string seen;
    StGENGOINFO era;
    while (eras->Walk(&era, cursor) == 0) seen += std::to_string(era.nStart) + era.szName + ";";
    EXPECT_EQ(eras->ReleaseCursor(cursor), 0);
    EXPECT_EQ(seen,
              "18680908\x96\xbe\x8e\xa1;19120730\x91\xe5\x90\xb3;19261225\x8f\xba\x98\x61;"
              "19890108\x95\xbd\x90\xac;20190501\x97\xdf\x98\x61;");
}

TEST_F(StandInLoad, AmountsBecomeTenThousandthsOfAYen) {
    const struct {
        const char* json;
        int64_t units;
    } cases[] = {
        {R"("2400000")", 24000000000},
        {R"("-1500.5")", -15005000},
        {R"("33333.0001")", 333330001},
        {R"("0.0001")", 1},
        {R"("-0")", 0},
        {R"("007")", 70000},
        {"-250", -2500000},
        {"922337203685477", 9223372036854770000},
        {R"("922337203685477.5807")", INT64_MAX},
        {R"("-922337203685477.5808")", INT64_MIN},
    };
    for (const auto& c : cases) {
        Load(WithAsset(std::string(R"("cost": )") + c.json));
        const auto assets = EnumerateAssets("D1");
        ASSERT_EQ(assets.size(), 1u);
        EXPECT_EQ(+assets[0].master.head.llCost, c.units) << c.json;
    }
}

TEST_F(StandInLoad, BadFilesAreRefusedNamingTheMember) {
    const std::string name194 = "a" + Repeat(u8"亜", 96) + "b";
    const struct {
        std::string json;
        std::string error;
    } cases[] = {
        {"[]", "top level: must be an object"},
        {"{}", "dataSets: required member missing"},
        {R"({"dataSets": {}})", "dataSets: must be an array"},
        {R"({"dataSets": [{)" + kSet + "}]}", "dataSets[0].id: required member missing"},
        {R"({"dataSets": [{"id": 5, )" + kSet + "}]}", "dataSets[0].id: must be a text"},
        {R"({"dataSets": [{"id": "ABCDEFGHIJKLMNOPQ", )" + kSet + "}]}",
         "dataSets[0].id: 17 bytes in Shift_JIS, at most 16"},
        {R"({"dataSets": [{"id": "D", "number": "1", "periodStart": 20250101, "periodEnd": 20251231}]})",
         "dataSets[0].number: must be an integer"},
        {R"({"dataSets": [{"id": "D", "number": 2147483648, "periodStart": 20250101, "periodEnd": 20251231}]})",
         "dataSets[0].number: 2147483648 is out of range (-2147483648..2147483647)"},
        {R"({"dataSets": [{"id": "D", "number": 1, "periodStart": 20250229, "periodEnd": 20251231}]})",
         "dataSets[0].periodStart: 20250229 is not a date (yyyymmdd)"},
        {R"({"dataSets": [{"id": "D", "number": 1, "periodStart": 0, "periodEnd": 20251231}]})",
         "dataSets[0].periodStart: 0 is not a date (yyyymmdd)"},
        {R"({"dataSets": [{"id": "D", "number": 1, "periodStart": 20250101, "periodEnd": 20241231}]})",
         "dataSets[0].periodEnd: 20241231 is before periodStart 20250101"},
        // Dates are eight digits from 1868-01-01 on, as the document writes them.
        {R"({"dataSets": [{"id": "D", "number": 1, "periodStart": 9990101, "periodEnd": 20251231}]})",
         "dataSets[0].periodStart: 9990101 is before 18680101, the earliest date"},
        {R"({"dataSets": [{"id": "D", "number": 1, "periodStart": 20250101, "periodEnd": 100000101}]})",
         "dataSets[0].periodEnd: 100000101 is not a date (yyyymmdd)"},
        {WithAsset(R"("acquired": 18671231)"),
         "dataSets[0].assets[0].acquired: 18671231 is before 18680101, the earliest date"},
        {WithAsset(R"("disposed": 10101)"),
         "dataSets[0].assets[0].disposed: 10101 is before 18680101, the earliest date"},
        {R"({"dataSets": [], "eras": [{"start": 16030324, "name": "A"}]})",
         "eras[0].start: 16030324 is before 18680101, the earliest date"},
        // An integer beyond 64 bits is out of range, not a fraction.
        {R"({"dataSets": [{"id": "D", "number": 18446744073709551616, "periodStart": 20250101, "periodEnd": 20251231}]})",
         "dataSets[0].number: 1.8446744073709552e+19 is out of range (-2147483648..2147483647)"},
        {R"({"dataSets": [], "fatalCodes": [-9223372036854775809]})",
         "fatalCodes[0]: -9.223372036854776e+18 is out of range (-2147483648..2147483647)"},
        {WithAsset(R"("cost": 100000000000000000000)"),
         "dataSets[0].assets[0].cost: 1e+20 overflows 64 bits in 1/10000 yen"},
        // One document: a NUL byte anywhere is refused, and so is what follows it.
        {R"({"dataSets": []})" + std::string(1, '\0') + " {{{ junk",
         "not valid JSON: a NUL byte at line 1, column 17"},
        {"{\"dataSets\":\n [" + std::string(1, '\0') + "]}",
         "not valid JSON: a NUL byte at line 2, column 3"},
        {WithSet(R"(, "company": ")" + Repeat(u8"亜", 130) + "x\""),
         "dataSets[0].company: 261 bytes in Shift_JIS, at most 260"},
        {WithSet(u8R"(, "company": "A−B")"), "dataSets[0].company: U+2212 has no Shift_JIS form"},
        {WithSet(R"(, "company": "A\u0000B")"), "dataSets[0].company: contains a NUL character"},
        {WithSet(R"(, "businessKinds": 0)"), "dataSets[0].businessKinds: 0 is out of range (1..3)"},
        {WithSet(R"(, "kind": 40000)"), "dataSets[0].kind: 40000 is out of range (-32768..32767)"},
        {WithSet(R"(, "assets": {})"), "dataSets[0].assets: must be an array"},
        {R"({"dataSets": [{"id": "D1", )" + kSet + R"(}, {"id": "D2", )" + kSet +
             R"(, "assets": [{}, {}, {}, {"name": ")" + name194 + R"("}]}]})",
         "dataSets[1].assets[3].name: 194 bytes in Shift_JIS, at most 193"},
        {WithAsset(u8R"("quantity": "12,000本本")"),
         "dataSets[0].assets[0].quantity: 10 bytes in Shift_JIS, at most 9"},
        {WithAsset(R"("remarks": ")" + Repeat(u8"亜", 41) + "x\""),
         "dataSets[0].assets[0].remarks: 83 bytes in Shift_JIS, at most 82"},
        {WithAsset(R"("acquired": 20250431)"),
         "dataSets[0].assets[0].acquired: 20250431 is not a date (yyyymmdd)"},
        {WithAsset(R"("disposed": 2025)"),
         "dataSets[0].assets[0].disposed: 2025 is not a date (yyyymmdd)"},
        {WithAsset(R"("cost": "1.23456")"),
         R"(dataSets[0].assets[0].cost: "1.23456" is not an amount (a decimal with at most four fraction digits))"},
        {WithAsset(R"("reduction": "1,000")"),
         R"(dataSets[0].assets[0].reduction: "1,000" is not an amount (a decimal with at most four fraction digits))"},
        {WithAsset(R"("ordinary": ".5")"),
         R"(dataSets[0].assets[0].ordinary: ".5" is not an amount (a decimal with at most four fraction digits))"},
        {WithAsset(R"("expenses": "+1")"),
         R"(dataSets[0].assets[0].expenses: "+1" is not an amount (a decimal with at most four fraction digits))"},
        {WithAsset(R"("cost": "922337203685477.5808")"),
         R"(dataSets[0].assets[0].cost: "922337203685477.5808" overflows 64 bits in 1/10000 yen)"},
        {WithAsset(R"("cost": "-922337203685477.5809")"),
         R"(dataSets[0].assets[0].cost: "-922337203685477.5809" overflows 64 bits in 1/10000 yen)"},
        {WithAsset(R"("cost": 922337203685478)"),
         "dataSets[0].assets[0].cost: 922337203685478 overflows 64 bits in 1/10000 yen"},
        {WithAsset(R"("cost": 1.5)"),
         "dataSets[0].assets[0].cost: must be an amount (a text or an integer)"},
        {WithAsset(R"("specialBaseIsAmount": 2)"),
         "dataSets[0].assets[0].specialBaseIsAmount: 2 is out of range (0..1)"},
        {WithAsset(R"("months": "12")"), "dataSets[0].assets[0].months: must be an integer"},
        // Assets are read while the file is parsed; a refusal still names what reading
        // the members in their order meets first, and of a member given twice the last.
        {WithSet(R"(, "assets": [{}, {"months": "12"}])"),
         "dataSets[0].assets[1].months: must be an integer"},
        {R"({"dataSets": [{"id": "D1", "assets": [{"months": "x"}], "number": "1"}]})",
         "dataSets[0].number: must be an integer"},
        {R"({"dataSets": [{"id": "D1", )" + kSet +
             R"(, "assets": [{"life": "x"}]}], "user": {"id": 5}})",
         "user.id: must be a text"},
        {WithSet(R"(, "assets": [{"months": "x"}], "assets": [{}, {"life": "x"}])"),
         "dataSets[0].assets[1].life: must be an integer"},
        {R"({"dataSets": [], "faults": [{"op": "Walkdat"}]})",
         R"(faults[0].op: unknown fault op "Walkdat")"},
        {R"({"dataSets": [], "faults": [{"op": "Move", "at": 0}]})",
         "faults[0].at: 0 is out of range (1..2147483647)"},
        {R"({"dataSets": [], "faults": [{"at": 1}]})", "faults[0].op: required member missing"},
        {R"({"dataSets": [], "faults": [{"op": "Move", "kind": "hang"}]})",
         R"(faults[0].kind: must be "throw" or "crash", not "hang")"},
        {R"({"dataSets": [], "faults": [{"op": "SetAppType", "code": 3}]})",
         R"(faults[0].kind: SetAppType answers nothing: "throw" or "crash" only)"},
        {R"({"dataSets": [], "eras": [{"start": 19890108, "name": "A"}, {"start": 19261225, "name": "B"}]})",
         "eras[1].start: 19261225 is not after the era before"},
        {R"({"dataSets": [], "eras": [{"start": 19890108, "name": "ABCDEFGHIJKLMNOP"}]})",
         "eras[0].name: 16 bytes in Shift_JIS, at most 15"},
        {R"({"dataSets": [], "user": {"selected": [1]}})",
         "user.selected: must be an array of two integers"},
        {R"({"dataSets": [], "user": {"id": ")" + Repeat("u", 65) + "\"}}",
         "user.id: 65 bytes in Shift_JIS, at most 64"},
        {R"({"dataSets": [], "link": {"initiate": "0"}})", "link.initiate: must be an integer"},
        {R"({"dataSets": [], "fatalCodes": [1, "x"]})", "fatalCodes[1]: must be an integer"},
    };
    // The first and the last day a date may hold, and blanks after the document.
    EXPECT_EQ(hoststandin::LoadFromString(
                  R"({"dataSets": [{"id": "D", "number": 1, "periodStart": 18680101, )"
                  R"("periodEnd": 99991231, "assets": [{"acquired": 18680101}]}]})"
                  " \t\r\n"),
              "");
    Load(WithSet(R"(, "company": "kept")"));
    for (const auto& c : cases) EXPECT_EQ(hoststandin::LoadFromString(c.json), c.error) << c.json;
    EXPECT_EQ(hoststandin::LoadFromString("{\"dataSets\": [}").rfind("not valid JSON: ", 0), 0u);
    // Anything but blanks after the document is refused.
    EXPECT_EQ(
        hoststandin::LoadFromString("{\"dataSets\": []} {{{ junk").rfind("not valid JSON: ", 0),
        0u);
    // A number beyond the range of a double is refused like any other bad JSON.
    EXPECT_EQ(hoststandin::LoadFromString("{\"dataSets\": 1E400}").rfind("not valid JSON: ", 0),
              0u);
    const auto sets = WalkDataSets();  // nothing of the refused files was taken
    ASSERT_EQ(sets.size(), 1u);
    EXPECT_STREQ(sets[0].szCompanyName, "kept");
}

// A misspelt member must not fall back to its default, whatever else its object holds.
TEST_F(StandInLoad, UnknownMembersAreRefusedWhereverTheyStand) {
    const struct {
        std::string json;
        std::string error;
    } cases[] = {
        {R"({"dataSets": [], "dataset": []})", "dataset: unknown member"},
        {R"({"dataSets": [], "user": {"id": "u", "selectd": [1, 1]}})",
         "user.selectd: unknown member"},
        {R"({"dataSets": [], "user": {"selectd": [1, 1]}})", "user.selectd: unknown member"},
        {R"({"dataSets": [], "user": {"id": "u", "selected": [1, 1], "x": 0}})",
         "user.x: unknown member"},
        {WithSet(R"(, "Kind": 99)"), "dataSets[0].Kind: unknown member"},
        {WithAsset(R"("bookvalueStart": "1")"),
         "dataSets[0].assets[0].bookvalueStart: unknown member"},
        {WithSet(R"(, "assets": [{}, {"name": "n", "nam": "n"}])"),
         "dataSets[0].assets[1].nam: unknown member"},
        {R"({"dataSets": [], "eras": [{"start": 19890108, "name": "A", "end": 0}]})",
         "eras[0].end: unknown member"},
        {R"({"dataSets": [], "faults": [{"op": "Move", "at": 1, "cod": 5}]})",
         "faults[0].cod: unknown member"},
        {R"({"dataSets": [], "link": {"initiate": 0, "expSysLnk": 1}})",
         "link.expSysLnk: unknown member"},
        {R"({"dataSets": [], "appFolders": {"0": "C:\\", "2": "C:\\"}})",
         "appFolders.2: unknown member"},
    };
    for (const auto& c : cases) EXPECT_EQ(hoststandin::LoadFromString(c.json), c.error) << c.json;
}

TEST_F(StandInLoad, MissingFileSaysWhy) {
    EXPECT_EQ(hoststandin::LoadFromFile("no-such-dir/HostData.json").rfind("cannot be opened (", 0),
              0u);
    EXPECT_FALSE(hoststandin::IsLoaded());
}

// The sample company must load and hold every case the export treats specially.
TEST_F(StandInLoad, SampleCompanyLoadsAndCoversTheSpecialCases) {
    ASSERT_EQ(hoststandin::LoadFromFile(VELNOR_SOURCE_DIR "/samples/host/HostData.json"), "");
    const auto sets = WalkDataSets();
    ASSERT_EQ(sets.size(), 2u);
    EXPECT_EQ(sets[0].byBusinessKinds, 3);
    EXPECT_EQ(+sets[1].nDataKind, kDataKindPastResults);
    char id[17] = {};
    std::memcpy(id, sets[0].szDataID, 16);
    const auto assets = EnumerateAssets(id);
    ASSERT_GE(assets.size(), 24u);
    std::vector<int> methods(10);
    int type11 = 0, type10Even = 0, disposed = 0, categories[3] = {};
    for (const auto& a : assets) {
        const StKOTEISHISANHEAD& h = a.master.head;
        ++methods[h.nMethod >= 1 && h.nMethod <= 8 ? h.nMethod : 9];
        type11 += h.nTypeCode == 11;
        type10Even += h.nTypeCode == 10 && h.byEvenDepreciation != 0;
        disposed += h.nDisposalState == 4 || h.nDisposalState == 5;
        ++categories[h.nBusinessCategory == 2 ? 2 : 1];
        if (h.nMethod != 7 && h.nDisposalState == 0) {
            // The year's figures add up; an asset bought this year starts from its cost.
            const int64_t opening =
                h.llBookValueStart != 0 ? h.llBookValueStart : h.llCost - h.llReduction;
            EXPECT_EQ(opening - a.year.head.llOrdinary - a.year.head.llAdditional1 -
                          a.year.head.llAdditional2,
                      h.llUnamortizedEnd)
                << h.szName;
        }
    }
    for (int m = 1; m <= 9; ++m) EXPECT_GT(methods[m], 0) << "method " << m;
    EXPECT_GT(type11, 0);
    EXPECT_GE(type10Even, 2);
    EXPECT_GE(disposed, 2);
    EXPECT_GT(categories[2], 0);
}

}  // namespace
