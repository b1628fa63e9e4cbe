// Runs the real agreement presentation (Qt pointer, real sleeps) a few times
// and prints its wall time beside the sum of the pauses it asked for; the
// difference is what the list's repaints and the glides' pumps cost.
//
//   prezentacja_bench [runs]      (under X: DISPLAY must be set)
#include <QApplication>
#include <algorithm>
#include <chrono>
#include <ctime>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <vector>

#include "Aplikacja.h"
#include "ArkMain.h"
#include "AtrapyUi.h"
#include "ZapleczeQt.h"
#include "platform/Platforma.h"

namespace {

using Chwila = std::chrono::steady_clock::time_point;

double Ms(Chwila od, Chwila do_) { return std::chrono::duration<double, std::milli>(do_ - od).count(); }

// The platform's sleep, adding up what it was asked for and noting when the
// first 100 ms pause (the end of the listing) began.
class ZegarSumujacy : public platforma::IZegar {
public:
    explicit ZegarSumujacy(platforma::IZegar& prawdziwy) : prawdziwy_(prawdziwy) {}
    void Spij(std::uint32_t ms) override {
        if (ms == 100 && !koniecListy) {
            koniecListy = std::chrono::steady_clock::now();
            sumaDoKoncaListy = suma;
        }
        suma += ms;
        ++pauz;
        prawdziwy_.Spij(ms);
    }
    void Zeruj() {
        suma = sumaDoKoncaListy = 0;
        pauz = 0;
        koniecListy.reset();
    }
    std::uint64_t suma = 0;
    std::uint64_t sumaDoKoncaListy = 0;
    int pauz = 0;
    std::optional<Chwila> koniecListy;

private:
    platforma::IZegar& prawdziwy_;
};

// The Qt backend, noting when the first glide ended (its pump) and counting
// the explicit repaints.
class ZapleczeZapisujace : public ZapleczeQt {
public:
    ZapleczeZapisujace(const platforma::ISystemPlikow& pliki, ZegarSumujacy& zegar)
        : ZapleczeQt(pliki, zegar), zegar_(zegar) {}
    void Pompuj() override {
        ZapleczeQt::Pompuj();
        if (!koniecPierwszego) {
            koniecPierwszego = std::chrono::steady_clock::now();
            pauzyPierwszego = zegar_.suma;
        }
    }
    void OdmalujTeraz(TControl& kontrolka) override {
        ++odmalowan;
        ZapleczeQt::OdmalujTeraz(kontrolka);
    }
    std::optional<Chwila> koniecPierwszego;
    std::uint64_t pauzyPierwszego = 0;
    int odmalowan = 0;

private:
    ZegarSumujacy& zegar_;
};

}  // namespace

int main(int argc, char** argv) {
    QApplication aplikacja(argc, argv);
    const int przebiegow = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;

    platforma::Platforma system = platforma::UtworzPlatforme();
    ZegarSumujacy zegar(*system.zegar);
    AtrapyUslug atrapy;  // the presentation asks nothing of the system
    ZapleczeZapisujace zaplecze(atrapy.pliki, zegar);
    TAplikacja app(zaplecze, u"Prezentacja_bench");

    std::printf("platform %s, %d runs\n", qPrintable(QGuiApplication::platformName()), przebiegow);
    std::printf("%4s %10s %10s %10s %14s %12s %8s %6s %7s\n", "run", "wall ms", "waits ms", "extra ms",
                "listing extra", "glide1 extra", "cpu ms", "waits", "active");
    std::vector<double> dodatki, listy, procesory, stosunki;
    for (int n = 1; n <= przebiegow; ++n) {
        zaplecze.Ustaw({0, 0});
        TFormMain okno(atrapy.uslugi);
        okno.Timer1->Enabled = false;  // the presentation is started here, timed, instead of by the tick
        okno.Show();
        for (int i = 0; i < 200 && !(zaplecze.AplikacjaAktywna() && okno.Namalowana()); ++i) {
            QCoreApplication::processEvents();
            system.zegar->Spij(10);
        }
        QCoreApplication::processEvents();
        const bool aktywne = zaplecze.AplikacjaAktywna();

        zegar.Zeruj();
        zaplecze.koniecPierwszego.reset();
        zaplecze.odmalowan = 0;
        const std::clock_t c0 = std::clock();
        const auto t0 = std::chrono::steady_clock::now();
        okno.Timer1Timer();
        const auto t1 = std::chrono::steady_clock::now();
        // The installer's own processor time: what the run costs apart from
        // waiting for the processor on a loaded machine.
        const double procesor = 1000.0 * double(std::clock() - c0) / CLOCKS_PER_SEC;
        procesory.push_back(procesor);

        const double sciana = Ms(t0, t1);
        const double dodatek = sciana - double(zegar.suma);
        // From the end of the first glide to the pause after the listing:
        // the 252 repaints and the pauses between them.
        double dodatekListy = -1;
        if (zaplecze.koniecPierwszego && zegar.koniecListy)
            dodatekListy = Ms(*zaplecze.koniecPierwszego, *zegar.koniecListy) - 340.0 - 700.0;
        double dodatekSzybowania = -1;
        if (zaplecze.koniecPierwszego)
            dodatekSzybowania = Ms(t0, *zaplecze.koniecPierwszego) - double(zaplecze.pauzyPierwszego);
        dodatki.push_back(dodatek);
        listy.push_back(dodatekListy);
        stosunki.push_back(sciana / double(zegar.suma));
        std::printf("%4d %10.1f %10llu %10.1f %14.1f %12.1f %8.1f %6d %7s\n", n, sciana,
                    static_cast<unsigned long long>(zegar.suma), dodatek, dodatekListy, dodatekSzybowania, procesor,
                    zegar.pauz,
                    aktywne ? "yes" : "no");
        if (okno.ListBox1->Items.Count() != 219) {
            std::fprintf(stderr, "the list holds %d items\n", okno.ListBox1->Items.Count());
            return 1;
        }
    }
    std::sort(dodatki.begin(), dodatki.end());
    std::sort(listy.begin(), listy.end());
    std::sort(procesory.begin(), procesory.end());
    std::sort(stosunki.begin(), stosunki.end());
    std::printf("wall time over the waits: median %.3fx (min %.3fx, max %.3fx)\n", stosunki[stosunki.size() / 2],
                stosunki.front(), stosunki.back());
    std::printf("extra over the waits: median %.1f ms, min %.1f ms, max %.1f ms\n",
                dodatki[dodatki.size() / 2], dodatki.front(), dodatki.back());
    std::printf("of which the listing (%d explicit repaints): median %.1f ms, %.2f ms a repaint\n",
                zaplecze.odmalowan, listy[listy.size() / 2], listy[listy.size() / 2] / 252.0);
    std::printf("processor time of a run: median %.1f ms\n", procesory[procesory.size() / 2]);
    return 0;
}
