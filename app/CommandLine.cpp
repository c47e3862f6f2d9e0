#include "app/CommandLine.h"

#include <cstring>

namespace velnor {

namespace {

constexpr long long kLongMin = -2147483647LL - 1;  // the Windows long: 32 bits
constexpr long long kLongMax = 2147483647LL;

bool IsSpace(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

}  // namespace

long long ParseLeadingInteger(const char* text, size_t length, long long min, long long max) {
    size_t i = 0;
    while (i < length && IsSpace(text[i])) ++i;
    bool negative = false;
    if (i < length && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    // Accumulated as a negative number, whose range reaches one further than the positive.
    long long value = 0;
    const long long floor = negative ? min : -max;
    for (; i < length && text[i] >= '0' && text[i] <= '9'; ++i) {
        const int digit = text[i] - '0';
        if (value < (floor + digit) / 10) {
            value = floor;
        } else {
            value = value * 10 - digit;
        }
    }
    return negative ? value : -value;
}

CommandLine ParseCommandLine(const char* text) {
    CommandLine result;
    if (text == nullptr || *text == '\0') return result;
    const char* first = std::strchr(text, ',');
    if (first == nullptr) return result;
    const char* second = std::strchr(first + 1, ',');
    if (second == nullptr) return result;
    const char* third = std::strchr(second + 1, ',');
    if (third == nullptr) return result;

    const long window = static_cast<long>(
        ParseLeadingInteger(text, static_cast<size_t>(first - text), kLongMin, kLongMax));
    const long message = static_cast<long>(ParseLeadingInteger(
        first + 1, static_cast<size_t>(second - first - 1), kLongMin, kLongMax));
    const long long function = ParseLeadingInteger(
        second + 1, static_cast<size_t>(third - second - 1), kLongMin, kLongMax);

    result.complete = true;
    result.hostWindow = static_cast<intptr_t>(window);
    result.completionMessage = static_cast<uint32_t>(message);
    result.functionId = static_cast<int16_t>(static_cast<uint16_t>(function & 0xFFFF));
    result.fixedOutputPath = third + 1;
    return result;
}

}  // namespace velnor
