// Dialogs from resource templates, modal and modeless, with data exchange.
//
// One window procedure serves every dialog: it stores `this` at WM_INITDIALOG and
// forwards to the virtual handlers below. No exception crosses it: one thrown by a
// handler ends a modal loop and is rethrown by DoModal (or by Create when it escaped
// OnInitDialog), after the window is gone.
#pragma once

#include <windows.h>

#include <exception>
#include <string>
#include <vector>

#include "framework/Wnd.h"

namespace fw {

class CDialog;

// What UpdateData hands to DoDataExchange: the direction and the dialog.
class CDataExchange {
  public:
    CDataExchange(CDialog* dialog, BOOL saveAndValidate)
        : m_bSaveAndValidate(saveAndValidate), m_pDlgWnd(dialog) {}
    // The control `id` of the dialog; null when there is none.
    HWND PrepareCtrl(int id) const;

    BOOL m_bSaveAndValidate;  // TRUE: controls to members; FALSE: members to controls
    CDialog* m_pDlgWnd;
};

// Text of control `id` to and from `value`. A missing control leaves `value` unchanged.
void DDX_Text(CDataExchange* dx, int id, std::string& value);
// Binds `control` to the dialog's control `id` the first time (loading only).
void DDX_Control(CDataExchange* dx, int id, CWnd& control);

class CDialog : public CWnd {
  public:
    // Template `templateId` of the program's resources; `parent` may be null.
    explicit CDialog(UINT templateId, CWnd* parent = nullptr);
    CDialog();
    ~CDialog() override;

    // Runs the dialog modally with the framework's own loop: the parent (when given and
    // enabled) is disabled meanwhile, and PreTranslateMessage sees every message.
    // Returns the value passed to EndDialog, or -1 when the dialog could not be created.
    virtual INT_PTR DoModal();
    // Creates the dialog modeless (shown only if the template says WS_VISIBLE).
    virtual BOOL Create(UINT templateId, CWnd* parent = nullptr);

    // Ends a modal loop with `result`, or hides a modeless dialog; the window lives on
    // until DoModal returns or DestroyWindow is called.
    void EndDialog(int result);
    int GetModalResult() const { return m_nModalResult; }

    // TRUE: controls to members; FALSE: members to controls.
    BOOL UpdateData(BOOL saveAndValidate = TRUE);

    // Moves the focus to `control` as the dialog manager does (selecting an edit's text).
    void GotoDlgCtrl(CWnd* control);
    void NextDlgCtrl() const;

    BOOL PreTranslateMessage(MSG* msg) override;

    // Tests: called once a modal dialog is shown, right before its loop starts.
    using ModalStartHook = void (*)(CDialog& dialog);
    static ModalStartHook SetModalStartHook(ModalStartHook hook);

  protected:
    virtual void DoDataExchange(CDataExchange* dx);
    // The framework's version loads the members into the controls and returns TRUE.
    virtual BOOL OnInitDialog();
    // The framework's version saves the controls into the members and ends with IDOK.
    virtual void OnOK();
    // The framework's version ends with IDCANCEL.
    virtual void OnCancel();
    // WM_COMMAND: IDOK and IDCANCEL go to OnOK and OnCancel. Override for the clicks of
    // other buttons (HIWORD(wParam) == BN_CLICKED, LOWORD(wParam) the id) and call this
    // for the rest. TRUE when handled.
    virtual BOOL OnCommand(WPARAM wParam, LPARAM lParam);
    // Any other message; TRUE with `*result` set when handled.
    virtual BOOL OnMessage(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR* result);

    UINT m_nTemplateId = 0;
    CWnd* m_pParentWnd = nullptr;

  private:
    static INT_PTR CALLBACK DialogProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);
    INT_PTR Dispatch(UINT message, WPARAM wParam, LPARAM lParam);
    HWND CreateFromTemplate(UINT templateId, HWND parent);
    void RunModalLoop();

    void ReleaseWindow();

    int m_nModalResult = -1;
    bool m_bContinueModal = false;
    std::exception_ptr m_pendingException;
    std::vector<HWND> m_boundControls;  // handles bound by DDX_Control, detached at the end

    friend void DDX_Control(CDataExchange* dx, int id, CWnd& control);
};

}  // namespace fw
