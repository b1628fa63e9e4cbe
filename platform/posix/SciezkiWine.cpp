#include "SciezkiWine.h"

#include <dirent.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <climits>
#include <cstdlib>
#include <utility>

#include "platform/Powloka.h"
#include "platform/Tekst.h"

namespace platforma {

namespace {

// SHGetSpecialFolderPathW writes into 260 units, the terminating NUL included.
constexpr std::size_t BUFOR_FOLDERU_SPECJALNEGO = 260;

bool JestLiteraAscii(char16_t z) { return (z >= u'a' && z <= u'z') || (z >= u'A' && z <= u'Z'); }
bool JestSeparatorem(char16_t z) { return z == u'\\' || z == u'/'; }

// A POSIX path's text in UTF-16 with "\" for every "/".
std::u16string ZUkosnikamiWindows(std::string_view posix) {
    std::u16string wynik = Utf16(posix);
    for (auto& z : wynik) {
        if (z == u'/') z = u'\\';
    }
    return wynik;
}

std::string Zmienna(const char* nazwa) {
    const char* wartosc = std::getenv(nazwa);
    return wartosc ? std::string(wartosc) : std::string();
}

// realpath() of a path, or nullopt when it cannot be resolved.
std::optional<std::string> Rozwiazana(const std::string& sciezka) {
    char* wynik = ::realpath(sciezka.c_str(), nullptr);
    if (!wynik) return std::nullopt;
    std::string s(wynik);
    std::free(wynik);
    return s;
}

// The same path with its longest existing beginning resolved through
// realpath(), so that links on the way do not hide which drive it lies on.
std::optional<std::string> RozwiazanaCzesciowo(const std::string& sciezka) {
    std::string glowa = sciezka;
    std::string ogon;
    while (!glowa.empty()) {
        if (auto r = Rozwiazana(glowa)) {
            if (*r == "/") return ogon.empty() ? *r : ogon;
            return *r + ogon;
        }
        const auto ukosnik = glowa.find_last_of('/');
        if (ukosnik == std::string::npos) return std::nullopt;
        ogon.insert(0, glowa, ukosnik, std::string::npos);
        glowa.erase(ukosnik);
        if (glowa.empty()) glowa.push_back('/');  // realpath("/") always answers
    }
    return std::nullopt;
}

// The rest of `sciezka` below `folder` ("" for the folder itself), or nullopt
// when the path does not lie in it. Components are compared whole.
std::optional<std::string> Ponizej(const std::string& sciezka, const std::string& folder) {
    if (folder == "/") {
        if (sciezka.empty() || sciezka[0] != '/') return std::nullopt;
        return sciezka.substr(1);
    }
    if (sciezka.compare(0, folder.size(), folder) != 0) return std::nullopt;
    if (sciezka.size() == folder.size()) return std::string();
    if (sciezka[folder.size()] != '/') return std::nullopt;
    return sciezka.substr(folder.size() + 1);
}

std::u16string WielkimiLiterami(std::string_view nazwa) {
    std::u16string wynik = Utf16(nazwa);
    for (auto& z : wynik) z = ZnakBezWielkosci(z);
    return wynik;
}

// The name in `folder` that equals `nazwa` but for letter case, if any.
std::optional<std::string> ZnajdzBezWielkosciLiter(const std::string& folder, const std::string& nazwa) {
    DIR* katalog = ::opendir(folder.c_str());
    if (!katalog) return std::nullopt;
    const std::u16string szukana = WielkimiLiterami(nazwa);
    std::optional<std::string> wynik;
    while (const dirent* wpis = ::readdir(katalog)) {
        const std::string_view kandydat(wpis->d_name);
        // The letters folded have both their cases of one UTF-8 length, so a
        // name of another length can be passed over unread.
        if (kandydat.size() != nazwa.size() || kandydat == "." || kandydat == "..") continue;
        if (WielkimiLiterami(kandydat) == szukana) {
            wynik = std::string(kandydat);
            break;
        }
    }
    ::closedir(katalog);
    return wynik;
}

// Windows finds "C:\kv-tek" when the disk holds "C:\KV-Tek"; so does Wine,
// which looks each missing component up without regard to letter case. The
// components after `poczatek` (the drive's own folder) are looked up so; the
// first one found in no spelling ends the search, and it and the rest stay as
// given, so a new file or folder gets the name it was asked for.
std::string DopasujWielkoscLiter(const std::string& sciezka, std::size_t poczatek) {
    struct stat st {};
    if (::lstat(sciezka.c_str(), &st) == 0) return sciezka;
    std::string wynik = sciezka.substr(0, poczatek);
    bool szukaj = true;
    std::size_t i = poczatek;
    while (i < sciezka.size()) {
        if (sciezka[i] == '/') {
            wynik += '/';
            ++i;
            continue;
        }
        std::size_t koniec = sciezka.find('/', i);
        if (koniec == std::string::npos) koniec = sciezka.size();
        std::string czlon = sciezka.substr(i, koniec - i);
        i = koniec;
        if (szukaj && czlon != "." && czlon != "..") {
            if (::lstat((wynik + czlon).c_str(), &st) != 0) {
                if (auto znaleziony = ZnajdzBezWielkosciLiter(wynik, czlon)) {
                    czlon = std::move(*znaleziony);
                } else {
                    szukaj = false;
                }
            }
        }
        wynik += czlon;
    }
    return wynik;
}

}  // namespace

UstawieniaWine UstawieniaWine::ZeSrodowiska() {
    UstawieniaWine u;
    u.prefiks = Zmienna("WINEPREFIX");
    const passwd* konto = ::getpwuid(::geteuid());
    if (u.prefiks.empty()) {
        std::string dom = Zmienna("HOME");
        if (dom.empty() && konto && konto->pw_dir) dom = konto->pw_dir;
        u.prefiks = dom + "/.wine";
    }
    if (konto && konto->pw_name && *konto->pw_name) {
        u.login = konto->pw_name;
    } else {
        u.login = Zmienna("USER");
    }
    return u;
}

SciezkiWine::SciezkiWine(UstawieniaWine ustawienia) : ustawienia_(std::move(ustawienia)) {}

std::optional<std::string> SciezkiWine::FolderDysku(char16_t litera) const {
    if (!JestLiteraAscii(litera)) return std::nullopt;
    const char mala = static_cast<char>(litera | 0x20);
    std::string wpis = ustawienia_.prefiks + "/dosdevices/" + mala + ":";
    struct stat st {};
    // The entry itself decides whether the drive exists; where it leads is
    // the kernel's business when the path is used.
    if (::lstat(wpis.c_str(), &st) == 0) return wpis;
    if (mala == 'z') return std::string("/");
    return std::nullopt;
}

std::optional<std::string> SciezkiWine::NaPosix(std::u16string_view sciezka) const {
    char16_t litera;
    std::u16string_view reszta;
    if (sciezka.size() >= 2 && JestLiteraAscii(sciezka[0]) && sciezka[1] == u':') {
        litera = sciezka[0];
        reszta = sciezka.substr(2);
    } else if (!sciezka.empty() && JestSeparatorem(sciezka[0])) {
        litera = u'c';
        reszta = sciezka;
    } else {
        return std::nullopt;
    }
    auto wynik = FolderDysku(litera);
    if (!wynik) return std::nullopt;

    std::u16string ukosniki(reszta);
    for (auto& z : ukosniki) {
        if (z == u'\\') z = u'/';
    }
    const std::string dalej = Utf8(ukosniki);
    if (dalej.empty()) return wynik;
    if (wynik->back() != '/' && dalej[0] != '/') *wynik += '/';
    if (wynik->back() == '/' && dalej[0] == '/') wynik->pop_back();
    const std::size_t poczatek = wynik->size();
    *wynik += dalej;
    return DopasujWielkoscLiter(*wynik, poczatek);
}

std::u16string SciezkiWine::NaWindows(std::string_view posix) const {
    if (posix.empty() || posix[0] != '/') return {};

    struct Dysk {
        char litera;
        std::string wpis;                   // <prefix>/dosdevices/x:
        std::optional<std::string> folder;  // where it leads
    };
    std::optional<Dysk> lista[26];
    for (int i = 0; i < 26; ++i) {
        const char litera = static_cast<char>('a' + i);
        std::string wpis = ustawienia_.prefiks + "/dosdevices/" + litera + ":";
        struct stat st {};
        if (::lstat(wpis.c_str(), &st) == 0) {
            lista[i] = Dysk{litera, wpis, Rozwiazana(wpis)};
        } else if (litera == 'z') {
            lista[i] = Dysk{litera, std::string(), std::string("/")};
        }
    }

    const auto dopasuj = [&](const std::string& sciezka) -> std::u16string {
        const Dysk* najlepszy = nullptr;
        std::string najlepszaReszta;
        std::size_t najdluzszy = 0;
        bool zZ = false;
        for (const auto& d : lista) {
            if (!d) continue;
            for (const std::string* folder : {&d->wpis, d->folder ? &*d->folder : nullptr}) {
                if (!folder || folder->empty()) continue;
                auto reszta = Ponizej(sciezka, *folder);
                if (!reszta) continue;
                const bool jestZ = d->litera == 'z';
                // Any other drive wins over Z:, then the longer folder.
                const bool lepszy = !najlepszy || (zZ && !jestZ) ||
                                    (zZ == jestZ && folder->size() > najdluzszy);
                if (lepszy) {
                    najlepszy = &*d;
                    najlepszaReszta = *reszta;
                    najdluzszy = folder->size();
                    zZ = jestZ;
                }
            }
        }
        if (!najlepszy) return {};
        std::u16string wynik;
        wynik += static_cast<char16_t>(najlepszy->litera - 'a' + 'A');
        wynik += u":\\";
        return wynik + ZUkosnikamiWindows(najlepszaReszta);
    };

    const std::string sciezka(posix);
    std::u16string wynik = dopasuj(sciezka);
    // A path through a link (a linked home folder, say) may lie on a drive
    // only once resolved; Z: answers for everything, so try that first.
    if (wynik.empty() || wynik[0] == u'Z') {
        if (auto rozwiazana = RozwiazanaCzesciowo(sciezka); rozwiazana && *rozwiazana != sciezka) {
            std::u16string inny = dopasuj(*rozwiazana);
            if (!inny.empty() && (wynik.empty() || inny[0] != u'Z')) wynik = inny;
        }
    }
    return wynik;
}

std::u16string SciezkiWine::FolderSpecjalny(int csidl) const {
    if (ustawienia_.login.empty()) return {};
    const std::u16string profil = u"C:\\users\\" + Utf16(ustawienia_.login);
    std::u16string wynik;
    if (csidl == CSIDL_PULPIT) {
        wynik = profil + u"\\Desktop";
    } else if (csidl == CSIDL_PROGRAMY) {
        wynik = profil + u"\\AppData\\Roaming\\Microsoft\\Windows\\Start Menu\\Programs";
    } else {
        return {};
    }
    // A cut path would name some other folder; the system gives none instead.
    if (wynik.size() >= BUFOR_FOLDERU_SPECJALNEGO) return {};
    return wynik;
}

std::u16string NaDyskuZ(std::string_view posix) {
    std::u16string wynik = u"Z:";
    if (posix.empty() || posix[0] != '/') wynik += u'\\';
    return wynik + ZUkosnikamiWindows(posix);
}

bool JestKorzeniemDysku(std::u16string_view sciezka) {
    std::size_t i = 0;
    if (sciezka.size() >= 2 && JestLiteraAscii(sciezka[0]) && sciezka[1] == u':') {
        i = 2;
    } else if (sciezka.empty() || !JestSeparatorem(sciezka[0])) {
        return false;
    }
    for (; i < sciezka.size(); ++i) {
        if (!JestSeparatorem(sciezka[i])) return false;
    }
    return true;
}

}  // namespace platforma
