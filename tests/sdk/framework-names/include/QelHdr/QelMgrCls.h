// QelMgrCls.h : ファイル管理とメッセージ管理のクラス

#pragma once

#include "QelStd.h"

// ファイル管理
class AFX_EXT_CLASS ClFileMgr : public CObject
{
public:
	static ClFileMgr& Inst();
	CString GetAppFolderPath(int nType);

protected:
	ClFileMgr();
	virtual ~ClFileMgr();
};

// メッセージ管理
class AFX_EXT_CLASS ClMsgMgr : public CObject
{
public:
	static ClMsgMgr& Inst();

	LONG CheckFatalErrorWithMsg(LONG lCode, LONG lArg2, LONG lArg3, HWND hWndOwner);
	void SetLastError(LONG lCode, LPTSTR lpszModule, int nLine);

protected:
	ClMsgMgr();
	virtual ~ClMsgMgr();
};
