// The progress window "集計中": an overall bar from 0 to 1000 over the whole run, with the
// per cent in the caption, and an activity bar refilled at every small step. Nothing
// dispatches messages while it is up, so it repaints itself explicitly.
//
// Its visible work (the bar messages, coming to the front, the repaint) costs
// milliseconds under some window systems, far more than an exported record, so it is done
// at most once per kPaceMs of a clock; the calls in between only keep the state. Nothing
// waits and no timer runs: a call that finds the last update old enough shows the state,
// and every AdvanceProgress ends with its exact final state shown.
#pragma once

#include "common/Progress.h"
#include "framework/Framework.h"

class ClProgressDlg : public fw::CDialog, public velnor::IProgress {
  public:
    static constexpr short kOverallRange = 1000;
    static constexpr short kActivityRange = 5;
    static constexpr int kActivitySteps = 6;
    static constexpr unsigned long long kPaceMs = 40;
    // Milliseconds from any fixed point.
    using Clock = unsigned long long (*)();

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

    // Tests: the clock that paces the visible work.
    void SetClock(Clock clock) { clock_ = clock; }

    fw::CProgressCtrl overallBar;
    fw::CProgressCtrl activityBar;

  protected:
    void DoDataExchange(fw::CDataExchange* dx) override;

  private:
    // Create() above overloads CDialog's Create instead of hiding it; only it is public.
    using fw::CDialog::Create;
    // True when the last visible update is at least kPaceMs old (or there was none).
    bool Due();
    // The activity bar refilled, the window in front and repainted.
    void ShowPulse();
    // The caption and the overall bar as the steps left them, then a pulse and a repaint.
    void ShowSteps();

    Clock clock_;
    unsigned long long lastShown_ = 0;
    bool shownOnce_ = false;
    int position_ = 0;  // the overall bar's position as the steps left it
    int shownPosition_ = -1;
    int percent_ = -1;  // the per cent of the last multiple of 10 passed; -1 none yet
    int shownPercent_ = -1;
};
