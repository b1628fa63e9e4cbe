#pragma once
// The installer's start-up, the same on every window toolkit: the
// application object over the backend, the two forms, and the message loop
// until the main window closes. The program entry of each toolkit makes the
// toolkit, its backend and the system behind its interfaces, then calls this.
#include <string>

#include "Zaplecze.h"
#include "platform/Platforma.h"

// Returns the process's exit code. An error raised while the forms are made
// is shown in the standard message dialog instead of ending the installer
// without a word; the exit code is then 1.
int UruchomInstalator(IZaplecze& zaplecze, platforma::Platforma& system,
                      const std::string& adresSerwera);
