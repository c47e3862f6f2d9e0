// The stand-in's data and state, shared by its source files.
#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "host/QelRecords.h"
#include "host_standin/HostStandIn.h"

namespace hoststandin {

struct AssetData {
    StKOTEISHISANINFO master;
    StKOTEINENINFO year;
};

struct DataSetData {
    StDATAINFO info;
    std::vector<AssetData> assets;
};

struct Fault {
    // What the planned call does: answer its code, throw a C++ exception, or crash with
    // an access violation.
    enum Kind { kAnswer, kThrow, kCrash };
    std::string op;
    int at;
    int code;
    Kind kind = kAnswer;
};

// A loaded host data file, texts already in Shift_JIS and records already laid out.
struct HostData {
    std::string userId;
    int32_t selected[2] = {0, 0};
    std::string appFolders[2];
    int32_t initiate = 0;
    int32_t expSysLink = 0;
    std::vector<StGENGOINFO> eras;
    std::vector<int32_t> fatalCodes;
    std::vector<DataSetData> dataSets;
    std::vector<Fault> faults;
};

// Parses a host data file's text. Returns "" on success, else the reason (UTF-8).
std::string ParseHostData(const std::string& json, HostData* out);

struct Cursor {
    bool era;
    bool ready;
    size_t next;
};

struct State {
    HostData data;
    bool loaded = false;
    std::map<std::string, int> calls;
    // The counters of `calls` by the address of the name the caller passed: the same few
    // literals come back for every asset.
    std::vector<std::pair<const char*, int*>> callSlots;
    std::vector<LogRecord> log;
    std::map<int, Cursor> cursors;
    int nextCursor = 1;
    int liveRules = 0;
    int openEnumerations = 0;
    int livePeriods = 0;
    int appType = -1;
    int useDataType = -1;
};

State& TheState();

// Counts a call of `op`. True when a fault is planned for this call; `code` then receives
// the code to answer with. A planned exception is thrown and a planned crash happens here.
bool CountCall(const char* op, int* code = nullptr);

// Appends a record to the log (and to $VELNOR_HOST_LOG).
void Record(const char* kind, std::vector<std::string> fields);

// Shift_JIS form of a UTF-8 text of the stand-in's own; characters without one become '?'.
std::string Utf8ToSjisLossy(const std::string& utf8);

namespace platform {
// Whole-text conversions by the platform; false on any character without a form.
bool Utf8ToSjis(const char* text, size_t len, std::string* out);
bool SjisToUtf8(const char* text, size_t len, std::string* out);
// Folder of the running executable, ending in its separator; "" when unknown.
std::string ExecutableFolder();
// A file-system path in the host's text encoding (Shift_JIS), for messages.
std::string PathAsHostText(const std::string& path);
}  // namespace platform

}  // namespace hoststandin
