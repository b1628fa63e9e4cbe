#include "Atrapy.h"

#include <algorithm>

#include "platform/Blad.h"
#include "platform/Tekst.h"

std::string U8(const std::u16string& tekst) { return platforma::Utf8(tekst); }

// ---------------------------------------------------------------- file system

AtrapaSystemuPlikow::AtrapaSystemuPlikow() { DodajDysk(u"C:"); }

std::u16string AtrapaSystemuPlikow::Klucz(const std::u16string& sciezka) {
    std::u16string k;
    k.reserve(sciezka.size() + 2);
    for (char16_t z : sciezka) k.push_back(z == u'/' ? u'\\' : platforma::ZnakBezWielkosci(z));
    if (!k.empty() && k[0] == u'\\') k = u"C:" + k;
    while (k.size() > 2 && k.back() == u'\\') k.pop_back();
    return k;
}

std::u16string AtrapaSystemuPlikow::Rodzic(const std::u16string& klucz) {
    const auto i = klucz.rfind(u'\\');
    if (i == std::u16string::npos) return {};
    return klucz.substr(0, i);
}

bool AtrapaSystemuPlikow::DyskIstnieje(const std::u16string& klucz) const {
    if (klucz.size() < 2 || klucz[1] != u':') return false;
    return std::find(dyski_.begin(), dyski_.end(), klucz.substr(0, 2)) != dyski_.end();
}

void AtrapaSystemuPlikow::DodajDysk(const std::u16string& dysk) {
    const auto k = Klucz(dysk).substr(0, 2);
    if (std::find(dyski_.begin(), dyski_.end(), k) == dyski_.end()) dyski_.push_back(k);
}

void AtrapaSystemuPlikow::UsunDysk(const std::u16string& dysk) {
    const auto k = Klucz(dysk).substr(0, 2);
    dyski_.erase(std::remove(dyski_.begin(), dyski_.end(), k), dyski_.end());
}

const AtrapaSystemuPlikow::Wpis* AtrapaSystemuPlikow::Znajdz(const std::u16string& sciezka) const {
    const auto k = Klucz(sciezka);
    if (!DyskIstnieje(k)) return nullptr;
    const auto it = wpisy_.find(k);
    return it == wpisy_.end() ? nullptr : &it->second;
}

void AtrapaSystemuPlikow::DodajFolder(const std::u16string& sciezka) {
    const auto k = Klucz(sciezka);
    DodajDysk(k.substr(0, 2));
    if (k.size() <= 2 || wpisy_.count(k)) return;
    DodajFolder(Rodzic(k));
    wpisy_[k] = Wpis{sciezka, true, {}, 0};
}

void AtrapaSystemuPlikow::DodajPlik(const std::u16string& sciezka, const std::string& tresc) {
    const auto k = Klucz(sciezka);
    DodajFolder(Rodzic(k));
    wpisy_[k] = Wpis{sciezka, false, tresc, 0};
}

void AtrapaSystemuPlikow::UstawTylkoDoOdczytu(const std::u16string& sciezka, bool tylko) {
    auto it = wpisy_.find(Klucz(sciezka));
    if (it == wpisy_.end()) return;
    if (tylko)
        it->second.atrybuty |= platforma::ATRYBUT_TYLKO_DO_ODCZYTU;
    else
        it->second.atrybuty &= ~platforma::ATRYBUT_TYLKO_DO_ODCZYTU;
}

std::optional<std::string> AtrapaSystemuPlikow::Tresc(const std::u16string& sciezka) const {
    const auto* w = Znajdz(sciezka);
    if (!w || w->folder) return std::nullopt;
    return w->tresc;
}

std::vector<std::u16string> AtrapaSystemuPlikow::Wszystko() const {
    std::vector<std::u16string> wynik;
    for (const auto& [k, w] : wpisy_) wynik.push_back(w.sciezka);
    return wynik;
}

std::vector<std::u16string> AtrapaSystemuPlikow::Ponizej(const std::u16string& folder) const {
    const auto prefiks = Klucz(folder) + u"\\";
    std::vector<std::u16string> wynik;
    for (const auto& [k, w] : wpisy_)
        if (k.rfind(prefiks, 0) == 0) wynik.push_back(w.sciezka);
    return wynik;
}

bool AtrapaSystemuPlikow::PlikIstnieje(const std::u16string& sciezka) const {
    const auto* w = Znajdz(sciezka);
    return w && !w->folder;
}

bool AtrapaSystemuPlikow::FolderIstnieje(const std::u16string& sciezka) const {
    const auto k = Klucz(sciezka);
    if (k.size() == 2 && DyskIstnieje(k)) return true;
    const auto* w = Znajdz(sciezka);
    return w && w->folder;
}

bool AtrapaSystemuPlikow::UtworzFolder(const std::u16string& sciezka) {
    dziennik.push_back("UtworzFolder " + U8(sciezka));
    const auto k = Klucz(sciezka);
    if (!DyskIstnieje(k) || k.size() <= 2 || wpisy_.count(k)) return false;
    if (!FolderIstnieje(Rodzic(k))) return false;
    wpisy_[k] = Wpis{sciezka, true, {}, 0};
    return true;
}

platforma::StanFolderuProgramu AtrapaSystemuPlikow::PrzygotujFolderProgramu(const std::u16string& sciezka) {
    if (!FolderIstnieje(sciezka)) {
        return UtworzFolder(sciezka) ? platforma::StanFolderuProgramu::Chroniony
                                     : platforma::StanFolderuProgramu::Brak;
    }
    for (const auto& [folder, stan] : stanyFolderow)
        if (Klucz(folder) == Klucz(sciezka)) return stan;
    return platforma::StanFolderuProgramu::Chroniony;
}

bool AtrapaSystemuPlikow::UstawAtrybuty(const std::u16string& sciezka, std::uint32_t atrybuty) {
    dziennik.push_back("UstawAtrybuty " + U8(sciezka) + " " + std::to_string(atrybuty));
    auto it = wpisy_.find(Klucz(sciezka));
    if (it == wpisy_.end() || !DyskIstnieje(it->first)) return false;
    it->second.atrybuty = atrybuty;
    return true;
}

bool AtrapaSystemuPlikow::KopiujPlik(const std::u16string& zrodlo, const std::u16string& cel,
                                     bool bladGdyIstnieje) {
    dziennik.push_back("KopiujPlik " + U8(zrodlo) + " -> " + U8(cel));
    const auto* z = Znajdz(zrodlo);
    if (!z || z->folder) return false;
    const auto kc = Klucz(cel);
    if (!FolderIstnieje(Rodzic(kc))) return false;
    auto it = wpisy_.find(kc);
    if (it != wpisy_.end()) {
        // CopyFileW refuses a folder, an existing target when asked to, and a
        // read-only target.
        if (it->second.folder || bladGdyIstnieje) return false;
        if (it->second.atrybuty & platforma::ATRYBUT_TYLKO_DO_ODCZYTU) return false;
    }
    const std::string tresc = z->tresc;
    wpisy_[kc] = Wpis{cel, false, tresc, 0};
    return true;
}

bool AtrapaSystemuPlikow::UsunPlik(const std::u16string& sciezka) {
    dziennik.push_back("UsunPlik " + U8(sciezka));
    const auto* w = Znajdz(sciezka);
    if (!w || w->folder || (w->atrybuty & platforma::ATRYBUT_TYLKO_DO_ODCZYTU)) return false;
    wpisy_.erase(Klucz(sciezka));
    return true;
}

bool AtrapaSystemuPlikow::UsunFolder(const std::u16string& sciezka) {
    dziennik.push_back("UsunFolder " + U8(sciezka));
    const auto* w = Znajdz(sciezka);
    if (!w || !w->folder || !Ponizej(sciezka).empty()) return false;
    wpisy_.erase(Klucz(sciezka));
    return true;
}

class AtrapaPlikuTymczasowego : public platforma::IPlikTymczasowy {
public:
    AtrapaPlikuTymczasowego(AtrapaSystemuPlikow& fs, std::u16string klucz, std::u16string cel)
        : fs_(fs), klucz_(std::move(klucz)), cel_(std::move(cel)) {}
    ~AtrapaPlikuTymczasowego() override {
        if (!zatwierdzony_) fs_.wpisy_.erase(klucz_);
        std::erase(fs_.otwarteTymczasowe_, AtrapaSystemuPlikow::Klucz(klucz_));
    }
    bool Zapisz(const void* dane, std::size_t ile, std::u16string& blad) override {
        if (fs_.bladZapisu) {
            blad = *fs_.bladZapisu;
            return false;
        }
        auto it = fs_.wpisy_.find(klucz_);
        if (it == fs_.wpisy_.end()) {
            blad = u"temporary file vanished";
            return false;
        }
        it->second.tresc.append(static_cast<const char*>(dane), ile);
        return true;
    }
    bool Zatwierdz(std::u16string& blad) override {
        auto kc = AtrapaSystemuPlikow::Klucz(cel_);
        auto istniejacy = fs_.wpisy_.find(kc);
        if (istniejacy != fs_.wpisy_.end() &&
            (istniejacy->second.folder ||
             (istniejacy->second.atrybuty & platforma::ATRYBUT_TYLKO_DO_ODCZYTU))) {
            blad = u"Access is denied.";
            return false;
        }
        auto it = fs_.wpisy_.find(klucz_);
        std::string tresc = it->second.tresc;
        fs_.wpisy_.erase(it);
        fs_.wpisy_[kc] = AtrapaSystemuPlikow::Wpis{cel_, false, std::move(tresc), 0};
        fs_.dziennik.push_back("Zatwierdz " + U8(cel_));
        zatwierdzony_ = true;
        return true;
    }

private:
    AtrapaSystemuPlikow& fs_;
    std::u16string klucz_;
    std::u16string cel_;
    bool zatwierdzony_ = false;
};

std::unique_ptr<platforma::IPlikTymczasowy> AtrapaSystemuPlikow::UtworzPlikTymczasowy(
    const std::u16string& cel, std::u16string& blad) {
    const auto folder = Rodzic(Klucz(cel));
    if (!FolderIstnieje(folder)) {
        blad = u"The system cannot find the path specified.";
        return nullptr;
    }
    const auto nazwa = folder + u"\\~tmp" + platforma::Utf16(std::to_string(++licznikTymczasowych_));
    wpisy_[nazwa] = Wpis{nazwa, false, {}, 0};
    otwarteTymczasowe_.push_back(Klucz(nazwa));
    dziennik.push_back("UtworzPlikTymczasowy " + U8(cel));
    return std::make_unique<AtrapaPlikuTymczasowego>(*this, nazwa, cel);
}

int AtrapaSystemuPlikow::UsunPozostaleTymczasowe(const std::u16string& cel) {
    const auto przedrostek = Rodzic(Klucz(cel)) + u"\\~TMP";
    int usuniete = 0;
    for (auto it = wpisy_.begin(); it != wpisy_.end();) {
        const bool pozostaly = it->first.starts_with(przedrostek) && !it->second.folder &&
                               it->first.find(u'\\', przedrostek.size()) == std::u16string::npos &&
                               std::find(otwarteTymczasowe_.begin(), otwarteTymczasowe_.end(), it->first) ==
                                   otwarteTymczasowe_.end();
        if (pozostaly) {
            dziennik.push_back("UsunPlik " + U8(it->second.sciezka));
            it = wpisy_.erase(it);
            ++usuniete;
        } else {
            ++it;
        }
    }
    return usuniete;
}

// ---------------------------------------------------------------- shell

std::u16string AtrapaPowloki::FolderSpecjalny(int csidl) {
    const auto it = folderySpecjalne.find(csidl);
    return it == folderySpecjalne.end() ? std::u16string{} : it->second;
}

// ---------------------------------------------------------------- links

namespace {

class AtrapaObiektuSkrotu : public platforma::IObiektSkrotu {
public:
    AtrapaObiektuSkrotu(std::shared_ptr<AtrapaFabrykiSkrotow::Obiekt> o, AtrapaSystemuPlikow* fs)
        : o_(std::move(o)), fs_(fs) {}
    ~AtrapaObiektuSkrotu() override { o_->zwolniony = true; }

    void SetPath(const std::u16string& s) override { Zapisz("SetPath", s); }
    void SetWorkingDirectory(const std::u16string& s) override { Zapisz("SetWorkingDirectory", s); }
    void SetArguments(const std::u16string& s) override { Zapisz("SetArguments", s); }
    void SetDescription(const std::u16string& s) override { Zapisz("SetDescription", s); }
    void SetShowCmd(std::int32_t n) override { Zapisz("SetShowCmd", {}, n); }
    void SetIconLocation(const std::u16string& s, std::int32_t n) override {
        Zapisz("SetIconLocation", s, n);
    }
    void SetHotkey(std::uint16_t n) override { Zapisz("SetHotkey", {}, n); }
    bool Save(const std::u16string& sciezka, bool zapamietaj) override {
        Zapisz("Save", sciezka, zapamietaj ? 1 : 0);
        if (!fs_) return true;
        const auto k = AtrapaSystemuPlikow::Klucz(sciezka);
        if (!fs_->FolderIstnieje(AtrapaSystemuPlikow::Rodzic(k))) return false;
        std::string tresc;
        for (const auto& w : o_->wywolania)
            tresc += w.metoda + "=" + U8(w.tekst) + "," + std::to_string(w.liczba) + "\n";
        fs_->DodajPlik(sciezka, tresc);
        return true;
    }

private:
    void Zapisz(const char* metoda, const std::u16string& tekst, std::int64_t liczba = 0) {
        o_->wywolania.push_back({metoda, tekst, liczba});
    }
    std::shared_ptr<AtrapaFabrykiSkrotow::Obiekt> o_;
    AtrapaSystemuPlikow* fs_;
};

}  // namespace

std::unique_ptr<platforma::IObiektSkrotu> AtrapaFabrykiSkrotow::Utworz() {
    if (bladTworzenia) throw platforma::BladPlatformy(*bladTworzenia);
    auto o = std::make_shared<Obiekt>();
    obiekty.push_back(o);
    return std::make_unique<AtrapaObiektuSkrotu>(o, pliki_);
}

const AtrapaFabrykiSkrotow::Obiekt* AtrapaFabrykiSkrotow::ZapisanyJako(
    const std::u16string& sciezkaSkrotu) const {
    const Obiekt* wynik = nullptr;
    for (const auto& o : obiekty)
        for (const auto& w : o->wywolania)
            if (w.metoda == "Save" && w.tekst == sciezkaSkrotu) wynik = o.get();
    return wynik;
}

// ---------------------------------------------------------------- HTTP

WynikHttp AtrapaKlientaHttp::Pobierz(const std::string& adres, const UstawieniaHttp& ustawienia,
                                     IOdbiorcaHttp& odbiorca) {
    zadania.push_back({adres, ustawienia.uzytkownik, ustawienia.haslo});
    WynikHttp wynik;
    if (!odpowiedz.udana && odpowiedz.cialo.empty()) {
        wynik.komunikat = odpowiedz.komunikat;
        return wynik;
    }
    const auto dlugosc = odpowiedz.zapowiedzianaDlugosc < 0
                             ? static_cast<std::int64_t>(odpowiedz.cialo.size())
                             : odpowiedz.zapowiedzianaDlugosc;
    odbiorca.Poczatek(dlugosc);
    std::int64_t dotad = 0;
    const std::size_t kawalek = odpowiedz.kawalek ? odpowiedz.kawalek : 1;
    for (std::size_t i = 0; i < odpowiedz.cialo.size(); i += kawalek) {
        const auto ile = std::min(kawalek, odpowiedz.cialo.size() - i);
        std::u16string blad;
        if (!odbiorca.Dane(odpowiedz.cialo.data() + i, ile, blad)) {
            wynik.komunikat = blad;
            return wynik;
        }
        dotad += static_cast<std::int64_t>(ile);
        odbiorca.Postep(dotad);
        if (wTrakcie) wTrakcie();
        if (odbiorca.Przerwij()) {
            wynik.przerwany = true;
            wynik.komunikat = u"Operation aborted";
            return wynik;
        }
    }
    odbiorca.Koniec();
    wynik.udany = odpowiedz.udana;
    wynik.komunikat = odpowiedz.udana ? std::u16string{} : odpowiedz.komunikat;
    return wynik;
}

// ---------------------------------------------------------------- page

void AtrapaStrony::UstawTytul(const std::u16string& tekst) {
    kolejnosc.push_back("UstawTytul");
    tytul = tekst;
    tytuly.push_back(tekst);
}
void AtrapaStrony::UstawMaksimumPaska(std::int32_t m) {
    kolejnosc.push_back("UstawMaksimumPaska");
    maksimumPaska = m;
}
void AtrapaStrony::UstawPozycjePaska(std::int32_t p) {
    kolejnosc.push_back("UstawPozycjePaska");
    pozycjaPaska = p;
    pozycjePaska.push_back(p);
}
void AtrapaStrony::PompujKomunikaty() {
    kolejnosc.push_back("PompujKomunikaty");
    ++pompowania;
    if (przyPompowaniu) przyPompowaniu();
}
void AtrapaStrony::Informacja(const std::u16string& t, const std::u16string& tekst) {
    kolejnosc.push_back("Informacja");
    informacje.emplace_back(t, tekst);
    if (przyInformacji) przyInformacji();
}
void AtrapaStrony::KomunikatSystemowy(const std::u16string& tekst) {
    kolejnosc.push_back("KomunikatSystemowy");
    komunikatySystemowe.push_back(tekst);
}
void AtrapaStrony::ZaznaczSkrotNaPulpicie(bool z) {
    kolejnosc.push_back("ZaznaczSkrotNaPulpicie");
    skrotPulpit = z;
}
void AtrapaStrony::ZaznaczSkrotWMenuStart(bool z) {
    kolejnosc.push_back("ZaznaczSkrotWMenuStart");
    skrotMenuStart = z;
}
void AtrapaStrony::WlaczDeinstalacje(bool w) {
    kolejnosc.push_back("WlaczDeinstalacje");
    deinstalacjaWlaczona = w;
}
void AtrapaStrony::UstawPrzyciskInstalacji(const std::u16string& n, const std::u16string& p) {
    kolejnosc.push_back("UstawPrzyciskInstalacji");
    napisInstalacji = n;
    podpowiedzInstalacji = p;
}
void AtrapaStrony::UstawEtykieteFolderu(const std::u16string& n) {
    kolejnosc.push_back("UstawEtykieteFolderu");
    etykietaFolderu = n;
}
void AtrapaStrony::PokazKoniec() {
    kolejnosc.push_back("PokazKoniec");
    koniecWidoczny = true;
}
void AtrapaStrony::UkryjKoniec() {
    kolejnosc.push_back("UkryjKoniec");
    koniecWidoczny = false;
}
void AtrapaStrony::RGAkceptacjaClick() {
    kolejnosc.push_back("RGAkceptacjaClick");
    ++akceptacje;
    if (przyAkceptacji) {
        przyAkceptacji();
        return;
    }
    // What the acceptance handler does to the state the core reads.
    tytul = u"Wybierz wersję instalacji";
    skrotPulpit = skrotMenuStart = true;
    napisInstalacji = u"Instaluj";
    podpowiedzInstalacji = u"Instalacja programu";
}
void AtrapaStrony::ZamknijFormularzStrony() {
    kolejnosc.push_back("ZamknijFormularzStrony");
    ++zamknieciaFormularza;
}
void AtrapaStrony::ZablokujPrzyciskiStrony(bool z) {
    kolejnosc.push_back("ZablokujPrzyciskiStrony");
    zablokowane = z;
    blokady.push_back(z);
}

// ---------------------------------------------------------------- context

KontekstInstalacji KontekstPoAkceptacji() {
    KontekstInstalacji k;
    k.FolderInstalatora = u"D:\\Instalator";
    k.NazwaKatalogu = u"Kavrostel8";
    k.PlikProgramu = u"_Kavrostel";
    k.NazwaProgramu = u"_Kavrostel";
    k.FolderBDE = u"Sterowniki\\BDE";
    k.WersjaProgramu = u"8.0";
    k.KoncowkaSkrotu = u" 8.lnk";
    k.FolderPulpitu = u"C:\\users\\jan\\Desktop";
    k.FolderMenuProgramy = u"C:\\users\\jan\\AppData\\Roaming\\Microsoft\\Windows\\Start Menu\\Programs";
    k.DyskInstalacji = u"C:";
    k.FolderInstalacji = u"C:\\KV-Tek\\Kavrostel8";
    k.FolderPakietu = u"KV-Tek";
    return k;
}

AtrapySrodowiska::AtrapySrodowiska() {
    pliki.DodajDysk(u"D:");
    pliki.DodajFolder(kontekst.FolderPulpitu);
    pliki.DodajFolder(kontekst.FolderMenuProgramy);
    pliki.dziennik.clear();
}
