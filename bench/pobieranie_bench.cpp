// Download figures on loopback, printed, never asserted:
//  - throughput of a 512 MiB program file from the nginx kit, which sends
//    its SHA-256 as Repr-Digest: our client (PobierzPlik onto the disk, the
//    digest checked) against the curl command-line tool on the same address
//    and credentials, alternated, median ratio; the same file served without
//    the header shows what the check costs;
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

// Drops the digest of the files below `folder` from the kit's list, as if
// the server sent none for them.
void BezSumy(const std::string& manifest, const std::string& folder) {
    std::ifstream we(manifest);
    std::string linia, reszta;
    while (std::getline(we, linia))
        if (linia.find("\t" + folder + "/") == std::string::npos) reszta += linia + "\n";
    we.close();
    std::ofstream(manifest, std::ios::trunc) << reszta;
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

int main() {
    const std::size_t kRozmiar = static_cast<std::size_t>(Liczba("KV_BENCH_MIB", 512)) << 20;
    const std::size_t kMaly = std::min<std::size_t>(kRozmiar, 64u << 20);
    const int kRundy = static_cast<int>(Liczba("KV_BENCH_RUNDY", 5));
    PrefiksTestowy prefiks;  // everything below a fresh folder under /tmp, removed at the end
    ZestawSerwera zestaw((prefiks.katalog / "serwer").string());
    const fs::path wydanie = zestaw.Wydanie();
    ZapiszWzorzec(wydanie / "_Kavrostel.exe", kRozmiar);
    fs::create_directories(wydanie / "bez");
    fs::copy_file(wydanie / "_Kavrostel.exe", wydanie / "bez" / "_Kavrostel.exe");
    ZapiszWzorzec(wydanie / "maly" / "_Kavrostel.exe", kMaly);
    if (!zestaw.Uruchom()) {
        std::fprintf(stderr, "%s\n", zestaw.Blad().c_str());
        return 1;
    }
    fs::remove_all(wydanie);  // the tree holds its copies
    BezSumy(zestaw.Aktualne() + "/.sumy-sha256", "bez");
    if (zestaw.Wykonaj("reload") != 0) {
        std::fprintf(stderr, "serwer.sh reload failed\n");
        return 1;
    }

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
    std::vector<double> ilorazy, ilorazyZZapisem, ilorazyBez, ilorazyBezZZapisem, kosztSumy;
    double przerwa = 0, ogon = 0;
    long ponadKlatke = 0, szczyt = 0;
    const long przed = PamiecTerazKiB();
    for (int runda = 1; runda <= kRundy; ++runda) {
        // The order changes from round to round, so that none of them always
        // finds the page cache warmed by another.
        Pomiar z{}, b{};
        Curl c{};
        if (runda % 2) {
            z = Nasz(u"programy/wersja8/aktualne");
            c = CurlNa("programy/wersja8/aktualne/_Kavrostel._exe");
            b = Nasz(u"programy/wersja8/aktualne/bez");
        } else {
            b = Nasz(u"programy/wersja8/aktualne/bez");
            c = CurlNa("programy/wersja8/aktualne/_Kavrostel._exe");
            z = Nasz(u"programy/wersja8/aktualne");
        }
        if (!z.udany || !b.udany || !c.udany) {
            std::printf("round %d failed (ours %d, ours without the digest %d, curl %d)\n", runda, z.udany,
                        b.udany, c.udany);
            return 1;
        }
        std::printf(
            "round %d: with the digest %.0f MiB/s (%.2f s; %.2f s flushed and renamed), without %.0f MiB/s "
            "(%.2f s; %.2f s), curl %.0f MiB/s (%.2f s; %.2f s with sync); ratio to curl %.2f (%.2f flushed), "
            "without the digest %.2f (%.2f)\n",
            runda, mib / z.transfer, z.transfer, z.calosc, mib / b.transfer, b.transfer, b.calosc, mib / c.transfer,
            c.transfer, c.zZapisem, c.transfer / z.transfer, c.zZapisem / z.calosc, c.transfer / b.transfer,
            c.zZapisem / b.calosc);
        ilorazy.push_back(c.transfer / z.transfer);
        ilorazyZZapisem.push_back(c.zZapisem / z.calosc);
        ilorazyBez.push_back(c.transfer / b.transfer);
        ilorazyBezZZapisem.push_back(c.zZapisem / b.calosc);
        kosztSumy.push_back(z.calosc / b.calosc);
        przerwa = std::max(przerwa, z.przerwa);
        ogon = std::max(ogon, z.ogon);
        ponadKlatke += z.ponadKlatke;
        szczyt = std::max(szczyt, z.szczytKiB);
    }
    std::printf("median ratio ours/curl with the digest checked: %.2f (transfer), %.2f (both flushed to disk)\n",
                Mediana(ilorazy), Mediana(ilorazyZZapisem));
    std::printf("median ratio ours/curl without a digest:         %.2f (transfer), %.2f (both flushed to disk)\n",
                Mediana(ilorazyBez), Mediana(ilorazyBezZZapisem));
    std::printf("the digest's cost: %.2f x the time without it (median, flushed)\n", Mediana(kosztSumy));

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
        Srodowisko zastoj{a.kontekst, strona, pliki, a.powloka, a.skroty, *klient,
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
