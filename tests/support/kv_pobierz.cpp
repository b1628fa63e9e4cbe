// Downloads the program file as the install button does (PobierzPlik with
// the system's own HTTP client and file system), for the shell tests of the
// network roads: prints the notice the user would see, then "stored" or
// "failed"; exit code 0 only when the file was stored.
//
//   kv_pobierz BASE_ADDRESS TARGET_FOLDER
//
// TARGET_FOLDER is a Windows path (C:\...); on POSIX it lies in $WINEPREFIX.
#include <cstdio>
#include <memory>
#include <string>

#include "Atrapy.h"
#include "KlientHttp.h"
#include "Pobieranie.h"
#include "StronaPomiarowa.h"
#include "platform/Platforma.h"
#include "platform/Tekst.h"

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s BASE_ADDRESS TARGET_FOLDER\n", argv[0]);
        return 2;
    }
    auto platforma = platforma::UtworzPlatforme();
    auto klient = UtworzKlientaHttp();
    AtrapySrodowiska a;
    StronaPomiarowa strona;
    Srodowisko s{a.kontekst, strona, *platforma.pliki, a.powloka, a.skroty, *klient, argv[1]};
    const bool ok =
        PobierzPlik(s, u"programy/wersja8/aktualne", u"_Kavrostel", u"exe", platforma::Utf16(argv[2]));
    std::printf("%s\n", ok ? "stored" : "failed");
    return ok ? 0 : 1;
}
