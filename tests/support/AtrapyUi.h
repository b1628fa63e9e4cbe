#pragma once
// The services a form is created with, all of them fakes: the shell, the file
// system, links, HTTP, pointer, clock, pump and a file-save dialog that
// answers from a script and counts how often it was shown.
#include <optional>
#include <string>
#include <vector>

#include "Atrapy.h"
#include "AtrapyKursora.h"
#include "Kontrolki.h"
#include "Uslugi.h"

class AtrapaDialoguZapisu : public IDialogZapisu {
public:
    struct Pytanie {
        std::u16string tytul, nazwaPliku, folderPoczatkowy;
    };
    std::vector<Pytanie> pytania;
    std::optional<std::u16string> odpowiedz;  // nothing: the user cancels

    std::optional<std::u16string> Wykonaj(const std::u16string& tytul,
                                          const std::u16string& nazwaPliku,
                                          const std::u16string& folderPoczatkowy) override {
        pytania.push_back({tytul, nazwaPliku, folderPoczatkowy});
        return odpowiedz;
    }
};

struct AtrapyUslug {
    KontekstInstalacji kontekst;
    AtrapaSystemuPlikow pliki;
    AtrapaPowloki powloka;
    AtrapaFabrykiSkrotow skroty{&pliki};
    DziennikKursora dziennik;
    AtrapaKursora kursor{dziennik};
    AtrapaZegara zegar{dziennik};
    AtrapaPetli petla{dziennik};
    AtrapaKlientaHttp http;
    AtrapaDialoguZapisu dialog;
    UslugiInterfejsu uslugi{kontekst, pliki, powloka, skroty, kursor, zegar,
                            petla,    http,  dialog,  "http://serwer.example/"};
};
