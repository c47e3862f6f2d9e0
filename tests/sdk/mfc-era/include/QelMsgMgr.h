// QelMsgMgr.h : メッセージ管理（QelMsgMgr）

#if !defined(QELMSGMGR_H_INCLUDED_)
#define QELMSGMGR_H_INCLUDED_

#if _MSC_VER > 1000
#pragma once
#endif

class QELMSG_EXT ClMsgMgr
{
public:
	static ClMsgMgr& Inst();

	long CheckFatalErrorWithMsg(long lCode, long lArg2, long lArg3, HWND hOwner);
	void SetLastError(long lCode, LPSTR pszModule, long lLine);

private:
	ClMsgMgr();
	~ClMsgMgr();
};

#endif // !defined(QELMSGMGR_H_INCLUDED_)
