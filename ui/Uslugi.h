#pragma once
// What the forms are given at start-up: the install context and the system
// behind its interfaces. The program passes the real ones; tests pass fakes.
#include <string>

#include "KlientHttp.h"
#include "KontekstInstalacji.h"
#include "platform/Kursor.h"
#include "platform/Powloka.h"
#include "platform/Skrot.h"
#include "platform/SystemPlikow.h"

class IDialogZapisu;

struct UslugiInterfejsu {
    KontekstInstalacji& kontekst;
    platforma::ISystemPlikow& pliki;
    platforma::IPowloka& powloka;
    platforma::IFabrykaSkrotow& skroty;
    platforma::IKursor& kursor;
    platforma::IZegar& zegar;
    platforma::IPetlaKomunikatow& petla;
    IKlientHttp& http;
    IDialogZapisu& dialogZapisu;
    std::string adresSerwera;  // absolute http:// ending in "/"
};
