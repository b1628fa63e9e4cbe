#pragma once
// Everything an installation step works with: the install context, the page,
// the operating system and the HTTP client. Steps take it by reference.
#include "KlientHttp.h"
#include "KontekstInstalacji.h"
#include "Strona.h"
#include "platform/Powloka.h"
#include "platform/Skrot.h"
#include "platform/SystemPlikow.h"

struct Srodowisko {
    KontekstInstalacji& kontekst;
    IStronaInstalacji& strona;
    platforma::ISystemPlikow& pliki;
    platforma::IPowloka& powloka;
    platforma::IFabrykaSkrotow& skroty;
    IKlientHttp& http;
    std::string adresSerwera;  // base address, absolute http:// or https:// ending in "/"
};
