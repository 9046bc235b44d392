#include "framework/CCmdTarget.h"

namespace {
const MessageMapEntry g_noEntries[] = {{0, 0, 0, nullptr, nullptr}};
const MessageMap g_rootMap = {nullptr, g_noEntries};
} // namespace

const MessageMap* CCmdTarget::GetThisMessageMap() {
    return &g_rootMap;
}

const MessageMap* CCmdTarget::GetMessageMap() const {
    return GetThisMessageMap();
}

const MessageMapEntry* CCmdTarget::FindCommandEntry(UINT nID, int nCode) const {
    for (const MessageMap* pMap = GetMessageMap(); pMap;
         pMap = pMap->pfnGetBaseMap ? pMap->pfnGetBaseMap() : nullptr) {
        for (const MessageMapEntry* pEntry = pMap->pEntries; pEntry->nMessage != 0; ++pEntry) {
            if (pEntry->nMessage == WM_COMMAND && pEntry->nID == nID &&
                pEntry->nCode == static_cast<UINT>(nCode) && pEntry->pfnCommand)
                return pEntry;
        }
    }
    return nullptr;
}

const MessageMapEntry* CCmdTarget::FindMessageEntry(UINT nMessage) const {
    if (nMessage == WM_COMMAND)
        return nullptr;
    for (const MessageMap* pMap = GetMessageMap(); pMap;
         pMap = pMap->pfnGetBaseMap ? pMap->pfnGetBaseMap() : nullptr) {
        for (const MessageMapEntry* pEntry = pMap->pEntries; pEntry->nMessage != 0; ++pEntry) {
            if (pEntry->nMessage == nMessage && pEntry->pfnMessage)
                return pEntry;
        }
    }
    return nullptr;
}

BOOL CCmdTarget::OnCmdMsg(UINT nID, int nCode) {
    const MessageMapEntry* pEntry = FindCommandEntry(nID, nCode);
    if (!pEntry)
        return FALSE;
    (this->*pEntry->pfnCommand)();
    return TRUE;
}
