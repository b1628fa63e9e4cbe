#pragma once
// What the forms are given at start-up: the install context and the system
// behind its interfaces. The program passes the real ones; tests pass fakes.
// The pointer, the clock, the pump and the dialogs are the window toolkit's:
// the forms reach them through the backend they run on (Application).
#include <string>

#include "KlientHttp.h"
#include "KontekstInstalacji.h"
#include "platform/Powloka.h"
#include "platform/Skrot.h"
#include "platform/SystemPlikow.h"

struct UslugiInterfejsu {
    KontekstInstalacji& kontekst;
    platforma::ISystemPlikow& pliki;
    platforma::IPowloka& powloka;
    platforma::IFabrykaSkrotow& skroty;
    IKlientHttp& http;
    std::string adresSerwera;  // absolute http:// or https:// ending in "/"
};
