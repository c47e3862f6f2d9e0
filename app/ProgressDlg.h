// The progress window "集計中": an overall bar from 0 to 1000 over the whole run, with the
// per cent in the caption, and an activity bar refilled at every small step. Nothing
// dispatches messages while it is up, so every operation repaints it explicitly.
#pragma once

#include "common/Progress.h"
#include "framework/Framework.h"

class ClProgressDlg : public CDialog, public velnor::IProgress {
  public:
    static constexpr short kOverallRange = 1000;
    static constexpr short kActivityRange = 5;
    static constexpr int kActivitySteps = 6;

    ClProgressDlg();

    // Creates the window from its template, without a parent and not yet shown.
    BOOL Create();

    // Range 0 to 1000, step 1, position 0.
    void ResetProgress();
    // One step of the overall bar for every value from `from` to `to`, both included; at
    // every multiple of 10 the caption shows the per cent. Once the bar is full it stays
    // full: the shared boundaries of consecutive ranges add steps beyond the range.
    void AdvanceProgress(short from, short to) override;
    // Refills the activity bar and brings the window to the front.
    void PulseProgress() override;

    CProgressCtrl overallBar;
    CProgressCtrl activityBar;

  protected:
    void DoDataExchange(CDataExchange* dx) override;
};
