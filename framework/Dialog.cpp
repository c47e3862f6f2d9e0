#include "framework/Dialog.h"

#include <commctrl.h>

#include <vector>

#include "framework/WinApp.h"

namespace fw {

namespace {

CDialog::ModalStartHook g_modalStartHook = nullptr;

// The progress bars of the templates need their window class registered.
void EnsureCommonControls() {
    static const bool registered = [] {
        INITCOMMONCONTROLSEX controls = {sizeof(controls),
                                         ICC_PROGRESS_CLASS | ICC_STANDARD_CLASSES};
        return ::InitCommonControlsEx(&controls) != FALSE;
    }();
    (void)registered;
}

void ReportToDebugger(const char* what) {
    std::string text = std::string("dialog handler: ") + what + "\n";
    OutputDebugStringA(text.c_str());
}

}  // namespace

HWND CDataExchange::PrepareCtrl(int id) const {
    if (m_pDlgWnd == nullptr || m_pDlgWnd->m_hWnd == nullptr) return nullptr;
    return ::GetDlgItem(m_pDlgWnd->m_hWnd, id);
}

void DDX_Text(CDataExchange* dx, int id, std::string& value) {
    HWND control = dx->PrepareCtrl(id);
    if (control == nullptr) return;
    if (dx->m_bSaveAndValidate) {
        value = CWnd::FromHandle(control)->GetWindowTextString();
    } else {
        ::SetWindowTextA(control, value.c_str());
    }
}

void DDX_Control(CDataExchange* dx, int id, CWnd& control) {
    if (control.m_hWnd != nullptr) return;
    HWND handle = dx->PrepareCtrl(id);
    if (handle != nullptr && control.Attach(handle)) {
        dx->m_pDlgWnd->m_boundControls.push_back(handle);
    }
}

CDialog::CDialog(UINT templateId, CWnd* parent) : m_nTemplateId(templateId), m_pParentWnd(parent) {}

CDialog::CDialog() = default;

CDialog::~CDialog() {
    HWND hWnd = m_hWnd;
    if (hWnd == nullptr) return;
    // The derived parts are gone: let no message reach this object any more.
    ::SetWindowLongPtrA(hWnd, DWLP_USER, 0);
    ReleaseWindow();
    ::DestroyWindow(hWnd);
}

void CDialog::ReleaseWindow() {
    for (HWND control : m_boundControls) {
        CWnd* bound = CWnd::FromHandle(control);
        if (bound != nullptr && bound->m_hWnd == control) bound->Detach();
    }
    m_boundControls.clear();
    Detach();
}

CDialog::ModalStartHook CDialog::SetModalStartHook(ModalStartHook hook) {
    ModalStartHook previous = g_modalStartHook;
    g_modalStartHook = hook;
    return previous;
}

HWND CDialog::CreateFromTemplate(UINT templateId, HWND parent) {
    EnsureCommonControls();
    m_nTemplateId = templateId;
    m_pendingException = nullptr;
    return ::CreateDialogParamA(AfxGetResourceHandle(), MAKEINTRESOURCEA(templateId), parent,
                                DialogProc, reinterpret_cast<LPARAM>(this));
}

INT_PTR CDialog::DoModal() {
    HWND parent = SafeHandle(m_pParentWnd);
    // A parent that is already disabled (the host window during a host-bound run) is
    // left for its owner to enable again.
    bool enableParent = false;
    if (parent != nullptr && ::IsWindowEnabled(parent)) {
        ::EnableWindow(parent, FALSE);
        enableParent = true;
    }

    m_nModalResult = -1;
    m_bContinueModal = true;
    HWND hWnd = CreateFromTemplate(m_nTemplateId, parent);
    if (hWnd != nullptr && m_bContinueModal) {
        if (!::IsWindowVisible(hWnd)) ::ShowWindow(hWnd, SW_SHOWNORMAL);
        if (g_modalStartHook != nullptr) g_modalStartHook(*this);
        RunModalLoop();
    }
    m_bContinueModal = false;

    if (m_hWnd != nullptr) {
        ::SetWindowPos(m_hWnd, nullptr, 0, 0, 0, 0,
                       SWP_HIDEWINDOW | SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE | SWP_NOZORDER);
    }
    if (enableParent) ::EnableWindow(parent, TRUE);
    if (parent != nullptr && m_hWnd != nullptr && ::GetActiveWindow() == m_hWnd) {
        ::SetActiveWindow(parent);
    }
    if (m_hWnd != nullptr) DestroyWindow();

    if (m_pendingException) {
        std::exception_ptr pending = m_pendingException;
        m_pendingException = nullptr;
        std::rethrow_exception(pending);
    }
    return m_nModalResult;
}

void CDialog::RunModalLoop() {
    MSG msg;
    while (m_bContinueModal) {
        BOOL got = ::GetMessageA(&msg, nullptr, 0, 0);
        if (got == 0) {
            // WM_QUIT belongs to the outer loop: hand it back and give up the dialog.
            ::PostQuitMessage(static_cast<int>(msg.wParam));
            m_nModalResult = -1;
            break;
        }
        if (got == -1) break;
        try {
            if (!PreTranslateMessage(&msg)) {
                ::TranslateMessage(&msg);
                ::DispatchMessageA(&msg);
            }
        } catch (...) {
            m_pendingException = std::current_exception();
            m_bContinueModal = false;
        }
    }
}

BOOL CDialog::Create(UINT templateId, CWnd* parent) {
    m_pParentWnd = parent;
    m_nModalResult = -1;
    m_bContinueModal = false;
    HWND hWnd = CreateFromTemplate(templateId, SafeHandle(parent));
    if (m_pendingException) {
        std::exception_ptr pending = m_pendingException;
        m_pendingException = nullptr;
        if (hWnd != nullptr) DestroyWindow();
        std::rethrow_exception(pending);
    }
    return hWnd != nullptr;
}

void CDialog::EndDialog(int result) {
    m_nModalResult = result;
    if (m_bContinueModal) {
        m_bContinueModal = false;
        PostMessage(WM_NULL);
        return;
    }
    // Not ::EndDialog: on a window that was not made by DialogBox it may enable the
    // owner, and the host window must stay disabled until the program ends.
    if (m_hWnd != nullptr) {
        ::SetWindowPos(m_hWnd, nullptr, 0, 0, 0, 0,
                       SWP_HIDEWINDOW | SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE | SWP_NOZORDER);
    }
}

BOOL CDialog::UpdateData(BOOL saveAndValidate) {
    CDataExchange dx(this, saveAndValidate);
    DoDataExchange(&dx);
    return TRUE;
}

void CDialog::GotoDlgCtrl(CWnd* control) {
    HWND handle = SafeHandle(control);
    if (handle != nullptr) SendMessage(WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(handle), TRUE);
}

void CDialog::NextDlgCtrl() const { SendMessage(WM_NEXTDLGCTL, 0, 0); }

BOOL CDialog::PreTranslateMessage(MSG* msg) {
    bool keyboard = msg->message >= WM_KEYFIRST && msg->message <= WM_KEYLAST;
    bool mouse = msg->message >= WM_MOUSEFIRST && msg->message <= WM_MOUSELAST;
    if ((!keyboard && !mouse) || m_hWnd == nullptr) return FALSE;
    return ::IsDialogMessageA(m_hWnd, msg);
}

void CDialog::DoDataExchange(CDataExchange*) {}

BOOL CDialog::OnInitDialog() {
    UpdateData(FALSE);
    return TRUE;
}

void CDialog::OnOK() {
    if (!UpdateData(TRUE)) return;
    EndDialog(IDOK);
}

void CDialog::OnCancel() { EndDialog(IDCANCEL); }

BOOL CDialog::OnCommand(WPARAM wParam, LPARAM) {
    if (HIWORD(wParam) != BN_CLICKED) return FALSE;
    switch (LOWORD(wParam)) {
        case IDOK:
            OnOK();
            return TRUE;
        case IDCANCEL:
            OnCancel();
            return TRUE;
        default:
            return FALSE;
    }
}

BOOL CDialog::OnMessage(UINT, WPARAM, LPARAM, INT_PTR*) { return FALSE; }

INT_PTR CDialog::Dispatch(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_INITDIALOG:
            return OnInitDialog();
        case WM_COMMAND:
            return OnCommand(wParam, lParam);
        case WM_NCDESTROY: {
            INT_PTR result = 0;
            OnMessage(message, wParam, lParam, &result);
            return FALSE;
        }
        default: {
            INT_PTR result = 0;
            return OnMessage(message, wParam, lParam, &result) ? result : FALSE;
        }
    }
}

INT_PTR CALLBACK CDialog::DialogProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam) {
    CDialog* self = nullptr;
    if (message == WM_INITDIALOG) {
        self = reinterpret_cast<CDialog*>(lParam);
        ::SetWindowLongPtrA(hWnd, DWLP_USER, reinterpret_cast<LONG_PTR>(self));
        self->Attach(hWnd);
    } else {
        self = reinterpret_cast<CDialog*>(::GetWindowLongPtrA(hWnd, DWLP_USER));
    }
    if (self == nullptr) return FALSE;

    INT_PTR result = FALSE;
    try {
        result = self->Dispatch(message, wParam, lParam);
    } catch (const std::exception& e) {
        ReportToDebugger(e.what());
        self->m_pendingException = std::current_exception();
    } catch (...) {
        ReportToDebugger("unknown exception");
        self->m_pendingException = std::current_exception();
    }
    if (self->m_pendingException && self->m_bContinueModal) self->EndDialog(-1);

    if (message == WM_NCDESTROY) {
        ::SetWindowLongPtrA(hWnd, DWLP_USER, 0);
        self->ReleaseWindow();
    }
    return result;
}

}  // namespace fw
