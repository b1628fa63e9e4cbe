// The main window: its design, the state and the install context after
// creation, the window drag, the web link and the close button.
#include <gtest/gtest.h>

#include <map>
#include <memory>

#include "ArkMain.h"
#include "AtrapyUi.h"
#include "Instal.h"

namespace {

using Rodzaj = WpisZaplecza::Rodzaj;

struct Glowne : AplikacjaTestowa, AtrapyUslug {
    std::unique_ptr<TFormMain> forma;
    Glowne() { forma = std::make_unique<TFormMain>(uslugi); }
    ~Glowne() { forma.reset(); }
    TControl& K(const char* nazwa) { return *static_cast<TControl*>(forma->Znajdz(nazwa)); }
};

TEST(OknoGlowne, TheWindowAsDesigned) {
    Glowne g;
    TFormMain& f = *g.forma;
    EXPECT_EQ(FormMain, &f);
    EXPECT_EQ(Application->MainForm, &f);
    EXPECT_TRUE(f.Glowna);
    EXPECT_EQ((TRozmiar{f.Width, f.Height}), (TRozmiar{730, 360}));
    EXPECT_EQ((TRozmiar{f.ClientWidth(), f.ClientHeight()}), (TRozmiar{730, 360}));
    EXPECT_EQ(f.Caption(), u"Warunki licencji");
    EXPECT_EQ(f.Color(), clBtnFace);
    EXPECT_EQ(f.Font().Name, u"MS Sans Serif");
    EXPECT_EQ(f.Font().Height, 13);
    EXPECT_EQ(f.Position(), TPozycjaFormy::poScreenCenter);
    EXPECT_FALSE(f.Visible);
    EXPECT_TRUE(f.Timer1->Enabled);
    EXPECT_EQ(f.Timer1->Interval(), 100);
    // Corners rounded by 40 x 40 ellipses over the design size, at creation.
    ASSERT_EQ(g.zaplecze.Ile(Rodzaj::Ksztalt, "FormMain"), 1u);
    for (const auto& w : g.zaplecze.dziennik) {
        if (w.rodzaj == Rodzaj::Ksztalt) {
            EXPECT_EQ(w.tekst, u"730x360/40x40");
        }
    }
}

TEST(OknoGlowne, EveryControlInItsPlace) {
    struct Wiersz {
        const char* nazwa;
        const char* rodzic;
        TProstokat miejsce;  // width 0: sized by its text
    };
    const Wiersz tabela[] = {
        {"PanelInfo", "FormMain", {0, 0, 730, 30}},     {"Image9", "PanelInfo", {0, 0, 730, 30}},
        {"LabelInfo", "PanelInfo", {31, 4}},            {"Image6", "FormMain", {0, 30, 730, 330}},
        {"PanelLic", "FormMain", {0, 32, 730, 330}},    {"PanelKoniec", "FormMain", {0, 32, 730, 288}},
        {"LabelKoniec", "PanelKoniec", {227, 199}},     {"Image7", "PanelKoniec", {218, 81, 300, 100}},
        {"Image8", "PanelKoniec", {170, 81, 400, 100}}, {"LabelHttp", "PanelLic", {532, 297}},
        {"Label5", "PanelLic", {531, 264}},             {"RGAkceptacja", "PanelLic", {8, 246, 122, 76}},
        {"GroupBox1", "PanelLic", {523, 3, 183, 85}},   {"StaticTextStudio", "GroupBox1", {11, 18}},
        {"Image1", "GroupBox1", {36, 40, 112, 36}},     {"Image2", "GroupBox1", {12, 36, 117, 41}},
        {"GroupBox2", "PanelLic", {523, 90, 183, 100}}, {"LabelWWW", "GroupBox2", {17, 18}},
        {"LabelTelefon1", "GroupBox2", {17, 38}},       {"LabelTelefon2", "GroupBox2", {17, 57}},
        {"StaticText3", "PanelLic", {15, 245}},         {"GroupBox3", "PanelLic", {523, 196, 183, 47}},
        {"LabelEmail", "GroupBox3", {11, 20}},          {"BitBtn1", "PanelLic", {655, 295, 65, 25}},
        {"GroupBox4", "PanelLic", {138, 246, 373, 76}}, {"LabelNazwa", "GroupBox4", {10, 23}},
        {"LabelMail", "GroupBox4", {11, 47}},           {"EditNazwa", "GroupBox4", {62, 20, 302, 24}},
        {"EditMail", "GroupBox4", {62, 47, 302, 21}},   {"ListBox1", "PanelLic", {8, 9, 509, 231}},
    };
    Glowne g;
    for (const Wiersz& w : tabela) {
        SCOPED_TRACE(w.nazwa);
        TControl& k = g.K(w.nazwa);
        ASSERT_NE(k.Parent(), nullptr);
        EXPECT_EQ(k.Parent()->Name, w.rodzic);
        EXPECT_EQ(k.Left(), w.miejsce.Left);
        EXPECT_EQ(k.Top(), w.miejsce.Top);
        if (w.miejsce.Width > 0) {
            EXPECT_EQ(k.Width(), w.miejsce.Width);
            EXPECT_EQ(k.Height(), w.miejsce.Height);
        } else {  // a label sized to its text shows all of it
            EXPECT_EQ((TRozmiar{k.Width, k.Height}),
                      g.zaplecze.ZmierzTekst(k.Font, k.Caption, 0));
        }
    }
}

// A later control lies over an earlier one; among the controls that take the
// focus the order of the licence page is its tab order.
TEST(OknoGlowne, StackingAndTabOrderOfTheLicencePage) {
    Glowne g;
    std::vector<std::string> naStronie;
    for (const TControl* k : g.forma->PanelLic->Controls()) naStronie.push_back(k->Name);
    EXPECT_EQ(naStronie, (std::vector<std::string>{"LabelHttp", "Label5", "RGAkceptacja", "GroupBox1", "GroupBox2",
                                                   "StaticText3", "GroupBox3", "BitBtn1", "GroupBox4", "ListBox1"}));
    // "Wybór:" is a static text over the radio group's caption, painted opaque.
    EXPECT_FALSE(g.forma->StaticText3->Transparent);
    std::vector<std::string> naOknie;
    for (const TControl* k : g.forma->Controls()) naOknie.push_back(k->Name);
    EXPECT_EQ(naOknie, (std::vector<std::string>{"PanelInfo", "Image6", "PanelLic", "PanelKoniec"}));
}

TEST(OknoGlowne, StateAfterCreation) {
    Glowne g;
    TFormMain& f = *g.forma;
    EXPECT_TRUE(f.PanelLic->Visible);
    EXPECT_FALSE(f.PanelKoniec->Visible);
    EXPECT_TRUE(f.LabelHttp->Visible);
    EXPECT_TRUE(f.Image1->Visible);
    EXPECT_FALSE(f.Image2->Visible);
    EXPECT_TRUE(f.Image7->Visible);
    EXPECT_FALSE(f.Image8->Visible);
    EXPECT_EQ(f.LabelInfo->Caption(), u"Warunki licencji - wersja demonstracyjna");
    EXPECT_EQ(f.LabelInfo->Font().Color, clBlue);
    EXPECT_EQ(f.LabelInfo->Font().Height, 19);
    EXPECT_EQ(f.BitBtn1->PokazywanaPodpowiedz(), u"Koniec pracy Instalatora.");
    for (TControl* odnosnik : {static_cast<TControl*>(f.Image1), static_cast<TControl*>(f.Image2),
                               static_cast<TControl*>(f.LabelWWW)})
        EXPECT_EQ(odnosnik->Cursor(), TCursor::crHandPoint) << odnosnik->Name;
    // The user data stay disabled and silver for the whole run.
    for (TEdit* pole : {f.EditNazwa, f.EditMail}) {
        EXPECT_FALSE(pole->Enabled) << pole->Name;
        EXPECT_EQ(pole->Color(), clSilver) << pole->Name;
    }
    // The acceptance choice: no item, disabled until the presentation ends.
    EXPECT_FALSE(f.RGAkceptacja->Enabled);
    EXPECT_EQ(f.RGAkceptacja->ItemIndex(), -1);
    EXPECT_EQ(f.ListBox1->ItemHeight(), 16);
    EXPECT_EQ(f.ListBox1->WidoczneElementy(), 14);
    // Every picture is one of the installer's own.
    for (const char* obraz : {"Image1", "Image2", "Image6", "Image7", "Image8", "Image9"})
        EXPECT_FALSE(static_cast<TImage&>(g.K(obraz)).Picture().empty()) << obraz;
}

TEST(OknoGlowne, ShownAtTheScreensCentre) {
    Glowne g;
    g.forma->Show();
    EXPECT_EQ((TProstokat{g.forma->Left, g.forma->Top, g.forma->Width, g.forma->Height}),
              (TProstokat{275, 220, 730, 360}));
}

// A left press on the window's background, a panel, a group box, the title
// picture or the title line drags the main window; other buttons and other
// controls do not.
TEST(OknoGlowne, TheWindowDrag) {
    const char* zrodla[] = {"FormMain", "PanelKoniec", "PanelLic", "GroupBox1", "GroupBox2",
                            "GroupBox3", "Image9", "LabelInfo"};
    const char* inne[] = {"Label5", "LabelHttp", "StaticTextStudio", "GroupBox4", "Image1",
                          "LabelWWW", "StaticText3", "LabelKoniec", "ListBox1", "Image6"};
    for (const bool koniec : {false, true}) {
        Glowne g;
        PokazINamaluj(*g.forma);
        g.forma->PanelKoniec->Visible = koniec;  // over the licence page, as after an installation
        auto przeciagniecia = [&] { return g.zaplecze.Ile(Rodzaj::Przeciagnij, "FormMain"); };
        for (const char* nazwa : zrodla) {
            TControl& k = g.K(nazwa);
            if (!k.Showing()) continue;
            SCOPED_TRACE(nazwa);
            const std::size_t przed = przeciagniecia();
            k.ZdarzenieNacisku(TMouseButton::mbRight, 3, 3);
            k.ZdarzenieNacisku(TMouseButton::mbMiddle, 3, 3);
            EXPECT_EQ(przeciagniecia(), przed);
            k.ZdarzenieNacisku(TMouseButton::mbLeft, 3, 3);
            EXPECT_EQ(przeciagniecia(), przed + 1);
        }
        for (const char* nazwa : inne) {
            SCOPED_TRACE(nazwa);
            const std::size_t przed = przeciagniecia();
            g.K(nazwa).ZdarzenieNacisku(TMouseButton::mbLeft, 3, 3);
            EXPECT_EQ(przeciagniecia(), przed);
        }
    }
}

TEST(OknoGlowne, TheLinkOpensTheMakersSite) {
    Glowne g;
    PokazINamaluj(*g.forma);
    g.forma->Image2->Visible = true;
    for (TControl* k : {static_cast<TControl*>(g.forma->Image1), static_cast<TControl*>(g.forma->Image2),
                        static_cast<TControl*>(g.forma->LabelWWW)})
        k->ZdarzenieKlikniecia();
    const std::u16string adres = u"http://www.kv-tek.example/";
    EXPECT_EQ(g.powloka.otwarteAdresy, std::vector<std::u16string>(3, adres));
    // The address shown is the one opened.
    EXPECT_EQ(u"http://" + g.forma->LabelWWW->Caption() + u"/", adres);
    g.forma->Label5->ZdarzenieKlikniecia();
    EXPECT_EQ(g.powloka.otwarteAdresy.size(), 3u);
}

TEST(OknoGlowne, ZamknijEndsTheInstallerWithoutAQuestion) {
    Glowne g;
    PokazINamaluj(*g.forma);
    g.forma->BitBtn1->ZdarzenieKlikniecia();
    EXPECT_FALSE(g.forma->Visible);
    EXPECT_TRUE(g.zaplecze.zakonczona);
    EXPECT_TRUE(g.zaplecze.modalne.empty());
    EXPECT_TRUE(g.zaplecze.komunikaty.empty());
}

TEST(KontekstStartu, TheInstallersFolder) {
    const std::pair<std::u16string, std::u16string> przypadki[] = {
        {u"D:\\setup.exe", u"D:\\"},
        {u"D:\\Instalator\\setup.exe", u"D:\\Instalator"},
        {u"Z:\\opt\\kv\\bin\\instalator", u"Z:\\opt\\kv\\bin"},
        {u"Z:\\instalator", u"Z:\\"},
        {u"E:\\Narzędzia\\Źródła\\instalator.exe", u"E:\\Narzędzia\\Źródła"},
        {u"\\\\serwer\\udzial\\setup.exe", u"\\\\serwer\\udzial"},
        {u"D:setup.exe", u"D:"},
    };
    for (const auto& [program, folder] : przypadki) {
        AplikacjaTestowa a;
        AtrapyUslug u;
        u.powloka.sciezkaProgramu = program;
        TFormMain f(u.uslugi);
        EXPECT_EQ(u.kontekst.FolderInstalatora, folder);
    }
}

TEST(KontekstStartu, NamesAfterTheMainWindowIsMade) {
    AplikacjaTestowa a;
    AtrapyUslug u;
    // Each run starts from the start-up values, whatever the context held.
    u.kontekst.PlikProgramu = u"_KavrostelSterowany";
    u.kontekst.FolderInstalacji = u"C:\\Inny";
    TFormMain f(u.uslugi);
    const KontekstInstalacji& k = u.kontekst;
    EXPECT_EQ(k.WersjaProgramu, u"8.0");
    EXPECT_EQ(k.KoncowkaSkrotu, u" 8.lnk");
    EXPECT_EQ(k.NazwaKatalogu, u"Kavrostel8");
    EXPECT_EQ(k.PlikProgramu, u"_Kavrostel");
    EXPECT_EQ(k.NazwaProgramu, u"Kavrostel");
    EXPECT_EQ(k.FolderBDE, u"Sterowniki\\BDE");
    EXPECT_EQ(k.FolderPulpitu, u"C:\\users\\jan\\Desktop");
    EXPECT_EQ(k.FolderMenuProgramy, u"C:\\users\\jan\\AppData\\Roaming\\Microsoft\\Windows\\Start Menu\\Programs");
    // The page does not exist yet: no drive, no suite folder, so the folder
    // has no drive letter.
    EXPECT_EQ(FormInstal, nullptr);
    EXPECT_EQ(k.DyskInstalacji, u"");
    EXPECT_EQ(k.FolderPakietu, u"");
    EXPECT_EQ(k.FolderInstalacji, u"\\KV-Tek\\Kavrostel8");
}

TEST(KontekstStartu, MissingSpecialFoldersGiveEmptyTexts) {
    AplikacjaTestowa a;
    AtrapyUslug u;
    u.powloka.folderySpecjalne.clear();
    TFormMain f(u.uslugi);
    EXPECT_EQ(u.kontekst.FolderPulpitu, u"");
    EXPECT_EQ(u.kontekst.FolderMenuProgramy, u"");
}

TEST(KontekstStartu, AfterTheInstallationPageIsMade) {
    AplikacjaTestowa a;
    AtrapyUslug u;
    auto glowne = std::make_unique<TFormMain>(u.uslugi);
    auto strona = std::make_unique<TFormInstal>(u.uslugi);
    const KontekstInstalacji& k = u.kontekst;
    EXPECT_EQ(k.DyskInstalacji, u"C:");
    EXPECT_EQ(k.FolderPakietu, u"KV-Tek");
    // Still as the main window left it, until the licence is accepted.
    EXPECT_EQ(k.FolderInstalacji, u"\\KV-Tek\\Kavrostel8");
    EXPECT_EQ(k.PlikProgramu, u"_Kavrostel");
    EXPECT_EQ(k.NazwaProgramu, u"Kavrostel");
    EXPECT_EQ(glowne->LokalizacjaFolderu(u""), u"C:");
    u.kontekst.DyskInstalacji = u"D:";
    EXPECT_EQ(glowne->LokalizacjaFolderu(u""), u"D:");
    EXPECT_TRUE(a.zaplecze.pytaniaZapisu.empty());  // nothing was shown
    strona.reset();
    glowne.reset();
}

}  // namespace
