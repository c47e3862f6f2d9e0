// Fault injection for file-system operations. Every operation of common/File.h asks
// here before it acts; a test (or the environment variable VELNOR_FILE_FAULTS, so that
// the test build of the program under Wine can be made to fail) chooses which call fails.
// Faults.cpp is linked only into test builds; the shipped programs link NoFaults.cpp.
//
// VELNOR_FILE_FAULTS holds comma-separated entries "op:n" or "op:n:pathpart": the n-th
// call (from 1) of that operation fails, counting only calls whose path contains
// pathpart when one is given. Ops: open, read, write, flush, close, rename, remove,
// mkdir, rmdir, tempfile.
#pragma once

#include <string>

namespace velnor {

enum class FileOp {
    kOpen,
    kRead,
    kWrite,
    kFlush,
    kClose,
    kRename,
    kRemove,
    kMkdir,
    kRmdir,
    kTempFile
};

// Every op, so that tests can check that each has its injection cases.
constexpr FileOp kAllFileOps[] = {FileOp::kOpen,  FileOp::kRead,    FileOp::kWrite,  FileOp::kFlush,
                                  FileOp::kClose, FileOp::kRename,  FileOp::kRemove, FileOp::kMkdir,
                                  FileOp::kRmdir, FileOp::kTempFile};

// The op's name as VELNOR_FILE_FAULTS spells it ("open", "tempfile", ...).
const char* FileOpName(FileOp op);

// True when this call should fail. Counts the call.
bool ShouldFailFileOp(FileOp op, const char* path);

// Tests: make the n-th call of `op` (counted from now, from 1) fail; an empty pathPart
// counts every call. Several plans may be active.
void PlanFileFault(FileOp op, int n, const std::string& pathPart = std::string());
// Tests: forget all plans and counts (the environment variable is read again).
void ResetFileFaults();

// Tests: sees every call that reaches the seam, with the path the seam sees and whether
// it was made to fail. Null stops it. Returns the previous observer.
using FileOpObserver = void (*)(FileOp op, const char* path, bool failed);
FileOpObserver SetFileOpObserver(FileOpObserver observer);

}  // namespace velnor
