// QelCmnCls.h : 共通ライブラリのクラス

#pragma once

#include "QelStd.h"
#include "QelRecord.h"

// 会計期間
class ClQelPeriod
{
public:
	virtual LONG GetPeriod(LONG* pFrom, LONG* pTo) = 0;
	virtual void Release(int nFlag) = 0;

protected:
	virtual ~ClQelPeriod() {}
};

// データ一覧
class AFX_EXT_CLASS ClSetData : public CObject
{
public:
	ClSetData();
	virtual ~ClSetData();

	LONG GetDatCursor(int* pCursor);
	LONG ReadyDat(int nCursor, int nFlag);
	LONG WalkDat(StDATAINFO* pInfo, int nCursor);
	LONG ReleaseDatCursor(int nCursor);
	LONG GetQelPeriod(ClQelPeriod** ppPeriod);
};

// 元号一覧
class AFX_EXT_CLASS ClSetGengo : public CObject
{
public:
	ClSetGengo();
	virtual ~ClSetGengo();

	LONG GetCursor(int* pCursor);
	LONG Ready(int nCursor);
	LONG Walk(StGENGOINFO* pInfo, int nCursor);
	LONG ReleaseCursor(int nCursor);
};

// セット管理
class AFX_EXT_CLASS ClSetMgr : public CObject
{
public:
	CObject* GetSetObject(int nSetNo, int nSubNo);
};

// システム利用者
class AFX_EXT_CLASS ClSysUser : public CObject
{
public:
	LONG GetCurUserID(LPTSTR lpszUserID);
	LONG GetSelectedNo(LPTSTR lpszUserID, LONG* pFirst, LONG* pSecond);
};

// データ管理
class AFX_EXT_CLASS ClDataMgr : public CObject
{
public:
	static ClDataMgr& Inst();

	ClSysUser* GetSysUserObject();
	ClSetMgr* GetSetMgr();
	CObject* GetSetObject(int nKind, int nSubNo);

protected:
	ClDataMgr();
	virtual ~ClDataMgr();
};
