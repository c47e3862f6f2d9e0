#include "conditions/PathChecks.h"

#include <cstring>

#include "common/Sjis.h"

namespace velnor {

namespace {

constexpr size_t kNone = static_cast<size_t>(-1);
constexpr int kReadWrite = 6;

DriveSystem* g_driveSystem = nullptr;

DriveSystem& CurrentDriveSystem() {
    return g_driveSystem != nullptr ? *g_driveSystem : PlatformDriveSystem();
}

// Calls `visit(index)` for every single-byte character of `text` from `from` on, in order,
// until it returns true; gives that index, or kNone.
template <typename Visit>
size_t FindSingleByte(const char* text, size_t from, Visit visit) {
    for (size_t i = 0; text[i] != '\0'; ++i) {
        if (SjisStartsDoubleByte(text, i)) {
            ++i;
        } else if (i >= from && visit(i)) {
            return i;
        }
    }
    return kNone;
}

size_t FindChar(const char* text, char c, size_t from = 0) {
    return FindSingleByte(text, from, [&](size_t i) { return text[i] == c; });
}

size_t FindLastChar(const char* text, char c) {
    size_t last = kNone;
    FindSingleByte(text, 0, [&](size_t i) {
        if (text[i] == c) last = i;
        return false;
    });
    return last;
}

// A backslash directly followed by another, the first at `from` or later.
bool HasDoubledBackslash(const char* text, size_t from) {
    return FindSingleByte(text, from, [&](size_t i) {
               return text[i] == '\\' && text[i + 1] == '\\';
           }) != kNone;
}

bool IsNetworkPath(const char* text) { return text[0] == '\\' && text[1] == '\\'; }

bool IsForbidden(char c) { return c != '\0' && std::strchr("/:,;*?\"><|", c) != nullptr; }

}  // namespace

std::string GetFolderPart(const std::string& path) {
    const size_t last = FindLastChar(path.c_str(), '\\');
    return last == kNone ? std::string() : path.substr(0, last + 1);
}

std::string GetDrivePart(const std::string& path) {
    const size_t last = FindLastChar(path.c_str(), ':');
    return last == kNone ? std::string() : path.substr(0, last + 1);
}

std::string GetFileNamePart(const std::string& path) {
    const size_t last = FindLastChar(path.c_str(), '\\');
    return last == kNone ? path : path.substr(last + 1);
}

std::string GetAfterDrivePart(const std::string& path) {
    const size_t last = FindLastChar(path.c_str(), ':');
    return last == kNone ? path : path.substr(last + 1);
}

bool CheckPathChars(const char* path) {
    if (path == nullptr) return false;
    size_t examinedFrom = 0;
    if (IsNetworkPath(path)) {
        if (HasDoubledBackslash(path, 3)) return false;
        examinedFrom = 2;
    } else {
        if (HasDoubledBackslash(path, 0)) return false;
        const size_t colon = FindChar(path, ':');
        if (colon != kNone) examinedFrom = colon + 1;
    }
    return FindSingleByte(path, examinedFrom, [&](size_t i) { return IsForbidden(path[i]); }) ==
           kNone;
}

bool CheckPathDrive(const char* path) {
    if (path == nullptr) return false;
    if (IsNetworkPath(path)) {
        const size_t server = FindChar(path, '\\', 3);
        if (server == kNone) return false;
        const size_t share = FindChar(path, '\\', server + 1);
        if (share == kNone) return false;
        return CurrentDriveSystem().HasAccess(std::string(path, share).c_str(), kReadWrite);
    }
    if (HasDoubledBackslash(path, 0)) return false;
    return CheckDriveLetter(path[0], kReadWrite);
}

DriveVerdict VerdictForDriveType(unsigned driveType) {
    switch (driveType) {
        case kDriveRemovable:
        case kDriveFixed:
        case kDriveRemote:
            return DriveVerdict::kTestAccess;
        case kDriveUnknown:
        case kDriveNoRootDir:
        case kDriveCdRom:
        case kDriveRamDisk:
            return DriveVerdict::kRefuse;
        default:
            return DriveVerdict::kAccept;
    }
}

bool CheckDriveLetter(char letter, int accessMode) {
    int drive = letter >= 'A' && letter <= 'Z' ? letter - 'A' : letter - 'a';
    if (drive < 0 || drive > 25) return false;
    const char root[] = {static_cast<char>('A' + drive), ':', '\\', '\0'};
    DriveSystem& system = CurrentDriveSystem();
    switch (VerdictForDriveType(system.DriveTypeOf(root))) {
        case DriveVerdict::kRefuse:
            return false;
        case DriveVerdict::kTestAccess:
            return system.HasAccess(root, accessMode);
        case DriveVerdict::kAccept:
            break;
    }
    return true;
}

DriveSystem* SetDriveSystem(DriveSystem* system) {
    DriveSystem* previous = g_driveSystem;
    g_driveSystem = system;
    return previous;
}

}  // namespace velnor
