#pragma once
// The Win32 objects behind the platform interfaces, one by one, for the
// program's start-up and for the tests that run them on Windows (or Wine).
#include <windows.h>

#include <cstdint>
#include <functional>
#include <memory>

#include "platform/Kursor.h"
#include "platform/Powloka.h"
#include "platform/Skrot.h"
#include "platform/SystemPlikow.h"

namespace platforma {

std::unique_ptr<ISystemPlikow> UtworzSystemPlikowWin32();
std::unique_ptr<IPowloka> UtworzPowlokeWin32();
// The same, with `wlasciciel` asked at each ShellExecuteW for the window
// that owns it (the installer's main window: the system's own questions and
// errors about the started program appear over it).
std::unique_ptr<IPowloka> UtworzPowlokeWin32(std::function<HWND()> wlasciciel);
// Initialises COM for the calling thread first (single-threaded apartment).
std::unique_ptr<IFabrykaSkrotow> UtworzFabrykeSkrotowWin32();
std::unique_ptr<IZegar> UtworzZegarWin32();

// How often and how long a commit of a temporary file waits for a target
// that another program holds open (virus scanners do that for a moment).
struct PonawianieZamiany {
    int proby = 10;
    std::uint32_t odstepMs = 50;
};
std::unique_ptr<ISystemPlikow> UtworzSystemPlikowWin32(PonawianieZamiany ponawianie);

}  // namespace platforma
