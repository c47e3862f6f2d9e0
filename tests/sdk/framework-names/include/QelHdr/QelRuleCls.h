// QelRuleCls.h : 業務ルールのクラス

#pragma once

#include "QelCmnCls.h"
#include "QelStd.h"

// ルールの基底
class AFX_EXT_CLASS ClRuleBase : public CObject
{
public:
	ClRuleBase();
	virtual ~ClRuleBase();

	LONG SetCurDataID(LPTSTR lpszDataID);
	LONG AttachOptLink(ClOptLinkObj* pOptLink);

protected:
	CString			m_strDataID;
	ClOptLinkObj*	m_pOptLink;
};

// 減価償却のルール
class AFX_EXT_CLASS ClRuleGenkashokyaku : public ClRuleBase
{
public:
	ClRuleGenkashokyaku();
	virtual ~ClRuleGenkashokyaku();

	LONG AttachSetMgr(ClSetMgr* pSetMgr);
	LONG MoveReady(StFINDINFO* pFind, int nSortType, int nSumType);
	LONG GetCount(LONG* pCount);
	LONG Move(LONG lIndex, StKOTEISHISANINFO* pShisan, StKOTEINENINFO* pNen,
		StKOTEITSUKIINFO* pTsuki);
	LONG MoveFinish();
};
