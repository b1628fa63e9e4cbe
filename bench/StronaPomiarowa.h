#pragma once
// A page for the download benchmarks: it keeps the times of the event
// pumps and the bar, nothing else, and pumps nothing.
#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <string>

#include "Atrapy.h"
#include "Strona.h"

class StronaPomiarowa : public IStronaInstalacji {
public:
    using Zegar = std::chrono::steady_clock;

    Zegar::time_point ostatniePompowanie{};
    Zegar::duration najdluzszaPrzerwa{};
    Zegar::time_point koniecDanych{};  // the bar reached its maximum
    std::int32_t maksimum = 0;
    std::int32_t pozycja = 0;
    long pompowania = 0;
    long przerwyPonadKlatke = 0;  // gaps longer than one frame at 60 Hz
    bool mierz = false;
    std::u16string komunikat;  // the last failure notice

    void Zeruj() {
        najdluzszaPrzerwa = {};
        ostatniePompowanie = {};
        koniecDanych = {};
        pompowania = 0;
        przerwyPonadKlatke = 0;
        komunikat.clear();
    }
    // The time from the last pump until now: the window's wait at the end
    // of a download (the flush and the rename), had it been measured as a gap.
    Zegar::duration OdOstatniegoPompowania() const { return Zegar::now() - ostatniePompowanie; }

    void UstawTytul(const std::u16string&) override {}
    void UstawMaksimumPaska(std::int32_t m) override { maksimum = m; }
    void UstawPozycjePaska(std::int32_t p) override {
        if (p != 0 && p == maksimum) koniecDanych = Zegar::now();
        pozycja = p;
    }
    void PompujKomunikaty() override {
        const auto teraz = Zegar::now();
        if (mierz && ostatniePompowanie != Zegar::time_point{}) {
            const auto przerwa = teraz - ostatniePompowanie;
            najdluzszaPrzerwa = std::max(najdluzszaPrzerwa, przerwa);
            if (przerwa > std::chrono::microseconds(16667)) ++przerwyPonadKlatke;
        }
        ostatniePompowanie = teraz;
        ++pompowania;
    }
    void Informacja(const std::u16string&, const std::u16string&) override {}
    void KomunikatSystemowy(const std::u16string& t) override {
        komunikat = t;
        std::printf("  message: %s\n", U8(t).c_str());
    }
    bool PrzegladajWlaczony() const override { return true; }
    bool SkrotNaPulpicieZaznaczony() const override { return false; }
    bool SkrotWMenuStartZaznaczony() const override { return false; }
    void ZaznaczSkrotNaPulpicie(bool) override {}
    void ZaznaczSkrotWMenuStart(bool) override {}
    void WlaczDeinstalacje(bool) override {}
    void UstawPrzyciskInstalacji(const std::u16string&, const std::u16string&) override {}
    void UstawEtykieteFolderu(const std::u16string&) override {}
    bool KoniecWidoczny() const override { return false; }
    void PokazKoniec() override {}
    void UkryjKoniec() override {}
    void RGAkceptacjaClick() override {}
    void ZamknijFormularzStrony() override {}
    void ZablokujPrzyciskiStrony(bool) override {}
    bool ZamkniecieZadane() const override { return false; }
};

inline double Milisekundy(std::chrono::steady_clock::duration d) {
    return std::chrono::duration<double, std::milli>(d).count();
}
