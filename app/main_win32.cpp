// The installer's entry on Windows: COM for the user-interface thread, the
// Win32 backend of the forms and the system behind its interfaces; then the
// start-up that every toolkit shares.
#include <windows.h>

#include "PlatformaWin32.h"
#include "Win32Pomoc.h"
#include "Start.h"
#include "ZapleczeWin32.h"
#include "platform/Platforma.h"

int WINAPI wWinMain(HINSTANCE instancja, HINSTANCE, PWSTR, int) {
    // A single-threaded apartment, before anything else: the shell-link
    // object, the pictures' decoder and the file dialog all live in it.
    platforma::ZainicjujCom();
    ZapleczeWin32 zaplecze(instancja);

    platforma::Platforma system = platforma::UtworzPlatforme();
    // Programs the shell starts, and its questions about them, belong to the
    // main window.
    system.powloka = platforma::UtworzPowlokeWin32([&zaplecze] { return zaplecze.OknoGlowne(); });
    return UruchomInstalator(zaplecze, system, KAVROSTEL_SERVER_URL);
}
