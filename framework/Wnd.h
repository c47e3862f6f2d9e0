// The framework's window object: a thin wrapper of a window handle. Dialogs and bound
// controls are permanent objects that know their handle while the window lives; any
// other handle (the host's window, a control fetched by id) gets a temporary wrapper
// from FromHandle that holds nothing but the handle.
#pragma once

#include <windows.h>

#include <string>

namespace fw {

class CWnd {
  public:
    CWnd() = default;
    virtual ~CWnd();
    CWnd(const CWnd&) = delete;
    CWnd& operator=(const CWnd&) = delete;

    // The object for `hWnd`: the permanent object when one is attached, otherwise a
    // temporary wrapper that lives until the program ends. Null for a null handle.
    // Handles are not validated, as Win32 does not validate them either.
    static CWnd* FromHandle(HWND hWnd);

    HWND GetSafeHwnd() const { return m_hWnd; }
    // The handle of `wnd`, or null when there is no object.
    static HWND SafeHandle(const CWnd* wnd) { return wnd != nullptr ? wnd->m_hWnd : nullptr; }

    // Makes this object the permanent one for `hWnd` (a control bound by DDX_Control).
    // False when the object already has a window or the handle is null.
    bool Attach(HWND hWnd);
    HWND Detach();

    // Called for every message of a modal loop this window runs (see CDialog::DoModal);
    // true consumes the message.
    virtual BOOL PreTranslateMessage(MSG* msg);

    void SetWindowText(const char* text);
    std::string GetWindowTextString() const;
    BOOL EnableWindow(BOOL enable = TRUE);
    BOOL IsWindowEnabled() const;
    BOOL IsWindowVisible() const;
    BOOL ShowWindow(int cmdShow);
    void UpdateWindow();
    void BringWindowToTop();
    BOOL SetForegroundWindow();
    CWnd* SetFocus();
    CWnd* SetParent(CWnd* newParent);
    CWnd* GetParent() const;
    LRESULT SendMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const;
    BOOL PostMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const;
    BOOL DestroyWindow();

    // Child control access by id.
    CWnd* GetDlgItem(int id) const;
    void SetDlgItemText(int id, const char* text);
    std::string GetDlgItemTextString(int id) const;
    void CheckDlgButton(int id, UINT check);
    UINT IsDlgButtonChecked(int id) const;
    void CheckRadioButton(int firstId, int lastId, int checkId);
    LRESULT SendDlgItemMessage(int id, UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const;

    HWND m_hWnd = nullptr;
};

}  // namespace fw
