// What the model decides for every backend: the tab order and Tab itself,
// the access keys, the arrows on a radio group, where a native focus change
// lands, which window owns another, the window's shape following its size,
// the save dialog's folder, and a design row that sets a field its kind
// does not have.
#include <gtest/gtest.h>

#include <algorithm>
#include <stdexcept>

#include "AtrapyUi.h"
#include "Kontrolki.h"
#include "ProjektFormy.h"

namespace {

using Rodzaj = WpisZaplecza::Rodzaj;

// A page of the kinds that take the focus, in a panel and a group box, with
// controls that take none in between.
struct Strona : TForm {
    TPanel* Panel;
    TRadioGroup* Grupa;
    TLabel* Etykieta;
    TButton* Ok;
    TGroupBox* Ramka;
    TEdit* Edit;
    TCheckBox* Skrot;
    TListBox* Lista;
    TButton* Ukryty;
    TRadioGroup* Pusta;
    TButton* Wstecz;

    Strona() : TForm("Strona") {
        Panel = Utworz<TPanel>(this, "Panel");
        Grupa = Utworz<TRadioGroup>(Panel, "Grupa");
        Grupa->Items = {u"Akceptuję", u"Nie akceptuję"};
        Etykieta = Utworz<TLabel>(Panel, "Etykieta");
        Ok = Utworz<TButton>(Panel, "Ok");
        Ok->Caption = u"&Ok";
        Ramka = Utworz<TGroupBox>(this, "Ramka");
        Edit = Utworz<TEdit>(Ramka, "Edit");
        Skrot = Utworz<TCheckBox>(Ramka, "Skrot");
        Skrot->Caption = u"Skrót na &Pulpicie";
        Lista = Utworz<TListBox>(this, "Lista");
        Ukryty = Utworz<TButton>(this, "Ukryty");
        Ukryty->Caption = u"&Ukryty";
        Ukryty->Visible = false;
        Pusta = Utworz<TRadioGroup>(this, "Pusta");  // no items: nothing to focus
        Wstecz = Utworz<TButton>(this, "Wstecz");
        Wstecz->Caption = u"<< &Wstecz && dalej";
        Realizuj();
    }
};

struct Uklad : AplikacjaTestowa {
    std::unique_ptr<Strona> s = std::make_unique<Strona>();
    Uklad() { PokazINamaluj(*s); }
    ~Uklad() { s.reset(); }
    std::vector<std::string> Sciezka(TKlawisz klawisz, int ile) {
        std::vector<std::string> wynik;
        for (int i = 0; i < ile; ++i) {
            EXPECT_TRUE(s->ZdarzenieKlawisza(klawisz));
            wynik.push_back(s->ActiveControl() ? s->ActiveControl()->Name : "-");
        }
        return wynik;
    }
};

TEST(Klawiatura, TabWalksTheStopsInTheirOrderAndRoundAgain) {
    struct Przypadek {
        const char* opis;
        std::function<void(Strona&)> przygotuj;
        TKlawisz klawisz;
        std::vector<std::string> sciezka;
    };
    const Przypadek przypadki[] = {
        {"forward from the form", [](Strona&) {}, TKlawisz::Tab,
         {"Grupa", "Ok", "Edit", "Skrot", "Lista", "Wstecz", "Grupa"}},
        {"back from the form", [](Strona&) {}, TKlawisz::TabWstecz, {"Wstecz", "Lista", "Skrot", "Edit", "Ok"}},
        {"from the focused control", [](Strona& s) { s.Skrot->SetFocus(); }, TKlawisz::Tab, {"Lista", "Wstecz"}},
        {"a disabled control is skipped", [](Strona& s) { s.Ok->Enabled = false; }, TKlawisz::Tab,
         {"Grupa", "Edit"}},
        {"a hidden container's controls are skipped", [](Strona& s) { s.Ramka->Visible = false; }, TKlawisz::Tab,
         {"Grupa", "Ok", "Lista"}},
        {"a disabled container's controls are skipped", [](Strona& s) { s.Panel->Enabled = false; },
         TKlawisz::TabWstecz, {"Wstecz", "Lista", "Skrot", "Edit", "Wstecz"}},
    };
    for (const Przypadek& p : przypadki) {
        SCOPED_TRACE(p.opis);
        Uklad t;
        p.przygotuj(*t.s);
        EXPECT_EQ(t.Sciezka(p.klawisz, static_cast<int>(p.sciezka.size())), p.sciezka);
    }
}

TEST(Klawiatura, AnEditEnteredWithTabShowsItsWholeTextSelected) {
    Uklad t;
    t.s->Ok->SetFocus();
    const std::size_t przed = t.zaplecze.Zmiany("Edit").size();
    t.s->ZdarzenieKlawisza(TKlawisz::Tab);
    const auto zmiany = t.zaplecze.Zmiany("Edit");
    ASSERT_EQ(zmiany.size(), przed + 1);
    EXPECT_EQ(zmiany.back(), TZmiana::CalyTekst);
    // Focus given by code selects nothing.
    t.s->Ok->SetFocus();
    t.s->Edit->SetFocus();
    EXPECT_EQ(t.zaplecze.Zmiany("Edit").size(), przed + 1);
}

TEST(Klawiatura, AnAccessKeyDoesWhatAClickDoes) {
    struct Przypadek {
        const char* opis;
        char16_t znak;
        std::function<void(Strona&)> przygotuj;
        bool uzyty;
        const char* klikniety;
        bool zaznaczony;
    };
    const Przypadek przypadki[] = {
        {"a button, either case", u'O', [](Strona&) {}, true, "Ok", false},
        {"a button, lower case", u'o', [](Strona&) {}, true, "Ok", false},
        {"a check box toggles", u'p', [](Strona&) {}, true, nullptr, true},
        {"the letter after && is no key", u'd', [](Strona&) {}, false, nullptr, false},
        {"the letter after a single & in the same caption", u'w', [](Strona&) {}, true, "Wstecz", false},
        {"a letter no caption marks", u'x', [](Strona&) {}, false, nullptr, false},
        {"a hidden button", u'u', [](Strona&) {}, false, nullptr, false},
        {"a disabled button", u'o', [](Strona& s) { s.Ok->Enabled = false; }, false, nullptr, false},
        {"a button in a disabled panel", u'o', [](Strona& s) { s.Panel->Enabled = false; }, false, nullptr, false},
    };
    for (const Przypadek& p : przypadki) {
        SCOPED_TRACE(p.opis);
        Uklad t;
        p.przygotuj(*t.s);
        std::string klikniety;
        for (TButton* b : {t.s->Ok, t.s->Ukryty, t.s->Wstecz}) b->OnClick = [&, b] { klikniety = b->Name; };
        int zaznaczenia = 0;
        t.s->Skrot->OnClick = [&] { ++zaznaczenia; };
        EXPECT_EQ(t.s->ZdarzenieKlawiszaDostepu(p.znak), p.uzyty);
        EXPECT_EQ(klikniety, p.klikniety ? p.klikniety : "");
        EXPECT_EQ(t.s->Skrot->Checked(), p.zaznaczony);
        EXPECT_EQ(zaznaczenia, p.zaznaczony ? 1 : 0);
        // A key that acts takes the focus to its control, as a click does.
        if (p.klikniety) {
            EXPECT_EQ(t.s->ActiveControl()->Name, p.klikniety);
        }
        if (p.zaznaczony) {
            EXPECT_EQ(t.s->ActiveControl(), t.s->Skrot);
            EXPECT_EQ(t.zaplecze.Zmiany("Skrot").back(), TZmiana::Zaznaczenie);  // the native box follows
        }
    }
}

TEST(Klawiatura, ArrowsMoveTheChoiceRoundARadioGroup) {
    struct Przypadek {
        int przed;
        TKlawisz klawisz;
        int po;
    };
    const Przypadek przypadki[] = {
        {-1, TKlawisz::Dol, 1}, {0, TKlawisz::Dol, 1},    {1, TKlawisz::Prawo, 0},
        {0, TKlawisz::Gora, 1}, {1, TKlawisz::Lewo, 0},
    };
    for (const Przypadek& p : przypadki) {
        SCOPED_TRACE(p.przed);
        Uklad t;
        t.s->Grupa->ItemIndex = p.przed;
        int klikniecia = 0;
        t.s->Grupa->OnClick = [&] { ++klikniecia; };
        t.s->Grupa->SetFocus();
        EXPECT_TRUE(t.s->ZdarzenieKlawisza(p.klawisz));
        EXPECT_EQ(t.s->Grupa->ItemIndex(), p.po);
        EXPECT_EQ(klikniecia, 1);
    }
    // Elsewhere the arrows are the native control's (a list scrolls).
    Uklad t;
    t.s->Lista->SetFocus();
    EXPECT_FALSE(t.s->ZdarzenieKlawisza(TKlawisz::Dol));
    t.s->Grupa->SetFocus();
    t.s->Grupa->Enabled = false;
    EXPECT_EQ(t.s->ActiveControl(), t.s->Ok);  // the focus left the disabled group
    EXPECT_FALSE(t.s->ZdarzenieKlawisza(TKlawisz::Dol));
    EXPECT_EQ(t.s->Grupa->ItemIndex(), -1);
}

TEST(Klawiatura, TheNativeFocusLandsOnTheFormTheControlLiesOn) {
    Uklad t;
    TForm inna("Inna");
    TPanel* strona = inna.Utworz<TPanel>(nullptr, "StronaInnej");
    TButton* obcy = inna.Utworz<TButton>(strona, "Obcy");
    inna.Realizuj();
    strona->SetParent(t.s.get());
    const struct {
        TControl* kontrolka;
        TControl* aktywna;
    } przypadki[] = {
        {t.s->Ok, t.s->Ok}, {t.s->Etykieta, nullptr}, {t.s->Lista, t.s->Lista},
        {t.s.get(), nullptr}, {obcy, obcy},           {t.s->Panel, nullptr},
    };
    for (const auto& p : przypadki) {
        SCOPED_TRACE(p.kontrolka->Name);
        t.s->ActiveControl = t.s->Wstecz;
        p.kontrolka->ZdarzenieOtrzymaniaFokusu();
        EXPECT_EQ(t.s->ActiveControl(), p.aktywna);
        EXPECT_EQ(inna.ActiveControl(), nullptr);
    }
    strona->SetParent(&inna);
}

TEST(Klawiatura, EveryOtherWindowBelongsToTheMainOne) {
    Uklad t;
    TForm glowna("Glowna"), notka("Notka");
    glowna.Glowna = true;
    EXPECT_EQ(notka.WlascicielOkna(), nullptr);  // no main window yet
    t.aplikacja.MainForm = &glowna;
    EXPECT_EQ(glowna.WlascicielOkna(), nullptr);
    EXPECT_EQ(notka.WlascicielOkna(), &glowna);
    EXPECT_EQ(t.s->WlascicielOkna(), &glowna);
    t.aplikacja.MainForm = nullptr;
}

TEST(Klawiatura, TheWindowsShapeFollowsItsSizeAndItsCorners) {
    Uklad t;
    auto ksztalty = [&] {
        std::vector<std::u16string> w;
        for (const auto& wpis : t.zaplecze.dziennik)
            if (wpis.rodzaj == Rodzaj::Ksztalt && wpis.nazwa == "Strona") w.push_back(wpis.tekst);
        return w;
    };
    t.s->SetBounds(10, 10, 300, 200);
    EXPECT_TRUE(ksztalty().empty());  // no corners: the window is not clipped
    t.s->Zaokraglenie = TRozmiar{20, 20};
    t.s->SetBounds(50, 60, 300, 200);  // moved only
    t.s->SetBounds(50, 60, 300, 150);
    EXPECT_EQ(ksztalty(), (std::vector<std::u16string>{u"300x200/20x20", u"300x150/20x20"}));
}

TEST(Klawiatura, TheSaveDialogStartsAtABareDrivesRoot) {
    const struct {
        std::u16string folder, dialogu;
    } przypadki[] = {{u"C:", u"C:\\"}, {u"d:", u"d:\\"}, {u"D:\\Dane", u"D:\\Dane"}, {u"", u""}, {u"C:x", u"C:x"}};
    for (const auto& p : przypadki) {
        Uklad t;
        TSaveDialog dialog(*t.s);
        dialog.InitialDir = p.folder;
        EXPECT_FALSE(dialog.Execute());
        ASSERT_EQ(t.zaplecze.pytaniaZapisu.size(), 1u);
        EXPECT_EQ(t.zaplecze.pytaniaZapisu[0].folderPoczatkowy, p.dialogu);
    }
}

TEST(Klawiatura, ADesignRowThatSetsAFieldItsKindHasNotIsRefused) {
    struct Przypadek {
        const char* opis;
        std::function<void(TForm&)> utworz;
        bool odrzucony;
    };
    const Przypadek przypadki[] = {
        {"a glyph on a label", [](TForm& f) { Kontrolka<TLabel>(f, nullptr, "A", {.glif = TGlif::Zatwierdzenie}); },
         true},
        {"a check on a button", [](TForm& f) { Kontrolka<TButton>(f, nullptr, "B", {.zaznaczony = true}); }, true},
        {"items on an edit", [](TForm& f) { Kontrolka<TEdit>(f, nullptr, "C", {.elementy = {u"x"}}); }, true},
        {"a picture on a panel", [](TForm& f) { Kontrolka<TPanel>(f, nullptr, "D", {.obraz = u"a.jpg"}); }, true},
        {"word wrap on a check box", [](TForm& f) { Kontrolka<TCheckBox>(f, nullptr, "E", {.zawijanie = true}); },
         true},
        {"the fields of its kind", [](TForm& f) {
             Kontrolka<TLabel>(f, nullptr, "F", {.napis = u"x", .zawijanie = true, .przezroczysta = false});
             Kontrolka<TButton>(f, nullptr, "G", {.napis = u"&Ok", .glif = TGlif::Zatwierdzenie, .domyslny = true});
             Kontrolka<TEdit>(f, nullptr, "H", {.napis = u"C:", .tylkoDoOdczytu = true});
         },
         false},
    };
    for (const Przypadek& p : przypadki) {
        SCOPED_TRACE(p.opis);
        AplikacjaTestowa a;
        TForm f("F");
        if (p.odrzucony)
            EXPECT_THROW(p.utworz(f), std::logic_error);
        else
            EXPECT_NO_THROW(p.utworz(f));
    }
}

}  // namespace

namespace {

// A page with a view that can be laid over part of it, as the completion
// view lies over the installation page.
struct Zakrywana : TForm {
    TButton* Pierwszy;
    TCheckBox* Pole;
    TEdit* Edit;
    TButton* Ostatni;
    TPanel* Nakrywka;
    Zakrywana() : TForm("Zakrywana") {
        SetBounds(0, 0, 400, 300);
        Pierwszy = Utworz<TButton>(this, "Pierwszy");
        Pierwszy->SetBounds(10, 10, 80, 25);
        Pole = Utworz<TCheckBox>(this, "Pole");
        Pole->SetBounds(10, 100, 150, 20);
        Pole->Caption = u"Skrót na &Pulpicie";
        Edit = Utworz<TEdit>(this, "Edit");
        Edit->SetBounds(10, 130, 150, 22);
        Ostatni = Utworz<TButton>(this, "Ostatni");
        Ostatni->SetBounds(300, 260, 80, 25);
        Ostatni->Caption = u"&Zamknij";
        Nakrywka = Utworz<TPanel>(this, "Nakrywka");
        Nakrywka->SetBounds(0, 90, 400, 100);  // over the box and the edit, whole
        Nakrywka->Visible = false;
        Realizuj();
    }
};

struct UkladZakrywany : AplikacjaTestowa {
    std::unique_ptr<Zakrywana> f = std::make_unique<Zakrywana>();
    UkladZakrywany() { PokazINamaluj(*f); }
    ~UkladZakrywany() { f.reset(); }
    std::vector<std::string> Stopy() const {
        std::vector<std::string> w;
        for (const TControl* k : f->KolejnoscTabulacji()) w.push_back(k->Name);
        return w;
    }
};

TEST(Klawiatura, AControlCoveredByAShownViewIsNoTabStop) {
    UkladZakrywany t;
    EXPECT_EQ(t.Stopy(), (std::vector<std::string>{"Pierwszy", "Pole", "Edit", "Ostatni"}));
    t.f->Nakrywka->Visible = true;
    EXPECT_EQ(t.Stopy(), (std::vector<std::string>{"Pierwszy", "Ostatni"}));
    // Covering part of a control only does not hide it.
    t.f->Nakrywka->SetBounds(0, 95, 400, 30);
    EXPECT_EQ(t.Stopy(), (std::vector<std::string>{"Pierwszy", "Edit", "Ostatni"}));
    t.f->Nakrywka->Visible = false;
    EXPECT_EQ(t.Stopy(), (std::vector<std::string>{"Pierwszy", "Pole", "Edit", "Ostatni"}));
}

TEST(Klawiatura, TheFocusLeavesAControlThatCanNoLongerHoldIt) {
    struct Przypadek {
        const char* opis;
        const char* fokus;
        std::function<void(Zakrywana&)> zmiana;
        const char* potem;  // null: the form itself
    };
    const Przypadek przypadki[] = {
        {"disabled: to the next stop", "Pole", [](Zakrywana& f) { f.Pole->Enabled = false; }, "Edit"},
        {"hidden: to the next stop", "Edit", [](Zakrywana& f) { f.Edit->Visible = false; }, "Ostatni"},
        {"the last one: round to the first", "Ostatni", [](Zakrywana& f) { f.Ostatni->Enabled = false; }, "Pierwszy"},
        {"covered: past what is covered with it", "Pole", [](Zakrywana& f) { f.Nakrywka->Visible = true; },
         "Ostatni"},
        {"none left: the form itself", "Pierwszy",
         [](Zakrywana& f) {
             for (TControl* k : std::initializer_list<TControl*>{f.Pole, f.Edit, f.Ostatni}) k->Enabled = false;
             f.Pierwszy->Enabled = false;
         },
         nullptr},
        {"another control disabled: the focus stays", "Edit", [](Zakrywana& f) { f.Pole->Enabled = false; }, "Edit"},
        {"the window hidden: the focus is kept for its return", "Edit", [](Zakrywana& f) { f.Hide(); }, "Edit"},
    };
    for (const Przypadek& p : przypadki) {
        SCOPED_TRACE(p.opis);
        UkladZakrywany t;
        static_cast<TControl*>(t.f->Znajdz(p.fokus))->SetFocus();
        auto fokusy = [&] {
            const auto z = t.zaplecze.Zmiany("Zakrywana");
            return std::count(z.begin(), z.end(), TZmiana::Fokus);
        };
        const auto przed = fokusy();
        p.zmiana(*t.f);
        EXPECT_EQ(t.f->ActiveControl() ? t.f->ActiveControl()->Name : "-", p.potem ? p.potem : "-");
        // The view is told where the focus went, once.
        const bool przeniesiony = !p.potem || std::string(p.potem) != p.fokus;
        EXPECT_EQ(fokusy(), przed + (przeniesiony ? 1 : 0));
    }
    // With the focus on the form itself, the next Tab still finds the first stop.
    UkladZakrywany t;
    t.f->Pierwszy->SetFocus();
    t.f->Pierwszy->Enabled = false;
    t.f->Pole->Enabled = false;
    t.f->Edit->Enabled = false;
    t.f->Ostatni->Enabled = false;
    EXPECT_EQ(t.f->ActiveControl(), nullptr);
    t.f->Ostatni->Enabled = true;
    t.f->ZdarzenieKlawisza(TKlawisz::Tab);
    EXPECT_EQ(t.f->ActiveControl(), t.f->Ostatni);
}

TEST(Klawiatura, AnAccessKeyWantsTheLeftAltAloneAndAControlThatCanBeSeen) {
    struct Przypadek {
        const char* opis;
        TModyfikatory mod;
        bool nakryte;
        char16_t znak;
        bool uzyty;
    };
    const Przypadek przypadki[] = {
        {"left Alt", {.lewyAlt = true}, false, u'z', true},
        {"AltGr as Ctrl with Alt types a letter", {.lewyAlt = true, .ctrl = true}, false, u'z', false},
        {"the right Alt", {.prawyAlt = true}, false, u'z', false},
        {"both Alts", {.lewyAlt = true, .prawyAlt = true}, false, u'z', false},
        {"no Alt", {}, false, u'z', false},
        {"a covered box", {.lewyAlt = true}, true, u'p', false},
        {"a box that can be seen", {.lewyAlt = true}, false, u'p', true},
    };
    for (const Przypadek& p : przypadki) {
        SCOPED_TRACE(p.opis);
        UkladZakrywany t;
        t.f->Nakrywka->Visible = p.nakryte;
        int klikniecia = 0;
        t.f->Ostatni->OnClick = [&] { ++klikniecia; };
        t.f->Pole->OnClick = [&] { ++klikniecia; };
        EXPECT_EQ(t.f->ZdarzenieKlawiszaDostepu(p.znak, p.mod), p.uzyty);
        EXPECT_EQ(klikniecia, p.uzyty ? 1 : 0);
    }
}

}  // namespace
