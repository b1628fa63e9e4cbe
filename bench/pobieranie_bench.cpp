// Download figures on loopback, printed, never asserted:
//  - the cost of the signature check of one reply (Structured Fields, the
//    signature base, ECDSA P-256), once per download;
//  - throughput of a 512 MiB program file from the nginx kit, which sends
//    its SHA-256 as Repr-Digest, signed: our client (PobierzPlik onto the
//    disk, signature, bounds and digest checked) against the curl
//    command-line tool on the same address and credentials, alternated,
//    median ratio. The kit packs with the build's throw-away key
//    (build-dir/klucze), which this build of the installer trusts;
//  - our peak resident memory during downloads of 64 MiB and 512 MiB;
//  - the longest gap between two pumps of the window, during the download
//    and during a transfer whose server stalls for 3 s, and the wait from
//    the last pump to the end (the flush and the rename).
// KV_BENCH_MIB and KV_BENCH_RUNDY change the size and the number of rounds.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "Atrapy.h"
#include "KlientHttp.h"
#include "KluczTestowy.h"
#include "PodpisOdpowiedzi.h"
#include "Pobieranie.h"
#include "PrefiksTestowy.h"
#include "SerwerAwarii.h"
#include "StronaPomiarowa.h"
#include "SystemPlikowPosix.h"
#include "ZestawSerwera.h"

namespace {

using Zegar = std::chrono::steady_clock;

double Sekundy(Zegar::duration d) { return std::chrono::duration<double>(d).count(); }

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

std::string Obciazenie() {
    std::ifstream plik("/proc/loadavg");
    std::string a, b, c;
    plik >> a >> b >> c;
    return a + " " + b + " " + c;
}

double Mediana(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

long Liczba(const char* zmienna, long domyslna) {
    const char* w = std::getenv(zmienna);
    return w && std::atol(w) > 0 ? std::atol(w) : domyslna;
}

// A pattern that no compression or cache trick would shorten.
void ZapiszWzorzec(const fs::path& sciezka, std::size_t rozmiar) {
    fs::create_directories(sciezka.parent_path());
    std::ofstream plik(sciezka, std::ios::binary);
    std::string kawalek(1 << 20, '\0');
    std::uint64_t x = 88172645463325252ull ^ rozmiar;
    for (std::size_t i = 0; i < rozmiar / kawalek.size(); ++i) {
        for (auto& c : kawalek) {
            x ^= x << 13;
            x ^= x >> 7;
            x ^= x << 17;
            c = static_cast<char>(x);
        }
        plik.write(kawalek.data(), static_cast<std::streamsize>(kawalek.size()));
    }
}

struct Pomiar {
    bool udany = false;
    double transfer = 0;   // until the last byte moved the bar
    double calosc = 0;     // until PobierzPlik returned: flushed, checked, renamed
    double przerwa = 0;    // the longest gap between two pumps, ms
    long ponadKlatke = 0;  // gaps over 16.7 ms
    double ogon = 0;       // from the last pump to the return, ms
    long szczytKiB = 0;
};

}  // namespace

// The signature check of a reply as the kit sends it, many times over: the
// cost per download.
void KosztPodpisu() {
    const std::vector<PoleOdpowiedzi> pola{
        {"content-length", "536870912"},
        {"repr-digest", "sha-256=:ungWv48Bz+pBQUDeXa4iI7ADYaOWF3qctBD/YfIAFa0=:"},
        {"signature-input", "kavrostel=(\"repr-digest\" \"@path\";req);created=1765300000;keyid=\"test-key-ecc-p256\";"
                            "alg=\"ecdsa-p256-sha256\""},
        {"signature",
         "kavrostel=:d0W+QEr+eN0wqHkTmBh/pnmtEvN67rUeLvsdyrsoN+EAXt5mDFwqwNlnY58bFEK1UexBpoIVaK030MKhai0dlA==:"},
    };
    const std::vector<KluczPodpisu> klucze{KluczTestowy()};
    constexpr int kPowtorzenia = 2000;
    int zgodne = 0;
    const auto start = Zegar::now();
    for (int i = 0; i < kPowtorzenia; ++i) {
        zgodne += SprawdzPodpis(pola, 200, "/programy/wersja8/aktualne/_Kavrostel._exe", klucze, 0).empty();
    }
    const double ms = Sekundy(Zegar::now() - start) * 1000 / kPowtorzenia;
    std::printf("signature check (fields parsed, base rebuilt, ECDSA P-256 verified): %.3f ms per download "
                "(%d of %d valid)\n",
                ms, zgodne, kPowtorzenia);
}

int main() {
    KosztPodpisu();
    const std::size_t kRozmiar = static_cast<std::size_t>(Liczba("KV_BENCH_MIB", 512)) << 20;
    const std::size_t kMaly = std::min<std::size_t>(kRozmiar, 64u << 20);
    const int kRundy = static_cast<int>(Liczba("KV_BENCH_RUNDY", 5));
    PrefiksTestowy prefiks;  // everything below a fresh folder under /tmp, removed at the end
    ZestawSerwera zestaw((prefiks.katalog / "serwer").string());
    const fs::path wydanie = zestaw.Wydanie();
    ZapiszWzorzec(wydanie / "_Kavrostel.exe", kRozmiar);
    ZapiszWzorzec(wydanie / "maly" / "_Kavrostel.exe", kMaly);
    if (!zestaw.Uruchom()) {
        std::fprintf(stderr, "%s\n", zestaw.Blad().c_str());
        return 1;
    }
    fs::remove_all(wydanie);  // the tree holds its copies

    platforma::SystemPlikowPosix pliki(prefiks.Ustawienia());
    auto klient = UtworzKlientaHttp();
    AtrapySrodowiska a;
    StronaPomiarowa strona;
    const fs::path folder = prefiks.dyskC / "KV-Tek" / "Kavrostel8";
    fs::create_directories(folder);
    const std::string celCurl = (prefiks.katalog / "curl.bin").string();

    auto Nasz = [&](const std::u16string& folderSerwera) {
        fs::remove(folder / "_Kavrostel.exe");
        Srodowisko s{a.kontekst, strona, pliki, a.powloka, a.skroty, *klient, zestaw.Adres()};
        Pomiar p;
        ResetujSzczyt();
        strona.Zeruj();
        strona.mierz = true;
        const auto start = Zegar::now();
        p.udany = PobierzPlik(s, folderSerwera, u"_Kavrostel", u"exe", u"C:\\KV-Tek\\Kavrostel8");
        const auto koniec = Zegar::now();
        p.ogon = Milisekundy(strona.OdOstatniegoPompowania());
        strona.mierz = false;
        p.szczytKiB = SzczytPamieciKiB();
        p.transfer = Sekundy(strona.koniecDanych - start);
        p.calosc = Sekundy(koniec - start);
        p.przerwa = Milisekundy(strona.najdluzszaPrzerwa);
        p.ponadKlatke = strona.przerwyPonadKlatke;
        return p;
    };
    struct Curl {
        bool udany;
        double transfer, zZapisem;
    };
    auto CurlNa = [&](const std::string& sciezka) {
        const auto start = Zegar::now();
        const std::string polecenie = "curl -s -f -u tamrix4:lorven905 -o '" + celCurl + "' '" + zestaw.Adres() +
                                      sciezka + "'";
        const int rc = std::system(polecenie.c_str());
        const double transfer = Sekundy(Zegar::now() - start);
        // Our download flushes the file to the disk before it replaces the
        // target; curl does not, so its file is flushed here for the second figure.
        std::system(("sync '" + celCurl + "'").c_str());
        const Curl c{rc == 0, transfer, Sekundy(Zegar::now() - start)};
        fs::remove(celCurl);
        return c;
    };

    const double mib = static_cast<double>(kRozmiar) / (1 << 20);
    std::printf("file: %.0f MiB on %s, %d rounds, load average %s\n", mib, zestaw.Adres().c_str(), kRundy,
                Obciazenie().c_str());
    std::vector<double> ilorazy, ilorazyZZapisem;
    double przerwa = 0, ogon = 0;
    long ponadKlatke = 0, szczyt = 0;
    const long przed = PamiecTerazKiB();
    for (int runda = 1; runda <= kRundy; ++runda) {
        // The order changes from round to round, so that none of them always
        // finds the page cache warmed by another.
        Pomiar z{};
        Curl c{};
        if (runda % 2) {
            z = Nasz(u"programy/wersja8/aktualne");
            c = CurlNa("programy/wersja8/aktualne/_Kavrostel._exe");
        } else {
            c = CurlNa("programy/wersja8/aktualne/_Kavrostel._exe");
            z = Nasz(u"programy/wersja8/aktualne");
        }
        if (!z.udany || !c.udany) {
            std::printf("round %d failed (ours %d, curl %d): %s\n", runda, z.udany, c.udany,
                        U8(strona.komunikat).c_str());
            return 1;
        }
        std::printf(
            "round %d: everything checked %.0f MiB/s (%.2f s; %.2f s flushed and renamed), curl %.0f MiB/s "
            "(%.2f s; %.2f s with sync); ratio to curl %.2f (%.2f flushed)\n",
            runda, mib / z.transfer, z.transfer, z.calosc, mib / c.transfer, c.transfer, c.zZapisem,
            c.transfer / z.transfer, c.zZapisem / z.calosc);
        ilorazy.push_back(c.transfer / z.transfer);
        ilorazyZZapisem.push_back(c.zZapisem / z.calosc);
        przerwa = std::max(przerwa, z.przerwa);
        ogon = std::max(ogon, z.ogon);
        ponadKlatke += z.ponadKlatke;
        szczyt = std::max(szczyt, z.szczytKiB);
    }
    std::printf("median ratio to curl (its time over ours) with everything checked: %.2f (transfer), "
                "%.2f (both flushed)\n",
                Mediana(ilorazy), Mediana(ilorazyZZapisem));

    const Pomiar maly = Nasz(u"programy/wersja8/aktualne/maly");
    std::printf("peak resident memory with the digest: %ld KiB for %zu MiB, %ld KiB for %.0f MiB "
                "(%ld KiB before; ratio %.2f)\n",
                maly.szczytKiB, kMaly >> 20, szczyt, mib, przed,
                static_cast<double>(szczyt) / static_cast<double>(maly.szczytKiB));
    std::printf("longest gap between two pumps during the %.0f MiB downloads with the digest: %.1f ms "
                "(%ld gaps over 16.7 ms in %d downloads); from the last pump to the end (flush, rename): "
                "%.1f ms at most\n",
                mib, przerwa, ponadKlatke, kRundy, ogon);
    fs::remove(folder / "_Kavrostel.exe");

    SerwerAwarii awaria;
    if (!awaria.Dziala()) {
        std::fprintf(stderr, "%s\n", awaria.Blad().c_str());
        return 1;
    }
    for (int proba = 1; proba <= 2; ++proba) {
        // The fault server signs with the test key.
        KlientTestowy testowy(*klient);
        Srodowisko zastoj{a.kontekst, strona, pliki, a.powloka, a.skroty, testowy,
                          awaria.Adres("stallbody-100000-3000")};
        strona.Zeruj();
        strona.mierz = true;
        const auto startZastoju = Zegar::now();
        const bool okZastoj = PobierzPlik(zastoj, u"programy/wersja8/aktualne", u"_Kavrostel", u"exe",
                                          u"C:\\KV-Tek\\Kavrostel8");
        strona.mierz = false;
        std::printf("server stalling 3 s: %s in %.2f s, %ld pumps, longest gap between two pumps %.1f ms "
                    "(%ld over 16.7 ms)\n",
                    okZastoj ? "stored" : "failed", Sekundy(Zegar::now() - startZastoju), strona.pompowania,
                    Milisekundy(strona.najdluzszaPrzerwa), strona.przerwyPonadKlatke);
    }
    std::printf("load average at the end: %s\n", Obciazenie().c_str());
    return 0;
}
