// Points one function that this executable imports somewhere else for the
// object's lifetime, so a test can make a system call fail or watch it.
#pragma once

#include <windows.h>

class ImportPatch {
public:
    ImportPatch(const char* pszDll, const char* pszFunction, void* pReplacement);
    ~ImportPatch();
    ImportPatch(const ImportPatch&) = delete;
    ImportPatch& operator=(const ImportPatch&) = delete;

    bool IsApplied() const { return m_pSlot != nullptr; }
    void* Original() const { return m_pOriginal; }

private:
    static void Store(void** pSlot, void* pValue);

    void** m_pSlot = nullptr;
    void* m_pOriginal = nullptr;
};
