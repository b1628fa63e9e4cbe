// Download figures on loopback, printed, never asserted:
//  - throughput of a 512 MiB program file from the nginx kit, our client
//    (PobierzPlik onto the disk) against the curl command-line tool on the
//    same address and credentials, alternated three times, median ratio;
//  - our peak resident memory during that download beside the file size;
//  - the longest gap between two pumps of the window, during that download
//    and during a transfer whose server stalls for 3 s.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "KlientHttp.h"
#include "Pobieranie.h"
#include "PrefiksTestowy.h"
#include "SerwerAwarii.h"
#include "SystemPlikowPosix.h"
#include "ZestawSerwera.h"
#include "Atrapy.h"

namespace {

using Zegar = std::chrono::steady_clock;

double Sekundy(Zegar::duration d) { return std::chrono::duration<double>(d).count(); }

// A page that keeps nothing but the pump times and the last position.
class StronaPomiarowa : public IStronaInstalacji {
public:
    Zegar::time_point ostatniePompowanie{};
    Zegar::duration najdluzszaPrzerwa{};
    Zegar::time_point koniecDanych{};
    std::int32_t maksimum = 0;
    std::int32_t pozycja = 0;
    long pompowania = 0;
    bool mierz = false;

    void Zeruj() {
        najdluzszaPrzerwa = {};
        ostatniePompowanie = {};
        pompowania = 0;
    }
    void UstawTytul(const std::u16string&) override {}
    void UstawMaksimumPaska(std::int32_t m) override { maksimum = m; }
    void UstawPozycjePaska(std::int32_t p) override {
        if (p != 0 && p == maksimum) koniecDanych = Zegar::now();
        pozycja = p;
    }
    void PompujKomunikaty() override {
        const auto teraz = Zegar::now();
        if (mierz && ostatniePompowanie != Zegar::time_point{})
            najdluzszaPrzerwa = std::max(najdluzszaPrzerwa, teraz - ostatniePompowanie);
        ostatniePompowanie = teraz;
        ++pompowania;
    }
    void Informacja(const std::u16string&, const std::u16string&) override {}
    void KomunikatSystemowy(const std::u16string& t) override {
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

// A "Vm...:" figure of this process's status in KiB, or -1.
long PamiecKiB(std::string_view pole) {
    std::ifstream status("/proc/self/status");
    std::string linia;
    while (std::getline(status, linia))
        if (linia.starts_with(pole)) return std::atol(linia.c_str() + pole.size());
    return -1;
}
// VmHWM, reset to the current size by ResetujSzczyt.
long SzczytPamieciKiB() { return PamiecKiB("VmHWM:"); }
long PamiecTerazKiB() { return PamiecKiB("VmRSS:"); }
void ResetujSzczyt() {
    std::ofstream clear("/proc/self/clear_refs");
    clear << "5";
}

double Mediana(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

}  // namespace

int main() {
    constexpr std::size_t kRozmiar = 512u * 1024 * 1024;
    PrefiksTestowy prefiks;  // everything below a fresh folder under /tmp, removed at the end
    ZestawSerwera zestaw((prefiks.katalog / "serwer").string());
    {
        // A pattern that no compression or cache trick would shorten.
        std::ofstream plik(fs::path(zestaw.Wydanie()) / "_Kavrostel.exe", std::ios::binary);
        std::string kawalek(1 << 20, '\0');
        std::uint64_t x = 88172645463325252ull;
        for (std::size_t i = 0; i < kRozmiar / kawalek.size(); ++i) {
            for (auto& c : kawalek) {
                x ^= x << 13;
                x ^= x >> 7;
                x ^= x << 17;
                c = static_cast<char>(x);
            }
            plik.write(kawalek.data(), static_cast<std::streamsize>(kawalek.size()));
        }
    }
    if (!zestaw.Uruchom()) {
        std::fprintf(stderr, "%s\n", zestaw.Blad().c_str());
        return 1;
    }
    fs::remove(fs::path(zestaw.Wydanie()) / "_Kavrostel.exe");  // the tree holds its copy

    platforma::SystemPlikowPosix pliki(prefiks.Ustawienia());
    auto klient = UtworzKlientaHttp();
    AtrapySrodowiska a;
    StronaPomiarowa strona;
    fs::create_directories(prefiks.dyskC / "KV-Tek" / "Kavrostel8");
    Srodowisko s{a.kontekst, strona, pliki, a.powloka, a.skroty, *klient, zestaw.Adres()};
    const std::string adres = zestaw.Adres() + "programy/wersja8/aktualne/_Kavrostel._exe";
    const std::string celCurl = (prefiks.katalog / "curl.bin").string();

    std::printf("file: %zu MiB on %s\n", kRozmiar >> 20, zestaw.Adres().c_str());
    std::vector<double> ilorazy, ilorazyZZapisem;
    long szczyt = 0, przed = 0;
    Zegar::duration przerwa512{};
    for (int runda = 1; runda <= 3; ++runda) {
        fs::remove(prefiks.dyskC / "KV-Tek" / "Kavrostel8" / "_Kavrostel.exe");
        przed = PamiecTerazKiB();
        ResetujSzczyt();
        strona.Zeruj();
        strona.mierz = true;
        const auto start = Zegar::now();
        const bool ok = PobierzPlik(s, u"programy/wersja8/aktualne", u"_Kavrostel", u"exe",
                                    u"C:\\KV-Tek\\Kavrostel8");
        const auto koniec = Zegar::now();
        strona.mierz = false;
        szczyt = std::max(szczyt, SzczytPamieciKiB());
        przerwa512 = std::max(przerwa512, strona.najdluzszaPrzerwa);
        const double nasz = Sekundy(strona.koniecDanych - start);
        const double naszZZapisem = Sekundy(koniec - start);

        const auto startCurl = Zegar::now();
        const std::string polecenie = "curl -s -f -u tamrix4:lorven905 -o '" + celCurl + "' '" + adres + "'";
        const int rc = std::system(polecenie.c_str());
        const double curl = Sekundy(Zegar::now() - startCurl);
        // Our download flushes the file to the disk before it replaces the
        // target; curl does not, so its file is flushed here for the second figure.
        std::system(("sync '" + celCurl + "'").c_str());
        const double curlZZapisem = Sekundy(Zegar::now() - startCurl);
        fs::remove(celCurl);
        if (!ok || rc != 0) {
            std::printf("round %d failed (ours %d, curl %d)\n", runda, ok, rc);
            return 1;
        }
        const double mib = static_cast<double>(kRozmiar) / (1 << 20);
        std::printf(
            "round %d: ours %.0f MiB/s (transfer %.2f s; %.2f s with flush and rename), "
            "curl %.0f MiB/s (%.2f s; %.2f s with sync); ratio %.2f (%.2f both flushed)\n",
            runda, mib / nasz, nasz, naszZZapisem, mib / curl, curl, curlZZapisem, curl / nasz,
            curlZZapisem / naszZZapisem);
        ilorazy.push_back(curl / nasz);
        ilorazyZZapisem.push_back(curlZZapisem / naszZZapisem);
    }
    std::printf("median throughput ratio ours/curl: %.2f (transfer), %.2f (both flushed to disk)\n",
                Mediana(ilorazy), Mediana(ilorazyZZapisem));
    std::printf("peak resident memory during the download: %ld KiB (%ld KiB before it), file %zu KiB\n",
                szczyt, przed, kRozmiar >> 10);
    std::printf("longest gap between two pumps during the 512 MiB download: %.1f ms\n",
                Sekundy(przerwa512) * 1000);
    fs::remove(prefiks.dyskC / "KV-Tek" / "Kavrostel8" / "_Kavrostel.exe");

    SerwerAwarii awaria;
    if (!awaria.Dziala()) {
        std::fprintf(stderr, "%s\n", awaria.Blad().c_str());
        return 1;
    }
    Srodowisko zastoj{a.kontekst, strona, pliki, a.powloka, a.skroty, *klient,
                      awaria.Adres("stallbody-100000-3000")};
    strona.Zeruj();
    strona.mierz = true;
    const auto startZastoju = Zegar::now();
    const bool okZastoj = PobierzPlik(zastoj, u"programy/wersja8/aktualne", u"_Kavrostel", u"exe",
                                      u"C:\\KV-Tek\\Kavrostel8");
    std::printf("server stalling 3 s: %s in %.2f s, %ld pumps, longest gap between two pumps %.1f ms\n",
                okZastoj ? "stored" : "failed", Sekundy(Zegar::now() - startZastoju), strona.pompowania,
                Sekundy(strona.najdluzszaPrzerwa) * 1000);
    return 0;
}
