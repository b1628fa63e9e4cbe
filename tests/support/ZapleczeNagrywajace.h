#pragma once
// A backend of the control model that draws nothing and records everything,
// so that the forms run in a test without a toolkit, a display or an event
// loop: every change the model reports to a view, every pointer position,
// pause, pump and repaint, every modal loop and dialog, in one journal. The
// modal loops (the notices) and the file-save dialog answer from a script.
//
// It also holds the backend to the seam's rules: a view is made only under
// its parent's view, and no view outlives the view of its parent.
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "Aplikacja.h"
#include "Kontrolki.h"
#include "Zaplecze.h"

struct WpisZaplecza {
    enum class Rodzaj {
        Widok,          // a view was made for `nazwa`
        Poczatek,       // `nazwa`'s new view was given property `zmiana` (its initial state)
        KoniecWidoku,   // the view of `nazwa` went away
        Zmiana,         // `nazwa` reported `zmiana` (`indeks` for list items)
        Ustaw,          // the pointer was moved to `punkt`
        Spij,           // a pause of `ms`
        Pompuj,         // pending messages were handled
        Odmaluj,        // `nazwa` was painted at once
        PetlaModalna,   // the modal loop of form `nazwa` began
        Ksztalt,        // form `nazwa` was clipped to `tekst` ("730x360/40x40"), as its
                        // view does when its size or its corner ellipse changes
        Przeciagnij,    // the drag of form `nazwa` began
        Komunikat,      // the standard message dialog: `tekst`
        Blad,           // the error dialog: `tekst`
        DialogZapisu,   // the file-save dialog was shown
        Zakoncz,        // the application was ended
    };
    Rodzaj rodzaj;
    std::string nazwa{};
    TZmiana zmiana = TZmiana::Miejsce;
    int indeks = -1;
    platforma::PunktEkranu punkt{};
    std::uint32_t ms = 0;
    std::u16string tekst{};
};

using DziennikZaplecza = std::vector<WpisZaplecza>;

// What a modal form showed when its loop began: its caption and the captions
// of its labels, in the order of the form's components.
struct ModalnyWidok {
    std::u16string tytul;
    std::vector<std::u16string> etykiety;
};

// What a view last applied of the values that scale, in the window's pixels.
struct StanWidoku {
    TProstokat miejsce{};
    int czcionka = 0;
    int wysokoscElementu = 0;
    TRozmiar zaokraglenie{};
};

class ZapleczeNagrywajace : public IZaplecze, private IFabrykaWidokow {
public:
    ZapleczeNagrywajace();
    ~ZapleczeNagrywajace() override;

    DziennikZaplecza dziennik;
    // The dots per inch every new window reports.
    int dpi = 96;
    // Per live view.
    std::map<const TComponent*, StanWidoku> stany;

    // The pointer.
    platforma::PunktEkranu pozycja{};
    bool aktywna = true;
    std::function<bool()> czyAktywna;  // asked instead of `aktywna` when set
    int odczytyPozycji = 0;

    // Run inside every pause and every pump, after it was recorded, as
    // pending messages and the passing time would.
    std::function<void(std::uint32_t)> przySpaniu;
    std::function<void()> przyPompowaniu;

    // A modal loop runs this once it has begun; by default it presses Enter
    // on the form. The loop must have ended by then (ModalResult set, the
    // view gone, the application ended): a loop that would wait for ever
    // fails the test instead.
    std::function<void(TForm&)> przyPetliModalnej;
    std::vector<ModalnyWidok> modalne;

    // The file-save dialog: the answers in turn (nothing: the user cancels);
    // with none left it cancels.
    struct PytanieZapisu {
        std::u16string tytul, nazwaPliku, folderPoczatkowy;
    };
    std::deque<std::optional<std::u16string>> odpowiedziZapisu;
    std::vector<PytanieZapisu> pytaniaZapisu;

    std::vector<std::pair<std::u16string, std::u16string>> komunikaty;  // title, text
    std::vector<std::pair<std::u16string, std::u16string>> bledy;
    TProstokat ekran{0, 0, 1280, 800};
    bool zakonczona = false;

    // Readers of the journal.
    std::vector<std::uint32_t> Pauzy(std::size_t od = 0, std::size_t doWpisu = SIZE_MAX) const;
    std::vector<platforma::PunktEkranu> Polozenia(std::size_t od = 0, std::size_t doWpisu = SIZE_MAX) const;
    // The changes `nazwa` reported, in order.
    std::vector<TZmiana> Zmiany(const std::string& nazwa) const;
    std::size_t Ile(WpisZaplecza::Rodzaj rodzaj, const std::string& nazwa = {}) const;
    bool MaWidok(const TComponent& skladnik) const { return widoki_.contains(&skladnik); }

    // IZaplecze.
    IFabrykaWidokow& Widoki() override { return *this; }
    platforma::PunktEkranu Pozycja() override;
    void Ustaw(platforma::PunktEkranu punkt) override;
    bool AplikacjaAktywna() override;
    void Spij(std::uint32_t milisekundy) override;
    void Pompuj() override;
    int PetlaGlowna() override;
    void Zakoncz() override;
    void KomunikatStandardowy(const std::u16string& tytul, const std::u16string& tekst) override;
    void KomunikatBledu(const std::u16string& tytul, const std::u16string& tekst) override;
    std::optional<std::u16string> DialogZapisu(TForm* wlasciciel, const std::u16string& tytul,
                                               const std::u16string& nazwaPliku,
                                               const std::u16string& folderPoczatkowy) override;
    // A fixed metric: a line is Height * 20 / 17 pixels high (20 for the
    // notice box's 17-pixel font, 15 for the window's 13), a character
    // Height / 2 wide; wrapping breaks between words.
    TRozmiar ZmierzTekst(const TFont& czcionka, const std::u16string& tekst, int szerokoscZawijania) override;
    TProstokat ObszarEkranu() override { return ekran; }

private:
    class Widok;
    friend class Widok;
    std::unique_ptr<Widok> Nowy(TComponent& skladnik);
    void PetlaModalna(TForm& forma);

    // IFabrykaWidokow.
    std::unique_ptr<IWidokFormy> Utworz(TForm& forma) override;
    std::unique_ptr<IWidokKontrolki> Utworz(TPanel& panel) override;
    std::unique_ptr<IWidokKontrolki> Utworz(TLabel& etykieta) override;
    std::unique_ptr<IWidokKontrolki> Utworz(TImage& obraz) override;
    std::unique_ptr<IWidokKontrolki> Utworz(TGroupBox& ramka) override;
    std::unique_ptr<IWidokKontrolki> Utworz(TButton& przycisk) override;
    std::unique_ptr<IWidokKontrolki> Utworz(TCheckBox& pole) override;
    std::unique_ptr<IWidokKontrolki> Utworz(TRadioGroup& grupa) override;
    std::unique_ptr<IWidokKontrolki> Utworz(TEdit& pole) override;
    std::unique_ptr<IWidokKontrolki> Utworz(TListBox& lista) override;
    std::unique_ptr<IWidokKontrolki> Utworz(TProgressBar& pasek) override;
    std::unique_ptr<IWidok> Utworz(TTimer& zegar) override;
    // The live views and the component each one's parent view belongs to.
    std::map<const TComponent*, const TComponent*> widoki_;
    std::vector<TForm*> modalneTeraz_;
};

// Shows the form and reports its first paint, as a toolkit does once the
// window is on the screen.
void PokazINamaluj(TForm& forma);
