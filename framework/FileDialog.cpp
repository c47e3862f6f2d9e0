#include "framework/FileDialog.h"

#include <cstring>

#include "common/Sjis.h"
#include "framework/WinApp.h"

namespace fw {

CFileDialog::CFileDialog(BOOL openFileDialog, const char* defaultExt, const char* fileName,
                         DWORD flags, const char* filter, CWnd* parent)
    : m_ofn(), m_bOpenFileDialog(openFileDialog), m_szFileName() {
    if (fileName != nullptr) {
        size_t length = velnor::SjisCutLength(fileName, std::strlen(fileName), MAX_PATH - 1);
        std::memcpy(m_szFileName, fileName, length);
        m_szFileName[length] = '\0';
    }
    if (filter != nullptr) {
        // '|' separates; a '|' that is the second byte of a double-byte character does not.
        for (const char* p = filter; *p != '\0'; ++p) {
            if (velnor::IsSjisLeadByte(static_cast<unsigned char>(*p)) && p[1] != '\0') {
                m_filter.push_back(*p++);
                m_filter.push_back(*p);
            } else {
                m_filter.push_back(*p == '|' ? '\0' : *p);
            }
        }
        m_filter.append(2, '\0');
    }
    if (defaultExt != nullptr) m_defaultExt = defaultExt;

    m_ofn.lStructSize = sizeof(m_ofn);
    m_ofn.hwndOwner = CWnd::SafeHandle(parent);
    m_ofn.hInstance = AfxGetInstanceHandle();
    m_ofn.lpstrFilter = m_filter.empty() ? nullptr : m_filter.c_str();
    m_ofn.nFilterIndex = 1;
    m_ofn.lpstrFile = m_szFileName;
    m_ofn.nMaxFile = MAX_PATH;
    m_ofn.lpstrDefExt = defaultExt != nullptr ? m_defaultExt.c_str() : nullptr;
    m_ofn.Flags = flags;
}

INT_PTR CFileDialog::DoModal() {
    BOOL confirmed = m_bOpenFileDialog ? ::GetOpenFileNameA(&m_ofn) : ::GetSaveFileNameA(&m_ofn);
    if (!confirmed) return IDCANCEL;
    m_szFileName[MAX_PATH - 1] = '\0';
    return IDOK;
}

}  // namespace fw
