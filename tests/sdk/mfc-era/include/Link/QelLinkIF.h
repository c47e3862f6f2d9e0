// QelLinkIF.h : 連動ライブラリ（QelLink）のクラス
//
// QelDef.h の後にインクルードすること。

#if !defined(QELLINKIF_H_INCLUDED_)
#define QELLINKIF_H_INCLUDED_

#if _MSC_VER > 1000
#pragma once
#endif

class ClQelOptionLink;

// 連動管理
class QELLINK_EXT ClLinkMgr
{
public:
	static ClLinkMgr& Inst();
	ClQelOptionLink* GetOptLink();

private:
	ClLinkMgr();
	~ClLinkMgr();
};

// ホストとの接続
class QELLINK_EXT ClQelConnect
{
public:
	static ClQelConnect& Inst();

	CQelStr	m_csAppTitle;		// 接続名（メッセージの表題）
	HWND	m_hParentWnd;		// メッセージの親ウィンドウ

	void SetAppType(long lType);
	void SetUseDataType(long lType);
	long Initiate();
	long ExpSysLink();
	long DispMsg(HWND hWnd, LPSTR pszText, LPSTR pszCaption, UINT nType);
	long LogOut();
	long Terminate();
	long Release();

private:
	ClQelConnect();
	~ClQelConnect();
	long	m_lState;
};

#endif // !defined(QELLINKIF_H_INCLUDED_)
