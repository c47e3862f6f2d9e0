// The conditions dialog: the business category and the output file of the export, chosen
// once per run from dialog template 130. The caller keeps the object after DoModal, reads
// both choices and, after a successful export, stores them with WriteEnvFile.
#pragma once

#include <cstdint>
#include <string>

#include "framework/Dialog.h"
#include "hostbinding/HostBinding.h"

class ClCondDlg : public fw::CDialog {
  public:
    // `dataInfo` must outlive the dialog; `fixedPath` is the caller's destination or null.
    ClCondDlg(fw::CWnd* parent, StDATAINFO* dataInfo, const char* fixedPath);

    int16_t GetBusinessKind() const { return m_nBusinessKind; }
    // Valid while the dialog object lives.
    const char* GetOutputPath() const { return m_strOutPath.c_str(); }

    // The entry of the current user and data: category and destination (261 bytes), and
    // the reserved values when asked for. False, with 0 and an empty path, when none.
    bool ReadEnvFile(int16_t* businessKind, char* path, int16_t* reserved1 = nullptr,
                     int16_t* reserved2 = nullptr);
    // Stores the entry; a null `path` stores the destination remembered when the dialog
    // opened, or, when the file could not be read then, the one the entry holds now.
    // False when nothing was written.
    bool WriteEnvFile(int16_t businessKind, const char* path, int16_t reserved1, int16_t reserved2);

    BOOL PreTranslateMessage(MSG* msg) override;

  protected:
    void DoDataExchange(fw::CDataExchange* dx) override;
    BOOL OnInitDialog() override;
    void OnOK() override;
    void OnCancel() override;
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;

    void OnBrowse();

  private:
    void ReturnToDestination();

    std::string m_strOutPath;
    StDATAINFO* m_pDataInfo;
    char m_szFixedPath[261];
    char m_szEnvPath[261];
    int16_t m_nBusinessKind;
    bool m_bEnvUnreadable;  // the file existed but could not be read when the dialog opened
};
