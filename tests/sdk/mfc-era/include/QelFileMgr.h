// QelFileMgr.h : ファイル管理（QelFileMgr）

#if !defined(QELFILEMGR_H_INCLUDED_)
#define QELFILEMGR_H_INCLUDED_

#if _MSC_VER > 1000
#pragma once
#endif

// フォルダ種別
#define QEL_FOLDER_APP		0
#define QEL_FOLDER_DATA		1

class QELFILE_EXT ClFileMgr
{
public:
	static ClFileMgr& Inst();

	// 種別のフォルダ（末尾に円記号付き、なければ空文字列）
	CQelStr GetAppFolderPath(long lType);

private:
	ClFileMgr();
	~ClFileMgr();
};

#endif // !defined(QELFILEMGR_H_INCLUDED_)
