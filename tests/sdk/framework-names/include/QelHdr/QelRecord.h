// QelRecord.h : Qel ライブラリのレコード
//
// 配置は１バイト単位。

#pragma once

#include "QelStd.h"

#pragma pack(push, 1)

// データ情報（１データにつき１件）
struct StDATAINFO
{
	CHAR	m_DataCode[16];		// データコード
	LONG	m_lDataNumber;		// データ番号
	CHAR	m_cFill1[4];
	CHAR	m_OfficeName[260];	// 事業所名
	LONG	m_lKikanFrom;			// 期間開始日
	LONG	m_lKikanTo;			// 期間終了日
	LONG	m_lReserve1[2];
	LONG	m_lSeizoGenka;		// 製造原価あり
	CHAR	m_cFill2[22];
	SHORT	m_sDataKubun;			// データ区分（９９：実績データ）
	CHAR	m_cFill3[619];
	UCHAR	m_bGyoshu;			// 業種（１：一般，２：不動産，３：両方）
	CHAR	m_cFill4[284];
	UCHAR	m_bHasuShori;			// 端数処理（０：四捨五入，１：切上げ，２：切捨て）
	CHAR	m_cFill5[272];
};

// 元号情報
struct StGENGOINFO
{
	LONG	m_lGengoNo;			// 元号番号
	LONG	m_lKaishiDate;		// 開始日
	CHAR	m_szGengoMei[16];		// 元号名
};

// 検索条件
struct StFINDINFO
{
	LONG	m_lKoumoku;
	LONG	m_lJoken;
	CHAR	m_szAtai[64];
};

// 固定資産情報
struct StKOTEISHISANINFO
{
	LONG		m_lKanriNo;				// 管理番号
	LONG		m_lEdaban;				// 枝番
	CHAR		m_szKanriCode[40];		// 管理コード
	LONG		m_lShubetsu;				// 資産種別
	CHAR		m_szShisanMei[193];		// 資産名
	CHAR		m_szSuryo[9];				// 数量
	CHAR		m_szTekiyo[82];			// 摘要
	SHORT		m_sJokyakuKbn;			// 除却区分
	CHAR		m_cFill1[18];
	LONG		m_lShutokuDate;			// 取得日
	LONG		m_lJigyoKaishiDate;		// 事業開始日
	LONG		m_lReserve1;
	__int64	m_llShutokuKagaku;		// 取得価額
	__int64	m_llAsshukuGaku;			// 圧縮額
	__int64	m_llKishuBoka;			// 期首帳簿価額
	SHORT		m_sShokyakuHoho;			// 償却方法
	SHORT		m_sTaiyoNensu;			// 耐用年数
	LONG		m_lShokyakuRitsu;			// 償却率
	LONG		m_lReserve2;
	UCHAR		m_bTokubetsuKbn;			// 特別基準額の区分
	UCHAR		m_bFill1[3];
	__int64	m_llTokubetsuKijun;		// 特別基準額
	CHAR		m_cFill2[10];
	SHORT		m_sJigyoWariai;			// 事業専用割合
	SHORT		m_sReserve3;
	SHORT		m_sShokyakuTsukisu;		// 償却月数
	CHAR		m_cFill3[16];
	__int64	m_llShokyakuKiso;			// 償却基礎額
	__int64	m_llReserve4[3];
	__int64	m_llMishokyakuZan;		// 未償却残高
	LONG		m_lJokyakuDate;			// 除却日
	CHAR		m_cFill4[36];
	SHORT		m_sGyomuKbn;				// 業務区分
	LONG		m_lReserve5;
	UCHAR		m_bKintoShokyaku;			// 均等償却
	UCHAR		m_bFill2[2];
	__int64	m_llKaiteiShutoku;		// 改定取得価額
	CHAR		m_cHostArea[223];
};

// 固定資産年情報
struct StKOTEINENINFO
{
	LONG		m_lKanriNo;
	LONG		m_lNendo;					// 年度
	CHAR		m_cFill1[32];
	__int64	m_llFutsuShokyaku;		// 普通償却費
	__int64	m_llTokubetsu1;			// 特別償却費（その１）
	__int64	m_llTokubetsu2;			// 特別償却費（その２）
	__int64	m_llHitsuyoKeihi;			// 必要経費算入額
	__int64	m_llReserve[3];
	CHAR		m_cHostArea[168];
};

// 固定資産月情報
struct StKOTEITSUKIINFO
{
	LONG		m_lKanriNo;
	SHORT		m_sTsuki;					// 月
	SHORT		m_sReserve;
	__int64	m_llGetsugaku[12];		// 月額
};

#pragma pack(pop)

// 配置の確認
#include <stddef.h>
static_assert(sizeof(StDATAINFO) == 1505, "StDATAINFO");
static_assert(offsetof(StDATAINFO, m_lDataNumber) == 16, "m_lDataNumber");
static_assert(offsetof(StDATAINFO, m_OfficeName) == 24, "m_OfficeName");
static_assert(offsetof(StDATAINFO, m_lKikanFrom) == 284, "m_lKikanFrom");
static_assert(offsetof(StDATAINFO, m_lKikanTo) == 288, "m_lKikanTo");
static_assert(offsetof(StDATAINFO, m_lSeizoGenka) == 300, "m_lSeizoGenka");
static_assert(offsetof(StDATAINFO, m_sDataKubun) == 326, "m_sDataKubun");
static_assert(offsetof(StDATAINFO, m_bGyoshu) == 947, "m_bGyoshu");
static_assert(offsetof(StDATAINFO, m_bHasuShori) == 1232, "m_bHasuShori");
static_assert(sizeof(StGENGOINFO) == 24, "StGENGOINFO");
static_assert(offsetof(StGENGOINFO, m_lKaishiDate) == 4, "m_lKaishiDate");
static_assert(offsetof(StGENGOINFO, m_szGengoMei) == 8, "m_szGengoMei");
static_assert(offsetof(StKOTEISHISANINFO, m_lShubetsu) == 48, "m_lShubetsu");
static_assert(offsetof(StKOTEISHISANINFO, m_szShisanMei) == 52, "m_szShisanMei");
static_assert(offsetof(StKOTEISHISANINFO, m_szSuryo) == 245, "m_szSuryo");
static_assert(offsetof(StKOTEISHISANINFO, m_szTekiyo) == 254, "m_szTekiyo");
static_assert(offsetof(StKOTEISHISANINFO, m_sJokyakuKbn) == 336, "m_sJokyakuKbn");
static_assert(offsetof(StKOTEISHISANINFO, m_lShutokuDate) == 356, "m_lShutokuDate");
static_assert(offsetof(StKOTEISHISANINFO, m_llShutokuKagaku) == 368, "m_llShutokuKagaku");
static_assert(offsetof(StKOTEISHISANINFO, m_llAsshukuGaku) == 376, "m_llAsshukuGaku");
static_assert(offsetof(StKOTEISHISANINFO, m_llKishuBoka) == 384, "m_llKishuBoka");
static_assert(offsetof(StKOTEISHISANINFO, m_sShokyakuHoho) == 392, "m_sShokyakuHoho");
static_assert(offsetof(StKOTEISHISANINFO, m_sTaiyoNensu) == 394, "m_sTaiyoNensu");
static_assert(offsetof(StKOTEISHISANINFO, m_lShokyakuRitsu) == 396, "m_lShokyakuRitsu");
static_assert(offsetof(StKOTEISHISANINFO, m_bTokubetsuKbn) == 404, "m_bTokubetsuKbn");
static_assert(offsetof(StKOTEISHISANINFO, m_llTokubetsuKijun) == 408, "m_llTokubetsuKijun");
static_assert(offsetof(StKOTEISHISANINFO, m_sJigyoWariai) == 426, "m_sJigyoWariai");
static_assert(offsetof(StKOTEISHISANINFO, m_sShokyakuTsukisu) == 430, "m_sShokyakuTsukisu");
static_assert(offsetof(StKOTEISHISANINFO, m_llShokyakuKiso) == 448, "m_llShokyakuKiso");
static_assert(offsetof(StKOTEISHISANINFO, m_llMishokyakuZan) == 480, "m_llMishokyakuZan");
static_assert(offsetof(StKOTEISHISANINFO, m_lJokyakuDate) == 488, "m_lJokyakuDate");
static_assert(offsetof(StKOTEISHISANINFO, m_sGyomuKbn) == 528, "m_sGyomuKbn");
static_assert(offsetof(StKOTEISHISANINFO, m_bKintoShokyaku) == 534, "m_bKintoShokyaku");
static_assert(offsetof(StKOTEISHISANINFO, m_llKaiteiShutoku) == 537, "m_llKaiteiShutoku");
static_assert(offsetof(StKOTEINENINFO, m_llFutsuShokyaku) == 40, "m_llFutsuShokyaku");
static_assert(offsetof(StKOTEINENINFO, m_llTokubetsu1) == 48, "m_llTokubetsu1");
static_assert(offsetof(StKOTEINENINFO, m_llTokubetsu2) == 56, "m_llTokubetsu2");
static_assert(offsetof(StKOTEINENINFO, m_llHitsuyoKeihi) == 64, "m_llHitsuyoKeihi");
