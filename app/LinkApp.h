// The application object: connects to the host, checks that the run may go ahead, runs
// the export and tells the host how the run ended.
#pragma once

#include <cstdint>
#include <string>

#include "aggregation/AssetRecords.h"
#include "framework/Framework.h"
#include "hostbinding/HostBinding.h"

class ClLinkApp : public fw::CWinApp {
  public:
    ClLinkApp();

    BOOL InitInstance() override;
    int ExitInstance() override;

    // What the run found out, for tests and tools.
    bool IsLaunchedByHost() const { return launchedByHost == 1; }
    HWND GetHostWindow() const { return hostWindow; }
    UINT GetCompletionMessage() const { return completionMessage; }
    int16_t GetFunctionId() const { return functionId; }
    const std::string& GetFixedOutputPath() const { return fixedOutputPath; }
    int32_t GetResultCode() const { return resultCode; }
    const StDATAINFO& GetDataInfo() const { return dataInfo; }

  private:
    BOOL ParseCommandLine(const char* text);
    BOOL FindSelectedData(StDATAINFO* record);
    // After the compatibility check: the conditions dialog, then collection, conversion
    // and export under the progress window, the result message and the remembered
    // destination.
    BOOL RunSequence();
    // The result only ever moves away from Completed, once.
    void SetResult(int32_t code);

    int32_t launchedByHost = 0;
    HWND hostWindow = nullptr;
    UINT completionMessage = 0;
    int16_t functionId = 2;
    std::string fixedOutputPath;
    fw::CWnd* hostWindowObject = nullptr;
    int32_t resultCode = 0;
    ClSnapshotList assetSnapshots;
    ClRecordList assetRecords;
    StDATAINFO dataInfo;
};
