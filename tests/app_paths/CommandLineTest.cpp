#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <string>

#include "app/CommandLine.h"

namespace {

using velnor::CommandLine;
using velnor::ParseCommandLine;

TEST(CommandLine, IncompleteTextsKeepTheDefaults) {
    const char* cases[] = {"", "1234", "1234,32769", "1234,32769,5", "1234,32769,65535"};
    for (const char* text : cases) {
        const CommandLine cl = ParseCommandLine(text);
        EXPECT_FALSE(cl.complete) << text;
        EXPECT_EQ(0, cl.hostWindow) << text;
        EXPECT_EQ(0u, cl.completionMessage) << text;
        EXPECT_EQ(2, cl.functionId) << text;
        EXPECT_EQ("", cl.fixedOutputPath) << text;
    }
    EXPECT_FALSE(ParseCommandLine(nullptr).complete);
}

TEST(CommandLine, CompleteTexts) {
    const struct {
        const char* text;
        intptr_t hostWindow;
        uint32_t message;
        int16_t functionId;
        const char* fixedPath;
    } cases[] = {
        {"1234,32769,5,", 1234, 32769, 5, ""},
        {"1234,32769,5,C:\\out\\a.xml", 1234, 32769, 5, "C:\\out\\a.xml"},
        {"1234,32769,5,C:\\a,b\\c,d.xml", 1234, 32769, 5, "C:\\a,b\\c,d.xml"},
        {"1,2,3,,,", 1, 2, 3, ",,"},
        {"1,2,65535,", 1, 2, -1, ""},
        {"1,2,32767,", 1, 2, 32767, ""},
        {"1,2,32768,", 1, 2, -32768, ""},
        {"1,2,65538,", 1, 2, 2, ""},
        {"1,2,-1,", 1, 2, -1, ""},
        {",,,", 0, 0, 0, ""},  // present but empty: read as 0, not the default 2
        {"abc,def,ghi,x", 0, 0, 0, "x"},
        {" 12x,+7,\t-3, keep blanks ", 12, 7, -3, " keep blanks "},
        {"-1,49152,2,", -1, 49152, 2, ""},
        {"99999999999999999999,4294967295,99999999999,", INT32_MAX, 0x7FFFFFFF, -1, ""},
        {"-99999999999999999999,-1,-99999999999,", INT32_MIN, 0xFFFFFFFF, 0, ""},
        {"1,2,3,\x95\x5c,\x83\x7c.xml", 1, 2, 3, "\x95\x5c,\x83\x7c.xml"},
    };
    for (const auto& c : cases) {
        const CommandLine cl = ParseCommandLine(c.text);
        EXPECT_TRUE(cl.complete) << c.text;
        EXPECT_EQ(c.hostWindow, cl.hostWindow) << c.text;
        EXPECT_EQ(c.message, cl.completionMessage) << c.text;
        EXPECT_EQ(c.functionId, cl.functionId) << c.text;
        EXPECT_EQ(c.fixedPath, cl.fixedOutputPath) << c.text;
    }
}

TEST(CommandLine, ALongTextIsReadWhole) {
    for (size_t pathLength : {246u, 247u, 260u, 2000u, 70000u}) {
        const std::string path = "C:\\" + std::string(pathLength - 3, 'p');
        const std::string text = "1234,32769,5," + path;
        const CommandLine cl = ParseCommandLine(text.c_str());
        EXPECT_TRUE(cl.complete) << text.size();
        EXPECT_EQ(1234, cl.hostWindow);
        EXPECT_EQ(32769u, cl.completionMessage);
        EXPECT_EQ(5, cl.functionId);
        EXPECT_EQ(path, cl.fixedOutputPath);
    }
    // Long numbers push the commas far out; the host binding still holds.
    const std::string padded = std::string(300, ' ') + "1234," + std::string(300, '0') + "32769,5,";
    const CommandLine cl = ParseCommandLine(padded.c_str());
    EXPECT_TRUE(cl.complete);
    EXPECT_EQ(1234, cl.hostWindow);
    EXPECT_EQ(32769u, cl.completionMessage);
}

TEST(ParseLeadingInteger, ClampsAtTheBoundaries) {
    const struct {
        const char* text;
        long long expected;
    } cases[] = {
        {"2147483647", INT_MAX},
        {"2147483648", INT_MAX},
        {"-2147483648", INT_MIN},
        {"-2147483649", INT_MIN},
        {"4294967298", INT_MAX},
        {"", 0},
        {"-", 0},
        {"+", 0},
        {"  \t\n\v\f\r42", 42},
        {"0042x", 42},
        {"- 4", 0},
        {"--4", 0},
        {"\x82\x51", 0},  // a full-width digit is no digit
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.expected,
                  velnor::ParseLeadingInteger(c.text, std::strlen(c.text), INT_MIN, INT_MAX))
            << c.text;
    }
    EXPECT_EQ(12, velnor::ParseLeadingInteger("12345", 2, INT_MIN, INT_MAX));
}

TEST(ParseLeadingInteger, KeepsEveryValueJustInsideTheLimits) {
    for (long long below = 1; below <= 9; ++below) {
        for (const long long value : {INT_MAX - below, INT_MIN + below}) {
            const std::string text = std::to_string(value);
            EXPECT_EQ(value,
                      velnor::ParseLeadingInteger(text.c_str(), text.size(), INT_MIN, INT_MAX))
                << text;
        }
    }
}

}  // namespace
