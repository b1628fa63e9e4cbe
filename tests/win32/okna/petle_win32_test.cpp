// The backend's loops and the system's services: the modal loop, the main
// loop and its end, the window shape, the standard dialogs, the pointer.
#include <windows.h>
#include <commdlg.h>

#include "OknaTesty.h"

namespace testy_okien {
namespace {

// Runs `dzialanie` from a timer of the thread once `warunek` holds: what a
// user does while a modal loop (the backend's or a system dialog's) waits.
class Pozniej {
public:
    Pozniej(std::function<bool()> warunek, std::function<void()> dzialanie)
        : warunek_(std::move(warunek)), dzialanie_(std::move(dzialanie)) {
        teraz_ = this;
        id_ = SetTimer(nullptr, 0, 20, &Pozniej::Tik);
    }
    ~Pozniej() {
        KillTimer(nullptr, id_);
        teraz_ = nullptr;
    }
    bool Wykonane() const { return wykonane_; }

private:
    static void CALLBACK Tik(HWND, UINT, UINT_PTR, DWORD) {
        Pozniej* p = teraz_;
        if (!p || p->wykonane_ || !p->warunek_()) return;
        p->wykonane_ = true;
        p->dzialanie_();
    }
    static inline Pozniej* teraz_ = nullptr;
    std::function<bool()> warunek_;
    std::function<void()> dzialanie_;
    UINT_PTR id_ = 0;
    bool wykonane_ = false;
};

class PetleTest : public OknaTest {
protected:
    void SetUp() override {
        Projekt(glowna, 730, 360);
        glowna.Glowna = true;
        aplikacja.MainForm = &glowna;
        Pokaz(glowna);
        Projekt(notka, 471, 114);
        notka.BorderWidth = 3;
        notka.Caption = u"Uwaga!";
        ok = notka.Utworz<TButton>(nullptr, "B1");
        ok->SetBounds(190, 69, 80, 27);
        ok->Caption = u"&Ok";
        ok->Glyph = TGlif::Zatwierdzenie;
        ok->Default = true;
        ok->Cancel = true;
        ok->OnClick = [this] { notka.ModalResult = mrOk; };
        notka.OnShow = [this] { ok->SetFocus(); };
        notka.Realizuj();
    }

    TForm glowna{"FormMain"};
    TForm notka{"FormQst"};
    TButton* ok = nullptr;
};

TEST_F(PetleTest, TheModalLoopKeepsTheOtherWindowsOutAndTimersRunning) {
    int tykniecia = 0;
    auto* zegar = glowna.UtworzSkladnik<TTimer>("Timer1");
    zegar->Interval = 10;
    zegar->OnTimer = [&] { ++tykniecia; };
    bool glownaWylaczona = false;
    Pozniej klik([&] { return tykniecia >= 3; },
                 [&] {
                     glownaWylaczona = !IsWindowEnabled(Okno(glowna));
                     SendMessageW(Okno(*ok), BM_CLICK, 0, 0);
                 });
    EXPECT_EQ(notka.ShowModal(), mrOk);
    EXPECT_TRUE(klik.Wykonane());
    EXPECT_TRUE(glownaWylaczona);
    EXPECT_TRUE(IsWindowEnabled(Okno(glowna)));
    EXPECT_FALSE(IsWindowVisible(Okno(notka)));
}

TEST_F(PetleTest, EnterAndEscapeCloseTheNoticeThroughItsButton) {
    for (WPARAM klawisz : {VK_RETURN, VK_ESCAPE}) {
        Pozniej nacisk([&] { return GetFocus() == Okno(*ok); },
                       [&] { PostMessageW(GetFocus(), WM_KEYDOWN, klawisz, 0); });
        EXPECT_EQ(notka.ShowModal(), mrOk) << klawisz;
        EXPECT_TRUE(nacisk.Wykonane());
    }
}

TEST_F(PetleTest, TheModalLoopEndsWhenItsWindowGoesOrTheApplicationEnds) {
    auto inna = std::make_unique<TForm>("Inna");
    Projekt(*inna);
    inna->Realizuj();
    inna->Show();
    Pozniej zniszcz([] { return true; }, [&] { inna.reset(); });
    inna->WidokFormy()->PetlaModalna();
    EXPECT_TRUE(zniszcz.Wykonane());
    EXPECT_TRUE(IsWindowEnabled(Okno(glowna)));

    notka.Show();
    Pozniej koniec([] { return true; }, [&] { z.Zakoncz(); });
    notka.WidokFormy()->PetlaModalna();
    EXPECT_TRUE(z.Zakonczona());
    EXPECT_EQ(z.PetlaGlowna(), 0);
}

TEST_F(PetleTest, ClosingTheMainWindowEndsTheMainLoop) {
    Pozniej zamknij([] { return true; }, [&] { PostMessageW(Okno(glowna), WM_CLOSE, 0, 0); });
    EXPECT_EQ(z.PetlaGlowna(), 0);
    EXPECT_TRUE(zamknij.Wykonane());
}

// The window's shape: a rounded rectangle over the whole window.
TEST_F(PetleTest, TheWindowIsClippedToARoundedRectangle) {
    const struct {
        TForm* forma;
        int szerokosc, wysokosc, elipsa;
    } ksztalty[] = {{&glowna, 730, 360, 40}, {&notka, 471, 109, 20}};
    for (const auto& k : ksztalty) {
        k.forma->SetBounds(k.forma->Left, k.forma->Top, k.szerokosc, k.wysokosc);
        k.forma->Zaokraglenie = TRozmiar{k.elipsa, k.elipsa};
        HRGN region = CreateRectRgn(0, 0, 0, 0);
        ASSERT_EQ(GetWindowRgn(Okno(*k.forma), region), COMPLEXREGION) << k.forma->Name;
        const int w = k.szerokosc, h = k.wysokosc, r = k.elipsa / 2;
        // The corners are cut, the edges between them and the middle stay.
        for (POINT poza : {POINT{0, 0}, POINT{w - 1, 0}, POINT{0, h - 1}, POINT{w - 1, h - 1}, POINT{r / 4, r / 4}})
            EXPECT_FALSE(PtInRegion(region, poza.x, poza.y)) << k.forma->Name << " " << poza.x << "," << poza.y;
        for (POINT w_ : {POINT{w / 2, 0}, POINT{0, h / 2}, POINT{w / 2, h / 2}, POINT{w - 2, h / 2}, POINT{r, 1}})
            EXPECT_TRUE(PtInRegion(region, w_.x, w_.y)) << k.forma->Name << " " << w_.x << "," << w_.y;
        EXPECT_FALSE(PtInRegion(region, w, h / 2));
        DeleteObject(region);
    }
}

// The standard message dialog: owned by the main window, titled with the
// application's title, one OK button, no icon.
TEST_F(PetleTest, TheStandardDialogBelongsToTheMainWindowAndHasNoIcon) {
    HWND wlasciciel = nullptr;
    bool ikona = true;
    std::u16string tekst;
    Pozniej ok([] { return FindWindowW(L"#32770", L"Instalator") != nullptr; },
               [&] {
                   HWND dialog = FindWindowW(L"#32770", L"Instalator");
                   wlasciciel = GetWindow(dialog, GW_OWNER);
                   // The icon's static holds an icon only when one was asked
                   // for: id 20 on Windows, 1088 in Wine's own template.
                   ikona = false;
                   for (int id : {20, 1088})
                       if (HWND statyczny = GetDlgItem(dialog, id);
                           statyczny && IsWindowVisible(statyczny) && SendMessageW(statyczny, STM_GETICON, 0, 0))
                           ikona = true;
                   tekst = Tekst(GetDlgItem(dialog, 0xFFFF));
                   PostMessageW(dialog, WM_COMMAND, IDOK, 0);
               });
    z.KomunikatStandardowy(u"Instalator", u"Błąd połączenia z internetem");
    ASSERT_TRUE(ok.Wykonane());
    EXPECT_EQ(wlasciciel, Okno(glowna));
    EXPECT_FALSE(ikona);
    EXPECT_EQ(tekst, u"Błąd połączenia z internetem");
}

// The folder choice: the system's save dialog with the title, the proposed
// name and the initial folder; a cancel gives nothing.
TEST_F(PetleTest, TheSaveDialogProposesTheNameInTheFolderAndReturnsTheChoice) {
    // A folder of its own: the dialog would otherwise open where it was left
    // last time, and a test of the initial folder would prove nothing.
    wchar_t tymczasowy[MAX_PATH];
    GetTempPathW(MAX_PATH, tymczasowy);
    const std::wstring folder =
        std::wstring(tymczasowy) + L"kv_dialog_" + std::to_wstring(GetCurrentProcessId()) + L"_" + std::to_wstring(GetTickCount());
    ASSERT_TRUE(CreateDirectoryW(folder.c_str(), nullptr));
    const std::u16string folder16(reinterpret_cast<const char16_t*>(folder.c_str()));
    struct Sprzatanie {
        const std::wstring& f;
        ~Sprzatanie() { RemoveDirectoryW(f.c_str()); }
    } sprzatanie{folder};

    std::u16string proponowana, wFolderze;
    const wchar_t* tytul = L"Wskaż folder instalacji";
    Pozniej wybor([&] { return FindWindowW(L"#32770", tytul) != nullptr; },
                  [&] {
                      HWND dialog = FindWindowW(L"#32770", tytul);
                      wchar_t bufor[MAX_PATH] = {};
                      SendMessageW(dialog, CDM_GETSPEC, MAX_PATH, reinterpret_cast<LPARAM>(bufor));
                      proponowana = reinterpret_cast<const char16_t*>(bufor);
                      SendMessageW(dialog, CDM_GETFOLDERPATH, MAX_PATH, reinterpret_cast<LPARAM>(bufor));
                      wFolderze = reinterpret_cast<const char16_t*>(bufor);
                      PostMessageW(dialog, WM_COMMAND, IDOK, 0);
                  });
    const auto wynik = z.DialogZapisu(&glowna, u"Wskaż folder instalacji", u"_Kavrostel.exe", folder16);
    ASSERT_TRUE(wybor.Wykonane());
    EXPECT_EQ(proponowana, u"_Kavrostel.exe");
    EXPECT_EQ(wFolderze, folder16);
    ASSERT_TRUE(wynik.has_value());
    EXPECT_EQ(*wynik, folder16 + u"\\_Kavrostel.exe");
    // Nothing is written to the chosen file.
    EXPECT_EQ(GetFileAttributesW(W(*wynik)), INVALID_FILE_ATTRIBUTES);

    Pozniej anuluj([&] { return FindWindowW(L"#32770", tytul) != nullptr; },
                   [&] { PostMessageW(FindWindowW(L"#32770", tytul), WM_COMMAND, IDCANCEL, 0); });
    EXPECT_FALSE(z.DialogZapisu(&glowna, u"Wskaż folder instalacji", u"_Kavrostel.exe", folder16).has_value());
}

TEST_F(PetleTest, ThePointerIsReadWhereItWasPutAndTheInstallerIsTheActiveApplication) {
    z.Ustaw({300, 200});
    EXPECT_EQ(z.Pozycja(), (platforma::PunktEkranu{300, 200}));
    SetForegroundWindow(Okno(glowna));
    EXPECT_TRUE(Czekaj([&] { return z.AplikacjaAktywna(); }));
}

TEST_F(PetleTest, TheWorkAreaIsTheScreensAndAScreenCentredFormIsPlacedInIt) {
    const TProstokat ekran = z.ObszarEkranu();
    EXPECT_GT(ekran.Width, 730);
    EXPECT_GT(ekran.Height, 360);
    TForm srodek("Srodek");
    srodek.SetBounds(0, 0, 730, 360);
    srodek.Position = TPozycjaFormy::poScreenCenter;
    srodek.Realizuj();
    srodek.Show();
    RECT r;
    GetWindowRect(Okno(srodek), &r);
    EXPECT_EQ(r.left, ekran.Left + (ekran.Width - 730) / 2);
    EXPECT_EQ(r.top, ekran.Top + (ekran.Height - 360) / 2);
}

}  // namespace
}  // namespace testy_okien
