#pragma once
// What the Win32 views share and the backend owns: the module, the window
// classes, the fonts and pictures, solid brushes, the tooltips, the timers,
// a hidden window, and whether the application has ended (every message
// loop, the form views' modal loops included, stops then). The views use
// it; nothing here knows a view.
#include <windows.h>

#include <map>
#include <memory>
#include <set>
#include <string>

#include "Czcionki.h"
#include "Obrazy.h"

class TTimer;

class ZasobyWin32 {
public:
    // Initialises COM for this thread as a single-threaded apartment (the
    // pictures' decoder and the shell need it), the common controls, and
    // registers the backend's window classes.
    explicit ZasobyWin32(HINSTANCE instancja);
    ~ZasobyWin32();
    ZasobyWin32(const ZasobyWin32&) = delete;
    ZasobyWin32& operator=(const ZasobyWin32&) = delete;

    HINSTANCE Instancja() const { return instancja_; }
    Czcionki& Fonty() { return czcionki_; }
    Obrazy& Grafika() { return obrazy_; }
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

    // The application's end: asked for (Zakoncz) or met in a loop (WM_QUIT).
    bool Zakonczona() const { return koniec_; }
    int KodWyjscia() const { return kodWyjscia_; }
    void Zakonczono(int kod) {
        koniec_ = true;
        kodWyjscia_ = kod;
    }

private:
    static LRESULT CALLBACK ProcPrzechowalni(HWND okno, UINT msg, WPARAM wp, LPARAM lp);
    // COM and the common controls, before the pictures' decoder is made.
    static bool Przygotuj(HINSTANCE instancja);

    HINSTANCE instancja_;
    bool przygotowane_;
    Czcionki czcionki_;
    Obrazy obrazy_;
    HWND przechowalnia_ = nullptr;
    HWND podpowiedzi_ = nullptr;
    std::set<HWND> narzedzia_;
    std::map<COLORREF, HBRUSH> pedzle_;
    std::map<UINT_PTR, TTimer*> zegary_;
    UINT_PTR nastepnyZegar_ = 1;
    bool koniec_ = false;
    int kodWyjscia_ = 0;
};

// Reports an error that reached a window procedure to the top-level error
// display, so that no exception crosses into the system's code.
void BladWOknie() noexcept;

// The classes of this backend's own windows.
inline constexpr wchar_t KLASA_FORMY[] = L"KavrostelForma";
inline constexpr wchar_t KLASA_PANELU[] = L"KavrostelPanel";
inline constexpr wchar_t KLASA_OBRAZU[] = L"KavrostelObraz";
inline constexpr wchar_t KLASA_PRZECHOWALNI[] = L"KavrostelUkryte";
