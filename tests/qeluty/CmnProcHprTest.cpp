#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "QelUty/CmnProcHpr.h"
#include "common/Ui.h"
#include "host_standin/HostStandIn.h"
#include "support/Seams.h"

namespace {

// The host shows its fatal-error messages through the message-box seam: answered here,
// for the whole test program.
const velnor_test::MessageBoxRecorder g_boxes;

const char kDataSet[] =
    R"("dataSets": [{"id": "D1", "number": 1, "periodStart": 20240101, "periodEnd": 20241231}])";

void Load(const std::string& members) {
    hoststandin::Reset();
    std::string json = "{" + std::string(kDataSet);
    if (!members.empty()) json += ", " + members;
    json += "}";
    ASSERT_EQ(hoststandin::LoadFromString(json), "");
}

std::vector<hoststandin::LogRecord> Errors() {
    std::vector<hoststandin::LogRecord> out;
    for (const auto& r : hoststandin::Log())
        if (r.kind == "SetLastError") out.push_back(r);
    return out;
}

struct EraCase {
    int32_t date;
    int result;
    const char* name;  // expected era name on success
    int year;
};

TEST(CmnProcHprEra, BoundariesOfTheDefaultEras) {
    const EraCase cases[] = {
        {18680908, 0, "明治", 1},   // first day of the first era
        {19120729, 0, "明治", 45},  // the day before the next era
        {19120730, 0, "大正", 1},     {19261225, 0, "昭和", 1},    {19890107, 0, "昭和", 64},
        {19890108, 0, "平成", 1},     {20190430, 0, "平成", 31},   {20190501, 0, "令和", 1},
        {20240615, 0, "令和", 6},  // after the first day of the last era
        {99991231, 0, "令和", 7981},  {18680907, -1, nullptr, 0},  // before the first era
        {0, -1, nullptr, 0},          {-20240101, -1, nullptr, 0}, {99991232, -1, nullptr, 0},
        {2147483647, -1, nullptr, 0},
    };
    Load("");
    for (const EraCase& c : cases) {
        SCOPED_TRACE(c.date);
        StGENGOINFO era;
        std::memset(&era, 0x55, sizeof(era));
        int year = -7;
        EXPECT_EQ(ClCmnProcHpr().GetEra(c.date, &era, &year), c.result);
        if (c.result == 0) {
            EXPECT_STREQ(era.szName, c.name);
            EXPECT_EQ(year, c.year);
        } else {
            EXPECT_EQ(year, -7);
            const StGENGOINFO zero{};
            EXPECT_EQ(std::memcmp(&era, &zero, sizeof(era)), 0) << "record not cleared";
        }
    }
    EXPECT_TRUE(Errors().empty()) << "a date outside the eras is not a host error";
    EXPECT_EQ(hoststandin::OpenCursors(), 0);
}

TEST(CmnProcHprEra, NameIsCutAtACharacterBoundaryAndUntouchedOnFailure) {
    // A 15-byte name: seven double-byte characters and one single byte.
    Load(
        u8R"("eras": [{"start": 19000101, "name": "あいうえおかきX"}, {"start": 20000101, "name": "新"}])");
    char name[7];
    int year = 0;
    ASSERT_EQ(ClCmnProcHpr().GetEraName(19990101, name, sizeof(name), &year), 0);
    EXPECT_STREQ(name, "あいう");
    EXPECT_EQ(year, 100);
    char whole[16];
    ASSERT_EQ(ClCmnProcHpr().GetEraName(19000101, whole, sizeof(whole), &year), 0);
    EXPECT_STREQ(whole, "あいうえおかきX");

    std::strcpy(name, "keep");
    year = 3;
    EXPECT_EQ(ClCmnProcHpr().GetEraName(18991231, name, sizeof(name), &year), -1);
    EXPECT_STREQ(name, "keep");
    EXPECT_EQ(year, 3);
}

TEST(CmnProcHprEra, HostFailuresAreReportedWithModuleAndLine) {
    struct Case {
        const char* faults;
        const char* fatal;
    };
    const Case cases[] = {
        {R"({"op": "Ready", "code": 41})", "[]"},
        {R"({"op": "Walk", "at": 1, "code": 41})", "[]"},
        {R"({"op": "Walk", "at": 3, "code": 41})", "[]"},
        {R"({"op": "Walk", "at": 2, "code": 41})", "[41]"},
    };
    std::string lines[2];
    for (const Case& c : cases) {
        SCOPED_TRACE(c.faults);
        Load(std::string(R"("faults": [)") + c.faults + R"(], "fatalCodes": )" + c.fatal);
        StGENGOINFO era;
        int year = 0;
        EXPECT_EQ(ClCmnProcHpr().GetEra(20240101, &era, &year), -1);
        EXPECT_EQ(hoststandin::OpenCursors(), 0) << "cursor not released";
        const auto errors = Errors();
        ASSERT_EQ(errors.size(), 1u);
        ASSERT_EQ(errors[0].fields.size(), 3u);
        EXPECT_EQ(errors[0].fields[0], "41");
        EXPECT_EQ(errors[0].fields[1], "CmnProcHpr");
        EXPECT_GT(std::stoi(errors[0].fields[2]), 0);
        lines[std::string(c.faults).find("Ready") != std::string::npos ? 0 : 1] =
            errors[0].fields[2];
        bool fatalShown = false;
        for (const auto& r : hoststandin::Log())
            if (r.kind == "FatalError") fatalShown = true;
        EXPECT_EQ(fatalShown, std::string(c.fatal) != "[]");
    }
    EXPECT_NE(lines[0], lines[1]) << "each call reports its own line";
}

TEST(CmnProcHprPeriod, ReadsThePeriodOfTheSelectedData) {
    Load("");
    int32_t first = -1, last = -1;
    EXPECT_EQ(ClCmnProcHpr().GetPeriod(&first, &last), 0);
    EXPECT_EQ(first, 20240101);
    EXPECT_EQ(last, 20241231);
    EXPECT_EQ(hoststandin::LivePeriodObjects(), 0);
    EXPECT_TRUE(Errors().empty());
}

TEST(CmnProcHprPeriod, FailuresGiveZeroDatesAndRecordTheirCode) {
    struct Case {
        const char* fault;
        const char* code;
    };
    const Case cases[] = {
        {R"({"op": "GetSetObject"})", "-1001"},
        {R"({"op": "GetQelPeriod"})", "-1004"},
        {R"({"op": "GetPeriod", "code": 77})", "77"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.fault);
        Load(std::string(R"("faults": [)") + c.fault + "]");
        int32_t first = -1, last = -1;
        EXPECT_EQ(ClCmnProcHpr().GetPeriod(&first, &last), -1);
        EXPECT_EQ(first, 0);
        EXPECT_EQ(last, 0);
        EXPECT_EQ(hoststandin::LivePeriodObjects(), 0) << "period object not released";
        const auto errors = Errors();
        ASSERT_EQ(errors.size(), 1u);
        ASSERT_EQ(errors[0].fields.size(), 3u);
        EXPECT_EQ(errors[0].fields[0], c.code);
        EXPECT_EQ(errors[0].fields[1], "CmnProcHpr");
    }
}

TEST(CmnProcHprPeriod, AFatalCodeIsShownBeforeItIsRecorded) {
    Load(R"("faults": [{"op": "GetPeriod", "code": 90}], "fatalCodes": [90])");
    int32_t first, last;
    EXPECT_EQ(ClCmnProcHpr().GetPeriod(&first, &last), -1);
    const auto& log = hoststandin::Log();
    ASSERT_EQ(log.size(), 2u);
    EXPECT_EQ(log[0].kind, "FatalError");
    EXPECT_EQ(log[1].kind, "SetLastError");
}

}  // namespace
