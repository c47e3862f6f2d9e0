// The one application object. The program derives from CWinApp, defines exactly one
// static instance, and lets its WinMain call AfxWinMain: InitInstance runs once, then
// ExitInstance runs once and its result is the exit code. There is no main window and
// no message loop of the application's own, so the program ends as soon as
// InitInstance returns, whatever it returned.
#pragma once

#include <windows.h>

#include <string>

namespace fw {

class CWinApp {
  public:
    explicit CWinApp(const char* appName = nullptr);
    virtual ~CWinApp();
    CWinApp(const CWinApp&) = delete;
    CWinApp& operator=(const CWinApp&) = delete;

    // The framework's own versions: InitInstance returns FALSE, ExitInstance 0.
    virtual BOOL InitInstance();
    virtual int ExitInstance();

    // Wait cursor, counted: the hourglass shows while the count is above zero.
    void BeginWaitCursor() { DoWaitCursor(1); }
    void EndWaitCursor() { DoWaitCursor(-1); }
    // Shows the hourglass again (after a message box replaced it) while the count is up.
    void RestoreWaitCursor() { DoWaitCursor(0); }
    virtual void DoWaitCursor(int code);
    int GetWaitCursorCount() const { return m_nWaitCursorCount; }

    HINSTANCE m_hInstance = nullptr;
    // The text of the command line after the program's path, whole, whatever its length.
    const char* m_lpCmdLine = "";
    int m_nCmdShow = SW_SHOWNORMAL;
    const char* m_pszAppName = nullptr;

  private:
    std::string m_cmdLine;
    int m_nWaitCursorCount = 0;
    HCURSOR m_hcurWaitCursorRestore = nullptr;

    friend int AfxWinMain(HINSTANCE, const char*, int);
};

// The application object, or null before it is constructed.
CWinApp* AfxGetApp();
HINSTANCE AfxGetInstanceHandle();
// Where dialog templates and strings are loaded from: the program's own module.
HINSTANCE AfxGetResourceHandle();

// There are no ActiveX controls in this program's dialogs; kept so that start-up reads
// as the framework expects.
void AfxEnableControlContainer();

// Runs the application object: stores the command-line text, calls InitInstance, then
// ExitInstance exactly once, and returns ExitInstance's result. An exception escaping
// InitInstance is reported to the debugger and counted as InitInstance returning FALSE,
// so the exit processing still runs. `cmdLine` null takes the process's command line.
int AfxWinMain(HINSTANCE instance, const char* cmdLine, int cmdShow);

// The part of a full command line after the program's path (quoted or not) and the
// blanks that follow it.
const char* AfxSkipProgramPath(const char* commandLine);

// RAII wait cursor for a block: begins in the constructor, ends in the destructor.
class CWaitCursor {
  public:
    CWaitCursor();
    ~CWaitCursor();
    CWaitCursor(const CWaitCursor&) = delete;
    CWaitCursor& operator=(const CWaitCursor&) = delete;
    void Restore();
};

}  // namespace fw
