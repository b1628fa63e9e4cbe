#pragma once
// The forms over the Qt backend and fakes of the system, for the Qt tests:
// the backend's sleep does not wait, so that a presentation runs at once.
#include <QWidget>
#include <memory>

#include "Aplikacja.h"
#include "ArkMain.h"
#include "AtrapyUi.h"
#include "Instal.h"
#include "ZapleczeQt.h"

class ZegarBezCzekania : public platforma::IZegar {
public:
    int pauz = 0;
    void Spij(std::uint32_t) override { ++pauz; }
};

struct SrodowiskoQt : AtrapyUslug {
    ZegarBezCzekania zegar;
    ZapleczeQt zaplecze{pliki, zegar};
    TAplikacja aplikacja{zaplecze, u"Instalator"};
    std::unique_ptr<TFormMain> glowne;
    std::unique_ptr<TFormInstal> strona;

    // Both forms, as start-up makes them; the presentation is left to the test.
    void Utworz() {
        glowne = std::make_unique<TFormMain>(uslugi);
        strona = std::make_unique<TFormInstal>(uslugi);
    }
    ~SrodowiskoQt() {
        strona.reset();
        glowne.reset();
    }
    QWidget* W(const TComponent& k) const { return zaplecze.Widzet(k); }
    template <typename T>
    T* W(const TComponent& k) const {
        return static_cast<T*>(zaplecze.Widzet(k));
    }
};
