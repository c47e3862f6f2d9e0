// The support information file: the input is the file "SUPPORT.INF" in the current
// folder (a folder of the target's own). An empty input stands for no file.
#include <fcntl.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "FuzzSupport.h"
#include "aggregation/AssetRecords.h"
#include "common/Edition.h"
#include "export/SupportInf.h"
#include "export/XmlExport.h"

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

size_t EscapedLength(char c) {
    switch (c) {
        case '&':
            return 5;
        case '<':
        case '>':
            return 4;
        case '"':
        case '\'':
            return 6;
        default:
            return 1;
    }
}

// A support value in the export's SYSTEM block: one line of at most 255 bytes, the value
// (or the default when it is empty) escaped, each forbidden control and each byte of a
// sequence that is no character of code page 932 a blank, and cut
// before the first character that does not fit, never inside a character.
void CheckSystemLine(const std::string& doc, const char* tag, const std::string& value,
                     const char* fallback) {
    const std::string open = std::string("\t\t<") + tag + ">";
    const std::string close = std::string("</") + tag + ">\r\n";
    const size_t start = doc.find(open);
    FUZZ_CHECK(start != std::string::npos);
    const size_t textStart = start + open.size();
    const size_t textEnd = doc.find('<', textStart);
    FUZZ_CHECK(textEnd != std::string::npos && doc.compare(textEnd, close.size(), close) == 0);
    FUZZ_CHECK(textEnd + close.size() - start <= 255);
    const std::string escaped = doc.substr(textStart, textEnd - textStart);

    // The value as the export holds it: its 256-byte area, whole characters.
    std::string held = value.empty() ? std::string(fallback) : value;
    const std::vector<bool> map = fuzz::DoubleByteMap(held);
    size_t keep = held.size() < 256 ? held.size() : 255;
    if (keep < held.size() && keep > 0 && map[keep - 1] && map[keep]) {
        size_t i = 0;
        while (i < keep) i += map[i] ? 2 : 1;
        if (i > keep) --keep;
    }
    held.resize(keep);
    const std::vector<bool> heldMap = fuzz::DoubleByteMap(held);
    const std::string blanked = fuzz::WithBlanks(held);
    std::string expected;
    const size_t room = 255 - (open.size() + close.size());
    for (size_t i = 0; i < held.size();) {
        const size_t width = heldMap[i] ? 2 : EscapedLength(held[i]);
        if (expected.size() + width > room) break;
        if (heldMap[i]) {
            expected.append(blanked, i, 2);
            i += 2;
            continue;
        }
        switch (held[i]) {
            case '&':
                expected += "&amp;";
                break;
            case '<':
                expected += "&lt;";
                break;
            case '>':
                expected += "&gt;";
                break;
            case '"':
                expected += "&quot;";
                break;
            case '\'':
                expected += "&apos;";
                break;
            default:
                expected.push_back(blanked[i]);
        }
        ++i;
    }
    FUZZ_CHECK(escaped == expected);
}

// The buffer in a block of exactly the size asked for.
void* TightAlloc(size_t size) { return std::malloc(size); }

// The reader opens the file by its bare name; each run moves into a folder of its own and
// back, since libFuzzer reads and writes its corpus by relative paths.
int g_home = -1;
int g_folder = -1;

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    g_home = open(".", O_RDONLY | O_DIRECTORY);
    const std::string folder = fuzz::ScratchFolder("fuzz-support");
    g_folder = open(folder.c_str(), O_RDONLY | O_DIRECTORY);
    if (g_home < 0 || g_folder < 0) {
        std::perror("fuzz_support_inf: folders");
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

    // The export's SYSTEM block with these values.
    StDATAINFO info;
    std::memset(&info, 0, sizeof info);
    std::remove("out.xml");
    ClRecordList records;
    ClXmlExport exporter;
    exporter.SetRecordList(&records);
    FUZZ_CHECK(exporter.Export("out.xml", 2, &info) == 1);
    std::ifstream in("out.xml", std::ios::binary);
    const std::string doc((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    FUZZ_CHECK(fuzz::HasNoForbiddenControl(doc));
    FUZZ_CHECK(fuzz::DecodesAsCp932(doc));
    fuzz::ParseDocument(doc);
    CheckSystemLine(doc, "PROGRAMNAME", name, velnor::kEditionPro.programName);
    CheckSystemLine(doc, "PROGRAMVER", version, "20.00.0X");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FUZZ_CHECK(fchdir(g_folder) == 0);
    Run(data, size);
    FUZZ_CHECK(fchdir(g_home) == 0);
    return 0;
}
