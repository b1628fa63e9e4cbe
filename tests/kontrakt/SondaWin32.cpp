// The contract's probe of the Win32 backend, run under Wine: the native
// windows' own state, and the user's actions as the messages the system
// sends for them.
#include <windows.h>
#include <commctrl.h>

#include <chrono>
#include <map>

#include "Sonda.h"
#include "WidokWin32.h"
#include "ZapleczeWin32.h"

namespace {

// The real backend; only the error display is recorded, because a message
// box of it would wait for a user.
class ZapleczeTestowe : public ZapleczeWin32 {
public:
    void KomunikatBledu(const std::u16string& tytul, const std::u16string& tekst) override {
        bledy.emplace_back(tytul, tekst);
    }
    std::vector<std::pair<std::u16string, std::u16string>> bledy;
};

LONG_PTR Styl(HWND okno) { return GetWindowLongPtrW(okno, GWL_STYLE); }

std::u16string Tekst(HWND okno) {
    wchar_t bufor[512] = {};
    GetWindowTextW(okno, bufor, 512);
    return std::u16string(reinterpret_cast<const char16_t*>(bufor));
}

std::vector<HWND> Dzieci(HWND rodzic) {
    std::vector<HWND> wynik;
    for (HWND d = GetWindow(rodzic, GW_CHILD); d; d = GetWindow(d, GW_HWNDNEXT)) wynik.push_back(d);
    return wynik;
}

class SondaWin32 : public Sonda {
public:
    ~SondaWin32() override {
        // The end a test asked for stays in the thread's queue: the next
        // test starts without it.
        MSG m;
        while (PeekMessageW(&m, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
        }
    }

    IZaplecze& Zaplecze() override { return z_; }
    const std::vector<std::pair<std::u16string, std::u16string>>& Bledy() const override { return z_.bledy; }

    bool Czekaj(const std::function<bool()>& warunek, int milisekundy) override {
        const auto koniec = std::chrono::steady_clock::now() + std::chrono::milliseconds(milisekundy);
        for (;;) {
            z_.Pompuj();
            if (warunek()) return true;
            if (std::chrono::steady_clock::now() > koniec) return false;
            Sleep(5);
        }
    }

    TProstokat Miejsce(const TControl& k) override {
        RECT r;
        GetWindowRect(O(k), &r);
        MapWindowPoints(nullptr, GetParent(O(k)), reinterpret_cast<POINT*>(&r), 2);
        return {r.left, r.top, r.right - r.left, r.bottom - r.top};
    }
    bool Widoczny(const TControl& k) override { return (Styl(O(k)) & WS_VISIBLE) != 0; }
    bool Wlaczony(const TControl& k) override { return (Styl(O(k)) & WS_DISABLED) == 0; }
    std::u16string Napis(const TControl& k) override { return Tekst(O(k)); }
    bool Zaznaczony(const TCheckBox& k) override { return SendMessageW(O(k), BM_GETCHECK, 0, 0) == BST_CHECKED; }
    std::vector<std::u16string> Elementy(const TRadioGroup& k) override {
        std::vector<std::u16string> wynik;
        for (HWND e : Dzieci(O(k))) wynik.push_back(Tekst(e));
        return wynik;
    }
    int Wybrany(const TRadioGroup& k) override {
        const auto e = Dzieci(O(k));
        for (std::size_t i = 0; i < e.size(); ++i)
            if (SendMessageW(e[i], BM_GETCHECK, 0, 0) == BST_CHECKED) return static_cast<int>(i);
        return -1;
    }
    int Gorny(const TListBox& k) override { return static_cast<int>(SendMessageW(O(k), LB_GETTOPINDEX, 0, 0)); }
    std::pair<int, int> Pasek(const TProgressBar& k) override {
        return {static_cast<int>(SendMessageW(O(k), PBM_GETRANGE, FALSE, 0)),
                static_cast<int>(SendMessageW(O(k), PBM_GETPOS, 0, 0))};
    }
    bool TylkoDoOdczytu(const TEdit& k) override { return (Styl(O(k)) & ES_READONLY) != 0; }
    bool Wcisniety(const TButton& k) override { return (SendMessageW(O(k), BM_GETSTATE, 0, 0) & BST_PUSHED) != 0; }
    const TControl* Fokus() override {
        HWND fokus = GetFocus();
        // An item of a radio group belongs to the group.
        const WidokWin32* w = WidokWin32::Z(fokus);
        if (!w && fokus) w = WidokWin32::Z(GetParent(fokus));
        return w ? &w->Kontrolka() : nullptr;
    }
    bool PodRodzicem(const TControl& k) override {
        const WidokWin32* rodzic = k.Parent() ? WidokWin32::Z(*k.Parent()) : nullptr;
        return GetParent(O(k)) == (rodzic ? rodzic->Pojemnik() : z_.Przechowalnia());
    }

    void Kliknij(const TControl& k) override { SendMessageW(O(k), BM_CLICK, 0, 0); }
    void WybierzElement(const TRadioGroup& k, int indeks) override {
        SendMessageW(Dzieci(O(k)).at(static_cast<std::size_t>(indeks)), BM_CLICK, 0, 0);
    }
    void Wpisz(const TEdit& k, const std::u16string& tekst) override {
        SetWindowTextW(O(k), reinterpret_cast<const wchar_t*>(tekst.c_str()));
    }
    void Przewin(const TListBox& k, int gorny) override {
        SendMessageW(O(k), WM_VSCROLL, MAKEWPARAM(SB_THUMBPOSITION, gorny), 0);
    }
    void Klawisz(TKlawisz klawisz) override {
        static const std::map<TKlawisz, WPARAM> klawisze = {
            {TKlawisz::Enter, VK_RETURN}, {TKlawisz::Escape, VK_ESCAPE}, {TKlawisz::Tab, VK_TAB},
            {TKlawisz::Lewo, VK_LEFT},    {TKlawisz::Prawo, VK_RIGHT},   {TKlawisz::Gora, VK_UP},
            {TKlawisz::Dol, VK_DOWN},
        };
        PostMessageW(GetFocus(), WM_KEYDOWN, klawisze.at(klawisz), 0);
        Przepusc(20);
    }
    void KlawiszDostepu(char16_t litera) override {
        // The left Alt held, as the thread's keyboard state shows it, and the
        // context bit of the message.
        BYTE stan[256];
        GetKeyboardState(stan);
        const BYTE przed[2] = {stan[VK_MENU], stan[VK_LMENU]};
        stan[VK_MENU] = stan[VK_LMENU] = 0x80;
        SetKeyboardState(stan);
        PostMessageW(GetFocus(), WM_SYSCHAR, litera, LPARAM(1) << 29);
        Przepusc(20);
        stan[VK_MENU] = przed[0];
        stan[VK_LMENU] = przed[1];
        SetKeyboardState(stan);
    }
    void ZamknijOkno(const TForm& forma) override { SendMessageW(O(forma), WM_CLOSE, 0, 0); }

private:
    static HWND O(const TControl& k) { return ZapleczeWin32::Okno(k); }

    ZapleczeTestowe z_;
};

}  // namespace

std::unique_ptr<Sonda> UtworzSonde() { return std::make_unique<SondaWin32>(); }
