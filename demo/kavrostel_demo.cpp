// The demonstration program that the installer fetches and installs: a
// Windows program that only says what it is. The file on the server is this
// program with padding appended after its last section (an overlay, which
// Windows does not load), so that the download takes long enough to be seen.
#include <windows.h>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    MessageBoxW(nullptr,
                L"Kavrostel 8.0 – wersja demonstracyjna\n\n"
                L"Program został zainstalowany poprawnie.",
                L"Kavrostel 8.0", MB_OK | MB_ICONINFORMATION);
    return 0;
}
