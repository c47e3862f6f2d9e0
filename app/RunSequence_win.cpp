#include <memory>

#include "aggregation/AssetAggregator.h"
#include "app/LinkApp.h"
#include "app/ProgressDlg.h"
#include "app/ResultCode.h"
#include "common/Edition.h"
#include "common/Ui.h"
#include "conditions/CondDlg.h"
#include "export/XmlExport.h"

namespace {

constexpr short kExportProgressBase = 400;
const char* const kFailureText = "XMLファイルの出力に失敗しました。\n\nアプリケーションを終了します。";
const char* const kSuccessText = "減価償却の集計結果を正常に出力しました。";

}  // namespace

BOOL ClLinkApp::RunSequence() {
    ClCondDlg conditions(hostWindowObject, &dataInfo,
                         fixedOutputPath.empty() ? nullptr : fixedOutputPath.c_str());
    const INT_PTR choice = conditions.DoModal();
    if (choice == IDCANCEL) {
        SetResult(velnor::kResultCancelled);
        return FALSE;
    }
    // Only a dialog that could not open ends otherwise: without the user's choice there
    // is nothing to export.
    if (choice != IDOK) {
        SetResult(velnor::kResultFailed);
        return FALSE;
    }

    ClProgressDlg progress;
    progress.Create();
    if (hostWindowObject != nullptr) ::SetParent(progress.m_hWnd, hostWindow);
    progress.ShowWindow(SW_SHOW);
    BeginWaitCursor();
    progress.ResetProgress();

    auto aggregator = std::make_unique<ClAssetAggregator>();
    if (!aggregator->CollectAssets(assetSnapshots, dataInfo, conditions.GetBusinessKind())) {
        SetResult(velnor::kResultFailed);
    }
    if (resultCode == velnor::kResultCompleted) progress.AdvanceProgress(0, 200);
    if (resultCode == velnor::kResultCompleted &&
        !aggregator->ConvertAssets(assetSnapshots, assetRecords, dataInfo)) {
        SetResult(velnor::kResultFailed);
    }
    if (resultCode == velnor::kResultCompleted) progress.AdvanceProgress(200, 400);

    auto xmlExport = std::make_unique<ClXmlExport>();
    xmlExport->SetProgress(&progress);
    xmlExport->SetRecordList(&assetRecords);
    xmlExport->SetOwnerWindow(progress.m_hWnd);
    xmlExport->SetEdition(&velnor::CurrentEdition());
    xmlExport->SetProgressBase(kExportProgressBase);
    if (resultCode == velnor::kResultCompleted &&
        !xmlExport->Export(conditions.GetOutputPath(), functionId, &dataInfo)) {
        SetResult(velnor::kResultFailed);
    }

    if (resultCode != velnor::kResultCompleted) {
        velnor::ShowMessageBox(progress.m_hWnd, kFailureText, velnor::kTitleText,
                               velnor::kMbOk | velnor::kMbIconWarning);
    } else {
        progress.AdvanceProgress(700, 1000);
        velnor::ShowMessageBox(progress.m_hWnd, kSuccessText, velnor::kTitleText,
                               velnor::kMbOk | velnor::kMbIconInformation);
        // A host-bound run keeps the destination remembered before it: the host imposed
        // or proposed this one.
        conditions.WriteEnvFile(conditions.GetBusinessKind(),
                                launchedByHost == 0 ? conditions.GetOutputPath() : nullptr, 0, 0);
    }

    progress.EndDialog(1);
    RestoreWaitCursor();
    const BOOL result = fw::CWinApp::InitInstance();

    xmlExport.reset();
    aggregator.reset();
    EndWaitCursor();
    return result;
}
