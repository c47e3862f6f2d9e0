#include "framework/Wnd.h"

#include <memory>
#include <unordered_map>
#include <vector>

namespace fw {

namespace {

// Never freed: window objects may be looked up while static objects are destroyed.
std::unordered_map<HWND, CWnd*>& PermanentMap() {
    static auto* map = new std::unordered_map<HWND, CWnd*>();
    return *map;
}

std::unordered_map<HWND, std::unique_ptr<CWnd>>& TemporaryMap() {
    static auto* map = new std::unordered_map<HWND, std::unique_ptr<CWnd>>();
    return *map;
}

}  // namespace

CWnd::~CWnd() { Detach(); }

CWnd* CWnd::FromHandle(HWND hWnd) {
    if (hWnd == nullptr) return nullptr;
    auto permanent = PermanentMap().find(hWnd);
    if (permanent != PermanentMap().end()) return permanent->second;
    std::unique_ptr<CWnd>& temporary = TemporaryMap()[hWnd];
    if (!temporary) temporary = std::make_unique<CWnd>();
    temporary->m_hWnd = hWnd;
    return temporary.get();
}

bool CWnd::Attach(HWND hWnd) {
    if (m_hWnd != nullptr || hWnd == nullptr) return false;
    if (!PermanentMap().emplace(hWnd, this).second) return false;
    m_hWnd = hWnd;
    return true;
}

HWND CWnd::Detach() {
    HWND hWnd = m_hWnd;
    if (hWnd != nullptr) {
        auto it = PermanentMap().find(hWnd);
        if (it != PermanentMap().end() && it->second == this) PermanentMap().erase(it);
    }
    m_hWnd = nullptr;
    return hWnd;
}

BOOL CWnd::PreTranslateMessage(MSG*) { return FALSE; }

void CWnd::SetWindowText(const char* text) { ::SetWindowTextA(m_hWnd, text); }

std::string CWnd::GetWindowTextString() const {
    int length = ::GetWindowTextLengthA(m_hWnd);
    if (length <= 0) return std::string();
    std::vector<char> buffer(static_cast<size_t>(length) + 1, '\0');
    int copied = ::GetWindowTextA(m_hWnd, buffer.data(), length + 1);
    if (copied < 0) copied = 0;
    return std::string(buffer.data(), static_cast<size_t>(copied));
}

BOOL CWnd::EnableWindow(BOOL enable) { return ::EnableWindow(m_hWnd, enable); }
BOOL CWnd::IsWindowEnabled() const { return ::IsWindowEnabled(m_hWnd); }
BOOL CWnd::IsWindowVisible() const { return ::IsWindowVisible(m_hWnd); }
BOOL CWnd::ShowWindow(int cmdShow) { return ::ShowWindow(m_hWnd, cmdShow); }
void CWnd::UpdateWindow() { ::UpdateWindow(m_hWnd); }
void CWnd::BringWindowToTop() { ::BringWindowToTop(m_hWnd); }
BOOL CWnd::SetForegroundWindow() { return ::SetForegroundWindow(m_hWnd); }
CWnd* CWnd::SetFocus() { return FromHandle(::SetFocus(m_hWnd)); }

CWnd* CWnd::SetParent(CWnd* newParent) {
    return FromHandle(::SetParent(m_hWnd, SafeHandle(newParent)));
}

CWnd* CWnd::GetParent() const { return FromHandle(::GetParent(m_hWnd)); }

LRESULT CWnd::SendMessage(UINT message, WPARAM wParam, LPARAM lParam) const {
    return ::SendMessageA(m_hWnd, message, wParam, lParam);
}

BOOL CWnd::PostMessage(UINT message, WPARAM wParam, LPARAM lParam) const {
    return ::PostMessageA(m_hWnd, message, wParam, lParam);
}

BOOL CWnd::DestroyWindow() {
    HWND hWnd = m_hWnd;
    if (hWnd == nullptr) return FALSE;
    BOOL destroyed = ::DestroyWindow(hWnd);
    // A dialog has already let go of its handle at WM_NCDESTROY.
    if (destroyed && m_hWnd == hWnd) Detach();
    return destroyed;
}

CWnd* CWnd::GetDlgItem(int id) const { return FromHandle(::GetDlgItem(m_hWnd, id)); }

void CWnd::SetDlgItemText(int id, const char* text) { ::SetDlgItemTextA(m_hWnd, id, text); }

std::string CWnd::GetDlgItemTextString(int id) const {
    HWND control = ::GetDlgItem(m_hWnd, id);
    if (control == nullptr) return std::string();
    return FromHandle(control)->GetWindowTextString();
}

void CWnd::CheckDlgButton(int id, UINT check) { ::CheckDlgButton(m_hWnd, id, check); }

UINT CWnd::IsDlgButtonChecked(int id) const { return ::IsDlgButtonChecked(m_hWnd, id); }

void CWnd::CheckRadioButton(int firstId, int lastId, int checkId) {
    ::CheckRadioButton(m_hWnd, firstId, lastId, checkId);
}

LRESULT CWnd::SendDlgItemMessage(int id, UINT message, WPARAM wParam, LPARAM lParam) const {
    return ::SendDlgItemMessageA(m_hWnd, id, message, wParam, lParam);
}

}  // namespace fw
