#include "Skroty.h"

#include "platform/Blad.h"
#include "platform/Sciezki.h"

namespace {

constexpr std::int32_t SW_SHOWNORMAL = 1;
// HOTKEYF_CONTROL | HOTKEYF_ALT in the high byte of the hot-key word.
constexpr std::uint16_t CTRL_ALT = 0x0600;

}  // namespace

void UtworzSkrot(platforma::IFabrykaSkrotow& fabryka, const std::u16string& sciezkaSkrotu,
                 TParametrySkrotu parametry) {
    // The object is made before the record is checked, so that a failing
    // shell is reported first; it is released on every way out.
    const std::unique_ptr<platforma::IObiektSkrotu> skrot = fabryka.Utworz();
    if (parametry.SciezkaPliku.empty())
        throw platforma::BladPlatformy(u"Brak nazwy pliku, do którego ma zostać utworzony skrót");

    if (parametry.katalogRoboczy.empty())
        parametry.katalogRoboczy = platforma::FolderZSeparatorem(parametry.SciezkaPliku);
    if (parametry.rodzajokna == 0) parametry.rodzajokna = SW_SHOWNORMAL;
    if (parametry.klawiszSkrotu >= u'a' && parametry.klawiszSkrotu <= u'z')
        parametry.klawiszSkrotu = static_cast<char16_t>(parametry.klawiszSkrotu & ~0x20);

    skrot->SetPath(parametry.SciezkaPliku);
    skrot->SetWorkingDirectory(parametry.katalogRoboczy);
    skrot->SetArguments(parametry.argumenty);
    if (!parametry.opis.empty()) skrot->SetDescription(parametry.opis);
    skrot->SetShowCmd(parametry.rodzajokna);
    if (!parametry.SciezkaIkony.empty())
        skrot->SetIconLocation(parametry.SciezkaIkony, parametry.numerIkony);
    if (parametry.klawiszSkrotu != 0)
        skrot->SetHotkey(static_cast<std::uint16_t>(parametry.klawiszSkrotu | CTRL_ALT));

    // A link the shell refuses to write (a missing or read-only folder) is
    // not reported; the installation goes on without it.
    skrot->Save(sciezkaSkrotu, false);
}

bool KopiujPlik(Srodowisko& s, const std::u16string& zrodlo, const std::u16string& cel) {
    // Both paths go to the system whole, whatever their length: a path is
    // never cut short, so a long target can never turn into another file.
    if (!s.pliki.PlikIstnieje(zrodlo)) {
        s.strona.Informacja(u"Uwaga!", u"Brak pliku: " + zrodlo);
        return false;
    }
    // Clears read-only, hidden and system, which would make the copy fail.
    if (s.pliki.PlikIstnieje(cel)) s.pliki.UstawAtrybuty(cel, 0);
    return s.pliki.KopiujPlik(zrodlo, cel, false);
}

void UtworzSkroty(Srodowisko& s) {
    const KontekstInstalacji& k = s.kontekst;

    // The updater is optional on the medium; without it nothing is said.
    const std::u16string aktualizacja = k.FolderInstalatora + u"\\Program\\_Aktualizacja.exe";
    if (s.pliki.PlikIstnieje(aktualizacja))
        KopiujPlik(s, aktualizacja, k.FolderInstalacji + u"\\_Aktualizacja.exe");

    TParametrySkrotu parametry;
    parametry.SciezkaPliku = PlikProgramuInstalacji(k);
    parametry.katalogRoboczy = k.FolderInstalacji;
    parametry.opis = u"Skrót do programu Vestra " + k.PlikProgramu + u" 8.0";
    parametry.rodzajokna = 1;
    parametry.numerIkony = 0;
    parametry.klawiszSkrotu = u'K';

    if (s.strona.SkrotNaPulpicieZaznaczony()) UtworzSkrot(s.skroty, SkrotNaPulpicie(k), parametry);

    if (s.strona.SkrotWMenuStartZaznaczony()) {
        const std::u16string grupa = FolderGrupyMenuStart(k);
        if (!s.pliki.FolderIstnieje(grupa)) s.pliki.UtworzFolder(grupa);
        UtworzSkrot(s.skroty, SkrotWMenuStart(k), parametry);
    }

    s.strona.WlaczDeinstalacje(true);
}
