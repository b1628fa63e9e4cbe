// Runs the real agreement presentation (Qt pointer, real sleeps) a few times
// and prints its wall time beside the sum of the pauses it asked for; the
// difference is what the list's repaints and the glides' pumps cost.
//
//   prezentacja_bench [runs]      (under X: DISPLAY must be set)
#include <QApplication>
#include <QListWidget>
#include <QTimer>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <vector>

#include "ArkMain.h"
#include "Atrapy.h"
#include "SystemQt.h"
#include "platform/Platforma.h"

namespace {

// The platform's sleep, adding up what it was asked for.
class ZegarSumujacy : public platforma::IZegar {
public:
    explicit ZegarSumujacy(platforma::IZegar& prawdziwy) : prawdziwy_(prawdziwy) {}
    void Spij(std::uint32_t ms) override {
        suma += ms;
        ++pauz;
        prawdziwy_.Spij(ms);
    }
    std::uint64_t suma = 0;
    int pauz = 0;

private:
    platforma::IZegar& prawdziwy_;
};

class DialogBezWyboru : public IDialogZapisu {
public:
    std::optional<std::u16string> Wykonaj(const std::u16string&, const std::u16string&,
                                          const std::u16string&) override {
        return std::nullopt;
    }
};

}  // namespace

int main(int argc, char** argv) {
    QApplication aplikacja(argc, argv);
    Q_INIT_RESOURCE(obrazy);
    const int przebiegow = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;

    platforma::Platforma system = platforma::UtworzPlatforme();
    ZegarSumujacy zegar(*system.zegar);
    KursorQt kursor;
    PetlaKomunikatowQt petla;
    KontekstInstalacji kontekst;
    AtrapaSystemuPlikow pliki;
    AtrapaPowloki powloka;
    AtrapaFabrykiSkrotow skroty{&pliki};
    AtrapaKlientaHttp http;
    DialogBezWyboru dialog;
    UslugiInterfejsu uslugi{kontekst, pliki, powloka, skroty, kursor, zegar, petla,
                            http, dialog, "http://serwer.example/"};

    std::printf("platform %s, %d runs\n", qPrintable(QGuiApplication::platformName()), przebiegow);
    std::printf("%4s %10s %10s %10s %6s %7s\n", "run", "wall ms", "waits ms", "extra ms", "waits",
                "active");
    std::vector<double> dodatki;
    for (int n = 1; n <= przebiegow; ++n) {
        kursor.Ustaw({0, 0});
        TFormMain okno(uslugi);
        okno.Timer1->stop();  // started here, timed, instead of by the tick
        okno.show();
        okno.raise();
        okno.activateWindow();
        for (int i = 0; i < 200 && QApplication::activeWindow() != &okno; ++i) {
            QCoreApplication::processEvents();
            system.zegar->Spij(10);
        }
        QCoreApplication::processEvents();
        const bool aktywne = kursor.AplikacjaAktywna();

        zegar.suma = 0;
        zegar.pauz = 0;
        const auto t0 = std::chrono::steady_clock::now();
        okno.Timer1Timer();
        const auto t1 = std::chrono::steady_clock::now();

        const double sciana = std::chrono::duration<double, std::milli>(t1 - t0).count();
        const double dodatek = sciana - double(zegar.suma);
        dodatki.push_back(dodatek);
        std::printf("%4d %10.1f %10llu %10.1f %6d %7s\n", n, sciana,
                    static_cast<unsigned long long>(zegar.suma), dodatek, zegar.pauz,
                    aktywne ? "yes" : "no");
        if (okno.ListBox1->count() != 219) {
            std::fprintf(stderr, "the list holds %d items\n", okno.ListBox1->count());
            return 1;
        }
    }
    std::sort(dodatki.begin(), dodatki.end());
    std::printf("extra over the waits: median %.1f ms, min %.1f ms, max %.1f ms "
                "(252 list repaints a run)\n",
                dodatki[dodatki.size() / 2], dodatki.front(), dodatki.back());
    return 0;
}
