// The progress window driven as a run drives it: every message that reaches its two bars
// and every caption it shows is recorded through subclassed window procedures.
#include <gtest/gtest.h>
#include <windows.h>
// After windows.h.
#include <commctrl.h>

#include <map>
#include <string>
#include <vector>

#include "app/ProgressDlg.h"

namespace {

struct BarMessage {
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    int posAfter;
};

std::map<HWND, WNDPROC> g_original;
std::map<HWND, std::vector<BarMessage>> g_barLog;
std::vector<std::string> g_captions;

LRESULT CALLBACK RecordingProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam) {
    LRESULT result = CallWindowProcA(g_original[hWnd], hWnd, message, wParam, lParam);
    if (message == WM_SETTEXT) {
        g_captions.push_back(reinterpret_cast<const char*>(lParam));
    } else if (message >= PBM_SETRANGE && message <= PBM_SETRANGE32 && message != PBM_GETPOS) {
        int pos = static_cast<int>(CallWindowProcA(g_original[hWnd], hWnd, PBM_GETPOS, 0, 0));
        g_barLog[hWnd].push_back({message, wParam, lParam, pos});
    }
    return result;
}

void Subclass(HWND hWnd) {
    g_original[hWnd] = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(RecordingProc)));
}

class ProgressWindow : public ::testing::Test {
  protected:
    void SetUp() override {
        g_original.clear();
        g_barLog.clear();
        g_captions.clear();
        ASSERT_TRUE(dialog.Create());
        dialog.ShowWindow(SW_SHOW);
        ASSERT_NE(nullptr, dialog.overallBar.m_hWnd);
        ASSERT_NE(nullptr, dialog.activityBar.m_hWnd);
        Subclass(dialog.m_hWnd);
        Subclass(dialog.overallBar.m_hWnd);
        Subclass(dialog.activityBar.m_hWnd);
    }
    void TearDown() override {
        dialog.EndDialog(1);
        dialog.DestroyWindow();
    }

    std::vector<BarMessage>& Overall() { return g_barLog[dialog.overallBar.m_hWnd]; }
    std::vector<BarMessage>& Activity() { return g_barLog[dialog.activityBar.m_hWnd]; }
    int CountOf(const std::vector<BarMessage>& log, UINT message) {
        int n = 0;
        for (const BarMessage& m : log) n += m.message == message ? 1 : 0;
        return n;
    }

    ClProgressDlg dialog;
};

TEST_F(ProgressWindow, BarsAreBoundToTheirControls) {
    EXPECT_EQ(GetDlgItem(dialog.m_hWnd, 1018), dialog.overallBar.m_hWnd);
    EXPECT_EQ(GetDlgItem(dialog.m_hWnd, 1019), dialog.activityBar.m_hWnd);
    EXPECT_EQ(nullptr, GetParent(dialog.m_hWnd));
    char caption[64] = {};
    GetWindowTextA(dialog.m_hWnd, caption, sizeof(caption));
    EXPECT_STREQ("集計中", caption);
}

TEST_F(ProgressWindow, ResetSetsRangeStepAndPositionInThisOrder) {
    dialog.ResetProgress();
    ASSERT_EQ(3u, Overall().size());
    EXPECT_EQ(static_cast<UINT>(PBM_SETRANGE), Overall()[0].message);
    EXPECT_EQ(MAKELPARAM(0, 1000), Overall()[0].lParam);
    EXPECT_EQ(static_cast<UINT>(PBM_SETSTEP), Overall()[1].message);
    EXPECT_EQ(1u, Overall()[1].wParam);
    EXPECT_EQ(static_cast<UINT>(PBM_SETPOS), Overall()[2].message);
    EXPECT_EQ(0u, Overall()[2].wParam);
    EXPECT_TRUE(Activity().empty());
}

TEST_F(ProgressWindow, APulseRefillsTheActivityBarWithSixSteps) {
    dialog.PulseProgress();
    const std::vector<BarMessage>& log = Activity();
    ASSERT_EQ(9u, log.size());
    EXPECT_EQ(static_cast<UINT>(PBM_SETRANGE), log[0].message);
    EXPECT_EQ(MAKELPARAM(0, 5), log[0].lParam);
    EXPECT_EQ(static_cast<UINT>(PBM_SETSTEP), log[1].message);
    EXPECT_EQ(1u, log[1].wParam);
    EXPECT_EQ(static_cast<UINT>(PBM_SETPOS), log[2].message);
    EXPECT_EQ(0u, log[2].wParam);
    for (size_t i = 3; i < 9; ++i) EXPECT_EQ(static_cast<UINT>(PBM_STEPIT), log[i].message);
    EXPECT_EQ(1, log[3].posAfter);
    EXPECT_EQ(5, log[7].posAfter);
    EXPECT_TRUE(Overall().empty());
    EXPECT_TRUE(g_captions.empty());
}

struct AdvanceCase {
    short from, to;
    int steps;
    std::vector<std::string> firstCaptions;
    std::string lastCaption;
    size_t captionCount;
};

TEST_F(ProgressWindow, AdvanceStepsOncePerValueAndShowsThePerCentAtEveryTenth) {
    const AdvanceCase cases[] = {
        {0, 200, 201, {"集計中 0％", "集計中 1％", "集計中 2％"}, "集計中 20％", 21},
        {700, 1000, 301, {"集計中 70％", "集計中 71％"}, "集計中 100％", 31},
        {401, 409, 9, {}, "", 0},
        {5, 5, 1, {}, "", 0},
        {10, 10, 1, {"集計中 1％"}, "集計中 1％", 1},
        {300, 200, 0, {}, "", 0},
    };
    for (const AdvanceCase& c : cases) {
        dialog.ResetProgress();
        g_barLog.clear();
        g_captions.clear();
        dialog.AdvanceProgress(c.from, c.to);
        EXPECT_EQ(c.steps, CountOf(Overall(), PBM_STEPIT)) << c.from << "-" << c.to;
        EXPECT_EQ(c.steps * 6, CountOf(Activity(), PBM_STEPIT)) << c.from << "-" << c.to;
        ASSERT_EQ(c.captionCount, g_captions.size()) << c.from << "-" << c.to;
        for (size_t i = 0; i < c.firstCaptions.size(); ++i) {
            EXPECT_EQ(c.firstCaptions[i], g_captions[i]);
        }
        if (c.captionCount > 0) {
            EXPECT_EQ(c.lastCaption, g_captions.back());
        }
    }
}

TEST_F(ProgressWindow, AWholeRunEndsFullAndTheBarNeverRunsBackwards) {
    dialog.ResetProgress();
    // The run's ranges share their boundaries: 1006 steps against a range of 1000.
    const short ranges[][2] = {{0, 200},   {200, 400}, {400, 500},
                               {500, 600}, {600, 700}, {700, 1000}};
    for (const auto& range : ranges) {
        dialog.PulseProgress();
        dialog.AdvanceProgress(range[0], range[1]);
    }
    int previous = 0;
    int advancing = 0;
    for (const BarMessage& m : Overall()) {
        if (m.message != PBM_STEPIT && m.message != PBM_SETPOS) continue;
        ++advancing;
        EXPECT_GE(m.posAfter, previous);
        previous = m.posAfter;
    }
    EXPECT_EQ(1 + 1006, advancing);  // reset's position, then one message per step
    EXPECT_EQ(1000, CountOf(Overall(), PBM_STEPIT));
    EXPECT_EQ(1 + 6, CountOf(Overall(), PBM_SETPOS));
    EXPECT_EQ(1000, dialog.overallBar.GetPos());
    ASSERT_FALSE(g_captions.empty());
    EXPECT_EQ("集計中 100％", g_captions.back());
    char caption[64] = {};
    GetWindowTextA(dialog.m_hWnd, caption, sizeof(caption));
    EXPECT_STREQ("集計中 100％", caption);
}

TEST_F(ProgressWindow, TheLargestRangeEnds) {
    dialog.ResetProgress();
    g_barLog.clear();
    dialog.AdvanceProgress(32760, 32767);
    EXPECT_EQ(8, CountOf(Overall(), PBM_STEPIT));
}

}  // namespace
