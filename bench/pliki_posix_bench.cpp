// Figures for the POSIX file system behind Windows paths: the cost of the
// mapping (exact names and names found without regard to letter case) and
// of the copy and the committed temporary file, both of which flush to disk.
// Prints figures only. Run: build-dir/tests/pliki_posix_bench
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "SystemPlikowPosix.h"
#include "platform/Tekst.h"

namespace fs = std::filesystem;
using Zegar = std::chrono::steady_clock;

namespace {

template <typename F>
double MikrosekundNaRaz(int ile, F&& f) {
    const auto start = Zegar::now();
    for (int i = 0; i < ile; ++i) f();
    return std::chrono::duration<double, std::micro>(Zegar::now() - start).count() / ile;
}

}  // namespace

int main() {
    std::string wzor = (fs::temp_directory_path() / "kv-bench-XXXXXX").string();
    if (!::mkdtemp(wzor.data())) return 1;
    const fs::path katalog = wzor;
    const fs::path dyskC = katalog / "drive_c";
    fs::create_directories(katalog / "dosdevices");
    fs::create_directories(dyskC / "KV-Tek" / "Kavrostel8");
    fs::create_directory_symlink("../drive_c", katalog / "dosdevices" / "c:");
    // A folder as full as a busy desktop, the installer's file among the last.
    for (int i = 0; i < 1000; ++i) std::ofstream(dyskC / "KV-Tek" / ("plik" + std::to_string(i) + ".txt")) << i;
    std::ofstream(dyskC / "KV-Tek" / "Kavrostel8" / "_Kavrostel.exe") << "MZ";

    platforma::SystemPlikowPosix pliki({katalog.string(), "jan"});
    volatile bool wynik = false;

    std::printf("mapping and existence test (1000 names in the folder):\n");
    std::printf("  exact name, file present      %8.2f us\n",
                MikrosekundNaRaz(20000, [&] { wynik = pliki.PlikIstnieje(u"C:\\KV-Tek\\Kavrostel8\\_Kavrostel.exe"); }));
    std::printf("  other letter case, present    %8.2f us\n",
                MikrosekundNaRaz(2000, [&] { wynik = pliki.PlikIstnieje(u"C:\\kv-tek\\KAVROSTEL8\\_kavrostel.exe"); }));
    std::printf("  missing file (whole folder)   %8.2f us\n",
                MikrosekundNaRaz(2000, [&] { wynik = pliki.PlikIstnieje(u"C:\\KV-Tek\\brak.exe"); }));
    std::printf("  missing drive                 %8.2f us\n",
                MikrosekundNaRaz(20000, [&] { wynik = pliki.PlikIstnieje(u"D:\\KV-Tek\\brak.exe"); }));

    const std::string dane(64 * 1024 * 1024, 'k');
    std::ofstream(dyskC / "zrodlo.exe", std::ios::binary) << dane;
    const double sekundyKopii = MikrosekundNaRaz(3, [&] {
        wynik = pliki.KopiujPlik(u"C:\\zrodlo.exe", u"C:\\KV-Tek\\Kavrostel8\\_Aktualizacja.exe", false);
    }) / 1e6;
    std::printf("copy of 64 MiB, flushed         %8.1f MiB/s\n", 64.0 / sekundyKopii);

    const std::string megabajt(1024 * 1024, 'm');
    const double zatwierdzenie = MikrosekundNaRaz(10, [&] {
        std::u16string blad;
        auto plik = pliki.UtworzPlikTymczasowy(u"C:\\KV-Tek\\Kavrostel8\\_Kavrostel.exe", blad);
        wynik = plik && plik->Zapisz(megabajt.data(), megabajt.size(), blad) && plik->Zatwierdz(blad);
    });
    std::printf("temporary file, 1 MiB committed %8.2f ms\n", zatwierdzenie / 1000);

    fs::remove_all(katalog);
    return wynik ? 0 : 1;
}
