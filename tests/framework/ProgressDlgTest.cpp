// The progress window driven as a run drives it, judged by what it shows: the position of
// each bar whenever it is painted, the caption, and its place in front of other windows.
// A clock of the test's own decides when its visible work is due.
#include <gtest/gtest.h>
#include <windows.h>
// After windows.h.
#include <commctrl.h>

#include <algorithm>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "app/ProgressDlg.h"

namespace {

unsigned long long g_now = 0;
unsigned long long g_tick = 0;  // added at every reading
unsigned long long TestClock() { return g_now += g_tick; }

std::map<HWND, WNDPROC> g_original;
std::map<HWND, std::vector<int>> g_painted;  // the bar's position at each paint

LRESULT CALLBACK RecordingProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_PAINT) {
        g_painted[hWnd].push_back(
            static_cast<int>(CallWindowProcA(g_original[hWnd], hWnd, PBM_GETPOS, 0, 0)));
    }
    return CallWindowProcA(g_original[hWnd], hWnd, message, wParam, lParam);
}

void Subclass(HWND hWnd) {
    g_original[hWnd] = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(RecordingProc)));
}

// True when `upper` lies above `lower` in the order of top-level windows.
bool Above(HWND upper, HWND lower) {
    for (HWND w = GetWindow(upper, GW_HWNDNEXT); w != nullptr; w = GetWindow(w, GW_HWNDNEXT)) {
        if (w == lower) return true;
    }
    return false;
}

class ProgressWindow : public ::testing::Test {
  protected:
    void SetUp() override {
        other = CreateWindowExA(0, "STATIC", "other", WS_POPUP | WS_VISIBLE, 0, 0, 400, 200,
                                nullptr, nullptr, nullptr, nullptr);
        ASSERT_NE(nullptr, other);
        NewWindow();
    }
    void TearDown() override {
        CloseWindow();
        DestroyWindow(other);
    }
    // A new progress window, shown, on a clock standing at 1000 ms.
    void NewWindow() {
        CloseWindow();
        g_original.clear();
        g_painted.clear();
        g_now = 1000;
        g_tick = 0;
        window = std::make_unique<ClProgressDlg>();
        window->SetClock(TestClock);
        ASSERT_TRUE(window->Create());
        window->ShowWindow(SW_SHOW);
        ASSERT_NE(nullptr, window->overallBar.m_hWnd);
        ASSERT_NE(nullptr, window->activityBar.m_hWnd);
        Subclass(window->overallBar.m_hWnd);
        Subclass(window->activityBar.m_hWnd);
    }
    void CloseWindow() {
        if (!window) return;
        window->EndDialog(1);
        window->DestroyWindow();
        window.reset();
    }

    std::vector<int>& OverallPaints() { return g_painted[window->overallBar.m_hWnd]; }
    std::vector<int>& ActivityPaints() { return g_painted[window->activityBar.m_hWnd]; }
    std::string Caption() {
        char caption[64] = {};
        GetWindowTextA(window->m_hWnd, caption, sizeof(caption));
        return caption;
    }
    void OtherToFront() {
        SetWindowPos(other, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        ASSERT_TRUE(Above(other, window->m_hWnd));
    }
    int OverallRangeHigh() {
        return static_cast<int>(SendMessageA(window->overallBar.m_hWnd, PBM_GETRANGE, FALSE, 0));
    }

    std::unique_ptr<ClProgressDlg> window;
    HWND other = nullptr;
};

TEST_F(ProgressWindow, BarsAreBoundToTheirControls) {
    EXPECT_EQ(GetDlgItem(window->m_hWnd, 1018), window->overallBar.m_hWnd);
    EXPECT_EQ(GetDlgItem(window->m_hWnd, 1019), window->activityBar.m_hWnd);
    EXPECT_EQ(nullptr, GetParent(window->m_hWnd));
    EXPECT_EQ("集計中", Caption());
    window->ResetProgress();
    EXPECT_EQ(1000, OverallRangeHigh());
    EXPECT_EQ(0, window->overallBar.GetPos());
}

// A pulse brings the window to the front and repaints the refilled activity bar; pulses
// closer together than the pace only keep the state.
TEST_F(ProgressWindow, PulsesComeToTheFrontAtMostOncePerPace) {
    const struct {
        unsigned long long after;  // milliseconds since the previous pulse
        bool shown;
    } pulses[] = {{0, true}, {0, false}, {39, false}, {1, true}, {10, false}, {45, true}};
    for (const auto& p : pulses) {
        SCOPED_TRACE(p.after);
        OtherToFront();
        ActivityPaints().clear();
        g_now += p.after;
        window->PulseProgress();
        EXPECT_EQ(p.shown, Above(window->m_hWnd, other));
        EXPECT_EQ(p.shown, !ActivityPaints().empty());
    }
    EXPECT_EQ(ClProgressDlg::kActivityRange,
              static_cast<int>(SendMessageA(window->activityBar.m_hWnd, PBM_GETRANGE, FALSE, 0)));

    // Each shown pulse fills the activity bar from empty to full before the eyes.
    ActivityPaints().clear();
    g_now += 1000;
    window->PulseProgress();
    const std::vector<int> onePulse = ActivityPaints();
    ASSERT_FALSE(onePulse.empty());
    EXPECT_EQ(0, onePulse.front());
    EXPECT_EQ(ClProgressDlg::kActivityRange, *std::max_element(onePulse.begin(), onePulse.end()));

    // One pulse per record, 10 ms apart: one shown pulse in four.
    ActivityPaints().clear();
    for (int i = 0; i < 400; ++i) {
        g_now += 10;
        window->PulseProgress();
    }
    EXPECT_EQ(100 * onePulse.size(), ActivityPaints().size());
}

struct AdvanceCase {
    short from, to;
    int startPosition;
    int endPosition;
    std::string caption;
};

// Whatever the clock does meanwhile, the bar and the caption end each call exactly where
// its last step leaves them, and that state is painted.
TEST_F(ProgressWindow, AdvanceEndsShowingItsExactFinalState) {
    const AdvanceCase cases[] = {
        {0, 200, 0, 201, "集計中 20％"},      {700, 1000, 700, 1000, "集計中 100％"},
        {401, 409, 400, 409, "集計中"},       {5, 5, 0, 1, "集計中"},
        {10, 10, 0, 1, "集計中 1％"},         {300, 200, 300, 300, "集計中"},
        {600, 700, 995, 1000, "集計中 70％"},
    };
    for (unsigned long long tick : {0ull, 1ull, 100ull}) {
        for (const AdvanceCase& c : cases) {
            SCOPED_TRACE(std::to_string(c.from) + "-" + std::to_string(c.to) + " tick " +
                         std::to_string(tick));
            NewWindow();
            window->ResetProgress();
            window->AdvanceProgress(0, static_cast<short>(c.startPosition - 1));
            window->SetWindowText("集計中");
            g_painted.clear();
            g_tick = tick;
            window->AdvanceProgress(c.from, c.to);
            EXPECT_EQ(c.endPosition, window->overallBar.GetPos());
            EXPECT_EQ(c.caption, Caption());
            if (c.from <= c.to) {
                ASSERT_FALSE(OverallPaints().empty());
                EXPECT_EQ(c.endPosition, OverallPaints().back());
                EXPECT_TRUE(Above(window->m_hWnd, other));
            } else {
                EXPECT_TRUE(OverallPaints().empty());
            }
            // A frozen clock: the first step (due since the window was last shown) and
            // the end are all that is painted.
            if (tick == 0) {
                EXPECT_LE(OverallPaints().size(), 2u);
            }
        }
    }
}

// The run's ranges share their boundaries: 1006 steps against a range of 1000, with a
// pulse per record in between and a clock that runs.
TEST_F(ProgressWindow, AWholeRunEndsFullAndTheBarNeverRunsBackwards) {
    g_tick = 1;
    window->ResetProgress();
    const short ranges[][2] = {{0, 200},   {200, 400}, {400, 500},
                               {500, 600}, {600, 700}, {700, 1000}};
    for (const auto& range : ranges) {
        for (int i = 0; i < 300; ++i) window->PulseProgress();
        window->AdvanceProgress(range[0], range[1]);
    }
    ASSERT_FALSE(OverallPaints().empty());
    for (size_t i = 1; i < OverallPaints().size(); ++i) {
        EXPECT_GE(OverallPaints()[i], OverallPaints()[i - 1]) << i;
    }
    EXPECT_EQ(1000, OverallPaints().back());
    EXPECT_EQ(1000, window->overallBar.GetPos());
    EXPECT_EQ("集計中 100％", Caption());
    // About one visible update per 40 readings of the clock, not one per step.
    EXPECT_LT(OverallPaints().size(), 100u);
}

TEST_F(ProgressWindow, TheLargestRangeEnds) {
    window->ResetProgress();
    window->AdvanceProgress(32760, 32767);
    EXPECT_EQ(8, window->overallBar.GetPos());
    EXPECT_EQ("集計中 3276％", Caption());
}

}  // namespace
