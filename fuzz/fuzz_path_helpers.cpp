// The double-byte aware path helpers: their string logic, and the folder tree creation
// and roll-back over an in-memory folder system.
// Input: three control bytes (size for AddLastBackslash, size for NormalizeFolderPath,
// the creation call that fails and whether a stop folder is given), then NUL-separated
// texts: the path, up to three folders that exist, a path to remove and its stop folder.
#include <algorithm>
#include <cstdint>
#include <cstring>
#include <set>
#include <string>
#include <vector>

#include "FuzzSupport.h"
#include "common/PathHelpers.h"

namespace {

using fuzz::DoubleByteMap;
using fuzz::IsRealChar;

size_t SizeFromByte(uint8_t b) { return (static_cast<size_t>(b) * 262) / 256; }

// `text` in a block of exactly `size` bytes: terminated when it fits, else cut without a
// terminator; the rest filled with a marker.
fuzz::TightBuffer Place(const std::string& text, size_t size) {
    fuzz::TightBuffer buffer(size);
    if (size > 0) std::memset(buffer.data(), 'Z', size);
    const size_t n = std::min(text.size(), size);
    if (n > 0) std::memcpy(buffer.data(), text.data(), n);
    if (n < size) buffer.data()[n] = '\0';
    return buffer;
}

bool EndsInRealBackslash(const std::string& s) {
    return !s.empty() && IsRealChar(s, DoubleByteMap(s), s.size() - 1, '\\');
}

void CheckIsDbcsByteAt(const std::string& text) {
    const fuzz::TightBuffer t = fuzz::TerminatedCopy(text);
    const std::vector<bool> map = DoubleByteMap(text);
    // Every call walks from the start: all indices of a long text would cost the run most
    // of its speed, so its ends and a sample of its middle.
    for (size_t i = 0; i <= text.size(); ++i) {
        if (i >= 48 && i + 48 < text.size() && i % 16 != 0) continue;
        FUZZ_CHECK(velnor::IsDbcsByteAt(t.data(), i) == (i < text.size() && map[i]));
    }
}

void CheckAddLastBackslash(const std::string& text, size_t size) {
    fuzz::TightBuffer buffer = Place(text, size);
    const std::string before(buffer.data(), size);
    const bool ok = velnor::AddLastBackslash(buffer.data(), size);
    const std::string after(buffer.data(), size);
    const size_t len = std::min(text.size(), size);
    const std::string s = text.substr(0, len);
    const bool ends = EndsInRealBackslash(s);
    const unsigned char last = len > 0 ? static_cast<unsigned char>(s[len - 1]) : 0;
    const bool loneLead = len > 0 && ((last >= 0x81 && last <= 0x9F) || last >= 0xE0) &&
                          last <= 0xFC && !DoubleByteMap(s)[len - 1];
    const bool want = size > 0 && len > 0 && len < size && (ends || (!loneLead && len + 1 < size));
    FUZZ_CHECK(ok == want);
    if (!ok || ends) {
        FUZZ_CHECK(after == before);
        return;
    }
    std::string expected = before;
    expected[len] = '\\';
    expected[len + 1] = '\0';
    FUZZ_CHECK(after == expected);
    FUZZ_CHECK(EndsInRealBackslash(std::string(buffer.data())));
}

// Drive ("X:") and directory (to the last real '\' or '/') as the runtime's splitting gives
// them; the expected NormalizeFolderPath result, or false.
bool ReferenceNormalize(const std::string& s, size_t size, std::string* out) {
    if (size == 0 || s.empty() || s.size() >= size) return false;
    const std::vector<bool> map = DoubleByteMap(s);
    const size_t drive = s.size() >= 2 && s[1] == ':' ? 2 : 0;
    size_t end = drive;
    for (size_t i = drive; i < s.size(); ++i) {
        if (IsRealChar(s, map, i, '\\') || IsRealChar(s, map, i, '/')) end = i + 1;
    }
    if (end == 0) return false;
    std::string result = s.substr(0, end);
    const std::vector<bool> resultMap = DoubleByteMap(result);
    if (resultMap[end - 1] || (result[end - 1] != '\\' && end < s.size())) {
        if (end + 1 >= size) return false;
        result.push_back('\\');
    }
    *out = result;
    return true;
}

void CheckNormalizeFolderPath(const std::string& text, size_t size) {
    fuzz::TightBuffer buffer = Place(text, size);
    const std::string before(buffer.data(), size);
    const bool ok = velnor::NormalizeFolderPath(buffer.data(), size);
    const std::string after(buffer.data(), size);
    std::string want;
    const bool wantOk =
        ReferenceNormalize(text.size() < size ? text : text.substr(0, size), size, &want);
    FUZZ_CHECK(ok == wantOk);
    if (!ok) {
        FUZZ_CHECK(after == before);
        return;
    }
    FUZZ_CHECK(after.compare(0, want.size(), want) == 0 && after[want.size()] == '\0');
    FUZZ_CHECK(after.compare(want.size() + 1, std::string::npos, before, want.size() + 1,
                             std::string::npos) == 0);
}

// Root of a path as the system's skip-root sees it: "X:\" or "\\server\share\"; the length
// of that prefix (without the share's backslash when the text ends there), or npos.
size_t RootLength(const std::string& s, bool* unc) {
    *unc = false;
    if (s.size() >= 3 && ((s[0] | 0x20) >= 'a' && (s[0] | 0x20) <= 'z') && s[1] == ':' &&
        s[2] == '\\') {
        return 3;
    }
    if (s.size() < 2 || s[0] != '\\' || s[1] != '\\') return std::string::npos;
    const std::vector<bool> map = DoubleByteMap(s);
    size_t i = 2;
    while (i < s.size() && !IsRealChar(s, map, i, '\\')) ++i;
    if (i == 2 || i >= s.size()) return std::string::npos;
    const size_t shareStart = ++i;
    while (i < s.size() && !IsRealChar(s, map, i, '\\')) ++i;
    if (i == shareStart) return std::string::npos;
    *unc = true;
    return i < s.size() ? i + 1 : i;
}

// A Win32-like folder system in memory: case-insensitive for single-byte letters, '/' a
// separator, repeated separators one; roots always exist.
class MemoryFolders final : public velnor::FolderSystem {
  public:
    std::set<std::string> dirs;
    int createCalls = 0;
    int failCreateAt = 0;

    static std::string Key(const std::string& path) {
        const std::vector<bool> map = DoubleByteMap(path);
        std::string key;
        bool afterSeparator = false;
        for (size_t i = 0; i < path.size(); ++i) {
            char c = path[i];
            if (map[i]) {
                key.push_back(c);
                afterSeparator = false;
                continue;
            }
            if (c == '/') c = '\\';
            if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
            if (c == '\\' && i >= 2 && afterSeparator) continue;
            key.push_back(c);
            afterSeparator = c == '\\';
        }
        if (!afterSeparator) key.push_back('\\');
        return key;
    }
    static bool IsRootKey(const std::string& key) {
        bool unc = false;
        const size_t root = RootLength(key, &unc);
        return root != std::string::npos && root == key.size();
    }
    static std::string Parent(const std::string& key) {
        const std::string trimmed = key.substr(0, key.size() - 1);
        const std::vector<bool> map = DoubleByteMap(trimmed);
        for (size_t i = trimmed.size(); i-- > 0;) {
            if (IsRealChar(trimmed, map, i, '\\')) return trimmed.substr(0, i + 1);
        }
        return std::string();
    }
    bool Exists(const std::string& key) const { return IsRootKey(key) || dirs.count(key) > 0; }

    bool IsDirectory(const char* path) override { return Exists(Key(path)); }
    bool CreateFolder(const char* path) override {
        ++createCalls;
        if (createCalls == failCreateAt) return false;
        const std::string key = Key(path);
        bool unc = false;
        if (RootLength(key, &unc) == std::string::npos || Exists(key)) return false;
        if (!Exists(Parent(key))) return false;
        dirs.insert(key);
        return true;
    }
    bool RemoveFolder(const char* path) override {
        const std::string key = Key(path);
        if (dirs.count(key) == 0) return false;
        for (const std::string& d : dirs) {
            if (d != key && d.compare(0, key.size(), key) == 0) return false;
        }
        dirs.erase(key);
        return true;
    }
    const char* SkipRoot(const char* path) override {
        bool unc = false;
        const size_t root = RootLength(path, &unc);
        return root == std::string::npos ? nullptr : path + root;
    }
    bool StripToRoot(char* path) override {
        bool unc = false;
        size_t root = RootLength(path, &unc);
        if (root == std::string::npos) return false;
        if (unc && path[root - 1] == '\\') --root;
        path[root] = '\0';
        return true;
    }

    // An existing folder and all above it.
    void Seed(const std::string& path) {
        bool unc = false;
        if (RootLength(path, &unc) == std::string::npos) return;
        for (std::string key = Key(path); !IsRootKey(key) && !key.empty(); key = Parent(key)) {
            dirs.insert(key);
        }
    }
};

// Normalised with a trailing backslash, as the folder helpers take their arguments.
bool FolderOf(const std::string& text, std::string* out) {
    if (text.size() >= velnor::kPathBufferSize) return false;
    char buffer[velnor::kPathBufferSize];
    std::memcpy(buffer, text.c_str(), text.size() + 1);
    if (!velnor::NormalizeFolderPath(buffer, sizeof buffer) ||
        !velnor::AddLastBackslash(buffer, sizeof buffer)) {
        return false;
    }
    *out = buffer;
    return true;
}

// The levels below the root of a normalised folder, top down, as keys; with the byte
// index of each level's separator in the remainder.
struct Level {
    size_t index;
    std::string key;
};
std::vector<Level> LevelsOf(const std::string& folder, size_t firstIndex) {
    std::vector<Level> levels;
    bool unc = false;
    size_t root = RootLength(folder, &unc);
    if (root == std::string::npos) return levels;
    std::string rootText = folder.substr(0, root);
    if (!EndsInRealBackslash(rootText)) rootText.push_back('\\');
    const std::string rest = folder.substr(root);
    const std::vector<bool> map = DoubleByteMap(rest);
    for (size_t i = firstIndex; i < rest.size(); ++i) {
        if (IsRealChar(rest, map, i, '\\')) {
            levels.push_back({i, MemoryFolders::Key(rootText + rest.substr(0, i) + "\\")});
        }
    }
    return levels;
}

// No '/' and no doubled separator after the root: the only folder paths the program
// passes (the destination check refuses the others), and those on which the text of a
// level and the folder it names agree.
bool IsTidy(const std::string& folder) {
    bool unc = false;
    const size_t root = RootLength(folder, &unc);
    if (root == std::string::npos) return false;
    const std::string rest = folder.substr(root);
    const std::vector<bool> map = DoubleByteMap(rest);
    for (size_t i = 0; i < rest.size(); ++i) {
        if (IsRealChar(rest, map, i, '/')) return false;
        if (IsRealChar(rest, map, i, '\\') && (i == 0 || IsRealChar(rest, map, i - 1, '\\'))) {
            return false;
        }
    }
    return true;
}

bool IsSubset(const std::set<std::string>& a, const std::set<std::string>& b) {
    return std::includes(b.begin(), b.end(), a.begin(), a.end());
}

void CheckCreateFolderTree(MemoryFolders& fs, const std::string& text) {
    const std::set<std::string> before = fs.dirs;
    const bool ok = velnor::CreateFolderTree(text.c_str());
    const std::set<std::string>& after = fs.dirs;
    FUZZ_CHECK(IsSubset(before, after));
    std::string folder;
    bool unc = false;
    if (!FolderOf(text, &folder) || RootLength(folder, &unc) == std::string::npos) {
        FUZZ_CHECK(!ok);
        FUZZ_CHECK(after == before);
        return;
    }
    const std::vector<Level> levels = LevelsOf(folder, 0);
    std::set<std::string> levelKeys;
    for (const Level& level : levels) levelKeys.insert(level.key);
    for (const std::string& d : after) {
        if (before.count(d) == 0) FUZZ_CHECK(levelKeys.count(d) > 0);
    }
    if (ok) {
        for (const Level& level : levels) FUZZ_CHECK(fs.Exists(level.key));
    } else if (IsTidy(folder)) {
        // Roll-back: what this call created is gone again.
        FUZZ_CHECK(after == before);
    }
}

void CheckRemoveCreatedFolders(MemoryFolders& fs, const std::string& path,
                               const std::string* stop) {
    const std::set<std::string> before = fs.dirs;
    velnor::RemoveCreatedFolders(path.c_str(), stop ? stop->c_str() : nullptr);
    const std::set<std::string>& after = fs.dirs;
    FUZZ_CHECK(IsSubset(after, before));
    std::vector<std::string> removed;
    std::set_difference(before.begin(), before.end(), after.begin(), after.end(),
                        std::back_inserter(removed));
    if (removed.empty()) return;
    std::string folder;
    bool unc = false;
    FUZZ_CHECK(FolderOf(path, &folder) && RootLength(folder, &unc) != std::string::npos);
    const std::vector<Level> levels = LevelsOf(folder, 1);
    std::set<std::string> levelKeys;
    for (const Level& level : levels) levelKeys.insert(level.key);
    for (const std::string& d : removed) FUZZ_CHECK(levelKeys.count(d) > 0);
    if (stop == nullptr) {
        // Only the deepest folder that existed.
        FUZZ_CHECK(removed.size() == 1);
        bool seen = false;
        for (const Level& level : levels) {
            if (level.key == removed[0]) {
                seen = true;
            } else if (seen) {
                FUZZ_CHECK(before.count(level.key) == 0);
            }
        }
        return;
    }
    std::string stopFolder;
    FUZZ_CHECK(FolderOf(*stop, &stopFolder));
    if (!IsTidy(folder) || !IsTidy(stopFolder)) return;
    // Strictly below the stop folder: it and everything above it stay.
    const std::string stopKey = MemoryFolders::Key(stopFolder);
    for (const std::string& d : removed) {
        FUZZ_CHECK(d.size() > stopKey.size() && d.compare(0, stopKey.size(), stopKey) == 0);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const fuzz::Fields in(data, size, 3);
    const std::string text = in.Text(0);
    if (text.size() > 600) return 0;

    CheckIsDbcsByteAt(text);
    CheckAddLastBackslash(text, SizeFromByte(in.Byte(0)));
    CheckNormalizeFolderPath(text, SizeFromByte(in.Byte(1)));

    MemoryFolders fs;
    for (size_t i = 1; i <= 3; ++i) fs.Seed(in.Text(i));
    fs.failCreateAt = in.Byte(2) & 0x07;
    velnor::SetFolderSystem(&fs);
    CheckCreateFolderTree(fs, text);
    const std::string stop = in.Text(5);
    CheckRemoveCreatedFolders(fs, in.Text(4), (in.Byte(2) & 0x08) ? &stop : nullptr);
    velnor::SetFolderSystem(nullptr);
    return 0;
}
