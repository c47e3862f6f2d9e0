// QelStd.h : Qel ライブラリの標準インクルード
//
// 文字列とウィンドウは MFC のクラスを使用する。

#pragma once

#include <afxwin.h>

// 結果コード
#define QELRC_OK			0
#define QELRC_NODATA		5000

// 連動オプション
class AFX_EXT_CLASS ClOptLinkObj : public CObject
{
public:
	ClOptLinkObj();
	virtual ~ClOptLinkObj();

	LONG GetOption(int nKind) const;
};
