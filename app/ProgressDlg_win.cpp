#include <cstdio>

#include "app/ProgressDlg.h"
#include "res/Resource.h"

namespace {

unsigned long long TickCount() { return GetTickCount64(); }

}  // namespace

ClProgressDlg::ClProgressDlg() : fw::CDialog(IDD_PROGRESS, nullptr), clock_(TickCount) {}

BOOL ClProgressDlg::Create() { return fw::CDialog::Create(IDD_PROGRESS, nullptr); }

void ClProgressDlg::DoDataExchange(fw::CDataExchange* dx) {
    fw::CDialog::DoDataExchange(dx);
    fw::DDX_Control(dx, IDC_PROGRESS_OVERALL, overallBar);
    fw::DDX_Control(dx, IDC_PROGRESS_ACTIVITY, activityBar);
}

void ClProgressDlg::ResetProgress() {
    overallBar.SetRange(0, kOverallRange);
    overallBar.SetStep(1);
    overallBar.SetPos(0);
    position_ = 0;
    shownPosition_ = 0;
}

bool ClProgressDlg::Due() {
    const unsigned long long now = clock_();
    if (shownOnce_ && now - lastShown_ < kPaceMs) return false;
    shownOnce_ = true;
    lastShown_ = now;
    return true;
}

void ClProgressDlg::AdvanceProgress(short from, short to) {
    if (from > to) return;
    bool shown = false;
    for (int i = from; i <= to; ++i) {
        if (i % 10 == 0) percent_ = i / 10;
        // The progress control would start again from empty when stepped past its range.
        if (position_ < kOverallRange) ++position_;
        shown = Due();
        if (shown) ShowSteps();
    }
    if (!shown) {
        Due();
        ShowSteps();
    }
}

void ClProgressDlg::PulseProgress() {
    if (Due()) ShowPulse();
}

void ClProgressDlg::ShowSteps() {
    if (percent_ != shownPercent_) {
        char caption[64] = {};
        std::snprintf(caption, sizeof(caption), "集計中 %d％", percent_);
        SetWindowText(caption);
        shownPercent_ = percent_;
    }
    if (position_ != shownPosition_) {
        overallBar.SetPos(position_);
        shownPosition_ = position_;
    }
    ShowPulse();
    UpdateWindow();
}

void ClProgressDlg::ShowPulse() {
    activityBar.SetRange(0, kActivityRange);
    activityBar.SetStep(1);
    activityBar.SetPos(0);
    BringWindowToTop();
    SetForegroundWindow();
    UpdateWindow();
    for (int i = 0; i < kActivitySteps; ++i) activityBar.StepIt();
}
