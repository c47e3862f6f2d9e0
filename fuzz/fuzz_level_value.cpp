// The compatibility check's reading of the definition file: the level value, and the
// file's path built from the executable's path. Input: one byte for the path buffer's
// size, then the text, used both as the value and as the executable's path.
#include <climits>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "FuzzSupport.h"
#include "app/ReceivingProduct.h"
#include "common/PathHelpers.h"

namespace {

constexpr char kFileName[] = "MerovinDef.ini";

// atoi of at most 15 characters (the 16-byte read buffer), clamped to int.
long long ReferenceLevel(const char* value) {
    const std::string cut(value, strnlen(value, velnor::kLevelBufferSize - 1));
    const long long v = std::strtoll(cut.c_str(), nullptr, 10);
    return v < INT_MIN ? INT_MIN : (v > INT_MAX ? INT_MAX : v);
}

void CheckStatus(const char* value) {
    const velnor::ReceivingStatus status = velnor::StatusForLevelText(value);
    FUZZ_CHECK(status >= -1 && status <= 2);
    velnor::ReceivingStatus want;
    if (value[0] == '\0') {
        want = velnor::kReceivingBadEnvironment;
    } else {
        const long long level = ReferenceLevel(value);
        want = level == velnor::kRequiredLinkLevel
                   ? velnor::kReceivingFits
                   : (level < velnor::kRequiredLinkLevel ? velnor::kReceivingProductTooOld
                                                         : velnor::kReceivingLinkTooOld);
    }
    FUZZ_CHECK(status == want);
    FUZZ_CHECK((velnor::ReceivingStatusMessage(status) == nullptr) ==
               (status == velnor::kReceivingFits));
}

void CheckDefinitionPath(const char* modulePath, size_t outSize) {
    fuzz::TightBuffer out(outSize);
    if (outSize > 0) std::memset(out.data(), 'x', outSize);
    const bool built = velnor::BuildDefinitionFilePath(modulePath, out.data(), outSize);
    if (outSize == 0) {
        FUZZ_CHECK(!built);
        return;
    }
    const size_t length = strnlen(out.data(), outSize);
    FUZZ_CHECK(length < outSize);
    if (!built) {
        // Only a buffer too small for the longest folder and the name refuses.
        FUZZ_CHECK(outSize < velnor::kPathBufferSize + sizeof kFileName);
        FUZZ_CHECK(length == 0);
        return;
    }
    const std::string path(out.data(), length);
    const size_t nameLength = sizeof kFileName - 1;
    FUZZ_CHECK(path.size() > nameLength);
    FUZZ_CHECK(path.compare(path.size() - nameLength, nameLength, kFileName) == 0);
    const std::string folder = path.substr(0, path.size() - nameLength);
    // A real backslash before the name.
    FUZZ_CHECK(folder.back() == '\\' && !velnor::IsDbcsByteAt(folder.c_str(), folder.size() - 1));
    // The folder is the executable's own folder, or "." when it has none.
    char expected[velnor::kPathBufferSize] = {};
    const size_t moduleLength = strnlen(modulePath, velnor::kPathBufferSize);
    bool own = false;
    if (moduleLength > 0 && moduleLength < velnor::kPathBufferSize) {
        std::memcpy(expected, modulePath, moduleLength + 1);
        own = velnor::NormalizeFolderPath(expected, sizeof expected);
    }
    if (own) {
        const std::string normalized(expected);
        const bool endsInBackslash =
            normalized.back() == '\\' &&
            !velnor::IsDbcsByteAt(normalized.c_str(), normalized.size() - 1);
        FUZZ_CHECK(folder == (endsInBackslash ? normalized : normalized + "\\"));
    } else {
        FUZZ_CHECK(folder == ".\\");
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;
    const std::string bytes(reinterpret_cast<const char*>(data) + 1, size - 1);
    const fuzz::TightBuffer value = fuzz::TerminatedCopy(bytes);
    CheckStatus(value.data());
    // Sizes around the 517-byte buffer, and small ones.
    const size_t outSize = data[0] < 128 ? data[0] : velnor::kDefinitionPathSize + 128 - data[0];
    CheckDefinitionPath(value.data(), outSize);
    return 0;
}
