#pragma once
// Fakes of the platform, the page and the HTTP client. They behave like the
// Windows calls they stand for and record what was asked of them; the tests
// read the records.
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "KlientHttp.h"
#include "KontekstInstalacji.h"
#include "Srodowisko.h"
#include "Strona.h"
#include "platform/Powloka.h"
#include "platform/Skrot.h"
#include "platform/SystemPlikow.h"

// UTF-16 to UTF-8 for test messages.
std::string U8(const std::u16string& tekst);

// An in-memory Windows file system: drives, folders and files, names compared
// without regard to case and to the kind of separator, as Windows does.
class AtrapaSystemuPlikow : public platforma::ISystemPlikow {
public:
    struct Wpis {
        std::u16string sciezka;  // as first spelled
        bool folder = false;
        std::string tresc;
        std::uint32_t atrybuty = 0;
    };

    // Drives exist until removed: "C:" by default.
    AtrapaSystemuPlikow();
    void DodajDysk(const std::u16string& dysk);  // "D:"
    void UsunDysk(const std::u16string& dysk);
    // Creates the folder and every missing parent.
    void DodajFolder(const std::u16string& sciezka);
    // Creates the file (and its folders) with the given content.
    void DodajPlik(const std::u16string& sciezka, const std::string& tresc = "plik");
    void UstawTylkoDoOdczytu(const std::u16string& sciezka, bool tylko = true);

    std::optional<std::string> Tresc(const std::u16string& sciezka) const;
    // Every path present, folders included, in their first spelling.
    std::vector<std::u16string> Wszystko() const;
    // Paths present below (not including) a folder.
    std::vector<std::u16string> Ponizej(const std::u16string& folder) const;

    // Every operation that changes the disk, in order: "UtworzFolder C:\KV-Tek".
    std::vector<std::string> dziennik;
    // A failure to inject into the next writes of temporary files.
    std::optional<std::u16string> bladZapisu;
    // How PrzygotujFolderProgramu judges an existing folder (by its spelling
    // as a key, case-insensitive); unnamed folders are the user's own.
    std::map<std::u16string, platforma::StanFolderuProgramu> stanyFolderow;

    bool PlikIstnieje(const std::u16string& sciezka) const override;
    bool FolderIstnieje(const std::u16string& sciezka) const override;
    bool UtworzFolder(const std::u16string& sciezka) override;
    platforma::StanFolderuProgramu PrzygotujFolderProgramu(const std::u16string& sciezka) override;
    bool UstawAtrybuty(const std::u16string& sciezka, std::uint32_t atrybuty) override;
    bool KopiujPlik(const std::u16string& zrodlo, const std::u16string& cel,
                    bool bladGdyIstnieje) override;
    bool UsunPlik(const std::u16string& sciezka) override;
    bool UsunFolder(const std::u16string& sciezka) override;
    std::unique_ptr<platforma::IPlikTymczasowy> UtworzPlikTymczasowy(const std::u16string& cel,
                                                                     std::u16string& blad) override;
    // Removes the "~tmpN" files beside `cel` that no live temporary file holds.
    int UsunPozostaleTymczasowe(const std::u16string& cel) override;
    std::u16string NaSciezkeSystemu(const std::u16string& sciezka) const override { return sciezka; }
    std::u16string ZeSciezkiSystemu(const std::u16string& s) const override { return s; }

    // The comparison key of a path: upper case, "\" separators, no trailing
    // separator, a leading "\" on drive C:.
    static std::u16string Klucz(const std::u16string& sciezka);
    static std::u16string Rodzic(const std::u16string& klucz);

private:
    friend class AtrapaPlikuTymczasowego;
    bool DyskIstnieje(const std::u16string& klucz) const;
    const Wpis* Znajdz(const std::u16string& sciezka) const;
    std::map<std::u16string, Wpis> wpisy_;
    std::vector<std::u16string> dyski_;
    int licznikTymczasowych_ = 0;
    std::vector<std::u16string> otwarteTymczasowe_;
};

// The shell: fixed special folders and program path; records what was opened.
class AtrapaPowloki : public platforma::IPowloka {
public:
    std::map<int, std::u16string> folderySpecjalne{
        {platforma::CSIDL_PULPIT, u"C:\\users\\jan\\Desktop"},
        {platforma::CSIDL_PROGRAMY,
         u"C:\\users\\jan\\AppData\\Roaming\\Microsoft\\Windows\\Start Menu\\Programs"}};
    std::u16string sciezkaProgramu = u"D:\\Instalator\\instalator.exe";
    std::vector<std::u16string> otwarteAdresy;
    std::vector<std::u16string> uruchomioneProgramy;

    std::u16string FolderSpecjalny(int csidl) override;
    std::u16string SciezkaProgramu() override { return sciezkaProgramu; }
    void OtworzAdres(const std::u16string& adres) override { otwarteAdresy.push_back(adres); }
    void UruchomProgram(const std::u16string& p) override { uruchomioneProgramy.push_back(p); }
};

// The shell-link object: records every call of every object it made. Saving
// writes a file into the fake file system (when given) whose content lists
// the fields, so that existence tests see the link.
class AtrapaFabrykiSkrotow : public platforma::IFabrykaSkrotow {
public:
    struct Wywolanie {
        std::string metoda;      // "SetPath", "Save", ...
        std::u16string tekst;
        std::int64_t liczba = 0;
    };
    struct Obiekt {
        std::vector<Wywolanie> wywolania;
        bool zwolniony = false;
    };

    explicit AtrapaFabrykiSkrotow(AtrapaSystemuPlikow* pliki = nullptr) : pliki_(pliki) {}
    // When set, Utworz raises this text as the system's error.
    std::optional<std::u16string> bladTworzenia;
    std::vector<std::shared_ptr<Obiekt>> obiekty;

    std::unique_ptr<platforma::IObiektSkrotu> Utworz() override;
    // The calls of the object that saved `sciezkaSkrotu` last, or null.
    const Obiekt* ZapisanyJako(const std::u16string& sciezkaSkrotu) const;

private:
    AtrapaSystemuPlikow* pliki_;
};

// A scripted HTTP client: it replays one reply and records each request.
class AtrapaKlientaHttp : public IKlientHttp {
public:
    struct Zadanie {
        std::string adres;
        std::string uzytkownik;
        std::string haslo;
    };
    struct Odpowiedz {
        bool udana = true;
        std::u16string komunikat;       // failure message
        std::string cialo = "MZ program";
        std::int64_t zapowiedzianaDlugosc = -1;  // -1: the body's length; 0: unknown
        std::size_t kawalek = 4;                 // bytes per piece of data
    };

    Odpowiedz odpowiedz;
    std::vector<Zadanie> zadania;
    // Runs between pieces of the body (after Postep), as the pump would.
    std::function<void()> wTrakcie;

    WynikHttp Pobierz(const std::string& adres, const UstawieniaHttp& ustawienia,
                      IOdbiorcaHttp& odbiorca) override;
};

// The page and the main window, as state the tests read.
class AtrapaStrony : public IStronaInstalacji {
public:
    std::u16string tytul;
    std::vector<std::u16string> tytuly;  // every title set, in order
    std::int32_t maksimumPaska = 100;
    std::int32_t pozycjaPaska = 0;
    std::vector<std::int32_t> pozycjePaska;
    int pompowania = 0;
    std::vector<std::pair<std::u16string, std::u16string>> informacje;  // caption, text
    std::vector<std::u16string> komunikatySystemowe;
    bool przegladajWlaczony = true;
    bool skrotPulpit = true;
    bool skrotMenuStart = true;
    bool deinstalacjaWlaczona = false;
    std::u16string napisInstalacji = u"Instaluj";
    std::u16string podpowiedzInstalacji = u"Instalacja programu";
    std::u16string etykietaFolderu;
    bool koniecWidoczny = false;
    int akceptacje = 0;          // RGAkceptacjaClick calls
    int zamknieciaFormularza = 0;
    bool zablokowane = false;
    std::vector<bool> blokady;  // every change of the lock, in order
    bool zamkniecieZadane = false;
    // Every call, in order, by name: "UstawTytul", "Informacja", ...
    std::vector<std::string> kolejnosc;

    // Run inside the pump and inside the notices, as other handlers would.
    std::function<void()> przyPompowaniu;
    std::function<void()> przyInformacji;
    // What RGAkceptacjaClick does on the page (re-enables and ticks by default).
    std::function<void()> przyAkceptacji;

    void UstawTytul(const std::u16string& tekst) override;
    void UstawMaksimumPaska(std::int32_t maksimum) override;
    void UstawPozycjePaska(std::int32_t pozycja) override;
    void PompujKomunikaty() override;
    void Informacja(const std::u16string& tytul, const std::u16string& tekst) override;
    void KomunikatSystemowy(const std::u16string& tekst) override;
    bool PrzegladajWlaczony() const override { return przegladajWlaczony; }
    bool SkrotNaPulpicieZaznaczony() const override { return skrotPulpit; }
    bool SkrotWMenuStartZaznaczony() const override { return skrotMenuStart; }
    void ZaznaczSkrotNaPulpicie(bool z) override;
    void ZaznaczSkrotWMenuStart(bool z) override;
    void WlaczDeinstalacje(bool wlaczony) override;
    void UstawPrzyciskInstalacji(const std::u16string& napis,
                                 const std::u16string& podpowiedz) override;
    void UstawEtykieteFolderu(const std::u16string& napis) override;
    bool KoniecWidoczny() const override { return koniecWidoczny; }
    void PokazKoniec() override;
    void UkryjKoniec() override;
    void RGAkceptacjaClick() override;
    void ZamknijFormularzStrony() override;
    void ZablokujPrzyciskiStrony(bool zablokowane) override;
    bool ZamkniecieZadane() const override { return zamkniecieZadane; }
};

// The install context as it stands after start-up and acceptance of the
// licence with the default drive: C:\KV-Tek\Kavrostel8, _Kavrostel.
KontekstInstalacji KontekstPoAkceptacji();

// One environment of fakes, ready for an installation step.
struct AtrapySrodowiska {
    KontekstInstalacji kontekst = KontekstPoAkceptacji();
    AtrapaStrony strona;
    AtrapaSystemuPlikow pliki;
    AtrapaPowloki powloka;
    AtrapaFabrykiSkrotow skroty{&pliki};
    AtrapaKlientaHttp http;
    Srodowisko srodowisko{kontekst, strona, pliki, powloka, skroty, http, "http://serwer.example/"};

    AtrapySrodowiska();
};
