// The contract between the control model and a backend, the same for every
// backend (Sonda.h): each kind's native control shows what the model holds
// and follows its changes; the user's actions on it reach the model, which
// may refuse them; the keys the model owns; closing, the first paint, the
// timer, and an error in a handler.
#include <gtest/gtest.h>

#include <stdexcept>

#include "KazdyRodzaj.h"
#include "Sonda.h"

namespace {

class Kontrakt : public ::testing::Test, protected KazdyRodzaj {
protected:
    void SetUp() override {
        forma.Glowna = true;
        aplikacja.MainForm = &forma;
        UtworzKazdyRodzaj(forma);
        forma.Realizuj();
        forma.Show();
        ASSERT_TRUE(s->Czekaj([&] { return forma.Namalowana(); }));
    }
    void TearDown() override { aplikacja.MainForm = nullptr; }

    // Every control shows what its model control holds.
    void SprawdzZgodnosc() {
        for (const TControl* k : std::initializer_list<const TControl*>{panel, etykieta, grupa, przycisk, drugi, pole,
                                                                        edycja, lista, pasek, ramka}) {
            SCOPED_TRACE(k->Name);
            EXPECT_EQ(s->Miejsce(*k), (TProstokat{k->Left, k->Top, k->Width, k->Height}));
            EXPECT_EQ(s->Widoczny(*k), k->Visible());
            EXPECT_EQ(s->Wlaczony(*k), k->Enabled());
            EXPECT_TRUE(s->PodRodzicem(*k));
        }
        for (const TControl* k : std::initializer_list<const TControl*>{etykieta, grupa, przycisk, drugi, pole, ramka})
            EXPECT_EQ(s->Napis(*k), k->Caption()) << k->Name;
        EXPECT_EQ(s->Napis(forma), forma.Caption());
        EXPECT_EQ(s->Napis(*edycja), edycja->Text());
        EXPECT_EQ(s->TylkoDoOdczytu(*edycja), edycja->ReadOnly());
        EXPECT_EQ(s->Zaznaczony(*pole), pole->Checked());
        EXPECT_EQ(s->Elementy(*grupa), grupa->Items());
        EXPECT_EQ(s->Wybrany(*grupa), grupa->ItemIndex());
        EXPECT_EQ(s->Gorny(*lista), lista->TopIndex());
        EXPECT_EQ(s->Pasek(*pasek), std::make_pair(pasek->Max(), pasek->Position()));
        EXPECT_EQ(s->Wcisniety(*drugi), drugi->Down());
    }

    std::unique_ptr<Sonda> s = UtworzSonde();
    TAplikacja aplikacja{s->Zaplecze(), u"Instalator"};
    TForm forma{"Forma"};
};

TEST_F(Kontrakt, EveryKindShowsTheModelAndFollowsItsChanges) {
    SprawdzZgodnosc();
    const struct {
        const char* opis;
        std::function<void()> zmiana;
    } zmiany[] = {
        {"caption", [&] { etykieta->Caption = u"Nie zaakceptowano warunków licencji"; }},
        {"place", [&] { przycisk->SetBounds(20, 310, 90, 25); }},
        {"hidden", [&] { pole->Visible = false; }},
        {"shown", [&] { pole->Visible = true; }},
        {"disabled", [&] { przycisk->Enabled = false; }},
        {"enabled", [&] { przycisk->Enabled = true; }},
        {"held down", [&] { drugi->Down = true; }},
        {"released", [&] { drugi->Down = false; }},
        {"checked", [&] { pole->Checked = true; }},
        {"radio item chosen", [&] { grupa->ItemIndex = 1; }},
        {"no radio item", [&] { grupa->ItemIndex = -1; }},
        {"radio items", [&] { grupa->Items = {u"32-bit", u"64-bit", u"ARM"}; }},
        {"radio group disabled", [&] { grupa->Enabled = false; }},
        {"edit text", [&] { edycja->Text = u"D:\\Dane"; }},
        {"read-only", [&] { edycja->ReadOnly = true; }},
        {"list scrolled", [&] {
             for (int i = 0; i < 20; ++i) lista->Items.Add(u"wiersz");
             lista->TopIndex = 8;
         }},
        {"list cleared", [&] { lista->Items.Clear(); }},
        {"bar", [&] {
             pasek->Max = 200;
             pasek->Position = 50;
         }},
        {"window title", [&] { forma.Caption = u"Uwaga!"; }},
        {"moved onto another parent", [&] { pole->SetParent(ramka); }},
    };
    for (const auto& z : zmiany) {
        SCOPED_TRACE(z.opis);
        z.zmiana();
        s->Przepusc(10);
        SprawdzZgodnosc();
    }
}

TEST_F(Kontrakt, TheUsersActionsReachTheModel) {
    int klikniecia = 0, zaznaczenia = 0, wybory = 0, zmiany = 0;
    przycisk->OnClick = [&] { ++klikniecia; };
    pole->OnClick = [&] { ++zaznaczenia; };
    grupa->OnClick = [&] { ++wybory; };
    edycja->OnChange = [&] { ++zmiany; };
    s->Kliknij(*przycisk);
    EXPECT_EQ(klikniecia, 1);
    s->Kliknij(*pole);
    EXPECT_TRUE(pole->Checked());
    EXPECT_EQ(zaznaczenia, 1);
    s->WybierzElement(*grupa, 1);
    EXPECT_EQ(grupa->ItemIndex(), 1);
    EXPECT_EQ(wybory, 1);
    s->Wpisz(*edycja, u"D:\\Dane");
    EXPECT_EQ(edycja->Text(), u"D:\\Dane");
    EXPECT_GE(zmiany, 1);
    for (int i = 0; i < 20; ++i) lista->Items.Add(u"wiersz");
    s->Przewin(*lista, 7);
    EXPECT_EQ(lista->TopIndex(), 7);
    SprawdzZgodnosc();
}

// A change the model refuses does not stay in the native control.
TEST_F(Kontrakt, WhatTheModelRefusesIsUndoneInTheNativeControl) {
    int wybory = 0, zaznaczenia = 0;
    grupa->OnClick = [&] { ++wybory; };
    pole->OnClick = [&] { ++zaznaczenia; };
    edycja->Text = u"C:";
    edycja->ReadOnly = true;
    s->Wpisz(*edycja, u"E:");
    EXPECT_EQ(edycja->Text(), u"C:");
    EXPECT_EQ(s->Napis(*edycja), u"C:");
    grupa->Enabled = false;
    s->WybierzElement(*grupa, 0);
    EXPECT_EQ(grupa->ItemIndex(), -1);
    EXPECT_EQ(wybory, 0);
    EXPECT_EQ(s->Wybrany(*grupa), -1);
}

TEST_F(Kontrakt, TheKeysTheModelOwns) {
    int pierwszy = 0, drugiKlik = 0, wybory = 0;
    przycisk->OnClick = [&] { ++pierwszy; };
    drugi->OnClick = [&] { ++drugiKlik; };
    grupa->OnClick = [&] { ++wybory; };
    drugi->Cancel = true;
    przycisk->SetFocus();
    ASSERT_TRUE(s->Czekaj([&] { return s->Fokus() == przycisk; }));
    // Enter clicks the focused button; Escape the cancel one.
    s->Klawisz(TKlawisz::Enter);
    EXPECT_EQ(pierwszy, 1);
    s->Klawisz(TKlawisz::Escape);
    EXPECT_EQ(drugiKlik, 1);
    // Tab walks the model's tab order with the native focus.
    const std::vector<TControl*> kolejnosc = forma.KolejnoscTabulacji();
    ASSERT_EQ(kolejnosc, (std::vector<TControl*>{grupa, przycisk, drugi, pole, edycja, lista}));
    for (TControl* nastepna : std::initializer_list<TControl*>{drugi, pole, edycja, lista, grupa}) {
        s->Klawisz(TKlawisz::Tab);
        EXPECT_EQ(forma.ActiveControl(), nastepna);
        EXPECT_EQ(s->Fokus(), nastepna);
    }
    // The arrows move the choice round the radio group, the focus with it.
    s->Klawisz(TKlawisz::Dol);
    EXPECT_EQ(grupa->ItemIndex(), 1);
    EXPECT_EQ(s->Wybrany(*grupa), 1);
    EXPECT_EQ(s->Fokus(), grupa);
    s->Klawisz(TKlawisz::Dol);
    EXPECT_EQ(grupa->ItemIndex(), 0);
    EXPECT_EQ(wybory, 2);
    // Alt with a marked letter does what a click does; a button's "&" makes
    // no shortcut of the toolkit's own besides.
    s->KlawiszDostepu(u'z');
    EXPECT_EQ(pierwszy, 2);
    s->KlawiszDostepu(u'p');
    EXPECT_TRUE(pole->Checked());
    EXPECT_TRUE(s->Zaznaczony(*pole));
    EXPECT_EQ(s->Fokus(), pole);
    s->KlawiszDostepu(u'w');
    EXPECT_EQ(drugiKlik, 1);
}

TEST_F(Kontrakt, ClosingTheWindowAsksTheForm) {
    int pytania = 0;
    bool mozna = false;
    forma.OnCloseQuery = [&](bool& m) {
        ++pytania;
        m = mozna;
    };
    s->ZamknijOkno(forma);
    EXPECT_EQ(pytania, 1);
    EXPECT_TRUE(s->Widoczny(forma));
    mozna = true;
    s->ZamknijOkno(forma);
    EXPECT_FALSE(forma.Visible());
    EXPECT_FALSE(s->Widoczny(forma));
}

TEST_F(Kontrakt, AnErrorInAHandlerIsShownAndTheInstallerGoesOn) {
    przycisk->OnClick = [] { throw std::runtime_error("Brak pliku"); };
    drugi->OnClick = [] { throw 7; };
    s->Kliknij(*przycisk);
    s->Kliknij(*drugi);
    ASSERT_EQ(s->Bledy().size(), 2u);
    EXPECT_EQ(s->Bledy()[0], std::make_pair(std::u16string(u"Instalator"), std::u16string(u"Brak pliku")));
    EXPECT_EQ(s->Bledy()[1].second, u"Nieoczekiwany błąd.");
    EXPECT_TRUE(s->Widoczny(*przycisk));
}

// A timer ticks only once its window has been shown and painted, and stops
// when disabled.
TEST(KontraktZegara, ATimerTicksOnlyOnceItsWindowHasBeenPainted) {
    std::unique_ptr<Sonda> s = UtworzSonde();
    TAplikacja aplikacja{s->Zaplecze(), u"Instalator"};
    TForm forma("Forma");
    forma.SetBounds(100, 100, 300, 200);
    auto* zegar = forma.UtworzSkladnik<TTimer>("Timer1");
    zegar->Interval = 20;
    int tykniecia = 0;
    zegar->OnTimer = [&] { ++tykniecia; };
    forma.Realizuj();
    s->Przepusc(100);
    EXPECT_EQ(tykniecia, 0);
    forma.Show();
    EXPECT_TRUE(s->Czekaj([&] { return tykniecia >= 2; }));
    zegar->Enabled = false;
    s->Przepusc(30);
    const int potem = tykniecia;
    s->Przepusc(100);
    EXPECT_EQ(tykniecia, potem);
}

}  // namespace
