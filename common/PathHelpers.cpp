#include "common/PathHelpers.h"

#include <cstring>
#include <vector>

#include "common/Faults.h"
#include "common/Sjis.h"

namespace velnor {

namespace {

FolderSystem* g_folderSystem = nullptr;

FolderSystem& CurrentFolderSystem() {
    return g_folderSystem != nullptr ? *g_folderSystem : PlatformFolderSystem();
}

// Copies `text` into a path buffer; false when it does not fit.
bool CopyPath(char (&dst)[kPathBufferSize], const char* text) {
    if (text == nullptr) return false;
    const size_t len = strnlen(text, kPathBufferSize);
    if (len >= kPathBufferSize) return false;
    std::memcpy(dst, text, len + 1);
    return true;
}

// Normalised, with a trailing backslash, within a path buffer.
bool NormalizedFolder(char (&dst)[kPathBufferSize], const char* text) {
    return CopyPath(dst, text) && NormalizeFolderPath(dst, kPathBufferSize) &&
           AddLastBackslash(dst, kPathBufferSize);
}

// `root` followed by the first `count` bytes of `rest` and a trailing backslash.
bool JoinLevel(char (&dst)[kPathBufferSize], const char* root, const char* rest, size_t count) {
    const size_t rootLen = std::strlen(root);
    if (rootLen + count >= kPathBufferSize) return false;
    std::memcpy(dst, root, rootLen);
    std::memcpy(dst + rootLen, rest, count);
    dst[rootLen + count] = '\0';
    return AddLastBackslash(dst, kPathBufferSize);
}

char FoldAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

// Compares at most `n` bytes like a case-insensitive strncmp, but folds only single-byte
// characters: two different kanji must not compare equal because a trail byte looks
// like a letter.
bool SameTextNoCase(const char* a, const char* b, size_t n) {
    for (size_t i = 0; i < n; ++i) {
        if (a[i] != b[i] && FoldAscii(a[i]) != FoldAscii(b[i])) return false;
        if (a[i] == '\0') return true;
        if (i + 1 < n && a[i] == b[i] && SjisStartsDoubleByte(a, i)) {
            ++i;
            if (a[i] != b[i]) return false;
        }
    }
    return true;
}

bool IsFolderOn(FolderSystem& fs, const char* path) {
    char copy[kPathBufferSize];
    if (path == nullptr || *path == '\0' || !CopyPath(copy, path)) return false;
    NormalizeFolderPath(copy, kPathBufferSize);
    return fs.IsDirectory(copy);
}

struct RootAndRest {
    char root[kPathBufferSize];
    const char* rest;  // inside `path`
    char path[kPathBufferSize];
};

bool SplitRoot(FolderSystem& fs, const char* text, RootAndRest* out) {
    if (!NormalizedFolder(out->path, text)) return false;
    out->rest = fs.SkipRoot(out->path);
    if (out->rest == nullptr) return false;
    std::memcpy(out->root, out->path, sizeof out->root);
    return fs.StripToRoot(out->root) && AddLastBackslash(out->root, kPathBufferSize);
}

}  // namespace

bool IsDbcsByteAt(const char* text, size_t index) { return SjisIsDoubleByteAt(text, index); }

bool AddLastBackslash(char* buffer, size_t size) {
    if (buffer == nullptr || size == 0) return false;
    const size_t len = strnlen(buffer, size);
    if (len == 0 || len == size) return false;
    if (buffer[len - 1] == '\\' && !IsDbcsByteAt(buffer, len - 1)) return true;
    // A lead byte without its partner would take the backslash as its second byte.
    if (IsSjisLeadByte(static_cast<unsigned char>(buffer[len - 1])) &&
        !IsDbcsByteAt(buffer, len - 1)) {
        return false;
    }
    if (len >= size - 1) return false;
    buffer[len] = '\\';
    buffer[len + 1] = '\0';
    return true;
}

void SplitDriveAndDirectory(const char* path, size_t* driveLength, size_t* directoryLength) {
    *driveLength = 0;
    *directoryLength = 0;
    if (path == nullptr) return;
    size_t drive = 0;
    if (path[0] != '\0' && path[1] == ':') drive = 2;
    size_t end = drive;
    for (size_t i = drive; path[i] != '\0'; ++i) {
        if (SjisStartsDoubleByte(path, i)) {
            ++i;
        } else if (path[i] == '\\' || path[i] == '/') {
            end = i + 1;
        }
    }
    *driveLength = drive;
    *directoryLength = end - drive;
}

std::string FolderPartOf(const char* path) {
    size_t drive = 0;
    size_t directory = 0;
    SplitDriveAndDirectory(path, &drive, &directory);
    return std::string(path != nullptr ? path : "", drive + directory);
}

bool IsDeviceName(const char* path) {
    if (path == nullptr) return false;
    const char* name = path + FolderPartOf(path).size();
    // The system reads the name up to its first dot (or a colon), without the spaces
    // before it.
    size_t length = std::strcspn(name, ".:");
    while (length > 0 && name[length - 1] == ' ') --length;
    if (length < 3 || length > 7) return false;
    char upper[8] = {};
    for (size_t i = 0; i < length; ++i) {
        const char c = name[i];
        upper[i] = (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
    }
    const std::string base(upper, length);
    if (base == "CON" || base == "PRN" || base == "AUX" || base == "NUL" || base == "CONIN$" ||
        base == "CONOUT$") {
        return true;
    }
    return length == 4 && (base.compare(0, 3, "COM") == 0 || base.compare(0, 3, "LPT") == 0) &&
           base[3] >= '0' && base[3] <= '9';
}

bool NormalizeFolderPath(char* buffer, size_t size) {
    if (buffer == nullptr || size == 0) return false;
    const size_t len = strnlen(buffer, size);
    if (len == 0 || len == size) return false;
    size_t drive = 0;
    size_t directory = 0;
    SplitDriveAndDirectory(buffer, &drive, &directory);
    const size_t kept = drive + directory;
    if (kept == 0) return false;
    // Drive and directory are the text's own first bytes, so joining them is cutting.
    std::vector<char> result(buffer, buffer + kept);
    result.push_back('\0');
    const bool endsInDoubleByte = IsDbcsByteAt(result.data(), kept - 1);
    if (endsInDoubleByte || (result[kept - 1] != '\\' && kept < len)) {
        if (kept + 1 >= size) return false;
        result.back() = '\\';
        result.push_back('\0');
    }
    std::memcpy(buffer, result.data(), result.size());
    return true;
}

FolderSystem* SetFolderSystem(FolderSystem* system) {
    FolderSystem* previous = g_folderSystem;
    g_folderSystem = system;
    return previous;
}

bool IsFolder(const char* path) { return IsFolderOn(CurrentFolderSystem(), path); }

bool CreateFolderTree(const char* folder) {
    FolderSystem& fs = CurrentFolderSystem();
    char target[kPathBufferSize];
    if (!NormalizedFolder(target, folder)) return false;
    const char* rest = fs.SkipRoot(target);
    if (rest == nullptr) return false;
    char root[kPathBufferSize];
    std::memcpy(root, target, sizeof root);
    if (!fs.StripToRoot(root) || !AddLastBackslash(root, kPathBufferSize)) return false;

    char lastExisting[kPathBufferSize];
    std::memcpy(lastExisting, root, sizeof lastExisting);
    for (size_t i = 0; rest[i] != '\0'; ++i) {
        if (SjisStartsDoubleByte(rest, i)) {
            ++i;
            continue;
        }
        if (rest[i] != '\\') continue;
        char level[kPathBufferSize];
        if (!JoinLevel(level, root, rest, i)) {
            // Only what this call created goes: everything below the last folder found.
            RemoveCreatedFolders(target, lastExisting);
            return false;
        }
        if (IsFolderOn(fs, level)) {
            std::memcpy(lastExisting, level, sizeof lastExisting);
        } else if (ShouldFailFileOp(FileOp::kMkdir, level) || !fs.CreateFolder(level)) {
            RemoveCreatedFolders(level, lastExisting);
            return false;
        }
    }
    return true;
}

bool RemoveCreatedFolders(const char* path, const char* stopFolder) {
    FolderSystem& fs = CurrentFolderSystem();
    RootAndRest target;
    if (!SplitRoot(fs, path, &target)) return false;
    RootAndRest stop;
    const bool hasStop = stopFolder != nullptr;
    if (hasStop) {
        if (!SplitRoot(fs, stopFolder, &stop)) return false;
        if (!SameTextNoCase(stop.root, target.root, kPathBufferSize)) return false;
        if (!SameTextNoCase(stop.rest, target.rest, std::strlen(stop.rest))) return false;
    }

    std::vector<size_t> separators;
    for (size_t i = 0; target.rest[i] != '\0'; ++i) {
        if (SjisStartsDoubleByte(target.rest, i)) {
            ++i;
        } else if (target.rest[i] == '\\' && i >= 1) {
            separators.push_back(i);
        }
    }
    for (auto it = separators.rbegin(); it != separators.rend(); ++it) {
        const size_t i = *it;
        if (hasStop && SameTextNoCase(stop.rest, target.rest, i)) return true;
        char level[kPathBufferSize];
        if (!JoinLevel(level, target.root, target.rest, i)) return false;
        if (!IsFolderOn(fs, level)) continue;
        if (ShouldFailFileOp(FileOp::kRmdir, level) || !fs.RemoveFolder(level)) return false;
        if (!hasStop) return true;
    }
    return true;
}

}  // namespace velnor
