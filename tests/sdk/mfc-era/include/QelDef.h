// QelDef.h : Qel ライブラリ共通定義
//
// 各ライブラリのヘッダより先にインクルードすること。
// 文字コードはシフトJISのままにしておくこと。

#if !defined(QELDEF_H_INCLUDED_)
#define QELDEF_H_INCLUDED_

#if _MSC_VER > 1000
#pragma once
#endif

#include <windows.h>

// エクスポート指定（ライブラリ本体のビルドでは _QELxxx_DLL を定義する）
#ifdef _QELLINK_DLL
#define QELLINK_EXT __declspec(dllexport)
#else
#define QELLINK_EXT __declspec(dllimport)
#endif
#ifdef _QELCMN_DLL
#define QELCMN_EXT __declspec(dllexport)
#else
#define QELCMN_EXT __declspec(dllimport)
#endif
#ifdef _QELBCORE_DLL
#define QELBCORE_EXT __declspec(dllexport)
#else
#define QELBCORE_EXT __declspec(dllimport)
#endif
#ifdef _QELFILE_DLL
#define QELFILE_EXT __declspec(dllexport)
#else
#define QELFILE_EXT __declspec(dllimport)
#endif
#ifdef _QELMSG_DLL
#define QELMSG_EXT __declspec(dllexport)
#else
#define QELMSG_EXT __declspec(dllimport)
#endif

// 戻り値
#define QEL_SUCCESS         0L
#define QEL_ERR_NODATA      5000L

// データ区分
#define QEL_DATAKBN_JISSEKI 99

// セット番号
#define QEL_SET_DATA        5
#define QEL_SET_GENGO       13

// 文字列クラス（ライブラリ間で受け渡しする文字列）
class QELCMN_EXT CQelStr
{
public:
	CQelStr();
	CQelStr(const CQelStr& src);
	~CQelStr();

	const CQelStr& operator=(const CQelStr& src);
	const CQelStr& operator=(const char* psz);

	operator const char*() const;
	int GetLength() const;

private:
	char*	m_pchData;
	long	m_lAlloc;
};

#endif // !defined(QELDEF_H_INCLUDED_)
