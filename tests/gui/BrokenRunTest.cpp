// A run that an exception breaks off inside the conditions dialog: the host is told that
// the run failed, never that it completed. The application object runs in a copy of this
// test, started beside the receiving product's definition file that the run checks for.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdlib>
#include <stdexcept>
#include <string>

#include "app/LinkApp.h"
#include "common/Ui.h"
#include "framework/Dialog.h"
#include "host_standin/HostStandIn.h"
#include "support/Scratch.h"
#include "support/Seams.h"
#include "tools/window-driver/WindowDriver.h"

namespace {

constexpr UINT kCompletion = WM_APP + 1;
const char kChildVariable[] = "VELNOR_BROKEN_RUN_CHILD";

const char kHostData[] =
    R"({"user": {"id": "u", "selected": [1, 3]},
        "dataSets": [{"id": "D3", "number": 3, "periodStart": 20240401, "periodEnd": 20250331}]})";

int CountBox(velnor::WindowHandle, const char*, const char*, unsigned) {
    ADD_FAILURE() << "no message was expected";
    return velnor::kIdOk;
}

// In the copy: the run, with this process's own window playing the host window.
TEST(BrokenRunChild, PostsFailed) {
    if (std::getenv(kChildVariable) == nullptr) GTEST_SKIP() << "runs in the copy only";
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = DefWindowProcA;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = "BrokenRunHost";
    RegisterClassA(&windowClass);
    HWND host = CreateWindowA("BrokenRunHost", "host", WS_OVERLAPPEDWINDOW, 0, 0, 200, 100, nullptr,
                              nullptr, GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(nullptr, host);
    ASSERT_EQ("", hoststandin::LoadFromString(kHostData));
    const velnor_test::MessageBoxHookGuard boxes(CountBox);
    const velnor_test::HostMessageBoxHookGuard hostBoxes(CountBox);
    fw::CDialog::SetModalStartHook([](fw::CDialog&) { throw std::runtime_error("broken off"); });

    ClLinkApp app;
    const std::string fields = std::to_string(static_cast<long>(reinterpret_cast<LONG_PTR>(host))) +
                               "," + std::to_string(kCompletion) + ",2,";
    fw::AfxWinMain(GetModuleHandleA(nullptr), fields.c_str(), SW_SHOW);

    EXPECT_EQ(2, app.GetResultCode());
    MSG msg;
    ASSERT_TRUE(PeekMessageA(&msg, host, kCompletion, kCompletion, PM_REMOVE));
    EXPECT_EQ(2, msg.lParam);
    EXPECT_FALSE(PeekMessageA(&msg, host, kCompletion, kCompletion, PM_REMOVE));
    EXPECT_TRUE(IsWindowEnabled(host));
    DestroyWindow(host);
}

TEST(BrokenRun, AnExceptionInTheConditionsDialogPostsFailed) {
    char self[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, self, MAX_PATH);
    const velnor_test::ScratchFolder scratch("broken");
    const std::string& folder = scratch.path();
    const std::string copy = folder + "broken_run.exe";
    ASSERT_TRUE(CopyFileA(self, copy.c_str(), FALSE));
    ASSERT_TRUE(
        velnor_test::WriteFile(folder + "MerovinDef.ini", "[ProgramLevel]\r\nMV14_G=2\r\n"));

    SetEnvironmentVariableA(kChildVariable, "1");
    HANDLE child = guidriver::StartProcess(
        "\"" + copy + "\" --gtest_filter=BrokenRunChild.* --gtest_color=no", folder + "out.txt");
    SetEnvironmentVariableA(kChildVariable, nullptr);
    ASSERT_NE(nullptr, child);
    ASSERT_EQ(WAIT_OBJECT_0, WaitForSingleObject(child, 60000));
    DWORD code = 1;
    GetExitCodeProcess(child, &code);
    CloseHandle(child);
    const std::string output = velnor_test::ReadFile(folder + "out.txt");
    EXPECT_EQ(0u, code) << output;
    EXPECT_NE(std::string::npos, output.find("[       OK ] BrokenRunChild.PostsFailed")) << output;
}

}  // namespace
