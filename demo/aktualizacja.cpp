// The updater that lies on the installer's medium and is copied next to the
// program. The demonstration edition has nothing to update.
#include <windows.h>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    MessageBoxW(nullptr, L"Kavrostel 8.0 – wersja demonstracyjna\n\nBrak nowszej wersji programu.",
                L"Aktualizacja programu Kavrostel", MB_OK | MB_ICONINFORMATION);
    return 0;
}
