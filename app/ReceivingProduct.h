// The compatibility check against the installed receiving income-tax product: its
// definition file "MerovinDef.ini" beside our executable names, in section "ProgramLevel"
// under key "MV14_G", the link level it expects; we work with level 2 only.
#pragma once

#include <cstddef>

namespace velnor {

constexpr int kRequiredLinkLevel = 2;
constexpr size_t kDefinitionPathSize = 517;
constexpr size_t kLevelBufferSize = 16;  // at most 15 characters of the value are read

enum ReceivingStatus : int {
    kReceivingBadEnvironment = -1,  // no definition file, or an empty value
    kReceivingFits = 0,
    kReceivingProductTooOld = 1,  // level below ours (also a missing key: "1")
    kReceivingLinkTooOld = 2,     // level above ours
};

// The definition file's path for the executable at `modulePath` (empty when unknown):
// the executable's folder, one real backslash and "MerovinDef.ini". With no folder it is
// ".\MerovinDef.ini", so that the existence test and the profile read, which would look
// in the Windows folder for a bare name, see the same file. False when it does not fit.
bool BuildDefinitionFilePath(const char* modulePath, char* out, size_t outSize);

// The status for the value read from the file (the read's default "1" for a missing key).
ReceivingStatus StatusForLevelText(const char* value);

// The message shown for a refusing status; null for kReceivingFits.
const char* ReceivingStatusMessage(ReceivingStatus status);

// True when the installed receiving product fits. Otherwise, when `showMessages` is true,
// its message has been shown through the host's message display.
bool CheckReceivingProduct(bool showMessages);

// As CheckReceivingProduct, for an executable at `modulePath`.
bool CheckReceivingProductFor(const char* modulePath, bool showMessages);

}  // namespace velnor
