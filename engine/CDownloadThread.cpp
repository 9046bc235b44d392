#include "engine/CDownloadThread.h"

#include "engine/CFlashDownloader.h"
#include "engine/DownloadMessages.h"
#include "framework/CWnd.h"

CDownloadThread::CDownloadThread() : m_pDownloader(nullptr), m_hThread(nullptr), m_pPage(nullptr) {}

CDownloadThread::~CDownloadThread() {
    CloseThreadHandle();
}

int CDownloadThread::SetDownloader(CFlashDownloader* pDownloader) {
    m_pDownloader = pDownloader;
    return 1;
}

int CDownloadThread::SetPage(CWnd* pPage) {
    m_pPage = pPage;
    return 1;
}

int CDownloadThread::Start() {
    // Only one download runs at a time, so the previous thread has ended.
    CloseThreadHandle();
    if (m_pDownloader == nullptr)
        return 0;
    m_hThread = CreateThread(nullptr, 0, &CDownloadThread::DownloadThreadProc, this, 0, nullptr);
    return m_hThread != nullptr ? 1 : 0;
}

int CDownloadThread::RequestStop() {
    if (m_pDownloader == nullptr)
        return 0;
    return m_pDownloader->RequestStop();
}

BOOL CDownloadThread::WaitUntilFinished(DWORD dwTimeoutMs) {
    if (m_hThread == nullptr)
        return TRUE;
    const DWORD dwStart = GetTickCount();
    for (;;) {
        const DWORD dwElapsed = GetTickCount() - dwStart;
        DWORD dwLeft = 0;
        if (dwTimeoutMs == INFINITE)
            dwLeft = INFINITE;
        else if (dwElapsed < dwTimeoutMs)
            dwLeft = dwTimeoutMs - dwElapsed;
        // The download thread's progress reports are sent messages: keep
        // handling them, or it would never get back to the stop flag.
        const DWORD dwWait =
            MsgWaitForMultipleObjects(1, &m_hThread, FALSE, dwLeft, QS_SENDMESSAGE);
        if (dwWait == WAIT_OBJECT_0)
            return TRUE;
        if (dwWait != WAIT_OBJECT_0 + 1)
            return FALSE;
        MSG msg;
        PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
    }
}

DWORD WINAPI CDownloadThread::DownloadThreadProc(LPVOID pParam) {
    CDownloadThread* pThis = static_cast<CDownloadThread*>(pParam);
    // Keep the computer awake while the handset is being written.
    SetThreadExecutionState(ES_CONTINUOUS | ES_SYSTEM_REQUIRED);
    const int nResult = pThis->m_pDownloader->Download();
    SetThreadExecutionState(ES_CONTINUOUS);
    // The page's window may have changed during the transfer: take it now.
    const HWND hPage = pThis->m_pPage != nullptr ? pThis->m_pPage->m_hWnd : nullptr;
    if (hPage != nullptr)
        PostMessageW(hPage, WM_DOWNLOAD_DONE, static_cast<WPARAM>(nResult), 0);
    return 1;
}

void CDownloadThread::CloseThreadHandle() {
    if (m_hThread != nullptr) {
        CloseHandle(m_hThread);
        m_hThread = nullptr;
    }
}
