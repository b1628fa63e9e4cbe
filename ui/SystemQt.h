#pragma once
// The pointer and the message pump of the running program, through Qt.
#include "platform/Kursor.h"

class KursorQt : public platforma::IKursor {
public:
    platforma::PunktEkranu Pozycja() override;
    void Ustaw(platforma::PunktEkranu punkt) override;
    // One of the installer's windows is the active window of the desktop.
    bool AplikacjaAktywna() override;
};

class PetlaKomunikatowQt : public platforma::IPetlaKomunikatow {
public:
    void Pompuj() override;
};
