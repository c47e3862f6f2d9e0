#include <cstdio>
#include <initializer_list>
#include <map>
#include <memory>
#include <stdexcept>

#include "StandInTest.h"
#include "support/HostDll.h"

namespace {

using standintest::EnumerateAssets;
using standintest::SetEnv;
using standintest::WalkDataSets;
using HostCalls = standintest::StandIn;

struct Number {
    size_t at;
    uint64_t value;
    int bytes;  // little-endian
};
void Put(std::vector<unsigned char>& b, std::initializer_list<Number> numbers) {
    for (const Number& n : numbers) {
        for (int i = 0; i < n.bytes; ++i)
            b[n.at + i] = static_cast<unsigned char>(n.value >> (8 * i));
    }
}
void Put(std::vector<unsigned char>& b, size_t at, const std::string& s) {
    std::memcpy(&b[at], s.data(), s.size());
}
template <typename T>
std::vector<unsigned char> Bytes(const T& record) {
    const auto* p = reinterpret_cast<const unsigned char*>(&record);
    return std::vector<unsigned char>(p, p + sizeof record);
}
std::string Repeat(const std::string& s, int n) {
    std::string out;
    while (n-- > 0) out += s;
    return out;
}

const std::string kA = "\x88\x9f";  // 亜 in Shift_JIS

TEST_F(HostCalls, DataSetRecordHoldsEachFieldAtItsOffsetAndFullTextsWithoutNul) {
    Load(R"({"dataSets": [{"id": "ABCDEFGHIJKLMNOP", "number": 16909060, "company": ")" +
         Repeat(u8"亜", 130) + R"(", "periodStart": 20250101, "periodEnd": 20251231,
         "manufacturingCost": 1, "kind": -2, "businessKinds": 2, "rounding": 2}]})");
    std::vector<unsigned char> expected(1505, 0);
    Put(expected, 0, "ABCDEFGHIJKLMNOP");
    Put(expected, {{16, 16909060, 4}});
    Put(expected, 24, Repeat(kA, 130));
    Put(expected, {{284, 20250101, 4},
                   {288, 20251231, 4},
                   {300, 1, 4},
                   {326, static_cast<uint16_t>(-2), 2},
                   {947, 2, 1},
                   {1232, 2, 1}});
    const auto sets = WalkDataSets();
    ASSERT_EQ(sets.size(), 1u);
    EXPECT_EQ(Bytes(sets[0]), expected);
}

TEST_F(HostCalls, AssetRecordsHoldEachFieldAtItsOffset) {
    Load(R"({"dataSets": [{"id": "D", "number": 1, "periodStart": 20250101,
        "periodEnd": 20251231, "assets": [{"typeCode": 10, "name": "a)" +
         Repeat(u8"亜", 96) + u8R"(", "quantity": "1,200本本", "remarks": ")" + Repeat(u8"亜", 41) +
         R"(",
        "disposalState": 5, "acquired": 20120401, "cost": "1000000.5", "reduction": 2,
        "bookValueStart": "3", "method": 8, "life": 4, "rate": 500, "specialBaseIsAmount": 1,
        "specialBase": 4, "businessRatio": 5000, "months": 7, "baseAmount": 5,
        "unamortizedEnd": 6, "disposed": 20250731, "businessCategory": 2,
        "evenDepreciation": 1, "revisedCost": "-7", "ordinary": 8, "additional1": 9,
        "additional2": 10, "expenses": "-0.0001"}]}]})");
    std::vector<unsigned char> master(600, 0), year(128, 0);
    Put(master, {{48, 10, 4}});
    Put(master, 52, "a" + Repeat(kA, 96));  // 193 bytes: the whole field
    Put(master, 245, "1,200\x96\x7b\x96\x7b");
    Put(master, 254, Repeat(kA, 41));
    Put(master, {{336, 5, 2},
                 {356, 20120401, 4},
                 {368, 10000005000, 8},
                 {376, 20000, 8},
                 {384, 30000, 8},
                 {392, 8, 2},
                 {394, 4, 2},
                 {396, 500, 4},
                 {404, 1, 1},
                 {408, 40000, 8},
                 {426, 5000, 2},
                 {430, 7, 2},
                 {448, 50000, 8},
                 {480, 60000, 8},
                 {488, 20250731, 4},
                 {528, 2, 2},
                 {534, 1, 1},
                 {537, static_cast<uint64_t>(-70000), 8}});
    Put(year,
        {{40, 80000, 8}, {48, 90000, 8}, {56, 100000, 8}, {64, static_cast<uint64_t>(-1), 8}});
    const auto assets = EnumerateAssets("D");
    ASSERT_EQ(assets.size(), 1u);
    EXPECT_EQ(Bytes(assets[0].master), master);
    EXPECT_EQ(Bytes(assets[0].year), year);
}

TEST_F(HostCalls, UserFoldersAndPeriodAnswerFromTheData) {
    Load(
        u8R"({"user": {"id": "経理担当", "selected": [3, 12]},
        "appFolders": {"0": "C:\\Borlex\\", "1": "D:\\データ\\会社1\\"},
        "dataSets": [{"id": "A", "number": 11, "periodStart": 20240101, "periodEnd": 20241231},
                     {"id": "B", "number": 12, "periodStart": 20250401, "periodEnd": 20260331}]})");
    ClSysUser* user = ClDataMgr::Inst()->GetSysUserObject();
    char id[65];
    ASSERT_EQ(user->GetCurUserID(id), 0);
    EXPECT_STREQ(id, "\x8c\x6f\x97\x9d\x92\x53\x93\x96");
    int32_t first = 0, second = 0;
    ASSERT_EQ(user->GetSelectedNo(id, &first, &second), 0);
    EXPECT_EQ(first, 3);
    EXPECT_EQ(second, 12);
    EXPECT_NE(user->GetSelectedNo("someone", &first, &second), 0);

    char folder[262];
    folder[261] = 'x';
    ASSERT_EQ(ClFileMgr::Inst()->GetAppFolderPath(0, folder), 0);
    EXPECT_STREQ(folder, "C:\\Borlex\\");
    ASSERT_EQ(ClFileMgr::Inst()->GetAppFolderPath(1, folder), 0);
    EXPECT_STREQ(folder, "D:\\\x83\x66\x81\x5b\x83\x5e\\\x89\xef\x8e\xd0\x31\\");
    EXPECT_NE(ClFileMgr::Inst()->GetAppFolderPath(2, folder), 0);
    EXPECT_STREQ(folder, "");

    Load(R"({"appFolders": {"0": ")" + std::string(259, 'f') + R"(\\"}, "dataSets": []})");
    ASSERT_EQ(ClFileMgr::Inst()->GetAppFolderPath(0, folder), 0);
    EXPECT_EQ(std::strlen(folder), 260u);
    EXPECT_EQ(folder[261], 'x');

    Load(
        u8R"({"user": {"selected": [3, 12]},
        "dataSets": [{"id": "B", "number": 12, "periodStart": 20250401, "periodEnd": 20260331}]})");
    ClQelPeriod* period = nullptr;
    ASSERT_EQ(standintest::DataSets()->GetQelPeriod(&period), 0);
    ASSERT_NE(period, nullptr);
    EXPECT_EQ(hoststandin::LivePeriodObjects(), 1);
    int32_t start = 0, end = 0;
    EXPECT_EQ(period->GetPeriod(&start, &end), 0);
    EXPECT_EQ(start, 20250401);
    EXPECT_EQ(end, 20260331);
    period->Release(1);
    EXPECT_EQ(hoststandin::LivePeriodObjects(), 0);
}

TEST_F(HostCalls, RuleObjectEnumeratesTheAssetsOfItsDataSetOnly) {
    Load(R"({"dataSets": [
        {"id": "A", "number": 1, "periodStart": 20250101, "periodEnd": 20251231,
         "assets": [{"name": "a1"}]},
        {"id": "B", "number": 2, "periodStart": 20250101, "periodEnd": 20251231,
         "assets": [{"name": "b1"}, {"name": "b2"}, {"name": "b3"}]},
        {"id": "C", "number": 3, "periodStart": 20250101, "periodEnd": 20251231}]})");
    const auto b = EnumerateAssets("B");
    ASSERT_EQ(b.size(), 3u);
    EXPECT_STREQ(b[0].master.head.szName, "b1");
    EXPECT_STREQ(b[2].master.head.szName, "b3");

    auto rule = std::make_unique<ClRuleGenkashokyaku>();
    EXPECT_EQ(hoststandin::LiveRuleObjects(), 1);
    EXPECT_EQ(rule->MoveReady(nullptr, 0, 0), -1);  // nothing attached yet
    rule->AttachSetMgr(ClDataMgr::Inst()->GetSetMgr());
    rule->AttachOptLink(ClLinkMgr::Inst()->GetOptLink());
    rule->SetCurDataID("C");
    EXPECT_EQ(rule->MoveReady(nullptr, 0, 0), kQelNoData);
    EXPECT_EQ(hoststandin::OpenEnumerations(), 0);
    rule->SetCurDataID("X");
    EXPECT_EQ(rule->MoveReady(nullptr, 0, 0), -1);
    rule->SetCurDataID("A");
    ASSERT_EQ(rule->MoveReady(nullptr, 0, 0), 0);
    EXPECT_EQ(hoststandin::OpenEnumerations(), 1);
    StKOTEISHISANINFO master;
    StKOTEINENINFO year;
    StKOTEITSUKIINFO month;
    EXPECT_EQ(rule->Move(-1, &master, &year, &month), kQelNoData);
    EXPECT_EQ(rule->Move(1, &master, &year, &month), kQelNoData);
    rule.reset();  // destroyed while enumerating: the enumeration ends with it
    EXPECT_EQ(hoststandin::LiveRuleObjects(), 0);
    EXPECT_EQ(hoststandin::OpenEnumerations(), 0);
}

TEST_F(HostCalls, CursorsMustBeReadiedAndAreReleasedOnce) {
    Load(
        R"({"dataSets": [{"id": "A", "number": 1, "periodStart": 20250101, "periodEnd": 20251231}]})");
    ClSetData* sets = standintest::DataSets();
    int cursor = 0;
    ASSERT_EQ(sets->GetDatCursor(&cursor), 0);
    EXPECT_EQ(hoststandin::OpenCursors(), 1);
    StDATAINFO record;
    EXPECT_EQ(sets->WalkDat(&record, cursor), -1);
    EXPECT_EQ(sets->ReadyDat(cursor, 0), 0);
    EXPECT_EQ(sets->WalkDat(&record, cursor), 0);
    EXPECT_EQ(sets->WalkDat(&record, cursor), kQelNoData);
    auto* eras = static_cast<ClSetGengo*>(ClDataMgr::Inst()->GetSetMgr()->GetSetObject(13, 0));
    EXPECT_EQ(eras->ReleaseCursor(cursor), -1);  // not an era cursor
    EXPECT_EQ(sets->ReleaseDatCursor(cursor), 0);
    EXPECT_EQ(sets->ReleaseDatCursor(cursor), -1);
    EXPECT_EQ(hoststandin::OpenCursors(), 0);
    EXPECT_EQ(ClDataMgr::Inst()->GetSetObject(5, 0), nullptr);
    EXPECT_EQ(ClDataMgr::Inst()->GetSetMgr()->GetSetObject(12, 0), nullptr);
}

// Calls every operation that can be made to fail once, in the program's order, and
// returns each answer (77 for a missing object).
std::map<std::string, int> CallEveryFaultOp() {
    std::map<std::string, int> r;
    ClQelConnect::Inst()->SetAppType(3);
    r["Initiate"] = ClQelConnect::Inst()->Initiate();
    r["ExpSysLink"] = ClQelConnect::Inst()->ExpSysLink();
    r["GetSetObject"] = ClDataMgr::Inst()->GetSetObject(5, 1) ? 0 : 77;
    r["GetEraSet"] = ClDataMgr::Inst()->GetSetMgr()->GetSetObject(13, 0) ? 0 : 77;
    ClSetData sets;  // the set objects keep no state of their own
    int cursor = 0;
    r["GetDatCursor"] = sets.GetDatCursor(&cursor);
    r["ReadyDat"] = sets.ReadyDat(cursor, 0);
    StDATAINFO data;
    r["WalkDat"] = sets.WalkDat(&data, cursor);
    r["ReleaseDatCursor"] = sets.ReleaseDatCursor(cursor);
    ClQelPeriod* period = nullptr;
    const int got = sets.GetQelPeriod(&period);
    r["GetQelPeriod"] = got != 0 && period == nullptr ? 77 : got;
    int32_t first = 0, last = 0, count = 0;
    if (period != nullptr) r["GetPeriod"] = period->GetPeriod(&first, &last);
    if (period != nullptr) period->Release(1);
    ClSetGengo eras;
    cursor = 0;
    r["GetCursor"] = eras.GetCursor(&cursor);
    r["Ready"] = eras.Ready(cursor);
    StGENGOINFO era;
    r["Walk"] = eras.Walk(&era, cursor);
    eras.ReleaseCursor(cursor);
    ClRuleGenkashokyaku rule;
    rule.AttachSetMgr(ClDataMgr::Inst()->GetSetMgr());
    rule.SetCurDataID("A");
    rule.AttachOptLink(ClLinkMgr::Inst()->GetOptLink());
    r["MoveReady"] = rule.MoveReady(nullptr, 0, 0);
    r["GetCount"] = rule.GetCount(&count);
    StKOTEISHISANINFO master;
    StKOTEINENINFO year;
    r["Move"] = rule.Move(0, &master, &year, nullptr);
    rule.MoveFinish();
    return r;
}

// Each fault op answers its code at the chosen call only; the calls around it answer
// normally, and nothing is left open.
TEST_F(HostCalls, FaultsHitTheChosenCallOfTheirOperation) {
    for (const std::string& op : hoststandin::FaultOps()) {
        if (op == "SetAppType") continue;  // answers nothing: it can only throw or crash
        hoststandin::Reset();
        Load(R"({"dataSets": [{"id": "A", "number": 1, "periodStart": 20250101,
            "periodEnd": 20251231, "assets": [{}]}], "faults": [{"op": ")" +
             op + R"(", "at": 2, "code": 77}]})");
        for (int run = 1; run <= 3; ++run) {
            for (const auto& answer : CallEveryFaultOp()) {
                const bool hit = run == 2 && answer.first == op;
                if (hit || run != 2) {
                    EXPECT_EQ(answer.second, hit ? 77 : 0) << op << " " << answer.first;
                }
            }
        }
        EXPECT_EQ(hoststandin::CallCount(op), 3) << op;
        EXPECT_EQ(hoststandin::OpenCursors() + hoststandin::OpenEnumerations() +
                      hoststandin::LiveRuleObjects() + hoststandin::LivePeriodObjects(),
                  0)
            << op;
    }
    hoststandin::Reset();
    Load(R"({"dataSets": [], "faults": [{"op": "ExpSysLink"}]})");
    EXPECT_EQ(ClQelConnect::Inst()->ExpSysLink(), -1);  // at 1 and code -1 by default
}

// A fault of kind "throw" throws at the chosen call and nowhere else; "crash" crashes there.
TEST_F(HostCalls, PlannedExceptionsAndCrashesHitTheChosenCall) {
    if (!velnor_test::ExceptionsCrossTheHostDll()) {
        GTEST_SKIP() << "i686 MinGW cannot pass an exception out of the host's DLL";
    }
    for (const char* op :
         {"SetAppType", "ExpSysLink", "WalkDat", "ReleaseDatCursor", "Walk", "Move"}) {
        SCOPED_TRACE(op);
        hoststandin::Reset();
        Load(R"({"dataSets": [{"id": "A", "number": 1, "periodStart": 20250101,
            "periodEnd": 20251231, "assets": [{}]}], "faults": [{"op": ")" +
             std::string(op) + R"(", "at": 2, "kind": "throw"}]})");
        EXPECT_NO_THROW(CallEveryFaultOp());
        EXPECT_THROW(CallEveryFaultOp(), std::runtime_error);
        EXPECT_NO_THROW(CallEveryFaultOp());
        EXPECT_EQ(hoststandin::CallCount(op), 3);
    }
    // Forgetting the throws and crashes keeps the faults that answer a code.
    hoststandin::Reset();
    Load(R"({"dataSets": [], "faults": [{"op": "ExpSysLink", "kind": "throw"},
        {"op": "ExpSysLink", "at": 2, "code": 8}]})");
    hoststandin::ForgetFaults(true);
    EXPECT_EQ(ClQelConnect::Inst()->ExpSysLink(), 0);
    EXPECT_EQ(ClQelConnect::Inst()->ExpSysLink(), 8);
    hoststandin::Reset();
    Load(R"({"dataSets": [{"id": "A", "number": 1, "periodStart": 20250101,
        "periodEnd": 20251231, "assets": [{}]}], "faults": [{"op": "Move", "kind": "crash"}]})");
#ifndef _WIN32
    // Under Wine a crash is shown through the whole runs of the fault matrix.
    EXPECT_DEATH(CallEveryFaultOp(), "");
#endif
    hoststandin::Reset();
}

TEST_F(HostCalls, MessagesAreRecordedAndShownThroughTheSeam) {
    Load(R"({"dataSets": [], "fatalCodes": [-5]})");
    ClQelConnect::Inst()->DispMsg(nullptr, "text", "caption", 0x30);
    EXPECT_EQ(ClMsgMgr::Inst()->CheckFatalErrorWithMsg(-4, 0, 1, nullptr), 0);
    EXPECT_NE(ClMsgMgr::Inst()->CheckFatalErrorWithMsg(-5, 0, 1, nullptr), 0);
    ClMsgMgr::Inst()->SetLastError(-1001, "CmnProcHpr", 87);
    ClQelConnect::Inst()->LogOut();
    ClQelConnect::Inst()->Terminate();
    ClQelConnect::Inst()->Release();
    std::vector<std::string> kinds;
    for (const auto& r : hoststandin::Log()) kinds.push_back(r.kind);
    EXPECT_EQ(kinds, (std::vector<std::string>{"DispMsg", "FatalError", "SetLastError", "LogOut",
                                               "Terminate", "Release"}));
    const auto& log = hoststandin::Log();
    EXPECT_EQ(log[0].fields, (std::vector<std::string>{"caption", "48", "text"}));
    EXPECT_EQ(log[1].fields[0], "-5");
    EXPECT_EQ(log[2].fields, (std::vector<std::string>{"-1001", "CmnProcHpr", "87"}));
    ASSERT_EQ(Shown().size(), 2u);
    EXPECT_EQ(Shown()[0].text, "text");
    EXPECT_EQ(Shown()[0].caption, "caption");
    EXPECT_EQ(Shown()[0].type, 0x30u);
    EXPECT_EQ(Shown()[1].text, log[1].fields[1]);
    EXPECT_EQ(Shown()[1].caption, "Borlex");
}

std::string ReadAll(const std::string& path) {
    std::string text;
    if (std::FILE* f = std::fopen(path.c_str(), "rb")) {
        char buffer[4096];
        size_t n;
        while ((n = std::fread(buffer, 1, sizeof buffer, f)) > 0) text.append(buffer, n);
        std::fclose(f);
    }
    return text;
}

TEST_F(HostCalls, LogFileGetsOneUtf8LinePerRecord) {
    const std::string path = "host_standin_test.log";
    std::remove(path.c_str());
    SetEnv("VELNOR_HOST_LOG", path);
    Load(R"({"dataSets": [], "fatalCodes": [7]})");
    ClQelConnect::Inst()->DispMsg(nullptr, "\x88\xea\x8d\x73\x96\xda\n\x93\xf1\tC:\\x",
                                  "\x8f\x8a\x93\xbe\x90\xc5(\x8c\xb8\x89\xbf\x8f\x9e\x8b\x70)",
                                  0x30);
    ClMsgMgr::Inst()->SetLastError(-1004, "CmnProcHpr", 120);
    ClMsgMgr::Inst()->CheckFatalErrorWithMsg(7, 0, 1, nullptr);
    ClQelConnect::Inst()->LogOut();
    EXPECT_EQ(ReadAll(path),
              u8"DispMsg\t所得税(減価償却)\t48\t一行目\\n二\\tC:\\\\x\n"
              "SetLastError\t-1004\tCmnProcHpr\t120\n"
              u8"FatalError\t7\t重大なエラーが発生しました。処理を中止します。(エラーコード: 7)\n"
              "LogOut\n");
    std::remove(path.c_str());
}

TEST_F(HostCalls, InitiateLoadsTheFileNamedByTheEnvironment) {
    const std::string path = "host_standin_test.json";
    std::FILE* f = std::fopen(path.c_str(), "wb");
    ASSERT_NE(f, nullptr);
    std::fputs(R"({"link": {"initiate": 0, "expSysLink": 1}, "dataSets": [],
                   "faults": [{"op": "Initiate", "at": 2, "code": 3}]})",
               f);
    std::fclose(f);
    SetEnv("VELNOR_HOST_DATA", path);
    EXPECT_EQ(hoststandin::DefaultDataFile(), path);
    EXPECT_EQ(ClQelConnect::Inst()->Initiate(), 0);
    EXPECT_EQ(ClQelConnect::Inst()->Initiate(), 3);  // the file's own faults count the first call
    EXPECT_EQ(ClQelConnect::Inst()->ExpSysLink(), 1);
    EXPECT_TRUE(Shown().empty());
    std::remove(path.c_str());
}

TEST_F(HostCalls, InitiateFailsSayingWhichFileAndWhy) {
    const struct {
        const char* content;  // null: no file
        const char* why;
    } cases[] = {
        {nullptr, "cannot be opened ("},
        {R"({"dataSets": [{"id": 1}]})", "dataSets[0].id: must be a text"},
    };
    const std::string path = "host_standin_bad.json";
    for (const auto& c : cases) {
        hoststandin::Reset();
        Shown().clear();
        std::remove(path.c_str());
        if (c.content != nullptr) {
            std::FILE* f = std::fopen(path.c_str(), "wb");
            ASSERT_NE(f, nullptr);
            std::fputs(c.content, f);
            std::fclose(f);
        }
        SetEnv("VELNOR_HOST_DATA", path);
        EXPECT_NE(ClQelConnect::Inst()->Initiate(), 0);
        EXPECT_FALSE(hoststandin::IsLoaded());
        ASSERT_EQ(hoststandin::Log().size(), 1u);
        EXPECT_EQ(hoststandin::Log()[0].kind, "LoadError");
        EXPECT_EQ(hoststandin::Log()[0].fields[0], path);
        EXPECT_EQ(hoststandin::Log()[0].fields[1].rfind(c.why, 0), 0u) << c.why;
        ASSERT_EQ(Shown().size(), 1u);
        EXPECT_NE(Shown()[0].text.find(path), std::string::npos);
        EXPECT_NE(Shown()[0].text.find(c.why), std::string::npos);
    }
    std::remove(path.c_str());
    SetEnv("VELNOR_HOST_DATA", "");
    const std::string file = hoststandin::DefaultDataFile();
    ASSERT_GT(file.size(), 14u);
    EXPECT_EQ(file.substr(file.size() - 13), "HostData.json");
    EXPECT_NE(std::string("/\\").find(file[file.size() - 14]), std::string::npos);
}

}  // namespace
