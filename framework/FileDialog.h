// The system's open and save file dialogs (GetOpenFileNameA / GetSaveFileNameA).
#pragma once

#include <windows.h>
// After windows.h, which leaves it out under WIN32_LEAN_AND_MEAN.
#include <commdlg.h>

#include <string>

#include "framework/Wnd.h"

namespace fw {

class CFileDialog {
  public:
    // `filter` in the framework's form: "Text (*.xml)|*.xml||". `fileName` is the
    // proposed name, cut to the 260-byte name buffer. Options go to OPENFILENAMEA::Flags.
    CFileDialog(BOOL openFileDialog, const char* defaultExt = nullptr,
                const char* fileName = nullptr, DWORD flags = 0, const char* filter = nullptr,
                CWnd* parent = nullptr);
    CFileDialog(const CFileDialog&) = delete;
    CFileDialog& operator=(const CFileDialog&) = delete;

    // IDOK when the user confirmed a name, IDCANCEL otherwise (also when the dialog could
    // not open; CommDlgExtendedError then tells why).
    INT_PTR DoModal();
    std::string GetPathName() const { return m_szFileName; }

    // Set the title (lpstrTitle) and initial folder (lpstrInitialDir) here before DoModal;
    // the texts they point to must outlive the call.
    OPENFILENAMEA m_ofn;

  private:
    BOOL m_bOpenFileDialog;
    std::string m_filter;  // with NUL separators
    std::string m_defaultExt;
    char m_szFileName[MAX_PATH];
};

}  // namespace fw
