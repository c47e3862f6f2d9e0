// The command line the host starts the program with:
//   hostWindow,completionMessage,functionId,fixedOutputPath
// The fourth field runs from the third comma to the end of the text, commas included.
// The text is read whole whatever its length, so that a long fixed output path never
// costs a host-bound run its host window or its completion message.
#pragma once

#include <cstdint>
#include <string>

namespace velnor {

constexpr int16_t kDefaultFunctionId = 2;

struct CommandLine {
    bool complete = false;    // all three commas were there: the run is host-bound
    intptr_t hostWindow = 0;  // the host window's handle value
    uint32_t completionMessage = 0;
    int16_t functionId = kDefaultFunctionId;
    std::string fixedOutputPath;  // empty when the host imposes none
};

// Reads the command line. An incomplete text (no text, or a missing comma) gives the
// defaults with `complete` false: nothing read before the missing comma is used.
CommandLine ParseCommandLine(const char* text);

// The leading decimal integer of `text` as the runtime's atol and atoi read it: leading
// white space, an optional sign, then digits; 0 when there are none. A value beyond
// [min, max] is clamped to it rather than wrapped.
long long ParseLeadingInteger(const char* text, size_t length, long long min, long long max);

}  // namespace velnor
