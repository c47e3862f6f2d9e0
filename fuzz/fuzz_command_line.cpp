// The command line the host starts the program with; also the leading-integer reading
// behind its numeric fields. Input: the command line text.
#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "FuzzSupport.h"
#include "app/CommandLine.h"

namespace {

// atol/atoi of a Windows long: the C library's reading, clamped to 32 bits.
long long ReferenceLong(const std::string& field) {
    const long long v = std::strtoll(field.c_str(), nullptr, 10);
    if (v < INT32_MIN) return INT32_MIN;
    if (v > INT32_MAX) return INT32_MAX;
    return v;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    const fuzz::TightBuffer terminated = fuzz::TerminatedCopy(bytes);
    const std::string text(terminated.data());

    const velnor::CommandLine cl = velnor::ParseCommandLine(terminated.data());

    const size_t first = text.find(',');
    const size_t second = first == std::string::npos ? first : text.find(',', first + 1);
    const size_t third = second == std::string::npos ? second : text.find(',', second + 1);
    FUZZ_CHECK(cl.complete == (third != std::string::npos));
    if (!cl.complete) {
        FUZZ_CHECK(cl.functionId == velnor::kDefaultFunctionId);
        FUZZ_CHECK(cl.hostWindow == 0 && cl.completionMessage == 0);
        FUZZ_CHECK(cl.fixedOutputPath.empty());
        return 0;
    }
    FUZZ_CHECK(cl.fixedOutputPath == text.substr(third + 1));
    const long long window = ReferenceLong(text.substr(0, first));
    const long long message = ReferenceLong(text.substr(first + 1, second - first - 1));
    const long long function = ReferenceLong(text.substr(second + 1, third - second - 1));
    FUZZ_CHECK(cl.hostWindow == static_cast<intptr_t>(window));
    FUZZ_CHECK(cl.completionMessage == static_cast<uint32_t>(static_cast<int32_t>(message)));
    FUZZ_CHECK(cl.functionId == static_cast<int16_t>(static_cast<uint16_t>(function & 0xFFFF)));

    // The reader itself with any bounds: the C library's value, clamped.
    const long long min = -(static_cast<long long>(size) << 20);
    const long long max = static_cast<long long>(size) << 24;
    const std::string head = text.substr(0, first);
    const long long got = velnor::ParseLeadingInteger(head.c_str(), head.size(), min, max);
    errno = 0;
    long long want = std::strtoll(head.c_str(), nullptr, 10);
    want = want < min ? min : (want > max ? max : want);
    FUZZ_CHECK(got == want);
    const long long wide =
        velnor::ParseLeadingInteger(head.c_str(), head.size(), INT64_MIN, INT64_MAX);
    FUZZ_CHECK(wide == std::strtoll(head.c_str(), nullptr, 10));
    return 0;
}
