// Fault injection for file-system operations. Every operation of common/File.h asks
// here before it acts; a test (or the environment variable VELNOR_FILE_FAULTS, so that
// the real program under Wine can be made to fail) chooses which call fails.
//
// VELNOR_FILE_FAULTS holds comma-separated entries "op:n" or "op:n:pathpart": the n-th
// call (from 1) of that operation fails, counting only calls whose path contains
// pathpart when one is given. Ops: open, read, write, close, rename, remove, mkdir,
// rmdir, tempfile.
#pragma once

#include <string>

namespace velnor {

enum class FileOp { kOpen, kRead, kWrite, kClose, kRename, kRemove, kMkdir, kRmdir, kTempFile };

// True when this call should fail. Counts the call.
bool ShouldFailFileOp(FileOp op, const char* path);

// Tests: make the n-th call of `op` (counted from now, from 1) fail; an empty pathPart
// counts every call. Several plans may be active.
void PlanFileFault(FileOp op, int n, const std::string& pathPart = std::string());
// Tests: forget all plans and counts (the environment variable is read again).
void ResetFileFaults();

}  // namespace velnor
