#include <cstdio>
#include <cstring>

#include "common/Edition.h"
#include "common/Sjis.h"
#include "common/Ui.h"
#include "conditions/CondDlg.h"
#include "conditions/CondDlgIds.h"
#include "conditions/CondRules.h"
#include "conditions/EnvFile.h"
#include "conditions/PathChecks.h"
#include "framework/FileDialog.h"

namespace {

namespace host = velnor::host;
namespace data_info = velnor::host::data_info;

constexpr int kEditLimit = 255;
// Hide read-only, keep the current directory, path and file must exist.
constexpr DWORD kBrowseFlags = 0x180C;

bool AnyModifierDown() {
    return (::GetKeyState(VK_SHIFT) & 0x8000) != 0 || (::GetKeyState(VK_CONTROL) & 0x8000) != 0 ||
           (::GetKeyState(VK_MENU) & 0x8000) != 0;
}

}  // namespace

ClCondDlg::ClCondDlg(fw::CWnd* parent, StDATAINFO* dataInfo, const char* fixedPath)
    : fw::CDialog(IDD_CONDITIONS, parent),
      m_pDataInfo(dataInfo),
      m_szFixedPath(),
      m_szEnvPath(),
      m_nBusinessKind(0),
      m_bEnvUnreadable(false) {
    if (fixedPath != nullptr) {
        const size_t length = velnor::FieldLength(fixedPath, sizeof m_szFixedPath);
        std::memcpy(m_szFixedPath, fixedPath,
                    velnor::SjisCutLength(fixedPath, length, sizeof m_szFixedPath - 1));
    }
}

void ClCondDlg::DoDataExchange(fw::CDataExchange* dx) {
    fw::CDialog::DoDataExchange(dx);
    fw::DDX_Text(dx, IDC_COND_OUTPUT, m_strOutPath);
}

BOOL ClCondDlg::PreTranslateMessage(MSG* msg) {
    if (msg->message == WM_KEYDOWN && m_hWnd != nullptr && !AnyModifierDown()) {
        if (msg->wParam == VK_RETURN) {
            for (int id : {IDC_COND_GENERAL, IDC_COND_REALESTATE, IDC_COND_BOTH, IDC_COND_OUTPUT}) {
                if (msg->hwnd == ::GetDlgItem(m_hWnd, id)) {
                    PostMessage(WM_NEXTDLGCTL, 0, 0);
                    return TRUE;
                }
            }
        } else if (msg->wParam == VK_F12) {
            OnOK();
            return TRUE;
        }
    }
    return fw::CDialog::PreTranslateMessage(msg);
}

BOOL ClCondDlg::OnInitDialog() {
    fw::CDialog::OnInitDialog();

    if (host::Read(*m_pDataInfo, data_info::kDataKind) == host::kDataKindPastResults) {
        velnor::ShowMessageBox(m_hWnd, velnor::kMsgPastResults, velnor::kTitleText,
                               velnor::kMbOk | velnor::kMbIconWarning);
        EndDialog(IDCANCEL);
        return FALSE;
    }

    SendDlgItemMessage(IDC_COND_OUTPUT, EM_LIMITTEXT, kEditLimit, 0);

    int16_t rememberedKind = 0;
    ReadEnvFile(&rememberedKind, m_szEnvPath);

    char text[256] = {};
    host::ReadText(*m_pDataInfo, data_info::kCompanyName, text, sizeof text);
    SetDlgItemText(IDC_COND_COMPANY, text);
    SetDlgItemText(IDC_COND_PERIOD,
                   velnor::FormatPeriodText(host::Read(*m_pDataInfo, data_info::kPeriodStart),
                                            host::Read(*m_pDataInfo, data_info::kPeriodEnd))
                       .c_str());
    SetDlgItemText(IDC_COND_COST,
                   host::Read(*m_pDataInfo, data_info::kManufacturingCost) != 0 ? "あり" : "なし");

    const velnor::StBusinessButtons buttons = velnor::ChooseBusinessButtons(
        host::Read(*m_pDataInfo, data_info::kBusinessKinds), rememberedKind);
    const int radioIds[3] = {IDC_COND_GENERAL, IDC_COND_REALESTATE, IDC_COND_BOTH};
    for (int i = 0; i < 3; ++i) {
        ::EnableWindow(::GetDlgItem(m_hWnd, radioIds[i]), buttons.enabled[i] ? TRUE : FALSE);
    }
    CheckRadioButton(IDC_COND_GENERAL, IDC_COND_BOTH, radioIds[buttons.checked - 1]);

    char hostFolder[261] = {};
    char tempFolder[261] = {};
    if (m_szFixedPath[0] == '\0' && m_szEnvPath[0] == '\0') {
        if (ClFileMgr* fileMgr = host::Instance<ClFileMgr>()) {
            host::GetAppFolderPath(*fileMgr, 0, hostFolder, sizeof hostFolder);
        }
        if (hostFolder[0] == '\0') {
            const DWORD n = ::GetTempPathA(sizeof tempFolder, tempFolder);
            if (n == 0 || n >= sizeof tempFolder) tempFolder[0] = '\0';
        }
    }
    if (m_szFixedPath[0] != '\0') {
        SetDlgItemText(IDC_COND_OUTPUT_GROUP, "出力先");
        ::EnableWindow(::GetDlgItem(m_hWnd, IDC_COND_OUTPUT), FALSE);
        ::EnableWindow(::GetDlgItem(m_hWnd, IDC_COND_BROWSE), FALSE);
    }
    m_strOutPath =
        velnor::ChooseInitialDestination(m_szFixedPath, m_szEnvPath, hostFolder, tempFolder);
    UpdateData(FALSE);
    return TRUE;
}

void ClCondDlg::OnOK() {
    UpdateData(TRUE);

    m_nBusinessKind = 0;
    if (IsDlgButtonChecked(IDC_COND_GENERAL) == BST_CHECKED) m_nBusinessKind = 1;
    if (IsDlgButtonChecked(IDC_COND_REALESTATE) == BST_CHECKED) m_nBusinessKind = 2;
    if (IsDlgButtonChecked(IDC_COND_BOTH) == BST_CHECKED) m_nBusinessKind = 3;

    if (!velnor::AcceptDestination(m_strOutPath, m_szFixedPath[0] != '\0', m_hWnd)) {
        ReturnToDestination();
        return;
    }
    fw::CDialog::OnOK();
}

void ClCondDlg::OnCancel() {
    char text[256] = {};
    std::snprintf(text, sizeof text, velnor::kMsgCancelFormat, velnor::kTitleText);
    velnor::ShowMessageBox(m_hWnd, text, velnor::kTitleText,
                           velnor::kMbOk | velnor::kMbIconInformation);
    EndDialog(IDCANCEL);
}

BOOL ClCondDlg::OnCommand(WPARAM wParam, LPARAM lParam) {
    if (HIWORD(wParam) == BN_CLICKED && LOWORD(wParam) == IDC_COND_BROWSE) {
        OnBrowse();
        return TRUE;
    }
    return fw::CDialog::OnCommand(wParam, lParam);
}

void ClCondDlg::OnBrowse() {
    UpdateData(TRUE);

    std::string folder = velnor::GetFolderPart(m_strOutPath);
    std::string fileName;
    if (!folder.empty()) {
        fileName = velnor::GetFileNamePart(m_strOutPath);
    } else {
        folder = velnor::GetDrivePart(m_strOutPath);
        fileName = velnor::GetAfterDrivePart(m_strOutPath);
    }

    fw::CFileDialog dialog(FALSE, "XML", fileName.c_str(), kBrowseFlags,
                           "Xml Files (*.xml)|*.xml||", this);
    dialog.m_ofn.lpstrTitle = "保存ファイルを指定";
    dialog.m_ofn.lpstrInitialDir = folder.c_str();
    if (dialog.DoModal() == IDOK) {
        m_strOutPath = dialog.GetPathName();
        UpdateData(FALSE);
    }
    GotoDlgCtrl(GetDlgItem(IDOK));
}

void ClCondDlg::ReturnToDestination() {
    GotoDlgCtrl(GetDlgItem(IDC_COND_OUTPUT));
    SendDlgItemMessage(IDC_COND_OUTPUT, EM_SETSEL, 0, -1);
    SendDlgItemMessage(IDC_COND_OUTPUT, EM_SCROLLCARET, 0, 0);
}

bool ClCondDlg::ReadEnvFile(int16_t* businessKind, char* path, int16_t* reserved1,
                            int16_t* reserved2) {
    velnor::StEnvValues values;
    const bool found = velnor::ReadCurrentEnvEntry(velnor::CurrentEdition().envFileName, &values,
                                                   &m_bEnvUnreadable);
    if (businessKind != nullptr) *businessKind = values.businessKind;
    if (path != nullptr) std::memcpy(path, values.destination, sizeof values.destination);
    if (reserved1 != nullptr) *reserved1 = values.reserved1;
    if (reserved2 != nullptr) *reserved2 = values.reserved2;
    return found;
}

bool ClCondDlg::WriteEnvFile(int16_t businessKind, const char* path, int16_t reserved1,
                             int16_t reserved2) {
    // A path that could not be read is not known to be empty: the entry keeps its own.
    const char* destination = path != nullptr ? path : m_bEnvUnreadable ? nullptr : m_szEnvPath;
    return velnor::WriteCurrentEnvEntry(velnor::CurrentEdition().envFileName, businessKind,
                                        destination, reserved1, reserved2);
}
