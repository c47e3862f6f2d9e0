// The remembered-destination file, read and rewritten. Input: six control bytes
// (selection numbers, reserved values, category, padding), the user id and the
// destination as NUL-ended texts, then the file's content as it is (NULs included).
#include <dirent.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "FuzzSupport.h"
#include "conditions/EnvFile.h"

namespace {

std::string g_folder;  // a folder of the target's own, with a separator at its end
std::string g_path;

struct Input {
    int32_t selection1 = 0;
    int32_t selection2 = 0;
    int16_t reserved1 = 0;
    int16_t reserved2 = 0;
    int16_t category = 0;
    bool pad = false;  // the content is padded to `padding` bytes from the size limit
    int padding = 0;
    bool absent = false;  // no file at all (with an empty content)
    std::string userId;
    std::string destination;
    std::string content;
};

Input Split(const uint8_t* data, size_t size) {
    Input in;
    uint8_t h[6] = {};
    const size_t n = size < 6 ? size : 6;
    for (size_t i = 0; i < n; ++i) h[i] = data[i];
    in.selection1 = static_cast<int8_t>(h[0]);
    in.selection2 = static_cast<int16_t>(h[1] << 8 | h[2]);
    in.reserved1 = static_cast<int8_t>(h[3] & 0xF0) * 256;
    in.reserved2 = h[3] & 0x0F;
    in.category = static_cast<int8_t>(h[4]);
    in.pad = (h[5] & 0x80) != 0;
    in.absent = (h[5] & 0x40) != 0;
    in.padding = (h[5] & 0x1F) - 16;
    size_t i = n;
    for (std::string* text : {&in.userId, &in.destination}) {
        while (i < size && data[i] != 0) text->push_back(static_cast<char>(data[i++]));
        if (i < size) ++i;
    }
    in.content.assign(reinterpret_cast<const char*>(data) + i, size - i);
    return in;
}

std::vector<std::string> Lines(const std::string& content) {
    std::vector<std::string> lines;
    size_t start = 0;
    while (start < content.size()) {
        const size_t feed = content.find('\n', start);
        if (feed == std::string::npos) {
            lines.push_back(content.substr(start));
            break;
        }
        lines.push_back(content.substr(start, feed - start));
        start = feed + 1;
    }
    return lines;
}

bool StartsWith(const std::string& s, const std::string& prefix) {
    return s.compare(0, prefix.size(), prefix) == 0;
}

// atoi as the Windows runtime does it (32-bit saturation), kept in 16 bits.
int16_t ReferenceShort(const std::string& field) {
    long long v = std::strtoll(field.c_str(), nullptr, 10);
    v = v < INT32_MIN ? INT32_MIN : (v > INT32_MAX ? INT32_MAX : v);
    return static_cast<int16_t>(static_cast<uint16_t>(static_cast<uint32_t>(v) & 0xFFFF));
}

// What reading the entry of `key` from `content` gives: false when nothing is remembered.
bool ReferenceRead(const std::string& content, const std::string& key, velnor::StEnvValues* out) {
    *out = velnor::StEnvValues();
    if (content.size() > velnor::kEnvFileMaxSize) return false;
    for (const std::string& line : Lines(content)) {
        if (!StartsWith(line, key)) continue;
        std::string value = line.substr(key.size());
        if (value.size() > velnor::kEnvValueMax) return false;
        value = value.substr(0, value.find('\0'));
        size_t slash[3];
        size_t from = 0;
        for (size_t& s : slash) {
            s = value.find('/', from);
            if (s == std::string::npos) return false;
            from = s + 1;
        }
        const std::string destination = value.substr(from);
        if (destination.size() >= velnor::kEnvPathSize) return false;
        out->reserved1 = ReferenceShort(value.substr(0, slash[0]));
        out->reserved2 = ReferenceShort(value.substr(slash[0] + 1, slash[1] - slash[0] - 1));
        out->businessKind = ReferenceShort(value.substr(slash[1] + 1, slash[2] - slash[1] - 1));
        destination.copy(out->destination, destination.size());
        return true;
    }
    return false;
}

bool SameValues(const velnor::StEnvValues& a, const velnor::StEnvValues& b) {
    return a.reserved1 == b.reserved1 && a.reserved2 == b.reserved2 &&
           a.businessKind == b.businessKind && std::string(a.destination) == b.destination;
}

void Put(const std::string& path, const std::string& content) {
    FILE* f = std::fopen(path.c_str(), "wb");
    FUZZ_CHECK(f != nullptr);
    FUZZ_CHECK(std::fwrite(content.data(), 1, content.size(), f) == content.size());
    FUZZ_CHECK(std::fclose(f) == 0);
}

std::string Get(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    FUZZ_CHECK(in.good());
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// The file is alone in its folder: no temporary file was left behind.
void CheckFolderHoldsOnlyTheFile() {
    DIR* dir = opendir(g_folder.c_str());
    FUZZ_CHECK(dir != nullptr);
    int entries = 0;
    while (const dirent* e = readdir(dir)) {
        const std::string name(e->d_name);
        if (name == "." || name == "..") continue;
        ++entries;
        FUZZ_CHECK(g_folder + name == g_path);
    }
    closedir(dir);
    FUZZ_CHECK(entries <= 1);
}

void Run(const Input& in) {
    std::string key;
    const bool keyOk = velnor::BuildEnvKey(in.userId.c_str(), in.selection1, in.selection2, &key);
    const bool wantKey =
        in.userId.size() <= velnor::kEnvUserIdMax && in.userId.find('\n') == std::string::npos;
    FUZZ_CHECK(keyOk == wantKey);
    if (!keyOk) {
        FUZZ_CHECK(key.empty());
        return;
    }
    FUZZ_CHECK(key == in.userId + "/" + std::to_string(in.selection1) + "/" +
                          std::to_string(in.selection2) + ":");

    std::string line;
    const bool lineOk = velnor::FormatEnvLine(key, in.reserved1, in.reserved2, in.category,
                                              in.destination.c_str(), &line);
    const std::string wantLine = key + std::to_string(in.reserved1) + "/" +
                                 std::to_string(in.reserved2) + "/" + std::to_string(in.category) +
                                 "/" + in.destination + "\n";
    const bool wantLineOk =
        in.destination.find('\n') == std::string::npos && wantLine.size() <= velnor::kEnvLineMax;
    FUZZ_CHECK(lineOk == wantLineOk);
    FUZZ_CHECK(line == (lineOk ? wantLine : std::string()));

    std::string content = in.content;
    if (in.pad) {
        // Filler lines up to a few bytes either side of the size limit.
        const long target = static_cast<long>(velnor::kEnvFileMaxSize) + in.padding -
                            static_cast<long>(lineOk ? line.size() : 0);
        std::string filler;
        while (static_cast<long>(filler.size() + content.size()) < target) {
            const size_t room = static_cast<size_t>(target) - content.size() - filler.size();
            filler += std::string(room > 80 ? 79 : room - 1, 'f') + "\n";
        }
        content.insert(0, filler);
    }

    std::remove(g_path.c_str());
    const bool exists = !content.empty() || !in.absent;
    if (exists) Put(g_path, content);

    velnor::StEnvValues got;
    velnor::StEnvValues want;
    const bool read = velnor::ReadEnvEntry(g_path, key, &got);
    FUZZ_CHECK(read == ReferenceRead(content, key, &want));
    FUZZ_CHECK(SameValues(got, want));

    if (!lineOk) return;
    const bool written = velnor::WriteEnvEntry(g_path, key, line);
    CheckFolderHoldsOnlyTheFile();
    const std::string after = exists || written ? Get(g_path) : std::string();
    if (!exists) {
        FUZZ_CHECK(written && after == line);
        return;
    }
    if (content.size() > velnor::kEnvFileMaxSize) {
        // Never rewritten: what cannot be read whole cannot be kept whole.
        FUZZ_CHECK(!written && after == content);
        return;
    }
    // The expected new content: every other line in its order, the entry last.
    std::vector<std::string> kept = Lines(content);
    for (auto it = kept.begin(); it != kept.end(); ++it) {
        if (StartsWith(*it, key)) {
            kept.erase(it);
            break;
        }
    }
    std::string expected;
    for (const std::string& l : kept) expected += l + "\n";
    expected += line;
    if (expected.size() > velnor::kEnvFileMaxSize) {
        FUZZ_CHECK(!written && after == content);
        return;
    }
    FUZZ_CHECK(written);
    FUZZ_CHECK(after == expected);
    std::vector<std::string> afterLines = Lines(after);
    FUZZ_CHECK(!afterLines.empty() && afterLines.back() + "\n" == line);
    afterLines.pop_back();
    FUZZ_CHECK(afterLines == kept);

    // Read again, the entry gives what was stored, unless an older line of the same key
    // (which the program never writes) stands before it.
    size_t sameKey = 0;
    for (const std::string& l : kept) sameKey += StartsWith(l, key) ? 1 : 0;
    if (sameKey == 0 && in.destination.size() < velnor::kEnvPathSize) {
        FUZZ_CHECK(velnor::ReadEnvEntry(g_path, key, &got));
        FUZZ_CHECK(got.reserved1 == in.reserved1 && got.reserved2 == in.reserved2 &&
                   got.businessKind == in.category && in.destination == got.destination);
    }
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    g_folder = fuzz::ScratchFolder("fuzz-env");
    g_path = g_folder + "VelnorPro.env";
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    Run(Split(data, size));
    return 0;
}
