#include <shlwapi.h>
#include <windows.h>

#include "app/PathHelpers.h"
#include "app/ReceivingProduct.h"
#include "common/Edition.h"
#include "common/Ui.h"
#include "host/QelHost.h"

namespace velnor {

bool CheckReceivingProductFor(const char* modulePath, bool showMessages) {
    char path[kDefinitionPathSize] = {};
    ReceivingStatus status = kReceivingBadEnvironment;
    if (BuildDefinitionFilePath(modulePath, path, sizeof path) && PathFileExistsA(path) == TRUE) {
        char value[kLevelBufferSize] = {};
        GetPrivateProfileStringA("ProgramLevel", "MV14_G", "1", value, sizeof value, path);
        status = StatusForLevelText(value);
    }
    const char* message = ReceivingStatusMessage(status);
    if (message == nullptr) return true;
    if (showMessages) ClQelConnect::Inst()->DispMsg(nullptr, message, kTitleText, kMbIconWarning);
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
