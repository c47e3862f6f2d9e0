// QelRuleIF.h : 業務ライブラリ（QelBCore）のルールクラス
//
// QelDef.h、QelRec.h、QelCmnIF.h、QelLinkIF.h の後にインクルードすること。

#if !defined(QELRULEIF_H_INCLUDED_)
#define QELRULEIF_H_INCLUDED_

#if _MSC_VER > 1000
#pragma once
#endif

// ルールの基底クラス
class QELBCORE_EXT ClRuleBase
{
public:
	ClRuleBase();
	virtual ~ClRuleBase();

	long SetCurDataID(LPSTR pszDataID);
	long AttachOptLink(ClQelOptionLink* pLink);

protected:
	char				m_szDataID[16];
	ClQelOptionLink*	m_pOptLink;
};

// 減価償却ルール
class QELBCORE_EXT ClRuleGenkashokyaku : public ClRuleBase
{
public:
	ClRuleGenkashokyaku();
	virtual ~ClRuleGenkashokyaku();

	long AttachSetMgr(ClSetMgr* pSetMgr);
	long MoveReady(StFINDINFO* pFind, long lSortType, long lSumType);
	long GetCount(long* plCount);
	long Move(long lIndex, StKOTEISHISANINFO* pShisan, StKOTEINENINFO* pNen,
			  StKOTEITSUKIINFO* pTsuki);
	long MoveFinish();

private:
	ClRuleGenkashokyaku(const ClRuleGenkashokyaku&);
	void operator=(const ClRuleGenkashokyaku&);

	ClSetMgr*	m_pSetMgr;
	long		m_lCursor;
};

#endif // !defined(QELRULEIF_H_INCLUDED_)
