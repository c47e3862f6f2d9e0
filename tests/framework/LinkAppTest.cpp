// The application object in this process, against the stand-in host and a window of the
// test playing the host window: connection settings, the command line, the checks that
// end a run before any dialog, and the exit processing with the completion message.
// Runs that get past the compatibility check need the definition file beside the
// program: the GUI tests run those with copies of the real programs.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "app/LinkApp.h"
#include "app/ReceivingProduct.h"
#include "common/Edition.h"
#include "common/Ui.h"
#include "host/QelHost.h"
#include "host_standin/HostStandIn.h"
#include "support/Seams.h"

namespace {

constexpr UINT kCompletion = WM_APP + 1;

std::vector<std::string> g_enableLog;  // "disabled" / "enabled" as the host window saw it

struct Box {
    velnor::WindowHandle owner;
    std::string text;
    std::string caption;
    unsigned type;
    bool hostEnabled;
};
std::vector<Box> g_boxes;
HWND g_hostWindow = nullptr;

LRESULT CALLBACK HostProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_ENABLE) g_enableLog.push_back(wParam ? "enabled" : "disabled");
    return DefWindowProcA(hWnd, message, wParam, lParam);
}

int RecordBox(velnor::WindowHandle owner, const char* text, const char* caption, unsigned type) {
    g_boxes.push_back({owner, text, caption, type, IsWindowEnabled(g_hostWindow) != FALSE});
    return velnor::kIdOk;
}

struct Posted {
    int count = 0;
    WPARAM wParam = 0;
    LPARAM lParam = 0;
};

class LinkAppRun : public ::testing::Test {
  protected:
    void SetUp() override {
        WNDCLASSA windowClass = {};
        windowClass.lpfnWndProc = HostProc;
        windowClass.hInstance = GetModuleHandleA(nullptr);
        windowClass.lpszClassName = "LinkAppTestHost";
        RegisterClassA(&windowClass);
        host = CreateWindowA("LinkAppTestHost", "host", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 200,
                             100, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
        ASSERT_NE(nullptr, host);
        g_hostWindow = host;
        g_enableLog.clear();
        g_boxes.clear();
        hoststandin::Reset();
        ClQelConnect::Inst()->m_hOwnerWnd = nullptr;
        ClQelConnect::Inst()->m_strTitle.clear();
    }
    void TearDown() override { DestroyWindow(host); }

    // The text the host puts after the program's path.
    std::string HostFields(const std::string& functionId, const std::string& output = "") {
        return std::to_string(static_cast<long>(reinterpret_cast<LONG_PTR>(host))) + "," +
               std::to_string(kCompletion) + "," + functionId + "," + output;
    }

    Posted Run(ClLinkApp& app, const std::string& json, const std::string& commandLine) {
        EXPECT_EQ("", hoststandin::LoadFromString(json));
        EXPECT_EQ(&app, fw::AfxGetApp());
        EXPECT_EQ(0, fw::AfxWinMain(GetModuleHandleA(nullptr), commandLine.c_str(), SW_SHOW));
        Posted posted;
        MSG msg;
        while (PeekMessageA(&msg, host, kCompletion, kCompletion, PM_REMOVE)) {
            ++posted.count;
            posted.wParam = msg.wParam;
            posted.lParam = msg.lParam;
        }
        return posted;
    }

    std::vector<std::string> LogKinds() {
        std::vector<std::string> kinds;
        for (const hoststandin::LogRecord& record : hoststandin::Log())
            kinds.push_back(record.kind);
        return kinds;
    }

    static bool DefinitionFileBesideUs() {
        char module[MAX_PATH] = {};
        GetModuleFileNameA(nullptr, module, MAX_PATH);
        char path[velnor::kDefinitionPathSize] = {};
        return velnor::BuildDefinitionFilePath(module, path, sizeof(path)) &&
               GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES;
    }

    HWND host = nullptr;
    velnor_test::MessageBoxHookGuard hook_{RecordBox};
    velnor_test::HostMessageBoxHookGuard hostHook_{RecordBox};
};

const char kOneSet[] =
    R"({"user": {"id": "u", "selected": [1, 3]},
        "dataSets": [{"id": "D3", "number": 3, "periodStart": 20240401, "periodEnd": 20250331}]})";
const char kInitiateFails[] =
    R"({"link": {"initiate": 17},
        "dataSets": [{"id": "D3", "number": 3, "periodStart": 20240401, "periodEnd": 20250331}]})";

TEST_F(LinkAppRun, HandsTheConnectionItsSettingsAndDisconnectsInOrder) {
    ClLinkApp app;
    Run(app, kInitiateFails, "");
    EXPECT_EQ(velnor::kTitleText, ClQelConnect::Inst()->m_strTitle);
    EXPECT_EQ(velnor::CurrentEdition().appType, hoststandin::AppType());
    EXPECT_EQ(3, hoststandin::AppType());  // this test is linked as the PRO edition
    EXPECT_EQ(2, hoststandin::UseDataType());
    EXPECT_EQ((std::vector<std::string>{"LogOut", "Terminate", "Release"}), LogKinds());
}

TEST_F(LinkAppRun, InitiateFailingLeavesTheHostWindowAloneAndPostsNothing) {
    ClLinkApp app;
    Posted posted = Run(app, kInitiateFails, HostFields("5"));
    EXPECT_EQ(0, posted.count);
    EXPECT_TRUE(g_enableLog.empty());
    EXPECT_TRUE(IsWindowEnabled(host));
    EXPECT_EQ(0, app.GetResultCode());
    EXPECT_FALSE(app.IsLaunchedByHost());
    EXPECT_EQ(2, app.GetFunctionId());
    EXPECT_TRUE(g_boxes.empty());
    EXPECT_EQ((std::vector<std::string>{"LogOut", "Terminate", "Release"}), LogKinds());
}

TEST_F(LinkAppRun, ARefusedReceivingProductIsShownWhileTheHostWaitsAndPostsFailed) {
    if (DefinitionFileBesideUs()) GTEST_SKIP() << "a definition file lies beside the test";
    ClLinkApp app;
    Posted posted = Run(app, kOneSet, HostFields("5"));
    ASSERT_EQ(1u, g_boxes.size());
    EXPECT_EQ(nullptr, g_boxes[0].owner);
    EXPECT_EQ(velnor::kTitleText, g_boxes[0].caption);
    EXPECT_EQ(0x30u, g_boxes[0].type);
    EXPECT_EQ(velnor::ReceivingStatusMessage(velnor::kReceivingBadEnvironment), g_boxes[0].text);
    EXPECT_FALSE(g_boxes[0].hostEnabled);
    EXPECT_EQ(host, ClQelConnect::Inst()->m_hOwnerWnd);

    EXPECT_EQ(1, posted.count);
    EXPECT_EQ(5u, posted.wParam);
    EXPECT_EQ(2, posted.lParam);
    EXPECT_EQ((std::vector<std::string>{"disabled", "enabled"}), g_enableLog);
    EXPECT_TRUE(IsWindowEnabled(host));
    EXPECT_EQ((std::vector<std::string>{"DispMsg", "LogOut", "Terminate", "Release"}), LogKinds());
}

struct CommandLineCase {
    std::string name;
    std::string functionId;
    std::string output;
    WPARAM wParam;
    int16_t functionIdStored;
};

TEST_F(LinkAppRun, TheFunctionIdGoesBackAsA32BitValue) {
    if (DefinitionFileBesideUs()) GTEST_SKIP() << "a definition file lies beside the test";
    const CommandLineCase cases[] = {
        {"default-like", "2", "", 2u, 2},
        {"65535 is -1", "65535", "", 0xFFFFFFFFu, -1},
        {"-2", "-2", "", 0xFFFFFFFEu, -2},
        {"32768", "32768", "", 0xFFFF8000u, -32768},
        {"65538 keeps 16 bits", "65538", "", 2u, 2},
        {"not a number", "abc", "C:\\out.xml", 0u, 0},
        {"a long fixed path", "7", "C:\\" + std::string(3000, 'd') + "\\out,with,commas.xml", 7u,
         7},
    };
    for (const CommandLineCase& c : cases) {
        hoststandin::Reset();
        g_enableLog.clear();
        ClLinkApp app;
        Posted posted = Run(app, kOneSet, HostFields(c.functionId, c.output));
        EXPECT_EQ(1, posted.count) << c.name;
        EXPECT_EQ(c.wParam, posted.wParam) << c.name;
        EXPECT_EQ(2, posted.lParam) << c.name;
        EXPECT_EQ(c.functionIdStored, app.GetFunctionId()) << c.name;
        EXPECT_EQ(c.output, app.GetFixedOutputPath()) << c.name;
        EXPECT_TRUE(app.IsLaunchedByHost()) << c.name;
    }
}

TEST_F(LinkAppRun, AnIncompleteCommandLineRunsStandAlone) {
    if (DefinitionFileBesideUs()) GTEST_SKIP() << "a definition file lies beside the test";
    const std::string handle = std::to_string(static_cast<long>(reinterpret_cast<LONG_PTR>(host)));
    for (const std::string& line :
         {std::string(), handle + "," + std::to_string(kCompletion) + ",5", handle + ",",
          std::string("garbage")}) {
        hoststandin::Reset();
        g_boxes.clear();
        ClLinkApp app;
        Posted posted = Run(app, kOneSet, line);
        EXPECT_EQ(0, posted.count) << line;
        EXPECT_TRUE(g_enableLog.empty()) << line;
        EXPECT_FALSE(app.IsLaunchedByHost()) << line;
        EXPECT_EQ(2, app.GetFunctionId()) << line;
        EXPECT_EQ(2, app.GetResultCode()) << line;
        ASSERT_EQ(1u, g_boxes.size()) << line;
        EXPECT_EQ(nullptr, ClQelConnect::Inst()->m_hOwnerWnd) << line;
    }
}

}  // namespace
