// A language pack that records its own loading and unloading: the English
// pack's resources plus an entry point that appends one line per event to the
// file named by RECORDING_PACK_LOG.
//   attach pid=<process id>
//   detach pid=<process id> by=<unload|exit> wizard=<0|1>
// "unload" is a FreeLibrary of the last reference, "exit" the process ending
// with the pack still loaded. wizard=1 when a top-level window of this process
// still carries the property "Phone", that is, the wizard has not gone yet.
#include <windows.h>

namespace {

void AppendNumber(char*& out, unsigned long value) {
    char digits[16];
    int count = 0;
    do {
        digits[count++] = static_cast<char>('0' + value % 10);
        value /= 10;
    } while (value != 0);
    while (count > 0)
        *out++ = digits[--count];
}

void AppendText(char*& out, const char* text) {
    while (*text)
        *out++ = *text++;
}

bool WizardWindowExists() {
    const DWORD self = GetCurrentProcessId();
    for (HWND hwnd = GetWindow(GetDesktopWindow(), GW_CHILD); hwnd && IsWindow(hwnd);
         hwnd = GetWindow(hwnd, GW_HWNDNEXT)) {
        DWORD owner = 0;
        GetWindowThreadProcessId(hwnd, &owner);
        if (owner == self && GetPropW(hwnd, L"Phone"))
            return true;
    }
    return false;
}

void Record(const char* line) {
    wchar_t path[MAX_PATH];
    const DWORD length = GetEnvironmentVariableW(L"RECORDING_PACK_LOG", path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH)
        return;
    HANDLE file = CreateFileW(path, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return;
    DWORD written = 0;
    WriteFile(file, line, lstrlenA(line), &written, nullptr);
    CloseHandle(file);
}

} // namespace

extern "C" BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID reserved) {
    if (reason != DLL_PROCESS_ATTACH && reason != DLL_PROCESS_DETACH)
        return TRUE;
    char line[96];
    char* out = line;
    AppendText(out, reason == DLL_PROCESS_ATTACH ? "attach pid=" : "detach pid=");
    AppendNumber(out, GetCurrentProcessId());
    if (reason == DLL_PROCESS_DETACH) {
        AppendText(out, reserved ? " by=exit wizard=" : " by=unload wizard=");
        AppendText(out, WizardWindowExists() ? "1" : "0");
    }
    AppendText(out, "\r\n");
    *out = '\0';
    Record(line);
    return TRUE;
}
