// Stand-in of the MFC declarations that a host header built on MFC brings to global
// scope: the names only, enough for the compiler. Nothing here is defined or linked.
#ifndef __AFXWIN_H__
#define __AFXWIN_H__

#include <windows.h>
#include <commdlg.h>
#include <stddef.h>

#ifndef AFXAPI
#define AFXAPI __stdcall
#endif
#ifndef AFX_CDECL
#define AFX_CDECL __cdecl
#endif
#ifndef AFX_EXT_CLASS
#define AFX_EXT_CLASS __declspec(dllimport)
#endif
#define afx_msg

class COccManager;
class CDataExchange;

class CObject
{
public:
	virtual ~CObject();

	void* PASCAL operator new(size_t nSize);
	void PASCAL operator delete(void* p);

	BOOL IsSerializable() const;

protected:
	CObject();

private:
	CObject(const CObject& objectSrc);
	void operator=(const CObject& objectSrc);
};

class CString
{
public:
	CString();
	CString(const CString& stringSrc);
	CString(LPCTSTR lpsz);
	~CString();

	const CString& operator=(const CString& stringSrc);
	const CString& operator=(LPCTSTR lpsz);
	const CString& operator+=(LPCTSTR lpsz);

	operator LPCTSTR() const;
	int GetLength() const;
	BOOL IsEmpty() const;
	LPTSTR GetBuffer(int nMinBufLength);
	void ReleaseBuffer(int nNewLength = -1);

private:
	LPTSTR m_pchData;
};

class CCmdTarget : public CObject
{
public:
	CCmdTarget();
};

class CWnd : public CCmdTarget
{
public:
	CWnd();
	virtual ~CWnd();

	static CWnd* PASCAL FromHandle(HWND hWnd);
	HWND GetSafeHwnd() const;
	void SetWindowText(LPCTSTR lpszString);
	BOOL EnableWindow(BOOL bEnable = TRUE);
	BOOL ShowWindow(int nCmdShow);
	CWnd* GetDlgItem(int nID) const;
	virtual BOOL PreTranslateMessage(MSG* pMsg);
	virtual BOOL DestroyWindow();

	HWND m_hWnd;

protected:
	virtual void DoDataExchange(CDataExchange* pDX);
};

class CWinThread : public CCmdTarget
{
public:
	virtual BOOL InitInstance();
	virtual int ExitInstance();
	CWnd* m_pMainWnd;
};

class CWinApp : public CWinThread
{
public:
	explicit CWinApp(LPCTSTR lpszAppName = NULL);
	virtual ~CWinApp();

	virtual BOOL InitInstance();
	virtual int ExitInstance();
	void BeginWaitCursor();
	void EndWaitCursor();
	virtual void DoWaitCursor(int nCode);

	HINSTANCE m_hInstance;
	LPTSTR m_lpCmdLine;
	int m_nCmdShow;
	LPCTSTR m_pszAppName;
};

class CDialog : public CWnd
{
public:
	CDialog();
	explicit CDialog(UINT nIDTemplate, CWnd* pParentWnd = NULL);
	virtual ~CDialog();

	virtual INT_PTR DoModal();
	BOOL Create(UINT nIDTemplate, CWnd* pParentWnd = NULL);
	void EndDialog(int nResult);
	BOOL UpdateData(BOOL bSaveAndValidate = TRUE);

protected:
	virtual BOOL OnInitDialog();
	virtual void OnOK();
	virtual void OnCancel();
};

class CProgressCtrl : public CWnd
{
public:
	CProgressCtrl();
	void SetRange(short nLower, short nUpper);
	int SetPos(int nPos);
	int StepIt();
};

class CCommonDialog : public CDialog
{
public:
	explicit CCommonDialog(CWnd* pParentWnd);
};

class CFileDialog : public CCommonDialog
{
public:
	explicit CFileDialog(BOOL bOpenFileDialog, LPCTSTR lpszDefExt = NULL,
		LPCTSTR lpszFileName = NULL,
		DWORD dwFlags = OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT,
		LPCTSTR lpszFilter = NULL, CWnd* pParentWnd = NULL);
	virtual INT_PTR DoModal();
	CString GetPathName() const;
};

class CWaitCursor
{
public:
	CWaitCursor();
	~CWaitCursor();
	void Restore();
};

CWinApp* AFXAPI AfxGetApp();
HINSTANCE AFXAPI AfxGetInstanceHandle();
HINSTANCE AFXAPI AfxGetResourceHandle();
int AFXAPI AfxWinMain(HINSTANCE hInstance, HINSTANCE hPrevInstance, LPTSTR lpCmdLine,
	int nCmdShow);
void AFX_CDECL AfxEnableControlContainer(COccManager* pOccManager = NULL);
void AFXAPI DDX_Text(CDataExchange* pDX, int nIDC, CString& value);
void AFXAPI DDX_Control(CDataExchange* pDX, int nIDC, CWnd& rControl);

#endif // __AFXWIN_H__
