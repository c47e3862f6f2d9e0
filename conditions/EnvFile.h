// The remembered-destination file: one line per host user and selected data,
//   <user id>/<selection 1>/<selection 2>:<reserved 1>/<reserved 2>/<category>/<destination>
// ended by a single line feed. The conditions dialog reads its entry when it opens; the run
// stores it again after a successful export.
//
// Everything read from the file is untrusted. A file longer than kEnvFileMaxSize is not
// read (nothing is remembered) and never rewritten; an entry whose value is longer than
// kEnvValueMax, whose destination does not fit a path buffer, or that has fewer than three
// "/" in its value is ignored when read and replaced when written, and every other line
// is kept as it is.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace velnor {

constexpr size_t kEnvFileMaxSize = 32767;  // positions in the file were 16-bit
constexpr size_t kEnvValueMax = 511;       // fields 4 to 7 of a line
constexpr size_t kEnvLineMax = 511;        // a whole line with its line feed
constexpr size_t kEnvUserIdMax = 64;
constexpr size_t kEnvPathSize = 261;

struct StEnvValues {
    int16_t reserved1 = 0;
    int16_t reserved2 = 0;
    int16_t businessKind = 0;
    char destination[kEnvPathSize] = {};
};

// "%s/%d/%d:". False (and no key) when the user id is longer than kEnvUserIdMax or
// holds a line feed, which could not be stored on one line.
bool BuildEnvKey(const char* userId, int32_t selection1, int32_t selection2, std::string* key);

// "%s%d/%d/%d/%s\n". False when the destination holds a line feed or the line would be
// longer than kEnvLineMax bytes: a cut line would remember a wrong path.
bool FormatEnvLine(const std::string& key, int16_t reserved1, int16_t reserved2,
                   int16_t businessKind, const char* destination, std::string* line);

// An entry: [begin, end) is the line without its line feed, the value starts after the key,
// and the next line starts at `next` (end + 1, or the end of the content).
struct StEnvEntry {
    size_t begin = 0;
    size_t valueBegin = 0;
    size_t end = 0;
    size_t next = 0;
};

// The first line that begins with `key`; a key found elsewhere in a line (a user id that is
// the end of another one) does not count.
bool FindEnvEntry(const std::string& content, const std::string& key, StEnvEntry* entry);

// Fields 4 to 7 of an entry's value, the numbers with the runtime's decimal conversion
// (leading blanks and sign, leading digits, 0 when none) kept as 16-bit values. False, and
// `out` cleared, when the value is malformed (see above).
bool ParseEnvValue(const char* value, size_t length, StEnvValues* out);

// The file's new content: without `entry` (when given) and with `line` as its last line.
// A last kept line that lacked its line feed gets one, so that the new line stays apart.
std::string RebuildEnvContent(const std::string& content, const StEnvEntry* entry,
                              const std::string& line);

// The entry of `key` in the file at `path`. False, with `out` cleared, when the file is
// missing, unreadable or too long, or holds no usable entry; `unreadable` (when given)
// tells a file that exists but could not be read from one that holds no entry.
bool ReadEnvEntry(const std::string& path, const std::string& key, StEnvValues* out,
                  bool* unreadable = nullptr);

// Stores `line` as the entry of `key` in the file at `path`. The new content is written to
// a temporary file beside it and moved over the old file in one step, so that a failure at
// any point leaves the old file as it was. False when nothing was changed.
bool WriteEnvEntry(const std::string& path, const std::string& key, const std::string& line);

// The host's side: the current user's entry in the file `fileName` of the host's folder of
// type 1. The key is the user id and the two selection numbers of ClSysUser.
bool BuildCurrentEnvKey(std::string* key);
// The host's folder of type 1 and the file's path in it (the name follows the folder
// directly). False when the folder is empty or the path does not fit a path buffer.
bool GetEnvFileLocation(const char* fileName, std::string* folder, std::string* path);
// ReadEnvFile of the conditions dialog: false, `out` cleared, when nothing is remembered;
// `unreadable` as for ReadEnvEntry.
bool ReadCurrentEnvEntry(const char* fileName, StEnvValues* out, bool* unreadable = nullptr);
// WriteEnvFile of the conditions dialog: creates the folder with all missing levels when
// needed, then stores the entry. A null `destination` keeps the one the entry holds in the
// file (empty when there is none); nothing is written when the file cannot be read then.
// False when nothing was written.
bool WriteCurrentEnvEntry(const char* fileName, int16_t businessKind, const char* destination,
                          int16_t reserved1, int16_t reserved2);

}  // namespace velnor
