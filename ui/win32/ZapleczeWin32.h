#pragma once
// The forms' backend on the plain Windows API: user32 and gdi32, the common
// controls of version 6 (through the program's manifest), the common dialogs
// and the Windows Imaging Component for the JPEG pictures. No framework.
//
// One object serves the whole process, on the user-interface thread. It owns
// what the views share (ZasobyWin32.h) and their factory (WidokWin32.h), runs
// the main message loop, and answers the process-wide services the forms need
// of a toolkit (IZaplecze).
#include <windows.h>

#include <optional>
#include <string>

#include "Kontrolki.h"
#include "WidokWin32.h"
#include "Zaplecze.h"
#include "ZasobyWin32.h"

class ZapleczeWin32 : public IZaplecze {
public:
    explicit ZapleczeWin32(HINSTANCE instancja = GetModuleHandleW(nullptr));
    ~ZapleczeWin32() override;
    ZapleczeWin32(const ZapleczeWin32&) = delete;
    ZapleczeWin32& operator=(const ZapleczeWin32&) = delete;

    // IZaplecze
    IFabrykaWidokow& Widoki() override { return widoki_; }
    void Pompuj() override;
    void Spij(std::uint32_t milisekundy) override;
    platforma::PunktEkranu Pozycja() override;
    void Ustaw(platforma::PunktEkranu punkt) override;
    bool AplikacjaAktywna() override;
    int PetlaGlowna() override;
    void Zakoncz() override;
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
    bool Zakonczona() const { return zasoby_.Zakonczona(); }

    // What the views share, for the backend's own tests.
    ZasobyWin32& Zasoby() { return zasoby_; }
    Czcionki& Fonty() { return zasoby_.Fonty(); }
    Obrazy& Grafika() { return zasoby_.Grafika(); }
    HWND Przechowalnia() const { return zasoby_.Przechowalnia(); }

private:
    ZasobyWin32 zasoby_;
    FabrykaWidokowWin32 widoki_{zasoby_};
};
