// Root of every object that can handle commands through a message map.
#pragma once

#include "framework/MessageMap.h"

class CCmdTarget {
public:
    CCmdTarget() = default;
    virtual ~CCmdTarget() = default;
    CCmdTarget(const CCmdTarget&) = delete;
    CCmdTarget& operator=(const CCmdTarget&) = delete;

    // The table of the object's most derived class (DECLARE_MESSAGE_MAP overrides it).
    virtual const MessageMap* GetMessageMap() const;
    static const MessageMap* GetThisMessageMap();

    // Runs the handler the message map names for command nID with
    // notification code nCode. TRUE when an entry handled it.
    virtual BOOL OnCmdMsg(UINT nID, int nCode);

    // The entries that would handle a command or a message, without calling them.
    const MessageMapEntry* FindCommandEntry(UINT nID, int nCode) const;
    const MessageMapEntry* FindMessageEntry(UINT nMessage) const;
};
