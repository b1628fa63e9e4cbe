// The fonts the backend draws with, and the text measure the labels size
// themselves by: the Polish letters are there, and the lines have the
// heights the layouts rest on.
#include <cwchar>

#include "Czcionki.h"
#include "OknaTesty.h"

namespace testy_okien {
namespace {

// The face and line height the system gives for a font, as the backend
// reads them; whether every Polish letter has a glyph is asked here on its
// own, without the backend's allowance for systems that answer nothing for
// bitmap fonts.
struct Metryka {
    std::wstring kroj;
    int linia = 0;
    bool polskie = false;
};

Metryka Zmierz(HFONT czcionka) {
    const Realizacja r = Zrealizuj(czcionka);
    Metryka m{r.kroj, r.linia, false};
    HDC dc = GetDC(nullptr);
    HGDIOBJ poprzednia = SelectObject(dc, czcionka);
    WORD indeksy[32] = {};
    const int ile = static_cast<int>(wcslen(POLSKIE_LITERY));
    m.polskie = GetGlyphIndicesW(dc, POLSKIE_LITERY, ile, indeksy, GGI_MARK_NONEXISTING_GLYPHS) != GDI_ERROR;
    for (int i = 0; i < ile; ++i)
        if (indeksy[i] == 0xFFFF) m.polskie = false;
    SelectObject(dc, poprzednia);
    ReleaseDC(nullptr, dc);
    return m;
}

// "MS Sans Serif" itself has its own bitmap sizes; a stand-in keeps the
// proportion of 20-pixel lines at 17 pixels.
int OczekiwanaLinia(const std::wstring& kroj, int wysokosc) {
    if (_wcsicmp(kroj.c_str(), L"MS Sans Serif") != 0) return LiniaZastepcza(wysokosc);
    switch (wysokosc) {
    case 13: return 16;
    case 16:
    case 17: return 20;
    default: return 24;
    }
}

TEST(CzcionkiWin32, TheStandInLinesKeepTheNoticeBoxProportion) {
    EXPECT_EQ(LiniaZastepcza(17), 20);
    EXPECT_EQ(LiniaZastepcza(13), 15);
    EXPECT_EQ(LiniaZastepcza(16), 19);
    EXPECT_EQ(LiniaZastepcza(19), 22);
}

class CzcionkiTest : public OknaTest {};

TEST_F(CzcionkiTest, EveryHeightOfTheFormsShowsThePolishLettersAtItsLineHeight) {
    for (int wysokosc : {13, 16, 17, 19}) {
        for (bool pogrubiona : {false, true}) {
            TFont czcionka;
            czcionka.Height = wysokosc;
            czcionka.Bold = pogrubiona;
            const Metryka m = Zmierz(z.Fonty().Daj(czcionka));
            SCOPED_TRACE(testing::Message() << "height " << wysokosc << (pogrubiona ? " bold" : ""));
            EXPECT_TRUE(m.polskie);
            EXPECT_EQ(m.linia, OczekiwanaLinia(m.kroj, wysokosc));
        }
    }
}

TEST_F(CzcionkiTest, TheNoticeBoxFontHasTwentyPixelLinesWhateverFaceStandsIn) {
    TFont czcionka;
    czcionka.Height = 17;
    EXPECT_EQ(Zmierz(z.Fonty().Daj(czcionka)).linia, 20);
}

TEST_F(CzcionkiTest, ANamedTrueTypeFaceIsAskedForWithTheCentralEuropeanLetters) {
    TFont arial;
    arial.Name = u"Arial";
    arial.Height = 21;
    EXPECT_TRUE(Zmierz(z.Fonty().Daj(arial)).polskie);
    EXPECT_EQ(z.Fonty().Wybierz(arial).lfCharSet, EASTEUROPE_CHARSET);
    EXPECT_EQ(z.Fonty().Wybierz(arial).lfHeight, -21);
}

TEST_F(CzcionkiTest, AFontIsMadeOnceForTheRun) {
    TFont a;
    TFont b;
    EXPECT_EQ(z.Fonty().Daj(a), z.Fonty().Daj(b));
    b.Underline = true;
    EXPECT_NE(z.Fonty().Daj(a), z.Fonty().Daj(b));
}

// The measure a word-wrapped label takes its height from: whole lines, at
// least one, a new line at CR, LF or both, and words wrapped at the width.
TEST_F(CzcionkiTest, ATextIsMeasuredInWholeLinesOfTheNoticeFont) {
    TFont czcionka;
    czcionka.Height = 17;
    const struct {
        std::u16string tekst;
        int linie;
    } przypadki[] = {
        {u"Instalacja przerwana.", 1},
        {u"", 1},
        {u"C:\\KV-Tek\\Kavrostel8\\_Kavrostel.exe\rzostanie zastąpiony nową wersją.", 2},
        {u"pierwsza\ndruga", 2},
        {u"pierwsza\r\ndruga", 2},
        {u"jeden\ndwa\ntrzy", 3},
    };
    for (const auto& p : przypadki) {
        const TRozmiar r = z.ZmierzTekst(czcionka, p.tekst, 465);
        EXPECT_EQ(r.Width, 465);
        EXPECT_EQ(r.Height, 20 * p.linie) << std::string(p.tekst.begin(), p.tekst.end());
    }
    std::u16string dlugi;
    for (int i = 0; i < 40; ++i) dlugi += u"słowo ";
    const TRozmiar r = z.ZmierzTekst(czcionka, dlugi, 465);
    EXPECT_GT(r.Height, 40);
    EXPECT_EQ(r.Height % 20, 0);
}

TEST_F(CzcionkiTest, AnUnwrappedTextTakesItsOwnWidth) {
    TFont czcionka;
    const TRozmiar krotki = z.ZmierzTekst(czcionka, u"Http", 0);
    const TRozmiar dlugi = z.ZmierzTekst(czcionka, u"Pomoc techniczna i kontakt", 0);
    EXPECT_GT(krotki.Width, 10);
    EXPECT_GT(dlugi.Width, 3 * krotki.Width);
    EXPECT_EQ(krotki.Height, dlugi.Height);
}

// The agreement list: 16-pixel items, so 14 whole ones show in 231 pixels.
TEST_F(CzcionkiTest, TheAgreementListShowsFourteenWholeItems) {
    TForm forma("Forma");
    Projekt(forma, 600, 300);
    auto* lista = forma.Utworz<TListBox>(nullptr, "ListBox1");
    lista->SetBounds(8, 9, 509, 231);
    for (int i = 0; i < 40; ++i) lista->Items.Add(u"Wiersz umowy z literami ąęłóżź");
    Pokaz(forma);
    HWND okno = Okno(*lista);
    EXPECT_EQ(SendMessageW(okno, LB_GETITEMHEIGHT, 0, 0), 16);
    RECT klient;
    GetClientRect(okno, &klient);
    EXPECT_EQ((klient.bottom - klient.top) / 16, 14);
}

}  // namespace
}  // namespace testy_okien
