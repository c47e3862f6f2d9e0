#include <cstring>

#include "app/CommandLine.h"
#include "app/HostWindowGuard.h"
#include "app/LinkApp.h"
#include "app/ReceivingProduct.h"
#include "app/ResultCode.h"
#include "app/SelectedData.h"
#include "common/Edition.h"

namespace {

constexpr int kUseDataType = 2;
constexpr int kExpSysLinkCancelled = 1;

// The host reads the function id as a 32-bit value: -1 arrives as 0xFFFFFFFF.
WPARAM FunctionIdParameter(int16_t functionId) {
    return static_cast<DWORD>(static_cast<LONG>(functionId));
}

}  // namespace

ClLinkApp::ClLinkApp() { std::memset(&dataInfo, 0, sizeof(dataInfo)); }

void ClLinkApp::SetResult(int32_t code) {
    if (resultCode == velnor::kResultCompleted) resultCode = code;
}

BOOL ClLinkApp::ParseCommandLine(const char* text) {
    const velnor::CommandLine line = velnor::ParseCommandLine(text);
    if (!line.complete) return FALSE;
    hostWindow = reinterpret_cast<HWND>(line.hostWindow);
    completionMessage = line.completionMessage;
    functionId = line.functionId;
    if (!line.fixedOutputPath.empty()) fixedOutputPath = line.fixedOutputPath;
    return TRUE;
}

BOOL ClLinkApp::FindSelectedData(StDATAINFO* record) {
    return velnor::FindSelectedDataSet(record) ? TRUE : FALSE;
}

// Whatever throws, in any step, from the host or from us, the run failed: the framework
// swallows the exception and runs the exit processing, which must not post "completed".
BOOL ClLinkApp::InitInstance() try {
    fw::AfxEnableControlContainer();

    velnor::host::SetConnectionTitle(velnor::kTitleText);
    velnor::host::Instance<ClQelConnect>()->SetAppType(velnor::CurrentEdition().appType);
    velnor::host::Instance<ClQelConnect>()->SetUseDataType(kUseDataType);
    if (velnor::host::Instance<ClQelConnect>()->Initiate() != 0) return FALSE;

    if (ParseCommandLine(m_lpCmdLine)) {
        launchedByHost = 1;
        hostWindowObject = fw::CWnd::FromHandle(hostWindow);
        velnor::host::SetConnectionOwner(hostWindow);
        ::EnableWindow(hostWindow, FALSE);
        velnor::ArmCrashFilter(hostWindow, completionMessage, FunctionIdParameter(functionId));
    }

    if (!velnor::CheckReceivingProduct(true)) {
        SetResult(velnor::kResultFailed);
        return FALSE;
    }

    const int link = velnor::host::Instance<ClQelConnect>()->ExpSysLink();
    if (link != 0) {
        SetResult(link == kExpSysLinkCancelled ? velnor::kResultCancelled : velnor::kResultFailed);
        return FALSE;
    }

    if (!FindSelectedData(&dataInfo)) {
        SetResult(velnor::kResultFailed);
        return FALSE;
    }

    return RunSequence();
} catch (...) {
    SetResult(velnor::kResultFailed);
    throw;
}

int ClLinkApp::ExitInstance() {
    for (auto& snapshot : assetSnapshots) snapshot.reset();
    assetSnapshots.clear();
    for (auto& record : assetRecords) record.reset();
    assetRecords.clear();

    velnor::host::Instance<ClQelConnect>()->LogOut();
    velnor::host::Instance<ClQelConnect>()->Terminate();
    velnor::host::Instance<ClQelConnect>()->Release();

    if (launchedByHost == 1) {
        velnor::DisarmCrashFilter();
        ::SetForegroundWindow(hostWindow);
        velnor::GiveHostWindowBack(hostWindow, completionMessage, FunctionIdParameter(functionId),
                                   static_cast<LPARAM>(resultCode));
    }
    return fw::CWinApp::ExitInstance();
}
