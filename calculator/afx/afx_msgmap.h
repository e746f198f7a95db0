// Message maps: small static tables that tie a window message, or a command and its
// notification code, to a member function. Each class's table names its base class's
// table, so a search walks from the most derived class to CCmdTarget.
#pragma once
#include <windows.h>

class CCmdTarget;

// Every handler is stored as this type and cast back to its own signature on dispatch.
typedef void (CCmdTarget::*AFX_PMSG)();

// Handler signatures the tables know.
enum AfxSig {
    AfxSig_end = 0,  // ends a table
    AfxSig_vv,       // void f()
    AfxSig_hv,       // HCURSOR f()  (result handed back as the message result)
    AfxSig_vwl,      // void f(UINT, LPARAM)
};

struct AFX_MSGMAP_ENTRY {
    UINT nMessage;  // window message
    UINT nCode;     // notification code (WM_COMMAND only)
    UINT nID;       // first control or command id (WM_COMMAND only)
    UINT nLastID;   // last id of the range
    AfxSig nSig;
    AFX_PMSG pfn;
};

struct AFX_MSGMAP {
    const AFX_MSGMAP *(*pfnGetBaseMap)();  // null for the root
    const AFX_MSGMAP_ENTRY *lpEntries;
};

#define DECLARE_MESSAGE_MAP()                     \
protected:                                        \
    static const AFX_MSGMAP *GetThisMessageMap(); \
    const AFX_MSGMAP *GetMessageMap() const override;

#define BEGIN_MESSAGE_MAP(theClass, baseClass)                                        \
    const AFX_MSGMAP *theClass::GetMessageMap() const { return GetThisMessageMap(); } \
    const AFX_MSGMAP *theClass::GetThisMessageMap() {                                 \
        using ThisClass [[maybe_unused]] = theClass;                                  \
        using TheBaseClass = baseClass;                                               \
        static const AFX_MSGMAP_ENTRY _messageEntries[] = {
#define END_MESSAGE_MAP()                                                                         \
    { 0, 0, 0, 0, AfxSig_end, nullptr }                                                           \
    }                                                                                             \
    ;                                                                                             \
    static const AFX_MSGMAP messageMap = {&TheBaseClass::GetThisMessageMap, &_messageEntries[0]}; \
    return &messageMap;                                                                           \
    }

// A handler of another signature is kept as an AFX_PMSG and cast back to its own type before
// the call; the round trip gives back the original pointer.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wcast-function-type"
template <typename Handler>
AFX_PMSG AfxToPmsg(Handler handler) {
    return reinterpret_cast<AFX_PMSG>(handler);
}
template <typename Handler>
Handler AfxFromPmsg(AFX_PMSG pfn) {
    return reinterpret_cast<Handler>(pfn);
}
#pragma GCC diagnostic pop
#define AFX_PMSG_CAST(type, fn) AfxToPmsg<type>(static_cast<type>(fn))

// Commands (menu items, accelerators, IDOK/IDCANCEL): notification code 0.
#define ON_COMMAND(id, memberFxn) \
    {WM_COMMAND, 0, (UINT)(id), (UINT)(id), AfxSig_vv, static_cast<AFX_PMSG>(memberFxn)},
#define ON_CONTROL(wNotifyCode, id, memberFxn)    \
    {WM_COMMAND, (UINT)(wNotifyCode), (UINT)(id), \
     (UINT)(id), AfxSig_vv,           static_cast<AFX_PMSG>(memberFxn)},
#define ON_EN_CHANGE(id, memberFxn) ON_CONTROL(EN_CHANGE, id, memberFxn)
#define ON_BN_CLICKED(id, memberFxn) ON_CONTROL(BN_CLICKED, id, memberFxn)

#define ON_WM_PAINT() {WM_PAINT, 0, 0, 0, AfxSig_vv, static_cast<AFX_PMSG>(&ThisClass::OnPaint)},
#define ON_WM_QUERYDRAGICON() \
    {WM_QUERYDRAGICON,        \
     0,                       \
     0,                       \
     0,                       \
     AfxSig_hv,               \
     AFX_PMSG_CAST(HCURSOR(CCmdTarget::*)(), &ThisClass::OnQueryDragIcon)},
#define ON_WM_SYSCOMMAND() \
    {WM_SYSCOMMAND,        \
     0,                    \
     0,                    \
     0,                    \
     AfxSig_vwl,           \
     AFX_PMSG_CAST(void(CCmdTarget::*)(UINT, LPARAM), &ThisClass::OnSysCommand)},
