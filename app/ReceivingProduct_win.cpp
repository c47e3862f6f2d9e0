#include <shlwapi.h>
#include <windows.h>

#include <cstring>

#include "app/ReceivingProduct.h"
#include "common/Edition.h"
#include "common/Faults.h"
#include "common/PathHelpers.h"
#include "common/Ui.h"
#include "hostbinding/HostBinding.h"

namespace velnor {

bool CheckReceivingProductFor(const char* modulePath, bool showMessages) {
    char path[kDefinitionPathSize] = {};
    ReceivingStatus status = kReceivingBadEnvironment;
    if (BuildDefinitionFilePath(modulePath, path, sizeof path) && PathFileExistsA(path) == TRUE) {
        char value[kLevelBufferSize] = {};
        // The profile read opens and reads the file itself; a failure injected at either
        // step stands for a read error, which yields the default like a missing key.
        if (ShouldFailFileOp(FileOp::kOpen, path) || ShouldFailFileOp(FileOp::kRead, path)) {
            std::memcpy(value, "1", 2);
        } else {
            GetPrivateProfileStringA("ProgramLevel", "MV14_G", "1", value, sizeof value, path);
        }
        status = StatusForLevelText(value);
    }
    const char* message = ReceivingStatusMessage(status);
    if (message == nullptr) return true;
    if (showMessages) host::DispMsg(nullptr, message, kTitleText, kMbIconWarning);
    return false;
}

bool CheckReceivingProduct(bool showMessages) {
    char modulePath[kPathBufferSize] = {};
    const DWORD length = GetModuleFileNameA(nullptr, modulePath, sizeof modulePath);
    // A cut path would name some other folder: treat it as unknown.
    if (length == 0 || length >= sizeof modulePath) modulePath[0] = '\0';
    return CheckReceivingProductFor(modulePath, showMessages);
}

}  // namespace velnor
