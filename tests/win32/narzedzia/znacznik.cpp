// Started by the shell test: writes "<own path>.znak" holding its own path as
// the platform layer reports it (UTF-16) and ends, so the test sees that it
// really ran and where.
#include <windows.h>

#include "PlatformaWin32.h"

int wmain() {
    std::u16string sciezka = platforma::UtworzPowlokeWin32()->SciezkaProgramu();
    if (sciezka.empty()) {
        return 1;
    }
    std::u16string znak = sciezka + u".znak";
    // Long paths need the "\\?\" form for the file calls.
    if (znak.size() >= MAX_PATH && znak.rfind(u"\\\\?\\", 0) != 0) {
        znak = u"\\\\?\\" + znak;
    }
    HANDLE h = CreateFileW(reinterpret_cast<const wchar_t*>(znak.c_str()), GENERIC_WRITE, 0, nullptr,
                           CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) {
        return 1;
    }
    DWORD zapisane = 0;
    WriteFile(h, sciezka.data(), static_cast<DWORD>(sciezka.size() * sizeof(char16_t)), &zapisane, nullptr);
    CloseHandle(h);
    return 0;
}
