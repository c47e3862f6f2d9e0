// QelRec.h : Qel ライブラリのレコード定義
//
// レコードは１バイト境界で詰めて配置する。

#if !defined(QELREC_H_INCLUDED_)
#define QELREC_H_INCLUDED_

#if _MSC_VER > 1000
#pragma once
#endif

#pragma pack(push, 1)

// データ情報（１データにつき１件）
typedef struct tagStDATAINFO
{
	char	DataCode[16];		// データコード
	long	lDataNumber;		// データ番号
	char	cFill1[4];
	char	OfficeName[260];	// 事業所名
	long	lKikanFrom;			// 期間開始日
	long	lKikanTo;			// 期間終了日
	long	lReserve1[2];
	long	lSeizoGenka;		// 製造原価あり
	char	cFill2[22];
	short	sDataKubun;			// データ区分（９９：実績データ）
	char	cFill3[619];
	BYTE	bGyoshu;			// 業種（１：一般，２：不動産，３：両方）
	char	cFill4[284];
	BYTE	bHasuShori;			// 端数処理（０：四捨五入，１：切上げ，２：切捨て）
	char	cFill5[272];
} StDATAINFO;

// 元号情報
typedef struct tagStGENGOINFO
{
	long	lGengoNo;			// 元号番号
	long	lKaishiDate;		// 開始日
	char	szGengoMei[16];		// 元号名
} StGENGOINFO;

// 検索条件
typedef struct tagStFINDINFO
{
	long	lKoumoku;
	long	lJoken;
	char	szAtai[64];
} StFINDINFO;

// 固定資産情報
typedef struct tagStKOTEISHISANINFO
{
	long		lKanriNo;				// 管理番号
	long		lEdaban;				// 枝番
	char		szKanriCode[40];		// 管理コード
	long		lShubetsu;				// 資産種別
	char		szShisanMei[193];		// 資産名
	char		szSuryo[9];				// 数量
	char		szTekiyo[82];			// 摘要
	short		sJokyakuKbn;			// 除却区分
	char		cFill1[18];
	long		lShutokuDate;			// 取得日
	long		lJigyoKaishiDate;		// 事業開始日
	long		lReserve1;
	LONGLONG	llShutokuKagaku;		// 取得価額
	LONGLONG	llAsshukuGaku;			// 圧縮額
	LONGLONG	llKishuBoka;			// 期首帳簿価額
	short		sShokyakuHoho;			// 償却方法
	short		sTaiyoNensu;			// 耐用年数
	long		lShokyakuRitsu;			// 償却率
	long		lReserve2;
	BYTE		bTokubetsuKbn;			// 特別基準額の区分
	BYTE		bFill1[3];
	LONGLONG	llTokubetsuKijun;		// 特別基準額
	char		cFill2[10];
	short		sJigyoWariai;			// 事業専用割合
	short		sReserve3;
	short		sShokyakuTsukisu;		// 償却月数
	char		cFill3[16];
	LONGLONG	llShokyakuKiso;			// 償却基礎額
	LONGLONG	llReserve4[3];
	LONGLONG	llMishokyakuZan;		// 未償却残高
	long		lJokyakuDate;			// 除却日
	char		cFill4[36];
	short		sGyomuKbn;				// 業務区分
	long		lReserve5;
	BYTE		bKintoShokyaku;			// 均等償却
	BYTE		bFill2[2];
	LONGLONG	llKaiteiShutoku;		// 改定取得価額
	char		cHostArea[223];
} StKOTEISHISANINFO;

// 固定資産年情報
typedef struct tagStKOTEINENINFO
{
	long		lKanriNo;
	long		lNendo;					// 年度
	char		cFill1[32];
	LONGLONG	llFutsuShokyaku;		// 普通償却費
	LONGLONG	llTokubetsu1;			// 特別償却費（その１）
	LONGLONG	llTokubetsu2;			// 特別償却費（その２）
	LONGLONG	llHitsuyoKeihi;			// 必要経費算入額
	LONGLONG	llReserve[3];
	char		cHostArea[168];
} StKOTEINENINFO;

// 固定資産月情報
typedef struct tagStKOTEITSUKIINFO
{
	long		lKanriNo;
	short		sTsuki;					// 月
	short		sReserve;
	LONGLONG	llGetsugaku[12];		// 月額
} StKOTEITSUKIINFO;

#pragma pack(pop)

// 配置の確認
#include <stddef.h>
static_assert(sizeof(StDATAINFO) == 1505, "StDATAINFO");
static_assert(offsetof(StDATAINFO, lDataNumber) == 16, "lDataNumber");
static_assert(offsetof(StDATAINFO, OfficeName) == 24, "OfficeName");
static_assert(offsetof(StDATAINFO, lKikanFrom) == 284, "lKikanFrom");
static_assert(offsetof(StDATAINFO, lKikanTo) == 288, "lKikanTo");
static_assert(offsetof(StDATAINFO, lSeizoGenka) == 300, "lSeizoGenka");
static_assert(offsetof(StDATAINFO, sDataKubun) == 326, "sDataKubun");
static_assert(offsetof(StDATAINFO, bGyoshu) == 947, "bGyoshu");
static_assert(offsetof(StDATAINFO, bHasuShori) == 1232, "bHasuShori");
static_assert(sizeof(StGENGOINFO) == 24, "StGENGOINFO");
static_assert(offsetof(StGENGOINFO, lKaishiDate) == 4, "lKaishiDate");
static_assert(offsetof(StGENGOINFO, szGengoMei) == 8, "szGengoMei");
static_assert(offsetof(StKOTEISHISANINFO, lShubetsu) == 48, "lShubetsu");
static_assert(offsetof(StKOTEISHISANINFO, szShisanMei) == 52, "szShisanMei");
static_assert(offsetof(StKOTEISHISANINFO, szSuryo) == 245, "szSuryo");
static_assert(offsetof(StKOTEISHISANINFO, szTekiyo) == 254, "szTekiyo");
static_assert(offsetof(StKOTEISHISANINFO, sJokyakuKbn) == 336, "sJokyakuKbn");
static_assert(offsetof(StKOTEISHISANINFO, lShutokuDate) == 356, "lShutokuDate");
static_assert(offsetof(StKOTEISHISANINFO, llShutokuKagaku) == 368, "llShutokuKagaku");
static_assert(offsetof(StKOTEISHISANINFO, llAsshukuGaku) == 376, "llAsshukuGaku");
static_assert(offsetof(StKOTEISHISANINFO, llKishuBoka) == 384, "llKishuBoka");
static_assert(offsetof(StKOTEISHISANINFO, sShokyakuHoho) == 392, "sShokyakuHoho");
static_assert(offsetof(StKOTEISHISANINFO, sTaiyoNensu) == 394, "sTaiyoNensu");
static_assert(offsetof(StKOTEISHISANINFO, lShokyakuRitsu) == 396, "lShokyakuRitsu");
static_assert(offsetof(StKOTEISHISANINFO, bTokubetsuKbn) == 404, "bTokubetsuKbn");
static_assert(offsetof(StKOTEISHISANINFO, llTokubetsuKijun) == 408, "llTokubetsuKijun");
static_assert(offsetof(StKOTEISHISANINFO, sJigyoWariai) == 426, "sJigyoWariai");
static_assert(offsetof(StKOTEISHISANINFO, sShokyakuTsukisu) == 430, "sShokyakuTsukisu");
static_assert(offsetof(StKOTEISHISANINFO, llShokyakuKiso) == 448, "llShokyakuKiso");
static_assert(offsetof(StKOTEISHISANINFO, llMishokyakuZan) == 480, "llMishokyakuZan");
static_assert(offsetof(StKOTEISHISANINFO, lJokyakuDate) == 488, "lJokyakuDate");
static_assert(offsetof(StKOTEISHISANINFO, sGyomuKbn) == 528, "sGyomuKbn");
static_assert(offsetof(StKOTEISHISANINFO, bKintoShokyaku) == 534, "bKintoShokyaku");
static_assert(offsetof(StKOTEISHISANINFO, llKaiteiShutoku) == 537, "llKaiteiShutoku");
static_assert(offsetof(StKOTEINENINFO, llFutsuShokyaku) == 40, "llFutsuShokyaku");
static_assert(offsetof(StKOTEINENINFO, llTokubetsu1) == 48, "llTokubetsu1");
static_assert(offsetof(StKOTEINENINFO, llTokubetsu2) == 56, "llTokubetsu2");
static_assert(offsetof(StKOTEINENINFO, llHitsuyoKeihi) == 64, "llHitsuyoKeihi");

#endif // !defined(QELREC_H_INCLUDED_)
