#pragma once
// The forms' backend on the plain Windows API: user32 and gdi32, the common
// controls of version 6 (through the program's manifest), the common dialogs
// and the Windows Imaging Component for the JPEG pictures. No framework.
//
// One object serves the whole process, on the user-interface thread. It
// makes one view per model control (WidokWin32.h), runs the message loops,
// and answers the few services the forms need of a toolkit (IZaplecze).
#include <windows.h>

#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>

#include "Kontrolki.h"
#include "Zaplecze.h"

class Czcionki;
class Obrazy;
class WidokWin32;

class ZapleczeWin32 : public IZaplecze {
public:
    // Registers the window classes and initialises COM for this thread as a
    // single-threaded apartment (the pictures' decoder and the shell need it).
    explicit ZapleczeWin32(HINSTANCE instancja = GetModuleHandleW(nullptr));
    ~ZapleczeWin32() override;
    ZapleczeWin32(const ZapleczeWin32&) = delete;
    ZapleczeWin32& operator=(const ZapleczeWin32&) = delete;

    // IZaplecze
    std::unique_ptr<IWidok> UtworzWidok(TComponent& skladnik) override;
    void Pompuj() override;
    void Spij(std::uint32_t milisekundy) override;
    platforma::PunktEkranu Pozycja() override;
    void Ustaw(platforma::PunktEkranu punkt) override;
    bool AplikacjaAktywna() override;
    void OdmalujTeraz(TControl& kontrolka) override;
    void PetlaModalna(TForm& forma) override;
    int PetlaGlowna() override;
    void Zakoncz() override;
    void UstawKsztalt(TForm& forma, int szerokosc, int wysokosc, int elipsaX, int elipsaY) override;
    void PrzeciagnijOkno(TForm& forma) override;
    void KomunikatStandardowy(const std::u16string& tytul, const std::u16string& tekst) override;
    void KomunikatBledu(const std::u16string& tytul, const std::u16string& tekst) override;
    std::optional<std::u16string> DialogZapisu(TForm* wlasciciel, const std::u16string& tytul,
                                               const std::u16string& nazwaPliku,
                                               const std::u16string& folderPoczatkowy) override;
    TRozmiar ZmierzTekst(const TFont& czcionka, const std::u16string& tekst,
                         int szerokoscZawijania) override;
    TProstokat ObszarEkranu() override;

    // The application's main window: the owner of the standard dialogs and
    // of the programs the shell starts. Null before it exists.
    HWND OknoGlowne() const;
    // The native window of a realised control; null when it has none.
    static HWND Okno(const TControl& kontrolka);
    bool Zakonczona() const { return koniec_; }

    // What the views share.
    HINSTANCE Instancja() const { return instancja_; }
    Czcionki& Fonty() { return *czcionki_; }
    Obrazy& Grafika() { return *obrazy_; }
    // A hidden window: the timers' messages, and a place for native windows
    // whose model control has lost its parent.
    HWND Przechowalnia() const { return przechowalnia_; }
    HBRUSH Pedzel(COLORREF kolor);
    // The tooltip of one control: its text, or none for an empty text.
    void UstawPodpowiedz(HWND okno, const std::u16string& tekst);
    void UsunPodpowiedz(HWND okno);
    // Timers tick through the hidden window.
    UINT_PTR ZarejestrujZegar(TTimer& zegar);
    void WyrejestrujZegar(UINT_PTR id);
    // A control (or, null, the form itself) took the keyboard focus in a window.
    void ZglosFokus(TControl* kontrolka, HWND okno);

    // One message of a loop of this backend: the keyboard's dialog keys
    // first, then translation and dispatch.
    void Przetworz(MSG& komunikat);

private:
    static LRESULT CALLBACK ProcPrzechowalni(HWND okno, UINT msg, WPARAM wp, LPARAM lp);
    bool Klawisz(const MSG& komunikat);

    HINSTANCE instancja_;
    std::unique_ptr<Czcionki> czcionki_;
    std::unique_ptr<Obrazy> obrazy_;
    HWND przechowalnia_ = nullptr;
    HWND podpowiedzi_ = nullptr;
    std::set<HWND> narzedzia_;
    std::map<COLORREF, HBRUSH> pedzle_;
    std::map<UINT_PTR, TTimer*> zegary_;
    UINT_PTR nastepnyZegar_ = 1;
    bool koniec_ = false;
    int kodWyjscia_ = 0;
};

// The colour of a model colour on this system: a fixed colour as it is, a
// system colour by its index, and clDefault as the given system colour.
COLORREF KolorWin32(TColor kolor, int domyslnySystemowy);

// The background a control is drawn on: its own colour or its parent's
// (KolorEfektywny); with clDefault, the native default of its kind: the
// button face for windows and panels, the window colour for edits and lists,
// and the parent's background for the rest.
COLORREF KolorTla(const TControl& kontrolka);

// True when the control has no background of its own and shows what lies
// under it: a transparent label, a panel with ParentBackground, and a group
// box, check box, radio group or button without a colour of its own (none
// set, or its parent's taken).
bool PokazujePodspod(const TControl& kontrolka);

// Paints into `dc` (in the control's client coordinates) what lies under the
// control: its parent's background (or, for a parent that shows what lies
// under it, that, recursively) and the pictures below it among its siblings.
void MalujPodKontrolka(ZapleczeWin32& zaplecze, const TControl& kontrolka, HDC dc);
