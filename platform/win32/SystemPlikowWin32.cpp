// The file system through the Windows calls the installer is written for.
#include <windows.h>

#include <atomic>

#include "FolderProgramuWin32.h"
#include "PlatformaWin32.h"
#include "Win32Pomoc.h"

namespace platforma {
namespace {

// A path as handed to the file calls. The Windows calls refuse a plain path
// of MAX_PATH characters or more (CreateDirectoryW already at MAX_PATH - 12),
// so a long drive path is passed in its extended form "\\?\C:\...", which
// the system takes as it is: separators are made single "\" first, and a path with
// "." or ".." parts, which only the plain form resolves, is left plain.
class SciezkaPliku {
public:
    explicit SciezkaPliku(const std::u16string& sciezka) : tekst_(sciezka) {
        if (sciezka.size() < MAX_PATH - 12 || !JestSciezkaDysku(sciezka)) return;
        std::u16string dluga = u"\\\\?\\";
        for (char16_t z : sciezka) {
            if (z == u'/') z = u'\\';
            // Doubled separators, which composing with "\\" after a drive
            // root gives, are taken literally in the extended form.
            if (z == u'\\' && dluga.back() == u'\\' && dluga.size() > 4) continue;
            dluga.push_back(z);
        }
        if (MaKropki(dluga)) return;
        tekst_ = std::move(dluga);
    }
    operator const wchar_t*() const { return Szeroki(tekst_); }

private:
    static bool JestSciezkaDysku(const std::u16string& s) {
        return s.size() > 3 && ((s[0] >= u'A' && s[0] <= u'Z') || (s[0] >= u'a' && s[0] <= u'z')) &&
               s[1] == u':' && (s[2] == u'\\' || s[2] == u'/');
    }
    static bool MaKropki(const std::u16string& s) {
        std::size_t poczatek = 4;
        while (poczatek <= s.size()) {
            std::size_t koniec = s.find(u'\\', poczatek);
            if (koniec == std::u16string::npos) koniec = s.size();
            const std::u16string_view czlon(s.data() + poczatek, koniec - poczatek);
            if (czlon == u"." || czlon == u"..") return true;
            poczatek = koniec + 1;
        }
        return false;
    }
    std::u16string tekst_;
};

// The attributes of what a path names, links followed: GetFileAttributesW
// describes a symbolic link itself, so a reparse point is opened to reach
// its target. INVALID_FILE_ATTRIBUTES when nothing (or a dangling link) is there.
DWORD AtrybutyCelu(const std::u16string& sciezka) {
    DWORD atrybuty = GetFileAttributesW(SciezkaPliku(sciezka));
    if (atrybuty == INVALID_FILE_ATTRIBUTES || !(atrybuty & FILE_ATTRIBUTE_REPARSE_POINT)) {
        return atrybuty;
    }
    HANDLE uchwyt = CreateFileW(SciezkaPliku(sciezka), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (uchwyt == INVALID_HANDLE_VALUE) {
        return INVALID_FILE_ATTRIBUTES;
    }
    BY_HANDLE_FILE_INFORMATION informacje{};
    BOOL jest = GetFileInformationByHandle(uchwyt, &informacje);
    CloseHandle(uchwyt);
    return jest ? informacje.dwFileAttributes : INVALID_FILE_ATTRIBUTES;
}

bool BladBlokady(DWORD kod) {
    return kod == ERROR_ACCESS_DENIED || kod == ERROR_SHARING_VIOLATION || kod == ERROR_LOCK_VIOLATION;
}

// The name of the file being written: next to the target, hidden from
// nobody, unique for the process and the call.
std::u16string NazwaTymczasowa(const std::u16string& cel, unsigned numer) {
    wchar_t koncowka[48];
    swprintf(koncowka, sizeof koncowka / sizeof koncowka[0], L".%lx-%x.czesc",
             static_cast<unsigned long>(GetCurrentProcessId()), numer);
    std::u16string nazwa = cel;
    nazwa += ZSzerokiego(koncowka);
    return nazwa;
}

bool CyfraSzesnastkowa(char16_t z) {
    return (z >= u'0' && z <= u'9') || (z >= u'a' && z <= u'f');
}

// Exactly what NazwaTymczasowa makes of the name `cel`: "<cel>.<hex>-<hex>.czesc".
bool JestNazwaTymczasowa(std::u16string_view nazwa, std::u16string_view cel) {
    constexpr std::u16string_view kKoncowka = u".czesc";
    if (nazwa.size() <= cel.size() + 1 + kKoncowka.size() || nazwa.substr(0, cel.size()) != cel ||
        nazwa[cel.size()] != u'.' || nazwa.substr(nazwa.size() - kKoncowka.size()) != kKoncowka) {
        return false;
    }
    const std::u16string_view srodek = nazwa.substr(cel.size() + 1, nazwa.size() - cel.size() - 1 - kKoncowka.size());
    const std::size_t minus = srodek.find(u'-');
    if (minus == std::u16string_view::npos || minus == 0 || minus + 1 == srodek.size() || minus > 8 ||
        srodek.size() - minus - 1 > 8) {
        return false;
    }
    for (std::size_t i = 0; i < srodek.size(); ++i) {
        if (i != minus && !CyfraSzesnastkowa(srodek[i])) {
            return false;
        }
    }
    return true;
}

class PlikTymczasowyWin32 : public IPlikTymczasowy {
public:
    PlikTymczasowyWin32(HANDLE uchwyt, std::u16string sciezka, std::u16string cel, PonawianieZamiany p)
        : uchwyt_(uchwyt), sciezka_(std::move(sciezka)), cel_(std::move(cel)), ponawianie_(p) {}

    ~PlikTymczasowyWin32() override {
        Zamknij();
        if (!zatwierdzony_) {
            DeleteFileW(SciezkaPliku(sciezka_));
        }
    }

    bool Zapisz(const void* dane, std::size_t ile, std::u16string& blad) override {
        if (uchwyt_ == INVALID_HANDLE_VALUE) {
            blad = TekstBledu(ERROR_INVALID_HANDLE);
            return false;
        }
        const char* wskaznik = static_cast<const char*>(dane);
        while (ile > 0) {
            // WriteFile takes a 32-bit count; large buffers go in pieces.
            DWORD porcja = ile > (1u << 30) ? (1u << 30) : static_cast<DWORD>(ile);
            DWORD zapisane = 0;
            if (!WriteFile(uchwyt_, wskaznik, porcja, &zapisane, nullptr)) {
                blad = TekstBledu(GetLastError());
                return false;
            }
            if (zapisane == 0) {
                blad = TekstBledu(ERROR_WRITE_FAULT);
                return false;
            }
            wskaznik += zapisane;
            ile -= zapisane;
        }
        return true;
    }

    bool Zatwierdz(std::u16string& blad) override {
        if (uchwyt_ == INVALID_HANDLE_VALUE) {
            blad = TekstBledu(ERROR_INVALID_HANDLE);
            return false;
        }
        if (!FlushFileBuffers(uchwyt_)) {
            blad = TekstBledu(GetLastError());
            return false;
        }
        if (!Zamknij()) {
            blad = TekstBledu(GetLastError());
            return false;
        }
        DWORD kod = ERROR_SUCCESS;
        for (int proba = 0; proba < ponawianie_.proby; ++proba) {
            if (proba > 0) {
                Sleep(ponawianie_.odstepMs);
            }
            if (MoveFileExW(SciezkaPliku(sciezka_), SciezkaPliku(cel_),
                            MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
                zatwierdzony_ = true;
                return true;
            }
            kod = GetLastError();
            if (!BladBlokady(kod)) {
                break;
            }
        }
        blad = TekstBledu(kod);
        return false;
    }

private:
    bool Zamknij() {
        if (uchwyt_ == INVALID_HANDLE_VALUE) {
            return true;
        }
        BOOL zamkniety = CloseHandle(uchwyt_);
        uchwyt_ = INVALID_HANDLE_VALUE;
        return zamkniety != FALSE;
    }

    HANDLE uchwyt_;
    std::u16string sciezka_;
    std::u16string cel_;
    PonawianieZamiany ponawianie_;
    bool zatwierdzony_ = false;
};

class SystemPlikowWin32 : public ISystemPlikow {
public:
    explicit SystemPlikowWin32(PonawianieZamiany p) : ponawianie_(p) {}

    bool PlikIstnieje(const std::u16string& sciezka) const override {
        DWORD a = AtrybutyCelu(sciezka);
        return a != INVALID_FILE_ATTRIBUTES && !(a & FILE_ATTRIBUTE_DIRECTORY);
    }

    bool FolderIstnieje(const std::u16string& sciezka) const override {
        DWORD a = AtrybutyCelu(sciezka);
        return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY);
    }

    bool UtworzFolder(const std::u16string& sciezka) override {
        return CreateDirectoryW(SciezkaPliku(sciezka), nullptr) != FALSE;
    }

    StanFolderuProgramu PrzygotujFolderProgramu(const std::u16string& sciezka) override {
        return PrzygotujFolderProgramuWin32(SciezkaPliku(sciezka));
    }

    bool UstawAtrybuty(const std::u16string& sciezka, std::uint32_t atrybuty) override {
        // The system reads 0 as "leave unchanged" at its lower level; the
        // documented spelling of "no attributes" is FILE_ATTRIBUTE_NORMAL.
        DWORD wartosc = atrybuty == 0 ? FILE_ATTRIBUTE_NORMAL : atrybuty;
        return SetFileAttributesW(SciezkaPliku(sciezka), wartosc) != FALSE;
    }

    bool KopiujPlik(const std::u16string& zrodlo, const std::u16string& cel, bool bladGdyIstnieje) override {
        return CopyFileW(SciezkaPliku(zrodlo), SciezkaPliku(cel), bladGdyIstnieje ? TRUE : FALSE) != FALSE;
    }

    bool UsunPlik(const std::u16string& sciezka) override {
        return DeleteFileW(SciezkaPliku(sciezka)) != FALSE;
    }

    bool UsunFolder(const std::u16string& sciezka) override {
        return RemoveDirectoryW(SciezkaPliku(sciezka)) != FALSE;
    }

    std::unique_ptr<IPlikTymczasowy> UtworzPlikTymczasowy(const std::u16string& cel,
                                                          std::u16string& blad) override {
        static std::atomic<unsigned> licznik{0};
        DWORD kod = ERROR_FILE_EXISTS;
        for (int proba = 0; proba < 100 && (kod == ERROR_FILE_EXISTS || kod == ERROR_ALREADY_EXISTS);
             ++proba) {
            std::u16string sciezka = NazwaTymczasowa(cel, licznik++);
            HANDLE uchwyt = CreateFileW(SciezkaPliku(sciezka), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                        FILE_ATTRIBUTE_NORMAL, nullptr);
            if (uchwyt != INVALID_HANDLE_VALUE) {
                return std::make_unique<PlikTymczasowyWin32>(uchwyt, std::move(sciezka), cel, ponawianie_);
            }
            kod = GetLastError();
        }
        blad = TekstBledu(kod);
        return nullptr;
    }

    // A file being written is open without sharing, so DeleteFileW fails on
    // it: only a file no process holds open goes.
    int UsunPozostaleTymczasowe(const std::u16string& cel) override {
        const std::size_t ukosnik = cel.find_last_of(u"\\/");
        const std::u16string folder = ukosnik == std::u16string::npos ? std::u16string() : cel.substr(0, ukosnik + 1);
        const std::u16string nazwaCelu = cel.substr(ukosnik == std::u16string::npos ? 0 : ukosnik + 1);
        if (nazwaCelu.empty()) {
            return 0;
        }
        WIN32_FIND_DATAW dane{};
        HANDLE szukanie = FindFirstFileW(SciezkaPliku(cel + u".*.czesc"), &dane);
        if (szukanie == INVALID_HANDLE_VALUE) {
            return 0;
        }
        int usuniete = 0;
        do {
            const std::u16string nazwa(reinterpret_cast<const char16_t*>(dane.cFileName));
            const bool plik = (dane.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT)) == 0;
            if (plik && JestNazwaTymczasowa(nazwa, nazwaCelu) && DeleteFileW(SciezkaPliku(folder + nazwa))) {
                ++usuniete;
            }
        } while (FindNextFileW(szukanie, &dane));
        FindClose(szukanie);
        return usuniete;
    }

    std::u16string NaSciezkeSystemu(const std::u16string& sciezka) const override { return sciezka; }
    std::u16string ZeSciezkiSystemu(const std::u16string& sciezka) const override { return sciezka; }

private:
    PonawianieZamiany ponawianie_;
};

}  // namespace

std::unique_ptr<ISystemPlikow> UtworzSystemPlikowWin32(PonawianieZamiany ponawianie) {
    return std::make_unique<SystemPlikowWin32>(ponawianie);
}

std::unique_ptr<ISystemPlikow> UtworzSystemPlikowWin32() {
    return UtworzSystemPlikowWin32(PonawianieZamiany{});
}

}  // namespace platforma
