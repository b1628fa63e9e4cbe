// The Win32 views beyond the contract every backend keeps (tests/kontrakt):
// the system's own classes and styles, the colours and what shows through,
// the native list's items, presses and the release, the native lifetime.
#include <windows.h>
#include <commctrl.h>
#include <windowsx.h>

#include <memory>
#include <stdexcept>

#include "Czcionki.h"
#include "KazdyRodzaj.h"
#include "Obrazy.h"
#include "OknaTesty.h"

namespace testy_okien {
namespace {

LONG_PTR Styl(HWND okno) { return GetWindowLongPtrW(okno, GWL_STYLE); }

std::u16string TekstElementu(HWND lista, int i) {
    wchar_t bufor[256] = {};
    SendMessageW(lista, LB_GETTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(bufor));
    return std::u16string(reinterpret_cast<const char16_t*>(bufor));
}

// The colours a parent gives a control it draws (WM_CTLCOLOR...).
struct Kolory {
    COLORREF tekst;
    COLORREF tlo;
};
Kolory KoloryOd(HWND kontrolka, UINT komunikat) {
    HDC dc = CreateCompatibleDC(nullptr);
    SendMessageW(GetParent(kontrolka), komunikat, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(kontrolka));
    Kolory k{GetTextColor(dc), GetBkColor(dc)};
    DeleteDC(dc);
    return k;
}

std::vector<HWND> Dzieci(HWND rodzic) {
    std::vector<HWND> wynik;
    for (HWND d = GetWindow(rodzic, GW_CHILD); d; d = GetWindow(d, GW_HWNDNEXT)) wynik.push_back(d);
    return wynik;
}

class WidokiTest : public OknaTest, protected KazdyRodzaj {
protected:
    // One control of each kind the forms use, and a stretched picture over
    // them.
    void SetUp() override {
        forma.Glowna = true;
        aplikacja.MainForm = &forma;
        UtworzKazdyRodzaj(forma);
        obraz = forma.Utworz<TImage>(panel, "Obraz");
        obraz->SetBounds(10, 10, 200, 60);
        obraz->Stretch = true;
        obraz->Picture = u"pasek_tytulu.jpg";
        Pokaz(forma);
    }

    TForm forma{"Forma"};
    TImage* obraz = nullptr;
};

// The taskbar and Alt+Tab show the window's class icons: the program's own,
// the first icon group of its resources, in both sizes.
TEST_F(WidokiTest, TheWindowCarriesTheProgramsIcon) {
    const struct {
        int indeks;
        int szerokosc;
    } ikony[] = {{GCLP_HICON, GetSystemMetrics(SM_CXICON)}, {GCLP_HICONSM, GetSystemMetrics(SM_CXSMICON)}};
    for (const auto& i : ikony) {
        auto ikona = reinterpret_cast<HICON>(GetClassLongPtrW(Okno(forma), i.indeks));
        ASSERT_NE(ikona, nullptr) << i.indeks;
        ICONINFO opis{};
        ASSERT_TRUE(GetIconInfo(ikona, &opis));
        BITMAP b{};
        GetObjectW(opis.hbmColor ? opis.hbmColor : opis.hbmMask, sizeof b, &b);
        EXPECT_EQ(b.bmWidth, i.szerokosc);
        if (opis.hbmColor) DeleteObject(opis.hbmColor);
        if (opis.hbmMask) DeleteObject(opis.hbmMask);
    }
    // Not the system's generic application icon.
    EXPECT_NE(reinterpret_cast<HICON>(GetClassLongPtrW(Okno(forma), GCLP_HICON)), LoadIconW(nullptr, IDI_APPLICATION));
}

TEST_F(WidokiTest, EveryKindIsTheSystemsOwnControlAtItsPlace) {
    const struct {
        TControl* kontrolka;
        const wchar_t* klasa;
    } rodzaje[] = {
        {etykieta, L"Static"},       {przycisk, L"Button"},         {pole, L"Button"},
        {grupa, L"Button"},          {edycja, L"Edit"},             {lista, L"ListBox"},
        {pasek, L"msctls_progress32"}, {ramka, L"Button"},          {panel, L"KavrostelPanel"},
        {obraz, L"KavrostelObraz"},
    };
    for (const auto& r : rodzaje) {
        wchar_t klasa[64] = {};
        GetClassNameW(Okno(*r.kontrolka), klasa, 64);
        EXPECT_EQ(_wcsicmp(klasa, r.klasa), 0) << r.kontrolka->Name;
        const RECT m = Miejsce(*r.kontrolka);
        EXPECT_EQ(m.left, r.kontrolka->Left()) << r.kontrolka->Name;
        EXPECT_EQ(m.top, r.kontrolka->Top()) << r.kontrolka->Name;
        EXPECT_EQ(m.right - m.left, r.kontrolka->Width()) << r.kontrolka->Name;
        EXPECT_EQ(m.bottom - m.top, r.kontrolka->Height()) << r.kontrolka->Name;
    }
    // The radio items lie where the model's rule puts them.
    HDC dc = GetDC(nullptr);
    HGDIOBJ poprzednia = SelectObject(dc, z.Fonty().Daj(grupa->Font));
    TEXTMETRICW tm{};
    GetTextMetricsW(dc, &tm);
    SelectObject(dc, poprzednia);
    ReleaseDC(nullptr, dc);
    const auto elementy = Dzieci(Okno(*grupa));
    ASSERT_EQ(elementy.size(), 2u);
    for (int i = 0; i < 2; ++i) {
        RECT r;
        GetWindowRect(elementy[static_cast<std::size_t>(i)], &r);
        MapWindowPoints(nullptr, Okno(*grupa), reinterpret_cast<POINT*>(&r), 2);
        const TProstokat m = grupa->MiejsceElementu(i, tm.tmHeight);
        EXPECT_EQ((TProstokat{r.left, r.top, r.right - r.left, r.bottom - r.top}), m) << i;
    }
    EXPECT_EQ(Styl(Okno(*ramka)) & BS_TYPEMASK, BS_GROUPBOX);
    EXPECT_EQ(Styl(Okno(*pole)) & BS_TYPEMASK, BS_AUTOCHECKBOX);
    // The form: a borderless window at its place, titled with its caption.
    RECT r;
    GetWindowRect(Okno(forma), &r);
    EXPECT_EQ(r.left, 100);
    EXPECT_EQ(r.right - r.left, 600);
    EXPECT_EQ(Styl(Okno(forma)) & (WS_CAPTION | WS_THICKFRAME), 0);
    EXPECT_EQ(Tekst(Okno(forma)), u"Okno testowe");
}

// What the contract (tests/kontrakt) does not read: the label's own size,
// the default button's style, the colours the parent gives, the font, the
// list's native items, the radio items' own state, the window's place.
TEST_F(WidokiTest, PropertyChangesShowInTheNativeControls) {
    const struct {
        const char* opis;
        std::function<void()> zmiana;
        std::function<bool()> widac;
    } przypadki[] = {
        {"autosized label", [&] { etykieta->Caption = u"Długi napis etykiety, który rośnie"; },
         [&] { return Miejsce(*etykieta).right - Miejsce(*etykieta).left == etykieta->Width(); }},
        {"default button", [&] { przycisk->Default = true; },
         [&] { return (Styl(Okno(*przycisk)) & BS_TYPEMASK) == BS_DEFPUSHBUTTON; }},
        {"radio group disabled with its items", [&] { grupa->Enabled = false; },
         [&] {
             for (HWND e : Dzieci(Okno(*grupa)))
                 if (IsWindowEnabled(e)) return false;
             return !IsWindowEnabled(Okno(*grupa));
         }},
        {"edit colour", [&] { edycja->Color = clSilver; },
         [&] { return KoloryOd(Okno(*edycja), WM_CTLCOLORSTATIC).tlo == RGB(192, 192, 192); }},
        {"label colour", [&] { etykieta->Font = TFont{u"MS Sans Serif", 19, false, false, clBlue}; },
         [&] { return KoloryOd(Okno(*etykieta), WM_CTLCOLORSTATIC).tekst == RGB(0, 0, 255); }},
        {"font", [&] { przycisk->Font = TFont{u"MS Sans Serif", 16, true, false, clNavy}; },
         [&] {
             return reinterpret_cast<HFONT>(SendMessageW(Okno(*przycisk), WM_GETFONT, 0, 0)) ==
                    z.Fonty().Daj(przycisk->Font);
         }},
        {"items", [&] { for (int i = 0; i < 20; ++i) lista->Items.Add(u"wiersz " + std::u16string(1, u'A' + i)); },
         [&] { return SendMessageW(Okno(*lista), LB_GETCOUNT, 0, 0) == 20 && TekstElementu(Okno(*lista), 3) == u"wiersz D"; }},
        {"item text", [&] { lista->Items.Set(0, u"UMOWA"); }, [&] { return TekstElementu(Okno(*lista), 0) == u"UMOWA"; }},
        {"selected item", [&] { lista->ItemIndex = 12; }, [&] { return SendMessageW(Okno(*lista), LB_GETCURSEL, 0, 0) == 12; }},
        {"items cleared", [&] { lista->Items.Clear(); }, [&] { return SendMessageW(Okno(*lista), LB_GETCOUNT, 0, 0) == 0; }},
        {"window place", [&] { forma.SetBounds(150, 120, 500, 300); },
         [&] { RECT r; GetWindowRect(Okno(forma), &r); return r.left == 150 && r.top == 120 && r.bottom - r.top == 300; }},
    };
    for (const auto& p : przypadki) {
        p.zmiana();
        Przepusc(10);
        EXPECT_TRUE(p.widac()) << p.opis;
    }
}

TEST_F(WidokiTest, AnInnerBorderMovesTheClientAreaIn) {
    forma.BorderWidth = 3;
    Przepusc(10);
    RECT klient;
    GetClientRect(Okno(forma), &klient);
    EXPECT_EQ(klient.right, 600 - 6);
    EXPECT_EQ(klient.bottom, 400 - 6);
    POINT p{0, 0};
    MapWindowPoints(Okno(*panel), nullptr, &p, 1);
    EXPECT_EQ(p.x, 100 + 3);
    EXPECT_EQ(p.y, 100 + 3);
}

TEST_F(WidokiTest, ALaterControlLiesOverAnEarlierOneAndBringToFrontLiftsIt) {
    // The native z-order among the panel's children, top first.
    const auto dzieci = Dzieci(Okno(*panel));
    ASSERT_FALSE(dzieci.empty());
    EXPECT_EQ(dzieci.front(), Okno(*obraz));
    EXPECT_EQ(dzieci.back(), Okno(*etykieta));
    etykieta->BringToFront();
    EXPECT_EQ(GetWindow(Okno(*panel), GW_CHILD), Okno(*etykieta));
}

TEST_F(WidokiTest, AControlMovesUnderItsNewParentsWindow) {
    auto* drugiPanel = forma.Utworz<TPanel>(nullptr, "DrugiPanel");
    drugiPanel->SetBounds(0, 0, 100, 100);
    pole->SetParent(drugiPanel);
    EXPECT_EQ(GetParent(Okno(*pole)), Okno(*drugiPanel));
    pole->SetParent(nullptr);
    EXPECT_EQ(GetParent(Okno(*pole)), z.Przechowalnia());
}

// A transparent label shows the picture under it; an opaque one its colour.
TEST_F(WidokiTest, ATransparentLabelShowsThePictureUnderIt) {
    etykieta->BringToFront();
    etykieta->Caption = u".";
    etykieta->SetBounds(30, 30, 60, 20);
    const COLORREF obrazu = Piksel(Okno(*obraz), 45, 35);
    ASSERT_NE(obrazu, GetSysColor(COLOR_BTNFACE));
    EXPECT_EQ(Piksel(Okno(*etykieta), 25, 15), obrazu);
    etykieta->Transparent = false;
    etykieta->Color = clWhite;
    Przepusc(10);
    EXPECT_EQ(Piksel(Okno(*etykieta), 25, 15), RGB(255, 255, 255));
}

// A panel with ParentBackground shows the picture behind it, and so do the
// controls on it that have no colour of their own.
TEST_F(WidokiTest, APanelThatShowsItsParentsBackgroundShowsThePictureUnderItsControlsToo) {
    auto* strona = forma.Utworz<TPanel>(panel, "Strona");
    strona->SetBounds(10, 10, 200, 60);  // over the picture
    strona->ParentBackground = true;
    auto* napis = forma.Utworz<TLabel>(strona, "Napis");
    napis->AutoSize = false;
    napis->SetBounds(5, 5, 80, 20);
    napis->Caption = u".";
    auto* skrot = forma.Utworz<TCheckBox>(strona, "Skrot");
    skrot->SetBounds(5, 30, 190, 20);
    skrot->Caption = u"X";
    skrot->ParentColor = true;
    auto* bialy = forma.Utworz<TCheckBox>(strona, "Bialy");
    bialy->SetBounds(100, 5, 90, 20);
    bialy->Color = clWhite;
    Przepusc(20);
    // The picture as the picture view shows it, 200 x 60.
    HBITMAP bitmapa = z.Grafika().Daj(u"pasek_tytulu.jpg", 200, 60);
    ASSERT_NE(bitmapa, nullptr);
    HDC pamiec = CreateCompatibleDC(nullptr);
    HGDIOBJ poprzednia = SelectObject(pamiec, bitmapa);
    auto obrazu = [&](int x, int y) { return GetPixel(pamiec, x, y); };
    ASSERT_NE(obrazu(2, 2), GetSysColor(COLOR_BTNFACE));
    // Under the panel's corner, its label's empty part and the box's empty
    // part: the picture, as at the same places of the picture itself.
    EXPECT_EQ(Piksel(Okno(*strona), 2, 2), obrazu(2, 2));
    EXPECT_EQ(Piksel(Okno(*napis), 60, 10), obrazu(5 + 60, 5 + 10));
    EXPECT_EQ(Piksel(Okno(*skrot), 180, 10), obrazu(5 + 180, 30 + 10));
    // A colour of its own covers it.
    EXPECT_EQ(Piksel(Okno(*bialy), 80, 10), RGB(255, 255, 255));
    SelectObject(pamiec, poprzednia);
    DeleteDC(pamiec);
    // Without it the panel has its own background, and so has what lies on it.
    strona->ParentBackground = false;
    Przepusc(20);
    EXPECT_EQ(Piksel(Okno(*strona), 2, 2), GetSysColor(COLOR_BTNFACE));
    EXPECT_EQ(Piksel(Okno(*skrot), 180, 10), GetSysColor(COLOR_BTNFACE));
}

TEST_F(WidokiTest, AStretchedPictureFillsItsControl) {
    const COLORREF lewy = Piksel(Okno(*obraz), 1, 1);
    const COLORREF prawy = Piksel(Okno(*obraz), 198, 58);
    EXPECT_NE(lewy, GetSysColor(COLOR_BTNFACE));
    EXPECT_NE(prawy, GetSysColor(COLOR_BTNFACE));
    obraz->Picture = u"brak.jpg";
    EXPECT_EQ(Piksel(Okno(*obraz), 100, 30), GetSysColor(COLOR_BTNFACE));
}

// ---------------------------------------------------------------- events

TEST_F(WidokiTest, AChangeTheModelRefusesDoesNotStayInTheNativeControl) {
    int wybory = 0;
    grupa->OnClick = [&] { ++wybory; };
    // Natively enabled, but inside a panel the model holds disabled.
    panel->Enabled = false;
    EnableWindow(Okno(*panel), TRUE);
    SendMessageW(Okno(*pole), BM_CLICK, 0, 0);
    EXPECT_FALSE(pole->Checked);
    EXPECT_EQ(SendMessageW(Okno(*pole), BM_GETCHECK, 0, 0), BST_UNCHECKED);
    SendMessageW(Dzieci(Okno(*grupa))[0], BM_CLICK, 0, 0);
    EXPECT_EQ(grupa->ItemIndex, -1);
    EXPECT_EQ(wybory, 0);
    EXPECT_EQ(SendMessageW(Dzieci(Okno(*grupa))[0], BM_GETCHECK, 0, 0), BST_UNCHECKED);
}

TEST_F(WidokiTest, PressesReportTheirButtonAndPlaceAndAClickNeedsTheReleaseOverTheControl) {
    std::vector<std::tuple<std::string, TMouseButton, int, int>> naciski;
    int klikniecia = 0;
    for (TControl* k : std::initializer_list<TControl*>{&forma, panel, ramka, etykieta, obraz}) {
        k->OnMouseDown = [&naciski](TControl& nadawca, TMouseButton b, int x, int y) {
            naciski.emplace_back(nadawca.Name, b, x, y);
        };
    }
    etykieta->OnClick = [&] { ++klikniecia; };
    SendMessageW(Okno(*ramka), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 7));
    SendMessageW(Okno(*ramka), WM_LBUTTONUP, 0, MAKELPARAM(5, 7));
    SendMessageW(Okno(*panel), WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(300, 350));
    SendMessageW(Okno(*etykieta), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 3));
    SendMessageW(Okno(*etykieta), WM_LBUTTONUP, 0, MAKELPARAM(2, 3));
    SendMessageW(Okno(*etykieta), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 3));
    SendMessageW(Okno(*etykieta), WM_LBUTTONUP, 0, MAKELPARAM(500, 3));
    SendMessageW(Okno(*obraz), WM_MBUTTONDOWN, MK_MBUTTON, MAKELPARAM(1, 1));
    ASSERT_EQ(naciski.size(), 5u);
    EXPECT_EQ(naciski[0], std::make_tuple(std::string("Ramka"), TMouseButton::mbLeft, 5, 7));
    EXPECT_EQ(naciski[1], std::make_tuple(std::string("Panel"), TMouseButton::mbRight, 300, 350));
    EXPECT_EQ(std::get<0>(naciski[2]), "Etykieta");
    EXPECT_EQ(naciski[4], std::make_tuple(std::string("Obraz"), TMouseButton::mbMiddle, 1, 1));
    EXPECT_EQ(klikniecia, 1);
}

TEST_F(WidokiTest, TheUsersChoiceInTheListReachesTheModel) {
    for (int i = 0; i < 20; ++i) lista->Items.Add(u"wiersz");
    HWND okno = Okno(*lista);
    // A press on the third item.
    SendMessageW(okno, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(20, 2 * 16 + 5));
    SendMessageW(okno, WM_LBUTTONUP, 0, MAKELPARAM(20, 2 * 16 + 5));
    EXPECT_EQ(lista->ItemIndex, 2);
    SendMessageW(okno, WM_VSCROLL, SB_LINEDOWN, 0);
    EXPECT_EQ(lista->TopIndex, 1);
}

// ---------------------------------------------------------------- life

TEST_F(OknaTest, APanelOfAnotherFormOutlivesTheWindowItWasMovedOnto) {
    auto strona = std::make_unique<TForm>("Strona");
    auto* panel = strona->Utworz<TPanel>(nullptr, "PanelInstalacji");
    auto* przycisk = strona->Utworz<TButton>(panel, "BBInstal");
    strona->Realizuj();
    HWND oknoPrzycisku = Okno(*przycisk);
    {
        TForm glowna("Glowna");
        Projekt(glowna);
        glowna.Realizuj();
        panel->SetParent(&glowna);
        EXPECT_EQ(GetParent(Okno(*panel)), Okno(glowna));
    }
    EXPECT_TRUE(IsWindow(oknoPrzycisku));
    strona.reset();
    EXPECT_FALSE(IsWindow(oknoPrzycisku));
}

}  // namespace
}  // namespace testy_okien
