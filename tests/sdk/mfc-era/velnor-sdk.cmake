# The host SDK as an integrator describes it to Velnor's build: the vendor's headers in the
# order they must be included (relative to include/) and the connection's two members.
set(VELNOR_HOST_HEADERS "QelDef.h;QelRec.h;Cmn/QelCmnIF.h;Link/QelLinkIF.h;BCore/QelRuleIF.h;QelFileMgr.h;QelMsgMgr.h")
set(VELNOR_HOST_TITLE_MEMBER m_csAppTitle)
set(VELNOR_HOST_OWNER_MEMBER m_hParentWnd)
