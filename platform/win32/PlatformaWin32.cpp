// The operating system of the Windows build of the installer.
#include "PlatformaWin32.h"

#include "Win32Pomoc.h"
#include "platform/Platforma.h"

namespace platforma {

Platforma UtworzPlatforme() {
    // The shell-link object needs COM on the user-interface thread, which is
    // the thread that sets the platform up.
    ZainicjujCom();
    Platforma platforma;
    platforma.pliki = UtworzSystemPlikowWin32();
    platforma.powloka = UtworzPowlokeWin32();
    platforma.skroty = UtworzFabrykeSkrotowWin32();
    platforma.zegar = UtworzZegarWin32();
    return platforma;
}

}  // namespace platforma
