// The support information file: the input is the file "SUPPORT.INF" in the current
// folder (a folder of the target's own). An empty input stands for no file.
#include <fcntl.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "FuzzSupport.h"
#include "export/SupportInf.h"

namespace {

// The same literals as the reader's, so that they have the same bytes in this build.
const char kNameMarker[] = "[=製品名=]";
const char kVersionMarker[] = "[=製品ﾊﾞｰｼﾞｮﾝ=]";

// The value after the first `marker` within the first 30000 bytes: it ends at a NUL, a
// 0x1A, a CR directly followed by LF, or the end of the data.
std::string ReferenceValue(const std::string& file, const std::string& marker) {
    const std::string data = file.substr(0, ClSupportInf::kBufferSize);
    const size_t at = data.find(marker);
    if (at == std::string::npos) return std::string();
    const size_t start = at + marker.size();
    size_t end = start;
    while (end < data.size() && data[end] != '\0' && data[end] != '\x1a' &&
           !(data[end] == '\r' && end + 1 < data.size() && data[end + 1] == '\n')) {
        ++end;
    }
    return data.substr(start, end - start);
}

void CheckValue(const char* value, const std::string& file, const std::string& marker) {
    FUZZ_CHECK(value != nullptr);
    // Under AddressSanitizer a value that ran past the buffer stops here.
    const std::string got(value);
    FUZZ_CHECK(got == ReferenceValue(file, marker));
    FUZZ_CHECK(got.empty() || file.find(got) != std::string::npos);
}

// The buffer in a block of exactly the size asked for.
void* TightAlloc(size_t size) { return std::malloc(size); }

// The reader opens the file by its bare name; each run moves into a folder of its own and
// back, since libFuzzer reads and writes its corpus by relative paths.
int g_home = -1;
int g_folder = -1;

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    char folder[] = "/tmp/velnor-fuzz-support-XXXXXX";
    g_home = open(".", O_RDONLY | O_DIRECTORY);
    if (mkdtemp(folder) == nullptr || g_home < 0 ||
        (g_folder = open(folder, O_RDONLY | O_DIRECTORY)) < 0) {
        std::perror("fuzz_support_inf: temporary folder");
        std::abort();
    }
    ClSupportInf::SetAllocator(TightAlloc);
    return 0;
}

namespace {

void Run(const uint8_t* data, size_t size) {
    const std::string file(reinterpret_cast<const char*>(data), size);
    if (size == 0) {
        std::remove("SUPPORT.INF");
    } else {
        FILE* f = std::fopen("SUPPORT.INF", "wb");
        FUZZ_CHECK(f != nullptr);
        FUZZ_CHECK(std::fwrite(data, 1, size, f) == size);
        FUZZ_CHECK(std::fclose(f) == 0);
    }

    ClSupportInf inf;
    const bool exists = size > 0;
    const char* name = inf.GetProductName();
    const char* version = inf.GetProductVersion();
    FUZZ_CHECK(inf.Load() == (exists ? 1 : 0) || !exists);
    if (!exists) {
        FUZZ_CHECK(name[0] == '\0' && version[0] == '\0');
        return;
    }
    CheckValue(name, file, kNameMarker);
    CheckValue(version, file, kVersionMarker);
    // Asked again, the same answers from the same buffer.
    FUZZ_CHECK(inf.GetProductName() == name && inf.GetProductVersion() == version);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FUZZ_CHECK(fchdir(g_folder) == 0);
    Run(data, size);
    FUZZ_CHECK(fchdir(g_home) == 0);
    return 0;
}
