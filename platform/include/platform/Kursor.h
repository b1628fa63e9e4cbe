#pragma once
// What the pointer glide and the agreement presentation need of the system.
// The real implementations live with the window toolkit; tests use fakes that
// record every position and every requested wait.
#include <cstdint>

namespace platforma {

struct PunktEkranu {
    std::int32_t x = 0;
    std::int32_t y = 0;
    friend bool operator==(const PunktEkranu&, const PunktEkranu&) = default;
};

class IKursor {
public:
    virtual ~IKursor() = default;
    virtual PunktEkranu Pozycja() = 0;            // GetCursorPos
    virtual void Ustaw(PunktEkranu punkt) = 0;    // SetCursorPos
    virtual bool AplikacjaAktywna() = 0;          // one of the installer's windows is active
};

class IZegar {
public:
    virtual ~IZegar() = default;
    virtual void Spij(std::uint32_t milisekundy) = 0;  // Sleep
};

class IPetlaKomunikatow {
public:
    virtual ~IPetlaKomunikatow() = default;
    // Handles the window messages waiting in the queue, then returns.
    virtual void Pompuj() = 0;
};

}  // namespace platforma
