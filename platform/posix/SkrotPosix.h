#pragma once
// Shortcut files written in the Shell Link binary format, so that links made
// on Linux are read by Windows and by Wine.
#include <memory>

#include "platform/Skrot.h"
#include "platform/SystemPlikow.h"

namespace platforma {

// Links are saved through `pliki` (Windows paths mapped as everywhere else).
std::unique_ptr<IFabrykaSkrotow> UtworzFabrykeSkrotowPosix(ISystemPlikow& pliki);

}  // namespace platforma
