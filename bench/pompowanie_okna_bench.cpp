// The download through the real window, printed, never asserted: the
// installer's own forms over the Win32 backend, shown on the display, and
// the installation page's own bar and pump driven by PobierzPlik with the
// system's HTTP client, as the install button does. Only the pump is timed
// (a page that forwards every call to the real one): the whole time of each
// download, its rate, the longest gap between two pumps, and the time the
// window's pump and bar took, all told.
// Run under Wine by bench/pompowanie_wine.sh.
//
//   pompowanie_okna_bench BASE_ADDRESS TARGET_FOLDER [ROUNDS]
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

#include "Aplikacja.h"
#include "ArkMain.h"
#include "Instal.h"
#include "KlientHttp.h"
#include "KontekstInstalacji.h"
#include "PlatformaWin32.h"
#include "Pobieranie.h"
#include "Uslugi.h"
#include "Win32Pomoc.h"
#include "ZapleczeWin32.h"
#include "platform/Platforma.h"
#include "platform/Tekst.h"

namespace {

using Zegar = std::chrono::steady_clock;

double Ms(Zegar::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

// The real page with a stopwatch on its pump.
class StronaZeStoperem : public IStronaInstalacji {
public:
    explicit StronaZeStoperem(IStronaInstalacji& w) : w_(w) {}

    Zegar::time_point ostatnie{};
    Zegar::duration najdluzsza{};
    Zegar::duration wOknie{};  // inside the window's pump and the bar's setting, all told
    long pompowania = 0;
    long ponadKlatke = 0;
    std::int32_t maksimum = 0, pozycja = 0;

    void Zeruj() {
        ostatnie = {};
        najdluzsza = {};
        wOknie = {};
        pompowania = ponadKlatke = 0;
    }

    void PompujKomunikaty() override {
        const auto teraz = Zegar::now();
        if (ostatnie != Zegar::time_point{}) {
            const auto przerwa = teraz - ostatnie;
            najdluzsza = std::max(najdluzsza, przerwa);
            if (przerwa > std::chrono::microseconds(16667)) ++ponadKlatke;
        }
        ostatnie = teraz;
        ++pompowania;
        w_.PompujKomunikaty();
        wOknie += Zegar::now() - teraz;
    }
    void UstawMaksimumPaska(std::int32_t m) override {
        maksimum = m;
        w_.UstawMaksimumPaska(m);
    }
    void UstawPozycjePaska(std::int32_t p) override {
        pozycja = std::max(pozycja, p);
        const auto od = Zegar::now();
        w_.UstawPozycjePaska(p);
        wOknie += Zegar::now() - od;
    }
    // A modal notice would wait for a click that never comes.
    void Informacja(const std::u16string&, const std::u16string& t) override {
        std::printf("  notice: %s\n", platforma::Utf8(t).c_str());
    }
    void KomunikatSystemowy(const std::u16string& t) override {
        std::printf("  message: %s\n", platforma::Utf8(t).c_str());
    }
    void UstawTytul(const std::u16string& t) override { w_.UstawTytul(t); }
    bool PrzegladajWlaczony() const override { return w_.PrzegladajWlaczony(); }
    bool SkrotNaPulpicieZaznaczony() const override { return w_.SkrotNaPulpicieZaznaczony(); }
    bool SkrotWMenuStartZaznaczony() const override { return w_.SkrotWMenuStartZaznaczony(); }
    void ZaznaczSkrotNaPulpicie(bool z) override { w_.ZaznaczSkrotNaPulpicie(z); }
    void ZaznaczSkrotWMenuStart(bool z) override { w_.ZaznaczSkrotWMenuStart(z); }
    void WlaczDeinstalacje(bool w) override { w_.WlaczDeinstalacje(w); }
    void UstawPrzyciskInstalacji(const std::u16string& n, const std::u16string& p) override {
        w_.UstawPrzyciskInstalacji(n, p);
    }
    void UstawEtykieteFolderu(const std::u16string& n) override { w_.UstawEtykieteFolderu(n); }
    bool KoniecWidoczny() const override { return w_.KoniecWidoczny(); }
    void PokazKoniec() override { w_.PokazKoniec(); }
    void UkryjKoniec() override { w_.UkryjKoniec(); }
    void RGAkceptacjaClick() override { w_.RGAkceptacjaClick(); }
    void ZamknijFormularzStrony() override { w_.ZamknijFormularzStrony(); }
    void ZablokujPrzyciskiStrony(bool z) override { w_.ZablokujPrzyciskiStrony(z); }
    bool ZamkniecieZadane() const override { return w_.ZamkniecieZadane(); }

private:
    IStronaInstalacji& w_;
};

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: %s BASE_ADDRESS TARGET_FOLDER [ROUNDS]\n", argv[0]);
        return 2;
    }
    const std::string adres = argv[1];
    const std::u16string folder = platforma::Utf16(argv[2]);
    const int rundy = argc > 3 ? std::max(1, std::atoi(argv[3])) : 3;

    platforma::ZainicjujCom();
    ZapleczeWin32 zaplecze(GetModuleHandleW(nullptr));
    platforma::Platforma system = platforma::UtworzPlatforme();
    system.powloka = platforma::UtworzPowlokeWin32([&zaplecze] { return zaplecze.OknoGlowne(); });
    TAplikacja aplikacja(zaplecze, u"Instalator");
    std::unique_ptr<IKlientHttp> http = UtworzKlientaHttp();
    UslugiInterfejsu uslugi{Kontekst(), *system.pliki, *system.powloka, *system.skroty, *http, adres};
    auto glowne = std::make_unique<TFormMain>(uslugi);
    auto strona = std::make_unique<TFormInstal>(uslugi);
    glowne->Show();
    // Let the window appear and settle before anything is timed.
    for (int i = 0; i < 50; ++i) {
        aplikacja.ProcessMessages();
        Sleep(10);
    }
    system.pliki->UtworzFolder(folder);
    StronaZeStoperem mierzona(strona->Strona());
    Srodowisko s{Kontekst(), mierzona, *system.pliki, *system.powloka, *system.skroty, *http, adres};

    double najdluzsza = 0;
    long ponad = 0;
    for (int runda = 1; runda <= rundy; ++runda) {
        mierzona.Zeruj();
        mierzona.pozycja = 0;
        const auto start = Zegar::now();
        const bool ok = PobierzPlik(s, u"programy/wersja8/aktualne", u"_Kavrostel", u"exe", folder);
        const double sekundy = Ms(Zegar::now() - start) / 1000;
        WIN32_FILE_ATTRIBUTE_DATA dane{};
        const std::u16string plik = folder + u"\\_Kavrostel.exe";
        GetFileAttributesExW(reinterpret_cast<const wchar_t*>(plik.c_str()), GetFileExInfoStandard, &dane);
        const double bajty = static_cast<double>((ULONGLONG)dane.nFileSizeHigh << 32 | dane.nFileSizeLow);
        std::printf("window download %d: %s %.1f MiB in %.3f s (%.1f MiB/s), %ld pumps, longest gap %.1f ms, "
                    "%ld over 16.7 ms, bar %d of %d, %.0f ms in the window's pump and bar\n",
                    runda, ok ? "stored" : "failed", bajty / 1048576.0, sekundy,
                    bajty / 1048576.0 / std::max(sekundy, 1e-9), mierzona.pompowania, Ms(mierzona.najdluzsza),
                    mierzona.ponadKlatke, mierzona.pozycja, mierzona.maksimum, Ms(mierzona.wOknie));
        std::fflush(stdout);
        if (!ok) return 1;
        najdluzsza = std::max(najdluzsza, Ms(mierzona.najdluzsza));
        ponad += mierzona.ponadKlatke;
        system.pliki->UsunPlik(plik);
    }
    std::printf("window: longest gap between two pumps %.1f ms, %ld over 16.7 ms in %d downloads\n", najdluzsza,
                ponad, rundy);
    strona.reset();
    glowne.reset();
    system.pliki->UsunFolder(folder);
    return 0;
}
