# The host SDK as an integrator describes it to Velnor's build: the vendor's headers in the
# order they must be included (relative to include/) and the connection's two members.
set(VELNOR_HOST_HEADERS "QelHdr/QelStd.h;QelHdr/QelLinkCls.h;QelHdr/QelRuleCls.h;QelHdr/QelMgrCls.h")
set(VELNOR_HOST_TITLE_MEMBER m_strConnectName)
set(VELNOR_HOST_OWNER_MEMBER m_hWndOwner)
