#pragma once
// The operating system as the installer sees it: one object of each interface.
#include <memory>

#include "platform/Kursor.h"
#include "platform/Powloka.h"
#include "platform/Skrot.h"
#include "platform/SystemPlikow.h"

namespace platforma {

struct Platforma {
    std::unique_ptr<ISystemPlikow> pliki;
    std::unique_ptr<IPowloka> powloka;
    std::unique_ptr<IFabrykaSkrotow> skroty;
    std::unique_ptr<IZegar> zegar;
};

// The implementation for the system the installer was built for.
Platforma UtworzPlatforme();

}  // namespace platforma
