// The notice box: its layout and place over the main window, its growth with
// wrapped lines, every way of closing it and a second notice while one is on
// screen.
#include <QApplication>
#include <QLabel>
#include <QTest>
#include <QTimer>
#include <functional>
#include <memory>

#include "ArkMain.h"
#include "AtrapyUi.h"
#include "Czcionki.h"
#include "DialQst2.h"

namespace {

constexpr QPoint ROG_GLOWNEGO(40, 25);

// What the box looked like while it was on screen.
struct Widok {
    QRect geometria;
    QRect obszar;
    QRect b1;
    QRect panel1, label1, panel2, label2;
    QString tytul, linia1, linia2, napisB1;
    bool domyslny = false;
    bool widoczny = false;
    bool modalny = false;
    bool fokusNaB1 = false;
    QRegion maska;
    QColor tlo;
};

Widok Zobacz() {
    Widok w;
    TFormQst& q = *FormQst;
    w.geometria = q.geometry();
    w.obszar = q.Obszar->geometry();
    w.b1 = q.B1->geometry();
    w.panel1 = q.Panel1->geometry();
    w.label1 = q.Label1->geometry();
    w.panel2 = q.Panel2->geometry();
    w.label2 = q.Label2->geometry();
    w.tytul = q.windowTitle();
    w.linia1 = q.Label1->text();
    w.linia2 = q.Label2->text();
    w.napisB1 = q.B1->text();
    w.domyslny = q.B1->isDefault();
    w.widoczny = q.isVisible();
    w.modalny = QApplication::activeModalWidget() == &q && q.windowModality() == Qt::ApplicationModal;
    w.fokusNaB1 = q.focusWidget() == q.B1;
    w.maska = q.mask();
    w.tlo = q.palette().color(QPalette::Window);
    return w;
}

}  // namespace

class MessageBoxTest : public QObject {
    Q_OBJECT

    AtrapyUslug atrapy;
    std::unique_ptr<TFormMain> glowne;
    bool zawieszone = false;

    // Shows a notice; `wTrakcie` runs once the box waits for the user and
    // must close it. A box that stays open is closed after a while and the
    // test fails.
    void Pokaz(const std::u16string& tytul, const std::u16string& l1, const std::u16string& l2,
               const std::function<void()>& wTrakcie) {
        zawieszone = false;
        QTimer::singleShot(0, this, wTrakcie);
        QTimer awaryjny;
        awaryjny.setSingleShot(true);
        connect(&awaryjny, &QTimer::timeout, this, [this] {
            zawieszone = true;
            if (FormQst) FormQst->B1Click();
        });
        awaryjny.start(3000);
        PokazKomunikat(tytul, l1, l2);
    }

private slots:
    void initTestCase() {
        glowne = std::make_unique<TFormMain>(atrapy.uslugi);
        glowne->Timer1->stop();
        glowne->show();
        glowne->move(ROG_GLOWNEGO);
        QCOMPARE(glowne->frameGeometry(), QRect(ROG_GLOWNEGO, QSize(730, 360)));
    }

    void cleanupTestCase() { glowne.reset(); }

    void jednaLiniaUkladProjektu() {
        Widok w;
        Pokaz(u"Uwaga!", u"Folder istnieje.", u"", [&] {
            w = Zobacz();
            FormQst->B1Click();
        });
        QVERIFY(!zawieszone);
        QVERIFY(w.widoczny);
        QVERIFY(w.modalny);
        // Over a 730 x 360 window at (L, T): (L + 129, T + 138), 471 x 109.
        QCOMPARE(w.geometria, QRect(ROG_GLOWNEGO + QPoint(129, 138), QSize(471, 109)));
        QCOMPARE(w.obszar, QRect(3, 3, 465, 103));
        QCOMPARE(w.panel1, QRect(0, 0, 465, 17));
        QCOMPARE(w.label1, QRect(0, 17, 465, 20));
        QCOMPARE(w.panel2, QRect(0, 37, 465, 5));
        // The empty second line still takes one line.
        QCOMPARE(w.label2, QRect(0, 42, 465, 20));
        QCOMPARE(w.b1, QRect(190, 69, 80, 27));
        QCOMPARE(w.napisB1, QStringLiteral("&Ok"));
        QVERIFY(w.domyslny);
        QVERIFY(w.fokusNaB1);
        QCOMPARE(w.tytul, QStringLiteral("Uwaga!"));
        QCOMPARE(w.linia1, QStringLiteral("Folder istnieje."));
        QCOMPARE(w.linia2, QString());
        QCOMPARE(w.tlo, QApplication::palette().color(QPalette::ToolTipBase));
        // Rounded by 20 x 20 ellipses over the whole box.
        QCOMPARE(w.maska.boundingRect(), QRect(0, 0, 471, 109));
        QVERIFY(w.maska.contains(QPoint(235, 54)));
        QVERIFY(w.maska.contains(QPoint(11, 0)));
        for (const QPoint rog : {QPoint(0, 0), QPoint(470, 0), QPoint(0, 108), QPoint(470, 108),
                                 QPoint(1, 1)})
            QVERIFY2(!w.maska.contains(rog), qPrintable(QStringLiteral("%1,%2").arg(rog.x()).arg(rog.y())));
        QCOMPARE(FormQst, static_cast<TFormQst*>(nullptr));
    }

    void liniaTekstuMa20Pikseli() {
        // The substitute font keeps the line height the layout rests on.
        const QFontMetrics miary(CzcionkaPx(17));
        QCOMPARE(miary.height(), 20);
        QCOMPARE(miary.lineSpacing(), 20);
        QCOMPARE(QFontInfo(CzcionkaPx(17)).family(), RodzinaZastepcza());
    }

    void wzrostO20NaLinie_data() {
        QTest::addColumn<QString>("linia1");
        QTest::addColumn<QString>("linia2");
        QTest::addColumn<int>("linie1");
        QTest::addColumn<int>("linie2");
        QTest::newRow("trzy linie po LF") << "pierwsza\ndruga\ntrzecia" << "" << 3 << 1;
        QTest::newRow("CR LF to jeden podział") << "pierwsza\r\ndruga" << "" << 2 << 1;
        QTest::newRow("samo CR") << "jeden" << "dwa\rtrzy" << 1 << 2;
        QTest::newRow("pusta linia w środku") << "a\n\nb" << "c" << 3 << 1;
    }

    void wzrostO20NaLinie() {
        QFETCH(QString, linia1);
        QFETCH(QString, linia2);
        QFETCH(int, linie1);
        QFETCH(int, linie2);
        Widok w;
        Pokaz(u"Uwaga!", linia1.toStdU16String(), linia2.toStdU16String(), [&] {
            w = Zobacz();
            FormQst->B1Click();
        });
        QVERIFY(!zawieszone);
        const int wysokosc = 109 + 20 * (linie1 - 1) + 20 * (linie2 - 1);
        QCOMPARE(w.label1.height(), 20 * linie1);
        QCOMPARE(w.label2, QRect(0, 17 + 20 * linie1 + 5, 465, 20 * linie2));
        QCOMPARE(w.geometria.height(), wysokosc);
        QCOMPARE(w.b1, QRect(190, wysokosc - 40, 80, 27));
        // The place is computed from the design height 114, before the growth.
        QCOMPARE(w.geometria.topLeft(), ROG_GLOWNEGO + QPoint(129, 138));
        QCOMPARE(w.maska.boundingRect(), QRect(0, 0, 471, wysokosc));
    }

    void dlugiTekstZawijaSieWSzerokosci465() {
        QString tekst;
        for (int i = 0; i < 30; ++i) tekst += QStringLiteral("zażółć gęślą ");
        Widok w;
        int potrzebne = 0;
        Pokaz(u"Uwaga!", tekst.toStdU16String(), u"", [&] {
            w = Zobacz();
            potrzebne = FormQst->Label1->heightForWidth(465);
            FormQst->B1Click();
        });
        QVERIFY(!zawieszone);
        QVERIFY(w.label1.height() > 40);
        QCOMPARE(w.label1.height() % 20, 0);
        // Every wrapped line is shown, and no line more.
        QVERIFY(potrzebne <= w.label1.height());
        QVERIFY(potrzebne > w.label1.height() - 20);
        QCOMPARE(w.geometria.height(), 109 + w.label1.height() - 20);
        QCOMPARE(w.geometria.width(), 471);
    }

    void sposobyZamkniecia_data() {
        QTest::addColumn<QString>("sposob");
        for (const char* s : {"klik", "Enter", "Return", "Escape", "spacja"}) QTest::newRow(s) << s;
    }

    void sposobyZamkniecia() {
        QFETCH(QString, sposob);
        bool otwartyPoInnymKlawiszu = false;
        Pokaz(u"Uwaga!", u"Tekst", u"", [&] {
            QPushButton* b1 = FormQst->B1;
            QTest::keyClick(b1, Qt::Key_A);
            QTest::keyClick(b1, Qt::Key_Tab);
            QCoreApplication::processEvents();
            otwartyPoInnymKlawiszu = FormQst && FormQst->isVisible() && FormQst->ModalResult == 0;
            if (sposob == "klik") QTest::mouseClick(b1, Qt::LeftButton);
            if (sposob == "Enter") QTest::keyClick(b1, Qt::Key_Enter);
            if (sposob == "Return") QTest::keyClick(b1, Qt::Key_Return);
            if (sposob == "Escape") QTest::keyClick(b1, Qt::Key_Escape);
            if (sposob == "spacja") QTest::keyClick(b1, Qt::Key_Space);
        });
        QVERIFY(otwartyPoInnymKlawiszu);
        QVERIFY(!zawieszone);
        QCOMPARE(FormQst, static_cast<TFormQst*>(nullptr));
    }

    void escapeNaOknieGdyFokusGdzieIndziej() {
        Pokaz(u"Uwaga!", u"Tekst", u"", [&] {
            FormQst->B1->clearFocus();
            QTest::keyClick(FormQst, Qt::Key_Escape);
        });
        QVERIFY(!zawieszone);
    }

    void drugiKomunikatNaOknieNaEkranie() {
        Widok przed, po;
        bool drugiWrocil = false;
        TFormQst* pierwszy = nullptr;
        TFormQst* wDrugim = nullptr;
        bool widocznyPoDrugim = false;
        Pokaz(u"Pierwszy", u"jedna linia", u"", [&] {
            pierwszy = FormQst;
            przed = Zobacz();
            PokazKomunikat(u"Drugi", u"a\nb\nc", u"x");
            drugiWrocil = true;
            wDrugim = FormQst;
            widocznyPoDrugim = FormQst && FormQst->isVisible();
            po = Zobacz();
            // Nothing else closes it: the first request returns when control
            // is back in the box's own wait.
        });
        QVERIFY(drugiWrocil);
        QVERIFY(!zawieszone);
        QCOMPARE(wDrugim, pierwszy);
        QVERIFY(widocznyPoDrugim);
        QCOMPARE(po.tytul, QStringLiteral("Drugi"));
        QCOMPARE(po.linia1, QStringLiteral("a\nb\nc"));
        QCOMPARE(po.linia2, QStringLiteral("x"));
        // New texts, no new layout: the box keeps its place and height.
        QCOMPARE(po.label1.height(), 60);
        QCOMPARE(po.geometria, przed.geometria);
        QCOMPARE(po.b1, przed.b1);
        QCOMPARE(FormQst, static_cast<TFormQst*>(nullptr));
    }

    void nastepnyKomunikatOdNowegoOkna() {
        Pokaz(u"Uwaga!", u"a\nb\nc\nd", u"", [] { FormQst->B1Click(); });
        Widok w;
        Pokaz(u"Uwaga!", u"jedna", u"", [&] {
            w = Zobacz();
            FormQst->B1Click();
        });
        QCOMPARE(w.geometria, QRect(ROG_GLOWNEGO + QPoint(129, 138), QSize(471, 109)));
        QCOMPARE(w.b1, QRect(190, 69, 80, 27));
    }

    void informacjaToJednaLiniaZTytulem() {
        Widok w;
        QTimer::singleShot(0, this, [&] {
            w = Zobacz();
            FormQst->B1Click();
        });
        Informacja(nullptr, u"Zmiana domyślnego folderu instalacji na: C:\\KV-Tek.", u"Uwaga!", 0);
        QCOMPARE(w.tytul, QStringLiteral("Uwaga!"));
        QCOMPARE(w.linia1, QStringLiteral("Zmiana domyślnego folderu instalacji na: C:\\KV-Tek."));
        QCOMPARE(w.linia2, QString());
        QCOMPARE(w.geometria.height(), 109);
        QCOMPARE(FormQst, static_cast<TFormQst*>(nullptr));
    }

    void zniszczenieOknaGlownegoKonczyCzekanie() {
        AtrapyUslug inne;
        auto nad = std::make_unique<TFormMain>(inne.uslugi);
        nad->Timer1->stop();
        FormMain = nad.get();
        Pokaz(u"Uwaga!", u"Tekst", u"", [&] { nad.reset(); });
        FormMain = glowne.get();
        QVERIFY(!zawieszone);
        QCOMPARE(FormQst, static_cast<TFormQst*>(nullptr));
    }

    void zegaryDzialajaWTrakcie() {
        int tykniecia = 0;
        QTimer zegar;
        connect(&zegar, &QTimer::timeout, this, [&] { ++tykniecia; });
        zegar.start(5);
        Pokaz(u"Uwaga!", u"Tekst", u"", [&] {
            QTimer::singleShot(60, this, [] { FormQst->B1Click(); });
        });
        QVERIFY(!zawieszone);
        QVERIFY(tykniecia >= 3);
    }

    void zielonyZnakPrzyLewejKrawedzi() {
        bool zielony = false;
        bool wPrawejCzesci = false;
        Pokaz(u"Uwaga!", u"Tekst", u"", [&] {
            const QImage obraz = FormQst->B1->grab().toImage();
            for (int x = 0; x < obraz.width(); ++x)
                for (int y = 0; y < obraz.height(); ++y) {
                    const QColor c(obraz.pixel(x, y));
                    if (c.green() > 110 && c.red() < 80 && c.blue() < 80) {
                        if (x >= 2 && x < 22) zielony = true;
                        if (x >= 22) wPrawejCzesci = true;
                    }
                }
            FormQst->B1Click();
        });
        QVERIFY(zielony);
        QVERIFY(!wPrawejCzesci);
    }
};

QTEST_MAIN(MessageBoxTest)
#include "message_box_test.moc"
