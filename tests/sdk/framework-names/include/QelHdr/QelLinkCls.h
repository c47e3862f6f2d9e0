// QelLinkCls.h : 連動ライブラリのクラス

#pragma once

#include "QelStd.h"

// 連動管理
class AFX_EXT_CLASS ClLinkMgr : public CObject
{
public:
	static ClLinkMgr& Inst();
	ClOptLinkObj* GetOptLink();

protected:
	ClLinkMgr();
	virtual ~ClLinkMgr();
};

// 接続
class AFX_EXT_CLASS ClQelConnect : public CObject
{
public:
	static ClQelConnect& Inst();

	CString	m_strConnectName;	// 接続名
	HWND	m_hWndOwner;		// オーナーウィンドウ

	void SetAppType(int nType);
	void SetUseDataType(int nType);
	LONG Initiate();
	LONG ExpSysLink();
	LONG DispMsg(HWND hWnd, LPTSTR lpszText, LPTSTR lpszCaption, UINT nType);
	LONG LogOut();
	LONG Terminate();
	LONG Release();

protected:
	ClQelConnect();
	virtual ~ClQelConnect();
};
