// Message maps: tables that bind window messages, commands and
// notifications to handler member functions, searched from the most derived
// class to its bases.
#pragma once

#include "object.h"

class CCmdTarget;
class CWnd;
class CDC;

typedef void (CCmdTarget::*AFX_PMSG)();

// The handler shapes that the map entries can carry.
enum AfxSig : UINT_PTR {
    AfxSig_end = 0,
    AfxSig_vv,        // void ()
    AfxSig_vw,        // void (UINT)
    AfxSig_vp,        // void (UINT_PTR)
    AfxSig_vwl,       // void (UINT, LPARAM)
    AfxSig_hv,        // HCURSOR ()
    AfxSig_hDWw,      // HBRUSH (CDC*, CWnd*, UINT)
    AfxSig_vNMHDRpl,  // void (NMHDR*, LRESULT*)
};

struct AFX_MSGMAP_ENTRY {
    UINT nMessage;  // window message (WM_COMMAND, WM_NOTIFY, ...)
    UINT nCode;     // command or notification code
    UINT nID;       // control id, or 0
    UINT nLastID;   // last control id of a range
    UINT_PTR nSig;  // AfxSig of the handler
    AFX_PMSG pfn;   // the handler
};

struct AFX_MSGMAP {
    const AFX_MSGMAP* (*pfnGetBaseMap)();
    const AFX_MSGMAP_ENTRY* lpEntries;
};

// The message-map pseudo message for all WM_CTLCOLORxxx messages; the
// handler gets the kind (CTLCOLOR_EDIT, CTLCOLOR_STATIC, ...) as nCtlColor.
#define WM_CTLCOLOR 0x0019

#define DECLARE_MESSAGE_MAP()                          \
protected:                                             \
    static const AFX_MSGMAP* GetThisMessageMap();      \
    virtual const AFX_MSGMAP* GetMessageMap() const;

#define BEGIN_MESSAGE_MAP(theClass, baseClass)                                      \
    const AFX_MSGMAP* theClass::GetMessageMap() const { return GetThisMessageMap(); } \
    const AFX_MSGMAP* theClass::GetThisMessageMap()                                 \
    {                                                                               \
        using ThisClass [[maybe_unused]] = theClass;                                \
        typedef baseClass TheBaseClass;                                             \
        static const AFX_MSGMAP_ENTRY _messageEntries[] = {

#define END_MESSAGE_MAP()                                                            \
        { 0, 0, 0, 0, AfxSig_end, (AFX_PMSG)0 }                                      \
        };                                                                           \
        static const AFX_MSGMAP messageMap = { &TheBaseClass::GetThisMessageMap,     \
                                               &_messageEntries[0] };                \
        return &messageMap;                                                          \
    }

#define AFX_PMSG_CAST(type, memberFxn) \
    reinterpret_cast<AFX_PMSG>(static_cast<type>(&ThisClass::memberFxn))

// void memberFxn()
#define ON_COMMAND(id, memberFxn) \
    { WM_COMMAND, 0, (UINT)(id), (UINT)(id), AfxSig_vv, static_cast<AFX_PMSG>(&ThisClass::memberFxn) },
// void memberFxn()
#define ON_CONTROL(code, id, memberFxn) \
    { WM_COMMAND, (UINT)(code), (UINT)(id), (UINT)(id), AfxSig_vv, static_cast<AFX_PMSG>(&ThisClass::memberFxn) },
// void memberFxn()
#define ON_BN_CLICKED(id, memberFxn) ON_CONTROL(BN_CLICKED, id, memberFxn)
// void memberFxn()
#define ON_STN_CLICKED(id, memberFxn) ON_CONTROL(STN_CLICKED, id, memberFxn)
// void memberFxn()
#define ON_CBN_SELENDOK(id, memberFxn) ON_CONTROL(CBN_SELENDOK, id, memberFxn)
// void memberFxn(NMHDR* pNMHDR, LRESULT* pResult)
#define ON_NOTIFY(code, id, memberFxn)                                 \
    { WM_NOTIFY, (UINT)(code), (UINT)(id), (UINT)(id), AfxSig_vNMHDRpl, \
      AFX_PMSG_CAST(void (CCmdTarget::*)(NMHDR*, LRESULT*), memberFxn) },
// void OnSysCommand(UINT nID, LPARAM lParam)
#define ON_WM_SYSCOMMAND() \
    { WM_SYSCOMMAND, 0, 0, 0, AfxSig_vwl, AFX_PMSG_CAST(void (CWnd::*)(UINT, LPARAM), OnSysCommand) },
// void OnPaint()
#define ON_WM_PAINT() \
    { WM_PAINT, 0, 0, 0, AfxSig_vv, AFX_PMSG_CAST(void (CWnd::*)(), OnPaint) },
// HCURSOR OnQueryDragIcon()
#define ON_WM_QUERYDRAGICON() \
    { WM_QUERYDRAGICON, 0, 0, 0, AfxSig_hv, AFX_PMSG_CAST(HCURSOR (CWnd::*)(), OnQueryDragIcon) },
// HBRUSH OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor)
#define ON_WM_CTLCOLOR() \
    { WM_CTLCOLOR, 0, 0, 0, AfxSig_hDWw, AFX_PMSG_CAST(HBRUSH (CWnd::*)(CDC*, CWnd*, UINT), OnCtlColor) },
// void OnTimer(UINT_PTR nIDEvent): timer ids are pointer-sized
#define ON_WM_TIMER() \
    { WM_TIMER, 0, 0, 0, AfxSig_vp, AFX_PMSG_CAST(void (CWnd::*)(UINT_PTR), OnTimer) },

// The root of every class with a message map.
class FX_API CCmdTarget : public CObject {
protected:
    static const AFX_MSGMAP* GetThisMessageMap();

public:
    virtual const AFX_MSGMAP* GetMessageMap() const;
    // The first entry of this class's maps (derived first) that matches.
    const AFX_MSGMAP_ENTRY* FindMessageEntry(UINT nMessage, UINT nCode, UINT nID) const;
};
