#include "common/Faults.h"

#include <cstdlib>
#include <cstring>
#include <vector>

namespace velnor {

namespace {

struct FaultPlan {
    FileOp op;
    int n;                 // the matching call that fails, from 1
    std::string pathPart;  // empty: every call matches
    int seen = 0;
};

struct FaultState {
    bool envRead = false;
    std::vector<FaultPlan> plans;
    FileOpObserver observer = nullptr;
};

FaultState& State() {
    static FaultState state;
    return state;
}

bool ParseOp(const std::string& name, FileOp* op) {
    for (FileOp candidate : kAllFileOps) {
        if (name == FileOpName(candidate)) {
            *op = candidate;
            return true;
        }
    }
    return false;
}

// One entry "op:n" or "op:n:pathpart"; the path part runs to the end of the entry, so a
// Windows path with a drive colon is kept whole. Malformed entries are ignored.
void AddEnvEntry(FaultState& state, const std::string& entry) {
    const size_t colon = entry.find(':');
    if (colon == std::string::npos) return;
    FileOp op;
    if (!ParseOp(entry.substr(0, colon), &op)) return;
    const size_t second = entry.find(':', colon + 1);
    const std::string count = entry.substr(
        colon + 1, second == std::string::npos ? std::string::npos : second - colon - 1);
    if (count.empty() || count.size() > 9) return;
    int n = 0;
    for (char c : count) {
        if (c < '0' || c > '9') return;
        n = n * 10 + (c - '0');
    }
    if (n < 1) return;
    FaultPlan plan{op, n, second == std::string::npos ? std::string() : entry.substr(second + 1)};
    state.plans.push_back(plan);
}

void ReadEnvironment(FaultState& state) {
    state.envRead = true;
    const char* value = std::getenv("VELNOR_FILE_FAULTS");
    if (value == nullptr) return;
    const std::string text(value);
    size_t start = 0;
    while (start <= text.size()) {
        size_t comma = text.find(',', start);
        if (comma == std::string::npos) comma = text.size();
        AddEnvEntry(state, text.substr(start, comma - start));
        start = comma + 1;
    }
}

}  // namespace

const char* FileOpName(FileOp op) {
    switch (op) {
        case FileOp::kOpen:
            return "open";
        case FileOp::kRead:
            return "read";
        case FileOp::kWrite:
            return "write";
        case FileOp::kFlush:
            return "flush";
        case FileOp::kClose:
            return "close";
        case FileOp::kRename:
            return "rename";
        case FileOp::kRemove:
            return "remove";
        case FileOp::kMkdir:
            return "mkdir";
        case FileOp::kRmdir:
            return "rmdir";
        case FileOp::kTempFile:
            return "tempfile";
    }
    return "";
}

bool ShouldFailFileOp(FileOp op, const char* path) {
    FaultState& state = State();
    if (!state.envRead) ReadEnvironment(state);
    bool fail = false;
    for (FaultPlan& plan : state.plans) {
        if (plan.op != op || plan.seen >= plan.n) continue;
        if (!plan.pathPart.empty() &&
            (path == nullptr || std::strstr(path, plan.pathPart.c_str()) == nullptr)) {
            continue;
        }
        if (++plan.seen == plan.n) fail = true;
    }
    if (state.observer != nullptr) state.observer(op, path != nullptr ? path : "", fail);
    return fail;
}

void PlanFileFault(FileOp op, int n, const std::string& pathPart) {
    FaultState& state = State();
    if (!state.envRead) ReadEnvironment(state);
    if (n < 1) return;
    state.plans.push_back(FaultPlan{op, n, pathPart});
}

FileOpObserver SetFileOpObserver(FileOpObserver observer) {
    FileOpObserver previous = State().observer;
    State().observer = observer;
    return previous;
}

void ResetFileFaults() {
    FaultState& state = State();
    state.plans.clear();
    state.envRead = false;
}

}  // namespace velnor
