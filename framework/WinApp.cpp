#include "framework/WinApp.h"

#include <exception>

namespace fw {

namespace {

CWinApp* g_app = nullptr;

void ReportToDebugger(const char* where, const char* what) {
    std::string text = std::string(where) + ": " + what + "\n";
    OutputDebugStringA(text.c_str());
}

}  // namespace

CWinApp::CWinApp(const char* appName) : m_pszAppName(appName) { g_app = this; }

CWinApp::~CWinApp() {
    if (g_app == this) g_app = nullptr;
}

BOOL CWinApp::InitInstance() { return FALSE; }

int CWinApp::ExitInstance() { return 0; }

void CWinApp::DoWaitCursor(int code) {
    m_nWaitCursorCount += code;
    if (m_nWaitCursorCount > 0) {
        HCURSOR previous = ::SetCursor(::LoadCursorA(nullptr, MAKEINTRESOURCEA(32514)));
        if (code > 0 && m_nWaitCursorCount == 1) m_hcurWaitCursorRestore = previous;
    } else {
        m_nWaitCursorCount = 0;
        ::SetCursor(m_hcurWaitCursorRestore);
    }
}

CWinApp* AfxGetApp() { return g_app; }

HINSTANCE AfxGetInstanceHandle() {
    if (g_app != nullptr && g_app->m_hInstance != nullptr) return g_app->m_hInstance;
    return ::GetModuleHandleA(nullptr);
}

HINSTANCE AfxGetResourceHandle() { return AfxGetInstanceHandle(); }

void AfxEnableControlContainer() {}

const char* AfxSkipProgramPath(const char* commandLine) {
    if (commandLine == nullptr) return "";
    const char* p = commandLine;
    if (*p == '"') {
        ++p;
        while (*p != '\0' && *p != '"') ++p;
        if (*p == '"') ++p;
    } else {
        while (*p != '\0' && *p != ' ' && *p != '\t') ++p;
    }
    while (*p == ' ' || *p == '\t') ++p;
    return p;
}

int AfxWinMain(HINSTANCE instance, const char* cmdLine, int cmdShow) {
    CWinApp* app = g_app;
    if (app == nullptr) return -1;
    app->m_hInstance = instance;
    app->m_cmdLine = cmdLine != nullptr ? cmdLine : AfxSkipProgramPath(::GetCommandLineA());
    app->m_lpCmdLine = app->m_cmdLine.c_str();
    app->m_nCmdShow = cmdShow;
    // Whatever InitInstance did, the exit processing must run: it is what gives the
    // host its window back.
    try {
        app->InitInstance();
    } catch (const std::exception& e) {
        ReportToDebugger("InitInstance", e.what());
    } catch (...) {
        ReportToDebugger("InitInstance", "unknown exception");
    }
    return app->ExitInstance();
}

CWaitCursor::CWaitCursor() {
    if (CWinApp* app = AfxGetApp()) app->BeginWaitCursor();
}

CWaitCursor::~CWaitCursor() {
    if (CWinApp* app = AfxGetApp()) app->EndWaitCursor();
}

void CWaitCursor::Restore() {
    if (CWinApp* app = AfxGetApp()) app->RestoreWaitCursor();
}

}  // namespace fw
