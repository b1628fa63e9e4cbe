#pragma once
// What the tests of the Win32 backend share: an application over the real
// backend whose error display is recorded instead of shown, small forms
// built from the control model, and waits that keep the message loop going.
#include <gtest/gtest.h>

#include <windows.h>

#include <chrono>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "Aplikacja.h"
#include "Kontrolki.h"
#include "ZapleczeWin32.h"

namespace testy_okien {

inline const wchar_t* W(const std::u16string& s) { return reinterpret_cast<const wchar_t*>(s.c_str()); }

// The real backend; only the error display is recorded, because a message
// box of it would wait for a user.
class ZapleczeTestowe : public ZapleczeWin32 {
public:
    void KomunikatBledu(const std::u16string& tytul, const std::u16string& tekst) override {
        bledy.emplace_back(tytul, tekst);
    }
    std::vector<std::pair<std::u16string, std::u16string>> bledy;
};

class OknaTest : public ::testing::Test {
protected:
    // The end a test asked for stays in the thread's queue: the next test
    // starts without it.
    ~OknaTest() override {
        MSG m;
        while (PeekMessageW(&m, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
        }
    }

    ZapleczeTestowe z;
    TAplikacja aplikacja{z, u"Instalator"};

    // Pumps messages until the condition holds or the time is up.
    bool Czekaj(const std::function<bool()>& warunek, int milisekundy = 3000) {
        const auto koniec = std::chrono::steady_clock::now() + std::chrono::milliseconds(milisekundy);
        for (;;) {
            z.Pompuj();
            if (warunek()) return true;
            if (std::chrono::steady_clock::now() > koniec) return false;
            Sleep(5);
        }
    }
    // Pumps messages for a while.
    void Przepusc(int milisekundy = 50) {
        Czekaj([] { return false; }, milisekundy);
    }

    // A main window of the given client size, at 100, 100, not yet realised.
    static void Projekt(TForm& forma, int szerokosc = 400, int wysokosc = 300) {
        forma.SetBounds(100, 100, szerokosc, wysokosc);
        forma.Caption = u"Okno testowe";
    }
    void Pokaz(TForm& forma) {
        forma.Realizuj();
        forma.Show();
        Czekaj([&] { return forma.Namalowana(); });
    }

    static HWND Okno(const TControl& k) { return ZapleczeWin32::Okno(k); }

    // The control's place in its native parent's client area.
    static RECT Miejsce(const TControl& k) {
        RECT r;
        GetWindowRect(Okno(k), &r);
        MapWindowPoints(nullptr, GetParent(Okno(k)), reinterpret_cast<POINT*>(&r), 2);
        return r;
    }

    static std::u16string Tekst(HWND okno) {
        wchar_t bufor[512] = {};
        GetWindowTextW(okno, bufor, 512);
        return std::u16string(reinterpret_cast<const char16_t*>(bufor));
    }

    // A pixel of what the window shows now, in its client coordinates.
    static COLORREF Piksel(HWND okno, int x, int y) {
        RedrawWindow(okno, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
        HDC dc = GetDC(okno);
        const COLORREF kolor = GetPixel(dc, x, y);
        ReleaseDC(okno, dc);
        return kolor;
    }
};

}  // namespace testy_okien
