// QelCmnIF.h : 共通ライブラリ（QelCmn / QelDBMgr）のクラス
//
// QelDef.h と QelRec.h の後にインクルードすること。

#if !defined(QELCMNIF_H_INCLUDED_)
#define QELCMNIF_H_INCLUDED_

#if _MSC_VER > 1000
#pragma once
#endif

// 会計期間
class ClQelPeriod
{
public:
	virtual long GetPeriod(long* plFrom, long* plTo) = 0;
	virtual void Release(long lFlag) = 0;	// １を渡すと解放する

protected:
	virtual ~ClQelPeriod() {}
};

// データ一覧（セット５）
class QELCMN_EXT ClSetData
{
public:
	virtual ~ClSetData();

	long GetDatCursor(long* plCursor);
	long ReadyDat(long lCursor, long lFlag);
	long WalkDat(StDATAINFO* pInfo, long lCursor);
	long ReleaseDatCursor(long lCursor);
	long GetQelPeriod(ClQelPeriod** ppPeriod);

protected:
	long	m_lCursorCount;
};

// 元号一覧（セット１３）
class QELCMN_EXT ClSetGengo
{
public:
	virtual ~ClSetGengo();

	long GetCursor(long* plCursor);
	long Ready(long lCursor);
	long Walk(StGENGOINFO* pInfo, long lCursor);
	long ReleaseCursor(long lCursor);
};

// セット管理
class QELCMN_EXT ClSetMgr
{
public:
	void* GetSetObject(long lSetNo, long lSubNo);
};

// システム利用者
class QELCMN_EXT ClSysUser
{
public:
	long GetCurUserID(LPSTR pszUserID);
	long GetSelectedNo(LPSTR pszUserID, long* plFirst, long* plSecond);
};

// データ管理
class QELCMN_EXT ClDataMgr
{
public:
	static ClDataMgr& Inst();

	ClSysUser* GetSysUserObject();
	ClSetMgr* GetSetMgr();
	void* GetSetObject(long lKind, long lSubNo);

private:
	ClDataMgr();
	ClDataMgr(const ClDataMgr&);
	~ClDataMgr();
};

#endif // !defined(QELCMNIF_H_INCLUDED_)
