#include "conditions/EnvFile.h"

#include <cstdio>
#include <cstring>
#include <memory>

#include "common/File.h"
#include "common/PathHelpers.h"
#include "common/Sjis.h"
#include "hostbinding/HostBinding.h"

namespace velnor {

namespace {

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

// atoi over [p, end): blanks, a sign, the leading digits. Values beyond 32 bits saturate
// as the Windows runtime's atoi does, and the result is kept in 16 bits as a short
// assignment would.
int16_t ParseShort(const char* p, const char* end) {
    while (p < end && IsBlank(*p)) ++p;
    bool negative = false;
    if (p < end && (*p == '+' || *p == '-')) {
        negative = *p == '-';
        ++p;
    }
    int64_t value = 0;
    for (; p < end && *p >= '0' && *p <= '9'; ++p) {
        if (value <= INT32_MAX) value = value * 10 + (*p - '0');
    }
    if (negative) value = -value;
    if (value > INT32_MAX) value = INT32_MAX;
    if (value < INT32_MIN) value = INT32_MIN;
    return static_cast<int16_t>(static_cast<uint16_t>(static_cast<uint32_t>(value) & 0xFFFFu));
}

// Reads at most kEnvFileMaxSize bytes; false when the file cannot be read or is longer.
bool ReadWholeEnvFile(const std::string& path, std::string* content) {
    ClFile file;
    if (!file.Open(path.c_str(), ClFile::kRead)) return false;
    // One byte more than allowed tells a file that is too long, whatever its length said.
    std::unique_ptr<char[]> buffer(new char[kEnvFileMaxSize + 1]);
    size_t total = 0;
    try {
        for (;;) {
            const size_t n = file.Read(buffer.get() + total, kEnvFileMaxSize + 1 - total);
            if (n == 0) break;
            total += n;
            if (total > kEnvFileMaxSize) {
                file.Abort();
                return false;
            }
        }
        file.Close();
    } catch (const ClFileException&) {
        file.Abort();
        return false;
    }
    content->assign(buffer.get(), total);
    return true;
}

// Writes `content` to a new temporary file beside `path`, whose name goes to `temp`.
bool WriteNewFile(const std::string& path, const std::string& content, std::string* temp) {
    ClFile file;
    if (!file.CreateTempBeside(path.c_str())) return false;
    *temp = file.path();
    try {
        if (!content.empty()) file.Write(content.data(), content.size());
        // On stable storage before it replaces the old file, so that a power cut leaves
        // the old file or the new one, never an empty one.
        file.Flush();
        file.Close();
    } catch (const ClFileException&) {
        file.Abort();
        return false;
    }
    return true;
}

}  // namespace

bool BuildEnvKey(const char* userId, int32_t selection1, int32_t selection2, std::string* key) {
    key->clear();
    if (userId == nullptr) userId = "";
    const size_t length = FieldLength(userId, kEnvUserIdMax + 1);
    if (length > kEnvUserIdMax || std::memchr(userId, '\n', length) != nullptr) return false;
    char buffer[kEnvUserIdMax + 32];
    std::snprintf(buffer, sizeof buffer, "%s/%d/%d:", userId, static_cast<int>(selection1),
                  static_cast<int>(selection2));
    key->assign(buffer);
    return true;
}

bool FormatEnvLine(const std::string& key, int16_t reserved1, int16_t reserved2,
                   int16_t businessKind, const char* destination, std::string* line) {
    line->clear();
    if (destination == nullptr) destination = "";
    if (std::strchr(destination, '\n') != nullptr) return false;
    char buffer[kEnvLineMax + 1];
    const int n = std::snprintf(buffer, sizeof buffer, "%s%d/%d/%d/%s\n", key.c_str(),
                                static_cast<int>(reserved1), static_cast<int>(reserved2),
                                static_cast<int>(businessKind), destination);
    if (n < 0 || static_cast<size_t>(n) > kEnvLineMax) return false;
    line->assign(buffer, static_cast<size_t>(n));
    return true;
}

bool FindEnvEntry(const std::string& content, const std::string& key, StEnvEntry* entry) {
    const size_t size = content.size();
    size_t start = 0;
    while (start < size) {
        const size_t feed = content.find('\n', start);
        const size_t end = feed == std::string::npos ? size : feed;
        if (end - start >= key.size() && content.compare(start, key.size(), key) == 0) {
            entry->begin = start;
            entry->valueBegin = start + key.size();
            entry->end = end;
            entry->next = feed == std::string::npos ? size : feed + 1;
            return true;
        }
        if (feed == std::string::npos) break;
        start = feed + 1;
    }
    return false;
}

bool ParseEnvValue(const char* value, size_t length, StEnvValues* out) {
    *out = StEnvValues();
    if (length > kEnvValueMax) return false;
    // The value was a C string: a NUL ends it.
    length = FieldLength(value, length);
    const char* end = value + length;
    const char* slash[3];
    const char* p = value;
    for (auto& s : slash) {
        s = static_cast<const char*>(std::memchr(p, '/', static_cast<size_t>(end - p)));
        if (s == nullptr) return false;
        p = s + 1;
    }
    const size_t destinationLength = static_cast<size_t>(end - p);
    if (destinationLength >= kEnvPathSize) return false;
    out->reserved1 = ParseShort(value, slash[0]);
    out->reserved2 = ParseShort(slash[0] + 1, slash[1]);
    out->businessKind = ParseShort(slash[1] + 1, slash[2]);
    std::memcpy(out->destination, p, destinationLength);
    out->destination[destinationLength] = '\0';
    return true;
}

std::string RebuildEnvContent(const std::string& content, const StEnvEntry* entry,
                              const std::string& line) {
    std::string result;
    if (entry != nullptr) {
        result.reserve(content.size() + line.size() + 1);
        result.append(content, 0, entry->begin);
        result.append(content, entry->next, std::string::npos);
    } else {
        result = content;
    }
    if (!result.empty() && result.back() != '\n') result.push_back('\n');
    result += line;
    return result;
}

namespace {

// The file's content, empty when there is none; false when it exists but cannot be read
// or is too long.
bool LoadEnvFile(const std::string& path, std::string* content) {
    content->clear();
    return !PathExists(path.c_str()) || ReadWholeEnvFile(path, content);
}

bool EntryValues(const std::string& content, const std::string& key, StEnvValues* out) {
    *out = StEnvValues();
    StEnvEntry entry;
    if (!FindEnvEntry(content, key, &entry)) return false;
    return ParseEnvValue(content.data() + entry.valueBegin, entry.end - entry.valueBegin, out);
}

// Replaces the file's `content` by one with `line` as the entry of `key`.
bool StoreEnvEntry(const std::string& path, const std::string& content, const std::string& key,
                   const std::string& line) {
    StEnvEntry entry;
    const bool found = FindEnvEntry(content, key, &entry);
    const std::string updated = RebuildEnvContent(content, found ? &entry : nullptr, line);
    // The program never makes a file that it would refuse to read.
    if (updated.size() > kEnvFileMaxSize) return false;

    // Through a symbolic link the file it names is replaced and the link stays; a link
    // that leads nowhere is refused.
    const std::string final = FinalPath(path.c_str());
    if (final.empty()) return false;
    std::string temp;
    if (!WriteNewFile(final, updated, &temp) || !ReplaceFilePath(temp.c_str(), final.c_str())) {
        if (!temp.empty()) RemoveFilePath(temp.c_str());
        return false;
    }
    return true;
}

}  // namespace

bool ReadEnvEntry(const std::string& path, const std::string& key, StEnvValues* out,
                  bool* unreadable) {
    *out = StEnvValues();
    std::string content;
    const bool loaded = LoadEnvFile(path, &content);
    if (unreadable != nullptr) *unreadable = !loaded;
    return loaded && EntryValues(content, key, out);
}

bool WriteEnvEntry(const std::string& path, const std::string& key, const std::string& line) {
    std::string content;
    return LoadEnvFile(path, &content) && StoreEnvEntry(path, content, key, line);
}

bool BuildCurrentEnvKey(std::string* key) {
    key->clear();
    ClDataMgr* dataMgr = host::Instance<ClDataMgr>();
    ClSysUser* user = dataMgr != nullptr ? dataMgr->GetSysUserObject() : nullptr;
    if (user == nullptr) return false;
    char userId[kEnvUserIdMax + 1] = {};
    user->GetCurUserID(userId);
    userId[kEnvUserIdMax] = '\0';
    int32_t selection1 = 0;
    int32_t selection2 = 0;
    host::GetSelectedNo(*user, userId, &selection1, &selection2);
    return BuildEnvKey(userId, selection1, selection2, key);
}

bool GetEnvFileLocation(const char* fileName, std::string* folder, std::string* path) {
    folder->clear();
    path->clear();
    ClFileMgr* fileMgr = host::Instance<ClFileMgr>();
    if (fileMgr == nullptr || fileName == nullptr) return false;
    char buffer[kEnvPathSize] = {};
    host::GetAppFolderPath(*fileMgr, 1, buffer, sizeof buffer);
    folder->assign(buffer, FieldLength(buffer, kEnvPathSize - 1));
    // Without the host's folder the name alone would point into whatever folder is current.
    if (folder->empty()) return false;
    *path = *folder + fileName;
    return path->size() < kEnvPathSize;
}

bool ReadCurrentEnvEntry(const char* fileName, StEnvValues* out, bool* unreadable) {
    *out = StEnvValues();
    if (unreadable != nullptr) *unreadable = false;
    std::string folder, path, key;
    if (!GetEnvFileLocation(fileName, &folder, &path) || !BuildCurrentEnvKey(&key)) return false;
    return ReadEnvEntry(path, key, out, unreadable);
}

bool WriteCurrentEnvEntry(const char* fileName, int16_t businessKind, const char* destination,
                          int16_t reserved1, int16_t reserved2) {
    std::string folder, path, key, line;
    if (!GetEnvFileLocation(fileName, &folder, &path)) return false;
    if (!IsFolder(folder.c_str()) && !CreateFolderTree(folder.c_str())) return false;
    if (!BuildCurrentEnvKey(&key)) return false;
    std::string content;
    if (!LoadEnvFile(path, &content)) return false;
    StEnvValues stored;
    if (destination == nullptr) {
        EntryValues(content, key, &stored);
        destination = stored.destination;
    }
    if (!FormatEnvLine(key, reserved1, reserved2, businessKind, destination, &line)) return false;
    return StoreEnvEntry(path, content, key, line);
}

}  // namespace velnor
