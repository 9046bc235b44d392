// A message-only window of the test's thread that records what reaches it.
#pragma once

#include <windows.h>

#include <vector>

struct RecordedMessage {
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
};

class MessageWindow {
public:
    MessageWindow();
    ~MessageWindow();
    MessageWindow(const MessageWindow&) = delete;
    MessageWindow& operator=(const MessageWindow&) = delete;

    HWND Handle() const { return m_hWnd; }
    const std::vector<RecordedMessage>& Messages() const { return m_messages; }
    // The WM_DOWNLOAD_DONE messages received so far.
    std::vector<RecordedMessage> DoneMessages() const;

    // Handles this thread's messages for a while, or until a WM_DOWNLOAD_DONE
    // count is reached.
    static void Pump(DWORD dwMs);
    bool PumpUntilDone(size_t nCount, DWORD dwTimeoutMs) const;

private:
    static LRESULT CALLBACK WndProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);

    HWND m_hWnd = nullptr;
    std::vector<RecordedMessage> m_messages;
};
