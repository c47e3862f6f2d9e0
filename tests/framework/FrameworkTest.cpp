// The framework under Wine: application entry, modal loop, data exchange, binding of
// controls, progress bar, file dialog options and wait cursor.
#include <gtest/gtest.h>
#include <windows.h>
// After windows.h.
#include <commctrl.h>

#include <algorithm>
#include <stdexcept>
#include <string>
#include <vector>

#include "framework/Framework.h"
#include "tests/framework/TestDialog.h"

using namespace fw;

namespace {

// ---- application entry -------------------------------------------------------------

struct SkipCase {
    const char* full;
    const char* rest;
};

TEST(AfxSkipProgramPath, TakesTheTextAfterTheProgramPath) {
    const SkipCase cases[] = {
        {"\"C:\\Program Files\\Velnor\\VelnorPro.exe\" 1234,32769,2,", "1234,32769,2,"},
        {"VelnorPro.exe 1234,1,2,C:\\out x.xml", "1234,1,2,C:\\out x.xml"},
        {"VelnorPro.exe \t  1,2,3,", "1,2,3,"},
        {"VelnorPro.exe", ""},
        {"\"VelnorPro.exe\"", ""},
        {"\"C:\\unterminated quote", ""},
        {"\"a b.exe\"1,2,3,", "1,2,3,"},
        {"", ""},
    };
    for (const SkipCase& c : cases) {
        EXPECT_STREQ(c.rest, AfxSkipProgramPath(c.full)) << c.full;
    }
    EXPECT_STREQ("", AfxSkipProgramPath(nullptr));
}

class RecordingApp : public CWinApp {
  public:
    BOOL InitInstance() override {
        calls.push_back("init:" + std::string(m_lpCmdLine));
        if (throwInInit) throw std::runtime_error("init failed");
        return initResult;
    }
    int ExitInstance() override {
        calls.push_back("exit");
        return 7;
    }
    std::vector<std::string> calls;
    BOOL initResult = FALSE;
    bool throwInInit = false;
};

TEST(AfxWinMain, RunsInitInstanceThenExitInstanceOnceWhateverInitReturns) {
    for (BOOL initResult : {FALSE, TRUE}) {
        RecordingApp app;
        app.initResult = initResult;
        EXPECT_EQ(7, AfxWinMain(GetModuleHandleA(nullptr), "1,2,3,x", SW_SHOW));
        EXPECT_EQ((std::vector<std::string>{"init:1,2,3,x", "exit"}), app.calls);
    }
}

TEST(AfxWinMain, AnExceptionFromInitInstanceStillRunsTheExitProcessing) {
    RecordingApp app;
    app.throwInInit = true;
    EXPECT_EQ(7, AfxWinMain(GetModuleHandleA(nullptr), "", SW_SHOW));
    EXPECT_EQ((std::vector<std::string>{"init:", "exit"}), app.calls);
}

TEST(AfxWinMain, PassesALongCommandLineWhole) {
    RecordingApp app;
    const std::string text = "1234,32769,2," + std::string(5000, 'x') + ",end";
    AfxWinMain(GetModuleHandleA(nullptr), text.c_str(), SW_SHOW);
    ASSERT_EQ(2u, app.calls.size());
    EXPECT_EQ("init:" + text, app.calls[0]);
}

TEST(AfxWinMain, WithoutATextReadsTheProcessCommandLineAfterTheProgram) {
    RecordingApp app;
    AfxWinMain(GetModuleHandleA(nullptr), nullptr, SW_SHOW);
    EXPECT_EQ("init:" + std::string(AfxSkipProgramPath(GetCommandLineA())), app.calls.at(0));
}

TEST(CWinApp, APlainApplicationRunsAndEndsWithZero) {
    CWinApp app;
    EXPECT_EQ(0, AfxWinMain(GetModuleHandleA(nullptr), "", SW_SHOW));
    EXPECT_EQ(&app, AfxGetApp());
}

TEST(CWinApp, WaitCursorIsCountedAndNeverGoesBelowZero) {
    CWinApp app;
    app.BeginWaitCursor();
    app.BeginWaitCursor();
    EXPECT_EQ(2, app.GetWaitCursorCount());
    app.RestoreWaitCursor();
    EXPECT_EQ(2, app.GetWaitCursorCount());
    app.EndWaitCursor();
    app.EndWaitCursor();
    app.EndWaitCursor();
    EXPECT_EQ(0, app.GetWaitCursorCount());
    {
        CWaitCursor wait;
        EXPECT_EQ(1, app.GetWaitCursorCount());
    }
    EXPECT_EQ(0, app.GetWaitCursorCount());
}

// ---- dialogs -----------------------------------------------------------------------

constexpr UINT kEndWith42 = WM_APP + 9;

class TestDialog : public CDialog {
  public:
    explicit TestDialog(CWnd* parent = nullptr, UINT id = IDD_FRAMEWORK_TEST)
        : CDialog(id, parent) {}

    BOOL PreTranslateMessage(MSG* msg) override {
        seen.push_back(msg->message);
        if (msg->message == WM_APP + 5) throw std::runtime_error("from PreTranslateMessage");
        return CDialog::PreTranslateMessage(msg);
    }

    std::string text;
    std::vector<UINT> seen;
    int extraClicks = 0;
    int endInInit = 0;
    bool throwInOk = false;
    bool parentEnabledDuringLoop = true;

  protected:
    void DoDataExchange(CDataExchange* dx) override { DDX_Text(dx, IDC_TEST_EDIT, text); }
    BOOL OnInitDialog() override {
        CDialog::OnInitDialog();
        if (endInInit != 0) {
            EndDialog(endInInit);
            return FALSE;
        }
        return TRUE;
    }
    void OnOK() override {
        if (throwInOk) throw std::runtime_error("from OnOK");
        CDialog::OnOK();
    }
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override {
        if (LOWORD(wParam) == IDC_TEST_EXTRA && HIWORD(wParam) == BN_CLICKED) {
            ++extraClicks;
            return TRUE;
        }
        return CDialog::OnCommand(wParam, lParam);
    }
    BOOL OnMessage(UINT message, WPARAM, LPARAM, INT_PTR* result) override {
        if (message != kEndWith42) return FALSE;
        EndDialog(42);
        *result = TRUE;
        return TRUE;
    }
};

// Runs `script` on the dialog once it is shown, inside DoModal.
using Script = void (*)(CDialog& dialog);
Script g_script = nullptr;

INT_PTR RunModal(TestDialog& dialog, Script script) {
    g_script = script;
    CDialog::ModalStartHook previous = CDialog::SetModalStartHook([](CDialog& d) {
        if (g_script != nullptr) g_script(d);
    });
    INT_PTR result = -1;
    try {
        result = dialog.DoModal();
    } catch (...) {
        CDialog::SetModalStartHook(previous);
        throw;
    }
    CDialog::SetModalStartHook(previous);
    return result;
}

HWND MakeTopWindow() {
    return CreateWindowA("STATIC", "parent", WS_OVERLAPPED | WS_VISIBLE, 0, 0, 100, 100, nullptr,
                         nullptr, GetModuleHandleA(nullptr), nullptr);
}

void PressButton(CDialog& dialog, int id) {
    dialog.PostMessage(WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                       reinterpret_cast<LPARAM>(GetDlgItem(dialog.m_hWnd, id)));
}

TEST(CDialogModal, PreTranslateMessageSeesEveryMessageOfTheLoop) {
    TestDialog dialog;
    INT_PTR result = RunModal(dialog, [](CDialog& d) {
        d.PostMessage(WM_APP + 1);
        d.PostMessage(WM_APP + 2);
        PostThreadMessageA(GetCurrentThreadId(), WM_APP + 3, 0, 0);
        PostMessageA(GetDlgItem(d.m_hWnd, IDC_TEST_EDIT), WM_APP + 4, 0, 0);
        d.PostMessage(kEndWith42);
    });
    EXPECT_EQ(42, result);
    for (UINT message :
         {UINT(WM_APP + 1), UINT(WM_APP + 2), UINT(WM_APP + 3), UINT(WM_APP + 4), kEndWith42}) {
        EXPECT_NE(dialog.seen.end(), std::find(dialog.seen.begin(), dialog.seen.end(), message))
            << "message " << message;
    }
    EXPECT_EQ(nullptr, dialog.m_hWnd);
}

TEST(CDialogModal, OkExchangesTheEditTextIntoTheMember) {
    TestDialog dialog;
    dialog.text = "initial";
    INT_PTR result = RunModal(dialog, [](CDialog& d) {
        EXPECT_EQ("initial", d.GetDlgItemTextString(IDC_TEST_EDIT));
        d.SetDlgItemText(IDC_TEST_EDIT, "C:\\出力\\表.xml");
        PressButton(d, IDOK);
    });
    EXPECT_EQ(IDOK, result);
    EXPECT_EQ("C:\\出力\\表.xml", dialog.text);
}

TEST(CDialogModal, CancelAndEscapeEndWithIdCancelAndLeaveTheMember) {
    for (Script script : {Script([](CDialog& d) {
                              d.SetDlgItemText(IDC_TEST_EDIT, "changed");
                              PressButton(d, IDCANCEL);
                          }),
                          Script([](CDialog& d) {
                              d.SetDlgItemText(IDC_TEST_EDIT, "changed");
                              HWND edit = GetDlgItem(d.m_hWnd, IDC_TEST_EDIT);
                              SetFocus(edit);
                              PostMessageA(edit, WM_KEYDOWN, VK_ESCAPE, 0x00010001);
                          }),
                          Script([](CDialog& d) { d.PostMessage(WM_CLOSE); })}) {
        TestDialog dialog;
        dialog.text = "kept";
        EXPECT_EQ(IDCANCEL, RunModal(dialog, script));
        EXPECT_EQ("kept", dialog.text);
    }
}

TEST(CDialogModal, ClicksOfOtherButtonsReachOnCommand) {
    TestDialog dialog;
    RunModal(dialog, [](CDialog& d) {
        PressButton(d, IDC_TEST_EXTRA);
        PressButton(d, IDC_TEST_EXTRA);
        d.PostMessage(kEndWith42);
    });
    EXPECT_EQ(2, dialog.extraClicks);
}

TEST(CDialogModal, EndDialogInOnInitDialogSkipsTheLoop) {
    TestDialog dialog;
    dialog.endInInit = IDCANCEL;
    bool scriptRan = false;
    static bool* ran = nullptr;
    ran = &scriptRan;
    EXPECT_EQ(IDCANCEL, RunModal(dialog, [](CDialog&) { *ran = true; }));
    EXPECT_FALSE(scriptRan);
    EXPECT_EQ(nullptr, dialog.m_hWnd);
}

TEST(CDialogModal, AnEnabledParentIsDisabledMeanwhileAndEnabledAfterwards) {
    HWND parentWnd = MakeTopWindow();
    ASSERT_NE(nullptr, parentWnd);
    TestDialog dialog(CWnd::FromHandle(parentWnd));
    static HWND parent = nullptr;
    parent = parentWnd;
    static bool enabledDuring = true;
    RunModal(dialog, [](CDialog& d) {
        enabledDuring = IsWindowEnabled(parent) != FALSE;
        EXPECT_EQ(parent, GetWindow(d.m_hWnd, GW_OWNER));
        d.PostMessage(kEndWith42);
    });
    EXPECT_FALSE(enabledDuring);
    EXPECT_TRUE(IsWindowEnabled(parentWnd));
    DestroyWindow(parentWnd);
}

TEST(CDialogModal, AParentDisabledBeforeStaysDisabled) {
    HWND parentWnd = MakeTopWindow();
    EnableWindow(parentWnd, FALSE);
    TestDialog dialog(CWnd::FromHandle(parentWnd));
    RunModal(dialog, [](CDialog& d) { d.PostMessage(kEndWith42); });
    EXPECT_FALSE(IsWindowEnabled(parentWnd));
    DestroyWindow(parentWnd);
}

TEST(CDialogModal, AnExceptionOfAHandlerEndsTheLoopAndReachesTheCaller) {
    HWND parentWnd = MakeTopWindow();
    {
        TestDialog dialog(CWnd::FromHandle(parentWnd));
        dialog.throwInOk = true;
        EXPECT_THROW(RunModal(dialog, [](CDialog& d) { PressButton(d, IDOK); }),
                     std::runtime_error);
        EXPECT_EQ(nullptr, dialog.m_hWnd);
        EXPECT_TRUE(IsWindowEnabled(parentWnd));
    }
    {
        TestDialog dialog(CWnd::FromHandle(parentWnd));
        EXPECT_THROW(RunModal(dialog, [](CDialog& d) { d.PostMessage(WM_APP + 5); }),
                     std::runtime_error);
        EXPECT_EQ(nullptr, dialog.m_hWnd);
        EXPECT_TRUE(IsWindowEnabled(parentWnd));
    }
    DestroyWindow(parentWnd);
}

TEST(CDialogModal, AMissingTemplateGivesMinusOneAndEnablesTheParentAgain) {
    HWND parentWnd = MakeTopWindow();
    TestDialog dialog(CWnd::FromHandle(parentWnd), IDD_MISSING);
    EXPECT_EQ(-1, dialog.DoModal());
    EXPECT_TRUE(IsWindowEnabled(parentWnd));
    DestroyWindow(parentWnd);
}

class BindingDialog : public CDialog {
  public:
    BindingDialog() : CDialog(IDD_FRAMEWORK_TEST, nullptr) {}
    CWnd edit;

  protected:
    void DoDataExchange(CDataExchange* dx) override { DDX_Control(dx, IDC_TEST_EDIT, edit); }
};

TEST(CDialogModeless, CreateBindsControlsUntilTheWindowIsDestroyed) {
    BindingDialog dialog;
    ASSERT_TRUE(dialog.Create(IDD_FRAMEWORK_TEST, nullptr));
    EXPECT_FALSE(dialog.IsWindowVisible());
    HWND editWnd = GetDlgItem(dialog.m_hWnd, IDC_TEST_EDIT);
    EXPECT_EQ(editWnd, dialog.edit.m_hWnd);
    EXPECT_EQ(&dialog.edit, CWnd::FromHandle(editWnd));
    EXPECT_EQ(&dialog, CWnd::FromHandle(dialog.m_hWnd));

    dialog.ShowWindow(SW_SHOW);
    dialog.EndDialog(1);
    EXPECT_EQ(1, dialog.GetModalResult());
    EXPECT_FALSE(dialog.IsWindowVisible());
    ASSERT_NE(nullptr, dialog.m_hWnd);

    HWND dialogWnd = dialog.m_hWnd;
    EXPECT_TRUE(dialog.DestroyWindow());
    EXPECT_FALSE(IsWindow(dialogWnd));
    EXPECT_EQ(nullptr, dialog.m_hWnd);
    EXPECT_EQ(nullptr, dialog.edit.m_hWnd);
}

TEST(CDialogModeless, DestroyingTheObjectDestroysItsWindow) {
    HWND dialogWnd = nullptr;
    {
        BindingDialog dialog;
        ASSERT_TRUE(dialog.Create(IDD_FRAMEWORK_TEST, nullptr));
        dialogWnd = dialog.m_hWnd;
    }
    EXPECT_FALSE(IsWindow(dialogWnd));
}

TEST(CWnd, FromHandleWrapsForeignHandlesAndNull) {
    EXPECT_EQ(nullptr, CWnd::FromHandle(nullptr));
    HWND foreign = reinterpret_cast<HWND>(static_cast<intptr_t>(1234));
    CWnd* wrapper = CWnd::FromHandle(foreign);
    ASSERT_NE(nullptr, wrapper);
    EXPECT_EQ(foreign, wrapper->m_hWnd);
    EXPECT_EQ(wrapper, CWnd::FromHandle(foreign));
    EXPECT_EQ(nullptr, CWnd::SafeHandle(nullptr));
}

// ---- controls and common dialogs ------------------------------------------------------

TEST(CProgressCtrl, SendsRangeStepAndPosition) {
    BindingDialog dialog;
    ASSERT_TRUE(dialog.Create(IDD_FRAMEWORK_TEST, nullptr));
    HWND bar = CreateWindowA("msctls_progress32", "", WS_CHILD | WS_VISIBLE, 0, 0, 100, 10,
                             dialog.m_hWnd, nullptr, GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(nullptr, bar);
    CProgressCtrl progress;
    ASSERT_TRUE(progress.Attach(bar));
    progress.SetRange(0, 1000);
    PBRANGE range = {};
    SendMessageA(bar, PBM_GETRANGE, FALSE, reinterpret_cast<LPARAM>(&range));
    EXPECT_EQ(0, range.iLow);
    EXPECT_EQ(1000, range.iHigh);
    EXPECT_EQ(10, progress.SetStep(7));  // the control's own default step is 10
    progress.SetPos(20);
    progress.StepIt();
    EXPECT_EQ(27, progress.GetPos());
    progress.Detach();
}

TEST(CFileDialog, ConvertsTheFilterAndKeepsTheOptions) {
    CFileDialog dialog(FALSE, "XML", "out.xml", 0x180C, "Xml Files (*.xml)|*.xml||");
    const char expected[] = "Xml Files (*.xml)\0*.xml\0\0";
    ASSERT_NE(nullptr, dialog.m_ofn.lpstrFilter);
    EXPECT_EQ(0, memcmp(expected, dialog.m_ofn.lpstrFilter, sizeof(expected)));
    EXPECT_EQ(0x180Cu, dialog.m_ofn.Flags);
    EXPECT_STREQ("XML", dialog.m_ofn.lpstrDefExt);
    EXPECT_STREQ("out.xml", dialog.m_ofn.lpstrFile);
    EXPECT_EQ(static_cast<DWORD>(MAX_PATH), dialog.m_ofn.nMaxFile);
    EXPECT_EQ("out.xml", dialog.GetPathName());
}

TEST(CFileDialog, AFilterBarInsideADoubleByteCharacterIsNoSeparator) {
    // 0x83 0x7C is one character whose second byte has the value of '|'.
    CFileDialog dialog(FALSE, nullptr, nullptr, 0, "\x83\x7C (*.xml)|*.xml||");
    const char expected[] = "\x83\x7C (*.xml)\0*.xml\0\0";
    EXPECT_EQ(0, memcmp(expected, dialog.m_ofn.lpstrFilter, sizeof(expected)));
}

TEST(CFileDialog, ALongProposedNameIsCutAtACharacterBoundary) {
    std::string name(MAX_PATH - 2, 'a');
    name += "\x95\x5C";  // a double-byte character across the last place of the buffer
    CFileDialog dialog(FALSE, nullptr, name.c_str(), 0, nullptr);
    EXPECT_EQ(std::string(MAX_PATH - 2, 'a'), dialog.GetPathName());
    EXPECT_EQ(nullptr, dialog.m_ofn.lpstrFilter);
}

}  // namespace
