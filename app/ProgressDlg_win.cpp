#include <cstdio>

#include "app/ProgressDlg.h"
#include "res/Resource.h"

ClProgressDlg::ClProgressDlg() : CDialog(IDD_PROGRESS, nullptr) {}

BOOL ClProgressDlg::Create() { return CDialog::Create(IDD_PROGRESS, nullptr); }

void ClProgressDlg::DoDataExchange(CDataExchange* dx) {
    CDialog::DoDataExchange(dx);
    DDX_Control(dx, IDC_PROGRESS_OVERALL, overallBar);
    DDX_Control(dx, IDC_PROGRESS_ACTIVITY, activityBar);
}

void ClProgressDlg::ResetProgress() {
    overallBar.SetRange(0, kOverallRange);
    overallBar.SetStep(1);
    overallBar.SetPos(0);
}

void ClProgressDlg::AdvanceProgress(short from, short to) {
    for (int i = from; i <= to; ++i) {
        if (i % 10 == 0) {
            char caption[64] = {};
            std::snprintf(caption, sizeof(caption), "集計中 %d％", i / 10);
            SetWindowText(caption);
        }
        // The progress control starts again from empty when stepped past its range.
        if (overallBar.GetPos() < kOverallRange) {
            overallBar.StepIt();
        } else {
            overallBar.SetPos(kOverallRange);
        }
        PulseProgress();
        UpdateWindow();
    }
}

void ClProgressDlg::PulseProgress() {
    activityBar.SetRange(0, kActivityRange);
    activityBar.SetStep(1);
    activityBar.SetPos(0);
    BringWindowToTop();
    SetForegroundWindow();
    UpdateWindow();
    for (int i = 0; i < kActivitySteps; ++i) activityBar.StepIt();
}
