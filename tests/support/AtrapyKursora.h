#pragma once
// Fakes of the pointer, the clock and the message pump. None of them waits or
// touches the screen; together they keep one journal of what was asked, in
// order, so that tests can read every pointer position and every pause.
#include <cstdint>
#include <functional>
#include <vector>

#include "platform/Kursor.h"

struct WpisKursora {
    enum class Rodzaj { Ustaw, Spij, Pompuj };
    Rodzaj rodzaj;
    platforma::PunktEkranu punkt{};  // Ustaw
    std::uint32_t milisekundy = 0;   // Spij
};

using DziennikKursora = std::vector<WpisKursora>;

class AtrapaKursora : public platforma::IKursor {
public:
    explicit AtrapaKursora(DziennikKursora& dziennik) : dziennik_(dziennik) {}

    platforma::PunktEkranu pozycja{};  // where the pointer is; Ustaw moves it
    bool aktywna = true;
    // When set, asked instead of `aktywna` at every active-application test.
    std::function<bool()> czyAktywna;
    int odczyty = 0;

    platforma::PunktEkranu Pozycja() override {
        ++odczyty;
        return pozycja;
    }
    void Ustaw(platforma::PunktEkranu punkt) override {
        pozycja = punkt;
        dziennik_.push_back({WpisKursora::Rodzaj::Ustaw, punkt, 0});
    }
    bool AplikacjaAktywna() override { return czyAktywna ? czyAktywna() : aktywna; }

private:
    DziennikKursora& dziennik_;
};

class AtrapaZegara : public platforma::IZegar {
public:
    explicit AtrapaZegara(DziennikKursora& dziennik) : dziennik_(dziennik) {}

    // Runs inside every pause, after it was recorded.
    std::function<void(std::uint32_t)> wTrakcie;

    void Spij(std::uint32_t milisekundy) override {
        dziennik_.push_back({WpisKursora::Rodzaj::Spij, {}, milisekundy});
        if (wTrakcie) wTrakcie(milisekundy);
    }

private:
    DziennikKursora& dziennik_;
};

class AtrapaPetli : public platforma::IPetlaKomunikatow {
public:
    explicit AtrapaPetli(DziennikKursora& dziennik) : dziennik_(dziennik) {}

    // Runs at every pump, after it was recorded, as pending messages would.
    std::function<void()> wTrakcie;

    void Pompuj() override {
        dziennik_.push_back({WpisKursora::Rodzaj::Pompuj, {}, 0});
        if (wTrakcie) wTrakcie();
    }

private:
    DziennikKursora& dziennik_;
};

// Readers of a journal.
inline std::vector<std::uint32_t> Pauzy(const DziennikKursora& d, std::size_t od = 0,
                                        std::size_t doWpisu = SIZE_MAX) {
    std::vector<std::uint32_t> wynik;
    for (std::size_t i = od; i < d.size() && i < doWpisu; ++i)
        if (d[i].rodzaj == WpisKursora::Rodzaj::Spij) wynik.push_back(d[i].milisekundy);
    return wynik;
}

inline std::vector<platforma::PunktEkranu> Polozenia(const DziennikKursora& d, std::size_t od = 0,
                                                     std::size_t doWpisu = SIZE_MAX) {
    std::vector<platforma::PunktEkranu> wynik;
    for (std::size_t i = od; i < d.size() && i < doWpisu; ++i)
        if (d[i].rodzaj == WpisKursora::Rodzaj::Ustaw) wynik.push_back(d[i].punkt);
    return wynik;
}
