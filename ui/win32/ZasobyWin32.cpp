#include "ZasobyWin32.h"

#include <commctrl.h>

#include <exception>

#include "Aplikacja.h"
#include "Kontrolki.h"
#include "Win32Pomoc.h"
#include "platform/Blad.h"
#include "platform/Tekst.h"

using platforma::Szeroki;

namespace {

void ZarejestrujKlase(HINSTANCE instancja, const wchar_t* nazwa, WNDPROC procedura) {
    WNDCLASSEXW klasa{};
    klasa.cbSize = sizeof klasa;
    klasa.lpfnWndProc = procedura;
    klasa.hInstance = instancja;
    klasa.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    // The program's own icon (its first icon group, app/instalator.rc) on
    // the taskbar and in Alt+Tab, in the sizes the system asks for; shared
    // icons stay loaded for the run.
    klasa.hIcon = static_cast<HICON>(LoadImageW(instancja, MAKEINTRESOURCEW(1), IMAGE_ICON, GetSystemMetrics(SM_CXICON),
                                                GetSystemMetrics(SM_CYICON), LR_SHARED));
    klasa.hIconSm = static_cast<HICON>(LoadImageW(instancja, MAKEINTRESOURCEW(1), IMAGE_ICON,
                                                  GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON),
                                                  LR_SHARED));
    klasa.lpszClassName = nazwa;
    // A second backend in the same process (the tests make several) finds
    // the class already there.
    RegisterClassExW(&klasa);
}

}  // namespace

bool ZasobyWin32::Przygotuj(HINSTANCE instancja) {
    platforma::ZainicjujCom();
    INITCOMMONCONTROLSEX kontrolki{sizeof kontrolki,
                                   ICC_STANDARD_CLASSES | ICC_PROGRESS_CLASS | ICC_BAR_CLASSES};
    InitCommonControlsEx(&kontrolki);
    // The backend's own windows do everything in their views (subclasses);
    // the class itself only has the default handling.
    ZarejestrujKlase(instancja, KLASA_FORMY, DefWindowProcW);
    ZarejestrujKlase(instancja, KLASA_PANELU, DefWindowProcW);
    ZarejestrujKlase(instancja, KLASA_OBRAZU, DefWindowProcW);
    ZarejestrujKlase(instancja, KLASA_PRZECHOWALNI, ProcPrzechowalni);
    return true;
}

ZasobyWin32::ZasobyWin32(HINSTANCE instancja)
    : instancja_(instancja), przygotowane_(Przygotuj(instancja)), obrazy_(instancja) {
    przechowalnia_ = CreateWindowExW(WS_EX_TOOLWINDOW, KLASA_PRZECHOWALNI, L"", WS_POPUP, 0, 0, 0, 0,
                                     nullptr, nullptr, instancja_, nullptr);
    SetWindowLongPtrW(przechowalnia_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
}

ZasobyWin32::~ZasobyWin32() {
    if (podpowiedzi_) DestroyWindow(podpowiedzi_);
    if (przechowalnia_) {
        SetWindowLongPtrW(przechowalnia_, GWLP_USERDATA, 0);
        DestroyWindow(przechowalnia_);
    }
    for (auto& [kolor, pedzel] : pedzle_) DeleteObject(pedzel);
}

LRESULT CALLBACK ZasobyWin32::ProcPrzechowalni(HWND okno, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_TIMER) {
        auto* z = reinterpret_cast<ZasobyWin32*>(GetWindowLongPtrW(okno, GWLP_USERDATA));
        if (!z) return 0;
        // A tick of a timer that has gone meanwhile finds nothing.
        const auto it = z->zegary_.find(wp);
        if (it == z->zegary_.end()) return 0;
        try {
            it->second->ZdarzenieTykniecia();
        } catch (...) {
            BladWOknie();
        }
        return 0;
    }
    return DefWindowProcW(okno, msg, wp, lp);
}

HBRUSH ZasobyWin32::Pedzel(COLORREF kolor) {
    auto it = pedzle_.find(kolor);
    if (it == pedzle_.end()) it = pedzle_.emplace(kolor, CreateSolidBrush(kolor)).first;
    return it->second;
}

void ZasobyWin32::UstawPodpowiedz(HWND okno, const std::u16string& tekst) {
    if (tekst.empty()) {
        UsunPodpowiedz(okno);
        return;
    }
    if (!podpowiedzi_) {
        podpowiedzi_ = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr,
                                       WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, CW_USEDEFAULT,
                                       CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, przechowalnia_,
                                       nullptr, instancja_, nullptr);
        SendMessageW(podpowiedzi_, TTM_SETMAXTIPWIDTH, 0, 400);
    }
    TTTOOLINFOW narzedzie{};
    narzedzie.cbSize = sizeof narzedzie;
    narzedzie.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    narzedzie.hwnd = okno;
    narzedzie.uId = reinterpret_cast<UINT_PTR>(okno);
    narzedzie.lpszText = const_cast<wchar_t*>(Szeroki(tekst));
    const bool jest = !narzedzia_.insert(okno).second;
    SendMessageW(podpowiedzi_, jest ? TTM_UPDATETIPTEXTW : TTM_ADDTOOLW, 0,
                 reinterpret_cast<LPARAM>(&narzedzie));
}

void ZasobyWin32::UsunPodpowiedz(HWND okno) {
    if (!podpowiedzi_ || narzedzia_.erase(okno) == 0) return;
    TTTOOLINFOW narzedzie{};
    narzedzie.cbSize = sizeof narzedzie;
    narzedzie.hwnd = okno;
    narzedzie.uId = reinterpret_cast<UINT_PTR>(okno);
    SendMessageW(podpowiedzi_, TTM_DELTOOLW, 0, reinterpret_cast<LPARAM>(&narzedzie));
}

UINT_PTR ZasobyWin32::ZarejestrujZegar(TTimer& zegar) {
    const UINT_PTR id = nastepnyZegar_++;
    zegary_.emplace(id, &zegar);
    return id;
}

void ZasobyWin32::WyrejestrujZegar(UINT_PTR id) {
    KillTimer(przechowalnia_, id);
    zegary_.erase(id);
}

void BladWOknie() noexcept {
    try {
        std::u16string tekst;
        try {
            throw;
        } catch (const platforma::BladPlatformy& blad) {
            tekst = blad.Tekst();
        } catch (const std::exception& blad) {
            tekst = platforma::Utf16(blad.what());
        } catch (...) {
            tekst = u"Nieoczekiwany błąd.";
        }
        if (Application) Application->PokazBlad(tekst);
    } catch (...) {
        // Nothing more can be shown; the window procedure returns normally.
    }
}
