// The stand-in's state, its test interface and its log.
#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <stdexcept>

#include "host_standin/StandInState.h"

namespace hoststandin {

namespace {

// A write through a pointer the compiler cannot see to be null: a real access violation,
// which the optimiser may neither drop nor turn into a trap instruction.
void Crash() {
    volatile int* volatile nowhere = nullptr;
    *nowhere = 1;
}

}  // namespace

State& TheState() {
    static State state = [] {
        State s;
        ParseHostData(R"({"dataSets": []})", &s.data);
        return s;
    }();
    return state;
}

bool CountCall(const char* op, int* code) {
    State& s = TheState();
    int* counter = nullptr;
    for (const auto& slot : s.callSlots) {
        if (slot.first == op) {
            counter = slot.second;
            break;
        }
    }
    if (counter == nullptr) {
        counter = &s.calls[op];
        s.callSlots.emplace_back(op, counter);
    }
    const int n = ++*counter;
    for (const Fault& f : s.data.faults) {
        if (f.op == op && f.at == n) {
            if (f.kind == Fault::kThrow)
                throw std::runtime_error(std::string("host fault in ") + op);
            if (f.kind == Fault::kCrash) Crash();
            if (code != nullptr) *code = f.code;
            return true;
        }
    }
    return false;
}

void Record(const char* kind, std::vector<std::string> fields) {
    State& s = TheState();
    s.log.push_back(LogRecord{kind, std::move(fields)});
    const char* logPath = std::getenv("VELNOR_HOST_LOG");
    if (logPath == nullptr || *logPath == '\0') return;
    if (std::FILE* f = std::fopen(logPath, "ab")) {
        const std::string line = FormatLogLine(s.log.back()) + "\n";
        std::fwrite(line.data(), 1, line.size(), f);
        std::fclose(f);
    }
}

std::string LoadFromString(const std::string& json) {
    HostData data;
    std::string error = ParseHostData(json, &data);
    if (error.empty()) {
        TheState().data = std::move(data);
        TheState().loaded = true;
    }
    return error;
}

void ForgetFaults(bool throwsAndCrashesOnly) {
    std::vector<Fault>& faults = TheState().data.faults;
    faults.erase(std::remove_if(faults.begin(), faults.end(),
                                [&](const Fault& f) {
                                    return !throwsAndCrashesOnly || f.kind != Fault::kAnswer;
                                }),
                 faults.end());
}

std::string LoadFromFile(const std::string& path) {
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (f == nullptr) return std::string("cannot be opened (") + std::strerror(errno) + ")";
    std::string text;
    char buffer[65536];
    size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, f)) > 0) text.append(buffer, n);
    const bool failed = std::ferror(f) != 0;
    std::fclose(f);
    if (failed) return "cannot be read";
    return LoadFromString(text);
}

bool IsLoaded() { return TheState().loaded; }

void Reset() {
    State& s = TheState();
    ParseHostData(R"({"dataSets": []})", &s.data);
    s.loaded = false;
    s.calls.clear();
    s.callSlots.clear();
    s.log.clear();
    s.cursors.clear();
    s.appType = -1;
    s.useDataType = -1;
}

std::string DefaultDataFile() {
    const char* env = std::getenv("VELNOR_HOST_DATA");
    if (env != nullptr && *env != '\0') return env;
    return platform::ExecutableFolder() + "HostData.json";
}

const std::vector<LogRecord>& Log() { return TheState().log; }

std::string FormatLogLine(const LogRecord& record) {
    std::string line = record.kind;
    for (const std::string& field : record.fields) line += "\t" + SjisToLogText(field);
    return line;
}

int CallCount(const std::string& op) {
    const auto& calls = TheState().calls;
    const auto it = calls.find(op);
    return it == calls.end() ? 0 : it->second;
}

std::map<std::string, int> CallCounts() { return TheState().calls; }

int LiveRuleObjects() { return TheState().liveRules; }
int OpenEnumerations() { return TheState().openEnumerations; }
int OpenCursors() { return static_cast<int>(TheState().cursors.size()); }
int LivePeriodObjects() { return TheState().livePeriods; }
int AppType() { return TheState().appType; }
velnor::MessageBoxFn SetMessageBoxHook(velnor::MessageBoxFn hook) {
    return velnor::SetMessageBoxHook(hook);
}
int UseDataType() { return TheState().useDataType; }

}  // namespace hoststandin
