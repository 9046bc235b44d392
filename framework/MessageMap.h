// Message maps: a static table per class that routes a command (WM_COMMAND
// from a control or menu number with a notification code) or a private
// message to a member function. Each table links to its base class's table;
// lookups walk from the most derived class to CCmdTarget.
//
//   class CMyPage : public CPropertyPage { ... DECLARE_MESSAGE_MAP() };
//
//   BEGIN_MESSAGE_MAP(CMyPage, CPropertyPage)
//       ON_BN_CLICKED(IDC_BROWSE, &CMyPage::OnBrowse)          // void OnBrowse()
//       ON_MESSAGE(WM_APP + 1, &CMyPage::OnSomething)          // LRESULT (WPARAM, LPARAM)
//   END_MESSAGE_MAP()
//
// The entry macros convert the member pointer to the exact handler type of
// the class named in BEGIN_MESSAGE_MAP, so a wrong signature or a member of
// an unrelated class does not compile.
#pragma once

#include <windows.h>

#include <type_traits>

class CCmdTarget;

using CommandHandler = void (CCmdTarget::*)();
using MessageHandler = LRESULT (CCmdTarget::*)(WPARAM, LPARAM);

struct MessageMapEntry {
    UINT nMessage; // WM_COMMAND for commands; 0 ends the table
    UINT nCode;    // notification code of a command (BN_CLICKED is 0, as is a menu command)
    UINT nID;      // control or command number of a command
    CommandHandler pfnCommand;
    MessageHandler pfnMessage;
};

struct MessageMap {
    const MessageMap* (*pfnGetBaseMap)(); // null for the root of the chain
    const MessageMapEntry* pEntries;
};

#define DECLARE_MESSAGE_MAP()                                                                      \
public:                                                                                            \
    static const MessageMap* GetThisMessageMap();                                                  \
    const MessageMap* GetMessageMap() const override;

#define BEGIN_MESSAGE_MAP(theClass, baseClass)                                                     \
    const MessageMap* theClass::GetMessageMap() const {                                            \
        return GetThisMessageMap();                                                                \
    }                                                                                              \
    const MessageMap* theClass::GetThisMessageMap() {                                              \
        using ThisClass = theClass;                                                                \
        using TheBaseClass = baseClass;                                                            \
        static const MessageMapEntry entries[] = {

#define END_MESSAGE_MAP()                                                                          \
    { 0, 0, 0, nullptr, nullptr }                                                                  \
    }                                                                                              \
    ;                                                                                              \
    static_assert(std::is_base_of<TheBaseClass, ThisClass>::value,                                 \
                  "BEGIN_MESSAGE_MAP names the class and one of its bases");                       \
    static const MessageMap map = {&TheBaseClass::GetThisMessageMap, entries};                     \
    return &map;                                                                                   \
    }

// WM_COMMAND with notification code nCode from control nID -> void handler().
#define ON_CONTROL(nCode, nID, memberFxn)                                                          \
    {WM_COMMAND, static_cast<UINT>(nCode), static_cast<UINT>(nID),                                 \
     static_cast<CommandHandler>(static_cast<void (ThisClass::*)()>(memberFxn)), nullptr},

// A menu, accelerator-free or application command nID -> void handler().
#define ON_COMMAND(nID, memberFxn) ON_CONTROL(0, nID, memberFxn)

// A push button's click -> void handler().
#define ON_BN_CLICKED(nID, memberFxn) ON_CONTROL(BN_CLICKED, nID, memberFxn)

// Any window message (typically WM_USER + n or WM_APP + n)
// -> LRESULT handler(WPARAM, LPARAM).
#define ON_MESSAGE(message, memberFxn)                                                             \
    {static_cast<UINT>(message), 0, 0, nullptr,                                                    \
     static_cast<MessageHandler>(static_cast<LRESULT (ThisClass::*)(WPARAM, LPARAM)>(memberFxn))},
