// The control model's own rules, over the recording backend: when handlers
// run, what a view is told, the timer's first tick, modal forms, the keys
// that no control takes, ownership and the top-level error display.
#include <gtest/gtest.h>

#include <stdexcept>

#include "AtrapyUi.h"
#include "Kontrolki.h"
#include "platform/Blad.h"
#include "platform/Tekst.h"

namespace {

using Rodzaj = WpisZaplecza::Rodzaj;

struct Okno : TForm {
    TPanel* Panel = nullptr;
    TEdit* Edit = nullptr;
    TRadioGroup* Grupa = nullptr;
    TButton* Ok = nullptr;
    TButton* Anuluj = nullptr;
    TButton* Inny = nullptr;
    TTimer* Zegar = nullptr;

    Okno() : TForm("Okno") {
        Panel = Utworz<TPanel>(this, "Panel");
        Edit = Utworz<TEdit>(Panel, "Edit");
        Grupa = Utworz<TRadioGroup>(Panel, "Grupa");
        Grupa->Items = {u"a", u"b"};
        Ok = Utworz<TButton>(Panel, "Ok");
        Ok->Default = true;
        Anuluj = Utworz<TButton>(Panel, "Anuluj");
        Anuluj->Cancel = true;
        Inny = Utworz<TButton>(Panel, "Inny");
        Zegar = UtworzSkladnik<TTimer>("Zegar");
        Realizuj();
    }
};

struct Model : AplikacjaTestowa {
    std::unique_ptr<Okno> okno = std::make_unique<Okno>();
    ~Model() { okno.reset(); }
};

TEST(Kontrolki, OnChangeRunsOnlyOnARealChangeOfTheText) {
    Model m;
    int zmiany = 0;
    m.okno->Edit->OnChange = [&] { ++zmiany; };
    m.okno->Edit->Text = u"C:";
    m.okno->Edit->Text = u"C:";
    EXPECT_EQ(zmiany, 1);
    m.okno->Edit->Text = u"c:";
    m.okno->Edit->Text = u"";
    EXPECT_EQ(zmiany, 3);
    // The view is told of each real change, and of nothing else.
    EXPECT_EQ(m.zaplecze.Zmiany("Edit"), (std::vector<TZmiana>(3, TZmiana::Tekst)));
}

TEST(Kontrolki, TextTheUserTypesRunsOnChangeWhenTheEditTakesIt) {
    struct Przypadek {
        const char* opis;
        bool wlaczone, tylkoDoOdczytu;
        std::u16string wpisany;
        std::u16string po;
        int zmian;
    };
    const Przypadek przypadki[] = {
        {"an editable edit", true, false, u"D:", u"D:", 1},
        {"the text it has", true, false, u"C:", u"C:", 0},
        {"a read-only edit", true, true, u"D:", u"C:", 0},
        {"a disabled edit", false, false, u"D:", u"C:", 0},
    };
    for (const Przypadek& p : przypadki) {
        SCOPED_TRACE(p.opis);
        Model m;
        PokazINamaluj(*m.okno);
        TEdit& e = *m.okno->Edit;
        e.Text = u"C:";
        e.ReadOnly = p.tylkoDoOdczytu;
        e.Enabled = p.wlaczone;
        int zmiany = 0;
        e.OnChange = [&] { ++zmiany; };
        const std::size_t przed = m.zaplecze.Zmiany("Edit").size();
        e.ZdarzenieZmianyTekstu(p.wpisany);
        EXPECT_EQ(e.Text(), p.po);
        EXPECT_EQ(zmiany, p.zmian);
        // A refused text is told to the view, which shows the model's again.
        const auto zmianyWidoku = m.zaplecze.Zmiany("Edit");
        EXPECT_EQ(zmianyWidoku.size(), przed + (p.po != p.wpisany ? 1 : 0));
    }
}

// The items of a radio group lie where the classic designer arranges them.
TEST(Kontrolki, TheItemsOfARadioGroup) {
    struct Przypadek {
        const char* opis;
        TProstokat grupa;
        std::vector<std::u16string> elementy;
        int kolumny;
        std::vector<TProstokat> miejsca;
    };
    const Przypadek przypadki[] = {
        // The licence choice: 56 pixels below the caption for two rows.
        {"two rows", {8, 246, 122, 76}, {u"Akceptuję", u"Nie akceptuję"}, 1, {{8, 16, 112, 28}, {8, 44, 112, 28}}},
        // What the rows do not share evenly goes half above them: 62 pixels
        // for three rows of 20 leave 2, one of them above.
        {"a height that does not share evenly", {0, 0, 122, 82}, {u"a", u"b", u"c"}, 1,
         {{8, 17, 112, 20}, {8, 37, 112, 20}, {8, 57, 112, 20}}},
        {"two columns", {522, 81, 185, 50}, {u"32-bit", u"64-bit"}, 2, {{8, 16, 87, 30}, {95, 16, 87, 30}}},
        {"columns filled top to bottom", {0, 0, 210, 65}, {u"a", u"b", u"c"}, 2,
         {{8, 16, 100, 22}, {8, 38, 100, 22}, {108, 16, 100, 22}}},
    };
    for (const Przypadek& p : przypadki) {
        SCOPED_TRACE(p.opis);
        Model m;
        TRadioGroup& g = *m.okno->Grupa;
        g.SetBounds(p.grupa.Left, p.grupa.Top, p.grupa.Width, p.grupa.Height);
        g.Columns = p.kolumny;
        g.Items = p.elementy;
        for (std::size_t i = 0; i < p.miejsca.size(); ++i)
            EXPECT_EQ(g.MiejsceElementu(static_cast<int>(i), 15), p.miejsca[i]) << i;
        EXPECT_EQ(g.MiejsceElementu(static_cast<int>(p.miejsca.size()), 15), TProstokat{});
        EXPECT_EQ(g.MiejsceElementu(-1, 15), TProstokat{});
    }
}

TEST(Kontrolki, ARadioGroupClicksWhenTheSelectionChangesToAnItem) {
    struct Przypadek {
        const char* opis;
        int przed;
        int wybor;
        bool uzytkownik;   // the user's choice, not code
        bool wlaczona;
        int po;
        int klikniec;
    };
    const Przypadek przypadki[] = {
        {"code selects an item", -1, 0, false, true, 0, 1},
        {"code selects another item", 0, 1, false, true, 1, 1},
        {"code selects the selected item", 1, 1, false, true, 1, 0},
        {"code selects no item", 1, -1, false, true, -1, 0},
        {"code selects past the items", 0, 2, false, true, -1, 0},
        {"code selects while disabled", -1, 1, false, false, 1, 1},
        {"the user chooses an item", -1, 1, true, true, 1, 1},
        {"the user chooses the selected item", 1, 1, true, true, 1, 0},
        {"the user chooses while disabled", -1, 0, true, false, -1, 0},
    };
    for (const Przypadek& p : przypadki) {
        SCOPED_TRACE(p.opis);
        Model m;
        PokazINamaluj(*m.okno);
        TRadioGroup& g = *m.okno->Grupa;
        g.ItemIndex = p.przed;
        g.Enabled = p.wlaczona;
        int klikniecia = 0;
        g.OnClick = [&] { ++klikniecia; };
        const std::size_t zmianPrzed = m.zaplecze.Zmiany("Grupa").size();
        if (p.uzytkownik)
            g.ZdarzenieWyboru(p.wybor);
        else
            g.ItemIndex = p.wybor;
        EXPECT_EQ(g.ItemIndex(), p.po);
        EXPECT_EQ(klikniecia, p.klikniec);
        // A refused choice is told to the view, so that the native group
        // shows the model's selection again.
        if (p.uzytkownik && !p.wlaczona) {
            EXPECT_EQ(m.zaplecze.Zmiany("Grupa").size(), zmianPrzed + 1);
            EXPECT_EQ(m.zaplecze.Zmiany("Grupa").back(), TZmiana::Wybor);
        }
    }
}

TEST(Kontrolki, AHintIsShownExactlyWhileEnabled) {
    Model m;
    TButton& b = *m.okno->Inny;
    b.Hint = u"Instalacja programu";
    EXPECT_EQ(b.PokazywanaPodpowiedz(), u"Instalacja programu");
    const std::size_t przed = m.zaplecze.Zmiany("Inny").size();
    b.Enabled = false;
    EXPECT_EQ(b.PokazywanaPodpowiedz(), u"");
    b.Hint = u"Uruchomienie programu";
    EXPECT_EQ(b.PokazywanaPodpowiedz(), u"");
    b.Enabled = true;
    EXPECT_EQ(b.PokazywanaPodpowiedz(), u"Uruchomienie programu");
    // Every change of the enabled state tells the view to show the hint anew.
    const auto zmiany = m.zaplecze.Zmiany("Inny");
    EXPECT_EQ(std::vector<TZmiana>(zmiany.begin() + static_cast<long>(przed), zmiany.end()),
              (std::vector<TZmiana>{TZmiana::Dostepnosc, TZmiana::Podpowiedz, TZmiana::Podpowiedz,
                                    TZmiana::Dostepnosc, TZmiana::Podpowiedz}));
}

TEST(Kontrolki, TimerTicksAreDroppedUntilTheFormHasBeenShownAndPainted) {
    Model m;
    Okno& o = *m.okno;
    int tykniecia = 0;
    o.Zegar->OnTimer = [&] { ++tykniecia; };
    o.Zegar->ZdarzenieTykniecia();  // made, not shown
    o.ZdarzenieMalowania();         // a paint while hidden does not count
    o.Zegar->ZdarzenieTykniecia();
    o.Show();
    o.Zegar->ZdarzenieTykniecia();  // shown, not painted yet
    EXPECT_EQ(tykniecia, 0);
    o.ZdarzenieMalowania();
    o.Zegar->ZdarzenieTykniecia();
    EXPECT_EQ(tykniecia, 1);
    o.Zegar->Enabled = false;
    o.Zegar->ZdarzenieTykniecia();
    EXPECT_EQ(tykniecia, 1);
}

TEST(Kontrolki, AModalFormRunsItsLoopUntilItCloses) {
    Model m;
    Okno& o = *m.okno;
    int zamkniecia = 0;
    o.OnClose = [&] { ++zamkniecia; };
    bool widocznaWPetli = false;
    bool modalnaWPetli = false;
    m.zaplecze.przyPetliModalnej = [&](TForm& f) {
        widocznaWPetli = f.Visible;
        modalnaWPetli = f.Modalna();
        f.ZdarzenieZamkniecia();  // the user closes the window
    };
    EXPECT_EQ(o.ShowModal(), mrCancel);
    EXPECT_TRUE(widocznaWPetli);
    EXPECT_TRUE(modalnaWPetli);
    EXPECT_EQ(zamkniecia, 1);
    EXPECT_FALSE(o.Visible);
    EXPECT_FALSE(o.Modalna());
    EXPECT_EQ(m.zaplecze.Ile(Rodzaj::PetlaModalna, "Okno"), 1u);

    // A close refused by OnCloseQuery leaves the loop waiting; a ModalResult
    // set by a handler ends it with that result.
    o.OnCloseQuery = [](bool& mozna) { mozna = false; };
    m.zaplecze.przyPetliModalnej = [&](TForm& f) {
        f.ZdarzenieZamkniecia();
        EXPECT_EQ(f.ModalResult(), mrNone);
        f.ModalResult = mrOk;
    };
    EXPECT_EQ(o.ShowModal(), mrOk);
    EXPECT_EQ(zamkniecia, 2);
}

TEST(Kontrolki, EnterAndEscapeClickTheButtonsLyingOnTheWindow) {
    struct Przypadek {
        const char* opis;
        TKlawisz klawisz;
        const char* fokus;  // the focused control, or none
        const char* wylaczony;
        const char* klikniety;
    };
    const Przypadek przypadki[] = {
        {"Enter clicks the default button", TKlawisz::Enter, nullptr, nullptr, "Ok"},
        {"Enter clicks the focused button first", TKlawisz::Enter, "Inny", nullptr, "Inny"},
        {"Enter on an edit clicks the default button", TKlawisz::Enter, "Edit", nullptr, "Ok"},
        {"Escape clicks the cancel button", TKlawisz::Escape, "Inny", nullptr, "Anuluj"},
        {"a disabled default button is not clicked", TKlawisz::Enter, nullptr, "Ok", nullptr},
        {"a disabled cancel button is not clicked", TKlawisz::Escape, nullptr, "Anuluj", nullptr},
    };
    for (const Przypadek& p : przypadki) {
        SCOPED_TRACE(p.opis);
        Model m;
        Okno& o = *m.okno;
        PokazINamaluj(o);
        std::string klikniety;
        for (TButton* b : {o.Ok, o.Anuluj, o.Inny}) b->OnClick = [&, b] { klikniety = b->Name; };
        if (p.fokus) static_cast<TControl*>(o.Znajdz(p.fokus))->SetFocus();
        if (p.wylaczony) static_cast<TControl*>(o.Znajdz(p.wylaczony))->Enabled = false;
        o.ZdarzenieKlawisza(p.klawisz);
        EXPECT_EQ(klikniety, p.klikniety ? p.klikniety : "");
    }
}

// A panel owned by one form and moved onto another, as the installation page
// lies on the main window.
TEST(Kontrolki, AControlOfAnotherFormTakesTheFocusAndTheKeysOfTheWindowItLiesOn) {
    Model m;
    TForm wlasciciel("Wlasciciel");
    TPanel* strona = wlasciciel.Utworz<TPanel>(nullptr, "Strona");
    TButton* przycisk = wlasciciel.Utworz<TButton>(strona, "Przycisk");
    przycisk->Default = true;
    wlasciciel.Realizuj();
    strona->SetParent(m.okno.get());
    m.okno->Ok->Default = false;

    przycisk->SetFocus();
    EXPECT_EQ(m.okno->ActiveControl(), przycisk);
    EXPECT_EQ(wlasciciel.ActiveControl(), nullptr);
    EXPECT_TRUE(przycisk->Focused());
    int klikniecia = 0;
    przycisk->OnClick = [&] { ++klikniecia; };
    PokazINamaluj(*m.okno);
    m.okno->ActiveControl = nullptr;
    m.okno->ZdarzenieKlawisza(TKlawisz::Enter);
    EXPECT_EQ(klikniecia, 1);
    strona->SetParent(&wlasciciel);
}

TEST(Kontrolki, AForeignChildIsOrphanedWhenItsParentsFormGoes) {
    AplikacjaTestowa a;
    auto wlasciciel = std::make_unique<TForm>("Wlasciciel");
    TPanel* strona = wlasciciel->Utworz<TPanel>(nullptr, "Strona");
    TButton* przycisk = wlasciciel->Utworz<TButton>(strona, "Przycisk");
    wlasciciel->Realizuj();
    auto glowne = std::make_unique<TForm>("Glowne");
    glowne->Realizuj();
    strona->SetParent(glowne.get());
    przycisk->SetFocus();

    glowne.reset();
    // The page lost its parent before the window's view went, so that its
    // native control left the window first; it lives on with its owner.
    EXPECT_EQ(strona->Parent(), nullptr);
    const auto& d = a.zaplecze.dziennik;
    auto gdzie = [&](Rodzaj r, const std::string& nazwa, TZmiana z = TZmiana::Miejsce) {
        for (std::size_t i = 0; i < d.size(); ++i)
            if (d[i].rodzaj == r && d[i].nazwa == nazwa && (r != Rodzaj::Zmiana || d[i].zmiana == z)) return i;
        return d.size();
    };
    EXPECT_LT(gdzie(Rodzaj::Zmiana, "Strona", TZmiana::Rodzic), gdzie(Rodzaj::KoniecWidoku, "Glowne"));
    EXPECT_TRUE(a.zaplecze.MaWidok(*przycisk));
    wlasciciel.reset();  // and goes with it, without touching the window
    EXPECT_LT(gdzie(Rodzaj::KoniecWidoku, "Przycisk"), gdzie(Rodzaj::KoniecWidoku, "Strona"));
}

TEST(Kontrolki, AControlThatGoesIsNoLongerItsFormsActiveControl) {
    Model m;
    auto wlasciciel = std::make_unique<TForm>("Wlasciciel");
    TButton* przycisk = wlasciciel->Utworz<TButton>(nullptr, "Przycisk");
    wlasciciel->Realizuj();
    przycisk->SetParent(m.okno->Panel);
    przycisk->SetFocus();
    ASSERT_EQ(m.okno->ActiveControl(), przycisk);
    wlasciciel.reset();  // the button goes with its owner
    EXPECT_EQ(m.okno->ActiveControl(), nullptr);
}

TEST(Kontrolki, ALabelTakesTheSizeOfItsText) {
    Model m;
    TLabel* l = m.okno->Utworz<TLabel>(m.okno->Panel, "Etykieta");
    l->Font = TFont{u"MS Sans Serif", 17};
    l->Caption = u"Tekst";  // 5 characters of 8 pixels, one 20-pixel line
    EXPECT_EQ((TRozmiar{l->Width, l->Height}), (TRozmiar{40, 20}));
    l->WordWrap = true;
    l->Width = 465;
    l->Caption = u"a\r\nb\rc\n\nd";
    EXPECT_EQ((TRozmiar{l->Width, l->Height}), (TRozmiar{465, 100}));
    l->Caption = u"";
    EXPECT_EQ(l->Height(), 20);  // at least one line
    l->AutoSize = false;
    l->Caption = u"x\ny";
    EXPECT_EQ(l->Height(), 20);
}

TEST(Kontrolki, AListTellsItsViewWhichItemChanged) {
    Model m;
    TListBox* lista = m.okno->Utworz<TListBox>(m.okno->Panel, "Lista");
    lista->SetBounds(0, 0, 100, 64);  // 4 items of 16 pixels in view
    lista->Items.Add(u"a");
    lista->Items.Add(u"b");
    lista->Items.Set(0, u"A");
    lista->Items.Set(0, u"A");
    const auto& d = m.zaplecze.dziennik;
    std::vector<std::pair<TZmiana, int>> zmiany;
    for (const auto& w : d)
        if (w.rodzaj == Rodzaj::Zmiana && w.nazwa == "Lista" && w.zmiana != TZmiana::Miejsce)
            zmiany.emplace_back(w.zmiana, w.indeks);
    EXPECT_EQ(zmiany, (std::vector<std::pair<TZmiana, int>>{
                          {TZmiana::ElementDodany, 0}, {TZmiana::ElementDodany, 1}, {TZmiana::ElementZmieniony, 0}}));
    for (int i = 0; i < 8; ++i) lista->Items.Add(u"x");
    // The view cannot scroll past the last item at the bottom.
    lista->TopIndex = 9;
    EXPECT_EQ(lista->TopIndex(), 6);
    lista->TopIndex = -3;
    EXPECT_EQ(lista->TopIndex(), 0);
    lista->ItemIndex = 10;
    EXPECT_EQ(lista->ItemIndex(), -1);
    lista->ItemIndex = 9;
    EXPECT_EQ(lista->ItemIndex(), 9);
    lista->Items.Clear();
    EXPECT_EQ(lista->ItemIndex(), -1);
    EXPECT_EQ(lista->Items.Count(), 0);
}

TEST(Kontrolki, AProgressBarKeepsItsPositionWithinItsRange) {
    Model m;
    TProgressBar* p = m.okno->Utworz<TProgressBar>(m.okno->Panel, "Pasek");
    p->Max = 200;
    p->Position = 150;
    EXPECT_EQ(p->Position(), 150);
    p->Position = 500;
    EXPECT_EQ(p->Position(), 200);
    p->Max = 100;
    EXPECT_EQ(p->Position(), 100);
    p->Position = -1;
    EXPECT_EQ(p->Position(), 0);
}

TEST(Kontrolki, ACheckBoxRefusesTheUserWhileDisabled) {
    Model m;
    PokazINamaluj(*m.okno);
    TCheckBox* cb = m.okno->Utworz<TCheckBox>(m.okno->Panel, "CB");
    cb->Checked = true;
    int klikniecia = 0;
    cb->OnClick = [&] { ++klikniecia; };
    cb->ZdarzenieZaznaczenia(false);
    EXPECT_FALSE(cb->Checked());
    cb->Enabled = false;
    cb->ZdarzenieZaznaczenia(true);
    EXPECT_FALSE(cb->Checked());
    EXPECT_EQ(klikniecia, 1);
    EXPECT_EQ(m.zaplecze.Zmiany("CB").back(), TZmiana::Zaznaczenie);  // the native box is set back
}

TEST(Kontrolki, AFormPlacedAtTheScreensCentreIsCentredWhenFirstShown) {
    Model m;
    Okno& o = *m.okno;
    o.Position = TPozycjaFormy::poScreenCenter;
    o.SetBounds(0, 0, 731, 360);
    bool widocznaWOnShow = true;
    o.OnShow = [&] { widocznaWOnShow = o.Visible; };
    o.Show();
    EXPECT_FALSE(widocznaWOnShow);  // OnShow may still lay the form out
    EXPECT_EQ((TProstokat{o.Left, o.Top, o.Width, o.Height}), (TProstokat{274, 220, 731, 360}));
    o.Hide();
    o.ZdarzeniePrzesuniecia(10, 20);  // dragged by the user
    o.Show();
    EXPECT_EQ((TProstokat{o.Left, o.Top, o.Width, o.Height}), (TProstokat{10, 20, 731, 360}));
}

TEST(Kontrolki, ClosingTheMainWindowEndsTheApplication) {
    Model m;
    Okno& o = *m.okno;
    o.Glowna = true;
    PokazINamaluj(o);
    bool mozna = false;
    o.OnCloseQuery = [&](bool& zgoda) { zgoda = mozna; };
    o.ZdarzenieZamkniecia();
    EXPECT_TRUE(o.Visible);
    EXPECT_FALSE(m.zaplecze.zakonczona);
    mozna = true;
    o.ZdarzenieZamkniecia();
    EXPECT_FALSE(o.Visible);
    EXPECT_TRUE(m.zaplecze.zakonczona);
}

TEST(Kontrolki, AnErrorInAHandlerIsShownAndTheInstallerKeepsRunning) {
    struct Przypadek {
        const char* opis;
        int rodzaj;  // 0 std::exception, 1 the platform's error, 2 anything else
        std::u16string tekst;
    };
    const Przypadek przypadki[] = {
        {"std::runtime_error", 0, u"Nie można utworzyć obiektu skrótu"},
        {"the platform's error", 1, u"Błąd systemu: żółć"},
        {"an error without a text", 2, u"Nieoczekiwany błąd."},
    };
    for (const Przypadek& p : przypadki) {
        SCOPED_TRACE(p.opis);
        Model m;
        TButton& b = *m.okno->Inny;
        int wywolania = 0;
        bool poBledzie = false;
        b.OnClick = [&] {
            if (++wywolania == 1) {
                if (p.rodzaj == 1) throw platforma::BladPlatformy(p.tekst);
                if (p.rodzaj == 2) throw 42;
                throw std::runtime_error(platforma::Utf8(p.tekst));
            }
            poBledzie = true;
        };
        PokazINamaluj(*m.okno);
        b.ZdarzenieKlikniecia();
        ASSERT_EQ(m.zaplecze.bledy.size(), 1u);
        EXPECT_EQ(m.zaplecze.bledy[0], (std::pair<std::u16string, std::u16string>{u"Instalator", p.tekst}));
        EXPECT_FALSE(poBledzie);  // the handler stopped where the error was raised
        b.ZdarzenieKlikniecia();
        EXPECT_TRUE(poBledzie);
        EXPECT_EQ(m.zaplecze.bledy.size(), 1u);
    }
}

TEST(Kontrolki, AnErrorInATimersHandlerIsShown) {
    Model m;
    PokazINamaluj(*m.okno);
    m.okno->Zegar->OnTimer = [] { throw std::runtime_error("Przerwano"); };
    m.okno->Zegar->ZdarzenieTykniecia();
    ASSERT_EQ(m.zaplecze.bledy.size(), 1u);
    EXPECT_EQ(m.zaplecze.bledy[0].second, u"Przerwano");
}

TEST(Kontrolki, TheApplicationTitleComesFromTheProgramsFileName) {
    const std::pair<std::u16string, std::u16string> przypadki[] = {
        {u"/opt/kv/bin/instalator", u"Instalator"},
        {u"C:\\Setup\\INSTALATOR.EXE", u"Instalator"},
        {u"/tmp/my.setup.exe", u"My"},
        {u"D:\\kAVROSTEL_X.exe", u"Kavrostel_x"},
        {u"/x/żuraw.exe", u"Żuraw"},
        {u"/opt/kv.8/instalator", u"Instalator"},
        {u"", u""},
    };
    for (const auto& [sciezka, tytul] : przypadki) EXPECT_EQ(TytulAplikacji(sciezka), tytul);
}

}  // namespace
