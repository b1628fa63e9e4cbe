#include "Kontrolki.h"

#include <algorithm>

#include "Aplikacja.h"
#include "platform/Tekst.h"

namespace {

// Runs a handler started by the user's action under the top-level error
// display; without an application (a bare model in a test) it just runs.
void Uruchom(const std::function<void()>& obsluga) {
    if (!obsluga) return;
    if (Application)
        Application->Obsluz(obsluga);
    else
        obsluga();
}

// The order in which a new view is given its properties: what a property is
// drawn with (font, colours) before the text and the items, the items before
// the choice among them, the place before the visibility.
constexpr TZmiana KolejnoscWlasciwosci[] = {
    TZmiana::Czcionka,   TZmiana::Kolor,        TZmiana::KolorRodzica,   TZmiana::Przezroczystosc,
    TZmiana::TloRodzica, TZmiana::Napis,        TZmiana::Tekst,          TZmiana::Wyrownanie,
    TZmiana::Zawijanie,  TZmiana::AutoRozmiar,  TZmiana::TylkoDoOdczytu, TZmiana::Obraz,
    TZmiana::Rozciagniecie, TZmiana::Glif,      TZmiana::Elementy,       TZmiana::Kolumny,
    TZmiana::WysokoscElementu, TZmiana::Wybor,  TZmiana::Zaznaczenie,    TZmiana::Minimum,
    TZmiana::Maksimum,   TZmiana::Postep,       TZmiana::Wcisniety,      TZmiana::Domyslny,
    TZmiana::Anulujacy,  TZmiana::GornyElement, TZmiana::Ramka,          TZmiana::Polozenie,
    TZmiana::Zaokraglenie, TZmiana::Miejsce,    TZmiana::Dostepnosc,     TZmiana::Podpowiedz,
    TZmiana::Kursor,     TZmiana::Interwal,     TZmiana::Widocznosc,
};

std::vector<TZmiana> Wybrane(const std::vector<TZmiana>& zbior) {
    std::vector<TZmiana> wynik;
    for (TZmiana co : KolejnoscWlasciwosci)
        if (std::find(zbior.begin(), zbior.end(), co) != zbior.end()) wynik.push_back(co);
    return wynik;
}

// MulDiv(v, dpi, 96): the nearest whole pixel, halves away from zero.
int NaDpi(int v, int dpi) {
    const long long p = static_cast<long long>(v) * dpi;
    return static_cast<int>(p >= 0 ? (p + 48) / 96 : -((-p + 48) / 96));
}

// Back to design pixels, rounded up: the scaled result holds the measure.
int ZDpi(int v, int dpi) {
    const long long p = static_cast<long long>(v) * 96;
    return static_cast<int>(p >= 0 ? (p + dpi - 1) / dpi : -((-p) / dpi));
}

// Tells `k` and every control lying on it, parents before their children,
// that the scale of their window changed.
void PrzeskalujDrzewo(TControl& k);

}  // namespace

// ---------------------------------------------------------------- TComponent

TComponent::TComponent(TForm* wlasciciel, std::string nazwa)
    : Name(std::move(nazwa)), wlasciciel_(wlasciciel) {}

TComponent::~TComponent() = default;

void TComponent::Powiadom(TZmiana co, int indeks) const {
    if (widok_) widok_->Zmiana(co, indeks);
}

void TComponent::Realizuj() {
    if (!widok_ && Application) UtworzWidok(Application->Zaplecze().Widoki());
}

void TComponent::Przyjmij(std::unique_ptr<IWidok> widok) {
    widok_ = std::move(widok);
    if (!widok_) return;
    for (TZmiana co : Wlasciwosci()) widok_->Zmiana(co, -1);
}

// ---------------------------------------------------------------- TControl

TControl::TControl(TForm* wlasciciel, TControl* rodzic, std::string nazwa)
    : TComponent(wlasciciel, std::move(nazwa)), rodzic_(rodzic) {
    if (rodzic_) {
        kolejnoscTab_ = static_cast<int>(rodzic_->dzieci_.size());
        rodzic_->dzieci_.push_back(this);
        // A control starts with its parent's font, as the designer gives it.
        Font.UstawCicho(rodzic_->Font);
    }
}

TControl::~TControl() {
    // A form must not keep pointing at a control that is gone.
    if (rodzic_) {
        TControl* k = rodzic_;
        while (k->rodzic_) k = k->rodzic_;
        if (k->jestForma_) {
            auto* forma = static_cast<TForm*>(k);
            if (forma->ActiveControl() == this) forma->ActiveControl.UstawCicho(nullptr);
        }
    }
    // Children of other forms (a page moved onto this window) stay alive:
    // they lose their parent, and their views leave this one's native window
    // before it goes.
    for (TControl* dziecko : std::vector<TControl*>(dzieci_)) dziecko->SetParent(nullptr);
    if (rodzic_) std::erase(rodzic_->dzieci_, this);
    widokKontrolki_ = nullptr;
    widok_.reset();
}

std::vector<TZmiana> TControl::WlasciwosciRodzaju(std::initializer_list<TZmiana> wlasne) {
    std::vector<TZmiana> zbior = {TZmiana::Czcionka,   TZmiana::Kolor,      TZmiana::KolorRodzica,
                                  TZmiana::Napis,      TZmiana::Miejsce,    TZmiana::Dostepnosc,
                                  TZmiana::Podpowiedz, TZmiana::Kursor,     TZmiana::Widocznosc};
    zbior.insert(zbior.end(), wlasne.begin(), wlasne.end());
    return Wybrane(zbior);
}

void TControl::PrzyjmijWidok(std::unique_ptr<IWidokKontrolki> widok) {
    widokKontrolki_ = widok.get();
    Przyjmij(std::move(widok));
}

void TControl::SetParent(TControl* rodzic) {
    if (rodzic == rodzic_) return;
    const TForm* przedtem = Forma();
    const int dpiPrzedtem = przedtem ? przedtem->Dpi() : 96;
    if (rodzic_) std::erase(rodzic_->dzieci_, this);
    rodzic_ = rodzic;
    if (rodzic_) rodzic_->dzieci_.push_back(this);
    Powiadom(TZmiana::Rodzic);
    Powiadom(TZmiana::Kolor);
    // A page moved onto a window of another scale takes that window's scale.
    const TForm* teraz = Forma();
    if ((teraz ? teraz->Dpi() : 96) != dpiPrzedtem) PrzeskalujDrzewo(*this);
}

int TControl::Skaluj(int piksele) const {
    const TForm* forma = Forma();
    return NaDpi(piksele, forma ? forma->Dpi() : 96);
}

TProstokat TControl::MiejsceWidoku() const {
    if (jestForma_) return {Left, Top, Skaluj(Width), Skaluj(Height)};
    return {Skaluj(Left), Skaluj(Top), Skaluj(Width), Skaluj(Height)};
}

TFont TControl::CzcionkaWidoku() const {
    TFont czcionka = Font;
    czcionka.Height = Skaluj(czcionka.Height);
    return czcionka;
}

TRozmiar TControl::ZmierzNapis(const TFont& czcionka, const std::u16string& tekst,
                               int szerokoscZawijania) const {
    if (!Application) return {};
    const TForm* forma = Forma();
    const int dpi = forma ? forma->Dpi() : 96;
    TFont skalowana = czcionka;
    skalowana.Height = NaDpi(czcionka.Height, dpi);
    const TRozmiar r = Application->Zaplecze().ZmierzTekst(
        skalowana, tekst, szerokoscZawijania > 0 ? NaDpi(szerokoscZawijania, dpi) : 0);
    return {ZDpi(r.Width, dpi), ZDpi(r.Height, dpi)};
}

void TControl::Przeskalowano() {
    Powiadom(TZmiana::Czcionka);
    Powiadom(TZmiana::Miejsce);
}

namespace {

void PrzeskalujDrzewo(TControl& k) {
    k.Przeskalowano();
    for (TControl* dziecko : std::vector<TControl*>(k.Controls())) PrzeskalujDrzewo(*dziecko);
}

}  // namespace

void TControl::SetBounds(int lewo, int gora, int szerokosc, int wysokosc) {
    if (Left == lewo && Top == gora && Width == szerokosc && Height == wysokosc) return;
    Left.UstawCicho(lewo);
    Top.UstawCicho(gora);
    Width.UstawCicho(szerokosc);
    Height.UstawCicho(wysokosc);
    Zmieniono(TZmiana::Miejsce);
}

void TControl::BringToFront() {
    if (!rodzic_) return;
    auto& rodzenstwo = rodzic_->dzieci_;
    std::erase(rodzenstwo, this);
    rodzenstwo.push_back(this);
    Powiadom(TZmiana::Kolejnosc);
}

void TControl::Repaint() {
    if (widokKontrolki_) widokKontrolki_->OdmalujTeraz();
}

void TControl::SetFocus() {
    if (TForm* forma = Forma()) forma->ActiveControl = this;
}

bool TControl::Focused() const {
    const TForm* forma = Forma();
    return forma && forma->ActiveControl() == this;
}

TForm* TControl::Forma() const {
    const TControl* k = this;
    while (k->rodzic_) k = k->rodzic_;
    return k->jestForma_ ? static_cast<TForm*>(const_cast<TControl*>(k)) : nullptr;
}

bool TControl::Showing() const {
    for (const TControl* k = this; k; k = k->rodzic_)
        if (!k->Visible) return false;
    return true;
}

bool TControl::Dostepna() const {
    for (const TControl* k = this; k; k = k->rodzic_)
        if (!k->Visible || !k->Enabled) return false;
    return true;
}

bool TControl::Zakryta() const {
    // The control's rectangle in the coordinates of each parent in turn.
    int lewo = Left, gora = Top;
    const int szerokosc = Width, wysokosc = Height;
    for (const TControl* k = this; k->rodzic_ && !k->jestForma_; k = k->rodzic_) {
        const auto& rodzenstwo = k->rodzic_->dzieci_;
        auto it = std::find(rodzenstwo.begin(), rodzenstwo.end(), k);
        for (++it; it != rodzenstwo.end(); ++it) {
            const TControl& nad = **it;
            if (nad.Visible && nad.Width > 0 && nad.Height > 0 && nad.Left <= lewo && nad.Top <= gora && nad.Left + nad.Width >= lewo + szerokosc &&
                nad.Top + nad.Height >= gora + wysokosc)
                return true;
        }
        if (k->rodzic_->jestForma_) break;
        lewo += k->rodzic_->Left;
        gora += k->rodzic_->Top;
    }
    return false;
}

bool TControl::MozeMiecFokus() const {
    if (!PrzyjmujeFokus() || jestForma_ || !Forma()) return false;
    for (const TControl* k = this; k && !k->jestForma_; k = k->rodzic_)
        if (!k->Visible || !k->Enabled) return false;
    return !Zakryta();
}

std::u16string TControl::PokazywanaPodpowiedz() const {
    return Enabled ? Hint() : std::u16string();
}

TColor TControl::KolorEfektywny() const {
    const TControl* k = this;
    while (k->ParentColor && k->rodzic_) k = k->rodzic_;
    return k->Color;
}

void TControl::Zmieniono(TZmiana co) {
    Powiadom(co);
    // A control that goes, or a view laid over it, may take the focus away.
    if (co == TZmiana::Dostepnosc || co == TZmiana::Widocznosc || co == TZmiana::Miejsce)
        if (TForm* forma = Forma(); forma && forma->ActiveControl()) forma->PilnujFokusu();
    // The hint shown follows the enabled state.
    if (co == TZmiana::Dostepnosc) Powiadom(TZmiana::Podpowiedz);
    // Children that take their parent's colour are drawn anew.
    if (co == TZmiana::Kolor || co == TZmiana::KolorRodzica)
        for (TControl* dziecko : dzieci_)
            if (dziecko->ParentColor) dziecko->Zmieniono(TZmiana::Kolor);
}

void TControl::ZdarzenieKlikniecia() {
    if (!Dostepna()) return;
    Uruchom(OnClick);
}

void TControl::ZdarzenieNacisku(TMouseButton przycisk, int x, int y) {
    if (!Dostepna() || !OnMouseDown) return;
    Uruchom([&] { OnMouseDown(*this, przycisk, x, y); });
}

void TControl::ZdarzenieOtrzymaniaFokusu() {
    // A control reports to the form it lies on (a page's button to the main
    // window); the window itself, or a control that takes no focus, leaves
    // the focus with the form.
    if (TForm* forma = Forma()) forma->ZdarzenieFokusu(!jestForma_ && PrzyjmujeFokus() ? this : nullptr);
}

// ---------------------------------------------------------------- the kinds' views and properties

#define KV_RODZAJ(Klasa, ...)                                                                   \
    std::span<const TZmiana> Klasa::Wlasciwosci() const {                                      \
        static const std::vector<TZmiana> wlasciwosci = WlasciwosciRodzaju({__VA_ARGS__});      \
        return wlasciwosci;                                                                     \
    }                                                                                           \
    void Klasa::UtworzWidok(IFabrykaWidokow& fabryka) { PrzyjmijWidok(fabryka.Utworz(*this)); }

KV_RODZAJ(TPanel, TZmiana::TloRodzica)
KV_RODZAJ(TGroupBox)
KV_RODZAJ(TLabel, TZmiana::Przezroczystosc, TZmiana::Wyrownanie, TZmiana::Zawijanie, TZmiana::AutoRozmiar)
KV_RODZAJ(TImage, TZmiana::Obraz, TZmiana::Rozciagniecie)
KV_RODZAJ(TButton, TZmiana::Glif, TZmiana::Wcisniety, TZmiana::Domyslny, TZmiana::Anulujacy)
KV_RODZAJ(TCheckBox, TZmiana::Zaznaczenie)
KV_RODZAJ(TRadioGroup, TZmiana::Elementy, TZmiana::Kolumny, TZmiana::Wybor)
KV_RODZAJ(TEdit, TZmiana::Tekst, TZmiana::TylkoDoOdczytu)
KV_RODZAJ(TListBox, TZmiana::Elementy, TZmiana::WysokoscElementu, TZmiana::Wybor, TZmiana::GornyElement)
KV_RODZAJ(TProgressBar, TZmiana::Minimum, TZmiana::Maksimum, TZmiana::Postep)
#undef KV_RODZAJ

std::span<const TZmiana> TForm::Wlasciwosci() const {
    static const std::vector<TZmiana> wlasciwosci =
        WlasciwosciRodzaju({TZmiana::Ramka, TZmiana::Polozenie, TZmiana::Zaokraglenie});
    return wlasciwosci;
}

void TForm::UtworzWidok(IFabrykaWidokow& fabryka) {
    std::unique_ptr<IWidokFormy> widok = fabryka.Utworz(*this);
    widokFormy_ = widok.get();
    // The window's scale is known once it exists; the labels measure their
    // text at it before any view is given a place.
    if (const int dpi = widok->Dpi(); dpi > 0 && dpi != dpi_) {
        dpi_ = dpi;
        PrzeskalujDrzewo(*this);
    }
    PrzyjmijWidok(std::move(widok));
}

void TForm::Przeskalowano() {
    TControl::Przeskalowano();
    Powiadom(TZmiana::Ramka);
    Powiadom(TZmiana::Zaokraglenie);
}

TRozmiar TForm::ZaokraglenieWidoku() const {
    const TRozmiar e = Zaokraglenie;
    return {Skaluj(e.Width), Skaluj(e.Height)};
}

platforma::PunktEkranu TForm::NaEkranie(int x, int y) const {
    return {Left + Skaluj(x), Top + Skaluj(y)};
}

void TForm::ZdarzenieZmianyDpi(int dpi, const TProstokat* nowe) {
    if (dpi <= 0) dpi = 96;
    if (nowe) {
        Left.UstawCicho(nowe->Left);
        Top.UstawCicho(nowe->Top);
    }
    if (dpi == dpi_) {
        if (nowe) Powiadom(TZmiana::Miejsce);
        return;
    }
    dpi_ = dpi;
    PrzeskalujDrzewo(*this);
}

std::span<const TZmiana> TTimer::Wlasciwosci() const {
    static const std::vector<TZmiana> wlasciwosci = Wybrane({TZmiana::Interwal, TZmiana::Dostepnosc});
    return wlasciwosci;
}

void TTimer::UtworzWidok(IFabrykaWidokow& fabryka) { Przyjmij(fabryka.Utworz(*this)); }

// ---------------------------------------------------------------- TLabel

TLabel::TLabel(TForm* wlasciciel, TControl* rodzic, std::string nazwa)
    : TControl(wlasciciel, rodzic, std::move(nazwa)) {}

void TLabel::Zmieniono(TZmiana co) {
    if (co == TZmiana::Napis || co == TZmiana::Czcionka || co == TZmiana::Wyrownanie ||
        co == TZmiana::Zawijanie || co == TZmiana::AutoRozmiar || (co == TZmiana::Miejsce && WordWrap))
        DopasujRozmiar();
    TControl::Zmieniono(co);
}

// A label with AutoSize takes the size of its text; a word-wrapped one keeps
// its width and takes the height of its lines.
void TLabel::DopasujRozmiar() {
    if (!AutoSize || !Application) return;
    const TRozmiar r = ZmierzNapis(Font, Caption, WordWrap ? Width() : 0);
    if (WordWrap) {
        if (Height != r.Height) {
            Height.UstawCicho(r.Height);
            TControl::Zmieniono(TZmiana::Miejsce);
        }
    } else if (Width != r.Width || Height != r.Height) {
        Width.UstawCicho(r.Width);
        Height.UstawCicho(r.Height);
        TControl::Zmieniono(TZmiana::Miejsce);
    }
}

void TLabel::Przeskalowano() {
    // The text is measured anew in the font of the new scale, before the
    // view is given the place.
    DopasujRozmiar();
    TControl::Przeskalowano();
}

std::u16string NapisWidoczny(const std::u16string& napis) {
    std::u16string wynik;
    for (std::size_t i = 0; i < napis.size(); ++i) {
        if (napis[i] == u'&' && i + 1 < napis.size()) ++i;
        wynik += napis[i];
    }
    return wynik;
}

bool OznaczaKlawisz(const std::u16string& napis, char16_t znak) {
    for (std::size_t i = 0; i + 1 < napis.size(); ++i) {
        if (napis[i] != u'&') continue;
        if (napis[i + 1] != u'&' && platforma::ZnakBezWielkosci(napis[i + 1]) == platforma::ZnakBezWielkosci(znak))
            return true;
        ++i;
    }
    return false;
}

bool TControl::KlawiszDostepu(char16_t znak) { return OznaczaKlawisz(Caption, znak) && ZdarzenieKlawiszaDostepu(); }

// ---------------------------------------------------------------- TCheckBox

void TCheckBox::ZdarzenieZaznaczenia(bool zaznaczone) {
    if (!Dostepna()) {
        // The native box must not keep a change the model refuses.
        Powiadom(TZmiana::Zaznaczenie);
        return;
    }
    Checked.UstawCicho(zaznaczone);
    Uruchom(OnClick);
}

bool TCheckBox::ZdarzenieKlawiszaDostepu() {
    if (!Dostepna()) return false;
    SetFocus();
    Checked = !Checked;
    Uruchom(OnClick);
    return true;
}

// ---------------------------------------------------------------- TButton

bool TButton::ZdarzenieKlawiszaDostepu() {
    if (!Dostepna()) return false;
    SetFocus();
    ZdarzenieKlikniecia();
    return true;
}

// ---------------------------------------------------------------- TRadioGroup

void TRadioGroup::Zmieniono(TZmiana co) {
    if (co == TZmiana::Wybor || co == TZmiana::Elementy) {
        const int ile = static_cast<int>(Items().size());
        if (ItemIndex < -1 || ItemIndex >= ile) ItemIndex.UstawCicho(-1);
    }
    TControl::Zmieniono(co);
    // Code that selects an item runs the handler as a click does; the
    // handler's errors go to whoever selected.
    if (co == TZmiana::Wybor && ItemIndex >= 0 && OnClick) OnClick();
}

TProstokat TRadioGroup::MiejsceElementu(int indeks, int wysokoscLinii) const {
    const int ile = static_cast<int>(Items().size());
    if (indeks < 0 || indeks >= ile) return {};
    const int kolumny = std::max<int>(Columns, 1);
    const int wKolumnie = (ile + kolumny - 1) / kolumny;
    const TProstokat m = MiejsceWidoku();
    const int szerokosc = (m.Width - Skaluj(10)) / kolumny;
    const int naRzedy = m.Height - wysokoscLinii - Skaluj(5);
    const int wysokosc = naRzedy / wKolumnie;
    const int gora = wysokoscLinii + 1 + (naRzedy % wKolumnie) / 2;
    return {(indeks / wKolumnie) * szerokosc + Skaluj(8), (indeks % wKolumnie) * wysokosc + gora, szerokosc,
            wysokosc};
}

void TRadioGroup::ZdarzenieWyboru(int indeks) {
    if (!Dostepna()) {
        Powiadom(TZmiana::Wybor);
        return;
    }
    Uruchom([&] { ItemIndex = indeks; });
}

bool TRadioGroup::KlawiszDostepu(char16_t znak) {
    const auto& elementy = Items();
    for (std::size_t i = 0; i < elementy.size(); ++i) {
        if (!OznaczaKlawisz(elementy[i], znak)) continue;
        if (!Dostepna()) return false;
        SetFocus();
        ZdarzenieWyboru(static_cast<int>(i));
        return true;
    }
    return false;
}

bool TRadioGroup::ZdarzenieStrzalki(int krok) {
    const int ile = static_cast<int>(Items().size());
    if (ile == 0) return false;
    const int teraz = std::max<int>(ItemIndex, 0);
    ZdarzenieWyboru(((teraz + krok) % ile + ile) % ile);
    return true;
}

// ---------------------------------------------------------------- TEdit

void TEdit::Zmieniono(TZmiana co) {
    TControl::Zmieniono(co);
    if (co == TZmiana::Tekst && OnChange) OnChange();
}

void TEdit::ZdarzenieZmianyTekstu(std::u16string tekst) {
    if (!Dostepna() || ReadOnly) {
        Powiadom(TZmiana::Tekst);
        return;
    }
    if (Text() == tekst) return;
    Text.UstawCicho(std::move(tekst));
    Uruchom(OnChange);
}

// ---------------------------------------------------------------- TListBox

TListBox::TListBox(TForm* wlasciciel, TControl* rodzic, std::string nazwa)
    : TControl(wlasciciel, rodzic, std::move(nazwa)) {}

void TListBox::Przeskalowano() {
    TControl::Przeskalowano();
    Powiadom(TZmiana::WysokoscElementu);
}

int TListBox::WidoczneElementy() const {
    return ItemHeight > 0 ? Height / ItemHeight : 0;
}

void TListBox::Zmieniono(TZmiana co) {
    if (co == TZmiana::Wybor && (ItemIndex < -1 || ItemIndex >= Items.Count()))
        ItemIndex.UstawCicho(-1);
    if (co == TZmiana::GornyElement) {
        // The view cannot scroll past the point where the last item is at
        // the bottom.
        const int najwyzej = std::max(0, Items.Count() - WidoczneElementy());
        TopIndex.UstawCicho(std::clamp<int>(TopIndex, 0, najwyzej));
    }
    TControl::Zmieniono(co);
}

void TListBox::ZdarzenieWyboru(int indeks) { ItemIndex.UstawCicho(indeks); }

void TListBox::ZdarzeniePrzewiniecia(int gorny) { TopIndex.UstawCicho(gorny); }

void TElementyListy::Add(std::u16string tekst) {
    elementy_.push_back(std::move(tekst));
    lista_.Powiadom(TZmiana::ElementDodany, Count() - 1);
}

void TElementyListy::Set(int i, std::u16string tekst) {
    auto& element = elementy_.at(static_cast<std::size_t>(i));
    if (element == tekst) return;
    element = std::move(tekst);
    lista_.Powiadom(TZmiana::ElementZmieniony, i);
}

void TElementyListy::Clear() {
    elementy_.clear();
    lista_.TopIndex.UstawCicho(0);
    lista_.ItemIndex.UstawCicho(-1);
    lista_.Powiadom(TZmiana::ElementyWyczyszczone);
}

// ---------------------------------------------------------------- TProgressBar

void TProgressBar::Zmieniono(TZmiana co) {
    if (co == TZmiana::Minimum || co == TZmiana::Maksimum || co == TZmiana::Postep) {
        if (Max < Min) Max.UstawCicho(Min);
        Position.UstawCicho(std::clamp<int>(Position, Min, Max));
    }
    TControl::Zmieniono(co);
}

// ---------------------------------------------------------------- TTimer

void TTimer::ZdarzenieTykniecia() {
    if (!Enabled || !Owner().Namalowana()) return;
    Uruchom(OnTimer);
}

// ---------------------------------------------------------------- TSaveDialog

bool TSaveDialog::Execute() {
    if (!Application) return false;
    // A bare drive ("C:") means that drive's root, not the current folder
    // the process happens to have on it.
    std::u16string folder = InitialDir;
    if (folder.size() == 2 && folder[1] == u':') folder += u'\\';
    auto wybor = Application->Zaplecze().DialogZapisu(&wlasciciel_, Title, FileName, folder);
    if (!wybor) return false;
    FileName = *wybor;
    return true;
}

// ---------------------------------------------------------------- TForm

TForm::TForm(std::string nazwa) : TControl(this, nullptr, std::move(nazwa)) {
    jestForma_ = true;
    // A window is hidden until it is shown.
    Visible.UstawCicho(false);
}

TForm::~TForm() {
    if (Application && Application->MainForm == this) Application->MainForm = nullptr;
    // Later components lie on earlier ones: they go first.
    while (!skladniki_.empty()) skladniki_.pop_back();
    // What is left on the window belongs to other forms (a page moved onto
    // it): it loses its parent here, while this is still a form whose scale
    // can be read, not in ~TControl, when it no longer is.
    for (TControl* dziecko : std::vector<TControl*>(Controls())) dziecko->SetParent(nullptr);
}

TComponent* TForm::Dodaj(std::unique_ptr<TComponent> skladnik) {
    TComponent* wynik = skladnik.get();
    skladniki_.push_back(std::move(skladnik));
    if (zrealizowana_) wynik->Realizuj();
    return wynik;
}

TComponent* TForm::Znajdz(std::string_view nazwa) const {
    if (Name == nazwa) return const_cast<TForm*>(this);
    for (const auto& s : skladniki_)
        if (s->Name == nazwa) return s.get();
    return nullptr;
}

void TForm::Realizuj() {
    if (zrealizowana_) return;
    zrealizowana_ = true;
    TComponent::Realizuj();
    for (const auto& s : skladniki_) s->Realizuj();
}

void TForm::SetClientSize(int szerokosc, int wysokosc) {
    SetBounds(Left, Top, szerokosc + 2 * BorderWidth, wysokosc + 2 * BorderWidth);
}

void TForm::Show() {
    if (Visible) return;
    if (Position == TPozycjaFormy::poScreenCenter && !umieszczona_ && Application) {
        // The screen is in its own pixels, the window's size in design ones.
        const TProstokat ekran = Application->Zaplecze().ObszarEkranu();
        const TProstokat okno = MiejsceWidoku();
        SetBounds(ekran.Left + (ekran.Width - okno.Width) / 2, ekran.Top + (ekran.Height - okno.Height) / 2,
                  Width, Height);
    }
    umieszczona_ = true;
    if (OnShow) OnShow();
    Visible = true;
}

void TForm::Close() {
    bool moznaZamknac = true;
    if (OnCloseQuery) OnCloseQuery(moznaZamknac);
    if (!moznaZamknac) return;
    if (modalna_) {
        // The modal loop ends; ShowModal finishes the closing.
        if (ModalResult == mrNone) ModalResult = mrCancel;
        return;
    }
    Hide();
    if (OnClose) OnClose();
    if (Glowna && Application) Application->Terminate();
}

int TForm::ShowModal() {
    ModalResult.UstawCicho(mrNone);
    modalna_ = true;
    Show();
    if (widokFormy_ && ModalResult == mrNone) widokFormy_->PetlaModalna();
    modalna_ = false;
    const int wynik = ModalResult;
    if (OnClose) OnClose();
    Hide();
    return wynik;
}

void TForm::ZdarzenieZamkniecia() {
    Uruchom([this] { Close(); });
}

void TForm::ZdarzeniePrzesuniecia(int lewo, int gora) {
    Left.UstawCicho(lewo);
    Top.UstawCicho(gora);
}

void TForm::ZdarzenieMalowania() {
    if (Visible) namalowana_ = true;
}

namespace {

// The first button lying on `kontrolka` or below it for which `pasuje` holds,
// in the order of the tree (parents before children, siblings in order).
TButton* SzukajPrzycisku(const TControl& kontrolka, bool (*pasuje)(const TButton&)) {
    for (TControl* dziecko : kontrolka.Controls()) {
        if (dziecko->Rodzaj() == TRodzaj::Przycisk && pasuje(*static_cast<TButton*>(dziecko)))
            return static_cast<TButton*>(dziecko);
        if (TButton* b = SzukajPrzycisku(*dziecko, pasuje)) return b;
    }
    return nullptr;
}

}  // namespace

TForm* TForm::WlascicielOkna() const {
    if (Glowna || !Application || Application->MainForm == this) return nullptr;
    return Application->MainForm;
}

void TForm::Przeciagnij() {
    if (widokFormy_) widokFormy_->Przeciagnij();
}

namespace {

// The controls that take the focus, in the tab order; with `wszystkie`
// false only those that can hold it now.
void ZbierzTabulacje(const TControl& rodzic, std::vector<TControl*>& wynik, bool wszystkie) {
    std::vector<TControl*> dzieci(rodzic.Controls().begin(), rodzic.Controls().end());
    std::stable_sort(dzieci.begin(), dzieci.end(),
                     [](const TControl* a, const TControl* b) { return a->TabOrder() < b->TabOrder(); });
    for (TControl* dziecko : dzieci) {
        if (!wszystkie && (!dziecko->Visible || !dziecko->Enabled)) continue;
        if (dziecko->PrzyjmujeFokus()) {
            if (wszystkie || !dziecko->Zakryta()) wynik.push_back(dziecko);
        } else {
            ZbierzTabulacje(*dziecko, wynik, wszystkie);
        }
    }
}

// The first control lying on `rodzic`, visible and enabled with its
// parents, whose caption or item marks `znak` with "&" ("&&" is a plain "&").
TControl* KontrolkaKlawiszaDostepu(const TControl& rodzic, char16_t znak) {
    for (TControl* dziecko : rodzic.Controls()) {
        if (!dziecko->Visible || !dziecko->Enabled) continue;
        if (dziecko->PrzyjmujeFokus() && !dziecko->MozeMiecFokus()) continue;
        if (dziecko->KlawiszDostepu(znak)) return dziecko;
        if (TControl* znaleziona = KontrolkaKlawiszaDostepu(*dziecko, znak)) return znaleziona;
    }
    return nullptr;
}

}  // namespace

std::vector<TControl*> TForm::KolejnoscTabulacji() const {
    std::vector<TControl*> wynik;
    ZbierzTabulacje(*this, wynik, false);
    return wynik;
}

void TForm::PilnujFokusu() {
    TControl* aktywna = ActiveControl();
    if (!aktywna || aktywna->MozeMiecFokus()) return;
    std::vector<TControl*> wszystkie;
    ZbierzTabulacje(*this, wszystkie, true);
    const auto it = std::find(wszystkie.begin(), wszystkie.end(), aktywna);
    TControl* cel = nullptr;
    if (it != wszystkie.end()) {
        const std::size_t n = wszystkie.size(), od = static_cast<std::size_t>(it - wszystkie.begin());
        for (std::size_t i = 1; i < n && !cel; ++i)
            if (TControl* k = wszystkie[(od + i) % n]; k->MozeMiecFokus()) cel = k;
    } else if (const auto stopy = KolejnoscTabulacji(); !stopy.empty()) {
        cel = stopy.front();
    }
    ActiveControl = cel;
}

bool TForm::ZdarzenieKlawiszaDostepu(char16_t znak, TModyfikatory modyfikatory) {
    if (!modyfikatory.lewyAlt || modyfikatory.prawyAlt || modyfikatory.ctrl) return false;
    return KontrolkaKlawiszaDostepu(*this, znak) != nullptr;
}

bool TForm::ZdarzenieKlawisza(TKlawisz klawisz) {
    switch (klawisz) {
    case TKlawisz::Tab:
    case TKlawisz::TabWstecz: {
        const std::vector<TControl*> kolejka = KolejnoscTabulacji();
        if (kolejka.empty()) return true;
        const bool wstecz = klawisz == TKlawisz::TabWstecz;
        const auto it = std::find(kolejka.begin(), kolejka.end(), ActiveControl());
        const std::size_t n = kolejka.size();
        std::size_t i;
        if (it == kolejka.end())
            i = wstecz ? n - 1 : 0;
        else
            i = (static_cast<std::size_t>(it - kolejka.begin()) + (wstecz ? n - 1 : 1)) % n;
        TControl* cel = kolejka[i];
        ActiveControl = cel;
        cel->WejscieTabulacja();
        return true;
    }
    case TKlawisz::Lewo:
    case TKlawisz::Gora:
    case TKlawisz::Prawo:
    case TKlawisz::Dol: {
        TControl* aktywna = ActiveControl();
        const int krok = klawisz == TKlawisz::Lewo || klawisz == TKlawisz::Gora ? -1 : 1;
        return aktywna && aktywna->ZdarzenieStrzalki(krok);
    }
    case TKlawisz::Enter:
    case TKlawisz::Escape:
        break;
    }
    // Enter clicks the focused button, else the default one; Escape clicks
    // the cancel button. The buttons are those lying on this window, whoever
    // owns them.
    TButton* cel = nullptr;
    if (klawisz == TKlawisz::Enter && ActiveControl() &&
        ActiveControl()->Rodzaj() == TRodzaj::Przycisk)
        cel = static_cast<TButton*>(ActiveControl());
    if (!cel)
        cel = SzukajPrzycisku(*this, klawisz == TKlawisz::Enter
                                         ? +[](const TButton& b) { return b.Default(); }
                                         : +[](const TButton& b) { return b.Cancel(); });
    if (cel && cel->Dostepna()) cel->ZdarzenieKlikniecia();
    return true;
}

void TForm::ZdarzenieFokusu(TControl* kontrolka) { ActiveControl.UstawCicho(kontrolka); }
