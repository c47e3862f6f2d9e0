// The host's library classes, exactly as far as the program calls them. Results are
// 32-bit codes: 0 success, 5000 no (more) data in enumerations, anything else failure.
//
// The implementation is the host's. In this code base it is the stand-in in
// host_standin/, which answers from a host data file.
#pragma once

// Never read in the build against the host's SDK: that build reads the SDK's headers.
#if defined(VELNOR_HOST_SDK_BUILD)
#error "host/QelHost.h is the stand-in's header"
#endif

#include <cstdint>
#include <string>

#include "host/QelRecords.h"

// The host's classes live in its libraries. On Windows they cross a DLL boundary: the
// library that implements them is built with QEL_BUILDING_HOST and exports them, the
// program imports them. Elsewhere they are linked statically.
#if defined(_WIN32)
#if defined(QEL_BUILDING_HOST)
#define QEL_API __declspec(dllexport)
#else
#define QEL_API __declspec(dllimport)
#endif
#else
#define QEL_API
#endif

using QelWindow = void*;  // an HWND on Windows

constexpr int kQelOk = 0;
constexpr int kQelNoData = 5000;

// Host-side base of the set objects that the data manager and set manager hand out.
class ClSetBase {
  public:
    virtual ~ClSetBase() = default;
};

// Accounting period of a data set.
class ClQelPeriod {
  public:
    virtual int GetPeriod(int32_t* first, int32_t* last) = 0;
    // Frees the object; the program always passes 1.
    virtual void Release(int flag) = 0;

  protected:
    virtual ~ClQelPeriod() = default;
};

// The list of company data sets (set kind 5).
class QEL_API ClSetData : public ClSetBase {
  public:
    int GetDatCursor(int* cursor);
    int ReadyDat(int cursor, int flag);
    // Fills the next record; non-zero at the end.
    int WalkDat(StDATAINFO* record, int cursor);
    int ReleaseDatCursor(int cursor);
    // The selected data's period object, or none (null and a non-zero result).
    int GetQelPeriod(ClQelPeriod** period);
};

// The era set (set 13): eras in ascending order of their first day.
class QEL_API ClSetGengo : public ClSetBase {
  public:
    int GetCursor(int* cursor);
    int Ready(int cursor);
    // Fills the next era; non-zero at the end.
    int Walk(StGENGOINFO* record, int cursor);
    int ReleaseCursor(int cursor);
};

class QEL_API ClSetMgr {
  public:
    // Set 13 with 0 gives the era set (a ClSetGengo); null when there is none.
    ClSetBase* GetSetObject(int set, int sub);
};

class QEL_API ClSysUser {
  public:
    // Fills the current user's id (at most 64 bytes) into a 65-byte buffer.
    int GetCurUserID(char* buffer);
    // The user's selection; the second number is the selected data number.
    int GetSelectedNo(const char* userId, int32_t* first, int32_t* second);
};

class QEL_API ClDataMgr {
  public:
    static ClDataMgr* Inst();
    ClSysUser* GetSysUserObject();
    ClSetMgr* GetSetMgr();
    // Kind 5 with 1 gives the data-set list (a ClSetData); null when there is none.
    ClSetBase* GetSetObject(int kind, int sub);
};

class ClOptLink;

class QEL_API ClLinkMgr {
  public:
    static ClLinkMgr* Inst();
    ClOptLink* GetOptLink();
};

class QEL_API ClRuleBase {
  public:
    virtual ~ClRuleBase() = default;
    int SetCurDataID(const char* dataId);
    int AttachOptLink(ClOptLink* link);

  protected:
    std::string m_strDataID;
    ClOptLink* m_pOptLink = nullptr;
};

// The depreciation rule object: enumerates the fixed assets of one data set.
class QEL_API ClRuleGenkashokyaku : public ClRuleBase {
  public:
    ClRuleGenkashokyaku();
    ~ClRuleGenkashokyaku() override;
    ClRuleGenkashokyaku(const ClRuleGenkashokyaku&) = delete;
    ClRuleGenkashokyaku& operator=(const ClRuleGenkashokyaku&) = delete;

    int AttachSetMgr(ClSetMgr* setMgr);
    // 0, or 5000 when there is no data.
    int MoveReady(StFINDINFO* condition, int sortType, int sumType);
    int GetCount(int32_t* count);
    // Fills the three records of asset `index`; 5000 at the end.
    int Move(int32_t index, StKOTEISHISANINFO* master, StKOTEINENINFO* year,
             StKOTEITSUKIINFO* month);
    int MoveFinish();

  private:
    void CloseEnumeration();

    ClSetMgr* m_pSetMgr = nullptr;
    int m_nCursor = -1;  // the stand-in's enumeration state
};

// The connection to the host.
class QEL_API ClQelConnect {
  public:
    static ClQelConnect* Inst();

    std::string m_strTitle;           // title of the connection (the run's title text)
    QelWindow m_hOwnerWnd = nullptr;  // owner window of the host's messages

    void SetAppType(int type);
    void SetUseDataType(int type);
    int Initiate();
    int ExpSysLink();
    int DispMsg(QelWindow window, const char* text, const char* caption, unsigned type);
    int LogOut();
    int Terminate();
    int Release();
};

class QEL_API ClFileMgr {
  public:
    static ClFileMgr* Inst();
    // The host's folder of `type` (0 or 1) into a 261-byte buffer; empty when none.
    int GetAppFolderPath(int type, char* buffer);
};

class QEL_API ClMsgMgr {
  public:
    static ClMsgMgr* Inst();
    // Non-zero when `code` is fatal; the host has then shown its own message.
    int CheckFatalErrorWithMsg(int code, int arg2, int arg3, QelWindow owner);
    void SetLastError(int code, const char* module, int line);
};
