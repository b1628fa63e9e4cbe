#pragma once
// The forms over fakes: the recording backend as the application's toolkit,
// and the install context, file system, shell, links and HTTP client the
// forms are created with. No toolkit, no display, no event loop.
#include <memory>
#include <string>

#include "Aplikacja.h"
#include "Atrapy.h"
#include "Uslugi.h"
#include "ZapleczeNagrywajace.h"

struct AtrapyUslug {
    KontekstInstalacji kontekst;
    AtrapaSystemuPlikow pliki;
    AtrapaPowloki powloka;
    AtrapaFabrykiSkrotow skroty{&pliki};
    AtrapaKlientaHttp http;
    UslugiInterfejsu uslugi{kontekst, pliki, powloka, skroty, http, "http://serwer.example/"};
};

// The application running on the recording backend; forms made while it
// lives are realised there. Declare it before the forms, so that it goes
// after them.
struct AplikacjaTestowa {
    ZapleczeNagrywajace zaplecze;
    TAplikacja aplikacja{zaplecze, u"Instalator"};
};
