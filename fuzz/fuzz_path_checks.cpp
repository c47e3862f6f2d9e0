// The destination checks of the conditions dialog: the part helpers, the character check
// and the drive check over a drive system in memory.
// Input: three control bytes (drive types, access answers), then the destination text.
#include <cstdint>
#include <string>
#include <vector>

#include "FuzzSupport.h"
#include "conditions/PathChecks.h"

namespace {

using fuzz::DoubleByteMap;
using fuzz::IsRealChar;

constexpr size_t kNone = std::string::npos;

size_t LastReal(const std::string& s, const std::vector<bool>& map, char c) {
    size_t last = kNone;
    for (size_t i = 0; i < s.size(); ++i) {
        if (IsRealChar(s, map, i, c)) last = i;
    }
    return last;
}

size_t FirstReal(const std::string& s, const std::vector<bool>& map, char c, size_t from) {
    for (size_t i = from; i < s.size(); ++i) {
        if (IsRealChar(s, map, i, c)) return i;
    }
    return kNone;
}

bool DoubledBackslashFrom(const std::string& s, const std::vector<bool>& map, size_t from) {
    for (size_t i = from; i + 1 < s.size(); ++i) {
        if (IsRealChar(s, map, i, '\\') && s[i + 1] == '\\') return true;
    }
    return false;
}

bool IsNetwork(const std::string& s) { return s.size() >= 2 && s[0] == '\\' && s[1] == '\\'; }

bool ReferencePathChars(const std::string& s) {
    const std::vector<bool> map = DoubleByteMap(s);
    size_t from = 0;
    if (IsNetwork(s)) {
        if (DoubledBackslashFrom(s, map, 3)) return false;
        from = 2;
    } else {
        if (DoubledBackslashFrom(s, map, 0)) return false;
        const size_t colon = FirstReal(s, map, ':', 0);
        if (colon != kNone) from = colon + 1;
    }
    for (const char c : std::string("/:,;*?\"><|")) {
        if (FirstReal(s, map, c, from) != kNone) return false;
    }
    return true;
}

// Drive types and access answers chosen by the input; remembers what it was asked.
class MemoryDrives final : public velnor::DriveSystem {
  public:
    uint8_t typeBase = 0;
    uint8_t typeStep = 0;
    uint8_t access = 0;
    std::vector<std::string> asked;
    std::vector<int> modes;

    unsigned TypeFor(char upper) const {
        return (typeBase + static_cast<unsigned>(upper - 'A') * typeStep) % 9;
    }
    unsigned DriveTypeOf(const char* root) override {
        const std::string r(root);
        FUZZ_CHECK(r.size() == 3 && r[0] >= 'A' && r[0] <= 'Z' && r[1] == ':' && r[2] == '\\');
        return TypeFor(r[0]);
    }
    bool HasAccess(const char* path, int mode) override {
        asked.push_back(path);
        modes.push_back(mode);
        return IsNetwork(path) ? (access & 2) != 0 : (access & 1) != 0;
    }
};

bool ReferenceDriveLetter(const MemoryDrives& drives, char letter, bool* asks) {
    *asks = false;
    char upper = 0;
    if (letter >= 'A' && letter <= 'Z') upper = letter;
    if (letter >= 'a' && letter <= 'z') upper = static_cast<char>(letter - 'a' + 'A');
    if (upper == 0) return false;
    const unsigned type = drives.TypeFor(upper);
    if (type == 2 || type == 3 || type == 4) {
        *asks = true;
        return (drives.access & 1) != 0;
    }
    return type > 6;
}

void CheckParts(const std::string& text) {
    const std::vector<bool> map = DoubleByteMap(text);
    const std::string folder = velnor::GetFolderPart(text);
    const std::string name = velnor::GetFileNamePart(text);
    const std::string drive = velnor::GetDrivePart(text);
    const std::string afterDrive = velnor::GetAfterDrivePart(text);
    FUZZ_CHECK(folder + name == text);
    FUZZ_CHECK(drive + afterDrive == text);
    const size_t slash = LastReal(text, map, '\\');
    FUZZ_CHECK(folder.size() == (slash == kNone ? 0 : slash + 1));
    const size_t colon = LastReal(text, map, ':');
    FUZZ_CHECK(drive.size() == (colon == kNone ? 0 : colon + 1));
}

void CheckDrive(MemoryDrives& drives, const std::string& text) {
    const fuzz::TightBuffer path = fuzz::TerminatedCopy(text);
    const bool ok = velnor::CheckPathDrive(path.data());
    const std::vector<bool> map = DoubleByteMap(text);
    if (IsNetwork(text)) {
        const size_t server = FirstReal(text, map, '\\', 3);
        const size_t share = server == kNone ? kNone : FirstReal(text, map, '\\', server + 1);
        if (share == kNone) {
            FUZZ_CHECK(!ok && drives.asked.empty());
            return;
        }
        FUZZ_CHECK(drives.asked.size() == 1 && drives.asked[0] == text.substr(0, share));
        FUZZ_CHECK(drives.modes[0] == 6);
        FUZZ_CHECK(ok == ((drives.access & 2) != 0));
        return;
    }
    if (DoubledBackslashFrom(text, map, 0)) {
        FUZZ_CHECK(!ok && drives.asked.empty());
        return;
    }
    bool asks = false;
    FUZZ_CHECK(ok == ReferenceDriveLetter(drives, text.empty() ? '\0' : text[0], &asks));
    FUZZ_CHECK(drives.asked.size() == (asks ? 1u : 0u));
    if (asks) {
        const char upper = static_cast<char>(text[0] & ~0x20);
        FUZZ_CHECK(drives.asked[0] == std::string(1, upper) + ":\\" && drives.modes[0] == 6);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const fuzz::Fields in(data, size, 3);
    const std::string text = in.Text(0);
    if (text.size() > 1000) return 0;

    CheckParts(text);

    const fuzz::TightBuffer path = fuzz::TerminatedCopy(text);
    const bool chars = velnor::CheckPathChars(path.data());
    FUZZ_CHECK(chars == ReferencePathChars(text));
    // However a text fails otherwise, a forbidden character after its drive always fails it.
    const std::vector<bool> map = DoubleByteMap(text);
    const size_t colon = FirstReal(text, map, ':', 0);
    const size_t from = IsNetwork(text) ? 2 : (colon == kNone ? 0 : colon + 1);
    for (size_t i = from; i < text.size(); ++i) {
        if (!map[i] && std::string("/:,;*?\"><|").find(text[i]) != kNone) FUZZ_CHECK(!chars);
    }

    MemoryDrives drives;
    drives.typeBase = in.Byte(0);
    drives.typeStep = in.Byte(1);
    drives.access = in.Byte(2);
    velnor::SetDriveSystem(&drives);
    CheckDrive(drives, text);
    velnor::SetDriveSystem(nullptr);
    return 0;
}
