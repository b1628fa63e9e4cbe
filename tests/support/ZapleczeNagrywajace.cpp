#include "ZapleczeNagrywajace.h"

#include <gtest/gtest.h>

#include <algorithm>

using Rodzaj = WpisZaplecza::Rodzaj;

// The native side of one component: records what the model reports. The
// first changes it hears are the initial state, which must be exactly the
// kind's properties in the model's order.
class ZapleczeNagrywajace::Widok : public IWidokFormy {
public:
    Widok(ZapleczeNagrywajace& z, TComponent& s) : z_(z), s_(s), nazwa_(s.Name) {
        const auto lista = s.Wlasciwosci();
        oczekiwane_.assign(lista.begin(), lista.end());
    }

    ~Widok() override {
        z_.dziennik.push_back({Rodzaj::KoniecWidoku, nazwa_});
        z_.stany.erase(&s_);
        z_.widoki_.erase(&s_);
        for (const auto& [dziecko, rodzic] : z_.widoki_)
            if (rodzic == &s_)
                ADD_FAILURE() << "the view of " << dziecko->Name << " outlives the view of its parent "
                              << nazwa_;
        std::erase(z_.modalneTeraz_, &s_);
    }

    void Zmiana(TZmiana co, int indeks) override {
        if (poczatek_ < oczekiwane_.size()) {
            if (co != oczekiwane_[poczatek_] || indeks != -1)
                ADD_FAILURE() << nazwa_ << ": the initial state breaks off at property " << poczatek_;
            ++poczatek_;
            z_.dziennik.push_back({Rodzaj::Poczatek, nazwa_, co});
        } else {
            z_.dziennik.push_back({Rodzaj::Zmiana, nazwa_, co, indeks});
        }
        if (co == TZmiana::Rodzic) {
            const TControl* rodzic = static_cast<const TControl&>(s_).Parent();
            if (rodzic && !z_.widoki_.contains(rodzic))
                ADD_FAILURE() << nazwa_ << " moved under " << rodzic->Name << ", which has no view";
            z_.widoki_[&s_] = rodzic;
        }
        if ((co == TZmiana::Miejsce || co == TZmiana::Zaokraglenie) && s_.Rodzaj() == TRodzaj::Forma)
            Przytnij(static_cast<const TForm&>(s_));
        if (s_.Rodzaj() != TRodzaj::Zegar) {
            const auto& k = static_cast<const TControl&>(s_);
            StanWidoku& stan = z_.stany[&s_];
            if (co == TZmiana::Miejsce) stan.miejsce = k.MiejsceWidoku();
            if (co == TZmiana::Czcionka) stan.czcionka = k.CzcionkaWidoku().Height;
            if (co == TZmiana::WysokoscElementu)
                stan.wysokoscElementu = static_cast<const TListBox&>(s_).WysokoscElementuWidoku();
            if (co == TZmiana::Zaokraglenie) stan.zaokraglenie = static_cast<const TForm&>(s_).ZaokraglenieWidoku();
        }
    }

    void OdmalujTeraz() override { z_.dziennik.push_back({Rodzaj::Odmaluj, nazwa_}); }
    void PetlaModalna() override { z_.PetlaModalna(static_cast<TForm&>(s_)); }
    void Przeciagnij() override { z_.dziennik.push_back({Rodzaj::Przeciagnij, nazwa_}); }
    int Dpi() const override { return z_.dpi; }

private:
    // A window is clipped again when its size or its corner ellipse changes.
    void Przytnij(const TForm& f) {
        const TRozmiar e = f.ZaokraglenieWidoku();
        if (e.Width <= 0 && e.Height <= 0) return;
        const TProstokat m = f.MiejsceWidoku();
        const std::string opis = std::to_string(m.Width) + "x" + std::to_string(m.Height) + "/" +
                                 std::to_string(e.Width) + "x" + std::to_string(e.Height);
        if (opis == ksztalt_) return;
        ksztalt_ = opis;
        z_.dziennik.push_back({Rodzaj::Ksztalt, nazwa_, TZmiana::Miejsce, -1, {}, 0,
                               std::u16string(opis.begin(), opis.end())});
    }

    ZapleczeNagrywajace& z_;
    TComponent& s_;
    std::string nazwa_;
    std::vector<TZmiana> oczekiwane_;
    std::size_t poczatek_ = 0;
    std::string ksztalt_;
};

ZapleczeNagrywajace::ZapleczeNagrywajace() = default;

ZapleczeNagrywajace::~ZapleczeNagrywajace() {
    for (const auto& [skladnik, rodzic] : widoki_)
        ADD_FAILURE() << "the view of " << skladnik->Name << " outlives the backend";
}

std::unique_ptr<ZapleczeNagrywajace::Widok> ZapleczeNagrywajace::Nowy(TComponent& skladnik) {
    const TComponent* rodzic = nullptr;
    if (skladnik.Rodzaj() == TRodzaj::Zegar) {
        rodzic = &skladnik.Owner();  // a timer lives with its form
    } else {
        rodzic = static_cast<TControl&>(skladnik).Parent();
    }
    if (rodzic && !widoki_.contains(rodzic))
        ADD_FAILURE() << "a view for " << skladnik.Name << " before the view of its parent " << rodzic->Name;
    if (widoki_.contains(&skladnik)) ADD_FAILURE() << "a second view for " << skladnik.Name;
    widoki_[&skladnik] = rodzic;
    dziennik.push_back({Rodzaj::Widok, skladnik.Name});
    return std::make_unique<Widok>(*this, skladnik);
}

std::unique_ptr<IWidokFormy> ZapleczeNagrywajace::Utworz(TForm& s) { return Nowy(s); }
std::unique_ptr<IWidokKontrolki> ZapleczeNagrywajace::Utworz(TPanel& s) { return Nowy(s); }
std::unique_ptr<IWidokKontrolki> ZapleczeNagrywajace::Utworz(TLabel& s) { return Nowy(s); }
std::unique_ptr<IWidokKontrolki> ZapleczeNagrywajace::Utworz(TImage& s) { return Nowy(s); }
std::unique_ptr<IWidokKontrolki> ZapleczeNagrywajace::Utworz(TGroupBox& s) { return Nowy(s); }
std::unique_ptr<IWidokKontrolki> ZapleczeNagrywajace::Utworz(TButton& s) { return Nowy(s); }
std::unique_ptr<IWidokKontrolki> ZapleczeNagrywajace::Utworz(TCheckBox& s) { return Nowy(s); }
std::unique_ptr<IWidokKontrolki> ZapleczeNagrywajace::Utworz(TRadioGroup& s) { return Nowy(s); }
std::unique_ptr<IWidokKontrolki> ZapleczeNagrywajace::Utworz(TEdit& s) { return Nowy(s); }
std::unique_ptr<IWidokKontrolki> ZapleczeNagrywajace::Utworz(TListBox& s) { return Nowy(s); }
std::unique_ptr<IWidokKontrolki> ZapleczeNagrywajace::Utworz(TProgressBar& s) { return Nowy(s); }
std::unique_ptr<IWidok> ZapleczeNagrywajace::Utworz(TTimer& s) { return Nowy(s); }

platforma::PunktEkranu ZapleczeNagrywajace::Pozycja() {
    ++odczytyPozycji;
    return pozycja;
}

void ZapleczeNagrywajace::Ustaw(platforma::PunktEkranu punkt) {
    pozycja = punkt;
    dziennik.push_back({Rodzaj::Ustaw, {}, TZmiana::Miejsce, -1, punkt});
}

bool ZapleczeNagrywajace::AplikacjaAktywna() { return czyAktywna ? czyAktywna() : aktywna; }

void ZapleczeNagrywajace::Spij(std::uint32_t milisekundy) {
    dziennik.push_back({Rodzaj::Spij, {}, TZmiana::Miejsce, -1, {}, milisekundy});
    if (przySpaniu) przySpaniu(milisekundy);
}

void ZapleczeNagrywajace::Pompuj() {
    dziennik.push_back({Rodzaj::Pompuj});
    if (przyPompowaniu) przyPompowaniu();
}

void ZapleczeNagrywajace::PetlaModalna(TForm& forma) {
    dziennik.push_back({Rodzaj::PetlaModalna, forma.Name});
    ModalnyWidok widok{forma.Caption, {}};
    for (const auto& s : forma.Skladniki())
        if (s->Rodzaj() == TRodzaj::Etykieta) widok.etykiety.push_back(static_cast<const TLabel&>(*s).Caption);
    modalne.push_back(widok);

    modalneTeraz_.push_back(&forma);
    if (przyPetliModalnej)
        przyPetliModalnej(forma);
    else
        forma.ZdarzenieKlawisza(TKlawisz::Enter);
    // The form may have gone meanwhile (its view went with it).
    const bool jest = std::find(modalneTeraz_.begin(), modalneTeraz_.end(), &forma) != modalneTeraz_.end();
    if (!jest) return;
    std::erase(modalneTeraz_, &forma);
    if (forma.ModalResult == mrNone && !zakonczona)
        ADD_FAILURE() << "the modal loop of " << forma.Name << " would wait for ever";
}

int ZapleczeNagrywajace::PetlaGlowna() { return 0; }

void ZapleczeNagrywajace::Zakoncz() {
    zakonczona = true;
    dziennik.push_back({Rodzaj::Zakoncz});
}

void ZapleczeNagrywajace::KomunikatStandardowy(const std::u16string& tytul, const std::u16string& tekst) {
    dziennik.push_back({Rodzaj::Komunikat, {}, TZmiana::Miejsce, -1, {}, 0, tekst});
    komunikaty.emplace_back(tytul, tekst);
}

void ZapleczeNagrywajace::KomunikatBledu(const std::u16string& tytul, const std::u16string& tekst) {
    dziennik.push_back({Rodzaj::Blad, {}, TZmiana::Miejsce, -1, {}, 0, tekst});
    bledy.emplace_back(tytul, tekst);
}

std::optional<std::u16string> ZapleczeNagrywajace::DialogZapisu(TForm*, const std::u16string& tytul,
                                                                const std::u16string& nazwaPliku,
                                                                const std::u16string& folderPoczatkowy) {
    dziennik.push_back({Rodzaj::DialogZapisu});
    pytaniaZapisu.push_back({tytul, nazwaPliku, folderPoczatkowy});
    if (odpowiedziZapisu.empty()) return std::nullopt;
    auto odpowiedz = odpowiedziZapisu.front();
    odpowiedziZapisu.pop_front();
    return odpowiedz;
}

TRozmiar ZapleczeNagrywajace::ZmierzTekst(const TFont& czcionka, const std::u16string& tekst,
                                          int szerokoscZawijania) {
    const int wysokoscLinii = czcionka.Height * 20 / 17;
    const int szerokoscZnaku = std::max(1, czcionka.Height / 2);

    // Paragraphs: CR, LF or CR LF start a new line.
    std::vector<std::u16string> akapity(1);
    for (std::size_t i = 0; i < tekst.size(); ++i) {
        if (tekst[i] == u'\r' || tekst[i] == u'\n') {
            if (tekst[i] == u'\r' && i + 1 < tekst.size() && tekst[i + 1] == u'\n') ++i;
            akapity.emplace_back();
        } else {
            akapity.back() += tekst[i];
        }
    }
    int linie = 0;
    int najszersza = 0;
    for (const std::u16string& akapit : akapity) {
        const int szerokosc = static_cast<int>(akapit.size()) * szerokoscZnaku;
        najszersza = std::max(najszersza, szerokosc);
        if (szerokoscZawijania <= 0) {
            ++linie;
            continue;
        }
        // Words go onto a line while they fit; a word wider than the line
        // takes a line of its own.
        int wLinii = 0;
        int liniiAkapitu = 1;
        std::size_t poczatek = 0;
        while (poczatek <= akapit.size()) {
            std::size_t koniec = akapit.find(u' ', poczatek);
            if (koniec == std::u16string::npos) koniec = akapit.size();
            const int slowo = static_cast<int>(koniec - poczatek) * szerokoscZnaku;
            if (wLinii > 0 && wLinii + szerokoscZnaku + slowo > szerokoscZawijania) {
                ++liniiAkapitu;
                wLinii = slowo;
            } else {
                wLinii += (wLinii > 0 ? szerokoscZnaku : 0) + slowo;
            }
            poczatek = koniec + 1;
        }
        linie += liniiAkapitu;
    }
    linie = std::max(linie, 1);
    return {szerokoscZawijania > 0 ? szerokoscZawijania : najszersza, linie * wysokoscLinii};
}

std::vector<std::uint32_t> ZapleczeNagrywajace::Pauzy(std::size_t od, std::size_t doWpisu) const {
    std::vector<std::uint32_t> wynik;
    for (std::size_t i = od; i < dziennik.size() && i < doWpisu; ++i)
        if (dziennik[i].rodzaj == Rodzaj::Spij) wynik.push_back(dziennik[i].ms);
    return wynik;
}

std::vector<platforma::PunktEkranu> ZapleczeNagrywajace::Polozenia(std::size_t od, std::size_t doWpisu) const {
    std::vector<platforma::PunktEkranu> wynik;
    for (std::size_t i = od; i < dziennik.size() && i < doWpisu; ++i)
        if (dziennik[i].rodzaj == Rodzaj::Ustaw) wynik.push_back(dziennik[i].punkt);
    return wynik;
}

std::vector<TZmiana> ZapleczeNagrywajace::Zmiany(const std::string& nazwa) const {
    std::vector<TZmiana> wynik;
    for (const WpisZaplecza& w : dziennik)
        if (w.rodzaj == Rodzaj::Zmiana && w.nazwa == nazwa) wynik.push_back(w.zmiana);
    return wynik;
}

std::size_t ZapleczeNagrywajace::Ile(Rodzaj rodzaj, const std::string& nazwa) const {
    return static_cast<std::size_t>(std::count_if(dziennik.begin(), dziennik.end(), [&](const WpisZaplecza& w) {
        return w.rodzaj == rodzaj && (nazwa.empty() || w.nazwa == nazwa);
    }));
}

void PokazINamaluj(TForm& forma) {
    forma.Show();
    forma.ZdarzenieMalowania();
}
