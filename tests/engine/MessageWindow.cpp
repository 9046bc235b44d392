#include "tests/engine/MessageWindow.h"

#include "engine/DownloadMessages.h"

namespace {
const wchar_t kClassName[] = L"EngineTestMessageWindow";
}

MessageWindow::MessageWindow() {
    WNDCLASSW wc = {};
    wc.lpfnWndProc = &MessageWindow::WndProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = kClassName;
    RegisterClassW(&wc); // fails harmlessly when already registered
    m_hWnd = CreateWindowW(kClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                           GetModuleHandleW(nullptr), nullptr);
    SetWindowLongPtrW(m_hWnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
}

MessageWindow::~MessageWindow() {
    if (m_hWnd != nullptr)
        DestroyWindow(m_hWnd);
}

std::vector<RecordedMessage> MessageWindow::DoneMessages() const {
    std::vector<RecordedMessage> done;
    for (const RecordedMessage& m : m_messages) {
        if (m.message == WM_DOWNLOAD_DONE)
            done.push_back(m);
    }
    return done;
}

void MessageWindow::Pump(DWORD dwMs) {
    const DWORD dwStart = GetTickCount();
    do {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageW(&msg);
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
    } while (GetTickCount() - dwStart < dwMs);
}

bool MessageWindow::PumpUntilDone(size_t nCount, DWORD dwTimeoutMs) const {
    const DWORD dwStart = GetTickCount();
    while (DoneMessages().size() < nCount) {
        if (GetTickCount() - dwStart > dwTimeoutMs)
            return false;
        Pump(5);
    }
    return true;
}

LRESULT CALLBACK MessageWindow::WndProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam) {
    MessageWindow* self = reinterpret_cast<MessageWindow*>(GetWindowLongPtrW(hWnd, GWLP_USERDATA));
    if (self != nullptr && (message == WM_DOWNLOAD_DONE || message >= WM_APP)) {
        self->m_messages.push_back(RecordedMessage{message, wParam, lParam});
        return 0;
    }
    return DefWindowProcW(hWnd, message, wParam, lParam);
}
