// Runs one download of the wizard's downloader on a background thread and
// posts WM_DOWNLOAD_DONE to the Updating page when it has ended.
#pragma once

#include <windows.h>

class CFlashDownloader;
class CWnd;

class CDownloadThread {
public:
    CDownloadThread();
    virtual ~CDownloadThread();

    CDownloadThread(const CDownloadThread&) = delete;
    CDownloadThread& operator=(const CDownloadThread&) = delete;

    int SetDownloader(CFlashDownloader* pDownloader);
    int SetPage(CWnd* pPage);
    int Start();
    int RequestStop();

    // Waits for the most recently started download thread, handling the
    // messages it sends meanwhile; TRUE when no download thread runs any more.
    BOOL WaitUntilFinished(DWORD dwTimeoutMs);

    HANDLE GetThreadHandle() const { return m_hThread; }

private:
    static DWORD WINAPI DownloadThreadProc(LPVOID pParam);
    void CloseThreadHandle();

    CFlashDownloader* m_pDownloader;
    HANDLE m_hThread;
    CWnd* m_pPage;
};
