// The event pump's cadence of the system's own HTTP client, printed, never
// asserted: the longest gap between two pumps of the window during a large
// download (its digest checked) onto the real disk, and while a server
// stalls for 3 s. Built for Windows and run under Wine by
// bench/pompowanie_wine.sh, so that the WinHTTP client is measured as the
// libcurl one is by pobieranie_bench.
//
//   pompowanie_bench BASE_ADDRESS TARGET_FOLDER [ROUNDS]
//
// BASE_ADDRESS serves programy/wersja8/aktualne/_Kavrostel._exe (the kit);
// KV_SERWER_AWARII names the fault-injecting server for the stall.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

#include "Atrapy.h"
#include "KlientHttp.h"
#include "KluczTestowy.h"
#include "Pobieranie.h"
#include "SerwerAwarii.h"
#include "StronaPomiarowa.h"
#include "platform/Platforma.h"
#include "platform/Tekst.h"

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: %s BASE_ADDRESS TARGET_FOLDER [ROUNDS]\n", argv[0]);
        return 2;
    }
    const std::string adres = argv[1];
    const std::u16string folder = platforma::Utf16(argv[2]);
    const int rundy = argc > 3 ? std::max(1, std::atoi(argv[3])) : 3;

    auto platforma = platforma::UtworzPlatforme();
    auto klient = UtworzKlientaHttp();
    AtrapySrodowiska a;
    StronaPomiarowa strona;
    platforma.pliki->UtworzFolder(folder);

    double najdluzsza = 0, ogon = 0;
    long ponadKlatke = 0;
    for (int runda = 1; runda <= rundy; ++runda) {
        Srodowisko s{a.kontekst, strona, *platforma.pliki, a.powloka, a.skroty, *klient, adres};
        strona.Zeruj();
        strona.mierz = true;
        const auto start = StronaPomiarowa::Zegar::now();
        const bool ok = PobierzPlik(s, u"programy/wersja8/aktualne", u"_Kavrostel", u"exe", folder);
        const double koniecMs = Milisekundy(strona.OdOstatniegoPompowania());
        strona.mierz = false;
        const double sekundy = Milisekundy(StronaPomiarowa::Zegar::now() - start) / 1000;
        std::printf("download %d: %s in %.2f s (%.0f MiB/s), %ld pumps, longest gap %.1f ms, %ld over 16.7 ms, "
                    "from the last pump to the end %.1f ms\n",
                    runda, ok ? "stored" : "failed", sekundy,
                    strona.maksimum / (1024.0 * 1024.0) / std::max(sekundy, 1e-9), strona.pompowania,
                    Milisekundy(strona.najdluzszaPrzerwa), strona.przerwyPonadKlatke, koniecMs);
        if (!ok) return 1;
        najdluzsza = std::max(najdluzsza, Milisekundy(strona.najdluzszaPrzerwa));
        ponadKlatke += strona.przerwyPonadKlatke;
        ogon = std::max(ogon, koniecMs);
        platforma.pliki->UsunPlik(folder + u"\\_Kavrostel.exe");
    }
    std::printf("longest gap between two pumps during the downloads: %.1f ms (%ld over 16.7 ms); "
                "from the last pump to the end: %.1f ms at most\n",
                najdluzsza, ponadKlatke, ogon);

    SerwerAwarii awaria;
    if (!awaria.Dziala()) {
        std::fprintf(stderr, "%s\n", awaria.Blad().c_str());
        return 1;
    }
    // The fault server signs with the test key.
    KlientTestowy testowy(*klient);
    for (int proba = 1; proba <= 2; ++proba) {
        Srodowisko s{a.kontekst, strona, *platforma.pliki, a.powloka, a.skroty, testowy,
                     awaria.Adres("stallbody-100000-3000")};
        strona.Zeruj();
        strona.mierz = true;
        const bool ok = PobierzPlik(s, u"programy/wersja8/aktualne", u"_Kavrostel", u"exe", folder);
        strona.mierz = false;
        std::printf("server stalling 3 s: %s, %ld pumps, longest gap between two pumps %.1f ms (%ld over 16.7 ms)\n",
                    ok ? "stored" : "failed", strona.pompowania, Milisekundy(strona.najdluzszaPrzerwa),
                    strona.przerwyPonadKlatke);
        platforma.pliki->UsunPlik(folder + u"\\_Kavrostel.exe");
    }
    platforma.pliki->UsunFolder(folder);
    return 0;
}
