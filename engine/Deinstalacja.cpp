#include "Deinstalacja.h"

#include <string_view>

#include "platform/Tekst.h"

namespace {

constexpr char16_t UWAGA[] = u"Uwaga!";
constexpr char16_t KONIEC_OSTRZEZENIA[] =
    u" jest używany przez inny program lub zawiera pliki (foldery) utworzone po instalacji.";
// The updater that the installation copies next to the program.
constexpr char16_t PLIK_AKTUALIZACJI[] = u"_Aktualizacja.exe";

// One character as Windows compares path names: without regard to letter case
// and to the kind of separator.
char16_t ZnakPorownania(char16_t z) { return z == u'/' ? u'\\' : platforma::ZnakBezWielkosci(z); }

bool JestSeparatorem(char16_t z) { return z == u'\\' || z == u'/'; }

// True when `folder` names a folder strictly inside `baza`: `baza`, a
// separator, then at least one name. The folder itself is not inside, nor is
// a remainder made only of separators, "." or ".." (those would lead back to
// `baza` or above it, as the paths are never normalised).
bool JestPonizej(std::u16string_view folder, std::u16string_view baza) {
    if (folder.size() <= baza.size() + 1) return false;
    for (std::size_t i = 0; i < baza.size(); ++i)
        if (ZnakPorownania(folder[i]) != ZnakPorownania(baza[i])) return false;
    if (!JestSeparatorem(folder[baza.size()])) return false;

    bool jestNazwa = false;
    std::u16string_view reszta = folder.substr(baza.size() + 1);
    while (!reszta.empty()) {
        std::size_t koniec = 0;
        while (koniec < reszta.size() && !JestSeparatorem(reszta[koniec])) ++koniec;
        const std::u16string_view czlon = reszta.substr(0, koniec);
        if (czlon == u".." || czlon == u".") return false;
        if (!czlon.empty()) jestNazwa = true;
        reszta.remove_prefix(koniec < reszta.size() ? koniec + 1 : koniec);
    }
    return jestNazwa;
}

bool TakieSame(std::u16string_view a, std::u16string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (ZnakPorownania(a[i]) != ZnakPorownania(b[i])) return false;
    return true;
}

std::u16string FolderPakietu(const KontekstInstalacji& k) {
    return k.DyskInstalacji + u"\\" + k.FolderPakietu;
}

// The folder the removal works on. FolderInstalacji can stand for something
// else than an installation: right after acceptance of the licence it is the
// bare drive ("C:"). Removing "by fixed names" there would delete files of
// other programs and try the drive root, so anything that is not inside the
// suite folder is replaced by the folder the installer itself composes.
std::u16string FolderUsuwanejInstalacji(const KontekstInstalacji& k) {
    const std::u16string wlasny = ZlozonyFolderInstalacji(k);
    if (JestPonizej(k.FolderInstalacji, FolderPakietu(k)) || TakieSame(k.FolderInstalacji, wlasny))
        return k.FolderInstalacji;
    return wlasny;
}

void Ostrzez(IStronaInstalacji& strona, const std::u16string& folder) {
    strona.Informacja(UWAGA, u"\"" + folder + u"\"" + KONIEC_OSTRZEZENIA);
}

}  // namespace

void BBDeinstalClick(Srodowisko& s) {
    const KontekstInstalacji& k = s.kontekst;
    platforma::ISystemPlikow& pliki = s.pliki;
    IStronaInstalacji& strona = s.strona;

    // 1. The desktop shortcut.
    if (pliki.PlikIstnieje(SkrotNaPulpicie(k))) pliki.UsunPlik(SkrotNaPulpicie(k));

    // 2. The Start-menu shortcut and, only when it was there, its group folder,
    // which goes only when no other program's shortcut is left in it.
    if (pliki.PlikIstnieje(SkrotWMenuStart(k))) {
        pliki.UsunPlik(SkrotWMenuStart(k));
        if (pliki.FolderIstnieje(FolderGrupyMenuStart(k))) pliki.UsunFolder(FolderGrupyMenuStart(k));
    }

    // 3. The installed files by their fixed names, then the folders that
    // have become empty.
    const std::u16string folder = FolderUsuwanejInstalacji(k);
    if (pliki.FolderIstnieje(folder)) {
        const std::u16string program = folder + u"\\" + k.NazwaProgramu + u".exe";
        if (pliki.PlikIstnieje(program)) pliki.UsunPlik(program);
        // A download killed half-way leaves its temporary file, which would
        // keep the folder from going; one still being written stays.
        pliki.UsunPozostaleTymczasowe(program);

        const std::u16string aktualizacja = folder + u"\\" + PLIK_AKTUALIZACJI;
        if (pliki.PlikIstnieje(aktualizacja)) pliki.UsunPlik(aktualizacja);

        const std::u16string bde = folder + u"\\" + k.FolderBDE;
        if (pliki.FolderIstnieje(bde)) {
            if (pliki.PlikIstnieje(bde + u"\\setup.exe")) pliki.UsunPlik(bde + u"\\setup.exe");
            pliki.UsunFolder(bde);
        }

        const std::u16string sterowniki = folder + u"\\Sterowniki";
        if (pliki.FolderIstnieje(sterowniki)) pliki.UsunFolder(sterowniki);

        if (pliki.UsunFolder(folder)) {
            const std::u16string pakiet = FolderPakietu(k);
            if (pliki.FolderIstnieje(pakiet) && !pliki.UsunFolder(pakiet)) Ostrzez(strona, pakiet);
        } else {
            Ostrzez(strona, folder);
        }
    }

    // 4.–7. The page as the removal leaves it.
    strona.UstawEtykieteFolderu(u"\\" + k.FolderPakietu + u"\\" + k.NazwaKatalogu);
    strona.UstawTytul(u"Usunięcie programu zakończone pomyślnie");
    strona.ZaznaczSkrotNaPulpicie(pliki.PlikIstnieje(SkrotNaPulpicie(k)));
    strona.ZaznaczSkrotWMenuStart(pliki.PlikIstnieje(SkrotWMenuStart(k)));
    strona.WlaczDeinstalacje(false);

    // 8. Started from the completion view: the page is made ready for a new
    // installation.
    if (strona.KoniecWidoczny()) {
        strona.RGAkceptacjaClick();
        strona.UkryjKoniec();
    }
}
