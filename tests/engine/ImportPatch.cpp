#include "tests/engine/ImportPatch.h"

#include <cstring>

ImportPatch::ImportPatch(const char* pszDll, const char* pszFunction, void* pReplacement) {
    BYTE* pBase = reinterpret_cast<BYTE*>(GetModuleHandleW(nullptr));
    const IMAGE_DOS_HEADER* pDos = reinterpret_cast<const IMAGE_DOS_HEADER*>(pBase);
    const IMAGE_NT_HEADERS* pNt = reinterpret_cast<const IMAGE_NT_HEADERS*>(pBase + pDos->e_lfanew);
    const IMAGE_DATA_DIRECTORY& imports =
        pNt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    if (imports.VirtualAddress == 0)
        return;
    for (const IMAGE_IMPORT_DESCRIPTOR* pDesc =
             reinterpret_cast<const IMAGE_IMPORT_DESCRIPTOR*>(pBase + imports.VirtualAddress);
         pDesc->Name != 0; ++pDesc) {
        if (_stricmp(reinterpret_cast<const char*>(pBase + pDesc->Name), pszDll) != 0)
            continue;
        const IMAGE_THUNK_DATA* pNames = reinterpret_cast<const IMAGE_THUNK_DATA*>(
            pBase + (pDesc->OriginalFirstThunk ? pDesc->OriginalFirstThunk : pDesc->FirstThunk));
        IMAGE_THUNK_DATA* pSlots = reinterpret_cast<IMAGE_THUNK_DATA*>(pBase + pDesc->FirstThunk);
        for (; pNames->u1.AddressOfData != 0; ++pNames, ++pSlots) {
            if (IMAGE_SNAP_BY_ORDINAL(pNames->u1.Ordinal))
                continue;
            const IMAGE_IMPORT_BY_NAME* pName =
                reinterpret_cast<const IMAGE_IMPORT_BY_NAME*>(pBase + pNames->u1.AddressOfData);
            if (std::strcmp(reinterpret_cast<const char*>(pName->Name), pszFunction) != 0)
                continue;
            m_pSlot = reinterpret_cast<void**>(&pSlots->u1.Function);
            m_pOriginal = *m_pSlot;
            Store(m_pSlot, pReplacement);
            return;
        }
    }
}

ImportPatch::~ImportPatch() {
    if (m_pSlot != nullptr)
        Store(m_pSlot, m_pOriginal);
}

void ImportPatch::Store(void** pSlot, void* pValue) {
    DWORD dwOld = 0;
    VirtualProtect(pSlot, sizeof(void*), PAGE_READWRITE, &dwOld);
    InterlockedExchangePointer(pSlot, pValue);
    VirtualProtect(pSlot, sizeof(void*), dwOld, &dwOld);
}
