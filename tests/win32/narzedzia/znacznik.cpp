// Started by the shell test through ShellExecuteW: writes "<own path>.znak"
// holding its own path and ends, so the test sees that it really ran.
#include <windows.h>

int wmain() {
    wchar_t sciezka[4096];
    DWORD n = GetModuleFileNameW(nullptr, sciezka, 4096);
    if (n == 0 || n + 6 >= 4096) {
        return 1;
    }
    wchar_t znak[4096];
    lstrcpyW(znak, sciezka);
    lstrcatW(znak, L".znak");
    HANDLE h = CreateFileW(znak, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) {
        return 1;
    }
    DWORD zapisane = 0;
    WriteFile(h, sciezka, n * sizeof(wchar_t), &zapisane, nullptr);
    CloseHandle(h);
    return 0;
}
