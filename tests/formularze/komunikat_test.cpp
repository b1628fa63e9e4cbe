// The notice box: its layout and place over the main window, its growth with
// wrapped lines, every way of closing it, a second notice while one is on
// screen, and its life from creation to destruction.
#include <gtest/gtest.h>

#include <functional>
#include <memory>

#include "ArkMain.h"
#include "AtrapyUi.h"
#include "DialQst2.h"

namespace {

using Rodzaj = WpisZaplecza::Rodzaj;

// What the box looked like while it waited for the user.
struct Widok {
    TProstokat okno, b1, panel1, label1, panel2, label2;
    std::u16string tytul, linia1, linia2, napisB1;
    bool domyslny = false, anulujacy = false, widoczny = false, modalny = false, fokusNaB1 = false;
    TColor kolor = clDefault;
    std::u16string ksztalt;
};

TProstokat Miejsce(const TControl& k) { return {k.Left, k.Top, k.Width, k.Height}; }

Widok Zobacz(const ZapleczeNagrywajace& z) {
    const TFormQst& q = *FormQst;
    Widok w;
    w.okno = Miejsce(q);
    w.b1 = Miejsce(*q.B1);
    w.panel1 = Miejsce(*q.Panel1);
    w.label1 = Miejsce(*q.Label1);
    w.panel2 = Miejsce(*q.Panel2);
    w.label2 = Miejsce(*q.Label2);
    w.tytul = q.Caption;
    w.linia1 = q.Label1->Caption;
    w.linia2 = q.Label2->Caption;
    w.napisB1 = q.B1->Caption;
    w.domyslny = q.B1->Default;
    w.anulujacy = q.B1->Cancel;
    w.widoczny = q.Visible;
    w.modalny = q.Modalna();
    w.fokusNaB1 = q.ActiveControl() == q.B1;
    w.kolor = q.Color;
    for (const auto& wpis : z.dziennik)
        if (wpis.rodzaj == Rodzaj::Ksztalt && wpis.nazwa == "FormQst") w.ksztalt = wpis.tekst;
    return w;
}

// A main window of 730 x 360 at (40, 25), as the box is placed over it.
struct Pudelko : AplikacjaTestowa, AtrapyUslug {
    std::unique_ptr<TFormMain> glowne;
    Pudelko() {
        glowne = std::make_unique<TFormMain>(uslugi);
        PokazINamaluj(*glowne);
        glowne->ZdarzeniePrzesuniecia(40, 25);
    }
    ~Pudelko() { glowne.reset(); }

    // Shows a notice; `wTrakcie` runs while the box waits and must close it.
    Widok Pokaz(const std::u16string& tytul, const std::u16string& l1, const std::u16string& l2,
                const std::function<void()>& wTrakcie = {}) {
        Widok w;
        zaplecze.przyPetliModalnej = [&](TForm&) {
            w = Zobacz(zaplecze);
            if (wTrakcie)
                wTrakcie();
            else
                FormQst->B1->ZdarzenieKlikniecia();
        };
        PokazKomunikat(tytul, l1, l2);
        return w;
    }
};

TEST(Komunikat, OneLineTheLayoutOfTheDesign) {
    Pudelko p;
    const Widok w = p.Pokaz(u"Uwaga!", u"Folder istnieje.", u"");
    EXPECT_TRUE(w.widoczny);
    EXPECT_TRUE(w.modalny);
    // Over a 730 x 360 window at (L, T): (L + 129, T + 138), 471 x 109.
    EXPECT_EQ(w.okno, (TProstokat{40 + 129, 25 + 138, 471, 109}));
    EXPECT_EQ(w.panel1, (TProstokat{0, 0, 465, 17}));
    EXPECT_EQ(w.label1, (TProstokat{0, 17, 465, 20}));
    EXPECT_EQ(w.panel2, (TProstokat{0, 37, 465, 5}));
    // The empty second line still takes one line.
    EXPECT_EQ(w.label2, (TProstokat{0, 42, 465, 20}));
    EXPECT_EQ(w.b1, (TProstokat{190, 69, 80, 27}));
    EXPECT_EQ(w.napisB1, u"&Ok");
    EXPECT_TRUE(w.domyslny);
    EXPECT_TRUE(w.anulujacy);
    EXPECT_TRUE(w.fokusNaB1);
    EXPECT_EQ(w.tytul, u"Uwaga!");
    EXPECT_EQ(w.linia1, u"Folder istnieje.");
    EXPECT_EQ(w.linia2, u"");
    EXPECT_EQ(w.kolor, clInfoBk);
    // Rounded by 20 x 20 ellipses over the whole box, as laid out.
    EXPECT_EQ(w.ksztalt, u"471x109/20x20");
    // Closed, destroyed, the reference emptied.
    EXPECT_EQ(FormQst, nullptr);
    EXPECT_EQ(p.zaplecze.Ile(Rodzaj::KoniecWidoku, "FormQst"), 1u);
}

TEST(Komunikat, TheDesign) {
    Pudelko p;
    TFormQst q;
    EXPECT_EQ(Miejsce(q).Width, 471);
    EXPECT_EQ(Miejsce(q).Height, 114);
    EXPECT_EQ(q.BorderWidth(), 3);
    EXPECT_EQ((TRozmiar{q.ClientWidth(), q.ClientHeight()}), (TRozmiar{465, 108}));
    EXPECT_FALSE(q.Visible);
    for (const TLabel* l : {q.Label1, q.Label2}) {
        EXPECT_EQ(l->Font().Name, u"MS Sans Serif");
        EXPECT_EQ(l->Font().Height, 17);
        EXPECT_EQ(l->Font().Color, clBlack);
        EXPECT_EQ(l->Alignment(), TAlignment::taCenter);
        EXPECT_TRUE(l->WordWrap);
    }
    EXPECT_EQ(q.B1->Glyph(), TGlif::Zatwierdzenie);
    EXPECT_EQ(q.B1->Font().Height, 17);
    EXPECT_EQ(q.Panel1->Color(), clInfoBk);
    EXPECT_EQ(q.Panel2->Color(), clInfoBk);
}

TEST(Komunikat, EveryExtraLineMakesTheBox20PixelsHigher) {
    struct Przypadek {
        const char* opis;
        std::u16string linia1, linia2;
        int linie1, linie2;
    };
    const Przypadek przypadki[] = {
        {"three lines by LF", u"pierwsza\ndruga\ntrzecia", u"", 3, 1},
        {"CR LF is one break", u"pierwsza\r\ndruga", u"", 2, 1},
        {"CR alone", u"jeden", u"dwa\rtrzy", 1, 2},
        {"an empty line in the middle", u"a\n\nb", u"c", 3, 1},
        // 60 characters of 8 pixels do not fit 465: two lines.
        {"wrapped at the width", std::u16string(30, u'x') + u" " + std::u16string(29, u'y'), u"", 2, 1},
    };
    for (const Przypadek& c : przypadki) {
        SCOPED_TRACE(c.opis);
        Pudelko p;
        const Widok w = p.Pokaz(u"Uwaga!", c.linia1, c.linia2);
        const int wysokosc = 109 + 20 * (c.linie1 - 1) + 20 * (c.linie2 - 1);
        EXPECT_EQ(w.label1, (TProstokat{0, 17, 465, 20 * c.linie1}));
        EXPECT_EQ(w.label2, (TProstokat{0, 17 + 20 * c.linie1 + 5, 465, 20 * c.linie2}));
        EXPECT_EQ(w.b1, (TProstokat{190, wysokosc - 40, 80, 27}));
        // The place comes from the design height 114, before the growth.
        EXPECT_EQ(w.okno, (TProstokat{40 + 129, 25 + 138, 471, wysokosc}));
        const std::string ksztalt = "471x" + std::to_string(wysokosc) + "/20x20";
        EXPECT_EQ(w.ksztalt, std::u16string(ksztalt.begin(), ksztalt.end()));
    }
}

TEST(Komunikat, APlaceAboveTheMainWindowTruncatesTowardZero) {
    // A main window 100 pixels high: (100 - 114) / 2 is -7 and the box lies
    // 7 - 15 = 8 pixels below its top; the width: (60 - 471) / 2 = -205.
    Pudelko p;
    p.glowne->SetBounds(40, 25, 60, 100);
    const Widok w = p.Pokaz(u"Uwaga!", u"Tekst", u"");
    EXPECT_EQ(w.okno.Left, 40 - 205);
    EXPECT_EQ(w.okno.Top, 25 - 7 + 15);
}

TEST(Komunikat, EveryWayOfClosingIt) {
    struct Przypadek {
        const char* opis;
        std::function<void(TFormQst&)> zamknij;
    };
    const Przypadek przypadki[] = {
        {"a click on Ok", [](TFormQst& q) { q.B1->ZdarzenieKlikniecia(); }},
        // The native button turns Space on itself into a click.
        {"Space on the focused Ok", [](TFormQst& q) { q.ActiveControl()->ZdarzenieKlikniecia(); }},
        {"Enter", [](TFormQst& q) { q.ZdarzenieKlawisza(TKlawisz::Enter); }},
        {"Escape", [](TFormQst& q) { q.ZdarzenieKlawisza(TKlawisz::Escape); }},
        {"Enter with the focus on the box", [](TFormQst& q) {
             q.ZdarzenieFokusu(nullptr);
             q.ZdarzenieKlawisza(TKlawisz::Enter);
         }},
        {"Escape with the focus on the box", [](TFormQst& q) {
             q.ZdarzenieFokusu(nullptr);
             q.ZdarzenieKlawisza(TKlawisz::Escape);
         }},
        {"the window asked to close", [](TFormQst& q) { q.ZdarzenieZamkniecia(); }},
    };
    for (const Przypadek& c : przypadki) {
        SCOPED_TRACE(c.opis);
        Pudelko p;
        p.Pokaz(u"Uwaga!", u"Tekst", u"", [&] { c.zamknij(*FormQst); });
        EXPECT_EQ(FormQst, nullptr);
        EXPECT_EQ(p.zaplecze.Ile(Rodzaj::KoniecWidoku, "FormQst"), 1u);
    }
}

TEST(Komunikat, ASecondNoticeWhileOneIsOnScreen) {
    Pudelko p;
    Widok przed, po;
    const TFormQst* pierwszy = nullptr;
    const TFormQst* wDrugim = nullptr;
    bool drugiWrocil = false;
    p.Pokaz(u"Pierwszy", u"jedna linia", u"", [&] {
        pierwszy = FormQst;
        przed = Zobacz(p.zaplecze);
        PokazKomunikat(u"Drugi", u"a\nb\nc", u"x");
        drugiWrocil = true;  // at once, without a loop of its own
        wDrugim = FormQst;
        po = Zobacz(p.zaplecze);
        // Nothing else closes it: the first request returns when control is
        // back in the box's own wait.
    });
    EXPECT_TRUE(drugiWrocil);
    EXPECT_EQ(wDrugim, pierwszy);
    EXPECT_TRUE(po.widoczny);
    EXPECT_EQ(po.tytul, u"Drugi");
    EXPECT_EQ(po.linia1, u"a\nb\nc");
    EXPECT_EQ(po.linia2, u"x");
    // New texts, no new layout: the box keeps its place and height.
    EXPECT_EQ(po.label1.Height, 60);
    EXPECT_EQ(po.okno, przed.okno);
    EXPECT_EQ(po.b1, przed.b1);
    EXPECT_EQ(p.zaplecze.Ile(Rodzaj::PetlaModalna), 1u);
    EXPECT_GE(p.zaplecze.Ile(Rodzaj::Odmaluj, "FormQst"), 1u);
    EXPECT_EQ(FormQst, nullptr);
}

TEST(Komunikat, TheNextNoticeStartsFromAFreshBox) {
    Pudelko p;
    p.Pokaz(u"Uwaga!", u"a\nb\nc\nd", u"");
    const Widok w = p.Pokaz(u"Uwaga!", u"jedna", u"");
    EXPECT_EQ(w.okno, (TProstokat{40 + 129, 25 + 138, 471, 109}));
    EXPECT_EQ(w.b1, (TProstokat{190, 69, 80, 27}));
    EXPECT_EQ(p.zaplecze.Ile(Rodzaj::Widok, "FormQst"), 2u);
}

TEST(Komunikat, InformacjaIsOneLineUnderACaption) {
    Pudelko p;
    p.zaplecze.przyPetliModalnej = {};  // Enter, as the recording backend answers
    EXPECT_EQ(Informacja(nullptr, u"Zmiana domyślnego folderu instalacji na: C:\\KV-Tek.", u"Uwaga!", 0), mrOk);
    ASSERT_EQ(p.zaplecze.modalne.size(), 1u);
    EXPECT_EQ(p.zaplecze.modalne[0].tytul, u"Uwaga!");
    EXPECT_EQ(p.zaplecze.modalne[0].etykiety,
              (std::vector<std::u16string>{u"Zmiana domyślnego folderu instalacji na: C:\\KV-Tek.", u""}));
    EXPECT_EQ(FormQst, nullptr);
}

TEST(Komunikat, TheWaitEndsWhenTheInstallerEnds) {
    Pudelko p;
    p.Pokaz(u"Uwaga!", u"Tekst", u"", [&] { p.glowne->Close(); });
    EXPECT_TRUE(p.zaplecze.zakonczona);
    EXPECT_EQ(FormQst, nullptr);
}

}  // namespace
